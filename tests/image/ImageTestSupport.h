// Helpers of the memory image tests: fresh configurations and random valid
// ones, as the pages would leave them.
#pragma once

#include <cstdint>
#include <random>
#include <string>

#include "image/MemoryImage.h"
#include "model/Defaults.h"
#include "model/Signalling.h"
#include "model/Tables.h"

namespace ks340::test {

inline int byteAt(const MemoryImage& image, int address) { return image[static_cast<std::size_t>(address)]; }

inline ChannelEntry& listChannel(RadioSettings& s, int c) {
    return s.channelTable.groups[0].channels[static_cast<std::size_t>(c)];
}
inline ChannelEntry& groupChannel(RadioSettings& s, int g, int c) {
    return s.channelTable.groups[static_cast<std::size_t>(g)].channels[static_cast<std::size_t>(c)];
}
inline ChannelGroup& group(RadioSettings& s, int g) { return s.channelTable.groups[static_cast<std::size_t>(g)]; }

// Sets the capabilities of groups 1..13 as the group dialog does and
// switches to group scan mode.
inline void useGroups(RadioSettings& s, const std::array<int, 14>& capability) {
    ChannelTable& t = s.channelTable;
    int end = 0;
    for (int g = 1; g < kGroupSlots; ++g) {
        ChannelGroup& gr = t.groups[static_cast<std::size_t>(g)];
        gr.capability = capability[static_cast<std::size_t>(g)];
        end += gr.capability;
        gr.channelEnd = end;
        gr.enabled = gr.capability > 0 ? 1 : 0;
    }
    t.totalCapability = end;
    t.channelsLeft = kChannelCapacity - end;
    t.scanMode = 1;
    t.groupScanFlag = end > 0 ? 1 : 0;
    t.groups[0].enabled = 0;
}

inline MemoryImage prepareAndEncode(RadioSettings& s) {
    prepareForTransfer(s);
    return encodeMemoryImage(s);
}

// Random configurations whose every field lies in the range its page
// allows, so that the radio image carries it back unchanged.
class RandomConfig {
public:
    explicit RandomConfig(std::uint32_t seed) : rng_(seed) {}

    int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    bool chance(int percent) { return uniform(1, 100) <= percent; }

    std::string textOf(const std::string& alphabet, int maxLength, bool full = false) {
        const int n = full ? maxLength : uniform(0, maxLength);
        std::string s;
        for (int i = 0; i < n; ++i)
            s += alphabet[static_cast<std::size_t>(uniform(0, static_cast<int>(alphabet.size()) - 1))];
        return s;
    }
    // Characters the display codes carry both ways.
    std::string displayText(int maxLength) {
        return textOf("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz .-_*#+'/\\?()", maxLength,
                      chance(30));
    }
    std::string digits(const std::string& alphabet, int maxLength) { return textOf(alphabet, maxLength, chance(30)); }

    // A sequence of the tone alphabet without a tone repeated at once
    // (a repeat comes back as "E") and with at most two S and two K.
    std::string toneSequence() {
        const std::string alphabet = "0123456789ABCDEKSX";
        const int n = uniform(0, 8);
        std::string s;
        int countS = 0, countK = 0;
        while (static_cast<int>(s.size()) < n) {
            const char c = alphabet[static_cast<std::size_t>(uniform(0, static_cast<int>(alphabet.size()) - 1))];
            const bool special = c == 'K' || c == 'S' || c == 'X';
            if (!special && !s.empty() && s.back() == c) continue;
            if (c == 'S' && countS == 2) continue;
            if (c == 'K' && countK == 2) continue;
            countS += c == 'S';
            countK += c == 'K';
            s += c;
        }
        return s;
    }

    // A frequency text on a 2.5 kHz raster between the limits.
    std::string frequency(int lowerMhz, int upperMhz) {
        const int steps = (upperMhz - lowerMhz) * 400;
        const std::int64_t hz = std::int64_t{lowerMhz} * 1'000'000 + std::int64_t{uniform(0, steps)} * 2500;
        return hzToFrequencyText(hz);
    }

    void channel(ChannelEntry& e, const BandLimits& band) {
        e = ChannelEntry{};
        if (!chance(60)) return;
        e.inUse = 1;
        e.label = chance(70) ? displayText(8) : std::string();
        e.rxFrequency = frequency(band.lowerMhz, band.upperMhz);
        e.rxSquelch = uniform(0, 121);
        e.rxInverseDcs = e.rxSquelch >= 39 && chance(50) ? 1 : 0;
        if (chance(70)) {
            e.txFrequency = frequency(band.lowerMhz, band.upperMhz);
            e.txSquelch = uniform(0, 121);
            e.txInverseDcs = e.txSquelch >= 39 && chance(50) ? 1 : 0;
        }
        e.bandwidth = uniform(0, 1);
        e.txPower = uniform(0, 1);
        e.scanChannel = uniform(0, 1);
    }

    // Marks at most one priority and one power-on channel among the
    // programmed channels 1..count and sets the group's numbers to them.
    void marks(ChannelGroup& g, int count) {
        g.priorityChannel = 0;
        g.powerOnChannel = 0;
        for (int pass = 0; pass < 2; ++pass) {
            if (!chance(60)) continue;
            const int c = uniform(1, count);
            ChannelEntry& e = g.channels[static_cast<std::size_t>(c)];
            if (e.rxFrequency.empty()) continue;
            if (pass == 0) {
                e.priorityChannel = 1;
                g.priorityChannel = c;
            } else {
                e.powerOnChannel = 1;
                g.powerOnChannel = c;
            }
        }
    }

    RadioSettings make() {
        RadioSettings s = newRadioSettings();
        HeaderSettings& h = s.header;
        h.model = uniform(0, 1);
        h.radioBand = uniform(0, 1);
        h.speaker = uniform(0, 1);
        h.lcdDisplayLogo = displayText(9);
        const BandLimits band = bandLimits(h.model, h.radioBand);

        ChannelTable& t = s.channelTable;
        if (chance(50)) {
            std::array<int, 14> caps{};
            int left = kChannelCapacity;
            for (int g = 1; g < kGroupSlots; ++g) {
                caps[static_cast<std::size_t>(g)] = chance(60) ? uniform(0, std::min(left, 40)) : 0;
                left -= caps[static_cast<std::size_t>(g)];
            }
            if (left == kChannelCapacity) caps[1] = 1;
            useGroups(s, caps);
            // Stale entries in the all-channel list that no group holds.
            for (int c = 1; c <= kChannelCapacity; ++c)
                channel(t.groups[0].channels[static_cast<std::size_t>(c)], band);
            bool anyProgrammed = false;
            for (int g = 1; g < kGroupSlots; ++g) {
                ChannelGroup& gr = t.groups[static_cast<std::size_t>(g)];
                for (int c = 1; c <= gr.capability; ++c) {
                    channel(gr.channels[static_cast<std::size_t>(c)], band);
                    anyProgrammed = anyProgrammed || gr.channels[static_cast<std::size_t>(c)].isProgrammed();
                }
                if (gr.capability > 0) marks(gr, gr.capability);
            }
            if (!anyProgrammed) {
                // Labels of a group without a programmed channel do not
                // reach the radio; give the first group one channel.
                for (int g = 1; g < kGroupSlots; ++g) {
                    ChannelGroup& gr = t.groups[static_cast<std::size_t>(g)];
                    if (gr.capability == 0) continue;
                    gr.channels[1].rxFrequency = frequency(band.lowerMhz, band.upperMhz);
                    break;
                }
            }
        } else {
            ChannelGroup& list = t.groups[0];
            for (int c = 1; c <= kChannelCapacity; ++c) channel(list.channels[static_cast<std::size_t>(c)], band);
            marks(list, kChannelCapacity);
        }
        t.anyScanChannel = 0;
        for (const ChannelGroup& g : t.groups)
            for (int c = 1; c <= std::min(g.capability, kChannelCapacity); ++c)
                if (g.channels[static_cast<std::size_t>(c)].scanChannel) t.anyScanChannel = 1;

        OptionSettings& o = s.option;
        o.txDelay = uniform(0, 1);
        o.monitor = 1;
        o.hook = uniform(0, 1);
        o.hookScan = uniform(0, 1);
        o.beep = uniform(0, 1);
        o.publicAddress = 1;
        o.powerUpAlert = uniform(0, 1);
        o.powerUp = uniform(0, 1);
        o.autoMute = uniform(0, 1);
        o.autoMuteTimer = uniform(0, 255);
        o.pttTimer = uniform(0, 1);
        o.txTimer = uniform(0, 255);
        o.txInhibit = uniform(0, 15);
        o.txInhibitAlert = uniform(0, 1);
        o.openLock = uniform(0, 3);
        o.busyChLockOut = uniform(0, 1);
        o.markIdle = uniform(0, 1);
        o.scanType = uniform(0, 1);
        o.scanTx = uniform(0, 3);
        o.scanWaitTime = uniform(0, 15);
        o.scanSpeedTime = uniform(0, 199);
        o.priorityLbTime = uniform(0, 15);
        o.programmableKey1Short = uniform(0, 12);
        o.programmableKey2Short = uniform(0, 12);
        o.programmableKey3Short = uniform(0, 12);
        o.programmableKey1Long = uniform(0, 12);
        o.programmableKey2Long = uniform(0, 12);
        o.programmableKey3Long = uniform(0, 12);
        o.programmableKey1Mode = uniform(0, 15);
        o.programmableKey2Mode = uniform(0, 15);
        o.programmableKey3Mode = uniform(0, 15);

        ToneSequenceSettings& tone = s.toneSequence;
        tone.toneset = uniform(0, 7);
        if (tone.toneset == kUserToneSet) {
            for (std::string& u : tone.userTone) u = textOf("0123456789", 4, chance(50));
        } else {
            tone.toneFrequency = ToneSetTable[static_cast<std::size_t>(tone.toneset)].tones;
        }
        tone.toneLength = 5 * uniform(0, 255);
        for (int n = 1; n < kSequenceSlots; ++n) {
            ToneSequence& q = tone.sequences[static_cast<std::size_t>(n)];
            q.sequence = toneSequence();
            q.leadInTime = 5 * uniform(0, 255);
            q.firstToneTime = 5 * uniform(0, 255);
            q.leadOutTime = 5 * uniform(0, 255);
        }

        const std::string selcallDigits = "0123456789ABCDE";
        SelcallEncodeSettings& e = s.selcallEncode;
        e.selcall = uniform(0, 1);
        e.emgType = uniform(0, 1);
        e.emgSequence = digits(selcallDigits, e.emgType == 1 ? 15 : 3);
        e.emgCheckOpen = uniform(0, 1);
        e.emgCheckBusy = uniform(0, 1);
        e.emgEncodeAlert = uniform(0, 1);
        e.emgRepeats = uniform(0, 255);
        e.emgCycleRepeatTime = uniform(0, 255);
        e.emgTxTimer = uniform(0, 255);
        e.acknowledge1 = digits(selcallDigits, 3);
        e.acknowledge2 = digits(selcallDigits, 3);
        e.acknowledge3 = digits(selcallDigits, 3);
        e.aniType = uniform(0, 1);
        e.aniSequence = digits(selcallDigits, e.aniType == 1 ? 15 : 3);
        e.aniAt = uniform(0, 2);
        e.multiAniDelay = uniform(0, 255);
        e.call1Sequence = digits(selcallDigits, 3);
        e.call2Sequence = digits(selcallDigits, 3);
        e.call3Sequence = digits(selcallDigits, 3);
        e.call1CheckOpen = uniform(0, 1);
        e.call1CheckBusy = uniform(0, 1);
        e.call1EncodeAlert = uniform(0, 1);
        e.call2CheckOpen = uniform(0, 1);
        e.call2CheckBusy = uniform(0, 1);
        e.call2EncodeAlert = uniform(0, 1);
        e.call3CheckOpen = uniform(0, 1);
        e.call3CheckBusy = uniform(0, 1);
        e.call3EncodeAlert = uniform(0, 1);

        SelcallDecodeSettings& d = s.selcallDecode;
        for (DecodeEntry& entry : d.decodeEntries) {
            entry.address = digits(selcallDigits, 8);
            entry.action = uniform(0, 6);
            entry.ack = uniform(0, 3);
            entry.text = displayText(8);
        }
        d.decoderToneLength = 5 * uniform(0, 255);
        d.covertRxTime = uniform(0, 250);
        d.covertTxTime = uniform(0, 250);

        const std::string dtmfDigits = "0123456789ABCD*#";
        DtmfSettings& m = s.dtmf;
        m.dtmf = uniform(0, 1);
        m.dtmfLeadInTime = 10 * uniform(0, 255);
        m.dtmfLeadOutTime = 10 * uniform(0, 255);
        m.dtmfMarkTime = 10 * uniform(0, 255);
        m.dtmfSpaceTime = 10 * uniform(0, 255);
        for (std::string& c : m.dtmfCodes) c = digits(dtmfDigits, 15);
        for (std::string& a : m.dtmfDecodeAddress) a = digits(dtmfDigits, 15);
        for (int& a : m.dtmfDecodeAction) a = uniform(0, 255);
        for (std::string& st : m.statusText) st = displayText(8);

        ModemSettings& md = s.modem;
        md.modemBaudRate = uniform(0, 1);
        md.initializingDataForHt = uniform(0, 1);
        md.txDelayTime = uniform(0, 255);
        md.txOnDelay = uniform(0, 63);
        md.txOffDelay = uniform(0, 63);
        md.rxOnDelay = uniform(0, 63);
        for (std::string& x : md.modemText) x = displayText(40);
        return s;
    }

private:
    std::mt19937 rng_;
};

}  // namespace ks340::test
