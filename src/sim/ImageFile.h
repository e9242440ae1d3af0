// Loading and saving the simulated radio's memory.
#pragma once

#include <string>

#include "sim/RadioSim.h"

namespace ks340::sim {

// A raw image file must hold exactly 8192 bytes (read as every program
// reads images: a regular file, at most 8193 bytes looked at).
bool loadImageFile(const std::string& path, Memory& memory, std::string& error);

// Writes through the atomic writer: a failed save leaves the old file intact.
bool saveImageFile(const std::string& path, const Memory& memory, std::string& error);

// The memory of a radio that has never been written: every byte 0xFF.
Memory blankMemory();

}  // namespace ks340::sim
