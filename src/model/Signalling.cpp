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

std::string shownToneText(const ToneSequenceSettings& tone, int index) {
    const auto k = static_cast<std::size_t>(index);
    if (tone.toneset == kUserToneSet) return tone.userTone[k];
    if (isValidToneSet(tone.toneset))
        return std::to_string(ToneSetTable[static_cast<std::size_t>(tone.toneset)].tones[k]);
    return std::to_string(tone.toneFrequency[k]);
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

namespace {

constexpr int kDefaultRepeats = 3;
constexpr int kDefaultCycleRepeatTime = 20;  // S
constexpr int kDefaultEmergencyTxTimer = 5;  // S
constexpr int kAniAtOff = 0;
constexpr int kAniAtStart = 1;
constexpr int kDefaultMultiAniDelay = 1;  // S

}  // namespace

void setEmergencyText(SelcallEncodeSettings& e, const std::string& text) {
    e.emgSequence = text;
    const bool hasText = !text.empty();
    e.emgCheckOpen = 0;
    e.emgCheckBusy = 0;
    e.emgEncodeAlert = hasText ? 1 : 0;
    e.emgRepeats = hasText ? kDefaultRepeats : 0;
    e.emgCycleRepeatTime = hasText ? kDefaultCycleRepeatTime : 0;
    e.emgTxTimer = hasText ? kDefaultEmergencyTxTimer : 0;
}

void setAniText(SelcallEncodeSettings& e, const std::string& text) {
    e.aniSequence = text;
    const bool hasText = !text.empty();
    e.aniAt = hasText ? kAniAtStart : kAniAtOff;
    e.multiAniDelay = hasText ? kDefaultMultiAniDelay : 0;
}

void setCallSequence(SelcallEncodeSettings& e, int call, const std::string& text) {
    std::string* sequence[3] = {&e.call1Sequence, &e.call2Sequence, &e.call3Sequence};
    int* checkOpen[3] = {&e.call1CheckOpen, &e.call2CheckOpen, &e.call3CheckOpen};
    int* checkBusy[3] = {&e.call1CheckBusy, &e.call2CheckBusy, &e.call3CheckBusy};
    int* encodeAlert[3] = {&e.call1EncodeAlert, &e.call2EncodeAlert, &e.call3EncodeAlert};
    if (call < 1 || call > 3) return;
    const auto i = static_cast<std::size_t>(call - 1);
    *sequence[i] = text;
    const bool hasText = !text.empty();
    *checkOpen[i] = 0;
    *checkBusy[i] = hasText ? 1 : 0;
    *encodeAlert[i] = hasText ? 1 : 0;
}

void chooseEmergencyType(SelcallEncodeSettings& e, int type) {
    e.emgType = type;
    setEmergencyText(e, type == 1 ? std::string() : std::string("2"));
}

void chooseAniType(SelcallEncodeSettings& e, int type) {
    e.aniType = type;
    setAniText(e, std::string());
}

}  // namespace ks340
