// Normalising an entry frame before the host stores it.
#pragma once

#include "tonaropdk/hostapi/exentry.h"

// Whether a rest gets one note slot when its frame is normalised (initially
// true). Read by CleanTGF.
extern bool CanAddNoteRecordToRests;

// Puts every entry of frame into the shape the host expects, in place:
// - every note in use gets a non-zero ID unique within its entry (a note with
//   ID 0, or with the ID of another note of the entry, gets one more than the
//   largest ID seen; past 0xFFFF, the smallest ID that no note of the entry
//   holds), and the low five bits of each ID are copied into bits
//   16 to 20 of the note's flags;
// - the unused note slots are cleared;
// - a rest (no notes) gets one note slot with flags EXNOTE_INUSE and the entry
//   flag EXENTRY_RESTNOTESLOT, while CanAddNoteRecordToRests is set.
// A note count outside 0 to 12 is treated as the nearest valid count for the
// slots it touches; a null frame or entry array does nothing.
void CleanTGF(EXTGF2005a* frame);
