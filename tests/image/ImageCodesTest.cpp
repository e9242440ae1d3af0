#include <gtest/gtest.h>

#include "image/MemoryImage.h"

namespace ks340 {
namespace {

TEST(FrequencyCode, ChoosesTheFirstStepThatDividesTheFrequency) {
    // 150.005 MHz received on VHF2 is carried as 195.105 MHz.
    EXPECT_EQ(frequencyCode(195'105'000), (FrequencyCode{1, 609, 45}));
    // 150.0025 MHz: only 2.5 kHz divides it.
    EXPECT_EQ(frequencyCode(195'102'500), (FrequencyCode{0, 609, 89}));
    // 156.8 MHz + 45.1 MHz.
    EXPECT_EQ(frequencyCode(201'900'000), (FrequencyCode{2, 504, 48}));
    // 440.0 MHz received on UHF2 is carried as 394.9 MHz.
    EXPECT_EQ(frequencyCode(394'900'000), (FrequencyCode{2, 987, 16}));
    // Transmit frequencies are carried as they are.
    EXPECT_EQ(frequencyCode(446'006'250), (FrequencyCode{2, 1115, 1}));
    EXPECT_EQ(frequencyCode(470'000'000), (FrequencyCode{2, 1175, 0}));
}

TEST(FrequencyCode, CodeAndFrequencyAgreeOnEveryRasterPoint) {
    // Every 2.5 kHz point of both bands, shifted as the receiver carries it.
    for (std::int64_t hz = 148'000'000 + 45'100'000; hz <= 174'000'000 + 45'100'000; hz += 2500) {
        const FrequencyCode c = frequencyCode(hz);
        ASSERT_EQ(frequencyFromCode(c.stepCode, c.n, c.a * 2), hz) << hz;
    }
    for (std::int64_t hz = 440'000'000 - 45'100'000; hz <= 480'000'000; hz += 2500) {
        const FrequencyCode c = frequencyCode(hz);
        ASSERT_LT(c.a, c.stepCode == 0 ? 128 : 64);
        ASSERT_EQ(frequencyFromCode(c.stepCode, c.n, c.a * 2), hz) << hz;
    }
}

TEST(FrequencyCode, StepCodeThreeStandsForNoFrequency) {
    EXPECT_FALSE(frequencyFromCode(3, 609, 90).has_value());
    // Bit 0 of the stored A is not part of the count.
    EXPECT_EQ(frequencyFromCode(1, 609, 91), frequencyFromCode(1, 609, 90));
}

TEST(FrequencyCode, TransmitSubBands) {
    EXPECT_EQ(transmitSubBand(439'997'500), 0);
    EXPECT_EQ(transmitSubBand(440'000'000), 0);
    EXPECT_EQ(transmitSubBand(449'997'500), 0);
    EXPECT_EQ(transmitSubBand(450'000'000), 1);
    EXPECT_EQ(transmitSubBand(459'997'500), 1);
    EXPECT_EQ(transmitSubBand(460'000'000), 2);
    EXPECT_EQ(transmitSubBand(470'000'000), 3);
    EXPECT_EQ(transmitSubBand(480'000'000), 3);
    EXPECT_EQ(transmitSubBand(480'002'500), 0);
    EXPECT_EQ(transmitSubBand(150'000'000), 0);
}

TEST(FrequencyText, ReadsAndWritesFiveDecimalMegahertz) {
    EXPECT_EQ(frequencyTextToHz("150.00500"), 150'005'000);
    EXPECT_EQ(frequencyTextToHz("446.00625"), 446'006'250);
    EXPECT_EQ(frequencyTextToHz(" 156.8"), 156'800'000);
    EXPECT_EQ(frequencyTextToHz(""), 0);
    EXPECT_EQ(frequencyTextToHz("NULL"), 0);
    EXPECT_EQ(frequencyTextToHz("0.00000"), 0);
    EXPECT_EQ(hzToFrequencyText(150'002'500), "150.00250");
    EXPECT_EQ(hzToFrequencyText(446'006'250), "446.00625");
    EXPECT_EQ(hzToFrequencyText(480'000'000), "480.00000");
    EXPECT_EQ(hzToFrequencyText(5'000), "0.00500");
    EXPECT_EQ(hzToFrequencyText(0), "0.00000");
    EXPECT_EQ(hzToFrequencyText(-45'097'500), "-45.09750");
    EXPECT_EQ(hzToFrequencyText(1'234'567'890'000), "1234567.89000");
}

TEST(TextCode, TableAndOwnCodes) {
    EXPECT_EQ(TextCode::encode('0'), 0);
    EXPECT_EQ(TextCode::encode('9'), 9);
    EXPECT_EQ(TextCode::encode('A'), 10);
    EXPECT_EQ(TextCode::encode('Z'), 35);
    EXPECT_EQ(TextCode::encode('.'), 36);
    EXPECT_EQ(TextCode::encode('-'), 37);
    EXPECT_EQ(TextCode::encode(' '), 38);
    EXPECT_EQ(TextCode::encode('a'), 40);
    EXPECT_EQ(TextCode::encode('z'), 65);
    EXPECT_EQ(TextCode::encode('_'), 66);
    EXPECT_EQ(TextCode::encode('*'), 67);
    EXPECT_EQ(TextCode::encode('#'), 68);
    EXPECT_EQ(TextCode::encode('+'), 71);
    EXPECT_EQ(TextCode::encode('\''), 72);
    EXPECT_EQ(TextCode::encode('/'), 73);
    EXPECT_EQ(TextCode::encode('\\'), 74);
    EXPECT_EQ(TextCode::encode('?'), 75);
    EXPECT_EQ(TextCode::encode('('), 76);
    EXPECT_EQ(TextCode::encode(')'), 77);
    EXPECT_EQ(TextCode::encode(','), ',');
    EXPECT_EQ(TextCode::encode('\xE9'), 0xE9);
    // Codes the table does not list come back as that character.
    EXPECT_EQ(TextCode::decode(39), '\'');
    EXPECT_EQ(TextCode::decode(200), '\xC8');
    for (char c : std::string("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz .-_*#+'/\\?()"))
        EXPECT_EQ(TextCode::decode(TextCode::encode(c)), c) << c;
}

TEST(ToneDigitCode, TableAndPadding) {
    EXPECT_EQ(ToneDigitCode::encode('0'), 0x00);
    EXPECT_EQ(ToneDigitCode::encode('9'), 0x09);
    EXPECT_EQ(ToneDigitCode::encode('A'), 0x0A);
    EXPECT_EQ(ToneDigitCode::encode('e'), 0x0E);
    EXPECT_EQ(ToneDigitCode::encode('\0'), 0x26);
    EXPECT_EQ(ToneDigitCode::encode('*'), 0x43);
    EXPECT_EQ(ToneDigitCode::encode('#'), 0x44);
    EXPECT_EQ(ToneDigitCode::encode('k'), 0x55);
    EXPECT_EQ(ToneDigitCode::encode('S'), 0x66);
    EXPECT_EQ(ToneDigitCode::encode('x'), 0x77);
    EXPECT_EQ(ToneDigitCode::encode('F'), 'F');
    EXPECT_EQ(ToneDigitCode::decode(0x0C), 'C');
    EXPECT_EQ(ToneDigitCode::decode(0x26), '\0');
    EXPECT_EQ(ToneDigitCode::decode(0x55), 'K');
    EXPECT_EQ(ToneDigitCode::decode(0x66), 'S');
    EXPECT_EQ(ToneDigitCode::decode(0x77), 'X');
    EXPECT_EQ(ToneDigitCode::decode(0x44), '#');
}

TEST(ChannelBitmap, WordsAreBigEndian) {
    std::array<std::uint8_t, 26> mask{};
    setChannelBit(mask, 1, true);
    EXPECT_EQ(mask[1], 0x01);
    setChannelBit(mask, 9, true);
    EXPECT_EQ(mask[0], 0x01);
    setChannelBit(mask, 16, true);
    EXPECT_EQ(mask[0], 0x81);
    setChannelBit(mask, 17, true);
    EXPECT_EQ(mask[3], 0x01);
    setChannelBit(mask, 208, true);
    EXPECT_EQ(mask[24], 0x80);
    EXPECT_TRUE(channelBit(mask, 16));
    EXPECT_FALSE(channelBit(mask, 15));
    setChannelBit(mask, 16, false);
    EXPECT_EQ(mask[0], 0x01);
    // Numbers outside 1..208 touch nothing.
    const auto before = mask;
    setChannelBit(mask, 0, true);
    setChannelBit(mask, 209, true);
    EXPECT_EQ(mask, before);
    EXPECT_FALSE(channelBit(mask, 209));
}

TEST(MemoryMap, RowsAndColumnsAsTheProgrammingDialogShowsThem) {
    MemoryImage image{};
    image[0] = 0x4A;
    image[0x1FFF] = 0x0B;
    image[0x123] = 0xF0;
    const std::string map = formatMemoryMap(image);
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t nl; (nl = map.find('\n', start)) != std::string::npos; start = nl + 1)
        lines.push_back(map.substr(start, nl - start));
    ASSERT_EQ(lines.size(), 513u);
    EXPECT_EQ(lines[0], "     0  1  2  3  4  5  6  7  8  9  A  B  C  D  E  F");
    EXPECT_EQ(lines[1].substr(0, 9), "000 4A 00");
    EXPECT_EQ(lines[0x12 + 1].substr(0, 16), "012 00 00 00 F0 ");
    EXPECT_EQ(lines[512], "1FF 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 0B");
}

}  // namespace
}  // namespace ks340
