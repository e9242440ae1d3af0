#include "sim/FaultSchedule.h"

#include <charconv>
#include <cstdio>

namespace ks340::sim {

std::uint64_t SimRandom::next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

double SimRandom::nextUnit() {
    return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0);  // 2^-53
}

FaultSchedule FaultSchedule::withRate(double probability) {
    FaultSchedule s;
    s.rate_ = probability < 0.0 ? 0.0 : (probability > 1.0 ? 1.0 : probability);
    return s;
}

FaultSchedule FaultSchedule::atOrdinals(std::set<std::uint64_t> ordinals) {
    FaultSchedule s;
    ordinals.erase(0);
    s.ordinals_ = std::move(ordinals);
    return s;
}

namespace {

bool fail(std::string* error, std::string text) {
    if (error) *error = std::move(text);
    return false;
}

bool parseRate(std::string_view text, double& rate, std::string* error) {
    bool percent = false;
    if (!text.empty() && text.back() == '%') {
        percent = true;
        text.remove_suffix(1);
    }
    // Plain decimal: digits with at most one point, nothing else.
    double whole = 0.0;
    double scale = 1.0;
    bool point = false;
    bool digits = false;
    for (char c : text) {
        if (c == '.' && !point) {
            point = true;
        } else if (c >= '0' && c <= '9') {
            digits = true;
            if (point) {
                scale /= 10.0;
                whole += (c - '0') * scale;
            } else {
                whole = whole * 10.0 + (c - '0');
            }
        } else {
            return fail(error, "not a number");
        }
    }
    if (!digits) return fail(error, "not a number");
    if (percent) whole /= 100.0;
    if (whole > 1.0) return fail(error, "a rate must lie between 0 and 1 (or 0% and 100%)");
    rate = whole;
    return true;
}

}  // namespace

std::optional<FaultSchedule> FaultSchedule::parse(std::string_view text, std::string* error) {
    if (text.empty()) return never();
    if (text.find('.') != std::string_view::npos || text.back() == '%') {
        double rate = 0.0;
        if (!parseRate(text, rate, error)) return std::nullopt;
        return withRate(rate);
    }
    std::set<std::uint64_t> ordinals;
    while (!text.empty()) {
        const auto comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        std::uint64_t value = 0;
        const auto [end, ec] = std::from_chars(item.data(), item.data() + item.size(), value);
        if (item.empty() || ec != std::errc() || end != item.data() + item.size()) {
            fail(error, "expected a rate such as 0.05 or 5%, or event numbers such as 3 or 1,7,300");
            return std::nullopt;
        }
        ordinals.insert(value);
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
        if (text.empty()) {
            fail(error, "a list must not end with a comma");
            return std::nullopt;
        }
    }
    return atOrdinals(std::move(ordinals));
}

bool FaultSchedule::hits(std::uint64_t ordinal, SimRandom& random) const {
    if (!ordinals_.empty()) return ordinals_.count(ordinal) != 0;
    if (rate_ <= 0.0) return false;
    return random.nextUnit() < rate_;
}

std::string FaultSchedule::describe() const {
    if (!ordinals_.empty()) {
        std::string s = "events ";
        bool first = true;
        for (auto o : ordinals_) {
            if (!first) s += ',';
            s += std::to_string(o);
            first = false;
        }
        return s;
    }
    if (rate_ > 0.0) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "rate %g", rate_);
        return buf;
    }
    return "never";
}

}  // namespace ks340::sim
