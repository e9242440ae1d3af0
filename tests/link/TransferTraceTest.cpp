// The transfer trace's lines: time, direction, bytes.
#include <gtest/gtest.h>

#include <sstream>

#include "link/TransferTrace.h"

namespace ks340 {

TEST(TransferTraceTest, OneLinePerBurstWithTimeAndDirection) {
    std::ostringstream out;
    const auto start = TransferTrace::Clock::time_point{};
    TransferTrace trace(out, start);
    const std::uint8_t request[] = {0x76, 0x57, 0xCD};
    const std::uint8_t reply[] = {0xA1, 0xFF};
    trace.note("write on /dev/pts/3", start);
    trace.record(true, request, 3, start + std::chrono::microseconds(10876));
    trace.record(false, reply, 2, start + std::chrono::milliseconds(1234) + std::chrono::microseconds(5));
    trace.record(false, reply, 0, start + std::chrono::seconds(2));  // nothing: no line
    EXPECT_EQ(out.str(),
              "       0.000 ms  ---  write on /dev/pts/3\n"
              "      10.876 ms  PC>  76 57 CD\n"
              "    1234.005 ms  <RD  A1 FF\n");
    EXPECT_EQ(trace.bytesSent(), 3);
    EXPECT_EQ(trace.bytesReceived(), 2);
}

}  // namespace ks340
