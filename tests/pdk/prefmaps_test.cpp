// The maps of the emulated preference structures and runs: every table must
// place each field of its structure exactly once, in a word of one of the
// other records that the structure is known to use.
#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "tonaropdk/bridge/prefemulation.h"

namespace {

struct OtherRecordName {
    std::string chars;
    uint16_t cmper;  // as in the map record: 0 stands for 65534
    uint16_t inci;
    auto operator<=>(const OtherRecordName&) const = default;
};

struct StructureCase {
    EDTAG tag;
    const char* name;
    size_t records;
    uint32_t size;
    std::set<OtherRecordName> others;
};

std::set<OtherRecordName> Plain(std::initializer_list<const char*> chars)
{
    std::set<OtherRecordName> out;
    for (const char* c : chars) out.insert({c, 0, 0});
    return out;
}

std::set<OtherRecordName> Join(std::set<OtherRecordName> a, std::initializer_list<OtherRecordName> b)
{
    a.insert(b.begin(), b.end());
    return a;
}

std::vector<StructureCase> Structures()
{
    return {
        {0x70664450, "EDTDistancePrefs", 36, 76,
         Join(Plain({"01", "13", "14", "18", "19", "20", "21", "22", "27", "39", "59", "65", "67", "68"}),
              {{"77", 0, 4}})},
        {0x70664558, "EDTExtractPrefs", 25, 50, {{"77", 0, 4}, {"77", 0, 5}, {"77", 0, 6}, {"77", 0, 7}, {"77", 0, 8}}},
        {0x70664D53, "EDTMiscDocPrefs", 49, 104,
         Join(Plain({"01", "03", "05", "09", "12", "13", "15", "16", "17", "19", "20", "23", "27", "31", "36", "44",
                     "62", "76", "93"}),
              {{"41", 0, 0}, {"41", 0, 1}, {"41", 0, 2}, {"FI", 10, 0}})},
        {0x70665042, "EDTPianoBracePrefs", 11, 44, Plain({"45", "60", "61", "64", "65"})},
        {0x70665046, "EDTPageFormatPrefsScore", 22, 48,
         Plain({"01", "02", "03", "13", "14", "15", "16", "17", "39"})},
        {0x7066504C, "EDTPlaybackPrefs", 7, 14, Plain({"13", "36", "37", "39"})},
        {0x70665250, "EDTRepeatPrefs", 20, 40, Plain({"05", "70", "71", "72", "76"})},
        {0x70665349, "EDTSizePrefs", 23, 54,
         Plain({"01", "03", "14", "20", "21", "23", "27", "58", "59", "62", "64", "67", "68", "69", "97"})},
        {0x70665353, "EDTSmartShapePrefs", 43, 96,
         Join(Plain({"11", "12", "50", "51", "69", "92", "93"}),
              {{"53", 0, 0}, {"53", 0, 1}, {"97", 0, 1}, {"FI", 11, 0}, {"FI", 12, 0}})},
    };
}

OtherRecordName NameOf(const PREFERENCE_LOCATION_MAPRECORD& r)
{
    return {std::string{static_cast<char>(r.otherChar1), static_cast<char>(r.otherChar2)}, r.cmper, r.inci};
}

TEST(PreferenceMaps, EveryStructureIsPlacedCompletelyAndWithoutOverlap)
{
    size_t total = 0;
    for (const StructureCase& c : Structures()) {
        SCOPED_TRACE(c.name);
        const auto map = mapPrefStruct(c.tag, 0);
        ASSERT_EQ(map.size(), c.records);
        EXPECT_EQ(PrefStructSize(map), c.size);
        total += map.size();

        // Sorted by offset, the fields tile the structure from 0 to its size.
        std::vector<std::pair<int, int>> spans;
        for (const auto& r : map) spans.emplace_back(r.offset, r.size);
        std::sort(spans.begin(), spans.end());
        int next = 0;
        for (const auto& [offset, size] : spans) {
            EXPECT_EQ(offset, next) << "gap or overlap at " << offset;
            next = offset + size;
        }
        EXPECT_EQ(next, static_cast<int>(c.size));

        std::set<std::tuple<OtherRecordName, int>> wordsUsed;
        std::set<OtherRecordName> othersUsed;
        for (const auto& r : map) {
            SCOPED_TRACE(r.offset);
            EXPECT_EQ(r.done, 0);
            EXPECT_TRUE(r.size == 2 || r.size == 4);
            if (r.size == 4) {
                EXPECT_TRUE(r.kind == PREFMAP_HIGHFIRST || r.kind == PREFMAP_LOWFIRST);
            } else {
                EXPECT_TRUE(r.kind == PREFMAP_PLAIN || r.kind == PREFMAP_NEGATEDFLAG || r.kind == PREFMAP_LOWBYTE);
            }
            EXPECT_GE(r.word, 0);
            EXPECT_LE(r.word + r.size / 2, 6);
            for (int w = r.word; w < r.word + r.size / 2; ++w) {
                EXPECT_TRUE(wordsUsed.insert({NameOf(r), w}).second) << "word " << w << " mapped twice";
            }
            othersUsed.insert(NameOf(r));
        }
        EXPECT_EQ(othersUsed, c.others);
    }
    EXPECT_EQ(total, 236u);
}

TEST(PreferenceMaps, NoOtherRecordWordServesTwoStructures)
{
    std::map<std::tuple<OtherRecordName, int>, std::string> owner;
    for (const StructureCase& c : Structures()) {
        for (const auto& r : mapPrefStruct(c.tag, 0)) {
            for (int w = r.word; w < r.word + r.size / 2; ++w) {
                auto [it, inserted] = owner.emplace(std::make_tuple(NameOf(r), w), c.name);
                EXPECT_TRUE(inserted) << "ot" << NameOf(r).chars << " word " << w << " in " << c.name << " and "
                                      << it->second;
            }
        }
    }
}

struct Row {
    const char* chars;
    uint16_t inci;
    int16_t word;
    uint16_t size;
    uint32_t kind;
    int16_t offset;
};

void ExpectRow(const PREFERENCE_LOCATION_MAPRECORD& r, const Row& expected)
{
    EXPECT_EQ(NameOf(r).chars, expected.chars);
    EXPECT_EQ(r.cmper, 0);
    EXPECT_EQ(r.inci, expected.inci);
    EXPECT_EQ(r.word, expected.word);
    EXPECT_EQ(r.size, expected.size);
    EXPECT_EQ(r.kind, expected.kind);
    EXPECT_EQ(r.offset, expected.offset);
}

const PREFERENCE_LOCATION_MAPRECORD* FindAt(std::span<const PREFERENCE_LOCATION_MAPRECORD> map, int16_t offset,
                                            size_t* index)
{
    for (size_t i = 0; i < map.size(); ++i) {
        if (map[i].offset == offset) {
            *index = i;
            return &map[i];
        }
    }
    return nullptr;
}

TEST(PreferenceMaps, DistancePrefsKeepTheKnownRowsInTableOrder)
{
    const auto map = mapPrefStruct(0x70664450, 0);
    ASSERT_EQ(map.size(), 36u);
    ExpectRow(map[0], {"21", 0, 3, 2, 0, 0});
    ExpectRow(map[1], {"21", 0, 5, 2, 0, 2});
    ExpectRow(map[2], {"59", 0, 3, 2, 0, 4});
    ExpectRow(map[35], {"77", 4, 0, 2, 0, 72});

    size_t at18 = 0, at54 = 0, at74 = 0;
    ASSERT_NE(FindAt(map, 18, &at18), nullptr);
    ASSERT_NE(FindAt(map, 54, &at54), nullptr);
    ASSERT_NE(FindAt(map, 74, &at74), nullptr);
    ExpectRow(map[at18], {"68", 0, 4, 4, 1, 18});
    ExpectRow(map[at54], {"65", 0, 0, 4, 1, 54});
    ExpectRow(map[at74], {"01", 0, 5, 2, 0, 74});
    EXPECT_LT(2u, at18);
    EXPECT_LT(at18, at54);
    EXPECT_LT(at54, at74);
    EXPECT_LT(at74, 35u);
}

TEST(PreferenceMaps, SpecialConversionsSitWhereTheyBelong)
{
    std::map<std::string, std::vector<std::tuple<std::string, int16_t>>> byKind3, byKind4;
    for (const StructureCase& c : Structures()) {
        for (const auto& r : mapPrefStruct(c.tag, 0)) {
            if (r.kind == PREFMAP_NEGATEDFLAG) byKind3[c.name].emplace_back(NameOf(r).chars, r.word);
            if (r.kind == PREFMAP_LOWBYTE) byKind4[c.name].emplace_back(NameOf(r).chars, r.word);
        }
    }
    using Fields = std::vector<std::tuple<std::string, int16_t>>;
    ASSERT_EQ(byKind3.size(), 1u);
    EXPECT_EQ(byKind3["EDTMiscDocPrefs"], (Fields{{"36", 1}}));
    ASSERT_EQ(byKind4.size(), 2u);
    EXPECT_EQ(byKind4["EDTMiscDocPrefs"], (Fields{{"19", 4}, {"19", 5}}));
    EXPECT_EQ(byKind4["EDTSmartShapePrefs"], (Fields{{"12", 5}, {"11", 5}, {"69", 4}, {"69", 5}, {"69", 2}, {"69", 3}}));

    const auto misc = mapPrefStruct(0x70664D53, 0);
    size_t index = 0;
    EXPECT_EQ(FindAt(misc, 12, &index)->kind, PREFMAP_NEGATEDFLAG);
    EXPECT_EQ(FindAt(misc, 52, &index)->word, 4);
    EXPECT_EQ(FindAt(misc, 54, &index)->word, 5);

    for (const auto& r : mapPrefStruct(0x70665042, 0)) {
        EXPECT_EQ(r.size, 4);
        EXPECT_EQ(r.kind, PREFMAP_HIGHFIRST);
    }
}

TEST(PreferenceMaps, OnlyTheNineStructureTagsHaveMaps)
{
    EXPECT_TRUE(mapPrefStruct(0x70665046, 1).empty());  // page format of the parts: a run
    EXPECT_TRUE(mapPrefStruct(0x70665046, 2).empty());
    EXPECT_TRUE(mapPrefStruct(0x70666770, 0).empty());  // general preferences
    EXPECT_TRUE(mapPrefStruct(0x6F743231, 0).empty());
    EXPECT_TRUE(mapPrefStruct(0, 0).empty());
    // The other structures do not depend on the cmper.
    EXPECT_EQ(mapPrefStruct(0x70664450, 7).size(), 36u);
}

TEST(PreferenceMaps, RunsCoverTheirCmpersOnly)
{
    struct RunCase {
        EDTAG tag;
        int16_t cmper;
        bool mapped;
        EDTAG other;
        int32_t count;
        uint16_t firstInci;
    };
    const RunCase cases[] = {
        {0x70664744, 0, true, 0x6F743739, 1, 0},   {0x70664747, 3, true, 0x6F743838, 11, 0},
        {0x70664762, 0, false, 0, 0, 0},           {0x70664762, 1, true, 0x6F743938, 1, 0},
        {0x70664762, 4, true, 0x6F743938, 1, 3},   {0x70664762, 5, false, 0, 0, 0},
        {0x70664764, 0, true, 0x6F743830, 1, 0},   {0x70664773, 1, true, 0x6F743931, 1, 0},
        {0x70664773, 0, false, 0, 0, 0},           {0x70664773, 2, false, 0, 0, 0},
        {0x70664D4D, 0, true, 0x6F743235, 2, 0},   {0x70664E44, 0, true, 0x6F743034, 1, 0},
        {0x70664E64, 0, true, 0x6F743636, 1, 0},   {0x70665046, 1, true, 0x6F743737, 4, 0},
        {0x70665046, 0, false, 0, 0, 0},           {0x70665046, 2, false, 0, 0, 0},
        {0x70665343, 0, true, 0x6F743532, 2, 0},   {0x7066534E, 0, false, 0, 0, 0},
        {0x7066534E, 1, true, 0x6F743430, 1, 0},   {0x7066534E, 5, true, 0x6F743430, 1, 4},
        {0x7066534E, 128, true, 0x6F743430, 1, 127}, {0x7066534E, 129, false, 0, 0, 0},
        {0x7066534E, -2, false, 0, 0, 0},          {0x70665350, 0, true, 0x6F743934, 3, 0},
        {0x7066536C, 15, true, 0x6F743236, 1, 14}, {0x7066536C, 16, false, 0, 0, 0},
        {0x70665443, 0, true, 0x6F743836, 5, 0},   {0x70665449, 0, true, 0x6F743834, 4, 0},
        {0x70665458, 0, true, 0x6F743738, 8, 0},   {0x70665470, 0, true, 0x6F743835, 4, 0},
        {0x70665473, 9, true, 0x6F743930, 1, 8},   {0x70665473, 10, false, 0, 0, 0},
        {0x70664450, 0, false, 0, 0, 0},           {0x534F4953, 1, false, 0, 0, 0},
    };
    for (const RunCase& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.tag << std::dec << " cmper " << c.cmper);
        PrefTagRun run{0x11111111, -1, 0x2222};
        EXPECT_EQ(mapPrefTag(c.tag, c.cmper, &run), c.mapped);
        if (c.mapped) {
            EXPECT_EQ(run.otherTag, c.other);
            EXPECT_EQ(run.count, c.count);
            EXPECT_EQ(run.firstInci, c.firstInci);
        } else {
            EXPECT_EQ(run.otherTag, 0x11111111u);
            EXPECT_EQ(run.count, -1);
        }
    }
    EXPECT_FALSE(mapPrefTag(0x70664744, 0, nullptr));
}

}  // namespace
