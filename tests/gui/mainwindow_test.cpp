// The score window in process: real menus, real mouse events on the score
// view, the real Change Pitches plug-in loaded as the host loads it, and the
// engine's documents checked after every step.
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <set>

#include "host/app/dialogdriver.h"
#include "host/app/pluginhost.h"
#include "host/app/scorenotes.h"
#include "host/app/window/mainwindow.h"
#include "host/app/window/modifiedstate.h"
#include "host/app/window/recentfiles.h"
#include "host/app/window/runwindow.h"
#include "host/app/window/scorelayout.h"
#include "host/app/window/scoretemplates.h"
#include "host/app/window/scoreview.h"
#include "host/engine/document.h"
#include "host/engine/engine.h"
#include "tonaropdk/hostapi/fxfunctions.h"
#include "tonaropdk/hostapi/recordtags.h"
#include "tonaropdk/hostapi/windowinfo.h"

using namespace tonaroapp;
using tonaroengine::Document;
using tonaroengine::Engine;

namespace {

constexpr uint32_t V = 0x12000000;
constexpr char kMenuItem[] = "ZP Change Pitches...";

// Dialog control tags of the plug-in.
enum : int { kOk = 1, kClose = 2, kFrom = 102, kTo = 104, kDirection = 106, kSounding = 113 };

// Answers the next modal box of type Box that opens (within a few seconds)
// by calling answer on it; remembers its text. Stops after one box.
template <typename Box>
class ModalAnswerer {
public:
    explicit ModalAnswerer(std::function<void(Box*)> answer) : answer_(std::move(answer))
    {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<Box*>(QApplication::activeModalWidget());
            if (box == nullptr || !box->isVisible()) return;
            timer_.stop();
            ++answered_;
            if constexpr (std::is_same_v<Box, QMessageBox>) text_ = box->text();
            answer_(box);
        });
        timer_.start();
    }
    int Answered() const { return answered_; }
    QString Text() const { return text_; }

private:
    QTimer timer_;
    std::function<void(Box*)> answer_;
    int answered_ = 0;
    QString text_;
};

std::function<void(QMessageBox*)> Press(QMessageBox::StandardButton which)
{
    return [which](QMessageBox* box) { box->button(which)->click(); };
}

QString ActionText(const QAction* action)
{
    return action->text().remove('&');
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string PitchClass(const std::string& name)
{
    std::string out = name;
    while (!out.empty() && (std::isdigit(static_cast<unsigned char>(out.back())) || out.back() == '-')) out.pop_back();
    return out;
}

class MainWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        plugins_ = new PluginHost();
        plugins_->LoadFolder(TONARO_PLUGIN_FOLDER, nullptr);
    }
    static void TearDownTestSuite()
    {
        delete plugins_;
        plugins_ = nullptr;
    }

    void SetUp() override
    {
        Engine::Instance().Reset();
        ASSERT_TRUE(dir_.isValid());
        example_ = Path("serenade.musicxml");
        ASSERT_TRUE(QFile::copy(QString(TONARO_EXAMPLES_DIR) + "/serenade.musicxml", QString::fromStdString(example_)));
        window_ = std::make_unique<MainWindow>(plugins_, Path("recent.ini"));
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }

    void TearDown() override
    {
        if (QWidget* dialog = DialogDriver::FindDialog(kFrom)) DialogDriver(dialog).Press(kClose);
        window_.reset();
        for (QWidget* top : QApplication::topLevelWidgets())
            EXPECT_FALSE(top->isVisible() && top->windowType() != Qt::Tool) << top->metaObject()->className();
    }

    std::string Path(const std::string& name) const { return dir_.filePath(QString::fromStdString(name)).toStdString(); }

    void OpenExample()
    {
        std::string error;
        ASSERT_TRUE(window_->OpenFile(QString::fromStdString(example_), &error)) << error;
        QApplication::processEvents();
    }

    void Click(int slot, int16_t measure, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        const QRect cell = window_->View()->CellRect(slot, measure);
        ASSERT_FALSE(cell.isEmpty()) << "slot " << slot << " measure " << measure;
        QTest::mouseClick(window_->View()->viewport(), Qt::LeftButton, modifiers, cell.center());
    }

    QAction* PluginAction() const
    {
        for (QAction* action : window_->PluginsMenu()->actions())
            if (action->text() == kMenuItem) return action;
        return nullptr;
    }

    // Invokes the plug-in from the menu and applies one change through its
    // dialog, as a user would; the dialog is closed again.
    void ChangeThroughDialog(const std::string& from, const std::string& to)
    {
        QAction* action = PluginAction();
        ASSERT_NE(action, nullptr);
        action->trigger();
        QWidget* dialog = DialogDriver::FindDialog(kFrom);
        ASSERT_NE(dialog, nullptr);
        DialogDriver driver(dialog);
        ASSERT_TRUE(driver.TypeText(kFrom, from));
        ASSERT_TRUE(driver.TypeText(kTo, to));
        ASSERT_TRUE(driver.ChooseItem(kDirection, "Closest"));
        ASSERT_TRUE(driver.SetChecked(kSounding, true));
        ASSERT_TRUE(driver.Press(kOk));
        EXPECT_TRUE(driver.TakeAlerts().empty());
        ASSERT_TRUE(driver.Press(kClose));
        QApplication::processEvents();
    }

    // A small undoable edit without the plug-in.
    static void EditKey(Document* document, uint16_t key)
    {
        ASSERT_TRUE(document->BeginEdit("Set Key"));
        ASSERT_TRUE(document->SetKeySignature(1, key));
        ASSERT_TRUE(document->EndEdit());
    }

    static PluginHost* plugins_;
    QTemporaryDir dir_;
    std::string example_;
    std::unique_ptr<MainWindow> window_;
};

PluginHost* MainWindowTest::plugins_ = nullptr;

// --- Selecting, respelling through the plug-in, undo and redo -----------------------------------------

TEST_F(MainWindowTest, RespellsASelectionThroughThePluginDialogAndUndoesAndRedoesIt)
{
    OpenExample();
    Document* document = window_->GetDocument();
    ASSERT_NE(document, nullptr);
    EXPECT_FALSE(window_->IsModified());
    EXPECT_FALSE(window_->Action(WindowAction::Undo)->isEnabled());

    // Measures 1-2 of the top two staves, by click and shift-click.
    Click(1, 1);
    Click(2, 2, Qt::ShiftModifier);
    EREGION selection{};
    ASSERT_TRUE(document->GetSelection(&selection));
    EXPECT_EQ(selection.startSlot, 1);
    EXPECT_EQ(selection.endSlot, 2);
    EXPECT_EQ(selection.startMeas, 1);
    EXPECT_EQ(selection.endMeas, 2);
    EXPECT_EQ(window_->SelectionText(), QString::fromUtf8("Measures 1\u20132, staves 1\u20132"));

    const std::vector<uint8_t> before = document->Snapshot();
    const std::vector<ScoreNote> notesBefore = CollectNotes(document);
    const quint64 paintsBefore = window_->View()->PaintCount();

    ChangeThroughDialog("A#", "Bb");

    // Every A# of the region is now Bb, in the same octave; nothing else moved.
    const std::vector<NoteChange> changes = CompareNotes(notesBefore, CollectNotes(document));
    ASSERT_FALSE(changes.empty());
    for (const NoteChange& change : changes) {
        EXPECT_TRUE(change.slot <= 2 && change.measure <= 2) << change.slot << "/" << change.measure;
        EXPECT_EQ(PitchClass(change.before), "A#");
        EXPECT_EQ(PitchClass(change.after), "Bb");
    }
    size_t sharpsInRegion = 0;
    for (const ScoreNote& note : notesBefore)
        if (note.slot <= 2 && note.measure <= 2 && PitchClass(note.name) == "A#") ++sharpsInRegion;
    EXPECT_EQ(changes.size(), sharpsInRegion);

    EXPECT_EQ(ActionText(window_->Action(WindowAction::Undo)), "Undo Change Pitches");
    EXPECT_TRUE(window_->Action(WindowAction::Undo)->isEnabled());
    EXPECT_TRUE(window_->IsModified());
    EXPECT_TRUE(window_->isWindowModified());

    // The view repainted, and the plug-in's redraw covered the selection.
    QTest::qWait(20);
    EXPECT_GT(window_->View()->PaintCount(), paintsBefore);
    const QRegion request = window_->View()->LastRepaintRequest();
    for (int slot = 1; slot <= 2; ++slot)
        for (int16_t measure = 1; measure <= 2; ++measure)
            EXPECT_TRUE((QRegion(window_->View()->CellRect(slot, measure)) - request).isEmpty());

    const std::vector<uint8_t> after = document->Snapshot();
    window_->Action(WindowAction::Undo)->trigger();
    EXPECT_EQ(document->Snapshot(), before);
    EXPECT_FALSE(window_->IsModified());
    EXPECT_FALSE(window_->Action(WindowAction::Undo)->isEnabled());
    EXPECT_EQ(ActionText(window_->Action(WindowAction::Redo)), "Redo Change Pitches");

    window_->Action(WindowAction::Redo)->trigger();
    EXPECT_EQ(document->Snapshot(), after);
    EXPECT_TRUE(window_->IsModified());
    EXPECT_FALSE(window_->Action(WindowAction::Redo)->isEnabled());
}

// A change that matches nothing leaves no undo step and no modified mark;
// the status bar tells what each change did.
TEST_F(MainWindowTest, TheStatusBarTellsWhatAChangeDid)
{
    OpenExample();
    Document* document = window_->GetDocument();
    ASSERT_NE(document, nullptr);
    window_->Action(WindowAction::SelectAll)->trigger();
    const std::vector<uint8_t> before = document->Snapshot();

    ChangeThroughDialog("fb", "E");  // the example has no F flat
    EXPECT_EQ(window_->statusBar()->currentMessage().toStdString(), "No notes matched Fb");
    EXPECT_EQ(document->Snapshot(), before);
    EXPECT_FALSE(window_->IsModified());
    EXPECT_FALSE(window_->Action(WindowAction::Undo)->isEnabled());

    const std::vector<ScoreNote> notesBefore = CollectNotes(document);
    ChangeThroughDialog("A#", "Bb");
    const std::vector<NoteChange> changes = CompareNotes(notesBefore, CollectNotes(document));
    std::set<std::pair<int, int>> measures;  // a measure counts once per staff, as on the command line
    for (const NoteChange& change : changes) measures.insert({change.measure, change.slot});
    ASSERT_GT(changes.size(), 1u);
    ASSERT_GT(measures.size(), 1u);
    EXPECT_EQ(window_->statusBar()->currentMessage().toStdString(),
              std::to_string(changes.size()) + " notes changed in " + std::to_string(measures.size()) + " measures");
    EXPECT_TRUE(window_->IsModified());

    // Change Checked names the From of every checked row.
    enum : int { kChangeChecked = 107, kList = 108, kAdd = 109, kDelete = 112 };
    PluginAction()->trigger();
    DialogDriver driver(DialogDriver::FindDialog(kFrom));
    ASSERT_EQ(driver.RowCount(kList), 0);
    for (const auto& [from, to] : {std::pair{"Fb", "E"}, std::pair{"Dbb", "C"}}) {
        ASSERT_TRUE(driver.TypeText(kFrom, from));
        ASSERT_TRUE(driver.TypeText(kTo, to));
        ASSERT_TRUE(driver.Press(kAdd));
    }
    ASSERT_TRUE(driver.Press(kChangeChecked));
    EXPECT_EQ(window_->statusBar()->currentMessage().toStdString(), "No notes matched Fb or Dbb");
    while (driver.RowCount(kList) > 0 && driver.SelectRow(kList, 0) && driver.Press(kDelete)) {
    }
    EXPECT_EQ(driver.RowCount(kList), 0);
}

TEST_F(MainWindowTest, SaveAsWritesAFileThatReopensWithTheNewPitches)
{
    OpenExample();
    window_->View()->SelectAll();
    EXPECT_EQ(window_->SelectionText(), QString::fromUtf8("Measures 1\u20134, staves 1\u20134"));
    ChangeThroughDialog("A#", "Bb");
    const std::vector<ScoreNote> changed = CollectNotes(window_->GetDocument());
    ASSERT_TRUE(window_->IsModified());

    const std::string target = Path("respelled.musicxml");
    int asked = 0;
    window_->SetFileChooser([&](bool save, const QString&) {
        ++asked;
        EXPECT_TRUE(save);
        return QString::fromStdString(target);
    });
    window_->Action(WindowAction::SaveAs)->trigger();
    EXPECT_EQ(asked, 1);
    ASSERT_TRUE(std::filesystem::exists(target));
    EXPECT_FALSE(window_->IsModified());
    EXPECT_EQ(window_->FilePath().toStdString(), target);
    EXPECT_TRUE(window_->windowTitle().startsWith("respelled.musicxml"));

    // Reopened, the file holds the new pitches; the original is untouched.
    std::string error;
    ASSERT_TRUE(window_->OpenFile(QString::fromStdString(target), &error)) << error;
    EXPECT_EQ(CollectNotes(window_->GetDocument()).size(), changed.size());
    const std::vector<ScoreNote> reopened = CollectNotes(window_->GetDocument());
    for (size_t i = 0; i < reopened.size() && i < changed.size(); ++i) EXPECT_EQ(reopened[i].name, changed[i].name);
    EXPECT_NE(ReadFile(example_), ReadFile(target));

    // Both files are in Open Recent, the latest first.
    RecentFiles recent(Path("recent.ini"));
    const std::vector<std::string> files = recent.Files();
    ASSERT_GE(files.size(), 2u);
    EXPECT_EQ(files[0], target);
    EXPECT_EQ(files[1], example_);
    QMenu* menu = window_->RecentMenu();
    emit menu->aboutToShow();
    ASSERT_FALSE(menu->actions().isEmpty());
    EXPECT_EQ(menu->actions().first()->data().toString().toStdString(), target);
}

TEST_F(MainWindowTest, AFailedSaveIsShownAndLeavesTheDocumentModified)
{
    OpenExample();
    EditKey(window_->GetDocument(), 2);
    ASSERT_TRUE(window_->IsModified());
    ModalAnswerer<QMessageBox> answer(Press(QMessageBox::Ok));
    EXPECT_FALSE(window_->SaveTo(QString::fromStdString(Path("no/such/folder/out.musicxml"))));
    EXPECT_EQ(answer.Answered(), 1);
    EXPECT_TRUE(answer.Text().contains("out.musicxml"));
    EXPECT_TRUE(window_->IsModified());
    EXPECT_EQ(window_->FilePath().toStdString(), example_);
}

// --- Unsaved changes ----------------------------------------------------------------------------------

TEST_F(MainWindowTest, ClosingAChangedScoreAsksFirstAndCancelKeepsIt)
{
    OpenExample();
    const std::string original = ReadFile(example_);
    // Unchanged: Close asks nothing.
    {
        ModalAnswerer<QMessageBox> answer(Press(QMessageBox::Cancel));
        window_->Action(WindowAction::Close)->trigger();
        QTest::qWait(30);
        EXPECT_EQ(answer.Answered(), 0);
        EXPECT_EQ(window_->GetDocument(), nullptr);
    }
    OpenExample();
    EditKey(window_->GetDocument(), 3);
    {
        ModalAnswerer<QMessageBox> answer(Press(QMessageBox::Cancel));
        window_->Action(WindowAction::Close)->trigger();
        EXPECT_EQ(answer.Answered(), 1);
        EXPECT_TRUE(answer.Text().contains("serenade.musicxml"));
        EXPECT_NE(window_->GetDocument(), nullptr);
    }
    // Opening another score asks too; Cancel keeps the changed one.
    {
        ModalAnswerer<QMessageBox> answer(Press(QMessageBox::Cancel));
        EXPECT_FALSE(window_->NewFromTemplate("Piano"));
        EXPECT_EQ(answer.Answered(), 1);
        EXPECT_TRUE(window_->IsModified());
    }
    // The window's close box asks; Cancel keeps the window open.
    {
        ModalAnswerer<QMessageBox> answer(Press(QMessageBox::Cancel));
        EXPECT_FALSE(window_->close());
        EXPECT_EQ(answer.Answered(), 1);
        EXPECT_TRUE(window_->isVisible());
    }
    // Discard closes without writing.
    {
        ModalAnswerer<QMessageBox> answer(Press(QMessageBox::Discard));
        window_->Action(WindowAction::Close)->trigger();
        EXPECT_EQ(answer.Answered(), 1);
        EXPECT_EQ(window_->GetDocument(), nullptr);
    }
    EXPECT_EQ(ReadFile(example_), original);
    EXPECT_TRUE(Engine::Instance().DocumentNumbers().empty());
}

TEST_F(MainWindowTest, SaveInThePromptWritesTheFileBeforeQuitting)
{
    OpenExample();
    EditKey(window_->GetDocument(), 2);
    const std::string original = ReadFile(example_);
    bool closed = false;
    QObject::connect(window_.get(), &MainWindow::Closed, [&] { closed = true; });
    ModalAnswerer<QMessageBox> answer(Press(QMessageBox::Save));
    window_->Action(WindowAction::Quit)->trigger();
    EXPECT_EQ(answer.Answered(), 1);
    EXPECT_TRUE(closed);
    EXPECT_FALSE(window_->isVisible());
    EXPECT_NE(ReadFile(example_), original);
}

// --- Templates, view and recent files ------------------------------------------------------------------

TEST_F(MainWindowTest, TemplatesOpenAsUntitledScoresThatSaveNeedsAPathFor)
{
    const std::map<std::string, int> staves = {
        {"Piano", 2}, {"String Quartet", 4}, {"SATB Choir", 4}, {"Wind Quintet", 5}};
    ASSERT_EQ(TemplateNames().size(), staves.size());
    ASSERT_EQ(window_->NewMenu()->actions().size(), static_cast<qsizetype>(staves.size()));
    for (QAction* action : window_->NewMenu()->actions()) {
        action->trigger();
        Document* document = window_->GetDocument();
        ASSERT_NE(document, nullptr) << action->text().toStdString();
        EXPECT_EQ(document->StaffCount(), staves.at(action->text().toStdString()));
        EXPECT_EQ(document->MeasureCount(), 16);
        EXPECT_FALSE(window_->IsModified());
        EXPECT_TRUE(window_->FilePath().isEmpty());
        EXPECT_EQ(Engine::Instance().DocumentNumbers().size(), 1u);  // the previous one was closed
        // Part names show at once, not only after saving and reopening.
        EXPECT_TRUE(window_->View()->Layout().HasNames()) << action->text().toStdString();
    }
    // The quintet's clarinet and horn are transposing staves.
    Document* quintet = window_->GetDocument();
    EXPECT_NE(DescribeTransposition(quintet, quintet->StaffAtSlot(3)), "none");
    EXPECT_NE(DescribeTransposition(quintet, quintet->StaffAtSlot(4)), "none");
    EXPECT_EQ(DescribeTransposition(quintet, quintet->StaffAtSlot(1)), "none");

    // Save asks for a path; cancelling writes nothing.
    int asked = 0;
    window_->SetFileChooser([&](bool, const QString&) {
        ++asked;
        return QString();
    });
    window_->Action(WindowAction::Save)->trigger();
    EXPECT_EQ(asked, 1);
    const std::string target = Path("quintet");
    window_->SetFileChooser([&](bool, const QString&) { return QString::fromStdString(target); });
    window_->Action(WindowAction::Save)->trigger();
    ASSERT_TRUE(std::filesystem::exists(target + ".musicxml"));
    EXPECT_NE(ReadFile(target + ".musicxml").find("Clarinet in Bb"), std::string::npos);
    EXPECT_EQ(TemplateMusicXml("Kazoo Band"), "");
}

TEST_F(MainWindowTest, ConcertPitchSwitchesThePartScopeRecordWithoutModifyingTheScore)
{
    OpenExample();
    Document* document = window_->GetDocument();
    auto concertWord = [&] {
        std::vector<uint8_t> record;
        if (!document->LoadRecord(TAG_PARTSCOPEPREFS, EDataAddress{{OTHER_PREFS_CMPER, 0, 0, 0}}, &record) ||
            record.size() < 2)
            return -1;
        return record[0] | (record[1] << 8);
    };
    QAction* concert = window_->Action(WindowAction::ConcertPitch);
    EXPECT_FALSE(concert->isChecked());
    concert->trigger();
    EXPECT_TRUE(concert->isChecked());
    EXPECT_EQ(concertWord(), 0);
    EXPECT_FALSE(window_->IsModified());
    concert->trigger();
    EXPECT_FALSE(concert->isChecked());
    EXPECT_EQ(concertWord(), 1);
    EXPECT_FALSE(window_->IsModified());
}

TEST_F(MainWindowTest, RecentFilesKeepTheLatestFirstAndDropFilesThatAreGone)
{
    const std::string settings = Path("recent-list.ini");
    std::vector<std::string> paths;
    for (int i = 0; i < kMaxRecentFiles + 2; ++i) {
        paths.push_back(Path("score" + std::to_string(i) + ".musicxml"));
        std::ofstream(paths.back()) << "x";
    }
    {
        RecentFiles recent(settings);
        for (const std::string& path : paths) recent.Add(path);
        recent.Add(paths[kMaxRecentFiles]);  // again: moves to the front, once
    }
    RecentFiles reread(settings);
    std::vector<std::string> files = reread.Files();
    ASSERT_EQ(files.size(), static_cast<size_t>(kMaxRecentFiles));
    EXPECT_EQ(files[0], paths[kMaxRecentFiles]);
    EXPECT_EQ(files[1], paths[kMaxRecentFiles + 1]);
    std::filesystem::remove(paths[kMaxRecentFiles + 1]);
    files = reread.Files();
    EXPECT_EQ(files.size(), static_cast<size_t>(kMaxRecentFiles - 1));
    EXPECT_EQ(std::count(files.begin(), files.end(), paths[kMaxRecentFiles + 1]), 0);
    EXPECT_EQ(RecentFiles(settings).Files(), files);  // pruned in the file too
    reread.Clear();
    EXPECT_TRUE(RecentFiles(settings).Files().empty());
}

// --- The engine's window functions answer for the window ------------------------------------------------

TEST_F(MainWindowTest, WindowInfoScrollAlertsAndSelectionDialogsAnswerForTheWindow)
{
    OpenExample();
    EWINDOWINFO info{};
    ASSERT_TRUE(FX_GetCurrentWindowInfo(&info, V));
    EXPECT_EQ(info.window, static_cast<void*>(static_cast<QMainWindow*>(window_.get())));
    EXPECT_EQ(info.zoomPercent, 100);
    EXPECT_EQ(info.currentMeasure, window_->View()->FirstVisibleMeasure());
    window_->Action(WindowAction::ZoomIn)->trigger();
    ASSERT_TRUE(FX_GetCurrentWindowInfo(&info, V));
    EXPECT_EQ(info.zoomPercent, window_->View()->ZoomPercent());
    EXPECT_GT(info.zoomPercent, 100);
    window_->Action(WindowAction::ActualSize)->trigger();
    ASSERT_TRUE(FX_GetCurrentWindowInfo(&info, V));
    EXPECT_EQ(info.zoomPercent, 100);

    EXPECT_TRUE(FX_ScrollTo(4, 0, V));
    ASSERT_TRUE(FX_GetCurrentWindowInfo(&info, V));
    EXPECT_EQ(info.currentMeasure, window_->View()->FirstVisibleMeasure());

    const EREGION cell = Document::MakeRegion(3, 2, 3, 2);
    ASSERT_TRUE(FX_RedrawMusic(&cell, V));
    EXPECT_TRUE((QRegion(window_->View()->CellRect(3, 2)) - window_->View()->LastRepaintRequest()).isEmpty());

    {
        ModalAnswerer<QMessageBox> answer(Press(QMessageBox::Ok));
        EXPECT_TRUE(FX_AlertMessage(0, 0, 0, "Caf\xE9 is closed", V));
        EXPECT_EQ(answer.Answered(), 1);
        EXPECT_EQ(answer.Text(), QString::fromUtf8("Caf\u00E9 is closed"));
    }
    {
        ModalAnswerer<QInputDialog> answer([](QInputDialog* dialog) {
            dialog->setIntValue(7);
            dialog->accept();
        });
        int32_t id = 3;
        int16_t changed = 5;
        EXPECT_TRUE(FX_SelectionDialog(nullptr, SELECTIONDIALOG_SHAPE, &id, &changed, V));
        EXPECT_EQ(answer.Answered(), 1);
        EXPECT_EQ(id, 7);
        EXPECT_EQ(changed, 0);
    }
    {
        ModalAnswerer<QInputDialog> answer([](QInputDialog* dialog) { dialog->reject(); });
        int32_t id = 3;
        EXPECT_FALSE(FX_SelectionDialog(nullptr, SELECTIONDIALOG_ARTICULATION, &id, nullptr, V));
        EXPECT_EQ(answer.Answered(), 1);
        EXPECT_EQ(id, 3);
    }

    // Without the window the engine's own answers come back.
    window_.reset();
    Engine::Instance().SetSelectionDialogAnswer(tonaroengine::SelectionDialogAnswer{true, 9, false});
    int32_t id = 1;
    EXPECT_TRUE(FX_SelectionDialog(nullptr, SELECTIONDIALOG_SHAPE, &id, nullptr, V));
    EXPECT_EQ(id, 9);
    EXPECT_EQ(Engine::Instance().GetWindowState().window, nullptr);
}

// --- The command line's way into the window --------------------------------------------------------------

TEST(RunWindowTest, ScoreFileArgumentsAndTheExampleScore)
{
    EXPECT_TRUE(IsScoreFileArgument("a.musicxml"));
    EXPECT_TRUE(IsScoreFileArgument("dir/A.MXL"));
    EXPECT_TRUE(IsScoreFileArgument("x.Xml"));
    EXPECT_FALSE(IsScoreFileArgument(".xml"));
    EXPECT_FALSE(IsScoreFileArgument("convert"));
    EXPECT_FALSE(IsScoreFileArgument("score.pdf"));
    const std::string example = FindExampleScore();
    ASSERT_FALSE(example.empty());
    EXPECT_TRUE(std::filesystem::is_regular_file(example));
    EXPECT_EQ(std::filesystem::path(example).filename(), "serenade.musicxml");
}

// --- What counts as modified ----------------------------------------------------------------------------------

class ModifiedStateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Engine::Instance().Reset();
        document_ = Engine::Instance().NewDocument();
        document_->AddStaff();
        document_->AddMeasures(4);
        state_.MarkSaved(document_);
    }
    void TearDown() override { Engine::Instance().Reset(); }

    void Edit(uint16_t key)
    {
        ASSERT_TRUE(document_->BeginEdit("Key"));
        ASSERT_TRUE(document_->SetKeySignature(1, key));
        ASSERT_TRUE(document_->EndEdit());
        state_.DocumentChanged();
    }
    void Undo()
    {
        ASSERT_TRUE(document_->Undo());
        state_.DocumentChanged();
    }
    void Redo()
    {
        state_.ExpectRedo();
        ASSERT_TRUE(document_->Redo());
        state_.DocumentChanged();
    }

    Document* document_ = nullptr;
    ModifiedState state_;
};

TEST_F(ModifiedStateTest, FollowsThePlaceInTheUndoHistory)
{
    EXPECT_FALSE(state_.IsModified());
    Edit(1);
    EXPECT_TRUE(state_.IsModified());
    Undo();
    EXPECT_FALSE(state_.IsModified());
    Redo();
    EXPECT_TRUE(state_.IsModified());
    state_.MarkSaved(document_);  // saved after the edit
    EXPECT_FALSE(state_.IsModified());
    Undo();
    EXPECT_TRUE(state_.IsModified());
    Redo();
    EXPECT_FALSE(state_.IsModified());
}

TEST_F(ModifiedStateTest, ANewEditAfterUndoingPastTheSavedStepStaysModified)
{
    Edit(1);
    state_.MarkSaved(document_);
    Undo();
    Edit(2);  // the saved step is gone from the history
    EXPECT_TRUE(state_.IsModified());
    Undo();
    EXPECT_TRUE(state_.IsModified());  // the original contents, not the saved ones
}

TEST_F(ModifiedStateTest, ChangesWithoutAnUndoStepAreJudgedByTheContents)
{
    // A cancelled session changes nothing.
    ASSERT_TRUE(document_->BeginEdit("Nothing"));
    ASSERT_TRUE(document_->SetKeySignature(1, 4));
    document_->CancelEdit();
    state_.DocumentChanged();
    EXPECT_FALSE(state_.IsModified());
    // An edit outside any session leaves no undo step but is a change.
    ASSERT_TRUE(document_->SetKeySignature(2, 5));
    state_.DocumentChanged();
    EXPECT_TRUE(state_.IsModified());
    ModifiedState none;
    none.MarkSaved(nullptr);
    none.DocumentChanged();
    EXPECT_FALSE(none.IsModified());
    EXPECT_EQ(ContentDigest(nullptr), 0u);
    EXPECT_NE(ContentDigest(document_), 0u);
}

}  // namespace
