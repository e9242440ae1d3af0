#include "link/ProgrammingExchange.h"

#include <algorithm>

namespace ks340 {

namespace {
constexpr int kWriteProgressMax = wire::kWriteBlockCount - 1;  // 509
constexpr int kReadProgressMax = wire::kReadLastBlock;         // 510
}  // namespace

ProgrammingExchange::ProgrammingExchange(Transport& transport, Timer& timer, ExchangeListener& listener)
    : transport_(transport), timer_(timer), listener_(listener), halfBlockSeen_(wire::kReadPacketCount, false) {}

void ProgrammingExchange::startRead() { startRead(LinkImage{}); }

void ProgrammingExchange::startRead(const LinkImage& base) {
    failure_ = Failure::None;
    image_ = base;
    std::fill(halfBlockSeen_.begin(), halfBlockSeen_.end(), false);
    halfBlocksReceived_ = 0;
    listener_.progressChanged(0, kReadProgressMax);
    stopWatchdog();
    setBusy(false);
    blockIndex_ = 0;
    errorCount_ = 0;
    packetValid_ = false;
    sendReadRequest();
}

void ProgrammingExchange::startWrite(const LinkImage& image) {
    failure_ = Failure::None;
    image_ = image;
    listener_.progressChanged(0, kWriteProgressMax);
    stopWatchdog();
    setBusy(false);
    firstHalf_ = false;
    blockIndex_ = 0;
    errorCount_ = 0;
    state_ = WriteRequestSent;
    transport_.queue().clear();
    sendBytes(wire::kWriteRequest.data(), static_cast<int>(wire::kWriteRequest.size()));
    armWatchdog(kBlockWatchdogMs);
}

void ProgrammingExchange::sendReadRequest() {
    stopWatchdog();
    state_ = ReadRequestSent;
    requestRefused_ = false;
    transport_.queue().clear();
    sendBytes(wire::kReadRequest.data(), static_cast<int>(wire::kReadRequest.size()));
    armWatchdog(kRequestWatchdogMs);
}

void ProgrammingExchange::resendWriteRequest() {
    stopWatchdog();
    state_ = WriteRequestSent;
    transport_.queue().clear();
    sendBytes(wire::kWriteRequest.data(), static_cast<int>(wire::kWriteRequest.size()));
    armWatchdog(kRequestWatchdogMs);
}

void ProgrammingExchange::sendBlock() {
    stopWatchdog();
    if (blockIndex_ == wire::kWriteBlockCount) {
        finish(true, kWriteComplete);
        return;
    }
    const wire::WritePacket packet = wire::buildWritePacket(image_.data(), blockIndex_);
    state_ = Writing;
    transport_.queue().clear();
    sendBytes(packet.data(), static_cast<int>(packet.size()));
    listener_.progressChanged(blockIndex_, kWriteProgressMax);
    armWatchdog(kBlockWatchdogMs);
}

void ProgrammingExchange::onReceiveNotification() {
    ReceiveQueue& queue = transport_.queue();
    const int n = queue.count();
    switch (state_) {
        case Idle:
            return;

        case WriteRequestSent:
        case Writing:
        case ReadRequestSent:
            if (n < wire::kReplySize) {
                // Part of a reply: counted, the bytes stay queued, and the
                // running watchdog keeps its deadline.
                countError();
                return;
            }
            break;

        case Reading:
            if (n < wire::kReadPacketSize) return;  // wait for the rest of the packet
            break;
    }

    stopWatchdog();
    switch (state_) {
        case WriteRequestSent:
            queue.take(replyBytes_.data(), wire::kReplySize);
            queue.clear();
            if (replyBytes_[0] == wire::kAccepted) {
                state_ = Writing;
                blockIndex_ = 0;
                errorCount_ = 0;
                sendBlock();
                setBusy(true);
            } else {
                if (!countError()) return;
                resendWriteRequest();
            }
            return;

        case Writing:
            queue.take(replyBytes_.data(), wire::kReplySize);
            queue.clear();
            if (replyBytes_[0] == wire::kAccepted) {
                ++blockIndex_;
                errorCount_ = 0;
            } else if (!countError()) {
                return;
            }
            sendBlock();  // the next block, or the same one again
            return;

        case ReadRequestSent:
            // Only the reply is taken: the first packet may follow in the same
            // burst.
            queue.take(replyBytes_.data(), wire::kReplySize);
            if (replyBytes_[0] == wire::kAccepted) {
                state_ = Reading;
                blockIndex_ = 0;
                errorCount_ = 0;
                packetValid_ = true;
                setBusy(true);
                if (queue.count() >= wire::kReadPacketSize)
                    takeReadPacket();
                else
                    armWatchdog(kBlockWatchdogMs);
            } else {
                // Refused, or a stray byte in front of the reply: drop whatever
                // is queued and ask again when the watchdog runs out.
                packetValid_ = false;
                if (!countError()) return;
                requestRefused_ = true;
                queue.clear();
                armWatchdog(kRequestWatchdogMs);
            }
            return;

        case Reading:
            takeReadPacket();
            return;

        case Idle:
            return;
    }
}

void ProgrammingExchange::takeReadPacket() {
    ReceiveQueue& queue = transport_.queue();
    queue.take(readPacket_.data(), wire::kReadPacketSize);
    queue.clear();
    if (wire::framedCorrectly(readPacket_.data(), readPacket_.size())) {
        errorCount_ = 0;
        packetValid_ = true;
    } else {
        packetValid_ = false;
        if (!countError()) return;
    }
    acceptReadPacket();
}

void ProgrammingExchange::acceptReadPacket() {
    stopWatchdog();
    if (packetValid_) {
        const int hi = readPacket_[1];
        int lo = readPacket_[2];
        bool first = true;
        if ((lo & 0x0F) == 8) {
            first = false;
            lo -= 8;
        }
        const int block = ((hi * 16) & 0xFFF) | (lo / 16);
        const int offset = block * wire::kBlockSize + (first ? 0 : wire::kReadDataSize);
        if (offset + wire::kReadDataSize > wire::kImageSize) {
            // Outside the image: a damaged or misaligned packet. Refuse it
            // and store nothing.
            packetValid_ = false;
            if (!countError()) return;
        } else {
            firstHalf_ = first;
            blockIndex_ = block;
            std::copy_n(readPacket_.begin() + 3, wire::kReadDataSize, image_.begin() + offset);
            const int half = block * 2 + (first ? 0 : 1);
            if (half < wire::kReadPacketCount && !halfBlockSeen_[half]) {
                halfBlockSeen_[half] = true;
                ++halfBlocksReceived_;
            }
        }
    }
    const auto& answer = packetValid_ ? wire::kPacketAccepted : wire::kPacketRefused;
    sendBytes(answer.data(), static_cast<int>(answer.size()));
    listener_.progressChanged(blockIndex_, kReadProgressMax);

    if (packetValid_ && blockIndex_ == wire::kReadLastBlock) {
        // The radio has sent its last packet. Anything missing (a lost
        // packet, a damaged address) makes the whole read unusable.
        if (halfBlocksReceived_ == wire::kReadPacketCount)
            finish(true, kReadComplete);
        else
            fail(Failure::Incomplete);
        return;
    }
    armWatchdog(kBlockWatchdogMs);
}

void ProgrammingExchange::onWatchdogExpired() {
    watchdogArmed_ = false;
    const bool graceOver = grace_;
    grace_ = false;
    switch (state_) {
        case Idle:
            return;
        case WriteRequestSent:
        case ReadRequestSent:
            if (graceOver) {
                // Counted when the short wait ran out; the reply is still missing.
                resendRequest();
                return;
            }
            if (state_ == ReadRequestSent && requestRefused_) {
                sendReadRequest();  // the refusal was counted when it came in
                return;
            }
            if (!countError()) return;
            if (armedDelay_ == kRequestWatchdogMs) {
                // A radio slower than the short wait: sending the request again
                // now would cross its late reply. Give it the long wait first.
                armWatchdog(kBlockWatchdogMs);
                grace_ = true;
                return;
            }
            resendRequest();
            return;
        case Writing:
            if (!countError()) return;
            sendBlock();  // the block that was not answered
            return;
        case Reading:
            // Our answer or the radio's packet went missing. A refusal makes the
            // radio repeat the packet it sent last, whichever of the two was lost;
            // repeating an acceptance could make it skip a packet.
            if (!countError()) return;
            transport_.queue().clear();
            sendBytes(wire::kPacketRefused.data(), static_cast<int>(wire::kPacketRefused.size()));
            armWatchdog(kBlockWatchdogMs);
            return;
    }
}

void ProgrammingExchange::resendRequest() {
    if (state_ == WriteRequestSent)
        resendWriteRequest();
    else
        sendReadRequest();
}

void ProgrammingExchange::onTransportLost() {
    if (state_ != Idle) fail(Failure::TransportLost);
}

void ProgrammingExchange::cancel() {
    stopWatchdog();
    state_ = Idle;
    blockIndex_ = 0;
    setBusy(false);
}

void ProgrammingExchange::sendBytes(const std::uint8_t* data, int n) {
    // A short write is not handled here: the missing reply runs the
    // watchdog out and the bytes go again.
    transport_.write(data, n);
}

void ProgrammingExchange::armWatchdog(int ms) {
    if (watchdogArmed_) return;
    timer_.start(ms);
    watchdogArmed_ = true;
    armedDelay_ = ms;
    grace_ = false;
}

void ProgrammingExchange::stopWatchdog() {
    grace_ = false;
    if (!watchdogArmed_) return;
    timer_.stop();
    watchdogArmed_ = false;
}

bool ProgrammingExchange::countError() {
    if (errorCount_ > kMaxErrors) {
        fail(Failure::TooManyErrors);
        return false;
    }
    ++errorCount_;
    return true;
}

void ProgrammingExchange::fail(Failure why) {
    failure_ = why;
    finish(false, kCommunicationError);
}

void ProgrammingExchange::finish(bool ok, const char* message) {
    stopWatchdog();
    state_ = Idle;
    blockIndex_ = 0;
    setBusy(false);
    listener_.finished(ok, message);
}

void ProgrammingExchange::setBusy(bool busy) {
    if (busy == busyReported_) return;
    busyReported_ = busy;
    listener_.busyChanged(busy);
}

}  // namespace ks340
