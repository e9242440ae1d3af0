// Runs the built ks340ctl on setting files (not built in the core-only
// builds, which have no ks340ctl).
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "model/Defaults.h"
#include "model/SettingFile.h"
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
    EXPECT_NE(out_.find("ks340ctl new -o FILE.ks3"), std::string::npos);
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
    EXPECT_EQ(run("check '" + file("short.ks3") + "'"), 0);
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

}  // namespace ks340
