// One note entry (a note, a chord or a rest): a view of one 146-byte entry
// record inside a host entry frame, with one FCNote per used note slot.
//
// Ownership: the entry owns its FCNote objects (it is their collection) and
// borrows its record and frame, which belong to the FCNoteEntryCell or
// FCNoteEntryLayer that loaded the frame. An entry must not outlive that
// frame; the cell or layer destroys and rebuilds its entry objects whenever
// entries are inserted or deleted. Changes to the record reach the document
// only when the frame is saved.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tonaroframework/base/fcblockrecycler.h"
#include "tonaroframework/base/fccollection.h"
#include "tonaropdk/hostapi/exentry.h"

class FCArticulations;
class FCNote;
class FCNoteheadMods;
class FCPerformanceMods;
class FCTuplets;

class FCNoteEntry : public __FCCollection {
public:
    // record: the entry record inside frame (both borrowed). previous: the
    // preceding entry of the same layer (borrowed), or null; its next link is
    // not changed here (the owning collection links both ways). The measure
    // comes from the frame, the staff from the frame's slot through the
    // host. Creates one FCNote per used note slot.
    FCNoteEntry(EXENTRY* record, EXTGF2005a* frame, FCNoteEntry* previous);
    // The same with the staff already known: staff is what the host maps
    // the frame's slot to (a collection asks once per frame, not once per
    // entry).
    FCNoteEntry(EXENTRY* record, EXTGF2005a* frame, FCNoteEntry* previous, int16_t staff);

    const char* ClassName() const override { return "FCNoteEntry"; }
    ~FCNoteEntry() override;

    // Entries are made and destroyed by the thousand in a walk: their
    // memory is recycled (fcblockrecycler.h).
    static void* operator new(std::size_t size) { return FCBlockRecycler<sizeof(FCNoteEntry)>::Allocate(size); }
    static void operator delete(void* block, std::size_t size) noexcept
    {
        FCBlockRecycler<sizeof(FCNoteEntry)>::Free(block, size);
    }

    // ---- Record and neighbours ----

    EXENTRY* _GetEXENTRY() const { return _record; }
    EXTGF2005a* _GetFrame() const { return _frame; }
    // Points the entry at another record (the same index in a reloaded
    // frame) and rebuilds its notes.
    void _SetRecord(EXENTRY* record, EXTGF2005a* frame);

    int16_t GetMeasure() const { return _measure; }
    int16_t GetStaff() const { return _staff; }
    // 1-based layer number of the entry's frame (0 without a frame).
    int GetLayerNumber() const;
    FCNoteEntry* Previous() const { return _previous; }
    FCNoteEntry* Next() const { return _next; }
    void _SetPrevious(FCNoteEntry* entry) { _previous = entry; }
    void _SetNext(FCNoteEntry* entry) { _next = entry; }

    // ---- Record fields (null record: 0 / false / nothing) ----

    uint32_t GetEntryNumber() const;
    int16_t GetDuration() const;
    void SetDuration(int16_t duration);
    // Position in the measure, duration units from the measure's start.
    int32_t GetMeasurePos() const;
    uint32_t GetFlags() const;
    uint16_t GetFlags2() const;
    // Whether flag 0x40000000 is set (note or chord) / clear (rest).
    bool IsNote() const;
    bool IsRest() const;
    bool IsGraceNote() const;
    void SetGraceNote(bool state);
    // The note count stored in the record (0 to 12).
    int GetNoteCountInRecord() const;
    // The note at index (0-based), owned by the entry; null outside.
    FCNote* GetItemAt(int index) const;

    // ---- Notes ----

    // Rebuilds the note objects: one per slot 0 to count - 1 of the record.
    // Note pointers held by callers become invalid.
    void _UpdateNoteCollection();
    // Moves the notes whose deletion mark is clear to the front slots and
    // sets the count to their number; with none left the entry becomes a
    // rest. Nothing changes when no note is marked; otherwise the note
    // objects are rebuilt.
    void _PackEXENTRYNotes();
    // The smallest note ID of 1 or more that no note of the entry uses.
    uint16_t _FindUniqueNoteID() const;
    // Adds a cleared, in-use note slot with a unique note ID; answers the new
    // note (owned by the entry), or null for a rest or a full entry.
    FCNote* AddNewNote();
    // Removes the note (it is destroyed; so are all note objects, which are
    // rebuilt). Deleting the last note makes the entry a rest. false when
    // the note is not one of this entry's.
    bool DeleteNote(FCNote* note);
    // Count 0 and clears the note, note-detail, articulation and
    // special-alteration flags.
    void MakeRest();
    // Sets the note flag; a rest gets one in-use note slot. The first note's
    // pitch data and note ID are cleared.
    void MakeNote();
    // Sets displacement and raise/lower of every note to 0.
    void ClearPitches();
    // Set or clear the accidental-shown (tie-start) bit of every note of a
    // note entry; rests are left alone.
    void SetAccidentals(bool state);
    void TieAll(bool state);

    // Marks the entry for the host to re-check its accidentals (bit 2 of the
    // second flag word). Only hosts up to 0x11FFFFFF use the mark; on later
    // hosts setting does nothing and reading answers false.
    void SetCheckAccidentals(bool state);
    bool GetCheckAccidentals() const;

    // ---- Durations ----

    // false when the duration is a plain value (8192, 4096, ..., 4).
    bool IsDotted() const;
    // -1 without the grace flag; otherwise how many grace entries directly
    // precede this one in the same measure.
    int CalcGraceNoteIndex() const;
    // The record's index in its frame, -1 when it is not among them.
    int _CalcTGFIndex() const;

    // The highest of 8192, 4096, ..., 1 set in duration; 0 if none.
    static int32_t CalcNondottedDurationForDuration(int32_t duration);
    // The unbroken run of set bits directly below that highest bit.
    static int CalcDotsForDuration(int32_t duration);
    // Whether duration is p, p*3/2, p*9/4, ... (p a power of two up to 8192,
    // at most four multiplications by 3/2, each giving a whole number).
    static bool IsValidDuration(int32_t duration);
    // Such a value from a plain value and a number of multiplications
    // (0 to 4); 0 when it is not whole or the inputs are out of range.
    static int32_t CalcValidDuration(int32_t plainDuration, int steps);

    // ---- Details and clones (all owned by the caller) ----

    // A new detail collection of that kind, connected to this entry and
    // loaded with LoadAll().
    FCArticulations* CreateArticulations();
    FCNoteheadMods* CreateNoteheadMods();
    FCPerformanceMods* CreatePerformanceMods();
    FCTuplets* CreateTuplets();
    // A new entry on the same record and frame, without neighbour links.
    FCNoteEntry* CreateShallowClone() const;

private:
    void _SetFlag(uint32_t mask, bool state);

    EXENTRY* _record = nullptr;
    EXTGF2005a* _frame = nullptr;
    int16_t _measure = 0;
    int16_t _staff = 0;
    FCNoteEntry* _previous = nullptr;
    FCNoteEntry* _next = nullptr;
};
