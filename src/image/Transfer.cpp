// The steps around a transfer and around opening a setting file.
#include "image/ConfigurationFile.h"
#include "image/MemoryImage.h"
#include "model/Signalling.h"

namespace ks340 {

void prepareForTransfer(RadioSettings& settings) {
    prepareChannelImage(settings);
    prepareSignallingForTransfer(settings);
}

FileResult openSettingFile(const std::string& path, RadioSettings& settings) {
    const ConfigurationFile file = openConfigurationFile(path, Expected::SettingFile, settings);
    FileResult result;
    result.ok = file.ok;
    result.error = file.error;
    result.warning = file.warning;
    result.line = file.line;
    return result;
}

}  // namespace ks340
