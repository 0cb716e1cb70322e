#include "tonaroframework/data/fcperformancemods.h"

FCPerformanceMod* FCPerformanceMods::GetItemAt(int index) const
{
    return dynamic_cast<FCPerformanceMod*>(__FCCollection::GetItemAt(index));
}

FCPerformanceMod* FCPerformanceMods::FindNoteID(uint16_t noteID) const
{
    for (int i = 0; i < GetCount(); ++i) {
        FCPerformanceMod* mod = GetItemAt(i);
        if (mod && mod->GetNoteID() == noteID) return mod;
    }
    return nullptr;
}
