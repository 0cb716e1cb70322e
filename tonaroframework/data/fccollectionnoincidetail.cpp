#include "tonaroframework/data/fccollectionnoincidetail.h"

#include <memory>

int __FCCollectionNoInciDetail::LoadAllForItem(uint16_t cmper1, uint16_t cmper2)
{
    ClearAll();
    std::unique_ptr<__FCNoInciDetail> working(CreateElement());
    if (!working) return 0;
    working->SetCollectionContext(GetCollectionContext());
    for (uint32_t second = cmper2; second <= 0xFFFFu && working->Load(cmper1, static_cast<uint16_t>(second));
         ++second)
        _AppendClone(working.get());
    return GetCount();
}

__FCNoInciDetail* __FCCollectionNoInciDetail::GetItemAt(int index) const
{
    return dynamic_cast<__FCNoInciDetail*>(__FCCollection::GetItemAt(index));
}
