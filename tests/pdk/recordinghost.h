// A small stand-in host for bridge tests that need to see exactly what the
// host receives: it exports only the record functions, the alert and the
// frame-saving function, keeps other records in a plain store and logs every
// call with the tag, address, size and version word it was given.
//
// Linked into a test program as a shared library, so that the bridge finds
// its functions through the main program (no engine is loaded there).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tonaropdk/hostapi/fxtypes.h"

namespace pdkhost {

struct HostCall {
    std::string function;
    EDTAG tag = 0;
    uint16_t cmper = 0;
    uint16_t inci = 0;
    uint32_t size = 0;  // capacity for loads
    uint32_t version = 0;
    bool hadBuffer = false;
};

// Forgets every record, call, alert and setting.
void Reset();

const std::vector<HostCall>& Calls();
void ClearCalls();
// Calls of one function, in order.
std::vector<HostCall> CallsOf(const std::string& function);
const std::vector<std::string>& Alerts();

// Records by tag, cmper and inci.
void PutRecord(EDTAG tag, uint16_t cmper, uint16_t inci, const std::vector<uint8_t>& bytes);
bool GetRecord(EDTAG tag, uint16_t cmper, uint16_t inci, std::vector<uint8_t>* bytes);

// Loads of tag write bytes into the buffer (at most the capacity) and then
// report failure, as some host loaders do.
void SetPartialLoad(EDTAG tag, const std::vector<uint8_t>& bytes);
// Every save fails (and stores nothing) while set.
void SetSavesFail(bool fail);

}  // namespace pdkhost
