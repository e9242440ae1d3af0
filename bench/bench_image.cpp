// Encoding and decoding of a full configuration: every channel programmed
// and labelled, every text at its full width, the User tone set.
#include <benchmark/benchmark.h>

#include <string>

#include "image/MemoryImage.h"
#include "model/Defaults.h"
#include "model/Signalling.h"

namespace {

using namespace ks340;

std::string digits(int n, int seed) {
    static const char set[] = "0123456789ABCD";
    std::string s;
    for (int i = 0; i < n; ++i) s += set[(i * 7 + seed) % 14];
    return s;
}

std::string text(int n, int seed) {
    static const char set[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 .-";
    std::string s;
    for (int i = 0; i < n; ++i) s += set[(i * 5 + seed) % 39];
    return s;
}

RadioSettings fullConfiguration(bool groups) {
    RadioSettings s = newRadioSettings();
    s.header.lcdDisplayLogo = "Benchmark";
    ChannelTable& t = s.channelTable;
    auto fill = [&](ChannelEntry& e, int c) {
        e.inUse = 1;
        e.label = text(8, c);
        e.rxFrequency = hzToFrequencyText(440'000'000 + std::int64_t{c} * 12'500);
        e.txFrequency = hzToFrequencyText(445'000'000 + std::int64_t{c} * 6'250);
        e.rxSquelch = c % 122;
        e.txSquelch = (c * 3) % 122;
        e.bandwidth = c & 1;
        e.txPower = (c >> 1) & 1;
        e.scanChannel = (c % 3) == 0;
    };
    if (groups) {
        int end = 0;
        for (int g = 1; g < kGroupSlots; ++g) {
            ChannelGroup& gr = t.groups[static_cast<std::size_t>(g)];
            gr.capability = 16;
            end += 16;
            gr.channelEnd = end;
            gr.enabled = 1;
            for (int c = 1; c <= 16; ++c) fill(gr.channels[static_cast<std::size_t>(c)], end - 16 + c);
            gr.channels[3].priorityChannel = 1;
            gr.priorityChannel = 3;
        }
        t.scanMode = 1;
        t.groupScanFlag = 1;
        t.totalCapability = end;
        t.channelsLeft = 0;
    } else {
        for (int c = 1; c <= kChannelCapacity; ++c) fill(t.groups[0].channels[static_cast<std::size_t>(c)], c);
    }
    s.toneSequence.toneset = kUserToneSet;
    for (int k = 0; k < kToneCount; ++k)
        s.toneSequence.userTone[static_cast<std::size_t>(k)] = std::to_string(600 + 97 * k);
    for (int n = 1; n < kSequenceSlots; ++n)
        s.toneSequence.sequences[static_cast<std::size_t>(n)].sequence = digits(8, n);
    SelcallEncodeSettings& e = s.selcallEncode;
    e.emgType = 1;
    e.emgSequence = digits(15, 1);
    e.aniType = 1;
    e.aniSequence = digits(15, 2);
    e.call1Sequence = e.call2Sequence = e.call3Sequence = digits(3, 3);
    e.acknowledge1 = e.acknowledge2 = e.acknowledge3 = digits(3, 4);
    for (int i = 0; i < kDecodeEntries; ++i) {
        DecodeEntry& d = s.selcallDecode.decodeEntries[static_cast<std::size_t>(i)];
        d.address = digits(8, i);
        d.text = text(8, i);
    }
    for (int i = 0; i < 9; ++i) s.dtmf.dtmfCodes[static_cast<std::size_t>(i)] = digits(15, i);
    for (int i = 0; i < 4; ++i) s.dtmf.dtmfDecodeAddress[static_cast<std::size_t>(i)] = digits(15, i + 9);
    for (int i = 0; i < 10; ++i) s.dtmf.statusText[static_cast<std::size_t>(i)] = text(8, i);
    for (int i = 0; i < 9; ++i) s.modem.modemText[static_cast<std::size_t>(i)] = text(40, i);
    prepareForTransfer(s);
    return s;
}

void BM_EncodeMemoryImage(benchmark::State& state) {
    const RadioSettings s = fullConfiguration(state.range(0) != 0);
    MemoryImage image{};
    for (auto _ : state) {
        encodeMemoryImage(s, image);
        benchmark::DoNotOptimize(image.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_EncodeMemoryImage)->ArgName("groups")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_DecodeMemoryImage(benchmark::State& state) {
    const RadioSettings source = fullConfiguration(state.range(0) != 0);
    const MemoryImage image = encodeMemoryImage(source);
    RadioSettings s = newRadioSettings();
    for (auto _ : state) {
        decodeMemoryImage(image, s);
        benchmark::DoNotOptimize(&s);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DecodeMemoryImage)->ArgName("groups")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The steps around the codec, for comparison: preparing a transfer and the
// channel table's rebuild after a read.
void BM_PrepareForTransfer(benchmark::State& state) {
    RadioSettings s = fullConfiguration(state.range(0) != 0);
    for (auto _ : state) {
        prepareForTransfer(s);
        benchmark::DoNotOptimize(&s);
    }
}
BENCHMARK(BM_PrepareForTransfer)->ArgName("groups")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_RefreshAfterRead(benchmark::State& state) {
    const RadioSettings source = fullConfiguration(state.range(0) != 0);
    const MemoryImage image = encodeMemoryImage(source);
    RadioSettings s = newRadioSettings();
    decodeMemoryImage(image, s);
    for (auto _ : state) {
        refreshChannelTable(s, false);
        benchmark::DoNotOptimize(&s);
    }
}
BENCHMARK(BM_RefreshAfterRead)->ArgName("groups")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
