// Reading a channel CSV file: bounded, since no radio holds more than a
// few hundred channels.
#pragma once

#include <cstddef>
#include <string>

namespace ks340 {

inline constexpr std::size_t kMaxCsvFileSize = 10 * 1024 * 1024;
inline constexpr std::size_t kMaxCsvLines = 10000;

// Reads a regular file of at most kMaxCsvFileSize bytes and kMaxCsvLines
// lines; else false with a message naming the file and the limit.
bool readCsvFile(const std::string& path, std::string& text, std::string& error);

}  // namespace ks340
