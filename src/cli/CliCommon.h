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

// Defined in CliBeyond.cpp:
// A .ks3 file read as loadConfiguration does, or a .img/.bin memory image
// decoded as a radio read is.
bool loadAnyConfiguration(const std::string& path, RadioSettings& settings, std::string& error);
// The backups folder the desktop program uses as well.
std::string defaultBackupDirectory();
// The trace file given before the verb (ks340ctl --trace FILE VERB ...).
void setGlobalTraceFile(const std::string& path);
const std::string& globalTraceFilePath();

}  // namespace ks340::cli
