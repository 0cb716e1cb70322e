// File-system references (FSRef, tonaropdk/hostapi/tonpathspec.h) for this
// platform: an FSRef names an existing file or folder by an entry in a
// process-wide table of paths that this one shared library holds, so a
// reference made by the engine resolves in a plug-in and the other way
// round. Paths may be of any length. References stay valid for the life of
// the process; an FSRef that this layer did not make is refused.
#pragma once

#include <cstdint>

#include "tonaropdk/hostapi/tonpathspec.h"
#include "tonaropdk/platform/macerrors.h"
#include "tonaropdk/platform/platformexport.h"

extern "C" {

// Writes the item's absolute POSIX path, zero-terminated, into path (at
// most maxLen bytes with the terminator). paramErr for null arguments or a
// reference not made here, fnfErr when the item no longer exists,
// buffersTooSmall when the path does not fit; path is untouched on error.
TONARO_PLATFORM_API OSStatus FSRefMakePath(const FSRef* ref, uint8_t* path, uint32_t maxLen);

// Makes a reference to an existing item named by a zero-terminated POSIX
// path (a trailing "/" is allowed). isDirectory may be null; it receives
// whether the item is a folder. fnfErr when the item does not exist,
// paramErr for null or empty arguments; *ref is untouched on error.
TONARO_PLATFORM_API OSStatus FSPathMakeRef(const uint8_t* path, FSRef* ref, bool* isDirectory);

}  // extern "C"
