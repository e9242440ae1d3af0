// Setting file speed with a full configuration: 208 programmed channels.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "model/Defaults.h"
#include "model/SettingFile.h"
#include "model/Signalling.h"

namespace {

ks340::RadioSettings fullConfiguration() {
    ks340::RadioSettings s = ks340::newRadioSettings();
    for (int c = 1; c <= ks340::kChannelCapacity; ++c) {
        ks340::ChannelEntry& e = s.channelTable.groups[0].channels[static_cast<std::size_t>(c)];
        char freq[32];
        std::snprintf(freq, sizeof freq, "%.5f", 440.0 + c * 0.0125);
        e.inUse = 1;
        e.label = "CH" + std::to_string(c) + (c % 7 == 0 ? ",\"q\"" : "");
        e.rxFrequency = freq;
        e.txFrequency = freq;
        e.rxSquelch = c % 122;
        e.txSquelch = (c * 5) % 122;
        e.rxCodeN = 1000 + c;
        e.txCodeN = 2000 + c;
        e.bandwidth = c & 1;
        e.txPower = 1;
        e.scanChannel = c % 3 == 0;
    }
    for (std::string& t : s.modem.modemText) t = "Modem text of forty characters, exactly.";
    for (std::string& t : s.dtmf.statusText) t = "Status";
    return s;
}

std::string tempPath() {
    return (std::filesystem::temp_directory_path() / ("ks340-bench-" + std::to_string(::getpid()) + ".ks3")).string();
}

void BM_FormatFullConfiguration(benchmark::State& state) {
    const ks340::RadioSettings s = fullConfiguration();
    for (auto _ : state) benchmark::DoNotOptimize(ks340::formatSettingFile(s));
}
BENCHMARK(BM_FormatFullConfiguration)->Unit(benchmark::kMicrosecond);

void BM_SaveFullConfiguration(benchmark::State& state) {
    ks340::RadioSettings s = fullConfiguration();
    const std::string path = tempPath();
    for (auto _ : state) {
        ks340::prepareForSave(s);
        const ks340::FileResult r = ks340::writeSettingFile(path, s);
        if (!r.ok) state.SkipWithError(r.error.c_str());
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_SaveFullConfiguration)->Unit(benchmark::kMicrosecond);

void BM_ParseFullConfiguration(benchmark::State& state) {
    const std::string text = ks340::formatSettingFile(fullConfiguration());
    ks340::RadioSettings s = ks340::newRadioSettings();
    for (auto _ : state) {
        const ks340::FileResult r = ks340::readSettingText(text, s, "bench.ks3");
        if (!r.ok) state.SkipWithError(r.error.c_str());
    }
}
BENCHMARK(BM_ParseFullConfiguration)->Unit(benchmark::kMicrosecond);

void BM_LoadFullConfiguration(benchmark::State& state) {
    const std::string path = tempPath();
    if (!ks340::writeSettingFile(path, fullConfiguration()).ok) {
        state.SkipWithError("cannot write the file");
        return;
    }
    ks340::RadioSettings s = ks340::newRadioSettings();
    for (auto _ : state) {
        const ks340::FileResult r = ks340::readSettingFile(path, s);
        if (!r.ok) state.SkipWithError(r.error.c_str());
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_LoadFullConfiguration)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
