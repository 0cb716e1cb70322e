// Staff records: the transposition word in both encodings, the layout that
// the running host version selects, the setup in force at a place
// (staff styles), and the read-only current setup.
#include <gtest/gtest.h>

#include <memory>

#include "enginefixture.h"
#include "tonaroframework/data/fcrecordcache.h"
#include "tonaroframework/data/fccell.h"
#include "tonaroframework/data/fccurrentstaffspec.h"
#include "tonaroframework/data/fcstaff.h"
#include "tonaroframework/music/fcnoteentry.h"
#include "tonaroframework/music/fcnoteentrycell.h"

namespace {

struct Decoded {
    int interval;
    int alteration;
};

Decoded Decode(int16_t word)
{
    return {FCStaff::DecodeTransposeInterval(word), FCStaff::DecodeTransposeAlteration(word)};
}

}  // namespace

TEST(StaffTransposition, WordsThatDoNotTranspose)
{
    for (int16_t word : {int16_t{0}, int16_t{0x4000}}) {
        EXPECT_EQ(Decode(word).interval, 0);
        EXPECT_EQ(Decode(word).alteration, 0);
    }
}

TEST(StaffTransposition, FirstEncoding)
{
    EXPECT_EQ(Decode(0x0041).interval, 1);
    EXPECT_EQ(Decode(0x0041).alteration, 1);
    EXPECT_EQ(Decode(0x0FFF).interval, -1);
    EXPECT_EQ(Decode(0x0FFF).alteration, -1);
    EXPECT_EQ(Decode(0x0042).interval, 1);   // Bb instrument: one step, two sharps
    EXPECT_EQ(Decode(0x0042).alteration, 2);
    EXPECT_EQ(Decode(0x4042).alteration, 2);  // the 0x4000 flag is no part of it
    EXPECT_EQ(Decode(0x4042).interval, 1);
    EXPECT_EQ(Decode(0x001F).alteration, 31);  // field limits
    EXPECT_EQ(Decode(0x0020).alteration, -32);
    EXPECT_EQ(Decode(0x07C0).interval, 31);
    EXPECT_EQ(Decode(0x0800).interval, -32);
    EXPECT_EQ(Decode(0x0800).alteration, 0);
}

TEST(StaffTransposition, SecondEncoding)
{
    EXPECT_EQ(Decode(0x2301).interval, 2);
    EXPECT_EQ(Decode(0x2301).alteration, 3);
    EXPECT_EQ(Decode(0x2FFE).interval, -2);
    EXPECT_EQ(Decode(0x2FFE).alteration, -1);
    EXPECT_EQ(Decode(0x2000).interval, 1);  // a byte of 0 counts from 1
    EXPECT_EQ(Decode(0x207F).interval, 128);
    EXPECT_EQ(Decode(0x2080).interval, -128);
    EXPECT_EQ(Decode(0x2700).alteration, 7);
    EXPECT_EQ(Decode(0x2800).alteration, -8);
    EXPECT_EQ(Decode(static_cast<int16_t>(0xE301)).interval, 2);  // high bits ignored
}

class StaffRecords : public EngineFixture {
protected:
    void SetUp() override
    {
        EngineFixture::SetUp();
        AddStaves({7, 3});
        doc->AddMeasures(3);
    }
};

TEST_F(StaffRecords, LoadsTheStaffByNumberNotSlot)
{
    ASSERT_TRUE(doc->SetStaffTransposition(3, 0x0042));
    FCStaff staff;
    ASSERT_TRUE(staff.Load(3));
    EXPECT_EQ(staff.GetItemNo(), 3);
    EXPECT_TRUE(staff.IsTransposed());
    EXPECT_FALSE(staff.IsSecondTranspositionEncoding());
    EXPECT_EQ(staff.GetTransposeInterval(), 1);
    EXPECT_EQ(staff.GetTransposeAlteration(), 2);
    ASSERT_TRUE(staff.Load(7));
    EXPECT_FALSE(staff.IsTransposed());
    EXPECT_EQ(staff.GetTransposeAlteration(), 0);
    EXPECT_FALSE(staff.Load(1));  // slot 1 is staff 7; there is no staff 1
    EXPECT_EQ(staff.GetLoadedSize(), 0u);
}

TEST_F(StaffRecords, FailedLoadReadsAsPlainStaff)
{
    ASSERT_TRUE(doc->SetStaffTransposition(3, 0x2301));
    FCStaff staff;
    ASSERT_TRUE(staff.Load(3));
    EXPECT_TRUE(staff.IsSecondTranspositionEncoding());
    EXPECT_EQ(staff.GetTransposeInterval(), 2);
    EXPECT_FALSE(staff.Load(99));
    EXPECT_FALSE(staff.IsTransposed());
    EXPECT_EQ(staff.GetTransposeInterval(), 0);
    EXPECT_EQ(staff.GetTransposeAlteration(), 0);
    EXPECT_FALSE(staff.Save());
}

TEST_F(StaffRecords, NotationStyleAndFlags)
{
    ASSERT_TRUE(doc->SetStaffNotationStyle(7, STAFFSTYLE_PERCUSSION | STAFFSTYLE_TAB));
    ASSERT_TRUE(doc->SetStaffNotationStyle(3, STAFFSTYLE_TAB));
    ASSERT_TRUE(doc->SetStaffFlags(3, STAFFFLAG_INDEPENDENTKEY));
    ASSERT_TRUE(doc->SetStaffClef(3, CLEF_BASS));
    FCStaff staff;
    ASSERT_TRUE(staff.Load(7));
    EXPECT_EQ(staff.GetNotationStyle(), 1);
    EXPECT_FALSE(staff.HasIndependentKey());
    ASSERT_TRUE(staff.Load(3));
    EXPECT_EQ(staff.GetNotationStyle(), 2);
    EXPECT_TRUE(staff.HasIndependentKey());
    EXPECT_FALSE(staff.HasCMajorMIDI());
    EXPECT_EQ(staff.GetDefaultClef(), CLEF_BASS);
    ASSERT_TRUE(doc->SetStaffFlags(3, STAFFFLAG_CMAJORMIDI));
    ASSERT_TRUE(staff.Reload());
    EXPECT_TRUE(staff.HasCMajorMIDI());
    EXPECT_FALSE(staff.HasIndependentKey());
}

TEST_F(StaffRecords, LayoutFollowsTheRunningVersion)
{
    struct Case {
        uint32_t running;
        uint32_t layout;
        uint32_t size;
    };
    const Case cases[] = {
        {0x12000000, 0x12000000, 136}, {0x13000000, 0x12000000, 136}, {0x11FFFFFF, 0x11000000, 132},
        {0x11000000, 0x11000000, 132}, {0x10FFFFFF, 0x0F000000, 114}, {0x0F000000, 0x0F000000, 114},
    };
    ASSERT_TRUE(doc->SetStaffTransposition(3, 0x0FFF));
    for (const Case& c : cases) {
        SetTonaroFrameworkVersion(c.running);
        FCStaff staff;
        EXPECT_EQ(staff._FXTVersionToUse(), c.layout) << std::hex << c.running;
        EXPECT_EQ(staff.VeltraVersion(), c.layout);
        EXPECT_EQ(staff.DataSizeLoad(), c.size);
        ASSERT_TRUE(staff.Load(3));
        EXPECT_EQ(staff.GetLoadedSize(), c.size);  // the host served that layout
        EXPECT_EQ(staff.GetTransposeInterval(), -1);
        EXPECT_EQ(staff.GetTransposeAlteration(), -1);
    }
}

TEST_F(StaffRecords, SavesTheStaffRecord)
{
    FCStaff staff;
    ASSERT_TRUE(staff.Load(7));
    auto* head = static_cast<EDTStaffSpecHead*>(staff._GetDataBlock());
    head->transposition = 0x0042;
    ASSERT_TRUE(staff.Save());
    FCStaff again;
    ASSERT_TRUE(again.Load(7));
    EXPECT_EQ(again.GetTransposeAlteration(), 2);
    FCStaff never;
    EXPECT_FALSE(never.Save());
}

TEST_F(StaffRecords, WalksStavesWithoutAStaffOne)
{
    FCStaff staff;
    ASSERT_TRUE(staff.LoadFirst());  // no staff 1: the walk starts at the lowest number
    EXPECT_EQ(staff.GetItemNo(), 3);
    ASSERT_TRUE(staff.LoadNext());
    EXPECT_EQ(staff.GetItemNo(), 7);
    EXPECT_FALSE(staff.LoadNext());
    EXPECT_EQ(staff.GetItemNo(), 7);  // the last record stays loaded
    EXPECT_EQ(staff.GetLoadedSize(), 136u);
}

TEST_F(StaffRecords, CurrentSpecFollowsStaffStyles)
{
    ASSERT_TRUE(doc->SetStaffTransposition(3, 0x0042));
    tonaroengine::StaffStyle style;
    style.startMeasure = 2;
    style.startPosition = 2048;
    style.endMeasure = 3;
    style.endPosition = 1023;
    style.transposition = static_cast<int16_t>(0x2301);
    ASSERT_TRUE(doc->AddStaffStyle(3, style));

    FCCurrentStaffSpec spec;
    ASSERT_TRUE(spec.LoadAt(3, 2, 0));
    EXPECT_EQ(spec.GetTransposeAlteration(), 2);
    EXPECT_FALSE(spec.IsSecondTranspositionEncoding());
    ASSERT_TRUE(spec.LoadAt(3, 2, 2048));
    EXPECT_EQ(spec.GetItemStaff(), 3);
    EXPECT_EQ(spec.GetItemMeasure(), 2);
    EXPECT_EQ(spec.GetItemMeasurePos(), 2048);
    EXPECT_TRUE(spec.IsSecondTranspositionEncoding());
    EXPECT_EQ(spec.GetTransposeInterval(), 2);
    EXPECT_EQ(spec.GetTransposeAlteration(), 3);

    // A position beyond 16 bits reaches the host whole.
    tonaroengine::StaffStyle late;
    late.startMeasure = 1;
    late.startPosition = 70000;
    late.endMeasure = 1;
    late.transposition = static_cast<int16_t>(0x0FFF);
    ASSERT_TRUE(doc->AddStaffStyle(7, late));
    ASSERT_TRUE(spec.LoadAt(7, 1, 4464));  // 70000 - 65536: must not match
    EXPECT_FALSE(spec.IsTransposed());
    ASSERT_TRUE(spec.LoadAt(7, 1, 70000));
    EXPECT_EQ(spec.GetTransposeInterval(), -1);

    FCCell cell(3, 3);
    ASSERT_TRUE(spec.LoadForCell(&cell, 0));
    EXPECT_TRUE(spec.IsSecondTranspositionEncoding());
    ASSERT_TRUE(spec.LoadForCell(&cell, 1024));
    EXPECT_EQ(spec.GetTransposeAlteration(), 2);
    EXPECT_FALSE(spec.LoadForCell(nullptr, 0));
    EXPECT_FALSE(spec.LoadAt(3, 9, 0));  // no measure 9
    EXPECT_FALSE(spec.IsTransposed());

    // During a walk the setup of the last place is kept: each place still
    // gets its own, and a refusal stays a refusal.
    FCRecordCache::WalkScope walk;
    ASSERT_TRUE(spec.LoadAt(3, 2, 0));
    EXPECT_FALSE(spec.IsSecondTranspositionEncoding());
    ASSERT_TRUE(spec.LoadAt(3, 2, 2048));
    ASSERT_TRUE(spec.LoadAt(3, 2, 2048));
    EXPECT_TRUE(spec.IsSecondTranspositionEncoding());
    EXPECT_EQ(spec.GetTransposeAlteration(), 3);
    EXPECT_FALSE(spec.LoadAt(3, 9, 0));
    EXPECT_FALSE(spec.LoadAt(3, 9, 0));
    EXPECT_FALSE(spec.IsTransposed());
}

TEST_F(StaffRecords, WalkSummaryHoldsOnlyForSetupsThatReadTheSame)
{
    FCRecordCache::WalkScope walk;
    const uint8_t setup[4] = {1, 2, 3, 4};
    const uint8_t otherSetup[4] = {1, 2, 3, 5};
    const int summary = 42;
    int found = 0;
    FCRecordCache::KeepStaffSpec(3, 1, 0, 4, setup, 4);
    FCRecordCache::KeepStaffSpecSummary(3, 1, 0, &summary, sizeof summary);
    ASSERT_TRUE(FCRecordCache::FindStaffSpecSummary(3, 1, 0, &found, sizeof found));
    EXPECT_EQ(found, 42);

    // The next place reads the same: the summary moves on with it.
    FCRecordCache::KeepStaffSpec(3, 1, 512, 4, setup, 4);
    EXPECT_FALSE(FCRecordCache::FindStaffSpecSummary(3, 1, 0, &found, sizeof found));
    EXPECT_TRUE(FCRecordCache::FindStaffSpecSummary(3, 1, 512, &found, sizeof found));
    // A place whose setup reads otherwise has none.
    FCRecordCache::KeepStaffSpec(3, 1, 1024, 4, otherSetup, 4);
    EXPECT_FALSE(FCRecordCache::FindStaffSpecSummary(3, 1, 1024, &found, sizeof found));
}

TEST_F(StaffRecords, CurrentSpecForAnEntry)
{
    ASSERT_TRUE(doc->SetStaffTransposition(3, 0x0042));
    tonaroengine::StaffStyle style;
    style.startMeasure = 1;
    style.startPosition = 1024;
    style.endMeasure = 1;
    style.transposition = static_cast<int16_t>(0x0FFF);
    ASSERT_TRUE(doc->AddStaffStyle(3, style));
    AddNotes(3, 1, 0, {"C4"});
    AddNotes(3, 1, 0, {"D4"});

    FCNoteEntryCell cell(1, 3);
    ASSERT_TRUE(cell.Load());
    ASSERT_EQ(cell.GetCount(), 2);
    FCCurrentStaffSpec spec;
    ASSERT_TRUE(spec.LoadForEntry(cell.GetItemAt(0)));
    EXPECT_EQ(spec.GetItemStaff(), 3);
    EXPECT_EQ(spec.GetTransposeAlteration(), 2);
    ASSERT_TRUE(spec.LoadForEntry(cell.GetItemAt(1)));
    EXPECT_EQ(spec.GetItemMeasurePos(), 1024);
    EXPECT_EQ(spec.GetTransposeAlteration(), -1);
    EXPECT_FALSE(spec.LoadForEntry(nullptr));
}

TEST_F(StaffRecords, CurrentSpecIsReadOnly)
{
    FCCurrentStaffSpec spec;
    EXPECT_FALSE(spec.Load(7));
    EXPECT_EQ(spec.GetLoadedSize(), 0u);
    EXPECT_FALSE(spec.LoadFirst());
    EXPECT_FALSE(spec.Reload());
    ASSERT_TRUE(spec.LoadAt(7, 1, 0));
    EXPECT_EQ(spec.GetItemNo(), 0);
    EXPECT_FALSE(spec.Save());
    EXPECT_FALSE(spec.SaveAs(7));
    EXPECT_FALSE(spec.SaveNew());
    EXPECT_FALSE(spec.DeleteData());
    EXPECT_FALSE(spec.LoadNext());
    EXPECT_TRUE(spec.Reload());
    EXPECT_STREQ(spec.ClassName(), "FCCurrentStaffSpec");
    std::unique_ptr<__FCBaseData> clone(spec.CreateClone());
    EXPECT_STREQ(clone->ClassName(), "FCCurrentStaffSpec");
    EXPECT_EQ(clone->GetLoadedSize(), 136u);
}
