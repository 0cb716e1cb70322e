#include "tonaroframework/music/fcnoteentrylayer.h"

#include "tonaroframework/music/fcnoteentry.h"
#include "tonaropdk/hostapi/fxfunctions.h"

namespace {

// The last measure of the current document, from the host's whole-document
// region; 0 when the host tells nothing.
int16_t LastMeasureOfDocument()
{
    EREGIONINFO info{};
    EREGION selection{};
    EREGION whole{};
    FX_GetCurERegions(&info, &selection, &whole, FXT_VERSION_2012);
    return whole.endMeas;
}

bool HasNewEntries(const EXTGF2005a* frame)
{
    if (frame->entries == nullptr) return false;
    for (int i = 0; i < frame->numEntries; ++i) {
        if (frame->entries[i].entnum == 0) return true;
    }
    return false;
}

}  // namespace

FCNoteEntryLayer::FCNoteEntryLayer(int16_t layer, int16_t staff, int16_t startMeasure, int16_t endMeasure)
    : _layer(layer), _staff(staff), _startMeasure(startMeasure < 1 ? int16_t{1} : startMeasure),
      _endMeasure(endMeasure)
{
    const int16_t last = LastMeasureOfDocument();
    if (static_cast<uint16_t>(endMeasure) == 0xFFFF || endMeasure > last) _endMeasure = last;
}

FCNoteEntryLayer::~FCNoteEntryLayer()
{
    ClearFrames();
}

EXTGF2005a* FCNoteEntryLayer::_GetFrame(int16_t measure) const
{
    const int index = measure - _startMeasure;
    if (index < 0 || index >= GetFrameCount()) return nullptr;
    return _frames[static_cast<size_t>(index)];
}

bool FCNoteEntryLayer::Load()
{
    ClearFrames();
    if (_endMeasure < _startMeasure) return false;
    _frames.assign(static_cast<size_t>(_endMeasure - _startMeasure + 1), nullptr);
    const bool hidden = FX_GetShowLayer(_layer, FXT_VERSION_2012) == 0;
    const int16_t slot = FX_InstToSlot(static_cast<uint16_t>(_staff), 0, FXT_VERSION_2012);
    for (int measure = _startMeasure; measure <= _endMeasure; ++measure) {
        if (hidden && _skipHidden != 0) continue;
        EXTGF2005a* frame = FX_LoadTGF(0, static_cast<uint16_t>(slot), static_cast<uint16_t>(measure),
                                       static_cast<uint16_t>(_layer), _loadOption, FXT_VERSION_2012);
        if (frame == nullptr && _loadOption != 0) {
            ClearFrames();
            return false;
        }
        _frames[static_cast<size_t>(measure - _startMeasure)] = frame;
    }
    _SetupEntries();
    return true;
}

void FCNoteEntryLayer::_SetupEntries()
{
    ClearAll();
    FCNoteEntry* chain = nullptr;  // linked across measure boundaries
    for (EXTGF2005a* frame : _frames) _AppendFrameEntries(frame, &chain);
}

bool FCNoteEntryLayer::Save()
{
    if (_frames.empty()) return false;
    bool allSaved = true;
    for (size_t f = 0; f < _frames.size(); ++f) {
        EXTGF2005a* frame = _frames[f];
        if (frame == nullptr || frame->locked != 0) continue;
        const bool hadNew = HasNewEntries(frame);
        if (FX_SaveTGF(frame, FXT_VERSION_2012) == 0) {
            allSaved = false;
            continue;
        }
        if (!hadNew) continue;
        // The host numbered the new entries in its own copy; reload to see
        // the numbers, and move the entry objects over record by record.
        EXTGF2005a* reloaded = FX_LoadTGF(frame->instList, frame->slot, frame->measure, frame->layer, 0,
                                          FXT_VERSION_2012);
        if (reloaded == nullptr) continue;
        if (reloaded->numEntries != frame->numEntries || (reloaded->numEntries > 0 && reloaded->entries == nullptr)) {
            // Cannot be matched record for record: keep the frame we have.
            FX_FreeTGF(reloaded, FXT_VERSION_2012);
            continue;
        }
        for (int i = 0; i < GetCount(); ++i) {
            FCNoteEntry* entry = GetItemAt(i);
            if (entry == nullptr || entry->_GetFrame() != frame) continue;
            const int index = entry->_CalcTGFIndex();
            if (index >= 0) entry->_SetRecord(&reloaded->entries[index], reloaded);
        }
        FX_FreeTGF(frame, FXT_VERSION_2012);
        _frames[f] = reloaded;
    }
    return allSaved;
}

void FCNoteEntryLayer::ClearFrames()
{
    ClearAll();
    for (EXTGF2005a*& frame : _frames) {
        if (frame != nullptr) FX_FreeTGF(frame, FXT_VERSION_2012);
    }
    _frames.clear();
}
