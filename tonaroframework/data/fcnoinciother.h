// Other records that exist once per comparison number: the address is the
// cmper, the inci is always 0. The walk starts at cmper 1 and follows the
// host's order (FX_NextEData).
//
// Also the helpers for records whose host structure is longer than one
// 12-byte other record and is therefore kept as a run of them (inci 0, 1,
// ...) under one cmper.
#pragma once

#include "tonaroframework/data/fcother.h"

class __FCNoInciOther : public __FCOther {
public:
    // Virtual operations appended after LoadNext, in this order: Load,
    // SaveAs, DeepSaveAs, SaveNew, GetItemNo.
    const char* ClassName() const override { return "__FCNoInciOther"; }

    // Loads cmper 1, or, when the document has no record 1, the first
    // record after it in the host's order (a document may lack low numbers,
    // for example after staff 1 was removed).
    bool LoadFirst() override;
    // Load(GetItemNo()) when loaded; false otherwise.
    bool Reload() override;

    // Loads the record of that cmper (inci 0).
    virtual bool Load(uint16_t cmper);
    // Sets the address to (cmper, 0) and saves. false when not loaded.
    virtual bool SaveAs(uint16_t cmper);
    // SaveAs, for records that also own host data of their own.
    virtual bool DeepSaveAs(uint16_t cmper);
    // Creates a new record; the host assigns the cmper (and inci 0), which
    // becomes this record's address. false when the record was never loaded
    // (no structure to store) or the host refuses.
    virtual bool SaveNew();
    // The cmper.
    virtual uint16_t GetItemNo() const { return GetItemCmper(); }

protected:
    // Loads cmper, or when it does not exist the first record after it.
    bool _LoadFrom(uint16_t cmper);

    // The bytes stored as a run of 12-byte records of tag
    // (tagHigh << 16 | low half of Tag()) under cmper: 12 times the number
    // of consecutive incis from 0 that load.
    uint32_t _DataSizeLoadFullCmper(uint16_t cmper, int16_t tagHigh) const;
    // Reads size bytes from such a run into buffer (which must hold size
    // bytes), and addresses this record at (cmper, 0): inci i gives bytes 12i
    // to 12i+11, the last record only as many as still fit (so a structure
    // saved with _SaveOtherFullCmper reads back whole, whatever its size).
    // The loaded size becomes the bytes read when a record is missing, and
    // size when all were read; the answer is whether all size bytes were
    // read. A size of 0 reads nothing and answers true; a null buffer
    // answers false.
    bool _LoadOtherFullCmper(uint16_t cmper, void* buffer, uint32_t size, int16_t tagHigh);
    // Writes size bytes of buffer as (size + 11) / 12 records at inci 0, 1,
    // ... (the last one padded with zeros), then deletes the records that
    // followed them (left by a longer earlier version). false when the
    // record is not loaded, cmper is 0, size is 0 or less, or a save or
    // delete fails.
    bool _SaveOtherFullCmper(uint16_t cmper, const void* buffer, int size, int16_t tagHigh);
};
