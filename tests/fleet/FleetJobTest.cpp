#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "fleet/FleetJob.h"
#include "fleet/Sha256.h"
#include "fleet/UnitList.h"
#include "model/Defaults.h"

namespace ks340::fleet {
namespace {

const char* kList =
    "Unit,encode.aniSequence,header.lcdDisplayLogo\n"
    "R01,1,FLEET 1\n"
    "R02,2,FLEET 2\n"
    "R03,3,\n";

TEST(Sha256, MatchesTheStandardVectors) {
    const std::string abc = "abc";
    EXPECT_EQ(sha256Hex(reinterpret_cast<const std::uint8_t*>(abc.data()), abc.size()),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    const std::string two = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";  // 56 bytes: two tail blocks
    EXPECT_EQ(sha256Hex(reinterpret_cast<const std::uint8_t*>(two.data()), two.size()),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
}

TEST(UnitList, BuildsEveryUnitFromTheBase) {
    const RadioSettings base = newRadioSettings();
    const FleetPlan plan = planFleet(base, kList);
    ASSERT_TRUE(plan.ok()) << formatUnitListError(plan.errors.front());
    ASSERT_EQ(plan.units.size(), 3u);
    EXPECT_EQ(plan.units[1].settings.selcallEncode.aniSequence, "2");
    EXPECT_EQ(plan.units[1].settings.header.lcdDisplayLogo, "FLEET 2");
    EXPECT_EQ(plan.units[2].settings.header.lcdDisplayLogo, base.header.lcdDisplayLogo);  // empty cell: the base's
    EXPECT_NE(plan.units[0].imageSha256, plan.units[1].imageSha256);
    EXPECT_EQ(plan.units[0].imageSha256, sha256Hex(plan.units[0].image.data(), plan.units[0].image.size()));
}

TEST(UnitList, OneBadRowRefusesTheWholeListWithEveryFault) {
    const FleetPlan plan = planFleet(newRadioSettings(),
                                     "Unit,encode.aniSequence,header.lcdDisplayLogo\r\n"
                                     "R01,1,FLEET 1\r\n"
                                     "R02,2,A LOGO FAR TOO LONG\r\n"
                                     "r01,3,X\r\n"
                                     "R/4,1,X\r\n"
                                     "R05,1\r\n");
    EXPECT_FALSE(plan.ok());
    EXPECT_TRUE(plan.units.empty());
    ASSERT_EQ(plan.errors.size(), 4u);
    EXPECT_EQ(plan.errors[0].line, 3);
    EXPECT_EQ(plan.errors[0].column, "header.lcdDisplayLogo");
    EXPECT_EQ(plan.errors[1].line, 4);
    EXPECT_EQ(plan.errors[1].column, "Unit");  // named twice, any case
    EXPECT_EQ(plan.errors[2].column, "Unit");  // not a file name
    EXPECT_EQ(plan.errors[3].line, 6);         // too few fields
    EXPECT_EQ(formatUnitListError(plan.errors[0]).rfind("line 3, column header.lcdDisplayLogo: ", 0), 0u);

    const FleetPlan headings = planFleet(newRadioSettings(), "Name,no.such.key\nR01,1\n");
    ASSERT_FALSE(headings.ok());
    EXPECT_NE(headings.errors.front().reason.find("Unit"), std::string::npos);
    const FleetPlan unknown = planFleet(newRadioSettings(), "Unit,no.such.key\nR01,1\n");
    ASSERT_EQ(unknown.errors.size(), 1u);
    EXPECT_EQ(unknown.errors[0].column, "no.such.key");
}

// A port whose transfers end only when the test says so.
struct FakePort : PortDriver {
    std::vector<std::string> calls;
    int wakeMs = -1;
    void startRead() override { calls.push_back("read"); }
    void startWrite(const MemoryImage&) override { calls.push_back("write"); }
    void cancel() override { calls.push_back("cancel"); }
    void wakeAfter(int ms) override { wakeMs = ms; }
};

struct Recorder : FleetListener {
    std::vector<std::pair<int, int>> prompts;
    bool finished = false;
    void promptNeeded(int port, int unit) override { prompts.push_back({port, unit}); }
    void jobFinished() override { finished = true; }
};

class SchedulerTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("ks340-fleet-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        plan_ = planFleet(newRadioSettings(), kList).units;
        ASSERT_EQ(plan_.size(), 3u);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::unique_ptr<FleetScheduler> make(bool autoMode, const JobState& previous = {}) {
        state_ = mergeJobState(plan_, previous, {});
        FleetOptions o;
        o.autoMode = autoMode;
        o.backupDirectory = dir_.string();
        o.clockMs = [this] { return clock_; };
        auto s = std::make_unique<FleetScheduler>(plan_, state_, o, recorder_);
        for (FakePort& p : ports_) s->addPort("/dev/ttyUSB" + std::to_string(&p - ports_), p);
        return s;
    }
    static StepOutcome ok() { return {true, true, false, 510, "Reading Data Complete!"}; }
    // A complete image of the unit's own configuration, as a radio of the
    // base's model and band holds it after the write.
    MemoryImage radio(int unit) const { return plan_[static_cast<std::size_t>(unit)].image; }
    // The same radio before: the first unit's image with another logo, model and band as given.
    MemoryImage otherRadio(int model, int band) const {
        RadioSettings s = newRadioSettings();
        s.header.model = model;
        s.header.radioBand = band;
        prepareForTransfer(s);
        return encodeMemoryImage(s);
    }
    const UnitRecord& unit(const std::string& name) const {
        for (const UnitRecord& r : state_.units)
            if (r.name == name) return r;
        throw std::runtime_error("no unit " + name);
    }

    std::filesystem::path dir_;
    std::vector<UnitPlan> plan_;
    JobState state_;
    Recorder recorder_;
    FakePort ports_[2];
    std::int64_t clock_ = 1'765'000'000'000;
};

TEST_F(SchedulerTest, MixedResultIsReportedUnitByUnit) {
    auto s = make(false);
    s->start();
    ASSERT_EQ(recorder_.prompts.size(), 2u);  // each port asks for its radio
    s->release(0);
    s->release(1);
    ASSERT_EQ(ports_[0].calls, std::vector<std::string>{"read"});

    // Port 0, R01: read first, write, read back, compare: done.
    s->readFinished(0, ok(), otherRadio(0, 0));
    EXPECT_EQ(ports_[0].calls.back(), "write");
    s->writeFinished(0, ok());
    EXPECT_EQ(ports_[0].calls.back(), "read");
    clock_ += 20'000;
    s->readFinished(0, ok(), radio(0));
    // Port 1, R02: a VHF2 radio for a UHF2 configuration is never written.
    s->readFinished(1, ok(), otherRadio(0, 1));
    EXPECT_EQ(ports_[1].calls, std::vector<std::string>{"read"});
    // Port 0 again, R03: the write stops midway.
    s->release(0);
    s->readFinished(0, ok(), otherRadio(0, 0));
    s->progress(0, 212, 510);
    s->writeFinished(0, {false, true, true, 212, "Communication Error!!"});

    EXPECT_TRUE(recorder_.finished);
    EXPECT_FALSE(s->allDone());
    EXPECT_EQ(s->ports()[0].phase, PortPhase::Lost);
    const UnitRecord& r1 = unit("R01");
    EXPECT_EQ(r1.status, UnitStatus::Done);
    EXPECT_EQ(r1.verify, "match");
    EXPECT_EQ(r1.endMs - r1.startMs, 20'000);
    EXPECT_TRUE(std::filesystem::exists(r1.backupFile));
    const UnitRecord& r2 = unit("R02");
    EXPECT_EQ(r2.failedStep, UnitStep::ModelCheck);
    EXPECT_NE(r2.reason.find("VHF2"), std::string::npos);
    EXPECT_TRUE(r2.imageSha256.empty());  // nothing written
    const UnitRecord& r3 = unit("R03");
    EXPECT_EQ(r3.failedStep, UnitStep::Write);
    EXPECT_TRUE(r3.writeStoppedMidway);
    EXPECT_NE(r3.reason.find("unknown state"), std::string::npos);
    EXPECT_NE(r3.reason.find("ks340ctl write " + r3.backupFile + " --port /dev/ttyUSB0"), std::string::npos);

    const std::string csv = fleetReportCsv(state_);
    EXPECT_EQ(csv.substr(0, csv.find('\n') + 1),
              "Unit,Port,Start,End,Result,Step,Reason,Backup,SHA-256,Verify,Read First\r\n");
    EXPECT_NE(csv.find("R01,/dev/ttyUSB0,2025-12-06T05:46:40Z,2025-12-06T05:47:00Z,done,,," + r1.backupFile + "," +
                       plan_[0].imageSha256 + ",match,yes\r\n"),
              std::string::npos)
        << csv;
    EXPECT_NE(csv.find("R02,/dev/ttyUSB1,"), std::string::npos);
    EXPECT_NE(csv.find(",failed,model check,"), std::string::npos);
}

TEST_F(SchedulerTest, FailedReadFirstOrRefusedWriteNeverLeavesARadioHalfWritten) {
    auto s = make(false);
    s->start();
    s->release(0);
    // A radio that answered but could not be read is not written.
    s->readFinished(0, {false, true, false, 90, "Communication Error!!"}, {});
    EXPECT_EQ(ports_[0].calls, std::vector<std::string>{"read"});
    EXPECT_EQ(unit("R01").failedStep, UnitStep::ReadFirst);
    // Nobody answered in prompt mode: the same unit is asked for again.
    s->release(1);
    s->readFinished(1, {false, false, false, 0, "Communication Error!!"}, {});
    EXPECT_EQ(recorder_.prompts.back(), (std::pair<int, int>{1, 1}));
    EXPECT_EQ(unit("R02").status, UnitStatus::Pending);
    // A refused write request: nothing was written, no restore needed.
    s->release(1);
    s->readFinished(1, ok(), otherRadio(0, 0));
    s->writeFinished(1, {false, false, false, 0, "Communication Error!!"});
    EXPECT_FALSE(unit("R02").writeStoppedMidway);
    EXPECT_NE(unit("R02").reason.find("nothing was written"), std::string::npos);
}

TEST_F(SchedulerTest, AutomaticModePollsAndSkipsTheRadioJustProgrammed) {
    auto s = make(true);
    s->start();
    EXPECT_EQ(ports_[0].calls, std::vector<std::string>{"read"});
    clock_ += 1300;
    s->readFinished(0, {false, false, false, 0, "Communication Error!!"}, {});
    EXPECT_EQ(ports_[0].wakeMs, 700);  // one request every 2 s
    s->wake(0);
    s->radioAnswered(0);
    EXPECT_EQ(unit("R01").status, UnitStatus::InProgress);
    s->readFinished(0, ok(), otherRadio(0, 0));
    s->writeFinished(0, ok());
    s->readFinished(0, ok(), radio(0));
    EXPECT_EQ(unit("R01").status, UnitStatus::Done);
    // Port 0 polls again and finds the same radio: R03 (the next free unit) waits.
    s->radioAnswered(0);
    s->readFinished(0, ok(), radio(0));
    EXPECT_EQ(unit("R03").status, UnitStatus::Pending);
    EXPECT_EQ(s->ports()[0].phase, PortPhase::Polling);
    // Port 1: a radio of another band fails; the port takes no radio until it has been taken off.
    s->radioAnswered(1);
    s->readFinished(1, ok(), otherRadio(0, 1));
    EXPECT_EQ(unit("R02").failedStep, UnitStep::ModelCheck);
    s->wake(1);
    s->radioAnswered(1);
    EXPECT_EQ(unit("R03").status, UnitStatus::Pending);
    s->readFinished(1, ok(), otherRadio(0, 1));
    s->wake(1);
    s->readFinished(1, {false, false, false, 0, "Communication Error!!"}, {});
    s->wake(1);
    s->radioAnswered(1);
    EXPECT_EQ(unit("R03").status, UnitStatus::InProgress);
}

TEST_F(SchedulerTest, StopFinishesTheWriteAndAbandonNamesTheRestore) {
    auto s = make(false);
    s->start();
    s->release(0);
    s->readFinished(0, ok(), otherRadio(0, 0));
    s->progress(0, 10, 510);
    s->stop();
    EXPECT_EQ(s->ports()[1].phase, PortPhase::Stopped);  // was asking for a radio
    EXPECT_TRUE(s->writeInProgress());
    EXPECT_FALSE(recorder_.finished);
    s->abandon();
    EXPECT_EQ(ports_[0].calls.back(), "cancel");
    EXPECT_TRUE(unit("R01").writeStoppedMidway);
    EXPECT_NE(unit("R01").reason.find("ks340ctl write"), std::string::npos);
    EXPECT_EQ(unit("R02").status, UnitStatus::Pending);
    EXPECT_TRUE(recorder_.finished);
}

TEST_F(SchedulerTest, ResumedJobRunsOnlyTheUnitsNotDone) {
    JobState previous;
    for (const char* name : {"R01", "R02", "OLD"}) {
        previous.units.emplace_back();
        previous.units.back().name = name;
    }
    previous.units[0].status = UnitStatus::Done;
    previous.units[1].status = UnitStatus::InProgress;  // killed midway
    previous.units[2].status = UnitStatus::Done;
    EXPECT_EQ(mergeJobState(plan_, previous, {"R01"}).units[0].status, UnitStatus::Pending);  // --redo
    auto s = make(false, previous);
    ASSERT_EQ(state_.units.size(), 4u);
    EXPECT_EQ(state_.units[3].name, "OLD");
    s->start();
    ASSERT_EQ(recorder_.prompts.size(), 2u);
    EXPECT_EQ(state_.units[static_cast<std::size_t>(recorder_.prompts[0].second)].name, "R02");
    EXPECT_EQ(state_.units[static_cast<std::size_t>(recorder_.prompts[1].second)].name, "R03");
    EXPECT_EQ(unknownUnits(plan_, {"R02", "R99"}), std::vector<std::string>{"R99"});
}

}  // namespace
}  // namespace ks340::fleet
