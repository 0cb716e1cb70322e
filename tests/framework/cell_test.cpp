// Cells: the key and time signature in force in one staff of one measure
// (the measure's, or the cell's own on a staff that allows it), cached per
// cell object; and cell lists.
#include <gtest/gtest.h>

#include <vector>

#include "enginefixture.h"
#include "tonaroframework/base/fciteratorhandler.h"
#include "tonaroframework/data/fccell.h"
#include "tonaroframework/data/fccells.h"
#include "tonaroframework/data/fckeysignature.h"
#include "tonaroframework/data/fcmeasure.h"
#include "tonaroframework/data/fcrecordcache.h"
#include "tonaroframework/data/fctimesignature.h"
#include "tonaropdk/hostapi/celldetails.h"
#include "tonaropdk/hostapi/recordtags.h"
#include "tonaropdk/hostapi/staffspec.h"

class CellKeys : public EngineFixture {
protected:
    void SetUp() override
    {
        EngineFixture::SetUp();
        AddStaves({7, 3});
        doc->AddMeasures(3, 3, 1024, 0x0001);  // 3/4 in G major
        ASSERT_TRUE(doc->SetKeySignature(2, 0x00FD, 2));
        ASSERT_TRUE(doc->SetTimeSignature(3, 6, 512));
    }
};

TEST_F(CellKeys, MeasureKeyAndTime)
{
    FCCell first(1, 3);
    EXPECT_EQ(first.GetKeySignature()->GetID(), 0x0001);
    EXPECT_EQ(first.GetKeySignature()->GetTransposition(), 0);
    EXPECT_EQ(first.GetTimeSignature()->GetBeats(), 3);
    EXPECT_EQ(first.GetTimeSignature()->CalcMeasureDuration(), 3072);
    FCCell second(2, 7);
    EXPECT_EQ(second.GetKeySignature()->GetID(), 0x00FD);
    FCCell third(3, 7);
    EXPECT_EQ(third.GetKeySignature()->GetID(), 0x0001);
    EXPECT_EQ(third.GetTimeSignature()->GetBeats(), 6);
    EXPECT_EQ(third.GetTimeSignature()->GetBeatDuration(), 512);
}

TEST_F(CellKeys, IndependentKeyNeedsTheStaffFlag)
{
    ASSERT_TRUE(doc->SetIndependentKey(3, 2, 0x0103));
    FCCell withoutFlag(2, 3);
    EXPECT_EQ(withoutFlag.GetKeySignature()->GetID(), 0x00FD);

    ASSERT_TRUE(doc->SetStaffFlags(3, STAFFFLAG_INDEPENDENTKEY));
    FCCell withFlag(2, 3);
    EXPECT_EQ(withFlag.GetKeySignature()->GetID(), 0x0103);
    FCCell otherStaff(2, 7);  // staff 7 has no flag and no cell key
    EXPECT_EQ(otherStaff.GetKeySignature()->GetID(), 0x00FD);
    FCCell otherMeasure(1, 3);  // flag but no cell key there: the measure's
    EXPECT_EQ(otherMeasure.GetKeySignature()->GetID(), 0x0001);
}

TEST_F(CellKeys, KeyIsCachedPerCellObject)
{
    FCCell cell(1, 7);
    FCKeySignature* key = cell.GetKeySignature();
    ASSERT_TRUE(doc->SetKeySignature(1, 0x0002, 1));
    EXPECT_EQ(cell.GetKeySignature(), key);  // same object, loaded once
    EXPECT_EQ(key->GetID(), 0x0001);
    FCCell fresh(1, 7);
    EXPECT_EQ(fresh.GetKeySignature()->GetID(), 0x0002);
}

TEST_F(CellKeys, WithinAWalkAKeyIsReadOnceUntilARecordIsSaved)
{
    FCRecordCache::WalkScope walk;
    FCCell first(1, 7);
    EXPECT_EQ(first.GetKeySignature()->GetID(), 0x0001);
    FCMeasure measure;
    ASSERT_TRUE(measure.Load(1));
    measure.GetKeySignature()->SetID(0x0002);
    ASSERT_TRUE(measure.Save());  // through the bridge: the walk's keys are forgotten
    FCCell again(1, 7);
    EXPECT_EQ(again.GetKeySignature()->GetID(), 0x0002);
    FCCell otherStaff(1, 3);
    EXPECT_EQ(otherStaff.GetKeySignature()->GetID(), 0x0002);
}

TEST_F(CellKeys, MissingMeasureGivesCMajor)
{
    FCCell beyond(9, 7);
    ASSERT_NE(beyond.GetKeySignature(), nullptr);
    EXPECT_EQ(beyond.GetKeySignature()->GetID(), 0x0000);
    EXPECT_EQ(beyond.GetTimeSignature()->GetBeats(), 4);
    EXPECT_EQ(beyond.GetTimeSignature()->GetBeatDuration(), 1024);
    FCCell negative(-1, 7);
    EXPECT_EQ(negative.GetKeySignature()->GetID(), 0x0000);
}

TEST_F(CellKeys, IndependentTime)
{
    ASSERT_TRUE(doc->SetStaffFlags(3, STAFFFLAG_INDEPENDENTKEY));
    // The engine's interface sets a cell key; a cell time goes in as the
    // host record itself.
    EDTIndependentCell record{};
    record.beats = 5;
    record.beatDuration = 256;
    record.flags = INDEPENDENTCELL_HASTIME;
    ASSERT_TRUE(doc->SaveRecord(TAG_INDEPENDENTCELL, EDataAddress{{3, 1, 0, 0}}, &record, sizeof record));
    FCCell cell(1, 3);
    EXPECT_EQ(cell.GetTimeSignature()->GetBeats(), 5);
    EXPECT_EQ(cell.GetTimeSignature()->GetBeatDuration(), 256);
    EXPECT_EQ(cell.GetKeySignature()->GetID(), 0x0001);  // no key bit: the measure's key
}

namespace {

struct Collector : FCIteratorHandler {
    bool Iterate(__FCBase* object) override
    {
        auto* cell = static_cast<FCCell*>(object);
        seen.push_back(cell->GetMeasure() * 100 + cell->GetStaff());
        return static_cast<int>(seen.size()) < stopAfter;
    }
    std::vector<int> seen;
    int stopAfter = 100;
};

}  // namespace

TEST(Cells, FindAndWalkByMeasureOrStaff)
{
    FCCells cells;
    for (int measure = 1; measure <= 3; ++measure)
        for (int staff : {7, 3}) cells.Add(new FCCell(measure, staff));
    cells.Add(nullptr);

    ASSERT_NE(cells.Find(2, 3), nullptr);
    EXPECT_EQ(cells.Find(2, 3)->GetMeasure(), 2);
    EXPECT_EQ(cells.Find(2, 3)->GetStaff(), 3);
    EXPECT_EQ(cells.Find(3, 2), nullptr);  // a slot number is no staff number

    Collector byMeasure;
    EXPECT_EQ(cells.ForEachAtMeasure(2, &byMeasure), 2);
    EXPECT_EQ(byMeasure.seen, (std::vector<int>{207, 203}));
    Collector byStaff;
    EXPECT_EQ(cells.ForEachAtStaff(3, &byStaff), 3);
    EXPECT_EQ(byStaff.seen, (std::vector<int>{103, 203, 303}));
    Collector stopping;
    stopping.stopAfter = 2;
    EXPECT_EQ(cells.ForEachAtStaff(7, &stopping), 1);  // the call that stopped is not counted
    EXPECT_EQ(stopping.seen.size(), 2u);
    EXPECT_EQ(cells.ForEachAtStaff(7, nullptr), 0);

    FCCell same(2, 3);
    EXPECT_TRUE(cells.Find(2, 3)->IsIdentical(&same));
    EXPECT_FALSE(cells.Find(2, 7)->IsIdentical(&same));
}
