#include "tonaroframework/data/fccurrentstaffspec.h"

#include "tonaroframework/data/fccell.h"
#include "tonaroframework/data/fcrecordcache.h"
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
    // Spelling a note in written pitch asks for the setup at its entry more
    // than once; during a walk it is read from the host once per place.
    _UseAllocatedBlock();
    const uint32_t capacity = DataSizeLoad();
    uint32_t size = 0;
    if (FCRecordCache::FindStaffSpec(staff, measure, position, capacity, _GetDataBlock(), &size)) {
        _SetLoadedSize(size);
        return size > 0;
    }
    const bool loaded = LoadDataBlock();
    FCRecordCache::KeepStaffSpec(staff, measure, position, capacity, _GetDataBlock(), GetLoadedSize());
    return loaded;
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
