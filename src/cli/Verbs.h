// The verbs of ks340ctl. Each returns the process exit status.
#pragma once

#include <string>
#include <vector>

namespace ks340::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;        // the work failed (bad file, transfer error, files differ)
inline constexpr int kExitUsage = 2;          // the command line was wrong
inline constexpr int kExitInterrupted = 130;  // stopped with Ctrl-C

using Args = std::vector<std::string>;

int runNew(const Args& args);         // CliFile.cpp
int runConvert(const Args& args);     // CliFile.cpp
int runCheck(const Args& args);       // CliFile.cpp
int runShow(const Args& args);        // CliFile.cpp
int runEncode(const Args& args);      // CliImage.cpp
int runDecode(const Args& args);      // CliImage.cpp
int runDump(const Args& args);        // CliImage.cpp
int runPorts(const Args& args);       // CliRadio.cpp
int runRead(const Args& args);        // CliRadio.cpp
int runWrite(const Args& args);       // CliRadio.cpp
int runPrint(const Args& args);       // CliPrint.cpp
int runExportCsv(const Args& args);   // CliFormats.cpp
int runImportCsv(const Args& args);   // CliFormats.cpp
int runDiff(const Args& args);        // CliFormats.cpp
int runKeys(const Args& args);        // CliSettings.cpp
int runGet(const Args& args);         // CliSettings.cpp
int runSet(const Args& args);         // CliSettings.cpp
int runExportJson(const Args& args);  // CliSettings.cpp
int runImportJson(const Args& args);  // CliSettings.cpp

}  // namespace ks340::cli
