#include "tonaroframework/data/fccollectionnoinciother.h"

__FCNoInciOther* __FCCollectionNoInciOther::FindItemNo(uint16_t cmper)
{
    for (int i = 0; i < GetCount(); ++i) {
        __FCNoInciOther* record = GetItemAt(i);
        if (record && record->GetItemNo() == cmper) return record;
    }
    return nullptr;
}

__FCNoInciOther* __FCCollectionNoInciOther::GetItemAt(int index) const
{
    return dynamic_cast<__FCNoInciOther*>(__FCCollection::GetItemAt(index));
}
