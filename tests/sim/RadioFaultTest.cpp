#include <gtest/gtest.h>

#include <algorithm>

#include "SimHarness.h"

namespace ks340::sim::test {
namespace {

constexpr SimTime kMs = 1000;

// Everything the radio sends during a read answered by a PC that accepts
// good packets and refuses bad ones, as one byte string per burst.
std::vector<Bytes> readTranscript(RadioConfig config, const Memory& memory, int packets) {
    Pc pc(std::move(config), memory);
    std::vector<Bytes> out;
    pc.send(readRequest());
    for (int i = 0; i < packets; ++i) {
        Bytes b = pc.next(2000 * kMs);
        if (b.empty()) break;
        out.push_back(b);
        const bool good = b.size() == 12 && wire::framedCorrectly(b.data(), b.size());
        if (b.size() == 12) pc.send(good ? ack() : nak());
    }
    return out;
}

int countPacketsAt(const std::vector<Bytes>& transcript, int address) {
    return static_cast<int>(std::count_if(transcript.begin(), transcript.end(), [&](const Bytes& b) {
        return b.size() == 12 && wire::packetAddress(b.data()) == address;
    }));
}

TEST(RadioFaults, DropReplyLosesExactlyTheNamedTransmissions) {
    RadioConfig c = unpaced();
    c.dropReply = FaultSchedule::atOrdinals({3});  // 1: ready reply, 2: packet 0, 3: packet 8
    c.resendTimeoutMs = 50;
    Pc pc(c, patternMemory(1));
    pc.send(readRequest());
    EXPECT_EQ(pc.next(), bytesOf({0xA1, 0xFF}));
    EXPECT_EQ(wire::packetAddress(pc.next().data()), 0x0000);
    pc.send(ack());
    const SimTime answeredAt = pc.now;
    const Bytes p = pc.next();
    // Packet 8 was lost; it comes again once the resend timeout has passed.
    EXPECT_EQ(wire::packetAddress(p.data()), 0x0008);
    EXPECT_EQ(pc.now - answeredAt, 50 * kMs);
    EXPECT_EQ(pc.radio.stats().transmissionsDropped, 1);

    // In a write, the block stored with a lost acknowledgement is answered
    // when the PC sends it again.
    c.dropReply = FaultSchedule::atOrdinals({2});
    const Memory image = patternMemory(6);
    Pc writer(c);
    writer.send(writeRequest());
    EXPECT_EQ(writer.next(), bytesOf({0xA1, 0xFF}));
    writer.send(block(image, 0));
    EXPECT_TRUE(writer.next(100 * kMs).empty());
    writer.send(block(image, 0));
    EXPECT_EQ(writer.next(), bytesOf({0xA1, 0xFF}));
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + 16, writer.radio.memory().begin()));
}

TEST(RadioFaults, CorruptPacketDamagesAFrameByteOfThatReadPacketOnly) {
    RadioConfig c = unpaced();
    c.corruptPacket = FaultSchedule::atOrdinals({2, 5});
    const Memory memory = patternMemory(2);
    const auto t = readTranscript(c, memory, 8);
    ASSERT_EQ(t.size(), 8u);
    // Reply, packet 0, damaged packet 8, packet 8 again, 0x10, damaged 0x18, 0x18, 0x20.
    std::vector<bool> framed;
    for (std::size_t i = 1; i < t.size(); ++i) framed.push_back(wire::framedCorrectly(t[i].data(), 12));
    EXPECT_EQ(framed, (std::vector<bool>{true, false, true, true, false, true, true}));
    EXPECT_EQ(countPacketsAt(t, 0x0008), 2);
    EXPECT_EQ(countPacketsAt(t, 0x0018), 2);
    // Only the frame byte is damaged, the address and data are intact.
    const Bytes& bad = t[2];
    EXPECT_EQ(wire::packetAddress(bad.data()), 0x0008);
    EXPECT_TRUE(std::equal(bad.begin() + 3, bad.begin() + 11, memory.begin() + 8));
}

TEST(RadioFaults, CorruptPacketRefusesThatWrittenBlock) {
    RadioConfig c = unpaced();
    c.corruptPacket = FaultSchedule::atOrdinals({3});
    Memory blank;
    blank.fill(0xFF);
    const Memory image = patternMemory(4);
    Pc pc(c, blank);
    pc.send(writeRequest());
    pc.next();
    for (int b = 0; b < 2; ++b) {
        pc.send(block(image, b));
        EXPECT_EQ(pc.next(), bytesOf({0xA1, 0xFF}));
    }
    pc.send(block(image, 2));
    EXPECT_EQ(pc.next(), bytesOf({0x58, 0xFF}));
    EXPECT_EQ(pc.radio.memory()[32], 0xFF);
    pc.send(block(image, 2));
    EXPECT_EQ(pc.next(), bytesOf({0xA1, 0xFF}));
    EXPECT_EQ(pc.radio.memory()[32], image[32]);
}

TEST(RadioFaults, StrayBytePrecedesTheNamedTransmission) {
    RadioConfig c = unpaced();
    c.strayBytes = FaultSchedule::atOrdinals({1});
    Pc pc(c);
    pc.send(writeRequest());
    const Bytes reply = pc.next();
    ASSERT_EQ(reply.size(), 3u);
    EXPECT_NE(reply[0], 0xA1);
    EXPECT_NE(reply[0], 0x99);
    EXPECT_EQ(Bytes(reply.begin() + 1, reply.end()), bytesOf({0xA1, 0xFF}));
    pc.send(block(patternMemory(0), 0));
    EXPECT_EQ(pc.next(), bytesOf({0xA1, 0xFF}));
}

TEST(RadioFaults, RefuseRequestsRefusesTheFirstNOfEveryTransfer) {
    RadioConfig c = unpaced();
    c.refuseRequests = 3;
    Pc pc(c);
    for (int i = 0; i < 3; ++i) {
        pc.send(writeRequest());
        const Bytes r = pc.next();
        ASSERT_EQ(r.size(), 2u);
        EXPECT_NE(r[0], 0xA1);
        EXPECT_EQ(pc.radio.mode(), RadioSim::Mode::Idle);
    }
    pc.send(writeRequest());
    EXPECT_EQ(pc.next(), bytesOf({0xA1, 0xFF}));
    const Memory image = patternMemory(1);
    for (int b = 0; b < wire::kWriteBlockCount; ++b) {
        pc.send(block(image, b));
        pc.next();
    }
    ASSERT_EQ(pc.radio.completedWrites(), 1);
    // The next transfer is refused three times again.
    pc.send(readRequest());
    EXPECT_EQ(pc.next(), bytesOf({0x58, 0xFF}));
    EXPECT_EQ(pc.radio.stats().requestsRefused, 4);
}

TEST(RadioFaults, BurstSendsTheReadyReplyAndFirstPacketTogether) {
    RadioConfig c = unpaced();
    c.burst = true;
    const Memory memory = patternMemory(5);
    Pc pc(c, memory);
    pc.send(readRequest());
    const Bytes b = pc.next();
    ASSERT_EQ(b.size(), 14u);
    EXPECT_EQ(b[0], 0xA1);
    const auto expected = wire::buildReadPacket(memory.data(), 0);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), b.begin() + 2));
    pc.send(ack());
    EXPECT_EQ(wire::packetAddress(pc.next().data()), 0x0008);
}

TEST(RadioFaults, HangupAfterNPacketsStopsEverything) {
    RadioConfig c = unpaced();
    c.hangupAfter = 3;
    Pc pc(c);
    pc.send(readRequest());
    pc.next();
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(pc.next().size(), 12u);
        EXPECT_FALSE(pc.radio.hungUp());
        pc.send(ack());
    }
    EXPECT_TRUE(pc.radio.hungUp());
    EXPECT_TRUE(pc.next(10'000 * kMs).empty());
    pc.send(readRequest());
    EXPECT_TRUE(pc.next(1000 * kMs).empty());
    EXPECT_FALSE(pc.radio.nextWakeup().has_value());

    // In a write, block N+1 is left unanswered and not stored.
    c.hangupAfter = 2;
    const Memory image = patternMemory(3);
    Pc writer(c, Memory{});
    writer.send(writeRequest());
    writer.next();
    for (int b = 0; b < 2; ++b) {
        writer.send(block(image, b));
        EXPECT_EQ(writer.next(), bytesOf({0xA1, 0xFF}));
    }
    writer.send(block(image, 2));
    EXPECT_TRUE(writer.next(1000 * kMs).empty());
    EXPECT_TRUE(writer.radio.hungUp());
    EXPECT_EQ(writer.radio.memory()[32], 0);
}

TEST(RadioFaults, WrongByteStoresAnInvertedValueAtThatAddressOnly) {
    RadioConfig c = unpaced();
    c.wrongByteAddresses = {0x0123, 0x1FDF};
    const Memory image = patternMemory(8);
    Pc pc(c);
    pc.send(writeRequest());
    pc.next();
    for (int b = 0; b < wire::kWriteBlockCount; ++b) {
        pc.send(block(image, b));
        ASSERT_EQ(pc.next(), bytesOf({0xA1, 0xFF}));  // the PC cannot tell
    }
    int differing = 0;
    for (int a = 0; a < 0x1FE0; ++a) {
        if (pc.radio.memory()[a] != image[a]) {
            ++differing;
            EXPECT_TRUE(a == 0x0123 || a == 0x1FDF) << a;
            EXPECT_EQ(pc.radio.memory()[a], image[a] ^ 0xFF);
        }
    }
    EXPECT_EQ(differing, 2);
}

TEST(RadioFaults, RandomFaultsRepeatWithTheSameSeedAndChangeWithAnother) {
    auto config = [](std::uint64_t seed) {
        RadioConfig c = unpaced();
        c.seed = seed;
        c.dropReply = FaultSchedule::withRate(0.1);
        c.corruptPacket = FaultSchedule::withRate(0.1);
        c.strayBytes = FaultSchedule::withRate(0.1);
        c.resendTimeoutMs = 20;
        return c;
    };
    const Memory memory = patternMemory(9);
    const auto a = readTranscript(config(42), memory, 300);
    const auto b = readTranscript(config(42), memory, 300);
    const auto other = readTranscript(config(43), memory, 300);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, other);
    // Some of each fault happened, yet every packet that was accepted was right.
    int damaged = 0;
    int stray = 0;
    for (const Bytes& p : a) {
        if (p.size() == 13) ++stray;
        if (p.size() == 12 && !wire::framedCorrectly(p.data(), 12)) ++damaged;
        if (p.size() == 12 && wire::framedCorrectly(p.data(), 12)) {
            const int address = wire::packetAddress(p.data());
            EXPECT_TRUE(std::equal(p.begin() + 3, p.begin() + 11, memory.begin() + address));
        }
    }
    EXPECT_GT(damaged, 5);
    EXPECT_GT(stray, 5);
}

}  // namespace
}  // namespace ks340::sim::test
