// The notehead changes of one note entry.
#pragma once

#include "tonaroframework/data/fccollectionentrydetail.h"
#include "tonaroframework/data/fcnoteheadmod.h"

class FCNoteheadMods : public __FCCollectionEntryDetail {
public:
    const char* ClassName() const override { return "FCNoteheadMods"; }
    FCNoteheadMod* CreateElement() override { return new FCNoteheadMod(); }
    FCNoteheadMod* GetItemAt(int index) const;
    // The element for that note ID, or null.
    FCNoteheadMod* FindNoteID(uint16_t noteID) const;
};
