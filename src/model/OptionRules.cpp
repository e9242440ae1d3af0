#include "model/OptionRules.h"

#include <algorithm>

#include "model/ChannelEditing.h"

namespace ks340 {

namespace ol = optionlists;

namespace {

constexpr int OptionSettings::*kShortFields[3] = {&OptionSettings::programmableKey1Short,
                                                  &OptionSettings::programmableKey2Short,
                                                  &OptionSettings::programmableKey3Short};
constexpr int OptionSettings::*kLongFields[3] = {&OptionSettings::programmableKey1Long,
                                                 &OptionSettings::programmableKey2Long,
                                                 &OptionSettings::programmableKey3Long};
constexpr int OptionSettings::*kModeFields[3] = {&OptionSettings::programmableKey1Mode,
                                                 &OptionSettings::programmableKey2Mode,
                                                 &OptionSettings::programmableKey3Mode};

constexpr int kDisable = 0;
constexpr int kEnable = 1;

std::size_t keyIndex(int key) { return static_cast<std::size_t>(std::clamp(key, 0, 2)); }

}  // namespace

int& shortKeyField(OptionSettings& option, int key) { return option.*kShortFields[keyIndex(key)]; }
int& longKeyField(OptionSettings& option, int key) { return option.*kLongFields[keyIndex(key)]; }
int& keyModeField(OptionSettings& option, int key) { return option.*kModeFields[keyIndex(key)]; }
int shortKeyCode(const OptionSettings& option, int key) { return option.*kShortFields[keyIndex(key)]; }
int longKeyCode(const OptionSettings& option, int key) { return option.*kLongFields[keyIndex(key)]; }

std::array<int, ol::kKeySlots> heldKeyCodes(const OptionSettings& option) {
    std::array<int, ol::kKeySlots> held{};
    for (int key = 0; key < 3; ++key) {
        held[static_cast<std::size_t>(ol::shortSlot(key))] = shortKeyCode(option, key);
        held[static_cast<std::size_t>(ol::longSlot(key))] = longKeyCode(option, key);
    }
    return held;
}

bool keySlotOffers(const OptionSettings& option, int slot, int code) {
    if (slot < 0 || slot >= ol::kKeySlots) return false;
    const std::vector<int> codes = ol::keyListCodes(slot, heldKeyCodes(option));
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

bool longKeyAvailable(const OptionSettings& option, int key) { return shortKeyCode(option, key) != ol::kKeyMonitor; }

void chooseShortKey(OptionSettings& option, int key, int code) {
    shortKeyField(option, key) = code;
    if (code == ol::kKeyMonitor) {
        // "Monitor" on the short press leaves no long-press function.
        option.monitor = kEnable;
        longKeyField(option, key) = ol::kKeyNone;
        keyModeField(option, key) = ol::keyMode(code, ol::kKeyNone);
    } else if (code != ol::kKeyNone) {
        keyModeField(option, key) = ol::keyMode(code, ol::kKeyNone);
    } else {
        keyModeField(option, key) = ol::keyMode(ol::kKeyNone, std::max(longKeyCode(option, key), ol::kKeyNone));
    }
}

void chooseLongKey(OptionSettings& option, int key, int code) {
    longKeyField(option, key) = code;
    const int shortCode = shortKeyCode(option, key);
    if (code == ol::kKeyMonitor) {
        option.monitor = kEnable;
        if (shortCode == ol::kKeyNone) keyModeField(option, key) = ol::keyMode(ol::kKeyNone, code);
    } else if (code != ol::kKeyNone) {
        if (shortCode == ol::kKeyNone) keyModeField(option, key) = ol::keyMode(ol::kKeyNone, code);
    } else {
        keyModeField(option, key) = ol::keyMode(shortCode, ol::kKeyNone);
    }
}

void chooseHook(OptionSettings& option, int hook) {
    option.hook = hook;
    option.hookScan = hook == kEnable ? 1 : 0;
}

void choosePowerUp(OptionSettings& option, int powerUp, int shownAutoMute) {
    option.powerUp = powerUp;
    if (powerUp == 1) {  // "Open"
        option.autoMute = std::max(shownAutoMute, 0);
        if (option.autoMute == kEnable) {
            option.autoMuteTimer = ol::kAutoMuteTimerDefault;
            return;
        }
    } else {  // "Close"
        option.autoMute = kDisable;
    }
    option.autoMuteTimer = 0;
}

void chooseAutoMute(OptionSettings& option, int autoMute) {
    option.autoMute = autoMute;
    option.autoMuteTimer = autoMute == kEnable ? ol::kAutoMuteTimerDefault : 0;
}

void choosePttTimer(OptionSettings& option, int pttTimer) {
    option.pttTimer = pttTimer;
    const bool on = pttTimer == kEnable;
    option.txTimer = on ? ol::kTxTimerShownWhenOff + 1 : 0;
    option.txInhibit = on ? ol::kTxInhibitShownWhenOff + 1 : 0;
    option.txInhibitAlert = on ? kEnable : kDisable;
}

void chooseBusyChLockOut(OptionSettings& option, int busyChLockOut) {
    option.busyChLockOut = busyChLockOut;
    option.markIdle = kDisable;
}

OptionAvailability optionAvailability(const OptionSettings& o, const ChannelTable& table) {
    OptionAvailability a;
    for (int key = 0; key < 3; ++key) a.longKey[static_cast<std::size_t>(key)] = longKeyAvailable(o, key);
    a.hookScan = o.hook == kEnable;
    a.autoMute = o.powerUp == 1;
    a.autoMuteTimer = o.autoMute != 0;
    a.pttTimers = o.pttTimer == kEnable;
    a.markIdle = o.busyChLockOut == kEnable;
    const bool scan = table.anyScanChannel != 0;
    a.scanType = scan && table.scanMode != 0;
    a.scanTx = scan;
    a.scanWaitTime = scan;
    a.scanSpeedTime = scan;
    a.priorityLbTime = scan && isPriorityScanTx(o.scanTx);
    return a;
}

bool setGroupCapability(ChannelTable& table, int group, int capability) {
    if (group < 1 || group >= kGroupSlots || capability < 0 || capability > table.channelsLeft) return false;
    table.groups[static_cast<std::size_t>(group)].capability = capability;
    int total = 0;
    for (int g = 1; g < kGroupSlots; ++g) {
        ChannelGroup& slot = table.groups[static_cast<std::size_t>(g)];
        total += slot.capability;
        slot.channelEnd = total;
    }
    table.totalCapability = total;
    table.channelsLeft = kChannelCapacity - total;
    const int mode = table.channelsLeft != kChannelCapacity ? 1 : 0;
    table.scanMode = mode;
    table.groupScanFlag = mode;
    return true;
}

bool applyGroupLayout(ChannelTable& table) {
    const bool modeChanged = table.appliedScanMode != table.scanMode;
    if (table.scanMode == 0) {
        table.currentGroup = 0;
        if (modeChanged) {
            clearAllGroupChannels(table);
            for (int g = 1; g < kGroupSlots; ++g) table.groups[static_cast<std::size_t>(g)].enabled = 0;
            table.groups[0].enabled = 1;
        }
    } else {
        for (int g = 1; g < kGroupSlots; ++g) {
            ChannelGroup& group = table.groups[static_cast<std::size_t>(g)];
            group.enabled = 0;
            if (group.capability < 1)
                clearGroupChannels(table, g, kChannelSlots);  // a group without channels holds nothing
            else
                group.enabled = 1;
        }
        if (modeChanged) clearAllGroupChannels(table);
    }
    table.appliedScanMode = table.scanMode;
    updateAnyScanChannel(table);
    return modeChanged;
}

}  // namespace ks340
