// Fake transport, timer and listener for driving ProgrammingExchange with no
// port and no real time.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "link/ProgrammingExchange.h"

namespace ks340::test {

using Bytes = std::vector<std::uint8_t>;

class FakeTransport : public Transport {
public:
    int write(const std::uint8_t* data, int n) override {
        writes.emplace_back(data, data + n);
        return n;
    }
    ReceiveQueue& queue() override { return rx; }

    // Queues a burst as the serial port would.
    void deliver(const Bytes& bytes) { rx.pushBurst(bytes.data(), bytes.size()); }

    std::vector<Bytes> writes;
    ReceiveQueue rx;
};

class FakeTimer : public Timer {
public:
    void start(int ms) override {
        armed = true;
        delay = ms;
        starts.push_back(ms);
    }
    void stop() override { armed = false; }

    bool armed = false;
    int delay = 0;
    std::vector<int> starts;
};

class RecordingListener : public ExchangeListener {
public:
    void progressChanged(int position, int maximum) override {
        positions.push_back(position);
        this->maximum = maximum;
    }
    void busyChanged(bool busy) override { busyChanges.push_back(busy); }
    void finished(bool ok, const std::string& message) override {
        ++finishCount;
        this->ok = ok;
        this->message = message;
    }

    std::vector<int> positions;
    int maximum = -1;
    std::vector<bool> busyChanges;
    int finishCount = 0;
    bool ok = false;
    std::string message;
};

// An exchange wired to the fakes.
struct Rig {
    FakeTransport transport;
    FakeTimer timer;
    RecordingListener listener;
    ProgrammingExchange exchange{transport, timer, listener};

    // Delivers bytes and notifies the exchange.
    void receive(const Bytes& bytes) {
        transport.deliver(bytes);
        exchange.onReceiveNotification();
    }
    // Runs the armed watchdog out.
    void expire() {
        ASSERT_TRUE(timer.armed) << "no watchdog armed";
        timer.armed = false;
        exchange.onWatchdogExpired();
    }
    const Bytes& lastWrite() const { return transport.writes.back(); }
};

}  // namespace ks340::test
