#include "formats/SettingsDiff.h"

#include <algorithm>
#include <map>

#include "formats/ChannelClipboard.h"

#include "model/SettingsRegistry.h"
#include "model/Signalling.h"
#include "model/Tables.h"
#include "model/Windows1252.h"

namespace ks340 {

namespace {

void add(std::vector<NamedSetting>& out, const std::string& key, std::string value) {
    out.push_back({settingName(key), std::move(value)});
}

std::string displayText(const RadioSettings& s, const std::string& key) {
    return settingDisplayText(s, *findSetting(key));
}

// The columns the channel grid shows, in its order; an empty channel shows none.
void describeChannel(std::vector<NamedSetting>& out, const RadioSettings& s, int group, int channel) {
    const ChannelEntry& e =
        s.channelTable.groups[static_cast<std::size_t>(group)].channels[static_cast<std::size_t>(channel)];
    const bool programmed = e.isProgrammed();
    const std::string prefix = (group == 0 ? std::string() : "group[" + std::to_string(group) + "].") + "channel[" +
                               std::to_string(channel) + "].";
    for (int column = kColumnLabel; column < kGridColumnCount; ++column) {
        bool shown = programmed;
        if (column == kColumnTxOption) shown = programmed && !e.txFrequency.empty();
        if (column == kColumnScan) shown = programmed && e.scanChannel;
        if (column == kColumnPriority) shown = programmed && e.priorityChannel;
        if (column == kColumnPowerOn) shown = programmed && e.powerOnChannel;
        const std::string key = prefix + std::string(gridColumnField(column));
        add(out, key, shown ? displayText(s, key) : std::string());
    }
}

// The channels as the channel page shows them: the all-channel list, or the groups.
void describeChannels(std::vector<NamedSetting>& out, const RadioSettings& s) {
    const ChannelTable& t = s.channelTable;
    const bool groups = t.scanMode != 0;
    add(out, "channels.scanMode", groups ? "Group Scan Mode" : "All Channel Scan Mode");
    if (groups) {
        for (int g = 1; g < kGroupSlots; ++g)
            add(out, "group[" + std::to_string(g) + "].capability", std::to_string(t.groups[g].capability));
        for (int g = 1; g < kGroupSlots; ++g) {
            const int cap = std::clamp(t.groups[g].capability, 0, kChannelCapacity);
            for (int c = 1; c <= cap; ++c) describeChannel(out, s, g, c);
        }
    } else {
        for (int c = 1; c <= kChannelCapacity; ++c) describeChannel(out, s, 0, c);
    }
}

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

}  // namespace

std::vector<NamedSetting> describeSettings(const RadioSettings& s) {
    std::vector<NamedSetting> out;
    bool channelsDone = false;
    for (const SettingInfo& info : settingTable()) {
        if (info.scope != SettingScope::Configuration) continue;
        if (info.line == SettingLine::ChannelTable) {
            if (!channelsDone) describeChannels(out, s);
            channelsDone = true;
            continue;
        }
        if (info.derived || startsWith(info.key, "tone.userTone[")) continue;
        if (startsWith(info.key, "tone.toneFrequency[")) {
            out.push_back({info.name, cp1252ToUtf8(shownToneText(s.toneSequence, info.index)) + " Hz"});
            continue;
        }
        out.push_back({info.name, settingDisplayText(s, SettingRef{&info, 0, 0})});
    }
    return out;
}

std::vector<SettingDifference> diffSettings(const RadioSettings& before, const RadioSettings& after) {
    const std::vector<NamedSetting> a = describeSettings(before);
    const std::vector<NamedSetting> b = describeSettings(after);
    std::map<std::string, const std::string*> inB;
    for (const NamedSetting& s : b) inB.emplace(s.name, &s.value);
    std::map<std::string, bool> inA;
    std::vector<SettingDifference> out;
    for (const NamedSetting& s : a) {
        inA.emplace(s.name, true);
        const auto it = inB.find(s.name);
        const std::string other = it == inB.end() ? std::string() : *it->second;
        if (other != s.value) out.push_back({s.name, s.value, other});
    }
    for (const NamedSetting& s : b)
        if (!inA.count(s.name) && !s.value.empty()) out.push_back({s.name, "", s.value});
    return out;
}

std::vector<SettingDifference> diffSettingsWithImage(const RadioSettings& settings, const MemoryImage& image,
                                                     bool imageFirst) {
    const RadioSettings held = configurationAsRadioHoldsIt(settings);
    const RadioSettings read = configurationFromImage(image, settings);
    return imageFirst ? diffSettings(read, held) : diffSettings(held, read);
}

std::string formatSettingDifference(const SettingDifference& d) {
    auto shown = [](const std::string& v) { return v.empty() ? std::string("(empty)") : v; };
    return d.name + ": " + shown(d.before) + " \u2192 " + shown(d.after);
}

}  // namespace ks340
