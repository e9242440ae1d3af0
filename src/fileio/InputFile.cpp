#include "fileio/InputFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ks340::fileio {

namespace {

std::string reasonFor(int code) {
    switch (code) {
        case ENOENT:
            return "does not exist";
        case EACCES:
        case EPERM:
            return "permission denied";
        case ENOTDIR:
            return "a part of the path is not a folder";
        case ELOOP:
            return "too many symbolic links";
        case EISDIR:
            return "is a directory";
        default:
            return std::strerror(code);
    }
}

InputFile failed(const std::string& path, const std::string& reason, int code) {
    InputFile f;
    f.error = path + ": " + reason;
    f.code = code;
    return f;
}

}  // namespace

InputFile readInputFile(const std::string& path, std::size_t limit) {
    if (path.empty()) return failed("(no name)", "no file name was given", ENOENT);
    // O_NONBLOCK: opening a FIFO must not wait for a writer; the check below
    // refuses it anyway.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int code = errno;
        return failed(path, reasonFor(code), code);
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int code = errno;
        ::close(fd);
        return failed(path, reasonFor(code), code);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return failed(path, S_ISDIR(st.st_mode) ? "is a directory" : "is not a regular file", EINVAL);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);

    InputFile f;
    const std::size_t want = limit + 1;
    const std::size_t hint = st.st_size > 0 ? static_cast<std::size_t>(st.st_size) : 0;
    f.bytes.resize(std::min(want, std::max<std::size_t>(hint, 4096)));
    std::size_t got = 0;
    for (;;) {
        if (got == f.bytes.size()) {
            if (got >= want) break;
            f.bytes.resize(std::min(want, got * 2));
        }
        const ssize_t n = ::read(fd, f.bytes.data() + got, f.bytes.size() - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int code = errno;
            ::close(fd);
            return failed(path, reasonFor(code), code);
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    f.bytes.resize(got);
    if (got > limit) {
        std::string first = std::move(f.bytes);
        first.resize(limit);
        f = failed(path, "is larger than " + std::to_string(limit) + " bytes", EFBIG);
        f.tooLarge = true;
        f.bytes = std::move(first);
        return f;
    }
    f.ok = true;
    return f;
}

}  // namespace ks340::fileio
