// The plug-in as a host sees it: the module opened by path, its entry points
// called in the host's order, and the dialog driven through its real widgets
// on Qt's offscreen platform. Each test has its own settings folder.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest/QTest>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "../framework/tempfolder.h"
#include "tests/qt/alertanswerer.h"
#include "host/engine/document.h"
#include "host/engine/engine.h"
#include "host/engine/pitch.h"
#include "pluginhost.h"

using tonaroengine::Engine;

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class ChangePitchesPluginTest : public testing::Test {
protected:
    void SetUp() override
    {
        Engine::Instance().Reset();
        Engine::Instance().SetSettingsFolder(folder.Path());
    }
    void TearDown() override
    {
        host.reset();
        Engine::Instance().Reset();
    }
    // Loads and starts the plug-in and opens its dialog.
    void Open()
    {
        host = std::make_unique<PluginHost>();
        ASSERT_TRUE(host->IsLoaded()) << dlerror();
        ASSERT_TRUE(host->Start());
        host->Invoke();
        ASSERT_NE(PluginHost::Dialog(), nullptr);
    }
    static QLineEdit* Edit(int tag) { return PluginHost::Control<QLineEdit>(tag); }
    static QPushButton* Button(int tag) { return PluginHost::Control<QPushButton>(tag); }
    static QComboBox* Popup(int tag) { return PluginHost::Control<QComboBox>(tag); }
    static QTableView* Table() { return PluginHost::Control<QTableView>(108); }
    static void Type(int tag, const QString& text)
    {
        QLineEdit* edit = Edit(tag);
        ASSERT_NE(edit, nullptr);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    }
    static void Click(int tag)
    {
        QAbstractButton* button = PluginHost::Control<QAbstractButton>(tag);
        ASSERT_NE(button, nullptr) << tag;
        ASSERT_TRUE(button->isEnabled()) << tag;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    static void Choose(int tag, int item)
    {
        QComboBox* popup = Popup(tag);
        popup->setCurrentIndex(item);
        emit popup->activated(item);
    }
    // The top fields, then a button; answers the alert (if any) with answer.
    SeenAlert Enter(const QString& from, const QString& to, int direction, int button,
                        const QString& answer = "OK")
    {
        Type(102, from);
        Type(104, to);
        Choose(106, direction);
        AlertAnswerer answerer(answer);
        Click(button);
        return answerer.Seen();
    }
    static QString Cell(int row, int column)
    {
        return Table()->model()->index(row, column).data().toString();
    }
    static bool Checked(int row)
    {
        return Table()->model()->index(row, 0).data(Qt::CheckStateRole).toInt() == Qt::Checked;
    }
    // The dialog's focus widget (offscreen windows need not be active).
    static QWidget* Focused() { return PluginHost::Dialog()->focusWidget(); }
    static int Rows() { return Table()->model()->rowCount(); }
    std::string Prefs() const { return ReadFile(folder.File("zppluginprefs.txt")); }

    TempFolder folder;
    std::unique_ptr<PluginHost> host;
};

TEST_F(ChangePitchesPluginTest, EnumerationRecordsByteForByte)
{
    host = std::make_unique<PluginHost>();
    ASSERT_TRUE(host->IsLoaded());
    EXPECT_EQ(host->main(nullptr, host.get()), 0);
    ASSERT_TRUE(host->Start());
    EXPECT_EQ(host->menuStatus(), 1);

    TonaroExtensionMenuRecord record;
    std::memset(&record, 0x5A, sizeof record);
    EXPECT_EQ(host->enumerate(nullptr, 1, &record), 0);
    EXPECT_EQ(static_cast<unsigned char>(record.menuText[0]), 0x5A);  // untouched
    ASSERT_EQ(host->enumerate(nullptr, 0, &record), 1);
    char expected[196] = {};
    std::strcpy(expected, "ZP Change Pitches...");
    std::strcpy(expected + 64, "Selectively replaces the pitches within the region.");
    std::strcpy(expected + 128, "Change Pitches");
    EXPECT_EQ(std::memcmp(&record, expected, sizeof expected), 0);
    EXPECT_EQ(host->enumerate(nullptr, -3, &record), 1);

    TonaroExtensionMenuRecordUTF16 wide;
    std::memset(&wide, 0x5A, sizeof wide);
    EXPECT_EQ(host->enumerateUTF16(nullptr, -1, &wide), 0);
    ASSERT_EQ(host->enumerateUTF16(nullptr, 0, &wide), 1);
    const std::string menu = "ZP Change Pitches...";
    for (size_t i = 0; i < menu.size(); ++i) EXPECT_EQ(wide.menuText[i], menu[i]);
    EXPECT_EQ(wide.menuText[menu.size()], 0);
    EXPECT_EQ(wide.menuText[menu.size() + 1], 0x5A5A);  // the rest is left as it was
    EXPECT_EQ(wide.shortName[14], 0);
    EXPECT_EQ(wide.description[51], 0);
    EXPECT_EQ(wide.reserved, 0);

    // Ext_ names forward.
    auto extVersion = host->Resolve<TonaroExtensionVersionFn>("Ext_getversion");
    ASSERT_NE(extVersion, nullptr);
    EXPECT_EQ(extVersion(0x1A000000), 0x0F000000u);
    auto extEnumerate = host->Resolve<TonaroExtensionEnumerateFn>("Ext_enumerate");
    EXPECT_EQ(extEnumerate(nullptr, 1, &record), 0);
}

TEST_F(ChangePitchesPluginTest, LifecycleOneDialogAndPrefsWrittenAtTermination)
{
    host = std::make_unique<PluginHost>();
    ASSERT_TRUE(host->Start());
    host->Terminate();  // never invoked: nothing written
    EXPECT_FALSE(std::filesystem::exists(folder.File("zppluginprefs.txt")));

    host->Invoke();
    QWidget* first = PluginHost::Dialog();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(Edit(102)->text(), "A#");  // defaults without a prefs file
    EXPECT_EQ(Edit(104)->text(), "Bb");
    EXPECT_EQ(Popup(106)->currentIndex(), 2);
    EXPECT_TRUE(PluginHost::Control<QCheckBox>(113)->isChecked());
    EXPECT_TRUE(PluginHost::Control<QCheckBox>(114)->isChecked());
    EXPECT_EQ(Rows(), 0);
    host->Invoke();
    EXPECT_EQ(PluginHost::Dialogs().size(), 1);

    // Close, change nothing more, terminate with the dialog hidden: still written.
    Type(102, "c#");
    Click(2);
    PluginHost::Flush();
    EXPECT_EQ(PluginHost::Dialog(), nullptr);
    host->Terminate();
    const std::string prefs = Prefs();
    EXPECT_NE(prefs.find("ZPCHANGEPITCHES_FROM=c#\n"), std::string::npos);  // as typed
    EXPECT_NE(prefs.find("ZPCHANGEPITCHES_WINDOWX2="), std::string::npos);
    EXPECT_NE(prefs.find("ZPCHANGEPITCHES_RESPACE=1\n"), std::string::npos);

    // A fresh load reads it back.
    host.reset();
    Open();
    EXPECT_EQ(Edit(102)->text(), "c#");
    host->Terminate();
}

TEST_F(ChangePitchesPluginTest, TypedNamesAreValidatedAndNormalised)
{
    Open();
    EXPECT_FALSE(Enter("dx", "bB", 0, 109).shown);
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(Cell(0, 1), "D##");
    EXPECT_EQ(Cell(0, 2), "Bb");
    EXPECT_EQ(Cell(0, 3), "Up");
    EXPECT_FALSE(Enter("e", "F", 1, 109).shown);
    EXPECT_EQ(Cell(1, 1), "E");

    for (const char* bad : {"DX", "D#b", "Dbx", "D#####", "H", ""}) {
        SeenAlert seen = Enter(bad, "C", 2, 109);
        EXPECT_EQ(seen.title, "Syntax Error") << bad;
        EXPECT_EQ(seen.text, "The 'From' field has wrong syntax. Use a syntax similar to: A#, Bb, C## (or Cx), Dbb, etc.");
        EXPECT_TRUE(Focused() == Edit(102)) << bad;
        seen = Enter("C", bad, 2, 109);
        EXPECT_EQ(seen.text, "The 'To' field has wrong syntax. Use a syntax similar to: A#, Bb, C## (or Cx), Dbb, etc.");
        EXPECT_TRUE(Focused() == Edit(104)) << bad;
    }
    EXPECT_EQ(Rows(), 2);
    host->Terminate();
}

TEST_F(ChangePitchesPluginTest, RowsAddInverseModifyDeleteAndChecks)
{
    Open();
    EXPECT_FALSE(Enter("F#", "Gb", 0, 109).shown);
    SeenAlert seen = Enter("F#", "E", 1, 109);
    EXPECT_EQ(seen.title, "Can't add identical pitches");
    EXPECT_EQ(seen.text, "The pitch to change 'from' already exists in the list.");
    EXPECT_EQ(Rows(), 1);

    EXPECT_FALSE(Enter("A", "B", 0, 110).shown);  // inverse of Up is Down, swapped
    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(Cell(1, 1), "B");
    EXPECT_EQ(Cell(1, 2), "A");
    EXPECT_EQ(Cell(1, 3), "Down");
    seen = Enter("C", "F#", 2, 110);
    EXPECT_EQ(seen.text, "The pitch to change 'from' (which appear in the 'To' field at the top, since you're "
                         "trying to add the inverse) already exists in the list.");
    EXPECT_FALSE(Enter("D", "E", 2, 110).shown);
    EXPECT_EQ(Cell(2, 3), "Closest");

    // Selecting a row shows it in the top fields; Modify keeps its own From.
    Table()->clearSelection();
    Table()->selectRow(0);
    EXPECT_EQ(Edit(102)->text(), "F#");
    EXPECT_EQ(Popup(106)->currentIndex(), 0);
    EXPECT_FALSE(Enter("F#", "G", 2, 111).shown);
    EXPECT_EQ(Cell(0, 2), "G");
    EXPECT_EQ(Cell(0, 3), "Closest");
    Table()->selectRow(0);
    seen = Enter("B", "C", 2, 111);
    EXPECT_EQ(seen.title, "Can't have identical pitches");
    EXPECT_EQ(seen.text, "The pitch to change 'from' already exists in the list at another place.");

    // Check boxes and double click drive Change Checked.
    auto* model = Table()->model();
    EXPECT_TRUE(Button(107)->isEnabled());
    for (int row = 0; row < 3; ++row) model->setData(model->index(row, 0), Qt::Unchecked, Qt::CheckStateRole);
    EXPECT_FALSE(Button(107)->isEnabled());
    emit Table()->doubleClicked(model->index(0, 1));
    QTest::mouseDClick(Table()->viewport(), Qt::LeftButton);
    PluginHost::Flush();
    const bool allChecked = Checked(0) && Checked(1) && Checked(2);
    const bool noneChecked = !Checked(0) && !Checked(1) && !Checked(2);
    EXPECT_TRUE(allChecked || noneChecked);
    EXPECT_EQ(Button(107)->isEnabled(), allChecked);

    Table()->selectRow(1);
    Click(112);
    EXPECT_EQ(Rows(), 2);
    EXPECT_EQ(Cell(1, 1), "E");  // the inverse of D -> E
    // Modify and Delete follow whether the table still has a selected line.
    const bool selected = Table()->selectionModel()->hasSelection();
    EXPECT_EQ(Button(111)->isEnabled(), selected);
    EXPECT_EQ(Button(112)->isEnabled(), selected);
    Table()->clearSelection();
    EXPECT_FALSE(Button(111)->isEnabled());
    EXPECT_FALSE(Button(112)->isEnabled());
    host->Terminate();
    EXPECT_NE(Prefs().find("ZPCHANGEPITCHES_LIST_FROM_2=E\n"), std::string::npos);
    EXPECT_EQ(Prefs().find("ZPCHANGEPITCHES_LIST_FROM_3="), std::string::npos);
}

TEST_F(ChangePitchesPluginTest, SavedListsSaveOverwriteUseAndDelete)
{
    Open();
    EXPECT_FALSE(Edit(118)->isEnabled());  // no rows: no name, no save
    EXPECT_FALSE(Button(119)->isEnabled());
    EXPECT_FALSE(Popup(117)->isEnabled());
    Enter("A", "B", 0, 109);
    Type(118, "  Mine ");
    Click(119);
    EXPECT_EQ(Popup(117)->count(), 1);
    EXPECT_EQ(Popup(117)->itemText(0), "Mine");
    EXPECT_NE(ReadFile(folder.File("zpchangepitches.txt")).find("ZPCHANGEPITCHES_LIST_NAME_1=Mine\n"), std::string::npos);

    // Same rules under a new name: asked; No leaves the lists alone.
    Type(118, "Other");
    {
        AlertAnswerer answerer("No");
        Click(119);
        EXPECT_EQ(answerer.Seen().title, "Pitch List Exists");
        EXPECT_EQ(answerer.Seen().text,
                  "A list with identical pitches already exists as 'Mine'. Do you want to save this list anyway?");
    }
    EXPECT_EQ(Popup(117)->count(), 1);

    // A name differing in case overwrites the stored list, keeping its name.
    Enter("C", "D", 0, 109);
    Type(118, "MINE");
    {
        AlertAnswerer answerer("Yes");
        Click(119);
        EXPECT_EQ(answerer.Seen().title, "Overwrite?");
        EXPECT_EQ(answerer.Seen().text, "There is already a set named 'MINE'.\n\nShould this set be overwritten?");
    }
    EXPECT_EQ(Popup(117)->count(), 1);
    EXPECT_NE(ReadFile(folder.File("zpchangepitches.txt")).find("ZPCHANGEPITCHES_LIST_FROM_1_2=C\n"), std::string::npos);

    Enter("E", "F", 0, 109);
    Type(118, "Second");
    Click(119);
    EXPECT_EQ(Popup(117)->count(), 2);

    // Use the first list: its rows replace the list's rows.
    Choose(117, 0);
    EXPECT_EQ(Edit(118)->text(), "Mine");
    Click(120);
    EXPECT_EQ(Rows(), 2);
    EXPECT_EQ(Cell(1, 1), "C");

    // Delete the first list: the file is renumbered.
    {
        AlertAnswerer answerer("Yes");
        Click(121);
        EXPECT_EQ(answerer.Seen().title, "Delete Pitch List?");
        EXPECT_EQ(answerer.Seen().text, "Do you want to delete 'Mine'?");
    }
    EXPECT_EQ(Popup(117)->count(), 1);
    const std::string lists = ReadFile(folder.File("zpchangepitches.txt"));
    EXPECT_EQ(lists.rfind("ZPCHANGEPITCHES_LIST_NAME_1=Second\n", 0), 0u) << lists;
    EXPECT_EQ(lists.find("_NAME_2"), std::string::npos);
    host->Terminate();
}

TEST_F(ChangePitchesPluginTest, SavedListsSurviveDamagedAndUnreadableFiles)
{
    const std::string rule = "ZPCHANGEPITCHES_LIST_FROM_%_1=A\nZPCHANGEPITCHES_LIST_TO_%_1=B\n"
                             "ZPCHANGEPITCHES_LIST_UPDIRECTION_%_1=0\nZPCHANGEPITCHES_LIST_INUSE_%_1=1\n";
    auto ruleOf = [&](char n) { return QString::fromStdString(rule).replace('%', QChar(n)).toStdString(); };
    std::ofstream(folder.File("zpchangepitches.txt"))
        << "ZPCHANGEPITCHES_LIST_NAME_1=One\n" << ruleOf('1') << "ZPCHANGEPITCHES_LIST_NAME_2=Two\n"
        << "ZPCHANGEPITCHES_LIST_NAME_3=Three\n" << ruleOf('3');
    Open();
    EXPECT_EQ(Popup(117)->count(), 2);  // list 2 has no rules; list 3 still loads
    Enter("A", "B", 0, 109);
    auto typeName = [](const QString& name) {
        Type(118, "x");  // enables Save
        Edit(118)->setText(name);
    };
    const QString path = QString::fromStdString(folder.File("zpchangepitches.txt"));
    typeName(QString::fromUtf8("\u4E00\u53F7"));
    const std::string damaged = ReadFile(folder.File("zpchangepitches.txt"));
    for (const char* answer : {"No", "Yes"}) {
        AlertAnswerer answerer(answer);
        Click(119);
        EXPECT_EQ(answerer.Count(), 1);
        EXPECT_EQ(answerer.Seen().title, "Damaged Pitch Lists");
        EXPECT_EQ(answerer.Seen().text, "Saved pitch list 2 in '" + path +
                                             "' could not be read (its name or its pitches are missing). If the "
                                             "lists are saved now, it is left out of the file. Do you want to "
                                             "save them anyway?");
        if (answer[0] == 'N') {
            EXPECT_EQ(Popup(117)->count(), 2);
            EXPECT_EQ(ReadFile(folder.File("zpchangepitches.txt")), damaged);
        }
    }
    std::string lists = ReadFile(folder.File("zpchangepitches.txt"));
    EXPECT_NE(lists.find("ZPCHANGEPITCHES_LIST_NAME_2=Three\n"), std::string::npos) << lists;
    EXPECT_NE(lists.find("ZPCHANGEPITCHES_LIST_NAME_3=\u4E00\u53F7\n"), std::string::npos) << lists;

    // Told once; a name whose characters differ only beyond their low bytes
    // is a list of its own, not one to overwrite.
    Enter("C", "D", 0, 109);
    typeName(QString::fromUtf8("\u4E00\u4E8C"));
    {
        AlertAnswerer answerer("Yes");
        Click(119);
        EXPECT_FALSE(answerer.Seen().shown) << answerer.Seen().text.toStdString();
    }
    EXPECT_EQ(Popup(117)->count(), 4);
    EXPECT_EQ(Popup(117)->itemText(3), QString::fromUtf8("\u4E00\u4E8C"));

    // A file that cannot be read: Save and Delete say so and change nothing.
    std::filesystem::remove(folder.File("zpchangepitches.txt"));
    std::filesystem::create_directory(folder.File("zpchangepitches.txt"));
    typeName("Five");
    for (int button : {119, 121}) {
        AlertAnswerer answerer("Yes");
        Click(button);
        EXPECT_EQ(answerer.Count(), 1);
        EXPECT_EQ(answerer.Seen().title, "Can't change saved lists");
        EXPECT_EQ(answerer.Seen().text, "The saved pitch lists cannot be read from '" + path +
                                             "'. No list was saved or deleted, so that the lists in that file "
                                             "are not lost.");
        EXPECT_EQ(Popup(117)->count(), 4);
    }
    host->Terminate();
}

TEST_F(ChangePitchesPluginTest, OkChangesTheSelectionInOneUndoStep)
{
    tonaroengine::Document* doc = Engine::Instance().NewDocument();
    const int16_t staff = doc->AddStaff(7);
    doc->AddMeasures(1, 4, 1024, 0);
    tonaroengine::EntrySpec entry;
    entry.duration = 1024;
    tonaroengine::NoteSpec note;
    ASSERT_TRUE(tonaroengine::NoteFromName("F#4", 0, &note));
    entry.notes.push_back(note);
    ASSERT_NE(doc->AddEntry(staff, 1, 0, entry), 0u);
    Open();

    // Without a selection: the alert, a cancelled edit, a beep.
    SeenAlert seen = Enter("F#", "Gb", 2, 1);
    EXPECT_EQ(seen.title, "No Selection");
    EXPECT_EQ(seen.text, "No region is selected. Please select a region in the document and try again.");
    EXPECT_EQ(doc->UndoCount(), 0);

    seen = Enter("", "Gb", 2, 1);
    EXPECT_EQ(seen.title, "Syntax Error");
    EXPECT_EQ(Focused(), Edit(102));

    ASSERT_TRUE(doc->SetSelection(doc->WholeDocumentRegion()));
    EXPECT_FALSE(Enter("F#", "Gb", 2, 1).shown);
    EXPECT_EQ(doc->UndoCount(), 1);
    EXPECT_EQ(doc->UndoName(), "Change Pitches");
    const auto records = doc->Entries(staff, 1, 0);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(tonaroengine::NoteName(0, records[0].notes[0].displacement, records[0].notes[0].raiselower), "Gb4");
    EXPECT_NE(PluginHost::Dialog(), nullptr);  // stays open
    host->Terminate();
}

}  // namespace
