// Dependency rules of the option page and the group setting rule of the
// group dialogs, on the record alone. The pages call these and then show the
// record; ks340ctl set goes through the same functions.
#pragma once

#include <array>

#include "model/OptionLists.h"
#include "model/RadioSettings.h"

namespace ks340 {

// ---- Programmable keys (key 0..2 for keys 1..3) ----

int& shortKeyField(OptionSettings& option, int key);
int& longKeyField(OptionSettings& option, int key);
int& keyModeField(OptionSettings& option, int key);
int shortKeyCode(const OptionSettings& option, int key);
int longKeyCode(const OptionSettings& option, int key);

// The code each of the six key slots holds (short keys 1..3, long keys 1..3).
std::array<int, optionlists::kKeySlots> heldKeyCodes(const OptionSettings& option);

// True when slot `slot` offers `code` under the key list rule (a function
// other than "N/A" belongs to one slot at a time).
bool keySlotOffers(const OptionSettings& option, int slot, int code);

// A key's long list is available unless its short press is "Monitor".
bool longKeyAvailable(const OptionSettings& option, int key);

// Choosing a short-press function: "Monitor" turns the hidden Monitor on and
// takes the long press's function away; the key mode follows.
void chooseShortKey(OptionSettings& option, int key, int code);
// Choosing a long-press function; the key mode changes only while the short
// press is "N/A" (or when the long press returns to "N/A").
void chooseLongKey(OptionSettings& option, int key, int code);

// ---- Other dependencies ----

// "Hook": "Hook Scan" follows it ("On" with "Enable", "Off" otherwise).
void chooseHook(OptionSettings& option, int hook);
// "Power up": "Open" takes the choice "Auto Mute" shows (shownAutoMute)
// into autoMute, "Close" turns Auto Mute off; the Auto Mute Timer is 30
// while Auto Mute is on, 0 otherwise.
void choosePowerUp(OptionSettings& option, int powerUp, int shownAutoMute);
// "Auto Mute": the timer becomes 30 ("Enable") or 0.
void chooseAutoMute(OptionSettings& option, int autoMute);
// "PTT Timer": "Enable" gives Tx Timer 30 S, Tx Inhibit 10 S and Tx Inhibit
// Alert "Enable"; "Disable" turns all three off.
void choosePttTimer(OptionSettings& option, int pttTimer);
// "Busy Ch. Lock out": "Mark Idle" returns to "Disable".
void chooseBusyChLockOut(OptionSettings& option, int busyChLockOut);

// Which option controls can be changed for the stored values.
struct OptionAvailability {
    std::array<bool, 3> longKey{};  // keys 1..3
    bool hookScan = false;
    bool autoMute = false;
    bool autoMuteTimer = false;
    bool pttTimers = false;  // Tx Timer, Tx Inhibit, Tx Inhibit Alert
    bool markIdle = false;
    bool scanType = false;
    bool scanTx = false;
    bool scanWaitTime = false;
    bool scanSpeedTime = false;
    bool priorityLbTime = false;
};
// The page's rules for the stored values; the scan controls follow the scan
// availability rule (some channel is a scan channel; "Scan Type" only in
// group scan mode; "Priority LB Time" only with a priority "Scan Tx").
OptionAvailability optionAvailability(const OptionSettings& option, const ChannelTable& table);

// ---- Group setting rule ----

// Gives group `group` (1..13) `capability` channels. Refused (false,
// nothing changed) when the group is not 1..13, the capability is negative
// or larger than the channels left (a group's own channels are not counted
// as free). Otherwise every group's channelEnd, totalCapability,
// channelsLeft, scanMode and groupScanFlag are recomputed.
bool setGroupCapability(ChannelTable& table, int group, int capability);

// Lays the channel table out for its scan mode once the group dialog closes
// with OK: all-channel mode uses slot 0 only, group mode the groups with
// channels; a change of mode empties every channel. Returns true when the
// mode changed.
bool applyGroupLayout(ChannelTable& table);

}  // namespace ks340
