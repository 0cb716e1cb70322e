#include "tonaroframework/data/fcarticulation.h"

#include "tonaropdk/hostapi/exentry.h"
#include "tonaropdk/hostapi/recordtags.h"

EDTAG FCArticulation::Tag() const
{
    return TAG_ARTICULATION;
}

void FCArticulation::_SetEntryFlag(FCNoteEntry* entry, bool state)
{
    _SetEntryFlagBits(entry, EXENTRY_ARTICULATION, state);
}
