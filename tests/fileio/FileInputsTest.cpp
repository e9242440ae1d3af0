// Inputs: a clear reason for anything that is not a readable regular file,
// never more than the caller's limit read, never a wait.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>

#include "fileio/FileTestSupport.h"
#include "fileio/InputFile.h"
#include "formats/CsvFile.h"
#include "image/ConfigurationFile.h"
#include "model/Defaults.h"
#include "model/SettingFile.h"

namespace ks340::fileio {

using test::ScratchDir;
using test::spit;

TEST(FileInputsTest, NamesThatAreNotRegularFilesSayWhy) {
    ScratchDir dir;
    ::mkdir(dir.file("d.img").c_str(), 0700);
    ::mkfifo(dir.file("fifo").c_str(), 0600);
    ::symlink("/dev/zero", dir.file("zero.img").c_str());
    const struct {
        std::string path, reason;
    } cases[] = {
        {dir.file("d.img"), "is a directory"},       {dir.file("missing.ks3"), "does not exist"},
        {dir.file("fifo"), "is not a regular file"},  // no writer: must not wait
        {"/dev/zero", "is not a regular file"},      {dir.file("zero.img"), "is not a regular file"},
    };
    const auto start = std::chrono::steady_clock::now();
    for (const auto& c : cases) {
        const InputFile in = readInputFile(c.path, 8192);
        EXPECT_FALSE(in.ok) << c.path;
        EXPECT_EQ(in.error, c.path + ": " + c.reason);
        EXPECT_TRUE(in.bytes.empty());
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(FileInputsTest, ReadsAtMostTheLimit) {
    ScratchDir dir;
    spit(dir.file("exact"), std::string(8192, 'e'));
    spit(dir.file("longer"), std::string(8193, 'l'));
    const InputFile exact = readInputFile(dir.file("exact"), 8192);
    ASSERT_TRUE(exact.ok);
    EXPECT_EQ(exact.bytes.size(), 8192u);
    const InputFile longer = readInputFile(dir.file("longer"), 8192);
    EXPECT_FALSE(longer.ok);
    EXPECT_TRUE(longer.tooLarge);
    EXPECT_EQ(longer.bytes.size(), 8192u);

    // A huge sparse file: only limit + 1 bytes are read.
    const int fd = ::open(dir.file("huge").c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_EQ(::ftruncate(fd, 1L << 34), 0);
    ::close(fd);
    const auto start = std::chrono::steady_clock::now();
    const InputFile huge = readInputFile(dir.file("huge"), 10 * 1024 * 1024);
    EXPECT_TRUE(huge.tooLarge);
    EXPECT_EQ(huge.bytes.size(), 10u * 1024 * 1024);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

}  // namespace ks340::fileio

namespace ks340 {

using fileio::test::ScratchDir;
using fileio::test::spit;

TEST(FileInputsTest, TheKindOfAConfigurationFileIsToldByItsContents) {
    ScratchDir dir;
    spit(dir.file("image.ks3"), std::string(8192, '\x5a'));
    spit(dir.file("settings.img"), formatSettingFile(newRadioSettings()));
    spit(dir.file("junk.ks3"), "junk\r\n");
    EXPECT_EQ(configurationKindOf(dir.file("image.ks3")), ConfigurationKind::MemoryImage);
    EXPECT_EQ(configurationKindOf(dir.file("settings.img")), ConfigurationKind::SettingFile);
    EXPECT_EQ(configurationKindOf(dir.file("junk.ks3")), std::nullopt);

    RadioSettings s = newRadioSettings();
    s.header.lcdDisplayLogo = "KEEP";
    ConfigurationFile f = openConfigurationFile(dir.file("image.ks3"), Expected::SettingFile, s);
    EXPECT_FALSE(f.ok);
    EXPECT_EQ(f.error, dir.file("image.ks3") + ": is an 8192-byte memory image, not a setting file");
    f = openConfigurationFile(dir.file("junk.ks3"), Expected::Either, s);
    EXPECT_FALSE(f.ok);
    EXPECT_NE(f.error.find("is not a setting file or an 8192-byte memory image"), std::string::npos) << f.error;
    EXPECT_EQ(s.header.lcdDisplayLogo, "KEEP");
    f = openConfigurationFile(dir.file("settings.img"), Expected::Either, s);
    EXPECT_TRUE(f.ok) << f.error;
    EXPECT_EQ(s.header.lcdDisplayLogo, newRadioSettings().header.lcdDisplayLogo);
}

TEST(FileInputsTest, ChannelCsvFilesHaveLimits) {
    ScratchDir dir;
    std::string text, error;
    spit(dir.file("lines.csv"), std::string(kMaxCsvLines + 1, '\n'));
    EXPECT_FALSE(readCsvFile(dir.file("lines.csv"), text, error));
    EXPECT_NE(error.find("10,000 lines"), std::string::npos) << error;
    spit(dir.file("ok.csv"), std::string(kMaxCsvLines, '\n'));
    EXPECT_TRUE(readCsvFile(dir.file("ok.csv"), text, error)) << error;
    EXPECT_EQ(text.size(), kMaxCsvLines);
}

}  // namespace ks340
