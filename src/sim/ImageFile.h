// Loading and saving the simulated radio's memory.
#pragma once

#include <string>

#include "sim/RadioSim.h"

namespace ks340::sim {

// A raw image file must hold exactly 8192 bytes.
bool loadImageFile(const std::string& path, Memory& memory, std::string& error);

// Writes through a temporary file beside the target that replaces it only
// when every byte was written, so a failed save leaves the old file intact.
bool saveImageFile(const std::string& path, const Memory& memory, std::string& error);

// The memory of a radio that has never been written: every byte 0xFF.
Memory blankMemory();

}  // namespace ks340::sim
