#include "tonaroframework/data/fcindependentcelldetail.h"

#include "tonaropdk/hostapi/recordtags.h"

EDTAG FCIndependentCellDetail::Tag() const
{
    return TAG_INDEPENDENTCELL;
}

uint32_t FCIndependentCellDetail::VeltraVersion() const
{
    return INDEPENDENTCELL_VERSION;
}
