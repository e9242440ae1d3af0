// Frequency entry rule of the channel setting dialog: range check against the
// band limits and rounding onto the radio's channel raster.
#pragma once

#include <string>
#include <string_view>

namespace ks340 {

enum class SnapOutcome {
    Empty,       // nothing typed: left alone, no message
    OutOfRange,  // below the lower or above the upper band limit
    Snapped,     // accepted; text holds the frequency as "%.5f" MHz
};

struct SnapResult {
    SnapOutcome outcome = SnapOutcome::Empty;
    std::string text;  // set for Snapped only
    double mhz = 0.0;  // the number read from the start of the typed text
};

// Reads a decimal number (optional sign, digits, optional fraction and
// exponent) from the start of text after leading blanks. Text that does not
// start with a number reads as 0. Independent of the C locale.
double leadingNumber(std::string_view text);

// Validates a typed frequency in MHz against [lowMhz, highMhz] (limits
// included) and moves it onto the channel raster: a value that is a whole
// multiple of 6.25, 5 or 2.5 kHz stays as it is; any other value goes to a
// multiple of 12.5 kHz (the 6.25 kHz point at or below it when that point is
// an even multiple of 6.25 kHz, else the next point above).
SnapResult snapToChannelStep(std::string_view text, double lowMhz, double highMhz);

// Formats MHz with five decimals and a '.' whatever the C locale says.
std::string formatMhz(double mhz);

// The message shown when a typed frequency is outside the band
// (radioBand 0 = UHF2, 1 = VHF2).
std::string bandWarningText(int radioBand);

}  // namespace ks340
