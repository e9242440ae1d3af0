#include "model/ChannelValidator.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <tuple>
#include <utility>

#include "model/ChannelStep.h"
#include "model/Tables.h"
#include "model/ToneCode.h"
#include "model/Windows1252.h"

namespace ks340 {

namespace {

constexpr std::string_view kLabelPunctuation = " #'()*+-./?\\_";
constexpr std::string_view kLabelAlphabetText = "letters, digits, space and # ' ( ) * + - . / ? \\ _ only";

// Windows-1252 bytes 0x80..0xFF that are letters: their code points are of
// a Unicode letter category.
bool isHighLetterByte(unsigned char b) {
    switch (b) {
        case 0x83:  // ƒ
        case 0x88:  // ˆ (a modifier letter)
        case 0x8A:  // Š
        case 0x8C:  // Œ
        case 0x8E:  // Ž
        case 0x9A:  // š
        case 0x9C:  // œ
        case 0x9E:  // ž
        case 0x9F:  // Ÿ
        case 0xAA:  // ª
        case 0xB5:  // µ
        case 0xBA:  // º
            return true;
        default:
            return b >= 0xC0 && b != 0xD7 && b != 0xF7;
    }
}

// Code points of UTF-8 text; a broken sequence gives U+FFFD.
std::vector<char32_t> codePoints(std::string_view s) {
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t len = 1;
        char32_t cp = c;
        if (c >= 0x80) {
            if ((c & 0xE0) == 0xC0) {
                len = 2;
                cp = c & 0x1F;
            } else if ((c & 0xF0) == 0xE0) {
                len = 3;
                cp = c & 0x0F;
            } else if ((c & 0xF8) == 0xF0) {
                len = 4;
                cp = c & 0x07;
            } else {
                len = 0;
            }
            for (std::size_t k = 1; len != 0 && k < len; ++k) {
                if (i + k >= s.size() || (static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                    len = 0;
                else
                    cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
            }
        }
        if (len == 0) {
            out.push_back(0xFFFD);
            ++i;
        } else {
            out.push_back(cp);
            i += len;
        }
    }
    return out;
}

std::string toUtf8(char32_t cp) {
    const int b = unicodeToCp1252(cp);
    if (b >= 0) return cp1252ToUtf8(std::string(1, static_cast<char>(b)));
    // Outside Windows-1252: shown as the code point.
    char buf[16];
    std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(cp));
    return buf;
}

std::string trimBlanks(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r' || s[b] == '\n')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r' || s[e - 1] == '\n')) --e;
    return std::string(s.substr(b, e - b));
}

// "446.08125" from hertz; five decimals, rounded to tens of hertz.
std::string hzText(std::int64_t hz) {
    const std::int64_t tens = (hz + 5) / 10;
    char buf[40];
    std::snprintf(buf, sizeof buf, "%lld.%05lld", static_cast<long long>(tens / 100000),
                  static_cast<long long>(tens % 100000));
    return buf;
}

// The typed value for a message: five decimals, or six when the hertz need them.
std::string typedText(std::int64_t hz) {
    if (hz % 10 == 0) return hzText(hz);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%lld.%06lld", static_cast<long long>(hz / 1000000),
                  static_cast<long long>(hz % 1000000));
    return buf;
}

bool onRaster(std::int64_t hz) { return hz % 2500 == 0 || hz % 6250 == 0; }

// A plain number of MHz to hertz, exactly: digits with at most one '.',
// rounded on the seventh decimal. Nothing when the text is no such number.
std::optional<std::int64_t> plainMhzToHz(std::string_view t) {
    std::int64_t whole = 0;
    std::int64_t fraction = 0;
    int fractionDigits = 0;
    bool digits = false, point = false, roundUp = false;
    for (char c : t) {
        if (c == '.') {
            if (point) return std::nullopt;
            point = true;
            continue;
        }
        if (c < '0' || c > '9') return std::nullopt;
        digits = true;
        if (!point) {
            // Beyond any band: kept finite, still out of range.
            if (whole < 1'000'000'000) whole = whole * 10 + (c - '0');
        } else if (fractionDigits < 6) {
            fraction = fraction * 10 + (c - '0');
            ++fractionDigits;
        } else if (fractionDigits == 6) {
            roundUp = c >= '5';
            ++fractionDigits;
        }
    }
    if (!digits) return std::nullopt;
    for (; fractionDigits < 6; ++fractionDigits) fraction *= 10;
    return whole * 1'000'000 + fraction + (roundUp ? 1 : 0);
}

// A frequency text of a file or the clipboard: blanks, a "MHz" unit and a
// decimal comma are allowed.
std::optional<std::int64_t> exactHz(std::string_view text) {
    std::string t = trimBlanks(text);
    if (t.size() > 3) {
        std::string unit = t.substr(t.size() - 3);
        for (char& c : unit) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (unit == "mhz") t = trimBlanks(t.substr(0, t.size() - 3));
    }
    if (t.find('.') == std::string::npos) {
        const auto comma = t.find(',');
        if (comma != std::string::npos && t.find(',', comma + 1) == std::string::npos) t[comma] = '.';
    }
    return plainMhzToHz(t);
}

std::string_view shortBandName(int radioBand) { return radioBand == kBandVhf2 ? "VHF2" : "UHF2"; }

}  // namespace

bool isLabelByte(unsigned char b) {
    if ((b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z')) return true;
    if (b < 0x80) return kLabelPunctuation.find(static_cast<char>(b)) != std::string_view::npos;
    return isHighLetterByte(b);
}

bool isLabelCharacter(char32_t codePoint) {
    const int b = unicodeToCp1252(codePoint);
    return b >= 0 && isLabelByte(static_cast<unsigned char>(b));
}

FieldCheck checkChannelLabel(std::string_view utf8, bool cutLong) {
    FieldCheck r;
    std::string bad;
    std::string bytes;
    int count = 0;
    for (char32_t cp : codePoints(utf8)) {
        ++count;
        if (isLabelCharacter(cp)) {
            bytes += static_cast<char>(unicodeToCp1252(cp));
            continue;
        }
        const std::string shown = "'" + toUtf8(cp) + "'";
        if (bad.find(shown) == std::string::npos) bad += (bad.empty() ? "" : " ") + shown;
    }
    const std::string quoted = "'" + std::string(utf8) + "'";
    if (!bad.empty()) {
        r.reason =
            quoted + " holds characters a label cannot show: " + bad + " (" + std::string(kLabelAlphabetText) + ")";
        return r;
    }
    if (count > kChannelLabelLength) {
        if (!cutLong) {
            r.reason = quoted + " is longer than " + std::to_string(kChannelLabelLength) + " characters";
            return r;
        }
        bytes.resize(kChannelLabelLength);
        r.notice = quoted + " was cut to '" + cp1252ToUtf8(bytes) + "'";
    }
    r.ok = true;
    r.value = std::move(bytes);
    return r;
}

std::string bandRangeText(int model, int radioBand) {
    const BandLimits limits = bandLimits(model, radioBand);
    return std::string(shortBandName(isValidBand(radioBand) ? radioBand : kBandUhf2)) + ", " +
           std::to_string(limits.lowerMhz) + " to " + std::to_string(limits.upperMhz) + " MHz";
}

std::int64_t nearestChannelFrequencyHz(std::int64_t hz, int model, int radioBand) {
    const BandLimits limits = bandLimits(model, radioBand);
    const std::int64_t low = std::int64_t{limits.lowerMhz} * 1'000'000;
    const std::int64_t high = std::int64_t{limits.upperMhz} * 1'000'000;
    hz = std::clamp(hz, low, high);
    // Both limits are whole MHz, on every step; rounding stays inside them.
    const std::int64_t by2500 = (hz + 1250) / 2500 * 2500;
    const std::int64_t by6250 = (hz + 3125) / 6250 * 6250;
    return std::llabs(by6250 - hz) < std::llabs(by2500 - hz) ? by6250 : by2500;
}

FieldCheck checkChannelFrequency(std::string_view text, int model, int radioBand, FrequencyEntry entry) {
    FieldCheck r;
    const BandLimits limits = bandLimits(model, radioBand);
    if (entry == FrequencyEntry::Typed) {
        if (text.empty()) {
            r.ok = true;
            return r;
        }
        const SnapResult snap = snapToChannelStep(text, limits.lowerMhz, limits.upperMhz);
        if (snap.outcome != SnapOutcome::Snapped) {
            r.reason = trimBlanks(text) + " MHz is outside " + bandRangeText(model, radioBand);
            return r;
        }
        // In the band: a positive number of a few hundred MHz.
        const auto typedHz = static_cast<std::int64_t>(std::llround(snap.mhz * 1e6));
        r.ok = true;
        r.value = snap.text;
        const std::optional<std::int64_t> storedHz = plainMhzToHz(snap.text);
        if (storedHz && *storedHz != typedHz)
            r.notice = typedText(typedHz) + " is not on the 12.5 kHz raster; stored as " + snap.text;
        return r;
    }

    const std::string shown = trimBlanks(text);
    if (shown.empty()) {
        r.ok = true;
        return r;
    }
    const std::optional<std::int64_t> hz = exactHz(text);
    if (!hz) {
        r.reason = "'" + shown + "' is not a frequency in MHz";
        return r;
    }
    if (*hz < std::int64_t{limits.lowerMhz} * 1'000'000 || *hz > std::int64_t{limits.upperMhz} * 1'000'000) {
        r.reason = shown + " MHz is outside " + bandRangeText(model, radioBand);
        return r;
    }
    if (!onRaster(*hz)) {
        r.reason = shown + " MHz is not on the channel raster (steps of 2.5, 5 or 6.25 kHz); the nearest channel is " +
                   hzText(nearestChannelFrequencyHz(*hz, model, radioBand)) + " MHz";
        return r;
    }
    r.ok = true;
    r.value = hzText(*hz);
    return r;
}

SquelchCheck checkSquelchText(std::string_view text) {
    SquelchCheck r;
    if (const auto s = parseSquelchText(text)) {
        r.ok = true;
        r.setting = *s;
        return r;
    }
    r.reason = "'" + trimBlanks(text) +
               "' is not a squelch setting (OFF, CTCSS : 67.0, DCS : 023, Inv DCS : 023, 67.0, D023N or D023I "
               "with a tone or code of the radio's lists)";
    return r;
}

ChannelRowCheck checkChannelRow(const ChannelEntry& base, const ChannelRowText& row, const ChannelRules& rules) {
    ChannelRowCheck out;
    out.entry = base;
    auto take = [&](ChannelField field, const FieldCheck& c, std::string& target) {
        if (!c.ok) {
            out.faults.push_back({field, c.reason});
            return;
        }
        target = c.value;
        if (!c.notice.empty()) out.notices.push_back({field, c.notice});
    };
    if (row.label) take(ChannelField::Label, checkChannelLabel(*row.label, rules.cutLongLabels), out.entry.label);
    if (row.rxFrequency)
        take(ChannelField::RxFrequency,
             checkChannelFrequency(*row.rxFrequency, rules.model, rules.radioBand, rules.entry), out.entry.rxFrequency);
    if (row.txFrequency)
        take(ChannelField::TxFrequency,
             checkChannelFrequency(*row.txFrequency, rules.model, rules.radioBand, rules.entry), out.entry.txFrequency);
    for (const auto& [field, text, code, inverse] :
         {std::tuple{ChannelField::RxSquelch, &row.rxSquelch, &out.entry.rxSquelch, &out.entry.rxInverseDcs},
          std::tuple{ChannelField::TxSquelch, &row.txSquelch, &out.entry.txSquelch, &out.entry.txInverseDcs}}) {
        if (!*text) continue;
        const SquelchCheck s = checkSquelchText(**text);
        if (!s.ok) {
            out.faults.push_back({field, s.reason});
            continue;
        }
        *code = s.setting.code;
        *inverse = s.setting.inverseDcs;
    }
    return out;
}

std::vector<ChannelFieldIssue> checkStoredChannel(const ChannelEntry& e, int model, int radioBand) {
    std::vector<ChannelFieldIssue> faults;
    if (!e.isProgrammed()) return faults;
    const std::string label = cp1252ToUtf8(e.label);
    for (char c : e.label) {
        if (!isLabelByte(static_cast<unsigned char>(c))) {
            faults.push_back({ChannelField::Label, checkChannelLabel(label).reason});
            break;
        }
    }
    if (faults.empty() && e.label.size() > std::size_t(kChannelLabelLength))
        faults.push_back({ChannelField::Label, checkChannelLabel(label).reason});
    for (const auto& [field, text] :
         {std::pair{ChannelField::RxFrequency, &e.rxFrequency}, std::pair{ChannelField::TxFrequency, &e.txFrequency}}) {
        const FieldCheck c = checkChannelFrequency(*text, model, radioBand, FrequencyEntry::Exact);
        if (!c.ok) faults.push_back({field, c.reason});
    }
    for (const auto& [field, code] :
         {std::pair{ChannelField::RxSquelch, e.rxSquelch}, std::pair{ChannelField::TxSquelch, e.txSquelch}})
        if (!isValidToneCode(code))
            faults.push_back({field, "tone code " + std::to_string(code) + " is not one of the lists"});
    return faults;
}

}  // namespace ks340
