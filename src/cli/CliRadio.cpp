// ks340ctl verbs that talk to the radio: ports, read, write.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QString>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#ifdef _WIN32
#include <io.h>
#define KS340_ISATTY _isatty
#define KS340_FILENO _fileno
#else
#include <unistd.h>
#define KS340_ISATTY isatty
#define KS340_FILENO fileno
#endif

#include "cli/CliCommon.h"
#include "cli/CliOutput.h"
#include "cli/Verbs.h"
#include "image/ImageBackup.h"
#include "image/ImageVerify.h"
#include "image/MemoryImage.h"
#include "link/TransferTrace.h"
#include "link/serial/PortNames.h"
#include "link/serial/RadioSession.h"
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
    bool force = false;  // --force: replace a read-only output
    bool help = false;
    std::string backupDir;  // --backup-dir; empty: the program's backups folder
    bool noBackup = false;  // --no-backup
    bool verify = false;    // --verify (write)
    std::string trace;      // --trace FILE
    std::string error;
};

RadioArgs parseRadioArgs(const Args& args, bool takesOutput) {
    RadioArgs r;
    auto value = [&](std::size_t& i, const std::string& name, std::string& out, bool& has) {
        if (i + 1 >= args.size()) {
            r.error = "option '" + name + "' needs a value";
            return false;
        }
        out = args[++i];
        has = true;
        return true;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            r.help = true;
        } else if (a == "--yes" || a == "-y") {
            r.yes = true;
        } else if (a == "--stats") {
            r.stats = true;
        } else if (takesOutput && a == "--force") {
            r.force = true;
        } else if (a == "--no-backup") {
            r.noBackup = true;
        } else if (a == "--verify") {
            r.verify = true;
        } else if (a == "--backup-dir" || a == "--trace") {
            bool unused = false;
            if (!value(i, a, a == "--trace" ? r.trace : r.backupDir, unused)) return r;
        } else if (a == "--port" || a == "-p") {
            if (!value(i, a, r.port, r.hasPort)) return r;
        } else if (a.rfind("--port=", 0) == 0) {
            r.port = a.substr(7);
            r.hasPort = true;
        } else if (takesOutput && (a == "-o" || a == "--output")) {
            if (!value(i, a, r.output, r.hasOutput)) return r;
        } else if (takesOutput && a.rfind("--output=", 0) == 0) {
            r.output = a.substr(9);
            r.hasOutput = true;
        } else if (a.size() > 1 && a[0] == '-') {
            r.error = "unknown option '" + a + "'";
            return r;
        } else {
            r.positional.push_back(a);
        }
    }
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
bool confirmConnected(bool yes) {
    if (yes || !isTerminal(stdin)) return true;
    std::fprintf(stderr, "Is the radio connected? [y/N] ");
    std::fflush(stderr);
    std::string answer;
    if (!std::getline(std::cin, answer)) return false;
    return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
}

// Progress bar on a terminal: blocks, percent, time left.
class ProgressBar {
public:
    explicit ProgressBar(bool enabled) : enabled_(enabled) { clock_.start(); }

    void update(int done, int total) {
        if (!enabled_ || total <= 0) return;
        const qint64 now = clock_.elapsed();
        if (done == lastDone_ || (now - lastDrawn_ < 100 && done < total)) return;
        lastDone_ = done;
        lastDrawn_ = now;
        const int width = 30;
        const int filled = done * width / total;
        const int percent = done * 100 / total;
        std::string bar(static_cast<std::size_t>(filled), '#');
        bar.append(static_cast<std::size_t>(width - filled), '.');
        char left[32] = "";
        if (done > 0 && done < total) {
            const double seconds = now / 1000.0 * (total - done) / done;
            std::snprintf(left, sizeof left, "%4.0f s left", seconds);
        }
        std::fprintf(stderr, "\r[%s] %3d/%d blocks %3d%% %s  ", bar.c_str(), done, total, percent, left);
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
    bool drawn_ = false;
};

struct TransferResult {
    bool ok = false;
    QString message;
    LinkImage image{};
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

// Opens the port, asks the question, runs one read (writeImage null) or
// write. Returns the process exit status; result holds the outcome.
// Keeps the image of a transfer in the backups folder unless --no-backup.
void keepBackup(const RadioArgs& a, const LinkImage& image, const char* kind) {
    if (a.noBackup) return;
    const std::string dir = a.backupDir.empty() ? defaultBackupDirectory() : a.backupDir;
    const BackupResult b = writeImageBackup(dir, image, kind);
    if (b.ok)
        std::fprintf(stderr, "backup: %s\n", b.path.c_str());
    else
        std::fprintf(stderr, "ks340ctl: warning: no backup was kept: %s\n", b.error.c_str());
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

int runTransfer(const std::string& port, bool yes, bool stats, const LinkImage* writeImage, TransferResult& result,
                const std::string& traceFile = {}) {
    application();
    RadioSession session;
    // --trace: every byte each way, appended so a write and its verify read share one file.
    std::ofstream traceStream;
    std::unique_ptr<TransferTrace> trace;
    const std::string& tracePath = traceFile.empty() ? globalTraceFilePath() : traceFile;
    if (!tracePath.empty()) {
        traceStream.open(tracePath, std::ios::app);
        if (!traceStream) {
            std::fprintf(stderr, "ks340ctl: %s: the trace file cannot be written\n", tracePath.c_str());
            return kExitFailure;
        }
        trace = std::make_unique<TransferTrace>(traceStream);
        trace->note(std::string(writeImage ? "write" : "read") + " on " + port);
        session.setTraceObserver(
            [&trace](bool sent, const std::uint8_t* data, int n) { trace->record(sent, data, n); });
    }
    const PortChoice choice = resolvePortArgument(QString::fromStdString(port));
    if (!session.open(choice)) {
        std::fprintf(stderr, "%s\n", session.openErrorMessage().toLocal8Bit().constData());
        return kExitFailure;
    }
    if (!confirmConnected(yes)) {
        std::fprintf(stderr, "ks340ctl: cancelled, nothing was sent\n");
        return kExitFailure;
    }

    ProgressBar bar(isTerminal(stderr));
    QEventLoop loop;
    bool done = false;
    QElapsedTimer clock;
    std::vector<qint64> stamps;
    stamps.reserve(1100);
    QObject::connect(&session, &RadioSession::progress, [&](int position, int maximum) {
        if (stats) stamps.push_back(clock.nsecsElapsed());
        // A write reports the block being sent (0..509 of 510), a read the
        // block last stored (0..510).
        bar.update(position, writeImage ? maximum + 1 : maximum);
    });
    QObject::connect(&session, &RadioSession::bufferFull, [] { std::fprintf(stderr, "buff full\n"); });
    QObject::connect(&session, &RadioSession::finished, [&](bool ok, const QString& message) {
        if (ok) bar.update(510, 510);
        result.ok = ok;
        result.message = message;
        done = true;
        loop.quit();
    });
    clock.start();
    if (writeImage)
        session.startWrite(*writeImage);
    else
        session.startRead();
    if (!done) loop.exec();
    const qint64 totalNs = clock.nsecsElapsed();
    bar.end();
    if (stats) printStats(stamps, totalNs);
    if (result.ok) result.image = session.image();
    session.close();
    session.setTraceObserver({});
    if (trace) trace->note(result.message.toStdString());

    if (result.ok) {
        std::printf("%s\n", result.message.toLocal8Bit().constData());
        return kExitOk;
    }
    std::fprintf(stderr, "%s\n", result.message.toLocal8Bit().constData());
    return kExitFailure;
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
                "Lists the serial ports present, one a line: the device path, a tab and\n"
                "the driver's description. --port of read and write takes such a path,\n"
                "or a COM number (\"COM3\" or \"3\"; on this system COM n is %s, n = 1..10).\n",
                comName);
            return kExitOk;
        }
        return usageError("ports", "unexpected argument '" + a + "'", "ks340ctl ports");
    }
    application();
    const QList<PortInfo> ports = availablePorts();
    if (ports.isEmpty()) std::fprintf(stderr, "ks340ctl: no serial ports found\n");
    for (const PortInfo& p : ports) std::printf("%s\t%s\n", qPrintable(p.path), qPrintable(p.description));
    return kExitOk;
}

int runRead(const Args& args) {
    static const char* usage =
        "ks340ctl read --port PORT -o OUT.ks3|OUT.img [--force] [--yes] [--stats] [--backup-dir DIR|--no-backup] "
        "[--trace FILE]";
    const RadioArgs a = parseRadioArgs(args, true);
    if (a.help) {
        std::printf(
            "Usage: %s\n\n"
            "Reads the radio's memory over PORT (a device path, or a COM number such as\n"
            "COM1) at 19200 baud. OUT.img receives the 8192-byte memory image; OUT.ks3\n"
            "the configuration decoded from it. Nothing is written unless the read\n"
            "completed. On a terminal it first asks \"Is the radio connected?\"\n"
            "(--yes answers it) and shows a progress bar. --stats prints the transfer\n"
            "time and the packet round-trip times.\n"
            "Every completed read keeps the 8192-byte image in the backups folder\n"
            "(%s, or --backup-dir DIR; --no-backup keeps none);\n"
            "backups older than 365 days are removed. --trace FILE appends every byte\n"
            "each way with millisecond times to FILE.\n"
            "Exit status 0 when the read completed, 1 when it failed.\n",
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
    TransferResult result;
    const int status = runTransfer(a.port, a.yes, a.stats, nullptr, result, a.trace);
    if (status != kExitOk) return status;
    keepBackup(a, result.image, "read");

    if (kind == OutputFormat::Image) {
        const std::string_view bytes(reinterpret_cast<const char*>(result.image.data()), result.image.size());
        return writeOutput(a.output, bytes, a.force) ? kExitOk : kExitFailure;
    }
    RadioSettings settings = newRadioSettings();
    decodeMemoryImage(result.image, settings);
    refreshChannelTable(settings, false);
    prepareForSave(settings);
    return writeSettingsOutput(a.output, settings, a.force) ? kExitOk : kExitFailure;
}

int runWrite(const Args& args) {
    static const char* usage =
        "ks340ctl write IN.ks3|IN.img --port PORT [--yes] [--stats] [--verify] [--backup-dir DIR|--no-backup] "
        "[--trace FILE]";
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
            "Every write keeps the image sent in the backups folder (%s,\n"
            "or --backup-dir DIR; --no-backup keeps none). --trace FILE appends every\n"
            "byte each way with millisecond times to FILE.\n"
            "Exit status 0 when the write (and the verify) succeeded, 1 when not.\n",
            usage, defaultBackupDirectory().c_str());
        return kExitOk;
    }
    if (!a.error.empty()) return usageError("write", a.error, usage);
    if (a.positional.size() != 1) return usageError("write", "give exactly one input file", usage);
    if (!a.hasPort || a.port.empty()) return usageError("write", "the port is missing (--port)", usage);
    if (const int s = checkTrace("write", a.trace)) return s;

    // An image is sent as it is; a setting file is read as the program's
    // Open does, then prepared and encoded as before every transfer.
    LinkImage image{};
    std::string error;
    if (!loadImageInput(a.positional[0], image, error)) {
        std::fprintf(stderr, "ks340ctl: %s\n", error.c_str());
        return kExitFailure;
    }
    TransferResult result;
    const int status = runTransfer(a.port, a.yes, a.stats, &image, result, a.trace);
    keepBackup(a, image, status == kExitOk ? "write" : "write-failed");
    if (status != kExitOk || !a.verify) return status;

    // --verify: read the radio back and compare the bytes the write sent.
    TransferResult back;
    const int readStatus = runTransfer(a.port, true, a.stats, nullptr, back, a.trace);
    if (readStatus != kExitOk) {
        std::fprintf(stderr, "ks340ctl: the radio could not be read back to verify the write\n");
        return kExitFailure;
    }
    keepBackup(a, back.image, "read");
    const std::vector<ByteMismatch> mismatches = compareWrittenImage(image, back.image);
    if (!mismatches.empty()) {
        std::fprintf(stderr, "Verify failed: %zu byte(s) differ from what was written:\n%s", mismatches.size(),
                     formatByteMismatches(mismatches).c_str());
        return kExitFailure;
    }
    std::printf("Verify OK: the radio holds the bytes written\n");
    return kExitOk;
}

}  // namespace ks340::cli
