// Binding the plug-in to the host's notation engine.
//
// The plug-in is not linked against the engine. When it is loaded, main calls
// InitializeGlobals, which finds the engine among the libraries already loaded
// into the process (by its library name, without loading anything) or, failing
// that, falls back to the main program. Every bridge function then looks its
// host function up by name in that handle, once (see hostfunction.h).
#pragma once

#include <cstdint>

#include "tonaropdk/hostapi/tonpathspec.h"

// A handle of a loaded library (as dlopen answers it), or null.
using TonaroBundleRef = void*;

// The library name under which the notation engine is looked up.
inline constexpr const char kTonaroEngineBundleName[] = "libtonaroengine.so";

// The two data symbols of the bridge that a plug-in module exports beside its
// entry points (its export list names them), for hosts that inspect their
// plug-ins' globals.
#define TONARO_BRIDGE_DATA __attribute__((visibility("default")))

// Resource file in force when the plug-in was bound (0 until InitializeGlobals).
extern TONARO_BRIDGE_DATA int16_t gResFile;
// The running host application's file reference (all zero until
// InitializeGlobals). Nothing in the plug-in reads it.
extern TONARO_BRIDGE_DATA TonPathSpec2012 gTonaroFSSpec;

// Records the resource file and the host application's file reference and
// binds the engine: the already loaded engine library if there is one, else the
// main program. A handle bound by an earlier call is kept. Answers 0 on success,
// otherwise the process query's error code combined (bitwise or) with -1 when
// no handle at all could be obtained. Call once at load, before any FX_ call.
int16_t InitializeGlobals();

// The bound handle, or null before InitializeGlobals. Owned by the bridge; it
// stays valid for the life of the process.
TonaroBundleRef GetTonaroBundleRef();

// Whether the host is of the old code-fragment build, whose dialog callbacks
// must be wrapped: true when the system version cannot be read or is below
// 0x1000, else the negation of FX_IsMachO (so also true when the host does not
// answer FX_IsMachO).
bool IsTonaroCFM();

// A dialog event callback handed to host dialog functions.
using FF_DialogHandlerProcPtr = int16_t (*)(void* dialog, void* event, int16_t* itemHit);
// What the host receives in its place: the callback itself on a current host,
// a small wrapper block on a code-fragment host.
using FF_DialogHandlerUPP = FF_DialogHandlerProcPtr;

// The handle to give the host for callback. On a current host that is the
// callback itself. On a code-fragment host it is a newly allocated wrapper
// block holding the callback in its first word and 0 in its second; null when
// allocation fails. Release it with DisposeFF_DialogHandlerProc.
FF_DialogHandlerUPP NewFF_DialogHandlerProc(FF_DialogHandlerProcPtr callback);
// Frees a wrapper block from NewFF_DialogHandlerProc on a code-fragment host;
// does nothing for null or on a current host.
void DisposeFF_DialogHandlerProc(FF_DialogHandlerUPP handle);
