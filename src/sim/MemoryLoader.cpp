#include "sim/MemoryLoader.h"

#include <cctype>

#include "image/MemoryImage.h"
#include "model/Defaults.h"
#include "model/RadioSettings.h"
#include "model/Signalling.h"
#include "sim/ImageFile.h"

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

bool saveSettingFileMemory(const std::string& path, const Memory& memory, std::string& error) {
    MemoryImage image{};
    for (std::size_t i = 0; i < memory.size(); ++i) image[i] = memory[i];
    RadioSettings settings = configurationFromImage(image);
    prepareForSave(settings);
    const FileResult result = writeSettingFile(path, settings);
    if (!result.ok) {
        error = result.error;
        return false;
    }
    return true;
}

bool isSettingFileName(const std::string& path) {
    if (path.size() < 4) return false;
    std::string end = path.substr(path.size() - 4);
    for (char& c : end) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return end == ".ks3";
}

bool saveMemory(const std::string& path, const Memory& memory, std::string& error) {
    return isSettingFileName(path) ? saveSettingFileMemory(path, memory, error) : saveImageFile(path, memory, error);
}

}  // namespace ks340::sim
