// Entry metrics ('EMET', addressed by the 32-bit entry number in words 0-1):
// what the host computed for one entry's layout, among it which notes show
// an accidental under the standard rule (an accidental shows when the
// alteration differs from what the key signature and earlier notes on the
// same staff line and octave in that measure imply).
#pragma once

#include "tonaropdk/hostapi/fxtypes.h"

#pragma pack(push, 1)

struct EDTNoteMetrics {
    uint8_t accidentalShown;  // 0: non-zero when an accidental is drawn
    int8_t accidental;        // 1: the accidental drawn, in half steps (-2..2; 0 = natural)
    uint16_t noteID;          // 2
    int16_t staffPosition;    // 4: steps, 0 = top line
    int16_t hostword6;        // 6
};
static_assert(sizeof(EDTNoteMetrics) == 8);

struct EDTEntryMetrics {
    int16_t numNotes;              // 0
    int16_t hostword2;             // 2
    EDTNoteMetrics notes[12];      // 4
};
static_assert(sizeof(EDTEntryMetrics) == 100);

#pragma pack(pop)

constexpr uint32_t ENTRYMETRICS_VERSION_2012 = 0x12000000;
constexpr uint32_t ENTRYMETRICS_VERSION_OLD = 0x0E010000;
