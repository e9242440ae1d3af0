// Checking a write: the bytes the radio holds after a write against the
// bytes the write sent, with the setting each differing byte belongs to.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/MemoryImage.h"

namespace ks340 {

// The setting a byte of the image holds, by the name the pages show it
// under ("Channel 12", "Channel 12 Label", "Option / Programmable Key 1
// Short Key", "Header / LCD Display Logo"), or a description of the area
// for bytes that hold no single setting ("Scan channel bitmap (channels
// 1..16)", "Unused (0x1FE0)").
std::string imageAddressName(int address);

struct ByteMismatch {
    int address = 0;
    std::uint8_t sent = 0;
    std::uint8_t readBack = 0;
    std::string setting;
    bool operator==(const ByteMismatch&) const = default;
};

// The bytes 0x0000..0x1FDF (the part a write sends) that differ.
std::vector<ByteMismatch> compareWrittenImage(const MemoryImage& sent, const MemoryImage& readBack);

// One line per differing byte, "0x0075: sent 1A, read 1B (Channel 13)";
// after `maxLines` lines a count of the rest.
std::string formatByteMismatches(const std::vector<ByteMismatch>& mismatches, std::size_t maxLines = 50);

}  // namespace ks340
