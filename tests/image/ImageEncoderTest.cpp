#include <gtest/gtest.h>

#include "image/ImageTestSupport.h"

namespace ks340 {
namespace {

using test::byteAt;
using test::group;
using test::groupChannel;
using test::listChannel;
using test::prepareAndEncode;
using test::useGroups;

std::vector<int> bytes(const MemoryImage& image, int from, int count) {
    std::vector<int> out;
    for (int i = 0; i < count; ++i) out.push_back(byteAt(image, from + i));
    return out;
}

TEST(EncodeFixedBytes, PresentWhateverTheConfiguration) {
    for (std::uint32_t seed : {1u, 2u, 3u}) {
        test::RandomConfig random(seed);
        RadioSettings s = random.make();
        const MemoryImage image = prepareAndEncode(s);
        EXPECT_TRUE(byteAt(image, 0x000) & 0x08);
        EXPECT_TRUE(byteAt(image, 0x002) & 0x40);
        EXPECT_TRUE(byteAt(image, 0x007) & 0x20);
        EXPECT_EQ(byteAt(image, 0x761), 0xE0);
        EXPECT_EQ(byteAt(image, 0x7D3), 0x0F);
        EXPECT_EQ(byteAt(image, 0x7D4), 0x0E);
        EXPECT_TRUE(byteAt(image, 0x7DB) & 0x20);
        EXPECT_EQ(byteAt(image, 0x7DC), 0x02);
        EXPECT_EQ(byteAt(image, 0x7F8), 0x22);
        EXPECT_EQ(byteAt(image, 0x7AE) & 0xC0, 0xC0);
        EXPECT_EQ(bytes(image, 0x759, 4), std::vector<int>(4, 0));
        EXPECT_EQ(byteAt(image, 0x7D8), 0);
        EXPECT_EQ(byteAt(image, 0x7D9), 0);
        // Unused bytes of slots and the gaps between blocks.
        for (int i = 0; i < 9; ++i) EXPECT_EQ(bytes(image, 0x960 + 25 * i + 16, 9), std::vector<int>(9, 0));
        for (int i = 0; i < 8; ++i) EXPECT_EQ(byteAt(image, 0xA50 + 20 * i + 8), 0);
        for (int i = 0; i < 9; ++i) EXPECT_EQ(bytes(image, 0xB00 + 43 * i + 41, 2), std::vector<int>(2, 0));
        EXPECT_EQ(bytes(image, 0x82A, 26), std::vector<int>(26, 0));
        EXPECT_EQ(bytes(image, 0x1760, 0x1FE0 - 0x1760), std::vector<int>(0x1FE0 - 0x1760, 0));
        EXPECT_EQ(bytes(image, 0x1FE0, 32), std::vector<int>(32, 0));
    }
}

TEST(EncodeChannelRecord, ReceiveFrequencyExamples) {
    struct Case {
        int band;
        const char* mhz;
        std::vector<int> bytes;
        int stepCode;
    };
    const Case cases[] = {
        {1, "150.00500", {0x42, 0x61, 0x5A}, 1},
        {1, "150.00250", {0x02, 0x61, 0xB2}, 0},
        {1, "156.80000", {0x81, 0xF8, 0x60}, 2},
        {0, "440.00000", {0x83, 0xDB, 0x20}, 2},
    };
    for (const Case& c : cases) {
        RadioSettings s = newRadioSettings();
        s.header.radioBand = c.band;
        listChannel(s, 5).rxFrequency = c.mhz;
        const MemoryImage image = prepareAndEncode(s);
        EXPECT_EQ(bytes(image, 9 * 5, 3), c.bytes) << c.mhz;
        EXPECT_EQ(listChannel(s, 5).rxStepCode, c.stepCode) << c.mhz;
        // The channel is marked programmed: cleared bit in the inverted map.
        EXPECT_EQ(byteAt(image, 0x7B4 + 1), 0xFF & ~(1 << 4)) << c.mhz;
    }
}

TEST(EncodeChannelRecord, TransmitFrequencyExamplesAndSubBands) {
    RadioSettings s = newRadioSettings();
    listChannel(s, 1).rxFrequency = "446.00625";
    listChannel(s, 1).txFrequency = "446.00625";
    listChannel(s, 1).label = "A";
    listChannel(s, 2).rxFrequency = "470.00000";
    listChannel(s, 2).txFrequency = "470.00000";
    listChannel(s, 2).label = "B";
    listChannel(s, 3).rxFrequency = "455.00000";
    listChannel(s, 3).txFrequency = "462.50000";
    const MemoryImage image = prepareAndEncode(s);
    EXPECT_EQ(byteAt(image, 9 + 4) & 0x07, 4);
    EXPECT_EQ(byteAt(image, 9 + 5), 0x5B);
    EXPECT_EQ(byteAt(image, 9 + 6), 0x02);
    EXPECT_EQ(byteAt(image, 9 + 8), 0x80);
    EXPECT_EQ(listChannel(s, 1).txStepCode, 2);
    // 470 MHz: N = 1175, A = 0, sub-band 3.
    EXPECT_EQ(byteAt(image, 18 + 4) & 0x07, 1175 >> 8);
    EXPECT_EQ(byteAt(image, 18 + 5), 1175 & 0xFF);
    EXPECT_EQ(byteAt(image, 18 + 6), 0);
    EXPECT_EQ(byteAt(image, 18 + 8), 0x83);
    EXPECT_EQ(byteAt(image, 27 + 8) & 0x03, 2);
}

TEST(EncodeChannelRecord, LabelBitIsClearOnlyForUnlabelledChannelsWithTransmit) {
    RadioSettings s = newRadioSettings();
    listChannel(s, 1) = {};  // no label, no transmit
    listChannel(s, 2).rxFrequency = "450.00000";
    listChannel(s, 2).txFrequency = "450.00000";  // no label, transmit
    listChannel(s, 3).rxFrequency = "450.00000";
    listChannel(s, 3).txFrequency = "450.00000";
    listChannel(s, 3).label = "CH3";  // label and transmit
    listChannel(s, 4).label = "CH4";  // label, no transmit
    const MemoryImage image = prepareAndEncode(s);
    EXPECT_TRUE(byteAt(image, 9 * 1 + 4) & 0x20);
    EXPECT_FALSE(byteAt(image, 9 * 2 + 4) & 0x20);
    EXPECT_TRUE(byteAt(image, 9 * 3 + 4) & 0x20);
    EXPECT_TRUE(byteAt(image, 9 * 4 + 4) & 0x20);
    for (int c = 5; c <= 208; ++c) ASSERT_EQ(byteAt(image, 9 * c + 4), 0x20) << c;
}

TEST(EncodeChannelRecord, FlagsSquelchAndBitmaps) {
    RadioSettings s = newRadioSettings();
    ChannelEntry& e = listChannel(s, 10);
    e.rxFrequency = "445.00000";
    e.txFrequency = "445.00000";
    e.rxSquelch = 50;
    e.rxInverseDcs = 1;
    e.txSquelch = 7;
    e.txInverseDcs = 1;
    e.bandwidth = 1;
    e.txPower = 1;
    e.scanChannel = 1;
    e.priorityChannel = 1;
    e.powerOnChannel = 1;
    const MemoryImage image = prepareAndEncode(s);
    const int r = 9 * 10;
    EXPECT_EQ(byteAt(image, r) & 0x38, 0x38);  // bandwidth, power, inverse receive DCS
    EXPECT_EQ(byteAt(image, r + 3), 50);
    EXPECT_EQ(byteAt(image, r + 4) & 0x90, 0x90);  // inverse transmit DCS, scan
    EXPECT_EQ(byteAt(image, r + 7), 7);
    // Channel 10 is bit 1 of the first byte of the first word.
    EXPECT_EQ(byteAt(image, 0x810), 0x02);
    EXPECT_EQ(byteAt(image, 0x7B4), 0xFD);
    EXPECT_EQ(byteAt(image, 0x7B5), 0xFF);
    // The all-channel list's record holds channel 10 everywhere.
    EXPECT_EQ(bytes(image, 0x768, 4), (std::vector<int>{10, 10, 10, 10}));
    EXPECT_EQ(byteAt(image, 0x7AF) & 0x01, 0);
    EXPECT_EQ(byteAt(image, 0x7B3) & 0x01, 1);
    EXPECT_TRUE(byteAt(image, 0x002) & 0x10);   // a priority channel is present
    EXPECT_FALSE(byteAt(image, 0x006) & 0x02);  // a power-on channel is present
}

TEST(EncodeToneSequence, RepeatToneRunsOverAllEightPositions) {
    struct Case {
        const char* text;
        std::vector<int> codes;
    };
    const Case cases[] = {
        {"11", {0x01, 0x0E, 0x26, 0x0E, 0x26, 0x0E, 0x26, 0x0E}},
        {"121", {0x01, 0x02, 0x01, 0x26, 0x0E, 0x26, 0x0E, 0x26}},
        {"1111", {0x01, 0x0E, 0x01, 0x0E, 0x26, 0x0E, 0x26, 0x0E}},
        {"1KK", {0x01, 0x55, 0x55, 0x26, 0x0E, 0x26, 0x0E, 0x26}},
        {"12XX5", {0x01, 0x02, 0x77, 0x77, 0x05, 0x26, 0x0E, 0x26}},
        {"", {0x26, 0x0E, 0x26, 0x0E, 0x26, 0x0E, 0x26, 0x0E}},
        {"1223334A", {0x01, 0x02, 0x0E, 0x03, 0x0E, 0x03, 0x04, 0x0A}},
        {"sSxx", {0x66, 0x66, 0x77, 0x77, 0x26, 0x0E, 0x26, 0x0E}},
        {"123456789", {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08}},
    };
    for (const Case& c : cases) {
        RadioSettings s = newRadioSettings();
        s.toneSequence.sequences[3].sequence = c.text;
        const MemoryImage image = prepareAndEncode(s);
        EXPECT_EQ(bytes(image, 0x870 + 22, 8), c.codes) << c.text;
        EXPECT_EQ(byteAt(image, 0x8C8 + 2), std::string(c.text).size()) << c.text;
    }
}

TEST(EncodeToneBlock, TimesAndCycleValues) {
    RadioSettings s = newRadioSettings();
    s.toneSequence.toneset = 5;  // CCIR
    s.toneSequence.toneFrequency = ToneSetTable[5].tones;
    s.toneSequence.toneLength = 100;
    s.toneSequence.sequences[8].leadInTime = 1275;
    s.toneSequence.sequences[8].firstToneTime = 104;  // truncated to 20
    s.toneSequence.sequences[8].leadOutTime = 5;
    const MemoryImage image = prepareAndEncode(s);
    EXPECT_EQ(byteAt(image, 0x86E), 5);
    EXPECT_EQ(byteAt(image, 0x86F), 20);
    EXPECT_EQ(bytes(image, 0x870 + 77 + 8, 3), (std::vector<int>{255, 20, 1}));
    // Tone 0 at 1981 Hz: count 84, remainder 2; tone A at 2400 Hz: 102, 1.
    EXPECT_EQ(bytes(image, 0x850, 2), (std::vector<int>{2, 84}));
    EXPECT_EQ(bytes(image, 0x850 + 20, 2), (std::vector<int>{1, 102}));
    // Not the User set: no user tones.
    EXPECT_EQ(bytes(image, 0xE30, 45), std::vector<int>(45, 0));
}

TEST(EncodeToneBlock, UserTonesArePackedTwoDigitsPerByte) {
    RadioSettings s = newRadioSettings();
    s.toneSequence.toneset = kUserToneSet;
    s.toneSequence.userTone[0] = "970";
    s.toneSequence.userTone[1] = "1060";
    s.toneSequence.userTone[14] = "";
    const MemoryImage image = prepareAndEncode(s);
    EXPECT_EQ(bytes(image, 0xE30, 3), (std::vector<int>{0x97, 0x00, 3}));
    EXPECT_EQ(bytes(image, 0xE33, 3), (std::vector<int>{0x10, 0x60, 4}));
    EXPECT_EQ(bytes(image, 0xE30 + 42, 3), (std::vector<int>{0, 0, 0}));
    // The collect step took the frequencies from the texts: 970 Hz.
    EXPECT_EQ(s.toneSequence.toneFrequency[0], 970);
    EXPECT_EQ(byteAt(image, 0x851), toneCycles(970).count);
}

TEST(EncodeTexts, LogoIsRightAligned) {
    RadioSettings s = newRadioSettings();
    s.header.lcdDisplayLogo = "AB";
    MemoryImage image = prepareAndEncode(s);
    EXPECT_EQ(bytes(image, 0xD00, 10), (std::vector<int>{38, 38, 38, 38, 38, 38, 38, 10, 11, 2}));
    s.header.lcdDisplayLogo = "Vandrell1";
    image = prepareAndEncode(s);
    EXPECT_EQ(bytes(image, 0xD00, 10), (std::vector<int>{31, 40, 53, 43, 57, 44, 51, 51, 1, 9}));
    s.header.lcdDisplayLogo = "";
    image = prepareAndEncode(s);
    EXPECT_EQ(bytes(image, 0xD00, 10), (std::vector<int>{38, 38, 38, 38, 38, 38, 38, 38, 38, 0}));
}

TEST(EncodeTexts, LongTextsAreCutButKeepTheirLength) {
    RadioSettings s = newRadioSettings();
    s.dtmf.statusText[0] = "ABCDEFGHIJ";
    s.selcallEncode.call1Sequence = "12345";
    const MemoryImage image = prepareAndEncode(s);
    EXPECT_EQ(bytes(image, 0xDD0, 9), (std::vector<int>{10, 10, 11, 12, 13, 14, 15, 16, 17}));
    EXPECT_EQ(bytes(image, 0x8D0, 5), (std::vector<int>{1, 2, 3, 5, 0}));
}

TEST(EncodeSelcall, ShortAndLongPlacesExcludeEachOther) {
    RadioSettings s = newRadioSettings();
    s.selcallEncode.aniType = 1;
    s.selcallEncode.aniSequence = "123456789ABCDE0";
    s.selcallEncode.emgType = 0;
    s.selcallEncode.emgSequence = "9*";
    MemoryImage image = prepareAndEncode(s);
    EXPECT_EQ(bytes(image, 0x930, 4), std::vector<int>(4, 0));
    EXPECT_EQ(bytes(image, 0xCA1, 16), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0, 15}));
    EXPECT_EQ(bytes(image, 0x93E, 4), (std::vector<int>{9, 0x43, 0x26, 2}));
    EXPECT_EQ(bytes(image, 0xC90, 16), std::vector<int>(16, 0));
    EXPECT_EQ(byteAt(image, 0x94F) & 0x44, 0x04);
    EXPECT_TRUE(byteAt(image, 0x008) & 0x01);  // an ANI sequence is set

    s.selcallEncode.aniType = 0;
    s.selcallEncode.aniSequence = "12";
    s.selcallEncode.emgType = 1;
    image = prepareAndEncode(s);
    EXPECT_EQ(bytes(image, 0x930, 4), (std::vector<int>{1, 2, 0x26, 2}));
    EXPECT_EQ(bytes(image, 0xCA1, 16), std::vector<int>(16, 0));
    EXPECT_EQ(bytes(image, 0x93E, 4), std::vector<int>(4, 0));
    EXPECT_EQ(bytes(image, 0xC90, 3), (std::vector<int>{9, 0x43, 0x26}));
    EXPECT_EQ(byteAt(image, 0xC9F), 2);
}

TEST(EncodeSelcall, CallPresenceAndDtmfFlags) {
    RadioSettings s = newRadioSettings();
    s.selcallEncode.aniAt = 1;
    s.selcallEncode.call1Sequence = "";
    s.selcallEncode.call2Sequence = "1";
    s.selcallEncode.call3Sequence = "2";
    s.dtmf.dtmfCodes = {};
    s.dtmf.dtmfCodes[0] = "1";
    s.dtmf.dtmfCodes[7] = "#";
    s.dtmf.dtmfCodes[8] = "9";
    s.dtmf.dtmfLeadInTime = 250;
    const MemoryImage image = prepareAndEncode(s);
    EXPECT_EQ(byteAt(image, 0x7DD), 0x0D);
    EXPECT_EQ(byteAt(image, 0x75F), 1);
    EXPECT_EQ(byteAt(image, 0x760), 0x81);
    EXPECT_EQ(byteAt(image, 0x762), 25);
    EXPECT_EQ(bytes(image, 0x960 + 7 * 25, 2), (std::vector<int>{0x44, 0x26}));
    EXPECT_EQ(byteAt(image, 0x960 + 7 * 25 + 15), 1);
}

TEST(EncodeKeys, LightKeyAbsentFlag) {
    RadioSettings s = newRadioSettings();
    s.option.programmableKey1Long = 2;  // Light
    MemoryImage image = prepareAndEncode(s);
    EXPECT_EQ(byteAt(image, 0xCF2), 0);
    s.option.programmableKey1Long = 0;
    s.option.programmableKey2Long = 0;
    s.option.programmableKey3Long = 0;
    s.option.programmableKey1Short = 1;
    s.option.programmableKey2Short = 8;
    s.option.programmableKey3Short = 3;
    image = prepareAndEncode(s);
    EXPECT_EQ(byteAt(image, 0xCF2), 1);
    s.option.programmableKey3Short = 2;
    image = prepareAndEncode(s);
    EXPECT_EQ(byteAt(image, 0xCF2), 0);
}

// Groups 1 (3 slots), 2 (4), 3 (1, nothing programmed) and 9 (2).
RadioSettings groupedConfiguration() {
    RadioSettings s = newRadioSettings();
    std::array<int, 14> caps{};
    caps[1] = 3;
    caps[2] = 4;
    caps[3] = 1;
    caps[9] = 2;
    useGroups(s, caps);
    groupChannel(s, 1, 1).rxFrequency = "450.00000";
    groupChannel(s, 1, 1).label = "ONE";
    groupChannel(s, 1, 3).rxFrequency = "451.00000";
    groupChannel(s, 2, 2).rxFrequency = "452.00000";
    groupChannel(s, 2, 2).label = "TWO";
    groupChannel(s, 2, 2).priorityChannel = 1;
    groupChannel(s, 2, 2).powerOnChannel = 1;
    group(s, 2).priorityChannel = 2;
    group(s, 2).powerOnChannel = 2;
    groupChannel(s, 3, 1).label = "GHOST";
    groupChannel(s, 9, 1).rxFrequency = "453.00000";
    groupChannel(s, 9, 1).label = "NINE";
    groupChannel(s, 9, 1).scanChannel = 1;
    return s;
}

TEST(EncodeGroups, GroupRecordsAndMasks) {
    RadioSettings s = groupedConfiguration();
    const MemoryImage image = prepareAndEncode(s);
    EXPECT_EQ(byteAt(image, 0x767), 0x06);  // groups 1 and 2
    EXPECT_EQ(byteAt(image, 0x766), 0x02);  // group 9
    EXPECT_EQ(bytes(image, 0x768, 4), (std::vector<int>{9, 1, 5, 5}));
    EXPECT_EQ(bytes(image, 0x76C, 5), (std::vector<int>{3, 1, 0, 1, 3}));
    EXPECT_EQ(bytes(image, 0x771, 5), (std::vector<int>{5, 5, 5, 5, 7}));
    EXPECT_EQ(bytes(image, 0x776, 5), (std::vector<int>{0, 0, 0, 0, 8}));
    EXPECT_EQ(bytes(image, 0x794, 5), (std::vector<int>{9, 9, 0, 9, 10}));
    EXPECT_EQ(bytes(image, 0x7A8, 5), (std::vector<int>{0, 0, 0, 0, 10}));
    EXPECT_EQ(byteAt(image, 0x7AE), 0xFF);
    EXPECT_EQ(byteAt(image, 0x7AF), 0xFA);
    EXPECT_EQ(byteAt(image, 0x7B0), 0x91);
    EXPECT_EQ(byteAt(image, 0x7B2), 0x00);
    EXPECT_EQ(byteAt(image, 0x7B3), 0x05);
    EXPECT_EQ(byteAt(image, 0x800), 0x01);  // group 9 scans
    EXPECT_EQ(byteAt(image, 0x801), 0x00);
    EXPECT_EQ(byteAt(image, 0x804), 1);
    EXPECT_EQ(byteAt(image, 0x805), 1);
    EXPECT_EQ(byteAt(image, 0x807), 9);
    // Channel 9 (group 9's first) scans: bit 0 of the first byte.
    EXPECT_EQ(byteAt(image, 0x810), 0x01);
    EXPECT_EQ(s.channelTable.groups[2].priorityChannel, 5);
    EXPECT_EQ(s.channelTable.groups[3].hasChannels, 0);
}

TEST(EncodeGroups, LabelSlotsSkipGroupsWithoutProgrammedChannels) {
    RadioSettings s = groupedConfiguration();
    const MemoryImage image = prepareAndEncode(s);
    auto slot = [&](int k) { return bytes(image, 0x1010 + 9 * k, 9); };
    EXPECT_EQ(slot(0), (std::vector<int>{24, 23, 14, 38, 38, 38, 38, 38, 3}));  // ONE
    EXPECT_EQ(slot(1), (std::vector<int>{38, 38, 38, 38, 38, 38, 38, 38, 0}));
    EXPECT_EQ(slot(4), (std::vector<int>{29, 32, 24, 38, 38, 38, 38, 38, 3}));  // TWO
    // Group 3's GHOST takes no slot: group 9 follows group 2 directly.
    EXPECT_EQ(slot(7), (std::vector<int>{23, 18, 23, 14, 38, 38, 38, 38, 4}));  // NINE
    EXPECT_EQ(slot(9), std::vector<int>(9, 0));
}

TEST(EncodeGroups, AllChannelListLabelsWhenNoGroupHasChannels) {
    RadioSettings s = newRadioSettings();
    listChannel(s, 1).label = "A";
    listChannel(s, 208).label = "Z";
    const MemoryImage image = prepareAndEncode(s);
    EXPECT_EQ(bytes(image, 0x1010, 9), (std::vector<int>{10, 38, 38, 38, 38, 38, 38, 38, 1}));
    EXPECT_EQ(bytes(image, 0x1010 + 9 * 207, 9), (std::vector<int>{35, 38, 38, 38, 38, 38, 38, 38, 1}));
}

TEST(EncodeGroups, ListEntriesNoGroupHoldsAreCleared) {
    RadioSettings s = newRadioSettings();
    for (int c = 1; c <= 208; ++c) {
        listChannel(s, c).rxFrequency = "460.00000";
        listChannel(s, c).label = "OLD";
        listChannel(s, c).scanChannel = 1;
    }
    std::array<int, 14> caps{};
    caps[4] = 6;
    useGroups(s, caps);
    groupChannel(s, 4, 6).rxFrequency = "461.00000";
    const MemoryImage image = prepareAndEncode(s);
    // Only channel 6 (group 4's last slot) is programmed; nothing else.
    EXPECT_EQ(byteAt(image, 0x7B4), 0xFF);
    EXPECT_EQ(byteAt(image, 0x7B5), 0xDF);
    for (int i = 2; i < 26; ++i) ASSERT_EQ(byteAt(image, 0x7B4 + i), 0xFF) << i;
    EXPECT_EQ(bytes(image, 0x810, 26), std::vector<int>(26, 0));
    for (int c = 7; c <= 208; ++c) {
        ASSERT_EQ(bytes(image, 9 * c, 9), (std::vector<int>{0, 0, 0, 0, 0x20, 0, 0, 0, 0})) << c;
        ASSERT_TRUE(listChannel(s, c).label.empty()) << c;
    }
}

TEST(EncodeSettingsBlock, FieldsAtTheirBits) {
    RadioSettings s = newRadioSettings();
    OptionSettings& o = s.option;
    o = OptionSettings{};
    o.txInhibit = 9;
    o.markIdle = 1;
    o.beep = 1;
    o.scanTx = 2;
    o.scanType = 1;
    o.txTimer = 0xA5;
    o.priorityLbTime = 3;
    o.scanWaitTime = 12;
    o.scanSpeedTime = 199;
    o.hook = 1;
    o.openLock = 2;
    o.powerUp = 1;
    s.header.model = 1;
    s.header.radioBand = 1;
    s.header.speaker = 1;
    s.dtmf.dtmf = 1;
    s.selcallEncode.selcall = 0;
    s.selcallEncode.aniSequence = "";
    s.channelTable.groupScanFlag = 1;
    s.channelTable.anyScanChannel = 1;
    const MemoryImage image = prepareAndEncode(s);
    EXPECT_EQ(bytes(image, 0, 9), (std::vector<int>{0x8D, 0xAE, 0x49, 0xA5, 0xC3, 199, 0x03, 0x61, 0xA4}));
}

TEST(EncodeDecodeDuration, AddsLeadInAndRoundsUpToTensOfMilliseconds) {
    RadioSettings s = newRadioSettings();
    for (DecodeEntry& e : s.selcallDecode.decodeEntries) e.address.clear();
    s.selcallDecode.decodeEntries[2].address = "12345";
    s.selcallDecode.decoderToneLength = 35;  // 175 ms
    for (int n = 1; n <= 8; ++n) s.toneSequence.sequences[static_cast<std::size_t>(n)].leadInTime = 0;
    s.toneSequence.sequences[6].leadInTime = 1270;
    MemoryImage image = prepareAndEncode(s);
    // 175 + 1270 = 1445 ms -> 145
    EXPECT_EQ(byteAt(image, 0x75D), 0);
    EXPECT_EQ(byteAt(image, 0x75E), 145);
    s.selcallDecode.decodeEntries[0].address = "12345678";
    s.selcallDecode.decoderToneLength = 1275;
    s.toneSequence.sequences[6].leadInTime = 1275;
    image = prepareAndEncode(s);
    // 8 * 1275 + 1275 = 11475 ms -> 1148 = 0x47C
    EXPECT_EQ(byteAt(image, 0x75D), 0x04);
    EXPECT_EQ(byteAt(image, 0x75E), 0x7C);
}

TEST(EncodeIsPure, EncodingTwiceGivesTheSameImageAndLeavesTheConfiguration) {
    test::RandomConfig random(77);
    RadioSettings s = random.make();
    prepareForTransfer(s);
    const RadioSettings before = s;
    const int durationBefore = s.selcallDecode.decodeDuration;
    const MemoryImage first = encodeMemoryImage(s);
    const MemoryImage second = encodeMemoryImage(s);
    EXPECT_EQ(first, second);
    EXPECT_TRUE(s == before);
    EXPECT_EQ(s.selcallDecode.decodeDuration, durationBefore);
    EXPECT_TRUE(s.channelTable.prep.sameBytes(before.channelTable.prep));
}

TEST(PrepareChannelImage, IsRepeatable) {
    test::RandomConfig random(5);
    RadioSettings s = random.make();
    prepareChannelImage(s);
    const RadioSettings once = s;
    prepareChannelImage(s);
    EXPECT_TRUE(s == once);
    EXPECT_TRUE(s.channelTable.prep.sameBytes(once.channelTable.prep));
}

}  // namespace
}  // namespace ks340
