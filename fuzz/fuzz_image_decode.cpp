// Any 8192 bytes read from a radio (or a damaged image file) must decode,
// rebuild the channel table, prepare, encode and save without a fault.
// (That the saved file loads again is checked by the unit tests; the
// setting file reader has a fuzzer of its own.)
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "image/MemoryImage.h"
#include "model/Defaults.h"
#include "model/SettingFile.h"
#include "model/Signalling.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace ks340;
    // Shorter inputs are padded with zero bytes, longer ones cut: the
    // decoder always sees a whole image.
    MemoryImage image{};
    std::memcpy(image.data(), data, size < image.size() ? size : image.size());

    // Copy-assigning keeps the text buffers of the earlier runs.
    static const RadioSettings fresh = newRadioSettings();
    static RadioSettings settings;
    settings = fresh;
    decodeMemoryImage(image, settings);
    refreshChannelTable(settings, false);

    // Every decoded text fits its field.
    check(settings.header.lcdDisplayLogo.size() <= 9);
    int total = 0;
    for (int g = 1; g < kGroupSlots; ++g) {
        const ChannelGroup& group = settings.channelTable.groups[static_cast<std::size_t>(g)];
        check(group.capability >= 0);
        total += group.capability;
        for (int c = 1; c <= group.capability; ++c)
            check(group.channels[static_cast<std::size_t>(c)].label.size() <= 8);
    }
    check(total <= kChannelCapacity);
    for (int n = 1; n < kSequenceSlots; ++n)
        check(settings.toneSequence.sequences[static_cast<std::size_t>(n)].sequence.size() <= 8);
    for (const std::string& t : settings.modem.modemText) check(t.size() <= 40);
    for (const std::string& t : settings.dtmf.statusText) check(t.size() <= 8);
    for (const std::string& t : settings.dtmf.dtmfCodes) check(t.size() <= 15);
    check(settings.selcallEncode.aniSequence.size() <= 15 && settings.selcallEncode.emgSequence.size() <= 15);

    prepareForSave(settings);
    check(!formatSettingFile(settings).empty());

    prepareForTransfer(settings);
    const MemoryImage first = encodeMemoryImage(settings);
    check(encodeMemoryImage(settings) == first);
    check(formatMemoryMap(first).size() > 0);

    return 0;
}
