// ks340: the desktop programmer. "ks340 FILE.ks3" opens the file at start.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QIcon>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <cstring>
#include <ctime>

#include "app/MainView.h"
#include "app/MainWindow.h"
#include "app/TerminationSignals.h"
#include "app/UserGuide.h"

namespace {

// Monotonic clock in milliseconds, comparable with the clock of a script
// that started the process.
double monotonicMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) * 1000.0 + double(ts.tv_nsec) / 1.0e6;
}

long residentKilobytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

}  // namespace

int main(int argc, char* argv[]) {
    // Answered before any window system is needed.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("ks340 %s\n", qPrintable(ks340::programVersion()));
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf(
                "Usage: ks340 [--simulated-radio] [FILE.ks3]\n\n"
                "The KS340 Programmer desktop program. FILE.ks3 is opened at start.\n"
                "  --simulated-radio  start with the simulated radio as the port\n"
                "  --version          print the version and exit\n"
                "  --help             print this text and exit\n");
            return 0;
        }
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KS340"));
    // The installed desktop entry and icon: the desktop shows them for the window.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.ks340.programmer"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.ks340.programmer")));

    QStringList args = QApplication::arguments();
    args.removeFirst();
    // --startup-probe: print the time the window was shown and the resident
    // memory, then quit (used by the start-up benchmark).
    const bool probe = args.removeAll(QStringLiteral("--startup-probe")) > 0;
    const bool simulated = args.removeAll(QStringLiteral("--simulated-radio")) > 0;

    ks340::MainWindow window;
    // A kill or the end of the session closes the window without questions;
    // leaving main() ends the simulated radio too.
    ks340::TerminationSignals termination;
    QObject::connect(&termination, &ks340::TerminationSignals::terminationRequested, &window, [&window](int signo) {
        window.setConfirmExit(false);
        window.close();
        QApplication::exit(128 + signo);
    });
    window.show();
    if (simulated) window.view()->chooseSimulatedRadio();

    if (!args.isEmpty()) {
        const QString file = args.constFirst();
        QTimer::singleShot(0, &window, [&window, file] { window.view()->openFile(file); });
    }
    if (probe) {
        // Once the window has been exposed and the events queued by then
        // (its first paint) are handled.
        window.setConfirmExit(false);
        auto report = [] {
            std::printf("shown_monotonic_ms %.3f\nrss_kb %ld\n", monotonicMs(), residentKilobytes());
            std::fflush(stdout);
            QApplication::quit();
        };
        auto* poll = new QTimer(&window);
        QObject::connect(poll, &QTimer::timeout, &window, [&window, poll, report] {
            if (window.windowHandle() && window.windowHandle()->isExposed()) {
                poll->stop();
                QTimer::singleShot(0, &window, report);
            }
        });
        poll->start(0);
    }
    return app.exec();
}
