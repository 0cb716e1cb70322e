// A collection of the details of one kind attached to one cell.
#pragma once

#include "tonaroframework/data/fccelldetail.h"
#include "tonaroframework/data/fccollectiondata.h"

class FCCell;

class __FCCollectionCellDetail : public __FCCollectionData {
public:
    // Virtual operation appended after SaveAll: LoadAllInCell.
    const char* ClassName() const override { return "__FCCollectionCellDetail"; }

    __FCCellDetail* CreateElement() override = 0;

    // Replaces the elements with clones of incis 0, 1, ... of the cell's
    // details, each connected to the cell (borrowed: it must outlive the
    // elements' use of it). Answers the count; 0 for a null cell.
    virtual int LoadAllInCell(FCCell* cell);

    __FCCellDetail* GetItemAt(int index) const;
};
