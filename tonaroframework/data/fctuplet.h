// A tuplet starting at a note entry ('eDTU', 12 bytes): symbolic number
// notes of symbolic duration in the time of reference number notes of
// reference duration. Entries where tuplets start carry flag 0x00000400.
#pragma once

#include <cstdint>

#include "tonaroframework/data/fcentrydetail.h"
#include "tonaropdk/hostapi/entrydetails.h"

class FCTuplet : public __FCEntryDetail {
public:
    const char* ClassName() const override { return "FCTuplet"; }
    void* Allocate() override { return &_data; }
    __FCBaseData* CreateObject() const override { return new FCTuplet(); }
    EDTAG Tag() const override;
    uint32_t DataSizeLoad() const override { return sizeof _data; }
    uint32_t DataSizeSave() const override { return sizeof _data; }
    void _SetEntryFlag(FCNoteEntry* entry, bool state) override;

    int16_t GetSymbolicNumber() const { return _data.symbolicNumber; }
    void SetSymbolicNumber(int16_t value) { _data.symbolicNumber = value; }
    int16_t GetSymbolicDuration() const { return _data.symbolicDuration; }
    void SetSymbolicDuration(int16_t value) { _data.symbolicDuration = value; }
    int16_t GetReferenceNumber() const { return _data.referenceNumber; }
    void SetReferenceNumber(int16_t value) { _data.referenceNumber = value; }
    int16_t GetReferenceDuration() const { return _data.referenceDuration; }
    void SetReferenceDuration(int16_t value) { _data.referenceDuration = value; }

private:
    EDTTuplet _data{};
};
