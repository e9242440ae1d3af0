// The place of every setting in the memory image, once: the encoder and the
// decoder both walk this table, and the names of image addresses (memory
// map, verify report) come from it.
//
// A plain field is a number in some bits of one byte, a time in a byte, or
// a text of display or tone-digit codes with its length byte. Everything
// else is a named conversion: a pair of functions (channel records, group
// table, labels, tone sequences, user tones, logo, ...) that the table
// names with the places they cover. Each entry is keyed by the settings
// registry key of the setting it holds; derived values and fixed bytes
// carry a name of their own instead.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "image/MemoryImage.h"
#include "model/SettingsRegistry.h"

namespace ks340 {

enum class ImageCoding : std::uint8_t {
    Bits,        // the value's low `width` bits at bit position `bit`
    Times5,      // the whole byte: milliseconds / 5, read back x 5
    Times10,     // the whole byte: milliseconds / 10, read back x 10
    Digits,      // `width` ToneDigitCodes, the text's full length at `length`
    Text,        // `width` TextCodes, the text's full length at `length`
    Present,     // bit `bit` set when the text is not empty
    NonZero,     // bit `bit` set when the number is above 0
    Fixed,       // the constant `value` in `width` bits at `bit`: the radio expects it
    Conversion,  // the functions of `conversion`
};

enum class ImageDirection : std::uint8_t {
    Both,
    EncodeOnly,  // derived for the radio, not read back
    DecodeOnly,  // read back from a place the encoder fills with a fixed value
};

struct ImageField;

// A named conversion: the algorithm that encodes (and decodes) one field
// whose place is not a plain run of bits or codes.
struct ImageConversion {
    std::string_view name;
    void (*encode)(const ImageField& field, const RadioSettings& settings, MemoryImage& image);
    void (*decode)(const ImageField& field, const MemoryImage& image, RadioSettings& settings);  // null: not read
    // Names of the single addresses of an area that holds many settings
    // (channel N, group N record); null: the field's name.
    std::string (*addressName)(const ImageField& field, int address) = nullptr;
};

struct ImageField {
    std::string key;   // settings registry key; empty for derived values and fixed bytes
    std::string name;  // derived values and fixed bytes: their name
    ImageCoding coding = ImageCoding::Bits;
    ImageDirection direction = ImageDirection::Both;
    int address = 0;
    int bit = 0;
    int width = 8;    // bits (Bits, Fixed) or characters (Digits, Text, text conversions)
    int length = -1;  // address of the length byte of a text
    int size = 1;     // bytes a conversion covers from `address`
    int value = 0;    // Fixed: the constant; conversions: their parameter (a tone, a sequence)
    // The field is in the image only while this holds (a type choosing one
    // of two places, the User tone set); the decoder looks at the fields
    // that decide it after they were read.
    bool (*when)(const RadioSettings&) = nullptr;
    const ImageConversion* conversion = nullptr;

    // The setting of `key` (null for unkeyed entries).
    const SettingInfo* setting = nullptr;
    int* integer(RadioSettings& s) const { return setting->integer(s, setting->index); }
    int integer(const RadioSettings& s) const {
        return *setting->integer(const_cast<RadioSettings&>(s), setting->index);
    }
    std::string* text(RadioSettings& s) const { return setting->text(s, setting->index); }
    const std::string& text(const RadioSettings& s) const {
        return *setting->text(const_cast<RadioSettings&>(s), setting->index);
    }
};

// Every field of the image, in the order the decoder reads them.
const std::vector<ImageField>& imageFields();

// The name of the setting(s) a byte of the image holds, from the table:
// "Option / Beep", "Channel 12", "Channel 12 Label"; several settings of
// one page share a byte as "Option / Tx Delay, PTT Timer". Empty for a byte
// no field covers.
std::string imageFieldName(int address);

// One line per field as the image holds it, in address order:
//   "0x0000.7     option.beep                    1"
//   "0x0D00..0D09 header.lcdDisplayLogo          26 26 26 0A 0B 02"
// Bits fields show their value, bytes and texts their bytes in hexadecimal
// (with the length byte last); areas of more than 16 bytes their size.
std::string formatImageFields(const MemoryImage& image);

}  // namespace ks340
