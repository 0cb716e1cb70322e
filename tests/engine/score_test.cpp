// Staves, measures and their records: staff numbers are not slots, layouts
// follow the version word, the setup in force follows staff styles.
#include <gtest/gtest.h>

#include <cstring>

#include "enginefixture.h"
#include "tonaropdk/hostapi/celldetails.h"
#include "tonaropdk/hostapi/fxfunctions.h"
#include "tonaropdk/hostapi/measurespec.h"
#include "tonaropdk/hostapi/prefsrecords.h"
#include "tonaropdk/hostapi/recordtags.h"
#include "tonaropdk/hostapi/staffspec.h"

using namespace tonaroengine;

namespace {

EDataAddress At(uint16_t w0, uint16_t w1 = 0, uint16_t w2 = 0, uint16_t w3 = 0)
{
    return EDataAddress{{w0, w1, w2, w3}};
}

EDataAddress Place(int16_t staff, int16_t measure, int32_t position)
{
    EDataAddress address = At(static_cast<uint16_t>(staff), static_cast<uint16_t>(measure));
    std::memcpy(&address.words[2], &position, sizeof position);
    return address;
}

EDTStaffSpecHead LoadHead(EDTAG tag, EDataAddress address)
{
    uint8_t buffer[STAFFSPEC_SIZE_2012] = {};
    uint32_t size = sizeof buffer;
    EXPECT_TRUE(FX_LoadEData(tag, &address, buffer, &size, FXT_VERSION_2012));
    EDTStaffSpecHead head;
    std::memcpy(&head, buffer, sizeof head);
    return head;
}

}  // namespace

TEST_F(EngineTest, StaffNumbersAreNotSlots)
{
    Document* doc = MakeScore();
    EXPECT_EQ(FX_SlotToInst(1, 0, FXT_VERSION_2012), 5);
    EXPECT_EQ(FX_SlotToInst(2, 0, FXT_VERSION_2012), 3);
    EXPECT_EQ(FX_SlotToInst(3, 0, FXT_VERSION_2012), 7);
    EXPECT_EQ(FX_SlotToInst(4, 0, FXT_VERSION_2012), 0);
    EXPECT_EQ(FX_InstToSlot(7, 0, FXT_VERSION_2012), 3);
    EXPECT_EQ(FX_InstToSlot(1, 0, FXT_VERSION_2012), 0);
    EXPECT_EQ(FX_SlotToInst(1, 2, FXT_VERSION_2012), 0);  // only the global list exists

    // Moving a staff changes its slot and keeps its number and its music.
    ASSERT_NE(doc->AddEntry(7, 1, 0, Chord({Note("C3")})), 0u);
    ASSERT_TRUE(doc->MoveStaff(7, 1));
    EXPECT_EQ(FX_InstToSlot(7, 0, FXT_VERSION_2012), 1);
    EXPECT_EQ(doc->Entries(7, 1, 0).size(), 1u);
    EXPECT_FALSE(doc->MoveStaff(7, 4));
    EXPECT_EQ(doc->AddStaff(3), 0);  // numbers are unique
    EXPECT_EQ(doc->AddStaff(), 1);   // the lowest free number
}

TEST_F(EngineTest, StaffSpecLayoutFollowsTheVersionAndTheCapacity)
{
    MakeScore();
    const struct {
        uint32_t version;
        uint32_t size;
    } layouts[] = {{0x12000000, 136}, {0x11000000, 132}, {0x11FFFFFF, 132}, {0x0F000000, 114},
                   {0x08000000, 102}, {0x05000000, 66}};
    for (const auto& layout : layouts) {
        EDataAddress address = At(3);
        uint32_t size = 0;
        ASSERT_TRUE(FX_LoadEData(TAG_STAFFSPEC, &address, nullptr, &size, layout.version));
        EXPECT_EQ(size, layout.size) << std::hex << layout.version;
    }
    // Never more than the capacity, and the bytes beyond stay untouched.
    uint8_t buffer[40];
    std::memset(buffer, 0xAB, sizeof buffer);
    EDataAddress address = At(3);
    uint32_t size = 30;
    ASSERT_TRUE(FX_LoadEData(TAG_STAFFSPEC, &address, buffer, &size, FXT_VERSION_2012));
    EXPECT_EQ(size, 30u);
    EXPECT_EQ(buffer[30], 0xAB);
    EDataAddress missing = At(4);
    size = sizeof buffer;
    EXPECT_FALSE(FX_LoadEData(TAG_STAFFSPEC, &missing, buffer, &size, FXT_VERSION_2012));
    EXPECT_FALSE(FX_LoadEData(TAG_STAFFSPEC, &address, buffer, nullptr, FXT_VERSION_2012));
}

TEST_F(EngineTest, StaffSpecSavesIntoTheStaffAndKeepsTheRest)
{
    Document* doc = MakeScore();
    ASSERT_TRUE(doc->SetStaffFlags(3, STAFFFLAG_CMAJORMIDI));
    EDTStaffSpecHead head = LoadHead(TAG_STAFFSPEC, At(3));
    EXPECT_EQ(+head.flags, STAFFFLAG_CMAJORMIDI);
    head.transposition = 0x0042;
    EDataAddress address = At(3);
    ASSERT_TRUE(FX_SaveEData(TAG_STAFFSPEC, &address, &head, sizeof head, FXT_VERSION_2012));
    EXPECT_EQ(LoadHead(TAG_STAFFSPEC, At(3)).transposition, 0x0042);
    EXPECT_EQ(LoadHead(TAG_STAFFSPEC, At(3)).lines, 5);
    EXPECT_FALSE(FX_SaveEData(TAG_STAFFSPEC, &address, nullptr, 24, FXT_VERSION_2012));
}

TEST_F(EngineTest, CurrentStaffSpecAppliesStaffStylesInForce)
{
    Document* doc = MakeScore();
    ASSERT_TRUE(doc->SetStaffTransposition(3, 0x0042));  // a B flat instrument
    StaffStyle change;
    change.startMeasure = 3;
    change.startPosition = 2048;
    change.transposition = 0x4000;  // not transposed from there on
    change.clef = CLEF_BASS;
    ASSERT_TRUE(doc->AddStaffStyle(3, change));

    EXPECT_EQ(LoadHead(TAG_CURRENTSTAFFSPEC, Place(3, 1, 0)).transposition, 0x0042);
    EXPECT_EQ(LoadHead(TAG_CURRENTSTAFFSPEC, Place(3, 3, 1024)).transposition, 0x0042);
    EXPECT_EQ(LoadHead(TAG_CURRENTSTAFFSPEC, Place(3, 3, 2048)).transposition, 0x4000);
    EXPECT_EQ(LoadHead(TAG_CURRENTSTAFFSPEC, Place(3, 4, 0)).clef, CLEF_BASS);
    // The staff's own record is unchanged.
    EXPECT_EQ(LoadHead(TAG_STAFFSPEC, At(3)).transposition, 0x0042);

    // Entries take the clef in force where they stand.
    for (int i = 0; i < 4; ++i) doc->AddEntry(3, 3, 0, Chord({Note("C4")}));
    const auto entries = doc->Entries(3, 3, 0);
    EXPECT_EQ(+entries[1].clef, CLEF_TREBLE);
    EXPECT_EQ(+entries[2].clef, CLEF_BASS);

    // The setup in force is read only; a place outside the score fails.
    EDataAddress address = Place(3, 1, 0);
    uint8_t buffer[STAFFSPEC_SIZE_2012] = {};
    EXPECT_FALSE(FX_SaveEData(TAG_CURRENTSTAFFSPEC, &address, buffer, sizeof buffer, FXT_VERSION_2012));
    EDataAddress outside = Place(3, 9, 0);
    uint32_t size = sizeof buffer;
    EXPECT_FALSE(FX_LoadEData(TAG_CURRENTSTAFFSPEC, &outside, buffer, &size, FXT_VERSION_2012));
}

TEST_F(EngineTest, MeasuresCarryKeyAndTimeInTheirRecord)
{
    Document* doc = MakeScore(0x0001);
    ASSERT_TRUE(doc->SetTimeSignature(2, 3, 1024, 2));
    ASSERT_TRUE(doc->SetKeySignature(3, 0x00FD));
    EXPECT_EQ(FX_GetMeasureDuration(3, 1, FXT_VERSION_2012), 4096);
    EXPECT_EQ(FX_GetMeasureDuration(3, 2, FXT_VERSION_2012), 3072);
    EXPECT_EQ(FX_GetMeasureDuration(3, 5, FXT_VERSION_2012), 0);

    EDataAddress address = At(4);
    EDTMeasureSpec measure{};
    uint32_t size = sizeof measure;
    ASSERT_TRUE(FX_LoadEData(TAG_MEASURESPEC, &address, &measure, &size, FXT_VERSION_2012));
    EXPECT_EQ(size, 30u);
    EXPECT_EQ(+measure.keySig, 0x00FD);
    EXPECT_EQ(doc->KeySignature(1), 0x0001);
    size = sizeof measure;
    ASSERT_TRUE(FX_LoadEData(TAG_MEASURESPEC, &address, &measure, &size, 0x0A000000));
    EXPECT_EQ(size, 26u);
    size = sizeof measure;
    ASSERT_TRUE(FX_LoadEData(TAG_MEASURESPEC, &address, &measure, &size, 0x09000000));
    EXPECT_EQ(size, 24u);
    EXPECT_FALSE(doc->SetKeySignature(0, 0));
    EXPECT_FALSE(doc->SetKeySignature(2, 0, 9));
}

TEST_F(EngineTest, IndependentKeyCountsOnlyOnStavesThatAllowIt)
{
    Document* doc = MakeScore(0x0001);
    ASSERT_TRUE(doc->SetIndependentKey(7, 2, 0x0003));
    EXPECT_EQ(doc->CellKeySignature(7, 2), 0x0001);
    ASSERT_TRUE(doc->SetStaffFlags(7, STAFFFLAG_INDEPENDENTKEY));
    EXPECT_EQ(doc->CellKeySignature(7, 2), 0x0003);
    EXPECT_EQ(doc->CellKeySignature(7, 1), 0x0001);
    EXPECT_EQ(doc->CellKeySignature(3, 2), 0x0001);

    // The cell record is a plain record at (staff, measure, inci).
    EDataAddress address = At(7, 2, 0);
    EDTIndependentCell cell{};
    uint32_t size = sizeof cell;
    ASSERT_TRUE(FX_LoadEData(TAG_INDEPENDENTCELL, &address, &cell, &size, INDEPENDENTCELL_VERSION));
    EXPECT_EQ(+cell.keySig, 0x0003);
    EXPECT_TRUE(cell.flags & INDEPENDENTCELL_HASKEY);
}

TEST_F(EngineTest, PreferencesRecordsExistInEveryDocument)
{
    Document* doc = MakeScore();
    ASSERT_TRUE(doc->SetOctaveOffset(-1));
    ASSERT_TRUE(doc->SetDefaultUnit(4));
    EDataAddress address = At(1);
    EDTGeneralPrefs prefs{};
    uint32_t size = sizeof prefs;
    ASSERT_TRUE(FX_LoadEData(TAG_GENERALPREFS, &address, &prefs, &size, GENERALPREFS_VERSION));
    EXPECT_EQ(size, 66u);
    EXPECT_EQ(+prefs.octaveOffset, -12);
    EXPECT_EQ(+prefs.defaultUnit, 4);

    EDataAddress partScope = At(OTHER_PREFS_CMPER, 0);
    EDTPartScopePrefs scope{};
    size = sizeof scope;
    ASSERT_TRUE(FX_LoadEData(TAG_PARTSCOPEPREFS, &partScope, &scope, &size, FXT_VERSION_2012));
    EXPECT_NE(+scope.writtenPitch, 0);
    ASSERT_TRUE(doc->SetConcertPitch(true));
    size = sizeof scope;
    ASSERT_TRUE(FX_LoadEData(TAG_PARTSCOPEPREFS, &partScope, &scope, &size, FXT_VERSION_2012));
    EXPECT_EQ(+scope.writtenPitch, 0);
}

TEST_F(EngineTest, DocumentsAreSeparateAndOneIsCurrent)
{
    Document* first = MakeScore();
    Document* second = Engine::Instance().NewDocument();
    second->AddStaff(1);
    EXPECT_EQ(FX_GetCurrentVeltraDocument(FXT_VERSION_2012), second->Number());
    EXPECT_EQ(FX_SlotToInst(1, 0, FXT_VERSION_2012), 1);
    ASSERT_TRUE(Engine::Instance().SetCurrentDocument(first->Number()));
    EXPECT_EQ(FX_SlotToInst(1, 0, FXT_VERSION_2012), 5);
    ASSERT_TRUE(Engine::Instance().CloseDocument(first->Number()));
    EXPECT_EQ(FX_GetCurrentVeltraDocument(FXT_VERSION_2012), second->Number());
    ASSERT_TRUE(Engine::Instance().CloseDocument(second->Number()));
    EXPECT_EQ(FX_GetCurrentVeltraDocument(FXT_VERSION_2012), 0);
    EXPECT_EQ(FX_SlotToInst(1, 0, FXT_VERSION_2012), 0);
}
