// Reading input files without surprises: a clear reason when a name is not
// a readable regular file, never more bytes than a valid input can hold, and
// never a wait on a FIFO or a device.
#pragma once

#include <cstddef>
#include <string>

namespace ks340::fileio {

struct InputFile {
    bool ok = false;
    std::string bytes;      // the contents, when ok
    std::string error;      // "PATH: is a directory", "PATH: does not exist", ...
    int code = 0;           // errno of the failure, 0 when none
    bool tooLarge = false;  // the file holds more than the limit (error says so)
};

// Reads the regular file `path` (symbolic links followed) whole when it
// holds at most `limit` bytes. Directories, devices, FIFOs and sockets are
// refused without being read. Reads at most limit + 1 bytes; a longer file
// fails with tooLarge set and its first `limit` bytes in `bytes`, for a
// reader that stops early on its own.
InputFile readInputFile(const std::string& path, std::size_t limit);

}  // namespace ks340::fileio
