// One open score of the engine: staves in slot order, measures, entries per
// cell and layer, preferences and a generic store of typed records, with the
// current selection and the undo history.
//
// Documents are made, owned and destroyed by the Engine (engine.h); a
// Document pointer stays valid until the document is closed. Staff numbers
// identify a staff for good; its slot (1 = top) is where it stands now and
// changes when staves move. Measures count from 1. Layers are 0 to 3.
//
// Changes made through this interface outside an edit session apply at once
// and leave no undo step (that is how scores are built). Inside a session
// (BeginEdit or FX_StartTonaroEdit) they join the session's undo step.
// Functions answer false/0 for bad arguments and then change nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/engine/engineexport.h"
#include "host/engine/entryspec.h"
#include "host/engine/staffstyle.h"
#include "tonaropdk/hostapi/clefdef.h"
#include "tonaropdk/hostapi/eregion.h"
#include "tonaropdk/hostapi/exentry.h"
#include "tonaropdk/hostapi/fxtypes.h"

namespace tonaroengine {

class DocumentState;

// Where an entry lives.
struct EntryLocation {
    int16_t staff = 0;
    int16_t measure = 0;
    int16_t layer = 0;
    int index = 0;  // index in its layer
};

// One cell layer as an edit left it, beside what it held before.
struct LayerChange {
    int16_t staff = 0;
    int16_t measure = 0;
    int layer = 0;
    std::vector<EXENTRY> before;
    std::vector<EXENTRY> after;
};

// A note whose pitch data an undo step changed: where it is (the entry by
// number, the note by its index in the entry) and its pitch data before and
// after the step.
struct PitchChange {
    int16_t staff = 0;
    int16_t measure = 0;
    int layer = 0;
    uint32_t entry = 0;
    int note = 0;
    int16_t displacementBefore = 0;
    int16_t raiseLowerBefore = 0;
    int16_t displacementAfter = 0;
    int16_t raiseLowerAfter = 0;
};

class TONARO_ENGINE_API Document {
public:
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;
    ~Document();

    // The document's number (1 or more), as FX_GetCurrentVeltraDocument tells it.
    int16_t Number() const;

    // --- Staves ---------------------------------------------------------------
    // Adds a staff below the last one. staffNumber 0 takes the lowest free
    // number; a number in use or out of 1..32767 fails. Answers the staff
    // number, 0 on failure.
    int16_t AddStaff(int16_t staffNumber = 0, int16_t clef = CLEF_TREBLE);
    // Moves a staff to another slot (1..StaffCount()); the others close up.
    bool MoveStaff(int16_t staff, int slot);
    int StaffCount() const;
    int16_t StaffAtSlot(int slot) const;      // 0 when no such slot
    int SlotOfStaff(int16_t staff) const;      // 0 when no such staff
    bool HasStaff(int16_t staff) const;
    bool SetStaffTransposition(int16_t staff, int16_t transpositionWord);
    bool SetStaffClef(int16_t staff, int16_t clef);
    bool SetStaffNotationStyle(int16_t staff, uint16_t style);
    // The flag word at offset 22 (STAFFFLAG_INDEPENDENTKEY, STAFFFLAG_CMAJORMIDI).
    bool SetStaffFlags(int16_t staff, uint16_t flags);
    // Adds a staff style (see staffstyle.h). Entries stored from then on
    // take their clef from the setup in force at their position.
    bool AddStaffStyle(int16_t staff, const StaffStyle& style);
    // The staff's own setup record (136 bytes, the 2012 layout), or
    // the one in force at (measure, position) with staff styles applied.
    std::vector<uint8_t> StaffSpec(int16_t staff) const;
    std::vector<uint8_t> StaffSpecAt(int16_t staff, int16_t measure, int32_t position) const;

    // --- Measures -------------------------------------------------------------
    // Appends count measures in the given time and key; answers the new
    // number of measures (unchanged on failure).
    int AddMeasures(int count, int16_t beats = 4, int16_t beatDuration = 1024, uint16_t keySig = 0);
    int MeasureCount() const;
    // Sets the key (time) of measures first..last; last 0 means through the
    // last measure.
    bool SetKeySignature(int16_t firstMeasure, uint16_t keySig, int16_t lastMeasure = 0);
    bool SetTimeSignature(int16_t firstMeasure, int16_t beats, int16_t beatDuration, int16_t lastMeasure = 0);
    uint16_t KeySignature(int16_t measure) const;         // 0 for no such measure
    int32_t MeasureDuration(int16_t measure) const;       // 0 for no such measure
    // The key in force for a note of the cell: the measure's key, unless the
    // staff has the independent-key flag and the cell an independent key.
    uint16_t CellKeySignature(int16_t staff, int16_t measure) const;
    // An independent key for one cell (tag 0x4402464C); it counts only when
    // the staff has STAFFFLAG_INDEPENDENTKEY.
    bool SetIndependentKey(int16_t staff, int16_t measure, uint16_t keySig);
    // True when 'MSpN' respaced the measure (MEASUREFLAG_RESPACED).
    bool IsRespaced(int16_t measure) const;

    // --- Preferences ----------------------------------------------------------
    // Octave-numbering offset in octaves (stored times 12 at byte 40 of 'pfgp' 1).
    bool SetOctaveOffset(int16_t octaves);
    int16_t OctaveOffset() const;
    // Default measurement unit (byte 30 of 'pfgp' 1).
    bool SetDefaultUnit(int16_t unit);
    // Concert pitch on: 'otPG' 65534/0 first word 0; off: 1.
    bool SetConcertPitch(bool concert);

    // --- Layers and entries ---------------------------------------------------
    bool SetLayerShown(int layer, bool shown);
    bool IsLayerShown(int layer) const;
    // Locks one cell layer: FX_LoadTGF then hands out its frames with the
    // lock word set, and FX_SaveTGF refuses to store them (even when the
    // caller cleared the word). The C++ interface below still changes it.
    bool SetCellLayerLocked(int16_t staff, int16_t measure, int layer, bool locked);
    bool IsCellLayerLocked(int16_t staff, int16_t measure, int layer) const;
    // Appends an entry after the last one of (staff, measure, layer); its
    // position is where the layer ends. Answers the new entry number, 0 on
    // failure (no such staff/measure/layer, more than 12 notes).
    uint32_t AddEntry(int16_t staff, int16_t measure, int layer, const EntrySpec& entry);
    uint32_t AddRest(int16_t staff, int16_t measure, int layer, int16_t duration);
    // Copies of the records of one cell layer, in order (empty when none).
    std::vector<EXENTRY> Entries(int16_t staff, int16_t measure, int layer) const;
    // Replaces the records of one cell layer as FX_SaveTGF does.
    bool SetEntries(int16_t staff, int16_t measure, int layer, const std::vector<EXENTRY>& entries);
    // Finds an entry by number; out and where may be null.
    bool FindEntry(uint32_t entnum, EXENTRY* out, EntryLocation* where) const;
    // Number of stored entries in the document.
    size_t EntryCount() const;

    // --- Generic records ------------------------------------------------------
    // Records of any tag, as FX_LoadEData/FX_SaveEData see them.
    bool LoadRecord(EDTAG tag, const EDataAddress& address, std::vector<uint8_t>* out) const;
    bool SaveRecord(EDTAG tag, const EDataAddress& address, const void* data, uint32_t size);
    bool DeleteRecord(EDTAG tag, const EDataAddress& address);

    // --- Selection ------------------------------------------------------------
    // Regions use slots of the global list (instrument list 0).
    static EREGION MakeRegion(int16_t startSlot, int16_t startMeasure, int16_t endSlot, int16_t endMeasure,
                              int32_t startPosition = 0, int32_t endPosition = EREGION_ENDOFMEASURE);
    bool SetSelection(const EREGION& region);  // false (unchanged) when outside the document
    void ClearSelection();
    bool GetSelection(EREGION* region) const;  // false when nothing is selected
    EREGION WholeDocumentRegion() const;

    // --- Edit sessions and undo -----------------------------------------------
    // Opens a session (a start while one is open joins it; ends must match).
    bool BeginEdit(const std::string& name);
    // Closes one level; the last one commits the changes as one undo step
    // named as the session. A session with no net change (every part it
    // touched is as it was when it began, such as cells saved unchanged)
    // leaves no step and reports no document change. False when no session
    // is open.
    bool EndEdit();
    // Restores the document to what it was when the session opened and
    // closes one level.
    void CancelEdit();
    bool IsEditing() const;
    bool Undo();  // false when nothing to undo or a session is open
    bool Redo();
    int UndoCount() const;
    int RedoCount() const;
    std::string UndoName() const;  // name of the step Undo would take back; "" when none
    std::string RedoName() const;
    // The cell layers that the undo steps after the first firstStep ones
    // changed (firstStep = UndoCount() taken before an edit gives that
    // edit's layers): each as it was before the earliest of those steps that
    // touched it and as it is now, in staff, measure and layer order. Taken
    // from the undo history, so its cost follows the size of the edit, not
    // of the score. Empty when there are no such steps.
    std::vector<LayerChange> ChangedLayersSince(int firstStep) const;
    // The notes of existing entries whose displacement or raise/lower the
    // step Undo would take back changed, by staff, measure, layer, entry
    // and note; empty when there is no such step. Entries that the step
    // added or removed are not counted.
    std::vector<PitchChange> UndoStepPitchChanges() const;

    // Every record of the document (staves, slot order, measures, entries,
    // generic records, entry counter) serialised in a fixed order: equal
    // snapshots mean byte-identical documents.
    std::vector<uint8_t> Snapshot() const;

    // The engine's internal state; not for callers outside the engine.
    DocumentState& State();
    const DocumentState& State() const;

private:
    friend class Engine;
    explicit Document(int16_t number);
    std::unique_ptr<DocumentState> state_;
};

}  // namespace tonaroengine
