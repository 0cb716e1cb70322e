// A collection of other records that exist once per cmper (for example all
// staves or all measures).
#pragma once

#include "tonaroframework/data/fccollectiondata.h"
#include "tonaroframework/data/fcnoinciother.h"

class __FCCollectionNoInciOther : public __FCCollectionData {
public:
    // Virtual operation appended after SaveAll: FindItemNo.
    const char* ClassName() const override { return "__FCCollectionNoInciOther"; }

    __FCNoInciOther* CreateElement() override = 0;

    // The element with that cmper, or null.
    virtual __FCNoInciOther* FindItemNo(uint16_t cmper);

    __FCNoInciOther* GetItemAt(int index) const;
};
