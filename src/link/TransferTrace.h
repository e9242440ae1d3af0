// A transfer trace for troubleshooting a cable or a radio: every byte each
// way with the milliseconds since the trace began, one line per burst:
//
//       0.000 ms  PC>  AA 55 ...
//      31.402 ms  <RD  06
#pragma once

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

namespace ks340 {

class TransferTrace {
public:
    using Clock = std::chrono::steady_clock;

    // Lines go to `out`; times count from now.
    explicit TransferTrace(std::ostream& out, Clock::time_point start = Clock::now());

    // One burst of bytes: sent by the PC (true) or received from the radio.
    void record(bool sent, const std::uint8_t* data, int n, Clock::time_point when = Clock::now());
    // A line of text, such as the start or the outcome of a transfer.
    void note(std::string_view text, Clock::time_point when = Clock::now());

    long long bytesSent() const { return sent_; }
    long long bytesReceived() const { return received_; }

    // "12.345 ms" column text of a time since the start.
    static std::string timeText(Clock::duration sinceStart);

private:
    std::ostream& out_;
    Clock::time_point start_;
    long long sent_ = 0;
    long long received_ = 0;
};

}  // namespace ks340
