#include "tonaroframework/data/fccollectioninciother.h"

#include <memory>

#include "tonaropdk/hostapi/fxfunctions.h"

int __FCCollectionInciOther::_CountIncis(__FCInciOther* scratch, uint16_t cmper)
{
    int count = 0;
    while (count <= INT16_MAX && scratch->Load(cmper, static_cast<int16_t>(count))) ++count;
    return count;
}

bool __FCCollectionInciOther::DeleteDataForItem(uint16_t cmper)
{
    std::unique_ptr<__FCInciOther> scratch(CreateElement());
    if (!scratch) return false;
    const int count = _CountIncis(scratch.get(), cmper);
    bool ok = true;
    for (int inci = count - 1; inci >= 0; --inci) {
        if (!scratch->Load(cmper, static_cast<int16_t>(inci)) || !scratch->DeleteData()) ok = false;
    }
    return ok;
}

int __FCCollectionInciOther::LoadAllForItem(uint16_t cmper)
{
    ClearAll();
    std::unique_ptr<__FCInciOther> working(CreateElement());
    if (!working) return 0;
    working->SetCollectionContext(GetCollectionContext());
    for (int inci = 0; inci <= INT16_MAX && working->Load(cmper, static_cast<int16_t>(inci)); ++inci)
        _AppendClone(working.get());
    return GetCount();
}

bool __FCCollectionInciOther::SaveAllForItem(uint16_t cmper)
{
    if (!DeleteDataForItem(cmper)) return false;
    for (int i = 0; i < GetCount(); ++i) {
        __FCInciOther* record = GetItemAt(i);
        if (!record) continue;
        record->SetCollectionContext(GetCollectionContext());
        if (!record->SaveNew(cmper)) return false;
    }
    return true;
}

__FCInciOther* __FCCollectionInciOther::FindItemNo(uint16_t cmper, int16_t inci)
{
    for (int i = 0; i < GetCount(); ++i) {
        __FCInciOther* record = GetItemAt(i);
        if (record && record->GetItemCmper() == cmper && record->GetItemInci() == inci) return record;
    }
    return nullptr;
}

bool __FCCollectionInciOther::SaveDataAs(uint16_t from, uint16_t to)
{
    std::unique_ptr<__FCInciOther> scratch(CreateElement());
    if (!scratch) return false;
    const int fromCount = _CountIncis(scratch.get(), from);
    if (fromCount == 0) return false;
    if (from == to) return true;
    const int toCount = _CountIncis(scratch.get(), to);
    for (int inci = 0; inci < fromCount; ++inci) {
        if (!scratch->Load(from, static_cast<int16_t>(inci))) return false;
        EDataAddress address{{to, static_cast<uint16_t>(inci), 0, 0}};
        if (FX_SaveEData(scratch->Tag(), &address, scratch->_GetDataBlock(), scratch->DataSizeSave(),
                         scratch->VeltraVersion()) == 0)
            return false;
    }
    for (int inci = toCount - 1; inci >= fromCount; --inci) {
        EDataAddress address{{to, static_cast<uint16_t>(inci), 0, 0}};
        if (FX_DeleteEData(scratch->Tag(), &address, scratch->VeltraVersion()) == 0) return false;
    }
    return true;
}

__FCInciOther* __FCCollectionInciOther::GetItemAt(int index) const
{
    return dynamic_cast<__FCInciOther*>(__FCCollection::GetItemAt(index));
}
