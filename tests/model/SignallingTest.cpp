#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>

#include "model/Decimal.h"
#include "model/Defaults.h"
#include "model/Signalling.h"

namespace ks340 {

TEST(DecimalTest, ReadsLikeAtoi) {
    EXPECT_EQ(leadingDecimal("123"), 123);
    EXPECT_EQ(leadingDecimal("  -45x"), -45);
    EXPECT_EQ(leadingDecimal("+7"), 7);
    EXPECT_EQ(leadingDecimal("NULL"), 0);
    EXPECT_EQ(leadingDecimal(""), 0);
    EXPECT_EQ(leadingDecimal(" "), 0);
    EXPECT_EQ(leadingDecimal("12 34"), 12);
    EXPECT_EQ(leadingDecimal("- 5"), 0);
    EXPECT_EQ(leadingDecimal("2147483647"), 2147483647);
    EXPECT_EQ(leadingDecimal("-2147483648"), INT_MIN);
    EXPECT_EQ(leadingDecimal("99999999999999999999"), INT_MAX);
    EXPECT_EQ(leadingDecimal("-99999999999999999999"), INT_MIN);
}

TEST(SignallingTest, SnapToFiveMs) {
    EXPECT_EQ(snapToFiveMs(3), 5);
    EXPECT_EQ(snapToFiveMs(7), 5);
    EXPECT_EQ(snapToFiveMs(8), 10);
    EXPECT_EQ(snapToFiveMs(1274), 1275);
    EXPECT_EQ(snapToFiveMs(1275), 1275);
    EXPECT_EQ(snapToFiveMs(9999), 1275);
    EXPECT_EQ(snapToFiveMs(-20), 0);
    EXPECT_EQ(snapToFiveMs(1271), 1270);
    EXPECT_EQ(snapToFiveMs(""), 0);
    EXPECT_EQ(snapToFiveMs("2000"), 1275);
    EXPECT_EQ(snapToFiveMs("42mS"), 40);
    for (int v = 0; v <= 1300; ++v) {
        const int s = snapToFiveMs(v);
        EXPECT_EQ(s % 5, 0);
        EXPECT_LE(s, 1275);
        if (v <= 1275) {
            EXPECT_LE(std::abs(s - v), 2) << v;
        }
    }
}

TEST(SignallingTest, ToneFrequencyCheck) {
    EXPECT_EQ(checkToneFrequency(0), 0);
    EXPECT_EQ(checkToneFrequency(12), 400);
    EXPECT_EQ(checkToneFrequency(3001), 3000);
    EXPECT_EQ(checkToneFrequency(1981), 1981);
}

TEST(SignallingTest, ToneCyclesOfKnownFrequencies) {
    struct Case {
        int hz, count, remainder;
    };
    for (const Case& c : {Case{1981, 84, 2}, Case{2400, 102, 1}, Case{400, 17, 1}, Case{3000, 127, 2}, Case{697, 29, 6},
                          Case{0, 0, 0}}) {
        const ToneCycles t = toneCycles(c.hz);
        EXPECT_EQ(t.count, c.count) << c.hz;
        EXPECT_EQ(t.remainder, c.remainder) << c.hz;
    }
    // Values a damaged file may hold must not overflow.
    const ToneCycles big = toneCycles(INT_MAX);
    EXPECT_GT(big.count, 0);
    const ToneCycles negative = toneCycles(-1000);
    EXPECT_LT(negative.count, 0);
}

TEST(SignallingTest, CollectUsesUserTonesOnlyForTheUserSet) {
    ToneSequenceSettings t;
    resetToneSequenceSettings(t);
    t.userTone[0] = "1500";
    t.userTone[1] = " 800Hz";
    t.userTone[2] = "abc";
    t.toneFrequency[3] = 999;

    ToneSequenceSettings eea = t;
    collectToneSequence(eea);
    EXPECT_EQ(eea.toneFrequency[0], 1981);  // not taken from the user text
    EXPECT_EQ(eea.toneFrequency[3], 1275);  // a built-in set sends its own tones
    EXPECT_EQ(eea.toneCycleCount[0], 84);
    EXPECT_EQ(eea.toneCycleRemainder[0], 2);
    EXPECT_EQ(eea.toneCycleCount[3], toneCycles(1275).count);

    t.toneset = kUserToneSet;
    collectToneSequence(t);
    EXPECT_EQ(t.toneFrequency[0], 1500);
    EXPECT_EQ(t.toneFrequency[1], 800);
    EXPECT_EQ(t.toneFrequency[2], 0);
    EXPECT_EQ(t.toneFrequency[3], 0);  // default user text " " reads as 0
    EXPECT_EQ(t.toneCycleCount[0], toneCycles(1500).count);
    EXPECT_EQ(t.toneCycleRemainder[1], toneCycles(800).remainder);
    EXPECT_EQ(t.toneCycleCount[2], 0);
    EXPECT_EQ(t.userTone[1], " 800Hz");  // the texts themselves stay
}

TEST(SignallingTest, LongestLeadInLooksAtSequencesOneToEight) {
    ToneSequenceSettings t;
    resetToneSequenceSettings(t);
    EXPECT_EQ(longestLeadIn(t), 300);
    t.sequences[0].leadInTime = 5000;  // slot 0 is never used
    t.sequences[8].leadInTime = 600;
    collectLongestLeadIn(t);
    EXPECT_EQ(t.longestLeadInTime, 600);
    for (int i = 1; i <= 8; ++i) t.sequences[static_cast<std::size_t>(i)].leadInTime = 0;
    EXPECT_EQ(longestLeadIn(t), 0);
}

TEST(SignallingTest, DecodeDurationIsLongestAddressTimesToneLength) {
    SelcallDecodeSettings d;
    resetSelcallDecodeSettings(d);
    collectSelcallDecode(d);
    EXPECT_EQ(d.decodeDuration, 0);
    d.decodeEntries[0].address = "12345";
    d.decodeEntries[4].address = "123";
    d.decodeEntries[7].address = "12345678";
    collectSelcallDecode(d);
    EXPECT_EQ(d.decodeDuration, 320);
    d.decoderToneLength = 100;
    EXPECT_EQ(decodeDuration(d), 800);
}

TEST(SignallingTest, PrepareStepsFillTheDerivedValues) {
    RadioSettings s = newRadioSettings();
    s.toneSequence.toneset = kUserToneSet;
    s.toneSequence.userTone[5] = "2000";
    s.selcallDecode.decodeEntries[2].address = "1234";
    prepareForSave(s);
    EXPECT_EQ(s.toneSequence.toneFrequency[5], 2000);
    EXPECT_EQ(s.toneSequence.longestLeadInTime, 0);  // only the transfer computes it
    EXPECT_EQ(s.selcallDecode.decodeDuration, 0);
    prepareSignallingForTransfer(s);
    EXPECT_EQ(s.toneSequence.longestLeadInTime, 300);
    EXPECT_EQ(s.selcallDecode.decodeDuration, 160);
}

}  // namespace ks340
