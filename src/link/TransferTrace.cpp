#include "link/TransferTrace.h"

#include <cstdio>

namespace ks340 {

TransferTrace::TransferTrace(std::ostream& out, Clock::time_point start) : out_(out), start_(start) {}

std::string TransferTrace::timeText(Clock::duration sinceStart) {
    const long long us = std::chrono::duration_cast<std::chrono::microseconds>(sinceStart).count();
    char buf[40];
    std::snprintf(buf, sizeof buf, "%8lld.%03lld ms", us / 1000, (us < 0 ? -us : us) % 1000);
    return buf;
}

void TransferTrace::record(bool sent, const std::uint8_t* data, int n, Clock::time_point when) {
    if (n <= 0) return;
    (sent ? sent_ : received_) += n;
    std::string line = timeText(when - start_) + (sent ? "  PC>  " : "  <RD  ");
    static const char digits[] = "0123456789ABCDEF";
    for (int i = 0; i < n; ++i) {
        if (i) line += ' ';
        line += digits[data[i] >> 4];
        line += digits[data[i] & 0x0F];
    }
    line += '\n';
    out_ << line;
    out_.flush();
}

void TransferTrace::note(std::string_view text, Clock::time_point when) {
    out_ << timeText(when - start_) << "  ---  " << text << '\n';
    out_.flush();
}

}  // namespace ks340
