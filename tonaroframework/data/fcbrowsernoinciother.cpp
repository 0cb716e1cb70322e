#include "tonaroframework/data/fcbrowsernoinciother.h"

#include "tonaroframework/base/fciteratorhandler.h"

__FCNoInciOther* __FCBrowserNoInciOther::LoadAnElement(uint16_t cmper)
{
    __FCNoInciOther* element = CreateElement();
    if (element && element->Load(cmper)) return element;
    delete element;
    return nullptr;
}

int __FCBrowserNoInciOther::ToEndFrom(uint16_t cmper, FCIteratorHandler* handler)
{
    if (!handler || !handler->PreProcess()) return 0;
    __FCNoInciOther* element = CreateElement();
    const bool loaded = element && element->Load(cmper);
    return _Walk(element, loaded, handler, false, nullptr);
}

int __FCBrowserNoInciOther::GetCount()
{
    __FCNoInciOther* element = CreateElement();
    if (!element) return 0;
    int count = 0;
    if (element->LoadFirst()) {
        do {
            ++count;
        } while (element->LoadNext());
    }
    delete element;
    return count;
}
