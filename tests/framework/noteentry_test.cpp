// Note entries, cells and layers against the real engine: layer selection,
// entry deletion, appending, copying, packing notes, note IDs, durations.
// Every score puts staves in slots that differ from their numbers.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "host/engine/document.h"
#include "host/engine/engine.h"
#include "host/engine/pitch.h"
#include "tonaroframework/base/frameworkversion.h"
#include "tonaroframework/data/fcarticulation.h"
#include "tonaroframework/data/fcarticulations.h"
#include "tonaroframework/data/fcnoteheadmods.h"
#include "tonaroframework/data/fcperformancemods.h"
#include "tonaroframework/data/fctuplets.h"
#include "tonaroframework/data/fccell.h"
#include "tonaroframework/music/fcnote.h"
#include "tonaroframework/music/fcnoteentry.h"
#include "tonaroframework/music/fcnoteentrycell.h"
#include "tonaroframework/music/fcnoteentrylayer.h"
#include "tonaropdk/bridge/hostbinding.h"

using tonaroengine::Document;
using tonaroengine::Engine;
using tonaroengine::EntrySpec;
using tonaroengine::NoteSpec;

namespace {

class NoteEntryTest : public testing::Test {
protected:
    // Staff 9 in slot 1, staff 4 in slot 2; four measures of 4/4 in C.
    static constexpr int16_t kTop = 9;
    static constexpr int16_t kLower = 4;

    void SetUp() override
    {
        InitializeGlobals();
        Engine::Instance().Reset();
        SetTonaroFrameworkVersion(0x12000000);
        doc = Engine::Instance().NewDocument();
        doc->AddStaff(kLower);
        doc->AddStaff(kTop);
        doc->MoveStaff(kTop, 1);
        doc->AddMeasures(4);
        ASSERT_EQ(doc->SlotOfStaff(kTop), 1);
        ASSERT_EQ(doc->SlotOfStaff(kLower), 2);
    }
    void TearDown() override
    {
        EXPECT_EQ(Engine::Instance().LoadedFrameCount(), 0) << "a frame was left loaded";
        SetTonaroFrameworkVersion(0x12000000);
        Engine::Instance().Reset();
    }

    static NoteSpec Pitch(const char* name)
    {
        NoteSpec spec;
        EXPECT_TRUE(tonaroengine::NoteFromName(name, 0, &spec)) << name;
        return spec;
    }
    static EntrySpec Notes(std::vector<NoteSpec> notes, int16_t duration = 1024, uint32_t flags = 0)
    {
        return EntrySpec{duration, std::move(notes), flags};
    }
    std::vector<int16_t> StoredDurations(int16_t staff, int16_t measure, int layer) const
    {
        std::vector<int16_t> result;
        for (const EXENTRY& entry : doc->Entries(staff, measure, layer)) result.push_back(int16_t{entry.duration});
        return result;
    }
    std::unique_ptr<FCNoteEntryCell> LoadCell(int measure, int staff, int selection = LAYERSELECTION_SHOWN)
    {
        auto cell = std::make_unique<FCNoteEntryCell>(measure, staff);
        cell->SetLayerSelection(selection);
        EXPECT_TRUE(cell->Load());
        return cell;
    }

    Document* doc = nullptr;
};

// ---- Layer selection -----------------------------------------------------------

class LayerSelectionTest : public NoteEntryTest {
protected:
    void SetUp() override
    {
        NoteEntryTest::SetUp();
        // Layer index L holds L + 1 entries of duration 256 * (L + 1).
        for (int layer = 0; layer < 4; ++layer) {
            for (int i = 0; i <= layer; ++i) doc->AddRest(kLower, 2, layer, static_cast<int16_t>(256 * (layer + 1)));
        }
        doc->SetLayerShown(1, false);
        doc->SetLayerShown(3, false);
    }
    // The 1-based layer number of every loaded entry, in collection order.
    std::vector<int> LayersOf(int selection)
    {
        auto cell = LoadCell(2, kLower, selection);
        std::vector<int> layers;
        for (int i = 0; i < cell->GetCount(); ++i) layers.push_back(cell->GetItemAt(i)->GetLayerNumber());
        return layers;
    }
};

TEST_F(LayerSelectionTest, ShownLayersAreLoadedInLayerOrder)
{
    EXPECT_EQ(LayersOf(LAYERSELECTION_SHOWN), (std::vector<int>{1, 3, 3, 3}));
    EXPECT_EQ(LayersOf(LAYERSELECTION_HIDDEN), (std::vector<int>{2, 2, 4, 4, 4, 4}));
    EXPECT_EQ(LayersOf(LAYERSELECTION_ALL).size(), 10u);
}

TEST_F(LayerSelectionTest, SingleLayersAndMasks)
{
    EXPECT_EQ(LayersOf(3), (std::vector<int>{3, 3, 3}));
    EXPECT_EQ(LayersOf(2), (std::vector<int>{2, 2}));  // a hidden layer picked by number still loads
    EXPECT_EQ(LayersOf(0x500), (std::vector<int>{1, 3, 3, 3}));
    EXPECT_EQ(LayersOf(0x800), (std::vector<int>{4, 4, 4, 4}));
    EXPECT_TRUE(LayersOf(5).empty());  // a mask without layer bits
}

TEST_F(LayerSelectionTest, NoLayerLoadsNothingAndSucceeds)
{
    auto cell = LoadCell(2, kLower, LAYERSELECTION_NONE);
    EXPECT_EQ(cell->GetCount(), 0);
    for (int layer = 0; layer < 4; ++layer) EXPECT_EQ(cell->_GetFrame(layer), nullptr);
    EXPECT_TRUE(cell->Save());
}

TEST_F(LayerSelectionTest, EntriesKnowStaffMeasureAndTheirNeighboursInTheLayer)
{
    auto cell = LoadCell(2, kLower, LAYERSELECTION_ALL);
    ASSERT_EQ(cell->GetCount(), 10);
    FCNoteEntry* first = cell->GetItemAt(0);
    EXPECT_EQ(first->GetStaff(), kLower);  // the staff number, not the slot
    EXPECT_EQ(first->GetMeasure(), 2);
    EXPECT_EQ(first->Previous(), nullptr);
    EXPECT_EQ(first->Next(), nullptr);  // layer 1 has one entry
    FCNoteEntry* layer2First = cell->GetItemAt(1);
    FCNoteEntry* layer2Second = cell->GetItemAt(2);
    EXPECT_EQ(layer2First->Previous(), nullptr);
    EXPECT_EQ(layer2First->Next(), layer2Second);
    EXPECT_EQ(layer2Second->Previous(), layer2First);
    EXPECT_EQ(layer2Second->Next(), nullptr);
    EXPECT_EQ(layer2Second->GetMeasurePos(), 512);
}

TEST_F(NoteEntryTest, LoadFailsWholeForAStaffOutsideTheScore)
{
    FCNoteEntryCell cell(1, 77);
    cell.SetLayerSelection(LAYERSELECTION_ALL);
    EXPECT_FALSE(cell.Load());
    EXPECT_EQ(cell.GetCount(), 0);
    for (int layer = 0; layer < 4; ++layer) EXPECT_EQ(cell._GetFrame(layer), nullptr);

    FCCell scoreCell(9, kTop);  // no measure 9
    std::unique_ptr<FCNoteEntryCell> entries(scoreCell.CreateNoteEntryCell(true, LAYERSELECTION_ALL));
    ASSERT_NE(entries, nullptr);
    EXPECT_EQ(entries->GetCount(), 0);
}

// ---- Saving and deleting ---------------------------------------------------------

TEST_F(NoteEntryTest, EditsReachTheDocumentOnlyThroughSave)
{
    doc->AddEntry(kTop, 1, 0, Notes({Pitch("C4")}));
    {
        auto cell = LoadCell(1, kTop);
        cell->GetItemAt(0)->GetItemAt(0)->SetDisplacement(4);
    }  // destroyed unsaved
    EXPECT_EQ(+doc->Entries(kTop, 1, 0)[0].notes[0].displacement, 0);
    {
        auto cell = LoadCell(1, kTop);
        cell->GetItemAt(0)->GetItemAt(0)->SetDisplacement(4);
        EXPECT_TRUE(cell->Save());
    }
    EXPECT_EQ(+doc->Entries(kTop, 1, 0)[0].notes[0].displacement, 4);
    EXPECT_EQ(doc->Entries(kLower, 1, 0).size(), 0u);  // the other staff is untouched
}

TEST_F(NoteEntryTest, DeleteAllNullEntriesWalksBackwards)
{
    for (int16_t duration : {1024, 0, 0, 512}) doc->AddEntry(kTop, 3, 0, Notes({Pitch("E4")}, duration));
    auto cell = LoadCell(3, kTop);
    ASSERT_EQ(cell->GetCount(), 4);
    EXPECT_TRUE(cell->DeleteAllNullEntries());
    ASSERT_EQ(cell->GetCount(), 2);
    EXPECT_EQ(cell->GetItemAt(0)->GetDuration(), 1024);
    EXPECT_EQ(cell->GetItemAt(1)->GetDuration(), 512);
    EXPECT_EQ(cell->GetItemAt(0)->Next(), cell->GetItemAt(1));
    // Stored at once, without Save().
    EXPECT_EQ(StoredDurations(kTop, 3, 0), (std::vector<int16_t>{1024, 512}));
}

TEST_F(NoteEntryTest, NullEntriesOfALockedFrameStay)
{
    doc->AddRest(kTop, 1, 0, 0);
    doc->AddRest(kTop, 1, 0, 1024);
    doc->AddRest(kTop, 1, 1, 0);
    doc->AddRest(kTop, 1, 1, 2048);
    auto cell = LoadCell(1, kTop, LAYERSELECTION_ALL);
    ASSERT_EQ(cell->GetCount(), 4);
    cell->_GetFrame(1)->locked = 1;  // the layer index 1 frame is locked
    EXPECT_TRUE(cell->DeleteAllNullEntries());
    EXPECT_EQ(cell->GetCount(), 3);
    EXPECT_EQ(StoredDurations(kTop, 1, 0), (std::vector<int16_t>{1024}));
    EXPECT_EQ(StoredDurations(kTop, 1, 1), (std::vector<int16_t>{0, 2048}));
    // A locked frame is not stored either; Save still succeeds.
    cell->GetItemAt(2)->SetDuration(256);
    EXPECT_TRUE(cell->Save());
    EXPECT_EQ(StoredDurations(kTop, 1, 1), (std::vector<int16_t>{0, 2048}));
}

TEST_F(NoteEntryTest, DeleteEntryRefusesForeignAndLockedEntries)
{
    doc->AddRest(kTop, 2, 0, 1024);
    doc->AddRest(kTop, 2, 0, 2048);
    doc->AddRest(kLower, 2, 0, 512);
    auto cell = LoadCell(2, kTop);
    auto other = LoadCell(2, kLower);
    EXPECT_FALSE(cell->DeleteEntry(nullptr));
    EXPECT_FALSE(cell->DeleteEntry(other->GetItemAt(0)));
    EXPECT_EQ(other->GetCount(), 1);

    cell->_GetFrame(0)->locked = 1;
    EXPECT_FALSE(cell->DeleteEntry(cell->GetItemAt(0)));
    cell->_GetFrame(0)->locked = 0;

    EXPECT_TRUE(cell->DeleteEntry(cell->GetItemAt(0)));
    ASSERT_EQ(cell->GetCount(), 1);
    EXPECT_EQ(cell->GetItemAt(0)->GetDuration(), 2048);
    EXPECT_EQ(StoredDurations(kTop, 2, 0), (std::vector<int16_t>{2048}));
    EXPECT_EQ(StoredDurations(kLower, 2, 0), (std::vector<int16_t>{512}));
}

TEST_F(NoteEntryTest, AppendEntriesInLayerReturnsTheFirstNewEntry)
{
    doc->AddRest(kLower, 1, 0, 1024);
    doc->AddRest(kLower, 1, 1, 512);
    doc->AddRest(kLower, 1, 1, 512);
    auto cell = LoadCell(1, kLower, LAYERSELECTION_ALL);
    EXPECT_EQ(cell->AppendEntriesInLayer(0, 1), nullptr);
    EXPECT_EQ(cell->AppendEntriesInLayer(2, 0), nullptr);
    EXPECT_EQ(cell->AppendEntriesInLayer(9, 1), nullptr);  // no such layer

    FCNoteEntry* added = cell->AppendEntriesInLayer(2, 3);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(cell->GetCount(), 6);
    EXPECT_EQ(added, cell->GetItemAt(3));  // layer 1's entry, then layer 2's two old ones
    EXPECT_EQ(added->GetLayerNumber(), 2);
    EXPECT_EQ(added->Previous(), cell->GetItemAt(2));
    EXPECT_EQ(added->GetEntryNumber(), 0u);
    added->SetDuration(256);
    added->MakeNote();
    EXPECT_TRUE(cell->Save());
    const std::vector<EXENTRY> stored = doc->Entries(kLower, 1, 1);
    ASSERT_EQ(stored.size(), 5u);
    EXPECT_EQ(+stored[2].duration, 256);
    EXPECT_NE(stored[2].flags & EXENTRY_NOTE, 0u);
    EXPECT_NE(+stored[2].entnum, 0u);
}

TEST_F(NoteEntryTest, CopyEntriesMakesNewEntriesWithoutDetails)
{
    doc->AddEntry(kTop, 1, 0, Notes({Pitch("G4")}, 1024, EXENTRY_ARTICULATION | EXENTRY_NOTEDETAIL | EXENTRY_GRACE));
    doc->AddEntry(kTop, 1, 0, Notes({Pitch("A4"), Pitch("C5")}, 2048));
    doc->AddRest(kLower, 3, 0, 4096);
    auto source = LoadCell(1, kTop);
    auto target = LoadCell(3, kLower);
    EXPECT_FALSE(__FCNoteEntryCollection::_CopyEntries(source->_GetFrame(0), nullptr));
    EXPECT_FALSE(__FCNoteEntryCollection::_CopyEntries(source->_GetFrame(0), source->_GetFrame(0)));
    ASSERT_TRUE(__FCNoteEntryCollection::_CopyEntries(source->_GetFrame(0), target->_GetFrame(0)));
    target->_SetupEntries();
    ASSERT_EQ(target->GetCount(), 2);
    const EXENTRY* first = target->GetItemAt(0)->_GetEXENTRY();
    EXPECT_EQ(first->entnum, 0u);
    EXPECT_EQ(first->flags & (EXENTRY_ARTICULATION | EXENTRY_NOTEDETAIL), 0u);
    EXPECT_NE(first->flags & EXENTRY_GRACE, 0u);  // not a detail bit
    EXPECT_EQ(target->GetItemAt(1)->GetCount(), 2);
    EXPECT_TRUE(target->Save());
    const std::vector<EXENTRY> stored = doc->Entries(kLower, 3, 0);
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_NE(+stored[0].entnum, +doc->Entries(kTop, 1, 0)[0].entnum);
    EXPECT_EQ(+stored[1].notes[1].displacement, Pitch("C5").displacement);
}

// ---- Notes -------------------------------------------------------------------------

TEST_F(NoteEntryTest, DeletingTheLastNoteMakesARest)
{
    doc->AddEntry(kTop, 1, 0,
                  Notes({Pitch("D4")}, 1024,
                        EXENTRY_NOTEDETAIL | EXENTRY_ARTICULATION | EXENTRY_SPECIALALTS | EXENTRY_CROSSSTAFF));
    doc->AddEntry(kTop, 1, 0, Notes({Pitch("E4")}));
    auto cell = LoadCell(1, kTop);
    FCNoteEntry* entry = cell->GetItemAt(0);
    EXPECT_FALSE(entry->DeleteNote(nullptr));
    EXPECT_FALSE(entry->DeleteNote(cell->GetItemAt(1)->GetItemAt(0)));  // another entry's note
    EXPECT_EQ(cell->GetItemAt(1)->GetCount(), 1);
    ASSERT_TRUE(entry->DeleteNote(entry->GetItemAt(0)));
    EXPECT_TRUE(entry->IsRest());
    EXPECT_EQ(entry->GetCount(), 0);
    EXPECT_EQ(entry->GetNoteCountInRecord(), 0);
    EXPECT_EQ(entry->GetFlags() & (EXENTRY_NOTE | EXENTRY_NOTEDETAIL | EXENTRY_ARTICULATION | EXENTRY_SPECIALALTS), 0u);
    EXPECT_NE(entry->GetFlags() & EXENTRY_CROSSSTAFF, 0u);
    EXPECT_EQ(entry->AddNewNote(), nullptr);  // a rest takes no note
    entry->MakeNote();
    ASSERT_EQ(entry->GetCount(), 1);
    EXPECT_TRUE(entry->IsNote());
    EXPECT_NE(entry->GetItemAt(0)->_GetNoteRecord()->flags & EXNOTE_INUSE, 0u);
}

TEST_F(NoteEntryTest, DeletingAChordNotePacksTheRest)
{
    doc->AddEntry(kTop, 2, 0, Notes({Pitch("C4"), Pitch("E4"), Pitch("G4")}));
    {
        auto cell = LoadCell(2, kTop);
        FCNoteEntry* entry = cell->GetItemAt(0);
        ASSERT_TRUE(entry->DeleteNote(entry->GetItemAt(1)));
        ASSERT_EQ(entry->GetCount(), 2);
        EXPECT_EQ(entry->GetItemAt(0)->GetNoteID(), 1);
        EXPECT_EQ(entry->GetItemAt(1)->GetNoteID(), 3);
        EXPECT_EQ(entry->GetItemAt(1)->GetDisplacement(), Pitch("G4").displacement);
        EXPECT_EQ(entry->GetItemAt(1)->GetIndex(), 1);
        EXPECT_TRUE(cell->Save());
    }
    auto cell = LoadCell(2, kTop);
    FCNoteEntry* entry = cell->GetItemAt(0);
    ASSERT_EQ(entry->GetCount(), 2);
    FCNote* added = entry->AddNewNote();
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->GetNoteID(), 2);  // the gap between 1 and 3
    EXPECT_EQ(entry->_FindUniqueNoteID(), 4);
    EXPECT_EQ(entry->GetNoteCountInRecord(), 3);
    EXPECT_NE(added->_GetNoteRecord()->flags & EXNOTE_INUSE, 0u);
    EXPECT_EQ(added->GetDisplacement(), 0);
}

TEST_F(NoteEntryTest, AFullChordTakesNoMoreNotes)
{
    std::vector<NoteSpec> twelve;
    for (int i = 0; i < 12; ++i) twelve.push_back(NoteSpec{static_cast<int16_t>(i), 0, false});
    doc->AddEntry(kLower, 4, 0, Notes(twelve));
    auto cell = LoadCell(4, kLower);
    EXPECT_EQ(cell->GetItemAt(0)->GetCount(), 12);
    EXPECT_EQ(cell->GetItemAt(0)->AddNewNote(), nullptr);
}

TEST_F(NoteEntryTest, PackingWithoutMarksKeepsTheNoteObjects)
{
    doc->AddEntry(kTop, 1, 0, Notes({Pitch("C4"), Pitch("E4")}));
    auto cell = LoadCell(1, kTop);
    FCNoteEntry* entry = cell->GetItemAt(0);
    FCNote* first = entry->GetItemAt(0);
    int mark = 0;
    first->SetUserData(&mark);
    entry->_PackEXENTRYNotes();
    EXPECT_EQ(entry->GetItemAt(0), first);
    EXPECT_EQ(first->GetUserData(), &mark);

    entry->GetItemAt(0)->_SetMarkedForDeletion(true);
    entry->GetItemAt(1)->_SetMarkedForDeletion(true);
    entry->_PackEXENTRYNotes();
    EXPECT_TRUE(entry->IsRest());
    EXPECT_EQ(entry->GetCount(), 0);
}

TEST_F(NoteEntryTest, CheckAccidentalsMarkOnlyOnOlderHosts)
{
    doc->AddEntry(kTop, 1, 0, Notes({Pitch("C4")}));
    auto cell = LoadCell(1, kTop);
    FCNoteEntry* entry = cell->GetItemAt(0);
    const uint16_t before = entry->GetFlags2();
    entry->SetCheckAccidentals(true);
    EXPECT_EQ(entry->GetFlags2(), before);
    EXPECT_FALSE(entry->GetCheckAccidentals());

    SetTonaroFrameworkVersion(0x11FFFFFF);
    entry->SetCheckAccidentals(true);
    EXPECT_NE(entry->GetFlags2() & EXENTRY2_CHECKACCIS, 0);
    EXPECT_TRUE(entry->GetCheckAccidentals());
    entry->SetCheckAccidentals(false);
    EXPECT_FALSE(entry->GetCheckAccidentals());
}

TEST_F(NoteEntryTest, DetailCollectionsAreLoadedForTheEntry)
{
    doc->AddEntry(kTop, 1, 0, Notes({Pitch("C4")}));
    doc->AddEntry(kTop, 1, 0, Notes({Pitch("D4")}));
    auto cell = LoadCell(1, kTop);
    FCNoteEntry* entry = cell->GetItemAt(1);
    for (int16_t id : {3, 5}) {
        FCArticulation articulation;
        articulation.SetNoteEntry(entry);
        articulation.SetID(id);
        ASSERT_TRUE(articulation.SaveNew());
    }
    std::unique_ptr<FCArticulations> articulations(entry->CreateArticulations());
    ASSERT_EQ(articulations->GetCount(), 2);
    EXPECT_EQ(articulations->GetItemAt(1)->GetID(), 5);
    std::unique_ptr<FCArticulations> none(cell->GetItemAt(0)->CreateArticulations());
    EXPECT_EQ(none->GetCount(), 0);
    std::unique_ptr<FCNoteheadMods> noteheads(entry->CreateNoteheadMods());
    std::unique_ptr<FCPerformanceMods> performance(entry->CreatePerformanceMods());
    std::unique_ptr<FCTuplets> tuplets(entry->CreateTuplets());
    EXPECT_EQ(noteheads->GetCount() + performance->GetCount() + tuplets->GetCount(), 0);
}

// ---- Durations and positions ----------------------------------------------------

TEST(NoteEntryDurationTest, DotsAndPlainValues)
{
    EXPECT_EQ(FCNoteEntry::CalcNondottedDurationForDuration(1536), 1024);
    EXPECT_EQ(FCNoteEntry::CalcNondottedDurationForDuration(0), 0);
    EXPECT_EQ(FCNoteEntry::CalcNondottedDurationForDuration(16384), 0);
    EXPECT_EQ(FCNoteEntry::CalcDotsForDuration(1536), 1);
    EXPECT_EQ(FCNoteEntry::CalcDotsForDuration(1792), 2);
    EXPECT_EQ(FCNoteEntry::CalcDotsForDuration(3584), 2);
    EXPECT_EQ(FCNoteEntry::CalcDotsForDuration(1024), 0);
    EXPECT_EQ(FCNoteEntry::CalcDotsForDuration(1024 + 256), 0);  // the run is broken
    EXPECT_EQ(FCNoteEntry::CalcDotsForDuration(0), 0);
    EXPECT_TRUE(FCNoteEntry::IsValidDuration(1536));
    EXPECT_TRUE(FCNoteEntry::IsValidDuration(2304));  // 1024 * 9/4
    EXPECT_FALSE(FCNoteEntry::IsValidDuration(1792));
    EXPECT_EQ(FCNoteEntry::CalcValidDuration(1024, 2), 2304);
    EXPECT_EQ(FCNoteEntry::CalcValidDuration(2, 2), 0);  // 2 * 3/2 is odd: no further step
    EXPECT_EQ(FCNoteEntry::CalcValidDuration(1000, 1), 0);
}

TEST_F(NoteEntryTest, DottedGraceIndexAndRecordIndex)
{
    doc->AddRest(kLower, 2, 0, 1536);
    doc->AddEntry(kLower, 2, 0, Notes({Pitch("C5")}, 256, EXENTRY_GRACE));
    doc->AddEntry(kLower, 2, 0, Notes({Pitch("D5")}, 256, EXENTRY_GRACE));
    doc->AddEntry(kLower, 2, 0, Notes({Pitch("E5")}, 4));
    auto cell = LoadCell(2, kLower);
    ASSERT_EQ(cell->GetCount(), 4);
    EXPECT_TRUE(cell->GetItemAt(0)->IsDotted());
    EXPECT_FALSE(cell->GetItemAt(3)->IsDotted());
    EXPECT_EQ(cell->GetItemAt(0)->CalcGraceNoteIndex(), -1);
    EXPECT_EQ(cell->GetItemAt(1)->CalcGraceNoteIndex(), 0);
    EXPECT_EQ(cell->GetItemAt(2)->CalcGraceNoteIndex(), 1);
    EXPECT_EQ(cell->GetItemAt(3)->CalcGraceNoteIndex(), -1);
    EXPECT_EQ(cell->GetItemAt(2)->_CalcTGFIndex(), 2);
    std::unique_ptr<FCNoteEntry> clone(cell->GetItemAt(2)->CreateShallowClone());
    EXPECT_EQ(clone->_GetEXENTRY(), cell->GetItemAt(2)->_GetEXENTRY());
    EXPECT_EQ(clone->Previous(), nullptr);
    EXPECT_EQ(clone->CalcGraceNoteIndex(), 0);  // no neighbours to count
    EXPECT_EQ(clone->_CalcTGFIndex(), 2);
}

TEST_F(NoteEntryTest, FindersWithinALayer)
{
    doc->AddRest(kTop, 1, 0, 1024);
    doc->AddRest(kTop, 1, 0, 2048);
    doc->AddRest(kTop, 1, 0, 1024);
    auto cell = LoadCell(1, kTop);
    EXPECT_EQ(cell->FindEntryStartPosition(1024, 1), cell->GetItemAt(1));
    EXPECT_EQ(cell->FindEntryStartPosition(1000, 1), nullptr);
    EXPECT_EQ(cell->FindCoveredEntry(3071, 1), cell->GetItemAt(1));
    EXPECT_EQ(cell->FindCoveredEntry(3072, 1), cell->GetItemAt(2));
    EXPECT_EQ(cell->FindCoveredEntry(4096, 1), nullptr);
    EXPECT_EQ(cell->FindClosestPos(2900, 1), cell->GetItemAt(2));
    EXPECT_EQ(cell->FindClosestPos(100, 2), nullptr);  // layer 2 not loaded
}

// ---- Layers over measures --------------------------------------------------------

TEST_F(NoteEntryTest, LayerLinksAcrossMeasuresAndClampsItsRange)
{
    for (int16_t measure = 1; measure <= 4; ++measure) doc->AddRest(kLower, measure, 2, 4096);
    FCNoteEntryLayer clamped(2, kLower, 0, -1);  // -1 is 65535
    EXPECT_EQ(clamped.GetStartMeasure(), 1);
    EXPECT_EQ(clamped.GetEndMeasure(), 4);
    FCNoteEntryLayer beyond(2, kLower, 2, 40);
    EXPECT_EQ(beyond.GetEndMeasure(), 4);

    FCNoteEntryLayer layer(2, kLower, 2, 4);
    ASSERT_TRUE(layer.Load());
    EXPECT_EQ(layer.GetFrameCount(), 3);
    ASSERT_EQ(layer.GetCount(), 3);
    EXPECT_EQ(layer.GetItemAt(0)->GetMeasure(), 2);
    EXPECT_EQ(layer.GetItemAt(0)->Next(), layer.GetItemAt(1));
    EXPECT_EQ(layer.GetItemAt(2)->Previous(), layer.GetItemAt(1));
    EXPECT_EQ(layer.GetItemAt(2)->GetMeasure(), 4);

    FCNoteEntryLayer backwards(2, kLower, 3, 2);
    EXPECT_FALSE(backwards.Load());
    EXPECT_FALSE(backwards.Save());
}

TEST_F(NoteEntryTest, HiddenLayerIsSkippedUnlessAsked)
{
    doc->AddRest(kTop, 1, 3, 4096);
    doc->SetLayerShown(3, false);
    FCNoteEntryLayer layer(3, kTop, 1, 2);
    ASSERT_TRUE(layer.Load());
    EXPECT_EQ(layer.GetCount(), 0);
    EXPECT_EQ(layer._GetFrame(1), nullptr);
    layer.SetSkipHidden(false);
    ASSERT_TRUE(layer.Load());
    EXPECT_EQ(layer.GetCount(), 1);
}

TEST_F(NoteEntryTest, LayerSaveShowsTheNumbersOfNewEntries)
{
    doc->AddRest(kTop, 1, 0, 512);
    doc->AddEntry(kTop, 2, 0, Notes({Pitch("F4")}, 2048));
    doc->AddRest(kTop, 2, 0, 1024);
    FCNoteEntryLayer layer(0, kTop, 1, 2);
    ASSERT_TRUE(layer.Load());
    // Measure 1 receives copies of measure 2: new entries without numbers.
    ASSERT_TRUE(__FCNoteEntryCollection::_CopyEntries(layer._GetFrame(2), layer._GetFrame(1)));
    layer._SetupEntries();
    ASSERT_EQ(layer.GetCount(), 4);
    EXPECT_EQ(layer.GetItemAt(0)->GetEntryNumber(), 0u);
    EXPECT_EQ(layer.GetItemAt(1)->Next(), layer.GetItemAt(2));  // linked across the bar line

    ASSERT_TRUE(layer.Save());
    const std::vector<EXENTRY> stored = doc->Entries(kTop, 1, 0);
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_NE(+stored[0].entnum, 0u);
    EXPECT_EQ(layer.GetItemAt(0)->GetEntryNumber(), +stored[0].entnum);
    EXPECT_EQ(layer.GetItemAt(1)->GetEntryNumber(), +stored[1].entnum);
    EXPECT_EQ(layer.GetItemAt(0)->_GetFrame(), layer._GetFrame(1));
    EXPECT_EQ(layer.GetItemAt(0)->GetItemAt(0)->GetDisplacement(), Pitch("F4").displacement);
    EXPECT_EQ(Engine::Instance().LoadedFrameCount(), 2);  // the replaced frame was freed
}

}  // namespace
