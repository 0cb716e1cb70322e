#include "tonaroframework/data/fccollectioncelldetail.h"

#include <memory>

int __FCCollectionCellDetail::LoadAllInCell(FCCell* cell)
{
    ClearAll();
    if (!cell) return 0;
    std::unique_ptr<__FCCellDetail> working(CreateElement());
    if (!working) return 0;
    working->SetCollectionContext(GetCollectionContext());
    working->ConnectCell(cell);
    if (working->LoadFirst()) {
        do {
            if (auto* clone = dynamic_cast<__FCCellDetail*>(_AppendClone(working.get()))) clone->ConnectCell(cell);
        } while (working->LoadNext());
    }
    return GetCount();
}

__FCCellDetail* __FCCollectionCellDetail::GetItemAt(int index) const
{
    return dynamic_cast<__FCCellDetail*>(__FCCollection::GetItemAt(index));
}
