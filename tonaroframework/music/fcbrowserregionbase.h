// The base of the browsers that walk a music region cell by cell: measure by
// measure, and within a measure staff by staff from the start slot to the
// end slot. Each cell is handed to RegionIterateCellHandler, which the
// concrete browser defines.
#pragma once

#include "tonaroframework/data/fcbrowserbase.h"

class FCCell;
class FCIteratorHandler;
class FCMusicRegion;

class __FCBrowserRegionBase : public __FCBrowserBase {
public:
    // Virtual operations after ClassName, the destructor and IsIdentical:
    // ForEach, FindFirst, RegionIterateCellHandler.
    const char* ClassName() const override { return "__FCBrowserRegionBase"; }
    ~__FCBrowserRegionBase() override;

    // ForEachInRegion over the whole current document. 0 for a null handler.
    int ForEach(FCIteratorHandler* handler) override;
    __FCBase* FindFirst(FCIteratorHandler* handler) override = 0;
    // Handles one cell (borrowed for the call); false stops the walk.
    virtual bool RegionIterateCellHandler(FCCell* cell, FCIteratorHandler* handler, FCMusicRegion* region) = 0;

    // Visits every cell of the region (both borrowed for the call) with a
    // temporary FCCell; answers the number of cells for which the cell
    // handler answered true (the walk stops at the first false). 0 for a null
    // handler or region and for an empty region.
    int ForEachInRegion(FCIteratorHandler* handler, FCMusicRegion* region);
};
