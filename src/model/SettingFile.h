// The .ks3 setting file: one complete configuration as comma-separated text
// lines in a fixed order, CRLF line ends.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "model/RadioSettings.h"

namespace ks340 {

// No valid line comes anywhere near this; a longer line is an error.
inline constexpr std::size_t kMaxSettingLineLength = 64 * 1024;
// No setting file the program saves comes near this size; reading stops
// beyond it.
inline constexpr std::size_t kMaxSettingFileSize = 16 * 1024 * 1024;
// The longest text field a file may hold (the editors allow at most 40
// characters). With it, whatever loads also saves into lines that load.
inline constexpr std::size_t kMaxSettingTextLength = 1024;

// Joins the fields with "," and appends "\r\n". A field holding a comma or
// a double quote is enclosed in double quotes with its quotes doubled.
std::string joinCsvLine(const std::vector<std::string>& fields);

// The text split into lines without their line ends ("\n" or "\r\n"); a
// last line without an end counts, an empty text has no lines.
std::vector<std::string_view> splitTextLines(std::string_view text);

// The inverse of joinCsvLine for one line without its line end. An empty
// line yields no fields.
std::vector<std::string> splitCsvLine(std::string_view line);

// Something a file that loaded holds that the user should know about: the
// file ends early, or a number field holds no number (read as 0).
struct FileWarning {
    int line = 0;      // 1-based
    std::string key;   // the setting's key ("channel[3].bandwidth"); empty for the early end
    std::string text;  // "name: line 7: ..." as shown to the user
};

struct FileResult {
    bool ok = false;
    std::string error;                  // when !ok: names the file, the line and the fault
    std::vector<FileWarning> warnings;  // when ok: in line order
    std::string warning;                // the warnings' texts, one per line (at most 20, then a count)
    int line = 0;                       // line of the error or first warning, 1-based; 0 when none
};

// The whole file as the writer produces it.
std::string formatSettingFile(const RadioSettings& settings);

// Number of lines a configuration writes: 2 + 14 + capabilities + 6.
int settingFileLineCount(const RadioSettings& settings);

// Writes the file through the atomic writer (fileio/AtomicFile.h): the
// target is the old file or the complete new one, never a mix. Never changes
// the record. The caller runs prepareForSave first.
FileResult writeSettingFile(const std::string& path, const RadioSettings& settings);

// Reads a setting file into a copy of `settings` and replaces `settings`
// only when the whole file was read. Fields the file does not hold (derived
// values, channels beyond a group's capability) keep their current values.
FileResult readSettingFile(const std::string& path, RadioSettings& settings);

// The same for file contents already in memory; nameForMessages is used in
// the error and warning texts.
FileResult readSettingText(std::string_view text, RadioSettings& settings, const std::string& nameForMessages);

}  // namespace ks340
