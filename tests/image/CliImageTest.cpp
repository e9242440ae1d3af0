// ks340ctl encode, decode and dump, run as the user runs them (not built in
// the core-only builds, which have no ks340ctl).
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "image/ImageTestSupport.h"
#include "model/SettingFile.h"

namespace ks340 {
namespace {

namespace fs = std::filesystem;

class CliImage : public ::testing::Test {
protected:
    void SetUp() override {
        tool_ = fs::path(KS340_BINARY_DIR) / "src" / "cli" / "ks340ctl";
        ASSERT_TRUE(fs::exists(tool_)) << tool_ << " was not built";
        dir_ = fs::temp_directory_path() / ("ks340_cli_image_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        if (!dir_.empty()) fs::remove_all(dir_);
    }

    // Runs the tool; returns its exit status, stderr in `errors`.
    int run(const std::string& args, std::string* errors = nullptr) {
        const fs::path err = dir_ / "stderr.txt";
        const std::string cmd =
            tool_.string() + " " + args + " >" + (dir_ / "stdout.txt").string() + " 2>" + err.string();
        const int status = std::system(cmd.c_str());
        if (errors) *errors = slurp(err);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    static std::string slurp(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void write(const std::string& name, const std::string& bytes) {
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
    }

    fs::path tool_;
    fs::path dir_;
};

TEST_F(CliImage, EncodeDecodeEncodeKeepsTheBytes) {
    test::RandomConfig random(31);
    RadioSettings s = random.make();
    prepareForSave(s);
    write("in.ks3", formatSettingFile(s));
    ASSERT_EQ(run("encode " + path("in.ks3") + " -o " + path("a.img")), 0);
    const std::string a = slurp(path("a.img"));
    ASSERT_EQ(a.size(), 8192u);
    const MemoryImage expected = test::prepareAndEncode(s);
    EXPECT_EQ(a, std::string(expected.begin(), expected.end()));

    ASSERT_EQ(run("decode " + path("a.img") + " -o " + path("b.ks3")), 0);
    ASSERT_EQ(run("encode " + path("b.ks3") + " -o " + path("b.img")), 0);
    EXPECT_EQ(slurp(path("b.img")), a);
}

TEST_F(CliImage, DecodeOverABaseAndDiffAgainstTheImage) {
    RadioSettings s = newRadioSettings();
    s.modem.commonSentence[0] = "KEEP ME";
    prepareForSave(s);
    write("base.ks3", formatSettingFile(s));
    ASSERT_EQ(run("new -o " + path("new.ks3")), 0);
    ASSERT_EQ(run("encode " + path("new.ks3") + " -o " + path("new.img")), 0);
    // A file written and read back shows no difference.
    EXPECT_EQ(run("diff " + path("new.ks3") + " " + path("new.img")), 0);
    EXPECT_EQ(run("diff " + path("new.img") + " " + path("new.ks3")), 0);

    ASSERT_EQ(run("decode " + path("new.img") + " --base " + path("base.ks3") + " -o " + path("over.ks3")), 0);
    RadioSettings over = newRadioSettings();
    ASSERT_TRUE(readSettingFile(path("over.ks3"), over).ok);
    EXPECT_EQ(over.modem.commonSentence[0], "KEEP ME");
    ASSERT_EQ(run("decode " + path("new.img") + " -o " + path("fresh.ks3")), 0);
    EXPECT_NE(slurp(path("fresh.ks3")), slurp(path("over.ks3")));
    std::string errors;
    EXPECT_EQ(run("decode " + path("new.img") + " --base " + path("none.ks3") + " -o " + path("x.ks3"), &errors), 1);
    EXPECT_NE(errors.find("none.ks3"), std::string::npos);
    EXPECT_FALSE(fs::exists(path("x.ks3")));
}

TEST_F(CliImage, DumpShowsASettingFileAsItsEncodedImage) {
    ASSERT_EQ(run("new -o " + path("new.ks3")), 0);
    ASSERT_EQ(run("encode " + path("new.ks3") + " -o " + path("new.img")), 0);
    ASSERT_EQ(run("dump " + path("new.ks3") + " -o " + path("fromfile.txt")), 0);
    ASSERT_EQ(run("dump " + path("new.img") + " -o " + path("fromimage.txt")), 0);
    const std::string map = slurp(path("fromfile.txt"));
    EXPECT_EQ(map, slurp(path("fromimage.txt")));
    MemoryImage image{};
    const std::string bytes = slurp(path("new.img"));
    std::copy(bytes.begin(), bytes.end(), image.begin());
    EXPECT_EQ(map, formatMemoryMap(image));
}

TEST_F(CliImage, RejectsImagesOfTheWrongSize) {
    write("short.img", std::string(8191, '\0'));
    write("long.img", std::string(8193, '\0'));
    std::string errors;
    EXPECT_EQ(run("decode " + path("short.img") + " -o " + path("x.ks3"), &errors), 1);
    EXPECT_NE(errors.find("8191 bytes"), std::string::npos) << errors;
    EXPECT_FALSE(fs::exists(path("x.ks3")));
    EXPECT_EQ(run("dump " + path("long.img"), &errors), 1);
    EXPECT_NE(errors.find("8192"), std::string::npos) << errors;
}

TEST_F(CliImage, UsageErrors) {
    EXPECT_EQ(run("encode"), 2);
    EXPECT_EQ(run("encode " + path("in.ks3")), 2);
    EXPECT_EQ(run("decode a.img b.img -o c.ks3"), 2);
    EXPECT_EQ(run("dump --bogus x.img"), 2);
    EXPECT_EQ(run("encode " + path("missing.ks3") + " -o " + path("y.img")), 1);
    EXPECT_FALSE(fs::exists(path("y.img")));
}

}  // namespace
}  // namespace ks340
