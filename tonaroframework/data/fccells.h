// A collection of cells (owned).
#pragma once

#include "tonaroframework/base/fccollection.h"
#include "tonaroframework/data/fccell.h"

class FCIteratorHandler;

class FCCells : public __FCCollection {
public:
    const char* ClassName() const override { return "FCCells"; }

    FCCell* GetItemAt(int index) const;
    // The first cell of that measure and staff, still owned by the
    // collection; null when none.
    FCCell* Find(int measure, int staff) const;
    // As ForEach, over the cells of one measure (one staff) only, in
    // collection order. Answers the number of cells for which Iterate
    // answered true; the walk stops at the first false. 0 for null.
    int ForEachAtMeasure(int measure, FCIteratorHandler* handler);
    int ForEachAtStaff(int staff, FCIteratorHandler* handler);
};
