#include "sim/ImageFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace ks340::sim {

Memory blankMemory() {
    Memory m;
    m.fill(0xFF);
    return m;
}

bool loadImageFile(const std::string& path, Memory& memory, std::string& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    Memory loaded{};
    std::size_t total = 0;
    bool tooLong = false;
    for (;;) {
        std::uint8_t buf[4096];
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = path + ": " + std::strerror(errno);
            ::close(fd);
            return false;
        }
        if (n == 0) break;
        for (ssize_t i = 0; i < n; ++i) {
            if (total < loaded.size())
                loaded[total] = buf[i];
            else
                tooLong = true;
            ++total;
        }
    }
    ::close(fd);
    if (tooLong || total != loaded.size()) {
        error = path + ": a memory image holds exactly " + std::to_string(loaded.size()) + " bytes, this file holds " +
                std::to_string(total);
        return false;
    }
    memory = loaded;
    return true;
}

bool saveImageFile(const std::string& path, const Memory& memory, std::string& error) {
    const std::string temp = path + ".tmp" + std::to_string(::getpid());
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = temp + ": " + std::strerror(errno);
        return false;
    }
    std::size_t done = 0;
    while (done < memory.size()) {
        const ssize_t n = ::write(fd, memory.data() + done, memory.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = path + ": " + std::strerror(errno);
            ::close(fd);
            ::unlink(temp.c_str());
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0 || std::rename(temp.c_str(), path.c_str()) != 0) {
        error = path + ": " + std::strerror(errno);
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace ks340::sim
