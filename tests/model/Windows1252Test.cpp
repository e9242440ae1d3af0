#include <gtest/gtest.h>

#include "model/Windows1252.h"

namespace ks340 {

TEST(Windows1252Test, EveryDefinedByteSurvivesTheRoundTrip) {
    for (int b = 1; b < 256; ++b) {
        const std::string in(1, char(b));
        if (cp1252ToUnicode(static_cast<unsigned char>(b)) == 0) continue;
        bool lossy = true;
        EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(in), &lossy), in) << "byte " << b;
        EXPECT_FALSE(lossy);
    }
}

TEST(Windows1252Test, HighRangeDiffersFromLatin1) {
    EXPECT_EQ(cp1252ToUtf8("\x80"), "\xE2\x82\xAC");  // euro sign
    EXPECT_EQ(utf8ToCp1252("\xC5\xA0"), "\x8A");      // S with caron
    EXPECT_EQ(cp1252ToUtf8("\xE9"), "\xC3\xA9");      // e acute
}

TEST(Windows1252Test, CharactersWithoutAByteAreDroppedAndReported) {
    bool lossy = false;
    EXPECT_EQ(utf8ToCp1252("A\xE4\xB8\xAD"
                           "B",
                           &lossy),
              "AB");  // CJK character
    EXPECT_TRUE(lossy);
    EXPECT_EQ(utf8ToCp1252("A\xC3", &lossy), "A");  // truncated sequence
    EXPECT_TRUE(lossy);
}

}  // namespace ks340
