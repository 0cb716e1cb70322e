// Edit sessions and undo: a cancelled session and an undone one leave the
// document byte-identical, redo brings the change back, sessions nest.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "enginefixture.h"
#include "tonaropdk/hostapi/fxfunctions.h"
#include "tonaropdk/hostapi/recordtags.h"

using namespace tonaroengine;

namespace {

constexpr uint32_t V = FXT_VERSION_2012;

// A change that touches every kind of part: entries (with new entry
// numbers), a generic record, a staff, the slot order and the measures.
void ChangeEverything(Document* doc)
{
    EXTGF2005a* frame = FX_LoadTGF(0, 1, 1, 0, 1, V);
    ASSERT_NE(frame, nullptr);
    frame->entries[0].notes[0].raiselower = 1;
    ASSERT_TRUE(FX_InsertEXENTRY(frame, 1, 1, V));
    frame->entries[1].duration = 1024;
    ASSERT_TRUE(FX_SaveTGF(frame, V));
    FX_FreeTGF(frame, V);

    EDataAddress address{{0xFFFF, 0xFFFF, 0, 0}};
    const uint8_t data[12] = {7};
    ASSERT_TRUE(FX_CreateEData(MakeEDTag('o', 't', 'Q', 'Q'), &address, data, sizeof data, V));
    ASSERT_TRUE(doc->SetStaffTransposition(7, 0x0042));
    ASSERT_TRUE(doc->MoveStaff(7, 1));
    ASSERT_EQ(doc->AddMeasures(2), 6);
    ASSERT_TRUE(doc->SetKeySignature(2, 0x0002));
    ASSERT_TRUE(doc->SetSelection(Document::MakeRegion(1, 1, 2, 2)));
    ASSERT_TRUE(FX_ExecuteMenuItem(MakeEDTag('M', 'S', 'p', 'N'), V));
}

class SessionTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        doc = MakeScore();
        doc->AddEntry(5, 1, 0, Chord({Note("C4"), Note("G4")}));
        doc->AddEntry(7, 2, 3, Chord({Note("A2")}));
        original = doc->Snapshot();
    }

    Document* doc = nullptr;
    std::vector<uint8_t> original;
};

}  // namespace

TEST_F(SessionTest, CancelRestoresTheDocumentExactly)
{
    ASSERT_TRUE(FX_StartTonaroEdit("Change Pitches", V));
    ChangeEverything(doc);
    ASSERT_NE(doc->Snapshot(), original);
    FX_CancelTonaroEdit(V);
    EXPECT_EQ(doc->Snapshot(), original);
    EXPECT_EQ(doc->UndoCount(), 0);
    EXPECT_FALSE(doc->IsEditing());
    EXPECT_EQ(FX_SlotToInst(1, 0, V), 5);
    EXPECT_FALSE(doc->IsRespaced(1));
}

TEST_F(SessionTest, UndoRestoresTheDocumentExactlyAndRedoRepeats)
{
    const uint16_t name[] = {'C', 'h', 0x00E4, 'n', 'g', 'e', 0};
    ASSERT_TRUE(FX_StartTonaroEdit_UTF16(name, V));
    ChangeEverything(doc);
    ASSERT_TRUE(FX_EndTonaroEdit(V));
    const auto changed = doc->Snapshot();
    EXPECT_TRUE(doc->IsRespaced(2));
    ASSERT_EQ(doc->UndoCount(), 1);
    EXPECT_EQ(doc->UndoName(), "Ch\xC3\xA4nge");

    ASSERT_TRUE(doc->Undo());
    EXPECT_EQ(doc->Snapshot(), original);
    EXPECT_EQ(doc->MeasureCount(), 4);
    EXPECT_FALSE(doc->Undo());
    ASSERT_TRUE(doc->Redo());
    EXPECT_EQ(doc->Snapshot(), changed);
    ASSERT_TRUE(doc->Undo());
    EXPECT_EQ(doc->Snapshot(), original);

    // A new step drops what could be redone.
    ASSERT_TRUE(doc->BeginEdit("other"));
    ASSERT_TRUE(doc->SetStaffClef(3, CLEF_ALTO));
    ASSERT_TRUE(doc->EndEdit());
    EXPECT_EQ(doc->RedoCount(), 0);
    EXPECT_EQ(doc->UndoName(), "other");
}

TEST_F(SessionTest, EntryNumbersAndDetailsComeBackWithUndo)
{
    const uint32_t entnum = doc->Entries(5, 1, 0)[0].entnum;
    EDataAddress address{{static_cast<uint16_t>(entnum), static_cast<uint16_t>(entnum >> 16), 0xFFFF, 0}};
    const uint8_t data[6] = {3};
    ASSERT_TRUE(FX_CreateEData(TAG_ARTICULATION, &address, data, sizeof data, V));
    const auto withDetail = doc->Snapshot();

    ASSERT_TRUE(FX_StartTonaroEdit("delete", V));
    ASSERT_TRUE(doc->SetEntries(5, 1, 0, {}));
    ASSERT_TRUE(FX_EndTonaroEdit(V));
    uint32_t size = 0;
    EXPECT_FALSE(FX_LoadEData(TAG_ARTICULATION, &address, nullptr, &size, V));

    ASSERT_TRUE(doc->Undo());
    EXPECT_EQ(doc->Snapshot(), withDetail);
    EXPECT_TRUE(FX_LoadEData(TAG_ARTICULATION, &address, nullptr, &size, V));
    EXPECT_TRUE(doc->FindEntry(entnum, nullptr, nullptr));
}

TEST_F(SessionTest, NestedStartsJoinTheOpenSession)
{
    ASSERT_TRUE(FX_StartTonaroEdit("outer", V));
    ASSERT_TRUE(doc->SetStaffClef(3, CLEF_TENOR));
    ASSERT_TRUE(FX_StartTonaroEdit("inner", V));
    ASSERT_TRUE(doc->SetStaffClef(5, CLEF_TENOR));
    ASSERT_TRUE(FX_EndTonaroEdit(V));
    EXPECT_TRUE(doc->IsEditing());
    EXPECT_EQ(doc->UndoCount(), 0);
    ASSERT_TRUE(FX_EndTonaroEdit(V));
    ASSERT_EQ(doc->UndoCount(), 1);
    EXPECT_EQ(doc->UndoName(), "outer");
    ASSERT_TRUE(doc->Undo());
    EXPECT_EQ(doc->Snapshot(), original);
    EXPECT_FALSE(FX_EndTonaroEdit(V));  // nothing open
}

TEST_F(SessionTest, CancelInsideANestedSessionKeepsTheOuterOneOpen)
{
    ASSERT_TRUE(doc->BeginEdit("outer"));
    ASSERT_TRUE(doc->SetStaffClef(3, CLEF_TENOR));
    ASSERT_TRUE(doc->BeginEdit("inner"));
    doc->CancelEdit();
    EXPECT_EQ(doc->Snapshot(), original);  // the whole session so far is undone
    ASSERT_TRUE(doc->IsEditing());
    ASSERT_TRUE(doc->SetStaffClef(5, CLEF_BASS));
    ASSERT_TRUE(doc->EndEdit());
    ASSERT_EQ(doc->UndoCount(), 1);
    ASSERT_TRUE(doc->Undo());
    EXPECT_EQ(doc->Snapshot(), original);
}

TEST_F(SessionTest, SessionsWithoutChangesLeaveNoStepAndUndoWaitsForTheSession)
{
    ASSERT_TRUE(FX_StartTonaroEdit("nothing", V));
    EXTGF2005a* frame = FX_LoadTGF(0, 1, 1, 0, 1, V);
    FX_FreeTGF(frame, V);
    ASSERT_TRUE(FX_EndTonaroEdit(V));
    EXPECT_EQ(doc->UndoCount(), 0);

    ASSERT_TRUE(doc->BeginEdit("first"));
    ASSERT_TRUE(doc->SetStaffClef(3, CLEF_TENOR));
    ASSERT_TRUE(doc->EndEdit());
    ASSERT_TRUE(doc->BeginEdit("second"));
    EXPECT_FALSE(doc->Undo());
    doc->CancelEdit();
    EXPECT_TRUE(doc->Undo());
}

namespace {

// Counts what the engine reports about sessions and document changes.
struct SessionEvents : EngineObserver {
    SessionEvents() { Engine::Instance().AddObserver(this); }
    ~SessionEvents() override { Engine::Instance().RemoveObserver(this); }
    void DocumentChanged(int16_t) override { ++changes; }
    void EditSessionEnded(int16_t, const std::string& name, SessionOutcome outcome) override
    {
        ended.push_back({name, outcome});
    }
    int changes = 0;
    std::vector<std::pair<std::string, SessionOutcome>> ended;
};

// Sets the first note's raise/lower in a cell layer through a frame, as a
// plug-in does.
void SetRaiseLower(uint16_t slot, uint16_t measure, uint16_t layer, int16_t value)
{
    EXTGF2005a* frame = FX_LoadTGF(0, slot, measure, layer, 1, V);
    ASSERT_NE(frame, nullptr);
    frame->entries[0].notes[0].raiselower = value;
    ASSERT_TRUE(FX_SaveTGF(frame, V));
    FX_FreeTGF(frame, V);
}

}  // namespace

// Sessions whose edits leave the document as it was keep no step, keep the
// redo history and report no document change.
TEST_F(SessionTest, SessionsWithNoNetChangeLeaveNoStep)
{
    ASSERT_TRUE(doc->BeginEdit("first"));
    ASSERT_TRUE(doc->SetStaffClef(3, CLEF_TENOR));
    ASSERT_TRUE(doc->EndEdit());
    ASSERT_TRUE(doc->Undo());
    ASSERT_EQ(doc->RedoCount(), 1);
    // Measures 1-2 respaced before any session.
    ASSERT_TRUE(doc->SetSelection(Document::MakeRegion(1, 1, 3, 2)));
    ASSERT_TRUE(FX_ExecuteMenuItem(MakeEDTag('M', 'S', 'p', 'N'), V));
    original = doc->Snapshot();

    const std::vector<void (*)(Document*)> edits = {
        [](Document*) { SetRaiseLower(1, 1, 0, 0); },  // a cell saved as it was
        [](Document*) {
            SetRaiseLower(1, 1, 0, 1);
            SetRaiseLower(1, 1, 0, 0);
        },
        [](Document* d) {
            ASSERT_TRUE(d->SetStaffClef(3, CLEF_ALTO));
            ASSERT_TRUE(d->SetStaffClef(3, CLEF_TREBLE));
            ASSERT_TRUE(d->MoveStaff(7, 1));
            ASSERT_TRUE(d->MoveStaff(7, 3));
            ASSERT_TRUE(d->SetKeySignature(2, 0x0002, 2));
            ASSERT_TRUE(d->SetKeySignature(2, 0x0000, 2));
            EDataAddress address{{0xFFFF, 0xFFFF, 0, 0}};
            const uint8_t data[12] = {7};
            ASSERT_TRUE(FX_CreateEData(MakeEDTag('o', 't', 'Q', 'Q'), &address, data, sizeof data, V));
            ASSERT_TRUE(FX_DeleteEData(MakeEDTag('o', 't', 'Q', 'Q'), &address, V));
        },
        [](Document*) {  // unchanged music respaced again
            SetRaiseLower(1, 1, 0, 0);
            ASSERT_TRUE(FX_ExecuteMenuItem(MakeEDTag('M', 'S', 'p', 'N'), V));
        },
    };
    for (size_t i = 0; i < edits.size(); ++i) {
        SessionEvents events;
        ASSERT_TRUE(FX_StartTonaroEdit("Change Pitches", V));
        edits[i](doc);
        ASSERT_TRUE(FX_EndTonaroEdit(V));
        EXPECT_EQ(doc->Snapshot(), original) << i;
        EXPECT_EQ(doc->UndoCount(), 0) << i;
        EXPECT_EQ(doc->RedoCount(), 1) << i;
        EXPECT_EQ(events.changes, 0) << i;
        ASSERT_EQ(events.ended.size(), 1u) << i;
        EXPECT_EQ(events.ended[0].second, SessionOutcome::NoChange) << i;
    }

    // A kept step holds only what changed; its pitch changes are told.
    SessionEvents events;
    ASSERT_TRUE(FX_StartTonaroEdit("Change Pitches", V));
    SetRaiseLower(1, 1, 0, 0);
    SetRaiseLower(3, 2, 3, -1);
    ASSERT_TRUE(FX_EndTonaroEdit(V));
    EXPECT_EQ(doc->UndoCount(), 1);
    EXPECT_EQ(events.changes, 1);
    ASSERT_EQ(events.ended.size(), 1u);
    EXPECT_EQ(events.ended[0], std::make_pair(std::string("Change Pitches"), SessionOutcome::Kept));
    const std::vector<PitchChange> changes = doc->UndoStepPitchChanges();
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].staff, 7);
    EXPECT_EQ(changes[0].measure, 2);
    EXPECT_EQ(changes[0].raiseLowerBefore, 0);
    EXPECT_EQ(changes[0].raiseLowerAfter, -1);
}

// Undoing a change gives the measure back the layout it had: respacing it
// afterwards finds nothing to do.
TEST_F(SessionTest, UndoGivesBackTheLayoutWithTheMusic)
{
    ASSERT_TRUE(doc->SetSelection(Document::MakeRegion(1, 1, 3, 1)));
    ASSERT_TRUE(FX_ExecuteMenuItem(MakeEDTag('M', 'S', 'p', 'N'), V));  // laid out
    ASSERT_TRUE(FX_StartTonaroEdit("Change Pitches", V));
    SetRaiseLower(1, 1, 0, 1);
    ASSERT_TRUE(FX_EndTonaroEdit(V));
    ASSERT_TRUE(doc->Undo());
    SessionEvents events;
    ASSERT_TRUE(FX_ExecuteMenuItem(MakeEDTag('M', 'S', 'p', 'N'), V));
    EXPECT_EQ(events.changes, 0);  // a respace that changed the measure would report it
}

TEST_F(SessionTest, EditsOutsideASessionApplyWithoutUndo)
{
    EXTGF2005a* frame = FX_LoadTGF(0, 1, 1, 0, 1, V);
    ASSERT_NE(frame, nullptr);
    frame->entries[0].notes[1].raiselower = -1;
    ASSERT_TRUE(FX_SaveTGF(frame, V));
    FX_FreeTGF(frame, V);
    EXPECT_EQ(+doc->Entries(5, 1, 0)[0].notes[1].raiselower, -1);
    EXPECT_EQ(doc->UndoCount(), 0);
    FX_CancelTonaroEdit(V);  // no session: nothing happens
    EXPECT_EQ(+doc->Entries(5, 1, 0)[0].notes[1].raiselower, -1);
}

TEST_F(SessionTest, UndoDropsASelectionBeyondTheRestoredScore)
{
    ASSERT_TRUE(doc->BeginEdit("add measures"));
    ASSERT_EQ(doc->AddMeasures(2), 6);
    ASSERT_TRUE(doc->EndEdit());
    ASSERT_TRUE(doc->SetSelection(Document::MakeRegion(1, 5, 1, 6)));
    ASSERT_TRUE(doc->Undo());
    EREGION selection{};
    EXPECT_EQ(FX_GetCurERegions(nullptr, &selection, nullptr, V), 0);
    ASSERT_TRUE(doc->Redo());
    ASSERT_TRUE(doc->SetSelection(Document::MakeRegion(1, 1, 3, 2)));
    ASSERT_TRUE(doc->Undo());
    EXPECT_TRUE(doc->GetSelection(nullptr));  // still inside: kept
}

namespace {

// Where the engine finds an entry: staff, measure, layer and index, or all
// -1 when it finds none.
std::array<int, 4> Place(const Document* doc, uint32_t entnum)
{
    EntryLocation where;
    if (!doc->FindEntry(entnum, nullptr, &where)) return {-1, -1, -1, -1};
    return {where.staff, where.measure, where.layer, where.index};
}

}  // namespace

TEST_F(SessionTest, EntriesAreFoundWhereTheyAreThroughRewritesMovesUndoAndRedo)
{
    using Where = std::array<int, 4>;
    const uint32_t first = doc->Entries(5, 1, 0)[0].entnum;
    const uint32_t second = doc->AddEntry(5, 1, 0, Chord({Note("E4")}));
    const uint32_t third = doc->AddEntry(7, 1, 1, Chord({Note("D3")}));
    ASSERT_NE(second, 0u);
    ASSERT_NE(third, 0u);
    const size_t entries = doc->EntryCount();

    ASSERT_TRUE(doc->BeginEdit("swap"));
    // Rewritten in place: both entries stay where they are.
    std::vector<EXENTRY> upper = doc->Entries(5, 1, 0);
    ASSERT_EQ(upper.size(), 2u);
    upper[0].notes[0].raiselower = 1;
    upper[1].notes[0].raiselower = -1;
    ASSERT_TRUE(doc->SetEntries(5, 1, 0, upper));
    EXPECT_EQ(Place(doc, first), (Where{5, 1, 0, 0}));
    EXPECT_EQ(Place(doc, second), (Where{5, 1, 0, 1}));
    // The second and third entries swap cells, keeping their numbers.
    std::vector<EXENTRY> lower = doc->Entries(7, 1, 1);
    ASSERT_EQ(lower.size(), 1u);
    std::swap(upper[1], lower[0]);
    ASSERT_TRUE(doc->SetEntries(7, 1, 1, {}));
    ASSERT_TRUE(doc->SetEntries(5, 1, 0, upper));
    ASSERT_TRUE(doc->SetEntries(7, 1, 1, lower));
    ASSERT_TRUE(doc->EndEdit());
    const auto swapped = doc->Snapshot();
    const auto expectSwapped = [&] {
        EXPECT_EQ(Place(doc, first), (Where{5, 1, 0, 0}));
        EXPECT_EQ(Place(doc, third), (Where{5, 1, 0, 1}));
        EXPECT_EQ(Place(doc, second), (Where{7, 1, 1, 0}));
        EXPECT_EQ(doc->EntryCount(), entries);
    };
    expectSwapped();

    ASSERT_TRUE(doc->Undo());
    EXPECT_EQ(Place(doc, first), (Where{5, 1, 0, 0}));
    EXPECT_EQ(Place(doc, second), (Where{5, 1, 0, 1}));
    EXPECT_EQ(Place(doc, third), (Where{7, 1, 1, 0}));
    EXPECT_EQ(doc->EntryCount(), entries);

    // A session that changes nothing keeps what can be redone.
    ASSERT_TRUE(doc->BeginEdit("nothing"));
    ASSERT_TRUE(doc->EndEdit());
    ASSERT_EQ(doc->RedoCount(), 1);
    ASSERT_TRUE(doc->Redo());
    EXPECT_EQ(doc->Snapshot(), swapped);
    expectSwapped();
}

TEST_F(SessionTest, SavingUnchangedFramesLeavesNoTraceAndChangedLayersAreListed)
{
    // Every frame saved as it was loaded: nothing to undo.
    ASSERT_TRUE(FX_StartTonaroEdit("Nothing", V));
    for (uint16_t slot = 1; slot <= 2; ++slot) {
        EXTGF2005a* frame = FX_LoadTGF(0, slot, 1, 0, 1, V);
        ASSERT_NE(frame, nullptr);
        ASSERT_TRUE(FX_SaveTGF(frame, V));
        FX_FreeTGF(frame, V);
    }
    ASSERT_TRUE(FX_EndTonaroEdit(V));
    EXPECT_EQ(doc->UndoCount(), 0);
    EXPECT_EQ(doc->Snapshot(), original);

    // One note changed among unchanged saves: one layer, before and after.
    ASSERT_TRUE(FX_StartTonaroEdit("One", V));
    for (uint16_t slot = 1; slot <= 2; ++slot) {
        EXTGF2005a* frame = FX_LoadTGF(0, slot, 1, 0, 1, V);
        ASSERT_NE(frame, nullptr);
        if (slot == 1) frame->entries[0].notes[1].raiselower = -1;
        ASSERT_TRUE(FX_SaveTGF(frame, V));
        FX_FreeTGF(frame, V);
    }
    ASSERT_TRUE(FX_EndTonaroEdit(V));
    ASSERT_EQ(doc->UndoCount(), 1);
    const std::vector<LayerChange> changes = doc->ChangedLayersSince(0);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].staff, 5);
    EXPECT_EQ(changes[0].measure, 1);
    EXPECT_EQ(changes[0].layer, 0);
    ASSERT_EQ(changes[0].before.size(), 1u);
    ASSERT_EQ(changes[0].after.size(), 1u);
    EXPECT_EQ(changes[0].before[0].notes[1].raiselower, 0);
    EXPECT_EQ(changes[0].after[0].notes[1].raiselower, -1);
    EXPECT_TRUE(doc->ChangedLayersSince(1).empty());
    ASSERT_TRUE(doc->Undo());
    EXPECT_EQ(doc->Snapshot(), original);
}
