// Fixed tables of the header: radio models, their bands and the speaker
// choice. Every lookup is safe for any index: an index outside its table
// gives the empty text (names) or the first row (band limits).
#pragma once

#include <array>
#include <string_view>

namespace ks340 {

inline constexpr int kModelCount = 2;
inline constexpr int kBandsPerModel = 2;
inline constexpr int kSpeakerCount = 2;

inline constexpr int kBandUhf2 = 0;
inline constexpr int kBandVhf2 = 1;

// Full model names as the model list shows them.
inline constexpr std::array<std::string_view, kModelCount> ModelTable{"KS-340 Series", "KS-390 Series"};
// Short names shown in the read-only model field.
inline constexpr std::array<std::string_view, kModelCount> ShortModelTable{"KS-340", "KS-390"};

struct BandRow {
    int lowerMhz;           // lowest frequency of the band, whole MHz
    int upperMhz;           // highest frequency of the band, whole MHz
    std::string_view name;  // as the band list shows it
};

// Two rows per model, indexed [model][radioBand].
inline constexpr std::array<std::array<BandRow, kBandsPerModel>, kModelCount> BandTable{{
    {{{440, 480, "UHF2 (440 ~ 480Mhz)"}, {148, 174, "VHF2 (148 ~ 174Mhz)"}}},
    {{{440, 470, "UHF2 (440 ~ 470Mhz)"}, {148, 174, "VHF2 (148 ~ 174Mhz)"}}},
}};

inline constexpr std::array<std::string_view, kSpeakerCount> SpeakerTable{"Internal", "External"};

constexpr bool isValidModel(int model) { return model >= 0 && model < kModelCount; }
constexpr bool isValidBand(int radioBand) { return radioBand >= 0 && radioBand < kBandsPerModel; }
constexpr bool isValidSpeaker(int speaker) { return speaker >= 0 && speaker < kSpeakerCount; }

std::string_view modelName(int model);       // "KS-340 Series" / "KS-390 Series"
std::string_view shortModelName(int model);  // "KS-340" / "KS-390"
std::string_view speakerName(int speaker);   // "Internal" / "External"

// The band row of (model, radioBand); an index outside the table is taken as 0.
const BandRow& bandRow(int model, int radioBand);
std::string_view bandName(int model, int radioBand);

// Frequency limits in whole MHz of the given model and band (see bandRow).
struct BandLimits {
    int lowerMhz;
    int upperMhz;
};
BandLimits bandLimits(int model, int radioBand);

}  // namespace ks340
