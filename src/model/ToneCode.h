// Squelch tone codes of a channel direction (rxSquelch, txSquelch):
// 0 off, 1..38 CTCSS (CtcssTable entry code - 1), 39..121 DCS (DcsTable
// entry code - 39). Whether a DCS code is inverted is a separate flag.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace ks340 {

using ToneCode = int;

inline constexpr ToneCode kToneOff = 0;
inline constexpr ToneCode kFirstCtcssCode = 1;
inline constexpr ToneCode kLastCtcssCode = 38;
inline constexpr ToneCode kFirstDcsCode = 39;
inline constexpr ToneCode kLastDcsCode = 121;
inline constexpr int kCtcssCount = 38;
inline constexpr int kDcsCount = 83;

struct CtcssEntry {
    int index;              // 0..37
    double frequency;       // Hz
    std::string_view text;  // "67.0" ...
};

struct DcsEntry {
    int index;              // 0..82
    int code;               // the octal digits read as a decimal number: "023" -> 23
    std::string_view text;  // "023" ...
};

inline constexpr std::array<CtcssEntry, kCtcssCount> CtcssTable{{
    {0, 67.0, "67.0"},    {1, 71.9, "71.9"},    {2, 74.4, "74.4"},    {3, 77.0, "77.0"},    {4, 79.7, "79.7"},
    {5, 82.5, "82.5"},    {6, 85.4, "85.4"},    {7, 88.5, "88.5"},    {8, 91.5, "91.5"},    {9, 94.8, "94.8"},
    {10, 97.4, "97.4"},   {11, 100.0, "100.0"}, {12, 103.5, "103.5"}, {13, 107.2, "107.2"}, {14, 110.9, "110.9"},
    {15, 114.8, "114.8"}, {16, 118.8, "118.8"}, {17, 123.0, "123.0"}, {18, 127.3, "127.3"}, {19, 131.8, "131.8"},
    {20, 136.5, "136.5"}, {21, 141.3, "141.3"}, {22, 146.2, "146.2"}, {23, 151.4, "151.4"}, {24, 156.7, "156.7"},
    {25, 162.2, "162.2"}, {26, 167.9, "167.9"}, {27, 173.8, "173.8"}, {28, 179.9, "179.9"}, {29, 186.2, "186.2"},
    {30, 192.8, "192.8"}, {31, 203.5, "203.5"}, {32, 210.7, "210.7"}, {33, 218.1, "218.1"}, {34, 225.7, "225.7"},
    {35, 233.6, "233.6"}, {36, 241.8, "241.8"}, {37, 250.3, "250.3"},
}};

inline constexpr std::array<DcsEntry, kDcsCount> DcsTable{{
    {0, 23, "023"},   {1, 25, "025"},   {2, 26, "026"},   {3, 31, "031"},   {4, 32, "032"},   {5, 43, "043"},
    {6, 47, "047"},   {7, 51, "051"},   {8, 54, "054"},   {9, 65, "065"},   {10, 71, "071"},  {11, 72, "072"},
    {12, 73, "073"},  {13, 74, "074"},  {14, 114, "114"}, {15, 115, "115"}, {16, 116, "116"}, {17, 125, "125"},
    {18, 131, "131"}, {19, 132, "132"}, {20, 134, "134"}, {21, 143, "143"}, {22, 152, "152"}, {23, 155, "155"},
    {24, 156, "156"}, {25, 162, "162"}, {26, 165, "165"}, {27, 172, "172"}, {28, 174, "174"}, {29, 205, "205"},
    {30, 223, "223"}, {31, 226, "226"}, {32, 243, "243"}, {33, 244, "244"}, {34, 245, "245"}, {35, 251, "251"},
    {36, 261, "261"}, {37, 263, "263"}, {38, 265, "265"}, {39, 271, "271"}, {40, 306, "306"}, {41, 311, "311"},
    {42, 315, "315"}, {43, 331, "331"}, {44, 343, "343"}, {45, 346, "346"}, {46, 351, "351"}, {47, 364, "364"},
    {48, 365, "365"}, {49, 371, "371"}, {50, 411, "411"}, {51, 412, "412"}, {52, 413, "413"}, {53, 423, "423"},
    {54, 431, "431"}, {55, 432, "432"}, {56, 445, "445"}, {57, 464, "464"}, {58, 465, "465"}, {59, 466, "466"},
    {60, 503, "503"}, {61, 506, "506"}, {62, 516, "516"}, {63, 532, "532"}, {64, 546, "546"}, {65, 565, "565"},
    {66, 606, "606"}, {67, 612, "612"}, {68, 624, "624"}, {69, 627, "627"}, {70, 631, "631"}, {71, 632, "632"},
    {72, 654, "654"}, {73, 662, "662"}, {74, 664, "664"}, {75, 703, "703"}, {76, 712, "712"}, {77, 723, "723"},
    {78, 731, "731"}, {79, 732, "732"}, {80, 734, "734"}, {81, 743, "743"}, {82, 754, "754"},
}};

constexpr bool isCtcssCode(ToneCode c) { return c >= kFirstCtcssCode && c <= kLastCtcssCode; }
constexpr bool isDcsCode(ToneCode c) { return c >= kFirstDcsCode && c <= kLastDcsCode; }
constexpr bool isValidToneCode(ToneCode c) { return c >= kToneOff && c <= kLastDcsCode; }

// Display text of a code: "OFF", "CTCSS : 67.0", "DCS : 023" or, with the
// inverse flag set on a DCS code, "Inv DCS : 023". A code outside 0..121
// gives the empty text.
std::string toneCodeText(ToneCode code, int inverseDcs);

// List positions of the CTCSS list (0..37) and the DCS list (0..82).
constexpr ToneCode ctcssCodeFromPosition(int position) { return position + kFirstCtcssCode; }
constexpr ToneCode dcsCodeFromPosition(int position) { return position + kFirstDcsCode; }
// Position of a code in its list, or -1 when the code is not of that kind.
constexpr int ctcssPositionFromCode(ToneCode c) { return isCtcssCode(c) ? c - kFirstCtcssCode : -1; }
constexpr int dcsPositionFromCode(ToneCode c) { return isDcsCode(c) ? c - kFirstDcsCode : -1; }

}  // namespace ks340
