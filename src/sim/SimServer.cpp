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
#include <sys/wait.h>
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
        : options_(options),
          radio_(options.radio, memory),
          loaded_(memory),
          savePath_(options.effectiveSavePath()),
          prefix_(options.name.empty() ? "ks340sim: " : "ks340sim " + options.name + ": ") {}

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
            if (e.kind == SimEventKind::WriteCompleted || e.kind == SimEventKind::ReadCompleted) {
                // --swap-radio: the read that follows a write was the last look at this radio.
                if (options_.swapRadio && e.kind == SimEventKind::ReadCompleted && writtenSinceSwap_) {
                    radio_.replaceMemory(loaded_);
                    if (options_.verbose) note("a fresh radio is on the line");
                }
                writtenSinceSwap_ = e.kind == SimEventKind::WriteCompleted;
            }
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
        if (options_.swapRadio) s += ", swap radios";
        if (c.hangupAfter >= 0) s += ", hang up after " + std::to_string(c.hangupAfter) + " packets";
        if (!c.wrongByteAddresses.empty()) s += ", wrong bytes";
        return s;
    }

    void note(const std::string& text) const {
        if (options_.quiet) return;
        std::fprintf(stderr, "%s%s\n", prefix_.c_str(), text.c_str());
    }

    int fatal(const std::string& text) const {
        std::fprintf(stderr, "%s%s\n", prefix_.c_str(), text.c_str());
        return 1;
    }

    void printStats() const {
        const SimStats& s = radio_.stats();
        std::fprintf(stderr,
                     "%srequests %d (refused %d), blocks stored %d (refused %d), "
                     "packets sent %d (resent %d), refusals %d, timeouts %d, dropped %d, "
                     "corrupted %d, stray bytes %d, bytes discarded %d\n",
                     prefix_.c_str(), s.requests, s.requestsRefused, s.blocksStored, s.blocksRefused, s.packetsSent,
                     s.packetsResent, s.refusalsReceived, s.resendTimeouts, s.transmissionsDropped, s.packetsCorrupted,
                     s.strayBytesSent, s.bytesDiscarded);
    }

    const SimOptions& options_;
    RadioSim radio_;
    Memory loaded_;
    PseudoTerminal pty_;
    std::string savePath_;
    std::string prefix_;
    bool linked_ = false;
    bool writtenSinceSwap_ = false;
};

}  // namespace

int runSimServer(const SimOptions& options) {
    Memory memory = blankMemory();
    std::string error;
    const std::string prefix = options.name.empty() ? "ks340sim: " : "ks340sim " + options.name + ": ";
    if (!options.imagePath.empty()) {
        if (!loadImageFile(options.imagePath, memory, error)) {
            std::fprintf(stderr, "%s%s\n", prefix.c_str(), error.c_str());
            return 1;
        }
    } else if (!options.ks3Path.empty()) {
        if (!loadSettingFileMemory(options.ks3Path, memory, error)) {
            std::fprintf(stderr, "%s%s\n", prefix.c_str(), error.c_str());
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

int runSimFleet(const std::vector<SimOptions>& radios) {
    if (radios.size() == 1) return runSimServer(radios.front());

    // Stop signals and child ends are taken with sigwait below; the children
    // inherit the mask and runSimServer takes its signals the same way.
    sigset_t wanted;
    ::sigemptyset(&wanted);
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGCHLD}) ::sigaddset(&wanted, s);
    ::sigprocmask(SIG_BLOCK, &wanted, nullptr);
    ::signal(SIGPIPE, SIG_IGN);

    std::vector<pid_t> children;
    std::vector<int> pipes;
    auto stopAll = [&children] {
        for (pid_t pid : children)
            if (pid > 0) ::kill(pid, SIGTERM);
        for (pid_t& pid : children)
            if (pid > 0) {
                ::waitpid(pid, nullptr, 0);
                pid = 0;
            }
    };
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t parent = ::getpid();
    for (const SimOptions& radio : radios) {
        int fds[2];
        if (::pipe(fds) != 0) {
            std::fprintf(stderr, "ks340sim: %s\n", std::strerror(errno));
            stopAll();
            return 1;
        }
        const pid_t pid = ::fork();
        if (pid == 0) {
            // The radio's first line (its device path) goes to the parent.
            ::prctl(PR_SET_PDEATHSIG, SIGTERM);
            if (::getppid() != parent) ::_exit(1);
            ::close(fds[0]);
            for (int other : pipes) ::close(other);
            ::dup2(fds[1], STDOUT_FILENO);
            ::close(fds[1]);
            const int status = runSimServer(radio);
            std::fflush(nullptr);
            ::_exit(status);
        }
        ::close(fds[1]);
        if (pid < 0) {
            ::close(fds[0]);
            std::fprintf(stderr, "ks340sim: %s\n", std::strerror(errno));
            stopAll();
            return 1;
        }
        children.push_back(pid);
        pipes.push_back(fds[0]);
    }
    // Every path, in radio order, once every radio is ready.
    std::string paths;
    for (int fd : pipes) {
        std::string line;
        char c = 0;
        ssize_t n = 0;
        while ((n = ::read(fd, &c, 1)) == 1 && c != '\n') line += c;
        ::close(fd);
        if (n != 1) {
            stopAll();
            return 1;
        }
        paths += line + "\n";
    }
    std::fputs(paths.c_str(), stdout);
    std::fflush(stdout);

    std::size_t running = children.size();
    int status = 0;
    while (running > 0) {
        int signal = 0;
        if (::sigwait(&wanted, &signal) != 0) continue;
        if (signal != SIGCHLD) {
            stopAll();
            return 0;
        }
        int childStatus = 0;
        pid_t pid = 0;
        while ((pid = ::waitpid(-1, &childStatus, WNOHANG)) > 0) {
            for (pid_t& child : children)
                if (child == pid) {
                    child = 0;
                    --running;
                    if (!WIFEXITED(childStatus) || WEXITSTATUS(childStatus) != 0) status = 1;
                }
        }
    }
    return status;
}

}  // namespace ks340::sim
