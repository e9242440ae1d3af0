#include "model/ChannelStep.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace ks340 {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

constexpr std::array<std::int64_t, 3> kStepsHz{6250, 5000, 2500};

}  // namespace

double leadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r' ||
                               text[i] == '\v' || text[i] == '\f'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t start = i;
    std::size_t digits = 0;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) return 0.0;
    std::size_t end = i;
    // An exponent counts only when at least one digit follows it.
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j])) ++j;
            end = j;
        }
    }
    double value = 0.0;
    const auto res = std::from_chars(text.data() + start, text.data() + end, value, std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range)
        value = HUGE_VAL;  // reads as "very large": always out of range
    else if (res.ec != std::errc())
        return 0.0;
    return negative ? -value : value;
}

std::string formatMhz(double mhz) {
    std::array<char, 64> buf{};
    const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), mhz, std::chars_format::fixed, 5);
    if (res.ec != std::errc()) return {};
    return std::string(buf.data(), res.ptr);
}

SnapResult snapToChannelStep(std::string_view text, double lowMhz, double highMhz) {
    SnapResult r;
    if (text.empty()) return r;
    r.mhz = leadingNumber(text);
    if (!(r.mhz >= lowMhz && r.mhz <= highMhz)) {
        r.outcome = SnapOutcome::OutOfRange;
        return r;
    }
    r.outcome = SnapOutcome::Snapped;

    const double hz = r.mhz * 1e6;
    // A value typed with up to six decimals is a whole number of hertz; the
    // multiplication may leave a tiny binary remainder that must not count.
    const double whole = std::nearbyint(hz);
    if (std::fabs(hz - whole) < 1e-4) {
        const auto h = static_cast<std::int64_t>(whole);
        for (const std::int64_t step : kStepsHz) {
            if (h % step == 0) {
                r.text = formatMhz(static_cast<double>(h) / 1e6);
                return r;
            }
        }
    }
    auto n = static_cast<std::int64_t>(std::trunc(hz / 6250.0));
    if (n % 2 != 0) ++n;
    r.text = formatMhz(static_cast<double>(n * 6250) / 1e6);
    return r;
}

std::string bandWarningText(int radioBand) {
    if (radioBand == 1) return "Warning! : Frequency allows VHF2 Band(148~174MHz) Range";
    return "Warning! : Frequency allows UHF2 Band(440~470MHz) Range";
}

}  // namespace ks340
