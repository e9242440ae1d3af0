// Properties over random valid configurations: the image carries every
// setting the radio keeps, and a decoded image survives the setting file.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "image/ImageTestSupport.h"
#include "model/SettingFile.h"

namespace ks340 {
namespace {

constexpr std::uint32_t kRuns = 60;

std::string firstDifference(const MemoryImage& a, const MemoryImage& b) {
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) {
            char buf[64];
            std::snprintf(buf, sizeof buf, "first difference at 0x%04zX: %02X != %02X", i, a[i], b[i]);
            return buf;
        }
    return "identical";
}

RadioSettings readBack(const MemoryImage& image) {
    RadioSettings d = newRadioSettings();
    decodeMemoryImage(image, d);
    refreshChannelTable(d, false);
    return d;
}

void expectSameChannel(const ChannelEntry& want, const ChannelEntry& got, const std::string& where) {
    EXPECT_EQ(got.label, want.label) << where;
    EXPECT_EQ(got.rxFrequency, want.rxFrequency) << where;
    EXPECT_EQ(got.txFrequency, want.txFrequency) << where;
    EXPECT_EQ(got.rxSquelch, want.rxSquelch) << where;
    EXPECT_EQ(got.txSquelch, want.txSquelch) << where;
    EXPECT_EQ(got.rxInverseDcs, want.rxInverseDcs) << where;
    EXPECT_EQ(got.txInverseDcs, want.txInverseDcs) << where;
    EXPECT_EQ(got.bandwidth, want.bandwidth) << where;
    EXPECT_EQ(got.txPower, want.txPower) << where;
    EXPECT_EQ(got.scanChannel, want.scanChannel) << where;
    EXPECT_EQ(got.priorityChannel, want.priorityChannel) << where;
    EXPECT_EQ(got.powerOnChannel, want.powerOnChannel) << where;
}

TEST(ImageRoundTrip, EncodeDecodeEncodeGivesTheSameImage) {
    int grouped = 0, user = 0;
    for (std::uint32_t seed = 1; seed <= kRuns; ++seed) {
        test::RandomConfig random(seed);
        RadioSettings c = random.make();
        grouped += c.channelTable.scanMode;
        user += c.toneSequence.toneset == kUserToneSet;
        const MemoryImage first = test::prepareAndEncode(c);
        RadioSettings d = readBack(first);
        const MemoryImage second = test::prepareAndEncode(d);
        ASSERT_EQ(first, second) << "seed " << seed << ": " << firstDifference(first, second);
    }
    // The generator covers both display modes and the User tone set.
    EXPECT_GT(grouped, 10);
    EXPECT_GT(user, 2);
}

TEST(ImageRoundTrip, DecodeGivesBackEverySettingTheImageCarries) {
    for (std::uint32_t seed = 100; seed < 100 + kRuns; ++seed) {
        test::RandomConfig random(seed);
        RadioSettings c = random.make();
        const MemoryImage image = test::prepareAndEncode(c);
        const RadioSettings d = readBack(image);
        SCOPED_TRACE("seed " + std::to_string(seed));

        EXPECT_EQ(d.header.model, c.header.model);
        EXPECT_EQ(d.header.radioBand, c.header.radioBand);
        EXPECT_EQ(d.header.speaker, c.header.speaker);
        EXPECT_EQ(d.header.lcdDisplayLogo, c.header.lcdDisplayLogo);
        EXPECT_TRUE(d.option == c.option);
        EXPECT_TRUE(d.selcallEncode == c.selcallEncode);
        EXPECT_TRUE(d.selcallDecode.decodeEntries == c.selcallDecode.decodeEntries);
        EXPECT_EQ(d.selcallDecode.decoderToneLength, c.selcallDecode.decoderToneLength);
        EXPECT_EQ(d.selcallDecode.covertRxTime, c.selcallDecode.covertRxTime);
        EXPECT_EQ(d.selcallDecode.covertTxTime, c.selcallDecode.covertTxTime);
        EXPECT_TRUE(d.dtmf == c.dtmf);
        EXPECT_TRUE(d.modem == c.modem);
        EXPECT_EQ(d.toneSequence.toneset, c.toneSequence.toneset);
        EXPECT_EQ(d.toneSequence.toneLength, c.toneSequence.toneLength);
        EXPECT_TRUE(d.toneSequence.sequences == c.toneSequence.sequences);
        if (c.toneSequence.toneset == kUserToneSet) {
            EXPECT_EQ(d.toneSequence.userTone, c.toneSequence.userTone);
        }

        const ChannelTable& ct = c.channelTable;
        const ChannelTable& dt = d.channelTable;
        EXPECT_EQ(dt.scanMode, ct.scanMode);
        EXPECT_EQ(dt.groupScanFlag, ct.groupScanFlag);
        EXPECT_EQ(dt.anyScanChannel, ct.anyScanChannel);
        EXPECT_EQ(dt.priorityPresent, ct.priorityPresent);
        EXPECT_EQ(dt.noPowerOnChannel, ct.noPowerOnChannel);
        if (ct.scanMode == 1) {
            for (int g = 1; g < kGroupSlots; ++g) {
                const ChannelGroup& cg = ct.groups[static_cast<std::size_t>(g)];
                const ChannelGroup& dg = dt.groups[static_cast<std::size_t>(g)];
                EXPECT_EQ(dg.capability, cg.capability) << "group " << g;
                EXPECT_EQ(dg.channelEnd, cg.channelEnd) << "group " << g;
                EXPECT_EQ(dg.hasChannels, cg.hasChannels) << "group " << g;
                for (int m = 1; m <= cg.capability; ++m)
                    expectSameChannel(cg.channels[static_cast<std::size_t>(m)],
                                      dg.channels[static_cast<std::size_t>(m)],
                                      "group " + std::to_string(g) + " channel " + std::to_string(m));
            }
        } else {
            for (int m = 1; m <= kChannelCapacity; ++m)
                expectSameChannel(ct.groups[0].channels[static_cast<std::size_t>(m)],
                                  dt.groups[0].channels[static_cast<std::size_t>(m)], "channel " + std::to_string(m));
        }
        if (HasFailure()) return;
    }
}

TEST(ImageRoundTrip, DecodedConfigurationSurvivesTheSettingFile) {
    for (std::uint32_t seed = 500; seed < 500 + kRuns; ++seed) {
        test::RandomConfig random(seed);
        RadioSettings c = random.make();
        RadioSettings d = readBack(test::prepareAndEncode(c));
        prepareForSave(d);
        const std::string text = formatSettingFile(d);

        RadioSettings e = newRadioSettings();
        const FileResult result = readSettingText(text, e, "decoded.ks3");
        ASSERT_TRUE(result.ok) << result.error;
        refreshChannelTable(e, true);
        prepareForSave(e);  // the tone cycle values are not in the file
        ASSERT_TRUE(e == d) << "seed " << seed;
        ASSERT_EQ(formatSettingFile(e), text) << "seed " << seed;
        // And the radio gets the same bytes from the file as from the read.
        ASSERT_EQ(test::prepareAndEncode(e), test::prepareAndEncode(d)) << "seed " << seed;
    }
}

TEST(ImageRoundTrip, AnyImageDecodesIntoALoadableSettingFile) {
    std::mt19937 rng(2024);
    for (int run = 0; run < 24; ++run) {
        MemoryImage image{};
        if (run == 0) {
            image.fill(0xFF);
        } else {
            // Random bytes; every other run keeps the fixed bytes of a real
            // image so that the channel and group areas look plausible.
            for (std::uint8_t& b : image) b = static_cast<std::uint8_t>(rng());
            if (run % 2 == 0) {
                image[0x761] = 0xE0;
                image[0x86E] = static_cast<std::uint8_t>(run % 8);
            }
        }
        RadioSettings d = readBack(image);
        prepareForSave(d);
        const std::string text = formatSettingFile(d);
        RadioSettings e = newRadioSettings();
        const FileResult result = readSettingText(text, e, "decoded.ks3");
        ASSERT_TRUE(result.ok) << "run " << run << ": " << result.error;
        refreshChannelTable(e, true);
        prepareForSave(e);
        ASSERT_EQ(formatSettingFile(e), text) << "run " << run;
    }
}

TEST(ImageRoundTrip, ListedDifferences) {
    RadioSettings c = newRadioSettings();
    c.option.monitor = 0;
    c.option.publicAddress = 0;
    c.toneSequence.sequences[1].sequence = "1155";
    c.selcallEncode.emgType = 0;
    c.selcallEncode.emgSequence = "12345";
    c.selcallEncode.aniType = 1;
    c.selcallEncode.aniSequence = "123456789012345678";
    const RadioSettings d = readBack(test::prepareAndEncode(c));
    EXPECT_EQ(d.option.monitor, 1);
    EXPECT_EQ(d.option.publicAddress, 1);
    EXPECT_EQ(d.toneSequence.sequences[1].sequence, "1E5E");
    EXPECT_EQ(d.selcallEncode.emgSequence, "123");
    EXPECT_EQ(d.selcallEncode.aniSequence, "123456789012345");
}

}  // namespace
}  // namespace ks340
