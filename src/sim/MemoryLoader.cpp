#include "sim/MemoryLoader.h"

#include "image/MemoryImage.h"
#include "model/Defaults.h"
#include "model/RadioSettings.h"

namespace ks340::sim {

bool loadSettingFileMemory(const std::string& path, Memory& memory, std::string& error) {
    RadioSettings settings;
    resetRadioSettings(settings);
    const FileResult result = openSettingFile(path, settings);
    if (!result.ok) {
        error = result.error;
        return false;
    }
    prepareForTransfer(settings);
    const MemoryImage image = encodeMemoryImage(settings);
    static_assert(sizeof(image) == sizeof(memory), "memory image sizes differ");
    for (std::size_t i = 0; i < memory.size(); ++i) memory[i] = image[i];
    return true;
}

}  // namespace ks340::sim
