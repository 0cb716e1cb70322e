// One note of a note entry: a view of one 10-byte note slot inside the
// entry's record in a host entry frame.
//
// A note's pitch is stored as a displacement (diatonic steps from the tonic
// of the key in force, the tonic at displacement 0 lying in octave 4) and a
// raise/lower (half steps added to what the key signature gives the letter).
// This class turns that pair into a name such as "C#4" and back, knowing the
// key of the note's cell and, for written pitch, its staff's transposition.
//
// Ownership: FCNote objects are made and owned by their FCNoteEntry, which
// rebuilds them whenever its notes are repacked or its record moves; a note
// must not outlive its entry or the frame the entry points into. The note
// slot is borrowed host memory; changes reach the document only when the
// entry's cell or layer is saved.
//
// Every spelling call reloads what it needs from the host (staff record in
// force, part-scope preferences, the cell's key, general preferences), so it
// always sees what the document holds now. Nothing is cached across calls,
// except by the record cache of a region walk (fcrecordcache.h), which
// forgets its answers as soon as any record changes.
//
// Transposing staves. A staff transposes when its transposition word has any
// bit other than 0x4000 set. Written pitch then uses the staff's alteration
// (sharps added to the key) and its diatonic interval (octave arithmetic).
// Both encodings of the word are handled alike: the first encoding's
// interval is a number of steps; the second encoding counts its interval
// from 1 (2 is a second), so it is turned into steps (2 -> 1, -2 -> -1,
// 1 and -1 -> 0) before use. Letter, accidentals and octave of GetString,
// SetString, CalcPitchRaiseLower and CalcWrittenPitchChar all use this same
// pair, so every name written pitch gives reads back as spelled.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tonaroframework/base/fcbase.h"
#include "tonaroframework/base/fcblockrecycler.h"
#include "tonaropdk/hostapi/exentry.h"

class FCKeySignature;
class FCNoteEntry;
class FCString;

class FCNote : public __FCBase {
public:
    // index: the note's slot index in its entry (0 to 11). slot: the note
    // slot inside the entry record (borrowed). entry: the owning entry
    // (borrowed; may be null for a detached slot, in which case the calls
    // that need the note's cell or staff answer their neutral value).
    FCNote(int index, EXNOTE* slot, FCNoteEntry* entry);

    const char* ClassName() const override { return "FCNote"; }
    ~FCNote() override;

    // Notes are made and destroyed by the thousand in a walk: their memory
    // is recycled (fcblockrecycler.h).
    static void* operator new(std::size_t size) { return FCBlockRecycler<sizeof(FCNote)>::Allocate(size); }
    static void operator delete(void* block, std::size_t size) noexcept
    {
        FCBlockRecycler<sizeof(FCNote)>::Free(block, size);
    }

    // ---- Record access ----

    int GetIndex() const { return _index; }
    FCNoteEntry* GetEntry() const { return _entry; }
    // The note slot in the host frame (borrowed), never null while the note
    // exists.
    EXNOTE* _GetNoteRecord() const { return _slot; }

    int16_t GetDisplacement() const { return _slot->displacement; }
    void SetDisplacement(int16_t value) { _slot->displacement = value; }
    int16_t GetRaiseLower() const { return _slot->raiselower; }
    void SetRaiseLower(int16_t value) { _slot->raiselower = value; }
    uint16_t GetNoteID() const { return _slot->noteID; }

    // Tie-start bit (30) and accidental-shown bit (24) of the note's flags.
    bool GetTieStart() const { return (_slot->flags & EXNOTE_TIESTART) != 0; }
    void SetTieStart(bool state);
    bool GetAccidental() const { return (_slot->flags & EXNOTE_ACCIDENTAL) != 0; }
    void SetAccidental(bool state);

    // Deletion mark used by the entry when it packs its notes
    // (FCNoteEntry::_PackEXENTRYNotes); false at creation.
    void _SetMarkedForDeletion(bool state) { _markedForDeletion = state; }
    bool _IsMarkedForDeletion() const { return _markedForDeletion; }

    // ---- Letters and alteration ----

    // The sounding letter 'A' to 'G' under the key of the note's cell; 0 for
    // a rest or a note without an entry.
    char CalcPitchChar() const;
    // The letter as written on the staff (the staff's transposition applied
    // to the key); 0 for a rest or a note without an entry.
    char CalcWrittenPitchChar() const;
    // Total alteration in half steps against the plain letter, key signature
    // included (1 sharp, -1 flat, 2 double sharp, 0 natural), under the key
    // of the note's cell; written pitch applies the staff's transposition.
    // 0 for a rest, a note without an entry and keys above 0x01FF.
    int CalcPitchRaiseLower(bool writtenPitch) const;

    // ---- Octave and names ----

    // The note's octave number (middle C in octave 4, moved by the document's
    // octave-numbering offset) with its step number moved by stepShift steps.
    // key is only read (its transposition as it stands). 0 for a null key.
    int16_t CalcOctave(FCKeySignature* key, int stepShift) const;

    // Writes the name (letter, accidentals, octave: "C4", "Eb4", "F#3",
    // "C##5" or "Cx5", "B-1") into text. key null means the key of the note's
    // cell. useDoubleSharpX writes a double sharp as "x". writtenPitch asks
    // for the staff's written pitch, unless the document shows concert pitch
    // (part-scope preferences). The letter and octave follow key; the
    // accidentals come from CalcPitchRaiseLower, that is from the key of the
    // note's cell (the key the stored raise/lower refers to), transposed for
    // written pitch like key. key's transposition is changed
    // during the call and put back before it returns. A null text does
    // nothing; a note without an entry and no key gives the empty text.
    void GetString(FCString* text, FCKeySignature* key, bool useDoubleSharpX, bool writtenPitch) const;

    // The name GetString writes, in parts and without the text: its letter
    // 'A'-'G', its alteration in half steps (the '#' or 'b' units; 2 is
    // written "##", or "x" when asked) and its octave number. key and
    // writtenPitch as for GetString. false, parts unchanged, where GetString
    // gives the empty text (or for null parts).
    struct NameParts {
        char letter = 0;
        int alteration = 0;
        int16_t octave = 0;
    };
    bool CalcNameParts(FCKeySignature* key, bool writtenPitch, NameParts* parts) const;

    // Sets displacement and raise/lower from a name: an upper-case letter
    // 'A'-'G', then a run of '#', a run of 'b'/'B', a single 'x'/'X' or
    // nothing, then the octave (white space and a sign allowed; none gives
    // 0). key null means the note's cell key, on every staff (percussion
    // staves too), as for GetString, so that the two round-trip.
    // false, with the note unchanged, for a null or empty text, a bad letter,
    // an octave outside -5..15, an alteration out of range, or (key null) a
    // note without an entry or whose staff record cannot be loaded. Only the
    // record in memory changes; the caller saves the cell.
    bool SetString(FCString* text, FCKeySignature* key, bool writtenPitch);

    // ---- MIDI ----

    // The MIDI key number as the host computes it under the cell's key (C
    // major when the staff has the C-major-MIDI flag or the note has no
    // entry).
    int16_t CalcMIDIKey() const;
    // Sets the pitch from the host's name for a MIDI key, read under the key
    // CalcMIDIKey uses, so that CalcMIDIKey then answers midiKey. false when
    // the note has no entry, the host gives no name or the name cannot be
    // read.
    bool SetMIDIKey(int16_t midiKey);

    // ---- Comparisons ----

    // Whether both notes sound the same pitch. false for null.
    bool IsIdenticalPitch(FCNote* other) const;
    // Compare displacement, then raise/lower; keys are ignored. false for
    // null.
    bool IsHigherPitchThan(const FCNote* other) const;
    bool IsLowerPitchThan(const FCNote* other) const;

    // ---- Layout ----

    // Whether the host shows an accidental on the note (entry metrics on hosts
    // from 0x12000000, the note's accidental flag before). false without an
    // entry.
    bool CalcAccidental() const;
    // Vertical position on the staff in steps (0 top line, -8 bottom line of
    // a five-line staff). 0 without an entry.
    int CalcStaffPosition() const;
    // Whether the note sits on a ledger line. false for rests, for entries
    // flagged never to use ledger lines and for positions -8 to 0.
    bool CalcOnLedgerLine() const;

    // ---- Flags of the owning entry (false / nothing without an entry) ----

    void _SetNoteDetailEntryFlag(bool state);
    bool _GetNoteDetailEntryFlag() const;
    void _SetPerformanceDataEntryFlag(bool state);
    bool _GetPerformanceDataEntryFlag() const;
    void _SetSpecialAltsEntryFlag(bool state);
    bool _GetSpecialAltsEntryFlag() const;
    void _SetCrossStaffEntryFlag(bool state);
    bool _GetCrossStaffEntryFlag() const;
    void _SetArticulationEntryFlag(bool state);
    // The owning entry's number, 0 without an entry or record.
    uint32_t _GetEntryNumber() const;

private:
    // Whether the note is on a note entry (not a rest) that has a record.
    bool _HasNoteEntry() const;
    void _SetEntryFlag(uint32_t mask, bool state);
    bool _GetEntryFlag(uint32_t mask) const;
    // The key ID the host's MIDI key is computed under: 0 (C major) when the
    // staff has the C-major MIDI flag or the note has no entry, else the
    // cell's key.
    uint16_t _MIDIKeyID() const;

    bool _markedForDeletion = false;
    int _index = 0;
    EXNOTE* _slot = nullptr;
    FCNoteEntry* _entry = nullptr;
};
