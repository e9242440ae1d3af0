// Bytes on the serial line between the PC and the radio.
//
// Shared by the PC side of the exchange (ProgrammingExchange) and the
// simulated radio (ks340sim), so both speak exactly the same format.
// Addresses are byte addresses in the 8192-byte memory image, big-endian.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace ks340::wire {

inline constexpr int kImageSize = 8192;

// PC -> radio requests.
inline constexpr std::array<std::uint8_t, 3> kReadRequest{0x71, 0x52, 0xC3};   // "q" "R" 0xC3
inline constexpr std::array<std::uint8_t, 3> kWriteRequest{0x76, 0x57, 0xCD};  // "v" "W" 0xCD

// Radio -> PC reply to a request or a written block: 2 bytes, the first one
// 0xA1 means ready / accepted, anything else refused. The second byte is
// not looked at by the PC.
inline constexpr int kReplySize = 2;
inline constexpr std::uint8_t kAccepted = 0xA1;

// PC -> radio answers to a read packet.
inline constexpr std::array<std::uint8_t, 2> kPacketAccepted{0xA1, 0xFF};
inline constexpr std::array<std::uint8_t, 2> kPacketRefused{0x58, 0xFF};  // "X" 0xFF

// Frame bytes of both packet kinds.
inline constexpr std::uint8_t kPacketStart = 0x99;
inline constexpr std::uint8_t kPacketEnd = 0x66;

// Written blocks: 0x99, address high, address low, 16 data bytes, 0x66.
inline constexpr int kBlockSize = 16;
inline constexpr int kWritePacketSize = 20;
inline constexpr int kWriteBlockCount = 510;  // blocks 0..509, addresses 0x0000..0x1FD0

// Read packets: 0x99, address high, address low, 8 data bytes, 0x66.
inline constexpr int kReadDataSize = 8;
inline constexpr int kReadPacketSize = 12;
inline constexpr int kReadLastAddress = 0x1FE0;                                // its packet ends a read
inline constexpr int kReadLastBlock = kReadLastAddress / kBlockSize;           // 510
inline constexpr int kReadPacketCount = kReadLastAddress / kReadDataSize + 1;  // 1021 half-blocks

using WritePacket = std::array<std::uint8_t, kWritePacketSize>;
using ReadPacket = std::array<std::uint8_t, kReadPacketSize>;

// The 20-byte packet of write block `block` (0..509) taken from `image`
// (kImageSize bytes).
inline WritePacket buildWritePacket(const std::uint8_t* image, int block) {
    WritePacket p{};
    const int address = block * kBlockSize;
    p[0] = kPacketStart;
    p[1] = static_cast<std::uint8_t>((address >> 8) & 0xFF);
    p[2] = static_cast<std::uint8_t>(address & 0xFF);
    for (int i = 0; i < kBlockSize; ++i) p[3 + i] = image[address + i];
    p[kWritePacketSize - 1] = kPacketEnd;
    return p;
}

// The 12-byte read packet carrying image bytes address..address+7.
inline ReadPacket buildReadPacket(const std::uint8_t* image, int address) {
    ReadPacket p{};
    p[0] = kPacketStart;
    p[1] = static_cast<std::uint8_t>((address >> 8) & 0xFF);
    p[2] = static_cast<std::uint8_t>(address & 0xFF);
    for (int i = 0; i < kReadDataSize; ++i) p[3 + i] = image[address + i];
    p[kReadPacketSize - 1] = kPacketEnd;
    return p;
}

// Address carried by a packet (bytes 1 and 2).
inline int packetAddress(const std::uint8_t* packet) { return (packet[1] << 8) | packet[2]; }

// True when a packet of `size` bytes has the right first and last bytes.
inline bool framedCorrectly(const std::uint8_t* packet, std::size_t size) {
    return size >= 2 && packet[0] == kPacketStart && packet[size - 1] == kPacketEnd;
}

// Bytes on the wire, both directions, for a whole transfer with no errors
// (request, its reply, then every packet and its reply).
inline constexpr int kWriteWireBytes = 3 + kReplySize + kWriteBlockCount * (kWritePacketSize + kReplySize);  // 11225
inline constexpr int kReadWireBytes = 3 + kReplySize + kReadPacketCount * (kReadPacketSize + 2);             // 14299

}  // namespace ks340::wire
