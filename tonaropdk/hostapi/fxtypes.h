// Basic types shared by the notation engine, the bridge and the framework.
//
// Every host function takes a version word as its last argument. The major
// version sits in the top byte (0x12000000 is 18). Results are 16-bit values,
// non-zero for success, unless a function says otherwise.
#pragma once

#include <cstdint>

using twobyte = int16_t;
using utwobyte = uint16_t;
using fourbyte = int32_t;
using ufourbyte = uint32_t;

// The 32-bit tag that names a host record: four characters, the first one in
// the most significant byte ('SOIS' is 0x534F4953).
using EDTAG = uint32_t;

constexpr EDTAG MakeEDTag(char a, char b, char c, char d)
{
    return (static_cast<uint32_t>(static_cast<unsigned char>(a)) << 24) |
           (static_cast<uint32_t>(static_cast<unsigned char>(b)) << 16) |
           (static_cast<uint32_t>(static_cast<unsigned char>(c)) << 8) |
           static_cast<uint32_t>(static_cast<unsigned char>(d));
}

// Version words.
constexpr uint32_t FXT_VERSION_2012 = 0x12000000;  // the current host, major 18
constexpr uint32_t FXT_VERSION_2011 = 0x11000000;
constexpr uint32_t FXT_VERSION_2010 = 0x0F000000;
constexpr uint32_t FXT_PLUGIN_VERSION = 0x0F000000;  // what the plug-in reports

// The address block of a record: up to four 16-bit words handed to the host by
// pointer (cmper, inci, ...). The host may rewrite them (create, next).
struct EDataAddress {
    uint16_t words[4];
};
static_assert(sizeof(EDataAddress) == 8);

// Marks the host functions that the engine exports. Anything else that
// defines an FX_ function (the plug-in's bridge) keeps it hidden.
#if defined(TONARO_BUILDING_ENGINE)
#define TONARO_FX_API __attribute__((visibility("default")))
#else
#define TONARO_FX_API
#endif
