// Text fields hold 8-bit characters as they go to the radio; the program
// shows them as Windows-1252. These convert between those bytes and UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace ks340 {

// Unicode code point of a Windows-1252 byte (0 for the five undefined bytes).
char32_t cp1252ToUnicode(unsigned char byte);

// The Windows-1252 byte for a code point, or -1 when it has none.
int unicodeToCp1252(char32_t codePoint);

std::string cp1252ToUtf8(std::string_view bytes);

// Converts UTF-8 to Windows-1252 bytes; characters without a byte are
// dropped and reported through lossy.
std::string utf8ToCp1252(std::string_view utf8, bool* lossy = nullptr);

}  // namespace ks340
