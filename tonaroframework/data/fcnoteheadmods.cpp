#include "tonaroframework/data/fcnoteheadmods.h"

FCNoteheadMod* FCNoteheadMods::GetItemAt(int index) const
{
    return dynamic_cast<FCNoteheadMod*>(__FCCollection::GetItemAt(index));
}

FCNoteheadMod* FCNoteheadMods::FindNoteID(uint16_t noteID) const
{
    for (int i = 0; i < GetCount(); ++i) {
        FCNoteheadMod* mod = GetItemAt(i);
        if (mod && mod->GetNoteID() == noteID) return mod;
    }
    return nullptr;
}
