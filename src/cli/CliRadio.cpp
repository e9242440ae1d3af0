// ks340ctl verbs that talk to the radio: ports, read, write.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QString>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <string>

#ifdef _WIN32
#include <io.h>
#define KS340_ISATTY _isatty
#define KS340_FILENO _fileno
#else
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>
#define KS340_ISATTY isatty
#define KS340_FILENO fileno
#endif

#include "cli/CliCommon.h"
#include "cli/CliOptions.h"
#include "cli/CliOutput.h"
#include "cli/Verbs.h"
#include "image/ImageBackup.h"
#include "image/ImageVerify.h"
#include "image/MemoryImage.h"
#include "link/TransferTrace.h"
#include "link/serial/PortInfo.h"
#include "link/serial/PortNames.h"
#include "link/serial/SerialTransferJob.h"
#include "model/Defaults.h"
#include "model/SettingFile.h"
#include "model/Signalling.h"

namespace ks340::cli {

namespace {

bool isTerminal(FILE* f) { return KS340_ISATTY(KS340_FILENO(f)) != 0; }

struct RadioArgs {
    std::vector<std::string> positional;
    std::string port;
    std::string output;
    bool hasPort = false;
    bool hasOutput = false;
    bool yes = false;
    bool stats = false;
    bool help = false;
    std::string backupDir;   // --backup-dir; empty: the program's backups folder
    bool noBackup = false;   // --no-backup
    bool verify = false;     // --verify (write)
    bool readFirst = false;  // --read-first (write)
    bool force = false;      // --force: replace a read-only output (read); use a setting file
                             // that loaded with warnings (write)
    std::string trace;       // --trace FILE
    std::string base;        // --base FILE.ks3 (read)
    std::string error;
};

RadioArgs parseRadioArgs(const Args& args, bool takesOutput) {
    RadioArgs r;
    Options options;
    options.flag({"--force"}, r.force)
        .flag({"--yes", "-y"}, r.yes)
        .flag({"--stats"}, r.stats)
        .flag({"--no-backup"}, r.noBackup)
        .flag({"--verify"}, r.verify)
        .flag({"--read-first"}, r.readFirst)
        .value({"--backup-dir"}, r.backupDir)
        .value({"--trace"}, r.trace)
        .value({"--port", "-p"}, r.port, &r.hasPort);
    if (takesOutput) options.value({"-o", "--output"}, r.output, &r.hasOutput).value({"--base"}, r.base);
    if (!options.parse(args)) r.error = options.error();
    r.help = options.help();
    r.positional = options.arguments();
    return r;
}

// A QCoreApplication for the event loop the transfer runs in.
QCoreApplication& application() {
    if (auto* app = QCoreApplication::instance()) return *app;
    static int argc = 1;
    static char name[] = "ks340ctl";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// "Is the radio connected?" on a terminal; true when the answer is yes or
// no question is needed.
bool confirmConnected(bool yes, const QString& port) {
    if (yes || !isTerminal(stdin)) return true;
    std::fprintf(stderr, "Is the radio connected? (%s) [y/N] ", qPrintable(port));
    std::fflush(stderr);
    std::string answer;
    if (!std::getline(std::cin, answer)) return false;
    return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
}

const char* phaseLabel(TransferPhase phase) {
    switch (phase) {
        case TransferPhase::ReadFirst:
            return "backup";
        case TransferPhase::Write:
            return "write ";
        case TransferPhase::Verify:
            return "verify";
        case TransferPhase::Read:
            return "read  ";
    }
    return "";
}

// Progress bar on a terminal: phase, blocks, percent, time left.
class ProgressBar {
public:
    explicit ProgressBar(bool enabled) : enabled_(enabled) { clock_.start(); }

    void update(const TransferProgress& p) {
        if (!enabled_ || p.total <= 0) return;
        if (p.phase != phase_) {
            end();
            phase_ = p.phase;
            lastDone_ = -1;
        }
        const qint64 now = clock_.elapsed();
        if (p.done == lastDone_ || (now - lastDrawn_ < 100 && p.done < p.total)) return;
        lastDone_ = p.done;
        lastDrawn_ = now;
        const int width = 30;
        const int filled = p.done * width / p.total;
        const int percent = p.done * 100 / p.total;
        std::string bar(static_cast<std::size_t>(filled), '#');
        bar.append(static_cast<std::size_t>(width - filled), '.');
        std::fprintf(stderr, "\r%s [%s] %3d/%d blocks %3d%% %-16s", phaseLabel(p.phase), bar.c_str(), p.done, p.total,
                     percent, timeLeftText(p.secondsLeft).c_str());
        std::fflush(stderr);
        drawn_ = true;
    }

    void end() {
        if (drawn_) std::fprintf(stderr, "\n");
        drawn_ = false;
    }

private:
    bool enabled_;
    QElapsedTimer clock_;
    qint64 lastDrawn_ = -1000;
    int lastDone_ = -1;
    TransferPhase phase_ = TransferPhase::Read;
    bool drawn_ = false;
};

// --stats: the transfer time and the time from one packet to the next
// (a whole round trip: packet out, reply back, next packet out).
void printStats(const std::vector<qint64>& stamps, qint64 totalNs) {
    std::vector<double> gaps;
    for (std::size_t i = 1; i < stamps.size(); ++i) gaps.push_back((stamps[i] - stamps[i - 1]) / 1e6);
    std::sort(gaps.begin(), gaps.end());
    auto at = [&](double q) { return gaps.empty() ? 0.0 : gaps[static_cast<std::size_t>(q * (gaps.size() - 1))]; };
    std::fprintf(stderr, "stats: transfer %.3f s, %zu packets, round trip median %.3f ms, p90 %.3f ms, max %.3f ms\n",
                 totalNs / 1e9, stamps.size(), at(0.5), at(0.9), gaps.empty() ? 0.0 : gaps.back());
}

// Ctrl-C during a transfer, delivered to the event loop: the signal handler
// only writes a byte into a pipe.
class InterruptWatch {
public:
    explicit InterruptWatch(std::function<void()> onInterrupt) {
#ifndef _WIN32
        if (::pipe(pipe_) != 0) return;
        for (int fd : pipe_) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        struct sigaction action {};
        action.sa_handler = &InterruptWatch::handler;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGINT, &action, &previous_);
        notifier_ = std::make_unique<QSocketNotifier>(pipe_[0], QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this, onInterrupt] {
            char byte;
            while (::read(pipe_[0], &byte, 1) == 1) onInterrupt();
        });
#else
        (void)onInterrupt;
#endif
    }
    ~InterruptWatch() {
#ifndef _WIN32
        if (!notifier_) return;
        ::sigaction(SIGINT, &previous_, nullptr);
        notifier_.reset();
        ::close(pipe_[0]);
        ::close(pipe_[1]);
        pipe_[0] = pipe_[1] = -1;
#endif
    }
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

private:
#ifndef _WIN32
    static void handler(int) {
        const char byte = 1;
        if (pipe_[1] >= 0) [[maybe_unused]]
            const auto n = ::write(pipe_[1], &byte, 1);
    }
    static inline int pipe_[2] = {-1, -1};
    struct sigaction previous_ {};
    std::unique_ptr<QSocketNotifier> notifier_;
#endif
};

struct TransferRun {
    std::string port;
    bool yes = false;
    bool stats = false;
    TransferOptions options;
    std::string traceFile;
};

void reportBackups(const TransferResult& r) {
    if (r.restoreIsReadFirst && !r.restoreBackup.empty())
        std::fprintf(stderr, "backup: %s (the radio before the write)\n", r.restoreBackup.c_str());
    if (!r.backupPath.empty()) std::fprintf(stderr, "backup: %s\n", r.backupPath.c_str());
    if (!r.backupError.empty())
        std::fprintf(stderr, "ks340ctl: warning: no backup was kept: %s\n", r.backupError.c_str());
}

// Opens the port, asks the question, runs one job. Returns the process
// exit status: 0 done, 1 failed, 130 stopped with Ctrl-C.
int runTransfer(TransferRun& run, TransferResult& result) {
    application();
    SerialTransferJob job;
    // --trace: every byte each way, appended so that several transfers share one file.
    std::ofstream traceStream;
    std::unique_ptr<TransferTrace> trace;
    const std::string& tracePath = run.traceFile.empty() ? globalTraceFilePath() : run.traceFile;
    if (!tracePath.empty()) {
        traceStream.open(tracePath, std::ios::app);
        if (!traceStream) {
            std::fprintf(stderr, "ks340ctl: %s: the trace file cannot be written\n", tracePath.c_str());
            return kExitFailure;
        }
        trace = std::make_unique<TransferTrace>(traceStream);
        run.options.trace = trace.get();
    }
    QObject::connect(&job, &SerialTransferJob::note,
                     [](const QString& text) { std::fprintf(stderr, "ks340ctl: note: %s\n", qPrintable(text)); });
    if (!job.open(resolvePortArgument(QString::fromStdString(run.port)))) {
        result = job.lastResult();
        std::fprintf(stderr, "%s\n", resultText(result).c_str());
        return kExitFailure;
    }
    if (!confirmConnected(run.yes, job.portName())) {
        std::fprintf(stderr, "ks340ctl: cancelled, nothing was sent\n");
        return kExitFailure;
    }

    ProgressBar bar(isTerminal(stderr));
    QEventLoop loop;
    bool done = false;
    QElapsedTimer clock;
    std::vector<qint64> stamps;
    stamps.reserve(1100);
    QObject::connect(&job, &SerialTransferJob::progress, [&](const TransferProgress& p) {
        if (run.stats) stamps.push_back(clock.nsecsElapsed());
        bar.update(p);
    });
    QObject::connect(&job, &SerialTransferJob::bufferFull, [] { std::fprintf(stderr, "buff full\n"); });
    QObject::connect(&job, &SerialTransferJob::finished, [&](const TransferResult& r) {
        result = r;
        done = true;
        loop.quit();
    });
    // Ctrl-C: a read (or the parts of a write that change nothing) stops at
    // once; while blocks are being written the first one warns and a second
    // one stops.
    bool warned = false;
    InterruptWatch interrupt([&] {
        if (!job.running()) return;
        if (job.phase() == TransferPhase::Write && job.job().writeStarted() && !warned) {
            warned = true;
            bar.end();
            const std::string& backup = job.job().restoreBackup();
            std::fprintf(
                stderr,
                "ks340ctl: stopping now leaves the radio partly written (%d of 510 blocks so far).%s\n"
                "Press Ctrl-C again to stop anyway.\n",
                job.job().blocksWritten(),
                backup.empty() ? " No backup was kept." : (" The backup " + backup + " restores the radio.").c_str());
            return;
        }
        job.stop();
    });
    clock.start();
    job.start(run.options);
    if (!done) loop.exec();
    const qint64 totalNs = clock.nsecsElapsed();
    bar.end();
    job.close();
    if (run.stats) printStats(stamps, totalNs);
    reportBackups(result);

    if (result.outcome == TransferOutcome::Cancelled) {
        std::fprintf(stderr, "%s\n", resultText(result).c_str());
        return kExitInterrupted;
    }
    if (result.ok()) {
        std::printf("%s\n", result.message.c_str());
        if (result.verify != VerifyResult::NotRun) std::printf("%s\n", verifyText(result, 50).c_str());
        return kExitOk;
    }
    if (result.outcome == TransferOutcome::VerifyFailed) {
        // The write itself completed.
        std::printf("%s\n", result.message.c_str());
        if (!result.detail.empty()) std::fprintf(stderr, "%s\n", result.detail.c_str());
        std::fprintf(stderr, "%s\n", verifyText(result, 50).c_str());
        return kExitFailure;
    }
    std::fprintf(stderr, "%s\n", resultText(result).c_str());
    return kExitFailure;
}

// The trace file of a transfer (its own --trace, else the one before the
// verb) must not be a setting file or an image: 0, or the usage status.
int checkTrace(const char* verb, const std::string& own) {
    const std::string& path = own.empty() ? globalTraceFilePath() : own;
    std::string error;
    if (path.empty() || checkTraceFile(path, error)) return 0;
    std::fprintf(stderr, "ks340ctl %s: %s\n", verb, error.c_str());
    return kExitUsage;
}

TransferRun transferRun(const RadioArgs& a) {
    TransferRun run;
    run.port = a.port;
    run.yes = a.yes;
    run.stats = a.stats;
    run.traceFile = a.trace;
    run.options.keepBackups = !a.noBackup;
    run.options.backupDirectory = a.backupDir.empty() ? defaultBackupDirectory() : a.backupDir;
    return run;
}

}  // namespace

int runPorts(const Args& args) {
    for (const std::string& a : args) {
        if (a == "--help" || a == "-h") {
#ifdef _WIN32
            const char* comName = "COMn";
#else
            const char* comName = "/dev/ttyS(n-1)";
#endif
            std::printf(
                "Usage: ks340ctl ports\n\n"
                "Lists the serial ports present, one a line, fields separated by tabs: the\n"
                "device path, the driver's description, the USB vendor:product ids, the\n"
                "stable /dev/serial/by-id name, and \"can open\" or \"no access\" for this\n"
                "user (the fix for a port without access follows on standard error).\n"
                "--port of read and write takes such a path (a path with a slash is used as\n"
                "given, a bare name such as ttyUSB0 is looked up under /dev), or a COM\n"
                "number (\"COM3\" or \"3\"; on this system COM n is %s, n = 1..10).\n",
                comName);
            return kExitOk;
        }
        return usageError("ports", "unexpected argument '" + a + "'", "ks340ctl ports");
    }
    application();
    const QList<PortDetails> ports = listPortDetails();
    if (ports.isEmpty()) std::fprintf(stderr, "ks340ctl: no serial ports found\n");
    // Path, description, then what the desktop program's Port menu shows:
    // USB ids, the stable by-id name, and whether this user may open it.
    for (const PortDetails& p : ports) {
        const QString byId = p.byIdPath.isEmpty() ? QString() : p.byIdPath;
        std::printf("%s\t%s\t%s\t%s\t%s\n", qPrintable(p.path), qPrintable(p.description), qPrintable(usbIdText(p)),
                    qPrintable(byId), !p.exists ? "missing" : (p.accessible ? "can open" : "no access"));
    }
    for (const PortDetails& p : ports)
        if (p.exists && !p.accessible) std::fprintf(stderr, "%s\n", qPrintable(portMenuToolTip(p)));
    return kExitOk;
}

int runRead(const Args& args) {
    static const char* usage =
        "ks340ctl read --port PORT -o OUT.ks3|OUT.img [--base BASE.ks3] [--force] [--yes] [--stats] [--backup-dir "
        "DIR|--no-backup] "
        "[--trace FILE]";
    const RadioArgs a = parseRadioArgs(args, true);
    if (a.help) {
        std::printf(
            "Usage: %s\n\n"
            "Reads the radio's memory over PORT (a device path, or a COM number such as\n"
            "COM1) at 19200 baud. OUT.img receives the 8192-byte memory image; OUT.ks3\n"
            "the configuration decoded from it: over BASE.ks3 with --base, as the\n"
            "desktop program decodes a read over the configuration being edited (the\n"
            "settings the image does not carry come from BASE), else over a new\n"
            "configuration. Nothing is written unless the read\n"
            "completed. On a terminal it first asks \"Is the radio connected?\"\n"
            "(--yes answers it) and shows a progress bar. --stats prints the transfer\n"
            "time and the packet round-trip times.\n"
            "Every completed read keeps the 8192-byte image in the backups folder\n"
            "(%s, or --backup-dir DIR; --no-backup keeps none);\n"
            "backups older than 365 days are removed. --trace FILE appends every byte\n"
            "each way with millisecond times to FILE. Ctrl-C stops the read at once\n"
            "(nothing is written).\n"
            "Exit status 0 when the read completed, 1 when it failed, 130 when stopped\n"
            "with Ctrl-C.\n",
            usage, defaultBackupDirectory().c_str());
        return kExitOk;
    }
    if (!a.error.empty()) return usageError("read", a.error, usage);
    if (!a.positional.empty()) return usageError("read", "unexpected argument '" + a.positional[0] + "'", usage);
    if (!a.hasPort || a.port.empty()) return usageError("read", "the port is missing (--port)", usage);
    if (!a.hasOutput || a.output.empty()) return usageError("read", "the output file is missing (-o)", usage);
    const OutputFormat kind = outputFormatOfName(a.output);
    if (kind != OutputFormat::SettingFile && kind != OutputFormat::Image)
        return usageError("read", "the output must end in .ks3 or .img", usage);
    if (const int s = checkOutput("read", a.output, kind, a.force)) return s;
    if (const int s = checkTrace("read", a.trace)) return s;

    if (a.verify) return usageError("read", "--verify belongs to write", usage);
    if (a.readFirst) return usageError("read", "--read-first belongs to write", usage);
    if (!a.base.empty() && kind != OutputFormat::SettingFile)
        return usageError("read", "--base belongs to a .ks3 output", usage);
    RadioSettings base;
    std::string error;
    if (kind == OutputFormat::SettingFile && !loadBaseConfiguration(a.base, base, error)) {
        std::fprintf(stderr, "ks340ctl: %s\n", error.c_str());
        return kExitFailure;
    }
    TransferRun run = transferRun(a);
    run.options.kind = TransferKind::Read;
    TransferResult result;
    const int status = runTransfer(run, result);
    if (status != kExitOk) return status;

    if (kind == OutputFormat::Image) {
        const std::string_view bytes(reinterpret_cast<const char*>(result.image.data()), result.image.size());
        return writeOutput(a.output, bytes, a.force) ? kExitOk : kExitFailure;
    }
    RadioSettings settings = configurationFromImage(result.image, base);
    prepareForSave(settings);
    return writeSettingsOutput(a.output, settings, a.force) ? kExitOk : kExitFailure;
}

int runWrite(const Args& args) {
    static const char* usage =
        "ks340ctl write IN.ks3|IN.img --port PORT [--yes] [--stats] [--verify] [--read-first] "
        "[--backup-dir DIR|--no-backup] [--trace FILE] [--force]";
    const RadioArgs a = parseRadioArgs(args, false);
    if (a.help) {
        std::printf(
            "Usage: %s\n\n"
            "Writes a configuration to the radio over PORT (a device path, or a COM\n"
            "number such as COM1) at 19200 baud. A file of exactly 8192 bytes is a\n"
            "memory image, sent as it is, whatever its name; any other file must be a\n"
            "setting file, prepared and encoded as the program does before a transfer.\n"
            "On a terminal it first asks \"Is the radio connected?\" (--yes\n"
            "answers it) and shows a progress bar. --stats prints the transfer time and\n"
            "the packet round-trip times.\n"
            "--verify reads the radio back after the write and compares the bytes the\n"
            "write sent; differences are listed with their addresses and settings.\n"
            "Every write that sent a block keeps the image sent in the backups folder\n"
            "(%s, or --backup-dir DIR; --no-backup keeps none).\n"
            "--read-first reads the radio before writing and keeps that image as the\n"
            "backup (even with --no-backup): writing it puts the radio back as it was.\n"
            "--trace FILE appends every byte each way with millisecond times to FILE.\n"
            "A setting file that loads with warnings (it ends early, or a number field\n"
            "holds no number) is refused unless --force is given.\n"
            "Ctrl-C stops a read at once. While blocks are being written the first\n"
            "Ctrl-C says that stopping leaves the radio partly written; a second one\n"
            "stops, and the message names the backup that restores the radio.\n"
            "Exit status 0 when the write (and the verify) succeeded, 1 when not, 130\n"
            "when stopped with Ctrl-C.\n",
            usage, defaultBackupDirectory().c_str());
        return kExitOk;
    }
    if (!a.error.empty()) return usageError("write", a.error, usage);
    if (a.positional.size() != 1) return usageError("write", "give exactly one input file", usage);
    if (!a.hasPort || a.port.empty()) return usageError("write", "the port is missing (--port)", usage);
    const std::string& input = a.positional[0];
    if (const int s = checkTrace("write", a.trace)) return s;

    // An image is sent as it is; a setting file is read as the program's
    // Open does, then prepared and encoded as before every transfer.
    LinkImage image{};
    std::string error;
    std::vector<FileWarning> warnings;
    if (!loadImageInput(input, image, error, &warnings) || !acceptLoadWarnings(input, warnings, a.force, error)) {
        std::fprintf(stderr, "ks340ctl: %s\n", error.c_str());
        return kExitFailure;
    }
    TransferRun run = transferRun(a);
    run.options.kind = TransferKind::Write;
    run.options.image = image;
    run.options.verify = a.verify;
    run.options.readFirst = a.readFirst;
    TransferResult result;
    return runTransfer(run, result);
}

}  // namespace ks340::cli
