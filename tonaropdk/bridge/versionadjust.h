// Matching a record's version word to the structure the caller holds.
//
// Several host records changed their layout over the host's versions. Callers
// that hand the host a structure of an older size must also hand it the
// version word of that layout, or the host reads or writes the wrong layout.
// The record functions of the bridge (load, save, create, next, previous) run
// every call through HandleVeltraVersion before the host sees it.
#pragma once

#include <cstdint>

#include "tonaropdk/hostapi/fxtypes.h"

// The version word to pass to the host for a record of tag whose structure
// is size bytes, given the caller's version. A size of 0, or any tag and size
// that the host never changed, leaves version as it is. For the three records
// whose size contradicts a too old version word, the developer is warned
// through FX_AlertMessage before the version is corrected.
uint32_t HandleVeltraVersion(EDTAG tag, uint32_t size, uint32_t version);
