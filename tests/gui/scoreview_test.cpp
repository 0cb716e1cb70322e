// The score view as a user meets it: real mouse and key events on the
// viewport set the engine's selection, the highlight follows the engine,
// repaints cover exactly the cells asked for, zoom and scrolling behave, and
// every file of the MusicXML test suite renders.
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "host/app/window/scorelayout.h"
#include "host/app/window/scoreview.h"
#include "host/app/window/selectiontext.h"
#include "host/engine/engine.h"
#include "host/engine/musicxml/musicxmlio.h"
#include "host/engine/pitch.h"

namespace {

using tonaroapp::ScoreView;
using tonaroengine::Document;
using tonaroengine::Engine;

bool SameRegion(const EREGION& a, const EREGION& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

EREGION Selection(const Document* document)
{
    EREGION region{};
    EXPECT_TRUE(document->GetSelection(&region));
    return region;
}

class ScoreViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        document_ = Engine::Instance().NewDocument();
        for (int s = 0; s < 4; ++s) document_->AddStaff();
        document_->AddMeasures(24);
        tonaroengine::EntrySpec quarter;
        tonaroengine::NoteSpec note;
        ASSERT_TRUE(tonaroengine::NoteFromName("G4", 0, &note));
        quarter.notes.push_back(note);
        for (int s = 1; s <= 4; ++s)
            for (int16_t m = 1; m <= 24; ++m)
                for (int beat = 0; beat < 4; ++beat) document_->AddEntry(document_->StaffAtSlot(s), m, 0, quarter);
        view_ = std::make_unique<ScoreView>();
        view_->resize(900, 500);
        view_->SetDocument(document_);
        view_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view_.get()));
    }

    void TearDown() override
    {
        view_.reset();
        Engine::Instance().Reset();
    }

    QPoint CellCentre(int slot, int16_t measure) const
    {
        const QRect cell = view_->CellRect(slot, measure);
        EXPECT_FALSE(cell.isEmpty()) << slot << "/" << measure;
        return cell.center();
    }

    void Click(int slot, int16_t measure, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::mouseClick(view_->viewport(), Qt::LeftButton, modifiers, CellCentre(slot, measure));
    }

    Document* document_ = nullptr;
    std::unique_ptr<ScoreView> view_;
};

TEST_F(ScoreViewTest, ClicksAndShiftClicksSelectCellsAndRectangles)
{
    QSignalSpy edited(view_.get(), &ScoreView::SelectionEdited);
    Click(2, 3);
    EXPECT_TRUE(SameRegion(Selection(document_), Document::MakeRegion(2, 3, 2, 3)));
    EXPECT_EQ(edited.count(), 1);

    Click(4, 5, Qt::ShiftModifier);
    EXPECT_TRUE(SameRegion(Selection(document_), Document::MakeRegion(2, 3, 4, 5)));
    // Shift-click toward the top left keeps the anchor and orders the ends.
    Click(1, 1, Qt::ShiftModifier);
    EXPECT_TRUE(SameRegion(Selection(document_), Document::MakeRegion(1, 1, 2, 3)));
    EXPECT_EQ(edited.count(), 3);
    EXPECT_EQ(tonaroapp::DescribeSelection(document_), "Measures 1\u20133, staves 1\u20132");

    // Clicking the selected cell again changes nothing and tells nothing.
    Click(3, 6);
    Click(3, 6);
    EXPECT_TRUE(SameRegion(Selection(document_), Document::MakeRegion(3, 6, 3, 6)));
    EXPECT_EQ(edited.count(), 4);
    // A click outside every cell leaves the selection alone.
    QTest::mouseClick(view_->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
    EXPECT_TRUE(SameRegion(Selection(document_), Document::MakeRegion(3, 6, 3, 6)));
}

TEST_F(ScoreViewTest, ShiftClickExtendsASelectionThatTheEngineMade)
{
    ASSERT_TRUE(document_->SetSelection(Document::MakeRegion(2, 2, 2, 2)));
    Click(3, 4, Qt::ShiftModifier);
    EXPECT_TRUE(SameRegion(Selection(document_), Document::MakeRegion(2, 2, 3, 4)));
}

TEST_F(ScoreViewTest, DraggingSelectsTheSweptRectangle)
{
    QSignalSpy edited(view_.get(), &ScoreView::SelectionEdited);
    QWidget* viewport = view_->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, CellCentre(1, 2));
    QTest::mouseMove(viewport, CellCentre(2, 3));
    QTest::mouseMove(viewport, CellCentre(3, 4));
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, CellCentre(3, 4));
    EXPECT_TRUE(SameRegion(Selection(document_), Document::MakeRegion(1, 2, 3, 4)));
    EXPECT_EQ(edited.count(), 3);
    // Moving without a button pressed selects nothing more.
    QTest::mouseMove(viewport, CellCentre(4, 5));
    EXPECT_TRUE(SameRegion(Selection(document_), Document::MakeRegion(1, 2, 3, 4)));
}

TEST_F(ScoreViewTest, EscapeClearsAndSelectAllTakesEverything)
{
    QSignalSpy edited(view_.get(), &ScoreView::SelectionEdited);
    view_->setFocus();
    Click(1, 1);
    QTest::keyClick(view_.get(), Qt::Key_Escape);
    EREGION region{};
    EXPECT_FALSE(document_->GetSelection(&region));
    EXPECT_EQ(tonaroapp::DescribeSelection(document_), "No selection");
    EXPECT_EQ(edited.count(), 2);
    // Escape with nothing selected is no edit.
    QTest::keyClick(view_.get(), Qt::Key_Escape);
    EXPECT_EQ(edited.count(), 2);

    view_->SelectAll();
    EXPECT_TRUE(SameRegion(Selection(document_), Document::MakeRegion(1, 1, 4, 24)));
    EXPECT_EQ(tonaroapp::DescribeSelection(document_), "Measures 1\u201324, staves 1\u20134");
    view_->ClearSelection();
    EXPECT_FALSE(document_->GetSelection(&region));
    QTest::keyClick(view_.get(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_TRUE(SameRegion(Selection(document_), Document::MakeRegion(1, 1, 4, 24)));
    EXPECT_EQ(edited.count(), 5);

    // Without a document nothing happens.
    view_->SetDocument(nullptr);
    view_->ClearSelection();
    view_->SelectAll();
    EXPECT_EQ(edited.count(), 5);
    EXPECT_TRUE(document_->GetSelection(&region));
}

TEST(SelectionText, TellsMeasuresAndStavesAsUsersCountThem)
{
    using tonaroapp::DescribeRegion;
    EXPECT_EQ(DescribeRegion(Document::MakeRegion(1, 3, 4, 8)), "Measures 3\u20138, staves 1\u20134");
    EXPECT_EQ(DescribeRegion(Document::MakeRegion(2, 3, 2, 3)), "Measure 3, staff 2");
    EXPECT_EQ(DescribeRegion(Document::MakeRegion(1, 1, 1, 4)), "Measures 1\u20134, staff 1");
    EXPECT_EQ(DescribeRegion(Document::MakeRegion(3, 7, 1, 7)), "Measure 7, staves 1\u20133");
    EXPECT_EQ(tonaroapp::DescribeSelection(nullptr), "No selection");
}

TEST_F(ScoreViewTest, RepaintRequestsCoverExactlyTheRegionsCells)
{
    // Measures 2 and 3 of staves 2 and 3 are on the first system here.
    ASSERT_EQ(view_->Layout().Measure(3)->system, 0);
    view_->RepaintMeasures(Document::MakeRegion(2, 2, 3, 3));
    QRegion expected;
    for (int slot = 2; slot <= 3; ++slot)
        for (int16_t m = 2; m <= 3; ++m) expected += view_->CellRect(slot, m);
    EXPECT_EQ(view_->LastRepaintRequest(), expected);
    EXPECT_FALSE(view_->LastRepaintRequest().contains(CellCentre(1, 3)));
    EXPECT_FALSE(view_->LastRepaintRequest().contains(CellCentre(2, 4)));
    EXPECT_FALSE(view_->LastRepaintRequest().contains(CellCentre(2, 1)));

    // A region over several systems covers its cells in each.
    const int16_t last = view_->Layout().Systems()[0].lastMeasure;
    view_->RepaintMeasures(Document::MakeRegion(1, last, 1, static_cast<int16_t>(last + 1)));
    expected = QRegion(view_->CellRect(1, last)) + view_->CellRect(1, static_cast<int16_t>(last + 1));
    EXPECT_EQ(view_->LastRepaintRequest(), expected);

    // Ends beyond the score are clamped; a region wholly outside asks nothing.
    view_->RepaintMeasures(Document::MakeRegion(4, 24, 9, 99));
    EXPECT_EQ(view_->LastRepaintRequest(), QRegion(view_->CellRect(4, 24)));
    view_->RepaintMeasures(Document::MakeRegion(5, 1, 9, 2));
    EXPECT_TRUE(view_->LastRepaintRequest().isEmpty());

    // The request is painted.
    const quint64 before = view_->PaintCount();
    view_->RepaintMeasures(Document::MakeRegion(1, 1, 1, 1));
    QTRY_VERIFY(view_->PaintCount() > before);
}

TEST_F(ScoreViewTest, TheHighlightFollowsTheEnginesSelection)
{
    // A point of the cell away from staff lines and notes: near its top left.
    const QRect cell = view_->CellRect(3, 2);
    const QPoint probe = cell.topLeft() + QPoint(cell.width() / 2, 4);
    auto pixel = [&] { return view_->viewport()->grab().toImage().pixelColor(probe); };
    EXPECT_EQ(pixel(), QColor(Qt::white));
    ASSERT_TRUE(document_->SetSelection(Document::MakeRegion(2, 1, 3, 2)));  // set by the engine
    view_->viewport()->update();
    const QColor selected = pixel();
    EXPECT_NE(selected, QColor(Qt::white));
    EXPECT_GT(selected.blue(), selected.red());
    // A cell outside the selection stays white.
    const QRect other = view_->CellRect(4, 2);
    EXPECT_EQ(view_->viewport()->grab().toImage().pixelColor(other.topLeft() + QPoint(other.width() / 2, 4)),
              QColor(Qt::white));
    document_->ClearSelection();
    view_->viewport()->update();
    EXPECT_EQ(pixel(), QColor(Qt::white));
}

TEST_F(ScoreViewTest, ZoomIsClampedSteppedAndFollowsControlWheel)
{
    QSignalSpy zoomed(view_.get(), &ScoreView::ZoomChanged);
    const int cellHeight = view_->CellRect(1, 1).height();
    view_->SetZoomPercent(200);
    EXPECT_EQ(view_->ZoomPercent(), 200);
    EXPECT_EQ(view_->CellRect(1, 1).height(), 2 * cellHeight);
    view_->SetZoomPercent(1000);
    EXPECT_EQ(view_->ZoomPercent(), ScoreView::kMaxZoomPercent);
    view_->ZoomIn();
    EXPECT_EQ(view_->ZoomPercent(), 400);
    view_->SetZoomPercent(1);
    EXPECT_EQ(view_->ZoomPercent(), ScoreView::kMinZoomPercent);
    view_->ZoomOut();
    EXPECT_EQ(view_->ZoomPercent(), 25);
    view_->SetZoomPercent(100);
    view_->ZoomIn();
    EXPECT_EQ(view_->ZoomPercent(), 125);
    view_->ZoomOut();
    view_->ZoomOut();
    EXPECT_EQ(view_->ZoomPercent(), 75);

    const QPointF at = view_->viewport()->rect().center();
    QWheelEvent up(at, view_->viewport()->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                   Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view_->viewport(), &up);
    EXPECT_EQ(view_->ZoomPercent(), 100);
    // Without Ctrl the wheel scrolls and leaves the zoom.
    QWheelEvent down(at, view_->viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view_->viewport(), &down);
    EXPECT_EQ(view_->ZoomPercent(), 100);
    EXPECT_GT(view_->verticalScrollBar()->value(), 0);
    EXPECT_EQ(zoomed.count(), 8);
}

TEST_F(ScoreViewTest, ScrollingBringsMeasuresIntoView)
{
    EXPECT_EQ(view_->FirstVisibleMeasure(), 1);
    ASSERT_FALSE(view_->viewport()->rect().contains(view_->CellRect(4, 24)));
    view_->ScrollToMeasure(24, document_->StaffAtSlot(4));
    EXPECT_TRUE(view_->viewport()->rect().contains(view_->CellRect(4, 24)));
    const int16_t first = view_->FirstVisibleMeasure();
    EXPECT_GT(first, 1);
    EXPECT_LE(first, 24);
    QRect column;
    for (int slot = 1; slot <= 4; ++slot) column |= view_->CellRect(slot, first);
    EXPECT_TRUE(view_->viewport()->rect().intersects(column));
    // The measure before it is out of view.
    QRect earlier;
    for (int slot = 1; slot <= 4; ++slot) earlier |= view_->CellRect(slot, static_cast<int16_t>(first - 1));
    EXPECT_FALSE(view_->viewport()->rect().intersects(earlier));
    // Clicks land on the cells where they are shown now.
    Click(4, 24);
    EXPECT_TRUE(SameRegion(Selection(document_), Document::MakeRegion(4, 24, 4, 24)));
    // Unknown measures do nothing.
    const int before = view_->verticalScrollBar()->value();
    view_->ScrollToMeasure(99, 0);
    EXPECT_EQ(view_->verticalScrollBar()->value(), before);
    view_->ScrollToMeasure(1, 0);
    EXPECT_EQ(view_->FirstVisibleMeasure(), 1);
}

TEST_F(ScoreViewTest, LayoutFollowsEditsAndWidthWhenAskedAndNothingIsShownWithoutADocument)
{
    const size_t systems = view_->Layout().Systems().size();
    view_->resize(450, 500);
    EXPECT_GT(view_->Layout().Systems().size(), systems);
    document_->AddStaff();
    document_->AddMeasures(4);
    EXPECT_TRUE(view_->CellRect(5, 28).isEmpty());  // not laid out yet
    view_->Relayout();
    EXPECT_FALSE(view_->CellRect(5, 28).isEmpty());

    // A layout older than the document never reads past it: staves and
    // measures that an undo took back are drawn empty until the next layout.
    ASSERT_TRUE(document_->BeginEdit("Grow"));
    document_->AddStaff();
    document_->AddMeasures(6);
    ASSERT_TRUE(document_->EndEdit());
    view_->Relayout();
    view_->ScrollToMeasure(34, 0);
    ASSERT_TRUE(document_->Undo());
    ASSERT_EQ(document_->MeasureCount(), 28);
    QImage image(view_->size(), QImage::Format_ARGB32);
    const quint64 paints = view_->PaintCount();
    view_->render(&image);
    EXPECT_GT(view_->PaintCount(), paints);
    view_->SelectAll();
    EXPECT_TRUE(SameRegion(Selection(document_), Document::MakeRegion(1, 1, 5, 28)));
    view_->Relayout();
    EXPECT_TRUE(view_->CellRect(6, 1).isEmpty());
    EXPECT_TRUE(view_->CellRect(1, 29).isEmpty());
    view_->SetDocument(nullptr);
    EXPECT_EQ(view_->GetDocument(), nullptr);
    EXPECT_TRUE(view_->CellRect(1, 1).isEmpty());
    EXPECT_EQ(view_->FirstVisibleMeasure(), 0);
    view_->RepaintMeasures(Document::MakeRegion(1, 1, 1, 1));
    EXPECT_TRUE(view_->LastRepaintRequest().isEmpty());
    // Without a document, clicks and keys leave the engine alone.
    QTest::mouseClick(view_->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    QTest::keyClick(view_.get(), Qt::Key_Escape);
    EXPECT_TRUE(SameRegion(Selection(document_), Document::MakeRegion(1, 1, 5, 28)));
}

TEST(ScoreViewRendering, EveryFileOfTheMusicXmlSuiteRenders)
{
    const QDir suite(QStringLiteral(TONARO_TEST_DATA_DIR "/musicxml-suite"));
    const QStringList files =
        suite.entryList({QStringLiteral("*.xml"), QStringLiteral("*.musicxml"), QStringLiteral("*.mxl")}, QDir::Files);
    ASSERT_GT(files.size(), 100);
    ScoreView view;
    view.resize(800, 600);
    QImage image(view.size(), QImage::Format_ARGB32);
    int rendered = 0;
    for (const QString& file : files) {
        tonaroengine::MusicXmlError error;
        Document* document = tonaroengine::OpenMusicXml(suite.filePath(file).toStdString(), &error);
        if (document == nullptr) continue;  // files the engine refuses are its tests' business
        view.SetZoomPercent(100);
        view.SetDocument(document);
        const quint64 before = view.PaintCount();
        view.render(&image);
        // The whole score at the smallest zoom, and its end.
        view.SetZoomPercent(25);
        view.render(&image);
        view.ScrollToMeasure(static_cast<int16_t>(document->MeasureCount()), 0);
        view.render(&image);
        EXPECT_GE(view.PaintCount(), before + 3) << file.toStdString();
        view.SetDocument(nullptr);
        Engine::Instance().CloseDocument(document->Number());
        ++rendered;
    }
    EXPECT_GT(rendered, files.size() / 2);
    Engine::Instance().Reset();
}

}  // namespace
