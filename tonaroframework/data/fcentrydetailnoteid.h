// Entry details tied to one note of an entry: each record carries the note's
// ID, and the entry's records of the kind are scanned for it.
#pragma once

#include "tonaroframework/data/fcentrydetail.h"

class FCNote;

class __FCEntryDetailNoteID : public __FCEntryDetail {
public:
    // Virtual operations appended after _SetEntryFlag, in this order:
    // SetNoteID, _IsNoteIDMatch, _SetEntryFlagN, _GetEntryFlagN.
    const char* ClassName() const override { return "__FCEntryDetailNoteID"; }

    // The plain entry-detail SaveNew, then, for a note entry, the kind's mark
    // for every note of it.
    bool SaveNew() override;

    // Stores the note's ID in the structure.
    virtual void SetNoteID(uint16_t noteID) = 0;
    // Whether a structure of this kind (buffer, DataSizeLoad() bytes) belongs
    // to noteID.
    virtual bool _IsNoteIDMatch(const void* buffer, uint16_t noteID) const = 0;
    // Sets or clears the kind's mark in the flags of the note's entry (base:
    // 0x00400000). Nothing for null or a note without an entry.
    virtual void _SetEntryFlagN(FCNote* note, bool state);
    // Reads that mark; false for null or a note without an entry.
    virtual bool _GetEntryFlagN(FCNote* note) const;

    // The inci of the first record of entry's kind (incis 0, 1, ... while
    // they load) that belongs to noteID; -1 when none does or entry is null.
    int _ScanForNoteID(FCNoteEntry* entry, uint16_t noteID) const;
    // Loads the note's record. false for null, a note whose entry is not
    // marked, or no record for the note.
    bool LoadAt(FCNote* note);
    // Stores this record for the note: over the note's record when there is
    // one, else as a new record (the host assigns the inci). On success the
    // record takes that address and the note's entry is connected and
    // marked. false for null, a note without a stored entry, or a refusal.
    bool SaveAt(FCNote* note);
};
