// Conversions between the text encodings that host functions take (Latin-1
// and UTF-16 session names) and the engine's UTF-8 strings.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tonaroengine {

std::string Latin1ToUtf8(const char* text);
// Zero-terminated UTF-16; unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(const uint16_t* text);
// False for malformed UTF-8.
bool Utf8ToUtf16(const std::string& text, std::vector<uint16_t>* out);

}  // namespace tonaroengine
