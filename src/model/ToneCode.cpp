#include "model/ToneCode.h"

#include <cstdio>

namespace ks340 {

std::string toneCodeText(ToneCode code, int inverseDcs) {
    char text[32];
    if (code == kToneOff) return "OFF";
    if (isCtcssCode(code)) {
        std::snprintf(text, sizeof text, "CTCSS : %.1f",
                      CtcssTable[static_cast<std::size_t>(code - kFirstCtcssCode)].frequency);
        return text;
    }
    if (isDcsCode(code)) {
        std::snprintf(text, sizeof text, inverseDcs ? "Inv DCS : %03d" : "DCS : %03d",
                      DcsTable[static_cast<std::size_t>(code - kFirstDcsCode)].code);
        return text;
    }
    return {};
}

}  // namespace ks340
