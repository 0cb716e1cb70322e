#include "tonaroframework/music/fcnoteentrycollection.h"

#include <cstring>

#include "tonaroframework/music/fcnoteentry.h"
#include "tonaropdk/hostapi/fxfunctions.h"

__FCNoteEntryCollection::~__FCNoteEntryCollection() = default;

FCNoteEntry* __FCNoteEntryCollection::GetItemAt(int index) const
{
    return static_cast<FCNoteEntry*>(__FCCollection::GetItemAt(index));
}

void __FCNoteEntryCollection::_AppendFrameEntries(EXTGF2005a* frame, FCNoteEntry** lastInChain)
{
    if (frame == nullptr || frame->entries == nullptr || frame->numEntries <= 0) return;
    FCNoteEntry* previous = lastInChain != nullptr ? *lastInChain : nullptr;
    const int16_t staff = FX_SlotToInst(frame->slot, frame->instList, FXT_VERSION_2012);
    for (int i = 0; i < frame->numEntries; ++i) {
        auto* entry = new FCNoteEntry(&frame->entries[i], frame, previous, staff);
        if (previous != nullptr) previous->_SetNext(entry);
        Add(entry);
        previous = entry;
    }
    if (lastInChain != nullptr) *lastInChain = previous;
}

bool __FCNoteEntryCollection::_CopyEntries(EXTGF2005a* from, EXTGF2005a* to)
{
    // Copying a frame onto itself would first delete what is to be copied.
    if (from == nullptr || to == nullptr || from == to) return false;
    const int count = from->numEntries > 0 && from->entries != nullptr ? from->numEntries : 0;
    if (to->numEntries > 0 && FX_DeleteEXENTRY(to, 0, to->numEntries, FXT_VERSION_2012) == 0) return false;
    if (count > 0 && FX_InsertEXENTRY(to, 0, static_cast<int16_t>(count), FXT_VERSION_2012) == 0) return false;
    if (to->numEntries != count || (count > 0 && to->entries == nullptr)) return false;
    for (int i = 0; i < count; ++i) {
        EXENTRY* target = &to->entries[i];
        const uint32_t entnum = target->entnum;
        std::memcpy(target, &from->entries[i], sizeof(EXENTRY));
        target->entnum = entnum;
        target->flags &= ~EXENTRY_DETAILMASK;
        target->flags2 &= static_cast<uint16_t>(~EXENTRY2_DETAILCOPY);
    }
    return true;
}
