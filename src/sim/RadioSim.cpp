#include "sim/RadioSim.h"

#include <algorithm>
#include <cstdio>

namespace ks340::sim {

namespace {

constexpr SimTime kMs = 1000;

std::string hex4(int value) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%04X", value & 0xFFFF);
    return buf;
}

bool startsWith(const std::vector<std::uint8_t>& buf, const std::array<std::uint8_t, 3>& pattern) {
    return buf.size() >= pattern.size() && std::equal(pattern.begin(), pattern.end(), buf.begin());
}

}  // namespace

const char* modeName(RadioSim::Mode mode) {
    switch (mode) {
        case RadioSim::Mode::Idle:
            return "idle";
        case RadioSim::Mode::Writing:
            return "writing";
        case RadioSim::Mode::Reading:
            return "reading";
    }
    return "?";
}

RadioSim::RadioSim(RadioConfig config, const Memory& memory)
    : config_(std::move(config)),
      memory_(memory),
      dropRandom_(config_.seed ^ 0x64726F70ULL),
      corruptRandom_(config_.seed ^ 0x636F7272ULL),
      strayRandom_(config_.seed ^ 0x73747279ULL) {}

SimTime RadioSim::lineTime(std::size_t bytes) const {
    if (config_.baud <= 0) return 0;
    // 10 bits a byte: start, 8 data, stop.
    return static_cast<SimTime>(bytes) * 10 * 1000000 / config_.baud;
}

void RadioSim::receive(const std::uint8_t* data, std::size_t size, SimTime now) {
    if (size == 0 || hungUp_) return;
    const SimTime start = std::max(now, inFree_);
    const SimTime ready = start + lineTime(size);
    inFree_ = ready;
    inbound_.push_back({ready, std::vector<std::uint8_t>(data, data + size)});
}

std::optional<SimTime> RadioSim::nextWakeup() const {
    std::optional<SimTime> next;
    auto consider = [&next](std::optional<SimTime> t) {
        if (t && (!next || *t < *next)) next = t;
    };
    if (!hungUp_) {
        if (!inbound_.empty()) consider(inbound_.front().ready);
        consider(resendDeadline_);
        consider(gapDeadline_);
    }
    if (!outbound_.empty()) consider(outbound_.front().time);
    return next;
}

void RadioSim::advance(SimTime now) {
    while (!hungUp_) {
        // The earliest due event; received bytes win a tie so that an answer
        // arriving exactly at a deadline still counts.
        enum { None, Input, Resend, Gap } what = None;
        SimTime when = 0;
        if (!inbound_.empty() && inbound_.front().ready <= now) {
            what = Input;
            when = inbound_.front().ready;
        }
        if (resendDeadline_ && *resendDeadline_ <= now && (what == None || *resendDeadline_ < when)) {
            what = Resend;
            when = *resendDeadline_;
        }
        if (gapDeadline_ && *gapDeadline_ <= now && (what == None || *gapDeadline_ < when)) {
            what = Gap;
            when = *gapDeadline_;
        }
        if (what == None) break;
        clock_ = std::max(clock_, when);
        switch (what) {
            case Input: {
                Chunk chunk = std::move(inbound_.front());
                inbound_.pop_front();
                inBuf_.insert(inBuf_.end(), chunk.bytes.begin(), chunk.bytes.end());
                lastInput_ = clock_;
                processInput();
                break;
            }
            case Resend:
                resendDeadline_.reset();
                onResendTimeout();
                break;
            case Gap:
                gapDeadline_.reset();
                stats_.bytesDiscarded += static_cast<int>(inBuf_.size());
                trace([&] { return "incomplete frame of " + std::to_string(inBuf_.size()) + " bytes thrown away"; });
                inBuf_.clear();
                break;
            case None:
                break;
        }
    }
    while (!outbound_.empty() && outbound_.front().time <= now) {
        output_.push_back(std::move(outbound_.front()));
        outbound_.pop_front();
    }
}

std::vector<Burst> RadioSim::takeOutput() {
    std::vector<Burst> out;
    out.swap(output_);
    return out;
}

std::vector<SimEvent> RadioSim::takeEvents() {
    std::vector<SimEvent> out;
    out.swap(events_);
    return out;
}

void RadioSim::lineDropped(SimTime now) {
    clock_ = std::max(clock_, now);
    inbound_.clear();
    inBuf_.clear();
    gapDeadline_.reset();
    resendDeadline_.reset();
    outbound_.clear();
    output_.clear();
    inFree_ = outFree_ = clock_;
    if (mode_ != Mode::Idle || transferOpen_) emit(SimEventKind::LineDropped, "the PC closed the line");
    mode_ = Mode::Idle;
    endTransfer();
}

void RadioSim::processInput() {
    while (!inBuf_.empty() && !hungUp_) {
        const std::uint8_t first = inBuf_[0];
        if (first == wire::kReadRequest[0] || first == wire::kWriteRequest[0]) {
            if (inBuf_.size() < wire::kReadRequest.size()) break;
            if (startsWith(inBuf_, wire::kReadRequest) || startsWith(inBuf_, wire::kWriteRequest)) {
                const RequestKind kind =
                    startsWith(inBuf_, wire::kReadRequest) ? RequestKind::Read : RequestKind::Write;
                inBuf_.erase(inBuf_.begin(), inBuf_.begin() + 3);
                onRequest(kind);
                continue;
            }
        }
        if (mode_ == Mode::Writing && first == wire::kPacketStart) {
            if (inBuf_.size() < static_cast<std::size_t>(wire::kWritePacketSize)) break;
            onBlock();
            continue;
        }
        if (mode_ == Mode::Reading) {
            if (inBuf_.size() < 2) break;
            const std::uint8_t answer = inBuf_[0];
            inBuf_.erase(inBuf_.begin(), inBuf_.begin() + 2);
            onReadReply(answer);
            continue;
        }
        // Noise, or a byte of a frame whose start was lost.
        ++stats_.bytesDiscarded;
        inBuf_.erase(inBuf_.begin());
    }
    if (inBuf_.empty() || hungUp_)
        gapDeadline_.reset();
    else
        gapDeadline_ = lastInput_ + config_.frameGapMs * kMs;
}

void RadioSim::beginTransferIfNeeded() {
    if (transferOpen_) return;
    transferOpen_ = true;
    replyOrdinal_ = 0;
    packetOrdinal_ = 0;
    requestsRefusedInTransfer_ = 0;
}

void RadioSim::endTransfer() { transferOpen_ = false; }

void RadioSim::onRequest(RequestKind kind) {
    beginTransferIfNeeded();
    ++stats_.requests;
    // A new request supersedes whatever was still going to be sent.
    resendDeadline_.reset();
    while (!outbound_.empty() && outbound_.back().time > clock_) outbound_.pop_back();
    outFree_ = outbound_.empty() ? clock_ : std::max(clock_, outbound_.back().time);

    const char* name = kind == RequestKind::Read ? "read" : "write";
    if (requestsRefusedInTransfer_ < config_.refuseRequests) {
        ++requestsRefusedInTransfer_;
        ++stats_.requestsRefused;
        mode_ = Mode::Idle;
        emit(SimEventKind::RequestRefused, std::string(name) + " request refused");
        transmit({kRadioRefuse.begin(), kRadioRefuse.end()}, clock_ + config_.replyDelayMs * kMs);
        return;
    }
    const SimTime earliest = clock_ + config_.replyDelayMs * kMs;
    if (kind == RequestKind::Write) {
        mode_ = Mode::Writing;
        blockSeen_.assign(wire::kWriteBlockCount, false);
        blocksSeenCount_ = 0;
        writeDone_ = false;
        emit(SimEventKind::WriteStarted, "write request accepted");
        transmit({kRadioAccept.begin(), kRadioAccept.end()}, earliest);
        return;
    }
    mode_ = Mode::Reading;
    readAddress_ = 0;
    failedSends_ = 0;
    emit(SimEventKind::ReadStarted, "read request accepted");
    if (config_.burst) {
        sendReadPacket(earliest, true);
    } else {
        const SimTime replyGone = transmit({kRadioAccept.begin(), kRadioAccept.end()}, earliest);
        sendReadPacket(replyGone + config_.readStartGapMs * kMs, false);
    }
}

void RadioSim::onBlock() {
    const std::uint64_t ordinal = ++packetOrdinal_;
    if (config_.hangupAfter >= 0 && ordinal > static_cast<std::uint64_t>(config_.hangupAfter)) {
        hangUp();
        return;
    }
    const std::uint8_t* p = inBuf_.data();
    const int address = wire::packetAddress(p);
    const bool damaged = config_.corruptPacket.hits(ordinal, corruptRandom_);
    const bool valid = !damaged && p[wire::kWritePacketSize - 1] == wire::kPacketEnd &&
                       address % wire::kBlockSize == 0 && address + wire::kBlockSize <= wire::kImageSize;
    const SimTime earliest = clock_ + config_.replyDelayMs * kMs;
    if (!valid) {
        ++stats_.blocksRefused;
        if (damaged) ++stats_.packetsCorrupted;
        trace(
            [&] { return "block " + hex4(address) + (damaged ? " damaged on the line" : " malformed") + ", refused"; });
        // Whatever else is queued belongs to the bad frame: start afresh.
        stats_.bytesDiscarded += static_cast<int>(inBuf_.size()) - wire::kWritePacketSize;
        inBuf_.clear();
        transmit({kRadioRefuse.begin(), kRadioRefuse.end()}, earliest);
        return;
    }
    for (int i = 0; i < wire::kBlockSize; ++i) memory_[address + i] = p[3 + i];
    for (int wrong : config_.wrongByteAddresses) {
        if (wrong >= address && wrong < address + wire::kBlockSize)
            memory_[wrong] = static_cast<std::uint8_t>(p[3 + (wrong - address)] ^ 0xFF);
    }
    inBuf_.erase(inBuf_.begin(), inBuf_.begin() + wire::kWritePacketSize);
    ++stats_.blocksStored;
    trace([&] { return "block " + hex4(address) + " stored"; });
    const int block = address / wire::kBlockSize;
    if (block < wire::kWriteBlockCount && !blockSeen_[block]) {
        blockSeen_[block] = true;
        ++blocksSeenCount_;
    }
    transmit({kRadioAccept.begin(), kRadioAccept.end()}, earliest);
    if (blocksSeenCount_ == wire::kWriteBlockCount && !writeDone_) {
        writeDone_ = true;
        ++completedWrites_;
        endTransfer();
        emit(SimEventKind::WriteCompleted, "write complete: 510 blocks stored");
    }
}

void RadioSim::onReadReply(std::uint8_t first) {
    if (clock_ < packetDelivered_) {
        // The packet is still on its way, so this answers an earlier one.
        trace([&] { return "answer before the packet was out, ignored"; });
        return;
    }
    if (first == wire::kAccepted) {
        resendDeadline_.reset();
        failedSends_ = 0;
        if (readAddress_ == wire::kReadLastAddress) {
            mode_ = Mode::Idle;
            ++completedReads_;
            endTransfer();
            emit(SimEventKind::ReadCompleted, "read complete: 1021 packets acknowledged");
            return;
        }
        readAddress_ += wire::kReadDataSize;
        sendReadPacket(clock_ + config_.replyDelayMs * kMs, false);
        return;
    }
    ++stats_.refusalsReceived;
    resendDeadline_.reset();
    if (++failedSends_ > config_.giveUpAfter) {
        abandonRead("refused too often");
        return;
    }
    ++stats_.packetsResent;
    trace([&] { return "packet " + hex4(readAddress_) + " refused, sent again"; });
    sendReadPacket(clock_ + config_.replyDelayMs * kMs, false);
}

void RadioSim::onResendTimeout() {
    if (mode_ != Mode::Reading) return;
    ++stats_.resendTimeouts;
    if (++failedSends_ > config_.giveUpAfter) {
        abandonRead("no answer");
        return;
    }
    ++stats_.packetsResent;
    trace([&] { return "packet " + hex4(readAddress_) + " not answered, sent again"; });
    sendReadPacket(clock_, false);
}

void RadioSim::abandonRead(const char* why) {
    mode_ = Mode::Idle;
    resendDeadline_.reset();
    endTransfer();
    emit(SimEventKind::ReadAbandoned, std::string("read abandoned at ") + hex4(readAddress_) + ": " + why);
}

void RadioSim::sendReadPacket(SimTime earliest, bool withReadyReply) {
    const std::uint64_t ordinal = ++packetOrdinal_;
    if (config_.hangupAfter >= 0 && ordinal > static_cast<std::uint64_t>(config_.hangupAfter)) {
        hangUp();
        return;
    }
    wire::ReadPacket packet = wire::buildReadPacket(memory_.data(), readAddress_);
    if (config_.corruptPacket.hits(ordinal, corruptRandom_)) {
        ++stats_.packetsCorrupted;
        if (corruptRandom_.next() & 1)
            packet[0] ^= 0x01;
        else
            packet[wire::kReadPacketSize - 1] ^= 0x01;
        trace([&] { return "packet " + hex4(readAddress_) + " damaged on the line"; });
    }
    std::vector<std::uint8_t> bytes;
    if (withReadyReply) bytes.assign(kRadioAccept.begin(), kRadioAccept.end());
    bytes.insert(bytes.end(), packet.begin(), packet.end());
    ++stats_.packetsSent;
    packetDelivered_ = transmit(std::move(bytes), earliest);
    resendDeadline_ = packetDelivered_ + config_.resendTimeoutMs * kMs;
}

SimTime RadioSim::transmit(std::vector<std::uint8_t> bytes, SimTime earliest) {
    const std::uint64_t ordinal = ++replyOrdinal_;
    const bool drop = config_.dropReply.hits(ordinal, dropRandom_);
    if (config_.strayBytes.hits(ordinal, strayRandom_)) {
        bytes.insert(bytes.begin(), strayByte());
        ++stats_.strayBytesSent;
    }
    const SimTime start = std::max(earliest, outFree_);
    const SimTime done = start + lineTime(bytes.size());
    outFree_ = done;
    if (drop) {
        ++stats_.transmissionsDropped;
        trace([&] { return "transmission " + std::to_string(ordinal) + " lost on the line"; });
    } else {
        outbound_.push_back({done, std::move(bytes)});
    }
    return done;
}

std::uint8_t RadioSim::strayByte() {
    auto b = static_cast<std::uint8_t>(strayRandom_.next() & 0xFF);
    // Never a byte the PC could take for a good reply or a packet start.
    if (b == wire::kAccepted || b == wire::kPacketStart) b ^= 0x10;
    return b;
}

void RadioSim::hangUp() {
    hungUp_ = true;
    mode_ = Mode::Idle;
    resendDeadline_.reset();
    gapDeadline_.reset();
    inbound_.clear();
    inBuf_.clear();
    emit(SimEventKind::HungUp, "hung up after " + std::to_string(config_.hangupAfter) + " packets");
}

void RadioSim::emit(SimEventKind kind, std::string text) { events_.push_back({clock_, kind, std::move(text)}); }

}  // namespace ks340::sim
