// Configuration -> memory image.
#include <algorithm>

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
    // `width` ToneDigitCodes of the digits, left-aligned and padded.
    void digitCodes(int address, int width, const std::string& digits) {
        for (int i = 0; i < width; ++i)
            m_[at(address + i)] =
                idx(i) < digits.size() ? ToneDigitCode::encode(digits[idx(i)]) : ToneDigitCode::kPadding;
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

    w.bits(kPowerOnMask8to13, 6, 2, 3);
    for (int k = 0; k < 6; ++k) w.flag(kPowerOnMask8to13, k, !hasPowerOn(groups[static_cast<std::size_t>(8 + k)]));
    for (int g = 0; g <= 7; ++g) w.flag(kPowerOnMask0to7, g, !hasPowerOn(groups[static_cast<std::size_t>(g)]));
    w.bits(kGroupRange, 0, 4, t.lowestGroup);
    w.bits(kGroupRange, 4, 4, t.highestGroup);
    for (int k = 0; k < 6; ++k) w.flag(kPriorityMask8to13, k, hasPriority(groups[static_cast<std::size_t>(8 + k)]));
    for (int g = 0; g <= 7; ++g) w.flag(kPriorityMask0to7, g, hasPriority(groups[static_cast<std::size_t>(g)]));
    for (int i = 0; i < kMaskBytes; ++i)
        w.set(kProgrammedMask + i, static_cast<std::uint8_t>(~t.prep.programmedMask[static_cast<std::size_t>(i)]));
}

void writeLabels(Writer& w, const ChannelTable& t) {
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

void writeSettingsBlock(Writer& w, const RadioSettings& s) {
    const OptionSettings& o = s.option;
    const ChannelTable& t = s.channelTable;
    w.set(0, o.txInhibit > 0 ? 1 : 0);
    w.bits(0, 2, 1, o.markIdle);
    w.bits(0, 3, 1, 1);
    w.bits(0, 4, 1, o.txDelay);
    w.bits(0, 5, 1, o.pttTimer);
    w.bits(0, 6, 1, o.busyChLockOut);
    w.bits(0, 7, 1, o.beep);

    w.set(1, o.scanTx & 0x03);
    w.bits(1, 2, 1, s.header.radioBand);
    w.bits(1, 3, 1, s.header.model);
    w.bits(1, 5, 1, s.dtmf.dtmf);
    w.bits(1, 7, 1, o.scanType);

    w.set(2, o.txInhibit & 0x0F);
    w.bits(2, 4, 1, t.priorityPresent);
    w.bits(2, 6, 1, 1);

    w.set(3, o.txTimer);

    w.set(4, o.priorityLbTime & 0x0F);
    w.bits(4, 4, 4, o.scanWaitTime);

    w.set(5, o.scanSpeedTime);

    w.set(6, t.groupScanFlag & 1);
    w.bits(6, 1, 1, t.noPowerOnChannel);

    w.set(7, t.anyScanChannel & 1);
    w.bits(7, 4, 1, o.powerUpAlert);
    w.bits(7, 5, 1, 1);
    w.bits(7, 6, 1, o.hook);
    w.bits(7, 7, 1, o.txInhibitAlert);

    w.set(8, s.selcallEncode.aniSequence.empty() ? 0 : 1);
    w.bits(8, 1, 1, s.selcallEncode.selcall);
    w.bits(8, 2, 1, s.header.speaker);
    w.bits(8, 3, 1, o.hookScan);
    w.bits(8, 4, 2, o.openLock);
    w.bits(8, 6, 1, o.autoMute);
    w.bits(8, 7, 1, o.powerUp);
}

void writeKeysAndModem(Writer& w, const RadioSettings& s) {
    const OptionSettings& o = s.option;
    const SelcallEncodeSettings& e = s.selcallEncode;
    const ModemSettings& m = s.modem;
    w.set(kKey1Short, o.programmableKey1Short);
    w.set(kKey2Short, o.programmableKey2Short);
    w.set(kKey3Short, o.programmableKey3Short);
    w.set(0x7D3, 0x0F);
    w.set(0x7D4, 0x0E);
    w.set(kKey1Long, o.programmableKey1Long);
    w.set(kKey2Long, o.programmableKey2Long);
    w.set(kKey3Long, o.programmableKey3Long);
    w.set(kKeyModes12, 0);
    w.bits(kKeyModes12, 0, 4, o.programmableKey1Mode);
    w.bits(kKeyModes12, 4, 4, o.programmableKey2Mode);
    w.set(kKeyMode3, 0x20);
    w.bits(kKeyMode3, 0, 4, o.programmableKey3Mode);
    w.set(0x7DC, 0x02);
    w.set(kCallPresence, e.aniAt);
    w.flag(kCallPresence, 1, !e.call1Sequence.empty());
    w.flag(kCallPresence, 2, !e.call2Sequence.empty());
    w.flag(kCallPresence, 3, !e.call3Sequence.empty());

    w.set(kModemFlags, 0);
    w.bits(kModemFlags, 3, 1, m.initializingDataForHt);
    w.bits(kModemFlags, 6, 1, m.modemBaudRate);
    w.set(kTxOnDelay, 0);
    w.bits(kTxOnDelay, 2, 6, m.txOnDelay);
    w.set(kTxOffDelay, 0);
    w.bits(kTxOffDelay, 2, 6, m.txOffDelay);
    w.set(kRxOnDelay, 0);
    w.bits(kRxOnDelay, 2, 6, m.rxOnDelay);
    w.set(kTxDelayTime, m.txDelayTime);
    w.set(0x7F8, 0x22);
}

// The eight tone sequences: a tone equal to the one stored just before it
// becomes the repeat tone. The padding after the text takes part as well,
// exactly as the radio's own programming expects it.
void writeToneSequence(Writer& w, int address, const std::string& sequence) {
    char stored[kSequenceWidth];
    for (int i = 0; i < kSequenceWidth; ++i) {
        char c = static_cast<std::size_t>(i) < sequence.size() ? sequence[static_cast<std::size_t>(i)] : '\0';
        const bool special = c == 'K' || c == 'k' || c == 'S' || c == 's' || c == 'X' || c == 'x';
        if (i > 0 && !special && c == stored[i - 1]) c = 'e';
        stored[i] = c;
        w.set(address + i, ToneDigitCode::encode(c));
    }
}

void writeTones(Writer& w, const ToneSequenceSettings& t) {
    for (int k = 0; k < kToneCount; ++k) {
        w.set(kToneCycles + 2 * k, t.toneCycleRemainder[static_cast<std::size_t>(k)]);
        w.set(kToneCycles + 2 * k + 1, t.toneCycleCount[static_cast<std::size_t>(k)]);
    }
    w.set(kToneset, t.toneset);
    w.set(kToneLength, t.toneLength / 5);
    for (int n = 1; n < kSequenceSlots; ++n) {
        const ToneSequence& seq = t.sequences[static_cast<std::size_t>(n)];
        const int base = sequenceSlot(n);
        writeToneSequence(w, base, seq.sequence);
        w.set(base + 8, seq.leadInTime / 5);
        w.set(base + 9, seq.firstToneTime / 5);
        w.set(base + 10, seq.leadOutTime / 5);
        w.length(kSequenceLengths + n - 1, seq.sequence);
    }
    if (t.toneset == kUserToneSet) {
        for (int k = 0; k < kToneCount; ++k) {
            const std::string& text = t.userTone[static_cast<std::size_t>(k)];
            int d[4];
            for (int i = 0; i < 4; ++i)
                d[i] = static_cast<std::size_t>(i) < text.size() ? text[static_cast<std::size_t>(i)] - '0' : 0;
            const int base = userToneSlot(k);
            w.set(base, d[0] * 16 + d[1]);
            w.set(base + 1, d[2] * 16 + d[3]);
            w.length(base + 2, text);
        }
    }
}

void writeSelcallEncode(Writer& w, const SelcallEncodeSettings& e) {
    auto shortField = [&](int address, const std::string& digits) {
        w.digitCodes(address, kShortDigitWidth, digits);
        w.length(address + kShortDigitWidth, digits);
    };
    shortField(kCall1, e.call1Sequence);
    shortField(kCall2, e.call2Sequence);
    shortField(kCall3, e.call3Sequence);
    if ((e.aniType & 1) == 0) {
        shortField(kAniShort, e.aniSequence);
    } else {
        w.digitCodes(kAniLong, kLongDigitWidth, e.aniSequence);
        w.length(kAniLong + kLongDigitWidth, e.aniSequence);
    }
    w.set(kMultiAniDelay, e.multiAniDelay);
    w.set(kEmgCycleRepeatTime, e.emgCycleRepeatTime);
    if ((e.emgType & 1) == 0) {
        shortField(kEmgShort, e.emgSequence);
    } else {
        w.digitCodes(kEmgLong, kLongDigitWidth, e.emgSequence);
        w.length(kEmgLong + kLongDigitWidth, e.emgSequence);
    }
    w.set(kEmgRepeats, e.emgRepeats);
    w.set(kEmgTxTimer, e.emgTxTimer);
    w.bits(kCallFlags, 0, 1, e.call1CheckOpen);
    w.bits(kCallFlags, 1, 1, e.call1CheckBusy);
    w.bits(kCallFlags, 2, 1, e.call1EncodeAlert);
    w.bits(kCallFlags, 3, 1, e.call2CheckOpen);
    w.bits(kCallFlags, 4, 1, e.call2CheckBusy);
    w.bits(kCallFlags, 5, 1, e.call2EncodeAlert);
    w.bits(kCallFlags, 6, 1, e.call3CheckOpen);
    w.bits(kCallFlags, 7, 1, e.call3CheckBusy);
    w.bits(kCall3EncodeAlert, 0, 1, e.call3EncodeAlert);
    w.bits(kAniEmgFlags, 0, 2, e.aniAt);
    w.bits(kAniEmgFlags, 2, 1, e.aniType);
    w.bits(kAniEmgFlags, 3, 1, e.emgCheckOpen);
    w.bits(kAniEmgFlags, 4, 1, e.emgCheckBusy);
    w.bits(kAniEmgFlags, 5, 1, e.emgEncodeAlert);
    w.bits(kAniEmgFlags, 6, 1, e.emgType);
    const std::string* acks[3] = {&e.acknowledge1, &e.acknowledge2, &e.acknowledge3};
    for (int i = 0; i < 3; ++i) {
        w.digitCodes(kAcknowledge + kShortDigitWidth * i, kShortDigitWidth, *acks[i]);
        w.length(kAcknowledgeLengths + i, *acks[i]);
    }
}

void writeDtmf(Writer& w, const DtmfSettings& d) {
    w.flag(kDtmf9Present, 0, !d.dtmfCodes[8].empty());
    for (int i = 0; i < 8; ++i) w.flag(kDtmf1to8Present, i, !d.dtmfCodes[static_cast<std::size_t>(i)].empty());
    w.set(0x761, 0xE0);
    w.set(kDtmfTimes + 0, d.dtmfLeadInTime / 10);
    w.set(kDtmfTimes + 1, d.dtmfLeadOutTime / 10);
    w.set(kDtmfTimes + 2, d.dtmfMarkTime / 10);
    w.set(kDtmfTimes + 3, d.dtmfSpaceTime / 10);
    for (int i = 0; i < 9; ++i) {
        const int base = dtmfCodeSlot(i);
        const std::string& code = d.dtmfCodes[static_cast<std::size_t>(i)];
        w.digitCodes(base, kLongDigitWidth, code);
        w.length(base + kLongDigitWidth, code);
    }
    for (int i = 0; i < 4; ++i) {
        const int base = dtmfDecodeSlot(i);
        const std::string& address = d.dtmfDecodeAddress[static_cast<std::size_t>(i)];
        w.digitCodes(base, kLongDigitWidth, address);
        w.length(base + kLongDigitWidth, address);
        w.set(base + kLongDigitWidth + 1, d.dtmfDecodeAction[static_cast<std::size_t>(i)]);
    }
    for (int i = 0; i < 10; ++i) {
        const int base = statusTextSlot(i);
        const std::string& text = d.statusText[static_cast<std::size_t>(i)];
        w.length(base, text);
        w.textCodes(base + 1, kStatusTextWidth, text);
    }
}

void writeSelcallDecode(Writer& w, const RadioSettings& s) {
    const SelcallDecodeSettings& d = s.selcallDecode;
    for (int i = 0; i < kDecodeEntries; ++i) {
        const DecodeEntry& e = d.decodeEntries[static_cast<std::size_t>(i)];
        const int base = decodeEntrySlot(i);
        w.digitCodes(base, kDecodeAddressWidth, e.address);
        w.length(base + 9, e.address);
        w.bits(base + 10, 0, 3, e.action);
        w.bits(base + 10, 6, 2, e.ack);
        w.length(base + 11, e.text);
        w.textCodes(base + 12, kDecodeTextWidth, e.text);
    }
    w.set(kDecoderToneLength, d.decoderToneLength / 5);
    w.set(kCovertRxTime, d.covertRxTime);
    w.set(kCovertTxTime, d.covertTxTime);
    const int duration = imageDecodeDuration(s);
    w.set(kDecodeDuration, (duration >> 8) & 0x0F);
    w.set(kDecodeDuration + 1, duration);
}

void writeModemAndLogo(Writer& w, const RadioSettings& s) {
    for (int i = 0; i < 9; ++i) {
        const int base = modemTextSlot(i);
        const std::string& text = s.modem.modemText[static_cast<std::size_t>(i)];
        w.textCodes(base, kModemTextWidth, text);
        w.length(base + kModemTextWidth, text);
    }
    const OptionSettings& o = s.option;
    const int keys[6] = {o.programmableKey1Short, o.programmableKey2Short, o.programmableKey3Short,
                         o.programmableKey1Long,  o.programmableKey2Long,  o.programmableKey3Long};
    constexpr int kLightKey = 2;
    w.set(kLightKeyAbsent, std::none_of(std::begin(keys), std::end(keys), [](int k) { return k == kLightKey; }));

    // Right-aligned in its nine places; a longer text keeps its first nine.
    const std::string& logo = s.header.lcdDisplayLogo;
    const int shown = static_cast<int>(std::min<std::size_t>(logo.size(), kLogoWidth));
    for (int i = 0; i < kLogoWidth; ++i) {
        const int c = i - (kLogoWidth - shown);
        w.set(kLogo + i, c >= 0 ? TextCode::encode(logo[static_cast<std::size_t>(c)]) : TextCode::kPadding);
    }
    w.length(kLogo + kLogoWidth, logo);
}

}  // namespace

int imageDecodeDuration(const RadioSettings& s) {
    const std::int64_t v =
        std::int64_t{s.selcallDecode.decodeDuration} + std::int64_t{s.toneSequence.longestLeadInTime};
    const std::int64_t units = v / 10 + (v % 10 > 0 ? 1 : 0);
    return static_cast<int>(units & 0x0FFF);
}

void encodeMemoryImage(const RadioSettings& s, MemoryImage& image) {
    image.fill(0);
    Writer w(image);
    const ChannelTable& t = s.channelTable;

    for (std::size_t c = 0; c < kChannelSlots; ++c)
        std::copy(t.prep.channelImage[c].begin(), t.prep.channelImage[c].end(), image.begin() + 9 * c);

    writeGroups(w, t);

    w.set(kAutoMuteTimer, s.option.autoMuteTimer);
    w.set(kScanGroupMask, t.prep.scanGroupMask[1]);
    w.set(kScanGroupMask + 1, t.prep.scanGroupMask[0]);
    w.set(kScanMode, t.scanMode);
    w.set(kFirstProgrammedGroup, t.firstProgrammedGroup);
    w.set(kLastScanGroup, t.lastScanGroup);
    for (int i = 0; i < kMaskBytes; ++i) w.set(kScanMask + i, t.prep.scanMask[static_cast<std::size_t>(i)]);

    writeLabels(w, t);
    writeSettingsBlock(w, s);
    writeKeysAndModem(w, s);
    writeTones(w, s.toneSequence);
    writeSelcallEncode(w, s.selcallEncode);
    writeDtmf(w, s.dtmf);
    writeSelcallDecode(w, s);
    writeModemAndLogo(w, s);
}

MemoryImage encodeMemoryImage(const RadioSettings& settings) {
    MemoryImage image;
    encodeMemoryImage(settings, image);
    return image;
}

}  // namespace ks340
