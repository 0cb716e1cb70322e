// A collection that loads host records of one kind as independent objects.
//
// The collection owns its elements. Its context value is given to every
// record it loads or saves.
#pragma once

#include <cstdint>

#include "tonaroframework/base/fccollection.h"

class __FCBaseData;

class __FCCollectionData : public __FCCollection {
public:
    // Virtual operations appended after ForEachIndex, in this order:
    // CreateElement, LoadAll, SaveAll.
    const char* ClassName() const override { return "__FCCollectionData"; }

    // A new, empty record of the element class, owned by the caller.
    virtual __FCBaseData* CreateElement() = 0;
    // Replaces the elements with clones of every record of the element's walk
    // (LoadFirst, then LoadNext until it fails). Answers the count loaded.
    virtual int LoadAll();
    // Saves every element in order (giving it the context first); false at
    // the first failure. An empty collection is true.
    virtual bool SaveAll();

    int32_t GetCollectionContext() const { return _context; }
    void SetCollectionContext(int32_t context) { _context = context; }

    // The element at index when it is a record; null outside.
    __FCBaseData* _GetDataItemAt(int index) const;

protected:
    // Appends a clone (owned by the collection) of a loaded record, carrying
    // the collection's context; answers the clone.
    __FCBaseData* _AppendClone(const __FCBaseData* record);

private:
    int32_t _context = 0;
};
