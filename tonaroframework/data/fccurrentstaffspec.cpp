#include "tonaroframework/data/fccurrentstaffspec.h"

#include "tonaroframework/data/fccell.h"
#include "tonaroframework/music/fcnoteentry.h"
#include "tonaropdk/hostapi/recordtags.h"

EDTAG FCCurrentStaffSpec::Tag() const
{
    return TAG_CURRENTSTAFFSPEC;
}

bool FCCurrentStaffSpec::Reload()
{
    if (GetLoadedSize() == 0) return false;
    return LoadDataBlock();
}

bool FCCurrentStaffSpec::LoadAt(int16_t staff, int16_t measure, int32_t position)
{
    _SetAddressWord(0, static_cast<uint16_t>(staff));
    _SetAddressWord(1, static_cast<uint16_t>(measure));
    _SetAddressLong(2, static_cast<uint32_t>(position));
    return LoadDataBlock();
}

bool FCCurrentStaffSpec::LoadForEntry(const FCNoteEntry* entry)
{
    if (!entry) return false;
    return LoadAt(entry->GetStaff(), entry->GetMeasure(), entry->GetMeasurePos());
}

bool FCCurrentStaffSpec::LoadForCell(const FCCell* cell, int32_t position)
{
    if (!cell) return false;
    return LoadAt(static_cast<int16_t>(cell->GetStaff()), static_cast<int16_t>(cell->GetMeasure()), position);
}
