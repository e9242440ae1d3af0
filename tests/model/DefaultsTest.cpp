#include <gtest/gtest.h>

#include "model/Defaults.h"
#include "model/Signalling.h"

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

TEST(DefaultsTest, PageDefaults) {
    RadioSettings s = newRadioSettings();
    const OptionSettings& o = s.option;
    EXPECT_EQ(o.programmableKey1Short, 1);
    EXPECT_EQ(o.programmableKey2Short, 8);
    EXPECT_EQ(o.programmableKey3Short, 3);
    EXPECT_EQ(o.programmableKey1Long, 2);
    EXPECT_EQ(o.programmableKey2Long, 9);
    EXPECT_EQ(o.programmableKey3Long, 0);
    EXPECT_EQ(o.programmableKey3Mode, 1);
    EXPECT_EQ(o.monitor, 1);
    EXPECT_EQ(o.autoMuteTimer, 30);
    EXPECT_EQ(o.scanTx, 3);
    EXPECT_EQ(o.scanSpeedTime, 49);

    const ToneSequenceSettings& t = s.toneSequence;
    EXPECT_EQ(t.toneset, 0);
    EXPECT_EQ(t.toneFrequency, ToneSetTable[0].tones);
    EXPECT_EQ(t.toneLength, 40);
    EXPECT_EQ(t.sequences[1].sequence, "12XX5");
    EXPECT_EQ(t.sequences[2].sequence, "54321");
    EXPECT_EQ(t.sequences[2].leadInTime, 300);
    EXPECT_EQ(t.sequences[3].leadInTime, 0);
    EXPECT_EQ(t.sequences[8].firstToneTime, 40);
    EXPECT_EQ(t.sequences[8].leadOutTime, 40);
    for (const std::string& u : t.userTone) EXPECT_EQ(u, " ");

    EXPECT_EQ(s.selcallEncode.selcall, 1);
    EXPECT_EQ(s.selcallEncode.emgSequence, "2");
    EXPECT_EQ(s.selcallEncode.emgEncodeAlert, 1);
    EXPECT_EQ(s.selcallEncode.emgRepeats, 3);
    EXPECT_EQ(s.selcallEncode.emgCycleRepeatTime, 20);
    EXPECT_EQ(s.selcallEncode.emgTxTimer, 5);
    EXPECT_EQ(s.selcallDecode.decoderToneLength, 40);
    EXPECT_EQ(s.selcallDecode.covertRxTime, 10);
    EXPECT_EQ(s.selcallDecode.covertTxTime, 10);
    EXPECT_EQ(s.dtmf.dtmfLeadInTime, 300);
    EXPECT_EQ(s.dtmf.dtmfLeadOutTime, 160);
    EXPECT_EQ(s.dtmf.dtmfMarkTime, 70);
    EXPECT_EQ(s.dtmf.dtmfSpaceTime, 50);
    EXPECT_EQ(s.modem.modemBaudRate, 1);
    EXPECT_EQ(s.modem.txDelayTime, 1);
    EXPECT_EQ(s.modem.rxOnDelay, 4);
}

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
