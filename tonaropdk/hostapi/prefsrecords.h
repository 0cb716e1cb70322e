// Document preference records that the framework reads.
#pragma once

#include "tonaropdk/hostapi/fxtypes.h"

#pragma pack(push, 1)

// General preferences ('pfgp', record 1), 66 bytes, version 0x0D000000.
struct EDTGeneralPrefs {
    int16_t hostwords0[15];     // 0..29: the host's
    int16_t defaultUnit;        // 30: measurement unit (1 EVPUs, 2 inches, 3 cm, 4 points, 5 picas, 6 spaces, 100 mm)
    int16_t hostwords32[4];     // 32..39
    int16_t octaveOffset;       // 40: octave-numbering offset times 12
    int16_t hostwords42[12];    // 42..65
};
static_assert(sizeof(EDTGeneralPrefs) == 66);

// Part-scope preferences: the 12-byte other record 'otPG' at cmper 65534,
// inci 0. A first word of 0 means the score is shown in concert pitch.
struct EDTPartScopePrefs {
    int16_t writtenPitch;  // 0: 0 = concert pitch
    int16_t hostwords[5];
};
static_assert(sizeof(EDTPartScopePrefs) == 12);

#pragma pack(pop)

constexpr uint32_t GENERALPREFS_VERSION = 0x0D000000;
