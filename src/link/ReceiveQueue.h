// Ring buffer of bytes received from the radio and not yet taken.
//
// 4192 cells, at most 4191 bytes queued (one cell always stays free). The
// serial transport is the only writer and the exchange the only reader; both
// run on the same thread, so no locking is needed.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace ks340 {

class ReceiveQueue {
public:
    static constexpr int kSize = 4192;
    static constexpr int kCapacity = kSize - 1;  // 4191

    // head := tail := 0 and every cell zeroed.
    void clear();
    // Number of bytes queued.
    int count() const { return (head_ - tail_ + kSize) % kSize; }
    // Stores one byte; false (byte dropped) when 4191 bytes are queued.
    bool push(std::uint8_t byte);
    // Takes the oldest byte; false when empty (queue unchanged).
    bool pop(std::uint8_t& byte);
    // Queues a whole burst read from the port: accepted only if every byte
    // fits (n smaller than 4192 minus the bytes queued); otherwise nothing
    // of it is queued and false is returned ("buff full").
    bool pushBurst(const std::uint8_t* data, std::size_t n);
    // Takes up to n bytes into out; returns how many were taken.
    int take(std::uint8_t* out, int n);

    int head() const { return head_; }
    int tail() const { return tail_; }

private:
    std::array<std::uint8_t, kSize> buffer_{};
    int head_ = 0;
    int tail_ = 0;
};

}  // namespace ks340
