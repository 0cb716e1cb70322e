// Details addressed by two comparison numbers (words 0 and 1; inci, word 2,
// always 0). There is no walk start without the first number: LoadFirst is
// false; collections load all records of one cmper1
// (__FCCollectionNoInciDetail).
#pragma once

#include "tonaroframework/data/fcdetail.h"

class __FCNoInciDetail : public __FCDetail {
public:
    // Virtual operations appended after LoadNext: Load, SaveNew.
    const char* ClassName() const override { return "__FCNoInciDetail"; }

    bool LoadFirst() override { return false; }

    // Loads the record (cmper1, cmper2, 0).
    virtual bool Load(uint16_t cmper1, uint16_t cmper2);
    // Creates a record under cmper1; the host assigns cmper2, which becomes
    // this record's address. false when never loaded or refused.
    virtual bool SaveNew(uint16_t cmper1);

    uint16_t GetItemCmper1() const { return _GetAddressWord(0); }
    uint16_t GetItemCmper2() const { return _GetAddressWord(1); }
};
