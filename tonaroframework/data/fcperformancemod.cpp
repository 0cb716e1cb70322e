#include "tonaroframework/data/fcperformancemod.h"

#include <cstring>

#include "tonaroframework/music/fcnote.h"
#include "tonaroframework/music/fcnoteentry.h"
#include "tonaropdk/hostapi/recordtags.h"

EDTAG FCPerformanceMod::Tag() const
{
    return TAG_PERFORMANCEMOD;
}

uint32_t FCPerformanceMod::VeltraVersion() const
{
    return PERFORMANCEMOD_VERSION;
}

void FCPerformanceMod::_SetEntryFlag(FCNoteEntry* entry, bool state)
{
    _SetEntryFlagBits(entry, EXENTRY_PERFORMANCE, state);
}

bool FCPerformanceMod::_IsNoteIDMatch(const void* buffer, uint16_t noteID) const
{
    if (!buffer) return false;
    EDTPerformanceMod record;
    std::memcpy(&record, buffer, sizeof record);
    return record.noteID == noteID;
}

void FCPerformanceMod::_SetEntryFlagN(FCNote* note, bool state)
{
    if (!note) return;
    _SetEntryFlagBits(note->GetEntry(), EXENTRY_PERFORMANCE, state);
}

bool FCPerformanceMod::_GetEntryFlagN(FCNote* note) const
{
    if (!note || !note->GetEntry()) return false;
    const EXENTRY* record = note->GetEntry()->_GetEXENTRY();
    return record && (record->flags & EXENTRY_PERFORMANCE) != 0;
}
