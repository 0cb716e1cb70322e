// Pitch arithmetic of the engine: key signatures, MIDI keys and pitch names.
// Pure functions; they read no document.
//
// Key signature IDs: 0x0000-0x00FF major (low byte = signed sharps, negative
// for flats), 0x0100-0x01FF minor (same low byte), anything else is treated
// as C major by the functions here.
#pragma once

#include <cstdint>
#include <string>

#include "host/engine/engineexport.h"
#include "host/engine/entryspec.h"

namespace tonaroengine {

// Letter index counted from C (C 0 ... B 6) of the key's tonic.
TONARO_ENGINE_API int TonicStep(uint16_t keySig);
// Half steps that the key signature adds to a letter (step index from C):
// +1 sharpened, -1 flattened, 0 otherwise.
TONARO_ENGINE_API int KeyAlteration(uint16_t keySig, int step);
// Total alteration of a note (raise/lower plus the key's share), half steps.
TONARO_ENGINE_API int TotalAlteration(uint16_t keySig, int16_t displacement, int16_t raiselower);
// Absolute diatonic step number (7 x octave + step index) of a note; middle
// C is 28.
TONARO_ENGINE_API int AbsoluteStep(uint16_t keySig, int16_t displacement);
// MIDI key (middle C = 60) of a note under a key: one unit per half step,
// equal for enharmonic spellings.
TONARO_ENGINE_API int NoteMidiKey(uint16_t keySig, int16_t displacement, int16_t raiselower);
// The name of a MIDI key such as "C#4" (useSharps) or "Db4"; octaveOffset
// is added to the octave number (middle C is C4 at offset 0).
TONARO_ENGINE_API std::string MidiKeyName(int midiKey, bool useSharps, int octaveOffset = 0);

// Reads a pitch name ("C4", "F#3", "Bb2", "Ex5", "Dbb-1"; letter in upper
// case, then "#"s, "b"s or one "x", then the octave with middle C = C4) and
// gives the note's pitch data under keySig. False, with *out unchanged, for
// anything else or a null out.
TONARO_ENGINE_API bool NoteFromName(const char* name, uint16_t keySig, NoteSpec* out);
// The name of a note's pitch under keySig, as NoteFromName reads it.
TONARO_ENGINE_API std::string NoteName(uint16_t keySig, int16_t displacement, int16_t raiselower);

}  // namespace tonaroengine
