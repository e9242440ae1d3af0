#include "model/ChannelEditing.h"

#include <algorithm>
#include <cctype>

#include "model/ToneCode.h"

#include "model/OptionLists.h"

namespace ks340 {

namespace {

bool validGroup(int group) { return group >= 0 && group < kGroupSlots; }

int lastChannelOf(const ChannelGroup& g) { return std::clamp(g.capability, 0, kChannelCapacity); }

void emptyChannel(ChannelEntry& c) {
    c.label.clear();
    c.rxFrequency.clear();
    c.txFrequency.clear();
    c.rxCodeN = 0;
    c.rxCodeA = 0;
    c.txCodeN = 0;
    c.txCodeA = 0;
    c.rxSquelch = 0;
    c.txSquelch = 0;
    c.rxInverseDcs = 0;
    c.txInverseDcs = 0;
    c.bandwidth = 0;
    c.txPower = 0;
    c.scanChannel = 0;
    c.priorityChannel = 0;
    c.powerOnChannel = 0;
}

}  // namespace

int scanTxWithPriority(int scanTx, bool priorityChannelExists) {
    if (priorityChannelExists) {
        if (scanTx == kScanTxRxOnly) return kScanTxPriorityOnly;
        if (scanTx == kScanTxNormal) return kScanTxPriorityScan;
    } else {
        if (scanTx == kScanTxPriorityOnly) return kScanTxRxOnly;
        if (scanTx == kScanTxPriorityScan) return kScanTxNormal;
    }
    return scanTx;
}

ToggleResult toggleChannelMark(ChannelTable& table, OptionSettings& option, int group, int channel, int shownChannels,
                               ChannelMark mark) {
    ToggleResult r;
    if (!validGroup(group) || channel < 1 || channel > kChannelCapacity) return r;
    ChannelGroup& g = table.groups[group];
    ChannelEntry& c = g.channels[channel];
    if (!c.isProgrammed()) return r;
    r.changed = true;
    switch (mark) {
        case ChannelMark::Scan:
            c.scanChannel = c.scanChannel != 0 ? 0 : 1;
            r.on = c.scanChannel != 0;
            updateAnyScanChannel(table);
            return r;
        case ChannelMark::Bandwidth:
            c.bandwidth = c.bandwidth == 1 ? 0 : 1;
            r.on = c.bandwidth == 1;
            return r;
        case ChannelMark::TxPower:
            c.txPower = c.txPower == 1 ? 0 : 1;
            r.on = c.txPower == 1;
            return r;
        case ChannelMark::Priority:
        case ChannelMark::PowerOn:
            break;
    }
    const bool priority = mark == ChannelMark::Priority;
    auto flag = [priority](ChannelEntry& e) -> int& { return priority ? e.priorityChannel : e.powerOnChannel; };
    // One mark per group: the row that shows it loses it.
    const int rows = std::clamp(shownChannels, 0, kChannelCapacity);
    for (int i = 1; i <= rows; ++i) {
        ChannelEntry& e = g.channels[i];
        if (flag(e) == 1 && e.isProgrammed() && r.previous == 0) r.previous = i;
        flag(e) = 0;
    }
    if (r.previous == channel) {
        (priority ? g.priorityChannel : g.powerOnChannel) = 0;
        r.on = false;
    } else {
        flag(c) = 1;
        r.on = true;
    }
    if (priority) option.scanTx = scanTxWithPriority(option.scanTx, r.on);
    return r;
}

void clearChannel(ChannelTable& table, OptionSettings& option, int group, int channel) {
    if (!validGroup(group) || channel < 1 || channel > kChannelCapacity) return;
    ChannelGroup& g = table.groups[group];
    ChannelEntry& c = g.channels[channel];
    // The group's number is only brought up to date before programming, so
    // the channel's own mark counts as well.
    if (g.priorityChannel == channel || c.priorityChannel == 1) {
        if (g.priorityChannel == channel) g.priorityChannel = 0;
        c.priorityChannel = 0;
        option.scanTx = scanTxWithPriority(option.scanTx, false);
    }
    if (g.powerOnChannel == channel) {
        g.powerOnChannel = 0;
        c.powerOnChannel = 0;
    }
    emptyChannel(c);
    c.inUse = 0;
    c.rxStepCode = 0;
    c.txStepCode = 0;
}

void clearGroupChannels(ChannelTable& table, int group, int channelCount) {
    if (!validGroup(group)) return;
    const int count = std::clamp(channelCount, 0, kChannelSlots);
    for (int i = 0; i < count; ++i) emptyChannel(table.groups[group].channels[i]);
}

void clearAllGroupChannels(ChannelTable& table) {
    // Every slot, not only those within the current capabilities: a group
    // that was just freed must not bring old channels back when it grows.
    for (ChannelGroup& g : table.groups) {
        for (ChannelEntry& c : g.channels) {
            emptyChannel(c);
            c.inUse = 0;
        }
    }
}

void clearWholeGroup(ChannelTable& table, int group, int channelCount) {
    if (!validGroup(group)) return;
    clearGroupChannels(table, group, channelCount);
    ChannelGroup& g = table.groups[group];
    g.firstChannel = 0;
    g.lastChannel = 0;
    g.priorityChannel = 0;
    g.powerOnChannel = 0;
    table.prep.scanMask.fill(0);
    table.prep.programmedMask.fill(0);
}

int countUsedChannels(ChannelTable& table) {
    table.totalUsed = 0;
    for (ChannelGroup& g : table.groups) g.usedChannels = 0;
    auto used = [](const ChannelGroup& g) {
        int n = 0;
        const int last = lastChannelOf(g);
        for (int i = 1; i <= last; ++i)
            if (g.channels[i].isProgrammed()) ++n;
        return n;
    };
    if (table.scanMode != 0) {
        for (int g = 1; g < kGroupSlots; ++g) {
            table.groups[g].usedChannels = used(table.groups[g]);
            table.totalUsed += table.groups[g].usedChannels;
        }
    } else {
        table.groups[0].usedChannels = used(table.groups[0]);
        table.totalUsed = table.groups[0].usedChannels;
    }
    return table.totalUsed;
}

void updateAnyScanChannel(ChannelTable& table) {
    table.anyScanChannel = 0;
    for (const ChannelGroup& g : table.groups) {
        const int last = lastChannelOf(g);
        for (int i = 1; i <= last; ++i) {
            if (g.channels[i].scanChannel != 0) {
                table.anyScanChannel = 1;
                return;
            }
        }
    }
}

bool applyChannelDialog(ChannelTable& table, int group, int channel, const ChannelDialogResult& result) {
    if (!validGroup(group) || channel < 1 || channel > kChannelCapacity || result.rxFrequency.empty()) return false;
    ChannelEntry& c = table.groups[group].channels[channel];
    const bool wasProgrammed = c.isProgrammed();
    c.label = result.label;
    c.rxFrequency = result.rxFrequency;
    c.inUse = 1;
    c.rxSquelch = result.rxSquelch;
    c.rxInverseDcs = result.rxInverseDcs;
    if (!result.txFrequency.empty()) {
        c.txFrequency = result.txFrequency;
        c.txSquelch = result.txSquelch;
        c.txInverseDcs = result.txInverseDcs;
    } else {
        c.txFrequency.clear();
    }
    // The grid shows "N" / "Low" only for a programmed channel; those stay.
    c.bandwidth = (wasProgrammed && c.bandwidth == 0) ? 0 : 1;
    c.txPower = (wasProgrammed && c.txPower == 0) ? 0 : 1;
    return true;
}

bool setChannelMark(ChannelTable& table, OptionSettings& option, int group, int channel, int shownChannels,
                    ChannelMark mark, bool on) {
    if (!validGroup(group) || channel < 1 || channel > kChannelCapacity) return false;
    const ChannelEntry& c = table.groups[group].channels[channel];
    bool current = false;
    switch (mark) {
        case ChannelMark::Scan:
            current = c.scanChannel != 0;
            break;
        case ChannelMark::Bandwidth:
            current = c.bandwidth == 1;
            break;
        case ChannelMark::TxPower:
            current = c.txPower == 1;
            break;
        case ChannelMark::Priority:
            current = c.priorityChannel == 1;
            break;
        case ChannelMark::PowerOn:
            current = c.powerOnChannel == 1;
            break;
    }
    if (current == on) return false;
    return toggleChannelMark(table, option, group, channel, shownChannels, mark).changed;
}

TypedCellEdit setChannelText(ChannelTable& table, int group, int channel, ChannelField field, std::string_view utf8,
                             int model, int radioBand) {
    TypedCellEdit r;
    if (!validGroup(group) || channel < 1 || channel > kChannelCapacity) {
        r.reason = "no such channel";
        return r;
    }
    ChannelEntry& c = table.groups[group].channels[channel];
    if (field != ChannelField::RxFrequency && !c.isProgrammed()) {
        r.reason = "channel " + std::to_string(channel) + " is not programmed: give its Rx Freq. first";
        return r;
    }
    ChannelRowText row;
    switch (field) {
        case ChannelField::Label:
            row.label = std::string(utf8);
            break;
        case ChannelField::RxFrequency:
            row.rxFrequency = std::string(utf8);
            break;
        case ChannelField::TxFrequency:
            row.txFrequency = std::string(utf8);
            break;
        case ChannelField::RxSquelch:
            row.rxSquelch = std::string(utf8);
            break;
        case ChannelField::TxSquelch:
            row.txSquelch = std::string(utf8);
            break;
    }
    const ChannelRowCheck check = checkChannelRow(c, row, {model, radioBand, FrequencyEntry::Typed});
    if (!check.ok()) {
        r.reason = check.faults.front().text;
        r.outOfRange = field == ChannelField::RxFrequency || field == ChannelField::TxFrequency;
        return r;
    }
    if (!check.notices.empty()) r.notice = check.notices.front().text;
    const ChannelEntry& e = check.entry;
    // As the dialog's result is stored: an unprogrammed channel shows no Tx
    // frequency, so it starts without one.
    ChannelDialogResult result;
    result.label = e.label;
    result.rxFrequency = e.rxFrequency;
    result.txFrequency = c.isProgrammed() || field == ChannelField::TxFrequency ? e.txFrequency : std::string();
    result.rxSquelch = e.rxSquelch;
    result.rxInverseDcs = isDcsCode(e.rxSquelch) ? e.rxInverseDcs : 0;
    result.txSquelch = e.txSquelch;
    result.txInverseDcs = isDcsCode(e.txSquelch) ? e.txInverseDcs : 0;
    const ChannelEntry before = c;
    if (!applyChannelDialog(table, group, channel, result)) {
        r.notice.clear();
        return r;  // an empty Rx frequency leaves the channel as it is
    }
    r.stored = !(c == before);
    return r;
}

namespace {

std::string foldCase(std::string_view cp1252) {
    std::string out(cp1252);
    for (char& ch : out) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x80)
            ch = static_cast<char>(std::tolower(b));
        else if (b >= 0xC0 && b <= 0xDE && b != 0xD7)
            ch = static_cast<char>(b + 0x20);
        else if (b == 0x8A || b == 0x8C || b == 0x8E)
            ch = static_cast<char>(b + 0x10);
    }
    return out;
}

bool isNumberQuery(std::string_view q) {
    bool digit = false;
    for (char ch : q) {
        if (ch >= '0' && ch <= '9')
            digit = true;
        else if (ch != '.')
            return false;
    }
    return digit;
}

}  // namespace

int findChannel(const ChannelTable& table, int group, int shownChannels, int afterChannel, std::string_view query) {
    std::size_t b = 0, e = query.size();
    while (b < e && query[b] == ' ') ++b;
    while (e > b && query[e - 1] == ' ') --e;
    query = query.substr(b, e - b);
    const int shown = std::clamp(shownChannels, 0, kChannelCapacity);
    if (!validGroup(group) || query.empty() || shown == 0) return 0;
    const std::string needle = foldCase(query);
    const bool number = isNumberQuery(query);
    const ChannelGroup& g = table.groups[group];
    for (int i = 1; i <= shown; ++i) {
        const int ch = (std::clamp(afterChannel, 0, shown) + i - 1) % shown + 1;
        const ChannelEntry& c = g.channels[ch];
        if (!c.isProgrammed()) continue;
        if (foldCase(c.label).find(needle) != std::string::npos) return ch;
        if (number && (c.rxFrequency.rfind(query, 0) == 0 || c.txFrequency.rfind(query, 0) == 0)) return ch;
    }
    return 0;
}

namespace {

// Moves a group's priority / power-on number with its channel.
void shiftNumber(int& number, int from, int by) {
    if (number >= from) number += by;
}

}  // namespace

bool insertChannel(ChannelTable& table, int group, int channel, int shownChannels) {
    const int shown = std::clamp(shownChannels, 0, kChannelCapacity);
    if (!validGroup(group) || channel < 1 || channel > shown) return false;
    ChannelGroup& g = table.groups[group];
    if (g.channels[shown].isProgrammed()) return false;
    for (int i = shown; i > channel; --i) g.channels[i] = g.channels[i - 1];
    g.channels[channel] = ChannelEntry{};
    shiftNumber(g.priorityChannel, channel, 1);
    shiftNumber(g.powerOnChannel, channel, 1);
    return true;
}

bool deleteChannel(ChannelTable& table, OptionSettings& option, int group, int channel, int shownChannels) {
    const int shown = std::clamp(shownChannels, 0, kChannelCapacity);
    if (!validGroup(group) || channel < 1 || channel > shown) return false;
    ChannelGroup& g = table.groups[group];
    clearChannel(table, option, group, channel);
    for (int i = channel; i < shown; ++i) g.channels[i] = g.channels[i + 1];
    g.channels[shown] = ChannelEntry{};
    shiftNumber(g.priorityChannel, channel + 1, -1);
    shiftNumber(g.powerOnChannel, channel + 1, -1);
    updateAnyScanChannel(table);
    return true;
}

}  // namespace ks340
