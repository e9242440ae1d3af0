#include "link/ReceiveQueue.h"

namespace ks340 {

void ReceiveQueue::clear() {
    head_ = 0;
    tail_ = 0;
    buffer_.fill(0);
}

bool ReceiveQueue::push(std::uint8_t byte) {
    if (count() >= kCapacity) return false;
    buffer_[head_] = byte;
    head_ = (head_ + 1) % kSize;
    return true;
}

bool ReceiveQueue::pop(std::uint8_t& byte) {
    if (head_ == tail_) return false;
    byte = buffer_[tail_];
    tail_ = (tail_ + 1) % kSize;
    return true;
}

bool ReceiveQueue::pushBurst(const std::uint8_t* data, std::size_t n) {
    if (n >= static_cast<std::size_t>(kSize - count())) return false;
    for (std::size_t i = 0; i < n; ++i) push(data[i]);
    return true;
}

int ReceiveQueue::take(std::uint8_t* out, int n) {
    int taken = 0;
    while (taken < n && pop(out[taken])) ++taken;
    return taken;
}

}  // namespace ks340
