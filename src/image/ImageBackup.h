// Raw memory image files and the backups kept of every transfer.
//
// Every completed read and every write keeps the 8192 bytes in a backups
// folder, one file per transfer named
//   ks340-YYYYMMDD-HHMMSS-mmm-<kind>.img      (UTC; kind "read" or "write")
// so a radio can always be put back the way it was. Backups older than
// 365 days are pruned; files of any other name are never touched.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "image/MemoryImage.h"

namespace ks340 {

inline constexpr int kBackupKeepDays = 365;

using BackupClock = std::chrono::system_clock;

// Reads a raw image file: exactly 8192 bytes (by content, whatever the
// name; see ConfigurationFile.h), else false with a message naming the file.
bool readImageFile(const std::string& path, MemoryImage& image, std::string& error);

// Writes a raw image through the atomic writer: the target is either the
// old file or the complete new one.
bool writeImageFile(const std::string& path, const MemoryImage& image, std::string& error);

// "ks340-20261208-062137-042-read.img" for a time and a kind.
std::string backupFileName(BackupClock::time_point when, std::string_view kind);

// The time a backup file name carries; nothing for other names.
std::optional<BackupClock::time_point> backupTime(std::string_view fileName);

struct BackupResult {
    bool ok = false;
    std::string path;  // the file written
    std::string error;
    int pruned = 0;  // old backups removed
};

// Writes one backup into `directory` (created when missing), then prunes
// the backups older than kBackupKeepDays before `now`. Two backups in the
// same millisecond get distinct names.
BackupResult writeImageBackup(const std::string& directory, const MemoryImage& image, std::string_view kind,
                              BackupClock::time_point now = BackupClock::now());

// Removes the backups of `directory` whose name time is more than `keepDays`
// days before `now`; returns how many were removed.
int pruneImageBackups(const std::string& directory, BackupClock::time_point now, int keepDays = kBackupKeepDays);

// The backup files of a directory, oldest first (full paths).
std::vector<std::string> listImageBackups(const std::string& directory);

}  // namespace ks340
