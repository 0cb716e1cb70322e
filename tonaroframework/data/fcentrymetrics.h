// What the host computed for the layout of one entry ('EMET', addressed by
// the entry number in words 0-1, low half first): per note, among others,
// whether an accidental is drawn. Computed by the host; read only.
// Version 0x12000000 from host 0x12000000 on, else 0x0E010000.
#pragma once

#include <cstdint>

#include "tonaroframework/data/fcbasedata.h"
#include "tonaropdk/hostapi/entrymetrics.h"

class FCNoteEntry;

class FCEntryMetrics : public __FCBaseData {
public:
    const char* ClassName() const override { return "FCEntryMetrics"; }
    void* Allocate() override { return &_metrics; }
    __FCBaseData* CreateObject() const override { return new FCEntryMetrics(); }
    EDTAG Tag() const override;
    uint32_t VeltraVersion() const override { return _VersionToUse(); }
    uint32_t DataSizeLoad() const override { return sizeof _metrics; }
    bool Save() override { return false; }
    bool DeleteData() override { return false; }
    bool LoadFirst() override { return false; }
    bool LoadNext() override { return false; }

    uint32_t _VersionToUse() const;

    // Loads the metrics of the entry (only read) / of an entry number. false
    // for null, an entry not yet stored (number 0), or a refusal.
    bool LoadAt(const FCNoteEntry* entry);
    bool Load(uint32_t entnum);

    uint32_t GetEntryNumber() const { return _GetAddressLong(0); }
    // Number of notes the metrics describe (0 to 12; 0 when not loaded).
    int GetNoteCount() const;
    // The metrics of the note with that ID, pointing into this record (valid
    // until the next load or destruction); null when not loaded or absent.
    const EDTNoteMetrics* FindNoteMetrics(uint16_t noteID) const;

private:
    EDTEntryMetrics _metrics{};
};
