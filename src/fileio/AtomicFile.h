// Writing output files so that a reader only ever sees the old file or the
// complete new one.
//
// A regular file (or a name that does not exist yet) is written into a new
// temporary file in the target's folder, created exclusively under a name no
// other program uses:
//   .<name>.ks340-<pid>-<random>.tmp       (<name> shortened to fit NAME_MAX)
// Every write is checked; the file is flushed to the disk, renamed over the
// target and the folder flushed as well. On any error the target keeps its
// old contents, the temporary file is removed and the error is returned.
//
// Rules for the target:
// - An existing file keeps its permission bits (a new file gets the umask's).
// - A read-only file (no write permission) is refused unless forced.
// - A symbolic link stays a link: the file it points to is replaced, through a
//   temporary file in that file's folder.
// - "-" is standard output; a character device (/dev/null, a terminal) or a
//   FIFO is written straight through and never replaced. A FIFO that nothing
//   reads from is refused rather than waited for.
// - A directory, a block device or a socket is refused.
// - Temporary files left by a killed run of this program (their process is
//   gone) are removed from the folder on the next save there.
//
// Paths are bytes as the operating system takes them; nothing converts them.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace ks340::fileio {

struct IoStatus {
    bool ok = true;
    std::string error;  // "PATH: reason" when !ok
    int code = 0;       // errno of the failure, 0 when none

    explicit operator bool() const { return ok; }
    static IoStatus failure(const std::string& path, const std::string& reason, int code = 0);
};

struct WriteOptions {
    bool force = false;     // replace a read-only file
    bool producer = false;  // the bytes come from a producer writing temporaryPath() by name
};

// What an output name stands for.
enum class OutputKind {
    NewFile,         // nothing by that name yet
    RegularFile,     // an existing file, to be replaced
    StandardOutput,  // "-"
    PassThrough,     // character device or FIFO: written straight through
    Refused,         // directory, block device, socket, dangling chain of links...
};

struct OutputTarget {
    OutputKind kind = OutputKind::Refused;
    std::string path;       // the file actually replaced (a link's target), or the name
    std::string error;      // when Refused
    unsigned mode = 0;      // permission bits of an existing file
    bool readOnly = false;  // an existing file without write permission
};

// Follows symbolic links (relative ones from the link's folder) and says
// what writing to `path` would do. Nothing is created.
OutputTarget resolveOutput(const std::string& path);

// An output being written. For a regular target the bytes go into the
// temporary file until commit(); for a pass-through target they go straight
// out. Destroying it without commit() removes the temporary file.
class AtomicFile {
public:
    AtomicFile() = default;
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Checks the target and creates the temporary file.
    IoStatus open(const std::string& path, const WriteOptions& options = {});

    // Writes everything or fails (EINTR and short writes are retried).
    IoStatus write(std::string_view bytes);

    // For a producer that writes a file by name itself (a PDF writer): the
    // file to produce into. For a pass-through target this is a temporary
    // file in the system's temporary folder, copied out by commit().
    const std::string& temporaryPath() const { return temporary_; }

    // Flushes, renames over the target and flushes the folder. After a
    // failure the target is as it was and the temporary file is gone.
    IoStatus commit();

    // Removes the temporary file; the target stays as it was.
    void discard();

    const std::string& targetPath() const { return target_.path; }

private:
    IoStatus fail(const std::string& reason, int code);
    IoStatus openTarget(const std::string& path, const WriteOptions& options);

    std::string name_;  // as the caller gave it, for messages
    OutputTarget target_;
    std::string temporary_;
    int fd_ = -1;
    bool passThrough_ = false;
    bool committed_ = false;
};

// The whole output in one call: open, write, commit.
IoStatus writeFileAtomically(const std::string& path, std::string_view bytes, const WriteOptions& options = {});

// Removes the temporary files of this program in `folder` whose process is
// no longer running; returns how many were removed.
int removeStaleTemporaryFiles(const std::string& folder);

// Test seam: called before every write(2) of an output with the bytes about
// to be written; a non-zero return fails that write with this errno.
using WriteHook = std::function<int(std::size_t size)>;
void setWriteHookForTesting(WriteHook hook);

}  // namespace ks340::fileio
