// Clef definitions ('otCL', cmper = clef index, inci 0; 12 bytes).
#pragma once

#include "tonaropdk/hostapi/fxtypes.h"

#pragma pack(push, 1)

struct EDTClefDef {
    int16_t middleCPos;    // 0: staff position of middle C, steps (0 = top line)
    int16_t glyph;         // 2: the host's symbol for the clef
    int16_t glyphPos;      // 4: staff position of the glyph's reference point
    int16_t octaveShift;   // 6: octaves that the clef sign marks (8va/8vb)
    int16_t hostwords[2];  // 8
};
static_assert(sizeof(EDTClefDef) == 12);

#pragma pack(pop)

// Clef indexes the engine defines.
constexpr int16_t CLEF_TREBLE = 0;     // middle C at -10
constexpr int16_t CLEF_ALTO = 1;       // -4
constexpr int16_t CLEF_TENOR = 2;      // -2
constexpr int16_t CLEF_BASS = 3;       // 2
constexpr int16_t CLEF_PERCUSSION = 4; // -4 (as alto)
constexpr int16_t CLEF_TREBLE8VB = 5;  // -3
constexpr int16_t CLEF_BASS8VB = 6;    // 9
constexpr int16_t CLEF_TAB = 7;        // -4
constexpr int16_t CLEF_COUNT = 8;
