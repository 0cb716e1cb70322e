// The inside of a Document: the score's data in structured form, the
// journal of the open edit session and the undo history. Internal to the
// engine.
//
// Every change goes through one of the Put... functions, which record the
// part's earlier contents in the open session's journal the first time a
// session touches it; committing a session also records the contents after
// it, so undo and redo put back exactly the bytes that were there.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "host/engine/document.h"
#include "host/engine/entryindex.h"
#include "host/engine/recordstore.h"
#include "host/engine/staffstyle.h"
#include "tonaropdk/hostapi/eregion.h"
#include "tonaropdk/hostapi/exentry.h"
#include "tonaropdk/hostapi/measurespec.h"
#include "tonaropdk/hostapi/staffspec.h"

namespace tonaroengine {

constexpr int kLayerCount = 4;

struct StaffData {
    std::array<uint8_t, STAFFSPEC_SIZE_2012> spec{};
    std::vector<StaffStyle> styles;
};

struct MeasureData {
    std::array<uint8_t, MEASURESPEC_SIZE_2012> spec{};
    // How far the measure's music has moved from the music it was last laid
    // out for: the sum, over its cell layers, of each layer's print now less
    // its print then (see PutLayer). 0 while the layout fits the music.
    // Layout bookkeeping, not contents: Snapshot leaves it out.
    uint64_t layoutDrift = 0;
};

using Layer = std::vector<EXENTRY>;
using CellLayers = std::array<Layer, kLayerCount>;

// A cell layer's key: staff, measure and layer packed into one number.
inline uint64_t LayerKey(int16_t staff, int16_t measure, int layer)
{
    return (static_cast<uint64_t>(static_cast<uint16_t>(staff)) << 32) |
           (static_cast<uint64_t>(static_cast<uint16_t>(measure)) << 16) | static_cast<uint64_t>(layer);
}
inline uint32_t CellKey(int16_t staff, int16_t measure)
{
    return (static_cast<uint32_t>(static_cast<uint16_t>(staff)) << 16) | static_cast<uint16_t>(measure);
}

// One undo step: every part that the session changed, before and after.
// Restoring a step sets each part on its own, so the order in which its
// parts are kept does not matter; cell layers, by far the most numerous
// part, are kept in hash maps keyed by LayerKey.
struct EditStep {
    std::string name;
    std::unordered_map<uint64_t, Layer> layersBefore, layersAfter;
    std::map<RecordKey, std::optional<RecordBytes>> recordsBefore, recordsAfter;
    std::map<int16_t, std::optional<StaffData>> stavesBefore, stavesAfter;
    std::optional<std::vector<int16_t>> slotsBefore, slotsAfter;
    std::map<size_t, MeasureData> measuresBefore, measuresAfter;
    size_t measureCountBefore = 0, measureCountAfter = 0;
    uint32_t nextEntnumBefore = 1, nextEntnumAfter = 1;

    bool Empty() const;
};

class DocumentState {
public:
    explicit DocumentState(int16_t number);

    const int16_t number;

    // --- Reading ----------------------------------------------------------------
    const StaffData* FindStaff(int16_t staff) const;
    int16_t StaffAtSlot(int slot) const;
    int SlotOfStaff(int16_t staff) const;
    int StaffCount() const { return static_cast<int>(slots_.size()); }
    const std::vector<int16_t>& Slots() const { return slots_; }
    int MeasureCount() const { return static_cast<int>(measures_.size()); }
    const MeasureData* FindMeasure(int16_t measure) const;
    const Layer* FindLayer(int16_t staff, int16_t measure, int layer) const;
    const CellLayers* FindCell(int16_t staff, int16_t measure) const;
    const RecordBytes* FindRecord(const RecordKey& key) const;
    const RecordMap& Records() const { return records_; }
    bool FindEntry(uint32_t entnum, EntryLocation* where) const;
    size_t EntryCount() const { return entryIndex_.Size(); }
    uint32_t NextEntryNumber() const { return nextEntnum_; }

    // The staff setup in force at a place (styles applied).
    std::array<uint8_t, STAFFSPEC_SIZE_2012> SpecAt(int16_t staff, int16_t measure, int32_t position) const;
    int16_t ClefAt(int16_t staff, int16_t measure, int32_t position) const;
    // The same for a staff already looked up (null: no such staff).
    static int16_t ClefOf(const StaffData* staff, int16_t measure, int32_t position);
    uint16_t MeasureKey(int16_t measure) const;
    uint16_t CellKeySignature(int16_t staff, int16_t measure) const;
    int32_t MeasureDuration(int16_t staff, int16_t measure) const;
    int16_t OctaveOffset() const;   // octaves (the preference word / 12)
    bool ConcertPitch() const;      // the part-scope record's first word is 0

    // --- Changing (journaled) -------------------------------------------------
    void PutStaff(int16_t staff, std::optional<StaffData> data);
    void PutSlots(std::vector<int16_t> slots);
    // index is 0-based; index == MeasureCount() appends.
    void PutMeasure(size_t index, const MeasureData& data);
    void PutRecord(const RecordKey& key, std::optional<RecordBytes> bytes);
    // Stores a cell layer's records as they are (numbers, positions and
    // clefs must be final; see StoreLayer). Entry details of entries that
    // leave the document are deleted.
    void PutLayer(int16_t staff, int16_t measure, int layer, Layer entries);
    uint32_t TakeEntryNumber();

    // Lays a measure out anew when its music changed since its last layout:
    // sets MEASUREFLAG_RESPACED and takes the music as laid out. False, and
    // nothing changes, when the music is what it was laid out for (or there
    // is no such measure).
    bool RespaceMeasure(int16_t measure);
    // Takes the music of every measure as laid out (a score just read from a
    // file that carries its own layout). Not journaled.
    void TakeMusicAsLaidOut();

    // Normalises records for storage and stores them: positions follow the
    // durations (grace notes and null entries take no time), records whose
    // number is 0, already used elsewhere or repeated get a new number,
    // clef words follow the setup in force. The stored records are
    // written back into *entries. False (nothing changed) for bad records:
    // a note count outside 0..12 or a negative duration.
    bool StoreLayer(int16_t staff, int16_t measure, int layer, Layer* entries);
    // The same, taking the records over instead of writing them back; the
    // stored records are read with FindLayer.
    bool StoreLayer(int16_t staff, int16_t measure, int layer, Layer&& entries);

    // --- View state (not part of the document's contents) ---------------------
    std::array<bool, kLayerCount> layerShown{{true, true, true, true}};
    std::optional<EREGION> selection;
    std::unordered_set<uint64_t> lockedLayers;  // LayerKey of locked cell layers

    // --- Sessions and undo ------------------------------------------------------
    bool BeginSession(const std::string& name);
    bool EndSession();
    void CancelSession();
    bool InSession() const { return sessionDepth_ > 0; }
    std::string SessionName() const { return journal_ ? journal_->name : std::string(); }
    std::vector<PitchChange> UndoStepPitchChanges() const;
    bool Undo();
    bool Redo();
    int UndoCount() const { return static_cast<int>(undo_.size()); }
    int RedoCount() const { return static_cast<int>(redo_.size()); }
    std::string UndoName() const { return undo_.empty() ? std::string() : undo_.back().name; }
    std::string RedoName() const { return redo_.empty() ? std::string() : redo_.back().name; }

    std::vector<LayerChange> ChangedLayersSince(int firstStep) const;

    std::vector<uint8_t> Snapshot() const;

private:
    void SetLayerRaw(uint64_t layerKey, Layer entries);
    void SetRecordRaw(const RecordKey& key, const std::optional<RecordBytes>& bytes);
    void SetStaffRaw(int16_t staff, const std::optional<StaffData>& data);
    void SetSlotsRaw(std::vector<int16_t> slots);
    void Apply(bool before, const EditStep& step);
    // Leaves out of step every part whose contents now equal those it had
    // when the session began (a cell saved as it was, a change undone by a
    // later one), so that only net changes are kept.
    void DropUnchangedParts(EditStep* step) const;
    void DeleteEntryDetails(uint32_t entnum);
    // StoreLayer's checks and normalisation of the records, in place.
    bool NormalizeLayer(int16_t staff, int16_t measure, int layer, Layer* entries);

    std::unordered_map<int16_t, StaffData> staves_;
    std::vector<int16_t> slots_;
    std::unordered_map<int16_t, int> slotOf_;
    std::vector<MeasureData> measures_;
    std::unordered_map<uint32_t, CellLayers> cells_;
    EntryIndex entryIndex_;  // entry number -> layer key
    RecordMap records_;
    uint32_t nextEntnum_ = 1;

    int sessionDepth_ = 0;
    std::unique_ptr<EditStep> journal_;
    std::vector<EditStep> undo_;
    std::vector<EditStep> redo_;
};

}  // namespace tonaroengine
