#include "tonaropdk/bridge/cleantgf.h"

#include <algorithm>
#include <cstring>

bool CanAddNoteRecordToRests = true;

namespace {

bool IdUsedByAnotherSlot(const EXENTRY& entry, int slotCount, int slot)
{
    for (int other = 0; other < slotCount; ++other) {
        if (other != slot && entry.notes[other].noteID == entry.notes[slot].noteID) return true;
    }
    return false;
}

bool IdInUse(const EXENTRY& entry, int slotCount, uint16_t id)
{
    for (int slot = 0; slot < slotCount; ++slot) {
        if (entry.notes[slot].noteID == id) return true;
    }
    return false;
}

// Gives every note slot in use an ID that is non-zero and unique within the
// entry, and mirrors the ID's low five bits in the slot's flags. A new ID is
// one more than the largest seen; past the largest 16-bit ID it is the
// smallest one that no slot of the entry holds (there are only twelve).
void NumberNotes(EXENTRY& entry, int slotCount)
{
    int largest = 0;
    for (int slot = 0; slot < slotCount; ++slot) largest = std::max<int>(largest, entry.notes[slot].noteID);

    for (int slot = 0; slot < slotCount; ++slot) {
        EXNOTE& note = entry.notes[slot];
        if (note.noteID == 0 || IdUsedByAnotherSlot(entry, slotCount, slot)) {
            if (largest < 0xFFFF) {
                ++largest;
                note.noteID = static_cast<uint16_t>(largest);
            } else {
                uint16_t id = 1;
                while (IdInUse(entry, slotCount, id)) ++id;
                note.noteID = id;
            }
        }
    }
    for (int slot = 0; slot < slotCount; ++slot) {
        EXNOTE& note = entry.notes[slot];
        note.flags = (note.flags & ~EXNOTE_IDCOPY_MASK) |
                     ((static_cast<uint32_t>(note.noteID) << EXNOTE_IDCOPY_SHIFT) & EXNOTE_IDCOPY_MASK);
    }
}

void CleanEntry(EXENTRY& entry)
{
    const int16_t noteCount = entry.numNotes;
    // Counts beyond the record's twelve slots (or below none) come from a
    // damaged record; touch only slots that exist.
    const int slotsInUse = std::clamp<int>(noteCount, 0, EXENTRY_MAXNOTES);

    if (slotsInUse > 0) NumberNotes(entry, slotsInUse);

    // The slots past those in use lie one after another: cleared at once.
    std::memset(&entry.notes[slotsInUse], 0, sizeof(EXNOTE) * static_cast<size_t>(EXENTRY_MAXNOTES - slotsInUse));

    if (noteCount == 0 && CanAddNoteRecordToRests) {
        entry.numNotes = 1;
        entry.notes[0].flags = EXNOTE_INUSE;
        entry.flags |= EXENTRY_RESTNOTESLOT;
    }
}

}  // namespace

void CleanTGF(EXTGF2005a* frame)
{
    if (frame == nullptr || frame->entries == nullptr) return;
    for (int index = 0; index < frame->numEntries; ++index) CleanEntry(frame->entries[index]);
}
