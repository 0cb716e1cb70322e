// Counters the bridge keeps of open entry frames, edit sessions and mass
// edits. Plain integers: everything runs on the host's main thread.
#pragma once

#include <cstdint>

// Entry frames loaded through FX_LoadTGF and not yet freed with FX_FreeTGF.
extern int32_t LoadedTGFCounter;
// Edit sessions opened with FX_StartTonaroEdit(_UTF16) and not yet ended or
// cancelled. FX_EndTonaroEdit and FX_CancelTonaroEdit with no open session do
// not reach the host.
extern int32_t TonaroEditDepth;
// Mass edits opened with FX_StartMassEdit and not yet ended.
extern int32_t MassEditDepth;
// Raised by every call that may change the host's records behind a reader's
// back: record saves, creations and deletions, cancelled edit sessions,
// menu commands and the host's own dialogs. While it keeps its value,
// records read through the bridge are still what the host holds (entry
// frames are not records and do not raise it). It wraps around; compare
// for equality only.
extern uint32_t RecordChangeCounter;
