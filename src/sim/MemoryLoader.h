// The simulated radio's memory from a setting file.
#pragma once

#include <string>

#include "sim/RadioSim.h"

namespace ks340::sim {

// Reads a .ks3 setting file the way the program opens it, runs the steps
// that precede every transfer and encodes the memory image a write would
// send. False with a message when the file does not load.
bool loadSettingFileMemory(const std::string& path, Memory& memory, std::string& error);

}  // namespace ks340::sim
