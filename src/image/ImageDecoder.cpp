// Memory image -> configuration.
#include <algorithm>

#include "image/ImageConversions.h"
#include "image/ImageLayout.h"
#include "image/MemoryImage.h"
#include "model/Signalling.h"

namespace ks340 {

namespace {

using namespace layout;

constexpr std::size_t idx(int i) { return static_cast<std::size_t>(i); }

constexpr int kLongestField = kModemTextWidth;

class Reader {
public:
    explicit Reader(const MemoryImage& image) : m_(image) {}

    int byte(int address) const { return m_[idx(address)]; }
    int bits(int address, int pos, int width) const { return (byte(address) >> pos) & ((1 << width) - 1); }

    // A text of the stored length, never more than the field holds, so a
    // damaged or foreign image cannot make a text run past its field.
    std::string text(int address, int width, int storedLength) const {
        std::string out;
        text(out, address, width, storedLength);
        return out;
    }
    void text(std::string& out, int address, int width, int storedLength) const {
        const int n = std::min(storedLength, width);
        char buf[kLongestField];
        for (int i = 0; i < n; ++i) buf[i] = TextCode::decode(m_[idx(address + i)]);
        out.assign(buf, idx(n));
    }
    // Digits end at the stored length, the field's width or the padding code.
    std::string digits(int address, int width, int storedLength) const {
        std::string out;
        digits(out, address, width, storedLength);
        return out;
    }
    void digits(std::string& out, int address, int width, int storedLength) const {
        const int n = std::min(storedLength, width);
        char buf[kLongestField];
        int k = 0;
        for (; k < n; ++k) {
            const char c = ToneDigitCode::decode(m_[idx(address + k)]);
            if (c == '\0') break;
            buf[k] = c;
        }
        out.assign(buf, idx(k));
    }

private:
    const MemoryImage& m_;
};

void readChannelRecords(const ChannelTable& t, ChannelGroup& list) {
    for (int c = 1; c <= kChannelCapacity; ++c) {
        const ChannelRecord& b = t.prep.channelImage[idx(c)];
        ChannelEntry& e = list.channels[idx(c)];
        e.rxStepCode = b[0] >> 6;
        e.bandwidth = (b[0] >> 5) & 1;
        e.txPower = (b[0] >> 4) & 1;
        e.rxInverseDcs = (b[0] >> 3) & 1;
        e.rxCodeN = (b[0] & 0x07) * 256 + b[1];
        e.rxCodeA = b[2];
        e.rxSquelch = b[3];
        e.txInverseDcs = (b[4] >> 7) & 1;
        e.txCodeN = (b[4] & 0x07) * 256 + b[5];
        e.txCodeA = b[6];
        e.txSquelch = b[7];
        e.txStepCode = b[8] >> 6;
    }
}

void readGroups(const Reader& r, ChannelTable& t) {
    auto& groups = t.groups;
    for (int g = 1; g <= 7; ++g) groups[idx(g)].hasChannels = r.bits(kGroupFlags1to7, g, 1);
    groups[8].hasChannels = r.bits(kGroupFlags8to13, 0, 1);
    for (int g = 9; g <= 13; ++g) groups[idx(g)].hasChannels = r.bits(kGroupFlags8to13, g - 8, 1);

    auto powerOnMasked = [&](int g) {
        return g <= 7 ? r.bits(kPowerOnMask0to7, g, 1) != 0 : r.bits(kPowerOnMask8to13, g - 8, 1) != 0;
    };

    ChannelGroup& list = groups[0];
    list.priorityChannel = r.byte(kListRecord + 2);
    list.powerOnChannel = powerOnMasked(0) ? 0 : r.byte(kListRecord + 3);

    int previousEnd = 0;  // E(g-1)
    int total = 0;        // capabilities so far
    for (int g = 1; g < kGroupSlots; ++g) {
        ChannelGroup& group = groups[idx(g)];
        const int base = groupRecord(g);
        const int p = r.byte(base + 2);
        const int o = r.byte(base + 3);
        const int e = r.byte(base + 4);
        if (g == 1) {
            group.priorityChannel = p;
            group.powerOnChannel = powerOnMasked(1) ? 0 : o;
        } else {
            group.priorityChannel = p > previousEnd ? p - previousEnd : 0;
            group.powerOnChannel = powerOnMasked(g) || o <= previousEnd ? 0 : o - previousEnd;
        }
        // The groups share the 208 channel slots: a damaged table cannot
        // give them more, nor a negative count.
        group.capability = std::clamp(e - previousEnd, 0, kChannelCapacity - total);
        total += group.capability;
        group.channelEnd = e;
        previousEnd = e;
    }
}

void readLabels(const Reader& r, ChannelTable& t) {
    int slot = 0;
    auto next = [&](ChannelEntry& e) {
        const int base = labelSlot(slot++);
        r.text(e.label, base, kLabelWidth, r.byte(base + kLabelWidth));
    };
    bool anyGroup = false;
    for (int g = 1; g < kGroupSlots; ++g) {
        ChannelGroup& group = t.groups[idx(g)];
        if (group.hasChannels != 1) continue;
        anyGroup = true;
        for (int m = 1; m <= group.capability && slot < kLabelSlots; ++m) next(group.channels[idx(m)]);
    }
    if (!anyGroup) {
        ChannelGroup& list = t.groups[0];
        const int cap = std::clamp(list.capability, 0, kChannelCapacity);
        for (int m = 1; m <= cap && slot < kLabelSlots; ++m) next(list.channels[idx(m)]);
    }
}

}  // namespace

namespace conversions {

void decodeChannelRecords(const ImageField&, const MemoryImage& image, RadioSettings& s) {
    // The raw records (settings block included) stay with the channel table.
    ChannelTable& t = s.channelTable;
    for (int c = 0; c < kChannelSlots; ++c)
        for (int b = 0; b < kChannelRecordSize; ++b) t.prep.channelImage[idx(c)][idx(b)] = image[idx(9 * c + b)];
    readChannelRecords(t, t.groups[0]);
}

void decodeGroupTable(const ImageField&, const MemoryImage& image, RadioSettings& s) {
    readGroups(Reader(image), s.channelTable);
}

void decodeLabels(const ImageField&, const MemoryImage& image, RadioSettings& s) {
    readLabels(Reader(image), s.channelTable);
}

void decodeScanBitmaps(const ImageField& f, const MemoryImage& image, RadioSettings& s) {
    ChannelImagePreparation& p = s.channelTable.prep;
    for (int i = 0; i < kMaskBytes; ++i) {
        p.scanMask[idx(i)] = image[idx(f.address + i)];
        p.scanMask2[idx(i)] = image[idx(f.address + kMaskBytes + i)];
    }
}

void decodeToneSet(const ImageField& f, const MemoryImage& image, RadioSettings& s) {
    ToneSequenceSettings& t = s.toneSequence;
    // A tone set the program does not know (a damaged or foreign image)
    // leaves the choice as it was: the tone page could not show it and a
    // setting file could not hold it.
    const int set = image[idx(f.address)];
    if (isValidToneSet(set)) t.toneset = set;
    // The image carries only the tone generator values of a built-in set;
    // its frequencies come from the set itself, so that the next write
    // sends the tones of the set that was read.
    if (t.toneset != kUserToneSet && isValidToneSet(t.toneset)) t.toneFrequency = ToneSetTable[idx(t.toneset)].tones;
}

void decodeToneSequence(const ImageField& f, const MemoryImage& image, RadioSettings& s) {
    Reader(image).digits(*f.text(s), f.address, f.width, image[idx(f.length)]);
}

void decodeUserTone(const ImageField& f, const MemoryImage& image, RadioSettings& s) {
    const Reader r(image);
    const int nibbles[4] = {r.bits(f.address, 4, 4), r.bits(f.address, 0, 4), r.bits(f.address + 1, 4, 4),
                            r.bits(f.address + 1, 0, 4)};
    const int n = std::min(r.byte(f.length), 4);
    std::string& text = *f.text(s);
    text.clear();
    for (int i = 0; i < n; ++i) text += ToneDigitCode::decode(static_cast<std::uint8_t>(nibbles[i]));
}

// The characters just before the length byte, as many as it says.
void decodeLogo(const ImageField& f, const MemoryImage& image, RadioSettings& s) {
    const int n = std::min<int>(image[idx(f.length)], f.width);
    Reader(image).text(*f.text(s), f.address + f.width - n, n, n);
}

}  // namespace conversions

void decodeMemoryImage(const MemoryImage& image, RadioSettings& s) {
    const Reader r(image);
    for (const ImageField& f : imageFields()) {
        if (f.direction == ImageDirection::EncodeOnly || (f.when && !f.when(s))) continue;
        const int byte = image[idx(f.address)];
        switch (f.coding) {
            case ImageCoding::Bits:
                *f.integer(s) = (byte >> f.bit) & ((1 << f.width) - 1);
                break;
            case ImageCoding::Times5:
                *f.integer(s) = byte * 5;
                break;
            case ImageCoding::Times10:
                *f.integer(s) = byte * 10;
                break;
            case ImageCoding::Digits:
                r.digits(*f.text(s), f.address, f.width, image[idx(f.length)]);
                break;
            case ImageCoding::Text:
                r.text(*f.text(s), f.address, f.width, image[idx(f.length)]);
                break;
            case ImageCoding::Conversion:
                f.conversion->decode(f, image, s);
                break;
            case ImageCoding::Present:
            case ImageCoding::NonZero:
            case ImageCoding::Fixed:
                break;
        }
    }
}

}  // namespace ks340
