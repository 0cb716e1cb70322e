#include "tonaroframework/data/fcgeneralprefs.h"

#include "tonaropdk/hostapi/recordtags.h"

EDTAG FCGeneralPrefs::Tag() const
{
    return TAG_GENERALPREFS;
}

uint32_t FCGeneralPrefs::VeltraVersion() const
{
    return GENERALPREFS_VERSION;
}
