#include "sim/PseudoTerminal.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace ks340::sim {

PseudoTerminal::~PseudoTerminal() { close(); }

bool PseudoTerminal::open(std::string& error) {
    close();
    const int fd = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (fd < 0) {
        error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    if (::grantpt(fd) != 0 || ::unlockpt(fd) != 0) {
        error = std::string("cannot unlock the pseudo-terminal: ") + std::strerror(errno);
        ::close(fd);
        return false;
    }
    const char* name = ::ptsname(fd);
    if (!name) {
        error = std::string("cannot name the pseudo-terminal: ") + std::strerror(errno);
        ::close(fd);
        return false;
    }
    path_ = name;
    // Line settings given on the master apply to the terminal the PC opens:
    // raw, so that every byte passes unchanged from its first open on.
    termios tio{};
    if (::tcgetattr(fd, &tio) == 0) {
        ::cfmakeraw(&tio);
        tio.c_cflag |= CLOCAL | CREAD;
        ::cfsetispeed(&tio, B19200);
        ::cfsetospeed(&tio, B19200);
        ::tcsetattr(fd, TCSANOW, &tio);
    }
    const int flags = ::fcntl(fd, F_GETFL);
    ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    fd_ = fd;
    return true;
}

void PseudoTerminal::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool PseudoTerminal::writeAll(const std::uint8_t* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd_, data + done, size - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            // Nobody is reading: give the other side a moment, then let
            // the rest go as a line with no listener would.
            pollfd p{fd_, POLLOUT, 0};
            if (::poll(&p, 1, 50) <= 0) return false;
            if (p.revents & (POLLERR | POLLNVAL)) return false;
            continue;
        }
        return false;
    }
    return true;
}

void PseudoTerminal::discardPending() {
    if (fd_ < 0) return;
    ::tcflush(fd_, TCIFLUSH);
    ::tcflush(fd_, TCOFLUSH);
}

}  // namespace ks340::sim
