// Character codes, frequency codes and channel bitmaps of the memory image.
#include <array>
#include <cmath>
#include <cstdio>

#include "image/MemoryImage.h"
#include "model/ChannelStep.h"

namespace ks340 {

namespace {

constexpr std::int64_t kStepHz[3] = {2500, 5000, 6250};  // by step code
constexpr std::int64_t kPrescaler[3] = {128, 64, 64};

// Frequencies far outside anything a radio tunes are held at this many
// hertz so that the arithmetic stays defined; they are stored as the low
// bits of their counters like any other out-of-range value.
constexpr double kLargestHz = 1e15;

}  // namespace

namespace {

constexpr std::array<std::uint8_t, 256> makeTextEncodeTable() {
    std::array<std::uint8_t, 256> t{};
    for (int c = 0; c < 256; ++c) t[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(c);
    for (int i = 0; i <= 9; ++i) t[static_cast<std::size_t>('0' + i)] = static_cast<std::uint8_t>(i);
    for (int i = 0; i < 26; ++i) t[static_cast<std::size_t>('A' + i)] = static_cast<std::uint8_t>(10 + i);
    for (int i = 0; i < 26; ++i) t[static_cast<std::size_t>('a' + i)] = static_cast<std::uint8_t>(40 + i);
    t['.'] = 36;
    t['-'] = 37;
    t[' '] = 38;
    t['_'] = 66;
    t['*'] = 67;
    t['#'] = 68;
    t['+'] = 71;
    t['\''] = 72;
    t['/'] = 73;
    t['\\'] = 74;
    t['?'] = 75;
    t['('] = 76;
    t[')'] = 77;
    return t;
}

}  // namespace

namespace {

constexpr std::array<char, 256> makeTextDecodeTable() {
    std::array<char, 256> t{};
    for (int code = 0; code < 256; ++code) t[static_cast<std::size_t>(code)] = static_cast<char>(code);
    for (int i = 0; i <= 9; ++i) t[static_cast<std::size_t>(i)] = static_cast<char>('0' + i);
    for (int i = 0; i < 26; ++i) t[static_cast<std::size_t>(10 + i)] = static_cast<char>('A' + i);
    for (int i = 0; i < 26; ++i) t[static_cast<std::size_t>(40 + i)] = static_cast<char>('a' + i);
    t[36] = '.';
    t[37] = '-';
    t[38] = ' ';
    t[66] = '_';
    t[67] = '*';
    t[68] = '#';
    t[71] = '+';
    t[72] = '\'';
    t[73] = '/';
    t[74] = '\\';
    t[75] = '?';
    t[76] = '(';
    t[77] = ')';
    return t;
}

}  // namespace

namespace {

constexpr std::uint8_t digitEncode(char c) {
    constexpr std::uint8_t kPadding = ToneDigitCode::kPadding;
    if (c >= '0' && c <= '9') return static_cast<std::uint8_t>(c - '0');
    if (c >= 'A' && c <= 'E') return static_cast<std::uint8_t>(c - 'A' + 0x0A);
    if (c >= 'a' && c <= 'e') return static_cast<std::uint8_t>(c - 'a' + 0x0A);
    switch (c) {
        case '\0':
            return kPadding;
        case '*':
            return 0x43;
        case '#':
            return 0x44;
        case 'K':
        case 'k':
            return 0x55;
        case 'S':
        case 's':
            return 0x66;
        case 'X':
        case 'x':
            return 0x77;
        default:
            return static_cast<std::uint8_t>(c);
    }
}

constexpr char digitDecode(std::uint8_t code) {
    constexpr std::uint8_t kPadding = ToneDigitCode::kPadding;
    if (code <= 0x09) return static_cast<char>('0' + code);
    if (code <= 0x0E) return static_cast<char>('A' + code - 0x0A);
    switch (code) {
        case kPadding:
            return '\0';
        case 0x43:
            return '*';
        case 0x44:
            return '#';
        case 0x55:
            return 'K';
        case 0x66:
            return 'S';
        case 0x77:
            return 'X';
        default:
            return static_cast<char>(code);
    }
}

}  // namespace

namespace codes {

constexpr std::array<std::uint8_t, 256> textEncode = makeTextEncodeTable();
constexpr std::array<char, 256> textDecode = makeTextDecodeTable();
constexpr std::array<std::uint8_t, 256> digitEncode = [] {
    std::array<std::uint8_t, 256> t{};
    for (int c = 0; c < 256; ++c) t[static_cast<std::size_t>(c)] = ks340::digitEncode(static_cast<char>(c));
    return t;
}();
constexpr std::array<char, 256> digitDecode = [] {
    std::array<char, 256> t{};
    for (int c = 0; c < 256; ++c) t[static_cast<std::size_t>(c)] = ks340::digitDecode(static_cast<std::uint8_t>(c));
    return t;
}();

}  // namespace codes

FrequencyCode frequencyCode(std::int64_t hz) {
    int stepCode = 0;
    if (hz % 6250 == 0)
        stepCode = 2;
    else if (hz % 5000 == 0)
        stepCode = 1;
    const std::int64_t k = hz / kStepHz[stepCode];
    const std::int64_t p = kPrescaler[stepCode];
    // Floor division keeps A in 0..P-1 for the (unusable) negative values.
    std::int64_t n = k / p;
    std::int64_t a = k % p;
    if (a < 0) {
        a += p;
        n -= 1;
    }
    return {stepCode, static_cast<int>(n & 0x7FF), static_cast<int>(a)};
}

std::optional<std::int64_t> frequencyFromCode(int stepCode, int codeN, int codeA2) {
    if (stepCode < 0 || stepCode > 2) return std::nullopt;
    const std::int64_t count = static_cast<std::int64_t>(codeN) * kPrescaler[stepCode] + (codeA2 >> 1);
    return count * kStepHz[stepCode];
}

int transmitSubBand(std::int64_t hz) {
    if (hz >= 440'000'000 && hz < 450'000'000) return 0;
    if (hz >= 450'000'000 && hz < 460'000'000) return 1;
    if (hz >= 460'000'000 && hz < 470'000'000) return 2;
    if (hz >= 470'000'000 && hz <= 480'000'000) return 3;
    return 0;
}

std::int64_t frequencyTextToHz(std::string_view text) {
    double mhz = leadingNumber(text);
    if (std::isnan(mhz)) return 0;
    double hz = mhz * 1e6;
    if (hz > kLargestHz) hz = kLargestHz;
    if (hz < -kLargestHz) hz = -kLargestHz;
    return static_cast<std::int64_t>(std::llround(hz));
}

std::string hzToFrequencyText(std::int64_t hz) {
    // Five decimals of MHz are tens of hertz; round half away from zero
    // as printf does for these exactly representable values.
    const bool negative = hz < 0;
    std::uint64_t tens = negative ? 0 - static_cast<std::uint64_t>(hz) : static_cast<std::uint64_t>(hz);
    tens = (tens + 5) / 10;
    char buf[32];
    char* p = buf + sizeof buf;
    for (int i = 0; i < 5; ++i, tens /= 10) *--p = static_cast<char>('0' + tens % 10);
    *--p = '.';
    do {
        *--p = static_cast<char>('0' + tens % 10);
        tens /= 10;
    } while (tens != 0);
    if (negative && std::string_view(p, static_cast<std::size_t>(buf + sizeof buf - p)) != "0.00000") *--p = '-';
    return std::string(p, static_cast<std::size_t>(buf + sizeof buf - p));
}

bool channelBit(const std::array<std::uint8_t, 26>& mask, int channel) {
    if (channel < 1 || channel > kChannelCapacity) return false;
    const int i = channel - 1;
    const std::size_t byte = static_cast<std::size_t>((i / 8) ^ 1);
    return (mask[byte] >> (i % 8)) & 1;
}

void setChannelBit(std::array<std::uint8_t, 26>& mask, int channel, bool on) {
    if (channel < 1 || channel > kChannelCapacity) return;
    const int i = channel - 1;
    const std::size_t byte = static_cast<std::size_t>((i / 8) ^ 1);
    const auto bit = static_cast<std::uint8_t>(1u << (i % 8));
    if (on)
        mask[byte] = static_cast<std::uint8_t>(mask[byte] | bit);
    else
        mask[byte] = static_cast<std::uint8_t>(mask[byte] & ~bit);
}

std::string formatMemoryMap(const MemoryImage& image) {
    std::string out = "   ";
    out.reserve(kImageBlockCount * 52 + 64);
    char buf[8];
    for (unsigned j = 0; j < kImageBlockSize; ++j) {
        std::snprintf(buf, sizeof buf, "  %X", j);
        out += buf;
    }
    out += '\n';
    for (unsigned row = 0; row < kImageBlockCount; ++row) {
        std::snprintf(buf, sizeof buf, "%03X", row);
        out += buf;
        for (unsigned j = 0; j < kImageBlockSize; ++j) {
            std::snprintf(buf, sizeof buf, " %02X", image[row * kImageBlockSize + j]);
            out += buf;
        }
        out += '\n';
    }
    return out;
}

}  // namespace ks340
