#include "tonaroframework/data/fccollectioninciother.h"

#include <memory>
#include <vector>

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
    // A row without a structure can never be written: refuse before the
    // stored records are touched.
    for (int i = 0; i < GetCount(); ++i) {
        const __FCInciOther* record = GetItemAt(i);
        if (record && (record->GetLoadedSize() == 0 || !record->_GetDataBlock())) return false;
    }

    // The stored records and the rows' addresses, to be put back when the
    // host refuses a row.
    std::vector<std::unique_ptr<__FCInciOther>> stored;
    std::unique_ptr<__FCInciOther> scratch(CreateElement());
    if (!scratch) return false;
    for (int inci = 0; inci <= INT16_MAX && scratch->Load(cmper, static_cast<int16_t>(inci)); ++inci) {
        std::unique_ptr<__FCBaseData> clone(scratch->CreateClone());
        if (!dynamic_cast<__FCInciOther*>(clone.get())) return false;
        stored.emplace_back(static_cast<__FCInciOther*>(clone.release()));
    }
    std::vector<EDataAddress> addresses;
    for (int i = 0; i < GetCount(); ++i) {
        const __FCInciOther* record = GetItemAt(i);
        addresses.push_back(record ? record->_GetAddress() : EDataAddress{});
    }

    bool written = DeleteDataForItem(cmper);
    for (int i = 0; written && i < GetCount(); ++i) {
        __FCInciOther* record = GetItemAt(i);
        if (!record) continue;
        record->SetCollectionContext(GetCollectionContext());
        written = record->SaveNew(cmper);
    }
    if (written) return true;

    // Undo: drop what was written and store the old records again, in order
    // (the host gives them back their incis 0, 1, ...).
    DeleteDataForItem(cmper);
    for (const std::unique_ptr<__FCInciOther>& old : stored) old->SaveNew(cmper);
    for (int i = 0; i < GetCount(); ++i)
        if (__FCInciOther* record = GetItemAt(i)) record->_SetAddress(addresses[static_cast<size_t>(i)]);
    return false;
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
