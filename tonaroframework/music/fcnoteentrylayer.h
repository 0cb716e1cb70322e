// The note entries of one layer of one staff over a run of measures, linked
// across the measure boundaries.
//
// Ownership: the layer owns one host entry frame per measure (from Load()
// until ClearFrames() or destruction) and the FCNoteEntry objects that
// point into them. Edits reach the document only through Save().
#pragma once

#include <cstdint>
#include <vector>

#include "tonaroframework/music/fcnoteentrycollection.h"

class FCNoteEntryLayer : public __FCNoteEntryCollection {
public:
    // layer: 0-based layer index. A start measure below 1 becomes 1; an end
    // of 65535 (-1) or beyond the document's last measure becomes the last
    // measure of the current document. Nothing is loaded yet.
    FCNoteEntryLayer(int16_t layer, int16_t staff, int16_t startMeasure, int16_t endMeasure);
    FCNoteEntryLayer(const FCNoteEntryLayer&) = delete;
    FCNoteEntryLayer& operator=(const FCNoteEntryLayer&) = delete;

    const char* ClassName() const override { return "FCNoteEntryLayer"; }
    // Calls ClearFrames(): unsaved edits are discarded.
    ~FCNoteEntryLayer() override;

    int16_t GetLayerIndex() const { return _layer; }
    int16_t GetStaff() const { return _staff; }
    int16_t GetStartMeasure() const { return _startMeasure; }
    int16_t GetEndMeasure() const { return _endMeasure; }
    uint8_t GetLoadOption() const { return _loadOption; }
    void SetLoadOption(uint8_t option) { _loadOption = option; }
    bool GetSkipHidden() const { return _skipHidden != 0; }
    void SetSkipHidden(bool state) { _skipHidden = state ? 1 : 0; }

    // Number of frame pointers (one per measure; a skipped measure's is
    // null). The frame of the measure, borrowed; null when not loaded.
    int GetFrameCount() const { return static_cast<int>(_frames.size()); }
    EXTGF2005a* _GetFrame(int16_t measure) const;

    // Loads one frame per measure (a hidden layer's frames are skipped when
    // the skip-hidden switch is set) and builds the entries in measure
    // order. false when the end is before the start or, with the load option
    // set, a frame is refused (then nothing stays loaded).
    bool Load();
    // Stores every loaded, unlocked frame. A frame that held new entries
    // (entry number 0) is reloaded after its store so that the entries see
    // the numbers the host gave them. false without frames or when any store
    // failed.
    bool Save();
    // Destroys the entries and frees every frame.
    void ClearFrames();
    // Rebuilds the entry objects from the frames (after records were
    // inserted, deleted or copied); entry pointers taken earlier become
    // invalid.
    void _SetupEntries();

private:
    int16_t _layer = 0;
    int16_t _staff = 0;
    int16_t _startMeasure = 1;
    int16_t _endMeasure = 1;
    uint8_t _loadOption = 1;
    uint8_t _skipHidden = 1;
    std::vector<EXTGF2005a*> _frames;
};
