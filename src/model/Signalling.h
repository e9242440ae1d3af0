// Tone sets and the collect steps of the signalling pages: the values only
// the memory image needs, derived from the stored settings.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "model/RadioSettings.h"

namespace ks340 {

struct ToneSet {
    int id;                             // position in the list, 0..7
    std::array<int, kToneCount> tones;  // Hz for 0..9, A..E; 0 = no tone
    int standardToneLength;             // mS
    std::string_view name;
};

inline constexpr int kToneSetCount = 8;
inline constexpr int kUserToneSet = 7;

inline constexpr std::array<ToneSet, kToneSetCount> ToneSetTable{{
    {0, {1981, 1124, 1197, 1275, 1358, 1446, 1540, 1640, 1747, 1860, 1055, 930, 2247, 991, 2110}, 40, "EEA"},
    {1, {2400, 1060, 1160, 1270, 1400, 1530, 1670, 1830, 2000, 2200, 2800, 810, 970, 885, 2600}, 70, "ZVEI1"},
    {2, {2400, 1060, 1160, 1270, 1400, 1530, 1670, 1830, 2000, 2200, 885, 810, 740, 680, 970}, 70, "ZVEI2"},
    {3, {2200, 790, 1060, 1160, 1270, 1400, 1530, 1670, 1830, 2000, 825, 740, 2400, 885, 2400}, 70, "ZVEI3/DZVEI"},
    {4, {2400, 1060, 1160, 1270, 1400, 1530, 1670, 1830, 2000, 2200, 970, 810, 2800, 855, 2600}, 100, "PZVEI"},
    {5, {1981, 1124, 1197, 1275, 1358, 1446, 1540, 1640, 1747, 1860, 2400, 930, 2247, 991, 2110}, 100, "CCIR"},
    {6, {400, 697, 770, 852, 941, 1209, 1335, 1477, 1633, 1800, 0, 0, 0, 0, 0}, 100, "CCITT"},
    {7, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0, "User"},
}};

constexpr bool isValidToneSet(int toneset) { return toneset >= 0 && toneset < kToneSetCount; }

inline constexpr int kMaxTimeMs = 1275;

// Time rule of the signalling pages: clamp to 0..1275 and move to the
// nearest multiple of 5.
constexpr int snapToFiveMs(int value) {
    if (value < 0) value = 0;
    if (value >= kMaxTimeMs) return kMaxTimeMs;
    switch (value % 5) {
        case 1:
            return value - 1;
        case 2:
            return value - 2;
        case 3:
            return value + 2;
        case 4:
            return value + 1;
        default:
            return value;
    }
}
// The same for a field's text (its leading decimal digits; none gives 0).
int snapToFiveMs(std::string_view text);

// Tone frequency check of a tone field: 0 stays 0, 1..399 become 400,
// above 3000 becomes 3000.
constexpr int checkToneFrequency(int hz) {
    if (hz <= 0) return 0;
    if (hz < 400) return 400;
    if (hz > 3000) return 3000;
    return hz;
}

// Whole cycles of a tone in 42.666 ms and the leftover part of a cycle in
// units of 1/6000 s. Both are 0 for 0 Hz.
struct ToneCycles {
    int count;
    int remainder;
};
ToneCycles toneCycles(int frequencyHz);

// The tone page's collect step: with the "User" tone set each toneFrequency
// becomes the decimal value of its userTone text, with a built-in set the
// set's table tone (a file may hold others); then the cycle count and
// remainder of all fifteen tones are derived from toneFrequency.
void collectToneSequence(ToneSequenceSettings& tone);

// What tone `index` (0..14) shows on the tone page, and so in the option
// report and in lists of differences: the typed text under the "User" set,
// the set's own tone under a built-in set (the one the radio gets), the
// stored frequency under an unknown set. Windows-1252 bytes.
std::string shownToneText(const ToneSequenceSettings& tone, int index);

// Choosing a tone set on the tone page: a built-in set brings its table
// tones and its standard tone length, which becomes every sequence's 1st
// tone time and the decoder's tone length; "User" keeps the tones as they are.
void chooseToneSet(RadioSettings& settings, int toneset);

// The tone length typed on the tone page; the decoder listens with it too.
void setToneLength(RadioSettings& settings, int toneLength);

// The encode page's rules for its texts. A new emergency text resets the
// emergency options (alert on, 3 repeats, 20 S cycle, 5 S Tx timer while it
// holds text, all off when empty); an ANI text sets "ANI at" to "Start" and
// the multi-ANI delay to 1 S (off and 0 when empty); a call sequence turns
// Check Busy and Encode Alert on (off when empty), Check Open off.
void setEmergencyText(SelcallEncodeSettings& encode, const std::string& text);
void setAniText(SelcallEncodeSettings& encode, const std::string& text);
void setCallSequence(SelcallEncodeSettings& encode, int call, const std::string& text);  // call 1..3
// Choosing the emergency type starts its text over: sequence number "2" for
// selcall, empty for DTMF. Choosing the ANI type empties the ANI text.
void chooseEmergencyType(SelcallEncodeSettings& encode, int type);
void chooseAniType(SelcallEncodeSettings& encode, int type);

// The largest stored leadInTime of sequences 1..8.
int longestLeadIn(const ToneSequenceSettings& tone);
// Stores longestLeadIn into longestLeadInTime.
void collectLongestLeadIn(ToneSequenceSettings& tone);

// The decode page's collect step: decodeDuration = the largest number of
// characters among the eight decode addresses x decoderToneLength.
int decodeDuration(const SelcallDecodeSettings& decode);
void collectSelcallDecode(SelcallDecodeSettings& decode);

// What the Save command runs before writing the setting file (the tone
// page's collect step).
void prepareForSave(RadioSettings& settings);

// The signalling collect steps run before every radio transfer: tone
// collect, longest lead-in and decode duration. (The channel image is
// prepared separately.)
void prepareSignallingForTransfer(RadioSettings& settings);

}  // namespace ks340
