#include "host/engine/musicxml/xmlpitch.h"

#include <cstdlib>

namespace tonaroengine::musicxml {

namespace {

constexpr int kNatural[7] = {0, 2, 4, 5, 7, 9, 11};
// Tonic letters counted from A, by sharps (0..7) or by the flats' table entry.
constexpr int kMajorTonicLetter[8] = {2, 6, 3, 0, 4, 1, 5, 2};
constexpr int kMinorTonicLetter[8] = {0, 4, 1, 5, 2, 6, 3, 0};
// Position of each step (C..B) in the order of sharps F C G D A E B and in
// the order of flats B E A D G C F.
constexpr int kSharpOrderIndex[7] = {1, 3, 5, 0, 2, 4, 6};
constexpr int kFlatOrderIndex[7] = {5, 3, 1, 6, 4, 2, 0};

int SemitoneOf(const AbsPitch& pitch)
{
    return 12 * FloorDiv(pitch.absStep, 7) + kNatural[FloorMod(pitch.absStep, 7)] + pitch.alter;
}

// The alteration that makes absStep sound at the given half step.
int AlterFor(int absStep, int semitone)
{
    return semitone - (12 * FloorDiv(absStep, 7) + kNatural[FloorMod(absStep, 7)]);
}

}  // namespace

int NaturalSemitone(int step)
{
    return kNatural[FloorMod(step, 7)];
}

int FloorDiv(int n, int d)
{
    int q = n / d;
    if ((n % d != 0) && ((n < 0) != (d < 0))) --q;
    return q;
}

int FloorMod(int n, int d)
{
    return n - d * FloorDiv(n, d);
}

uint16_t KeyIdFromFifths(int fifths, bool minor)
{
    if (fifths < -128 || fifths > 127) return 0;
    const uint16_t low = static_cast<uint16_t>(static_cast<uint8_t>(static_cast<int8_t>(fifths)));
    return static_cast<uint16_t>((minor ? 0x0100 : 0x0000) | low);
}

bool IsStandardKey(uint16_t keyId)
{
    return keyId < 0x0200;
}

int KeyFifths(uint16_t keyId)
{
    if (!IsStandardKey(keyId)) return 0;
    return static_cast<int8_t>(keyId & 0xFF);
}

int KeyTonicStep(uint16_t keyId)
{
    if (!IsStandardKey(keyId)) return 0;
    const int fifths = KeyFifths(keyId);
    int entry = 0;
    if (fifths < 0) {
        const int flats = -fifths;
        entry = flats % 7 == 0 ? 7 : 7 - flats % 7;
    } else {
        entry = fifths % 7;
    }
    const bool minor = (keyId >> 8) == 1;
    const int letter = minor ? kMinorTonicLetter[entry] : kMajorTonicLetter[entry];
    return (letter + 5) % 7;
}

int FifthsShare(int fifths, int step)
{
    const int s = FloorMod(step, 7);
    if (fifths > 0) {
        const int index = kSharpOrderIndex[s];
        return fifths > index ? (fifths - 1 - index) / 7 + 1 : 0;
    }
    if (fifths < 0) {
        const int flats = -fifths;
        const int index = kFlatOrderIndex[s];
        return flats > index ? -((flats - 1 - index) / 7 + 1) : 0;
    }
    return 0;
}

int KeyShare(uint16_t keyId, int step)
{
    return IsStandardKey(keyId) ? FifthsShare(KeyFifths(keyId), step) : 0;
}

void ToPitchData(uint16_t keyId, const AbsPitch& pitch, int* displacement, int* raiselower)
{
    *displacement = pitch.absStep - (28 + KeyTonicStep(keyId));
    *raiselower = pitch.alter - KeyShare(keyId, pitch.absStep);
}

AbsPitch FromPitchData(uint16_t keyId, int displacement, int raiselower)
{
    AbsPitch pitch;
    pitch.absStep = displacement + 28 + KeyTonicStep(keyId);
    pitch.alter = raiselower + KeyShare(keyId, pitch.absStep);
    return pitch;
}

AbsPitch WrittenToSounding(const AbsPitch& written, const Transposition& t)
{
    AbsPitch sounding;
    sounding.absStep = written.absStep + t.diatonic + 7 * t.octaveChange;
    sounding.alter = AlterFor(sounding.absStep, SemitoneOf(written) + t.chromatic + 12 * t.octaveChange);
    return sounding;
}

AbsPitch SoundingToWritten(const AbsPitch& sounding, const Transposition& t)
{
    AbsPitch written;
    written.absStep = sounding.absStep - t.diatonic - 7 * t.octaveChange;
    written.alter = AlterFor(written.absStep, SemitoneOf(sounding) - t.chromatic - 12 * t.octaveChange);
    return written;
}

bool TranspositionWord(const Transposition& t, int16_t* word)
{
    const int interval = -(t.diatonic + 7 * t.octaveChange);
    const int alteration = t.WrittenKeyShift();
    if (interval < -32 || interval > 31 || alteration < -32 || alteration > 31) return false;
    if (interval == 0 && alteration == 0) {
        *word = 0;
        return true;
    }
    *word = static_cast<int16_t>(((interval & 0x3F) << 6) | (alteration & 0x3F));
    return true;
}

int DiatonicForChromatic(int chromatic)
{
    static constexpr int kSteps[12] = {0, 1, 1, 2, 2, 3, 3, 4, 5, 5, 6, 6};
    const int n = std::abs(chromatic);
    const int steps = (n / 12) * 7 + kSteps[n % 12];
    return chromatic < 0 ? -steps : steps;
}

}  // namespace tonaroengine::musicxml
