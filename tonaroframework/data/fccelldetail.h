// Cell details: host records attached to one cell (one staff in one
// measure), addressed by staff (word 0), measure (word 1) and inci (word 2).
// The record is connected to an FCCell (borrowed: the cell must outlive the
// connection), which gives staff and measure.
#pragma once

#include "tonaroframework/data/fcdetail.h"

class FCCell;

class __FCCellDetail : public __FCDetail {
public:
    // Virtual operations appended after LoadNext, in this order:
    // _SaveMeasureFlag, SaveNew.
    const char* ClassName() const override { return "__FCCellDetail"; }

    // Loads (staff, measure, 0) of the connected cell; false without one.
    bool LoadFirst() override;
    // Loads inci + 1. On failure the previous inci is put back and the
    // record is left not loaded.
    bool LoadNext() override;

    // Marks, where the host keeps such a mark, that the cell's measure has
    // details of this kind; called after a create.
    virtual bool _SaveMeasureFlag() = 0;
    // Creates the record as the connected cell's next detail of this kind
    // (the host assigns the inci), then _SaveMeasureFlag(). false without a
    // cell, when never loaded, or when the host refuses.
    virtual bool SaveNew();

    // Connects the cell (borrowed; null disconnects).
    void ConnectCell(FCCell* cell) { _cell = cell; }
    FCCell* GetConnectedCell() const { return _cell; }

    int16_t GetItemStaff() const { return static_cast<int16_t>(_GetAddressWord(0)); }
    int16_t GetItemMeasure() const { return static_cast<int16_t>(_GetAddressWord(1)); }
    int16_t GetItemInci() const { return static_cast<int16_t>(_GetAddressWord(2)); }

protected:
    // Sets the address to the connected cell's staff and measure and inci;
    // false without a cell.
    bool _SetCellAddress(int16_t inci);

private:
    FCCell* _cell = nullptr;
};
