#include <gtest/gtest.h>

#include "model/Defaults.h"

namespace ks340 {

namespace {

// A configuration with something changed in every sub-record.
RadioSettings edited() {
    RadioSettings s = newRadioSettings();
    s.header.model = 1;
    s.header.radioBand = 1;
    s.header.speaker = 1;
    s.header.lcdDisplayLogo = "MyRadio";
    s.channelTable.groups[0].channels[7].rxFrequency = "150.12500";
    s.channelTable.scanMode = 1;
    s.channelTable.groups[3].capability = 10;
    s.option.beep = 0;
    s.toneSequence.toneset = 5;
    s.toneSequence.sequences[4].sequence = "999";
    s.selcallEncode.call2Sequence = "12";
    s.selcallDecode.decodeEntries[6].address = "123";
    s.dtmf.statusText[9] = "Hello";
    s.modem.modemText[0] = "text";
    s.modem.commonSentence[19] = "old";
    return s;
}

}  // namespace

TEST(DefaultsTest, NewGivesTheSameStateWhateverWasEditedBefore) {
    RadioSettings s = edited();
    resetRadioSettings(s);
    EXPECT_EQ(s, newRadioSettings());
    EXPECT_EQ(s.header.lcdDisplayLogo, "Vandrell");
    EXPECT_EQ(s.channelTable.groups[0].capability, 208);
    EXPECT_TRUE(s.modem.commonSentence[19].empty());
}

TEST(DefaultsTest, ChangingTheModelResetsAllButSpeakerAndLogo) {
    RadioSettings s = edited();
    s.header.model = 0;
    EXPECT_TRUE(chooseModel(s, 1));
    EXPECT_EQ(s.header.model, 1);
    EXPECT_EQ(s.header.radioBand, 0);
    EXPECT_EQ(s.header.speaker, 1);
    EXPECT_EQ(s.header.lcdDisplayLogo, "MyRadio");
    RadioSettings expected = newRadioSettings();
    expected.header = s.header;
    EXPECT_EQ(s, expected);
}

TEST(DefaultsTest, ChoosingTheCurrentModelOrBandChangesNothing) {
    RadioSettings s = edited();
    const RadioSettings before = s;
    EXPECT_FALSE(chooseModel(s, s.header.model));
    EXPECT_FALSE(chooseBand(s, s.header.radioBand));
    EXPECT_EQ(s, before);
}

TEST(DefaultsTest, ChangingTheBandKeepsTheModel) {
    RadioSettings s = edited();
    EXPECT_TRUE(chooseBand(s, 0));
    EXPECT_EQ(s.header.model, 1);
    EXPECT_EQ(s.header.radioBand, 0);
    EXPECT_EQ(s.header.speaker, 1);
    EXPECT_TRUE(s.channelTable.groups[0].channels[7].rxFrequency.empty());
    EXPECT_EQ(s.channelTable.scanMode, 0);
    EXPECT_EQ(s.toneSequence.toneset, 0);
    EXPECT_TRUE(s.selcallEncode.call2Sequence.empty());
}

}  // namespace ks340
