#include "host/engine/document.h"

#include <algorithm>

#include "host/engine/bytes.h"
#include "host/engine/documentstate.h"
#include "host/engine/enginehost.h"
#include "host/engine/recordaccess.h"
#include "tonaropdk/hostapi/celldetails.h"
#include "tonaropdk/hostapi/prefsrecords.h"
#include "tonaropdk/hostapi/recordtags.h"

namespace tonaroengine {

namespace {

constexpr size_t kClefOffset = 0;
constexpr size_t kLinesOffset = 2;
constexpr size_t kNotationStyleOffset = 10;
constexpr size_t kTranspositionOffset = 20;
constexpr size_t kFlagsOffset = 22;
constexpr int kMaxNumber = 0x7FFF;

MeasureData MakeMeasure(int16_t beats, int16_t beatDuration, uint16_t keySig)
{
    EDTMeasureSpec spec{};
    spec.width = 300;
    spec.beats = beats;
    spec.beatDuration = beatDuration;
    spec.keySig = keySig;
    MeasureData data;
    std::memcpy(data.spec.data(), &spec, sizeof spec);
    return data;
}

}  // namespace

Document::Document(int16_t number) : state_(std::make_unique<DocumentState>(number)) {}

Document::~Document() = default;

DocumentState& Document::State()
{
    return *state_;
}

const DocumentState& Document::State() const
{
    return *state_;
}

int16_t Document::Number() const
{
    return state_->number;
}

// --- Staves -------------------------------------------------------------------------

int16_t Document::AddStaff(int16_t staffNumber, int16_t clef)
{
    if (clef < 0 || clef >= CLEF_COUNT || staffNumber < 0) return 0;
    int number = staffNumber;
    if (number == 0) {
        number = 1;
        while (number <= kMaxNumber && state_->FindStaff(static_cast<int16_t>(number))) ++number;
    }
    if (number > kMaxNumber || state_->FindStaff(static_cast<int16_t>(number))) return 0;
    StaffData staff;
    WriteAt<int16_t>(staff.spec.data(), kClefOffset, clef);
    WriteAt<int16_t>(staff.spec.data(), kLinesOffset, 5);
    std::vector<int16_t> slots = state_->Slots();
    slots.push_back(static_cast<int16_t>(number));
    state_->PutStaff(static_cast<int16_t>(number), staff);
    state_->PutSlots(std::move(slots));
    return static_cast<int16_t>(number);
}

bool Document::MoveStaff(int16_t staff, int slot)
{
    const int from = state_->SlotOfStaff(staff);
    if (from == 0 || slot < 1 || slot > state_->StaffCount()) return false;
    if (from == slot) return true;
    std::vector<int16_t> slots = state_->Slots();
    slots.erase(slots.begin() + (from - 1));
    slots.insert(slots.begin() + (slot - 1), staff);
    state_->PutSlots(std::move(slots));
    return true;
}

int Document::StaffCount() const
{
    return state_->StaffCount();
}

int16_t Document::StaffAtSlot(int slot) const
{
    return state_->StaffAtSlot(slot);
}

int Document::SlotOfStaff(int16_t staff) const
{
    return state_->SlotOfStaff(staff);
}

bool Document::HasStaff(int16_t staff) const
{
    return state_->FindStaff(staff) != nullptr;
}

namespace {

template <typename T>
bool ChangeStaffWord(DocumentState& state, int16_t staff, size_t offset, T value)
{
    const StaffData* current = state.FindStaff(staff);
    if (!current) return false;
    StaffData changed = *current;
    WriteAt<T>(changed.spec.data(), offset, value);
    state.PutStaff(staff, changed);
    return true;
}

}  // namespace

bool Document::SetStaffTransposition(int16_t staff, int16_t transpositionWord)
{
    return ChangeStaffWord<int16_t>(*state_, staff, kTranspositionOffset, transpositionWord);
}

bool Document::SetStaffClef(int16_t staff, int16_t clef)
{
    if (clef < 0 || clef >= CLEF_COUNT) return false;
    return ChangeStaffWord<int16_t>(*state_, staff, kClefOffset, clef);
}

bool Document::SetStaffNotationStyle(int16_t staff, uint16_t style)
{
    return ChangeStaffWord<uint16_t>(*state_, staff, kNotationStyleOffset, style);
}

bool Document::SetStaffFlags(int16_t staff, uint16_t flags)
{
    return ChangeStaffWord<uint16_t>(*state_, staff, kFlagsOffset, flags);
}

bool Document::AddStaffStyle(int16_t staff, const StaffStyle& style)
{
    const StaffData* current = state_->FindStaff(staff);
    if (!current || style.startMeasure < 1 || style.endMeasure < style.startMeasure || style.startPosition < 0 ||
        style.endPosition < 0)
        return false;
    if (style.clef && (*style.clef < 0 || *style.clef >= CLEF_COUNT)) return false;
    StaffData changed = *current;
    changed.styles.push_back(style);
    state_->PutStaff(staff, changed);
    return true;
}

std::vector<uint8_t> Document::StaffSpec(int16_t staff) const
{
    const StaffData* data = state_->FindStaff(staff);
    if (!data) return {};
    return std::vector<uint8_t>(data->spec.begin(), data->spec.end());
}

std::vector<uint8_t> Document::StaffSpecAt(int16_t staff, int16_t measure, int32_t position) const
{
    if (!state_->FindStaff(staff)) return {};
    const auto spec = state_->SpecAt(staff, measure, position);
    return std::vector<uint8_t>(spec.begin(), spec.end());
}

// --- Measures ---------------------------------------------------------------------

int Document::AddMeasures(int count, int16_t beats, int16_t beatDuration, uint16_t keySig)
{
    const int have = state_->MeasureCount();
    if (count < 1 || count > kMaxNumber - have || beats < 1 || beatDuration < 1) return have;
    for (int i = 0; i < count; ++i)
        state_->PutMeasure(static_cast<size_t>(have + i), MakeMeasure(beats, beatDuration, keySig));
    return state_->MeasureCount();
}

int Document::MeasureCount() const
{
    return state_->MeasureCount();
}

namespace {

// Measures first..last (0 = the last measure) as 0-based indexes; false for a bad range.
bool MeasureRange(const DocumentState& state, int16_t first, int16_t last, size_t* begin, size_t* end)
{
    const int16_t through = last == 0 ? static_cast<int16_t>(state.MeasureCount()) : last;
    if (first < 1 || through < first || through > state.MeasureCount()) return false;
    *begin = static_cast<size_t>(first - 1);
    *end = static_cast<size_t>(through);
    return true;
}

}  // namespace

bool Document::SetKeySignature(int16_t firstMeasure, uint16_t keySig, int16_t lastMeasure)
{
    size_t begin = 0, end = 0;
    if (!MeasureRange(*state_, firstMeasure, lastMeasure, &begin, &end)) return false;
    for (size_t i = begin; i < end; ++i) {
        MeasureData data = *state_->FindMeasure(static_cast<int16_t>(i + 1));
        WriteAt<uint16_t>(data.spec.data(), offsetof(EDTMeasureSpec, keySig), keySig);
        state_->PutMeasure(i, data);
    }
    return true;
}

bool Document::SetTimeSignature(int16_t firstMeasure, int16_t beats, int16_t beatDuration, int16_t lastMeasure)
{
    size_t begin = 0, end = 0;
    if (beats < 1 || beatDuration < 1 || !MeasureRange(*state_, firstMeasure, lastMeasure, &begin, &end))
        return false;
    for (size_t i = begin; i < end; ++i) {
        MeasureData data = *state_->FindMeasure(static_cast<int16_t>(i + 1));
        WriteAt<int16_t>(data.spec.data(), offsetof(EDTMeasureSpec, beats), beats);
        WriteAt<int16_t>(data.spec.data(), offsetof(EDTMeasureSpec, beatDuration), beatDuration);
        state_->PutMeasure(i, data);
    }
    return true;
}

uint16_t Document::KeySignature(int16_t measure) const
{
    return state_->MeasureKey(measure);
}

int32_t Document::MeasureDuration(int16_t measure) const
{
    return state_->MeasureDuration(0, measure);
}

uint16_t Document::CellKeySignature(int16_t staff, int16_t measure) const
{
    return state_->CellKeySignature(staff, measure);
}

bool Document::SetIndependentKey(int16_t staff, int16_t measure, uint16_t keySig)
{
    if (!state_->FindStaff(staff) || !state_->FindMeasure(measure)) return false;
    const uint16_t address[4] = {static_cast<uint16_t>(staff), static_cast<uint16_t>(measure), 0, 0};
    const RecordKey key = MakeRecordKey(TAG_INDEPENDENTCELL, address);
    RecordBytes bytes(sizeof(EDTIndependentCell), 0);
    if (const RecordBytes* current = state_->FindRecord(key))
        std::copy_n(current->begin(), std::min(current->size(), bytes.size()), bytes.begin());
    WriteAt<uint16_t>(bytes.data(), offsetof(EDTIndependentCell, keySig), keySig);
    bytes[offsetof(EDTIndependentCell, flags)] |= INDEPENDENTCELL_HASKEY;
    state_->PutRecord(key, bytes);
    return true;
}

bool Document::IsRespaced(int16_t measure) const
{
    const MeasureData* data = state_->FindMeasure(measure);
    return data && (ReadAt<uint16_t>(data->spec.data(), offsetof(EDTMeasureSpec, flags)) & MEASUREFLAG_RESPACED);
}

// --- Preferences ----------------------------------------------------------------------

namespace {

bool ChangeRecordWord(DocumentState& state, EDTAG tag, uint16_t cmper, size_t size, size_t offset, int16_t value)
{
    const uint16_t address[4] = {cmper, 0, 0, 0};
    const RecordKey key = MakeRecordKey(tag, address);
    RecordBytes bytes(size, 0);
    if (const RecordBytes* current = state.FindRecord(key)) {
        bytes = *current;
        if (bytes.size() < size) bytes.resize(size, 0);
    }
    WriteAt<int16_t>(bytes.data(), offset, value);
    state.PutRecord(key, bytes);
    return true;
}

}  // namespace

bool Document::SetOctaveOffset(int16_t octaves)
{
    if (octaves < -20 || octaves > 20) return false;
    return ChangeRecordWord(*state_, TAG_GENERALPREFS, 1, sizeof(EDTGeneralPrefs),
                            offsetof(EDTGeneralPrefs, octaveOffset), static_cast<int16_t>(octaves * 12));
}

int16_t Document::OctaveOffset() const
{
    return state_->OctaveOffset();
}

bool Document::SetDefaultUnit(int16_t unit)
{
    return ChangeRecordWord(*state_, TAG_GENERALPREFS, 1, sizeof(EDTGeneralPrefs),
                            offsetof(EDTGeneralPrefs, defaultUnit), unit);
}

bool Document::SetConcertPitch(bool concert)
{
    return ChangeRecordWord(*state_, TAG_PARTSCOPEPREFS, OTHER_PREFS_CMPER, sizeof(EDTPartScopePrefs), 0,
                            concert ? 0 : 1);
}

// --- Layers and entries -----------------------------------------------------------------

bool Document::SetLayerShown(int layer, bool shown)
{
    if (layer < 0 || layer >= kLayerCount) return false;
    state_->layerShown[static_cast<size_t>(layer)] = shown;
    return true;
}

bool Document::IsLayerShown(int layer) const
{
    return layer >= 0 && layer < kLayerCount && state_->layerShown[static_cast<size_t>(layer)];
}

bool Document::SetCellLayerLocked(int16_t staff, int16_t measure, int layer, bool locked)
{
    if (!state_->FindStaff(staff) || !state_->FindMeasure(measure) || layer < 0 || layer >= kLayerCount) return false;
    if (locked)
        state_->lockedLayers.insert(LayerKey(staff, measure, layer));
    else
        state_->lockedLayers.erase(LayerKey(staff, measure, layer));
    return true;
}

bool Document::IsCellLayerLocked(int16_t staff, int16_t measure, int layer) const
{
    return layer >= 0 && layer < kLayerCount && state_->lockedLayers.count(LayerKey(staff, measure, layer)) > 0;
}

uint32_t Document::AddEntry(int16_t staff, int16_t measure, int layer, const EntrySpec& spec)
{
    if (spec.notes.size() > static_cast<size_t>(EXENTRY_MAXNOTES) || spec.duration < 0) return 0;
    if (!state_->FindStaff(staff) || !state_->FindMeasure(measure) || layer < 0 || layer >= kLayerCount) return 0;
    EXENTRY entry{};
    entry.duration = spec.duration;
    entry.flags = (spec.notes.empty() ? 0u : EXENTRY_NOTE) | spec.extraFlags;
    if (spec.notes.empty()) entry.flags &= ~EXENTRY_NOTE;
    entry.numNotes = static_cast<int16_t>(spec.notes.size());
    for (size_t i = 0; i < spec.notes.size(); ++i) {
        EXNOTE& note = entry.notes[i];
        note.displacement = spec.notes[i].displacement;
        note.raiselower = spec.notes[i].raiselower;
        note.noteID = static_cast<uint16_t>(i + 1);
        note.flags = EXNOTE_INUSE | (spec.notes[i].tieStart ? EXNOTE_TIESTART : 0u) |
                     ((static_cast<uint32_t>(note.noteID) << EXNOTE_IDCOPY_SHIFT) & EXNOTE_IDCOPY_MASK);
    }
    const Layer* current = state_->FindLayer(staff, measure, layer);
    Layer entries = current ? *current : Layer();
    if (entries.size() >= static_cast<size_t>(kMaxNumber)) return 0;
    entries.push_back(entry);
    if (!state_->StoreLayer(staff, measure, layer, &entries)) return 0;
    return entries.back().entnum;
}

uint32_t Document::AddRest(int16_t staff, int16_t measure, int layer, int16_t duration)
{
    EntrySpec rest;
    rest.duration = duration;
    return AddEntry(staff, measure, layer, rest);
}

std::vector<EXENTRY> Document::Entries(int16_t staff, int16_t measure, int layer) const
{
    const Layer* entries = state_->FindLayer(staff, measure, layer);
    return entries ? *entries : std::vector<EXENTRY>();
}

bool Document::SetEntries(int16_t staff, int16_t measure, int layer, const std::vector<EXENTRY>& entries)
{
    if (entries.size() > static_cast<size_t>(kMaxNumber)) return false;
    Layer copy = entries;
    return state_->StoreLayer(staff, measure, layer, &copy);
}

bool Document::FindEntry(uint32_t entnum, EXENTRY* out, EntryLocation* where) const
{
    EntryLocation location;
    if (!state_->FindEntry(entnum, &location)) return false;
    if (out) *out = (*state_->FindLayer(location.staff, location.measure, location.layer))[static_cast<size_t>(location.index)];
    if (where) *where = location;
    return true;
}

size_t Document::EntryCount() const
{
    return state_->EntryCount();
}

// --- Generic records ---------------------------------------------------------------------

bool Document::LoadRecord(EDTAG tag, const EDataAddress& address, std::vector<uint8_t>* out) const
{
    if (!out) return false;
    uint32_t size = 0;
    if (!LoadData(*state_, tag, address.words, nullptr, &size, FXT_VERSION_2012)) return false;
    std::vector<uint8_t> bytes(size);
    if (!LoadData(*state_, tag, address.words, bytes.data(), &size, FXT_VERSION_2012)) return false;
    bytes.resize(size);
    *out = std::move(bytes);
    return true;
}

bool Document::SaveRecord(EDTAG tag, const EDataAddress& address, const void* data, uint32_t size)
{
    return SaveData(*state_, tag, address.words, data, size, FXT_VERSION_2012);
}

bool Document::DeleteRecord(EDTAG tag, const EDataAddress& address)
{
    return DeleteData(*state_, tag, address.words);
}

// --- Selection -------------------------------------------------------------------------------

EREGION Document::MakeRegion(int16_t startSlot, int16_t startMeasure, int16_t endSlot, int16_t endMeasure,
                             int32_t startPosition, int32_t endPosition)
{
    EREGION region{};
    region.startSlot = startSlot;
    region.startMeas = startMeasure;
    region.startPos = startPosition;
    region.endSlot = endSlot;
    region.endMeas = endMeasure;
    region.endPos = endPosition;
    return region;
}

bool Document::SetSelection(const EREGION& region)
{
    EREGION sorted = region;
    if (sorted.startInstList != 0 || sorted.endInstList != 0) return false;
    if (sorted.startSlot > sorted.endSlot) std::swap(sorted.startSlot, sorted.endSlot);
    const bool inside = sorted.startSlot >= 1 && sorted.endSlot <= state_->StaffCount() && sorted.startMeas >= 1 &&
                        sorted.endMeas <= state_->MeasureCount() && sorted.startMeas <= sorted.endMeas &&
                        sorted.startPos >= 0 && sorted.endPos >= 0;
    if (!inside) return false;
    state_->selection = sorted;
    HostState().NotifySelection(state_->number);
    return true;
}

void Document::ClearSelection()
{
    if (!state_->selection) return;
    state_->selection.reset();
    HostState().NotifySelection(state_->number);
}

bool Document::GetSelection(EREGION* region) const
{
    if (!state_->selection) return false;
    if (region) *region = *state_->selection;
    return true;
}

EREGION Document::WholeDocumentRegion() const
{
    if (state_->StaffCount() == 0 || state_->MeasureCount() == 0) return EREGION{};
    return MakeRegion(1, 1, static_cast<int16_t>(state_->StaffCount()), static_cast<int16_t>(state_->MeasureCount()));
}

// --- Edit sessions and undo ------------------------------------------------------------------

bool Document::BeginEdit(const std::string& name)
{
    return state_->BeginSession(name);
}

bool Document::EndEdit()
{
    const int before = state_->UndoCount();
    const std::string name = state_->SessionName();
    if (!state_->EndSession()) return false;
    if (state_->InSession()) return true;
    const bool kept = state_->UndoCount() != before;
    if (kept) HostState().NotifyDocumentChanged(state_->number);
    HostState().NotifySessionEnded(state_->number, name, kept ? SessionOutcome::Kept : SessionOutcome::NoChange);
    return true;
}

void Document::CancelEdit()
{
    if (!state_->InSession()) return;
    const std::string name = state_->SessionName();
    state_->CancelSession();
    HostState().NotifyDocumentChanged(state_->number);
    if (!state_->InSession()) HostState().NotifySessionEnded(state_->number, name, SessionOutcome::Cancelled);
}

bool Document::IsEditing() const
{
    return state_->InSession();
}

bool Document::Undo()
{
    if (!state_->Undo()) return false;
    HostState().NotifyDocumentChanged(state_->number);
    return true;
}

bool Document::Redo()
{
    if (!state_->Redo()) return false;
    HostState().NotifyDocumentChanged(state_->number);
    return true;
}

int Document::UndoCount() const
{
    return state_->UndoCount();
}

int Document::RedoCount() const
{
    return state_->RedoCount();
}

std::string Document::UndoName() const
{
    return state_->UndoName();
}

std::string Document::RedoName() const
{
    return state_->RedoName();
}

std::vector<LayerChange> Document::ChangedLayersSince(int firstStep) const
{
    return state_->ChangedLayersSince(firstStep);
}

std::vector<PitchChange> Document::UndoStepPitchChanges() const
{
    return state_->UndoStepPitchChanges();
}

std::vector<uint8_t> Document::Snapshot() const
{
    return state_->Snapshot();
}

}  // namespace tonaroengine
