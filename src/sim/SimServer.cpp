#include "sim/SimServer.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include <poll.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "sim/ImageFile.h"
#include "sim/MemoryLoader.h"
#include "sim/PseudoTerminal.h"

namespace ks340::sim {

namespace {

volatile std::sig_atomic_t g_stopSignal = 0;

extern "C" void onStopSignal(int signal) { g_stopSignal = signal; }

SimTime monotonicNow() {
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<SimTime>(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

timespec toTimespec(SimTime micros) {
    if (micros < 0) micros = 0;
    timespec ts{};
    ts.tv_sec = micros / 1000000;
    ts.tv_nsec = static_cast<long>(micros % 1000000) * 1000;
    return ts;
}

// A symlink at `linkPath` to `target`; an existing symlink there is replaced,
// anything else is left alone.
bool makeLink(const std::string& linkPath, const std::string& target, std::string& error) {
    struct stat st {};
    if (::lstat(linkPath.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            error = linkPath + " exists and is not a symbolic link";
            return false;
        }
        ::unlink(linkPath.c_str());
    }
    if (::symlink(target.c_str(), linkPath.c_str()) != 0) {
        error = linkPath + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

// Removes the link only while it still points at our terminal.
void removeLink(const std::string& linkPath, const std::string& target) {
    if (linkPath.empty()) return;
    char buf[4096];
    const ssize_t n = ::readlink(linkPath.c_str(), buf, sizeof buf - 1);
    if (n < 0) return;
    buf[n] = '\0';
    if (target == buf) ::unlink(linkPath.c_str());
}

class Server {
public:
    Server(const SimOptions& options, const Memory& memory)
        : options_(options), radio_(options.radio, memory), savePath_(options.effectiveSavePath()) {}

    int run() {
        std::string error;
        if (!pty_.open(error)) return fatal(error);
        // The link first: once the path is printed, everything is ready.
        if (!options_.linkPath.empty()) {
            if (!makeLink(options_.linkPath, pty_.devicePath(), error)) return fatal(error);
            linked_ = true;
        }
        std::printf("%s\n", pty_.devicePath().c_str());
        std::fflush(stdout);
        note("ready on " + pty_.devicePath() + describeSetup());

        const int status = serve();
        if (linked_) removeLink(options_.linkPath, pty_.devicePath());
        pty_.close();
        if (options_.verbose) printStats();
        return status;
    }

private:
    int serve() {
        sigset_t unblocked;
        ::sigprocmask(SIG_SETMASK, nullptr, &unblocked);
        ::sigdelset(&unblocked, SIGINT);
        ::sigdelset(&unblocked, SIGTERM);
        ::sigdelset(&unblocked, SIGHUP);

        bool connected = true;  // until the PC closes its side
        for (;;) {
            if (g_stopSignal) {
                note(std::string("stopped by ") + ::strsignal(g_stopSignal));
                return 0;
            }
            SimTime now = monotonicNow();
            radio_.advance(now);
            flushOutput();
            handleEvents();
            if (radio_.hungUp() && !radio_.nextWakeup()) {
                // Like a pulled cable: the PC's port goes away under it.
                return 0;
            }

            const auto wake = radio_.nextWakeup();
            SimTime wait = wake ? *wake - now : -1;
            if (!connected) {
                // The terminal reports a hang-up until the PC opens it again;
                // look every few milliseconds.
                constexpr SimTime kReopenCheck = 5000;
                if (wait < 0 || wait > kReopenCheck) wait = kReopenCheck;
                timespec ts = toTimespec(wait);
                ::ppoll(nullptr, 0, &ts, &unblocked);
                pollfd p{pty_.fd(), POLLIN, 0};
                if (::poll(&p, 1, 0) >= 0 && !(p.revents & POLLHUP)) {
                    connected = true;
                    if (options_.verbose) note("the PC opened the line");
                }
                continue;
            }

            pollfd p{pty_.fd(), POLLIN, 0};
            timespec ts = toTimespec(wait);
            const int r = ::ppoll(&p, 1, wait < 0 ? nullptr : &ts, &unblocked);
            if (r < 0) {
                if (errno == EINTR) continue;
                note(std::string("poll failed: ") + std::strerror(errno));
                return 1;
            }
            now = monotonicNow();
            if (p.revents & POLLIN) readInput(now);
            if (p.revents & (POLLHUP | POLLERR)) {
                connected = false;
                radio_.lineDropped(now);
                pty_.discardPending();
                handleEvents();
                if (options_.verbose) note("the PC closed the line");
            }
        }
    }

    void readInput(SimTime now) {
        for (;;) {
            std::uint8_t buf[4096];
            const ssize_t n = ::read(pty_.fd(), buf, sizeof buf);
            if (n > 0) {
                radio_.receive(buf, static_cast<std::size_t>(n), now);
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            return;  // EAGAIN, or EIO when the PC has closed its side
        }
    }

    // A burst the PC does not take is lost, as on a real line; the radio's
    // own resend covers it.
    void flushOutput() {
        for (const Burst& burst : radio_.takeOutput()) {
            if (!pty_.writeAll(burst.bytes.data(), burst.bytes.size()) && options_.verbose)
                note("the PC is not reading: " + std::to_string(burst.bytes.size()) + " bytes not delivered");
        }
    }

    void handleEvents() {
        for (const SimEvent& e : radio_.takeEvents()) {
            switch (e.kind) {
                case SimEventKind::WriteCompleted: {
                    std::string text = e.text;
                    if (!savePath_.empty()) {
                        std::string error;
                        if (saveMemory(savePath_, radio_.memory(), error))
                            text += ", saved to " + savePath_;
                        else
                            text += ", NOT saved: " + error;
                    }
                    note(text);
                    break;
                }
                case SimEventKind::LineDropped:
                    break;  // serve() reports it
                case SimEventKind::Trace:
                    if (options_.verbose) note(e.text);
                    break;
                default:
                    note(e.text);
                    break;
            }
        }
    }

    std::string describeSetup() const {
        const RadioConfig& c = options_.radio;
        std::string s = c.baud > 0 ? ", " + std::to_string(c.baud) + " baud" : ", unpaced";
        if (c.replyDelayMs > 0) s += ", reply delay " + std::to_string(c.replyDelayMs) + " ms";
        if (c.dropReply.active()) s += ", drop replies: " + c.dropReply.describe();
        if (c.corruptPacket.active()) s += ", corrupt packets: " + c.corruptPacket.describe();
        if (c.strayBytes.active()) s += ", stray bytes: " + c.strayBytes.describe();
        if (c.refuseRequests > 0) s += ", refuse " + std::to_string(c.refuseRequests) + " requests";
        if (c.burst) s += ", burst";
        if (c.hangupAfter >= 0) s += ", hang up after " + std::to_string(c.hangupAfter) + " packets";
        if (!c.wrongByteAddresses.empty()) s += ", wrong bytes";
        return s;
    }

    void note(const std::string& text) const {
        if (options_.quiet) return;
        std::fprintf(stderr, "ks340sim: %s\n", text.c_str());
    }

    int fatal(const std::string& text) const {
        std::fprintf(stderr, "ks340sim: %s\n", text.c_str());
        return 1;
    }

    void printStats() const {
        const SimStats& s = radio_.stats();
        std::fprintf(stderr,
                     "ks340sim: requests %d (refused %d), blocks stored %d (refused %d), "
                     "packets sent %d (resent %d), refusals %d, timeouts %d, dropped %d, "
                     "corrupted %d, stray bytes %d, bytes discarded %d\n",
                     s.requests, s.requestsRefused, s.blocksStored, s.blocksRefused, s.packetsSent, s.packetsResent,
                     s.refusalsReceived, s.resendTimeouts, s.transmissionsDropped, s.packetsCorrupted, s.strayBytesSent,
                     s.bytesDiscarded);
    }

    const SimOptions& options_;
    RadioSim radio_;
    PseudoTerminal pty_;
    std::string savePath_;
    bool linked_ = false;
};

}  // namespace

int runSimServer(const SimOptions& options) {
    Memory memory = blankMemory();
    std::string error;
    if (!options.imagePath.empty()) {
        if (!loadImageFile(options.imagePath, memory, error)) {
            std::fprintf(stderr, "ks340sim: %s\n", error.c_str());
            return 1;
        }
    } else if (!options.ks3Path.empty()) {
        if (!loadSettingFileMemory(options.ks3Path, memory, error)) {
            std::fprintf(stderr, "ks340sim: %s\n", error.c_str());
            return 1;
        }
    }

    // Signals are only taken while waiting, so a handler never interrupts
    // the radio model half-way.
    struct sigaction sa {};
    sa.sa_handler = onStopSignal;
    ::sigemptyset(&sa.sa_mask);
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGHUP, &sa, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
    sigset_t block;
    ::sigemptyset(&block);
    ::sigaddset(&block, SIGINT);
    ::sigaddset(&block, SIGTERM);
    ::sigaddset(&block, SIGHUP);
    ::sigprocmask(SIG_BLOCK, &block, nullptr);

    // Wake-ups as close to the line's timing as the system allows.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0);

    Server server(options, memory);
    return server.run();
}

}  // namespace ks340::sim
