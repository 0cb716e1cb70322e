// The document's general preferences ('pfgp', record 1, 66 bytes, version
// 0x0D000000).
#pragma once

#include <cstdint>

#include "tonaroframework/data/fcprefsbase.h"
#include "tonaropdk/hostapi/prefsrecords.h"

class FCGeneralPrefs : public __FCPrefsBase {
public:
    const char* ClassName() const override { return "FCGeneralPrefs"; }
    void* Allocate() override { return &_prefs; }
    __FCBaseData* CreateObject() const override { return new FCGeneralPrefs(); }
    EDTAG Tag() const override;
    uint32_t VeltraVersion() const override;
    uint32_t DataSizeLoad() const override { return sizeof _prefs; }

    // The document's default measurement unit (word at byte 30): 1 EVPUs,
    // 2 inches, 3 centimetres, 4 points, 5 picas, 6 spaces, 100 millimetres.
    int16_t GetDefaultMeasurementUnit() const { return _prefs.defaultUnit; }
    void SetDefaultMeasurementUnit(int16_t unit) { _prefs.defaultUnit = unit; }
    // The octave-numbering offset as stored (word at byte 40, octaves x 12).
    int16_t GetRawOctaveOffset() const { return _prefs.octaveOffset; }
    void SetRawOctaveOffset(int16_t value) { _prefs.octaveOffset = value; }
    // The octave-numbering offset in octaves: the stored word / 12,
    // truncated toward zero.
    int CalcOctaveNumberingOffset() const { return _prefs.octaveOffset / 12; }

private:
    EDTGeneralPrefs _prefs{};
};
