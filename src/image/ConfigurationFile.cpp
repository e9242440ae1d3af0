#include "image/ConfigurationFile.h"

#include <algorithm>
#include <memory>

#include "fileio/InputFile.h"
#include "model/Defaults.h"
#include "model/SettingFile.h"

namespace ks340 {

namespace {

const char* expectedText(Expected expected) {
    switch (expected) {
        case Expected::SettingFile:
            return "a setting file";
        case Expected::MemoryImage:
            return "an 8192-byte memory image";
        case Expected::Either:
            break;
    }
    return "a setting file or an 8192-byte memory image";
}

}  // namespace

ConfigurationFile openConfigurationFile(const std::string& path, Expected expected, RadioSettings& settings) {
    ConfigurationFile r;
    fileio::InputFile in = fileio::readInputFile(path, kMaxSettingFileSize);
    if (!in.ok && !in.tooLarge) {
        r.error = in.error;
        return r;
    }
    if (in.ok && in.bytes.size() == kImageSize) {
        if (expected == Expected::SettingFile) {
            r.error = path + ": is an 8192-byte memory image, not a setting file";
            return r;
        }
        r.kind = ConfigurationKind::MemoryImage;
        std::copy(in.bytes.begin(), in.bytes.end(), reinterpret_cast<char*>(r.image.data()));
        r.ok = true;
        return r;
    }
    // Beyond the size limit the reader stops at the last line it needs.
    auto loaded = std::make_unique<RadioSettings>(settings);
    const FileResult text = readSettingText(in.bytes, *loaded, path);
    r.line = text.line;
    if (!text.ok) {
        r.error = expected == Expected::SettingFile
                      ? text.error
                      : path + ": is not " + expectedText(expected) + " (" + std::to_string(in.bytes.size()) +
                            (in.tooLarge ? "+" : "") + " bytes" +
                            (expected == Expected::Either ? "; as a setting file: " + text.error.substr(path.size() + 2)
                                                          : std::string()) +
                            ")";
        return r;
    }
    if (expected == Expected::MemoryImage) {
        r.error = path + ": is a setting file, not an 8192-byte memory image";
        return r;
    }
    refreshChannelTable(*loaded, true);
    settings = std::move(*loaded);
    r.kind = ConfigurationKind::SettingFile;
    r.warning = text.warning;
    r.warnings = text.warnings;
    r.ok = true;
    return r;
}

std::optional<ConfigurationKind> configurationKindOf(const std::string& path) {
    auto scratch = std::make_unique<RadioSettings>(newRadioSettings());
    const ConfigurationFile f = openConfigurationFile(path, Expected::Either, *scratch);
    if (!f.ok) return std::nullopt;
    return f.kind;
}

}  // namespace ks340
