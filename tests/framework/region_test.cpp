// Music regions and region browsing against the real engine: inclusion
// tests, durations, the visiting order, position limits, both passes of the
// note-entry browser and what it saves. Staves sit in slots that differ from
// their numbers.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "host/engine/document.h"
#include "host/engine/engine.h"
#include "host/engine/pitch.h"
#include "tonaroframework/base/fciteratorhandler.h"
#include "tonaroframework/base/frameworkversion.h"
#include "tonaroframework/data/fccell.h"
#include "tonaroframework/data/fccells.h"
#include "tonaroframework/music/fcbrowsernoteentries.h"
#include "tonaroframework/music/fcmusicregion.h"
#include "tonaroframework/music/fcnote.h"
#include "tonaroframework/music/fcnoteentry.h"
#include "tonaroframework/music/fcnoteentrycell.h"
#include "tonaropdk/bridge/hostbinding.h"

using tonaroengine::Document;
using tonaroengine::Engine;
using tonaroengine::EntrySpec;
using tonaroengine::NoteSpec;

namespace {

using Visit = std::tuple<int, int, int>;  // measure, staff, position

// Records what a browser hands over and answers as configured.
class RecordingHandler : public FCIteratorHandler {
public:
    bool Iterate(__FCBase* object) override
    {
        auto* entry = static_cast<FCNoteEntry*>(object);
        visits.emplace_back(entry->GetMeasure(), entry->GetStaff(), entry->GetMeasurePos());
        if (raiseVisited) {
            for (int i = 0; i < entry->GetCount(); ++i) entry->GetItemAt(i)->SetDisplacement(entry->GetItemAt(i)->GetDisplacement() + 1);
        }
        if (deleteSecondNote && entry->GetCount() > 1) entry->GetItemAt(1)->_SetMarkedForDeletion(true);
        return static_cast<int>(visits.size()) != stopAt;
    }
    bool SecondPassIterate(__FCBase* object) override
    {
        auto* entry = static_cast<FCNoteEntry*>(object);
        secondPass.emplace_back(entry->GetMeasure(), entry->GetStaff(), entry->GetMeasurePos());
        return secondPassAll;
    }
    bool PreProcess() override
    {
        log += "P";
        return preProcessAnswer;
    }
    bool PreProcessIfExist() override
    {
        log += "E";
        return preProcessIfExistAnswer;
    }
    void PostProcessIfExist() override { log += "e"; }
    void PostProcess() override { log += "p"; }

    std::vector<Visit> visits;
    std::vector<Visit> secondPass;
    std::string log;
    int stopAt = -1;
    bool raiseVisited = false;
    bool deleteSecondNote = false;
    bool secondPassAll = false;
    bool preProcessAnswer = true;
    bool preProcessIfExistAnswer = true;
};

// A region browser that only records the cells it is given.
class CellRecorder : public __FCBrowserRegionBase {
public:
    __FCBase* FindFirst(FCIteratorHandler*) override { return nullptr; }
    bool RegionIterateCellHandler(FCCell* cell, FCIteratorHandler*, FCMusicRegion*) override
    {
        cells.emplace_back(cell->GetMeasure(), cell->GetStaff());
        return static_cast<int>(cells.size()) != stopAt;
    }
    std::vector<std::pair<int, int>> cells;
    int stopAt = -1;
};

class RegionTest : public testing::Test {
protected:
    // Slots 1 to 3 hold staves 8, 3 and 5; five measures of 4/4 in C.
    static constexpr int16_t kSlot1 = 8;
    static constexpr int16_t kSlot2 = 3;
    static constexpr int16_t kSlot3 = 5;

    void SetUp() override
    {
        InitializeGlobals();
        Engine::Instance().Reset();
        SetTonaroFrameworkVersion(0x12000000);
        doc = Engine::Instance().NewDocument();
        doc->AddStaff(kSlot2);
        doc->AddStaff(kSlot3);
        doc->AddStaff(kSlot1);
        doc->MoveStaff(kSlot1, 1);
        doc->AddMeasures(5);
        ASSERT_EQ(doc->StaffAtSlot(1), kSlot1);
        ASSERT_EQ(doc->StaffAtSlot(3), kSlot3);
    }
    void TearDown() override
    {
        EXPECT_EQ(Engine::Instance().LoadedFrameCount(), 0) << "a browser left a frame loaded";
        Engine::Instance().Reset();
    }

    static FCMusicRegion Region(int16_t startSlot, int16_t startMeasure, int16_t endSlot, int16_t endMeasure,
                                int32_t startPos = 0, int32_t endPos = EREGION_ENDOFMEASURE)
    {
        const EREGION record = Document::MakeRegion(startSlot, startMeasure, endSlot, endMeasure, startPos, endPos);
        return FCMusicRegion(&record);
    }
    void AddNotes(int16_t staff, int16_t measure, std::vector<int16_t> durations, int layer = 0)
    {
        for (int16_t duration : durations) {
            NoteSpec c4;
            tonaroengine::NoteFromName("C4", 0, &c4);
            doc->AddEntry(staff, measure, layer, EntrySpec{duration, {c4}, 0});
        }
    }
    std::vector<int16_t> StoredDisplacements(int16_t staff, int16_t measure) const
    {
        std::vector<int16_t> result;
        for (const EXENTRY& entry : doc->Entries(staff, measure, 0)) result.push_back(int16_t{entry.notes[0].displacement});
        return result;
    }

    Document* doc = nullptr;
};

// ---- Regions ---------------------------------------------------------------------

TEST_F(RegionTest, EmptyRegion)
{
    FCMusicRegion empty;
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_EQ(empty.GetDocumentID(), 0);
    EXPECT_EQ(empty.CalcDuration(), 0);
    EXPECT_FALSE(empty.IsPartial());
    EXPECT_FALSE(empty.SetFullMeasureStack());
    RecordingHandler handler;
    FCBrowserNoteEntries browser;
    EXPECT_EQ(browser.ForEachInRegion(&handler, &empty), 0);
    EXPECT_EQ(handler.log, "");
    std::unique_ptr<FCCells> cells(empty.CreateCells());
    EXPECT_EQ(cells->GetCount(), 0);
}

TEST_F(RegionTest, InclusionUsesStaffNumbersThroughTheirSlots)
{
    FCMusicRegion region = Region(2, 2, 3, 4, 512, 1024);
    EXPECT_EQ(region.GetDocumentID(), doc->Number());
    EXPECT_TRUE(region.IsStaffIncluded(kSlot3));
    EXPECT_FALSE(region.IsStaffIncluded(kSlot1));
    EXPECT_FALSE(region.IsStaffIncluded(2));  // staff 2 is not in the score; slot 2 is
    EXPECT_FALSE(region.IsSlotIncluded(0));
    EXPECT_EQ(region.CalcStartStaff(), kSlot2);
    for (auto [measure, pos, within] : {std::tuple{2, 511, false}, {2, 512, true}, {3, 0, true}, {4, 1024, true},
                                        {4, 1025, false}, {5, 0, false}}) {
        EXPECT_EQ(region.IsMeasurePosWithin(measure, pos), within) << measure << ":" << pos;
    }
    EXPECT_TRUE(region.IsFullMeasureIncluded(3));
    EXPECT_FALSE(region.IsFullMeasureIncluded(2));
    EXPECT_TRUE(region.IsPartial());
    EXPECT_FALSE(Region(1, 1, 3, 5).IsPartial());
    FCCell inside(3, kSlot3);
    FCCell outside(3, kSlot1);
    EXPECT_TRUE(region.IsCellPosWithin(&inside, 4000));
    EXPECT_FALSE(region.IsCellPosWithin(&outside, 4000));

    AddNotes(kSlot2, 2, {256, 256, 512});
    AddNotes(kSlot1, 2, {1024});
    FCNoteEntryCell cell(2, kSlot2);
    FCNoteEntryCell other(2, kSlot1);
    ASSERT_TRUE(cell.Load() && other.Load());
    EXPECT_FALSE(region.IsEntryPosWithin(cell.GetItemAt(1)));  // at 256
    EXPECT_TRUE(region.IsEntryPosWithin(cell.GetItemAt(2)));   // at 512
    EXPECT_FALSE(region.IsEntryPosWithin(other.GetItemAt(0)));  // staff outside
    EXPECT_EQ(cell.GetRegionItemAt(1, &region), nullptr);
    EXPECT_EQ(cell.GetRegionItemAt(2, &region), cell.GetItemAt(2));
    EXPECT_EQ(cell.GetRegionItemAt(3, &region), nullptr);
}

TEST_F(RegionTest, Durations)
{
    EXPECT_EQ(Region(1, 1, 1, 2, 512, 1023).CalcDuration(), (4096 - 512) + 1024);
    doc->SetTimeSignature(2, 3, 1024, 2);
    EXPECT_EQ(Region(2, 1, 2, 2, 512).CalcDuration(), (4096 - 512) + 3072);
    EXPECT_EQ(Region(1, 3, 3, 3).CalcDuration(), 4096);
}

TEST_F(RegionTest, FullMeasureStackAndSortedStaves)
{
    doc->AddStaff(11);
    doc->AddStaff(12);
    FCMusicRegion region = Region(2, 2, 3, 4, 256, 768);
    ASSERT_TRUE(region.SetFullMeasureStack());
    EXPECT_EQ(region.GetStartSlot(), 1);
    EXPECT_EQ(region.GetEndSlot(), 5);
    EXPECT_EQ(region.GetStartMeasure(), 2);
    EXPECT_EQ(region.GetEndMeasure(), 4);
    EXPECT_EQ(region.GetStartMeasurePos(), 256);
    EXPECT_EQ(region.GetEndMeasurePos(), 768);

    FCMusicRegion reversed = Region(4, 1, 2, 1);
    reversed.AssureSortedStaves();
    EXPECT_EQ(reversed.GetStartSlot(), 2);
    EXPECT_EQ(reversed.GetEndSlot(), 4);
    reversed.ConvertToGlobalInstrumentList();  // already the global list
    EXPECT_EQ(reversed.GetStartSlot(), 2);
    EXPECT_EQ(reversed.GetEndSlot(), 4);
}

TEST_F(RegionTest, SelectionAndDocuments)
{
    FCMusicRegion region;
    EXPECT_FALSE(region.SetCurrentSelection());  // nothing selected
    EXPECT_TRUE(region.IsEmpty());
    ASSERT_TRUE(doc->SetSelection(Document::MakeRegion(2, 3, 3, 4)));
    ASSERT_TRUE(region.SetCurrentSelection());
    EXPECT_EQ(region.GetStartSlot(), 2);
    EXPECT_EQ(region.GetEndMeasure(), 4);
    ASSERT_TRUE(region.SetFullDocument());
    EXPECT_EQ(region.GetStartMeasure(), 1);
    EXPECT_EQ(region.GetEndMeasure(), 5);
    EXPECT_EQ(region.GetEndSlot(), 3);
    // Without a selection the region holds the empty one, not what it held.
    doc->ClearSelection();
    EXPECT_FALSE(region.SetCurrentSelection());
    EXPECT_TRUE(region.IsEmpty());
    EXPECT_EQ(region.GetEndMeasure(), 0);

    FCMusicRegion mine = Region(1, 1, 1, 1);
    EXPECT_TRUE(mine.SetInDocument());
    EREGION selected{};
    ASSERT_TRUE(doc->GetSelection(&selected));
    EXPECT_EQ(+selected.endSlot, 1);
    EXPECT_EQ(+selected.endMeas, 1);

    Document* second = Engine::Instance().NewDocument();  // now current
    second->AddStaff(1);
    second->AddMeasures(2);
    EXPECT_FALSE(mine.IsCurrentDocument());
    EXPECT_FALSE(mine.SetInDocument());
    EXPECT_FALSE(second->GetSelection(&selected));
    FCMusicRegion copy;
    ASSERT_TRUE(copy.SetRegion(&mine));
    EXPECT_EQ(copy.GetDocumentID(), doc->Number());
    EXPECT_TRUE(copy.IsIdentical(&mine));
    EXPECT_FALSE(copy.IsIdentical(&region));
    EXPECT_FALSE(copy.SetRegion(nullptr));
}

TEST_F(RegionTest, CreateCellsMeasureMajor)
{
    std::unique_ptr<FCCells> cells(Region(2, 4, 3, 5).CreateCells());
    ASSERT_EQ(cells->GetCount(), 4);
    std::vector<std::pair<int, int>> got;
    for (int i = 0; i < cells->GetCount(); ++i) got.emplace_back(cells->GetItemAt(i)->GetMeasure(), cells->GetItemAt(i)->GetStaff());
    EXPECT_EQ(got, (std::vector<std::pair<int, int>>{{4, kSlot2}, {4, kSlot3}, {5, kSlot2}, {5, kSlot3}}));
}

// ---- Walking a region ------------------------------------------------------------

TEST_F(RegionTest, CellsAreVisitedMeasureByMeasureStaffByStaff)
{
    CellRecorder browser;
    RecordingHandler handler;
    FCMusicRegion region = Region(1, 3, 2, 4);
    EXPECT_EQ(browser.ForEachInRegion(&handler, &region), 4);
    EXPECT_EQ(browser.cells, (std::vector<std::pair<int, int>>{{3, kSlot1}, {3, kSlot2}, {4, kSlot1}, {4, kSlot2}}));

    CellRecorder stopping;
    stopping.stopAt = 3;
    EXPECT_EQ(stopping.ForEachInRegion(&handler, &region), 2);
    EXPECT_EQ(stopping.cells.size(), 3u);

    CellRecorder whole;
    EXPECT_EQ(whole.ForEach(&handler), 15);
    EXPECT_EQ(whole.ForEachInRegion(nullptr, &region), 0);
    EXPECT_EQ(whole.ForEachInRegion(&handler, nullptr), 0);
}

TEST_F(RegionTest, OnlyEntriesInsideThePositionsAreHandedOver)
{
    AddNotes(kSlot2, 3, {256, 256, 512, 2048});        // at 0, 256, 512, 1024
    AddNotes(kSlot2, 4, {1024, 512, 512, 2048});       // at 0, 1024, 1536, 2048
    RecordingHandler handler;
    FCBrowserNoteEntries browser;
    FCMusicRegion region = Region(2, 3, 2, 4, 512, 1024);
    EXPECT_EQ(browser.ForEachInRegion(&handler, &region), 2);
    EXPECT_EQ(handler.visits, (std::vector<Visit>{{3, kSlot2, 512}, {3, kSlot2, 1024}, {4, kSlot2, 0}, {4, kSlot2, 1024}}));

    RecordingHandler toTheEnd;
    FCMusicRegion open = Region(2, 3, 2, 4, 512);
    browser.ForEachInRegion(&toTheEnd, &open);
    EXPECT_EQ(toTheEnd.visits.size(), 6u);
    EXPECT_EQ(toTheEnd.visits.back(), (Visit{4, kSlot2, 2048}));
}

TEST_F(RegionTest, StoppingAtTheSecondEntryStillSavesThatCellAndEndsTheWalk)
{
    AddNotes(kSlot1, 1, {1024, 1024, 1024});
    AddNotes(kSlot2, 1, {1024});
    RecordingHandler handler;
    handler.raiseVisited = true;
    handler.stopAt = 2;
    handler.SetSaveAfterIterate(true);
    FCBrowserNoteEntries browser;
    FCMusicRegion region = Region(1, 1, 2, 2);
    EXPECT_EQ(browser.ForEachInRegion(&handler, &region), 0);
    EXPECT_EQ(handler.log, "PEep");  // the next cell is never started
    EXPECT_EQ(StoredDisplacements(kSlot1, 1), (std::vector<int16_t>{1, 1, 0}));
    EXPECT_EQ(StoredDisplacements(kSlot2, 1), (std::vector<int16_t>{0}));
}

TEST_F(RegionTest, WithoutTheSaveFlagNothingIsWritten)
{
    AddNotes(kSlot3, 2, {2048, 2048});
    RecordingHandler handler;
    handler.raiseVisited = true;
    FCBrowserNoteEntries browser;
    FCMusicRegion region = Region(3, 2, 3, 2);
    EXPECT_EQ(browser.ForEachInRegion(&handler, &region), 1);
    EXPECT_EQ(handler.visits.size(), 2u);
    EXPECT_EQ(StoredDisplacements(kSlot3, 2), (std::vector<int16_t>{0, 0}));
}

TEST_F(RegionTest, SecondPassStopsAtTheFirstFalse)
{
    AddNotes(kSlot1, 2, {1024, 1024, 1024});
    FCBrowserNoteEntries browser;
    FCMusicRegion region = Region(1, 2, 1, 2, 1024);
    RecordingHandler byDefault;
    browser.ForEachInRegion(&byDefault, &region);
    EXPECT_EQ(byDefault.visits.size(), 2u);
    EXPECT_EQ(byDefault.secondPass, (std::vector<Visit>{{2, kSlot1, 1024}}));

    RecordingHandler all;
    all.secondPassAll = true;
    browser.ForEachInRegion(&all, &region);
    EXPECT_EQ(all.secondPass.size(), 2u);

    RecordingHandler stopped;  // a stopped first pass still gets a second pass
    stopped.stopAt = 1;
    browser.ForEachInRegion(&stopped, &region);
    EXPECT_EQ(stopped.visits.size(), 1u);
    EXPECT_EQ(stopped.secondPass.size(), 1u);
}

TEST_F(RegionTest, NotesMarkedDeletedLeaveTheRecord)
{
    NoteSpec c4, e4, g4;
    tonaroengine::NoteFromName("C4", 0, &c4);
    tonaroengine::NoteFromName("E4", 0, &e4);
    tonaroengine::NoteFromName("G4", 0, &g4);
    doc->AddEntry(kSlot2, 5, 0, EntrySpec{4096, {c4, e4, g4}, 0});
    RecordingHandler handler;
    handler.deleteSecondNote = true;
    handler.SetSaveAfterIterate(true);
    FCBrowserNoteEntries browser;
    FCMusicRegion region = Region(2, 5, 2, 5);
    browser.ForEachInRegion(&handler, &region);
    const std::vector<EXENTRY> stored = doc->Entries(kSlot2, 5, 0);
    ASSERT_EQ(stored.size(), 1u);
    ASSERT_EQ(+stored[0].numNotes, 2);
    EXPECT_EQ(+stored[0].notes[1].displacement, g4.displacement);
}

TEST_F(RegionTest, NullEntriesAreDeletedOnlyWhenAsked)
{
    AddNotes(kSlot1, 1, {1024, 0, 2048});
    FCBrowserNoteEntries browser;
    FCMusicRegion region = Region(1, 1, 1, 1);
    RecordingHandler handler;
    handler.SetSaveAfterIterate(true);
    browser.ForEachInRegion(&handler, &region);
    EXPECT_EQ(doc->Entries(kSlot1, 1, 0).size(), 3u);
    browser.SetDeleteNullEntries(true);
    browser.ForEachInRegion(&handler, &region);
    EXPECT_EQ(doc->Entries(kSlot1, 1, 0).size(), 2u);
}

TEST_F(RegionTest, LayerSelectionOfTheBrowser)
{
    AddNotes(kSlot1, 1, {4096}, 0);
    AddNotes(kSlot1, 1, {1024, 1024}, 2);
    doc->SetLayerShown(2, false);
    FCMusicRegion region = Region(1, 1, 1, 1);
    FCBrowserNoteEntries browser;
    RecordingHandler shown;
    browser.ForEachInRegion(&shown, &region);
    EXPECT_EQ(shown.visits.size(), 1u);
    browser.SetLayerSelection(LAYERSELECTION_HIDDEN);
    RecordingHandler hidden;
    browser.ForEachInRegion(&hidden, &region);
    EXPECT_EQ(hidden.visits.size(), 2u);
}

TEST_F(RegionTest, HandlerRefusalsAndEmptyCells)
{
    AddNotes(kSlot1, 1, {4096});
    FCBrowserNoteEntries browser;
    FCMusicRegion region = Region(1, 1, 2, 1);

    RecordingHandler refusing;
    refusing.preProcessAnswer = false;
    EXPECT_EQ(browser.ForEachInRegion(&refusing, &region), 0);
    EXPECT_EQ(refusing.log, "P");

    RecordingHandler notNow;
    notNow.preProcessIfExistAnswer = false;
    EXPECT_EQ(browser.ForEachInRegion(&notNow, &region), 0);
    EXPECT_EQ(notNow.log, "PEp");
    EXPECT_TRUE(notNow.visits.empty());

    // A cell without entries sees only PreProcess and PostProcess; a slot
    // without a staff is such a cell too.
    RecordingHandler quiet;
    FCMusicRegion lower = Region(2, 1, 4, 1);
    EXPECT_EQ(browser.ForEachInRegion(&quiet, &lower), 3);
    EXPECT_EQ(quiet.log, "PpPpPp");
    EXPECT_EQ(browser.FindFirst(&quiet), nullptr);
}

}  // namespace
