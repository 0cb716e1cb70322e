// A rectangle of the score: a run of staves (slots of an instrument list)
// across a run of measures, from a start position in the first measure to
// an end position in the last, both inclusive, together with the document
// it was taken from.
//
// A region is a value: it is filled from the host or from another region
// and changes only when set again. A region whose start and end measures
// are both 0 is empty. The walk and the inclusion tests use the start slot's
// instrument list for every slot.
#pragma once

#include <cstdint>

#include "tonaroframework/base/fcbase.h"
#include "tonaropdk/hostapi/eregion.h"

class FCCell;
class FCCells;
class FCNoteEntry;

class FCMusicRegion : public __FCBase {
public:
    // Copies region (borrowed for the call) and takes the current document;
    // null gives the empty region of document 0.
    explicit FCMusicRegion(const EREGION* region = nullptr);

    const char* ClassName() const override { return "FCMusicRegion"; }
    ~FCMusicRegion() override;

    // Same record and document; false for null or another class.
    bool IsIdentical(const __FCBase* other) const override;

    // ---- Filling ----

    // The host's current selection and the current document; false when
    // nothing is selected, and the region is then empty (of the current
    // document).
    bool SetCurrentSelection();
    // The whole document of the current document; always true.
    bool SetFullDocument();
    // Copies a host record in (taking the current document) or out; false for
    // null.
    bool SetVeltraRegion(const EREGION* region);
    bool GetVeltraRegion(EREGION* region) const;
    // Copies another region, document included; false for null.
    bool SetRegion(const FCMusicRegion* other);
    // The record as the host takes it (borrowed, lives with the region).
    const EREGION* _GetEREGION() const { return &_region; }

    // Makes the region the host's selection when it belongs to the current
    // document; otherwise nothing. true when the host took it.
    bool SetInDocument();
    // Widens a non-empty region to every staff of its instrument list (slots
    // 1 to the last slot that holds a staff); measures and positions stay.
    // false for an empty region or an empty list.
    bool SetFullMeasureStack();
    // Swaps start and end slot (each with its instrument list) when the start
    // slot is the larger.
    void AssureSortedStaves();
    // Translates both slots into staves through their lists and back into
    // slots of the global list 0.
    void ConvertToGlobalInstrumentList();

    // ---- Fields ----

    uint16_t GetStartInstrumentList() const { return _region.startInstList; }
    uint16_t GetEndInstrumentList() const { return _region.endInstList; }
    int16_t GetStartSlot() const { return _region.startSlot; }
    int16_t GetEndSlot() const { return _region.endSlot; }
    int16_t GetStartMeasure() const { return _region.startMeas; }
    int16_t GetEndMeasure() const { return _region.endMeas; }
    int32_t GetStartMeasurePos() const { return _region.startPos; }
    int32_t GetEndMeasurePos() const { return _region.endPos; }
    int16_t GetDocumentID() const { return _document; }
    void SetStartInstrumentList(uint16_t list) { _region.startInstList = list; }
    void SetEndInstrumentList(uint16_t list) { _region.endInstList = list; }
    void SetStartSlot(int16_t slot) { _region.startSlot = slot; }
    void SetEndSlot(int16_t slot) { _region.endSlot = slot; }
    void SetStartMeasure(int16_t measure) { _region.startMeas = measure; }
    void SetEndMeasure(int16_t measure) { _region.endMeas = measure; }
    void SetStartMeasurePos(int32_t pos) { _region.startPos = pos; }
    void SetEndMeasurePos(int32_t pos) { _region.endPos = pos; }
    // The staff of the start (end) slot, 0 when the slot holds none.
    int16_t CalcStartStaff() const;
    int16_t CalcEndStaff() const;

    // ---- Tests ----

    bool IsEmpty() const { return _region.startMeas == 0 && _region.endMeas == 0; }
    bool IsMeasureIncluded(int16_t measure) const;
    bool IsSlotIncluded(int16_t slot) const;
    bool IsStaffIncluded(int16_t staff) const;
    // measure included; in the start measure pos >= start position, in the
    // end measure pos <= end position.
    bool IsMeasurePosWithin(int measure, int32_t pos) const;
    // As IsMeasurePosWithin for the cell's measure, and the cell's staff
    // included. false for null.
    bool IsCellPosWithin(const FCCell* cell, int32_t pos) const;
    // The entry's measure and position within, and its staff included. false
    // for null or an entry without a record.
    bool IsEntryPosWithin(const FCNoteEntry* entry) const;
    bool IsFullMeasureIncluded(int16_t measure) const;
    // Whether (measure, pos) is the region's start.
    bool IsStartPos(int measure, int32_t pos) const;
    // Non-empty and not from the start of the first to the end of the last
    // measure.
    bool IsPartial() const;
    bool IsAbsoluteEndMeasurePos() const { return _region.endPos == EREGION_ENDOFMEASURE; }
    bool IsCurrentDocument() const;

    // Total length in duration units (0 when empty).
    int32_t CalcDuration() const;

    // Asks the host to redraw the region. true when it did.
    bool Redraw() const;

    // A new collection (owned by the caller) with one cell per measure and
    // slot of the region, measure-major, staves top to bottom. Empty for an
    // empty region.
    FCCells* CreateCells() const;

private:
    EREGION _region{};
    int16_t _document = 0;
};
