// The channel rules every way into the channel table shares.
#include <gtest/gtest.h>

#include <random>

#include "model/ChannelValidator.h"
#include "model/Tables.h"
#include "model/Windows1252.h"

namespace ks340 {

TEST(ChannelValidatorTest, LabelAlphabetIsTheDesktopsWindows1252LettersDigitsAndPunctuation) {
    for (char32_t c : {U'A', U'z', U'7', U'é', U'Ä', U'ß', U'ÿ', U'Š', U'œ', U'Ÿ', U'ƒ', U'µ'})
        EXPECT_TRUE(isLabelCharacter(c)) << static_cast<unsigned>(c);
    for (char c : std::string(" #'()*+-./?\\_")) EXPECT_TRUE(isLabelCharacter(static_cast<unsigned char>(c))) << c;
    // Punctuation outside the list, symbols and numerals of Windows-1252,
    // and letters it cannot hold.
    for (char32_t c : {U',', U'!', U'"', U'@', U'&', U':', U'×', U'÷', U'€', U'²', U'½', U'™', U'ł', U'Ж', U'\t'})
        EXPECT_FALSE(isLabelCharacter(c)) << static_cast<unsigned>(c);
    EXPECT_TRUE(isLabelByte(0xE9));
    EXPECT_FALSE(isLabelByte(0x81));  // undefined in Windows-1252
}

TEST(ChannelValidatorTest, LabelLengthCountsCharactersNotBytes) {
    const FieldCheck eight = checkChannelLabel("ÆØÅéabcd");
    ASSERT_TRUE(eight.ok) << eight.reason;
    EXPECT_EQ(eight.value, utf8ToCp1252("ÆØÅéabcd"));
    EXPECT_EQ(eight.value.size(), 8u);

    const FieldCheck nine = checkChannelLabel("Repeater1");
    EXPECT_FALSE(nine.ok);
    EXPECT_EQ(nine.reason, "'Repeater1' is longer than 8 characters");
    const FieldCheck cut = checkChannelLabel("Repeater1", true);
    EXPECT_TRUE(cut.ok);
    EXPECT_EQ(cut.value, "Repeater");
    EXPECT_EQ(cut.notice, "'Repeater1' was cut to 'Repeater'");

    const FieldCheck comma = checkChannelLabel("Ca,fé!");
    EXPECT_FALSE(comma.ok);
    EXPECT_NE(comma.reason.find("',' '!'"), std::string::npos) << comma.reason;
}

TEST(ChannelValidatorTest, BandEdgesOfEveryModelAndBand) {
    struct Case {
        int model, band;
        const char *low, *belowLow, *high, *aboveHigh, *range;
    };
    for (const Case& c : {Case{0, kBandUhf2, "440", "439.9975", "480", "480.0025", "UHF2, 440 to 480 MHz"},
                          Case{1, kBandUhf2, "440", "439.9975", "470", "470.0025", "UHF2, 440 to 470 MHz"},
                          Case{0, kBandVhf2, "148", "147.9975", "174", "174.0025", "VHF2, 148 to 174 MHz"},
                          Case{1, kBandVhf2, "148", "147.9975", "174", "174.0025", "VHF2, 148 to 174 MHz"}}) {
        for (FrequencyEntry entry : {FrequencyEntry::Exact, FrequencyEntry::Typed}) {
            EXPECT_TRUE(checkChannelFrequency(c.low, c.model, c.band, entry).ok) << c.range;
            EXPECT_TRUE(checkChannelFrequency(c.high, c.model, c.band, entry).ok) << c.range;
            for (const char* out : {c.belowLow, c.aboveHigh}) {
                const FieldCheck r = checkChannelFrequency(out, c.model, c.band, entry);
                EXPECT_FALSE(r.ok) << out;
                EXPECT_EQ(r.reason, std::string(out) + " MHz is outside " + c.range);
            }
        }
    }
    EXPECT_EQ(checkChannelFrequency("147.99999", 0, kBandVhf2, FrequencyEntry::Typed).ok, false);
}

TEST(ChannelValidatorTest, ExactFrequenciesMustBeOnTheRasterAndTheHintIsAccepted) {
    for (const char* on : {"446.00625", "446.0025", "446.005", "446.08125", " 446,00625 ", "446.00625 MHz"}) {
        const FieldCheck r = checkChannelFrequency(on, 0, kBandUhf2);
        EXPECT_TRUE(r.ok) << on << ": " << r.reason;
    }
    EXPECT_EQ(checkChannelFrequency("446.0062500", 0, kBandUhf2).value, "446.00625");
    EXPECT_FALSE(checkChannelFrequency("446.0o", 0, kBandUhf2).ok);
    EXPECT_EQ(checkChannelFrequency("", 0, kBandUhf2).value, "");

    // 6.25 kHz points are the nearest channels where they are nearer than 2.5 kHz ones.
    EXPECT_NE(checkChannelFrequency("446.0815", 0, kBandUhf2).reason.find("nearest channel is 446.08125 MHz"),
              std::string::npos);
    EXPECT_NE(checkChannelFrequency("446.081", 0, kBandUhf2).reason.find("nearest channel is 446.08125 MHz"),
              std::string::npos);
    // Whatever is off the raster, the frequency the hint names is accepted.
    std::mt19937 rng(7);
    for (int i = 0; i < 2000; ++i) {
        const int model = static_cast<int>(rng() % 2), band = static_cast<int>(rng() % 2);
        const BandLimits l = bandLimits(model, band);
        const std::int64_t span = std::int64_t{l.upperMhz - l.lowerMhz} * 1'000'000;
        const std::int64_t hz = std::int64_t{l.lowerMhz} * 1'000'000 + static_cast<std::int64_t>(rng() % span);
        const std::int64_t hint = nearestChannelFrequencyHz(hz, model, band);
        EXPECT_LE(std::llabs(hint - hz), 1250) << hz;
        char text[32];
        std::snprintf(text, sizeof text, "%.5f", static_cast<double>(hint) / 1e6);
        EXPECT_TRUE(checkChannelFrequency(text, model, band).ok) << text;
    }
}

TEST(ChannelValidatorTest, TypedFrequenciesSnapWithANotice) {
    const FieldCheck snapped = checkChannelFrequency("450.0049", 0, kBandUhf2, FrequencyEntry::Typed);
    ASSERT_TRUE(snapped.ok);
    EXPECT_EQ(snapped.value, "450.00000");
    EXPECT_EQ(snapped.notice, "450.00490 is not on the 12.5 kHz raster; stored as 450.00000");
    const FieldCheck kept = checkChannelFrequency("450.00625", 0, kBandUhf2, FrequencyEntry::Typed);
    EXPECT_EQ(kept.value, "450.00625");
    EXPECT_EQ(kept.notice, "");
    EXPECT_EQ(checkChannelFrequency("150.007", 0, kBandVhf2, FrequencyEntry::Typed).value, "150.01250");
}

TEST(ChannelValidatorTest, RowsReportEveryFaultAndApplyOnlyGivenFields) {
    ChannelEntry base;
    base.rxFrequency = "446.00000";
    base.label = "Old";
    ChannelRowText row;
    row.label = "Ok";
    row.txSquelch = "D023I";
    row.rxSquelch = "Inv DCS : 754";
    ChannelRowCheck ok = checkChannelRow(base, row, {0, kBandUhf2});
    ASSERT_TRUE(ok.ok());
    EXPECT_EQ(ok.entry.label, "Ok");
    EXPECT_EQ(ok.entry.rxFrequency, "446.00000");
    EXPECT_EQ(ok.entry.rxInverseDcs, 1);

    row.txSquelch = "CTCSS : 68.0";
    row.rxFrequency = "500";
    row.label = "a,b";
    const ChannelRowCheck bad = checkChannelRow(base, row, {0, kBandUhf2});
    ASSERT_EQ(bad.faults.size(), 3u);
    EXPECT_EQ(bad.faults[0].field, ChannelField::Label);
    EXPECT_EQ(bad.faults[1].field, ChannelField::RxFrequency);
    EXPECT_EQ(bad.faults[2].field, ChannelField::TxSquelch);

    ChannelEntry stored = base;
    stored.label = "Too long!";
    stored.txFrequency = "446.00100";
    stored.rxSquelch = 122;
    EXPECT_EQ(checkStoredChannel(stored, 0, kBandUhf2).size(), 3u);
}

}  // namespace ks340
