// Decimal text to integer the way the C library's atoi reads it: leading
// blanks are skipped, an optional sign and the digits that follow are read,
// and reading stops at the first other character. Text without digits reads
// as 0. Values beyond the 32-bit range are limited to INT_MIN / INT_MAX.
#pragma once

#include <climits>
#include <cstdint>
#include <string_view>

namespace ks340 {

constexpr int leadingDecimal(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\v' ||
                               text[i] == '\f' || text[i] == '\r'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::int64_t value = 0;
    const std::int64_t limit = negative ? -static_cast<std::int64_t>(INT_MIN) : INT_MAX;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        value = value * 10 + (text[i] - '0');
        if (value > limit) value = limit;  // saturate, keep reading digits
        ++i;
    }
    return static_cast<int>(negative ? -value : value);
}

}  // namespace ks340
