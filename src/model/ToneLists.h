// Labels and input rules of the tone sequence page, shared with the
// printed report so both name the tones and sequences alike.
#pragma once

#include <string>
#include <string_view>

#include "model/RadioSettings.h"

namespace ks340::tonelists {

inline constexpr int kSequenceCount = 8;    // "Sequence 1" .. "Sequence 8"
inline constexpr int kToneFieldLength = 4;  // characters of a tone, time or tone length field
inline constexpr int kSequenceLength = 8;   // characters of a sequence
inline constexpr int kMaxSPerSequence = 2;  // "S"/"s" together
inline constexpr int kMaxKPerSequence = 2;  // "K"/"k" together
// Lead-in time Sequence 5 gets whenever its text is edited.
inline constexpr int kSequence5LeadInTime = 300;

// '0'..'9', 'A'..'E' for tones 0..14; '?' outside.
char toneDigit(int tone);
// "Tone 0" .. "Tone E".
std::string toneLabel(int tone);
// "Sequence 1" .. "Sequence 8" for n = 1..8.
std::string sequenceLabel(int n);
// Name of a tone set as the "Toneset" list shows it; empty when unknown.
std::string_view toneSetName(int toneset);

// A sequence may hold at most two "S" and two "K" (either case, counted
// separately).
bool sequenceWithinLimits(std::string_view sequence);

}  // namespace ks340::tonelists
