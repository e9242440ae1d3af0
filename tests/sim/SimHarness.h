// A scripted PC for driving the radio model in tests.
#pragma once

#include <cstdint>
#include <vector>

#include "sim/RadioSim.h"

namespace ks340::sim::test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes bytesOf(std::initializer_list<std::uint8_t> list) { return Bytes(list); }

inline Bytes readRequest() { return Bytes(wire::kReadRequest.begin(), wire::kReadRequest.end()); }
inline Bytes writeRequest() { return Bytes(wire::kWriteRequest.begin(), wire::kWriteRequest.end()); }
inline Bytes ack() { return Bytes(wire::kPacketAccepted.begin(), wire::kPacketAccepted.end()); }
inline Bytes nak() { return Bytes(wire::kPacketRefused.begin(), wire::kPacketRefused.end()); }

// A memory with a different, recognisable value in every byte.
inline Memory patternMemory(std::uint8_t salt) {
    Memory m{};
    for (std::size_t i = 0; i < m.size(); ++i) m[i] = static_cast<std::uint8_t>((i * 7 + (i >> 8) * 13 + salt) & 0xFF);
    return m;
}

inline Bytes block(const Memory& image, int index) {
    const auto p = wire::buildWritePacket(image.data(), index);
    return Bytes(p.begin(), p.end());
}

class Pc {
public:
    explicit Pc(RadioConfig config, Memory memory = {}) : radio(std::move(config), memory) {}

    // Sends bytes at the current time and lets the radio run until `now`.
    void send(const Bytes& bytes) {
        radio.receive(bytes.data(), bytes.size(), now);
        run();
    }
    // Moves the clock on by `micros` and lets the radio run.
    void wait(SimTime micros) {
        now += micros;
        run();
    }
    // Moves the clock to the radio's next wake-up (if any) and runs it.
    bool step() {
        const auto next = radio.nextWakeup();
        if (!next) return false;
        if (*next > now) now = *next;
        run();
        return true;
    }
    // Everything the radio has put on the line so far, one entry per burst.
    std::vector<Burst> take() {
        std::vector<Burst> out;
        out.swap(received);
        return out;
    }
    // The next burst, running the radio forward until one comes (up to
    // `limit` microseconds); empty when none came.
    Bytes next(SimTime limit = 10'000'000) {
        const SimTime end = now + limit;
        while (received.empty()) {
            const auto wake = radio.nextWakeup();
            if (!wake || *wake > end) break;
            if (*wake > now) now = *wake;
            run();
        }
        if (received.empty()) return {};
        Bytes b = received.front().bytes;
        received.erase(received.begin());
        return b;
    }
    std::vector<SimEventKind> eventKinds() {
        std::vector<SimEventKind> kinds;
        for (const auto& e : radio.takeEvents())
            if (e.kind != SimEventKind::Trace) kinds.push_back(e.kind);
        return kinds;
    }

    RadioSim radio;
    SimTime now = 0;
    std::vector<Burst> received;

private:
    void run() {
        radio.advance(now);
        for (auto& b : radio.takeOutput()) received.push_back(std::move(b));
    }
};

inline RadioConfig unpaced() {
    RadioConfig c;
    c.baud = 0;
    return c;
}

}  // namespace ks340::sim::test
