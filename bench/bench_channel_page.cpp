// Channel page speed with 208 programmed channels: rebuilding the page after
// a radio read (refreshChannelPage) and filling the grid (showGroup). The
// page is shown on the offscreen platform and pending paint events are
// processed inside each timed run.
#include <benchmark/benchmark.h>
#include "qt_bench_main.h"

#include <QApplication>

#include <cstdlib>
#include <string>

#include "image/MemoryImage.h"
#include "model/Defaults.h"
#include "model/ToneCode.h"
#include "pages/channel/ChannelGrid.h"
#include "pages/channel/ChannelTablePage.h"

namespace {

using namespace ks340;

// 208 programmed channels, as a radio read leaves them (codes, no texts).
RadioSettings readFromRadio(int groups) {
    RadioSettings s = newRadioSettings();
    for (int c = 1; c <= kChannelCapacity; ++c) {
        ChannelEntry& e = s.channelTable.groups[0].channels[static_cast<std::size_t>(c)];
        e.inUse = 1;
        e.label = "CH" + std::to_string(c);
        e.rxFrequency = hzToFrequencyText(440'000'000 + c * 12'500);
        e.txFrequency = hzToFrequencyText(445'000'000 + c * 6'250);
        e.rxSquelch = c % (kLastDcsCode + 1);
        e.txSquelch = (c * 5) % (kLastDcsCode + 1);
        e.rxInverseDcs = c & 1;
        e.bandwidth = c & 1;
        e.txPower = (c >> 1) & 1;
        e.scanChannel = c % 3 == 0;
    }
    prepareForTransfer(s);
    const MemoryImage image = encodeMemoryImage(s);
    RadioSettings read = newRadioSettings();
    decodeMemoryImage(image, read);
    if (groups > 0) {
        ChannelTable& t = read.channelTable;
        for (int g = 1; g <= groups; ++g) t.groups[static_cast<std::size_t>(g)].capability = kChannelCapacity / groups;
        t.scanMode = t.groupScanFlag = 1;
    }
    return read;
}

struct Fixture {
    RadioSettings settings;
    ViewFlags flags;
    ChannelTablePage page;
    explicit Fixture(int groups) : settings(readFromRadio(groups)), page(settings, flags) {
        page.resize(1000, 700);
        page.show();
        page.refreshChannelPage();
        QApplication::processEvents();
    }
};

void BM_RefreshChannelPage(benchmark::State& state) {
    Fixture f(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        f.page.grid()->setRowCount(0);  // rebuild every row, as after New
        QApplication::processEvents();
        state.ResumeTiming();
        f.page.refreshChannelPage();
        QApplication::processEvents();
    }
    if (f.settings.channelTable.groups[0].channels[208].rxFrequency.empty())
        state.SkipWithError("channel 208 not programmed");
}
BENCHMARK(BM_RefreshChannelPage)->Arg(0)->ArgName("groups")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshChannelPage)->Arg(13)->ArgName("groups")->Unit(benchmark::kMillisecond);

// Showing the 208-channel list after a group without rows: every cell new.
void BM_ShowGroupFromEmpty(benchmark::State& state) {
    Fixture f(0);
    for (auto _ : state) {
        state.PauseTiming();
        f.page.showGroup(1);  // capability 0
        QApplication::processEvents();
        state.ResumeTiming();
        f.page.showGroup(0);
        QApplication::processEvents();
    }
    if (f.page.shownChannels() != kChannelCapacity) state.SkipWithError("list not shown");
}
BENCHMARK(BM_ShowGroupFromEmpty)->Unit(benchmark::kMillisecond);

// Showing the list again over cells that already exist (texts rewritten).
void BM_ShowGroupRefill(benchmark::State& state) {
    Fixture f(0);
    for (auto _ : state) {
        f.page.showGroup(0);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_ShowGroupRefill)->Unit(benchmark::kMillisecond);

}  // namespace

KS340_QT_BENCHMARK_MAIN()
