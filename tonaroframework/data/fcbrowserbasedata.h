// A browser over host records of one kind: one working record walks the
// records (LoadFirst, LoadNext) and is handed to the handler at each stop.
//
// The handler sees the same record object at every visit; it must not keep
// it beyond the Iterate call (it is destroyed when the walk ends).
#pragma once

#include "tonaroframework/data/fcbasedata.h"
#include "tonaroframework/data/fcbrowserbase.h"

class FCIteratorHandler;

class __FCBrowserBaseData : public __FCBrowserBase {
public:
    // Virtual operations after IsIdentical: ForEach, FindFirst,
    // CreateElement.
    const char* ClassName() const override { return "__FCBrowserBaseData"; }

    // PreProcess (false ends with 0); when a record exists:
    // PreProcessIfExist, Iterate for each record until one answers false,
    // PostProcessIfExist; PostProcess. Answers the number of records for
    // which Iterate answered true. 0 for a null handler.
    int ForEach(FCIteratorHandler* handler) override;
    // The first record that handler->Match accepts, as a new object owned by
    // the CALLER (unlike collections); null when none matches.
    __FCBase* FindFirst(FCIteratorHandler* handler) override;

    // A new, empty record of the browsed kind, owned by the caller.
    virtual __FCBaseData* CreateElement() = 0;

protected:
    // The shared walk of ForEach and FindFirst over a working record whose
    // first load has already been tried (loaded). With find set, visits call
    // Match instead of Iterate and *found receives the matching record (the
    // walk then ends and the record is not deleted). Takes ownership of
    // element. Answers the count of Iterate answers that were true.
    int _Walk(__FCBaseData* element, bool loaded, FCIteratorHandler* handler, bool find, __FCBaseData** found);
};
