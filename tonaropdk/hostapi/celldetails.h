// Records attached to one cell (one staff in one measure), addressed by
// (staff, measure, inci).
#pragma once

#include "tonaropdk/hostapi/fxtypes.h"

#pragma pack(push, 1)

// Independent key or time signature of a cell (tag 0x4402464C), 20 bytes,
// version 0x06000000.
struct EDTIndependentCell {
    uint16_t keySig;       // 0: key signature ID
    int16_t beats;         // 2
    int16_t beatDuration;  // 4
    int16_t hostword6;     // 6
    uint8_t hostbyte8;     // 8
    uint8_t flags;         // 9: INDEPENDENTCELL_* bits
    int16_t hostwords[5];  // 10..19
};
static_assert(sizeof(EDTIndependentCell) == 20);

#pragma pack(pop)

constexpr uint8_t INDEPENDENTCELL_HASKEY = 0x08;
constexpr uint8_t INDEPENDENTCELL_HASTIME = 0x04;
constexpr uint32_t INDEPENDENTCELL_VERSION = 0x06000000;
