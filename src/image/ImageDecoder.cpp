// Memory image -> configuration.
#include <algorithm>

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

void readSettingsBlock(const Reader& r, RadioSettings& s) {
    OptionSettings& o = s.option;
    ChannelTable& t = s.channelTable;
    o.markIdle = r.bits(0, 2, 1);
    o.monitor = r.bits(0, 3, 1);
    o.txDelay = r.bits(0, 4, 1);
    o.pttTimer = r.bits(0, 5, 1);
    o.busyChLockOut = r.bits(0, 6, 1);
    o.beep = r.bits(0, 7, 1);
    o.scanTx = r.bits(1, 0, 2);
    s.header.radioBand = r.bits(1, 2, 1);
    s.header.model = r.bits(1, 3, 1);
    s.dtmf.dtmf = r.bits(1, 5, 1);
    o.scanType = r.bits(1, 7, 1);
    o.txInhibit = r.bits(2, 0, 4);
    t.priorityPresent = r.bits(2, 4, 1);
    o.txTimer = r.byte(3);
    o.priorityLbTime = r.bits(4, 0, 4);
    o.scanWaitTime = r.bits(4, 4, 4);
    o.scanSpeedTime = r.byte(5);
    t.groupScanFlag = r.bits(6, 0, 1);
    t.noPowerOnChannel = r.bits(6, 1, 1);
    t.anyScanChannel = r.bits(7, 0, 1);
    o.powerUpAlert = r.bits(7, 4, 1);
    o.publicAddress = r.bits(7, 5, 1);
    o.hook = r.bits(7, 6, 1);
    o.txInhibitAlert = r.bits(7, 7, 1);
    s.selcallEncode.selcall = r.bits(8, 1, 1);
    s.header.speaker = r.bits(8, 2, 1);
    o.hookScan = r.bits(8, 3, 1);
    o.openLock = r.bits(8, 4, 2);
    o.autoMute = r.bits(8, 6, 1);
    o.powerUp = r.bits(8, 7, 1);
}

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

void readKeys(const Reader& r, OptionSettings& o) {
    o.programmableKey1Short = r.byte(kKey1Short);
    o.programmableKey2Short = r.byte(kKey2Short);
    o.programmableKey3Short = r.byte(kKey3Short);
    o.programmableKey1Long = r.byte(kKey1Long);
    o.programmableKey2Long = r.byte(kKey2Long);
    o.programmableKey3Long = r.byte(kKey3Long);
    o.programmableKey1Mode = r.bits(kKeyModes12, 0, 4);
    o.programmableKey2Mode = r.bits(kKeyModes12, 4, 4);
    o.programmableKey3Mode = r.bits(kKeyMode3, 0, 4);
    o.autoMuteTimer = r.byte(kAutoMuteTimer);
}

void readTones(const Reader& r, ToneSequenceSettings& t) {
    // A tone set the program does not know (a damaged or foreign image)
    // leaves the choice as it was: the tone page could not show it and a
    // setting file could not hold it.
    if (isValidToneSet(r.byte(kToneset))) t.toneset = r.byte(kToneset);
    t.toneLength = r.byte(kToneLength) * 5;
    if (t.toneset == kUserToneSet) {
        for (int k = 0; k < kToneCount; ++k) {
            const int base = userToneSlot(k);
            const int nibbles[4] = {r.bits(base, 4, 4), r.bits(base, 0, 4), r.bits(base + 1, 4, 4),
                                    r.bits(base + 1, 0, 4)};
            const int n = std::min(r.byte(base + 2), 4);
            std::string text;
            for (int i = 0; i < n; ++i) text += ToneDigitCode::decode(static_cast<std::uint8_t>(nibbles[i]));
            t.userTone[idx(k)] = text;
        }
    } else if (isValidToneSet(t.toneset)) {
        // The image carries only the tone generator values of a built-in
        // set; its frequencies come from the set itself, so that the next
        // write sends the tones of the set that was read.
        t.toneFrequency = ToneSetTable[idx(t.toneset)].tones;
    }
    for (int n = 1; n < kSequenceSlots; ++n) {
        ToneSequence& seq = t.sequences[idx(n)];
        const int base = sequenceSlot(n);
        seq.sequence = r.digits(base, kSequenceWidth, r.byte(kSequenceLengths + n - 1));
        seq.leadInTime = r.byte(base + 8) * 5;
        seq.firstToneTime = r.byte(base + 9) * 5;
        seq.leadOutTime = r.byte(base + 10) * 5;
    }
}

void readSelcallEncode(const Reader& r, SelcallEncodeSettings& e) {
    auto shortField = [&](int address) {
        return r.digits(address, kShortDigitWidth, r.byte(address + kShortDigitWidth));
    };
    auto longField = [&](int address) { return r.digits(address, kLongDigitWidth, r.byte(address + kLongDigitWidth)); };
    e.call1Sequence = shortField(kCall1);
    e.call2Sequence = shortField(kCall2);
    e.call3Sequence = shortField(kCall3);
    e.call1CheckOpen = r.bits(kCallFlags, 0, 1);
    e.call1CheckBusy = r.bits(kCallFlags, 1, 1);
    e.call1EncodeAlert = r.bits(kCallFlags, 2, 1);
    e.call2CheckOpen = r.bits(kCallFlags, 3, 1);
    e.call2CheckBusy = r.bits(kCallFlags, 4, 1);
    e.call2EncodeAlert = r.bits(kCallFlags, 5, 1);
    e.call3CheckOpen = r.bits(kCallFlags, 6, 1);
    e.call3CheckBusy = r.bits(kCallFlags, 7, 1);
    e.call3EncodeAlert = r.bits(kCall3EncodeAlert, 0, 1);
    e.aniAt = r.bits(kAniEmgFlags, 0, 2);
    e.aniType = r.bits(kAniEmgFlags, 2, 1);
    e.emgCheckOpen = r.bits(kAniEmgFlags, 3, 1);
    e.emgCheckBusy = r.bits(kAniEmgFlags, 4, 1);
    e.emgEncodeAlert = r.bits(kAniEmgFlags, 5, 1);
    e.emgType = r.bits(kAniEmgFlags, 6, 1);
    e.emgSequence = e.emgType == 1 ? longField(kEmgLong) : shortField(kEmgShort);
    e.emgCycleRepeatTime = r.byte(kEmgCycleRepeatTime);
    e.emgRepeats = r.byte(kEmgRepeats);
    e.emgTxTimer = r.byte(kEmgTxTimer);
    e.aniSequence = e.aniType == 1 ? longField(kAniLong) : shortField(kAniShort);
    e.multiAniDelay = r.byte(kMultiAniDelay);
    std::string* acks[3] = {&e.acknowledge1, &e.acknowledge2, &e.acknowledge3};
    for (int i = 0; i < 3; ++i)
        *acks[i] = r.digits(kAcknowledge + kShortDigitWidth * i, kShortDigitWidth, r.byte(kAcknowledgeLengths + i));
}

void readDtmf(const Reader& r, DtmfSettings& d) {
    d.dtmfLeadInTime = r.byte(kDtmfTimes + 0) * 10;
    d.dtmfLeadOutTime = r.byte(kDtmfTimes + 1) * 10;
    d.dtmfMarkTime = r.byte(kDtmfTimes + 2) * 10;
    d.dtmfSpaceTime = r.byte(kDtmfTimes + 3) * 10;
    for (int i = 0; i < 9; ++i) {
        const int base = dtmfCodeSlot(i);
        r.digits(d.dtmfCodes[idx(i)], base, kLongDigitWidth, r.byte(base + kLongDigitWidth));
    }
    for (int i = 0; i < 4; ++i) {
        const int base = dtmfDecodeSlot(i);
        d.dtmfDecodeAddress[idx(i)] = r.digits(base, kLongDigitWidth, r.byte(base + kLongDigitWidth));
        d.dtmfDecodeAction[idx(i)] = r.byte(base + kLongDigitWidth + 1);
    }
    for (int i = 0; i < 10; ++i) {
        const int base = statusTextSlot(i);
        r.text(d.statusText[idx(i)], base + 1, kStatusTextWidth, r.byte(base));
    }
}

void readSelcallDecode(const Reader& r, SelcallDecodeSettings& d) {
    for (int i = 0; i < kDecodeEntries; ++i) {
        DecodeEntry& e = d.decodeEntries[idx(i)];
        const int base = decodeEntrySlot(i);
        e.address = r.digits(base, kDecodeAddressWidth, r.byte(base + 9));
        e.action = r.bits(base + 10, 0, 3);
        e.ack = r.bits(base + 10, 6, 2);
        e.text = r.text(base + 12, kDecodeTextWidth, r.byte(base + 11));
    }
    d.decoderToneLength = r.byte(kDecoderToneLength) * 5;
    d.covertRxTime = r.byte(kCovertRxTime);
    d.covertTxTime = r.byte(kCovertTxTime);
}

void readModem(const Reader& r, ModemSettings& m) {
    m.initializingDataForHt = r.bits(kModemFlags, 3, 1);
    m.modemBaudRate = r.bits(kModemFlags, 6, 1);
    m.txOnDelay = r.bits(kTxOnDelay, 2, 6);
    m.txOffDelay = r.bits(kTxOffDelay, 2, 6);
    m.rxOnDelay = r.bits(kRxOnDelay, 2, 6);
    m.txDelayTime = r.byte(kTxDelayTime);
    for (int i = 0; i < 9; ++i) {
        const int base = modemTextSlot(i);
        r.text(m.modemText[idx(i)], base, kModemTextWidth, r.byte(base + kModemTextWidth));
    }
}

}  // namespace

void decodeMemoryImage(const MemoryImage& image, RadioSettings& s) {
    const Reader r(image);
    ChannelTable& t = s.channelTable;

    for (int c = 0; c < kChannelSlots; ++c)
        for (int b = 0; b < kChannelRecordSize; ++b) t.prep.channelImage[idx(c)][idx(b)] = image[idx(9 * c + b)];

    readSettingsBlock(r, s);
    readChannelRecords(t, t.groups[0]);
    readGroups(r, t);
    readLabels(r, t);
    readKeys(r, s.option);

    t.scanMode = r.byte(kScanMode);
    for (int i = 0; i < kMaskBytes; ++i) {
        t.prep.scanMask[idx(i)] = image[idx(kScanMask + i)];
        t.prep.scanMask2[idx(i)] = image[idx(kScanMask2 + i)];
    }

    readTones(r, s.toneSequence);
    readSelcallEncode(r, s.selcallEncode);
    readDtmf(r, s.dtmf);
    readSelcallDecode(r, s.selcallDecode);
    readModem(r, s.modem);

    const int logoLength = std::min(r.byte(kLogo + kLogoWidth), kLogoWidth);
    s.header.lcdDisplayLogo = r.text(kLogo + kLogoWidth - logoLength, logoLength, logoLength);
}

}  // namespace ks340
