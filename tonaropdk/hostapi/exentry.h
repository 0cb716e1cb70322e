// Entry frames: the notes, chords and rests of one staff, one measure and one
// layer, as the host hands them out (FX_LoadTGF) and takes them back
// (FX_SaveTGF). Offsets are those of the host's records; little-endian.
#pragma once

#include <cstddef>

#include "tonaropdk/hostapi/fxtypes.h"

#pragma pack(push, 1)

// One note slot of an entry (10 bytes).
struct EXNOTE {
    int16_t displacement;  // 0: diatonic steps from the key's tonic in octave 4
    int16_t raiselower;    // 2: half steps against what the key gives the letter
    uint16_t noteID;       // 4: unique within the entry, 1 or more once stored
    uint32_t flags;        // 6: EXNOTE_* below
};
static_assert(sizeof(EXNOTE) == 10);

constexpr uint32_t EXNOTE_INUSE = 0x80000000u;       // slot in use
constexpr uint32_t EXNOTE_TIESTART = 0x40000000u;    // a tie starts here
constexpr uint32_t EXNOTE_ACCIDENTAL = 0x01000000u;  // accidental shown
constexpr uint32_t EXNOTE_IDCOPY_MASK = 0x001F0000u; // low five bits of the ID
constexpr int EXNOTE_IDCOPY_SHIFT = 16;

constexpr int EXENTRY_MAXNOTES = 12;

// One entry record (146 bytes); records of a frame follow each other.
struct EXENTRY {
    uint32_t entnum;       // 0: entry number, 0 until the host stored it
    int16_t duration;      // 4: duration units (quarter = 1024); 0 = null entry
    uint16_t hostword6;    // 6: the host's (not read by the framework)
    uint32_t flags;        // 8: EXENTRY_* below
    uint16_t flags2;       // 12: EXENTRY2_* below
    int16_t numNotes;      // 14: 0 to 12 (0 for a rest)
    EXNOTE notes[EXENTRY_MAXNOTES];  // 16
    int32_t position;      // 136: position in the measure, duration units
    uint16_t hostword140;  // 140: the host's
    uint16_t hostword142;  // 142: the host's
    uint16_t clef;         // 144: clef index in force (FCClefDef)
};
static_assert(sizeof(EXENTRY) == 146);
static_assert(offsetof(EXENTRY, notes) == 16);
static_assert(offsetof(EXENTRY, position) == 136);
static_assert(offsetof(EXENTRY, clef) == 144);

#pragma pack(pop)

// Entry flags (EXENTRY::flags).
constexpr uint32_t EXENTRY_NOTE = 0x40000000u;          // note or chord; clear for a rest
constexpr uint32_t EXENTRY_RESTNOTESLOT = 0x01000000u;  // rest given a note slot before saving
constexpr uint32_t EXENTRY_GRACE = 0x00800000u;
constexpr uint32_t EXENTRY_NOTEDETAIL = 0x00400000u;
constexpr uint32_t EXENTRY_ARTICULATION = 0x00200000u;
constexpr uint32_t EXENTRY_PERFORMANCE = 0x00020000u;
constexpr uint32_t EXENTRY_SPECIALALTS = 0x00001000u;
constexpr uint32_t EXENTRY_CROSSSTAFF = 0x00000040u;
// Detail bits cleared from copied entries.
constexpr uint32_t EXENTRY_DETAILMASK = 0x007A54C0u;

// Second flag word (EXENTRY::flags2).
constexpr uint16_t EXENTRY2_CHECKACCIS = 0x0004;   // accidentals to be checked by the host
constexpr uint16_t EXENTRY2_DETAILCOPY = 0x0020;   // cleared on copied entries
constexpr uint16_t EXENTRY2_NOLEDGER = 0x0040;     // never on a ledger line

// An entry frame. Records without pointers keep the host's offsets; this one
// holds a pointer and so takes the native layout.
struct EXTGF2005a {
    uint16_t instList;    // instrument list (0 = the global list)
    uint16_t slot;        // staff position in the list (1 = top)
    uint16_t hostword4;   // the host's
    uint16_t measure;
    uint16_t layer;       // 0-based layer index
    uint16_t locked;      // non-zero: never saved, no entries deleted
    uint16_t hostword12;  // the host's
    EXENTRY* entries;     // first entry record; owned by the host
    int16_t numEntries;   // number of entry records
    void* hostPrivate;    // the host's bookkeeping; never touched by plug-ins
};
