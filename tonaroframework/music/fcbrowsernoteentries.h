// The browser that hands the note entries of a region to a handler, cell by
// cell. For each cell it loads an FCNoteEntryCell (with its layer selection),
// passes every entry inside the region to the handler's Iterate, then (second
// pass) to SecondPassIterate, packing each visited entry's notes after the
// call (notes the handler marked deleted leave the record). When the
// handler's save-after-iteration flag is set, the cell is saved afterwards.
// No frame stays loaded between cells.
#pragma once

#include <cstdint>

#include "tonaroframework/music/fcbrowserregionbase.h"
#include "tonaroframework/music/fcnoteentrycell.h"

class FCBrowserNoteEntries : public __FCBrowserRegionBase {
public:
    const char* ClassName() const override { return "FCBrowserNoteEntries"; }
    ~FCBrowserNoteEntries() override;

    // Finds nothing: always null.
    __FCBase* FindFirst(FCIteratorHandler* handler) override;
    // One cell: PreProcess, the entries (PreProcessIfExist, both passes,
    // PostProcessIfExist), saving when asked, PostProcess. Answers the first
    // pass's result (true when no entry was handed over); false also when
    // PreProcess or PreProcessIfExist refuse. Once PreProcess has answered
    // true, PostProcess is always called, also after PreProcessIfExist
    // refused (then nothing is saved and PostProcessIfExist is not called).
    bool RegionIterateCellHandler(FCCell* cell, FCIteratorHandler* handler, FCMusicRegion* region) override;

    // Delete null entries before saving a cell (false at construction).
    bool GetDeleteNullEntries() const { return _deleteNullEntries != 0; }
    void SetDeleteNullEntries(bool state) { _deleteNullEntries = state ? 1 : 0; }
    // Layer selection for every cell (FCNoteEntryCell's values); 0, the shown
    // layers, at construction.
    int GetLayerSelection() const { return _layerSelection; }
    void SetLayerSelection(int selection) { _layerSelection = selection; }

private:
    uint8_t _deleteNullEntries = 0;
    int32_t _layerSelection = LAYERSELECTION_SHOWN;
};
