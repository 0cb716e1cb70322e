// The engine's record protocol behind FX_LoadEData, FX_SaveEData,
// FX_CreateEData, FX_DeleteEData, FX_NextEData and FX_PreviousEData, for one
// document. Staff specifications ('SOIS', and 'SOSC' in force at a place),
// measures ('SOMS') and entry metrics ('EMET') come from the structured
// score; every other tag lives in the generic record store.
//
// words points at the caller's four address words (read, and rewritten by
// create and next/previous). Buffers belong to the caller and are touched
// only during the call. Every function answers false and changes nothing on
// bad input.
#pragma once

#include <cstdint>

#include "host/engine/documentstate.h"
#include "tonaropdk/hostapi/entrymetrics.h"

namespace tonaroengine {

// The layout sizes that a version word selects.
uint32_t StaffSpecSize(uint32_t version);
uint32_t MeasureSpecSize(uint32_t version);

// Loads into buffer at most *size bytes and reports the bytes loaded in
// *size; a null buffer only reports the record's size.
bool LoadData(const DocumentState& state, EDTAG tag, const uint16_t* words, void* buffer, uint32_t* size,
              uint32_t version);
// Stores a record (creating a generic record that does not exist yet).
bool SaveData(DocumentState& state, EDTAG tag, const uint16_t* words, const void* buffer, uint32_t size,
              uint32_t version);
// Creates a record; address words of 0xFFFF are assigned (the first such
// word gets one more than the highest in use, later ones 0) and written back.
bool CreateData(DocumentState& state, EDTAG tag, uint16_t* words, const void* buffer, uint32_t size,
                uint32_t version);
bool DeleteData(DocumentState& state, EDTAG tag, const uint16_t* words);
// Moves the address to the next (forward) or previous record of the tag and,
// with a buffer and a size, loads it there.
bool StepData(const DocumentState& state, EDTAG tag, uint16_t* words, void* buffer, uint32_t size,
              uint32_t version, bool forward);

// The metrics of an entry under the standard accidental rule.
bool ComputeEntryMetrics(const DocumentState& state, uint32_t entnum, EDTEntryMetrics* out);

}  // namespace tonaroengine
