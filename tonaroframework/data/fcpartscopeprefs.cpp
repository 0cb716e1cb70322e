#include "tonaroframework/data/fcpartscopeprefs.h"

#include "tonaropdk/hostapi/recordtags.h"

EDTAG FCPartScopePrefs::Tag() const
{
    return TAG_PARTSCOPEPREFS;
}

void FCPartScopePrefs::CloneMemoryFrom(const __FCBaseData* source)
{
    __FCPrefsBase::CloneMemoryFrom(source);
    if (const auto* prefs = dynamic_cast<const FCPartScopePrefs*>(source)) _concertPitch = prefs->_concertPitch;
}

bool FCPartScopePrefs::Load(int16_t /*cmper: there is one record*/)
{
    // The record is the other record 'otPG' at (65534, 0); loading it through
    // the base keeps the address, so that Save() and Reload() reach it too.
    _SetAddressWord(0, OTHER_PREFS_CMPER);
    _SetAddressWord(1, 0);
    const bool loaded = LoadDataBlock();
    _concertPitch = loaded && _prefs.writtenPitch == 0;
    return loaded;
}
