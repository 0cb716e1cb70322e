#include "tonaroframework/data/fcnoteheadmod.h"

#include <cstring>

#include "tonaroframework/base/frameworkversion.h"
#include "tonaropdk/hostapi/recordtags.h"

EDTAG FCNoteheadMod::Tag() const
{
    return TAG_NOTEHEADMOD;
}

uint32_t FCNoteheadMod::VeltraVersion() const
{
    return GetTonaroFrameworkVersion() >= FXT_VERSION_2011 ? NOTEHEADMOD_VERSION_2011 : NOTEHEADMOD_VERSION_OLD;
}

bool FCNoteheadMod::_IsNoteIDMatch(const void* buffer, uint16_t noteID) const
{
    if (!buffer) return false;
    EDTNoteheadMod record;
    std::memcpy(&record, buffer, sizeof record);
    return record.noteID == noteID;
}
