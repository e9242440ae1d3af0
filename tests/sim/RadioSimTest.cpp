#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "SimHarness.h"

namespace ks340::sim::test {
namespace {

constexpr SimTime kMs = 1000;

std::vector<int> allReadAddresses() {
    std::vector<int> a;
    for (int x = 0; x <= wire::kReadLastAddress; x += 8) a.push_back(x);
    return a;
}

// ---------------------------------------------------------------------------

TEST(RadioWrite, StoresEveryBlockAndAcknowledgesEach) {
    Memory blank;
    blank.fill(0xFF);
    Pc pc(unpaced(), blank);
    const Memory image = patternMemory(3);

    pc.send(writeRequest());
    EXPECT_EQ(pc.next(), bytesOf({0xA1, 0xFF}));
    EXPECT_EQ(pc.radio.mode(), RadioSim::Mode::Writing);
    for (int b = 0; b < wire::kWriteBlockCount; ++b) {
        pc.send(block(image, b));
        ASSERT_EQ(pc.next(), bytesOf({0xA1, 0xFF})) << "block " << b;
    }
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + 0x1FE0, pc.radio.memory().begin()));
    // A write never reaches the last 32 bytes.
    EXPECT_TRUE(std::all_of(pc.radio.memory().begin() + 0x1FE0, pc.radio.memory().end(),
                            [](std::uint8_t v) { return v == 0xFF; }));
    const auto kinds = pc.eventKinds();
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), SimEventKind::WriteCompleted), 1);
    EXPECT_EQ(pc.radio.completedWrites(), 1);
    EXPECT_EQ(pc.radio.stats().blocksStored, 510);
}

TEST(RadioWrite, CompletesOnlyWhenEveryBlockArrived) {
    Pc pc(unpaced());
    const Memory image = patternMemory(5);
    pc.send(writeRequest());
    pc.next();
    for (int b = 0; b < wire::kWriteBlockCount; ++b) {
        if (b == 200) continue;
        pc.send(block(image, b));
        pc.next();
    }
    EXPECT_EQ(pc.radio.completedWrites(), 0);
    // A duplicate of the last block does not complete it either.
    pc.send(block(image, 509));
    EXPECT_EQ(pc.next(), bytesOf({0xA1, 0xFF}));
    EXPECT_EQ(pc.radio.completedWrites(), 0);
    pc.send(block(image, 200));
    pc.next();
    EXPECT_EQ(pc.radio.completedWrites(), 1);
    // Repeating a block after completion is acknowledged but saves nothing new.
    pc.send(block(image, 509));
    EXPECT_EQ(pc.next(), bytesOf({0xA1, 0xFF}));
    EXPECT_EQ(pc.radio.completedWrites(), 1);
}

TEST(RadioWrite, RefusesMalformedBlocksAndStoresNothing) {
    Pc pc(unpaced(), patternMemory(1));
    const Memory before = pc.radio.memory();
    const Memory image = patternMemory(9);
    pc.send(writeRequest());
    pc.next();

    Bytes badEnd = block(image, 4);
    badEnd.back() = 0x67;
    pc.send(badEnd);
    EXPECT_EQ(pc.next(), bytesOf({0x58, 0xFF}));

    Bytes misaligned = block(image, 4);
    misaligned[2] = 0x48;  // 0x0048: not a block boundary
    pc.send(misaligned);
    EXPECT_EQ(pc.next(), bytesOf({0x58, 0xFF}));

    Bytes outside = block(image, 4);
    outside[1] = 0x20;  // 0x2040: beyond the memory
    pc.send(outside);
    EXPECT_EQ(pc.next(), bytesOf({0x58, 0xFF}));

    EXPECT_EQ(pc.radio.memory(), before);
    EXPECT_EQ(pc.radio.stats().blocksRefused, 3);

    pc.send(block(image, 4));
    EXPECT_EQ(pc.next(), bytesOf({0xA1, 0xFF}));
    EXPECT_TRUE(std::equal(image.begin() + 64, image.begin() + 80, pc.radio.memory().begin() + 64));
}

TEST(RadioWrite, FindsBlocksInSplitStaleAndNoisyInput) {
    Pc pc(unpaced());
    const Memory image = patternMemory(2);
    pc.send(writeRequest());
    pc.next();

    const Bytes b0 = block(image, 0);
    pc.send(Bytes(b0.begin(), b0.begin() + 7));
    pc.wait(2 * kMs);
    EXPECT_TRUE(pc.take().empty());
    pc.send(Bytes(b0.begin() + 7, b0.end()));
    EXPECT_EQ(pc.next(), bytesOf({0xA1, 0xFF}));

    // A fragment whose rest never comes is forgotten, so the block that is
    // sent again afterwards is read from its first byte.
    const Bytes b1 = block(image, 1);
    pc.send(Bytes(b1.begin(), b1.begin() + 11));
    pc.wait(100 * kMs);
    EXPECT_TRUE(pc.take().empty());
    pc.send(b1);
    EXPECT_EQ(pc.next(), bytesOf({0xA1, 0xFF}));
    EXPECT_TRUE(std::equal(image.begin() + 16, image.begin() + 32, pc.radio.memory().begin() + 16));

    // Noise in front of a block is skipped.
    Bytes noisy = bytesOf({0x00, 0x13});
    const Bytes b2 = block(image, 2);
    noisy.insert(noisy.end(), b2.begin(), b2.end());
    pc.send(noisy);
    EXPECT_EQ(pc.next(), bytesOf({0xA1, 0xFF}));
    EXPECT_TRUE(std::equal(image.begin() + 32, image.begin() + 48, pc.radio.memory().begin() + 32));
}

// ---------------------------------------------------------------------------

TEST(RadioRead, SendsEveryPacketInOrderOneAtATime) {
    const Memory memory = patternMemory(7);
    Pc pc(unpaced(), memory);
    pc.send(readRequest());
    // The ready reply on its own, the first packet a little later.
    ASSERT_EQ(pc.take().size(), 1u);
    pc.wait(4 * kMs);
    EXPECT_TRUE(pc.take().empty());
    pc.wait(1 * kMs);

    std::vector<int> addresses;
    for (;;) {
        std::vector<Burst> bursts = pc.take();
        ASSERT_EQ(bursts.size(), 1u) << "after " << addresses.size() << " packets";
        const Bytes& p = bursts[0].bytes;
        ASSERT_EQ(p.size(), 12u);
        ASSERT_TRUE(wire::framedCorrectly(p.data(), p.size()));
        const int address = wire::packetAddress(p.data());
        EXPECT_TRUE(std::equal(p.begin() + 3, p.begin() + 11, memory.begin() + address));
        addresses.push_back(address);
        // Nothing more comes until this packet is answered.
        pc.wait(200 * kMs);
        ASSERT_TRUE(pc.take().empty());
        pc.send(ack());
        if (address == wire::kReadLastAddress) break;
    }
    EXPECT_EQ(addresses, allReadAddresses());
    EXPECT_EQ(pc.radio.mode(), RadioSim::Mode::Idle);
    EXPECT_EQ(pc.radio.completedReads(), 1);
    pc.wait(10'000 * kMs);
    EXPECT_TRUE(pc.take().empty());
}

TEST(RadioRead, ResendsARefusedPacket) {
    const Memory memory = patternMemory(8);
    Pc pc(unpaced(), memory);
    pc.send(readRequest());
    pc.next();
    EXPECT_EQ(wire::packetAddress(pc.next().data()), 0x0000);
    pc.send(ack());
    const Bytes first = pc.next();
    EXPECT_EQ(wire::packetAddress(first.data()), 0x0008);
    pc.send(nak());
    EXPECT_EQ(pc.next(), first);
    pc.send(bytesOf({0x31, 0x32}));  // garbage counts as a refusal
    EXPECT_EQ(pc.next(), first);
    pc.send(ack());
    EXPECT_EQ(wire::packetAddress(pc.next().data()), 0x0010);
    EXPECT_EQ(pc.radio.stats().refusalsReceived, 2);
}

TEST(RadioRead, ResendsAnUnansweredPacketAfterTheTimeout) {
    RadioConfig c = unpaced();
    c.resendTimeoutMs = 80;
    Pc pc(c, patternMemory(1));
    pc.send(readRequest());
    pc.next();
    const Bytes p = pc.next();
    const SimTime sentAt = pc.now;
    pc.wait(79 * kMs);
    EXPECT_TRUE(pc.take().empty());
    EXPECT_EQ(pc.next(), p);
    EXPECT_EQ(pc.now - sentAt, 80 * kMs);
}

TEST(RadioRead, GivesUpAfterTooManyFailedSends) {
    RadioConfig c = unpaced();
    c.giveUpAfter = 3;
    c.resendTimeoutMs = 10;
    Pc pc(c);
    pc.send(readRequest());
    pc.next();
    int packets = 0;
    while (!pc.next(1000 * kMs).empty()) ++packets;
    EXPECT_EQ(packets, 4);  // the packet and three resends
    EXPECT_EQ(pc.radio.mode(), RadioSim::Mode::Idle);
    const auto kinds = pc.eventKinds();
    EXPECT_NE(std::find(kinds.begin(), kinds.end(), SimEventKind::ReadAbandoned), kinds.end());
}

TEST(RadioRead, ARequestDuringAReadStartsFromTheBeginning) {
    Pc pc(unpaced(), patternMemory(2));
    pc.send(readRequest());
    pc.next();
    for (int i = 0; i < 5; ++i) {
        pc.next();
        pc.send(ack());
    }
    EXPECT_EQ(pc.radio.readAddress(), 0x28);
    pc.take();
    pc.send(readRequest());
    EXPECT_EQ(pc.next(), bytesOf({0xA1, 0xFF}));
    EXPECT_EQ(wire::packetAddress(pc.next().data()), 0x0000);
}

// ---------------------------------------------------------------------------

TEST(RadioPacing, RepliesWhenTheLastByteWouldHaveCrossedTheLine) {
    RadioConfig c;
    c.baud = 19200;
    Pc pc(c);
    pc.send(writeRequest());
    // 3 bytes in (1562 us), then 2 bytes out (1041 us).
    EXPECT_EQ(pc.radio.lineTime(3), 1562);
    Bytes reply = pc.next();
    EXPECT_EQ(reply, bytesOf({0xA1, 0xFF}));
    EXPECT_EQ(pc.now, 1562 + 1041);

    // 20 bytes in and 2 out: 10416 + 1041 us per block.
    const SimTime start = pc.now;
    pc.send(block(patternMemory(0), 0));
    pc.next();
    EXPECT_EQ(pc.now - start, 10416 + 1041);
}

TEST(RadioPacing, ReplyDelayComesOnTop) {
    RadioConfig c = unpaced();
    c.replyDelayMs = 7;
    Pc pc(c);
    pc.send(writeRequest());
    pc.wait(6 * kMs);
    EXPECT_TRUE(pc.take().empty());
    pc.wait(1 * kMs);
    EXPECT_EQ(pc.take().size(), 1u);
}

TEST(RadioPacing, AnAnswerArrivingBeforeThePacketWasOutIsIgnored) {
    RadioConfig c;
    c.baud = 1200;  // a 12-byte packet takes 100 ms
    Pc pc(c, patternMemory(3));
    pc.send(readRequest());
    pc.next();
    const Bytes p0 = pc.next();
    pc.send(ack());
    // The acknowledgement of packet 0 has arrived; packet 8 is being sent.
    pc.step();
    pc.wait(1 * kMs);
    // A repeated acknowledgement while packet 8 is still on its way must
    // not count for it.
    pc.send(ack());
    const Bytes p8 = pc.next();
    ASSERT_FALSE(p8.empty());
    EXPECT_EQ(wire::packetAddress(p8.data()), 0x0008);
    // What follows is packet 8 again (no answer within the resend timeout,
    // then 100 ms on the line), never packet 0x10.
    EXPECT_EQ(pc.next(400 * kMs), p8);
    EXPECT_EQ(p0.size(), 12u);
}

// ---------------------------------------------------------------------------

TEST(RadioLine, DroppingTheLineEndsTheSessionAndStartsANewTransfer) {
    RadioConfig c = unpaced();
    c.dropReply = FaultSchedule::atOrdinals({1});
    Pc pc(c);
    pc.send(readRequest());
    pc.wait(1 * kMs);
    EXPECT_TRUE(pc.take().empty());  // first reply lost
    pc.wait(10 * kMs);
    EXPECT_EQ(pc.take().size(), 1u);  // the first packet still goes out
    pc.radio.lineDropped(pc.now);
    EXPECT_EQ(pc.radio.mode(), RadioSim::Mode::Idle);
    pc.wait(1000 * kMs);
    EXPECT_TRUE(pc.take().empty());
    // A new transfer counts its faults afresh: its first reply is lost too.
    pc.send(writeRequest());
    pc.wait(1 * kMs);
    EXPECT_TRUE(pc.take().empty());
    pc.send(writeRequest());
    EXPECT_EQ(pc.next(), bytesOf({0xA1, 0xFF}));
}

}  // namespace
}  // namespace ks340::sim::test
