// Framework windows on Qt's offscreen platform: a test layout holding every
// kind of control (layouts/30001.ui) is loaded, and real widget interactions
// (clicks, typing, check boxes in table rows, double clicks, selection
// changes, resizes, timers, closing) must reach the right handlers.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSlider>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/base/frameworkversion.h"
#include "tonaroframework/qt/fcdatalistmodel_qt.h"
#include "tonaroframework/qt/fcwindowcontroller_qt.h"
#include "tonaroframework/qt/fcwindowcontroller_zpchangepitches.h"
#include "tonaroframework/ui/fcctrlbutton.h"
#include "tonaroframework/ui/fcctrlcheckbox.h"
#include "tonaroframework/ui/fcctrldatalist.h"
#include "tonaroframework/ui/fcctrledit.h"
#include "tonaroframework/ui/fcctrlline.h"
#include "tonaroframework/ui/fcctrlpopup.h"
#include "tonaroframework/ui/fcctrlradiobutton.h"
#include "tonaroframework/ui/fcctrlstatic.h"
#include "tonaroframework/ui/fcctrlupdown.h"
#include "tonaroframework/ui/fcdatalistrow.h"
#include "tonaroframework/ui/fcresourcewindow.h"
#include "tonaroframework/ui/fcui.h"

namespace {

constexpr int kLayoutId = 30001;

class TestList : public FCCtrlDataList {
public:
    TestList(int id, std::vector<std::string>* calls) : FCCtrlDataList(id), _calls(calls) {}
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

// A window holding one control object per tag of the test layout; every
// handler call is recorded as a line of text.
class TestWindow : public FCResourceWindow {
public:
    explicit TestWindow(int resourceId = kLayoutId) : FCResourceWindow(resourceId)
    {
        AddControl(ok = new FCCtrlButton(1));
        ok->SetActionCode(FCControl::ACTION_OK);
        AddControl(closeButton = new FCCtrlButton(2));
        closeButton->SetActionCode(FCControl::ACTION_CLOSE);
        AddControl(label = new FCCtrlStatic(101));
        AddControl(edit = new FCCtrlEdit(102));
        AddControl(popup = new FCCtrlPopup(106));
        AddControl(command = new FCCtrlButton(107));
        AddControl(check = new FCCtrlCheckbox(113));
        AddControl(radio = new FCCtrlRadioButton(114));
        AddControl(stepper = new FCCtrlUpDown(120));
        AddControl(switcher = new FCControl(122));
        AddControl(line = new FCCtrlLine(115));
        AddControl(list = new TestList(108, &calls));
        AddControl(group = new FCCtrlStatic(130));
        AddControl(groupLabel = new FCCtrlStatic(131));
        AddControl(scrollText = new FCCtrlStatic(140));
        AddControl(notes = new FCCtrlEdit(150));
    }

    void InitWindow() override
    {
        FCResourceWindow::InitWindow();
        calls.push_back("init");
        if (closeInInit) CloseWindow();
    }
    void CloseWindow() override
    {
        calls.push_back("close");
        FCResourceWindow::CloseWindow();
    }
    bool HandleCommand(FCControl* control) override
    {
        calls.push_back("command " + std::to_string(control != nullptr ? control->GetControlID() : 0));
        return false;
    }
    void HandleUpDownPressed(FCControl* control, int delta) override
    {
        calls.push_back("updown " + std::to_string(control != nullptr ? control->GetControlID() : 0) + " " +
                        std::to_string(delta));
    }
    void HandleTimer(short id) override
    {
        calls.push_back("timer " + std::to_string(id));
        if (stopTimerInHandler) StopTimer(id);
    }
    void HandleActivate(bool active) override { calls.push_back(active ? "activate" : "deactivate"); }
    void HandleResize(int w, int h, int ow, int oh) override
    {
        calls.push_back("resize " + std::to_string(w) + "x" + std::to_string(h) + " from " + std::to_string(ow) +
                        "x" + std::to_string(oh));
        if (!moveOnResize) return;
        const int dy = h - oh;
        StartBufferControlMovement();
        list->ResizeRelative(0, dy);
        closeButton->MoveRelative(0, dy);
        ok->MoveRelative(0, dy);
        ok->MoveRelative(0, dy);  // the last target wins, applied once
        EndBufferControlMovement();
    }

    size_t Count(const std::string& call) const { return static_cast<size_t>(std::count(calls.begin(), calls.end(), call)); }

    std::vector<std::string> calls;
    bool closeInInit = false;
    bool stopTimerInHandler = false;
    bool moveOnResize = false;
    FCCtrlButton* ok;
    FCCtrlButton* closeButton;
    FCCtrlStatic* label;
    FCCtrlEdit* edit;
    FCCtrlPopup* popup;
    FCCtrlButton* command;
    FCCtrlCheckbox* check;
    FCCtrlRadioButton* radio;
    FCCtrlUpDown* stepper;
    FCControl* switcher;
    FCCtrlLine* line;
    TestList* list;
    FCCtrlStatic* group;
    FCCtrlStatic* groupLabel;
    FCCtrlStatic* scrollText;
    FCCtrlEdit* notes;
};

// Deletes the windows that were closed from inside their own events.
void FlushDeferredDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

class QtWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetTonaroFrameworkVersion(0x12000000);
        __bWindowshadeAllowed = true;
        _FCWindowController_qt::Register();
        topLevelsBefore = QApplication::topLevelWidgets().size();
        window = std::make_unique<TestWindow>();
    }
    void TearDown() override
    {
        window.reset();
        FlushDeferredDeletes();
        _FCSetWindowControllerFactory(nullptr);
        EXPECT_EQ(QApplication::topLevelWidgets().size(), topLevelsBefore) << "a top-level widget leaked";
    }

    void Show()
    {
        ASSERT_TRUE(window->ShowModeless());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Native()));
    }
    _FCWindowController_qt* Controller() const
    {
        return static_cast<_FCWindowController_qt*>(window->_GetController());
    }
    QWidget* Native() const
    {
        auto* native = Controller()->_GetNativeController();
        return native != nullptr ? native->window() : nullptr;
    }
    template <class T>
    T* Widget(int tag) const
    {
        return qobject_cast<T*>(Controller()->_GetQtID(tag));
    }
    QTableView* Table() const { return Widget<QTableView>(108); }
    // What the platform's decoration adds to the content size.
    QSize FrameExtra() const { return Native()->frameGeometry().size() - Native()->size(); }
    // Fills the list with rows of one cell each and makes its columns.
    void MakeRows(std::initializer_list<const char*> names)
    {
        window->list->UseLeftCheckboxColumn();
        FCString from("From");
        window->list->AddColumn(&from, 60);
        for (const char* name : names) {
            auto* row = new FCDataListRow();
            row->AddCString(name);
            row->AddCString("to");
            window->list->AddRow(row);
        }
    }
    // The centre of the check box of a table row.
    QPoint CheckBoxPoint(int row) const
    {
        QTableView* table = Table();
        QStyleOptionViewItem option;
        option.initFrom(table->viewport());
        option.rect = table->visualRect(table->model()->index(row, 0));
        option.features |= QStyleOptionViewItem::HasCheckIndicator;
        const QRect box = table->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, table);
        return box.center();
    }

    qsizetype topLevelsBefore = 0;
    std::unique_ptr<TestWindow> window;
};

// --- Loading ---------------------------------------------------------------------------------

TEST_F(QtWindowTest, LoadsTheLayoutAsAFloatingWindowWithItsSizeAsMinimum)
{
    EXPECT_FALSE(window->WindowExists());
    Show();
    EXPECT_TRUE(window->WindowExists());
    EXPECT_TRUE(window->IsVisible());
    EXPECT_EQ(window->Count("init"), 1u);
    QWidget* native = Native();
    EXPECT_TRUE(native->windowFlags().testFlag(Qt::Tool));
    EXPECT_EQ(native->minimumSize(), QSize(400, 360));
    EXPECT_EQ(native->size(), QSize(400, 360));
    EXPECT_EQ(window->GetMinimumWidth(), native->frameGeometry().width());
    EXPECT_EQ(window->GetMinimumHeight(), native->frameGeometry().height());
    EXPECT_EQ(_FCWindowController_zpchangepitches::LayoutResourcePath(20128), ":/tonaro/layouts/20128.ui");

    // Showing a loaded window only brings it to the front.
    window->Hide();
    EXPECT_FALSE(window->IsVisible());
    EXPECT_TRUE(window->ShowModeless());
    EXPECT_TRUE(window->IsVisible());
    EXPECT_EQ(window->Count("init"), 1u);
    EXPECT_EQ(Native(), Controller()->_GetNativeController()->window());
}

TEST_F(QtWindowTest, AMissingLayoutLoadsNothing)
{
    TestWindow missing(99999);
    EXPECT_FALSE(missing.ShowModeless());
    EXPECT_FALSE(missing.WindowExists());
    EXPECT_EQ(missing.ExecuteModal(), 0);
    EXPECT_TRUE(missing.calls.empty());
}

TEST_F(QtWindowTest, ControlsAreFoundByTagDepthFirstEachTime)
{
    Show();
    EXPECT_NE(Widget<QPushButton>(1), nullptr);
    EXPECT_NE(Widget<QGroupBox>(130), nullptr);
    EXPECT_NE(Widget<QLabel>(131), nullptr) << "inside the group box";
    EXPECT_NE(Widget<QLabel>(140), nullptr) << "inside the scroll area";
    EXPECT_EQ(Controller()->_GetQtID(0), nullptr) << "untagged widgets are not found";
    EXPECT_EQ(Controller()->_GetQtID(4242), nullptr);

    // A control of the wrong kind answers neutrally.
    EXPECT_EQ(window->label->GetParent(), window.get());
    auto* notAPopup = new FCCtrlPopup(101);
    window->AddControl(notAPopup);
    EXPECT_EQ(notAPopup->GetCount(), 0);
    EXPECT_EQ(notAPopup->GetSelectedItem(), -1);

    // Tags are looked up anew: a retagged widget is found under its new tag.
    Widget<QLabel>(101)->setProperty("tag", 199);
    EXPECT_EQ(Controller()->_GetQtID(101), nullptr);
    EXPECT_NE(Widget<QLabel>(199), nullptr);
}

// --- Texts, checks, pop-ups ---------------------------------------------------------------------

TEST_F(QtWindowTest, TextsReachEveryKindOfControlAsPlainText)
{
    Show();
    FCString text("<b>A & B</b>");
    window->label->SetText(&text);
    EXPECT_EQ(Widget<QLabel>(101)->text(), "<b>A & B</b>");
    EXPECT_EQ(Widget<QLabel>(101)->textFormat(), Qt::PlainText);
    window->command->SetText(&text);
    EXPECT_EQ(Widget<QPushButton>(107)->text(), "<b>A & B</b>");
    window->group->SetText(&text);
    EXPECT_EQ(Widget<QGroupBox>(130)->title(), "<b>A & B</b>");

    // A line separator in a control's text reads back as a carriage return.
    Widget<QLabel>(101)->setText(QString("one") + QChar(0x2028) + "two");
    FCString back;
    window->label->GetText(&back);
    EXPECT_TRUE(back.IsEqualCString("one\rtwo"));
    FCString notes("first\nsecond");
    window->notes->SetText(&notes);
    EXPECT_EQ(Widget<QPlainTextEdit>(150)->toPlainText(), "first\nsecond");

    window->edit->SetInteger(17);
    EXPECT_EQ(Widget<QLineEdit>(102)->text(), "17");
    EXPECT_EQ(window->edit->GetInteger(0, 10), 10);
    // Texts set by the program are not user edits.
    EXPECT_EQ(window->Count("command 102"), 0u);
}

TEST_F(QtWindowTest, ScrollableTextGrowsToShowAllOfIt)
{
    Show();
    auto* text = Widget<QLabel>(140);
    const QSize before = text->size();
    FCString longText("line one is long enough to need more room than sixty pixels\nline two\nline three");
    window->scrollText->SetTextAndResize(&longText);
    EXPECT_GT(text->width(), before.width());
    EXPECT_GE(text->height(), QFontMetrics(text->font()).size(0, text->text()).height() + 10);
    // Its geometry is that of the scroll area.
    EXPECT_EQ(window->scrollText->GetWidth(), 180);
    EXPECT_EQ(window->scrollText->GetLeft(), 210);
    window->scrollText->SetVisible(false);
    EXPECT_TRUE(Controller()->_GetQtID(140)->parentWidget()->parentWidget()->isHidden());
    EXPECT_FALSE(window->scrollText->GetVisible());
}

TEST_F(QtWindowTest, CheckBoxesButtonsAndPopupsNotifyOnlyForTheUser)
{
    Show();
    window->check->SetCheck(1);
    EXPECT_TRUE(Widget<QCheckBox>(113)->isChecked());
    EXPECT_EQ(window->Count("command 113"), 0u);
    QTest::mouseClick(Widget<QCheckBox>(113), Qt::LeftButton);
    EXPECT_FALSE(window->check->GetCheck());
    EXPECT_EQ(window->Count("command 113"), 1u);

    QTest::mouseClick(Widget<QRadioButton>(114), Qt::LeftButton);
    EXPECT_TRUE(window->radio->GetCheck());
    EXPECT_EQ(window->Count("command 114"), 1u);

    QTest::mouseClick(Widget<QPushButton>(107), Qt::LeftButton);
    EXPECT_EQ(window->Count("command 107"), 1u);

    // An untagged button is left alone.
    auto* untagged = Native()->findChild<QPushButton*>("untaggedButton");
    ASSERT_NE(untagged, nullptr);
    const size_t calls = window->calls.size();
    QTest::mouseClick(untagged, Qt::LeftButton);
    EXPECT_EQ(window->calls.size(), calls);

    // Equal titles coexist; the user's choice arrives as a button press.
    FCString up("Up");
    window->popup->AddString(&up);
    window->popup->AddString(&up);
    FCString down("Down");
    window->popup->AddString(&down);
    EXPECT_EQ(window->popup->GetCount(), 3);
    window->popup->SetSelectedItem(0);
    EXPECT_EQ(window->Count("command 106"), 0u);
    QTest::keyClick(Widget<QComboBox>(106), Qt::Key_Down);
    EXPECT_EQ(window->popup->GetSelectedItem(), 1);
    EXPECT_EQ(window->Count("command 106"), 1u);
    window->popup->DeleteItem(7);
    window->popup->DeleteItem(0);
    EXPECT_EQ(window->popup->GetCount(), 2);
    window->popup->SetSelectedItem(-1);
    EXPECT_EQ(window->popup->GetSelectedItem(), -1);
}

TEST_F(QtWindowTest, TypingIntoATaggedFieldIsACommand)
{
    Show();
    auto* field = Widget<QLineEdit>(102);
    window->edit->SetFocus();
    EXPECT_EQ(Native()->focusWidget(), field);
    QTest::keyClicks(field, "F#");
    EXPECT_EQ(window->Count("command 102"), 2u);
    FCString text;
    window->edit->GetText(&text);
    EXPECT_TRUE(text.IsEqualCString("F#"));

    window->edit->SetEnable(false);
    EXPECT_FALSE(field->isEnabled());
    EXPECT_FALSE(window->edit->GetEnable());
    window->line->SetEnable(false);
    EXPECT_TRUE(Widget<QFrame>(115)->isEnabled());
}

TEST_F(QtWindowTest, StepperStepsMoveTheConnectedEdit)
{
    Show();
    window->stepper->ConnectIntegerEdit(window->edit, 0, 20);
    window->edit->SetInteger(7);
    EXPECT_EQ(Widget<QSpinBox>(120)->maximum(), 20);
    QTest::keyClick(Widget<QSpinBox>(120), Qt::Key_Up);
    EXPECT_EQ(window->calls.back(), "updown 120 1");
    FCString text;
    window->edit->GetText(&text);
    EXPECT_TRUE(text.IsEqualCString("8"));
    EXPECT_EQ(Widget<QSpinBox>(120)->value(), 8);
    QTest::keyClick(Widget<QSpinBox>(120), Qt::Key_Down);
    EXPECT_EQ(window->calls.back(), "updown 120 -1");
    window->edit->GetText(&text);
    EXPECT_TRUE(text.IsEqualCString("7"));
    // Values set by the program do not notify.
    const size_t calls = window->calls.size();
    window->stepper->SetValue(2);
    window->stepper->SetRange(0, 5);
    EXPECT_EQ(window->calls.size(), calls);
    EXPECT_EQ(window->stepper->GetMaximum(), 5);
}

TEST_F(QtWindowTest, SwitcherPagesReuseTheUnlabelledFirstPage)
{
    Show();
    auto* tabs = Widget<QTabWidget>(122);
    ASSERT_EQ(tabs->count(), 1);
    FCString first("First"), second("Second");
    Controller()->SwitcherAddPage(122, &first);
    Controller()->SwitcherAddPage(122, &second);
    EXPECT_EQ(Controller()->SwitcherGetPageCount(122), 2);
    EXPECT_EQ(tabs->tabText(0), "First");
    Controller()->SwitcherSetSelectedPage(122, 1);
    EXPECT_EQ(window->Count("command 122"), 0u);
    QTabBar* bar = tabs->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
    EXPECT_EQ(Controller()->SwitcherGetSelectedPage(122), 0);
    EXPECT_EQ(window->Count("command 122"), 1u);

    Controller()->SetSliderMinMax(121, 0, 50);
    Controller()->SetSliderValue(121, 30);
    EXPECT_EQ(Widget<QSlider>(121)->value(), 30);
    EXPECT_EQ(Controller()->GetSliderMax(121), 50);
}

// --- Tables ----------------------------------------------------------------------------------------

TEST_F(QtWindowTest, TableColumnsAreNamedCheckThenCol1Col2)
{
    Show();
    auto* model = _FCWindowController_zpchangepitches::modelOf(Table());
    ASSERT_NE(model, nullptr);
    QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::Warning);
    FCString title("From");
    EXPECT_TRUE(window->list->AddColumn(&title, 60));
    EXPECT_TRUE(window->list->UseLeftCheckboxColumn());
    EXPECT_EQ(model->columnAt(0)->identifier, "col1");
    EXPECT_EQ(model->columnAt(1)->identifier, "check");
    EXPECT_FALSE(window->list->HasCheckboxes()) << "the check column was added after another";
    EXPECT_EQ(model->nextTextColumnIdentifier(), "col1");

    window->list->DeleteAllColumns();
    EXPECT_TRUE(window->list->UseLeftCheckboxColumn());
    EXPECT_TRUE(window->list->UseLeftCheckboxColumn());
    EXPECT_TRUE(window->list->AddColumn(&title, 60));
    EXPECT_TRUE(window->list->AddColumn(&title, 50));
    EXPECT_TRUE(window->list->HasCheckboxes());
    EXPECT_EQ(model->columnAt(2)->identifier, "col2");
    EXPECT_EQ(model->nextTextColumnIdentifier(), "col3");
    EXPECT_EQ(window->list->GetColumnCount(false), 2);
    EXPECT_EQ(window->list->GetColumnCount(true), 3);
    EXPECT_EQ(window->list->GetColumnWidth(0), 26);
    EXPECT_EQ(window->list->GetColumnWidth(1), 60);
    EXPECT_EQ(window->list->GetColumnWidth(9), -1);
    FCString renamed("To");
    window->list->SetColumnTitle(2, &renamed);
    EXPECT_EQ(model->headerData(2, Qt::Horizontal).toString(), "To");
}

TEST_F(QtWindowTest, TableModelPassesTheModelTesterWhileRowsChange)
{
    Show();
    auto* model = _FCWindowController_zpchangepitches::modelOf(Table());
    QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    MakeRows({"A#", "C", "Eb"});
    EXPECT_EQ(model->rowCount(), 3);
    EXPECT_EQ(model->data(model->index(1, 1)).toString(), "C");
    EXPECT_EQ(model->data(model->index(1, 0), Qt::CheckStateRole).toInt(), Qt::Unchecked);
    window->list->GetItemAt(1)->SetCheck(true);
    EXPECT_EQ(model->data(model->index(1, 0), Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_TRUE(model->flags(model->index(0, 0)).testFlag(Qt::ItemIsUserCheckable));
    EXPECT_FALSE(model->flags(model->index(0, 1)).testFlag(Qt::ItemIsUserCheckable));
    EXPECT_TRUE(window->list->DeleteRow(0));
    EXPECT_EQ(model->rowCount(), 2);
    window->list->DeleteAll();
    EXPECT_EQ(model->rowCount(), 0);
}

TEST_F(QtWindowTest, ClickingARowCheckBoxTogglesTheRowAndTellsTheList)
{
    Show();
    MakeRows({"A#", "C"});
    QTest::mouseClick(Table()->viewport(), Qt::LeftButton, {}, CheckBoxPoint(1));
    EXPECT_TRUE(window->list->GetItemAt(1)->GetCheck());
    EXPECT_FALSE(window->list->GetItemAt(0)->GetCheck());
    EXPECT_EQ(window->Count("check 1 on"), 1u);
    QTest::mouseClick(Table()->viewport(), Qt::LeftButton, {}, CheckBoxPoint(1));
    EXPECT_FALSE(window->list->GetItemAt(1)->GetCheck());
    EXPECT_EQ(window->Count("check 1 off"), 1u);
}

TEST_F(QtWindowTest, SelectionChangesReachTheListAndTheWindow)
{
    Show();
    MakeRows({"A#", "C", "Eb"});
    const QRect cell = Table()->visualRect(Table()->model()->index(2, 1));
    QTest::mouseClick(Table()->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(window->list->GetSelectedLine(), 2);
    ASSERT_GE(window->calls.size(), 2u);
    EXPECT_EQ(window->calls[window->calls.size() - 2], "select 2");
    EXPECT_EQ(window->calls.back(), "command 108");

    // Redrawing keeps the line selected without reporting a change.
    const size_t calls = window->calls.size();
    window->list->Redraw();
    EXPECT_EQ(window->list->GetSelectedLine(), 2);
    EXPECT_EQ(window->calls.size(), calls);

    // The selected line disappearing is reported as no selection.
    window->list->DeleteRow(2);
    EXPECT_EQ(window->list->GetSelectedLine(), -1);
    EXPECT_EQ(window->Count("unselect"), 1u);

    window->list->SelectLine(0);
    EXPECT_EQ(window->calls[window->calls.size() - 2], "select 0");
    window->list->SelectLine(9);
    EXPECT_EQ(window->list->GetSelectedLine(), 0);
    Controller()->TableViewClearSelection(108);
    EXPECT_EQ(window->calls[window->calls.size() - 2], "unselect");
    EXPECT_EQ(window->list->GetSelectedLine(), -1);
}

TEST_F(QtWindowTest, DoubleClickingTheListReachesItsHandler)
{
    Show();
    MakeRows({"A#", "C"});
    const QRect cell = Table()->visualRect(Table()->model()->index(0, 1));
    QTest::mouseDClick(Table()->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(window->Count("double"), 1u);
    // Also on the empty part of the table.
    QTest::mouseDClick(Table()->viewport(), Qt::LeftButton, {}, QPoint(200, 100));
    EXPECT_EQ(window->Count("double"), 2u);
}

// --- Geometry -------------------------------------------------------------------------------------

TEST_F(QtWindowTest, PositionsStoreAndRestoreWithTheMinimumSizeRespected)
{
    window->SetRestorePositionData(40, 50, 100, 500);  // narrower than the layout
    Show();
    const QSize decoration = FrameExtra();
    const int minWidth = 400 + decoration.width();
    const int minHeight = 360 + decoration.height();
    EXPECT_EQ(window->GetMinimumWidth(), minWidth);
    EXPECT_TRUE(window->RestorePosition());
    const QRect frame = Native()->frameGeometry();
    EXPECT_EQ(frame.topLeft(), QPoint(40, 50));
    EXPECT_EQ(frame.width(), minWidth);
    EXPECT_EQ(frame.height(), 500);
    const std::string resized = "resize " + std::to_string(minWidth) + "x500 from " + std::to_string(minWidth) + "x" +
                                std::to_string(minHeight);
    EXPECT_EQ(window->calls.back(), resized);
    QApplication::processEvents();
    EXPECT_EQ(window->Count(resized), 1u) << "the program's own frame change is not reported again";

    Native()->move(70, 80);
    window->StorePosition(true);
    EXPECT_EQ(window->GetStoredX(), 70);
    EXPECT_EQ(window->GetStoredY(), 80);
    EXPECT_EQ(window->GetStoredWidth(), minWidth);
    EXPECT_EQ(window->GetStoredHeight(), 500);

    // The user cannot make it smaller than the layout.
    Native()->resize(100, 100);
    EXPECT_EQ(Native()->size(), QSize(400, 360));
}

TEST_F(QtWindowTest, UserResizesRunTheHandlerWhichMovesControlsInOneBatch)
{
    window->moveOnResize = true;
    Show();
    const QSize decoration = FrameExtra();
    const QPoint okBefore = Widget<QPushButton>(1)->pos();
    const QSize tableBefore = Table()->size();
    Native()->resize(400, 420);
    QApplication::processEvents();
    const std::string resized = "resize " + std::to_string(400 + decoration.width()) + "x" +
                                std::to_string(420 + decoration.height()) + " from " +
                                std::to_string(400 + decoration.width()) + "x" +
                                std::to_string(360 + decoration.height());
    EXPECT_EQ(window->Count(resized), 1u);
    EXPECT_EQ(Widget<QPushButton>(1)->pos(), okBefore + QPoint(0, 60)) << "moved once, to the last target";
    EXPECT_EQ(Widget<QPushButton>(2)->pos().y(), 320 + 60);
    EXPECT_EQ(Table()->size(), tableBefore + QSize(0, 60));
    EXPECT_FALSE(window->ok->IsMovePending());
    EXPECT_FALSE(window->EndBufferControlMovement()) << "nothing left pending";

    window->SetMaximumResizeHeight(450 + decoration.height());
    Native()->resize(400, 600);
    EXPECT_EQ(Native()->height(), 450);
    window->SetWidth(420 + decoration.width());
    EXPECT_EQ(Native()->frameGeometry().width(), 420 + decoration.width());
    EXPECT_EQ(window->GetLastWidth(), 420 + decoration.width());
}

TEST_F(QtWindowTest, WindowshadeCollapsesToTheTitleBarHeight)
{
    Show();
    const int height = Native()->frameGeometry().height();
    window->Windowshade(true);
    ASSERT_TRUE(window->IsWindowshaded());
    EXPECT_EQ(Native()->frameGeometry().height(), Controller()->GetWindowTitleHeight());
    EXPECT_GT(Controller()->GetWindowTitleHeight(), 0);
    window->StorePosition(true);
    EXPECT_EQ(window->GetStoredHeight(), height);
    EXPECT_TRUE(window->IsWindowshaded());
    window->Windowshade(false);
    EXPECT_EQ(Native()->frameGeometry().height(), height);
    EXPECT_EQ(Native()->minimumSize(), QSize(400, 360)) << "the layout minimum is back";
}

// --- Timers ---------------------------------------------------------------------------------------

QStringList* capturedMessages = nullptr;
void CaptureMessage(QtMsgType, const QMessageLogContext&, const QString& message)
{
    if (capturedMessages != nullptr) capturedMessages->push_back(message);
}

TEST_F(QtWindowTest, TimersRepeatUntilStoppedAndADuplicateIdIsLogged)
{
    Show();
    window->SetTimer(5, 5);
    EXPECT_TRUE(Controller()->TimeridExists(5));
    QStringList messages;
    capturedMessages = &messages;
    const QtMessageHandler previous = qInstallMessageHandler(&CaptureMessage);
    Controller()->CreateTimer(5, 1000);
    qInstallMessageHandler(previous);
    capturedMessages = nullptr;
    EXPECT_TRUE(messages.contains("Timer already exists!"));

    QTRY_VERIFY_WITH_TIMEOUT(window->Count("timer 5") >= 2, 5000);
    EXPECT_GE(window->Count("timer 5"), 2u) << "the first timer (5 ms) keeps running";
    window->StopTimer(5);
    EXPECT_FALSE(Controller()->TimeridExists(5));
    const size_t fired = window->Count("timer 5");
    QTest::qWait(30);
    EXPECT_EQ(window->Count("timer 5"), fired);

    // A handler may stop its own timer.
    window->stopTimerInHandler = true;
    window->SetTimer(6, 1);
    QTRY_VERIFY_WITH_TIMEOUT(window->Count("timer 6") == 1, 5000);
    QTest::qWait(20);
    EXPECT_EQ(window->Count("timer 6"), 1u);
}

// --- Closing and modal runs ---------------------------------------------------------------------------

TEST_F(QtWindowTest, TheCloseBoxClosesAndTheWindowCanBeShownAgain)
{
    Show();
    Native()->close();
    EXPECT_EQ(window->Count("close"), 1u);
    EXPECT_FALSE(window->WindowExists());
    EXPECT_TRUE(window->IsClosing());
    FlushDeferredDeletes();
    EXPECT_EQ(QApplication::topLevelWidgets().size(), topLevelsBefore);

    Show();
    EXPECT_EQ(window->Count("init"), 2u);
    EXPECT_FALSE(window->IsClosing());
}

TEST_F(QtWindowTest, TheOkButtonClosesFromInsideItsOwnClick)
{
    Show();
    QTest::mouseClick(Widget<QPushButton>(1), Qt::LeftButton);
    EXPECT_EQ(window->GetResultCode(), FCUserWindow::RESULT_OK);
    EXPECT_FALSE(window->WindowExists());
    EXPECT_EQ(window->Count("close"), 1u);
}

TEST_F(QtWindowTest, ReturnPressesTheDefaultButton)
{
    Show();
    QTest::keyClick(Widget<QLineEdit>(102), Qt::Key_Return);
    EXPECT_EQ(window->GetResultCode(), FCUserWindow::RESULT_OK);
    EXPECT_FALSE(window->WindowExists());
}

TEST_F(QtWindowTest, InitWindowMayCloseTheWindowAgain)
{
    window->closeInInit = true;
    EXPECT_FALSE(window->ShowModeless());
    EXPECT_FALSE(window->WindowExists());
    EXPECT_EQ(window->ExecuteModal(), 0);
}

// Runs the window modally; action runs once the run has begun. Should the
// action fail to end the run, a guard closes the window after a while.
int RunModal(TestWindow* window, std::function<void()> action, bool* guardFired)
{
    *guardFired = false;
    QTimer::singleShot(0, action);
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [window, guardFired] {
        *guardFired = true;
        window->CloseWindow();
    });
    guard.start(3000);
    return window->ExecuteModal();
}

TEST_F(QtWindowTest, ModalRunsEndWithTheButtonThatClosedThem)
{
    bool guard = false;
    EXPECT_EQ(RunModal(window.get(), [this] { QTest::mouseClick(Widget<QPushButton>(2), Qt::LeftButton); }, &guard),
              FCUserWindow::RESULT_CANCEL);
    EXPECT_FALSE(guard);
    EXPECT_FALSE(window->WindowExists());

    EXPECT_EQ(RunModal(window.get(), [this] { QTest::mouseClick(Widget<QPushButton>(1), Qt::LeftButton); }, &guard),
              FCUserWindow::RESULT_OK);
    EXPECT_FALSE(guard);

    // The close box ends the run too; no button gives result code 0.
    EXPECT_EQ(RunModal(window.get(), [this] { Native()->close(); }, &guard), 0);
    EXPECT_FALSE(guard);
    EXPECT_EQ(window->Count("close"), 3u);
}

TEST_F(QtWindowTest, EscapePressesTheCloseButtonAsAShortcutOnlyWhileModal)
{
    bool guard = false;
    EXPECT_EQ(RunModal(window.get(),
                       [this] {
                           EXPECT_EQ(Widget<QPushButton>(2)->shortcut(), QKeySequence(Qt::Key_Escape));
                           ASSERT_TRUE(QTest::qWaitForWindowActive(Native()));
                           QTest::keyClick(Widget<QLineEdit>(102), Qt::Key_Escape);
                       },
                       &guard),
              FCUserWindow::RESULT_CANCEL);
    EXPECT_FALSE(guard);
    Show();
    EXPECT_TRUE(Widget<QPushButton>(2)->shortcut().isEmpty());
    // A modeless window closes on Escape as well, as its Close button does.
    const size_t closes = window->Count("close");
    QTest::keyClick(Widget<QLineEdit>(102), Qt::Key_Escape);
    FlushDeferredDeletes();
    EXPECT_FALSE(window->WindowExists());
    EXPECT_EQ(window->Count("close"), closes + 1);
}

TEST_F(QtWindowTest, DestroyingTheWindowObjectRemovesTheNativeWindow)
{
    Show();
    window->SetTimer(3, 10);
    window.reset();
    EXPECT_EQ(QApplication::topLevelWidgets().size(), topLevelsBefore);
}

TEST_F(QtWindowTest, CaptionAlphaAndActivation)
{
    Show();
    FCString caption("Change Pitches");
    window->SetCaption(&caption);
    EXPECT_EQ(Native()->windowTitle(), "Change Pitches");
    window->SetWindowAlpha(50);
    EXPECT_NEAR(Native()->windowOpacity(), 0.5, 0.01);
    window->SetWindowAlpha(300);
    EXPECT_DOUBLE_EQ(Native()->windowOpacity(), 1.0);
    window->Activate();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Native()));
    EXPECT_GE(window->Count("activate"), 1u);
    Native()->hide();
    QTRY_COMPARE_WITH_TIMEOUT(window->Count("deactivate"), size_t{1}, 5000);
}

}  // namespace
