// The image field table: every entry names a setting the registry knows or
// carries a name of its own, and every plain field comes back from its place.
#include <gtest/gtest.h>

#include <set>

#include "image/ImageFields.h"
#include "image/ImageTestSupport.h"
#include "image/ImageVerify.h"

namespace ks340 {

TEST(ImageFieldsTest, EveryEntryIsARegistryKeyOrNamed) {
    std::set<std::string> keys;
    for (const ImageField& f : imageFields()) {
        if (f.key.empty()) {
            EXPECT_FALSE(f.name.empty()) << "field at " << f.address;
            continue;
        }
        EXPECT_TRUE(findSetting(f.key).has_value()) << f.key;
        EXPECT_FALSE(settingName(f.key).empty()) << f.key;
        keys.insert(f.key);
    }
    // Every setting the pages edit on the signalling and option pages has a place.
    for (const char* key :
         {"option.beep", "tone.sequence[8].leadOutTime", "decode.entry[8].text", "dtmf.statusText[10]",
          "modem.modemText[9]", "encode.emgSequence", "tone.userTone[E]", "header.lcdDisplayLogo"})
        EXPECT_EQ(keys.count(key), 1u) << key;
}

TEST(ImageFieldsTest, EveryPlainNumberComesBackFromItsPlace) {
    for (const ImageField& f : imageFields()) {
        if (f.direction != ImageDirection::Both || f.key.empty()) continue;
        if (f.coding != ImageCoding::Bits && f.coding != ImageCoding::Times5 && f.coding != ImageCoding::Times10)
            continue;
        // The largest value the place holds.
        const int value =
            f.coding == ImageCoding::Bits ? (1 << f.width) - 1 : 255 * (f.coding == ImageCoding::Times5 ? 5 : 10);
        RadioSettings s = newRadioSettings();
        prepareForTransfer(s);
        *f.integer(s) = value;
        const MemoryImage image = encodeMemoryImage(s);
        RadioSettings back = newRadioSettings();
        decodeMemoryImage(image, back);
        EXPECT_EQ(*f.integer(back), value) << f.key;
        const std::string name = settingName(f.key);
        const std::string label = name.substr(name.find(" / ") == std::string::npos ? 0 : name.find(" / ") + 3);
        EXPECT_NE(imageAddressName(f.address).find(label), std::string::npos)
            << f.key << " at " << f.address << " named " << imageAddressName(f.address);
    }
}

}  // namespace ks340
