#include "tonaroframework/data/fctuplet.h"

#include "tonaropdk/hostapi/recordtags.h"

EDTAG FCTuplet::Tag() const
{
    return TAG_TUPLET;
}

void FCTuplet::_SetEntryFlag(FCNoteEntry* entry, bool state)
{
    _SetEntryFlagBits(entry, EXENTRY_TUPLETSTART, state);
}
