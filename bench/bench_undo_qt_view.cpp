// Undo and redo as the user sees them: the configuration restored and the
// header and all seven pages shown again, with 208 programmed channels.
#include <benchmark/benchmark.h>
#include "qt_bench_main.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/MainView.h"
#include "app/UndoController.h"
#include "model/SettingFile.h"

namespace {

using namespace ks340;

void loadFullTable(MainView& view) {
    RadioSettings& s = view.settings();
    for (int c = 1; c <= kChannelCapacity; ++c) {
        ChannelEntry& e = s.channelTable.groups[0].channels[static_cast<std::size_t>(c)];
        char text[32];
        std::snprintf(text, sizeof text, "%.5f", 440.0 + c * 0.0125);
        e.inUse = 1;
        e.rxFrequency = text;
        e.txFrequency = text;
        std::snprintf(text, sizeof text, "CH%d", c);
        e.label = text;
        e.rxSquelch = c % 122;
        e.txSquelch = (c * 5) % 122;
        e.bandwidth = c & 1;
        e.txPower = 1;
        e.scanChannel = c % 3 == 0;
    }
    view.flags().fileLoadActive = true;
    view.refreshHeader();
    view.refreshAllPages();
    view.flags().fileLoadActive = false;
}

void BM_ViewUndoAndRedo(benchmark::State& state, bool timeUndo) {
    QTemporaryDir dir;
    const QString old = QDir::currentPath();
    QDir::setCurrent(dir.path());  // setting.opt of the view goes here
    {
        MainView view;
        view.resize(1000, 700);
        view.show();
        loadFullTable(view);
        UndoController undo(view.settings());
        undo.attachTo(&view);
        for (int i = 0; i < 10; ++i) {
            char label[16];
            std::snprintf(label, sizeof label, "E%d", i);
            view.settings().channelTable.groups[0].channels[static_cast<std::size_t>(i + 1)].label = label;
            undo.recordEdit(QStringLiteral("Set channel %1 Label").arg(i + 1));
        }
        QApplication::processEvents();
        for (auto _ : state) {
            const auto t0 = std::chrono::steady_clock::now();
            const bool undone = undo.undo();
            const auto t1 = std::chrono::steady_clock::now();
            const bool redone = undo.redo();
            const auto t2 = std::chrono::steady_clock::now();
            if (!undone || !redone) state.SkipWithError("undo or redo failed");
            state.SetIterationTime(std::chrono::duration<double>(timeUndo ? t1 - t0 : t2 - t1).count());
        }
    }
    QDir::setCurrent(old);
}
void BM_ViewUndo(benchmark::State& state) { BM_ViewUndoAndRedo(state, true); }
void BM_ViewRedo(benchmark::State& state) { BM_ViewUndoAndRedo(state, false); }
BENCHMARK(BM_ViewUndo)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ViewRedo)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

KS340_QT_BENCHMARK_MAIN()
