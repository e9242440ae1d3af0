#include "fileio/AtomicFile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <random>
#include <set>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ks340::fileio {

namespace {

constexpr std::string_view kMarker = ".ks340-";
constexpr std::string_view kTempEnd = ".tmp";
constexpr int kMaxLinks = 40;

WriteHook& writeHook() {
    static WriteHook hook;
    return hook;
}

std::string errnoText(int code) { return std::strerror(code); }

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string baseOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// write(2) until everything is out; the test hook may fail any call.
int writeAll(int fd, const char* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        if (writeHook()) {
            if (const int code = writeHook()(size - done)) return code;
        }
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return EIO;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

// fsync; file systems and devices that cannot sync are not an error.
int syncFd(int fd) {
    if (::fsync(fd) == 0 || errno == EINVAL || errno == EROFS || errno == ENOTSUP) return 0;
    return errno;
}

void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);  // the file itself is complete either way
    ::close(fd);
}

std::size_t nameMax(const std::string& folder) {
    const long n = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    return n > 0 ? static_cast<std::size_t>(n) : 255;
}

// True the first time this process writes into `folder`. Stale temporary
// files are looked for then only: a folder of thousands of backups is not
// read again for every file written into it.
bool firstWriteInto(const std::string& folder) {
    static std::mutex mutex;
    static std::set<std::string> seen;
    const std::lock_guard<std::mutex> lock(mutex);
    return seen.insert(folder).second;
}

std::uint32_t randomWord() {
    thread_local std::mt19937 engine{std::random_device{}()};
    return static_cast<std::uint32_t>(engine());
}

// ".<base>.ks340-<pid>-<8 hex>.tmp", <base> cut so that the name fits.
std::string temporaryName(const std::string& folder, const std::string& base) {
    char tail[64];
    std::snprintf(tail, sizeof tail, "%.*s%ld-%08x%.*s", static_cast<int>(kMarker.size()), kMarker.data(),
                  static_cast<long>(::getpid()), randomWord(), static_cast<int>(kTempEnd.size()), kTempEnd.data());
    const std::size_t limit = nameMax(folder);
    const std::size_t room = limit > std::strlen(tail) + 1 ? limit - std::strlen(tail) - 1 : 0;
    return "." + base.substr(0, std::min(room, base.size())) + tail;
}

// The process id a temporary name of this program carries; 0 for any other name.
long temporaryOwner(std::string_view name) {
    if (name.size() < 1 + kMarker.size() + 1 + 1 + 8 + kTempEnd.size() || name[0] != '.' ||
        name.substr(name.size() - kTempEnd.size()) != kTempEnd)
        return 0;
    std::string_view rest = name.substr(0, name.size() - kTempEnd.size());
    const std::string_view hex = rest.substr(rest.size() - 8);
    for (const char c : hex)
        if (!std::isxdigit(static_cast<unsigned char>(c))) return 0;
    rest.remove_suffix(8);
    if (rest.empty() || rest.back() != '-') return 0;
    rest.remove_suffix(1);
    const std::size_t marker = rest.rfind(kMarker);
    if (marker == std::string_view::npos) return 0;
    const std::string_view digits = rest.substr(marker + kMarker.size());
    if (digits.empty() || digits.size() > 9) return 0;
    long pid = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return 0;
        pid = pid * 10 + (c - '0');
    }
    return pid;
}

}  // namespace

IoStatus IoStatus::failure(const std::string& path, const std::string& reason, int code) {
    IoStatus s;
    s.ok = false;
    s.error = path + ": " + reason;
    s.code = code;
    return s;
}

void setWriteHookForTesting(WriteHook hook) { writeHook() = std::move(hook); }

OutputTarget resolveOutput(const std::string& path) {
    OutputTarget t;
    t.path = path;
    if (path.empty()) {
        t.error = "no file name was given";
        return t;
    }
    if (path == "-") {
        t.kind = OutputKind::StandardOutput;
        return t;
    }
    for (int hop = 0; hop <= kMaxLinks; ++hop) {
        struct stat st {};
        if (::lstat(t.path.c_str(), &st) != 0) {
            if (errno == ENOENT) {
                t.kind = OutputKind::NewFile;
                return t;
            }
            t.error = errnoText(errno);
            return t;
        }
        if (S_ISLNK(st.st_mode)) {
            std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
            const ssize_t n = ::readlink(t.path.c_str(), link.data(), link.size());
            if (n < 0) {
                t.error = errnoText(errno);
                return t;
            }
            link.resize(static_cast<std::size_t>(n));
            t.path = (link.empty() || link[0] == '/') ? link : folderOf(t.path) + "/" + link;
            continue;
        }
        t.mode = st.st_mode & 07777;
        if (S_ISREG(st.st_mode)) {
            t.kind = OutputKind::RegularFile;
            t.readOnly = (st.st_mode & 0222) == 0 || (::access(t.path.c_str(), W_OK) != 0 && errno == EACCES);
        } else if (S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode)) {
            t.kind = OutputKind::PassThrough;
        } else {
            t.error = S_ISDIR(st.st_mode) ? "is a directory" : "is not a regular file";
        }
        return t;
    }
    t.kind = OutputKind::Refused;
    t.error = errnoText(ELOOP);
    return t;
}

AtomicFile::~AtomicFile() { discard(); }

IoStatus AtomicFile::fail(const std::string& reason, int code) {
    discard();
    return IoStatus::failure(name_, reason, code);
}

IoStatus AtomicFile::open(const std::string& path, const WriteOptions& options) {
    IoStatus s = openTarget(path, options);
    if (s && passThrough_ && options.producer) {
        // The producer needs a file by name: one in the temporary folder.
        const char* tmp = std::getenv("TMPDIR");
        std::string name = std::string(tmp && *tmp ? tmp : "/tmp") + "/ks340-XXXXXX";
        const int fd = ::mkstemp(name.data());
        if (fd < 0) return fail("no temporary file could be created: " + errnoText(errno), errno);
        ::close(fd);
        temporary_ = name;
    }
    return s;
}

IoStatus AtomicFile::openTarget(const std::string& path, const WriteOptions& options) {
    discard();
    name_ = path;
    committed_ = false;
    target_ = resolveOutput(path);
    switch (target_.kind) {
        case OutputKind::Refused:
            return IoStatus::failure(path, target_.error, EINVAL);
        case OutputKind::StandardOutput:
            passThrough_ = true;
            std::fflush(stdout);  // what the program printed before comes first
            fd_ = ::dup(STDOUT_FILENO);
            if (fd_ < 0) return fail("standard output is closed", errno);
            return {};
        case OutputKind::PassThrough: {
            // Non-blocking so that a FIFO nobody reads is refused, not waited for.
            passThrough_ = true;
            fd_ = ::open(target_.path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
            if (fd_ < 0) {
                const int code = errno;
                return fail(code == ENXIO ? "no program reads from this FIFO" : errnoText(code), code);
            }
            struct stat st {};
            if (::fstat(fd_, &st) != 0 || !(S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode)))
                return fail("is not a regular file", EINVAL);
            ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
            return {};
        }
        case OutputKind::RegularFile:
            if (target_.readOnly && !options.force) return IoStatus::failure(path, "the file is read-only", EACCES);
            break;
        case OutputKind::NewFile:
            break;
    }
    passThrough_ = false;
    const std::string folder = folderOf(target_.path);
    if (firstWriteInto(folder)) removeStaleTemporaryFiles(folder);
    const std::string base = baseOf(target_.path);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::size_t slash = target_.path.rfind('/');
        const std::string name = (slash == std::string::npos ? std::string() : target_.path.substr(0, slash + 1)) +
                                 temporaryName(folder, base);
        fd_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd_ >= 0) {
            temporary_ = name;
            break;
        }
        if (errno != EEXIST) {
            const int code = errno;
            return IoStatus::failure(
                path,
                code == ENOENT ? "the folder does not exist" : "cannot create a file in its folder: " + errnoText(code),
                code);
        }
    }
    if (fd_ < 0) return IoStatus::failure(path, "no temporary file could be created", EEXIST);
    if (target_.kind == OutputKind::RegularFile) {
        struct stat st {};
        if (::stat(target_.path.c_str(), &st) == 0) {
            if (::fchown(fd_, st.st_uid, st.st_gid) != 0) {
                // Not the owner: the new file is ours; the permission bits still carry over.
            }
        }
        if (::fchmod(fd_, target_.mode) != 0) return fail("cannot keep its permissions: " + errnoText(errno), errno);
    }
    return {};
}

IoStatus AtomicFile::write(std::string_view bytes) {
    if (fd_ < 0) return IoStatus::failure(name_, "the file is not open", EBADF);
    if (const int code = writeAll(fd_, bytes.data(), bytes.size())) return fail(errnoText(code), code);
    return {};
}

IoStatus AtomicFile::commit() {
    if (fd_ < 0) return IoStatus::failure(name_, "the file is not open", EBADF);
    if (passThrough_) {
        // A producer's file in the temporary folder is copied out now.
        if (!temporary_.empty()) {
            const int in = ::open(temporary_.c_str(), O_RDONLY | O_CLOEXEC);
            if (in < 0) return fail(errnoText(errno), errno);
            char buf[65536];
            int code = 0;
            for (;;) {
                const ssize_t n = ::read(in, buf, sizeof buf);
                if (n < 0 && errno == EINTR) continue;
                if (n < 0) code = errno;
                if (n <= 0) break;
                if ((code = writeAll(fd_, buf, static_cast<std::size_t>(n))) != 0) break;
            }
            ::close(in);
            if (code) return fail(errnoText(code), code);
        }
        const int closed = ::close(fd_);
        const int code = closed != 0 ? errno : 0;
        fd_ = -1;
        if (closed != 0 && code != EINTR) return fail(errnoText(code), code);
        committed_ = true;
        discard();
        return {};
    }
    if (const int code = syncFd(fd_)) return fail(errnoText(code), code);
    const int closed = ::close(fd_);
    const int closeCode = errno;
    fd_ = -1;
    if (closed != 0 && closeCode != EINTR) return fail(errnoText(closeCode), closeCode);
    if (::rename(temporary_.c_str(), target_.path.c_str()) != 0) {
        const int code = errno;
        return fail("cannot replace the file: " + errnoText(code), code);
    }
    temporary_.clear();
    committed_ = true;
    syncFolder(folderOf(target_.path));
    return {};
}

void AtomicFile::discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
}

IoStatus writeFileAtomically(const std::string& path, std::string_view bytes, const WriteOptions& options) {
    AtomicFile file;
    IoStatus s = file.open(path, options);
    if (s) s = file.write(bytes);
    if (s) s = file.commit();
    return s;
}

int removeStaleTemporaryFiles(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return 0;
    int removed = 0;
    const long self = static_cast<long>(::getpid());
    while (const dirent* entry = ::readdir(dir)) {
        const long pid = temporaryOwner(entry->d_name);
        if (pid <= 0 || pid == self) continue;
        if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;  // alive, or not ours to judge
        const std::string path = folder + "/" + entry->d_name;
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
            ::unlink(path.c_str()) == 0)
            ++removed;
    }
    ::closedir(dir);
    return removed;
}

}  // namespace ks340::fileio
