// The common base of the collections of note entries (a cell, a layer, a
// plain list). It owns its FCNoteEntry objects.
#pragma once

#include "tonaroframework/base/fccollection.h"
#include "tonaropdk/hostapi/exentry.h"

class FCNoteEntry;

class __FCNoteEntryCollection : public __FCCollection {
public:
    const char* ClassName() const override { return "__FCNoteEntryCollection"; }
    ~__FCNoteEntryCollection() override;

    // The entry at index, owned by the collection; null outside.
    FCNoteEntry* GetItemAt(int index) const;

    // Replaces every record of frame `to` by a copy of the records of frame
    // `from`, in order, through the host's insert and delete calls. The copies
    // are new entries (entry number 0) and carry no details (the detail flags
    // are cleared). Both frames are borrowed. false, with `to` unchanged, for
    // a null frame or when both are the same frame; false when the host
    // refuses to delete or insert.
    static bool _CopyEntries(EXTGF2005a* from, EXTGF2005a* to);

protected:
    // Appends one FCNoteEntry per record of frame (in frame order), linking
    // each with the previous entry of the same chain; *lastInChain is the
    // entry to link the first new one to (null to start a new chain) and
    // receives the last entry appended. A null or empty frame adds nothing.
    void _AppendFrameEntries(EXTGF2005a* frame, FCNoteEntry** lastInChain);
};
