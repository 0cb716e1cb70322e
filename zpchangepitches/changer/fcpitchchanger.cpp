#include "zpchangepitches/changer/fcpitchchanger.h"

#include <cstdint>
#include <memory>
#include <typeinfo>
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

// The entry the browser hands over, or null for anything that is not a note
// entry. The browser hands over FCNoteEntry objects themselves: their exact
// type is tested first, which costs less than a cast through the hierarchy.
FCNoteEntry* AsNoteEntry(__FCBase* object)
{
    if (object == nullptr) return nullptr;
    if (typeid(*object) == typeid(FCNoteEntry)) return static_cast<FCNoteEntry*>(object);
    return dynamic_cast<FCNoteEntry*>(object);
}

constexpr int kOctaveSteps = 7;
// The largest distance, in half steps, that Closest leaves alone.
constexpr int kClosestRange = 5;

// The spelling a rule looks for, as FCNote::CalcNameParts gives it: a From
// of a letter 'A'-'G' followed by nothing, by '#' units only or by 'b' units
// only is the spelling of that letter with that many half steps up or down.
// Spelled names never take any other form, so no other From ever matches.
struct WantedSpelling {
    bool canMatch = false;
    char letter = 0;
    int alteration = 0;
};

WantedSpelling SpellingOf(const FCString& from)
{
    WantedSpelling wanted;
    const uint32_t length = from.GetLength();
    if (length == 0) return wanted;
    const unsigned short* units = from._GetUnicodeBuffer();
    if (units[0] < 'A' || units[0] > 'G') return wanted;
    const unsigned short accidental = length > 1 ? units[1] : 0;
    if (accidental != 0 && accidental != '#' && accidental != 'b') return wanted;
    for (uint32_t i = 1; i < length; ++i)
        if (units[i] != accidental) return wanted;
    wanted.canMatch = true;
    wanted.letter = static_cast<char>(units[0]);
    const int count = static_cast<int>(length - 1);
    wanted.alteration = accidental == 'b' ? -count : count;
    return wanted;
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
    // The rules in collection order (null rules left out) with the spelling
    // each looks for, read once per cell visit.
    struct Rule {
        FCPitchChangeNode* node;
        WantedSpelling wanted;
    };
    std::vector<Rule> rules;
    bool rulesRead = false;
    // Per note of the entry: its name in parts, once a rule has looked at
    // it.
    enum class Spelled : uint8_t { NotYet, Named, Unnamed };
    struct NoteName {
        FCNote::NameParts parts;
        Spelled state = Spelled::NotYet;
    };
    std::vector<NoteName> names;
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
    if (_scratch != nullptr) _scratch->rulesRead = false;
    FCIteratorHandler::PostProcess();
}

bool FCPitchChanger::Iterate(__FCBase* object)
{
    FCNoteEntry* entry = AsNoteEntry(object);
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

    if (_scratch == nullptr) _scratch = std::make_unique<Scratch>();
    Scratch& scratch = *_scratch;
    if (!scratch.rulesRead) {
        scratch.rules.clear();
        for (int ruleIndex = 0; ruleIndex < _pitchChanges->GetCount(); ++ruleIndex) {
            if (FCPitchChangeNode* rule = _pitchChanges->GetItemAt(ruleIndex))
                scratch.rules.push_back({rule, SpellingOf(rule->From)});
        }
        scratch.rulesRead = true;
    }

    // Each note is spelled once, when a rule first looks at it: its name
    // cannot change before a rule respells it, and then it is marked and
    // never looked at again.
    const int noteCount = entry->GetCount();
    const size_t slots = static_cast<size_t>(noteCount > 0 ? noteCount : 0);
    if (scratch.names.size() < slots) scratch.names.resize(slots);
    for (size_t slot = 0; slot < slots; ++slot) scratch.names[slot].state = Scratch::Spelled::NotYet;
    FCString& newName = scratch.newName;
    for (const Scratch::Rule& rule : scratch.rules) {
        if (!rule.wanted.canMatch) continue;
        for (int noteIndex = 0; noteIndex < noteCount; ++noteIndex) {
            FCNote* note = entry->GetItemAt(noteIndex);
            // A note respelled by an earlier rule is never considered again,
            // so rules do not chain.
            if (note == nullptr || note->GetUserData() != nullptr) continue;

            Scratch::NoteName& noteName = scratch.names[static_cast<size_t>(noteIndex)];
            if (noteName.state == Scratch::Spelled::NotYet) {
                noteName.state = note->CalcNameParts(key, writtenPitch, &noteName.parts) ? Scratch::Spelled::Named
                                                                                          : Scratch::Spelled::Unnamed;
            }
            const FCNote::NameParts& name = noteName.parts;
            if (noteName.state != Scratch::Spelled::Named || name.letter != rule.wanted.letter ||
                name.alteration != rule.wanted.alteration)
                continue;

            // The MIDI key is the note's sound in either pitch mode: written
            // and sounding names of one note differ by the staff's
            // transposition, the same before and after.
            const int oldMIDIKey = note->CalcMIDIKey();

            // The new name takes the octave of the name just spelled, in the
            // same pitch mode, so that SetString reads it back in the octave
            // the note is in. (The sounding octave would put the note an
            // octave off on staves that transpose by an octave or more, in
            // written pitch, beyond the reach of the single correction below.)
            newName.SetString(&rule.node->To);
            newName.AppendInteger(name.octave);
            note->SetString(&newName, key, writtenPitch);

            const int distance = note->CalcMIDIKey() - oldMIDIKey;
            const PITCHDIRECTION direction = rule.node->direction;
            if (direction == PITCHDIRECTION_CLOSEST) {
                if (distance > kClosestRange) {
                    MoveByOctave(note, -1);
                } else if (distance < -kClosestRange) {
                    MoveByOctave(note, 1);
                }
            } else if (direction == PITCHDIRECTION_UP || direction == PITCHDIRECTION_DOWN) {
                MoveByOctave(note, OctavesFor(direction, distance));
            }

            entry->SetCheckAccidentals(true);
            note->SetUserData(kChangedMark);
            _changed = true;
        }
    }
    return true;
}
