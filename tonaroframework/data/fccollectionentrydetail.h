// A collection of the details of one kind attached to one note entry.
//
// The connected entry is borrowed: it must outlive the collection's use of
// it. Elements loaded through LoadAll are connected to it too.
#pragma once

#include "tonaroframework/data/fccollectiondata.h"
#include "tonaroframework/data/fcentrydetail.h"

class FCNoteEntry;

class __FCCollectionEntryDetail : public __FCCollectionData {
public:
    // Virtual operations appended after SaveAll, in this order: SaveNew,
    // LoadAllForENTNUM, DestroyItemAt.
    const char* ClassName() const override { return "__FCCollectionEntryDetail"; }

    __FCEntryDetail* CreateElement() override = 0;

    // Replaces the elements with the connected entry's records of this kind
    // (incis 0, 1, ...), each connected to the entry. 0 without a connected,
    // stored entry.
    int LoadAll() override;

    // Creates every element as a new record of the connected entry, in
    // order; false at the first failure (or without an entry).
    virtual bool SaveNew();
    // Replaces the elements with the records of entry number entnum (incis
    // 0, 1, ... until one does not load). Answers the count.
    virtual int LoadAllForENTNUM(uint32_t entnum);
    // Deletes the element's record from the document and the element from
    // the collection; the elements above it move down one inci, and so do
    // their records in the document (a host that leaves a gap behind a
    // deleted inci has the records moved down here). Answers whether
    // elements remain; false, with nothing changed, for an index outside or
    // when the host refuses the delete.
    virtual bool DestroyItemAt(int index);

    void SetNoteEntry(FCNoteEntry* entry) { _entry = entry; }
    FCNoteEntry* GetNoteEntry() const { return _entry; }

    __FCEntryDetail* GetItemAt(int index) const;

private:
    FCNoteEntry* _entry = nullptr;
};
