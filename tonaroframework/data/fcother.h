// "Other" records: host records addressed by a comparison number (cmper,
// word 0) and an increment number (inci, word 1, signed).
#pragma once

#include "tonaroframework/data/fcbasedata.h"

class __FCOther : public __FCBaseData {
public:
    const char* ClassName() const override { return "__FCOther"; }

    // The address of the record (as last set by a load, walk or create).
    uint16_t GetItemCmper() const { return _GetAddressWord(0); }
    int16_t GetItemInci() const { return static_cast<int16_t>(_GetAddressWord(1)); }

protected:
    void _SetCmperInci(uint16_t cmper, int16_t inci)
    {
        _SetAddressWord(0, cmper);
        _SetAddressWord(1, static_cast<uint16_t>(inci));
    }
};
