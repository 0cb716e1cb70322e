// Other records of which one cmper holds several, numbered by inci from 0.
// There is no walk over all of them (LoadFirst is always false); collections
// load the incis of one cmper (__FCCollectionInciOther).
#pragma once

#include "tonaroframework/data/fcother.h"

class __FCInciOther : public __FCOther {
public:
    // Virtual operations appended after LoadNext: Load, SaveNew.
    const char* ClassName() const override { return "__FCInciOther"; }

    bool LoadFirst() override { return false; }

    // Loads the record (cmper, inci).
    virtual bool Load(uint16_t cmper, int16_t inci);
    // Creates a new record under cmper; the host assigns the inci, which
    // becomes this record's address. false when the record was never loaded
    // (no structure to store) or the host refuses.
    virtual bool SaveNew(uint16_t cmper);
};
