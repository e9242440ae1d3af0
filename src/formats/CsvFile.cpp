#include "formats/CsvFile.h"

#include <algorithm>
#include <utility>

#include "fileio/InputFile.h"

namespace ks340 {

bool readCsvFile(const std::string& path, std::string& text, std::string& error) {
    fileio::InputFile in = fileio::readInputFile(path, kMaxCsvFileSize);
    if (in.tooLarge) {
        error = path + ": is too large for a channel list (more than 10 MB)";
        return false;
    }
    if (!in.ok) {
        error = in.error;
        return false;
    }
    const std::size_t breaks = static_cast<std::size_t>(std::count(in.bytes.begin(), in.bytes.end(), '\n'));
    const std::size_t lines = breaks + (!in.bytes.empty() && in.bytes.back() != '\n' ? 1 : 0);
    if (lines > kMaxCsvLines) {
        error = path + ": is too large for a channel list (more than 10,000 lines)";
        return false;
    }
    text = std::move(in.bytes);
    return true;
}

}  // namespace ks340
