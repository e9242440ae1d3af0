#include "model/SquelchText.h"

#include <cctype>
#include <cmath>
#include <string>

#include "model/ChannelStep.h"

namespace ks340 {

namespace {

bool startsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

bool allDigits(std::string_view s, char highest) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > highest) return false;
    return true;
}

// Digits with at most one decimal point.
bool plainNumber(std::string_view s) {
    bool digits = false, point = false;
    for (char c : s) {
        if (c >= '0' && c <= '9')
            digits = true;
        else if (c == '.' && !point)
            point = true;
        else
            return false;
    }
    return digits;
}

std::optional<ToneCode> ctcssOf(std::string_view number) {
    if (!plainNumber(number)) return std::nullopt;
    const double hz = leadingNumber(number);
    for (const CtcssEntry& e : CtcssTable)
        if (std::fabs(e.frequency - hz) < 0.05) return ctcssCodeFromPosition(e.index);
    return std::nullopt;
}

std::optional<ToneCode> dcsOf(std::string_view digits) {
    if (digits.size() > 3 || !allDigits(digits, '7')) return std::nullopt;
    int code = 0;
    for (char c : digits) code = code * 10 + (c - '0');
    for (const DcsEntry& e : DcsTable)
        if (e.code == code) return dcsCodeFromPosition(e.index);
    return std::nullopt;
}

}  // namespace

std::optional<SquelchSetting> parseSquelchText(std::string_view text) {
    // Upper case without blanks: "Inv DCS : 754" -> "INVDCS:754".
    std::string t;
    for (char c : text)
        if (!std::isspace(static_cast<unsigned char>(c)))
            t += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (t.empty() || t == "OFF" || t == "NONE") return SquelchSetting{};

    std::string_view v(t);
    if (startsWith(v, "CTCSS")) {
        v.remove_prefix(5);
        if (startsWith(v, ":")) v.remove_prefix(1);
        if (v.size() > 2 && v.substr(v.size() - 2) == "HZ") v.remove_suffix(2);
        if (const auto c = ctcssOf(v)) return SquelchSetting{*c, 0};
        return std::nullopt;
    }
    for (const auto& [prefix, inverse] : {std::pair<std::string_view, int>{"INVDCS", 1}, {"DCS", 0}}) {
        if (startsWith(v, prefix)) {
            v.remove_prefix(prefix.size());
            if (startsWith(v, ":")) v.remove_prefix(1);
            if (const auto c = dcsOf(v)) return SquelchSetting{*c, inverse};
            return std::nullopt;
        }
    }
    // D-code form: D, three octal digits, N (normal) or I / R (inverted).
    if (v.size() >= 4 && v.front() == 'D' && allDigits(v.substr(1, 3), '7')) {
        const std::string_view rest = v.substr(4);
        int inverse = -1;
        if (rest.empty() || rest == "N")
            inverse = 0;
        else if (rest == "I" || rest == "R")
            inverse = 1;
        if (inverse >= 0) {
            if (const auto c = dcsOf(v.substr(1, 3))) return SquelchSetting{*c, inverse};
        }
        return std::nullopt;
    }
    if (v.size() > 2 && v.substr(v.size() - 2) == "HZ") v.remove_suffix(2);
    // A bare number: a tone of the CTCSS list (67.0, 67, 100), otherwise a
    // DCS code (023, 754). No number is both.
    if (const auto c = ctcssOf(v)) return SquelchSetting{*c, 0};
    if (v.find('.') == std::string_view::npos)
        if (const auto c = dcsOf(v)) return SquelchSetting{*c, 0};
    return std::nullopt;
}

}  // namespace ks340
