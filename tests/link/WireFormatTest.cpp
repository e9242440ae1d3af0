#include <gtest/gtest.h>

#include <array>
#include <numeric>

#include "link/WireFormat.h"

namespace wire = ks340::wire;

namespace {

std::array<std::uint8_t, wire::kImageSize> countingImage() {
    std::array<std::uint8_t, wire::kImageSize> image{};
    for (int i = 0; i < wire::kImageSize; ++i) image[i] = static_cast<std::uint8_t>(i * 7 + (i >> 8));
    return image;
}

}  // namespace

TEST(WireFormat, ReadPacketCarriesAddressAndEightBytes) {
    const auto image = countingImage();
    const auto p = wire::buildReadPacket(image.data(), 0x0128);
    EXPECT_EQ(p[0], 0x99);
    EXPECT_EQ(p[1], 0x01);
    EXPECT_EQ(p[2], 0x28);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(p[3 + i], image[0x0128 + i]) << i;
    EXPECT_EQ(p[11], 0x66);
    EXPECT_TRUE(wire::framedCorrectly(p.data(), p.size()));
    auto bad = p;
    bad[11] = 0x65;
    EXPECT_FALSE(wire::framedCorrectly(bad.data(), bad.size()));
}

TEST(WireFormat, WireFloorOfWholeTransfers) {
    // Every byte both ways at 10 bits a byte, 19200 baud.
    EXPECT_NEAR(wire::kWriteWireBytes * 10 / 19200.0, 5.85, 0.005);
    EXPECT_NEAR(wire::kReadWireBytes * 10 / 19200.0, 7.45, 0.005);
    EXPECT_EQ(wire::kReadPacketCount, 1021);
}
