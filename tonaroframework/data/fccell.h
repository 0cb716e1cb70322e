// A cell: one staff in one measure.
//
// The cell caches the key and the time signature in force in it, each
// loaded on the first request and owned by the cell (deleted with it). A
// cell object therefore sees the document as it was at that first request;
// make a new cell to see later changes.
#pragma once

#include <cstdint>

#include "tonaroframework/base/fcbase.h"

class FCKeySignature;
class FCNoteEntryCell;
class FCTimeSignature;

class FCCell : public __FCBase {
public:
    FCCell(int measure, int staff) : _measure(measure), _staff(staff) {}
    FCCell(const FCCell&) = delete;
    FCCell& operator=(const FCCell&) = delete;
    ~FCCell() override;

    const char* ClassName() const override { return "FCCell"; }
    // true for another cell of the same measure and staff.
    bool IsIdentical(const __FCBase* other) const override;

    int GetMeasure() const { return _measure; }
    int GetStaff() const { return _staff; }

    // The key signature in force for the cell (transposition 0), owned by
    // the cell; never null. On a staff with the independent-key flag, a
    // key of the cell's own (FCIndependentCellDetail) wins; otherwise the
    // measure's key. When neither the cell detail nor the measure record
    // loads, the answer is C major (ID 0).
    FCKeySignature* GetKeySignature();
    // The time signature in force for the cell, owned by the cell; never
    // null. Found as the key is (a cell detail's time when it has one,
    // else the measure's); 4/4 when the measure record does not load.
    FCTimeSignature* GetTimeSignature();

    // A new FCNoteEntryCell for this cell's measure and staff, owned by the
    // caller. With load true the layer selection is set and the entries are
    // loaded (a failed load leaves the cell without entries).
    FCNoteEntryCell* CreateNoteEntryCell(bool load, int layerSelection);

private:
    int32_t _measure;
    int32_t _staff;
    FCKeySignature* _key = nullptr;
    FCTimeSignature* _time = nullptr;
};
