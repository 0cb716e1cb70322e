// The measure record ('SOMS', addressed by the measure number).
#pragma once

#include "tonaropdk/hostapi/fxtypes.h"

constexpr uint32_t MEASURESPEC_SIZE_2012 = 30;  // version 0x12000000
constexpr uint32_t MEASURESPEC_SIZE_V10 = 26;   // version 0x0A000000
constexpr uint32_t MEASURESPEC_SIZE_V9 = 24;    // version 0x09000000

#pragma pack(push, 1)

struct EDTMeasureSpec {
    int16_t width;          // 0: measure width, EVPUs
    uint16_t flags;         // 2: MEASUREFLAG_* bits
    int16_t beats;          // 4: time signature: number of beats
    int16_t beatDuration;   // 6: time signature: duration of one beat (1024 = quarter)
    uint16_t keySig;        // 8: key signature ID
    int16_t barline;        // 10: barline style (the host's)
    int16_t hostwords[9];   // 12..29: the host's
};
static_assert(sizeof(EDTMeasureSpec) == 30);

#pragma pack(pop)

constexpr uint16_t MEASUREFLAG_RESPACED = 0x0001;  // laid out anew since the last layout
