// Choice lists and labels of the signalling pages (selcall encode, selcall
// decode, DTMF and status, modem). The stored value of a list field is the
// position of its item, counted from 0. The pages fill their lists from here
// and the printed report shows stored values through the same texts.
#pragma once

#include <string>
#include <vector>

namespace ks340::signalling {

using ItemList = std::vector<std::string>;

// Text of item `position`, or the empty text when the position is not in the list.
std::string itemText(const ItemList& items, int position);

// ---- Selcall encode ----
const ItemList& disableEnableItems();   // "Disable", "Enable"
const ItemList& signallingTypeItems();  // "Selcall", "DTMF" (EMG Type, ANI Type)
const ItemList& repeatsItems();         // "None", "1" .. "12", "Permanently"
// "Off", "Start", plus "End" when the ANI is sent as DTMF (aniType 1).
const ItemList& aniAtItems(int aniType);

inline constexpr int kSignallingTypeSelcall = 0;
inline constexpr int kSignallingTypeDtmf = 1;
inline constexpr int kMaxEncodeSeconds = 250;    // Cycle Repeat Time, Tx Timer, Multi ANI Delay
inline constexpr int kSequenceNumberLength = 3;  // sequence-number texts (digits 1..8)
inline constexpr int kDtmfDigitsLength = 15;     // DTMF digit texts

// Label of the emergency / ANI text field for the given type.
const char* emergencyFieldLabel(int emgType);  // "EMG Seq." / "EMG Tone"
const char* aniFieldLabel(int aniType);        // "ANI Seq." / "ANI Tone"

// ---- Selcall decode ----
const ItemList& decodeActionItems();  // "None", "Open", "Close", "Stun", "Revive", "Covert On", "Covert Off"
const ItemList& decodeAckItems();     // "None", "ACK 1", "ACK 2", "ACK 3"
// Names of the eight decode entries ("Call 1" .. "Group Call") and the labels
// of their address fields ("Call 1 Address" .. "Group Address").
const ItemList& decodeEntryNames();
const ItemList& decodeAddressLabels();

inline constexpr int kDecodeAddressLength = 8;
inline constexpr int kDecodeTextLength = 8;
inline constexpr int kMaxCovertSeconds = 250;

// ---- DTMF and status ----
const ItemList& dtmfActionItems();  // "None", "Stun", "Revive", "Covert On", "Covert Off"

inline constexpr int kDtmfLeadTimeLimit = 2550;  // Lead In / Lead Out, mS
inline constexpr int kDtmfToneTimeLimit = 100;   // Mark / Space, mS
inline constexpr int kDtmfToneTimeMinimum = 50;
inline constexpr int kDefaultDtmfLeadInTime = 300;
inline constexpr int kDefaultDtmfLeadOutTime = 160;
inline constexpr int kDefaultDtmfMarkTime = 70;
inline constexpr int kDefaultDtmfSpaceTime = 50;
inline constexpr int kStatusTextLength = 8;

// Value stored while a DTMF time is being typed: the typed value limited to
// `limit`, moved up to the next multiple of 10 when its last digit is 5 or more.
int dtmfTimeWhileTyping(int typed, int limit);
// Value a DTMF time takes when its field loses focus: within minimum..limit,
// then the nearest multiple of 10 (last digit 0-4 down, 5-9 up).
int dtmfTimeOnFocusLoss(int typed, int minimum, int limit);

// ---- Modem ----
const ItemList& modemBaudRateItems();  // "1200", "2400"
const ItemList& txDelayTimeItems();    // "150" .. "400" step 50
const ItemList& txOnDelayItems();      // "0" .. "252" step 4
const ItemList& txOffDelayItems();     // "0" .. "20" step 4
const ItemList& rxOnDelayItems();      // "0" .. "120" step 4

inline constexpr int kModemTextLength = 40;
inline constexpr int kCommonSentenceLength = 8;

}  // namespace ks340::signalling
