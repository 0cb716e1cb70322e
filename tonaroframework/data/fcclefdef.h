// A clef definition ('otCL', cmper = clef index, inci 0; 12 bytes).
#pragma once

#include <cstdint>

#include "tonaroframework/data/fcnoinciother.h"
#include "tonaropdk/hostapi/clefdef.h"

class FCClefDef : public __FCNoInciOther {
public:
    const char* ClassName() const override { return "FCClefDef"; }
    void* Allocate() override { return &_def; }
    __FCBaseData* CreateObject() const override { return new FCClefDef(); }
    EDTAG Tag() const override;
    uint32_t DataSizeLoad() const override { return sizeof _def; }
    // Clef indexes start at 0.
    bool LoadFirst() override { return _LoadFrom(0); }

    // The staff position of middle C in steps (0 = top line, -8 = bottom line
    // of a five-line staff).
    int16_t GetMiddleCPosition() const { return _def.middleCPos; }
    // Octaves that the clef sign marks (negative: 8vb).
    int16_t GetOctaveShift() const { return _def.octaveShift; }

private:
    EDTClefDef _def{};
};
