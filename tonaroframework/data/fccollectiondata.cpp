#include "tonaroframework/data/fccollectiondata.h"

#include <memory>

#include "tonaroframework/data/fcbasedata.h"

int __FCCollectionData::LoadAll()
{
    ClearAll();
    std::unique_ptr<__FCBaseData> working(CreateElement());
    if (!working) return 0;
    working->SetCollectionContext(_context);
    if (working->LoadFirst()) {
        do {
            _AppendClone(working.get());
        } while (working->LoadNext());
    }
    return GetCount();
}

bool __FCCollectionData::SaveAll()
{
    for (int i = 0; i < GetCount(); ++i) {
        __FCBaseData* record = _GetDataItemAt(i);
        if (!record) continue;
        record->SetCollectionContext(_context);
        if (!record->Save()) return false;
    }
    return true;
}

__FCBaseData* __FCCollectionData::_GetDataItemAt(int index) const
{
    return dynamic_cast<__FCBaseData*>(GetItemAt(index));
}

__FCBaseData* __FCCollectionData::_AppendClone(const __FCBaseData* record)
{
    if (!record) return nullptr;
    __FCBaseData* clone = record->CreateObject();
    if (!clone) return nullptr;
    clone->_SetAddress(record->_GetAddress());
    clone->SetCollectionContext(_context);
    clone->CloneMemoryFrom(record);
    Add(clone);
    return clone;
}
