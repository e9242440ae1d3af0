#include <gtest/gtest.h>

#include "image/ImageTestSupport.h"

namespace ks340 {
namespace {

using test::group;
using test::groupChannel;
using test::listChannel;

void put(MemoryImage& image, int address, std::initializer_list<int> values) {
    for (int v : values) image[static_cast<std::size_t>(address++)] = static_cast<std::uint8_t>(v);
}

RadioSettings decoded(const MemoryImage& image) {
    RadioSettings s = newRadioSettings();
    decodeMemoryImage(image, s);
    return s;
}

TEST(DecodeSettingsBlock, FieldsFromTheirBits) {
    MemoryImage image{};
    put(image, 0, {0x8D, 0xAE, 0x59, 0xA5, 0xC3, 199, 0x03, 0x61, 0xA6});
    const RadioSettings s = decoded(image);
    const OptionSettings& o = s.option;
    EXPECT_EQ(o.markIdle, 1);
    EXPECT_EQ(o.monitor, 1);
    EXPECT_EQ(o.txDelay, 0);
    EXPECT_EQ(o.beep, 1);
    EXPECT_EQ(o.scanTx, 2);
    EXPECT_EQ(s.header.radioBand, 1);
    EXPECT_EQ(s.header.model, 1);
    EXPECT_EQ(s.dtmf.dtmf, 1);
    EXPECT_EQ(o.scanType, 1);
    EXPECT_EQ(o.txInhibit, 9);
    EXPECT_EQ(s.channelTable.priorityPresent, 1);
    EXPECT_EQ(o.txTimer, 0xA5);
    EXPECT_EQ(o.priorityLbTime, 3);
    EXPECT_EQ(o.scanWaitTime, 12);
    EXPECT_EQ(o.scanSpeedTime, 199);
    EXPECT_EQ(s.channelTable.groupScanFlag, 1);
    EXPECT_EQ(s.channelTable.noPowerOnChannel, 1);
    EXPECT_EQ(s.channelTable.anyScanChannel, 1);
    EXPECT_EQ(o.publicAddress, 1);
    EXPECT_EQ(o.hook, 1);
    EXPECT_EQ(o.txInhibitAlert, 0);
    EXPECT_EQ(s.selcallEncode.selcall, 1);
    EXPECT_EQ(s.header.speaker, 1);
    EXPECT_EQ(o.openLock, 2);
    EXPECT_EQ(o.powerUp, 1);
}

TEST(DecodeChannels, RecordsAndFrequencyTexts) {
    MemoryImage image{};
    put(image, 1, {0x04});  // VHF2, model 0
    // Channel 3: 150.005 MHz receive, bandwidth, power, inverse receive DCS.
    put(image, 27, {0x42 | 0x38, 0x61, 0x5A, 45, 0x80 | 0x04, 0x5B, 0x02, 60, 0x80});
    // Channel 4: receive 150.0025 MHz, transmit code but no rx code on channel 5.
    put(image, 36, {0x02, 0x61, 0xB2, 0, 0x20, 0, 0, 0, 0});
    put(image, 45, {0x00, 0x00, 0x00, 0, 0x04, 0x5B, 0x02, 0, 0x80});
    RadioSettings s = decoded(image);
    const ChannelEntry& e = listChannel(s, 3);
    EXPECT_EQ(e.rxStepCode, 1);
    EXPECT_EQ(e.bandwidth, 1);
    EXPECT_EQ(e.txPower, 1);
    EXPECT_EQ(e.rxInverseDcs, 1);
    EXPECT_EQ(e.rxCodeN, 609);
    EXPECT_EQ(e.rxCodeA, 0x5A);
    EXPECT_EQ(e.rxSquelch, 45);
    EXPECT_EQ(e.txInverseDcs, 1);
    EXPECT_EQ(e.txCodeN, 1115);
    EXPECT_EQ(e.txCodeA, 2);
    EXPECT_EQ(e.txSquelch, 60);
    EXPECT_EQ(e.txStepCode, 2);

    refreshChannelTable(s, false);
    EXPECT_EQ(listChannel(s, 3).rxFrequency, "150.00500");
    EXPECT_EQ(listChannel(s, 3).txFrequency, "446.00625");
    EXPECT_EQ(listChannel(s, 4).rxFrequency, "150.00250");
    EXPECT_EQ(listChannel(s, 4).txFrequency, "");
    // A transmit code without a receive code gives no channel at all.
    EXPECT_EQ(listChannel(s, 5).rxFrequency, "");
    EXPECT_EQ(listChannel(s, 5).txFrequency, "");
}

TEST(DecodeChannels, ReceiveTextOnlyInsideTheBandOfTheModel) {
    RadioSettings s = newRadioSettings();
    s.header.model = 0;
    s.header.radioBand = 0;
    listChannel(s, 1).rxFrequency = "475.00000";
    listChannel(s, 2).rxFrequency = "480.00000";
    listChannel(s, 3).rxFrequency = "440.00000";
    listChannel(s, 4).rxFrequency = "439.99750";
    listChannel(s, 4).txFrequency = "439.99750";
    const MemoryImage image = test::prepareAndEncode(s);

    RadioSettings model0 = decoded(image);
    refreshChannelTable(model0, false);
    EXPECT_EQ(listChannel(model0, 1).rxFrequency, "475.00000");
    EXPECT_EQ(listChannel(model0, 2).rxFrequency, "480.00000");
    EXPECT_EQ(listChannel(model0, 3).rxFrequency, "440.00000");
    EXPECT_EQ(listChannel(model0, 4).rxFrequency, "");
    EXPECT_EQ(listChannel(model0, 4).txFrequency, "");

    MemoryImage model1Image = image;
    model1Image[1] |= 0x08;  // KS-390: 440..470 MHz
    RadioSettings model1 = decoded(model1Image);
    refreshChannelTable(model1, false);
    EXPECT_EQ(listChannel(model1, 1).rxFrequency, "");
    EXPECT_EQ(listChannel(model1, 2).rxFrequency, "");
    EXPECT_EQ(listChannel(model1, 3).rxFrequency, "440.00000");
}

TEST(DecodeChannels, StepCodeThreeIsNotProgrammed) {
    MemoryImage image{};
    put(image, 9, {0xC2, 0x61, 0x5A, 0, 0x04, 0x5B, 0x02, 0, 0xC0});  // UHF2
    put(image, 18, {0x82, 0x61, 0x5A, 0, 0x04, 0x5B, 0x02, 0, 0xC0});
    RadioSettings s = decoded(image);
    EXPECT_EQ(listChannel(s, 1).rxStepCode, 3);
    refreshChannelTable(s, false);
    EXPECT_EQ(listChannel(s, 1).rxFrequency, "");
    EXPECT_EQ(listChannel(s, 1).txFrequency, "");
    // A valid receive code keeps its channel; the transmit code with step
    // code 3 gives no transmit frequency.
    EXPECT_EQ(listChannel(s, 2).rxFrequency, "");  // 288.98125 MHz is outside UHF2
    put(image, 18, {0x83, 0xDB, 0x20, 0, 0x04, 0x5B, 0x02, 0, 0xC0});
    s = decoded(image);
    refreshChannelTable(s, false);
    EXPECT_EQ(listChannel(s, 2).rxFrequency, "440.00000");
    EXPECT_EQ(listChannel(s, 2).txFrequency, "");
}

TEST(DecodeChannels, ScanFlagsFromEitherBitmap) {
    MemoryImage image{};
    for (int c = 1; c <= 3; ++c) put(image, 9 * c, {0x83, 0xDB, 0x20});  // 440 MHz on UHF2
    put(image, 0x810, {0x00, 0x01});                                     // channel 1 in the first map
    put(image, 0x82A, {0x00, 0x02});                                     // channel 2 in the second map
    put(image, 0x810 + 2, {0x00, 0x08});                                 // channel 20 is not programmed
    RadioSettings s = decoded(image);
    refreshChannelTable(s, false);
    EXPECT_EQ(listChannel(s, 1).scanChannel, 1);
    EXPECT_EQ(listChannel(s, 2).scanChannel, 1);
    EXPECT_EQ(listChannel(s, 3).scanChannel, 0);
    EXPECT_EQ(listChannel(s, 20).scanChannel, 0);
}

TEST(DecodeGroups, NumbersBecomeGroupRelative) {
    MemoryImage image{};
    put(image, 0x767, {0x06});
    put(image, 0x766, {0x03});  // groups 8 and 9
    put(image, 0x768, {9, 1, 7, 4});
    put(image, 0x76C, {3, 1, 2, 3, 3});  // group 1: end 3, priority 2, power-on 3
    put(image, 0x771, {7, 4, 3, 5, 7});  // group 2: priority 3 = end of group 1 -> none
    put(image, 0x776, {8, 8, 8, 8, 8});  // group 3: power-on masked below
    for (int g = 4; g <= 13; ++g) put(image, 0x76C + 5 * (g - 1) + 4, {g <= 8 ? 8 : 10});
    put(image, 0x76C + 5 * 8, {10, 9, 10, 10, 10});  // group 9: priority and power-on 10 -> 2
    put(image, 0x7AF, {0x08});                       // group 3 has no power-on channel
    put(image, 0x7AE, {0xC0});
    RadioSettings s = decoded(image);
    const ChannelTable& t = s.channelTable;
    EXPECT_EQ(t.groups[0].priorityChannel, 7);
    EXPECT_EQ(t.groups[0].powerOnChannel, 4);
    EXPECT_EQ(t.groups[1].priorityChannel, 2);
    EXPECT_EQ(t.groups[1].powerOnChannel, 3);
    EXPECT_EQ(t.groups[1].capability, 3);
    EXPECT_EQ(t.groups[2].priorityChannel, 0);
    EXPECT_EQ(t.groups[2].powerOnChannel, 2);
    EXPECT_EQ(t.groups[2].capability, 4);
    EXPECT_EQ(t.groups[3].powerOnChannel, 0);
    EXPECT_EQ(t.groups[3].priorityChannel, 1);
    EXPECT_EQ(t.groups[3].capability, 1);
    EXPECT_EQ(t.groups[8].capability, 0);
    EXPECT_EQ(t.groups[9].capability, 2);
    EXPECT_EQ(t.groups[9].priorityChannel, 2);
    EXPECT_EQ(t.groups[9].powerOnChannel, 2);
    EXPECT_EQ(t.groups[9].channelEnd, 10);
    EXPECT_EQ(t.groups[1].hasChannels, 1);
    EXPECT_EQ(t.groups[2].hasChannels, 1);
    EXPECT_EQ(t.groups[3].hasChannels, 0);
    EXPECT_EQ(t.groups[8].hasChannels, 1);
    EXPECT_EQ(t.groups[9].hasChannels, 1);
}

TEST(DecodeGroups, PowerOnMaskWinsOverAStoredNumber) {
    MemoryImage image{};
    put(image, 0x768, {0, 0, 0, 12});
    put(image, 0x76C, {0, 0, 0, 2, 5});
    put(image, 0x76C + 5 * 8, {0, 0, 0, 9, 9});
    put(image, 0x7AF, {0x03});
    put(image, 0x7AE, {0x01 << 1});  // group 9
    const RadioSettings s = decoded(image);
    EXPECT_EQ(s.channelTable.groups[0].powerOnChannel, 0);
    EXPECT_EQ(s.channelTable.groups[1].powerOnChannel, 0);
    EXPECT_EQ(s.channelTable.groups[9].powerOnChannel, 0);
}

TEST(DecodeGroups, DamagedGroupTableCannotOverfillTheChannelStore) {
    MemoryImage image{};
    put(image, 0x767, {0xFE});
    put(image, 0x766, {0x3F});
    const int ends[13] = {255, 10, 200, 200, 250, 0, 255, 255, 255, 255, 255, 255, 255};
    for (int g = 1; g <= 13; ++g) put(image, 0x76C + 5 * (g - 1) + 4, {ends[g - 1]});
    for (int k = 0; k < 208; ++k) put(image, 0x1010 + 9 * k, {10, 11, 12, 13, 14, 15, 16, 17, 200});
    RadioSettings s = decoded(image);
    int total = 0;
    for (int g = 1; g <= 13; ++g) {
        EXPECT_GE(s.channelTable.groups[static_cast<std::size_t>(g)].capability, 0);
        total += s.channelTable.groups[static_cast<std::size_t>(g)].capability;
    }
    EXPECT_EQ(s.channelTable.groups[1].capability, 208);
    EXPECT_EQ(total, 208);
    EXPECT_EQ(groupChannel(s, 1, 208).label, "ABCDEFGH");
    // The damaged configuration still prepares and encodes.
    refreshChannelTable(s, false);
    const MemoryImage again = test::prepareAndEncode(s);
    EXPECT_EQ(again[0x7B0], 0x11);
}

TEST(DecodeTexts, LengthsAreLimitedToTheFieldWidth) {
    MemoryImage image{};
    put(image, 0xD00 - 5, {1, 1, 1, 1, 1});
    put(image, 0xD00, {10, 11, 12, 13, 14, 15, 16, 17, 18, 250});
    put(image, 0xDD0, {255, 10, 11, 12, 13, 14, 15, 16, 17});
    put(image, 0xB00 + 40, {99});
    put(image, 0x870, {1, 2, 3, 4, 5, 6, 7, 8});
    put(image, 0x8C8, {200});
    put(image, 0x8D0, {1, 2, 3, 200});
    put(image, 0xA50, {1, 2, 3, 4, 5, 6, 7, 8, 9, 100, 0, 100, 10, 10, 10, 10, 10, 10, 10, 10});
    put(image, 0x960, {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 1, 2, 3, 4, 5, 80});
    put(image, 0x1010, {10, 10, 10, 10, 10, 10, 10, 10, 77});
    const RadioSettings s = decoded(image);
    EXPECT_EQ(s.header.lcdDisplayLogo, "ABCDEFGHI");
    EXPECT_EQ(s.dtmf.statusText[0], "ABCDEFGH");
    EXPECT_EQ(s.modem.modemText[0].size(), 40u);
    EXPECT_EQ(s.toneSequence.sequences[1].sequence, "12345678");
    EXPECT_EQ(s.selcallEncode.call1Sequence, "123");
    EXPECT_EQ(s.selcallDecode.decodeEntries[0].address, "12345678");
    EXPECT_EQ(s.selcallDecode.decodeEntries[0].text, "AAAAAAAA");
    EXPECT_EQ(s.dtmf.dtmfCodes[0], "123456789012345");
    EXPECT_EQ(s.channelTable.groups[0].channels[1].label, "AAAAAAAA");
}

TEST(DecodeTexts, ZeroLengthGivesAnEmptyTextWhateverTheCodes) {
    MemoryImage image{};
    put(image, 0xDD0, {0, 10, 11, 12});
    put(image, 0xB00, {10, 11, 12});
    put(image, 0xA50 + 12, {10, 11});
    put(image, 0xD00, {10, 11, 12, 13, 14, 15, 16, 17, 18, 0});
    const RadioSettings s = decoded(image);
    EXPECT_EQ(s.dtmf.statusText[0], "");
    EXPECT_EQ(s.modem.modemText[0], "");
    EXPECT_EQ(s.selcallDecode.decodeEntries[0].text, "");
    EXPECT_EQ(s.header.lcdDisplayLogo, "");
}

TEST(DecodeTexts, DigitsEndAtThePaddingCode) {
    MemoryImage image{};
    put(image, 0x960, {1, 0x43, 0x26, 4});
    put(image, 0x960 + 15, {4});
    put(image, 0x870, {1, 0x0E, 0x55, 0x66, 0x77});
    put(image, 0x8C8, {5});
    const RadioSettings s = decoded(image);
    EXPECT_EQ(s.dtmf.dtmfCodes[0], "1*");
    // The repeat tone is not undone.
    EXPECT_EQ(s.toneSequence.sequences[1].sequence, "1EKSX");
}

TEST(DecodeTones, UserTonesAndBuiltInSets) {
    MemoryImage image{};
    put(image, 0x86E, {7, 8});
    put(image, 0xE30, {0x97, 0x00, 3, 0x10, 0x60, 4, 0x12, 0x34, 9});
    RadioSettings s = decoded(image);
    EXPECT_EQ(s.toneSequence.toneset, 7);
    EXPECT_EQ(s.toneSequence.toneLength, 40);
    EXPECT_EQ(s.toneSequence.userTone[0], "970");
    EXPECT_EQ(s.toneSequence.userTone[1], "1060");
    EXPECT_EQ(s.toneSequence.userTone[2], "1234");
    EXPECT_EQ(s.toneSequence.userTone[3], "");

    put(image, 0x86E, {6});
    s = decoded(image);
    EXPECT_EQ(s.toneSequence.userTone[0], " ");  // left as it was
    EXPECT_EQ(s.toneSequence.toneFrequency, ToneSetTable[6].tones);
}

TEST(DecodeTones, UnknownToneSetLeavesTheChoice) {
    MemoryImage image{};
    put(image, 0x86E, {200, 20});
    RadioSettings s = newRadioSettings();
    s.toneSequence.toneset = 3;
    decodeMemoryImage(image, s);
    EXPECT_EQ(s.toneSequence.toneset, 3);
    EXPECT_EQ(s.toneSequence.toneLength, 100);
}

TEST(DecodeSelcall, PlaceFollowsTheType) {
    MemoryImage image{};
    put(image, 0x94F, {0x40 | 0x04 | 0x02 | 0x08});
    put(image, 0x930, {1, 2, 3, 3});
    put(image, 0xCA1, {9, 8, 7, 6, 5});
    put(image, 0xCB0, {5});
    put(image, 0x93E, {4, 4, 4, 3});
    put(image, 0xC90, {1, 1});
    put(image, 0xC9F, {2});
    RadioSettings s = decoded(image);
    EXPECT_EQ(s.selcallEncode.aniType, 1);
    EXPECT_EQ(s.selcallEncode.emgType, 1);
    EXPECT_EQ(s.selcallEncode.aniAt, 2);
    EXPECT_EQ(s.selcallEncode.emgCheckOpen, 1);
    EXPECT_EQ(s.selcallEncode.aniSequence, "98765");
    EXPECT_EQ(s.selcallEncode.emgSequence, "11");
    put(image, 0x94F, {0});
    s = decoded(image);
    EXPECT_EQ(s.selcallEncode.aniSequence, "123");
    EXPECT_EQ(s.selcallEncode.emgSequence, "444");
}

TEST(DecodeLabels, GroupsTakeTheSlotsInOrder) {
    RadioSettings s = newRadioSettings();
    std::array<int, 14> caps{};
    caps[2] = 2;
    caps[5] = 1;
    caps[6] = 3;
    test::useGroups(s, caps);
    groupChannel(s, 2, 2).rxFrequency = "450.00000";
    groupChannel(s, 2, 1).label = "A1";
    groupChannel(s, 5, 1).label = "LOST";  // no programmed channel in group 5
    groupChannel(s, 6, 3).rxFrequency = "450.00000";
    groupChannel(s, 6, 3).label = "C3";
    const MemoryImage image = test::prepareAndEncode(s);
    RadioSettings d = decoded(image);
    EXPECT_EQ(groupChannel(d, 2, 1).label, "A1");
    EXPECT_EQ(groupChannel(d, 5, 1).label, "");
    EXPECT_EQ(groupChannel(d, 6, 3).label, "C3");
    EXPECT_EQ(groupChannel(d, 6, 1).label, "");
}

TEST(RefreshAfterRead, DealsChannelsOutToTheGroups) {
    RadioSettings s = newRadioSettings();
    for (int c = 1; c <= 4; ++c) {
        listChannel(s, c).rxFrequency = "45" + std::to_string(c) + ".00000";
        listChannel(s, c).rxSquelch = 40 + c;
        listChannel(s, c).label = "LIST";
    }
    const MemoryImage image = test::prepareAndEncode(s);
    RadioSettings d = decoded(image);
    std::array<int, 14> caps{};
    caps[1] = 2;
    caps[3] = 2;
    test::useGroups(d, caps);
    groupChannel(d, 3, 1).label = "KEPT";
    group(d, 3).priorityChannel = 2;
    group(d, 3).powerOnChannel = 1;
    refreshChannelTable(d, false);
    EXPECT_EQ(d.channelTable.currentGroup, 1);
    EXPECT_EQ(group(d, 1).enabled, 1);
    EXPECT_EQ(group(d, 2).enabled, 0);
    EXPECT_EQ(group(d, 3).enabled, 1);
    EXPECT_EQ(d.channelTable.appliedScanMode, 1);
    EXPECT_EQ(groupChannel(d, 1, 1).rxFrequency, "451.00000");
    EXPECT_EQ(groupChannel(d, 1, 2).rxFrequency, "452.00000");
    EXPECT_EQ(groupChannel(d, 1, 1).label, "");
    EXPECT_EQ(groupChannel(d, 3, 1).rxFrequency, "453.00000");
    EXPECT_EQ(groupChannel(d, 3, 1).label, "KEPT");
    EXPECT_EQ(groupChannel(d, 3, 2).rxFrequency, "454.00000");
    EXPECT_EQ(groupChannel(d, 3, 2).rxSquelch, 44);
    EXPECT_EQ(groupChannel(d, 3, 2).priorityChannel, 1);
    EXPECT_EQ(groupChannel(d, 3, 1).priorityChannel, 0);
    EXPECT_EQ(groupChannel(d, 3, 1).powerOnChannel, 1);
    EXPECT_EQ(groupChannel(d, 3, 2).powerOnChannel, 0);
}

TEST(RefreshAfterRead, AllChannelDisplaySetsFlagsFromTheNumbers) {
    RadioSettings s = newRadioSettings();
    group(s, 0).priorityChannel = 17;
    group(s, 0).powerOnChannel = 208;
    listChannel(s, 5).priorityChannel = 1;
    group(s, 4).enabled = 1;
    refreshChannelTable(s, false);
    for (int c = 1; c <= 208; ++c) {
        ASSERT_EQ(listChannel(s, c).priorityChannel, c == 17 ? 1 : 0) << c;
        ASSERT_EQ(listChannel(s, c).powerOnChannel, c == 208 ? 1 : 0) << c;
    }
    EXPECT_EQ(group(s, 0).enabled, 1);
    EXPECT_EQ(group(s, 4).enabled, 0);
    EXPECT_EQ(s.channelTable.currentGroup, 0);
}

TEST(RefreshAfterFileLoad, KeepsTextsAndFlagsButRewritesInverseFlagsOfTheShownGroup) {
    RadioSettings s = newRadioSettings();
    ChannelEntry& dcs = listChannel(s, 1);
    dcs.rxFrequency = "450.00000";
    dcs.txFrequency = "450.00000";
    dcs.rxSquelch = 39;
    dcs.rxInverseDcs = 1;
    dcs.txSquelch = 121;
    dcs.txInverseDcs = 1;
    ChannelEntry& ctcss = listChannel(s, 2);
    ctcss.rxFrequency = "450.00000";
    ctcss.txFrequency = "450.00000";
    ctcss.rxSquelch = 38;
    ctcss.rxInverseDcs = 1;
    ctcss.txSquelch = 0;
    ctcss.txInverseDcs = 1;
    ChannelEntry& empty = listChannel(s, 3);
    empty.rxSquelch = 5;
    empty.rxInverseDcs = 1;
    listChannel(s, 4).priorityChannel = 1;  // the file's flag, not the number
    refreshChannelTable(s, true);
    EXPECT_EQ(listChannel(s, 1).rxFrequency, "450.00000");  // not derived from codes
    EXPECT_EQ(listChannel(s, 1).rxInverseDcs, 1);
    EXPECT_EQ(listChannel(s, 1).txInverseDcs, 1);
    EXPECT_EQ(listChannel(s, 2).rxInverseDcs, 0);
    EXPECT_EQ(listChannel(s, 2).txInverseDcs, 0);
    EXPECT_EQ(listChannel(s, 3).rxInverseDcs, 1);  // not shown: left alone
    EXPECT_EQ(listChannel(s, 4).priorityChannel, 1);
}

TEST(RefreshAfterFileLoad, GroupDisplayShowsTheFirstGroupWithCapability) {
    RadioSettings s = newRadioSettings();
    std::array<int, 14> caps{};
    caps[4] = 1;
    caps[7] = 1;
    test::useGroups(s, caps);
    groupChannel(s, 4, 1).rxFrequency = "450.00000";
    groupChannel(s, 4, 1).rxSquelch = 10;
    groupChannel(s, 4, 1).rxInverseDcs = 1;
    groupChannel(s, 7, 1).rxFrequency = "450.00000";
    groupChannel(s, 7, 1).rxSquelch = 10;
    groupChannel(s, 7, 1).rxInverseDcs = 1;
    s.channelTable.appliedScanMode = 0;
    refreshChannelTable(s, true);
    EXPECT_EQ(s.channelTable.currentGroup, 4);
    EXPECT_EQ(s.channelTable.appliedScanMode, 1);
    EXPECT_EQ(groupChannel(s, 4, 1).rxInverseDcs, 0);
    EXPECT_EQ(groupChannel(s, 7, 1).rxInverseDcs, 1);
    EXPECT_EQ(group(s, 4).enabled, 1);
    EXPECT_EQ(group(s, 5).enabled, 0);
}

}  // namespace
}  // namespace ks340
