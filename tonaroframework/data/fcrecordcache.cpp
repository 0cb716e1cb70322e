#include "tonaroframework/data/fcrecordcache.h"

#include <cstring>

#include "tonaropdk/bridge/editcounters.h"

namespace FCRecordCache {

namespace {

constexpr uint32_t kMaxSpec = 256;  // larger than every staff setup layout
constexpr uint32_t kMaxSummary = 32;

struct Cache {
    int depth = 0;
    uint32_t counter = 0;  // RecordChangeCounter when the answers were kept
    bool hasKey = false;
    int keyMeasure = 0;
    int keyStaff = 0;
    uint16_t keyID = 0;
    bool hasMeasureKey = false;
    int measureKeyMeasure = 0;
    uint16_t measureKeyID = 0;
    bool hasSpec = false;
    int specStaff = 0;
    int specMeasure = 0;
    int32_t specPosition = 0;
    uint32_t specCapacity = 0;
    uint32_t specSize = 0;
    uint8_t spec[kMaxSpec] = {};
    uint32_t summarySize = 0;  // 0: no summary of the kept setup
    uint8_t summary[kMaxSummary] = {};
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
    cache.hasKey = cache.hasMeasureKey = cache.hasSpec = cache.hasOffset = cache.hasConcert = false;
    cache.summarySize = 0;
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

bool FindMeasureKey(int measure, uint16_t* keyID)
{
    const Cache* cache = Usable();
    if (!cache || !cache->hasMeasureKey || cache->measureKeyMeasure != measure) return false;
    *keyID = cache->measureKeyID;
    return true;
}

void KeepMeasureKey(int measure, uint16_t keyID)
{
    Cache* cache = Usable();
    if (!cache) return;
    cache->hasMeasureKey = true;
    cache->measureKeyMeasure = measure;
    cache->measureKeyID = keyID;
}

bool FindStaffSpec(int staff, int measure, int32_t position, uint32_t capacity, void* block, uint32_t* size)
{
    const Cache* cache = Usable();
    if (!cache || !cache->hasSpec || cache->specStaff != staff || cache->specMeasure != measure ||
        cache->specPosition != position || cache->specCapacity != capacity || !block)
        return false;
    if (cache->specSize > 0) std::memcpy(block, cache->spec, cache->specSize);
    *size = cache->specSize;
    return true;
}

void KeepStaffSpec(int staff, int measure, int32_t position, uint32_t capacity, const void* block, uint32_t size)
{
    Cache* cache = Usable();
    if (!cache || size > kMaxSpec || (size > 0 && !block)) return;
    // A summary is worked out from the setup's bytes alone: it still holds
    // for a place whose setup reads the same as the last one.
    const bool sameSetup = cache->hasSpec && cache->specCapacity == capacity && cache->specSize == size &&
                           (size == 0 || std::memcmp(cache->spec, block, size) == 0);
    if (!sameSetup) cache->summarySize = 0;
    cache->hasSpec = true;
    cache->specStaff = staff;
    cache->specMeasure = measure;
    cache->specPosition = position;
    cache->specCapacity = capacity;
    cache->specSize = size;
    if (size > 0 && !sameSetup) std::memcpy(cache->spec, block, size);
}

bool FindStaffSpecSummary(int staff, int measure, int32_t position, void* summary, uint32_t size)
{
    const Cache* cache = Usable();
    if (!cache || !cache->hasSpec || cache->summarySize == 0 || cache->summarySize != size ||
        cache->specStaff != staff || cache->specMeasure != measure || cache->specPosition != position || !summary)
        return false;
    std::memcpy(summary, cache->summary, size);
    return true;
}

void KeepStaffSpecSummary(int staff, int measure, int32_t position, const void* summary, uint32_t size)
{
    Cache* cache = Usable();
    if (!cache || !cache->hasSpec || size == 0 || size > kMaxSummary || !summary || cache->specStaff != staff ||
        cache->specMeasure != measure || cache->specPosition != position)
        return;
    std::memcpy(cache->summary, summary, size);
    cache->summarySize = size;
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
