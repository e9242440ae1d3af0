#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include <unistd.h>

#include "image/MemoryImage.h"
#include "model/Defaults.h"
#include "model/SettingFile.h"
#include "sim/ImageFile.h"
#include "sim/MemoryLoader.h"

namespace ks340::sim {
namespace {

std::string tempPath(const char* name) {
    return testing::TempDir() + "ks340sim_" + std::to_string(::getpid()) + "_" + name;
}

TEST(MemoryLoader, AFileThatDoesNotLoadLeavesTheMemoryAndSaysWhy) {
    const std::string path = tempPath("broken.ks3");
    {
        std::ofstream f(path, std::ios::binary);
        f << "this is not a setting file\r\n";
    }
    Memory memory = blankMemory();
    std::string error;
    EXPECT_FALSE(loadSettingFileMemory(path, memory, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(memory, blankMemory());
    std::remove(path.c_str());
    EXPECT_FALSE(loadSettingFileMemory(path, memory, error));
}

TEST(MemoryLoader, SavingToAKs3NameWritesTheDecodedConfiguration) {
    RadioSettings settings;
    resetRadioSettings(settings);
    settings.header.lcdDisplayLogo = "ROUNDTRIP";
    const std::string source = tempPath("source.ks3");
    ASSERT_TRUE(writeSettingFile(source, settings).ok);
    Memory memory = blankMemory();
    std::string error;
    ASSERT_TRUE(loadSettingFileMemory(source, memory, error)) << error;
    // The logo is in there: the default configuration gives another image.
    RadioSettings plain;
    resetRadioSettings(plain);
    prepareForTransfer(plain);
    const MemoryImage other = encodeMemoryImage(plain);
    EXPECT_FALSE(std::equal(other.begin(), other.end(), memory.begin()));

    const std::string saved = tempPath("saved.KS3");
    ASSERT_TRUE(saveMemory(saved, memory, error)) << error;
    RadioSettings back;
    resetRadioSettings(back);
    ASSERT_TRUE(readSettingFile(saved, back).ok);
    EXPECT_EQ(back.header.lcdDisplayLogo, "ROUNDTRIP");
    // And it encodes to the memory it came from.
    Memory again = blankMemory();
    ASSERT_TRUE(loadSettingFileMemory(saved, again, error)) << error;
    EXPECT_EQ(again, memory);

    // Any other name gets the raw bytes.
    const std::string raw = tempPath("saved.bin");
    ASSERT_TRUE(saveMemory(raw, memory, error)) << error;
    Memory rawBack = blankMemory();
    ASSERT_TRUE(loadImageFile(raw, rawBack, error)) << error;
    EXPECT_EQ(rawBack, memory);
    for (const auto& p : {source, saved, raw}) std::remove(p.c_str());
}

}  // namespace
}  // namespace ks340::sim
