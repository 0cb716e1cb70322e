// A notehead change of one note ('eDNH', 12 bytes), tied to the note by its
// ID. Entries with such records carry the note-detail flag 0x00400000.
// Version 0x11000000 on hosts from 0x11000000, else 0x07000000.
#pragma once

#include <cstdint>

#include "tonaroframework/data/fcentrydetailnoteid.h"
#include "tonaropdk/hostapi/entrydetails.h"

class FCNoteheadMod : public __FCEntryDetailNoteID {
public:
    const char* ClassName() const override { return "FCNoteheadMod"; }
    void* Allocate() override { return &_data; }
    __FCBaseData* CreateObject() const override { return new FCNoteheadMod(); }
    EDTAG Tag() const override;
    uint32_t VeltraVersion() const override;
    uint32_t DataSizeLoad() const override { return sizeof _data; }
    uint32_t DataSizeSave() const override { return sizeof _data; }
    void SetNoteID(uint16_t noteID) override { _data.noteID = noteID; }
    bool _IsNoteIDMatch(const void* buffer, uint16_t noteID) const override;

    uint16_t GetNoteID() const { return _data.noteID; }
    uint16_t GetCustomChar() const { return _data.customChar; }
    void SetCustomChar(uint16_t character) { _data.customChar = character; }
    int16_t GetResize() const { return _data.percent; }
    void SetResize(int16_t percent) { _data.percent = percent; }
    int16_t GetHorizontalPos() const { return _data.horzOffset; }
    void SetHorizontalPos(int16_t value) { _data.horzOffset = value; }
    int16_t GetVerticalPos() const { return _data.vertOffset; }
    void SetVerticalPos(int16_t value) { _data.vertOffset = value; }

private:
    EDTNoteheadMod _data{};
};
