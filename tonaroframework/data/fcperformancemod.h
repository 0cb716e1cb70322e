// A playback change of one note ('eDPF', 12 bytes, version 0x07000000),
// tied to the note by its ID. Entries with such records carry the
// performance-data flag 0x00020000.
#pragma once

#include <cstdint>

#include "tonaroframework/data/fcentrydetailnoteid.h"
#include "tonaropdk/hostapi/entrydetails.h"

class FCPerformanceMod : public __FCEntryDetailNoteID {
public:
    const char* ClassName() const override { return "FCPerformanceMod"; }
    void* Allocate() override { return &_data; }
    __FCBaseData* CreateObject() const override { return new FCPerformanceMod(); }
    EDTAG Tag() const override;
    uint32_t VeltraVersion() const override;
    uint32_t DataSizeLoad() const override { return sizeof _data; }
    uint32_t DataSizeSave() const override { return sizeof _data; }
    void _SetEntryFlag(FCNoteEntry* entry, bool state) override;
    void SetNoteID(uint16_t noteID) override { _data.noteID = noteID; }
    bool _IsNoteIDMatch(const void* buffer, uint16_t noteID) const override;
    void _SetEntryFlagN(FCNote* note, bool state) override;
    bool _GetEntryFlagN(FCNote* note) const override;

    uint16_t GetNoteID() const { return _data.noteID; }
    int16_t GetStartOffset() const { return _data.startOffset; }
    void SetStartOffset(int16_t value) { _data.startOffset = value; }
    int16_t GetEndOffset() const { return _data.endOffset; }
    void SetEndOffset(int16_t value) { _data.endOffset = value; }
    int16_t GetVelocityDelta() const { return _data.velocityDelta; }
    void SetVelocityDelta(int16_t value) { _data.velocityDelta = value; }

private:
    EDTPerformanceMod _data{};
};
