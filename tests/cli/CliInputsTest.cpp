// Every input of ks340ctl and ks340sim: a clear error for anything that is
// not a regular file of a fitting size, never a crash, a hang or a runaway
// read; the kind of a file told by its contents, not its name.
#include <sys/stat.h>
#include <unistd.h>

#include "cli/CliRun.h"

namespace ks340::cli::test {

using fileio::test::spit;

namespace {

class CliInputsTest : public CliRun {
protected:
    void SetUp() override {
        CliRun::SetUp();
        ASSERT_EQ(run("new -o a.ks3"), 0) << err_;
        ASSERT_EQ(run("encode a.ks3 -o a.img"), 0) << err_;
    }
};

}  // namespace

TEST_F(CliInputsTest, DirectoriesFifosAndDevicesAreRefusedAtOnce) {
    ::mkdir(file("d.img").c_str(), 0700);
    ::mkfifo(file("f.img").c_str(), 0600);
    ::symlink("/dev/zero", file("z.img").c_str());
    const struct {
        std::string input, reason;
    } cases[] = {{"d.img", "is a directory"},
                 {"f.img", "is not a regular file"},
                 {"z.img", "is not a regular file"},
                 {"missing.img", "does not exist"}};
    for (const auto& c : cases) {
        for (const std::string& cmd : {"diff " + c.input + " a.img", "export-csv " + c.input + " -o x.csv",
                                       "import-csv " + c.input + " a.csv -o x.ks3", "check " + c.input,
                                       "write " + c.input + " --port /nonexistent --yes"}) {
            EXPECT_EQ(run(cmd, "ulimit -v 1000000; timeout 10"), 1) << cmd << ": " << err_;
            EXPECT_NE(err_.find(c.input + ": " + c.reason), std::string::npos) << cmd << ": " << err_;
        }
    }
    EXPECT_EQ(shell("ulimit -v 1000000; timeout 10 '" + sim_ + "' --image /dev/zero"), 1) << err_;
    EXPECT_NE(err_.find("is not a regular file"), std::string::npos) << err_;
}

TEST_F(CliInputsTest, OversizedCsvFilesAreRefusedWithALimit) {
    std::string lines = "Group,CH,Label\n";
    for (int i = 0; i < 10001; ++i) lines += "0,1,X\n";
    spit(file("many.csv"), lines);
    EXPECT_EQ(run("import-csv a.ks3 many.csv -o x.ks3"), 1);
    EXPECT_NE(err_.find("more than 10,000 lines"), std::string::npos) << err_;
    ASSERT_EQ(::truncate(file("many.csv").c_str(), 11L * 1024 * 1024), 0);
    EXPECT_EQ(run("import-csv a.ks3 many.csv -o x.ks3", "ulimit -v 1000000;"), 1);
    EXPECT_NE(err_.find("more than 10 MB"), std::string::npos) << err_;
    EXPECT_FALSE(dir_.names().count("x.ks3"));
}

TEST_F(CliInputsTest, TheKindOfAFileIsToldByItsContents) {
    ASSERT_EQ(::link(file("a.img").c_str(), file("radio.bin").c_str()), 0);
    ASSERT_EQ(::link(file("a.img").c_str(), file("image.ks3").c_str()), 0);
    EXPECT_EQ(run("diff radio.bin a.img"), 0) << err_;
    EXPECT_EQ(run("dump image.ks3"), 0) << err_;
    // Accepted as an image: the write fails at the port, not at the name.
    EXPECT_EQ(run("write radio.bin --port /nonexistent --yes"), 1);
    EXPECT_EQ(err_.find("must end"), std::string::npos) << err_;

    EXPECT_EQ(run("check a.img"), 1);
    EXPECT_NE(err_.find("a.img: is an 8192-byte memory image, not a setting file"), std::string::npos) << err_;
    EXPECT_EQ(run("decode a.ks3 -o x.ks3"), 1);
    EXPECT_NE(err_.find("a.ks3: is a setting file, not an 8192-byte memory image"), std::string::npos) << err_;
    spit(file("junk.img"), "neither");
    EXPECT_EQ(run("diff junk.img a.img"), 1);
    EXPECT_NE(err_.find("junk.img: is not a setting file or an 8192-byte memory image"), std::string::npos) << err_;
}

}  // namespace ks340::cli::test
