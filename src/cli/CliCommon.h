// Helpers shared by the verbs of ks340ctl.
#pragma once

#include <string>

#include "model/RadioSettings.h"

namespace ks340::cli {

// Reads a setting file into a new configuration as the program's Open does
// (defaults first, then the file, then the channel table's rebuild). On
// failure returns false with a message naming the file and the line.
// Defined in CliFile.cpp.
bool loadConfiguration(const std::string& path, RadioSettings& settings, std::string& error);

}  // namespace ks340::cli
