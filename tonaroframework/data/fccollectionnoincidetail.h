// A collection of details addressed by two numbers.
#pragma once

#include "tonaroframework/data/fccollectiondata.h"
#include "tonaroframework/data/fcnoincidetail.h"

class __FCCollectionNoInciDetail : public __FCCollectionData {
public:
    // Virtual operation appended after SaveAll: LoadAllForItem.
    const char* ClassName() const override { return "__FCCollectionNoInciDetail"; }

    __FCNoInciDetail* CreateElement() override = 0;

    // Replaces the elements with clones of (cmper1, cmper2), (cmper1,
    // cmper2 + 1), ... until one does not load. Answers the count.
    virtual int LoadAllForItem(uint16_t cmper1, uint16_t cmper2);

    __FCNoInciDetail* GetItemAt(int index) const;
};
