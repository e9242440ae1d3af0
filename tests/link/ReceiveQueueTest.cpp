#include <gtest/gtest.h>

#include <vector>

#include "link/ReceiveQueue.h"

using ks340::ReceiveQueue;

namespace {

void fill(ReceiveQueue& q, int n, std::uint8_t first = 0) {
    for (int i = 0; i < n; ++i) ASSERT_TRUE(q.push(static_cast<std::uint8_t>(first + i)));
}

}  // namespace

TEST(ReceiveQueue, BurstThatFitsExactlyFillsTheQueue) {
    ReceiveQueue q;
    fill(q, 4000);
    std::vector<std::uint8_t> burst(191, 0x5A);
    EXPECT_TRUE(q.pushBurst(burst.data(), burst.size()));
    EXPECT_EQ(q.count(), 4191);
    // Full: a single byte more is refused.
    EXPECT_FALSE(q.push(1));
    EXPECT_EQ(q.count(), 4191);
}

TEST(ReceiveQueue, BurstOneByteTooLargeIsDroppedWhole) {
    ReceiveQueue q;
    fill(q, 4000);
    std::vector<std::uint8_t> burst(192, 0x5A);
    EXPECT_FALSE(q.pushBurst(burst.data(), burst.size()));
    EXPECT_EQ(q.count(), 4000);
    // What was queued before is intact and in order.
    std::uint8_t b = 0;
    for (int i = 0; i < 4000; ++i) {
        ASSERT_TRUE(q.pop(b));
        ASSERT_EQ(b, static_cast<std::uint8_t>(i));
    }
    EXPECT_FALSE(q.pop(b));
}

TEST(ReceiveQueue, PopOnEmptyLeavesQueueUnchangedAndClearEmpties) {
    ReceiveQueue q;
    fill(q, 3);
    std::uint8_t b = 0;
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(q.pop(b));
    const int head = q.head(), tail = q.tail();
    b = 0x77;
    EXPECT_FALSE(q.pop(b));
    EXPECT_EQ(b, 0x77);
    EXPECT_EQ(q.head(), head);
    EXPECT_EQ(q.tail(), tail);
    EXPECT_EQ(q.count(), 0);

    fill(q, 50);
    q.clear();
    EXPECT_EQ(q.count(), 0);
    EXPECT_EQ(q.head(), 0);
    EXPECT_EQ(q.tail(), 0);
    EXPECT_FALSE(q.pop(b));
}

TEST(ReceiveQueue, WrapsAroundTheEndOfTheRingInOrder) {
    ReceiveQueue q;
    // Move head and tail near the end of the storage.
    std::uint8_t b = 0;
    for (int i = 0; i < ReceiveQueue::kSize - 5; ++i) {
        ASSERT_TRUE(q.push(0));
        ASSERT_TRUE(q.pop(b));
    }
    fill(q, 20, 100);
    EXPECT_EQ(q.count(), 20);
    EXPECT_LT(q.head(), q.tail());  // wrapped
    std::uint8_t out[32] = {};
    EXPECT_EQ(q.take(out, 32), 20);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(out[i], 100 + i);
}
