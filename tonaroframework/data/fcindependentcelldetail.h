// The key and time signature of one cell that differ from its measure's
// (tag 0x4402464C, at (staff, measure, 0), 20 bytes, version 0x06000000).
// They count only on a staff with the independent-key flag
// (FCStaff::HasIndependentKey).
#pragma once

#include <cstdint>

#include "tonaroframework/data/fcnoincicelldetail.h"
#include "tonaropdk/hostapi/celldetails.h"

class FCIndependentCellDetail : public __FCNoInciCellDetail {
public:
    const char* ClassName() const override { return "FCIndependentCellDetail"; }
    void* Allocate() override { return &_data; }
    __FCBaseData* CreateObject() const override { return new FCIndependentCellDetail(); }
    EDTAG Tag() const override;
    uint32_t VeltraVersion() const override;
    uint32_t DataSizeLoad() const override { return sizeof _data; }
    // The host keeps no per-measure mark for independent cells: nothing to
    // write; true.
    bool _SaveMeasureFlag() override { return true; }

    // The key word (word 0) and whether it is in force (bit 0x08 of byte 9).
    uint16_t GetKeySignatureID() const { return _data.keySig; }
    bool HasKeySignature() const { return (_data.flags & INDEPENDENTCELL_HASKEY) != 0; }
    // The time signature and whether it is in force (bit 0x04 of byte 9).
    int16_t GetBeats() const { return _data.beats; }
    int16_t GetBeatDuration() const { return _data.beatDuration; }
    bool HasTimeSignature() const { return (_data.flags & INDEPENDENTCELL_HASTIME) != 0; }

private:
    EDTIndependentCell _data{};
};
