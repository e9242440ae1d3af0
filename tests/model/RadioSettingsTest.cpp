#include <gtest/gtest.h>

#include "model/RadioSettings.h"

namespace ks340 {

TEST(ChannelTableTest, ResetGivesTheStartUpState) {
    ChannelTable t;
    t.groups[3].capability = 10;
    t.groups[0].channels[5].rxFrequency = "150.00000";
    t.noPowerOnChannel = 0;
    t.reset();
    EXPECT_EQ(t.groups[0].capability, 208);
    EXPECT_EQ(t.groups[0].enabled, 1);
    for (int g = 1; g < kGroupSlots; ++g) {
        EXPECT_EQ(t.groups[g].capability, 0);
        EXPECT_EQ(t.groups[g].enabled, 0);
    }
    EXPECT_TRUE(t.groups[0].channels[5].rxFrequency.empty());
    EXPECT_EQ(t.channelsLeft, 208);
    EXPECT_EQ(t.channelCapacity, 208);
    EXPECT_EQ(t.noPowerOnChannel, 1);
}

TEST(ChannelTableTest, ContentComparisonIgnoresImagePreparation) {
    ChannelTable a, b;
    b.prep.programmedMask[0] = 0xFF;
    EXPECT_TRUE(a == b);
    b.groups[1].channels[1].label = "X";
    EXPECT_FALSE(a == b);
}

}  // namespace ks340
