// Records attached to one note entry ("entry details"), addressed by the
// 32-bit entry number (words 0-1, low half first) and an inci (word 2).
// The host keeps them in its record store; it deletes an entry's details
// when the entry leaves the document. An entry marks that it has details of
// a kind with a bit of its flag word (exentry.h).
#pragma once

#include "tonaropdk/hostapi/fxtypes.h"

#pragma pack(push, 1)

// An articulation attached to an entry ('eDAA'), 12 bytes.
struct EDTArticulation {
    int16_t definition;    // 0: articulation definition number
    int16_t horzOffset;    // 2: EVPUs
    int16_t vertOffset;    // 4: EVPUs
    int16_t hostwords[3];  // 6
};
static_assert(sizeof(EDTArticulation) == 12);

// A notehead change of one note ('eDNH'), 12 bytes; tied to the note by ID.
struct EDTNoteheadMod {
    uint16_t noteID;       // 0
    uint16_t customChar;   // 2: notehead symbol, 0 for the default
    int16_t percent;       // 4: size in percent
    int16_t horzOffset;    // 6: EVPUs
    int16_t vertOffset;    // 8: EVPUs
    int16_t hostword10;    // 10
};
static_assert(sizeof(EDTNoteheadMod) == 12);

// Playback change of one note ('eDPF'), 12 bytes; tied to the note by ID.
struct EDTPerformanceMod {
    uint16_t noteID;       // 0
    int16_t startOffset;   // 2: duration units added to the start
    int16_t endOffset;     // 4: duration units added to the end
    int16_t velocityDelta; // 6: key velocity change
    int16_t hostwords[2];  // 8
};
static_assert(sizeof(EDTPerformanceMod) == 12);

// A tuplet starting at an entry ('eDTU'), 12 bytes: symbolicNumber notes of
// symbolicDuration in the time of referenceNumber notes of referenceDuration.
struct EDTTuplet {
    int16_t symbolicNumber;     // 0
    int16_t symbolicDuration;   // 2: duration units
    int16_t referenceNumber;    // 4
    int16_t referenceDuration;  // 6: duration units
    int16_t hostwords[2];       // 8
};
static_assert(sizeof(EDTTuplet) == 12);

#pragma pack(pop)

// Version words of the entry-detail layouts.
constexpr uint32_t ARTICULATION_VERSION = 0x12000000;
constexpr uint32_t NOTEHEADMOD_VERSION_2011 = 0x11000000;  // hosts from 0x11000000
constexpr uint32_t NOTEHEADMOD_VERSION_OLD = 0x07000000;
constexpr uint32_t PERFORMANCEMOD_VERSION = 0x07000000;
constexpr uint32_t TUPLET_VERSION = 0x12000000;

// Entry flag marking that a tuplet starts at the entry (inside
// EXENTRY_DETAILMASK, so copied entries drop it with their details).
constexpr uint32_t EXENTRY_TUPLETSTART = 0x00000400u;
