#include "tonaroframework/data/fcclefdef.h"

#include "tonaropdk/hostapi/recordtags.h"

EDTAG FCClefDef::Tag() const
{
    return TAG_CLEFDEF;
}
