// Resolving a host function by name, once.
//
// Each bridge function keeps the address of its host function in a
// function-local static, initialised on the first call (thread-safe) by one
// lookup in the handle that InitializeGlobals bound. A failed lookup leaves the
// pointer null for good: the bridge function then answers 0 and calls nothing.
#pragma once

#include <bit>

namespace tonaro::bridge {

// Looks name up in the bound handle. Answers the function's address, or null
// when no handle is bound or the handle has no such exported name. Each call
// counts as one lookup.
void* LookUpHostFunction(const char* name);

// Number of lookups made so far in this process (a diagnostic: a bridge
// function's second call must not add to it).
int BridgeLookupCount();

template <typename FunctionPointer>
FunctionPointer ResolveHostFunction(const char* name)
{
    static_assert(sizeof(FunctionPointer) == sizeof(void*));
    return std::bit_cast<FunctionPointer>(LookUpHostFunction(name));
}

}  // namespace tonaro::bridge

// Declares the calling bridge function's cached host entry `fpProc`, of the
// same type as the bridge function itself, resolved on the first call.
#define TONARO_RESOLVE_HOST_FUNCTION(name) \
    static const auto fpProc = ::tonaro::bridge::ResolveHostFunction<decltype(&name)>(#name)
