// Runs the real ks340sim on a pseudo-terminal and talks to it with raw bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include "link/WireFormat.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::string simBinary() {
    const char* dir = std::getenv("KS340_BINARY_DIR");
    std::string base = dir ? dir : KS340_BINARY_DIR;
    const std::string path = base + "/src/sim/ks340sim";
    return ::access(path.c_str(), X_OK) == 0 ? path : std::string();
}

class SimProcess {
public:
    bool start(const std::vector<std::string>& args) {
        int out[2];
        if (::pipe(out) != 0) return false;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], 1);
            const int devnull = ::open("/dev/null", O_WRONLY);
            ::dup2(devnull, 2);
            ::close(out[0]);
            std::vector<char*> argv;
            const std::string bin = simBinary();
            argv.push_back(const_cast<char*>(bin.c_str()));
            for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            ::execv(bin.c_str(), argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        stdout_ = out[0];
        // The first line is the device path.
        char c;
        while (::read(stdout_, &c, 1) == 1 && c != '\n') device_ += c;
        return !device_.empty();
    }
    // Exit status, or -1 when it did not end within the time.
    int stop(int signal = SIGTERM) {
        if (signal) ::kill(pid_, signal);
        return wait();
    }
    int wait(int timeoutMs = 5000) {
        for (int i = 0; i < timeoutMs / 10; ++i) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            ::usleep(10000);
        }
        return -1;
    }
    ~SimProcess() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (stdout_ >= 0) ::close(stdout_);
    }
    const std::string& device() const { return device_; }

private:
    pid_t pid_ = -1;
    int stdout_ = -1;
    std::string device_;
};

int openRaw(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return fd;
    termios t{};
    ::tcgetattr(fd, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(fd, TCSANOW, &t);
    return fd;
}

void send(int fd, const Bytes& bytes) {
    ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

// Reads exactly n bytes, or fewer when the time runs out or the line fails.
Bytes receive(int fd, std::size_t n, int timeoutMs = 2000) {
    Bytes out;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (out.size() < n) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count();
        if (left <= 0) break;
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left)) <= 0) break;
        std::uint8_t buf[64];
        const ssize_t r = ::read(fd, buf, std::min(sizeof buf, n - out.size()));
        if (r <= 0) {
            if (r < 0 && errno == EAGAIN) continue;
            break;
        }
        out.insert(out.end(), buf, buf + r);
    }
    return out;
}

Bytes pattern() {
    Bytes image(ks340::wire::kImageSize);
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 5 + 3);
    return image;
}

TEST(SimBinary, ServesAWriteAndAReadAcrossReopensAndStopsCleanly) {
    ASSERT_FALSE(simBinary().empty()) << "ks340sim was not built";
    const std::string dir = testing::TempDir() + "ks340sim_bin_" + std::to_string(::getpid());
    ::mkdir(dir.c_str(), 0755);
    const std::string imagePath = dir + "/radio.img";
    const std::string linkPath = dir + "/radio";
    {
        std::ofstream f(imagePath, std::ios::binary);
        f << std::string(8192, '\xEE');
    }
    SimProcess sim;
    ASSERT_TRUE(sim.start({"--baud", "0", "--image", imagePath, "--link", linkPath}));
    EXPECT_EQ(sim.device().rfind("/dev/", 0), 0u) << sim.device();
    char target[256] = {};
    ASSERT_GT(::readlink(linkPath.c_str(), target, sizeof target - 1), 0);
    EXPECT_EQ(std::string(target), sim.device());

    const Bytes image = pattern();
    int fd = openRaw(linkPath);
    ASSERT_GE(fd, 0);
    send(fd, Bytes(ks340::wire::kWriteRequest.begin(), ks340::wire::kWriteRequest.end()));
    Bytes reply = receive(fd, 2);
    ASSERT_EQ(reply.size(), 2u);
    EXPECT_EQ(reply[0], 0xA1);
    for (int b = 0; b < ks340::wire::kWriteBlockCount; ++b) {
        const auto packet = ks340::wire::buildWritePacket(image.data(), b);
        send(fd, Bytes(packet.begin(), packet.end()));
        reply = receive(fd, 2);
        ASSERT_EQ(reply.size(), 2u) << "block " << b;
        ASSERT_EQ(reply[0], 0xA1) << "block " << b;
    }
    ::close(fd);

    // The completed write was saved into the image file.
    std::string saved;
    for (int i = 0; i < 100; ++i) {
        std::ifstream f(imagePath, std::ios::binary);
        saved.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
        if (saved.size() == 8192 && static_cast<std::uint8_t>(saved[0]) == image[0]) break;
        ::usleep(10000);
    }
    ASSERT_EQ(saved.size(), 8192u);
    const auto* savedBytes = reinterpret_cast<const std::uint8_t*>(saved.data());
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + 0x1FE0, savedBytes));
    EXPECT_EQ(static_cast<std::uint8_t>(saved[0x1FE0]), 0xEE);

    // Opened again, it reads back what was written.
    fd = openRaw(linkPath);
    ASSERT_GE(fd, 0);
    send(fd, Bytes(ks340::wire::kReadRequest.begin(), ks340::wire::kReadRequest.end()));
    reply = receive(fd, 2);
    ASSERT_EQ(reply.size(), 2u);
    EXPECT_EQ(reply[0], 0xA1);
    for (int address = 0; address < 0x100; address += 8) {
        const Bytes p = receive(fd, 12);
        ASSERT_EQ(p.size(), 12u) << address;
        EXPECT_EQ(ks340::wire::packetAddress(p.data()), address);
        EXPECT_TRUE(std::equal(p.begin() + 3, p.begin() + 11, image.begin() + address));
        send(fd, Bytes(ks340::wire::kPacketAccepted.begin(), ks340::wire::kPacketAccepted.end()));
    }
    ::close(fd);

    EXPECT_EQ(sim.stop(SIGTERM), 0);
    struct stat st {};
    EXPECT_NE(::lstat(linkPath.c_str(), &st), 0) << "the link is left behind";
    std::remove(imagePath.c_str());
    ::rmdir(dir.c_str());
}

TEST(SimBinary, HangupClosesTheTerminalUnderThePc) {
    ASSERT_FALSE(simBinary().empty()) << "ks340sim was not built";
    SimProcess sim;
    ASSERT_TRUE(sim.start({"--baud", "0", "--hangup-after", "2", "-q"}));
    const int fd = openRaw(sim.device());
    ASSERT_GE(fd, 0);
    send(fd, Bytes(ks340::wire::kReadRequest.begin(), ks340::wire::kReadRequest.end()));
    ASSERT_EQ(receive(fd, 2).size(), 2u);
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(receive(fd, 12).size(), 12u);
        send(fd, Bytes(ks340::wire::kPacketAccepted.begin(), ks340::wire::kPacketAccepted.end()));
    }
    EXPECT_EQ(sim.wait(), 0);
    // The line is gone: reading reports the hang-up instead of waiting.
    pollfd p{fd, POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 1000), 1);
    EXPECT_TRUE(p.revents & (POLLHUP | POLLERR));
    ::close(fd);
}

}  // namespace
