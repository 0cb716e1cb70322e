// Framework windows over an in-memory platform controller: event dispatch,
// stored and restored frames, windowshade, buffered control movement and the
// modal/modeless lifecycle.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fakewindowcontroller.h"
#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/ui/fcctrlbutton.h"
#include "tonaroframework/ui/fcctrldatalist.h"
#include "tonaroframework/ui/fcctrledit.h"
#include "tonaroframework/ui/fcctrlstatic.h"
#include "tonaroframework/ui/fcctrlupdown.h"
#include "tonaroframework/ui/fcdatalistrow.h"
#include "tonaroframework/ui/fcresourcewindow.h"
#include "tonaroframework/ui/fcui.h"

namespace {

// Records every handler call.
class RecordingList : public FCCtrlDataList {
public:
    explicit RecordingList(int id, std::vector<std::string>* calls) : FCCtrlDataList(id), _calls(calls) {}
    void HandleSelectChange(int line) override { _calls->push_back("select " + std::to_string(line)); }
    void HandleUnselect() override { _calls->push_back("unselect"); }
    void HandleCheckChange(int line, bool checked) override
    {
        FCCtrlDataList::HandleCheckChange(line, checked);
        _calls->push_back("check " + std::to_string(line) + (checked ? " on" : " off"));
    }
    void HandleDoubleClick() override { _calls->push_back("double"); }

private:
    std::vector<std::string>* _calls;
};

class RecordingWindow : public FCResourceWindow {
public:
    RecordingWindow() : FCResourceWindow(30001) {}

    void InitWindow() override
    {
        FCResourceWindow::InitWindow();
        calls.push_back("init");
    }
    void CloseWindow() override
    {
        calls.push_back("close");
        FCResourceWindow::CloseWindow();
    }
    bool HandleCommand(FCControl* control) override
    {
        commands.push_back(control);
        calls.push_back("command " + std::to_string(control != nullptr ? control->GetControlID() : 0));
        return false;
    }
    void HandleUpDownPressed(FCControl* control, int delta) override
    {
        calls.push_back("updown " + std::to_string(control != nullptr ? control->GetControlID() : 0) + " " +
                        std::to_string(delta));
    }
    void HandleTimer(short id) override { calls.push_back("timer " + std::to_string(id)); }
    void HandleActivate(bool active) override { calls.push_back(active ? "activate" : "deactivate"); }
    void HandleResize(int w, int h, int ow, int oh) override
    {
        calls.push_back("resize " + std::to_string(w) + "x" + std::to_string(h) + " from " + std::to_string(ow) +
                        "x" + std::to_string(oh));
    }

    std::vector<std::string> calls;
    std::vector<FCControl*> commands;
};

class UserWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        __bWindowshadeAllowed = true;
        _FCSetWindowControllerFactory(&FakeWindowController::Make);
        window = new RecordingWindow();
        fake = FakeWindowController::last;
        ASSERT_NE(fake, nullptr);
    }
    void TearDown() override
    {
        delete window;
        _FCSetWindowControllerFactory(nullptr);
        __bWindowshadeAllowed = true;
    }
    // Adds a control with a native counterpart at the given rectangle.
    template <class T>
    T* Add(int id, Rect rect = Rect{10, 10, 30, 110})
    {
        auto* control = new T(id);
        window->AddControl(control);
        fake->AddControl(id, rect);
        return control;
    }
    void Show() { ASSERT_TRUE(window->ShowModeless()); }

    RecordingWindow* window = nullptr;
    FakeWindowController* fake = nullptr;
};

// --- Dispatch ---------------------------------------------------------------------------

TEST_F(UserWindowTest, ButtonEventsRouteByIdAndActionCode)
{
    auto* ok = Add<FCCtrlButton>(50);
    ok->SetActionCode(FCControl::ACTION_OK);
    auto* plain = Add<FCCtrlButton>(51);
    Show();

    // An id without a control object reaches HandleCommand(null).
    EXPECT_EQ(window->FindControl(99), nullptr);
    fake->Notify_ButtonPressed(99);
    ASSERT_EQ(window->commands.size(), 1u);
    EXPECT_EQ(window->commands[0], nullptr);

    fake->Notify_ButtonPressed(51);
    ASSERT_EQ(window->commands.size(), 2u);
    EXPECT_EQ(window->commands[1], plain);

    // Action code 1 acts as OK: result 1 and the window closes.
    fake->Notify_ButtonPressed(50);
    EXPECT_EQ(window->GetResultCode(), FCUserWindow::RESULT_OK);
    EXPECT_EQ(window->calls.back(), "close");
    EXPECT_TRUE(window->IsClosing());
    EXPECT_FALSE(window->WindowExists());
    EXPECT_EQ(window->commands.size(), 2u);
}

TEST_F(UserWindowTest, CloseAndCancelActionCodesGiveResultTwo)
{
    auto* closeButton = Add<FCCtrlButton>(60);
    closeButton->SetActionCode(FCControl::ACTION_CLOSE);
    auto* cancelButton = Add<FCCtrlButton>(61);
    cancelButton->SetActionCode(FCControl::ACTION_CANCEL);

    Show();
    fake->Notify_ButtonPressed(60);
    EXPECT_EQ(window->GetResultCode(), FCUserWindow::RESULT_CANCEL);
    EXPECT_FALSE(window->WindowExists());

    window->SetResultCode(0);
    Show();
    EXPECT_FALSE(window->IsClosing()) << "InitWindow clears closing";
    fake->Notify_ButtonPressed(61);
    EXPECT_EQ(window->GetResultCode(), FCUserWindow::RESULT_CANCEL);
    EXPECT_FALSE(window->WindowExists());
}

TEST_F(UserWindowTest, DefaultButtonsDoNotCloseAWindowThatIsClosing)
{
    Show();
    fake->Notify_OkButtonPressed();
    EXPECT_EQ(window->GetResultCode(), 1);
    const auto closes = std::count(window->calls.begin(), window->calls.end(), "close");
    EXPECT_EQ(closes, 1);
    // Closing is still set: another press changes the code but closes nothing.
    window->CancelButtonPressed();
    EXPECT_EQ(window->GetResultCode(), 2);
    EXPECT_EQ(std::count(window->calls.begin(), window->calls.end(), "close"), 1);
}

TEST_F(UserWindowTest, ListEventsReachTheListBeforeTheWindow)
{
    std::vector<std::string> calls;
    auto* list = new RecordingList(70, &calls);
    window->AddControl(list);
    fake->AddTable(70);
    Show();
    for (int i = 0; i < 3; ++i) list->AddRow(new FCDataListRow());

    fake->Notify_DataListHandleCommand(70, 2);
    fake->Notify_DataListHandleCommand(70, -1);
    fake->Notify_DataListCheckChange(list, 1, true);
    fake->Notify_DataListDoubleClick(70);
    EXPECT_EQ(calls, (std::vector<std::string>{"select 2", "unselect", "check 1 on", "double"}));
    ASSERT_EQ(window->commands.size(), 2u);
    EXPECT_EQ(window->commands[0], list);
    EXPECT_EQ(window->commands[1], list);
    EXPECT_TRUE(list->GetItemAt(1)->GetCheck());
    EXPECT_FALSE(list->GetItemAt(0)->GetCheck());

    // A check change for a line that does not exist changes nothing.
    fake->Notify_DataListCheckChange(list, 7, true);
    EXPECT_EQ(calls.size(), 4u);
}

TEST_F(UserWindowTest, TimerActivationAndCommandEventsDispatch)
{
    auto* edit = Add<FCCtrlEdit>(80);
    Show();
    fake->Notify_HandleCommand(80);
    fake->Notify_Timer(7);
    fake->Notify_WindowActivated(true);
    fake->Notify_WindowActivated(false);
    ASSERT_EQ(window->commands.size(), 1u);
    EXPECT_EQ(window->commands[0], edit);
    const std::vector<std::string> tail(window->calls.end() - 4, window->calls.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"command 80", "timer 7", "activate", "deactivate"}));
}

TEST_F(UserWindowTest, NativeCloseClosesOnceAndEndsAModalRun)
{
    Show();
    fake->Notify_WindowClose();
    fake->Notify_WindowClose();
    EXPECT_EQ(std::count(window->calls.begin(), window->calls.end(), "close"), 1);
    EXPECT_FALSE(window->WindowExists());
    EXPECT_TRUE(fake->stoppedModalCodes.empty());

    // Shown again, InitWindow runs again and the object is reused.
    Show();
    EXPECT_EQ(std::count(window->calls.begin(), window->calls.end(), "init"), 2);
}

TEST_F(UserWindowTest, ExecuteModalAnswersTheResultCodeWhenTheWindowClosed)
{
    fake->modalBody = [](FakeWindowController* c) { c->Notify_CancelButtonPressed(); };
    EXPECT_EQ(window->ExecuteModal(), FCUserWindow::RESULT_CANCEL);
    EXPECT_EQ(fake->stoppedModalCodes, std::vector<int>{1});
    EXPECT_FALSE(window->IsModal());

    // A run that ends without closing answers 0.
    fake->modalBody = nullptr;
    EXPECT_EQ(window->ExecuteModal(), 0);

    // The window is loaded already: no modal run.
    Show();
    fake->modalBody = [](FakeWindowController* c) { c->Notify_OkButtonPressed(); };
    EXPECT_EQ(window->ExecuteModal(), 0);
    EXPECT_TRUE(window->WindowExists());
}

TEST_F(UserWindowTest, StepperEventMovesAConnectedEdit)
{
    auto* edit = Add<FCCtrlEdit>(90);
    auto* stepper = Add<FCCtrlUpDown>(91);
    Show();
    stepper->ConnectIntegerEdit(edit, 0, 12);
    FCString ten("10");
    edit->SetText(&ten);

    // The native stepper went from 3 to 4: the edit moves by one.
    fake->Notify_StepperPressed(91, 3, 4);
    EXPECT_EQ(fake->C(90).text, "11");
    EXPECT_EQ(stepper->GetValue(), 11);
    EXPECT_EQ(window->calls.back(), "updown 91 1");

    // Clamped to the range.
    fake->Notify_StepperPressed(91, 11, 14);
    EXPECT_EQ(fake->C(90).text, "12");
    EXPECT_EQ(stepper->GetValue(), 12);
    EXPECT_EQ(window->calls.back(), "updown 91 3");

    // Without a connection the stepper itself takes the clamped value.
    stepper->ConnectIntegerEdit(nullptr, 0, 0);
    fake->Notify_StepperPressed(91, 12, 20);
    EXPECT_EQ(stepper->GetValue(), 12);
    EXPECT_EQ(fake->C(90).text, "12");
}

// --- Resizing and stored positions ---------------------------------------------------------

TEST_F(UserWindowTest, InitWindowRecordsTheFrameAsLimitsAndLastSize)
{
    Show();
    EXPECT_EQ(window->GetMinimumWidth(), 300);
    EXPECT_EQ(window->GetMaximumHeight(), 300);
    EXPECT_EQ(window->GetLastWidth(), 300);
    EXPECT_EQ(window->GetWidth(), 300);

    fake->Notify_WindowResized(300, 420);
    EXPECT_EQ(window->calls.back(), "resize 300x420 from 300x300");
    EXPECT_EQ(window->GetLastHeight(), 420);

    window->SetMaximumResizeHeight(800);
    EXPECT_EQ(window->GetMaximumHeight(), 800);
    EXPECT_EQ(fake->maxResizeHeight, 800);

    window->SetWidth(320);
    EXPECT_EQ(fake->Width(), 320);
    EXPECT_EQ(window->GetLastWidth(), 320);
    EXPECT_EQ(window->calls.back(), "resize 300x420 from 300x300") << "SetWidth does not call HandleResize";
}

TEST_F(UserWindowTest, StoredPositionAnswersMinusOneUntilStored)
{
    EXPECT_EQ(window->GetStoredX(), -1);
    EXPECT_EQ(window->GetStoredHeight(), -1);
    window->SetRestorePositionOnlyData(5, 6);
    EXPECT_EQ(window->GetStoredX(), 5);
    EXPECT_EQ(window->GetStoredY(), 6);
    EXPECT_EQ(window->GetStoredWidth(), -1);
    window->SetRestorePositionData(1, 2, 3, 4);
    EXPECT_EQ(window->GetStoredWidth(), 3);
    EXPECT_EQ(window->GetStoredHeight(), 4);

    // Storing needs the window.
    window->StorePosition(true);
    EXPECT_EQ(window->GetStoredX(), 1);
    Show();
    window->StorePosition(false);
    EXPECT_EQ(window->GetStoredX(), 50);
    EXPECT_EQ(window->GetStoredY(), 100);
    EXPECT_EQ(window->GetStoredWidth(), -1);
    window->StorePosition(true);
    EXPECT_EQ(window->GetStoredWidth(), 300);
    EXPECT_EQ(window->GetStoredHeight(), 300);
}

TEST_F(UserWindowTest, RestorePositionRaisesASmallStoredSizeToTheMinimum)
{
    EXPECT_FALSE(window->RestorePosition());
    window->SetRestorePositionData(70, 80, 100, 500);
    Show();
    EXPECT_TRUE(window->RestorePosition());
    EXPECT_EQ(fake->frame.left, 70);
    EXPECT_EQ(fake->frame.top, 80);
    EXPECT_EQ(fake->Width(), 300);
    EXPECT_EQ(fake->Height(), 500);
    EXPECT_EQ(window->GetStoredWidth(), 300);
    // The resize step runs with the restored size.
    EXPECT_EQ(window->calls.back(), "resize 300x500 from 300x300");
    EXPECT_EQ(window->GetLastHeight(), 500);
}

TEST_F(UserWindowTest, RestorePositionLowersALargeStoredSizeToThePlatformsMaximum)
{
    window->SetRestorePositionData(70, 80, 300, 5000);
    Show();
    window->SetMaximumResizeHeight(800);
    EXPECT_TRUE(window->RestorePosition());
    EXPECT_EQ(fake->Height(), 800);
    // The controls move by the height that the frame really gets.
    EXPECT_EQ(window->calls.back(), "resize 300x800 from 300x300");
}

TEST_F(UserWindowTest, RestorePositionWithoutSizeOnlyMoves)
{
    window->SetRestorePositionOnlyData(7, 9);
    Show();
    EXPECT_TRUE(window->RestorePosition());
    EXPECT_EQ(fake->frame.left, 7);
    EXPECT_EQ(fake->frame.top, 9);
    EXPECT_EQ(fake->Width(), 300);
    EXPECT_EQ(fake->Height(), 300);
    EXPECT_EQ(window->calls.back(), "init");
}

TEST_F(UserWindowTest, WindowshadeCollapsesToTheTitleBarAndBack)
{
    window->Windowshade(true);
    EXPECT_FALSE(window->IsWindowshaded()) << "no window loaded";
    Show();
    window->Windowshade(true);
    EXPECT_TRUE(window->IsWindowshaded());
    EXPECT_EQ(fake->Height(), 22);

    // Resizes are ignored while collapsed.
    fake->Notify_WindowResized(300, 22);
    EXPECT_EQ(window->calls.back(), "init");

    // Storing measures the expanded frame and leaves the window collapsed.
    window->StorePosition(true);
    EXPECT_EQ(window->GetStoredHeight(), 300);
    EXPECT_EQ(fake->Height(), 22);

    window->Windowshade(false);
    EXPECT_FALSE(window->IsWindowshaded());
    EXPECT_EQ(fake->Height(), 300);
}

TEST_F(UserWindowTest, WindowshadeWaitsWhileAnAlertIsShown)
{
    Show();
    __bWindowshadeAllowed = false;
    window->Windowshade(true);
    EXPECT_FALSE(window->IsWindowshaded());
    EXPECT_EQ(fake->Height(), 300);
    __bWindowshadeAllowed = true;
    window->Windowshade(true);
    EXPECT_TRUE(window->IsWindowshaded());

    // A collapsed window restored from a stored size: the new height becomes
    // the unshaded height, and the window stays collapsed.
    window->SetRestorePositionData(0, 0, 300, 450);
    __bWindowshadeAllowed = false;
    EXPECT_TRUE(window->RestorePosition());
    EXPECT_TRUE(window->IsWindowshaded());
    EXPECT_EQ(fake->Height(), 22);
    __bWindowshadeAllowed = true;
    window->Windowshade(false);
    EXPECT_EQ(fake->Height(), 450);
}

// --- Buffered control movement --------------------------------------------------------------

TEST_F(UserWindowTest, BufferedMovesApplyOnceToTheLastTarget)
{
    auto* a = Add<FCCtrlStatic>(101, Rect{10, 10, 30, 110});
    auto* b = Add<FCCtrlStatic>(102, Rect{40, 10, 60, 110});
    Show();

    window->StartBufferControlMovement();
    a->MoveRelative(0, 5);
    a->MoveRelative(0, 25);  // from the current rectangle: replaces the first
    b->ResizeRelative(10, 20);
    a->MoveAbsolute(3, 4);
    EXPECT_EQ(a->GetLeft(), 3) << "the pending position";
    EXPECT_EQ(a->GetTop(), 4);
    EXPECT_TRUE(fake->log.empty());
    EXPECT_EQ(fake->C(101).rect.top, 10);

    EXPECT_TRUE(window->EndBufferControlMovement());
    EXPECT_EQ(fake->log, (std::vector<std::string>{"pos 101 3 4", "size 102 110 40"}));
    EXPECT_EQ(fake->repaintCount, 1);
    EXPECT_FALSE(a->IsMovePending());
    EXPECT_FALSE(b->IsResizePending());
    EXPECT_EQ(a->GetTop(), 4);
    EXPECT_FALSE(window->IsBufferingControlMovement());
}

TEST_F(UserWindowTest, EndingAnEmptyBufferAnswersFalseAndMovesAreImmediateAgain)
{
    auto* a = Add<FCCtrlStatic>(101, Rect{10, 10, 30, 110});
    window->StartBufferControlMovement();
    EXPECT_FALSE(window->IsBufferingControlMovement()) << "no window loaded";
    Show();
    window->StartBufferControlMovement();
    EXPECT_FALSE(window->EndBufferControlMovement());
    EXPECT_EQ(fake->repaintCount, 0);

    a->MoveRelative(5, 0);
    EXPECT_EQ(fake->log, std::vector<std::string>{"pos 101 15 10 redraw"});
    a->ResizeRelative(-50, 0);
    EXPECT_EQ(fake->log.back(), "size 101 50 20 redraw");
    EXPECT_EQ(a->GetWidth(), 50);
}

// --- Requests without a native window -------------------------------------------------------

TEST_F(UserWindowTest, EverythingIsNeutralWithoutANativeWindow)
{
    auto* label = Add<FCCtrlStatic>(101);
    EXPECT_EQ(window->FindControl(101), label);
    EXPECT_EQ(label->GetParent(), window);
    EXPECT_FALSE(window->WindowExists());
    EXPECT_FALSE(window->IsVisible());
    EXPECT_EQ(window->GetWidth(), -1);
    EXPECT_EQ(label->GetLeft(), -1);
    EXPECT_EQ(label->GetWidth(), -1);
    EXPECT_FALSE(label->GetEnable());
    FCString text("kept");
    label->GetText(&text);
    EXPECT_TRUE(text.IsEqualCString("kept"));
    window->SetTimer(3, 100);
    EXPECT_TRUE(fake->timers.empty());

    // A missing layout leaves the window unloaded.
    fake->layoutAvailable = false;
    EXPECT_FALSE(window->ShowModeless());
}

TEST_F(UserWindowTest, TimersStartAndStopById)
{
    Show();
    window->SetTimer(0, 100);
    EXPECT_TRUE(fake->timers.empty());
    window->SetTimer(4, 100);
    EXPECT_TRUE(fake->TimeridExists(4));
    window->SetTimer(4, 0);
    EXPECT_FALSE(fake->TimeridExists(4));
    window->SetTimer(5, 100);
    window->StopTimer(5);
    EXPECT_TRUE(fake->timers.empty());
}

TEST(UserWindowWithoutPlatform, AWindowWithoutAFactoryHasNoController)
{
    _FCSetWindowControllerFactory(nullptr);
    RecordingWindow window;
    EXPECT_EQ(window._GetController(), nullptr);
    EXPECT_FALSE(window.ShowModeless());
    EXPECT_EQ(window.ExecuteModal(), 0);
    window.CloseWindow();
    EXPECT_TRUE(window.IsClosing());
}

// Notes whether the platform controller was gone when the control died.
class WitnessList : public FCCtrlDataList {
public:
    WitnessList(int id, bool* controllerGoneAtDeath) : FCCtrlDataList(id), _gone(controllerGoneAtDeath) {}
    ~WitnessList() override { *_gone = FakeWindowController::last == nullptr; }

private:
    bool* _gone;
};

TEST_F(UserWindowTest, ControlsOutliveTheNativeWindowAndTheirTablesLetGo)
{
    bool goneAtDeath = false;
    window->AddControl(new WitnessList(70, &goneAtDeath));
    fake->AddTable(70);
    Show();

    // A list deleted while its window lives disconnects its table.
    auto* other = new FCCtrlDataList(71);
    window->AddControl(other);
    ASSERT_TRUE(window->ClearItemAt(window->GetIndexOf(other)));
    EXPECT_EQ(fake->disconnects, std::vector<int>{71});

    delete window;
    window = nullptr;
    EXPECT_TRUE(goneAtDeath) << "native window and controller go before the controls";
}

}  // namespace
