// Undo blocks against the real engine: one host edit session per run, ended
// or cancelled by the handler's answer, named by the block, split by
// AddSession.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "host/engine/document.h"
#include "host/engine/engine.h"
#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/base/frameworkversion.h"
#include "tonaroframework/undo/fcundoblock.h"
#include "tonaroframework/undo/fcundoblockhandler.h"
#include "tonaropdk/bridge/editcounters.h"
#include "tonaropdk/bridge/hostbinding.h"

using tonaroengine::Document;
using tonaroengine::Engine;

namespace {

// A handler whose work is a function, so that each test states its work.
class LambdaHandler : public __FCUndoBlockHandler {
public:
    explicit LambdaHandler(std::function<bool(LambdaHandler*)> work) : _work(std::move(work)) {}
    bool Execute() override
    {
        ++runs;
        blockDuringRun = GetUndoBlock();
        return _work(this);
    }
    int runs = 0;
    FCUndoBlock* blockDuringRun = nullptr;

private:
    std::function<bool(LambdaHandler*)> _work;
};

class UndoBlockTest : public testing::Test {
protected:
    void SetUp() override
    {
        InitializeGlobals();
        Engine::Instance().Reset();
        SetTonaroFrameworkVersion(0x12000000);
        doc = Engine::Instance().NewDocument();
        staff = doc->AddStaff(5);
        doc->AddMeasures(2);
        doc->AddRest(staff, 1, 0, 4096);
        before = doc->Snapshot();
    }
    void TearDown() override
    {
        SetTonaroFrameworkVersion(0x12000000);
        Engine::Instance().Reset();
    }
    // A change to the document, made through the engine inside whatever
    // session is open.
    void ChangeDocument() { doc->AddRest(staff, 2, 0, 1024); }

    Document* doc = nullptr;
    int16_t staff = 0;
    std::vector<uint8_t> before;
};

TEST_F(UndoBlockTest, NullHandlerOrNameOpensNoSession)
{
    FCUndoBlock block;
    FCString name("Change Pitches");
    EXPECT_FALSE(block.Execute(nullptr, &name));

    LambdaHandler handler([](LambdaHandler*) { return true; });
    EXPECT_FALSE(block.Execute(&handler, nullptr));
    EXPECT_EQ(handler.runs, 0);
    EXPECT_EQ(TonaroEditDepth, 0);
    EXPECT_FALSE(doc->IsEditing());
    EXPECT_EQ(doc->UndoCount(), 0);
}

TEST_F(UndoBlockTest, SuccessKeepsTheChangesAsOneNamedStep)
{
    FCUndoBlock block;
    FCString name("Change Pitches");
    bool editingInside = false;
    bool flagInside = false;
    int depthInside = 0;
    LambdaHandler handler([&](LambdaHandler*) {
        editingInside = doc->IsEditing();
        depthInside = TonaroEditDepth;
        flagInside = block.IsSessionOpen();
        ChangeDocument();
        ChangeDocument();
        return true;
    });
    EXPECT_TRUE(block.Execute(&handler, &name));
    EXPECT_EQ(handler.runs, 1);
    EXPECT_TRUE(editingInside);
    EXPECT_EQ(depthInside, 1);  // one start, counted by the bridge
    EXPECT_TRUE(flagInside);
    EXPECT_EQ(handler.blockDuringRun, &block);

    // One start and one end: the session is closed, the depth is back to 0,
    // and both changes form one step.
    EXPECT_FALSE(doc->IsEditing());
    EXPECT_EQ(TonaroEditDepth, 0);
    EXPECT_EQ(doc->UndoCount(), 1);
    EXPECT_EQ(doc->UndoName(), "Change Pitches");
    EXPECT_NE(doc->Snapshot(), before);
    EXPECT_TRUE(doc->Undo());
    EXPECT_EQ(doc->Snapshot(), before);

    // After the run the handler is unlinked and the block is idle.
    EXPECT_EQ(handler.GetUndoBlock(), nullptr);
    EXPECT_FALSE(block.IsSessionOpen());
    FCString next("Next");
    EXPECT_FALSE(block.AddSession(&next, true));
    EXPECT_EQ(TonaroEditDepth, 0);
}

TEST_F(UndoBlockTest, FailureCancelsEverything)
{
    FCUndoBlock block;
    FCString name("Change Pitches");
    LambdaHandler handler([&](LambdaHandler*) {
        ChangeDocument();
        return false;
    });
    EXPECT_FALSE(block.Execute(&handler, &name));
    EXPECT_FALSE(doc->IsEditing());
    EXPECT_EQ(TonaroEditDepth, 0);
    EXPECT_EQ(doc->UndoCount(), 0);
    EXPECT_EQ(doc->Snapshot(), before);
    EXPECT_EQ(handler.GetUndoBlock(), nullptr);
}

TEST_F(UndoBlockTest, NameLengthsFollowTheRunningHost)
{
    std::string longName(600, 'n');
    longName[0] = 'A';
    FCString name(longName.c_str());
    LambdaHandler handler([&](LambdaHandler*) {
        ChangeDocument();
        return true;
    });

    FCUndoBlock block;
    ASSERT_TRUE(block.Execute(&handler, &name));
    EXPECT_EQ(doc->UndoName(), longName.substr(0, 499));

    // Older hosts take 8-bit names of at most 63 characters.
    SetTonaroFrameworkVersion(0x10000000);
    ASSERT_TRUE(block.Execute(&handler, &name));
    EXPECT_EQ(doc->UndoName(), longName.substr(0, 63));
    EXPECT_EQ(doc->UndoCount(), 2);
}

TEST_F(UndoBlockTest, UnicodeNamesReachTheHostIntact)
{
    FCString name;
    name.SetUTF8String("Tonh\xC3\xB6hen \xE2\x99\xAF");  // "Tonhöhen ♯"
    LambdaHandler handler([&](LambdaHandler*) {
        ChangeDocument();
        return true;
    });
    FCUndoBlock block;
    ASSERT_TRUE(block.Execute(&handler, &name));
    EXPECT_EQ(doc->UndoName(), "Tonh\xC3\xB6hen \xE2\x99\xAF");
}

TEST_F(UndoBlockTest, AddSessionSplitsTheWorkIntoSteps)
{
    FCUndoBlock block;
    FCString name("First");
    FCString second("Second");
    bool added = false;
    LambdaHandler handler([&](LambdaHandler* self) {
        ChangeDocument();
        added = self->GetUndoBlock()->AddSession(&second, true);
        ChangeDocument();
        return true;
    });
    EXPECT_TRUE(block.Execute(&handler, &name));
    EXPECT_TRUE(added);
    EXPECT_EQ(TonaroEditDepth, 0);
    EXPECT_FALSE(doc->IsEditing());
    EXPECT_EQ(doc->UndoCount(), 2);
    EXPECT_EQ(doc->UndoName(), "Second");
    EXPECT_TRUE(doc->Undo());
    EXPECT_EQ(doc->UndoName(), "First");
    EXPECT_TRUE(doc->Undo());
    EXPECT_EQ(doc->Snapshot(), before);
}

TEST_F(UndoBlockTest, AddSessionWithoutKeepDiscardsTheFirstPart)
{
    FCUndoBlock block;
    FCString name("First");
    FCString second("Second");
    std::vector<uint8_t> afterFirstChange;
    LambdaHandler handler([&](LambdaHandler* self) {
        ChangeDocument();
        EXPECT_TRUE(self->GetUndoBlock()->AddSession(&second, false));
        afterFirstChange = doc->Snapshot();
        ChangeDocument();
        return true;
    });
    EXPECT_TRUE(block.Execute(&handler, &name));
    // The first change was discarded when the second session opened.
    EXPECT_EQ(afterFirstChange, before);
    EXPECT_EQ(doc->UndoCount(), 1);
    EXPECT_EQ(doc->UndoName(), "Second");
}

TEST_F(UndoBlockTest, AddSessionNeedsANameAndARunningHandler)
{
    FCUndoBlock block;
    FCString name("Outside");
    EXPECT_FALSE(block.AddSession(&name, true));
    EXPECT_FALSE(block.AddSession(&name, false));
    EXPECT_EQ(TonaroEditDepth, 0);
    EXPECT_FALSE(doc->IsEditing());

    FCString runName("Run");
    bool nullNameAnswer = true;
    LambdaHandler handler([&](LambdaHandler* self) {
        nullNameAnswer = self->GetUndoBlock()->AddSession(nullptr, true);
        return true;
    });
    block.Execute(&handler, &runName);
    EXPECT_FALSE(nullNameAnswer);
    EXPECT_EQ(TonaroEditDepth, 0);
}

TEST_F(UndoBlockTest, RefusedSessionStillRunsTheHandlerWithoutLink)
{
    // With no document open the host refuses to open a session.
    Engine::Instance().Reset();
    FCUndoBlock block;
    FCString name("Nowhere");
    int depthInside = 0;
    LambdaHandler handler([&](LambdaHandler*) {
        depthInside = TonaroEditDepth;
        return true;
    });
    EXPECT_TRUE(block.Execute(&handler, &name));
    EXPECT_EQ(handler.runs, 1);
    EXPECT_EQ(handler.blockDuringRun, nullptr);
    // The bridge counts the refused start too, so the end balances it.
    EXPECT_EQ(depthInside, 1);
    EXPECT_EQ(TonaroEditDepth, 0);

    LambdaHandler failing([&](LambdaHandler*) { return false; });
    EXPECT_FALSE(block.Execute(&failing, &name));
    EXPECT_EQ(TonaroEditDepth, 0);
}

}  // namespace
