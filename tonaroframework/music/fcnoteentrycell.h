// The note entries of one staff in one measure, over all the layers that a
// layer selection picks.
//
// Ownership: the cell owns one host entry frame per loaded layer (from
// Load() until ClearFrame() or destruction, freed with FX_FreeTGF) and the
// FCNoteEntry objects that point into them. Entry objects are destroyed and
// rebuilt whenever entries are deleted or appended, so entry and note
// pointers taken earlier become invalid then. Edits reach the document only
// through Save(); destroying the cell without saving discards them.
#pragma once

#include <cstdint>
#include <vector>

#include "tonaroframework/music/fcnoteentrycollection.h"

class FCMusicRegion;

// Layer selections (any other value is a mask: bit 8 picks layer index 0,
// bit 9 index 1, bit 10 index 2, bit 11 index 3; 1 to 4 pick one layer).
constexpr int LAYERSELECTION_NONE = -3;
constexpr int LAYERSELECTION_HIDDEN = -2;
constexpr int LAYERSELECTION_ALL = -1;
constexpr int LAYERSELECTION_SHOWN = 0;

class FCNoteEntryCell : public __FCNoteEntryCollection {
public:
    // An unloaded cell for (measure, staff): no frames, no entries, layer
    // selection 0 (the shown layers), load option 1.
    FCNoteEntryCell(int measure, int staff);
    FCNoteEntryCell(const FCNoteEntryCell&) = delete;
    FCNoteEntryCell& operator=(const FCNoteEntryCell&) = delete;

    const char* ClassName() const override { return "FCNoteEntryCell"; }
    // Calls ClearFrame(): unsaved edits are discarded.
    ~FCNoteEntryCell() override;

    int GetMeasure() const { return _measure; }
    int GetStaff() const { return _staff; }
    int GetLayerSelection() const { return _layerSelection; }
    void SetLayerSelection(int selection) { _layerSelection = selection; }
    uint8_t GetLoadOption() const { return _loadOption; }
    void SetLoadOption(uint8_t option) { _loadOption = option; }

    // The frame of layer index (0-based), borrowed; null when not loaded.
    EXTGF2005a* _GetFrame(int layerIndex) const;

    // Loads the frames of the selected layers and builds the entries (layer
    // index 0's entries first). A frame the host refuses makes the whole load
    // fail: false, and the cell holds no frames and no entries.
    bool Load();
    // Stores every loaded, unlocked frame. false when any store failed (the
    // others are still stored); true with no frames.
    bool Save();
    // Destroys the entries and frees every frame (edits are discarded).
    void ClearFrame();
    // Rebuilds the entry objects from the frames.
    void _SetupEntries();

    // Deletes every entry of duration 0 from its frame (storing the frame at
    // once), walking from the last entry to the first; entries of locked
    // frames stay. false when an entry's record is not found in its frame
    // (the walk stops) or the host refuses a delete or store.
    bool DeleteAllNullEntries();
    // Deletes the entry from its frame and stores the frame at once; the
    // entry object is destroyed and all entries rebuilt. false (nothing
    // changed) for null, an entry of a locked frame, an entry not in this
    // cell or a record not found; false when the host refuses the delete, or
    // (after the delete) the store.
    bool DeleteEntry(FCNoteEntry* entry);
    // Appends count zeroed records at the end of layer `layer` (1-based) and
    // answers the first new entry (owned by the cell); null when count or
    // layer is below 1, the layer has no frame or the host refuses.
    FCNoteEntry* AppendEntriesInLayer(int layer, int count);

    // The entry at index, or null when the region says it lies before the
    // region's start (in the start measure) or after its end (in the end
    // measure). Staves are not tested. A null region gives the entry.
    FCNoteEntry* GetRegionItemAt(int index, FCMusicRegion* region) const;

    // Finders within one layer (1-based); null when nothing fits.
    // The entry that starts exactly at position.
    FCNoteEntry* FindEntryStartPosition(int32_t position, int layer) const;
    // The entry sounding at position (position <= p < position + duration);
    // grace and null entries cover nothing.
    FCNoteEntry* FindCoveredEntry(int32_t position, int layer) const;
    // The entry whose start is closest to position (the earlier on a tie).
    FCNoteEntry* FindClosestPos(int32_t position, int layer) const;

private:
    std::vector<EXTGF2005a*> _frames;
    int32_t _measure = 0;
    int32_t _staff = 0;
    int32_t _layerSelection = LAYERSELECTION_SHOWN;
    uint8_t _loadOption = 1;
};
