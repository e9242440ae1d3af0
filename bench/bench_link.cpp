// CPU cost of the programming exchange itself, with a transport that
// answers at once: the PC-side share of each packet round trip, without the
// kernel or the radio. The pseudo-terminal figures come from link_bench.sh.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "link/ProgrammingExchange.h"
#include "link/WireFormat.h"

namespace {

using namespace ks340;

// A radio that answers every write in the same call, as a burst arriving
// from the port would.
class InstantRadio : public Transport, public Timer, public ExchangeListener {
public:
    explicit InstantRadio(bool reading) : reading_(reading) {
        for (int i = 0; i < wire::kImageSize; ++i) memory_[i] = static_cast<std::uint8_t>(i * 13);
    }
    void attach(ProgrammingExchange* e) { exchange_ = e; }

    int write(const std::uint8_t* data, int n) override {
        pending_.clear();
        if (reading_) {
            // Request -> ready reply; acceptance -> next packet.
            if (n == 3) {
                pending_ = {0xA1, 0xFF};
                next_ = 0;
            } else if (data[0] == 0xA1) {
                next_ += 8;
            }
            if (next_ <= wire::kReadLastAddress) {
                const auto p = wire::buildReadPacket(memory_.data(), next_);
                pending_.insert(pending_.end(), p.begin(), p.end());
            }
        } else {
            pending_ = {0xA1, 0xFF};
        }
        return n;
    }
    ReceiveQueue& queue() override { return queue_; }
    void start(int) override {}
    void stop() override {}
    void finished(bool ok, const std::string&) override {
        done_ = true;
        ok_ = ok;
    }

    // Delivers the pending answer until the transfer ends.
    bool run() {
        done_ = false;
        while (!done_) {
            if (pending_.empty()) return false;
            std::vector<std::uint8_t> burst;
            burst.swap(pending_);
            queue_.pushBurst(burst.data(), burst.size());
            exchange_->onReceiveNotification();
        }
        return ok_;
    }

private:
    bool reading_;
    LinkImage memory_{};
    ReceiveQueue queue_;
    ProgrammingExchange* exchange_ = nullptr;
    std::vector<std::uint8_t> pending_;
    int next_ = 0;
    bool done_ = false;
    bool ok_ = false;
};

void BM_ExchangeWrite(benchmark::State& state) {
    InstantRadio radio(false);
    ProgrammingExchange exchange(radio, radio, radio);
    radio.attach(&exchange);
    LinkImage image{};
    for (auto _ : state) {
        exchange.startWrite(image);
        if (!radio.run()) state.SkipWithError("write did not complete");
    }
    state.counters["per_packet"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * (wire::kWriteBlockCount + 1),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ExchangeWrite)->Unit(benchmark::kMicrosecond);

void BM_ExchangeRead(benchmark::State& state) {
    InstantRadio radio(true);
    ProgrammingExchange exchange(radio, radio, radio);
    radio.attach(&exchange);
    for (auto _ : state) {
        exchange.startRead();
        if (!radio.run()) state.SkipWithError("read did not complete");
    }
    state.counters["per_packet"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * (wire::kReadPacketCount + 1),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ExchangeRead)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
