// The pitch changer: a visitor that is handed one note entry at a time and
// applies a list of pitch change rules to its notes.
//
// A note matches a rule when its spelled pitch, letter and accidentals with
// the octave left out ("F#", "Bb", "C##"), equals the rule's From exactly.
// A match is respelled to the rule's To in the note's own octave and then
// moved by an octave as the rule's direction asks. Up and Down compare
// sounding pitch (MIDI keys): Up leaves the note at or less than an octave
// above its old pitch, Down at or less than an octave below it, so an
// enharmonic respelling keeps its sound; Closest keeps the new note within
// 5 semitones of the old.
// Every note is changed at most once per entry, so rules never chain.
//
// Pitches are compared and written either as they sound (concert pitch) or
// as written for the staff's transposition. In written pitch, entries on
// staves whose transposition word uses the second encoding (bit 0x2000) are
// left alone; rests are never touched.
#pragma once

#include <memory>

#include "tonaroframework/base/fciteratorhandler.h"

class FCCell;
class FCCurrentStaffSpec;
class FCPitchChangeNodes;

class FCPitchChanger : public FCIteratorHandler {
public:
    // pitchChanges: the rules, applied in collection order; borrowed for the
    // changer's life and only read (null: no rule matches). The collection
    // is read at the first Iterate of a cell visit and kept until the
    // visit's PostProcess, so it must not change during a visit. The
    // changer's save-after-iteration flag is set, so that a note-entry
    // browser saves every cell it visits.
    FCPitchChanger(FCPitchChangeNodes* pitchChanges, bool soundingPitch);

    // Virtual operations: ClassName, IsIdentical and every call other than
    // Iterate as FCIteratorHandler.
    ~FCPitchChanger() override;

    // object: an FCNoteEntry of the cell being browsed (anything else, or
    // null, is passed over). Applies the rules to its notes in place; the
    // browser saves the cell. Always true: the walk goes on.
    bool Iterate(__FCBase* object) override;
    // The end of a cell's visit: the key and the rules kept for the cell are
    // dropped.
    void PostProcess() override;

    // true as soon as one note has been respelled (or matched a rule whose
    // To could not be written).
    bool GetChanged() const { return _changed; }
    bool GetSoundingPitch() const { return _soundingPitch; }

private:
    // The cell of the entries being changed, whose key signature is read
    // once for all of them: the walk hands over the entries of one cell
    // after another, and changing notes never changes a key. Replaced when
    // an entry of another cell comes, dropped at the end of a cell's visit.
    std::unique_ptr<FCCell> _cell;
    // Reloaded for every entry in written pitch (the setup in force can
    // change within a measure); kept to spare its construction.
    std::unique_ptr<FCCurrentStaffSpec> _staffSpec;
    // The rules of the cell visit and the names of the notes of the entry
    // being changed, kept between calls so that their buffers are reused.
    struct Scratch;
    std::unique_ptr<Scratch> _scratch;
    FCPitchChangeNodes* _pitchChanges = nullptr;
    bool _soundingPitch = false;
    bool _changed = false;
};
