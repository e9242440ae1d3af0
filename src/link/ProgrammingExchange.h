// The read/write exchange with the radio, as a state machine with no I/O of
// its own.
//
// A write sends the write request, waits for the radio's acceptance, then
// sends blocks 0..509 of the image as 20-byte packets, one at a time,
// advancing on each acceptance. A read sends the read request, waits for the
// ready reply, then answers each 12-byte packet the radio sends until the
// packet for 0x1FE0 arrives.
//
// The owner feeds it three kinds of events, all on one thread:
//   onReceiveNotification()  bytes were added to the transport's queue
//   onWatchdogExpired()      the one-shot timer armed by the exchange ran out
//   onTransportLost()        the port went away (cable pulled, device gone)
// and learns about the outcome through ExchangeListener.
//
// Lost replies are recovered: on watchdog expiry the exchange resends what
// the other side has not answered (the request, the current block, or a
// refusal asking the radio to repeat its last read packet). When a short
// (25 ms) wait for a request's reply runs out, the exchange first waits the
// long delay (100 ms) before asking again, so a slow radio's late reply is
// not crossed by a second request. Errors in a row are counted in
// errorCount; once it has passed 10 the transfer ends with
// "Communication Error!!".
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "link/ReceiveQueue.h"
#include "link/WireFormat.h"

namespace ks340 {

// The 8192 bytes the exchange moves.
using LinkImage = std::array<std::uint8_t, wire::kImageSize>;

// Where the exchange sends bytes and finds received ones.
class Transport {
public:
    virtual ~Transport() = default;
    // Sends n bytes; returns the number written (0 when the port is closed).
    virtual int write(const std::uint8_t* data, int n) = 0;
    // Bytes received and not yet taken.
    virtual ReceiveQueue& queue() = 0;
};

// A one-shot timer. start() replaces any pending run; after stop() (or a
// new start()) an earlier run never reports expiry.
class Timer {
public:
    virtual ~Timer() = default;
    virtual void start(int milliseconds) = 0;
    virtual void stop() = 0;
};

class ExchangeListener {
public:
    virtual ~ExchangeListener() = default;
    // Progress bar: position in 0..maximum (write 0..509, read 0..510).
    virtual void progressChanged(int /*position*/, int /*maximum*/) {}
    // True while blocks are exchanged (the dialog's buttons are disabled).
    virtual void busyChanged(bool /*busy*/) {}
    // The transfer ended: ok with "Writing Data Complete!" or
    // "Reading Data Complete!", or failed with "Communication Error!!".
    virtual void finished(bool /*ok*/, const std::string& /*message*/) {}
};

class ProgrammingExchange {
public:
    enum State {
        Idle = 0,
        WriteRequestSent = 1,
        Writing = 2,
        ReadRequestSent = 3,
        Reading = 4,
    };

    static constexpr int kRequestWatchdogMs = 25;
    static constexpr int kBlockWatchdogMs = 100;
    static constexpr int kMaxErrors = 10;  // the transfer ends once errorCount has passed this

    static constexpr const char* kWriteComplete = "Writing Data Complete!";
    static constexpr const char* kReadComplete = "Reading Data Complete!";
    static constexpr const char* kCommunicationError = "Communication Error!!";

    // Why the last transfer ended with "Communication Error!!".
    enum class Failure {
        None,
        TooManyErrors,  // replies missing or refused more than kMaxErrors times in a row
        Incomplete,     // the radio sent its last packet but packets were missing
        TransportLost,  // the port went away
    };

    ProgrammingExchange(Transport& transport, Timer& timer, ExchangeListener& listener);

    // Starts (or restarts) a read. Bytes 0x0000..0x1FE7 of image() are
    // overwritten as packets arrive; the rest keeps the value of `base`.
    void startRead(const LinkImage& base);
    void startRead();  // base all zero
    // Starts (or restarts) a write of `image`.
    void startWrite(const LinkImage& image);

    void onReceiveNotification();
    void onWatchdogExpired();
    void onTransportLost();
    // Abandons a transfer without a message (dialog closed).
    void cancel();

    State exchangeState() const { return state_; }
    int blockIndex() const { return blockIndex_; }
    int errorCount() const { return errorCount_; }
    bool packetValid() const { return packetValid_; }
    bool firstHalf() const { return firstHalf_; }
    bool busy() const { return state_ == Writing || state_ == Reading; }
    // The image being written, or being filled by a read (complete only
    // after finished(true, ...) of a read).
    const LinkImage& image() const { return image_; }
    // Number of distinct read packets (half-blocks 0x0000..0x1FE0) stored.
    int halfBlocksReceived() const { return halfBlocksReceived_; }
    // Why the last transfer failed (None while running or after success).
    Failure failure() const { return failure_; }

private:
    void sendBlock();
    void acceptReadPacket();
    void resendWriteRequest();
    void resendRequest();
    void sendReadRequest();
    void takeReadPacket();
    void sendBytes(const std::uint8_t* data, int n);
    void armWatchdog(int ms);
    void stopWatchdog();
    // Counts one error; false when the limit was already passed and the
    // transfer has been ended.
    bool countError();
    void fail(Failure why);
    void finish(bool ok, const char* message);
    void setBusy(bool busy);

    Transport& transport_;
    Timer& timer_;
    ExchangeListener& listener_;

    State state_ = Idle;
    int blockIndex_ = 0;
    int errorCount_ = 0;
    bool packetValid_ = false;
    bool firstHalf_ = false;
    bool watchdogArmed_ = false;
    int armedDelay_ = 0;  // delay of the watchdog armed last
    bool grace_ = false;  // the armed watchdog is the long wait after a short one ran out
    bool busyReported_ = false;
    bool requestRefused_ = false;  // the read request was refused; resend on expiry
    std::array<std::uint8_t, wire::kReplySize> replyBytes_{};
    wire::ReadPacket readPacket_{};
    LinkImage image_{};
    std::vector<bool> halfBlockSeen_;
    int halfBlocksReceived_ = 0;
    Failure failure_ = Failure::None;
};

}  // namespace ks340
