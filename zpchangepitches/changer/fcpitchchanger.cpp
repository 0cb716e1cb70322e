#include "zpchangepitches/changer/fcpitchchanger.h"

#include <cstdint>
#include <memory>
#include <vector>

#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/data/fccell.h"
#include "tonaroframework/data/fccurrentstaffspec.h"
#include "tonaroframework/data/fckeysignature.h"
#include "tonaroframework/music/fcnote.h"
#include "tonaroframework/music/fcnoteentry.h"
#include "tonaropdk/hostapi/staffspec.h"
#include "zpchangepitches/model/fcpitchchangenode.h"
#include "zpchangepitches/model/fcpitchchangenodes.h"

namespace {

// Set as a note's user data once the note has been respelled in this call;
// it is never dereferenced.
void* const kChangedMark = reinterpret_cast<void*>(static_cast<uintptr_t>(1));

constexpr int kOctaveSteps = 7;
// The largest distance, in half steps, that Closest leaves alone.
constexpr int kClosestRange = 5;

// A note's spelled name, split into letter with accidentals and octave.
struct SpelledNote {
    FCString spelling;
    FCString octave;
};

bool IsSpellingUnit(unsigned short unit) { return (unit >= 'A' && unit <= 'G') || unit == '#' || unit == 'b'; }

// Splits a spelled name ("F#3", "Bb-1") into its spelling (letter and
// accidentals: "F#", "Bb") and the octave text that follows it ("3", "-1").
// The spelling keeps every letter and accidental unit in order; the octave
// text is everything from the first unit that is neither.
void SplitName(const FCString& name, FCString* spelling, FCString* octave)
{
    spelling->Clear();
    octave->Clear();
    const int length = static_cast<int>(name.GetLength());
    int octaveStart = length;
    for (int i = 0; i < length; ++i) {
        const unsigned short unit = name.GetItemAt(i);
        if (IsSpellingUnit(unit)) {
            spelling->AppendCharacter(unit);
        } else if (octaveStart == length) {
            octaveStart = i;
        }
    }
    if (octaveStart < length) name.MakeSubString(static_cast<uint32_t>(octaveStart), length - octaveStart, octave);
}

constexpr int kOctaveHalfSteps = 12;

// Octaves by which to move a respelled note that now sounds distance half
// steps above its old pitch: Up brings it to the old pitch or up to 11 half
// steps above it, Down to the old pitch or up to 11 below, so that an
// enharmonic respelling keeps its sound (A#5 to Bb Down stays Bb5, Cb4 to
// B Up is B3). Names in the same octave number are less than an octave
// apart but for double accidentals across B and C, so this is one octave
// or none in practice.
int OctavesFor(PITCHDIRECTION direction, int distance)
{
    if (direction == PITCHDIRECTION_UP) {
        if (distance < 0) return (-distance + kOctaveHalfSteps - 1) / kOctaveHalfSteps;
        return -(distance / kOctaveHalfSteps);
    }
    if (distance > 0) return -((distance + kOctaveHalfSteps - 1) / kOctaveHalfSteps);
    return -distance / kOctaveHalfSteps;
}

void MoveByOctave(FCNote* note, int octaves)
{
    // 16-bit arithmetic, as the host stores the displacement.
    note->SetDisplacement(static_cast<int16_t>(note->GetDisplacement() + octaves * kOctaveSteps));
}

}  // namespace

struct FCPitchChanger::Scratch {
    std::vector<std::unique_ptr<SpelledNote>> names;  // one per note of the entry
    std::vector<char> spelled;       // whether names[i] holds the note's name yet
    FCString fullName;
    FCString newName;
};

FCPitchChanger::FCPitchChanger(FCPitchChangeNodes* pitchChanges, bool soundingPitch)
    : _pitchChanges(pitchChanges), _soundingPitch(soundingPitch)
{
    SetSaveAfterIterate(true);
}

FCPitchChanger::~FCPitchChanger() = default;

void FCPitchChanger::PostProcess()
{
    _cell.reset();
    FCIteratorHandler::PostProcess();
}

bool FCPitchChanger::Iterate(__FCBase* object)
{
    auto* entry = dynamic_cast<FCNoteEntry*>(object);
    if (entry == nullptr || _pitchChanges == nullptr) return true;
    if (!entry->IsNote()) return true;  // rests are never touched

    const bool writtenPitch = !_soundingPitch;
    if (writtenPitch) {
        // Entries on staves whose transposition uses the second encoding are
        // left alone in written pitch. A spec that does not load reads as
        // not transposed.
        if (_staffSpec == nullptr) _staffSpec = std::make_unique<FCCurrentStaffSpec>();
        if (_staffSpec->LoadForEntry(entry) &&
            (_staffSpec->GetTranspositionWord() & TRANSPOSE_SECONDENCODING) != 0) {
            return true;
        }
    }

    if (_cell == nullptr || _cell->GetMeasure() != entry->GetMeasure() || _cell->GetStaff() != entry->GetStaff())
        _cell = std::make_unique<FCCell>(entry->GetMeasure(), entry->GetStaff());
    FCKeySignature* key = _cell->GetKeySignature();

    // Each note is spelled once, when a rule first looks at it: its name
    // cannot change before a rule respells it, and then it is marked and
    // never looked at again.
    const int noteCount = entry->GetCount();
    if (_scratch == nullptr) _scratch = std::make_unique<Scratch>();
    const size_t slots = static_cast<size_t>(noteCount > 0 ? noteCount : 0);
    while (_scratch->names.size() < slots) _scratch->names.push_back(std::make_unique<SpelledNote>());
    _scratch->spelled.assign(slots, 0);
    FCString& newName = _scratch->newName;
    for (int ruleIndex = 0; ruleIndex < _pitchChanges->GetCount(); ++ruleIndex) {
        FCPitchChangeNode* rule = _pitchChanges->GetItemAt(ruleIndex);
        if (rule == nullptr) continue;
        for (int noteIndex = 0; noteIndex < noteCount; ++noteIndex) {
            FCNote* note = entry->GetItemAt(noteIndex);
            // A note respelled by an earlier rule is never considered again,
            // so rules do not chain.
            if (note == nullptr || note->GetUserData() != nullptr) continue;

            SpelledNote* name = _scratch->names[static_cast<size_t>(noteIndex)].get();
            if (!_scratch->spelled[static_cast<size_t>(noteIndex)]) {
                note->GetString(&_scratch->fullName, key, false, writtenPitch);
                SplitName(_scratch->fullName, &name->spelling, &name->octave);
                _scratch->spelled[static_cast<size_t>(noteIndex)] = 1;
            }
            if (!name->spelling.IsEqualString(&rule->From)) continue;

            // The MIDI key is the note's sound in either pitch mode: written
            // and sounding names of one note differ by the staff's
            // transposition, the same before and after.
            const int oldMIDIKey = note->CalcMIDIKey();

            // The new name takes the octave of the name just spelled, in the
            // same pitch mode, so that SetString reads it back in the octave
            // the note is in. (The sounding octave would put the note an
            // octave off on staves that transpose by an octave or more, in
            // written pitch, beyond the reach of the single correction below.)
            newName.SetString(&rule->To);
            newName.AppendString(&name->octave);
            note->SetString(&newName, key, writtenPitch);

            const int distance = note->CalcMIDIKey() - oldMIDIKey;
            if (rule->direction == PITCHDIRECTION_CLOSEST) {
                if (distance > kClosestRange) {
                    MoveByOctave(note, -1);
                } else if (distance < -kClosestRange) {
                    MoveByOctave(note, 1);
                }
            } else if (rule->direction == PITCHDIRECTION_UP || rule->direction == PITCHDIRECTION_DOWN) {
                MoveByOctave(note, OctavesFor(rule->direction, distance));
            }

            entry->SetCheckAccidentals(true);
            note->SetUserData(kChangedMark);
            _changed = true;
        }
    }
    return true;
}
