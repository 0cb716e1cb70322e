// Entry frames: loading copies, saving back, resizing in place, and the
// entry numbers and positions that the engine gives stored records.
#include <gtest/gtest.h>

#include <set>

#include "enginefixture.h"
#include "tonaropdk/hostapi/fxfunctions.h"

using namespace tonaroengine;

namespace {

constexpr uint32_t V = FXT_VERSION_2012;

// Frees a frame when the test leaves, whatever happens.
struct FrameGuard {
    explicit FrameGuard(EXTGF2005a* f) : frame(f) {}
    ~FrameGuard() { FX_FreeTGF(frame, V); }
    EXTGF2005a* frame;
};

}  // namespace

TEST_F(EngineTest, FramesExistOnlyForRealSlotsMeasuresAndLayers)
{
    MakeScore();
    EXPECT_EQ(FX_LoadTGF(0, 4, 1, 0, 1, V), nullptr);  // three staves
    EXPECT_EQ(FX_LoadTGF(0, 0, 1, 0, 1, V), nullptr);
    EXPECT_EQ(FX_LoadTGF(0, 1, 5, 0, 1, V), nullptr);  // four measures
    EXPECT_EQ(FX_LoadTGF(0, 1, 0, 0, 1, V), nullptr);
    EXPECT_EQ(FX_LoadTGF(0, 1, 1, 4, 1, V), nullptr);  // four layers
    EXPECT_EQ(FX_LoadTGF(1, 1, 1, 0, 1, V), nullptr);
    EXPECT_EQ(Engine::Instance().LoadedFrameCount(), 0);

    EXTGF2005a* empty = FX_LoadTGF(0, 3, 4, 3, 1, V);
    FrameGuard guard(empty);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->numEntries, 0);
    EXPECT_NE(empty->entries, nullptr);
    EXPECT_EQ(empty->slot, 3);
    EXPECT_EQ(empty->measure, 4);
    EXPECT_EQ(FX_GetTGFDuration(empty, V), 0);
}

TEST_F(EngineTest, AFrameIsACopyUntilSaved)
{
    Document* doc = MakeScore();
    const uint32_t first = doc->AddEntry(3, 2, 1, Chord({Note("C4"), Note("E4")}));
    doc->AddRest(3, 2, 1, 512);
    ASSERT_NE(first, 0u);

    EXTGF2005a* frame = FX_LoadTGF(0, 2, 2, 1, 1, V);  // slot 2 holds staff 3
    FrameGuard guard(frame);
    ASSERT_NE(frame, nullptr);
    ASSERT_EQ(frame->numEntries, 2);
    EXPECT_EQ(+frame->entries[0].entnum, first);
    EXPECT_EQ(+frame->entries[0].numNotes, 2);
    EXPECT_EQ(+frame->entries[1].position, 1024);
    EXPECT_EQ(FX_GetTGFDuration(frame, V), 1536);

    frame->entries[0].notes[0].raiselower = 1;
    EXPECT_EQ(+doc->Entries(3, 2, 1)[0].notes[0].raiselower, 0);
    ASSERT_TRUE(FX_SaveTGF(frame, V));
    EXPECT_EQ(+doc->Entries(3, 2, 1)[0].notes[0].raiselower, 1);
    EXPECT_EQ(+doc->Entries(3, 2, 1)[0].entnum, first);
}

TEST_F(EngineTest, FramesSurviveInsertAndDelete)
{
    Document* doc = MakeScore();
    for (const char* name : {"C4", "D4", "E4"}) doc->AddEntry(5, 1, 0, Chord({Note(name)}));
    const auto stored = doc->Entries(5, 1, 0);

    EXTGF2005a* frame = FX_LoadTGF(0, 1, 1, 0, 1, V);
    FrameGuard guard(frame);
    ASSERT_NE(frame, nullptr);

    ASSERT_TRUE(FX_InsertEXENTRY(frame, 1, 2, V));
    ASSERT_EQ(frame->numEntries, 5);
    EXPECT_EQ(+frame->entries[0].entnum, +stored[0].entnum);
    EXPECT_EQ(+frame->entries[1].entnum, 0u);  // new records are zeroed
    EXPECT_EQ(+frame->entries[2].duration, 0);
    EXPECT_EQ(+frame->entries[3].entnum, +stored[1].entnum);
    EXPECT_EQ(+frame->entries[4].notes[0].displacement, +stored[2].notes[0].displacement);

    // Bad ranges are refused and change nothing.
    EXPECT_FALSE(FX_InsertEXENTRY(frame, 6, 1, V));
    EXPECT_FALSE(FX_InsertEXENTRY(frame, 0, 0, V));
    EXPECT_FALSE(FX_DeleteEXENTRY(frame, 4, 2, V));
    EXPECT_FALSE(FX_DeleteEXENTRY(frame, -1, 1, V));
    EXPECT_EQ(frame->numEntries, 5);

    frame->entries[1].duration = 512;
    frame->entries[1].flags = EXENTRY_NOTE;
    frame->entries[1].numNotes = 1;
    ASSERT_TRUE(FX_DeleteEXENTRY(frame, 2, 1, V));  // the second, still null
    ASSERT_TRUE(FX_DeleteEXENTRY(frame, 0, 1, V));  // C4
    ASSERT_EQ(frame->numEntries, 3);
    EXPECT_EQ(+frame->entries[0].duration, 512);
    EXPECT_EQ(+frame->entries[1].entnum, +stored[1].entnum);

    ASSERT_TRUE(FX_SaveTGF(frame, V));
    const auto saved = doc->Entries(5, 1, 0);
    ASSERT_EQ(saved.size(), 3u);
    // Positions follow the durations, numbers are given where there were none.
    EXPECT_EQ(+saved[0].position, 0);
    EXPECT_EQ(+saved[1].position, 512);
    EXPECT_EQ(+saved[2].position, 1536);
    EXPECT_NE(+saved[0].entnum, 0u);
    EXPECT_EQ(+frame->entries[0].entnum, +saved[0].entnum);  // written back into the frame
    EXPECT_FALSE(doc->FindEntry(stored[0].entnum, nullptr, nullptr));
}

TEST_F(EngineTest, EntryNumbersStayUniqueInTheDocument)
{
    Document* doc = MakeScore();
    const uint32_t elsewhere = doc->AddEntry(7, 4, 2, Chord({Note("G2")}));

    EXTGF2005a* frame = FX_LoadTGF(0, 1, 1, 0, 1, V);
    FrameGuard guard(frame);
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(FX_InsertEXENTRY(frame, 0, 3, V));
    for (int i = 0; i < 3; ++i) frame->entries[i].duration = 1024;
    frame->entries[0].entnum = elsewhere;  // a number another entry owns
    frame->entries[1].entnum = 0;
    frame->entries[2].entnum = frame->entries[0].entnum;  // repeated
    ASSERT_TRUE(FX_SaveTGF(frame, V));

    std::set<uint32_t> numbers{elsewhere};
    for (const EXENTRY& entry : doc->Entries(5, 1, 0)) {
        EXPECT_NE(+entry.entnum, 0u);
        const uint32_t entnum = entry.entnum;
        EXPECT_TRUE(numbers.insert(entnum).second) << entnum;
    }
    EXPECT_EQ(+doc->Entries(7, 4, 2)[0].entnum, elsewhere);
    EXPECT_EQ(doc->EntryCount(), 4u);
}

TEST_F(EngineTest, BadFramesAreRefusedWithoutHarm)
{
    Document* doc = MakeScore();
    doc->AddEntry(5, 1, 0, Chord({Note("C4")}));
    const auto before = doc->Snapshot();

    EXTGF2005a* frame = FX_LoadTGF(0, 1, 1, 0, 1, V);
    ASSERT_NE(frame, nullptr);
    frame->entries[0].numNotes = 13;
    EXPECT_FALSE(FX_SaveTGF(frame, V));
    frame->entries[0].numNotes = 1;
    frame->entries[0].duration = -4;
    EXPECT_FALSE(FX_SaveTGF(frame, V));
    frame->entries[0].duration = 1024;
    frame->locked = 1;
    EXPECT_FALSE(FX_SaveTGF(frame, V));
    EXPECT_FALSE(FX_DeleteEXENTRY(frame, 0, 1, V));
    frame->locked = 0;
    frame->numEntries = 7;  // does not match the array the engine gave
    EXPECT_FALSE(FX_SaveTGF(frame, V));
    EXPECT_FALSE(FX_InsertEXENTRY(frame, 0, 1, V));
    frame->numEntries = 1;
    EXPECT_EQ(doc->Snapshot(), before);

    // A frame whose document closed can no longer be saved.
    Engine::Instance().CloseDocument(doc->Number());
    EXPECT_FALSE(FX_SaveTGF(frame, V));
    FX_FreeTGF(frame, V);
    EXPECT_EQ(Engine::Instance().LoadedFrameCount(), 0);

    // Freeing twice, or a frame the engine never made, does nothing.
    FX_FreeTGF(frame, V);
    EXTGF2005a stranger{};
    FX_FreeTGF(&stranger, V);
    FX_FreeTGF(nullptr, V);
    EXPECT_FALSE(FX_SaveTGF(&stranger, V));
    EXPECT_FALSE(FX_SaveTGF(nullptr, V));
    EXPECT_EQ(FX_GetTGFDuration(nullptr, V), 0);
}

TEST_F(EngineTest, GraceNotesTakeNoTime)
{
    Document* doc = MakeScore();
    EntrySpec grace = Chord({Note("D4")}, 256);
    grace.extraFlags = EXENTRY_GRACE;
    doc->AddEntry(5, 1, 0, grace);
    doc->AddEntry(5, 1, 0, Chord({Note("C4")}));
    doc->AddEntry(5, 1, 0, Chord({Note("E4")}));
    const auto entries = doc->Entries(5, 1, 0);
    EXPECT_EQ(+entries[1].position, 0);
    EXPECT_EQ(+entries[2].position, 1024);
    EXTGF2005a* frame = FX_LoadTGF(0, 1, 1, 0, 1, V);
    FrameGuard guard(frame);
    EXPECT_EQ(FX_GetTGFDuration(frame, V), 2048);
}

TEST_F(EngineTest, LayersCanBeHidden)
{
    Document* doc = MakeScore();
    EXPECT_EQ(FX_GetMaxLayers(V), 4);
    ASSERT_TRUE(doc->SetLayerShown(1, false));
    EXPECT_TRUE(FX_GetShowLayer(0, V));
    EXPECT_FALSE(FX_GetShowLayer(1, V));
    EXPECT_FALSE(FX_GetShowLayer(4, V));
    EXPECT_FALSE(FX_GetShowLayer(-1, V));
}

TEST_F(EngineTest, LockedCellLayersGiveLockedFramesThatNeverSave)
{
    Document* doc = MakeScore();
    doc->AddEntry(3, 2, 0, Chord({Note("C4")}));
    ASSERT_TRUE(doc->SetCellLayerLocked(3, 2, 0, true));
    EXPECT_FALSE(doc->SetCellLayerLocked(4, 2, 0, true));
    const auto before = doc->Snapshot();

    EXTGF2005a* frame = FX_LoadTGF(0, 2, 2, 0, 1, V);
    FrameGuard guard(frame);
    ASSERT_NE(frame, nullptr);
    EXPECT_NE(frame->locked, 0);
    EXPECT_FALSE(FX_DeleteEXENTRY(frame, 0, 1, V));
    frame->locked = 0;  // clearing the word does not unlock the music
    frame->entries[0].notes[0].raiselower = 1;
    EXPECT_FALSE(FX_SaveTGF(frame, V));
    EXPECT_EQ(doc->Snapshot(), before);

    EXTGF2005a* other = FX_LoadTGF(0, 2, 2, 1, 1, V);  // another layer is free
    FrameGuard otherGuard(other);
    EXPECT_EQ(other->locked, 0);
    ASSERT_TRUE(doc->SetCellLayerLocked(3, 2, 0, false));
    EXPECT_TRUE(FX_SaveTGF(frame, V));
}

TEST_F(EngineTest, ResetNeverRunsOutOfDocumentNumbersNorReusesOnesAFrameNames)
{
    // A process that resets the engine between jobs opens more documents
    // than one 16-bit number range holds.
    for (int round = 0; round < 33000; ++round) {
        Engine::Instance().Reset();
        Document* doc = Engine::Instance().NewDocument();
        ASSERT_NE(doc, nullptr) << "round " << round;
        ASSERT_EQ(doc->Number(), 1);
    }

    // While a frame of an old document is loaded, its number is not handed
    // out again: the frame cannot be saved into a new document.
    Document* doc = MakeScore();
    doc->AddEntry(5, 1, 0, Chord({Note("C4")}));
    EXTGF2005a* frame = FX_LoadTGF(0, 1, 1, 0, 1, V);
    ASSERT_NE(frame, nullptr);
    FrameGuard guard(frame);
    const int16_t oldNumber = doc->Number();
    Engine::Instance().Reset();
    Document* next = MakeScore();
    EXPECT_NE(next->Number(), oldNumber);
    EXPECT_FALSE(FX_SaveTGF(frame, V));
}
