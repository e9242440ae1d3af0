// The steps around a transfer and around opening a setting file.
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
    FileResult result = readSettingFile(path, settings);
    if (result.ok) refreshChannelTable(settings, true);
    return result;
}

}  // namespace ks340
