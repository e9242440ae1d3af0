#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include <unistd.h>

#include "sim/FaultSchedule.h"
#include "sim/ImageFile.h"
#include "sim/SimOptions.h"

namespace ks340::sim {
namespace {

TEST(FaultScheduleParse, ReadsRatesAndEventLists) {
    auto rate = FaultSchedule::parse("0.05");
    ASSERT_TRUE(rate);
    EXPECT_DOUBLE_EQ(rate->rate(), 0.05);
    auto percent = FaultSchedule::parse("12.5%");
    ASSERT_TRUE(percent);
    EXPECT_DOUBLE_EQ(percent->rate(), 0.125);
    auto list = FaultSchedule::parse("7,1,300");
    ASSERT_TRUE(list);
    EXPECT_EQ(list->ordinals(), (std::set<std::uint64_t>{1, 7, 300}));
    auto never = FaultSchedule::parse("0");
    ASSERT_TRUE(never);
    EXPECT_FALSE(never->active());
}

TEST(FaultScheduleParse, RejectsWhatIsNeitherARateNorAList) {
    for (const char* bad : {"abc", "1,", ",1", "1,,2", "150%", "1.5", "-1", "0.1.2", "5x", "%"}) {
        std::string why;
        EXPECT_FALSE(FaultSchedule::parse(bad, &why)) << bad;
        EXPECT_FALSE(why.empty()) << bad;
    }
}

TEST(FaultScheduleHits, ListsHitTheirOrdinalsAndRatesFollowTheSeed) {
    SimRandom r(1);
    const auto list = FaultSchedule::atOrdinals({2, 4});
    std::vector<bool> hits;
    for (int i = 1; i <= 5; ++i) hits.push_back(list.hits(i, r));
    EXPECT_EQ(hits, (std::vector<bool>{false, true, false, true, false}));

    const auto rate = FaultSchedule::withRate(0.25);
    SimRandom a(99), b(99);
    int count = 0;
    for (int i = 1; i <= 4000; ++i) {
        const bool ha = rate.hits(i, a);
        EXPECT_EQ(ha, rate.hits(i, b));
        count += ha;
    }
    EXPECT_GT(count, 850);
    EXPECT_LT(count, 1150);
    SimRandom c(1);
    EXPECT_TRUE(FaultSchedule::withRate(1.0).hits(1, c));
    EXPECT_FALSE(FaultSchedule::withRate(0.0).hits(1, c));
}

SimOptionsResult parse(std::vector<std::string> args) { return parseSimOptions(args); }

TEST(SimOptionsParse, TakesEveryOption) {
    const auto r = parse({"--image",
                          "a.img",
                          "--save=b.img",
                          "--link",
                          "/tmp/radio",
                          "--baud",
                          "0",
                          "--reply-delay",
                          "15",
                          "--resend-timeout=40",
                          "--seed",
                          "12345678901",
                          "--drop-reply",
                          "5%",
                          "--corrupt-packet",
                          "3,9",
                          "--stray-bytes=0.5",
                          "--refuse-requests",
                          "2",
                          "--burst",
                          "--hangup-after",
                          "100",
                          "--wrong-byte",
                          "0x1F00",
                          "--wrong-byte",
                          "17",
                          "-v"});
    ASSERT_TRUE(r.ok) << r.error;
    const SimOptions& o = r.options;
    EXPECT_EQ(o.imagePath, "a.img");
    EXPECT_EQ(o.savePath, "b.img");
    EXPECT_EQ(o.effectiveSavePath(), "b.img");
    EXPECT_EQ(o.linkPath, "/tmp/radio");
    EXPECT_EQ(o.radio.baud, 0);
    EXPECT_EQ(o.radio.replyDelayMs, 15);
    EXPECT_EQ(o.radio.resendTimeoutMs, 40);
    EXPECT_EQ(o.radio.seed, 12345678901ULL);
    EXPECT_DOUBLE_EQ(o.radio.dropReply.rate(), 0.05);
    EXPECT_EQ(o.radio.corruptPacket.ordinals(), (std::set<std::uint64_t>{3, 9}));
    EXPECT_DOUBLE_EQ(o.radio.strayBytes.rate(), 0.5);
    EXPECT_EQ(o.radio.refuseRequests, 2);
    EXPECT_TRUE(o.radio.burst);
    EXPECT_EQ(o.radio.hangupAfter, 100);
    EXPECT_EQ(o.radio.wrongByteAddresses, (std::vector<int>{0x1F00, 17}));
    EXPECT_TRUE(o.verbose);
    EXPECT_TRUE(o.radio.trace);

    // --stray-bytes alone: in front of the first reply; the next word is
    // another option, not its value.
    const auto alone = parse({"--stray-bytes", "--burst"});
    ASSERT_TRUE(alone.ok) << alone.error;
    EXPECT_EQ(alone.options.radio.strayBytes.ordinals(), (std::set<std::uint64_t>{1}));
    EXPECT_TRUE(alone.options.radio.burst);
}

TEST(SimOptionsParse, RejectsBadCommandLines) {
    const std::vector<std::vector<std::string>> bad = {
        {"--bogus"},
        {"--baud"},
        {"--baud", "fast"},
        {"--baud", "-5"},
        {"--wrong-byte", "8192"},
        {"--wrong-byte", "0x"},
        {"--drop-reply", "often"},
        {"--image", "a.img", "--ks3", "b.ks3"},
        {"--burst=yes"},
        {"--seed", "-1"},
        {"--image", ""},
        {"extra"},
    };
    for (const auto& args : bad) {
        const auto r = parseSimOptions(args);
        EXPECT_FALSE(r.ok) << args[0];
        EXPECT_FALSE(r.error.empty()) << args[0];
    }
}

// ---------------------------------------------------------------------------

std::string tempPath(const char* name) {
    return testing::TempDir() + "ks340sim_" + std::to_string(::getpid()) + "_" + name;
}

TEST(ImageFiles, SaveAndLoadGiveBackTheSameBytes) {
    Memory m{};
    for (std::size_t i = 0; i < m.size(); ++i) m[i] = static_cast<std::uint8_t>(i * 31 + 5);
    const std::string path = tempPath("roundtrip.img");
    {
        std::ofstream f(path, std::ios::binary);
        f << std::string(20000, 'x');  // a longer file is replaced whole
    }
    std::string error;
    ASSERT_TRUE(saveImageFile(path, m, error)) << error;
    Memory back = blankMemory();
    ASSERT_TRUE(loadImageFile(path, back, error)) << error;
    EXPECT_EQ(back, m);
    std::remove(path.c_str());
}

TEST(ImageFiles, WrongSizesAndMissingPlacesAreErrors) {
    const std::string path = tempPath("short.img");
    {
        std::ofstream f(path, std::ios::binary);
        f << std::string(8191, '\x11');
    }
    Memory m = blankMemory();
    std::string error;
    EXPECT_FALSE(loadImageFile(path, m, error));
    EXPECT_NE(error.find("8191"), std::string::npos);
    EXPECT_EQ(m, blankMemory());
    {
        std::ofstream f(path, std::ios::binary);
        f << std::string(8193, '\x11');
    }
    EXPECT_FALSE(loadImageFile(path, m, error));
    EXPECT_EQ(m, blankMemory());
    std::remove(path.c_str());
    EXPECT_FALSE(loadImageFile(path, m, error));
    EXPECT_FALSE(error.empty());
    error.clear();
    EXPECT_FALSE(saveImageFile(path + ".d/none/x.img", blankMemory(), error));
    EXPECT_FALSE(error.empty());
}

TEST(SimCommandLine, SeveralRadiosShareOptionsAndTakeTheirOwn) {
    const SimCommandLine line =
        parseSimCommandLine({"--count", "3", "--link", "/tmp/r", "--save", "out/a.img", "--drop-reply", "5%", "--radio",
                             "2", "--hangup-after", "7", "--link", "/tmp/two"});
    ASSERT_TRUE(line.ok) << line.error;
    ASSERT_EQ(line.radios.size(), 3u);
    EXPECT_EQ(line.radios[0].linkPath, "/tmp/r1");
    EXPECT_EQ(line.radios[1].linkPath, "/tmp/two");
    EXPECT_EQ(line.radios[2].savePath, "out/a-3.img");
    EXPECT_EQ(line.radios[1].radio.hangupAfter, 7);
    EXPECT_EQ(line.radios[2].radio.hangupAfter, -1);
    EXPECT_DOUBLE_EQ(line.radios[2].radio.dropReply.rate(), 0.05);
    EXPECT_EQ(line.radios[0].name, "radio 1");

    const SimCommandLine one = parseSimCommandLine({"--link", "/tmp/r", "--image", "a.img"});
    ASSERT_TRUE(one.ok);
    EXPECT_EQ(one.radios[0].linkPath, "/tmp/r");  // a lone radio as before
    EXPECT_EQ(one.radios[0].effectiveSavePath(), "a.img");
    const SimCommandLine shared = parseSimCommandLine({"--count", "2", "--image", "a.img"});
    ASSERT_TRUE(shared.ok);
    EXPECT_EQ(shared.radios[1].effectiveSavePath(), "");  // never two radios saving into one file

    for (std::vector<std::string> bad : {std::vector<std::string>{"--count", "2", "--radio", "3", "--burst"},
                                         {"--radio", "1", "--count", "2"},
                                         {"--count", "0"},
                                         {"--count", "2", "--radio", "1", "--nonsense"}})
        EXPECT_FALSE(parseSimCommandLine(bad).ok) << bad[0] << " " << bad[1];
    EXPECT_EQ(numberedPath("dir.x/file", 2), "dir.x/file-2");
}

}  // namespace
}  // namespace ks340::sim
