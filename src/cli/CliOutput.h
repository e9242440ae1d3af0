// Output and input files of ks340ctl's verbs: one place for the checks made
// before any work (the -o name fits what is written) and for writing and
// reading them. Qt-free.
//
// Use in a verb:
//   if (int s = checkOutput("encode", out, OutputFormat::Image, force)) return s;  // exit 2
//   ... read the inputs, do the work ...
//   if (!writeOutput(out, bytes, force)) return kExitFailure;                      // exit 1
#pragma once

#include <string>
#include <string_view>

#include "model/RadioSettings.h"

namespace ks340::cli {

// What an output holds; each has its extensions (any case):
// SettingFile .ks3, Image .img/.bin, Csv .csv, Json .json, Pdf .pdf.
// Text (dumps, traces) takes any name that does not end in one of those.
enum class OutputFormat { SettingFile, Image, Csv, Json, Pdf, Text };

// The format a name's extension stands for; Text for any other name.
OutputFormat outputFormatOfName(const std::string& path);

// Checks an output name before any work. Refused, with a message on stderr
// ("ks340ctl VERB: ..."), and returns the usage exit status (2) when
// - the extension belongs to another format (a character device, a FIFO and
//   "-" pass: they are written straight through);
// - the name is a directory, block device or socket;
// - the file is read-only and `force` is false.
// Returns 0 when the output may be written.
int checkOutput(const char* verb, const std::string& path, OutputFormat format, bool force);

// Writes the whole output through the atomic writer. On failure prints
// "ks340ctl: PATH: reason" and returns false; the target is as it was.
bool writeOutput(const std::string& path, std::string_view bytes, bool force);

// The configuration as a setting file, through writeOutput.
bool writeSettingsOutput(const std::string& path, const RadioSettings& settings, bool force);

// Checks a trace file (appended to, never replaced): refused with a message
// in `error` when its extension is another format's or when it exists and
// holds a setting file or a memory image.
bool checkTraceFile(const std::string& path, std::string& error);

}  // namespace ks340::cli
