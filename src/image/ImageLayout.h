// Addresses of the memory image shared by the encoder and the decoder.
#pragma once

namespace ks340::layout {

// Channel area
inline constexpr int kChannelArea = 0x000;     // settings block + records 1..208
inline constexpr int kChannelAreaEnd = 0x758;  // last byte of record 208

// Group table and bitmaps
inline constexpr int kDecodeDuration = 0x75D;  // two bytes, 12 bits
inline constexpr int kDtmf9Present = 0x75F;
inline constexpr int kDtmf1to8Present = 0x760;
inline constexpr int kDtmfTimes = 0x762;  // lead in, lead out, mark, space (10 ms)
inline constexpr int kGroupFlags8to13 = 0x766;
inline constexpr int kGroupFlags1to7 = 0x767;
inline constexpr int kListRecord = 0x768;    // last, first, priority, power-on
inline constexpr int kGroupRecords = 0x76C;  // 5 bytes per group 1..13
inline constexpr int kPowerOnMask8to13 = 0x7AE;
inline constexpr int kPowerOnMask0to7 = 0x7AF;
inline constexpr int kGroupRange = 0x7B0;
inline constexpr int kPriorityMask8to13 = 0x7B2;
inline constexpr int kPriorityMask0to7 = 0x7B3;
inline constexpr int kProgrammedMask = 0x7B4;  // inverted
inline constexpr int kMaskBytes = 26;

inline constexpr int kKey1Short = 0x7D0;
inline constexpr int kKey2Short = 0x7D1;
inline constexpr int kKey3Short = 0x7D2;
inline constexpr int kKey1Long = 0x7D5;
inline constexpr int kKey2Long = 0x7D6;
inline constexpr int kKey3Long = 0x7D7;
inline constexpr int kKeyModes12 = 0x7DA;
inline constexpr int kKeyMode3 = 0x7DB;
inline constexpr int kCallPresence = 0x7DD;
inline constexpr int kModemFlags = 0x7E0;
inline constexpr int kTxOnDelay = 0x7E1;
inline constexpr int kTxOffDelay = 0x7E2;
inline constexpr int kRxOnDelay = 0x7E3;
inline constexpr int kTxDelayTime = 0x7E6;
inline constexpr int kAutoMuteTimer = 0x7F9;
inline constexpr int kDecoderToneLength = 0x7FA;
inline constexpr int kCovertRxTime = 0x7FC;
inline constexpr int kCovertTxTime = 0x7FD;

inline constexpr int kScanGroupMask = 0x800;  // groups 9..13, then groups 1..8
inline constexpr int kScanMode = 0x804;
inline constexpr int kFirstProgrammedGroup = 0x805;
inline constexpr int kLastScanGroup = 0x807;
inline constexpr int kScanMask = 0x810;  // 26 bytes; a second 26 follow
inline constexpr int kScanMask2 = 0x82A;

// Tone signalling
inline constexpr int kToneCycles = 0x850;  // remainder, count per tone
inline constexpr int kToneset = 0x86E;
inline constexpr int kToneLength = 0x86F;
inline constexpr int kSequences = 0x870;  // 11 bytes per sequence
inline constexpr int kSequenceWidth = 8;
inline constexpr int kSequenceLengths = 0x8C8;
constexpr int sequenceSlot(int n) { return kSequences + 11 * (n - 1); }  // n = 1..8

// Selcall encode
inline constexpr int kShortDigitWidth = 3;
inline constexpr int kLongDigitWidth = 15;
inline constexpr int kCall1 = 0x8D0;
inline constexpr int kCall2 = 0x8DC;
inline constexpr int kCall3 = 0x8E8;
inline constexpr int kAniShort = 0x930;
inline constexpr int kMultiAniDelay = 0x934;
inline constexpr int kEmgCycleRepeatTime = 0x935;
inline constexpr int kEmgShort = 0x93E;
inline constexpr int kEmgRepeats = 0x942;
inline constexpr int kEmgTxTimer = 0x943;
inline constexpr int kCallFlags = 0x94C;
inline constexpr int kCall3EncodeAlert = 0x94D;
inline constexpr int kAniEmgFlags = 0x94F;
inline constexpr int kAcknowledge = 0x950;
inline constexpr int kAcknowledgeLengths = 0x95C;
inline constexpr int kEmgLong = 0xC90;
inline constexpr int kAniLong = 0xCA1;

// DTMF
inline constexpr int kDtmfCodes = 0x960;                              // 25 bytes per code
constexpr int dtmfCodeSlot(int i) { return kDtmfCodes + 25 * i; }     // i = 0..8
inline constexpr int kDtmfDecode = 0xEC0;                             // 17 bytes per address
constexpr int dtmfDecodeSlot(int i) { return kDtmfDecode + 17 * i; }  // i = 0..3

// Selcall decode
inline constexpr int kDecodeEntriesBase = 0xA50;  // 20 bytes per entry
inline constexpr int kDecodeAddressWidth = 8;
inline constexpr int kDecodeTextWidth = 8;
constexpr int decodeEntrySlot(int i) { return kDecodeEntriesBase + 20 * i; }  // i = 0..7

// Texts
inline constexpr int kModemTexts = 0xB00;  // 43 bytes per text
inline constexpr int kModemTextWidth = 40;
constexpr int modemTextSlot(int i) { return kModemTexts + 43 * i; }  // i = 0..8
inline constexpr int kLightKeyAbsent = 0xCF2;
inline constexpr int kLogo = 0xD00;
inline constexpr int kLogoWidth = 9;
inline constexpr int kStatusTexts = 0xDD0;  // length, then 8 codes
inline constexpr int kStatusTextWidth = 8;
constexpr int statusTextSlot(int i) { return kStatusTexts + 9 * i; }  // i = 0..9
inline constexpr int kUserTones = 0xE30;                              // 3 bytes per tone
constexpr int userToneSlot(int t) { return kUserTones + 3 * t; }      // t = 0..14
inline constexpr int kLabels = 0x1010;                                // 9 bytes per channel
inline constexpr int kLabelWidth = 8;
inline constexpr int kLabelSlots = 208;
constexpr int labelSlot(int k) { return kLabels + 9 * k; }  // k = 0..207

// Fixed bits and bytes: they hold no setting, the radio expects them.
struct FixedBits {
    const char* name;
    int address;
    int bit;
    int width;
    int value;
};
inline constexpr FixedBits kMonitorOn{"Option / Monitor (always on)", 0x000, 3, 1, 1};
inline constexpr FixedBits kSettingsMark{"Radio / Fixed bit", 0x002, 6, 1, 1};
inline constexpr FixedBits kPublicAddressOn{"Option / Public Address (always on)", 0x007, 5, 1, 1};
inline constexpr FixedBits kPowerOnMarksHigh{"Radio / PowON CH marks", kPowerOnMask8to13, 6, 2, 3};
inline constexpr FixedBits kDtmfMark{"DTMF and Selcall Status / Fixed value", 0x761, 0, 8, 0xE0};
inline constexpr FixedBits kKeyMark1{"Option / Fixed value", 0x7D3, 0, 8, 0x0F};
inline constexpr FixedBits kKeyMark2{"Option / Fixed value", 0x7D4, 0, 8, 0x0E};
inline constexpr FixedBits kKeyMode3Mark{"Option / Fixed value", kKeyMode3, 5, 1, 1};
inline constexpr FixedBits kKeyMark3{"Option / Fixed value", 0x7DC, 0, 8, 0x02};
inline constexpr FixedBits kModemMark{"Modem / Fixed value", 0x7F8, 0, 8, 0x22};

constexpr int groupRecord(int g) { return kGroupRecords + 5 * (g - 1); }  // g = 1..13

}  // namespace ks340::layout
