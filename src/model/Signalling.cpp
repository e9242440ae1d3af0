#include "model/Signalling.h"

#include <algorithm>

#include "model/Decimal.h"

namespace ks340 {

int snapToFiveMs(std::string_view text) { return snapToFiveMs(leadingDecimal(text)); }

ToneCycles toneCycles(int frequencyHz) {
    if (frequencyHz == 0) return {0, 0};
    // The factor is the decimal 0.042666 exactly, as the radio's tables
    // were built with it (not 256/6000).
    const double f = frequencyHz;
    const double cycles = f * 0.042666;
    const int count = static_cast<int>(cycles);  // toward zero
    const double x = (cycles - count) * 6000.0 / f;
    const int whole = static_cast<int>(x);
    const int remainder = whole + ((x - whole) >= 0.5 ? 1 : 0);
    return {count, remainder};
}

void collectToneSequence(ToneSequenceSettings& tone) {
    if (tone.toneset == kUserToneSet) {
        for (int i = 0; i < kToneCount; ++i)
            tone.toneFrequency[static_cast<std::size_t>(i)] =
                leadingDecimal(tone.userTone[static_cast<std::size_t>(i)]);
    } else if (isValidToneSet(tone.toneset)) {
        // A built-in set sends its own tones, whatever a file held.
        tone.toneFrequency = ToneSetTable[static_cast<std::size_t>(tone.toneset)].tones;
    }
    for (int i = 0; i < kToneCount; ++i) {
        const auto k = static_cast<std::size_t>(i);
        const ToneCycles c = toneCycles(tone.toneFrequency[k]);
        tone.toneCycleCount[k] = c.count;
        tone.toneCycleRemainder[k] = c.remainder;
    }
}

int longestLeadIn(const ToneSequenceSettings& tone) {
    int longest = tone.sequences[1].leadInTime;
    for (int i = 2; i < kSequenceSlots; ++i)
        longest = std::max(longest, tone.sequences[static_cast<std::size_t>(i)].leadInTime);
    return longest;
}

void collectLongestLeadIn(ToneSequenceSettings& tone) { tone.longestLeadInTime = longestLeadIn(tone); }

int decodeDuration(const SelcallDecodeSettings& decode) {
    std::size_t longest = 0;
    for (const DecodeEntry& e : decode.decodeEntries) longest = std::max(longest, e.address.size());
    // Addresses are at most 8 characters; keep the product in range for
    // anything else a file may hold.
    const long long product = static_cast<long long>(longest) * decode.decoderToneLength;
    return static_cast<int>(std::clamp<long long>(product, INT_MIN, INT_MAX));
}

void collectSelcallDecode(SelcallDecodeSettings& decode) { decode.decodeDuration = decodeDuration(decode); }

void prepareForSave(RadioSettings& settings) { collectToneSequence(settings.toneSequence); }

void prepareSignallingForTransfer(RadioSettings& settings) {
    collectToneSequence(settings.toneSequence);
    collectLongestLeadIn(settings.toneSequence);
    collectSelcallDecode(settings.selcallDecode);
}

void chooseToneSet(RadioSettings& settings, int toneset) {
    ToneSequenceSettings& t = settings.toneSequence;
    t.toneset = toneset;
    if (!isValidToneSet(toneset) || toneset == kUserToneSet) return;
    const ToneSet& set = ToneSetTable[static_cast<std::size_t>(toneset)];
    t.toneFrequency = set.tones;
    t.toneLength = set.standardToneLength;
    for (int n = 1; n < kSequenceSlots; ++n)
        t.sequences[static_cast<std::size_t>(n)].firstToneTime = set.standardToneLength;
    settings.selcallDecode.decoderToneLength = set.standardToneLength;
}

void setToneLength(RadioSettings& settings, int toneLength) {
    settings.toneSequence.toneLength = toneLength;
    settings.selcallDecode.decoderToneLength = toneLength;
}

}  // namespace ks340
