#include <gtest/gtest.h>

#include <set>
#include <string>

#include "model/Tables.h"
#include "model/ToneCode.h"

namespace ks340 {

TEST(TablesTest, BandLimitsFollowModelAndBand) {
    EXPECT_EQ(bandLimits(0, kBandUhf2).lowerMhz, 440);
    EXPECT_EQ(bandLimits(0, kBandUhf2).upperMhz, 480);
    EXPECT_EQ(bandLimits(1, kBandUhf2).upperMhz, 470);  // the KS-390 UHF band is narrower
    for (int model = 0; model < kModelCount; ++model) {
        EXPECT_EQ(bandLimits(model, kBandVhf2).lowerMhz, 148);
        EXPECT_EQ(bandLimits(model, kBandVhf2).upperMhz, 174);
    }
    EXPECT_EQ(bandName(0, 0), "UHF2 (440 ~ 480Mhz)");
    EXPECT_EQ(bandName(1, 0), "UHF2 (440 ~ 470Mhz)");
    EXPECT_EQ(bandName(1, 1), "VHF2 (148 ~ 174Mhz)");
}

TEST(TablesTest, NamesAndOutOfRangeIndicesAreSafe) {
    EXPECT_EQ(modelName(0), "KS-340 Series");
    EXPECT_EQ(modelName(1), "KS-390 Series");
    EXPECT_EQ(shortModelName(1), "KS-390");
    EXPECT_EQ(speakerName(1), "External");
    EXPECT_TRUE(modelName(2).empty());
    EXPECT_TRUE(modelName(-1).empty());
    EXPECT_TRUE(speakerName(7).empty());
    EXPECT_TRUE(bandName(0, 2).empty());
    // Limits of a broken index fall back to the first row instead of reading
    // outside the table.
    EXPECT_EQ(bandLimits(5, -3).lowerMhz, 440);
    EXPECT_EQ(bandLimits(1, 9).upperMhz, 470);
}

TEST(ToneCodeTest, TablesAreCompleteAndOrdered) {
    std::set<int> dcs;
    for (std::size_t i = 0; i < DcsTable.size(); ++i) {
        EXPECT_EQ(DcsTable[i].index, static_cast<int>(i));
        // The code is the three octal digits of the text read as decimal.
        EXPECT_EQ(DcsTable[i].text.size(), 3u);
        EXPECT_EQ(std::stoi(std::string(DcsTable[i].text)), DcsTable[i].code);
        for (char c : DcsTable[i].text) EXPECT_TRUE(c >= '0' && c <= '7') << DcsTable[i].text;
        if (i > 0) {
            EXPECT_LT(DcsTable[i - 1].code, DcsTable[i].code);
        }
        dcs.insert(DcsTable[i].code);
    }
    EXPECT_EQ(dcs.size(), 83u);
    for (std::size_t i = 0; i < CtcssTable.size(); ++i) {
        EXPECT_EQ(CtcssTable[i].index, static_cast<int>(i));
        EXPECT_DOUBLE_EQ(std::stod(std::string(CtcssTable[i].text)), CtcssTable[i].frequency);
        if (i > 0) {
            EXPECT_LT(CtcssTable[i - 1].frequency, CtcssTable[i].frequency);
        }
    }
}

TEST(ToneCodeTest, DisplayTexts) {
    EXPECT_EQ(toneCodeText(0, 0), "OFF");
    EXPECT_EQ(toneCodeText(0, 1), "OFF");  // the inverse flag means nothing without DCS
    EXPECT_EQ(toneCodeText(1, 0), "CTCSS : 67.0");
    EXPECT_EQ(toneCodeText(1, 1), "CTCSS : 67.0");
    EXPECT_EQ(toneCodeText(12, 0), "CTCSS : 100.0");
    EXPECT_EQ(toneCodeText(38, 0), "CTCSS : 250.3");
    EXPECT_EQ(toneCodeText(39, 0), "DCS : 023");
    EXPECT_EQ(toneCodeText(39, 1), "Inv DCS : 023");
    EXPECT_EQ(toneCodeText(121, 0), "DCS : 754");
    EXPECT_EQ(toneCodeText(121, 1), "Inv DCS : 754");
    EXPECT_EQ(toneCodeText(122, 0), "");
    EXPECT_EQ(toneCodeText(-1, 0), "");
}

TEST(ToneCodeTest, ListPositionsAndCodesAreInverse) {
    for (int k = 0; k < kCtcssCount; ++k) {
        const ToneCode c = ctcssCodeFromPosition(k);
        EXPECT_TRUE(isCtcssCode(c));
        EXPECT_EQ(ctcssPositionFromCode(c), k);
        EXPECT_EQ(dcsPositionFromCode(c), -1);
    }
    for (int k = 0; k < kDcsCount; ++k) {
        const ToneCode c = dcsCodeFromPosition(k);
        EXPECT_TRUE(isDcsCode(c));
        EXPECT_EQ(dcsPositionFromCode(c), k);
        EXPECT_EQ(ctcssPositionFromCode(c), -1);
    }
    EXPECT_EQ(ctcssCodeFromPosition(0), 1);
    EXPECT_EQ(dcsCodeFromPosition(0), 39);
    EXPECT_EQ(dcsCodeFromPosition(kDcsCount - 1), 121);
    EXPECT_EQ(ctcssPositionFromCode(0), -1);
    EXPECT_FALSE(isValidToneCode(122));
}

}  // namespace ks340
