// Records that a region walk reads again and again, read from the host once
// per walk: the key signature in force in a cell, the key of a measure
// record, the staff setup in force at a place, the document's
// octave-numbering offset and whether it shows concert pitch. Spelling one note
// asks for each of them, so without the cache a walk loads them for every
// note it visits.
//
// The cache answers only while a walk runs (a WalkScope is open; the region
// browsers open one around their walk) and only as long as the bridge's
// record-change counter keeps the value it had when the answer was kept: a
// record saved, created or deleted, a cancelled edit, a menu command or a
// host dialog makes it forget everything. Outside a walk every question
// goes to the host. Main thread only; nothing here is owned by callers.
#pragma once

#include <cstdint>

namespace FCRecordCache {

// Opens the cache for the length of a walk; scopes nest, and the cache is
// emptied when the outermost one closes.
class WalkScope {
public:
    WalkScope();
    ~WalkScope();
    WalkScope(const WalkScope&) = delete;
    WalkScope& operator=(const WalkScope&) = delete;
};

// The key ID kept for the cell (measure, staff); false when none is kept.
bool FindCellKey(int measure, int staff, uint16_t* keyID);
// Keeps the key ID of a cell just loaded (only the latest cell is kept: a
// walk goes from one cell to the next). Does nothing outside a walk.
void KeepCellKey(int measure, int staff, uint16_t keyID);

// The key ID kept from the record of measure; false when none is kept.
bool FindMeasureKey(int measure, uint16_t* keyID);
// Keeps the key ID of a measure record just loaded (only the latest
// measure is kept: a walk visits the staves of a measure one after another).
// Does nothing outside a walk.
void KeepMeasureKey(int measure, uint16_t keyID);

// The staff setup kept for (staff, measure, position) in a layout of
// capacity bytes: copies it into block (capacity bytes) and sets *size to
// the size loaded (0: the host refused it); false when none is kept. Only
// the latest place is kept.
bool FindStaffSpec(int staff, int measure, int32_t position, uint32_t capacity, void* block, uint32_t* size);
void KeepStaffSpec(int staff, int measure, int32_t position, uint32_t capacity, const void* block, uint32_t size);

// A few bytes worked out from the staff setup kept for (staff, measure,
// position) and from nothing else, kept beside it, so that a caller that
// reads the same fields of the setup for every note works them out once:
// the summary is dropped with the setup, but kept when the setup kept next
// (for another place) reads the same. Find copies a kept summary of exactly size bytes into summary;
// false when none is kept for the place. Keep does nothing unless the setup
// of that place is kept, or for more than 32 bytes.
bool FindStaffSpecSummary(int staff, int measure, int32_t position, void* summary, uint32_t size);
void KeepStaffSpecSummary(int staff, int measure, int32_t position, const void* summary, uint32_t size);

bool FindOctaveOffset(int* offset);
void KeepOctaveOffset(int offset);

bool FindConcertPitch(bool* concertPitch);
void KeepConcertPitch(bool concertPitch);

}  // namespace FCRecordCache
