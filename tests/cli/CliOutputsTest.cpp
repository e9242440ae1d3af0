// Every output of ks340ctl: the old file or the complete new one, only the
// file named, and a refusal (exit 2, nothing written) when -o does not fit.
#include <sys/stat.h>
#include <unistd.h>

#include "cli/CliRun.h"

namespace ks340::cli::test {

using fileio::test::modeOf;
using fileio::test::spit;

namespace {

class CliOutputsTest : public CliRun {
protected:
    void SetUp() override {
        CliRun::SetUp();
        ASSERT_EQ(run("new -o a.ks3"), 0) << err_;
        ASSERT_EQ(run("encode a.ks3 -o a.img"), 0) << err_;
    }
    ino_t inode(const std::string& name) const {
        struct stat st {};
        return ::lstat(file(name).c_str(), &st) == 0 ? st.st_ino : 0;
    }
};

}  // namespace

// No room for the output (a file size limit fails write(2) as a full disk
// does): exit 1, the old file as it was, no file left behind.
TEST_F(CliOutputsTest, AFailedWriteExitsOneAndKeepsTheOldFile) {
    const std::string full = "trap '' XFSZ; ulimit -f 2;";
    for (const std::string cmd : {"print a.ks3 -o x.pdf", "encode a.ks3 -o x.img", "dump a.img -o x.txt"}) {
        const std::string out = cmd.substr(cmd.rfind(' ') + 1);
        spit(file(out), "old");
        EXPECT_EQ(run(cmd, full), 1) << cmd;
        EXPECT_NE(err_.find(out), std::string::npos) << err_;
        EXPECT_EQ(read(out), "old") << cmd;
    }
    EXPECT_EQ(dir_.names(), (std::set<std::string>{"a.ks3", "a.img", "x.pdf", "x.img", "x.txt"}));

    // A completed read from a (simulated) radio that cannot be saved.
    spit(file("x.img"), "old");
    const int status = shell("'" + sim_ + "' --image a.img --baud 0 --link radio >/dev/null & sim=$!; " +
                             "for i in $(seq 50); do [ -e radio ] && break; sleep 0.1; done; (" + full + " '" + tool_ +
                             "' read --port radio -o x.img --yes --no-backup); rc=$?; kill $sim; exit $rc");
    EXPECT_EQ(status, 1) << out_ << err_;
    EXPECT_EQ(read("x.img"), "old");
}

TEST_F(CliOutputsTest, OnlyTheNamedFileIsTouchedAndReplacedWhole) {
    spit(file("victim"), "precious");
    ASSERT_EQ(::symlink("victim", file("o.img.tmp").c_str()), 0);
    spit(file("o.csv.part"), "mine");
    EXPECT_EQ(run("encode a.ks3 -o o.img"), 0) << err_;
    EXPECT_EQ(run("export-csv a.ks3 -o o.csv"), 0) << err_;
    EXPECT_EQ(read("victim"), "precious");
    EXPECT_EQ(read("o.csv.part"), "mine");
    EXPECT_EQ(read("o.img"), read("a.img"));

    // A PDF is replaced by a new file, never rewritten in place: a second
    // name of the old file still holds the old report.
    ASSERT_EQ(run("print a.ks3 -o r.pdf"), 0) << err_;
    ASSERT_EQ(::link(file("r.pdf").c_str(), file("old.pdf").c_str()), 0);
    spit(file("old.pdf"), "old report");
    ASSERT_EQ(run("print a.ks3 --report channel -o r.pdf"), 0) << err_;
    EXPECT_EQ(read("old.pdf"), "old report");
    EXPECT_EQ(read("r.pdf").substr(0, 5), "%PDF-");
}

TEST_F(CliOutputsTest, AnOutputThatDoesNotFitWhatIsWrittenIsRefused) {
    const std::string ks3 = read("a.ks3"), img = read("a.img");
    spit(file("a.csv"), "Group,CH\r\n");
    spit(file("notes.txt"), ks3);
    for (const std::string cmd :
         {"encode a.ks3 -o a.ks3", "export-csv a.ks3 -o a.ks3", "print a.ks3 -o a.ks3", "decode a.img -o a.img",
          "import-csv a.ks3 a.csv -o a.csv", "dump a.img -o a.ks3", "encode a.ks3 -o noext",
          "--trace a.ks3 read --port /nonexistent -o r.img", "read --port /nonexistent --trace notes.txt -o r.img"}) {
        EXPECT_EQ(run(cmd), 2) << cmd;
        EXPECT_NE(err_.find("nothing was written"), std::string::npos) << cmd << ": " << err_;
    }
    EXPECT_EQ(read("a.ks3"), ks3);
    EXPECT_EQ(read("a.img"), img);
    EXPECT_EQ(read("notes.txt"), ks3);
    EXPECT_EQ(dir_.names(), (std::set<std::string>{"a.ks3", "a.img", "a.csv", "notes.txt"}));
    // The input itself as output, in its own format: read first, then replaced.
    EXPECT_EQ(run("convert a.ks3 -o a.ks3"), 0) << err_;
    EXPECT_EQ(read("a.ks3"), ks3);
}

TEST_F(CliOutputsTest, LinksDevicesAndStandardOutput) {
    ASSERT_EQ(::symlink("/dev/null", file("n").c_str()), 0);
    EXPECT_EQ(run("convert a.ks3 -o n"), 0) << err_;
    struct stat st {};
    ASSERT_EQ(::lstat(file("n").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(::stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));

    EXPECT_EQ(run("encode a.ks3 -o -"), 0) << err_;
    EXPECT_EQ(out_, read("a.img"));

    ::mkdir(file("real").c_str(), 0700);
    ASSERT_EQ(::symlink("real/t.img", file("l.img").c_str()), 0);
    EXPECT_EQ(run("encode a.ks3 -o l.img"), 0) << err_;
    ASSERT_EQ(::lstat(file("l.img").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(read("real/t.img"), read("a.img"));
}

TEST_F(CliOutputsTest, ModesAreKeptAndReadOnlyFilesNeedForce) {
    spit(file("p.img"), "old");
    ::chmod(file("p.img").c_str(), 0600);
    EXPECT_EQ(run("encode a.ks3 -o p.img"), 0) << err_;
    EXPECT_EQ(modeOf(file("p.img")), 0600u);

    spit(file("r.csv"), "old");
    ::chmod(file("r.csv").c_str(), 0444);
    EXPECT_EQ(run("export-csv a.ks3 -o r.csv"), 2);
    EXPECT_NE(err_.find("read-only"), std::string::npos) << err_;
    EXPECT_EQ(read("r.csv"), "old");
    EXPECT_EQ(run("export-csv a.ks3 -o r.csv --force"), 0) << err_;
    EXPECT_NE(read("r.csv"), "old");
    EXPECT_EQ(modeOf(file("r.csv")), 0444u);
}

TEST_F(CliOutputsTest, LongAndNonUtf8NamesAndStaleTemporaries) {
    const std::string longName = std::string(250, 'n') + ".ks3";
    EXPECT_EQ(run("new -o " + longName), 0) << err_;
    EXPECT_EQ(read(longName), read("a.ks3"));
    EXPECT_EQ(run("print a.ks3 -o \"$(printf 'caf\\351.pdf')\""), 0) << err_;
    EXPECT_TRUE(dir_.names().count("caf\xe9.pdf"));

    const pid_t dead = ::fork();
    if (dead == 0) _exit(0);
    ::waitpid(dead, nullptr, 0);
    const std::string stale = ".a.ks3.ks340-" + std::to_string(dead) + "-0badcafe.tmp";
    spit(file(stale), "left by a killed save");
    EXPECT_EQ(run("convert a.ks3 -o a.ks3"), 0) << err_;
    EXPECT_FALSE(dir_.names().count(stale));
}

}  // namespace ks340::cli::test
