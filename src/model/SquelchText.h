// Squelch settings typed as text, as spreadsheets and other programs write
// them: the channel grid's own texts ("OFF", "CTCSS : 67.0", "DCS : 023",
// "Inv DCS : 754"), a bare tone ("67.0", "67", "67.0 Hz"), a bare DCS code
// ("023") and the D-code form ("D023N" normal, "D023I" inverted).
#pragma once

#include <optional>
#include <string_view>

#include "model/ToneCode.h"

namespace ks340 {

struct SquelchSetting {
    ToneCode code = kToneOff;
    int inverseDcs = 0;  // 1 only for an inverted DCS code
    bool operator==(const SquelchSetting&) const = default;
};

// The setting a text stands for; nothing when the text names no tone or
// code of the radio's lists. Case and spaces do not matter; the empty text,
// "OFF" and "NONE" are off.
std::optional<SquelchSetting> parseSquelchText(std::string_view text);

}  // namespace ks340
