// A browser over other records that exist once per cmper.
#pragma once

#include "tonaroframework/data/fcbrowserbasedata.h"
#include "tonaroframework/data/fcnoinciother.h"

class __FCBrowserNoInciOther : public __FCBrowserBaseData {
public:
    // Virtual operations appended after CreateElement, in this order:
    // LoadAnElement, ToEndFrom, GetCount.
    const char* ClassName() const override { return "__FCBrowserNoInciOther"; }

    __FCNoInciOther* CreateElement() override = 0;

    // The record of that cmper, loaded, owned by the caller; null when it
    // does not load.
    virtual __FCNoInciOther* LoadAnElement(uint16_t cmper);
    // As ForEach, starting at the record of that cmper and walking to the
    // last. 0 when that record does not load.
    virtual int ToEndFrom(uint16_t cmper, FCIteratorHandler* handler);
    // The number of records walked from cmper 1.
    virtual int GetCount();
};
