// Image backups: names, writing, pruning after a year, raw image files.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "image/ImageBackup.h"

namespace fs = std::filesystem;

namespace ks340 {

namespace {

class ImageBackupTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "ks340-backup-XXXXXX").string();
        dir_ = ::mkdtemp(pattern.data());
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    static MemoryImage pattern(std::uint8_t seed) {
        MemoryImage image{};
        for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 7 + seed);
        return image;
    }
    fs::path dir_;
};

// 2026-12-08 06:21:37.042 UTC
BackupClock::time_point sampleTime() {
    return BackupClock::time_point(std::chrono::seconds(1796710897) + std::chrono::milliseconds(42));
}

}  // namespace

TEST_F(ImageBackupTest, NamesCarryTheUtcTimeAndTheKind) {
    const std::string name = backupFileName(sampleTime(), "read");
    EXPECT_EQ(name, "ks340-20261208-062137-042-read.img");
    const auto back = backupTime(name);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, sampleTime());
    EXPECT_FALSE(backupTime("ks340-2026120-062137-042-read.img").has_value());
    EXPECT_FALSE(backupTime("notes.img").has_value());
    EXPECT_FALSE(backupTime("ks340-20261308-062137-042-read.img").has_value()) << "month 13";
}

TEST_F(ImageBackupTest, EveryBackupIsKeptUnderItsOwnNameAndReadsBackExactly) {
    const MemoryImage a = pattern(1), b = pattern(2);
    const BackupResult first = writeImageBackup((dir_ / "backups").string(), a, "write", sampleTime());
    const BackupResult second = writeImageBackup((dir_ / "backups").string(), b, "write", sampleTime());
    ASSERT_TRUE(first.ok) << first.error;
    ASSERT_TRUE(second.ok) << second.error;
    EXPECT_NE(first.path, second.path) << "same millisecond, distinct files";
    EXPECT_EQ(listImageBackups((dir_ / "backups").string()), (std::vector<std::string>{first.path, second.path}));
    MemoryImage back{};
    std::string error;
    ASSERT_TRUE(readImageFile(second.path, back, error)) << error;
    EXPECT_EQ(back, b);
    EXPECT_EQ(fs::file_size(first.path), kImageSize);
}

TEST_F(ImageBackupTest, BackupsOlderThanAYearArePrunedAndOtherFilesStay) {
    using namespace std::chrono;
    const auto now = sampleTime();
    const std::string d = dir_.string();
    const MemoryImage image = pattern(3);
    std::string error;
    const std::string old = (dir_ / backupFileName(now - hours(24) * 366, "read")).string();
    const std::string recent = (dir_ / backupFileName(now - hours(24) * 364, "read")).string();
    ASSERT_TRUE(writeImageFile(old, image, error));
    ASSERT_TRUE(writeImageFile(recent, image, error));
    std::ofstream(dir_ / "radio-2020.img") << "mine";
    const BackupResult r = writeImageBackup(d, image, "read", now);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.pruned, 1);
    EXPECT_FALSE(fs::exists(old));
    EXPECT_TRUE(fs::exists(recent));
    EXPECT_TRUE(fs::exists(dir_ / "radio-2020.img"));
}

TEST_F(ImageBackupTest, ImageFilesMustHoldExactlyOneImage) {
    std::string error;
    MemoryImage image = pattern(4);
    std::ofstream(dir_ / "short.img", std::ios::binary) << std::string(100, 'x');
    EXPECT_FALSE(readImageFile((dir_ / "short.img").string(), image, error));
    EXPECT_NE(error.find("100"), std::string::npos) << error;
    EXPECT_EQ(image, pattern(4)) << "a failed read leaves the image alone";
    EXPECT_FALSE(readImageFile((dir_ / "missing.img").string(), image, error));
    EXPECT_FALSE(writeImageFile((dir_ / "no" / "such" / "x.img").string(), image, error));
    // A folder that cannot be made: a file stands in its place.
    std::ofstream(dir_ / "file") << "x";
    const BackupResult r = writeImageBackup((dir_ / "file" / "backups").string(), image, "read");
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.empty());
}

}  // namespace ks340
