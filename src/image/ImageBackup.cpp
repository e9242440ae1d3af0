#include "image/ImageBackup.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <system_error>

#include "fileio/AtomicFile.h"
#include "image/ConfigurationFile.h"

namespace fs = std::filesystem;

namespace ks340 {

namespace {

constexpr std::string_view kPrefix = "ks340-";
constexpr std::string_view kSuffix = ".img";

bool digitsAt(std::string_view s, std::size_t pos, std::size_t n) {
    if (pos + n > s.size()) return false;
    for (std::size_t i = pos; i < pos + n; ++i)
        if (s[i] < '0' || s[i] > '9') return false;
    return true;
}

int numberAt(std::string_view s, std::size_t pos, std::size_t n) {
    int v = 0;
    for (std::size_t i = pos; i < pos + n; ++i) v = v * 10 + (s[i] - '0');
    return v;
}

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
long long daysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * static_cast<unsigned>(m + (m > 2 ? -3 : 9)) + 2) / 5 + static_cast<unsigned>(d) - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

}  // namespace

bool readImageFile(const std::string& path, MemoryImage& image, std::string& error) {
    auto scratch = std::make_unique<RadioSettings>();
    const ConfigurationFile f = openConfigurationFile(path, Expected::MemoryImage, *scratch);
    if (!f.ok) {
        error = f.error;
        return false;
    }
    image = f.image;
    return true;
}

bool writeImageFile(const std::string& path, const MemoryImage& image, std::string& error) {
    const fileio::IoStatus s =
        fileio::writeFileAtomically(path, std::string_view(reinterpret_cast<const char*>(image.data()), image.size()));
    if (!s.ok) error = s.error;
    return s.ok;
}

std::string backupFileName(BackupClock::time_point when, std::string_view kind) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(when.time_since_epoch()).count();
    const std::time_t seconds = static_cast<std::time_t>(ms / 1000 - (ms % 1000 < 0 ? 1 : 0));
    const int milli = static_cast<int>(((ms % 1000) + 1000) % 1000);
    std::tm tm{};
#ifdef _WIN32
    gmtime_s(&tm, &seconds);
#else
    gmtime_r(&seconds, &tm);
#endif
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d-%02d%02d%02d-%03d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                  tm.tm_hour, tm.tm_min, tm.tm_sec, milli);
    return std::string(kPrefix) + buf + "-" + std::string(kind) + std::string(kSuffix);
}

std::optional<BackupClock::time_point> backupTime(std::string_view name) {
    // ks340-YYYYMMDD-HHMMSS-mmm-...img
    if (name.substr(0, kPrefix.size()) != kPrefix || name.size() < kPrefix.size() + 20 + kSuffix.size() ||
        name.substr(name.size() - kSuffix.size()) != kSuffix)
        return std::nullopt;
    const std::size_t p = kPrefix.size();
    if (!digitsAt(name, p, 8) || name[p + 8] != '-' || !digitsAt(name, p + 9, 6) || name[p + 15] != '-' ||
        !digitsAt(name, p + 16, 3) || name[p + 19] != '-')
        return std::nullopt;
    const int y = numberAt(name, p, 4), mo = numberAt(name, p + 4, 2), d = numberAt(name, p + 6, 2);
    const int h = numberAt(name, p + 9, 2), mi = numberAt(name, p + 11, 2), s = numberAt(name, p + 13, 2);
    const int ms = numberAt(name, p + 16, 3);
    if (mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || s > 60) return std::nullopt;
    const long long total = ((daysFromCivil(y, mo, d) * 24 + h) * 60 + mi) * 60 + s;
    return BackupClock::time_point(
        std::chrono::duration_cast<BackupClock::duration>(std::chrono::seconds(total) + std::chrono::milliseconds(ms)));
}

BackupResult writeImageBackup(const std::string& directory, const MemoryImage& image, std::string_view kind,
                              BackupClock::time_point now) {
    BackupResult r;
    std::error_code ec;
    fs::create_directories(directory, ec);
    if (ec || !fs::is_directory(directory)) {
        r.error = directory + ": the backups folder cannot be created" + (ec ? " (" + ec.message() + ")" : "");
        return r;
    }
    // Same millisecond as an earlier backup: the next free millisecond.
    fs::path path;
    // The name is taken by creating the file exclusively, so that transfers
    // running at the same time never share a backup.
    for (int i = 0; i < 1000; ++i) {
        path = fs::path(directory) / backupFileName(now + std::chrono::milliseconds(i), kind);
        if (std::FILE* reserved = std::fopen(path.string().c_str(), "wbx")) {
            std::fclose(reserved);
            break;
        }
    }
    if (!writeImageFile(path.string(), image, r.error)) {
        fs::remove(path, ec);
        return r;
    }
    r.ok = true;
    r.path = path.string();
    r.pruned = pruneImageBackups(directory, now);
    return r;
}

int pruneImageBackups(const std::string& directory, BackupClock::time_point now, int keepDays) {
    const auto limit = now - std::chrono::hours(24) * keepDays;
    int removed = 0;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(directory, ec)) {
        if (!entry.is_regular_file(ec)) continue;
        const auto when = backupTime(entry.path().filename().string());
        if (when && *when < limit && fs::remove(entry.path(), ec)) ++removed;
    }
    return removed;
}

std::vector<std::string> listImageBackups(const std::string& directory) {
    std::vector<std::pair<BackupClock::time_point, std::string>> found;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(directory, ec)) {
        if (!entry.is_regular_file(ec)) continue;
        if (const auto when = backupTime(entry.path().filename().string()))
            found.emplace_back(*when, entry.path().string());
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> paths;
    for (auto& f : found) paths.push_back(std::move(f.second));
    return paths;
}

}  // namespace ks340
