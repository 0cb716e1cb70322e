// The generic record store (create with host-assigned numbers, walk forwards
// and backwards, delete) and the computed entry metrics.
#include <gtest/gtest.h>

#include <cstring>

#include "enginefixture.h"
#include "tonaropdk/hostapi/entrymetrics.h"
#include "tonaropdk/hostapi/fxfunctions.h"
#include "tonaropdk/hostapi/recordtags.h"

using namespace tonaroengine;

namespace {

constexpr uint32_t V = FXT_VERSION_2012;
constexpr EDTAG kOther = MakeEDTag('o', 't', 'Z', 'Z');

EDataAddress At(uint16_t w0, uint16_t w1 = 0, uint16_t w2 = 0, uint16_t w3 = 0)
{
    return EDataAddress{{w0, w1, w2, w3}};
}

}  // namespace

TEST_F(EngineTest, CreateAssignsTheNumbersGivenAsMinusOne)
{
    MakeScore();
    const uint8_t data[12] = {1, 2, 3};
    EDataAddress address = At(0xFFFF, 0xFFFF);  // cmper and inci from the host
    ASSERT_TRUE(FX_CreateEData(kOther, &address, data, sizeof data, V));
    EXPECT_EQ(address.words[0], 1);
    EXPECT_EQ(address.words[1], 0);
    address = At(0xFFFF, 0xFFFF);
    ASSERT_TRUE(FX_CreateEData(kOther, &address, data, sizeof data, V));
    EXPECT_EQ(address.words[0], 2);

    address = At(2, 0xFFFF);  // the next inci of cmper 2
    ASSERT_TRUE(FX_CreateEData(kOther, &address, data, sizeof data, V));
    EXPECT_EQ(address.words[1], 1);
    address = At(9, 0xFFFF);  // first inci of a new cmper
    ASSERT_TRUE(FX_CreateEData(kOther, &address, data, sizeof data, V));
    EXPECT_EQ(address.words[1], 0);

    // An entry detail: entry number in words 0-1, inci assigned.
    address = At(0x1234, 0x0001, 0xFFFF);
    ASSERT_TRUE(FX_CreateEData(TAG_ARTICULATION, &address, data, sizeof data, V));
    EXPECT_EQ(address.words[2], 0);
    address = At(0x1234, 0x0001, 0xFFFF);
    ASSERT_TRUE(FX_CreateEData(TAG_ARTICULATION, &address, data, sizeof data, V));
    EXPECT_EQ(address.words[2], 1);

    // A record that exists is not created again; nothing to store is refused.
    address = At(2, 0);
    EXPECT_FALSE(FX_CreateEData(kOther, &address, data, sizeof data, V));
    address = At(0xFFFF, 0xFFFF);
    EXPECT_FALSE(FX_CreateEData(kOther, &address, nullptr, 12, V));
    EXPECT_EQ(address.words[0], 0xFFFF);
}

TEST_F(EngineTest, RecordsWalkWithNextAndPrevious)
{
    MakeScore();
    const uint16_t cmpers[][2] = {{4, 0}, {1, 0}, {4, 2}, {7, 1}};
    for (const auto& c : cmpers) {
        EDataAddress address = At(c[0], c[1]);
        const uint16_t data[6] = {c[0], c[1]};
        ASSERT_TRUE(FX_SaveEData(kOther, &address, data, sizeof data, V));
    }
    // A record of another tag between them is not part of the walk.
    EDataAddress otherTag = At(5, 0);
    const uint8_t byte = 1;
    ASSERT_TRUE(FX_SaveEData(kOther + 1, &otherTag, &byte, 1, V));

    EDataAddress address = At(0, 0);
    std::vector<std::pair<int, int>> forward;
    uint16_t loaded[6] = {};
    while (FX_NextEData(kOther, &address, loaded, sizeof loaded, V)) {
        forward.emplace_back(address.words[0], address.words[1]);
        EXPECT_EQ(loaded[0], address.words[0]);  // the buffer holds the record walked to
        EXPECT_EQ(loaded[1], address.words[1]);
    }
    EXPECT_EQ(forward, (std::vector<std::pair<int, int>>{{1, 0}, {4, 0}, {4, 2}, {7, 1}}));
    EXPECT_EQ(address.words[0], 7);  // a failed step leaves the address

    std::vector<std::pair<int, int>> backward;
    while (FX_PreviousEData(kOther, &address, nullptr, 0, V)) backward.emplace_back(address.words[0], address.words[1]);
    EXPECT_EQ(backward, (std::vector<std::pair<int, int>>{{4, 2}, {4, 0}, {1, 0}}));

    // Staves walk in staff-number order, measures in measure order.
    EDataAddress staff = At(0);
    std::vector<int> staves;
    while (FX_NextEData(TAG_STAFFSPEC, &staff, nullptr, 0, V)) staves.push_back(staff.words[0]);
    EXPECT_EQ(staves, (std::vector<int>{3, 5, 7}));
    EDataAddress measure = At(4);
    EXPECT_FALSE(FX_NextEData(TAG_MEASURESPEC, &measure, nullptr, 0, V));
    EXPECT_TRUE(FX_PreviousEData(TAG_MEASURESPEC, &measure, nullptr, 0, V));
    EXPECT_EQ(measure.words[0], 3);
}

TEST_F(EngineTest, LoadReportsSizeAndHonoursCapacity)
{
    MakeScore();
    EDataAddress address = At(3, 1);
    const uint8_t data[20] = {10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29};
    ASSERT_TRUE(FX_SaveEData(kOther, &address, data, sizeof data, V));
    uint32_t size = 0;
    ASSERT_TRUE(FX_LoadEData(kOther, &address, nullptr, &size, V));
    EXPECT_EQ(size, 20u);
    uint8_t small[8] = {};
    size = sizeof small;
    ASSERT_TRUE(FX_LoadEData(kOther, &address, small, &size, V));
    EXPECT_EQ(size, 8u);
    EXPECT_EQ(small[7], 17);

    ASSERT_TRUE(FX_DeleteEData(kOther, &address, V));
    EXPECT_FALSE(FX_DeleteEData(kOther, &address, V));
    size = sizeof small;
    EXPECT_FALSE(FX_LoadEData(kOther, &address, small, &size, V));
    EXPECT_FALSE(FX_LoadEData(kOther, nullptr, small, &size, V));
}

TEST_F(EngineTest, ClefDefinitionsAreRecords)
{
    MakeScore();
    EDataAddress address = At(CLEF_BASS, 0);
    EDTClefDef clef{};
    uint32_t size = sizeof clef;
    ASSERT_TRUE(FX_LoadEData(TAG_CLEFDEF, &address, &clef, &size, V));
    EXPECT_EQ(+clef.middleCPos, 2);
    address = At(CLEF_TREBLE, 0);
    size = sizeof clef;
    ASSERT_TRUE(FX_LoadEData(TAG_CLEFDEF, &address, &clef, &size, V));
    EXPECT_EQ(+clef.middleCPos, -10);
}

TEST_F(EngineTest, EntryDetailsLeaveWithTheirEntry)
{
    Document* doc = MakeScore();
    const uint32_t entnum = doc->AddEntry(5, 1, 0, Chord({Note("C4")}));
    EDataAddress address = At(static_cast<uint16_t>(entnum & 0xFFFF), static_cast<uint16_t>(entnum >> 16), 0xFFFF);
    const uint8_t data[6] = {1};
    ASSERT_TRUE(FX_CreateEData(TAG_ARTICULATION, &address, data, sizeof data, V));
    ASSERT_TRUE(doc->SetEntries(5, 1, 0, {}));
    uint32_t size = 0;
    EXPECT_FALSE(FX_LoadEData(TAG_ARTICULATION, &address, nullptr, &size, V));
}

namespace {

EDTEntryMetrics Metrics(uint32_t entnum, uint32_t version = ENTRYMETRICS_VERSION_2012)
{
    EDataAddress address{{static_cast<uint16_t>(entnum & 0xFFFF), static_cast<uint16_t>(entnum >> 16), 0, 0}};
    EDTEntryMetrics metrics{};
    uint32_t size = sizeof metrics;
    EXPECT_TRUE(FX_LoadEData(TAG_ENTRYMETRICS, &address, &metrics, &size, version));
    EXPECT_EQ(size, sizeof metrics);
    return metrics;
}

}  // namespace

TEST_F(EngineTest, EntryMetricsFollowTheStandardAccidentalRule)
{
    Document* doc = MakeScore(0x0001);  // G major
    const uint32_t fSharp = doc->AddEntry(5, 1, 0, Chord({Note("F#4", 1), Note("C4", 1)}));
    const uint32_t fNatural = doc->AddEntry(5, 1, 0, Chord({Note("F4", 1)}));
    const uint32_t fAgain = doc->AddEntry(5, 1, 0, Chord({Note("F4", 1), Note("F5", 1)}));
    const uint32_t fSharpBack = doc->AddEntry(5, 1, 0, Chord({Note("F#4", 1)}));

    EXPECT_EQ(+Metrics(fSharp).numNotes, 2);
    EXPECT_EQ(+Metrics(fSharp).notes[0].accidentalShown, 0);  // the key gives F#
    EXPECT_EQ(+Metrics(fSharp).notes[0].noteID, 1);
    EXPECT_EQ(+Metrics(fSharp).notes[1].accidentalShown, 0);
    EXPECT_EQ(+Metrics(fSharp).notes[1].staffPosition, -10);  // middle C on the treble staff
    EXPECT_EQ(+Metrics(fNatural).notes[0].accidentalShown, 1);
    EXPECT_EQ(+Metrics(fNatural).notes[0].accidental, 0);
    EXPECT_EQ(+Metrics(fAgain).notes[0].accidentalShown, 0);  // same line, same measure
    EXPECT_EQ(+Metrics(fAgain).notes[1].accidentalShown, 1);  // another octave
    EXPECT_EQ(+Metrics(fSharpBack).notes[0].accidentalShown, 1);
    EXPECT_EQ(+Metrics(fSharpBack).notes[0].accidental, 1);

    // Another layer earlier in time counts too; a tie carries the alteration.
    NoteSpec tied = Note("Bb4", 1);
    tied.tieStart = true;
    doc->AddEntry(3, 1, 0, Chord({Note("C4", 1)}, 3072));
    const uint32_t tieStart = doc->AddEntry(3, 1, 0, Chord({tied}));
    const uint32_t tieEnd = doc->AddEntry(3, 2, 0, Chord({Note("Bb4", 1)}));
    const uint32_t layer2 = doc->AddEntry(3, 2, 1, Chord({Note("Bb4", 1)}, 2048));
    EXPECT_EQ(+Metrics(tieStart).notes[0].accidentalShown, 1);
    EXPECT_EQ(+Metrics(tieEnd).notes[0].accidentalShown, 0);
    EXPECT_EQ(+Metrics(layer2).notes[0].accidentalShown, 0);  // after the tied B flat at the same time

    EDataAddress none{{0, 0, 0, 0}};
    uint32_t size = sizeof(EDTEntryMetrics);
    EDTEntryMetrics metrics{};
    EXPECT_FALSE(FX_LoadEData(TAG_ENTRYMETRICS, &none, &metrics, &size, V));
}
