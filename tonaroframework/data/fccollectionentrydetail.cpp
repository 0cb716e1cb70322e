#include "tonaroframework/data/fccollectionentrydetail.h"

#include <memory>

#include "tonaroframework/music/fcnoteentry.h"

int __FCCollectionEntryDetail::LoadAll()
{
    ClearAll();
    if (!_entry || _entry->GetEntryNumber() == 0) return 0;
    std::unique_ptr<__FCEntryDetail> working(CreateElement());
    if (!working) return 0;
    working->SetCollectionContext(GetCollectionContext());
    working->SetNoteEntry(_entry);
    if (working->LoadFirst()) {
        do {
            if (auto* clone = dynamic_cast<__FCEntryDetail*>(_AppendClone(working.get())))
                clone->SetNoteEntry(_entry);
        } while (working->LoadNext());
    }
    return GetCount();
}

bool __FCCollectionEntryDetail::SaveNew()
{
    if (!_entry) return false;
    for (int i = 0; i < GetCount(); ++i) {
        __FCEntryDetail* record = GetItemAt(i);
        if (!record) continue;
        record->SetCollectionContext(GetCollectionContext());
        record->SetNoteEntry(_entry);
        if (!record->SaveNew()) return false;
    }
    return true;
}

int __FCCollectionEntryDetail::LoadAllForENTNUM(uint32_t entnum)
{
    ClearAll();
    if (entnum == 0) return 0;
    std::unique_ptr<__FCEntryDetail> working(CreateElement());
    if (!working) return 0;
    working->SetCollectionContext(GetCollectionContext());
    FCNoteEntry* connected = _entry && _entry->GetEntryNumber() == entnum ? _entry : nullptr;
    if (working->Load(entnum, 0)) {
        do {
            auto* clone = dynamic_cast<__FCEntryDetail*>(_AppendClone(working.get()));
            if (clone && connected) clone->SetNoteEntry(connected);
        } while (working->LoadNext());
    }
    return GetCount();
}

bool __FCCollectionEntryDetail::DestroyItemAt(int index)
{
    __FCEntryDetail* victim = GetItemAt(index);
    if (!victim) return false;
    const uint32_t entnum = victim->GetEntryNumber();
    const int16_t inci = victim->GetItemInci();
    if (!victim->DeleteData()) return false;

    // The records above the deleted one move down one inci. A host that
    // leaves a gap gets them moved here, so that document and collection
    // agree either way.
    std::unique_ptr<__FCEntryDetail> scratch(CreateElement());
    if (scratch && inci >= 0 && inci < INT16_MAX && !scratch->Load(entnum, inci)) {
        for (int above = inci + 1; above <= INT16_MAX && scratch->Load(entnum, static_cast<int16_t>(above));
             ++above) {
            if (!scratch->SaveAs(entnum, static_cast<int16_t>(above - 1))) break;
            scratch->_SetItemInci(static_cast<int16_t>(above));
            if (!scratch->DeleteData()) break;
        }
    }

    for (int i = 0; i < GetCount(); ++i) {
        __FCEntryDetail* record = GetItemAt(i);
        if (record && record != victim && record->GetEntryNumber() == entnum && record->GetItemInci() > inci)
            record->_SetItemInci(static_cast<int16_t>(record->GetItemInci() - 1));
    }
    ClearItemAt(index);
    return GetCount() > 0;
}

__FCEntryDetail* __FCCollectionEntryDetail::GetItemAt(int index) const
{
    return dynamic_cast<__FCEntryDetail*>(__FCCollection::GetItemAt(index));
}
