// Older document preference structures, emulated through the host's small
// "other" records.
//
// The host keeps many document preferences in 12-byte other records (tag 'o'
// 't' followed by two characters, six 16-bit words each, cmper 65534). Two
// kinds of preference records are put together from them by the bridge:
// - nine structures whose fields are scattered over words of several other
//   records (mapPrefStruct gives the table of one structure);
// - records that are a run of whole other records with consecutive incis
//   (mapPrefTag gives the run).
#pragma once

#include <cstdint>
#include <span>

#include "tonaropdk/hostapi/fxtypes.h"

// Where one field of an emulated structure lives.
struct PREFERENCE_LOCATION_MAPRECORD {
    uint16_t done;         // working mark; always 0 in the tables (a call keeps its own marks)
    uint8_t otherChar1;    // the two characters completing the other record's tag
    uint8_t otherChar2;
    uint16_t cmper;        // other record's cmper; 0 stands for 65534
    uint16_t inci;         // other record's inci
    int16_t offset;        // byte offset of the field in the structure
    int16_t word;          // first 16-bit word (0 to 5) in the other record
    uint16_t size;         // 2 or 4 bytes
    uint32_t kind;         // PREFMAP_* conversion below
};

// Conversions between a field and its word(s):
constexpr uint32_t PREFMAP_PLAIN = 0;        // 2 bytes: the word as it is
constexpr uint32_t PREFMAP_HIGHFIRST = 1;    // 4 bytes: word[w] is the high half
constexpr uint32_t PREFMAP_LOWFIRST = 2;     // 4 bytes: word[w] is the low half
constexpr uint32_t PREFMAP_NEGATEDFLAG = 3;  // 2 bytes: field 1 when the word is 0, else 0
constexpr uint32_t PREFMAP_LOWBYTE = 4;      // 2 bytes: the word's low byte

// Whether tag is of the preference family ('p' 'f' and two characters), the
// only tags that name emulated records: a cheap test before the maps.
constexpr bool IsPreferenceTag(EDTAG tag)
{
    return (tag & 0xFFFF0000u) == 0x70660000u;
}

// The other record that a map record names.
EDTAG PrefMapOtherTag(const PREFERENCE_LOCATION_MAPRECORD& record);
uint16_t PrefMapOtherCmper(const PREFERENCE_LOCATION_MAPRECORD& record);

// The map of the structure that tag (with cmper) names, in table order; empty
// when the tag is not an emulated structure. The tables are static and
// constant.
std::span<const PREFERENCE_LOCATION_MAPRECORD> mapPrefStruct(EDTAG tag, int16_t cmper);

// Size in bytes of a mapped structure: the sum of its field sizes.
uint32_t PrefStructSize(std::span<const PREFERENCE_LOCATION_MAPRECORD> map);

// A preference record kept as a run of count other records otherTag at cmper
// 65534 with incis firstInci, firstInci + 1, ...
struct PrefTagRun {
    EDTAG otherTag;
    int32_t count;
    uint16_t firstInci;
};

// Fills run and answers true when tag (with cmper) is such a record; answers
// false and leaves run alone otherwise. run must not be null.
bool mapPrefTag(EDTAG tag, int16_t cmper, PrefTagRun* run);

// Loading and saving through the maps. Both answer false without touching
// the host when tag and cmper name no emulated record (handled is then false);
// otherwise handled (which may be null) is true and the result is the
// emulated call's.
//
// Load: buffer may be null to ask for the size only; *size holds the capacity
// on entry and the structure's size on success. A capacity below the size
// answers false and writes nothing. Other records that the host lacks read as
// zeros.
bool LoadEmulatedPreference(EDTAG tag, int16_t cmper, void* buffer, uint32_t* size, bool* handled);
// Save: buffer must hold at least the structure's size. Writes back only the
// other records in which a field changed; answers false when any such write
// failed.
bool SaveEmulatedPreference(EDTAG tag, int16_t cmper, const void* buffer, uint32_t size, bool* handled);
