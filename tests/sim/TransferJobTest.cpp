// A whole transfer job against the radio model on a virtual port whose
// written bytes only leave when time moves on or the port is drained; closing
// throws away what has not left, as flushing a real port does.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>

#include "SimHarness.h"
#include "image/ImageBackup.h"
#include "link/TransferJob.h"

namespace ks340::sim::test {
namespace {

namespace fs = std::filesystem;

class VirtualPort : public TransferPort, public Timer, public TransferJobListener {
public:
    VirtualPort(RadioConfig config, const Memory& memory)
        : radio(std::move(config), memory), job(*this, *this, *this, [this] { return clockAt(now); }) {}

    // TransferPort
    bool open(std::string& message, std::string& reason) override {
        if (refuseOpen) {
            message = "/dev/vport Port Open Error!!";
            reason = "/dev/vport: permission denied.";
            return false;
        }
        opened = true;
        return true;
    }
    void drain(int) override {
        log.push_back("drain");
        sendPending();
    }
    void close() override {
        log.push_back(pending.empty() ? "close" : "close, bytes lost");
        pending.clear();
        opened = false;
    }
    bool isOpen() const override { return opened; }
    std::string name() const override { return "/dev/vport"; }
    int write(const std::uint8_t* data, int n) override {
        if (!opened) return 0;
        log.push_back("write");
        pending.insert(pending.end(), data, data + n);
        return n;
    }
    ReceiveQueue& queue() override { return rx; }
    // Timer
    void start(int milliseconds) override { deadline = now + milliseconds * SimTime{1000}; }
    void stop() override { deadline.reset(); }
    // Listener
    void progress(const TransferProgress& p) override { progressSeen.push_back(p); }
    void finished(const TransferResult& r) override {
        results.push_back(r);
        pendingAtEnd = pending.size();
    }

    // Runs until the job ends or `until` says stop.
    void run(const std::function<bool()>& until = {}) {
        const SimTime limit = now + 600'000'000;
        while (job.running() && now < limit && !(until && until())) {
            sendPending();  // bytes leave as time moves on
            radio.advance(now);
            for (const Burst& b : radio.takeOutput()) {
                rx.pushBurst(b.bytes.data(), b.bytes.size());
                job.onReceived();
            }
            if (!job.running()) break;
            if (deadline && *deadline <= now) {
                deadline.reset();
                job.onWatchdogExpired();
                continue;
            }
            std::optional<SimTime> next = radio.nextWakeup();
            if (deadline && (!next || *deadline < *next)) next = deadline;
            if (!next) next = now + 1000;
            now = std::max(now + (pending.empty() ? 0 : 1), *next);
        }
    }
    // Lets the radio take in whatever reached it.
    void settle() {
        for (int i = 0; i < 50; ++i) {
            now += 10'000;
            radio.advance(now);
            radio.takeOutput();
        }
    }
    bool radioSaw(SimEventKind kind) {
        for (const auto& e : radio.takeEvents())
            if (e.kind == kind) return true;
        return false;
    }

    static TransferJob::Clock::time_point clockAt(SimTime t) {
        return TransferJob::Clock::time_point(std::chrono::microseconds(t));
    }
    void sendPending() {
        if (pending.empty()) return;
        radio.receive(pending.data(), pending.size(), now);
        pending.clear();
    }

    RadioSim radio;
    TransferJob job;
    ReceiveQueue rx;
    std::vector<std::uint8_t> pending;  // written, not yet on the line
    std::vector<std::string> log;
    SimTime now = 0;
    std::optional<SimTime> deadline;
    bool opened = false;
    bool refuseOpen = false;
    std::vector<TransferProgress> progressSeen;
    std::vector<TransferResult> results;
    std::size_t pendingAtEnd = 0;
};

LinkImage toLink(const Memory& m) {
    LinkImage image{};
    std::copy(m.begin(), m.end(), image.begin());
    return image;
}

class TransferJobTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("ks340-transferjob-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    TransferOptions options(TransferKind kind, const LinkImage& image = {}) const {
        TransferOptions o;
        o.kind = kind;
        o.image = image;
        o.backupDirectory = dir.string();
        return o;
    }
    std::vector<std::string> backups() const { return listImageBackups(dir.string()); }
    fs::path dir;
};

TEST_F(TransferJobTest, EveryEndDrainsThePortSoTheRadioGetsTheLastBytes) {
    const Memory memory = patternMemory(3);
    VirtualPort port(unpaced(), memory);
    ASSERT_TRUE(port.job.open());
    port.job.start(options(TransferKind::Read));
    port.run();
    ASSERT_EQ(port.results.size(), 1u);
    EXPECT_EQ(port.results[0].outcome, TransferOutcome::Done);
    EXPECT_TRUE(std::equal(memory.begin(), memory.begin() + 0x1FE8, port.results[0].image.begin()));
    // The final acknowledgement had left before the job reported its end...
    EXPECT_EQ(port.pendingAtEnd, 0u);
    port.job.close();
    EXPECT_EQ(port.log.back(), "close");
    // ... so the radio knows the read is over instead of sending its last packet again.
    port.settle();
    EXPECT_TRUE(port.radioSaw(SimEventKind::ReadCompleted));

    // A write's last block, and a refusal that ends a read, are drained too.
    VirtualPort writer(unpaced(), Memory{});
    ASSERT_TRUE(writer.job.open());
    writer.job.start(options(TransferKind::Write, toLink(memory)));
    writer.run();
    ASSERT_TRUE(writer.results.at(0).ok());
    EXPECT_EQ(writer.pendingAtEnd, 0u);
    const auto lastWrite = std::find(writer.log.rbegin(), writer.log.rend(), "write");
    EXPECT_NE(std::find(writer.log.rbegin(), lastWrite, "drain"), lastWrite);

    RadioConfig silentAfterStart = unpaced();
    silentAfterStart.hangupAfter = 20;
    VirtualPort hung(silentAfterStart, memory);
    ASSERT_TRUE(hung.job.open());
    hung.job.start(options(TransferKind::Read));
    hung.run();
    ASSERT_EQ(hung.results.at(0).outcome, TransferOutcome::CommunicationError);
    EXPECT_EQ(hung.pendingAtEnd, 0u);
}

TEST_F(TransferJobTest, WriteWithVerifyEndsOnceReportingBoth) {
    const Memory image = patternMemory(9);
    VirtualPort good(unpaced(), Memory{});
    ASSERT_TRUE(good.job.open());
    TransferOptions o = options(TransferKind::Write, toLink(image));
    o.verify = true;
    good.job.start(o);
    good.run();
    ASSERT_EQ(good.results.size(), 1u);
    EXPECT_EQ(good.results[0].outcome, TransferOutcome::Done);
    EXPECT_EQ(resultText(good.results[0]), "Writing Data Complete!\n\nVerify OK: the radio holds the bytes written.");
    // The read-back followed the write by itself.
    EXPECT_EQ(good.progressSeen.front().phase, TransferPhase::Write);
    EXPECT_EQ(good.progressSeen.back().phase, TransferPhase::Verify);

    RadioConfig wrong = unpaced();
    wrong.wrongByteAddresses = {0x75};
    VirtualPort bad(wrong, Memory{});
    ASSERT_TRUE(bad.job.open());
    bad.job.start(o);
    bad.run();
    ASSERT_EQ(bad.results.size(), 1u);
    EXPECT_EQ(bad.results[0].outcome, TransferOutcome::VerifyFailed);
    const std::string text = resultText(bad.results[0]);
    EXPECT_EQ(text.rfind("Writing Data Complete!\n\nVerify failed: 1 byte(s) differ", 0), 0u) << text;
    EXPECT_NE(text.find("0x0075: sent"), std::string::npos) << text;
}

TEST_F(TransferJobTest, AWriteIsBackedUpOnlyWhenABlockWentOut) {
    const LinkImage image = toLink(patternMemory(5));
    VirtualPort refused(unpaced(), Memory{});
    refused.refuseOpen = true;
    EXPECT_FALSE(refused.job.open());
    EXPECT_EQ(refused.job.lastResult().outcome, TransferOutcome::PortError);
    EXPECT_EQ(resultText(refused.job.lastResult()), "/dev/vport Port Open Error!!\n\n/dev/vport: permission denied.");

    // No radio at all: nothing went out, nothing is kept.
    RadioConfig deaf = unpaced();
    deaf.dropReply = FaultSchedule::withRate(1.0);
    VirtualPort silent(deaf, Memory{});
    ASSERT_TRUE(silent.job.open());
    silent.job.start(options(TransferKind::Write, image));
    silent.run();
    ASSERT_EQ(silent.results.size(), 1u);
    EXPECT_EQ(silent.results[0].outcome, TransferOutcome::CommunicationError);
    EXPECT_EQ(resultText(silent.results[0]),
              "Communication Error!!\nno radio answered on /dev/vport \u2014 is it switched on and in programming "
              "mode?");
    EXPECT_FALSE(silent.results[0].writeStarted);
    EXPECT_TRUE(backups().empty());

    // Replies stop in the middle: the image is kept as a failed write.
    RadioConfig stops = unpaced();
    stops.hangupAfter = 215;
    VirtualPort cut(stops, Memory{});
    ASSERT_TRUE(cut.job.open());
    cut.job.start(options(TransferKind::Write, image));
    cut.run();
    const TransferResult& r = cut.results.at(0);
    EXPECT_EQ(r.outcome, TransferOutcome::CommunicationError);
    EXPECT_NE(r.detail.find("replies from the radio on /dev/vport stopped after block " +
                            std::to_string(r.blocksWritten - 1)),
              std::string::npos)
        << r.detail;
    EXPECT_GT(r.blocksWritten, 200);
    ASSERT_EQ(backups().size(), 1u);
    EXPECT_EQ(backups()[0], r.backupPath);
    EXPECT_NE(r.backupPath.find("-write-failed.img"), std::string::npos);
    MemoryImage kept{};
    std::string error;
    ASSERT_TRUE(readImageFile(r.backupPath, kept, error)) << error;
    EXPECT_TRUE(kept == image);
}

TEST_F(TransferJobTest, StoppingSaysWhatTheRadioHoldsAndWhichBackupRestoresIt) {
    const Memory before = patternMemory(1);
    VirtualPort port(unpaced(), before);
    ASSERT_TRUE(port.job.open());
    TransferOptions o = options(TransferKind::Write, toLink(patternMemory(2)));
    o.readFirst = true;
    o.keepBackups = false;  // the image read first is kept all the same
    port.job.start(o);
    port.run([&] { return port.job.phase() == TransferPhase::Write && port.job.blocksWritten() >= 100; });
    ASSERT_TRUE(port.job.running());
    ASSERT_FALSE(port.job.restoreBackup().empty());
    port.job.stop();
    ASSERT_EQ(port.results.size(), 1u);
    const TransferResult& r = port.results[0];
    EXPECT_EQ(r.outcome, TransferOutcome::Cancelled);
    EXPECT_EQ(port.pendingAtEnd, 0u);
    EXPECT_TRUE(r.restoreIsReadFirst);
    EXPECT_NE(r.restoreBackup.find("-before-write.img"), std::string::npos);
    EXPECT_EQ(backups(), std::vector<std::string>{r.restoreBackup});
    MemoryImage kept{};
    std::string error;
    ASSERT_TRUE(readImageFile(r.restoreBackup, kept, error)) << error;
    EXPECT_TRUE(std::equal(before.begin(), before.begin() + 0x1FE0, kept.begin()));
    EXPECT_EQ(resultText(r), "Writing stopped.\nThe radio is partly written: it accepted blocks 0 to " +
                                 std::to_string(r.blocksWritten - 1) + " of 509. The backup " + r.restoreBackup +
                                 " holds what the radio held before: write it to restore the radio.");

    // A stopped read leaves everything as it was.
    VirtualPort reader(unpaced(), before);
    ASSERT_TRUE(reader.job.open());
    reader.job.start(options(TransferKind::Read));
    reader.run([&] { return reader.job.busy(); });
    reader.job.stop();
    EXPECT_EQ(resultText(reader.results.at(0)), "Reading stopped.\nThe radio was not changed.");
}

TEST(TransferTimeLeft, LinearEstimateAndItsText) {
    EXPECT_DOUBLE_EQ(estimateSecondsLeft(100, 510, 10.0), 41.0);
    EXPECT_LT(estimateSecondsLeft(0, 510, 3.0), 0);
    EXPECT_LT(estimateSecondsLeft(510, 510, 52.0), 0);
    EXPECT_EQ(timeLeftText(41.0), "41 s left");
    EXPECT_EQ(timeLeftText(0.2), "1 s left");
    EXPECT_EQ(timeLeftText(125.2), "2 min 06 s left");
    EXPECT_EQ(timeLeftText(-1), "");
}

}  // namespace
}  // namespace ks340::sim::test
