// Configuration -> memory image.
#include <algorithm>

#include "image/ImageConversions.h"
#include "image/ImageLayout.h"
#include "image/MemoryImage.h"
#include "model/Signalling.h"

namespace ks340 {

namespace {

using namespace layout;

class Writer {
public:
    explicit Writer(MemoryImage& image) : m_(image) {}

    void set(int address, std::int64_t value) { m_[at(address)] = static_cast<std::uint8_t>(value & 0xFF); }

    // ORs the low `width` bits of value into the byte at bit position `pos`.
    void bits(int address, int pos, int width, std::int64_t value) {
        const auto mask = static_cast<std::int64_t>((1u << width) - 1u);
        m_[at(address)] |= static_cast<std::uint8_t>(((value & mask) << pos) & 0xFF);
    }
    void flag(int address, int pos, bool on) { bits(address, pos, 1, on ? 1 : 0); }

    // `width` TextCodes of the text, left-aligned and padded.
    void textCodes(int address, int width, const std::string& text) {
        for (int i = 0; i < width; ++i)
            m_[at(address + i)] = idx(i) < text.size() ? TextCode::encode(text[idx(i)]) : TextCode::kPadding;
    }
    // A text's length byte holds its full length, even past the field.
    void length(int address, const std::string& text) { set(address, static_cast<std::int64_t>(text.size())); }

private:
    static std::size_t at(int address) { return static_cast<std::size_t>(address); }
    static std::size_t idx(int i) { return static_cast<std::size_t>(i); }
    MemoryImage& m_;
};

bool hasPowerOn(const ChannelGroup& g) { return g.powerOnChannel > 0; }
bool hasPriority(const ChannelGroup& g) { return g.priorityChannel > 0; }
int powerOnByte(const ChannelGroup& g) { return g.powerOnChannel > 0 ? g.powerOnChannel : g.firstChannel; }

void writeGroups(Writer& w, const ChannelTable& t) {
    const auto& groups = t.groups;
    for (int g = 1; g <= 7; ++g) w.flag(kGroupFlags1to7, g, groups[static_cast<std::size_t>(g)].hasChannels & 1);
    for (int g = 8; g <= 13; ++g) w.flag(kGroupFlags8to13, g - 8, groups[static_cast<std::size_t>(g)].hasChannels & 1);

    const ChannelGroup& list = groups[0];
    w.set(kListRecord + 0, list.lastChannel);
    w.set(kListRecord + 1, list.firstChannel);
    w.set(kListRecord + 2, list.priorityChannel);
    w.set(kListRecord + 3, powerOnByte(list));
    for (int g = 1; g < kGroupSlots; ++g) {
        const ChannelGroup& group = groups[static_cast<std::size_t>(g)];
        const int base = groupRecord(g);
        w.set(base + 0, group.lastChannel);
        w.set(base + 1, group.firstChannel);
        w.set(base + 2, group.priorityChannel);
        w.set(base + 3, powerOnByte(group));
        w.set(base + 4, group.channelEnd);
    }

    for (int k = 0; k < 6; ++k) w.flag(kPowerOnMask8to13, k, !hasPowerOn(groups[static_cast<std::size_t>(8 + k)]));
    for (int g = 0; g <= 7; ++g) w.flag(kPowerOnMask0to7, g, !hasPowerOn(groups[static_cast<std::size_t>(g)]));
    w.bits(kGroupRange, 0, 4, t.lowestGroup);
    w.bits(kGroupRange, 4, 4, t.highestGroup);
    for (int k = 0; k < 6; ++k) w.flag(kPriorityMask8to13, k, hasPriority(groups[static_cast<std::size_t>(8 + k)]));
    for (int g = 0; g <= 7; ++g) w.flag(kPriorityMask0to7, g, hasPriority(groups[static_cast<std::size_t>(g)]));
    for (int i = 0; i < kMaskBytes; ++i)
        w.set(kProgrammedMask + i, static_cast<std::uint8_t>(~t.prep.programmedMask[static_cast<std::size_t>(i)]));
}

}  // namespace

namespace conversions {

void encodeChannelRecords(const ImageField&, const RadioSettings& s, MemoryImage& m) {
    // Record 0 is the settings block, which its own fields fill.
    const auto& records = s.channelTable.prep.channelImage;
    for (std::size_t c = 1; c < kChannelSlots; ++c)
        std::copy(records[c].begin(), records[c].end(), m.begin() + kChannelRecordSize * c);
}

void encodeGroupTable(const ImageField&, const RadioSettings& s, MemoryImage& m) {
    Writer w(m);
    writeGroups(w, s.channelTable);
}

void encodeScanGroupMarks(const ImageField& f, const RadioSettings& s, MemoryImage& m) {
    Writer w(m);
    w.set(f.address, s.channelTable.prep.scanGroupMask[1]);
    w.set(f.address + 1, s.channelTable.prep.scanGroupMask[0]);
}

void encodeScanBitmaps(const ImageField& f, const RadioSettings& s, MemoryImage& m) {
    const auto& mask = s.channelTable.prep.scanMask;
    std::copy(mask.begin(), mask.end(), m.begin() + f.address);
}

void encodeLabels(const ImageField&, const RadioSettings& s, MemoryImage& m) {
    Writer w(m);
    const ChannelTable& t = s.channelTable;

    int slot = 0;
    auto put = [&](const ChannelEntry& e) {
        const int base = labelSlot(slot++);
        w.textCodes(base, kLabelWidth, e.label);
        w.length(base + kLabelWidth, e.label);
    };
    bool anyGroup = false;
    for (int g = 1; g < kGroupSlots; ++g) {
        const ChannelGroup& group = t.groups[static_cast<std::size_t>(g)];
        if (group.hasChannels != 1) continue;
        anyGroup = true;
        const int cap = std::clamp(group.capability, 0, kChannelCapacity);
        for (int m = 1; m <= cap && slot < kLabelSlots; ++m) put(group.channels[static_cast<std::size_t>(m)]);
    }
    if (!anyGroup) {
        const int cap = std::clamp(t.groups[0].capability, 0, kChannelCapacity);
        for (int m = 1; m <= cap && slot < kLabelSlots; ++m) put(t.groups[0].channels[static_cast<std::size_t>(m)]);
    }
}

void encodeToneCycles(const ImageField& f, const RadioSettings& s, MemoryImage& m) {
    const auto k = static_cast<std::size_t>(f.value);
    m[static_cast<std::size_t>(f.address)] = static_cast<std::uint8_t>(s.toneSequence.toneCycleRemainder[k] & 0xFF);
    m[static_cast<std::size_t>(f.address + 1)] = static_cast<std::uint8_t>(s.toneSequence.toneCycleCount[k] & 0xFF);
}

void encodeToneSet(const ImageField& f, const RadioSettings& s, MemoryImage& m) {
    m[static_cast<std::size_t>(f.address)] = static_cast<std::uint8_t>(s.toneSequence.toneset & 0xFF);
}

// The eight tone sequences: a tone equal to the one stored just before it
// becomes the repeat tone. The padding after the text takes part as well,
// exactly as the radio's own programming expects it.
void encodeToneSequence(const ImageField& f, const RadioSettings& s, MemoryImage& m) {
    const std::string& sequence = f.text(s);
    char stored[kSequenceWidth];
    for (int i = 0; i < kSequenceWidth; ++i) {
        char c = static_cast<std::size_t>(i) < sequence.size() ? sequence[static_cast<std::size_t>(i)] : '\0';
        const bool special = c == 'K' || c == 'k' || c == 'S' || c == 's' || c == 'X' || c == 'x';
        if (i > 0 && !special && c == stored[i - 1]) c = 'e';
        stored[i] = c;
        m[static_cast<std::size_t>(f.address + i)] = ToneDigitCode::encode(c);
    }
    m[static_cast<std::size_t>(f.length)] = static_cast<std::uint8_t>(sequence.size() & 0xFF);
}

// The first four characters as digits, two to a byte, first digit high.
void encodeUserTone(const ImageField& f, const RadioSettings& s, MemoryImage& m) {
    const std::string& text = f.text(s);
    int d[4];
    for (int i = 0; i < 4; ++i)
        d[i] = static_cast<std::size_t>(i) < text.size() ? text[static_cast<std::size_t>(i)] - '0' : 0;
    Writer w(m);
    w.set(f.address, d[0] * 16 + d[1]);
    w.set(f.address + 1, d[2] * 16 + d[3]);
    w.length(f.length, text);
}

void encodeDecodeDuration(const ImageField& f, const RadioSettings& s, MemoryImage& m) {
    const int duration = imageDecodeDuration(s);
    Writer w(m);
    w.set(f.address, (duration >> 8) & 0x0F);
    w.set(f.address + 1, duration);
}

void encodeLightKeyAbsent(const ImageField& f, const RadioSettings& s, MemoryImage& m) {
    const OptionSettings& o = s.option;
    const int keys[6] = {o.programmableKey1Short, o.programmableKey2Short, o.programmableKey3Short,
                         o.programmableKey1Long,  o.programmableKey2Long,  o.programmableKey3Long};
    constexpr int kLightKey = 2;
    m[static_cast<std::size_t>(f.address)] =
        std::none_of(std::begin(keys), std::end(keys), [](int k) { return k == kLightKey; }) ? 1 : 0;
}

// Right-aligned in its places; a longer text keeps its first ones.
void encodeLogo(const ImageField& f, const RadioSettings& s, MemoryImage& m) {
    const std::string& logo = f.text(s);
    const int shown = static_cast<int>(std::min<std::size_t>(logo.size(), static_cast<std::size_t>(f.width)));
    for (int i = 0; i < f.width; ++i) {
        const int c = i - (f.width - shown);
        m[static_cast<std::size_t>(f.address + i)] =
            c >= 0 ? TextCode::encode(logo[static_cast<std::size_t>(c)]) : TextCode::kPadding;
    }
    m[static_cast<std::size_t>(f.length)] = static_cast<std::uint8_t>(logo.size() & 0xFF);
}

}  // namespace conversions

int imageDecodeDuration(const RadioSettings& s) {
    const std::int64_t v =
        std::int64_t{s.selcallDecode.decodeDuration} + std::int64_t{s.toneSequence.longestLeadInTime};
    const std::int64_t units = v / 10 + (v % 10 > 0 ? 1 : 0);
    return static_cast<int>(units & 0x0FFF);
}

void encodeMemoryImage(const RadioSettings& s, MemoryImage& image) {
    image.fill(0);
    for (const ImageField& f : imageFields()) {
        if (f.direction == ImageDirection::DecodeOnly || (f.when && !f.when(s))) continue;
        std::uint8_t& byte = image[static_cast<std::size_t>(f.address)];
        // Bit and fixed fields have a width within the byte; texts and tables
        // give theirs in bytes, which no mask is made from.
        const std::int64_t mask = f.width < 32 ? static_cast<std::int64_t>((1u << f.width) - 1u) : -1;
        switch (f.coding) {
            case ImageCoding::Bits:
                byte |= static_cast<std::uint8_t>(((f.integer(s) & mask) << f.bit) & 0xFF);
                break;
            case ImageCoding::Times5:
                byte |= static_cast<std::uint8_t>((f.integer(s) / 5) & 0xFF);
                break;
            case ImageCoding::Times10:
                byte |= static_cast<std::uint8_t>((f.integer(s) / 10) & 0xFF);
                break;
            case ImageCoding::Digits: {
                const std::string& t = f.text(s);
                for (int i = 0; i < f.width; ++i)
                    image[static_cast<std::size_t>(f.address + i)] =
                        static_cast<std::size_t>(i) < t.size() ? ToneDigitCode::encode(t[static_cast<std::size_t>(i)])
                                                               : ToneDigitCode::kPadding;
                image[static_cast<std::size_t>(f.length)] = static_cast<std::uint8_t>(t.size() & 0xFF);
                break;
            }
            case ImageCoding::Text: {
                const std::string& t = f.text(s);
                for (int i = 0; i < f.width; ++i)
                    image[static_cast<std::size_t>(f.address + i)] =
                        static_cast<std::size_t>(i) < t.size() ? TextCode::encode(t[static_cast<std::size_t>(i)])
                                                               : TextCode::kPadding;
                image[static_cast<std::size_t>(f.length)] = static_cast<std::uint8_t>(t.size() & 0xFF);
                break;
            }
            case ImageCoding::Present:
                if (!f.text(s).empty()) byte |= static_cast<std::uint8_t>(1u << f.bit);
                break;
            case ImageCoding::NonZero:
                if (f.integer(s) > 0) byte |= static_cast<std::uint8_t>(1u << f.bit);
                break;
            case ImageCoding::Fixed:
                byte |= static_cast<std::uint8_t>(((f.value & mask) << f.bit) & 0xFF);
                break;
            case ImageCoding::Conversion:
                f.conversion->encode(f, s, image);
                break;
        }
    }
}

MemoryImage encodeMemoryImage(const RadioSettings& settings) {
    MemoryImage image;
    encodeMemoryImage(settings, image);
    return image;
}

}  // namespace ks340
