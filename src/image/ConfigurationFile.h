// The kind of a configuration file, told by its contents, never its name:
// a file of exactly 8192 bytes is a memory image; a file that loads as a
// setting file is a setting file; anything else is an error that names
// what was expected.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "image/MemoryImage.h"
#include "model/RadioSettings.h"
#include "model/SettingFile.h"

namespace ks340 {

enum class ConfigurationKind { SettingFile, MemoryImage };

// What a caller can take.
enum class Expected { SettingFile, MemoryImage, Either };

struct ConfigurationFile {
    bool ok = false;
    ConfigurationKind kind = ConfigurationKind::SettingFile;
    std::string error;    // when !ok: names the file and what was expected
    std::string warning;  // a setting file that loaded with warnings: their texts
    std::vector<FileWarning> warnings;
    int line = 0;         // the setting file's line of the error or warning
    MemoryImage image{};  // the bytes of a memory image
};

// Reads `path` through the bounded input reader and tells its kind. A
// setting file is loaded into `settings` as the program's Open does (the
// file read over the record, then the channel table rebuilt); `settings`
// changes only then. A memory image is returned in `image`; `settings` is
// left alone.
ConfigurationFile openConfigurationFile(const std::string& path, Expected expected, RadioSettings& settings);

// The kind of the file at `path`, or nothing when it is neither (or cannot
// be read). Loads into a scratch record only.
std::optional<ConfigurationKind> configurationKindOf(const std::string& path);

}  // namespace ks340
