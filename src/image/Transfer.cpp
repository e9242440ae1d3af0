// The steps around a transfer and around opening a setting file.
#include "image/ConfigurationFile.h"
#include "image/MemoryImage.h"
#include "model/Defaults.h"
#include "model/Signalling.h"

namespace ks340 {

void prepareForTransfer(RadioSettings& settings) {
    prepareChannelImage(settings);
    prepareSignallingForTransfer(settings);
}

RadioSettings configurationFromImage(const MemoryImage& image, const RadioSettings& base) {
    RadioSettings settings = base;
    decodeMemoryImage(image, settings);
    refreshChannelTable(settings, false);
    return settings;
}

RadioSettings configurationFromImage(const MemoryImage& image) {
    return configurationFromImage(image, newRadioSettings());
}

RadioSettings configurationAsRadioHoldsIt(const RadioSettings& settings) {
    RadioSettings prepared = settings;
    prepareForTransfer(prepared);
    return configurationFromImage(encodeMemoryImage(prepared), settings);
}

FileResult openSettingFile(const std::string& path, RadioSettings& settings) {
    const ConfigurationFile file = openConfigurationFile(path, Expected::SettingFile, settings);
    FileResult result;
    result.ok = file.ok;
    result.error = file.error;
    result.warning = file.warning;
    result.warnings = file.warnings;
    result.line = file.line;
    return result;
}

}  // namespace ks340
