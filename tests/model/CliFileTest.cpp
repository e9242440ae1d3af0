// Runs the built ks340ctl on setting files (not built in the core-only
// builds, which have no ks340ctl).
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "model/Defaults.h"
#include "model/SettingFile.h"
#include "model/SettingsRegistry.h"
#include "model/Signalling.h"

namespace fs = std::filesystem;

namespace ks340 {

namespace {

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

class CliFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* env = std::getenv("KS340_BINARY_DIR");
        const fs::path binDir = env && *env ? env : KS340_BINARY_DIR;
        tool_ = binDir / "src" / "cli" / "ks340ctl";
        ASSERT_TRUE(fs::exists(tool_)) << tool_ << " was not built";
        std::string pattern = (fs::temp_directory_path() / "ks340-cli-XXXXXX").string();
        dir_ = ::mkdtemp(pattern.data());
    }
    void TearDown() override {
        std::error_code ec;
        if (!dir_.empty()) fs::remove_all(dir_, ec);
    }

    // Runs the tool; returns its exit status and keeps stdout and stderr.
    int run(const std::string& args) {
        const std::string cmd = "'" + tool_.string() + "' " + args + " >'" + (dir_ / "out.txt").string() + "' 2>'" +
                                (dir_ / "err.txt").string() + "'";
        const int status = std::system(cmd.c_str());
        out_ = slurp(dir_ / "out.txt");
        err_ = slurp(dir_ / "err.txt");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string file(const std::string& name) const { return (dir_ / name).string(); }

    fs::path tool_;
    fs::path dir_;
    std::string out_;
    std::string err_;
};

}  // namespace

TEST_F(CliFileTest, NewWritesTheDefaultConfiguration) {
    ASSERT_EQ(run("new -o '" + file("new.ks3") + "'"), 0) << err_;
    EXPECT_EQ(slurp(file("new.ks3")), formatSettingFile(newRadioSettings()));
    EXPECT_EQ(run("new"), 2);
    EXPECT_NE(err_.find("Usage"), std::string::npos);
    EXPECT_EQ(run("new -o"), 2);
    EXPECT_EQ(run("new --bogus -o x.ks3"), 2);
    EXPECT_EQ(run("new --help"), 0);
    EXPECT_NE(out_.find("ks340ctl new [--model MODEL]"), std::string::npos);
    EXPECT_EQ(run("new -o '" + file("no/such/dir/x.ks3") + "'"), 1);
    EXPECT_FALSE(err_.empty());
}

TEST_F(CliFileTest, CheckReportsTheFailingLine) {
    ASSERT_EQ(run("new -o '" + file("a.ks3") + "'"), 0);
    EXPECT_EQ(run("check '" + file("a.ks3") + "'"), 0) << err_;
    EXPECT_TRUE(err_.empty());

    std::string text = slurp(file("a.ks3"));
    text.replace(text.find("1,0,0,0,0,0,0,208,0"), 19, "1,0,0,0,0,0,0,999,0");
    std::ofstream(file("bad.ks3"), std::ios::binary) << text;
    EXPECT_EQ(run("check '" + file("bad.ks3") + "'"), 1);
    EXPECT_NE(err_.find("bad.ks3"), std::string::npos);
    EXPECT_NE(err_.find("line 3"), std::string::npos);
    EXPECT_EQ(std::count(err_.begin(), err_.end(), '\n'), 1) << err_;

    std::ofstream(file("short.ks3"), std::ios::binary) << "0,0,0,X\r\n0,0,0,0,208,208,0,0,0,0,0,0,1,0,0,0,0\r\n";
    // A file that ends early loads, with a warning that makes check fail.
    EXPECT_EQ(run("check '" + file("short.ks3") + "'"), 1);
    EXPECT_NE(err_.find("warning"), std::string::npos);
    EXPECT_NE(err_.find("line 3"), std::string::npos);

    EXPECT_EQ(run("check"), 2);
    EXPECT_EQ(run("check '" + file("missing.ks3") + "'"), 1);
}

TEST_F(CliFileTest, ConvertRunsTheToneCollectStep) {
    RadioSettings s = newRadioSettings();
    s.toneSequence.toneset = kUserToneSet;
    s.toneSequence.userTone[0] = "1500";
    s.toneSequence.userTone[14] = "2500";
    s.header.lcdDisplayLogo = "Conv";
    ASSERT_TRUE(writeSettingFile(file("in.ks3"), s).ok);
    ASSERT_EQ(run("convert '" + file("in.ks3") + "' -o '" + file("out.ks3") + "'"), 0) << err_;

    RadioSettings back = newRadioSettings();
    ASSERT_TRUE(readSettingFile(file("out.ks3"), back).ok);
    EXPECT_EQ(back.toneSequence.toneFrequency[0], 1500);
    EXPECT_EQ(back.toneSequence.toneFrequency[14], 2500);
    EXPECT_EQ(back.toneSequence.toneFrequency[1], 0);  // " " reads as 0
    EXPECT_EQ(back.header.lcdDisplayLogo, "Conv");

    EXPECT_EQ(run("convert '" + file("in.ks3") + "'"), 2);
    EXPECT_EQ(run("convert -o '" + file("x.ks3") + "'"), 2);
    // A file that does not load leaves no output behind.
    std::ofstream(file("empty.ks3"), std::ios::binary) << "";
    EXPECT_EQ(run("convert '" + file("empty.ks3") + "' -o '" + file("never.ks3") + "'"), 1);
    EXPECT_FALSE(fs::exists(file("never.ks3")));
}

TEST_F(CliFileTest, ShowListsHeaderAndProgrammedChannels) {
    RadioSettings s = newRadioSettings();
    s.header.model = 1;
    s.header.radioBand = 1;
    s.header.lcdDisplayLogo = "Caf\xE9";
    ChannelEntry& c = s.channelTable.groups[0].channels[3];
    c.label = "Base";
    c.rxFrequency = "150.12500";
    c.txFrequency = "155.00000";
    c.rxSquelch = 1;
    c.txSquelch = 39;
    c.txInverseDcs = 1;
    s.channelTable.groups[0].channels[4].label = "NoFreq";  // not programmed: not listed
    ASSERT_TRUE(writeSettingFile(file("show.ks3"), s).ok);
    ASSERT_EQ(run("show '" + file("show.ks3") + "'"), 0) << err_;
    EXPECT_NE(out_.find("KS-390 Series"), std::string::npos);
    EXPECT_NE(out_.find("VHF2 (148 ~ 174Mhz)"), std::string::npos);
    EXPECT_NE(out_.find("Internal"), std::string::npos);
    EXPECT_NE(out_.find("Caf\xC3\xA9"), std::string::npos);  // shown as UTF-8
    EXPECT_NE(out_.find("1 programmed"), std::string::npos);
    EXPECT_NE(out_.find("150.12500"), std::string::npos);
    EXPECT_NE(out_.find("CTCSS : 67.0"), std::string::npos);
    EXPECT_NE(out_.find("Inv DCS : 023"), std::string::npos);
    EXPECT_EQ(out_.find("NoFreq"), std::string::npos);
    EXPECT_EQ(run("show --help"), 0);
    EXPECT_EQ(run("show a b"), 2);
}

namespace {

// A configuration with every field the setting file holds at a random value,
// filled through the settings table: numbers anywhere in their stored range,
// texts of any bytes but NUL, CR and LF.
RadioSettings randomConfiguration(unsigned seed) {
    std::mt19937 rng(seed);
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    RadioSettings s = newRadioSettings();
    int left = kChannelCapacity;
    s.channelTable.groups[0].capability = pick(0, kChannelCapacity);
    for (int g = 1; g < kGroupSlots; ++g) {
        s.channelTable.groups[static_cast<std::size_t>(g)].capability = pick(0, std::min(left, 20));
        left -= s.channelTable.groups[static_cast<std::size_t>(g)].capability;
    }
    for (const std::string& key : settingKeys(s)) {
        const SettingRef ref = *findSetting(key);
        if (ref.info->groupInteger == &ChannelGroup::capability) continue;  // chosen above
        if (std::string* t = textField(s, ref)) {
            t->clear();
            for (int n = pick(0, 12); n > 0; --n) t->push_back(static_cast<char>(pick(0x20, 0xFF)));
            if (*t == "NULL") t->clear();
        } else if (ref.info->checkedOnLoad) {
            *integerField(s, ref) = pick(ref.info->minimum, ref.info->maximum);
        } else {
            *integerField(s, ref) = pick(0, 2) ? pick(-5, 300) : pick(INT_MIN, INT_MAX);
        }
    }
    return s;
}

}  // namespace

TEST_F(CliFileTest, JsonRoundTripKeepsEveryByte) {
    for (unsigned seed = 1; seed <= 4; ++seed) {
        const RadioSettings s = randomConfiguration(seed);
        ASSERT_TRUE(writeSettingFile(file("in.ks3"), s).ok);
        ASSERT_EQ(run("export-json '" + file("in.ks3") + "' -o '" + file("in.json") + "'"), 0) << err_;
        ASSERT_EQ(run("import-json '" + file("in.json") + "' -o '" + file("back.ks3") + "'"), 0) << err_;
        EXPECT_EQ(slurp(file("back.ks3")), slurp(file("in.ks3"))) << "seed " << seed;
    }
    // One setting per line, by key, and list settings in the pages' words.
    const std::string json = slurp(file("in.json"));
    EXPECT_EQ(std::count(json.begin(), json.end(), '\n'),
              static_cast<long>(settingKeys(randomConfiguration(4)).size()) + 2);
    EXPECT_NE(json.find("\n  \"header.model\": \"KS-3"), std::string::npos);
    EXPECT_NE(json.find("].rxSquelch\": \""), std::string::npos);  // squelch as the grid shows it
    // An unknown key is refused and nothing is written.
    std::ofstream(file("bad.json"), std::ios::binary) << "{\"option.beep\": \"Enable\", \"option.nothing\": 1}";
    EXPECT_EQ(run("import-json '" + file("bad.json") + "' -o '" + file("bad.ks3") + "'"), 1);
    EXPECT_NE(err_.find("option.nothing"), std::string::npos) << err_;
    EXPECT_FALSE(fs::exists(file("bad.ks3")));
}

TEST_F(CliFileTest, SetChangesSettingsInThePagesWords) {
    ASSERT_EQ(run("new --model KS-390 --band VHF2 --speaker External --logo 'FLEET 1' -o '" + file("a.ks3") + "'"), 0)
        << err_;
    ASSERT_EQ(run("set '" + file("a.ks3") +
                  "' option.beep=Disable 'header.lcdDisplayLogo=FLEET 7' 'channel[3].rxFrequency=150.0125' -o '" +
                  file("b.ks3") + "'"),
              0)
        << err_;
    ASSERT_EQ(run("get '" + file("b.ks3") +
                  "' header.model header.radioBand header.speaker option.beep header.lcdDisplayLogo "
                  "'channel[3].rxFrequency'"),
              0)
        << err_;
    EXPECT_EQ(out_, "KS-390 Series\nVHF2 (148 ~ 174Mhz)\nExternal\nDisable\nFLEET 7\n150.01250\n");

    // Refused values name the key and the allowed values; nothing is written.
    EXPECT_EQ(run("set '" + file("b.ks3") + "' option.beep=Loud -o '" + file("c.ks3") + "'"), 1);
    EXPECT_NE(err_.find("option.beep"), std::string::npos);
    EXPECT_NE(err_.find("Disable, Enable"), std::string::npos);
    EXPECT_EQ(run("set '" + file("b.ks3") + "' option.beep=Enable no.such=1 -o '" + file("c.ks3") + "'"), 1);
    EXPECT_FALSE(fs::exists(file("c.ks3")));
    EXPECT_EQ(run("set '" + file("b.ks3") + "' beep -o '" + file("c.ks3") + "'"), 2);
    EXPECT_EQ(run("new --model KS-999 -o '" + file("c.ks3") + "'"), 1);
    EXPECT_FALSE(fs::exists(file("c.ks3")));
    EXPECT_EQ(run("keys"), 0);
    EXPECT_NE(out_.find("option.beep\tOption / Beep\tDisable, Enable\n"), std::string::npos);
}

TEST_F(CliFileTest, WarningsStopEncodeUnlessForced) {
    std::string text = formatSettingFile(newRadioSettings());
    // Line 4, channel 1: a garbled bandwidth field.
    const std::size_t line4 = text.find("NULL,0,0,");
    text.replace(line4, 9, "Mine,x,1,");
    std::ofstream(file("garbled.ks3"), std::ios::binary) << text;
    EXPECT_EQ(run("check '" + file("garbled.ks3") + "'"), 1);
    EXPECT_NE(err_.find("line 4"), std::string::npos) << err_;
    EXPECT_NE(err_.find("channel[1].bandwidth"), std::string::npos) << err_;
    EXPECT_EQ(run("encode '" + file("garbled.ks3") + "' -o '" + file("x.img") + "'"), 1);
    EXPECT_NE(err_.find("--force"), std::string::npos) << err_;
    EXPECT_FALSE(fs::exists(file("x.img")));
    EXPECT_EQ(run("encode --force '" + file("garbled.ks3") + "' -o '" + file("x.img") + "'"), 0) << err_;
    EXPECT_EQ(fs::file_size(file("x.img")), 8192u);
}

}  // namespace ks340
