// Host functions of selection, staves, layers, entry frames and pitches.
#include <algorithm>
#include <cstring>

#include "host/engine/documentstate.h"
#include "host/engine/enginehost.h"
#include "host/engine/pitch.h"
#include "tonaropdk/hostapi/fxfunctions.h"

using namespace tonaroengine;

namespace {

Document* Current()
{
    return Engine::Instance().CurrentDocument();
}

// A frame that the engine handed out and that still matches its storage.
FrameBox* CheckedFrame(EXTGF2005a* frame)
{
    FrameBox* box = frame ? HostState().FindFrame(frame) : nullptr;
    if (!box) return nullptr;
    if (frame->entries != box->storage.data() || frame->numEntries < 0 ||
        static_cast<size_t>(frame->numEntries) != box->storage.size())
        return nullptr;
    return box;
}

}  // namespace

extern "C" {

int16_t FX_GetCurERegions(EREGIONINFO* info, EREGION* selection, EREGION* whole, uint32_t /*version*/)
{
    Document* document = Current();
    if (info) *info = EREGIONINFO{document ? document->Number() : int16_t{0}, 0, 0};
    if (!document) {
        if (selection) *selection = EREGION{};
        if (whole) *whole = EREGION{};
        return 0;
    }
    if (whole) *whole = document->WholeDocumentRegion();
    EREGION current{};
    const bool selected = document->GetSelection(&current);
    if (selection) *selection = current;
    return selected ? 1 : 0;
}

int16_t FX_GetCurrentVeltraDocument(uint32_t /*version*/)
{
    Document* document = Current();
    return document ? document->Number() : 0;
}

int16_t FX_SetCurERegionMac(const EREGION* region, uint32_t /*version*/)
{
    Document* document = Current();
    if (!region || !document) return 0;
    return document->SetSelection(*region) ? 1 : 0;
}

int16_t FX_SlotToInst(uint16_t slot, uint16_t instList, uint32_t /*version*/)
{
    Document* document = Current();
    if (!document || instList != 0) return 0;
    return document->StaffAtSlot(slot);
}

int16_t FX_InstToSlot(uint16_t staff, uint16_t instList, uint32_t /*version*/)
{
    Document* document = Current();
    if (!document || instList != 0 || staff > 0x7FFF) return 0;
    return static_cast<int16_t>(document->SlotOfStaff(static_cast<int16_t>(staff)));
}

int16_t FX_GetMaxLayers(uint32_t /*version*/)
{
    return kLayerCount;
}

int16_t FX_GetShowLayer(int16_t layer, uint32_t /*version*/)
{
    Document* document = Current();
    if (layer < 0 || layer >= kLayerCount) return 0;
    return !document || document->IsLayerShown(layer) ? 1 : 0;
}

EXTGF2005a* FX_LoadTGF(uint16_t instList, uint16_t slot, uint16_t measure, uint16_t layer, uint16_t /*loadOption*/,
                       uint32_t /*version*/)
{
    Document* document = Current();
    if (!document || instList != 0 || layer >= kLayerCount || measure > 0x7FFF) return nullptr;
    const DocumentState& state = document->State();
    const int16_t staff = state.StaffAtSlot(slot);
    if (staff == 0 || !state.FindMeasure(static_cast<int16_t>(measure))) return nullptr;

    FrameBox* box = HostState().AddFrame();
    box->document = document->Number();
    if (const Layer* entries = state.FindLayer(staff, static_cast<int16_t>(measure), layer))
        box->storage.assign(entries->begin(), entries->end());
    const StaffData* staffData = state.FindStaff(staff);
    for (EXENTRY& entry : box->storage)
        entry.clef = static_cast<uint16_t>(DocumentState::ClefOf(staffData, static_cast<int16_t>(measure), entry.position));
    box->frame.instList = instList;
    box->frame.slot = slot;
    box->frame.measure = measure;
    box->frame.layer = layer;
    box->frame.locked = state.lockedLayers.count(LayerKey(staff, static_cast<int16_t>(measure), layer)) ? 1 : 0;
    box->frame.hostPrivate = box;
    box->Sync();
    return &box->frame;
}

int16_t FX_SaveTGF(EXTGF2005a* frame, uint32_t /*version*/)
{
    FrameBox* box = CheckedFrame(frame);
    if (!box || frame->locked != 0 || frame->instList != 0 || frame->layer >= kLayerCount) return 0;
    Document* document = Engine::Instance().FindDocument(box->document);
    if (!document) return 0;
    DocumentState& state = document->State();
    const int16_t staff = state.StaffAtSlot(frame->slot);
    if (staff == 0 || state.lockedLayers.count(LayerKey(staff, static_cast<int16_t>(frame->measure), frame->layer)))
        return 0;
    // A working copy is stored, so that a refused store leaves the caller's
    // records as they were. Its buffer is kept between calls (taken out
    // meanwhile, in case storing calls back in).
    Layer entries = std::move(HostState().saveScratch);
    entries.assign(box->storage.begin(), box->storage.end());
    const bool stored = state.StoreLayer(staff, static_cast<int16_t>(frame->measure), frame->layer, &entries);
    // The caller's records show the numbers, positions and clefs now stored,
    // in place: the caller's pointers into them stay valid.
    if (stored) box->storage.assign(entries.begin(), entries.end());
    HostState().saveScratch = std::move(entries);
    if (!stored) return 0;
    box->Sync();
    NoteDirectChange(state);
    return 1;
}

void FX_FreeTGF(EXTGF2005a* frame, uint32_t /*version*/)
{
    if (frame) HostState().RemoveFrame(frame);
}

int16_t FX_InsertEXENTRY(EXTGF2005a* frame, int16_t index, int16_t count, uint32_t /*version*/)
{
    FrameBox* box = CheckedFrame(frame);
    if (!box || index < 0 || count < 1 || index > frame->numEntries || frame->numEntries + count > 0x7FFF) return 0;
    box->storage.insert(box->storage.begin() + index, static_cast<size_t>(count), EXENTRY{});
    box->Sync();
    return 1;
}

int16_t FX_DeleteEXENTRY(EXTGF2005a* frame, int16_t index, int16_t count, uint32_t /*version*/)
{
    FrameBox* box = CheckedFrame(frame);
    if (!box || frame->locked != 0 || index < 0 || count < 1 || index + count > frame->numEntries) return 0;
    box->storage.erase(box->storage.begin() + index, box->storage.begin() + index + count);
    box->Sync();
    return 1;
}

int32_t FX_GetTGFDuration(EXTGF2005a* frame, uint32_t /*version*/)
{
    FrameBox* box = CheckedFrame(frame);
    if (!box) return 0;
    int32_t total = 0;
    for (const EXENTRY& entry : box->storage)
        if (!(entry.flags & EXENTRY_GRACE) && entry.duration > 0) total += entry.duration;
    return total;
}

int32_t FX_GetMeasureDuration(int16_t staff, int16_t measure, uint32_t /*version*/)
{
    Document* document = Current();
    return document ? document->State().MeasureDuration(staff, measure) : 0;
}

int16_t FX_NoteToMidi(const EXNOTE* note, int16_t keySig, uint32_t /*version*/)
{
    if (!note) return 0;
    return static_cast<int16_t>(NoteMidiKey(static_cast<uint16_t>(keySig), note->displacement, note->raiselower));
}

int16_t FX_MidiNoteToString(int16_t midiKey, char* buffer, int16_t bufferSize, int16_t useSharps,
                            uint32_t /*version*/)
{
    if (!buffer || bufferSize <= 0) return 0;
    Document* document = Current();
    const int offset = document ? document->OctaveOffset() : 0;
    const std::string name = MidiKeyName(midiKey, useSharps != 0, offset);
    if (name.size() + 1 > static_cast<size_t>(bufferSize)) return 0;
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    return 1;
}

}  // extern "C"
