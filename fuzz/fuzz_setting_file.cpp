// Any file handed to Open must read or be refused cleanly, and whatever it
// loads must rebuild, prepare, encode and save without a fault.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "image/MemoryImage.h"
#include "model/Defaults.h"
#include "model/SettingFile.h"
#include "model/Signalling.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace ks340;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // Copy-assigning keeps the text buffers of the earlier runs.
    static const RadioSettings fresh = newRadioSettings();
    static RadioSettings settings;
    static RadioSettings again;
    settings = fresh;
    const FileResult result = readSettingText(text, settings, "fuzz.ks3");
    if (!result.ok) {
        if (result.error.empty()) std::abort();  // a refusal says why
        return 0;
    }
    refreshChannelTable(settings, true);
    prepareForSave(settings);
    const std::string saved = formatSettingFile(settings);

    prepareForTransfer(settings);
    const MemoryImage image = encodeMemoryImage(settings);
    if (encodeMemoryImage(settings) != image) std::abort();

    // The saved text reads back into the same configuration.
    again = fresh;
    const FileResult reread = readSettingText(saved, again, "saved.ks3");
    if (!reread.ok) std::abort();
    refreshChannelTable(again, true);
    prepareForSave(again);
    if (formatSettingFile(again) != saved) std::abort();
    return 0;
}
