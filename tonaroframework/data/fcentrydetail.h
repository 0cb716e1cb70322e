// Entry details: host records attached to one note entry, addressed by the
// entry number (32 bits, words 0-1, low half in word 0) and an inci (word 2)
// counting the entry's records of that kind from 0.
//
// A detail is usually connected to an FCNoteEntry (borrowed: the entry must
// outlive the connection). The entry marks in its flag word that it has
// details of a kind; creating a detail sets that mark in the entry's record,
// which reaches the document when the entry's cell is saved.
#pragma once

#include "tonaroframework/data/fcbasedata.h"

class FCNoteEntry;

class __FCEntryDetail : public __FCBaseData {
public:
    // Virtual operations appended after LoadNext, in this order: Load,
    // SetNoteEntry, SaveNew, _SetEntryFlag.
    const char* ClassName() const override { return "__FCEntryDetail"; }

    // Load(entry number of the connected entry, 0); false without an entry
    // or for an entry not yet stored (number 0).
    bool LoadFirst() override;
    // Loads inci + 1 of the same entry number. On failure the previous inci
    // is put back and the record is left not loaded.
    bool LoadNext() override;

    // Loads the record (entnum, inci).
    virtual bool Load(uint32_t entnum, int16_t inci);
    // Connects the entry (borrowed; null disconnects) and takes its entry
    // number as the address's entry number.
    virtual void SetNoteEntry(FCNoteEntry* entry);
    // Creates the record as the connected entry's next detail of this kind
    // (the host assigns the inci) and marks the entry. false without a
    // connected, stored entry or when the host refuses.
    virtual bool SaveNew();
    // Sets or clears this kind's mark in the entry's flag word (base: the
    // note-detail bit 0x00400000). Nothing for a null entry or record.
    virtual void _SetEntryFlag(FCNoteEntry* entry, bool state);

    // Sets the address to (entnum, inci) and saves; on success with a
    // connected entry, marks the entry. false when not loaded.
    bool SaveAs(uint32_t entnum, int16_t inci);

    FCNoteEntry* GetNoteEntry() const { return _entry; }
    uint32_t GetEntryNumber() const { return _GetAddressLong(0); }
    int16_t GetItemInci() const { return static_cast<int16_t>(_GetAddressWord(2)); }
    // Moves the record to another inci of the same entry without touching
    // the host (collections renumber elements with it).
    void _SetItemInci(int16_t inci) { _SetAddressWord(2, static_cast<uint16_t>(inci)); }

protected:
    void _SetEntryAddress(uint32_t entnum, int16_t inci);
    // Sets or clears mask in the flag word of entry's record.
    static void _SetEntryFlagBits(FCNoteEntry* entry, uint32_t mask, bool state);

private:
    FCNoteEntry* _entry = nullptr;
};
