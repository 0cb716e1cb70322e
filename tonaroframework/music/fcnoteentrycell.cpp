#include "tonaroframework/music/fcnoteentrycell.h"

#include <cstdlib>

#include "tonaroframework/data/fccell.h"
#include "tonaroframework/music/fcmusicregion.h"
#include "tonaroframework/music/fcnoteentry.h"
#include "tonaropdk/hostapi/fxfunctions.h"

namespace {

// Mask bits of a layer selection: bit 8 picks layer index 0, ... bit 11
// index 3.
constexpr int LAYERMASK_FIRSTBIT = 8;
constexpr int LAYERMASK_LAYERS = 4;

bool IsLayerSelected(int selection, int layerIndex)
{
    switch (selection) {
    case LAYERSELECTION_NONE:
        return false;
    case LAYERSELECTION_HIDDEN:
        return FX_GetShowLayer(static_cast<int16_t>(layerIndex), FXT_VERSION_2012) == 0;
    case LAYERSELECTION_ALL:
        return true;
    case LAYERSELECTION_SHOWN:
        return FX_GetShowLayer(static_cast<int16_t>(layerIndex), FXT_VERSION_2012) != 0;
    case 1:
    case 2:
    case 3:
    case 4:
        return layerIndex == selection - 1;
    default:
        if (layerIndex >= LAYERMASK_LAYERS) return false;
        return (static_cast<unsigned>(selection) & (1u << (LAYERMASK_FIRSTBIT + layerIndex))) != 0;
    }
}

}  // namespace

FCNoteEntryCell* FCCell::CreateNoteEntryCell(bool load, int layerSelection)
{
    auto* cell = new FCNoteEntryCell(GetMeasure(), GetStaff());
    if (load) {
        cell->SetLayerSelection(layerSelection);
        cell->Load();  // an unloaded cell simply has no entries
    }
    return cell;
}

FCNoteEntryCell::FCNoteEntryCell(int measure, int staff) : _measure(measure), _staff(staff) {}

FCNoteEntryCell::~FCNoteEntryCell()
{
    ClearFrame();
}

EXTGF2005a* FCNoteEntryCell::_GetFrame(int layerIndex) const
{
    if (layerIndex < 0 || layerIndex >= static_cast<int>(_frames.size())) return nullptr;
    return _frames[static_cast<size_t>(layerIndex)];
}

bool FCNoteEntryCell::Load()
{
    ClearFrame();
    const int layers = FX_GetMaxLayers(FXT_VERSION_2012);
    _frames.assign(layers > 0 ? static_cast<size_t>(layers) : 0, nullptr);
    const int16_t slot = FX_InstToSlot(static_cast<uint16_t>(_staff), 0, FXT_VERSION_2012);
    for (int layer = 0; layer < layers; ++layer) {
        if (!IsLayerSelected(_layerSelection, layer)) continue;
        EXTGF2005a* frame = FX_LoadTGF(0, static_cast<uint16_t>(slot), static_cast<uint16_t>(_measure),
                                       static_cast<uint16_t>(layer), _loadOption, FXT_VERSION_2012);
        if (frame == nullptr) {
            ClearFrame();
            return false;
        }
        _frames[static_cast<size_t>(layer)] = frame;
    }
    _SetupEntries();
    return true;
}

bool FCNoteEntryCell::Save()
{
    bool allSaved = true;
    for (EXTGF2005a* frame : _frames) {
        if (frame == nullptr || frame->locked != 0) continue;
        if (FX_SaveTGF(frame, FXT_VERSION_2012) == 0) allSaved = false;
    }
    return allSaved;
}

void FCNoteEntryCell::ClearFrame()
{
    ClearAll();
    for (EXTGF2005a*& frame : _frames) {
        if (frame != nullptr) FX_FreeTGF(frame, FXT_VERSION_2012);
        frame = nullptr;
    }
}

void FCNoteEntryCell::_SetupEntries()
{
    ClearAll();
    for (EXTGF2005a* frame : _frames) {
        FCNoteEntry* chain = nullptr;  // each layer is its own chain
        _AppendFrameEntries(frame, &chain);
    }
}

bool FCNoteEntryCell::DeleteAllNullEntries()
{
    bool allDone = true;
    for (int i = GetCount() - 1; i >= 0; --i) {
        FCNoteEntry* entry = GetItemAt(i);
        if (entry == nullptr || entry->GetDuration() != 0) continue;
        EXTGF2005a* frame = entry->_GetFrame();
        const int index = entry->_CalcTGFIndex();
        if (frame == nullptr || index < 0) return false;
        if (frame->locked != 0) continue;
        if (FX_DeleteEXENTRY(frame, static_cast<int16_t>(index), 1, FXT_VERSION_2012) == 0) {
            allDone = false;
            continue;
        }
        if (FX_SaveTGF(frame, FXT_VERSION_2012) == 0) allDone = false;
        // The frame's array changed: every entry object is rebuilt. The
        // entries before position i keep their order.
        _SetupEntries();
    }
    return allDone;
}

bool FCNoteEntryCell::DeleteEntry(FCNoteEntry* entry)
{
    if (entry == nullptr || GetIndexOf(entry) < 0) return false;
    EXTGF2005a* frame = entry->_GetFrame();
    if (frame == nullptr || frame->locked != 0) return false;
    const int index = entry->_CalcTGFIndex();
    if (index < 0) return false;
    if (FX_DeleteEXENTRY(frame, static_cast<int16_t>(index), 1, FXT_VERSION_2012) == 0) return false;
    const bool saved = FX_SaveTGF(frame, FXT_VERSION_2012) != 0;
    _SetupEntries();
    return saved;
}

FCNoteEntry* FCNoteEntryCell::AppendEntriesInLayer(int layer, int count)
{
    if (count < 1 || layer < 1 || count > 0x7FFF) return nullptr;
    EXTGF2005a* frame = _GetFrame(layer - 1);
    if (frame == nullptr) return nullptr;
    const int oldCount = frame->numEntries > 0 ? frame->numEntries : 0;
    if (oldCount + count > 0x7FFF) return nullptr;
    if (FX_InsertEXENTRY(frame, static_cast<int16_t>(oldCount), static_cast<int16_t>(count), FXT_VERSION_2012) ==
        0) {
        return nullptr;
    }
    _SetupEntries();
    int positionInLayer = 0;
    for (int i = 0; i < GetCount(); ++i) {
        FCNoteEntry* entry = GetItemAt(i);
        if (entry == nullptr || entry->_GetFrame() != frame) continue;
        if (positionInLayer == oldCount) return entry;
        ++positionInLayer;
    }
    return nullptr;
}

FCNoteEntry* FCNoteEntryCell::GetRegionItemAt(int index, FCMusicRegion* region) const
{
    FCNoteEntry* entry = GetItemAt(index);
    if (entry == nullptr || region == nullptr) return entry;
    const int32_t position = entry->GetMeasurePos();
    if (_measure == region->GetStartMeasure() && position < region->GetStartMeasurePos()) return nullptr;
    if (_measure == region->GetEndMeasure() && position > region->GetEndMeasurePos()) return nullptr;
    return entry;
}

FCNoteEntry* FCNoteEntryCell::FindEntryStartPosition(int32_t position, int layer) const
{
    const EXTGF2005a* frame = _GetFrame(layer - 1);
    if (frame == nullptr) return nullptr;
    for (int i = 0; i < GetCount(); ++i) {
        FCNoteEntry* entry = GetItemAt(i);
        if (entry != nullptr && entry->_GetFrame() == frame && entry->GetMeasurePos() == position) return entry;
    }
    return nullptr;
}

FCNoteEntry* FCNoteEntryCell::FindCoveredEntry(int32_t position, int layer) const
{
    const EXTGF2005a* frame = _GetFrame(layer - 1);
    if (frame == nullptr) return nullptr;
    for (int i = 0; i < GetCount(); ++i) {
        FCNoteEntry* entry = GetItemAt(i);
        if (entry == nullptr || entry->_GetFrame() != frame || entry->IsGraceNote()) continue;
        const int64_t start = entry->GetMeasurePos();
        const int64_t end = start + entry->GetDuration();
        if (position >= start && position < end) return entry;
    }
    return nullptr;
}

FCNoteEntry* FCNoteEntryCell::FindClosestPos(int32_t position, int layer) const
{
    const EXTGF2005a* frame = _GetFrame(layer - 1);
    if (frame == nullptr) return nullptr;
    FCNoteEntry* best = nullptr;
    int64_t bestDistance = 0;
    for (int i = 0; i < GetCount(); ++i) {
        FCNoteEntry* entry = GetItemAt(i);
        if (entry == nullptr || entry->_GetFrame() != frame) continue;
        const int64_t distance = std::llabs(static_cast<int64_t>(entry->GetMeasurePos()) - position);
        if (best == nullptr || distance < bestDistance) {
            best = entry;
            bestDistance = distance;
        }
    }
    return best;
}
