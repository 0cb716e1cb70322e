// The concrete records the music model reads: measures (with their owned
// key), general and part-scope preferences, independent cell keys, cell
// detail lists, entry metrics and clef definitions.
#include <gtest/gtest.h>

#include <memory>

#include "enginefixture.h"
#include "tonaroframework/data/fccell.h"
#include "tonaroframework/data/fcclefdef.h"
#include "tonaroframework/data/fccollectioncelldetail.h"
#include "tonaroframework/data/fcentrymetrics.h"
#include "tonaroframework/data/fcgeneralprefs.h"
#include "tonaroframework/data/fcindependentcelldetail.h"
#include "tonaroframework/data/fcmeasure.h"
#include "tonaroframework/data/fcpartscopeprefs.h"
#include "tonaroframework/music/fcnote.h"
#include "tonaroframework/music/fcnoteentry.h"
#include "tonaroframework/music/fcnoteentrycell.h"
#include "tonaropdk/hostapi/recordtags.h"
#include "tonaropdk/hostapi/staffspec.h"

namespace {

// A cell detail of which a cell may hold several ('CDTS', 12 bytes).
class CellNote : public __FCCellDetail {
public:
    void* Allocate() override { return &value; }
    __FCBaseData* CreateObject() const override { return new CellNote(); }
    EDTAG Tag() const override { return MakeEDTag('C', 'D', 'T', 'S'); }
    uint32_t DataSizeLoad() const override { return sizeof value; }
    bool _SaveMeasureFlag() override
    {
        ++flagWrites;
        return true;
    }
    int16_t value[6] = {};
    int flagWrites = 0;
};

class CellNotes : public __FCCollectionCellDetail {
public:
    CellNote* CreateElement() override { return new CellNote(); }
};

}  // namespace

class Records : public EngineFixture {
protected:
    void SetUp() override
    {
        EngineFixture::SetUp();
        AddStaves({7, 3});
        doc->AddMeasures(3, 4, 1024, 0x0002);
    }
};

TEST_F(Records, MeasureOwnsAKeyThatFollowsTheRecord)
{
    ASSERT_TRUE(doc->SetKeySignature(3, 0x0103, 3));
    FCMeasure measure;
    FCKeySignature* before = measure.GetKeySignature();
    EXPECT_EQ(before->GetID(), 0x0000);  // nothing loaded yet
    ASSERT_TRUE(measure.Load(1));
    FCKeySignature* key = measure.GetKeySignature();
    EXPECT_EQ(key, before);
    EXPECT_EQ(key->GetID(), 0x0002);
    EXPECT_EQ(measure.GetBeats(), 4);
    EXPECT_EQ(measure.GetBeatDuration(), 1024);
    ASSERT_TRUE(measure.LoadNext());
    ASSERT_TRUE(measure.LoadNext());
    EXPECT_EQ(measure.GetItemNo(), 3);
    EXPECT_EQ(key->GetID(), 0x0103);  // the walk refreshed it
    EXPECT_FALSE(measure.LoadNext());

    // Changing the owned key and saving writes the key word.
    key->SetID(0x00FE);
    ASSERT_TRUE(measure.Save());
    EXPECT_EQ(doc->KeySignature(3), 0x00FE);
    EXPECT_EQ(doc->KeySignature(2), 0x0002);

    FCMeasure first;
    ASSERT_TRUE(first.LoadFirst());
    EXPECT_EQ(first.GetItemNo(), 1);
    std::unique_ptr<FCMeasure> clone(static_cast<FCMeasure*>(measure.CreateClone()));
    EXPECT_EQ(clone->GetKeySignature()->GetID(), 0x00FE);
    EXPECT_FALSE(first.Load(4));
}

TEST_F(Records, GeneralPreferences)
{
    FCGeneralPrefs prefs;
    EXPECT_EQ(prefs.VeltraVersion(), 0x0D000000u);
    ASSERT_TRUE(prefs.LoadFirst());
    EXPECT_EQ(prefs.GetItemNo(), 1);
    EXPECT_EQ(prefs.GetLoadedSize(), 66u);
    EXPECT_EQ(prefs.CalcOctaveNumberingOffset(), 0);
    EXPECT_EQ(prefs.GetDefaultMeasurementUnit(), 1);

    ASSERT_TRUE(doc->SetOctaveOffset(-1));
    ASSERT_TRUE(doc->SetDefaultUnit(3));
    ASSERT_TRUE(prefs.Reload());
    EXPECT_EQ(prefs.GetRawOctaveOffset(), -12);
    EXPECT_EQ(prefs.CalcOctaveNumberingOffset(), -1);
    EXPECT_EQ(prefs.GetDefaultMeasurementUnit(), 3);

    prefs.SetRawOctaveOffset(-13);  // truncates toward zero
    EXPECT_EQ(prefs.CalcOctaveNumberingOffset(), -1);
    prefs.SetRawOctaveOffset(24);
    ASSERT_TRUE(prefs.Save());
    EXPECT_EQ(doc->OctaveOffset(), 2);
}

TEST_F(Records, PartScopeConcertPitchSwitch)
{
    FCPartScopePrefs prefs;
    EXPECT_FALSE(prefs.GetDisplayConcertPitch());
    ASSERT_TRUE(prefs.Load(1));  // any number reaches the one record
    EXPECT_FALSE(prefs.GetDisplayConcertPitch());
    ASSERT_TRUE(doc->SetConcertPitch(true));
    ASSERT_TRUE(prefs.Load(0));
    EXPECT_TRUE(prefs.GetDisplayConcertPitch());
    EXPECT_TRUE(prefs.LoadFirst());
    EXPECT_TRUE(prefs.GetDisplayConcertPitch());

    ASSERT_TRUE(doc->DeleteRecord(TAG_PARTSCOPEPREFS, EDataAddress{{OTHER_PREFS_CMPER, 0, 0, 0}}));
    EXPECT_FALSE(prefs.Load(1));
    EXPECT_FALSE(prefs.GetDisplayConcertPitch());  // written pitch stays in force
}

TEST_F(Records, IndependentCellDetail)
{
    ASSERT_TRUE(doc->SetIndependentKey(3, 2, 0x01FE));
    FCCell cell(2, 3);
    FCIndependentCellDetail detail;
    EXPECT_FALSE(detail.LoadFirst());  // no cell connected
    detail.ConnectCell(&cell);
    ASSERT_TRUE(detail.LoadFirst());
    EXPECT_EQ(detail.GetItemStaff(), 3);
    EXPECT_EQ(detail.GetItemMeasure(), 2);
    EXPECT_TRUE(detail.HasKeySignature());
    EXPECT_EQ(detail.GetKeySignatureID(), 0x01FE);
    EXPECT_EQ(detail.VeltraVersion(), 0x06000000u);
    EXPECT_FALSE(detail.LoadNext());
    EXPECT_FALSE(detail.SaveNew());

    FCCell slotTwo(2, 2);  // slot 2 holds staff 3, but the detail is by staff
    FCIndependentCellDetail wrong;
    wrong.ConnectCell(&slotTwo);
    EXPECT_FALSE(wrong.LoadFirst());
}

TEST_F(Records, CellDetailsWalkTheirIncis)
{
    const EDTAG tag = MakeEDTag('C', 'D', 'T', 'S');
    for (uint16_t inci = 0; inci < 3; ++inci) {
        const int16_t value[6] = {static_cast<int16_t>(10 + inci), 0, 0, 0, 0, 0};
        ASSERT_TRUE(doc->SaveRecord(tag, EDataAddress{{3, 2, inci, 0}}, value, sizeof value));
    }
    FCCell cell(2, 3);
    CellNotes notes;
    EXPECT_EQ(notes.LoadAllInCell(nullptr), 0);
    ASSERT_EQ(notes.LoadAllInCell(&cell), 3);
    auto* last = static_cast<CellNote*>(notes.GetItemAt(2));
    EXPECT_EQ(last->value[0], 12);
    EXPECT_EQ(last->GetConnectedCell(), &cell);

    // The walk past the last inci restores it and leaves the record unloaded.
    CellNote walker;
    walker.ConnectCell(&cell);
    ASSERT_TRUE(walker.LoadFirst());
    ASSERT_TRUE(walker.LoadNext());
    ASSERT_TRUE(walker.LoadNext());
    EXPECT_FALSE(walker.LoadNext());
    EXPECT_EQ(walker.GetItemInci(), 2);
    EXPECT_EQ(walker.GetLoadedSize(), 0u);

    // Create: the host assigns the next inci; the measure mark follows.
    CellNote fresh;
    fresh.ConnectCell(&cell);
    EXPECT_FALSE(fresh.SaveNew());  // no structure
    ASSERT_TRUE(fresh.LoadFirst());
    fresh.value[0] = 99;
    ASSERT_TRUE(fresh.SaveNew());
    EXPECT_EQ(fresh.GetItemInci(), 3);
    EXPECT_EQ(fresh.flagWrites, 1);
    EXPECT_EQ(notes.LoadAllInCell(&cell), 4);
    FCCell empty(1, 7);
    EXPECT_EQ(notes.LoadAllInCell(&empty), 0);
}

TEST_F(Records, EntryMetricsByNoteID)
{
    // D major: F#4 needs no sign, F4 does, and the F#4 after it does again.
    AddNotes(3, 1, 0, {"F#4", "A4"});
    AddNotes(3, 1, 0, {"F4"});
    AddNotes(3, 1, 0, {"F#4"});
    FCNoteEntryCell cell(1, 3);
    ASSERT_TRUE(cell.Load());
    ASSERT_EQ(cell.GetCount(), 3);

    FCEntryMetrics metrics;
    EXPECT_FALSE(metrics.LoadAt(nullptr));
    ASSERT_TRUE(metrics.LoadAt(cell.GetItemAt(0)));
    EXPECT_EQ(metrics.GetNoteCount(), 2);
    FCNoteEntry* chord = cell.GetItemAt(0);
    const EDTNoteMetrics* fSharp = metrics.FindNoteMetrics(chord->GetItemAt(0)->GetNoteID());
    ASSERT_NE(fSharp, nullptr);
    EXPECT_EQ(fSharp->accidentalShown, 0);
    EXPECT_EQ(metrics.FindNoteMetrics(0x7777), nullptr);

    ASSERT_TRUE(metrics.LoadAt(cell.GetItemAt(1)));
    const EDTNoteMetrics* f = metrics.FindNoteMetrics(cell.GetItemAt(1)->GetItemAt(0)->GetNoteID());
    ASSERT_NE(f, nullptr);
    EXPECT_NE(f->accidentalShown, 0);
    ASSERT_TRUE(metrics.LoadAt(cell.GetItemAt(2)));
    EXPECT_NE(metrics.FindNoteMetrics(cell.GetItemAt(2)->GetItemAt(0)->GetNoteID())->accidentalShown, 0);

    EXPECT_FALSE(metrics.Load(0));
    EXPECT_EQ(metrics.FindNoteMetrics(cell.GetItemAt(2)->GetItemAt(0)->GetNoteID()), nullptr);
    EXPECT_FALSE(metrics.Save());

    SetTonaroFrameworkVersion(0x11000000);
    EXPECT_EQ(metrics.VeltraVersion(), 0x0E010000u);
}

TEST_F(Records, ClefDefinitions)
{
    FCClefDef clef;
    ASSERT_TRUE(clef.LoadFirst());
    EXPECT_EQ(clef.GetItemNo(), CLEF_TREBLE);
    EXPECT_EQ(clef.GetMiddleCPosition(), -10);
    ASSERT_TRUE(clef.Load(CLEF_BASS));
    EXPECT_EQ(clef.GetMiddleCPosition(), 2);
    ASSERT_TRUE(clef.Load(CLEF_TREBLE8VB));
    EXPECT_EQ(clef.GetOctaveShift(), -1);
    int count = 1;
    ASSERT_TRUE(clef.LoadFirst());
    while (clef.LoadNext()) ++count;
    EXPECT_EQ(count, CLEF_COUNT);
    EXPECT_FALSE(clef.Load(CLEF_COUNT));
}
