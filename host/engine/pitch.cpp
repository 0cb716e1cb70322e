#include "host/engine/pitch.h"

#include <cstdlib>

namespace tonaroengine {

namespace {

constexpr int kSharpOrder[7] = {3, 0, 4, 1, 5, 2, 6};  // F C G D A E B (step index from C)
constexpr int kFlatOrder[7] = {6, 2, 5, 1, 4, 0, 3};   // B E A D G C F
constexpr int kStepSemitones[7] = {0, 2, 4, 5, 7, 9, 11};

bool IsStandardKey(uint16_t keySig)
{
    return keySig <= 0x01FF;
}

bool IsMinorKey(uint16_t keySig)
{
    return (keySig >> 8) == 1;
}

int Sharps(uint16_t keySig)
{
    return IsStandardKey(keySig) ? static_cast<int8_t>(keySig & 0xFF) : 0;
}

int FloorDiv(int value, int divisor)
{
    int quotient = value / divisor;
    if ((value % divisor != 0) && ((value < 0) != (divisor < 0))) --quotient;
    return quotient;
}

int FloorMod(int value, int divisor)
{
    return value - FloorDiv(value, divisor) * divisor;
}

}  // namespace

int TonicStep(uint16_t keySig)
{
    const int sharps = Sharps(keySig);
    int major = 0;
    if (sharps > 0)
        major = (4 * sharps) % 7;
    else if (sharps < 0)
        major = (7 - (4 * -sharps) % 7) % 7;
    return IsStandardKey(keySig) && IsMinorKey(keySig) ? FloorMod(major - 2, 7) : major;
}

int KeyAlteration(uint16_t keySig, int step)
{
    const int sharps = Sharps(keySig);
    const int wanted = FloorMod(step, 7);
    int share = 0;
    // More than seven sharps (flats) walk the order again: a double sharp (flat).
    for (int i = 0; i < sharps; ++i)
        if (kSharpOrder[i % 7] == wanted) ++share;
    for (int i = 0; i < -sharps; ++i)
        if (kFlatOrder[i % 7] == wanted) --share;
    return share;
}

int AbsoluteStep(uint16_t keySig, int16_t displacement)
{
    return 28 + TonicStep(keySig) + displacement;
}

int TotalAlteration(uint16_t keySig, int16_t displacement, int16_t raiselower)
{
    return raiselower + KeyAlteration(keySig, FloorMod(AbsoluteStep(keySig, displacement), 7));
}

int NoteMidiKey(uint16_t keySig, int16_t displacement, int16_t raiselower)
{
    const int step = AbsoluteStep(keySig, displacement);
    const int octave = FloorDiv(step, 7);
    const int letter = FloorMod(step, 7);
    return 12 * (octave + 1) + kStepSemitones[letter] + TotalAlteration(keySig, displacement, raiselower);
}

std::string MidiKeyName(int midiKey, bool useSharps, int octaveOffset)
{
    static const char* const kSharpNames[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    static const char* const kFlatNames[12] = {"C", "Db", "D", "Eb", "E", "F", "Gb", "G", "Ab", "A", "Bb", "B"};
    const int pitchClass = FloorMod(midiKey, 12);
    const int octave = FloorDiv(midiKey, 12) - 1 + octaveOffset;
    std::string name = useSharps ? kSharpNames[pitchClass] : kFlatNames[pitchClass];
    return name + std::to_string(octave);
}

bool NoteFromName(const char* name, uint16_t keySig, NoteSpec* out)
{
    if (!name || !out) return false;
    static const int kLetterStep[7] = {5, 6, 0, 1, 2, 3, 4};  // A..G -> step from C
    if (name[0] < 'A' || name[0] > 'G') return false;
    const int step = kLetterStep[name[0] - 'A'];
    const char* p = name + 1;
    int alteration = 0;
    if (*p == 'x') {
        alteration = 2;
        ++p;
    } else if (*p == '#') {
        while (*p == '#') { ++alteration; ++p; }
    } else if (*p == 'b') {
        while (*p == 'b') { --alteration; ++p; }
    }
    const char* digits = p;
    if (*digits == '-') ++digits;
    if (*digits < '0' || *digits > '9') return false;
    char* end = nullptr;
    const long octave = std::strtol(p, &end, 10);
    if (*end != '\0' || octave < -10 || octave > 20) return false;

    const uint16_t key = IsStandardKey(keySig) ? keySig : 0;
    const int displacement = 7 * static_cast<int>(octave) + step - (28 + TonicStep(key));
    out->displacement = static_cast<int16_t>(displacement);
    out->raiselower = static_cast<int16_t>(alteration - KeyAlteration(key, step));
    out->tieStart = false;
    return true;
}

std::string NoteName(uint16_t keySig, int16_t displacement, int16_t raiselower)
{
    const uint16_t key = IsStandardKey(keySig) ? keySig : 0;
    static const char kLetters[7] = {'C', 'D', 'E', 'F', 'G', 'A', 'B'};
    const int step = AbsoluteStep(key, displacement);
    const int alteration = TotalAlteration(key, displacement, raiselower);
    std::string name(1, kLetters[FloorMod(step, 7)]);
    if (alteration > 0) name.append(static_cast<size_t>(alteration), '#');
    if (alteration < 0) name.append(static_cast<size_t>(-alteration), 'b');
    return name + std::to_string(FloorDiv(step, 7));
}

}  // namespace tonaroengine
