// The steps around a transfer and around opening a setting file.
#include "image/MemoryImage.h"
#include "model/Signalling.h"

namespace ks340 {

void prepareForTransfer(RadioSettings& settings) {
    prepareChannelImage(settings);
    prepareSignallingForTransfer(settings);
}

FileResult openSettingFile(const std::string& path, RadioSettings& settings) {
    FileResult result = readSettingFile(path, settings);
    if (result.ok) refreshChannelTable(settings, true);
    return result;
}

}  // namespace ks340
