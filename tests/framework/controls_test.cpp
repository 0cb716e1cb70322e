// Framework controls over an in-memory platform controller: text, number
// and measurement conversions of edits, pop-ups, check boxes, data-list rows
// and list boxes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakewindowcontroller.h"
#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/base/fcstrings.h"
#include "tonaroframework/ui/fcctrlbutton.h"
#include "tonaroframework/ui/fcctrlcheckbox.h"
#include "tonaroframework/ui/fcctrldatalist.h"
#include "tonaroframework/ui/fcctrledit.h"
#include "tonaroframework/ui/fcctrlline.h"
#include "tonaroframework/ui/fcctrllistbox.h"
#include "tonaroframework/ui/fcctrlpopup.h"
#include "tonaroframework/ui/fcctrlradiobutton.h"
#include "tonaroframework/ui/fcctrlstatic.h"
#include "tonaroframework/ui/fcctrlupdown.h"
#include "tonaroframework/ui/fcdatalistrow.h"
#include "tonaroframework/ui/fcresourcewindow.h"

namespace {

class PlainWindow : public FCResourceWindow {
public:
    PlainWindow() : FCResourceWindow(30001) {}
};

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        _FCSetWindowControllerFactory(&FakeWindowController::Make);
        window = new PlainWindow();
        fake = FakeWindowController::last;
        ASSERT_NE(fake, nullptr);
    }
    void TearDown() override
    {
        delete window;
        _FCSetWindowControllerFactory(nullptr);
    }
    template <class T>
    T* Add(int id)
    {
        auto* control = new T(id);
        window->AddControl(control);
        fake->AddControl(id, Rect{0, 0, 20, 100});
        return control;
    }
    template <class T>
    T* AddList(int id)
    {
        auto* control = new T(id);
        window->AddControl(control);
        fake->AddTable(id);
        return control;
    }
    void Show() { ASSERT_TRUE(window->ShowModeless()); }
    void Type(int id, const char* text) { fake->C(id).text = text; }

    PlainWindow* window = nullptr;
    FakeWindowController* fake = nullptr;
};

TEST_F(ControlsTest, ClassNamesAndControlTypes)
{
    EXPECT_STREQ(FCCtrlStatic(1).ClassName(), "FCCtrlStatic");
    EXPECT_STREQ(FCCtrlCheckbox(1).ClassName(), "FCControl");
    EXPECT_STREQ(FCCtrlButton(1).ClassName(), "FCControl");
    EXPECT_STREQ(FCCtrlDataList(1).ClassName(), "FCCtrlDataList");
    EXPECT_STREQ(window->ClassName(), "__FCCollection");
    EXPECT_EQ(FCCtrlDataList(1)._GetControlType(), 2);
    EXPECT_EQ(FCCtrlListBox(1)._GetControlType(), 2);
    EXPECT_EQ(FCCtrlEdit(1)._GetControlType(), 0);
}

TEST_F(ControlsTest, TextsPassThroughAndNullSendsTheEmptyText)
{
    auto* label = Add<FCCtrlStatic>(10);
    Show();
    FCString hello("hello");
    label->SetText(&hello);
    EXPECT_EQ(fake->C(10).text, "hello");
    label->SetText(nullptr);
    EXPECT_EQ(fake->C(10).text, "");
    label->SetInteger(-42);
    EXPECT_EQ(fake->C(10).text, "-42");
    label->Clear();
    EXPECT_EQ(fake->C(10).text, "");
    label->SetTextAndResize(&hello);
    FCString back;
    label->GetText(&back);
    EXPECT_TRUE(back.IsEqualCString("hello"));
    label->GetText(nullptr);  // nothing to fill, no crash
}

TEST_F(ControlsTest, EditIntegersClampOnlyForAProperRange)
{
    auto* edit = Add<FCCtrlEdit>(20);
    Show();
    Type(20, "  250xyz");
    EXPECT_EQ(edit->GetInteger(0, 100), 100);
    EXPECT_EQ(edit->GetInteger(100, 0), 250) << "min >= max: no clamping";
    EXPECT_EQ(edit->GetInteger(5, 5), 250);
    Type(20, "-7");
    EXPECT_EQ(edit->GetInteger(0, 100), 0);
    Type(20, "abc");
    EXPECT_EQ(edit->GetInteger(0, 0), 0);

    Type(20, "250");
    EXPECT_EQ(edit->AdjustIntegerWithin(0, 100), 100);
    EXPECT_EQ(fake->C(20).text, "100");
    Type(20, "50");
    EXPECT_EQ(edit->AdjustIntegerWithin(0, 100), 50);
    EXPECT_EQ(fake->C(20).text, "50");
    edit->SetInteger(12);
    EXPECT_EQ(fake->C(20).text, "12");
}

TEST_F(ControlsTest, EditFloatsAlwaysClampAndUseTwoDecimals)
{
    auto* edit = Add<FCCtrlEdit>(21);
    Show();
    edit->SetFloat(2.0f / 3.0f);
    EXPECT_EQ(fake->C(21).text, "0.67");
    edit->SetFloat(-1.5f);
    EXPECT_EQ(fake->C(21).text, "-1.50");
    Type(21, "3,25");
    EXPECT_DOUBLE_EQ(edit->GetFloat(0, 10), 3.25);
    EXPECT_DOUBLE_EQ(edit->GetFloat(0, 1), 1.0);
    EXPECT_DOUBLE_EQ(edit->GetFloat(5, 10), 5.0);
    // With the limits reversed: below the minimum gives the minimum.
    EXPECT_DOUBLE_EQ(edit->GetFloat(10, 0), 10.0);
    Type(21, "20");
    EXPECT_DOUBLE_EQ(edit->GetFloat(10, 0), 0.0);
    Type(21, "nan");
    EXPECT_DOUBLE_EQ(edit->GetFloat(-1, 1), -1.0);
    Type(21, "-inf");
    EXPECT_DOUBLE_EQ(edit->GetFloat(-1, 1), -1.0);
}

TEST_F(ControlsTest, EditMeasurementsConvertThroughTheUnit)
{
    auto* edit = Add<FCCtrlEdit>(22);
    Show();
    edit->SetMeasurement(144, 2);  // inches
    EXPECT_EQ(fake->C(22).text, "0.5");
    edit->SetMeasurementInteger(100, 5);  // picas
    EXPECT_EQ(fake->C(22).text, "2p1");
    Type(22, "1in");
    EXPECT_DOUBLE_EQ(edit->GetMeasurement(1, 0, 1000), 288.0);
    EXPECT_DOUBLE_EQ(edit->GetMeasurement(1, 0, 100), 100.0);
    Type(22, "2p6");
    EXPECT_EQ(edit->GetMeasurementInteger(5, 0, 1000), 120);
    EXPECT_EQ(edit->GetMeasurementInteger(5, 0, 100), 100);
    Type(22, "12.6");
    EXPECT_EQ(edit->GetMeasurementInteger(1, 0, 1000), 13) << "rounded to whole EVPUs";
}

TEST_F(ControlsTest, EditFocusReadOnlyAndEnable)
{
    auto* edit = Add<FCCtrlEdit>(23);
    Show();
    edit->SetFocus();
    EXPECT_EQ(fake->focus, 23);
    edit->SetReadOnly(true);
    EXPECT_FALSE(fake->C(23).enabled);
    EXPECT_FALSE(edit->GetEnable());
    edit->SetReadOnly(false);
    EXPECT_TRUE(edit->GetEnable());
    edit->SetVisible(false);
    EXPECT_FALSE(edit->GetVisible());
}

TEST_F(ControlsTest, PopupsCountSelectAndDelete)
{
    auto* popup = Add<FCCtrlPopup>(30);
    EXPECT_EQ(popup->GetCount(), 0);
    EXPECT_EQ(popup->GetSelectedItem(), -1);
    Show();
    FCString up("Up");
    popup->AddString(&up);
    popup->AddString(&up);
    popup->AddString(nullptr);
    EXPECT_EQ(popup->GetCount(), 3);
    EXPECT_EQ(fake->C(30).popupItems, (std::vector<std::string>{"Up", "Up", ""}));
    popup->SetSelectedItem(1);
    EXPECT_EQ(popup->GetSelectedItem(), 1);
    popup->DeleteItem(0);
    EXPECT_EQ(popup->GetCount(), 2);
    popup->Clear();
    EXPECT_EQ(popup->GetCount(), 0);
}

TEST_F(ControlsTest, CheckboxesTreatAnyNonZeroAsChecked)
{
    auto* box = Add<FCCtrlCheckbox>(40);
    auto* radio = Add<FCCtrlRadioButton>(41);
    EXPECT_FALSE(box->GetCheck());
    Show();
    box->SetCheck(5);
    EXPECT_EQ(fake->C(40).check, 1);
    EXPECT_TRUE(box->GetCheck());
    box->SetCheck(0);
    EXPECT_FALSE(box->GetCheck());
    radio->SetCheck(true);
    EXPECT_TRUE(radio->GetCheck());
}

TEST_F(ControlsTest, LinesAreAlwaysEnabled)
{
    auto* line = Add<FCCtrlLine>(50);
    Show();
    line->SetEnable(false);
    EXPECT_TRUE(fake->C(50).enabled);
    EXPECT_TRUE(line->GetEnable());
}

TEST_F(ControlsTest, UpDownRangeAndMeasurementConnection)
{
    auto* edit = Add<FCCtrlEdit>(60);
    auto* stepper = Add<FCCtrlUpDown>(61);
    stepper->SetValue(4);
    EXPECT_EQ(stepper->GetValue(), 4) << "the value set, without a window";
    Show();
    stepper->ConnectMeasurementEdit(edit, 1, 0, 288);
    EXPECT_EQ(stepper->GetMinimum(), 0);
    EXPECT_EQ(stepper->GetMaximum(), 288);
    Type(60, "1in");  // 288 EVPUs
    EXPECT_EQ(stepper->_TakeNewValue(0, -24), -24);
    EXPECT_EQ(fake->C(60).text, "264");
    EXPECT_EQ(fake->C(61).stepperValue, 264);
    stepper->_TakeNewValue(0, 1000);
    EXPECT_EQ(fake->C(60).text, "288");
}

// --- Data lists -----------------------------------------------------------------------------

FCDataListRow* MakeRow(const char* from, bool checked = false)
{
    auto* row = new FCDataListRow();
    row->AddCString(from);
    row->SetCheck(checked);
    return row;
}

TEST_F(ControlsTest, RowsAreConnectedAppendedAndOwned)
{
    auto* list = AddList<FCCtrlDataList>(70);
    // Rows work without a native window.
    EXPECT_EQ(list->AddRow(MakeRow("A")), 0);
    EXPECT_EQ(list->AddRow(nullptr), -1);
    Show();
    EXPECT_TRUE(list->UseLeftCheckboxColumn());
    EXPECT_TRUE(list->UseLeftCheckboxColumn());
    EXPECT_EQ(fake->tables[70].columns, std::vector<std::string>{"check"});
    EXPECT_TRUE(list->AddColumn(nullptr, 60));
    EXPECT_EQ(list->GetColumnCount(false), 1);
    EXPECT_EQ(list->GetColumnCount(true), 2);

    const int redrawsBefore = fake->tables[70].redraws;
    FCDataListRow* row = MakeRow("B", true);
    EXPECT_EQ(list->AddRow(row), 1);
    EXPECT_EQ(row->GetIndex(), 1);
    EXPECT_EQ(row->GetDataList(), list);
    EXPECT_EQ(fake->tables[70].connected, list);
    EXPECT_EQ(fake->tables[70].checkboxUpdates, std::vector<int>{1}) << "the checked state is pushed";
    EXPECT_EQ(fake->tables[70].redraws, redrawsBefore + 1);
    // A row already in a list is refused.
    EXPECT_EQ(list->AddRow(row), -1);
    EXPECT_EQ(list->GetCount(), 2);
    EXPECT_EQ(list->GetItemAt(2), nullptr);
    EXPECT_EQ(list->GetItemAt(-1), nullptr);

    row->SetCheck(false);
    EXPECT_EQ(fake->tables[70].checkboxUpdates, (std::vector<int>{1, 1}));
    list->HandleCheckChange(0, true);
    EXPECT_TRUE(list->GetItemAt(0)->GetCheck());
}

TEST_F(ControlsTest, DeletedRowsLeaveStaleIndexesUntilReconnected)
{
    auto* list = AddList<FCCtrlDataList>(70);
    Show();
    for (const char* name : {"A", "B", "C"}) list->AddRow(MakeRow(name));
    EXPECT_FALSE(list->DeleteRow(3));
    EXPECT_TRUE(list->DeleteRow(0));
    ASSERT_EQ(list->GetCount(), 2);
    EXPECT_TRUE(list->GetItemAt(0)->GetItemAt(0)->IsEqualCString("B"));
    EXPECT_EQ(list->GetItemAt(0)->GetIndex(), 1);
    EXPECT_EQ(list->GetItemAt(1)->GetIndex(), 2);
    list->ReconnectAll();
    EXPECT_EQ(list->GetItemAt(0)->GetIndex(), 0);
    EXPECT_EQ(list->GetItemAt(1)->GetIndex(), 1);
    list->DeleteAll();
    EXPECT_EQ(list->GetCount(), 0);
}

TEST_F(ControlsTest, SelectionAndScrollingNeedTheWindowAndRows)
{
    auto* list = AddList<FCCtrlDataList>(70);
    EXPECT_EQ(list->GetSelectedLine(), -1);
    Show();
    list->ScrollToTop();
    EXPECT_EQ(fake->scrollsToTop, 0);
    list->AddRow(MakeRow("A"));
    list->ScrollToTop();
    EXPECT_EQ(fake->scrollsToTop, 1);
    list->SelectLine(0);
    EXPECT_EQ(list->GetSelectedLine(), 0);
}

TEST_F(ControlsTest, ListBoxMakesItsSingleColumnOnFirstAdd)
{
    auto* box = AddList<FCCtrlListBox>(80);
    Show();
    FCString one("one");
    box->AddString(&one);
    box->AddString(nullptr);
    EXPECT_EQ(fake->tables[80].columns, std::vector<std::string>{"col100"});
    EXPECT_TRUE(fake->tables[80].expanded);
    EXPECT_FALSE(fake->tables[80].header);
    EXPECT_EQ(box->GetCount(), 2);

    FCString text;
    EXPECT_TRUE(box->GetItemText(0, &text));
    EXPECT_TRUE(text.IsEqualCString("one"));
    EXPECT_FALSE(box->GetItemText(2, &text));
    FCString two("two");
    EXPECT_TRUE(box->SetItemText(1, &two));
    EXPECT_TRUE(box->GetItemText(1, &text));
    EXPECT_TRUE(text.IsEqualCString("two"));

    EXPECT_TRUE(box->DeleteItem(0));
    EXPECT_EQ(box->GetItemAt(0)->GetIndex(), 0) << "list boxes reconnect after a deletion";

    FCStrings strings;
    strings.AddCString("x");
    strings.AddCString("y");
    box->SetStrings(&strings);
    EXPECT_EQ(box->GetCount(), 2);
    EXPECT_EQ(fake->tables[80].columns.size(), 1u);
    box->SelectLine(1);
    box->ClearSelection();
    EXPECT_EQ(box->GetSelectedLine(), -1);
}

}  // namespace
