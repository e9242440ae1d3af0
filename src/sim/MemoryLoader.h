// The simulated radio's memory from and to a setting file.
#pragma once

#include <string>

#include "sim/RadioSim.h"

namespace ks340::sim {

// Reads a .ks3 setting file the way the program opens it, runs the steps
// that precede every transfer and encodes the memory image a write would
// send. False with a message when the file does not load.
bool loadSettingFileMemory(const std::string& path, Memory& memory, std::string& error);

// Decodes the memory the way a read from the radio does and writes it as a
// setting file.
bool saveSettingFileMemory(const std::string& path, const Memory& memory, std::string& error);

// Saves to a setting file when the name ends in ".ks3" (any case), else as a
// raw image.
bool saveMemory(const std::string& path, const Memory& memory, std::string& error);
bool isSettingFileName(const std::string& path);

}  // namespace ks340::sim
