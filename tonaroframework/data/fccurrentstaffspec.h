// The staff setup in force at one place of the music ('SOSC'): a
// staff's own setup with the staff styles that cover the place
// applied. Addressed by staff number (word 0), measure (word 1) and the
// position in the measure (32 bits in words 2-3, low half first, duration
// units). It can only be read: Load(cmper), SaveAs, DeepSaveAs, SaveNew,
// Save, DeleteData and the walk answer false, GetItemNo 0.
#pragma once

#include <cstdint>

#include "tonaroframework/data/fcstaff.h"

class FCCell;
class FCNoteEntry;

class FCCurrentStaffSpec : public FCStaff {
public:
    const char* ClassName() const override { return "FCCurrentStaffSpec"; }
    __FCBaseData* CreateObject() const override { return new FCCurrentStaffSpec(); }
    EDTAG Tag() const override;

    bool Save() override { return false; }
    // Repeats the last LoadForEntry / LoadForCell; false when never loaded.
    bool Reload() override;
    bool DeleteData() override { return false; }
    bool DeepDeleteData() override { return false; }
    bool LoadNext() override { return false; }
    bool Load(uint16_t) override { return false; }
    bool SaveAs(uint16_t) override { return false; }
    bool DeepSaveAs(uint16_t) override { return false; }
    bool SaveNew() override { return false; }
    uint16_t GetItemNo() const override { return 0; }

    // Loads the setup in force at the entry's staff, measure and
    // position (the entry is only read). false for null or when the host
    // refuses; the record is then not loaded.
    bool LoadForEntry(const FCNoteEntry* entry);
    // The same for the cell's staff and measure at position.
    bool LoadForCell(const FCCell* cell, int32_t position);
    // The same for an explicit place.
    bool LoadAt(int16_t staff, int16_t measure, int32_t position);

    int16_t GetItemStaff() const { return static_cast<int16_t>(_GetAddressWord(0)); }
    int16_t GetItemMeasure() const { return static_cast<int16_t>(_GetAddressWord(1)); }
    int32_t GetItemMeasurePos() const { return static_cast<int32_t>(_GetAddressLong(2)); }
};
