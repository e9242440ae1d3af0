// The PC's exchange and the radio model talking to each other on a virtual
// line: both sides must agree on every byte, with and without faults.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "SimHarness.h"
#include "link/ProgrammingExchange.h"

namespace ks340::sim::test {
namespace {

class VirtualLine : public Transport, public Timer, public ExchangeListener {
public:
    VirtualLine(RadioConfig config, const Memory& memory)
        : radio(std::move(config), memory), exchange(*this, *this, *this) {}

    // Transport
    int write(const std::uint8_t* data, int n) override {
        radio.receive(data, static_cast<std::size_t>(n), now);
        return n;
    }
    ReceiveQueue& queue() override { return rx; }
    // Timer
    void start(int milliseconds) override { deadline = now + milliseconds * SimTime{1000}; }
    void stop() override { deadline.reset(); }
    // Listener
    void finished(bool ok, const std::string& message) override {
        done = true;
        this->ok = ok;
        this->message = message;
    }

    // Runs until the exchange reports the end (or the time limit passes).
    void run(SimTime limit = 600'000'000) {
        const SimTime start = now;
        while (!done && now - start < limit) {
            radio.advance(now);
            for (const Burst& b : radio.takeOutput()) {
                rx.pushBurst(b.bytes.data(), b.bytes.size());
                exchange.onReceiveNotification();
            }
            if (deadline && *deadline <= now) {
                deadline.reset();
                exchange.onWatchdogExpired();
                continue;
            }
            std::optional<SimTime> next = radio.nextWakeup();
            if (deadline && (!next || *deadline < *next)) next = deadline;
            if (!next) break;
            now = std::max(now, *next);
        }
        elapsed = now - start;
    }

    RadioSim radio;
    ProgrammingExchange exchange;
    ReceiveQueue rx;
    SimTime now = 0;
    std::optional<SimTime> deadline;
    bool done = false;
    bool ok = false;
    std::string message;
    SimTime elapsed = 0;
};

LinkImage toLinkImage(const Memory& m) {
    LinkImage image{};
    std::copy(m.begin(), m.end(), image.begin());
    return image;
}

constexpr double kByteMicros = 10.0 * 1e6 / 19200.0;

TEST(ExchangeAgainstSim, APacedWriteTakesTheWireTimeAndStoresTheImage) {
    Memory blank;
    blank.fill(0xFF);
    VirtualLine line(RadioConfig{}, blank);
    const Memory image = patternMemory(21);
    line.exchange.startWrite(toLinkImage(image));
    line.run();
    ASSERT_TRUE(line.ok) << line.message;
    EXPECT_EQ(line.message, "Writing Data Complete!");
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + 0x1FE0, line.radio.memory().begin()));
    EXPECT_EQ(line.radio.completedWrites(), 1);
    // Every byte once each way and nothing else: 11225 bytes at 10 bits.
    EXPECT_NEAR(static_cast<double>(line.elapsed), wire::kWriteWireBytes * kByteMicros, 2000.0);
}

TEST(ExchangeAgainstSim, APacedReadTakesTheWireTimeAndBringsBackTheMemory) {
    const Memory memory = patternMemory(22);
    VirtualLine line(RadioConfig{}, memory);
    line.exchange.startRead();
    line.run();
    ASSERT_TRUE(line.ok) << line.message;
    EXPECT_EQ(line.message, "Reading Data Complete!");
    EXPECT_TRUE(std::equal(memory.begin(), memory.begin() + 0x1FE8, line.exchange.image().begin()));
    // 14299 bytes at 10 bits, plus the radio's pause before its first packet.
    EXPECT_NEAR(static_cast<double>(line.elapsed), wire::kReadWireBytes * kByteMicros + 5000.0, 2000.0);
}

class ExchangeAgainstFaultySim : public testing::TestWithParam<std::uint64_t> {};

TEST_P(ExchangeAgainstFaultySim, WriteAndReadBackSurviveLostDamagedAndStrayBytes) {
    RadioConfig c;
    c.seed = GetParam();
    c.dropReply = FaultSchedule::withRate(0.02);
    c.corruptPacket = FaultSchedule::withRate(0.02);
    c.strayBytes = FaultSchedule::withRate(0.01);
    c.refuseRequests = 2;
    Memory blank;
    blank.fill(0xFF);
    VirtualLine line(c, blank);
    const Memory image = patternMemory(static_cast<std::uint8_t>(GetParam()));

    line.exchange.startWrite(toLinkImage(image));
    line.run();
    ASSERT_TRUE(line.ok) << "write: " << line.message;
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + 0x1FE0, line.radio.memory().begin()));

    line.done = false;
    line.exchange.startRead();
    line.run();
    ASSERT_TRUE(line.ok) << "read: " << line.message;
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + 0x1FE0, line.exchange.image().begin()));
    const SimStats& s = line.radio.stats();
    EXPECT_GT(s.transmissionsDropped + s.packetsCorrupted + s.strayBytesSent, 20);
    EXPECT_EQ(s.requestsRefused, 4);
}

INSTANTIATE_TEST_SUITE_P(Seeds, ExchangeAgainstFaultySim, testing::Values(1u, 2u, 3u, 4u, 5u));

}  // namespace
}  // namespace ks340::sim::test
