// Conversion between UTF-8 bytes and UTF-16 code units.
//
// Decoding is strict: overlong forms, encoded surrogates, values above
// U+10FFFF, stray continuation bytes and cut sequences make the input
// ill-formed. Encoding turns a surrogate pair into one four-byte character
// and a lone surrogate into U+FFFD.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Decodes size bytes of utf8 into UTF-16 units appended to out. false, with
// out unchanged, when the bytes are not well-formed UTF-8. A null utf8 is
// only accepted with size 0.
bool DecodeUTF8ToUTF16(const char* utf8, size_t size, std::vector<unsigned short>& out);

// Whether size bytes of utf8 are well-formed UTF-8.
bool IsWellFormedUTF8(const char* utf8, size_t size);

// The UTF-8 form of count units (a null units pointer gives the empty text).
std::string EncodeUTF16ToUTF8(const unsigned short* units, size_t count);
