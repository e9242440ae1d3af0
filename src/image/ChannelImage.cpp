// The channel table's side of the memory image: flattening the groups into
// radio records before a transfer, and turning decoded records back into
// channels afterwards.
#include <algorithm>

#include "image/MemoryImage.h"
#include "model/ChannelStep.h"
#include "model/Tables.h"
#include "model/ToneCode.h"

namespace ks340 {

namespace {

constexpr std::size_t idx(int i) { return static_cast<std::size_t>(i); }

std::uint8_t lowByte(std::int64_t v) { return static_cast<std::uint8_t>(v & 0xFF); }

// A group's channel count as far as the channel store reaches.
int usableCapability(const ChannelGroup& g) { return std::clamp(g.capability, 0, kChannelCapacity); }

// The fields the group scan mode copies from a group's channel into the
// all-channel list.
void copyGroupChannel(const ChannelEntry& from, ChannelEntry& to) {
    to.label = from.label;
    to.rxFrequency = from.rxFrequency;
    to.rxSquelch = from.rxSquelch;
    to.rxInverseDcs = from.rxInverseDcs;
    to.txFrequency = from.txFrequency;
    to.txSquelch = from.txSquelch;
    to.txInverseDcs = from.txInverseDcs;
    to.scanChannel = from.scanChannel;
    to.bandwidth = from.bandwidth;
    to.txPower = from.txPower;
    to.priorityChannel = from.priorityChannel;
    to.powerOnChannel = from.powerOnChannel;
}

void buildRecord(ChannelTable& t, int j, std::int64_t receiveOffsetHz) {
    ChannelEntry& e = t.groups[0].channels[idx(j)];
    ChannelRecord& r = t.prep.channelImage[idx(j)];
    ChannelGroup& list = t.groups[0];

    r[4] = e.label.empty() ? 0 : 0x20;

    // Any number other than 0 is a frequency, however small.
    if (leadingNumber(e.rxFrequency) != 0.0) {
        const std::int64_t rxHz = frequencyTextToHz(e.rxFrequency);
        if (list.firstChannel == 0 || list.firstChannel > j) list.firstChannel = j;
        if (list.lastChannel < j) list.lastChannel = j;
        const FrequencyCode c = frequencyCode(rxHz + receiveOffsetHz);
        e.rxStepCode = c.stepCode;
        r[0] = static_cast<std::uint8_t>((c.stepCode << 6) | ((c.n >> 8) & 0x07));
        r[1] = lowByte(c.n);
        r[2] = lowByte(c.a * 2);
        if (e.rxInverseDcs == 1) r[0] |= 0x08;
        setChannelBit(t.prep.programmedMask, j, true);
    } else {
        r[0] = r[1] = r[2] = r[3] = 0;
        setChannelBit(t.prep.programmedMask, j, false);
    }

    r[3] = lowByte(e.rxSquelch);

    if (leadingNumber(e.txFrequency) != 0.0) {
        const std::int64_t txHz = frequencyTextToHz(e.txFrequency);
        const FrequencyCode c = frequencyCode(txHz);
        e.txStepCode = c.stepCode;
        r[8] = static_cast<std::uint8_t>((c.stepCode << 6) | transmitSubBand(txHz));
        r[4] |= static_cast<std::uint8_t>((c.n >> 8) & 0x07);
        r[5] = lowByte(c.n);
        r[6] = lowByte(c.a * 2);
        if (e.txInverseDcs == 1) r[4] |= 0x80;
    } else {
        r[4] |= 0x20;
        r[5] = r[6] = r[7] = 0;
    }

    r[7] = lowByte(e.txSquelch);

    if (e.scanChannel == 1) {
        r[4] |= 0x10;
        setChannelBit(t.prep.scanMask, j, true);
    } else {
        r[4] &= static_cast<std::uint8_t>(~0x10);
        setChannelBit(t.prep.scanMask, j, false);
    }

    r[0] = static_cast<std::uint8_t>((r[0] & ~0x30) | ((e.bandwidth & 1) << 5) | ((e.txPower & 1) << 4));

    if (e.priorityChannel == 1) {
        list.priorityChannel = j;
        t.priorityPresent = 1;
    }
    if (e.powerOnChannel == 1) {
        list.powerOnChannel = j;
        t.noPowerOnChannel = 0;
    }
}

}  // namespace

void prepareChannelImage(RadioSettings& settings) {
    ChannelTable& t = settings.channelTable;
    ChannelImagePreparation& p = t.prep;

    t.lastScanGroup = 0;
    t.highestGroup = 0;
    t.lowestGroup = 0;
    t.firstProgrammedGroup = 0;
    t.priorityPresent = 0;
    p.scanGroupMask = {};
    t.noPowerOnChannel = 1;

    if (t.scanMode != 0) {
        int k = 0;
        for (int g = 1; g < kGroupSlots; ++g) {
            const ChannelGroup& group = t.groups[idx(g)];
            for (int m = 1; m <= usableCapability(group) && k < kChannelCapacity; ++m)
                copyGroupChannel(group.channels[idx(m)], t.groups[0].channels[idx(++k)]);
        }
        // Entries no group fills any more must not reach the radio.
        for (int j = k + 1; j <= kChannelCapacity; ++j) t.groups[0].channels[idx(j)] = ChannelEntry{};
    }

    p.channelImage = {};
    t.groups[0].firstChannel = 0;
    t.groups[0].lastChannel = 0;

    const std::int64_t offset =
        settings.header.radioBand == kBandVhf2 ? kIntermediateFrequencyHz : -kIntermediateFrequencyHz;
    for (int j = 1; j <= kChannelCapacity; ++j) buildRecord(t, j, offset);

    int flat = 0;
    for (int g = 1; g < kGroupSlots; ++g) {
        ChannelGroup& group = t.groups[idx(g)];
        group.firstChannel = 0;
        group.lastChannel = 0;
        group.hasChannels = 0;
        for (int m = 1; m <= usableCapability(group) && flat < kChannelCapacity; ++m) {
            const int v = ++flat;
            const ChannelEntry& e = group.channels[idx(m)];
            if (t.lowestGroup == 0 || t.lowestGroup > g) t.lowestGroup = g;
            if (t.highestGroup < g) t.highestGroup = g;
            if (!e.rxFrequency.empty()) {
                if (t.firstProgrammedGroup == 0) t.firstProgrammedGroup = g;
                if (group.firstChannel == 0 || group.firstChannel > v) group.firstChannel = v;
                if (group.lastChannel < v) group.lastChannel = v;
                group.hasChannels = 1;
            }
            if (e.priorityChannel == 1) {
                group.priorityChannel = v;
                t.priorityPresent = 1;
            }
            if (e.powerOnChannel == 1) {
                group.powerOnChannel = v;
                t.noPowerOnChannel = 0;
            }
            if (e.scanChannel == 1) {
                const int bit = g - 1;
                p.scanGroupMask[idx(bit / 8)] |= static_cast<std::uint8_t>(1u << (bit % 8));
                t.lastScanGroup = g;
            }
        }
    }
}

std::string receiveFrequencyText(const ChannelEntry& e, int model, int radioBand) {
    if (e.rxCodeN == 0) return {};
    const std::optional<std::int64_t> hz = frequencyFromCode(e.rxStepCode, e.rxCodeN, e.rxCodeA);
    if (!hz) return {};
    const std::int64_t f = radioBand == kBandUhf2 ? *hz + kIntermediateFrequencyHz : *hz - kIntermediateFrequencyHz;
    const BandLimits limits = bandLimits(model, radioBand);
    if (f < std::int64_t{limits.lowerMhz} * 1'000'000 || f > std::int64_t{limits.upperMhz} * 1'000'000) return {};
    return hzToFrequencyText(f);
}

std::string transmitFrequencyText(const ChannelEntry& e, const std::string& receiveText) {
    if (e.txCodeN == 0 || receiveText.empty()) return {};
    const std::optional<std::int64_t> hz = frequencyFromCode(e.txStepCode, e.txCodeN, e.txCodeA);
    if (!hz) return {};
    return hzToFrequencyText(*hz);
}

void showGroupFlags(ChannelTable& t, int group) {
    if (group < 0 || group >= kGroupSlots) return;
    ChannelGroup& g = t.groups[idx(group)];
    for (int i = 1; i <= usableCapability(g); ++i) {
        ChannelEntry& e = g.channels[idx(i)];
        // Only the signalling columns that are filled rewrite their flag.
        if (!e.rxFrequency.empty()) e.rxInverseDcs = isDcsCode(e.rxSquelch) && e.rxInverseDcs != 0 ? 1 : 0;
        if (!e.txFrequency.empty()) e.txInverseDcs = isDcsCode(e.txSquelch) && e.txInverseDcs != 0 ? 1 : 0;
    }
}

void refreshChannelTable(RadioSettings& settings, bool fileLoadActive) {
    ChannelTable& t = settings.channelTable;
    ChannelGroup& list = t.groups[0];

    if (!fileLoadActive) {
        for (int c = 1; c <= kChannelCapacity; ++c) {
            ChannelEntry& e = list.channels[idx(c)];
            e.rxFrequency = receiveFrequencyText(e, settings.header.model, settings.header.radioBand);
            e.txFrequency = transmitFrequencyText(e, e.rxFrequency);
            e.scanChannel =
                !e.rxFrequency.empty() && (channelBit(t.prep.scanMask, c) || channelBit(t.prep.scanMask2, c)) ? 1 : 0;
        }
    }

    t.appliedScanMode = t.scanMode;

    if (t.groupScanFlag != 0) {
        int first = 0;
        for (int g = 1; g < kGroupSlots; ++g) {
            ChannelGroup& group = t.groups[idx(g)];
            group.enabled = 0;
            if (group.capability >= 1) {
                group.enabled = 1;
                if (first == 0) first = g;
            }
        }
        if (!fileLoadActive) {
            int k = 1;
            for (int g = 1; g < kGroupSlots; ++g) {
                ChannelGroup& group = t.groups[idx(g)];
                for (int i = 1; i <= usableCapability(group) && k <= kChannelCapacity; ++i, ++k) {
                    const ChannelEntry& from = list.channels[idx(k)];
                    ChannelEntry& to = group.channels[idx(i)];
                    to.rxFrequency = from.rxFrequency;
                    to.rxSquelch = from.rxSquelch;
                    to.rxInverseDcs = from.rxInverseDcs;
                    to.txFrequency = from.txFrequency;
                    to.txSquelch = from.txSquelch;
                    to.txInverseDcs = from.txInverseDcs;
                    to.scanChannel = from.scanChannel;
                    to.bandwidth = from.bandwidth;
                    to.txPower = from.txPower;
                    to.priorityChannel = i == group.priorityChannel ? 1 : 0;
                    to.powerOnChannel = i == group.powerOnChannel ? 1 : 0;
                }
            }
        }
        t.currentGroup = first;
        showGroupFlags(t, first);
    } else {
        for (int g = 1; g < kGroupSlots; ++g) t.groups[idx(g)].enabled = 0;
        list.enabled = 1;
        if (!fileLoadActive) {
            // Channel 0 holds no channel and is left alone.
            for (int c = 1; c <= kChannelCapacity; ++c) {
                ChannelEntry& e = list.channels[idx(c)];
                e.priorityChannel = c == list.priorityChannel ? 1 : 0;
                e.powerOnChannel = c == list.powerOnChannel ? 1 : 0;
            }
        }
        t.currentGroup = 0;
        showGroupFlags(t, 0);
    }
}

}  // namespace ks340
