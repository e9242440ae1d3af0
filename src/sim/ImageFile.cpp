#include "sim/ImageFile.h"

#include <algorithm>
#include <string_view>

#include "fileio/AtomicFile.h"
#include "image/ImageBackup.h"

namespace ks340::sim {

Memory blankMemory() {
    Memory m;
    m.fill(0xFF);
    return m;
}

bool loadImageFile(const std::string& path, Memory& memory, std::string& error) {
    MemoryImage image{};
    static_assert(sizeof(image) == sizeof(memory), "memory image sizes differ");
    if (!readImageFile(path, image, error)) return false;
    std::copy(image.begin(), image.end(), memory.begin());
    return true;
}

bool saveImageFile(const std::string& path, const Memory& memory, std::string& error) {
    const fileio::IoStatus s = fileio::writeFileAtomically(
        path, std::string_view(reinterpret_cast<const char*>(memory.data()), memory.size()));
    if (!s.ok) error = s.error;
    return s.ok;
}

}  // namespace ks340::sim
