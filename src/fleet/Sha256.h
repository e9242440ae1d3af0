// SHA-256 of a byte string, for the report of what was written to a radio.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace ks340::fleet {

// The digest as 64 lower-case hexadecimal digits.
std::string sha256Hex(const std::uint8_t* data, std::size_t size);

}  // namespace ks340::fleet
