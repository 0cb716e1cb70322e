// Edit sessions and mass edits through the bridge: depth counting, and ends
// or cancels without an open session that must not reach the engine.
#include "host/engine/pitch.h"
#include "tests/pdk/enginefixture.h"

namespace {

using pdktest::EngineBridgeTest;

class EngineSessionTest : public EngineBridgeTest {
protected:
    void SetUp() override
    {
        EngineBridgeTest::SetUp();
        doc_->AddStaff();
        doc_->AddMeasures(1);
    }
    void AddNote() { doc_->AddEntry(1, 1, 0, tonaroengine::EntrySpec{1024, {tonaroengine::NoteSpec{}}}); }
};

TEST_F(EngineSessionTest, SessionsAreCountedAndCommittedAsOneStep)
{
    const uint16_t name[] = {'C', 'h', 'a', 'n', 'g', 'e', 0};
    ASSERT_NE(FX_StartTonaroEdit_UTF16(name, FXT_VERSION_2012), 0);
    EXPECT_EQ(TonaroEditDepth, 1);
    EXPECT_TRUE(doc_->IsEditing());
    AddNote();
    EXPECT_NE(FX_EndTonaroEdit(FXT_VERSION_2012), 0);
    EXPECT_EQ(TonaroEditDepth, 0);
    EXPECT_FALSE(doc_->IsEditing());
    EXPECT_EQ(doc_->UndoName(), "Change");

    ASSERT_NE(FX_StartTonaroEdit("Outer", FXT_VERSION_2012), 0);
    ASSERT_NE(FX_StartTonaroEdit("Inner", FXT_VERSION_2012), 0);
    EXPECT_EQ(TonaroEditDepth, 2);
    EXPECT_NE(FX_EndTonaroEdit(FXT_VERSION_2012), 0);
    EXPECT_EQ(TonaroEditDepth, 1);
    EXPECT_TRUE(doc_->IsEditing());
    EXPECT_NE(FX_EndTonaroEdit(FXT_VERSION_2012), 0);
    EXPECT_EQ(TonaroEditDepth, 0);
    EXPECT_FALSE(doc_->IsEditing());
}

TEST_F(EngineSessionTest, ACancelledSessionLeavesTheDocumentAsItWas)
{
    const auto before = doc_->Snapshot();
    ASSERT_NE(FX_StartTonaroEdit("Change Pitches", FXT_VERSION_2012), 0);
    AddNote();
    EXPECT_NE(doc_->Snapshot(), before);
    FX_CancelTonaroEdit(FXT_VERSION_2012);
    EXPECT_EQ(TonaroEditDepth, 0);
    EXPECT_FALSE(doc_->IsEditing());
    EXPECT_EQ(doc_->Snapshot(), before);
}

// A session the bridge did not open (opened here straight through the
// engine) shows whether an end or a cancel reached the engine.
TEST_F(EngineSessionTest, EndAndCancelWithoutAnOpenSessionDoNotReachTheEngine)
{
    auto engineEnd = EngineFunction(&FX_EndTonaroEdit, "FX_EndTonaroEdit");
    ASSERT_NE(engineEnd, nullptr);
    EXPECT_EQ(engineEnd(FXT_VERSION_2012), 0);  // the engine itself refuses an end without a session

    EXPECT_NE(FX_EndTonaroEdit(FXT_VERSION_2012), 0);
    EXPECT_EQ(TonaroEditDepth, 0);

    ASSERT_TRUE(doc_->BeginEdit("Elsewhere"));
    AddNote();
    EXPECT_NE(FX_EndTonaroEdit(FXT_VERSION_2012), 0);
    EXPECT_TRUE(doc_->IsEditing());
    FX_CancelTonaroEdit(FXT_VERSION_2012);
    EXPECT_TRUE(doc_->IsEditing());
    EXPECT_EQ(doc_->EntryCount(), 1u);
    EXPECT_EQ(TonaroEditDepth, 0);

    // A negative depth (a caller that set it) is treated as none open.
    TonaroEditDepth = -2;
    EXPECT_NE(FX_EndTonaroEdit(FXT_VERSION_2012), 0);
    FX_CancelTonaroEdit(FXT_VERSION_2012);
    EXPECT_TRUE(doc_->IsEditing());
    EXPECT_EQ(TonaroEditDepth, -2);
    EXPECT_TRUE(doc_->EndEdit());
}

TEST_F(EngineSessionTest, MassEditsAreCounted)
{
    FX_StartMassEdit(FXT_VERSION_2012);
    FX_StartMassEdit(FXT_VERSION_2012);
    EXPECT_EQ(MassEditDepth, 2);
    FX_EndMassEdit(FXT_VERSION_2012);
    EXPECT_EQ(MassEditDepth, 1);
    FX_EndMassEdit(FXT_VERSION_2012);
    EXPECT_EQ(MassEditDepth, 0);
}

}  // namespace
