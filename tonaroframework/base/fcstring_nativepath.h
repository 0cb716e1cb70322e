// Conversion between the text of an FCString and the bytes that name a path
// on this system.
//
// File-system paths are bytes handed to the C library (fopen, rename, ...);
// on this system they are UTF-8. Unlike FCString's own UTF-8 members, these
// conversions do not depend on the running host version: a path must name
// the same file on every host. Both are strict, so a text can never name a
// different file than the one it shows.
#pragma once

#include <string>

class FCString;

// Writes the UTF-8 bytes of text into native. false (native unchanged) when
// text cannot name a path: it holds a zero unit (which would cut the path
// short) or a surrogate that is not part of a pair.
bool FCStringToNativePath(const FCString& text, std::string* native);

// Sets text from zero-terminated native path bytes. false (text unchanged)
// for null or bytes that are not well-formed UTF-8.
bool FCStringFromNativePath(FCString* text, const char* native);
