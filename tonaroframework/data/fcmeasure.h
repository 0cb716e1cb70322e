// A measure's record ('SOMS', cmper = measure number): width, key and time
// signature. The layout follows the running host version: 30 bytes (version
// 0x12000000) from host 0x12000000 on, 26 bytes (version 0x0A000000) below;
// both start with the same fields.
//
// GetKeySignature() answers a key object cached in and owned by the measure;
// it follows the record (every load refreshes its ID) and Save() writes its
// ID back into the record.
#pragma once

#include <cstdint>

#include "tonaroframework/data/fckeysignature.h"
#include "tonaroframework/data/fcnoinciother.h"
#include "tonaropdk/hostapi/measurespec.h"

class FCMeasure : public __FCNoInciOther {
public:
    FCMeasure();
    FCMeasure(const FCMeasure&) = delete;
    FCMeasure& operator=(const FCMeasure&) = delete;
    ~FCMeasure() override;

    const char* ClassName() const override { return "FCMeasure"; }
    void* Allocate() override;
    __FCBaseData* CreateObject() const override { return new FCMeasure(); }
    EDTAG Tag() const override;
    uint32_t VeltraVersion() const override { return _VersionToUse(); }
    uint32_t DataSizeLoad() const override;
    void CloneMemoryFrom(const __FCBaseData* source) override;
    // Writes the cached key's ID into the record first.
    bool Save() override;
    bool Reload() override;
    bool LoadNext() override;
    bool Load(uint16_t measure) override;

    // The layout version for the running host: 0x12000000 from 0x12000000
    // on, else 0x0A000000.
    uint32_t _VersionToUse() const;

    // The measure's key signature, owned by the measure (never null; C major
    // before a load).
    FCKeySignature* GetKeySignature();
    // The key word of the record as loaded.
    uint16_t GetKeySignatureID() const;
    int16_t GetBeats() const;
    int16_t GetBeatDuration() const;
    int16_t GetWidth() const;
    void SetWidth(int16_t width);

private:
    EDTMeasureSpec* _Spec() const;
    void _SyncKey();

    EDTMeasureSpec _spec2012{};
    EDTMeasureSpec _spec2010{};  // only its first 26 bytes are used
    FCKeySignature* _key = nullptr;
};
