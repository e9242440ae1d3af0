// The master side of a pseudo-terminal, raw and non-blocking.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace ks340::sim {

class PseudoTerminal {
public:
    PseudoTerminal() = default;
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // Creates the terminal with raw line settings (no echo, no line editing,
    // no character translation, 8 bits, 19200 baud as a nominal value).
    bool open(std::string& error);
    void close();

    int fd() const { return fd_; }
    bool isOpen() const { return fd_ >= 0; }
    // The device path the other side opens, e.g. /dev/pts/3.
    const std::string& devicePath() const { return path_; }

    // Writes every byte, waiting a little for room when the terminal's
    // buffer is full. False when not everything could be written.
    bool writeAll(const std::uint8_t* data, std::size_t size);
    // Throws away bytes in both directions that nobody has read yet.
    void discardPending();

private:
    int fd_ = -1;
    std::string path_;
};

}  // namespace ks340::sim
