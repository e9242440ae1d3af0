#include <gtest/gtest.h>

#include "link/LinkFakes.h"
#include "link/ProgrammingExchange.h"

using ks340::LinkImage;
using ks340::ProgrammingExchange;
using ks340::test::Bytes;
using ks340::test::Rig;
namespace wire = ks340::wire;

namespace {

const Bytes kAck{0xA1, 0x00};
const Bytes kRefuse{0x15, 0x00};
const Bytes kWriteRequest{0x76, 0x57, 0xCD};
const Bytes kReadRequest{0x71, 0x52, 0xC3};
const Bytes kPacketOk{0xA1, 0xFF};
const Bytes kPacketBad{0x58, 0xFF};

LinkImage patternImage(int seed) {
    LinkImage image{};
    for (int i = 0; i < wire::kImageSize; ++i) image[i] = static_cast<std::uint8_t>((i * 31 + seed) ^ (i >> 5));
    return image;
}

Bytes readPacket(const LinkImage& source, int address) {
    const auto p = wire::buildReadPacket(source.data(), address);
    return Bytes(p.begin(), p.end());
}

Bytes packetAt(int address, std::uint8_t fillByte) {
    Bytes p{0x99, static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address & 0xFF)};
    for (int i = 0; i < 8; ++i) p.push_back(static_cast<std::uint8_t>(fillByte + i));
    p.push_back(0x66);
    return p;
}

int countWrites(const Rig& rig, const Bytes& bytes) {
    int n = 0;
    for (const Bytes& w : rig.transport.writes) n += (w == bytes);
    return n;
}

// Starts a read and has the radio accept it.
void startAcceptedRead(Rig& rig, const LinkImage& base = {}) {
    rig.exchange.startRead(base);
    rig.receive(kAck);
    ASSERT_EQ(rig.exchange.exchangeState(), ProgrammingExchange::Reading);
}

}  // namespace

// ---------------------------------------------------------------- write

TEST(ExchangeWrite, WholeImageGoesAsFiveHundredTenPackets) {
    Rig rig;
    const LinkImage image = patternImage(3);
    rig.exchange.startWrite(image);
    EXPECT_EQ(rig.lastWrite(), kWriteRequest);
    EXPECT_EQ(rig.timer.delay, 100);
    EXPECT_EQ(rig.listener.maximum, 509);
    EXPECT_FALSE(rig.exchange.busy());
    rig.receive(kAck);  // request accepted
    EXPECT_TRUE(rig.exchange.busy());
    for (int block = 0; block < 510; ++block) {
        ASSERT_EQ(rig.listener.finishCount, 0) << "finished before block " << block;
        const Bytes& p = rig.lastWrite();
        ASSERT_EQ(p.size(), 20u);
        ASSERT_EQ(p[0], 0x99);
        ASSERT_EQ((p[1] << 8) | p[2], block * 16);
        ASSERT_EQ(p[19], 0x66);
        for (int i = 0; i < 16; ++i) ASSERT_EQ(p[3 + i], image[block * 16 + i]);
        ASSERT_EQ(rig.timer.delay, 100);
        rig.receive(kAck);
    }
    // request + 510 blocks, nothing more
    ASSERT_EQ(rig.transport.writes.size(), 511u);
    const Bytes& first = rig.transport.writes[1];
    EXPECT_EQ(Bytes(first.begin(), first.begin() + 3), (Bytes{0x99, 0x00, 0x00}));
    const Bytes& last = rig.transport.writes[510];
    EXPECT_EQ(Bytes(last.begin(), last.begin() + 3), (Bytes{0x99, 0x1F, 0xD0}));
    EXPECT_EQ(rig.listener.finishCount, 1);
    EXPECT_TRUE(rig.listener.ok);
    EXPECT_EQ(rig.listener.message, "Writing Data Complete!");
    EXPECT_EQ(rig.exchange.exchangeState(), ProgrammingExchange::Idle);
    EXPECT_FALSE(rig.timer.armed);
    EXPECT_EQ(rig.listener.positions.back(), 509);
    EXPECT_EQ(rig.listener.busyChanges, (std::vector<bool>{true, false}));
}

TEST(ExchangeWrite, ThreeRefusedRequestsSendTheRequestFourTimes) {
    Rig rig;
    rig.exchange.startWrite(patternImage(1));
    for (int i = 0; i < 3; ++i) {
        rig.receive(kRefuse);
        EXPECT_EQ(rig.timer.delay, 25);
        EXPECT_EQ(rig.exchange.exchangeState(), ProgrammingExchange::WriteRequestSent);
    }
    EXPECT_EQ(countWrites(rig, kWriteRequest), 4);
    EXPECT_EQ(rig.exchange.errorCount(), 3);
    rig.receive(kAck);
    EXPECT_EQ(rig.exchange.errorCount(), 0);
    EXPECT_EQ(rig.exchange.exchangeState(), ProgrammingExchange::Writing);
}

TEST(ExchangeWrite, RefusedOrUnansweredBlockGoesAgain) {
    Rig rig;
    rig.exchange.startWrite(patternImage(1));
    rig.receive(kAck);
    rig.receive(kAck);  // block 0 accepted
    const Bytes block1 = rig.lastWrite();
    ASSERT_EQ(block1[2], 0x10);
    rig.receive(kRefuse);
    EXPECT_EQ(rig.lastWrite(), block1);
    EXPECT_EQ(rig.exchange.errorCount(), 1);
    rig.expire();  // reply lost
    EXPECT_EQ(rig.lastWrite(), block1);
    EXPECT_EQ(rig.exchange.errorCount(), 2);
    EXPECT_EQ(countWrites(rig, block1), 3);
    rig.receive(kAck);
    EXPECT_EQ(rig.exchange.errorCount(), 0);
    EXPECT_EQ(rig.lastWrite()[2], 0x20);
}

TEST(ExchangeWrite, LostRequestReplyResendsRequest) {
    Rig rig;
    rig.exchange.startWrite(patternImage(1));
    rig.expire();  // the long first wait
    EXPECT_EQ(countWrites(rig, kWriteRequest), 2);
    EXPECT_EQ(rig.timer.delay, 25);
    EXPECT_EQ(rig.exchange.errorCount(), 1);
    rig.expire();  // the short wait: counted, then the long wait before asking again
    EXPECT_EQ(countWrites(rig, kWriteRequest), 2);
    EXPECT_EQ(rig.timer.delay, 100);
    EXPECT_EQ(rig.exchange.errorCount(), 2);
    rig.expire();
    EXPECT_EQ(countWrites(rig, kWriteRequest), 3);
    EXPECT_EQ(rig.exchange.errorCount(), 2);
}

TEST(ExchangeWrite, SplitReplyWaitsForSecondByte) {
    Rig rig;
    rig.exchange.startWrite(patternImage(1));
    rig.receive(kAck);
    const std::size_t writes = rig.transport.writes.size();
    rig.receive({0xA1});
    EXPECT_EQ(rig.transport.writes.size(), writes);  // nothing sent yet
    EXPECT_EQ(rig.exchange.errorCount(), 1);
    EXPECT_TRUE(rig.timer.armed);  // the block's watchdog keeps running
    rig.receive({0x00});
    EXPECT_EQ(rig.lastWrite()[2], 0x10);  // block 1 follows
    EXPECT_EQ(rig.exchange.errorCount(), 0);
}

TEST(ExchangeWrite, GivesUpAfterElevenResendsOfABlock) {
    Rig rig;
    rig.exchange.startWrite(patternImage(1));
    rig.receive(kAck);
    const Bytes block0 = rig.lastWrite();
    for (int i = 1; i <= 11; ++i) {
        rig.expire();
        ASSERT_EQ(rig.listener.finishCount, 0) << "gave up after " << i << " expiries";
        ASSERT_EQ(rig.exchange.errorCount(), i);
    }
    EXPECT_EQ(countWrites(rig, block0), 12);
    rig.expire();
    EXPECT_EQ(rig.listener.finishCount, 1);
    EXPECT_FALSE(rig.listener.ok);
    EXPECT_EQ(rig.listener.message, "Communication Error!!");
    EXPECT_EQ(rig.exchange.exchangeState(), ProgrammingExchange::Idle);
    EXPECT_FALSE(rig.exchange.busy());
    EXPECT_FALSE(rig.timer.armed);
    EXPECT_EQ(rig.listener.busyChanges.back(), false);
    EXPECT_EQ(countWrites(rig, block0), 12);  // nothing sent on giving up
}

TEST(ExchangeWrite, EndlesslyRefusedRequestEndsTheTransfer) {
    Rig rig;
    rig.exchange.startWrite(patternImage(1));
    for (int i = 0; i < 30 && rig.listener.finishCount == 0; ++i) rig.receive(kRefuse);
    EXPECT_EQ(rig.listener.finishCount, 1);
    EXPECT_EQ(rig.listener.message, "Communication Error!!");
    EXPECT_EQ(countWrites(rig, kWriteRequest), 12);
}

TEST(ExchangeWrite, LostPortEndsTransferAtOnce) {
    Rig rig;
    rig.exchange.startWrite(patternImage(1));
    rig.receive(kAck);
    rig.exchange.onTransportLost();
    EXPECT_EQ(rig.listener.finishCount, 1);
    EXPECT_FALSE(rig.listener.ok);
    EXPECT_EQ(rig.listener.message, "Communication Error!!");
    EXPECT_FALSE(rig.timer.armed);
    // Late bytes and a stray expiry do nothing after the end.
    const std::size_t writes = rig.transport.writes.size();
    rig.receive(kAck);
    rig.exchange.onWatchdogExpired();
    EXPECT_EQ(rig.transport.writes.size(), writes);
    EXPECT_EQ(rig.listener.finishCount, 1);
}

// ---------------------------------------------------------------- read

TEST(ExchangeRead, WholeReadFillsImageAndKeepsTheTail) {
    Rig rig;
    const LinkImage radio = patternImage(9);
    LinkImage base{};
    base.fill(0xEE);
    rig.exchange.startRead(base);
    EXPECT_EQ(rig.lastWrite(), kReadRequest);
    EXPECT_EQ(rig.timer.delay, 25);
    EXPECT_EQ(rig.listener.maximum, 510);
    rig.receive(kAck);
    for (int address = 0; address <= 0x1FE0; address += 8) {
        ASSERT_EQ(rig.listener.finishCount, 0) << std::hex << address;
        rig.receive(readPacket(radio, address));
        ASSERT_EQ(rig.lastWrite(), kPacketOk) << std::hex << address;
    }
    EXPECT_EQ(rig.listener.finishCount, 1);
    EXPECT_TRUE(rig.listener.ok);
    EXPECT_EQ(rig.listener.message, "Reading Data Complete!");
    EXPECT_EQ(rig.exchange.exchangeState(), ProgrammingExchange::Idle);
    const LinkImage& got = rig.exchange.image();
    for (int i = 0; i < 0x1FE8; ++i) ASSERT_EQ(got[i], radio[i]) << std::hex << i;
    for (int i = 0x1FE8; i < 0x2000; ++i) ASSERT_EQ(got[i], 0xEE) << std::hex << i;
    EXPECT_EQ(rig.listener.positions.back(), 510);
    EXPECT_FALSE(rig.timer.armed);
}

TEST(ExchangeRead, SecondHalfAddressStoresAtPlusEight) {
    Rig rig;
    startAcceptedRead(rig);
    rig.receive(packetAt(0x0008, 0x40));
    EXPECT_EQ(rig.lastWrite(), kPacketOk);
    EXPECT_FALSE(rig.exchange.firstHalf());
    EXPECT_EQ(rig.exchange.blockIndex(), 0);
    const LinkImage& img = rig.exchange.image();
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(img[i], 0);
        EXPECT_EQ(img[8 + i], 0x40 + i);
    }
}

TEST(ExchangeRead, OddAddressIsStoredAsFirstHalfOfItsBlock) {
    Rig rig;
    startAcceptedRead(rig);
    rig.receive(packetAt(0x0014, 0x30));
    EXPECT_EQ(rig.lastWrite(), kPacketOk);
    EXPECT_TRUE(rig.exchange.firstHalf());
    EXPECT_EQ(rig.exchange.blockIndex(), 1);
    const LinkImage& img = rig.exchange.image();
    for (int i = 0; i < 8; ++i) EXPECT_EQ(img[0x10 + i], 0x30 + i);
    EXPECT_EQ(img[0x18], 0);
}

TEST(ExchangeRead, BadLastByteIsRefusedAndStoresNothing) {
    Rig rig;
    startAcceptedRead(rig);
    rig.receive(packetAt(0x0000, 0x10));  // block 0 first half
    rig.receive(packetAt(0x0010, 0x20));  // block 1
    const std::vector<int> before = rig.listener.positions;
    Bytes bad = packetAt(0x0020, 0x50);
    bad[11] = 0x67;
    rig.receive(bad);
    EXPECT_EQ(rig.lastWrite(), kPacketBad);
    EXPECT_EQ(rig.exchange.errorCount(), 1);
    EXPECT_EQ(rig.exchange.blockIndex(), 1);
    EXPECT_EQ(rig.listener.positions.back(), 1);  // the bar does not move
    EXPECT_EQ(rig.exchange.image()[0x20], 0);
    // The radio sends it again, correctly this time.
    rig.receive(packetAt(0x0020, 0x50));
    EXPECT_EQ(rig.lastWrite(), kPacketOk);
    EXPECT_EQ(rig.exchange.errorCount(), 0);
    EXPECT_EQ(rig.exchange.image()[0x20], 0x50);
}

TEST(ExchangeRead, AddressOutsideTheImageIsRefusedAndStoresNothing) {
    for (int address : {0x2000, 0x7FF8, 0xFFF0, 0xFFF8}) {
        Rig rig;
        LinkImage base{};
        base.fill(0x11);
        startAcceptedRead(rig, base);
        rig.receive(packetAt(address, 0x90));
        EXPECT_EQ(rig.lastWrite(), kPacketBad) << std::hex << address;
        EXPECT_EQ(rig.exchange.image(), base) << std::hex << address;
        EXPECT_EQ(rig.exchange.exchangeState(), ProgrammingExchange::Reading);
        EXPECT_EQ(rig.listener.finishCount, 0);
    }
}

TEST(ExchangeRead, LastPacketWithHolesEndsWithError) {
    Rig rig;
    const LinkImage radio = patternImage(5);
    startAcceptedRead(rig);
    for (int address = 0; address <= 0x1FE0; address += 8) {
        if (address == 0x0100) continue;  // lost on the way
        rig.receive(readPacket(radio, address));
    }
    EXPECT_EQ(rig.listener.finishCount, 1);
    EXPECT_FALSE(rig.listener.ok);
    EXPECT_EQ(rig.listener.message, "Communication Error!!");
    EXPECT_EQ(rig.exchange.exchangeState(), ProgrammingExchange::Idle);
    EXPECT_EQ(rig.exchange.halfBlocksReceived(), 1020);
}

TEST(ExchangeRead, AddressAfterLastAlsoEndsTheRead) {
    Rig rig;
    startAcceptedRead(rig);
    rig.receive(packetAt(0x1FE8, 0x70));
    EXPECT_EQ(rig.exchange.image()[0x1FE8], 0x70);
    EXPECT_EQ(rig.listener.finishCount, 1);
    EXPECT_FALSE(rig.listener.ok);  // nothing before it arrived
}

TEST(ExchangeRead, ReadyReplyAndFirstPacketInOneBurst) {
    Rig rig;
    rig.exchange.startRead();
    Bytes burst = kAck;
    const Bytes p = packetAt(0x0000, 0x21);
    burst.insert(burst.end(), p.begin(), p.end());
    rig.receive(burst);
    EXPECT_EQ(rig.exchange.exchangeState(), ProgrammingExchange::Reading);
    EXPECT_EQ(rig.lastWrite(), kPacketOk);
    EXPECT_EQ(rig.exchange.image()[0], 0x21);
    EXPECT_EQ(rig.transport.rx.count(), 0);
}

TEST(ExchangeRead, ExtraBytesAfterReadyReplyWaitForTheNextNotification) {
    Rig rig;
    rig.exchange.startRead();
    const Bytes p = packetAt(0x0000, 0x33);
    Bytes burst = kAck;
    burst.insert(burst.end(), p.begin(), p.begin() + 5);
    rig.receive(burst);
    EXPECT_EQ(rig.transport.rx.count(), 5);
    EXPECT_EQ(rig.transport.writes.size(), 1u);  // only the request so far
    rig.receive(Bytes(p.begin() + 5, p.end()));
    EXPECT_EQ(rig.lastWrite(), kPacketOk);
    EXPECT_EQ(rig.exchange.image()[0], 0x33);
}

TEST(ExchangeRead, SlowReadyReplyIsStillTaken) {
    Rig rig;
    rig.exchange.startRead();
    rig.expire();                                  // 25 ms passed without a reply
    EXPECT_EQ(countWrites(rig, kReadRequest), 1);  // not asked again yet
    EXPECT_EQ(rig.exchange.errorCount(), 1);
    EXPECT_EQ(rig.timer.delay, 100);
    rig.receive(kAck);
    EXPECT_EQ(rig.exchange.exchangeState(), ProgrammingExchange::Reading);
    EXPECT_EQ(rig.exchange.errorCount(), 0);
}

TEST(ExchangeRead, LostReadyReplyIsAskedAgainAfterTheLongWait) {
    Rig rig;
    rig.exchange.startRead();
    rig.transport.deliver({0x99});  // a stray byte, dropped with the resend
    rig.expire();
    rig.expire();
    EXPECT_EQ(countWrites(rig, kReadRequest), 2);
    EXPECT_EQ(rig.transport.rx.count(), 0);
    EXPECT_EQ(rig.exchange.errorCount(), 1);
    EXPECT_EQ(rig.timer.delay, 25);
}

TEST(ExchangeRead, SilentRadioGivesUpAfterElevenRequestsMore) {
    Rig rig;
    rig.exchange.startRead();
    int expiries = 0;
    while (rig.listener.finishCount == 0 && expiries < 100) {
        rig.expire();
        ++expiries;
    }
    EXPECT_EQ(rig.listener.message, "Communication Error!!");
    EXPECT_EQ(countWrites(rig, kReadRequest), 12);
    EXPECT_FALSE(rig.timer.armed);
}

TEST(ExchangeRead, RefusedRequestIsSentAgainOnExpiry) {
    Rig rig;
    rig.exchange.startRead();
    rig.receive({0x15, 0x00, 0x99});
    EXPECT_EQ(rig.transport.writes.size(), 1u);  // nothing sent at once
    EXPECT_EQ(rig.transport.rx.count(), 0);      // queue cleared
    EXPECT_EQ(rig.exchange.errorCount(), 1);
    EXPECT_EQ(rig.timer.delay, 25);
    rig.expire();
    EXPECT_EQ(countWrites(rig, kReadRequest), 2);
    EXPECT_EQ(rig.exchange.errorCount(), 1);  // the refusal was counted once
    rig.receive(kAck);
    EXPECT_EQ(rig.exchange.exchangeState(), ProgrammingExchange::Reading);
    EXPECT_EQ(rig.exchange.errorCount(), 0);
}

TEST(ExchangeRead, StrayByteBeforeReadyReplyRecovers) {
    Rig rig;
    const LinkImage radio = patternImage(2);
    rig.exchange.startRead();
    rig.receive({0x00, 0xA1, 0x00});  // stray byte, then the real reply
    EXPECT_EQ(rig.exchange.exchangeState(), ProgrammingExchange::ReadRequestSent);
    rig.receive(readPacket(radio, 0));  // the radio went on; dropped at expiry
    rig.expire();
    EXPECT_EQ(rig.transport.rx.count(), 0);
    EXPECT_EQ(rig.lastWrite(), kReadRequest);
    rig.receive(kAck);
    rig.receive(readPacket(radio, 0));
    EXPECT_EQ(rig.lastWrite(), kPacketOk);
    EXPECT_EQ(rig.exchange.image()[3], radio[3]);
}

TEST(ExchangeRead, EndlesslyRefusedRequestGivesUp) {
    Rig rig;
    rig.exchange.startRead();
    for (int i = 0; i < 40 && rig.listener.finishCount == 0; ++i) {
        rig.receive(kRefuse);
        if (rig.listener.finishCount == 0) rig.expire();
    }
    EXPECT_EQ(rig.listener.finishCount, 1);
    EXPECT_EQ(rig.listener.message, "Communication Error!!");
    EXPECT_EQ(countWrites(rig, kReadRequest), 12);
}

TEST(ExchangeRead, LostPacketOrAnswerIsRecoveredByRefusal) {
    Rig rig;
    startAcceptedRead(rig);
    EXPECT_EQ(rig.timer.delay, 100);
    rig.expire();  // first packet never came
    EXPECT_EQ(rig.lastWrite(), kPacketBad);
    EXPECT_EQ(rig.exchange.errorCount(), 1);
    rig.receive(packetAt(0, 0x01));
    rig.expire();  // our acceptance was lost; the radio repeats packet 0
    EXPECT_EQ(rig.lastWrite(), kPacketBad);
    rig.receive(packetAt(0, 0x01));
    EXPECT_EQ(rig.lastWrite(), kPacketOk);
    EXPECT_EQ(rig.exchange.halfBlocksReceived(), 1);
    EXPECT_EQ(rig.exchange.errorCount(), 0);
}

TEST(ExchangeRead, PartialPacketIsDroppedOnExpiry) {
    Rig rig;
    startAcceptedRead(rig);
    const Bytes p = packetAt(0, 0x44);
    rig.receive(Bytes(p.begin(), p.begin() + 7));  // the rest was lost
    EXPECT_EQ(rig.transport.writes.size(), 1u);
    rig.expire();
    EXPECT_EQ(rig.transport.rx.count(), 0);
    rig.receive(p);  // resent whole, now aligned
    EXPECT_EQ(rig.lastWrite(), kPacketOk);
    EXPECT_EQ(rig.exchange.image()[0], 0x44);
}

TEST(ExchangeRead, GivesUpWhenThePacketsStop) {
    Rig rig;
    startAcceptedRead(rig);
    rig.receive(packetAt(0, 0x01));
    int expiries = 0;
    while (rig.listener.finishCount == 0 && expiries < 50) {
        rig.expire();
        ++expiries;
    }
    EXPECT_EQ(expiries, 12);
    EXPECT_EQ(rig.listener.message, "Communication Error!!");
    EXPECT_FALSE(rig.exchange.busy());
}

TEST(ExchangeRead, CorruptedPacketsForeverGiveUp) {
    Rig rig;
    startAcceptedRead(rig);
    Bytes bad = packetAt(0, 0x01);
    bad[0] = 0x98;
    int sent = 0;
    while (rig.listener.finishCount == 0 && sent < 50) {
        rig.receive(bad);
        ++sent;
    }
    EXPECT_EQ(sent, 12);
    EXPECT_EQ(rig.listener.message, "Communication Error!!");
}

TEST(ExchangeRead, RestartDuringRequestBeginsAfresh) {
    Rig rig;
    rig.exchange.startRead();
    rig.receive(kRefuse);
    rig.exchange.startWrite(patternImage(1));
    EXPECT_EQ(rig.exchange.exchangeState(), ProgrammingExchange::WriteRequestSent);
    EXPECT_EQ(rig.exchange.errorCount(), 0);
    EXPECT_EQ(rig.lastWrite(), kWriteRequest);
    EXPECT_EQ(rig.timer.delay, 100);
}

// ---------------------------------------------------------------- noise

TEST(ExchangeNoise, RandomLineNoiseNeverCompletesOrOverrunsTheImage) {
    std::uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    for (int run = 0; run < 200; ++run) {
        Rig rig;
        LinkImage base{};
        base.fill(0x5A);
        if (run % 2)
            rig.exchange.startRead(base);
        else
            rig.exchange.startWrite(base);
        for (int step = 0; step < 400 && rig.listener.finishCount == 0; ++step) {
            if (next() % 5 == 0) {
                rig.timer.armed = false;
                rig.exchange.onWatchdogExpired();
                continue;
            }
            Bytes burst(1 + next() % 16);
            for (auto& b : burst) b = static_cast<std::uint8_t>(next());
            // Now and then a well-framed packet with a random address.
            if (burst.size() == 12 && next() % 2) {
                burst.front() = 0x99;
                burst.back() = 0x66;
            }
            rig.receive(burst);
            ASSERT_LE(rig.exchange.errorCount(), ProgrammingExchange::kMaxErrors + 1);
        }
        // Noise cannot pass for a whole transfer.
        EXPECT_FALSE(rig.listener.finishCount == 1 && rig.listener.ok) << "run " << run;
        EXPECT_LE(rig.listener.finishCount, 1);
        if (rig.listener.finishCount == 1) {
            EXPECT_EQ(rig.exchange.exchangeState(), ProgrammingExchange::Idle);
            EXPECT_FALSE(rig.exchange.busy());
        }
    }
}
