// The radio's side of the programming exchange, as a discrete-event model
// with no I/O of its own.
//
// The owner feeds it the bytes the PC sends (receive) and the passing of
// time (advance), and writes out the bursts it hands back (takeOutput) when
// they are due. Time is in microseconds on any monotonic clock.
//
// The radio answers a write request with 0xA1 and stores every 20-byte block
// that follows, acknowledging each one; a damaged block is refused with 0x58
// so the PC sends it again. It answers a read request with 0xA1 and then
// sends its memory as 12-byte packets, 0x0000 up to 0x1FE0, one at a time:
// 0xA1 from the PC moves on to the next packet, anything else (or no answer
// within the resend timeout) sends the same packet again.
//
// The serial line can be paced at a real baud rate (10 bits a byte, both
// directions): a burst leaves when its last byte would have left the radio,
// and received bytes are looked at when their last byte would have arrived.
//
// Faults are counted per transfer. A transfer begins with the first request
// after the previous transfer ended (completed, abandoned, or the PC closed
// the line); requests repeated within one transfer do not start a new count.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "link/WireFormat.h"
#include "sim/FaultSchedule.h"

namespace ks340::sim {

using SimTime = std::int64_t;  // microseconds
using Memory = std::array<std::uint8_t, wire::kImageSize>;

// What the radio sends back: the first byte 0xA1 accepts, anything else
// refuses; the PC does not look at the second byte.
inline constexpr std::array<std::uint8_t, 2> kRadioAccept{wire::kAccepted, 0xFF};
inline constexpr std::array<std::uint8_t, 2> kRadioRefuse{0x58, 0xFF};

struct RadioConfig {
    int baud = 19200;           // 0: no pacing, bytes go out as fast as possible
    int replyDelayMs = 0;       // pause before every reply and read packet
    int readStartGapMs = 5;     // between the ready reply and the first read packet
    int resendTimeoutMs = 250;  // a read packet with no answer is sent again after this
    int giveUpAfter = 20;       // failed sends of one read packet in a row before the radio gives up
    int frameGapMs = 20;        // an incomplete frame older than this is thrown away
    std::uint64_t seed = 1;

    FaultSchedule dropReply;              // transmissions (replies, read packets) lost on the line
    FaultSchedule corruptPacket;          // read packets sent with a damaged frame byte; write blocks taken
                                          // as damaged
    FaultSchedule strayBytes;             // transmissions preceded by one stray byte
    int refuseRequests = 0;               // requests refused at the start of each transfer
    bool burst = false;                   // ready reply and first read packet in one burst
    int hangupAfter = -1;                 // hang up in place of packet N+1 of a transfer; < 0 never
    std::vector<int> wrongByteAddresses;  // a write stores a wrong byte here
    bool trace = false;                   // report every frame as a Trace event
};

enum class SimEventKind {
    RequestRefused,
    WriteStarted,
    ReadStarted,
    WriteCompleted,  // every block 0..509 of a write session has been stored
    ReadCompleted,   // the packet for 0x1FE0 was acknowledged
    ReadAbandoned,   // a read packet went unanswered too often
    HungUp,
    LineDropped,
    Trace,
};

struct SimEvent {
    SimTime time = 0;
    SimEventKind kind = SimEventKind::Trace;
    std::string text;
};

struct Burst {
    SimTime time = 0;  // when its last byte has left the radio
    std::vector<std::uint8_t> bytes;
};

struct SimStats {
    int requests = 0;
    int requestsRefused = 0;
    int blocksStored = 0;
    int blocksRefused = 0;
    int packetsSent = 0;  // read packets, resends included
    int packetsResent = 0;
    int refusalsReceived = 0;
    int resendTimeouts = 0;
    int transmissionsDropped = 0;
    int packetsCorrupted = 0;
    int strayBytesSent = 0;
    int bytesDiscarded = 0;  // received bytes that fitted no frame
};

class RadioSim {
public:
    enum class Mode { Idle, Writing, Reading };

    RadioSim(RadioConfig config, const Memory& memory);

    // Bytes from the PC that were read off the line at `now`.
    void receive(const std::uint8_t* data, std::size_t size, SimTime now);
    // Runs everything that is due up to `now`.
    void advance(SimTime now);
    // The earliest time at which advance() has something to do.
    std::optional<SimTime> nextWakeup() const;
    // Bursts that are due, in order; removes them.
    std::vector<Burst> takeOutput();
    // The PC closed the line: whatever was going on ends.
    void lineDropped(SimTime now);
    std::vector<SimEvent> takeEvents();

    // The radio hung up (hangupAfter): nothing more is sent or answered.
    bool hungUp() const { return hungUp_; }
    Mode mode() const { return mode_; }
    int readAddress() const { return readAddress_; }
    const Memory& memory() const { return memory_; }
    // Another radio on the line: its memory replaces this one's (between transfers).
    void replaceMemory(const Memory& memory) { memory_ = memory; }
    const SimStats& stats() const { return stats_; }
    int completedWrites() const { return completedWrites_; }
    int completedReads() const { return completedReads_; }
    const RadioConfig& config() const { return config_; }

    // Time the line needs for n bytes at the configured baud rate.
    SimTime lineTime(std::size_t bytes) const;

private:
    enum class RequestKind { Read, Write };

    void processInput();
    void onRequest(RequestKind kind);
    void onBlock();
    void onReadReply(std::uint8_t first);
    void onResendTimeout();
    void sendReadPacket(SimTime earliest, bool withReadyReply);
    SimTime transmit(std::vector<std::uint8_t> bytes, SimTime earliest);
    void beginTransferIfNeeded();
    void endTransfer();
    void abandonRead(const char* why);
    void hangUp();
    void emit(SimEventKind kind, std::string text);
    // Builds the text only when tracing is on.
    template <class MakeText>
    void trace(MakeText&& makeText) {
        if (config_.trace) emit(SimEventKind::Trace, makeText());
    }
    std::uint8_t strayByte();

    RadioConfig config_;
    Memory memory_;

    SimTime clock_ = 0;  // time of the event being handled
    SimTime inFree_ = 0;
    SimTime outFree_ = 0;

    struct Chunk {
        SimTime ready;
        std::vector<std::uint8_t> bytes;
    };
    std::deque<Chunk> inbound_;
    std::vector<std::uint8_t> inBuf_;
    SimTime lastInput_ = 0;
    std::optional<SimTime> gapDeadline_;

    std::deque<Burst> outbound_;
    std::vector<Burst> output_;
    std::vector<SimEvent> events_;

    Mode mode_ = Mode::Idle;
    bool hungUp_ = false;

    // Transfer counters.
    bool transferOpen_ = false;
    std::uint64_t replyOrdinal_ = 0;
    std::uint64_t packetOrdinal_ = 0;
    int requestsRefusedInTransfer_ = 0;

    // Write session.
    std::vector<bool> blockSeen_;
    int blocksSeenCount_ = 0;
    bool writeDone_ = false;

    // Read session.
    int readAddress_ = 0;
    SimTime packetDelivered_ = 0;
    std::optional<SimTime> resendDeadline_;
    int failedSends_ = 0;

    int completedWrites_ = 0;
    int completedReads_ = 0;
    SimStats stats_;

    SimRandom dropRandom_;
    SimRandom corruptRandom_;
    SimRandom strayRandom_;
};

const char* modeName(RadioSim::Mode mode);

}  // namespace ks340::sim
