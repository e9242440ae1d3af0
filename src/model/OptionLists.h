// Choice lists and value rules of the option page. The page fills its lists
// from here and the printed report shows stored values through the same
// texts, so both always agree.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "model/RadioSettings.h"

namespace ks340 {

// Values of OptionSettings::scanTx. The first two apply while a priority
// channel exists; the channel page switches between the pairs.
inline constexpr int kScanTxPriorityOnly = 0;
inline constexpr int kScanTxPriorityScan = 1;
inline constexpr int kScanTxRxOnly = 2;
inline constexpr int kScanTxNormal = 3;
constexpr bool isPriorityScanTx(int scanTx) { return scanTx == kScanTxPriorityOnly || scanTx == kScanTxPriorityScan; }

}  // namespace ks340

namespace ks340::optionlists {

using ItemList = std::vector<std::string>;

// Text of item `position`, or the empty text when the position is not in the list.
std::string itemText(const ItemList& items, int position);

// ---- Programmable keys ----

// Key function codes. Every key list shows them in code order; the stored
// value is the code.
inline constexpr int kKeyNone = 0;  // "N/A"
inline constexpr int kKeyPower = 1;
inline constexpr int kKeyLight = 2;
inline constexpr int kKeyMonitor = 3;
inline constexpr int kKeySelcall = 8;
inline constexpr int kKeySms = 9;
inline constexpr int kKeyGroup = 12;        // last code of an ordinary key list
inline constexpr int kKeyAsicControl = 13;  // key 3 long press only

// The six key slots: 0..2 are the short presses of keys 1..3, 3..5 their
// long presses. Only slot 5 (key 3 long) offers "Asic Control".
inline constexpr int kKeySlots = 6;
inline constexpr int kAsicControlSlot = 5;
constexpr int shortSlot(int key) { return key; }     // key 0..2
constexpr int longSlot(int key) { return key + 3; }  // key 0..2

// "N/A", "Power", ... "Asic Control"; empty text for an unknown code.
std::string_view keyFunctionText(int code);

// Highest code a slot's full list holds (12, or 13 for key 3 long).
int lastKeyCode(int slot);

// The key list rule: a function other than "N/A" belongs to one slot at a
// time. `held` is the code each slot shows (-1 for none). Returns the codes
// slot `slot` offers, in code order: "N/A", every function no slot holds,
// the function this slot holds, and for key 3 long "Asic Control".
std::vector<int> keyListCodes(int slot, const std::array<int, kKeySlots>& held);

// Key mode the radio needs for a key: 0 no function, 1 "Monitor" is the
// key's effective function, 3 any other function. A short function decides;
// the long one counts only while the short key is "N/A".
int keyMode(int shortCode, int longCode);

// ---- Lists stored by position ----
const ItemList& disableEnableItems();   // "Disable", "Enable"
const ItemList& offOnItems();           // "Off", "On" (Hook Scan)
const ItemList& closeOpenItems();       // "Close", "Open" (Power up)
const ItemList& openLockItems();        // "Off", "Auto Open", "Lock PTT"
const ItemList& scanTypeItems();        // "Auto Group Scan", "Manual Group Scan"
const ItemList& txTimerItems();         // "10" .. "990" step 10 (seconds)
const ItemList& txInhibitItems();       // "5" .. "75" step 5 (seconds)
const ItemList& scanWaitTimeItems();    // "0" .. "15"
const ItemList& priorityLbTimeItems();  // "0" .. "7"

// Tx Timer and Tx Inhibit store list position + 1, 0 meaning off. The list
// still shows an entry when off: "30" (position 2) and "10" (position 1).
inline constexpr int kTxTimerShownWhenOff = 2;
inline constexpr int kTxInhibitShownWhenOff = 1;
int txTimerPosition(int txTimer);
int txInhibitPosition(int txInhibit);
std::string txTimerText(int txTimer);  // the entry the list shows
std::string txInhibitText(int txInhibit);

// ---- Scan Tx (stored by value, see the values above) ----
std::string_view scanTxText(int value);  // empty text for an unknown value
// The two values the list offers for the current value, in list order:
// {1, 0} while a priority channel exists, {3, 2} otherwise.
std::array<int, 2> scanTxPair(int scanTx);
// Entry selected for the value: 1 for 0 and 2, 0 for 1 and 3 (-1 for others).
int scanTxPosition(int scanTx);

// ---- Text fields ----
inline constexpr int kAutoMuteTimerMax = 250;  // S
inline constexpr int kAutoMuteTimerDefault = 30;
inline constexpr int kAutoMuteTimerLength = 3;  // characters

// The typed value limited to 0..250.
constexpr int clampAutoMuteTimer(int value) {
    return value < 0 ? 0 : (value > kAutoMuteTimerMax ? kAutoMuteTimerMax : value);
}

inline constexpr int kScanSpeedTimeDefault = 49;  // shown "0.50"

// Stored n shown as (n + 1) x 0.01 S with two decimals.
std::string scanSpeedTimeText(int stored);
// What the field shows after it loses focus: below 0.05 S (or no number)
// "0.50", above 2 S "2.00", otherwise the number with two decimals.
std::string correctScanSpeedText(std::string_view typed);
// Stored value of a shown text: hundredths of a second minus 1.
int scanSpeedTimeValue(std::string_view shown);

}  // namespace ks340::optionlists
