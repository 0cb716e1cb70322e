// Pitch arithmetic between MusicXML's absolute pitches (step, alter,
// octave; written or sounding) and the host's pitch data (displacement from
// the key's tonic, raise/lower against the key signature).
//
// Step indexes count from C (C 0 ... B 6); an absolute step is
// 7 x octave + step index (middle C is 28). Key IDs are the host's: low byte
// the signed number of sharps (negative: flats), high byte 1 for minor.
// Keys of more than seven sharps or flats count a letter once per time it
// comes round in the order of sharps (flats), so such keys give double
// sharps (flats); both directions use the same rule and so agree.
// All functions are pure.
#pragma once

#include <cstdint>

namespace tonaroengine::musicxml {

// Half steps of a natural step above C (C 0, D 2, E 4, F 5, G 7, A 9, B 11).
int NaturalSemitone(int step);
// Floor division and its remainder in 0..d-1 (d > 0).
int FloorDiv(int n, int d);
int FloorMod(int n, int d);

// The key ID for a traditional MusicXML key (fifths, minor mode); fifths
// beyond seven are kept as they are; outside -128..127 gives 0.
uint16_t KeyIdFromFifths(int fifths, bool minor);
// Signed sharps (negative: flats) of a key ID below 0x0200; 0 otherwise.
int KeyFifths(uint16_t keyId);
// Whether the key ID is one the pitch arithmetic understands (below 0x0200).
bool IsStandardKey(uint16_t keyId);
// Step index of the key's tonic (C 0 ... B 6); 0 for non-standard keys.
int KeyTonicStep(uint16_t keyId);
// Half steps that the key signature gives a step: +n for a letter sharpened
// n times, -n for flattened; 0 for non-standard keys.
int KeyShare(uint16_t keyId, int step);
// The same for a signed number of fifths.
int FifthsShare(int fifths, int step);

// A sounding pitch: absolute step and alteration in half steps.
struct AbsPitch {
    int absStep = 28;
    int alter = 0;
    bool operator==(const AbsPitch&) const = default;
};

// Pitch data of a note under a key, and back.
void ToPitchData(uint16_t keyId, const AbsPitch& pitch, int* displacement, int* raiselower);
AbsPitch FromPitchData(uint16_t keyId, int displacement, int raiselower);

// A MusicXML <transpose>: what to add to the written pitch to get the
// sounding pitch.
struct Transposition {
    int diatonic = 0;
    int chromatic = 0;
    int octaveChange = 0;
    bool operator==(const Transposition&) const = default;
    bool IsNone() const { return diatonic == 0 && chromatic == 0 && octaveChange == 0; }
    // Sharps that the written key has more than the sounding key.
    int WrittenKeyShift() const { return 12 * diatonic - 7 * chromatic; }
};

// Written to sounding and back (alterations in whole half steps).
AbsPitch WrittenToSounding(const AbsPitch& written, const Transposition& t);
AbsPitch SoundingToWritten(const AbsPitch& sounding, const Transposition& t);

// The staff's transposition word in the host's first encoding (interval in
// bits 6-11, sharps added to the key in bits 0-5, both signed 6-bit), or
// false when the transposition does not fit.
bool TranspositionWord(const Transposition& t, int16_t* word);

// The diatonic steps of a chromatic interval, for <transpose> without
// <diatonic> (a major second for 2 half steps, a perfect fifth for 7, ...).
int DiatonicForChromatic(int chromatic);

}  // namespace tonaroengine::musicxml
