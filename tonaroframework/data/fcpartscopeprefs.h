// The part-scope preferences: the 12-byte other record 'otPG' at cmper
// 65534, inci 0 (version 0x12000000). Its first word tells whether the
// document shows concert pitch (0) or written pitch for transposing staves.
#pragma once

#include <cstdint>

#include "tonaroframework/data/fcprefsbase.h"
#include "tonaropdk/hostapi/prefsrecords.h"

class FCPartScopePrefs : public __FCPrefsBase {
public:
    const char* ClassName() const override { return "FCPartScopePrefs"; }
    void* Allocate() override { return &_prefs; }
    __FCBaseData* CreateObject() const override { return new FCPartScopePrefs(); }
    EDTAG Tag() const override;
    uint32_t DataSizeLoad() const override { return sizeof _prefs; }
    void CloneMemoryFrom(const __FCBaseData* source) override;
    bool LoadNext() override { return false; }

    // Loads the document's one part-scope record (the number is ignored:
    // there is only the record at 65534, inci 0). The concert-pitch flag
    // becomes true exactly when it loads and its first word is 0; a record
    // that does not load leaves the flag false (written pitch in force).
    bool Load(int16_t cmper) override;

    // Whether the document shows concert pitch, as of the last Load.
    bool GetDisplayConcertPitch() const { return _concertPitch; }

private:
    EDTPartScopePrefs _prefs{};
    bool _concertPitch = false;
};
