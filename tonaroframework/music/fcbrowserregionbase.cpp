#include "tonaroframework/music/fcbrowserregionbase.h"

#include "tonaroframework/base/fciteratorhandler.h"
#include "tonaroframework/data/fccell.h"
#include "tonaroframework/data/fcrecordcache.h"
#include "tonaroframework/music/fcmusicregion.h"
#include "tonaropdk/hostapi/fxfunctions.h"

__FCBrowserRegionBase::~__FCBrowserRegionBase() = default;

int __FCBrowserRegionBase::ForEach(FCIteratorHandler* handler)
{
    if (handler == nullptr) return 0;
    FCMusicRegion region;
    region.SetFullDocument();
    return ForEachInRegion(handler, &region);
}

int __FCBrowserRegionBase::ForEachInRegion(FCIteratorHandler* handler, FCMusicRegion* region)
{
    if (handler == nullptr || region == nullptr || region->IsEmpty()) return 0;
    const uint16_t list = region->GetStartInstrumentList();
    // Keys and preferences read again for every note of the walk are read
    // once (see fcrecordcache.h).
    FCRecordCache::WalkScope cacheScope;
    int visited = 0;
    for (int measure = region->GetStartMeasure(); measure <= region->GetEndMeasure(); ++measure) {
        for (int slot = region->GetStartSlot(); slot <= region->GetEndSlot(); ++slot) {
            const int16_t staff =
                slot >= 1 ? FX_SlotToInst(static_cast<uint16_t>(slot), list, FXT_VERSION_2012) : int16_t{0};
            FCCell cell(measure, staff);
            if (!RegionIterateCellHandler(&cell, handler, region)) return visited;
            ++visited;
        }
    }
    return visited;
}
