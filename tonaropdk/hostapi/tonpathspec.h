// File-system references as the host hands them out.
//
// An FSRef is an opaque 80-byte reference to an existing folder or file,
// made and resolved by the platform layer (FSPathMakeRef, FSRefMakePath).
// A TonPathSpec2012 names an item by its containing folder and its name.
#pragma once

#include "tonaropdk/hostapi/fxtypes.h"

#pragma pack(push, 1)

struct FSRef {
    uint8_t hidden[80];
};
static_assert(sizeof(FSRef) == 80);

struct TonPathSpec2012 {
    uint16_t hostword0;     // 0: not used by plug-ins
    FSRef parent;           // 2: the containing folder
    uint16_t nameLength;    // 82: name length in UTF-16 code units
    uint16_t name[255];     // 84: the file or folder name
};
static_assert(sizeof(TonPathSpec2012) == 594);

#pragma pack(pop)

// Folder kinds for FX_GetTonaroPathMac.
using TonPath = int16_t;
constexpr TonPath TONPATH_CONFIGURATION_FILES = 4;  // the host's "Configuration Files"
constexpr TonPath TONPATH_PLUGIN_SETTINGS_OLD = 8;  // settings folder, hosts before 0x10000000
constexpr TonPath TONPATH_PLUGIN_SETTINGS = 16;     // per-user settings folder
