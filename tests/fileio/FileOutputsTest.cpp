// Outputs: whatever goes wrong, the target is the old file or the complete
// new one, and no other file is touched.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>

#include "cli/CliOutput.h"
#include "cli/Verbs.h"
#include "fileio/AtomicFile.h"
#include "fileio/FileTestSupport.h"

namespace ks340::fileio {

using test::modeOf;
using test::ScratchDir;
using test::slurp;
using test::spit;

namespace {

struct HookGuard {
    ~HookGuard() { setWriteHookForTesting({}); }
};

}  // namespace

TEST(FileOutputsTest, AFailedWriteLeavesTheOldFileAndNoTemporaryFile) {
    ScratchDir dir;
    const std::string target = dir.file("a.img");
    spit(target, "old contents");
    HookGuard guard;
    int calls = 0;
    setWriteHookForTesting([&](std::size_t) { return ++calls == 1 ? 0 : ENOSPC; });

    AtomicFile out;
    ASSERT_TRUE(out.open(target).ok);
    EXPECT_TRUE(out.write("first part").ok);
    const IoStatus s = out.write("second part");
    EXPECT_FALSE(s.ok);
    EXPECT_EQ(s.code, ENOSPC);
    EXPECT_NE(s.error.find(target), std::string::npos);
    EXPECT_FALSE(out.commit().ok);
    EXPECT_EQ(slurp(target), "old contents");
    EXPECT_EQ(dir.names(), std::set<std::string>{"a.img"});
}

// A real full file system: a 1 MB tmpfs where mounting is permitted, else a
// file size limit, which fails write(2) the same way.
TEST(FileOutputsTest, AFullFileSystemFailsTheSaveAndKeepsTheOldFile) {
    ScratchDir dir;
    const std::string folder = dir.file("small");
    ::mkdir(folder.c_str(), 0700);
    const bool mounted = ::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=1m") == 0;
    const std::string target = folder + "/x.pdf";
    spit(target, "old pdf");
    const std::string big(2 * 1024 * 1024, 'x');

    const pid_t child = ::fork();
    if (child == 0) {
        if (!mounted) {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{64 * 1024, 64 * 1024};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        const IoStatus s = writeFileAtomically(target, big);
        _exit(!s.ok && (s.code == ENOSPC || s.code == EFBIG) ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(slurp(target), "old pdf");
    EXPECT_EQ(ScratchDir::namesIn(folder), std::set<std::string>{"x.pdf"});
    if (mounted) ::umount(folder.c_str());
}

TEST(FileOutputsTest, OtherFilesNamedLikeTemporariesAreNeverTouched) {
    ScratchDir dir;
    const std::string victim = dir.file("victim");
    spit(victim, "precious");
    ASSERT_EQ(::symlink(victim.c_str(), dir.file("o.img.tmp").c_str()), 0);
    spit(dir.file("o.img.part"), "mine");
    spit(dir.file(".o.img.1.tmp"), "mine too");

    ASSERT_TRUE(writeFileAtomically(dir.file("o.img"), "image").ok);
    EXPECT_EQ(slurp(dir.file("o.img")), "image");
    EXPECT_EQ(slurp(victim), "precious");
    EXPECT_EQ(slurp(dir.file("o.img.part")), "mine");
    EXPECT_EQ(slurp(dir.file(".o.img.1.tmp")), "mine too");
    EXPECT_EQ(dir.names().size(), 5u);
}

TEST(FileOutputsTest, ConcurrentSavesToOneFileEachLeaveACompleteFile) {
    ScratchDir dir;
    const std::string target = dir.file("shared.ks3");
    const std::string a(100000, 'a'), b(50000, 'b');
    pid_t children[2];
    for (int i = 0; i < 2; ++i) {
        children[i] = ::fork();
        if (children[i] == 0) {
            for (int n = 0; n < 50; ++n)
                if (!writeFileAtomically(target, i ? b : a).ok) _exit(1);
            _exit(0);
        }
    }
    for (const pid_t c : children) {
        int status = 0;
        ::waitpid(c, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const std::string final = slurp(target);
    EXPECT_TRUE(final == a || final == b);
    EXPECT_EQ(dir.names(), std::set<std::string>{"shared.ks3"});
}

TEST(FileOutputsTest, ModesAreKeptAndReadOnlyFilesNeedForce) {
    ScratchDir dir;
    const std::string priv = dir.file("private.ks3"), locked = dir.file("locked.ks3");
    spit(priv, "old");
    ::chmod(priv.c_str(), 0600);
    ASSERT_TRUE(writeFileAtomically(priv, "new").ok);
    EXPECT_EQ(modeOf(priv), 0600u);

    spit(locked, "old");
    ::chmod(locked.c_str(), 0444);
    const IoStatus refused = writeFileAtomically(locked, "new");
    EXPECT_FALSE(refused.ok);
    EXPECT_NE(refused.error.find("read-only"), std::string::npos);
    EXPECT_EQ(slurp(locked), "old");
    WriteOptions force;
    force.force = true;
    ASSERT_TRUE(writeFileAtomically(locked, "new", force).ok);
    EXPECT_EQ(slurp(locked), "new");
    EXPECT_EQ(modeOf(locked), 0444u);

    const mode_t old = ::umask(027);
    const IoStatus fresh = writeFileAtomically(dir.file("fresh.csv"), "x");
    ::umask(old);
    ASSERT_TRUE(fresh.ok);
    EXPECT_EQ(modeOf(dir.file("fresh.csv")), 0640u);
}

TEST(FileOutputsTest, ALinkStaysALinkAndItsTargetIsReplaced) {
    ScratchDir dir;
    ::mkdir(dir.file("real").c_str(), 0700);
    spit(dir.file("real/data.img"), "old");
    ASSERT_EQ(::symlink("real/data.img", dir.file("link.img").c_str()), 0);

    ASSERT_TRUE(writeFileAtomically(dir.file("link.img"), "new").ok);
    struct stat st {};
    ASSERT_EQ(::lstat(dir.file("link.img").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(slurp(dir.file("real/data.img")), "new");
    EXPECT_EQ(ScratchDir::namesIn(dir.file("real")), std::set<std::string>{"data.img"});
}

TEST(FileOutputsTest, DevicesAndFifosAreWrittenThroughDirectoriesRefused) {
    ScratchDir dir;
    ASSERT_TRUE(writeFileAtomically("/dev/null", "discarded").ok);
    struct stat st {};
    ASSERT_EQ(::stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));

    const std::string fifo = dir.file("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto start = std::chrono::steady_clock::now();
    const IoStatus nobody = writeFileAtomically(fifo, "lost");
    EXPECT_FALSE(nobody.ok);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    ASSERT_TRUE(writeFileAtomically(fifo, "through").ok);
    char buf[16] = {};
    EXPECT_EQ(::read(reader, buf, sizeof buf), 7);
    EXPECT_EQ(std::string(buf), "through");
    ::close(reader);

    ::mkdir(dir.file("d.img").c_str(), 0700);
    const IoStatus directory = writeFileAtomically(dir.file("d.img"), "x");
    EXPECT_FALSE(directory.ok);
    EXPECT_NE(directory.error.find("is a directory"), std::string::npos);
    EXPECT_EQ(dir.names(), (std::set<std::string>{"d.img", "pipe"}));
}

TEST(FileOutputsTest, LongAndNonUtf8NamesAreWrittenAsGiven) {
    ScratchDir dir;
    const std::string longName = std::string(251, 'n') + ".ks3";  // 255 bytes
    ASSERT_TRUE(writeFileAtomically(dir.file(longName), "long").ok);
    EXPECT_EQ(slurp(dir.file(longName)), "long");
    const std::string latin1 = "caf\xe9\xff.img";
    ASSERT_TRUE(writeFileAtomically(dir.file(latin1), "bytes").ok);
    EXPECT_EQ(dir.names(), (std::set<std::string>{longName, latin1}));
}

TEST(FileOutputsTest, StaleTemporaryFilesOfDeadRunsAreRemovedOnTheNextSave) {
    ScratchDir dir;
    const pid_t dead = ::fork();
    if (dead == 0) _exit(0);
    ::waitpid(dead, nullptr, 0);
    const std::string stale = ".out.ks3.ks340-" + std::to_string(dead) + "-0123abcd.tmp";
    const std::string live = ".out.ks3.ks340-" + std::to_string(::getppid()) + "-0123abcd.tmp";
    for (const std::string& n : {stale, live, std::string(".out.ks3.123.1.tmp")}) spit(dir.file(n), "x");

    ASSERT_TRUE(writeFileAtomically(dir.file("out.ks3"), "new").ok);
    EXPECT_EQ(dir.names(), (std::set<std::string>{"out.ks3", live, ".out.ks3.123.1.tmp"}));
}

TEST(FileOutputsTest, AProducerWritesTheTemporaryFileByName) {
    ScratchDir dir;
    const std::string target = dir.file("report.pdf");
    spit(target, "old");
    WriteOptions producer;
    producer.producer = true;
    {
        AtomicFile out;
        ASSERT_TRUE(out.open(target, producer).ok);
        spit(out.temporaryPath(), "half");
        // Abandoned: the old file stays.
    }
    EXPECT_EQ(slurp(target), "old");
    EXPECT_EQ(dir.names(), std::set<std::string>{"report.pdf"});

    AtomicFile out;
    ASSERT_TRUE(out.open(target, producer).ok);
    spit(out.temporaryPath(), "%PDF whole");
    ASSERT_TRUE(out.commit().ok);
    EXPECT_EQ(slurp(target), "%PDF whole");

    AtomicFile device;
    ASSERT_TRUE(device.open("/dev/null", producer).ok);
    const std::string temp = device.temporaryPath();
    spit(temp, "%PDF");
    ASSERT_TRUE(device.commit().ok);
    EXPECT_NE(::access(temp.c_str(), F_OK), 0);
}

}  // namespace ks340::fileio

namespace ks340::cli {

using fileio::test::ScratchDir;
using fileio::test::spit;

// The checks every ks340ctl verb makes before any work.
TEST(FileOutputsTest, AnOutputNameMustFitWhatIsWritten) {
    ScratchDir dir;
    EXPECT_EQ(checkOutput("t", dir.file("a.IMG"), OutputFormat::Image, false), 0);
    EXPECT_EQ(checkOutput("t", dir.file("a.ks3"), OutputFormat::Image, false), kExitUsage);
    EXPECT_EQ(checkOutput("t", dir.file("a"), OutputFormat::Csv, false), kExitUsage);
    EXPECT_EQ(checkOutput("t", dir.file("map.txt"), OutputFormat::Text, false), 0);
    EXPECT_EQ(checkOutput("t", dir.file("map.pdf"), OutputFormat::Text, false), kExitUsage);
    EXPECT_EQ(checkOutput("t", "-", OutputFormat::Pdf, false), 0);
    EXPECT_EQ(checkOutput("t", "/dev/null", OutputFormat::SettingFile, false), 0);
    EXPECT_EQ(checkOutput("t", dir.path(), OutputFormat::Text, false), kExitUsage);
    spit(dir.file("ro.ks3"), "x");
    ::chmod(dir.file("ro.ks3").c_str(), 0444);
    EXPECT_EQ(checkOutput("t", dir.file("ro.ks3"), OutputFormat::SettingFile, false), kExitUsage);
    EXPECT_EQ(checkOutput("t", dir.file("ro.ks3"), OutputFormat::SettingFile, true), 0);

    std::string error;
    EXPECT_TRUE(checkTraceFile(dir.file("new-trace.txt"), error)) << error;
    EXPECT_FALSE(checkTraceFile(dir.file("t.ks3"), error));
    spit(dir.file("image"), std::string(8192, '\0'));
    EXPECT_FALSE(checkTraceFile(dir.file("image"), error));
    EXPECT_NE(error.find("memory image"), std::string::npos) << error;
    spit(dir.file("log"), "12:00:01.000 > 99 01\n");
    EXPECT_TRUE(checkTraceFile(dir.file("log"), error)) << error;
}

}  // namespace ks340::cli
