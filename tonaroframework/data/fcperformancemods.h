// The playback changes of one note entry.
#pragma once

#include "tonaroframework/data/fccollectionentrydetail.h"
#include "tonaroframework/data/fcperformancemod.h"

class FCPerformanceMods : public __FCCollectionEntryDetail {
public:
    const char* ClassName() const override { return "FCPerformanceMods"; }
    FCPerformanceMod* CreateElement() override { return new FCPerformanceMod(); }
    FCPerformanceMod* GetItemAt(int index) const;
    // The element for that note ID, or null.
    FCPerformanceMod* FindNoteID(uint16_t noteID) const;
};
