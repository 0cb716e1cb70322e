#include "tonaropdk/bridge/prefemulation.h"

#include <array>
#include <cstring>
#include <vector>

#include "tonaropdk/hostapi/fxfunctions.h"
#include "tonaropdk/hostapi/recordtags.h"

namespace {

constexpr uint32_t kOtherRecordSize = 12;
constexpr int kOtherRecordWords = 6;
using OtherWords = std::array<uint16_t, kOtherRecordWords>;

// Loads one other record; a record the host does not have reads as zeros.
// Answers whether the host had it.
bool LoadOtherRecord(EDTAG tag, uint16_t cmper, uint16_t inci, void* twelveBytes)
{
    EDataAddress address{{cmper, inci, 0, 0}};
    std::array<uint8_t, kOtherRecordSize> loaded{};
    uint32_t size = kOtherRecordSize;
    const bool found = FX_LoadEData(tag, &address, loaded.data(), &size, FXT_VERSION_2012) != 0;
    if (!found) loaded.fill(0);
    std::memcpy(twelveBytes, loaded.data(), kOtherRecordSize);
    return found;
}

bool SaveOtherRecord(EDTAG tag, uint16_t cmper, uint16_t inci, const void* twelveBytes)
{
    EDataAddress address{{cmper, inci, 0, 0}};
    return FX_SaveEData(tag, &address, twelveBytes, kOtherRecordSize, FXT_VERSION_2012) != 0;
}

bool SameOtherRecord(const PREFERENCE_LOCATION_MAPRECORD& a, const PREFERENCE_LOCATION_MAPRECORD& b)
{
    return a.otherChar1 == b.otherChar1 && a.otherChar2 == b.otherChar2 && a.cmper == b.cmper && a.inci == b.inci;
}

// A 4-byte field may start at words 0 to 4, a 2-byte field at 0 to 5.
bool FieldFits(const PREFERENCE_LOCATION_MAPRECORD& record)
{
    const int wordsUsed = record.size == 4 ? 2 : 1;
    return (record.size == 2 || record.size == 4) && record.word >= 0 &&
           record.word + wordsUsed <= kOtherRecordWords && record.offset >= 0;
}

void ReadField(const PREFERENCE_LOCATION_MAPRECORD& record, const OtherWords& words, uint8_t* structure)
{
    if (!FieldFits(record)) return;
    const int w = record.word;
    if (record.size == 4) {
        uint32_t value = 0;
        if (record.kind == PREFMAP_HIGHFIRST) value = (static_cast<uint32_t>(words[w]) << 16) | words[w + 1];
        else if (record.kind == PREFMAP_LOWFIRST) value = (static_cast<uint32_t>(words[w + 1]) << 16) | words[w];
        std::memcpy(structure + record.offset, &value, sizeof value);
    } else {
        uint16_t value = words[w];
        if (record.kind == PREFMAP_NEGATEDFLAG) value = words[w] == 0 ? 1 : 0;
        else if (record.kind == PREFMAP_LOWBYTE) value = words[w] & 0x00FF;
        std::memcpy(structure + record.offset, &value, sizeof value);
    }
}

// Writes the field into the words; answers whether a word changed.
bool WriteField(const PREFERENCE_LOCATION_MAPRECORD& record, const uint8_t* structure, OtherWords& words)
{
    if (!FieldFits(record)) return false;
    const int w = record.word;
    OtherWords before = words;
    if (record.size == 4) {
        uint32_t value = 0;
        std::memcpy(&value, structure + record.offset, sizeof value);
        const auto high = static_cast<uint16_t>(value >> 16);
        const auto low = static_cast<uint16_t>(value & 0xFFFF);
        if (record.kind == PREFMAP_LOWFIRST) {
            words[w] = low;
            words[w + 1] = high;
        } else if (record.kind == PREFMAP_HIGHFIRST) {
            words[w] = high;
            words[w + 1] = low;
        }
    } else {
        uint16_t value = 0;
        std::memcpy(&value, structure + record.offset, sizeof value);
        if (record.kind == PREFMAP_NEGATEDFLAG) value = value == 0 ? 1 : 0;
        else if (record.kind == PREFMAP_LOWBYTE) value = static_cast<uint16_t>(static_cast<int8_t>(value & 0x00FF));
        words[w] = value;
    }
    return words != before;
}

bool LoadStructure(std::span<const PREFERENCE_LOCATION_MAPRECORD> map, void* buffer, uint32_t* size)
{
    const uint32_t structureSize = PrefStructSize(map);
    if (buffer == nullptr) {
        *size = structureSize;
        return true;
    }
    if (*size < structureSize) return false;

    auto* structure = static_cast<uint8_t*>(buffer);
    std::vector<bool> done(map.size(), false);
    for (size_t first = 0; first < map.size(); ++first) {
        if (done[first]) continue;
        OtherWords words{};
        LoadOtherRecord(PrefMapOtherTag(map[first]), PrefMapOtherCmper(map[first]), map[first].inci, words.data());
        // Every field kept in the same other record is filled from this one load.
        for (size_t field = first; field < map.size(); ++field) {
            if (done[field] || !SameOtherRecord(map[first], map[field])) continue;
            ReadField(map[field], words, structure);
            done[field] = true;
        }
    }
    *size = structureSize;
    return true;
}

bool SaveStructure(std::span<const PREFERENCE_LOCATION_MAPRECORD> map, const void* buffer, uint32_t size)
{
    // The structure is read in full, so the caller must hand all of it.
    if (buffer == nullptr || size < PrefStructSize(map)) return false;

    const auto* structure = static_cast<const uint8_t*>(buffer);
    std::vector<bool> done(map.size(), false);
    bool allSaved = true;
    for (size_t first = 0; first < map.size(); ++first) {
        if (done[first]) continue;
        const EDTAG tag = PrefMapOtherTag(map[first]);
        const uint16_t cmper = PrefMapOtherCmper(map[first]);
        OtherWords words{};
        LoadOtherRecord(tag, cmper, map[first].inci, words.data());
        bool changed = false;
        for (size_t field = first; field < map.size(); ++field) {
            if (done[field] || !SameOtherRecord(map[first], map[field])) continue;
            if (WriteField(map[field], structure, words)) changed = true;
            done[field] = true;
        }
        if (changed && !SaveOtherRecord(tag, cmper, map[first].inci, words.data())) allSaved = false;
    }
    return allSaved;
}

bool LoadRun(const PrefTagRun& run, void* buffer, uint32_t* size)
{
    const uint32_t runSize = static_cast<uint32_t>(run.count) * kOtherRecordSize;
    if (buffer == nullptr) {
        *size = runSize;
        return true;
    }
    if (*size < runSize) return false;
    auto* slots = static_cast<uint8_t*>(buffer);
    for (int32_t i = 0; i < run.count; ++i) {
        LoadOtherRecord(run.otherTag, OTHER_PREFS_CMPER, static_cast<uint16_t>(run.firstInci + i),
                        slots + static_cast<size_t>(i) * kOtherRecordSize);
    }
    *size = runSize;
    return true;
}

bool SaveRun(const PrefTagRun& run, const void* buffer, uint32_t size)
{
    const uint32_t runSize = static_cast<uint32_t>(run.count) * kOtherRecordSize;
    if (buffer == nullptr || size < runSize) return false;
    const auto* slots = static_cast<const uint8_t*>(buffer);
    bool allSaved = true;
    for (int32_t i = 0; i < run.count; ++i) {
        if (!SaveOtherRecord(run.otherTag, OTHER_PREFS_CMPER, static_cast<uint16_t>(run.firstInci + i),
                             slots + static_cast<size_t>(i) * kOtherRecordSize)) {
            allSaved = false;
        }
    }
    return allSaved;
}

}  // namespace

bool LoadEmulatedPreference(EDTAG tag, int16_t cmper, void* buffer, uint32_t* size, bool* handled)
{
    bool ignored = false;
    if (handled == nullptr) handled = &ignored;
    *handled = false;
    if (size == nullptr || !IsPreferenceTag(tag)) return false;
    const auto map = mapPrefStruct(tag, cmper);
    if (!map.empty()) {
        *handled = true;
        return LoadStructure(map, buffer, size);
    }
    PrefTagRun run{};
    if (mapPrefTag(tag, cmper, &run)) {
        *handled = true;
        return LoadRun(run, buffer, size);
    }
    return false;
}

bool SaveEmulatedPreference(EDTAG tag, int16_t cmper, const void* buffer, uint32_t size, bool* handled)
{
    bool ignored = false;
    if (handled == nullptr) handled = &ignored;
    *handled = false;
    if (!IsPreferenceTag(tag)) return false;
    const auto map = mapPrefStruct(tag, cmper);
    if (!map.empty()) {
        *handled = true;
        return SaveStructure(map, buffer, size);
    }
    PrefTagRun run{};
    if (mapPrefTag(tag, cmper, &run)) {
        *handled = true;
        return SaveRun(run, buffer, size);
    }
    return false;
}
