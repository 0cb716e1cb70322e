#include "tonaroframework/data/fcbrowserbasedata.h"

#include "tonaroframework/base/fciteratorhandler.h"

int __FCBrowserBaseData::ForEach(FCIteratorHandler* handler)
{
    if (!handler || !handler->PreProcess()) return 0;
    __FCBaseData* element = CreateElement();
    const bool loaded = element && element->LoadFirst();
    return _Walk(element, loaded, handler, false, nullptr);
}

__FCBase* __FCBrowserBaseData::FindFirst(FCIteratorHandler* handler)
{
    if (!handler || !handler->PreProcess()) return nullptr;
    __FCBaseData* element = CreateElement();
    const bool loaded = element && element->LoadFirst();
    __FCBaseData* found = nullptr;
    _Walk(element, loaded, handler, true, &found);
    return found;
}

int __FCBrowserBaseData::_Walk(__FCBaseData* element, bool loaded, FCIteratorHandler* handler, bool find,
                               __FCBaseData** found)
{
    int count = 0;
    if (element && loaded && handler->PreProcessIfExist()) {
        do {
            if (find) {
                if (handler->Match(element)) {
                    if (found) *found = element;
                    element = nullptr;  // now the caller's
                    break;
                }
            } else {
                if (!handler->Iterate(element)) break;
                ++count;
            }
        } while (element->LoadNext());
        handler->PostProcessIfExist();
    }
    handler->PostProcess();
    delete element;
    return count;
}
