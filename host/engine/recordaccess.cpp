#include "host/engine/recordaccess.h"

#include <algorithm>
#include <cstring>

#include "host/engine/bytes.h"
#include "tonaropdk/hostapi/recordtags.h"

namespace tonaroengine {

namespace {

// Generic records larger than this are refused (no host record comes near).
constexpr uint32_t kMaxRecordSize = 16u * 1024u * 1024u;

// Copies a record into the caller's buffer within its capacity.
bool CopyOut(const uint8_t* data, uint32_t dataSize, void* buffer, uint32_t* size)
{
    if (!buffer) {
        *size = dataSize;
        return true;
    }
    const uint32_t n = std::min(dataSize, *size);
    if (n > 0) std::memcpy(buffer, data, n);
    *size = n;
    return true;
}

int16_t Word(const uint16_t* words, int index)
{
    return static_cast<int16_t>(words[index]);
}

}  // namespace

uint32_t StaffSpecSize(uint32_t version)
{
    if (version >= 0x12000000u) return STAFFSPEC_SIZE_2012;
    if (version >= 0x11000000u) return STAFFSPEC_SIZE_2011;
    if (version >= 0x0F000000u) return STAFFSPEC_SIZE_2010;
    if (version >= 0x08000000u) return STAFFSPEC_SIZE_V8;
    return STAFFSPEC_SIZE_V5;
}

uint32_t MeasureSpecSize(uint32_t version)
{
    if (version >= 0x12000000u) return MEASURESPEC_SIZE_2012;
    if (version >= 0x0A000000u) return MEASURESPEC_SIZE_V10;
    return MEASURESPEC_SIZE_V9;
}

bool LoadData(const DocumentState& state, EDTAG tag, const uint16_t* words, void* buffer, uint32_t* size,
              uint32_t version)
{
    if (!words || !size) return false;
    switch (tag) {
    case TAG_STAFFSPEC: {
        const StaffData* staff = state.FindStaff(Word(words, 0));
        if (!staff) return false;
        return CopyOut(staff->spec.data(), StaffSpecSize(version), buffer, size);
    }
    case TAG_CURRENTSTAFFSPEC: {
        const int16_t staff = Word(words, 0);
        const int16_t measure = Word(words, 1);
        const int32_t position = static_cast<int32_t>(static_cast<uint32_t>(words[2]) |
                                                      (static_cast<uint32_t>(words[3]) << 16));
        if (!state.FindStaff(staff) || !state.FindMeasure(measure)) return false;
        const auto spec = state.SpecAt(staff, measure, position);
        return CopyOut(spec.data(), StaffSpecSize(version), buffer, size);
    }
    case TAG_MEASURESPEC: {
        const MeasureData* measure = state.FindMeasure(Word(words, 0));
        if (!measure) return false;
        return CopyOut(measure->spec.data(), MeasureSpecSize(version), buffer, size);
    }
    case TAG_ENTRYMETRICS: {
        const uint32_t entnum = static_cast<uint32_t>(words[0]) | (static_cast<uint32_t>(words[1]) << 16);
        EDTEntryMetrics metrics;
        if (!ComputeEntryMetrics(state, entnum, &metrics)) return false;
        return CopyOut(reinterpret_cast<const uint8_t*>(&metrics), sizeof metrics, buffer, size);
    }
    default: {
        const RecordBytes* bytes = state.FindRecord(MakeRecordKey(tag, words));
        if (!bytes) return false;
        return CopyOut(bytes->data(), static_cast<uint32_t>(bytes->size()), buffer, size);
    }
    }
}

bool SaveData(DocumentState& state, EDTAG tag, const uint16_t* words, const void* buffer, uint32_t size,
              uint32_t version)
{
    if (!words || !buffer || size == 0) return false;
    switch (tag) {
    case TAG_STAFFSPEC: {
        const int16_t number = Word(words, 0);
        const StaffData* staff = state.FindStaff(number);
        if (!staff) return false;
        StaffData changed = *staff;
        std::memcpy(changed.spec.data(), buffer, std::min(size, StaffSpecSize(version)));
        state.PutStaff(number, changed);
        return true;
    }
    case TAG_MEASURESPEC: {
        const int16_t number = Word(words, 0);
        const MeasureData* measure = state.FindMeasure(number);
        if (!measure) return false;
        MeasureData changed = *measure;
        std::memcpy(changed.spec.data(), buffer, std::min(size, MeasureSpecSize(version)));
        state.PutMeasure(static_cast<size_t>(number - 1), changed);
        return true;
    }
    case TAG_CURRENTSTAFFSPEC:
    case TAG_ENTRYMETRICS:
        return false;  // computed, read only
    default: {
        if (size > kMaxRecordSize) return false;
        const auto* bytes = static_cast<const uint8_t*>(buffer);
        state.PutRecord(MakeRecordKey(tag, words), RecordBytes(bytes, bytes + size));
        return true;
    }
    }
}

bool CreateData(DocumentState& state, EDTAG tag, uint16_t* words, const void* buffer, uint32_t size,
                uint32_t version)
{
    if (!words || !buffer || size == 0) return false;
    switch (tag) {
    case TAG_STAFFSPEC: {
        int number = Word(words, 0);
        if (words[0] == 0xFFFF) {
            number = 1;
            while (number <= 0x7FFF && state.FindStaff(static_cast<int16_t>(number))) ++number;
        }
        if (number < 1 || number > 0x7FFF || state.FindStaff(static_cast<int16_t>(number))) return false;
        StaffData staff;
        std::memcpy(staff.spec.data(), buffer, std::min(size, StaffSpecSize(version)));
        std::vector<int16_t> slots = state.Slots();
        slots.push_back(static_cast<int16_t>(number));
        state.PutStaff(static_cast<int16_t>(number), staff);
        state.PutSlots(std::move(slots));
        words[0] = static_cast<uint16_t>(number);
        return true;
    }
    case TAG_MEASURESPEC: {
        const int next = state.MeasureCount() + 1;
        if (next > 0x7FFF || (words[0] != 0xFFFF && words[0] != next)) return false;
        MeasureData measure;
        std::memcpy(measure.spec.data(), buffer, std::min(size, MeasureSpecSize(version)));
        state.PutMeasure(static_cast<size_t>(next - 1), measure);
        words[0] = static_cast<uint16_t>(next);
        return true;
    }
    case TAG_CURRENTSTAFFSPEC:
    case TAG_ENTRYMETRICS:
        return false;
    default:
        break;
    }

    if (size > kMaxRecordSize) return false;
    const int used = AddressWordCount(tag);
    RecordKey key = MakeRecordKey(tag, words);
    int first = -1;
    for (int i = 0; i < used; ++i) {
        if (key.words[static_cast<size_t>(i)] == 0xFFFF) {
            first = i;
            break;
        }
    }
    if (first >= 0) {
        for (int i = first + 1; i < used; ++i)
            if (key.words[static_cast<size_t>(i)] == 0xFFFF) key.words[static_cast<size_t>(i)] = 0;
        // The record just below (prefix, 0xFFFF) holds the highest number in use.
        RecordKey probe = key;
        for (int i = first; i < 4; ++i) probe.words[static_cast<size_t>(i)] = i == first ? 0xFFFF : 0;
        const RecordMap& records = state.Records();
        auto it = records.lower_bound(probe);
        uint32_t value = first == 0 ? 1 : 0;
        if (it != records.begin()) {
            --it;
            bool samePrefix = it->first.tag == tag;
            for (int i = 0; samePrefix && i < first; ++i)
                samePrefix = it->first.words[static_cast<size_t>(i)] == key.words[static_cast<size_t>(i)];
            if (samePrefix) value = std::max<uint32_t>(value, it->first.words[static_cast<size_t>(first)] + 1u);
        }
        if (value >= 0xFFFF) return false;
        key.words[static_cast<size_t>(first)] = static_cast<uint16_t>(value);
    }
    if (state.FindRecord(key)) return false;
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    state.PutRecord(key, RecordBytes(bytes, bytes + size));
    for (int i = 0; i < used; ++i) words[i] = key.words[static_cast<size_t>(i)];
    return true;
}

bool DeleteData(DocumentState& state, EDTAG tag, const uint16_t* words)
{
    if (!words) return false;
    switch (tag) {
    case TAG_STAFFSPEC:  // staves and measures are not removed through records
    case TAG_MEASURESPEC:
    case TAG_CURRENTSTAFFSPEC:
    case TAG_ENTRYMETRICS:
        return false;
    default: {
        const RecordKey key = MakeRecordKey(tag, words);
        if (!state.FindRecord(key)) return false;
        state.PutRecord(key, std::nullopt);
        return true;
    }
    }
}

bool StepData(const DocumentState& state, EDTAG tag, uint16_t* words, void* buffer, uint32_t size,
              uint32_t version, bool forward)
{
    if (!words) return false;
    switch (tag) {
    case TAG_STAFFSPEC: {
        const int current = Word(words, 0);
        int best = 0;
        for (int16_t staff : state.Slots()) {
            if (forward && staff > current && (best == 0 || staff < best)) best = staff;
            if (!forward && staff < current && staff >= 1 && (best == 0 || staff > best)) best = staff;
        }
        if (best == 0) return false;
        words[0] = static_cast<uint16_t>(best);
        break;
    }
    case TAG_MEASURESPEC: {
        const int next = Word(words, 0) + (forward ? 1 : -1);
        if (next < 1 || next > state.MeasureCount()) return false;
        words[0] = static_cast<uint16_t>(next);
        break;
    }
    case TAG_CURRENTSTAFFSPEC:
    case TAG_ENTRYMETRICS:
        return false;
    default: {
        const RecordKey key = MakeRecordKey(tag, words);
        const RecordMap& records = state.Records();
        RecordMap::const_iterator it;
        if (forward) {
            it = records.upper_bound(key);
            if (it == records.end() || it->first.tag != tag) return false;
        } else {
            it = records.lower_bound(key);
            if (it == records.begin()) return false;
            --it;
            if (it->first.tag != tag) return false;
        }
        const int used = AddressWordCount(tag);
        for (int i = 0; i < used; ++i) words[i] = it->first.words[static_cast<size_t>(i)];
        break;
    }
    }
    if (buffer && size > 0) {
        uint32_t capacity = size;
        LoadData(state, tag, words, buffer, &capacity, version);
    }
    return true;
}

}  // namespace tonaroengine
