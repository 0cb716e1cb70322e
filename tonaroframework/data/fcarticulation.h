// An articulation attached to a note entry ('eDAA', 12 bytes). Entries
// that have articulations carry flag 0x00200000.
#pragma once

#include <cstdint>

#include "tonaroframework/data/fcentrydetail.h"
#include "tonaropdk/hostapi/entrydetails.h"

class FCArticulation : public __FCEntryDetail {
public:
    const char* ClassName() const override { return "FCArticulation"; }
    void* Allocate() override { return &_data; }
    __FCBaseData* CreateObject() const override { return new FCArticulation(); }
    EDTAG Tag() const override;
    uint32_t DataSizeLoad() const override { return sizeof _data; }
    // The whole structure is stored, also for a record never loaded.
    uint32_t DataSizeSave() const override { return sizeof _data; }
    void _SetEntryFlag(FCNoteEntry* entry, bool state) override;

    int16_t GetID() const { return _data.definition; }
    void SetID(int16_t definition) { _data.definition = definition; }
    int16_t GetHorizontalPos() const { return _data.horzOffset; }
    void SetHorizontalPos(int16_t value) { _data.horzOffset = value; }
    int16_t GetVerticalPos() const { return _data.vertOffset; }
    void SetVerticalPos(int16_t value) { _data.vertOffset = value; }

private:
    EDTArticulation _data{};
};
