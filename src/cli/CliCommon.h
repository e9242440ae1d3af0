// Helpers shared by the verbs of ks340ctl.
#pragma once

#include <string>
#include <vector>

#include "cli/Verbs.h"
#include "image/MemoryImage.h"
#include "model/RadioSettings.h"

namespace ks340::cli {

// Reads a setting file into a new configuration as the program's Open does
// (defaults first, then the file, then the channel table's rebuild). On
// failure returns false with a message naming the file and the line.
// Defined in CliFile.cpp.
bool loadConfiguration(const std::string& path, RadioSettings& settings, std::string& error);

// Defined in CliFormats.cpp:
// A setting file read as loadConfiguration does, or a memory image decoded
// as a radio read is; the kind is told by the contents.
bool loadAnyConfiguration(const std::string& path, RadioSettings& settings, std::string& error);
// Defined in CliImage.cpp:
// A memory image as it is, or a setting file prepared and encoded as before
// a write to the radio; the kind is told by the contents.
bool loadImageInput(const std::string& path, MemoryImage& image, std::string& error);
// The backups folder the desktop program uses as well.
std::string defaultBackupDirectory();
// The trace file given before the verb (ks340ctl --trace FILE VERB ...).
void setGlobalTraceFile(const std::string& path);
const std::string& globalTraceFilePath();

// Positional arguments, an optional "-o FILE" / "--output FILE" and, with
// an output, "--force".
struct FileArgs {
    std::vector<std::string> positional;
    std::string output;
    bool hasOutput = false;
    bool force = false;  // --force: replace a read-only output
    bool help = false;
    std::string error;  // usage error
};
FileArgs parseFileArgs(const Args& args, bool takesOutput);

// Prints a usage error for a verb and returns the usage exit status.
int usageError(const char* verb, const std::string& message, const char* usage);

}  // namespace ks340::cli
