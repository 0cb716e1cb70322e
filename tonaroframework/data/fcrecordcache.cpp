#include "tonaroframework/data/fcrecordcache.h"

#include "tonaropdk/bridge/editcounters.h"

namespace FCRecordCache {

namespace {

struct Cache {
    int depth = 0;
    uint32_t counter = 0;  // RecordChangeCounter when the answers were kept
    bool hasKey = false;
    int keyMeasure = 0;
    int keyStaff = 0;
    uint16_t keyID = 0;
    bool hasOffset = false;
    int offset = 0;
    bool hasConcert = false;
    bool concert = false;
};

Cache& TheCache()
{
    static Cache cache;
    return cache;
}

void Forget(Cache& cache)
{
    cache.hasKey = cache.hasOffset = cache.hasConcert = false;
}

// The cache when it may answer: inside a walk, with no record changed since
// its answers were kept (else they are dropped first).
Cache* Usable()
{
    Cache& cache = TheCache();
    if (cache.depth <= 0) return nullptr;
    if (cache.counter != RecordChangeCounter) {
        Forget(cache);
        cache.counter = RecordChangeCounter;
    }
    return &cache;
}

}  // namespace

WalkScope::WalkScope()
{
    Cache& cache = TheCache();
    if (cache.depth++ == 0) {
        Forget(cache);
        cache.counter = RecordChangeCounter;
    }
}

WalkScope::~WalkScope()
{
    Cache& cache = TheCache();
    if (--cache.depth == 0) Forget(cache);
}

bool FindCellKey(int measure, int staff, uint16_t* keyID)
{
    const Cache* cache = Usable();
    if (!cache || !cache->hasKey || cache->keyMeasure != measure || cache->keyStaff != staff) return false;
    *keyID = cache->keyID;
    return true;
}

void KeepCellKey(int measure, int staff, uint16_t keyID)
{
    Cache* cache = Usable();
    if (!cache) return;
    cache->hasKey = true;
    cache->keyMeasure = measure;
    cache->keyStaff = staff;
    cache->keyID = keyID;
}

bool FindOctaveOffset(int* offset)
{
    const Cache* cache = Usable();
    if (!cache || !cache->hasOffset) return false;
    *offset = cache->offset;
    return true;
}

void KeepOctaveOffset(int offset)
{
    Cache* cache = Usable();
    if (!cache) return;
    cache->hasOffset = true;
    cache->offset = offset;
}

bool FindConcertPitch(bool* concertPitch)
{
    const Cache* cache = Usable();
    if (!cache || !cache->hasConcert) return false;
    *concertPitch = cache->concert;
    return true;
}

void KeepConcertPitch(bool concertPitch)
{
    Cache* cache = Usable();
    if (!cache) return;
    cache->hasConcert = true;
    cache->concert = concertPitch;
}

}  // namespace FCRecordCache
