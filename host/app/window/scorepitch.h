// Where the score view puts a stored note: its staff position and the
// accidental it carries, in written pitch for a transposing staff or in
// concert pitch when the document is shown that way. Pure functions over
// the engine's records; the document is only read.
#pragma once

#include <array>
#include <cstdint>

#include "tonaropdk/hostapi/exentry.h"

namespace tonaroengine {
class Document;
}

namespace tonaroapp {

// A staff's transposition word decoded. transposes is false for a word with
// no bit set apart from 0x4000 (then interval and alteration are 0).
struct StaffTransposition {
    bool transposes = false;
    bool secondEncoding = false;
    int interval = 0;    // diatonic steps (the second encoding counts from 1)
    int alteration = 0;  // sharps the written key gains (negative: flats)
};
StaffTransposition DecodeTransposition(int16_t word);

// Diatonic steps that the written note lies above the stored (concert) one.
// The second encoding counts intervals from 1 (a second is 2), so its shift
// is one step less in either direction.
int WrittenStepShift(const StaffTransposition& transposition);

// A key ID with sharps added (negative: flats); IDs that are neither major
// nor minor (above 0x01FF) come back unchanged.
uint16_t TransposeKey(uint16_t keySig, int sharps);

// Whether the document is shown in concert pitch: its part-scope record
// loads and its first word is 0. False for null.
bool ShowsConcertPitch(const tonaroengine::Document* document);

// Staff position of middle C (0 = top line, -8 = bottom line of five) for a
// clef index, from the document's clef definitions; -10 (treble) when the
// clef is unknown or the document null.
int ClefMiddleCPosition(const tonaroengine::Document* document, int16_t clef);

// What the view needs from the staff setup in force at one place.
struct StaffPlacement {
    int16_t clef = 0;
    int middleC = -10;           // staff position of middle C
    int stepShift = 0;           // added to every stored note's step
    int keySharps = 0;           // added to the stored key for display
    bool percussion = false;     // notation style: percussion
    bool tablature = false;      // notation style: tablature
    int lines = 5;               // staff lines drawn (1..5)
};

// The placement for staff at (measure, position), written or concert as
// concert says. Defaults (treble, no transposition) when the staff is
// unknown or the document null.
StaffPlacement PlacementAt(const tonaroengine::Document* document, int16_t staff, int16_t measure,
                           int32_t position, bool concert);

// The staff position of a stored note (displacement under keySig).
int NoteStaffPosition(const StaffPlacement& placement, uint16_t keySig, int16_t displacement);

// The note's total alteration as shown (key share included): +1 sharp,
// -1 flat, 0 natural; in the key and on the line it is shown on.
int ShownAlteration(const StaffPlacement& placement, uint16_t keySig, int16_t displacement, int16_t raiselower);

// The accidental drawn before each note of a stored entry, as the engine's
// accidental rule shows them (its entry metrics): the shown alteration
// (-2..2, 0 a natural) for a note that shows one, kNoAccidental for a note
// that shows none and for slots past the entry's notes. An entry the engine
// has no metrics for (not stored yet) falls back on the notes' own
// accidental flags.
constexpr int kNoAccidental = 99;
std::array<int, EXENTRY_MAXNOTES> EntryAccidentals(const tonaroengine::Document* document, const EXENTRY& entry,
                                                  const StaffPlacement& placement, uint16_t keySig);

// The key ID that a cell with stored key keySig shows.
uint16_t ShownKey(const StaffPlacement& placement, uint16_t keySig);

// The time signature of a measure as shown: numerator over denominator
// (4/4, 6/8, ...). False (outputs untouched) for an unknown measure.
bool MeasureTimeSignature(const tonaroengine::Document* document, int16_t measure, int* numerator,
                          int* denominator);

}  // namespace tonaroapp
