// Global host records numbered from 0 (one address word). The walk goes
// through the numbers 0, 1, 2, ... until one does not load.
#pragma once

#include "tonaroframework/data/fcbasedata.h"

class __FCGlobals : public __FCBaseData {
public:
    // Virtual operation appended after LoadNext: Load.
    const char* ClassName() const override { return "__FCGlobals"; }

    bool LoadFirst() override { return Load(0); }
    // Loads number + 1; on failure the previous number is put back and the
    // record is left not loaded.
    bool LoadNext() override;

    virtual bool Load(int16_t number);

    int16_t GetItemNo() const { return static_cast<int16_t>(_GetAddressWord(0)); }
};
