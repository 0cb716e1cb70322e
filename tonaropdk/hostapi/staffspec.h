// The staff setup record ('SOIS'; also 'SOSC', the setup in
// force at one place of the music). Its size depends on the layout version.
#pragma once

#include <cstddef>

#include "tonaropdk/hostapi/fxtypes.h"

constexpr uint32_t STAFFSPEC_SIZE_2012 = 136;  // version 0x12000000
constexpr uint32_t STAFFSPEC_SIZE_2011 = 132;  // version 0x11000000
constexpr uint32_t STAFFSPEC_SIZE_2010 = 114;  // version 0x0F000000
constexpr uint32_t STAFFSPEC_SIZE_V8 = 102;    // version 0x08000000
constexpr uint32_t STAFFSPEC_SIZE_V5 = 66;     // version 0x05000000

#pragma pack(push, 1)

// Fields common to every layout; the rest of each layout is the host's.
struct EDTStaffSpecHead {
    int16_t clef;            // 0: default clef index
    int16_t lines;           // 2: number of staff lines
    int16_t hostword4;       // 4
    int16_t hostword6;       // 6
    int16_t hostword8;       // 8
    uint16_t notationStyle;  // 10: STAFFSTYLE_* bits
    int16_t hostword12;      // 12
    int16_t hostword14;      // 14
    int16_t hostword16;      // 16
    int16_t hostword18;      // 18
    int16_t transposition;   // 20: transposition word, see below
    uint16_t flags;          // 22: STAFFFLAG_* bits
};
static_assert(sizeof(EDTStaffSpecHead) == 24);

#pragma pack(pop)

// Notation style word (offset 10).
constexpr uint16_t STAFFSTYLE_PERCUSSION = 0x2000;
constexpr uint16_t STAFFSTYLE_TAB = 0x0200;

// Flag word (offset 22).
constexpr uint16_t STAFFFLAG_INDEPENDENTKEY = 0x8000;
constexpr uint16_t STAFFFLAG_CMAJORMIDI = 0x0001;

// Transposition word (offset 20).
//  0x4000: not part of the transposition (a word with no other bit set means
//          "not transposed").
//  0x2000: clear = first encoding: bits 0-5 alteration (signed 6-bit sharps
//          added to the key), bits 6-11 interval (signed 6-bit diatonic steps).
//          set = second encoding: bits 0-7 interval (bit 7 set: signed 8-bit,
//          else the byte plus 1), bits 8-11 alteration (signed 4-bit).
constexpr int16_t TRANSPOSE_FLAG = 0x4000;
constexpr int16_t TRANSPOSE_SECONDENCODING = 0x2000;

// Address of a 'SOSC' record: words 0 and 1 are staff and measure, bytes 4-7
// the position in the measure (32-bit, duration units).
