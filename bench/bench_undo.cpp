// Undo history with a full configuration (208 programmed channels): the time
// of one record, one undo and one redo (each as the program runs it, with
// the channel table's refresh for a loaded file), and the memory 200 steps
// take.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>

#include "image/MemoryImage.h"
#include "model/Defaults.h"
#include "model/UndoHistory.h"

// Live heap bytes of the whole program, to measure what the history holds.
// GCC sees the replaced operator delete's free() inlined next to operator
// new and takes it for a mismatch; the pair below is matched by design.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
namespace {
std::atomic<long long> liveBytes{0};
}

void* operator new(std::size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    liveBytes += static_cast<long long>(malloc_usable_size(p));
    return p;
}
void operator delete(void* p) noexcept {
    if (!p) return;
    liveBytes -= static_cast<long long>(malloc_usable_size(p));
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

namespace {

using ks340::RadioSettings;
using ks340::UndoHistory;

// A short label text (snprintf: GCC 12 warns wrongly about the string sums).
std::string labelText(const char* prefix, int a, int b = -1) {
    char buf[32];
    if (b < 0)
        std::snprintf(buf, sizeof buf, "%s%d", prefix, a);
    else
        std::snprintf(buf, sizeof buf, "%s%d-%d", prefix, a, b);
    return buf;
}

std::unique_ptr<RadioSettings> fullConfiguration() {
    auto s = std::make_unique<RadioSettings>(ks340::newRadioSettings());
    for (int c = 1; c <= ks340::kChannelCapacity; ++c) {
        ks340::ChannelEntry& e = s->channelTable.groups[0].channels[static_cast<std::size_t>(c)];
        char freq[32];
        std::snprintf(freq, sizeof freq, "%.5f", 440.0 + c * 0.0125);
        e.inUse = 1;
        e.label = labelText("CH", c);
        e.rxFrequency = freq;
        e.txFrequency = freq;
        e.rxSquelch = c % 122;
        e.txSquelch = (c * 5) % 122;
        e.bandwidth = c & 1;
        e.txPower = 1;
        e.scanChannel = c % 3 == 0;
    }
    for (std::string& t : s->modem.modemText) t = "Modem text of forty characters, exactly.";
    return s;
}

void afterLoad(RadioSettings& s) { ks340::refreshChannelTable(s, true); }

// One label edit per step, as a user makes them.
void editStep(RadioSettings& s, int i) {
    s.channelTable.groups[0].channels[static_cast<std::size_t>(i % ks340::kChannelCapacity + 1)].label =
        labelText("E", i);
}

void BM_RecordStep(benchmark::State& state) {
    auto s = fullConfiguration();
    UndoHistory h;
    h.reset(*s);
    int i = 0;
    for (auto _ : state) {
        editStep(*s, i++);
        benchmark::DoNotOptimize(h.record(*s, "Set Label"));
    }
}
BENCHMARK(BM_RecordStep)->Unit(benchmark::kMicrosecond);

// Undo and redo timed apart: each iteration undoes one step and redoes it.
void BM_UndoAndRedo(benchmark::State& state, bool timeUndo) {
    auto s = fullConfiguration();
    UndoHistory h;
    h.setAfterLoad(afterLoad);
    h.reset(*s);
    for (int i = 0; i < 10; ++i) {
        editStep(*s, i);
        h.record(*s, "Set Label");
    }
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        const bool undone = h.undo(*s).ok;
        const auto t1 = std::chrono::steady_clock::now();
        const bool redone = h.redo(*s).ok;
        const auto t2 = std::chrono::steady_clock::now();
        if (!undone || !redone) state.SkipWithError("undo or redo failed");
        state.SetIterationTime(std::chrono::duration<double>(timeUndo ? t1 - t0 : t2 - t1).count());
    }
}
void BM_Undo(benchmark::State& state) { BM_UndoAndRedo(state, true); }
void BM_Redo(benchmark::State& state) { BM_UndoAndRedo(state, false); }
BENCHMARK(BM_Undo)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Redo)->UseManualTime()->Unit(benchmark::kMillisecond);

// Memory of a full history: 200 steps over a full table. "edits": one
// label per step; "loads": every channel line differs from step to step (a
// file load or radio read each time).
void BM_MemoryOf200Steps(benchmark::State& state) {
    const bool loads = state.range(0) != 0;
    for (auto _ : state) {
        auto s = fullConfiguration();
        const long long before = liveBytes.load();
        auto h = std::make_unique<UndoHistory>();
        h->setAfterLoad(afterLoad);
        h->reset(*s);
        for (int i = 0; i < 200; ++i) {
            if (loads) {
                for (int c = 1; c <= ks340::kChannelCapacity; ++c)
                    s->channelTable.groups[0].channels[static_cast<std::size_t>(c)].label = labelText("L", i, c);
            } else {
                editStep(*s, i);
            }
            h->record(*s, loads ? "Load file.ks3" : "Set Label");
        }
        state.counters["steps"] = static_cast<double>(h->undoCount());
        state.counters["heap_bytes"] = static_cast<double>(liveBytes.load() - before);
        state.counters["estimated_bytes"] = static_cast<double>(h->memoryBytes());
        state.counters["pooled_lines"] = static_cast<double>(h->pooledLines());
        state.counters["record_bytes"] = static_cast<double>(sizeof(RadioSettings));
        benchmark::DoNotOptimize(h.get());
    }
}
BENCHMARK(BM_MemoryOf200Steps)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
