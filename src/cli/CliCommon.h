// Helpers shared by the verbs of ks340ctl.
#pragma once

#include <string>
#include <vector>

#include "cli/Verbs.h"
#include "image/MemoryImage.h"
#include "model/RadioSettings.h"
#include "model/SettingFile.h"

namespace ks340::cli {

// Reads a setting file into a new configuration as the program's Open does
// (defaults first, then the file, then the channel table's rebuild). On
// failure returns false with a message naming the file and the line.
// Warnings (the file ends early, a number field holds no number) go to
// stderr and, when `warnings` is given, into it. Defined in CliFile.cpp.
bool loadConfiguration(const std::string& path, RadioSettings& settings, std::string& error,
                       std::vector<FileWarning>* warnings = nullptr);

// The refusal of write and encode for a file that loaded with warnings
// (unless --force): false with the message in `error`. In CliCommon.cpp.
bool acceptLoadWarnings(const std::string& path, const std::vector<FileWarning>& warnings, bool force,
                        std::string& error);

// Defined in CliFormats.cpp:
// A setting file read as loadConfiguration does, or a memory image decoded
// as a radio read is; the kind is told by the contents.
bool loadAnyConfiguration(const std::string& path, RadioSettings& settings, std::string& error);
// Defined in CliImage.cpp:
// A memory image as it is, or a setting file prepared and encoded as before
// a write to the radio; the kind is told by the contents.
// Warnings of a setting file go to stderr and, when given, into `warnings`.
bool loadImageInput(const std::string& path, MemoryImage& image, std::string& error,
                    std::vector<FileWarning>* warnings = nullptr);
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
    std::string base;  // --base FILE.ks3
    bool help = false;
    bool force = false;  // --force, where the verb takes it
    std::string error;   // usage error
};
FileArgs parseFileArgs(const Args& args, bool takesOutput, bool takesForce = false, bool takesBase = false);

// The configuration an image is decoded over: the setting file given with
// --base, or a new configuration when none was given.
bool loadBaseConfiguration(const std::string& basePath, RadioSettings& settings, std::string& error);

// Prints a usage error for a verb and returns the usage exit status.
int usageError(const char* verb, const std::string& message, const char* usage);

}  // namespace ks340::cli
