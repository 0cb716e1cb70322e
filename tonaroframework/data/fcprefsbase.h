// Document preference records, addressed by one number (cmper, word 0).
//
// Also the helpers for preferences that the host keeps in 12-byte "other"
// records: 'otFI' at (cmper, 0), and 'ot' plus two characters at cmper
// 65534 and a given inci.
#pragma once

#include "tonaroframework/data/fcbasedata.h"

class __FCPrefsBase : public __FCBaseData {
public:
    // Virtual operation appended after LoadNext: Load.
    const char* ClassName() const override { return "__FCPrefsBase"; }

    bool LoadFirst() override { return Load(1); }

    // Loads the preference record numbered cmper.
    virtual bool Load(int16_t cmper);

    int16_t GetItemNo() const { return static_cast<int16_t>(_GetAddressWord(0)); }

protected:
    // Read or write the 12-byte other record 'otFI' at (cmper, 0) into or
    // from buffer (six words), version 0x12000000. The record's own data
    // block and loaded size are not touched. false for a null buffer or when
    // the host refuses.
    static bool _LoadPrefsCmperFI(int16_t* buffer, int16_t cmper);
    static bool _SavePrefsCmperFI(const int16_t* buffer, int16_t cmper);
    // The same for the other record 'o' 't' c1 c2 at (65534, inci).
    static bool _LoadPrefsInci(char c1, char c2, int16_t* buffer, int16_t inci);
    static bool _SavePrefsInci(char c1, char c2, const int16_t* buffer, int16_t inci);
};
