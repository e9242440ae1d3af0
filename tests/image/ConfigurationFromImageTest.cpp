// A configuration made from an image (radio read, image file) and the
// collect step that decides the bytes a configuration sends.
#include <gtest/gtest.h>

#include "image/ImageLayout.h"
#include "image/ImageTestSupport.h"

namespace ks340 {

TEST(ConfigurationFromImageTest, SettingsTheImageDoesNotCarryComeFromTheBase) {
    RadioSettings sent = newRadioSettings();
    sent.header.radioBand = kBandVhf2;
    test::listChannel(sent, 3).rxFrequency = "150.00500";
    test::listChannel(sent, 3).scanChannel = 1;
    const MemoryImage image = test::prepareAndEncode(sent);

    RadioSettings base = newRadioSettings();
    base.modem.commonSentence[4] = "HELLO";
    base.toneSequence.userTone[2] = "1234";
    base.option.beep = 0;  // carried by the image: the radio's value wins

    RadioSettings read = configurationFromImage(image, base);
    EXPECT_EQ(read.modem.commonSentence[4], "HELLO");
    EXPECT_EQ(read.toneSequence.userTone[2], "1234");
    EXPECT_EQ(read.option.beep, 1);
    // The channel table is rebuilt as after a read.
    EXPECT_EQ(test::listChannel(read, 3).rxFrequency, "150.00500");
    EXPECT_EQ(test::listChannel(read, 3).scanChannel, 1);

    const RadioSettings fresh = configurationFromImage(image);
    EXPECT_EQ(fresh.modem.commonSentence[4], "");
    EXPECT_EQ(fresh.toneSequence.userTone[2], " ");
    EXPECT_TRUE(fresh.channelTable.sameContent(read.channelTable));
}

TEST(ConfigurationFromImageTest, ThePagesLaterRefreshChangesNothing) {
    // The desktop program's channel page rebuilds the table again when it
    // shows a read; that must not change what was read.
    for (std::uint32_t seed = 1; seed <= 20; ++seed) {
        test::RandomConfig random(seed);
        RadioSettings s = random.make();
        const RadioSettings read = configurationFromImage(test::prepareAndEncode(s), s);
        RadioSettings again = read;
        refreshChannelTable(again, false);
        EXPECT_EQ(again, read) << "seed " << seed;
    }
}

TEST(ConfigurationFromImageTest, ABuiltInToneSetSendsItsTableTones) {
    RadioSettings table = newRadioSettings();
    table.toneSequence.toneset = 5;  // CCIR
    RadioSettings edited = table;
    for (int k = 0; k < kToneCount; ++k) edited.toneSequence.toneFrequency[static_cast<std::size_t>(k)] = 500 + k;
    table.toneSequence.toneFrequency = ToneSetTable[5].tones;
    EXPECT_EQ(test::prepareAndEncode(edited), test::prepareAndEncode(table));
    EXPECT_EQ(edited.toneSequence.toneFrequency, ToneSetTable[5].tones);

    // The User set takes its tones from the texts, as before.
    RadioSettings user = newRadioSettings();
    user.toneSequence.toneset = kUserToneSet;
    user.toneSequence.userTone[0] = "1060";
    prepareForSave(user);
    EXPECT_EQ(user.toneSequence.toneFrequency[0], 1060);
}

}  // namespace ks340
