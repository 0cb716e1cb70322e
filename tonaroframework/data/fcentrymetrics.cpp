#include "tonaroframework/data/fcentrymetrics.h"

#include <cstddef>

#include "tonaroframework/base/frameworkversion.h"
#include "tonaroframework/music/fcnoteentry.h"
#include "tonaropdk/hostapi/recordtags.h"

EDTAG FCEntryMetrics::Tag() const
{
    return TAG_ENTRYMETRICS;
}

uint32_t FCEntryMetrics::_VersionToUse() const
{
    return GetTonaroFrameworkVersion() >= FXT_VERSION_2012 ? ENTRYMETRICS_VERSION_2012 : ENTRYMETRICS_VERSION_OLD;
}

bool FCEntryMetrics::LoadAt(const FCNoteEntry* entry)
{
    if (!entry) return false;
    return Load(entry->GetEntryNumber());
}

bool FCEntryMetrics::Load(uint32_t entnum)
{
    if (entnum == 0) {
        _SetLoadedSize(0);
        return false;
    }
    _SetAddressLong(0, entnum);
    return LoadDataBlock();
}

int FCEntryMetrics::GetNoteCount() const
{
    // Only the notes that the host actually filled in count.
    constexpr uint32_t kHead = offsetof(EDTEntryMetrics, notes);
    if (GetLoadedSize() < kHead) return 0;
    int count = _metrics.numNotes;
    if (count < 0) return 0;
    const int filled = static_cast<int>((GetLoadedSize() - kHead) / sizeof(EDTNoteMetrics));
    if (count > filled) count = filled;
    return count > EXENTRY_MAXNOTES ? EXENTRY_MAXNOTES : count;
}

const EDTNoteMetrics* FCEntryMetrics::FindNoteMetrics(uint16_t noteID) const
{
    const int count = GetNoteCount();
    for (int i = 0; i < count; ++i) {
        if (_metrics.notes[i].noteID == noteID) return &_metrics.notes[i];
    }
    return nullptr;
}
