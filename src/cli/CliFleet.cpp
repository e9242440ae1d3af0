// ks340ctl fleet: one configuration to many radios over several ports.
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <memory>
#include <string>

#include <unistd.h>

#include "cli/CliCommon.h"
#include "cli/CliOptions.h"
#include "cli/Verbs.h"
#include "fleet/qt/FleetRunner.h"

namespace ks340::cli {

namespace {

volatile std::sig_atomic_t g_interrupts = 0;
volatile std::sig_atomic_t g_terminated = 0;
extern "C" void onInterrupt(int) { g_interrupts = g_interrupts + 1; }
extern "C" void onTerminate(int) { g_terminated = 1; }

const char* kUsage =
    "ks340ctl fleet BASE.ks3 --units UNITS.csv --port PORT [--port PORT ...] --report DIR [--auto] "
    "[--no-read-first] [--redo UNIT ...] [--force]";

QString timeText(int seconds) {
    if (seconds < 0) return QStringLiteral("time left unknown");
    if (seconds < 90) return QStringLiteral("about %1 s left").arg(seconds);
    return QStringLiteral("about %1 min left").arg((seconds + 30) / 60);
}

// Status lines on stderr: one per port and the overall count. On a
// terminal they are redrawn in place with events printed above them;
// elsewhere only the events are printed.
class Display {
public:
    Display(fleet::FleetRunner& runner, bool terminal) : runner_(runner), terminal_(terminal) {}

    void event(const QString& text) {
        clear();
        std::fprintf(stderr, "%s\n", qPrintable(text));
        draw();
    }

    void refresh() {
        clear();
        draw();
    }

    void end() { clear(); }

    QString portLine(int index) const {
        const fleet::PortView& v = runner_.scheduler()->ports()[static_cast<std::size_t>(index)];
        QString line = QStringLiteral("port %1 %2: ").arg(index + 1).arg(QString::fromStdString(v.name));
        if (v.unit >= 0) line += QString::fromStdString(runner_.state().units[std::size_t(v.unit)].name) + ' ';
        line += QString::fromLatin1(fleet::portPhaseName(v.phase));
        if (v.total > 0) line += QStringLiteral(" %1/%2").arg(v.done).arg(v.total);
        return line;
    }

    QString overallLine() const {
        int done = 0, failed = 0;
        for (const fleet::UnitRecord& r : runner_.state().units) {
            done += r.status == fleet::UnitStatus::Done;
            failed += r.status == fleet::UnitStatus::Failed;
        }
        return QStringLiteral("units: %1 of %2 done, %3 failed, %4 left, %5")
            .arg(done)
            .arg(runner_.unitsPlanned())
            .arg(failed)
            .arg(runner_.scheduler()->unitsLeft())
            .arg(timeText(runner_.secondsLeft()));
    }

private:
    void clear() {
        if (!terminal_ || drawn_ == 0) return;
        std::fprintf(stderr, "\033[%dA\033[J", drawn_);
        drawn_ = 0;
    }
    void draw() {
        if (!terminal_ || !runner_.scheduler()) return;
        for (int p = 0; p < runner_.portCount(); ++p) std::fprintf(stderr, "%s\033[K\n", qPrintable(portLine(p)));
        std::fprintf(stderr, "%s\033[K\n", qPrintable(overallLine()));
        drawn_ = runner_.portCount() + 1;
        std::fflush(stderr);
    }

    fleet::FleetRunner& runner_;
    bool terminal_;
    int drawn_ = 0;
};

}  // namespace

int runFleet(const Args& args) {
    fleet::FleetSetup setup;
    std::string base, units, reportDir;
    std::vector<std::string> ports, redo;
    bool noReadFirst = false;
    Options options;
    options.flag({"--auto"}, setup.autoMode)
        .flag({"--force"}, setup.force)
        .flag({"--no-read-first"}, noReadFirst)
        .value({"--units"}, units)
        .value({"--report"}, reportDir)
        .values({"--port", "-p"}, ports)
        .values({"--redo"}, redo);
    if (!options.parse(args)) return usageError("fleet", options.error(), kUsage);
    const bool help = options.help();
    if (options.arguments().size() > 1)
        return usageError("fleet", "unexpected argument '" + options.arguments()[1] + "'", kUsage);
    if (!options.arguments().empty()) base = options.arguments()[0];
    setup.readFirst = !noReadFirst;
    setup.unitsPath = QString::fromStdString(units);
    setup.reportDir = QString::fromStdString(reportDir);
    for (const std::string& p : ports) setup.ports << QString::fromStdString(p);
    setup.redo.insert(redo.begin(), redo.end());
    if (help) {
        std::printf(
            "Usage: %s\n\n"
            "Writes the configuration BASE.ks3, with each unit's own values from\n"
            "UNITS.csv, to one radio per unit over one or more ports at once.\n"
            "UNITS.csv has a \"Unit\" column naming each radio and one column per\n"
            "setting key (see 'ks340ctl keys') with that radio's value; an empty cell\n"
            "keeps the base's value. Every unit is built and checked first: a list\n"
            "with any fault is refused whole, every fault listed by line and column.\n"
            "Per radio, on whichever port is free: read it first (its backup, in\n"
            "DIR/backups, named after the unit), check its model and band, write,\n"
            "read back and compare. A radio whose read failed is never written.\n"
            "Between radios each port asks for the next one: press Enter when it is\n"
            "connected (with several ports waiting, Enter goes to the one waiting\n"
            "longest; type its number for another). --auto instead sends a read\n"
            "request every 2 s until a radio answers.\n"
            "DIR holds the job state (fleet-state.json) and the report\n"
            "(fleet-report.csv, fleet-report.pdf). Run the same command again to\n"
            "resume an interrupted job: units already done are not written again\n"
            "unless named with --redo UNIT. --no-read-first writes without reading\n"
            "first (no backup; the report says so). A base that loads with a\n"
            "warning is refused unless --force.\n"
            "Ctrl-C lets the transfers in progress finish, then stops; a second\n"
            "Ctrl-C abandons them (a radio whose write is abandoned must be\n"
            "restored: the report gives the command).\n"
            "Exit status 0 when every unit is done, 1 otherwise, 2 for a wrong\n"
            "command line.\n",
            kUsage);
        return kExitOk;
    }
    if (base.empty()) return usageError("fleet", "the base configuration (BASE.ks3) is missing", kUsage);
    if (setup.unitsPath.isEmpty()) return usageError("fleet", "the unit list is missing (--units)", kUsage);
    if (setup.ports.isEmpty()) return usageError("fleet", "no port given (--port)", kUsage);
    if (setup.reportDir.isEmpty()) return usageError("fleet", "the report folder is missing (--report)", kUsage);
    setup.basePath = QString::fromStdString(base);

    static int argc = 1;
    static char name[] = "ks340ctl";
    static char* argv[] = {name, nullptr};
    // The PDF report needs fonts: a GUI application on the offscreen platform.
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::unique_ptr<QGuiApplication> app;
    if (!QCoreApplication::instance()) app = std::make_unique<QGuiApplication>(argc, argv);

    fleet::FleetRunner runner;
    QStringList problems;
    if (!runner.prepare(setup, &problems)) {
        std::fprintf(stderr, "ks340ctl fleet: nothing was written:\n");
        for (const QString& p : problems) std::fprintf(stderr, "  %s\n", qPrintable(p));
        return kExitFailure;
    }
    if (runner.unitsDoneBefore() > 0)
        std::fprintf(stderr, "resuming: %d of %d units are done already\n", runner.unitsDoneBefore(),
                     runner.unitsPlanned());

    const bool terminal = ::isatty(STDERR_FILENO) != 0;
    Display display(runner, terminal);
    std::deque<int> waiting;  // ports waiting for the operator, longest first
    QObject::connect(&runner, &fleet::FleetRunner::prompt, [&](int port, int unit) {
        waiting.push_back(port);
        display.event(
            QStringLiteral("port %1 %2: connect the radio for unit %3, then press Enter%4")
                .arg(port + 1)
                .arg(setup.ports[port])
                .arg(QString::fromStdString(runner.state().units[std::size_t(unit)].name))
                .arg(runner.portCount() > 1 ? QStringLiteral(" (or type %1 and Enter)").arg(port + 1) : QString()));
    });
    QObject::connect(&runner, &fleet::FleetRunner::noteAdded, [&](int port, const QString& text) {
        display.event(QStringLiteral("port %1 %2: %3").arg(port + 1).arg(setup.ports[port], text));
    });
    QObject::connect(&runner, &fleet::FleetRunner::unitUpdated, [&](int unit) {
        const fleet::UnitRecord& r = runner.state().units[std::size_t(unit)];
        if (r.status == fleet::UnitStatus::Done)
            display.event(
                QStringLiteral("%1: done on %2").arg(QString::fromStdString(r.name), QString::fromStdString(r.port)));
        else if (r.status == fleet::UnitStatus::Failed)
            display.event(QStringLiteral("%1: FAILED at %2 on %3: %4")
                              .arg(QString::fromStdString(r.name),
                                   QString::fromLatin1(fleet::unitStepName(r.failedStep)),
                                   QString::fromStdString(r.port), QString::fromStdString(r.reason)));
        if (!runner.saveError().isEmpty())
            display.event(
                QStringLiteral("ks340ctl: warning: the job state could not be saved: %1").arg(runner.saveError()));
    });
    QTimer redraw;
    QObject::connect(&redraw, &QTimer::timeout, [&] { display.refresh(); });
    if (terminal) redraw.start(250);

    // The operator's answers, one line each.
    std::unique_ptr<QSocketNotifier> input;
    if (!setup.autoMode) {
        input = std::make_unique<QSocketNotifier>(STDIN_FILENO, QSocketNotifier::Read);
        QObject::connect(input.get(), &QSocketNotifier::activated, [&] {
            char buf[256];
            const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf - 1);
            if (n <= 0) {
                input->setEnabled(false);
                if (!runner.scheduler()->stopping())
                    display.event(QStringLiteral("no more input: stopping after the transfers in progress"));
                runner.scheduler()->stop();
                return;
            }
            buf[n] = '\0';
            for (const QString& line : QString::fromLocal8Bit(buf).split('\n')) {
                if (line.isEmpty() && !QString::fromLocal8Bit(buf).contains('\n')) continue;
                int port = -1;
                bool isNumber = false;
                const int k = line.trimmed().toInt(&isNumber);
                if (isNumber) port = k - 1;
                if (port < 0 && !waiting.empty()) port = waiting.front();
                auto it = std::find(waiting.begin(), waiting.end(), port);
                if (it == waiting.end()) continue;
                waiting.erase(it);
                runner.scheduler()->release(port);
            }
        });
    }

    // Ctrl-C: the first stops after the transfers in progress, the second
    // abandons them. SIGTERM and SIGHUP stop as the first does.
    struct sigaction sa {};
    sa.sa_handler = onInterrupt;
    ::sigemptyset(&sa.sa_mask);
    ::sigaction(SIGINT, &sa, nullptr);
    sa.sa_handler = onTerminate;
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGHUP, &sa, nullptr);
    int interruptsSeen = 0;
    bool terminateSeen = false;
    QTimer signalWatch;
    QObject::connect(&signalWatch, &QTimer::timeout, [&] {
        fleet::FleetScheduler* s = runner.scheduler();
        if ((g_terminated && !terminateSeen) || (g_interrupts >= 1 && interruptsSeen == 0)) {
            terminateSeen = g_terminated;
            if (g_interrupts >= 1) interruptsSeen = 1;
            if (s->transferInProgress())
                display.event(
                    QStringLiteral("stopping: the transfers in progress finish first (Ctrl-C again abandons "
                                   "them)"));
            s->stop();
        }
        if (g_interrupts >= 2 && interruptsSeen < 2) {
            interruptsSeen = 2;
            if (s->transferInProgress()) display.event(QStringLiteral("abandoning the transfers in progress"));
            s->abandon();
        }
    });
    signalWatch.start(100);

    QString error;
    QObject::connect(&runner, &fleet::FleetRunner::finished, QCoreApplication::instance(), &QCoreApplication::quit,
                     Qt::QueuedConnection);
    if (!runner.start(&error)) {
        std::fprintf(stderr, "ks340ctl fleet: nothing was written: %s\n", qPrintable(error));
        return kExitFailure;
    }
    if (!runner.scheduler()->finished()) QCoreApplication::exec();
    display.end();
    ::signal(SIGINT, SIG_DFL);
    ::signal(SIGTERM, SIG_DFL);
    ::signal(SIGHUP, SIG_DFL);

    int done = 0, failed = 0;
    for (const fleet::UnitRecord& r : runner.state().units) {
        done += r.status == fleet::UnitStatus::Done;
        failed += r.status == fleet::UnitStatus::Failed;
    }
    const int total = static_cast<int>(runner.state().units.size());
    std::printf("%d of %d units done, %d failed, %d not done in %.1f s\n", done, total, failed, total - done - failed,
                runner.elapsedMs() / 1000.0);
    for (const fleet::UnitRecord& r : runner.state().units)
        if (r.status == fleet::UnitStatus::Failed)
            std::printf("  %s: failed at %s: %s\n", r.name.c_str(), fleet::unitStepName(r.failedStep),
                        r.reason.c_str());
    std::printf("report: %s\n", qPrintable(QDir::toNativeSeparators(runner.reportCsvPath())));
    if (!runner.saveError().isEmpty()) {
        std::fprintf(stderr, "ks340ctl fleet: %s\n", qPrintable(runner.saveError()));
        return kExitFailure;
    }
    return runner.scheduler()->allDone() ? kExitOk : kExitFailure;
}

}  // namespace ks340::cli
