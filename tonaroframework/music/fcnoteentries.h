// A plain list of note entries, owned by the list (for example shallow
// clones gathered from several cells). It loads nothing by itself.
#pragma once

#include "tonaroframework/music/fcnoteentrycollection.h"

class FCNoteEntries : public __FCNoteEntryCollection {
public:
    const char* ClassName() const override { return "FCNoteEntries"; }
    ~FCNoteEntries() override;
};
