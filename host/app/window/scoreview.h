// The score view: every staff of an engine document drawn in systems that
// wrap to the view's width, with the engine's current selection highlighted
// and edited by mouse and keys.
//
// The view borrows the document; it never changes the music, only the
// engine's selection (Document::SetSelection / ClearSelection). The
// highlight is always drawn from the engine's selection, so a selection set
// by the engine or a plug-in shows as well once the view is repainted.
//
// Mouse: a click on a cell (one staff in one measure) selects that cell,
// shift-click extends the selection to the rectangle from the anchor cell
// (the last plain click, else the start of the engine's selection), a drag
// selects the rectangle it sweeps. Clicks outside every cell do nothing. Keys: Escape clears, Ctrl+A
// selects everything, Ctrl++ / Ctrl+- zoom. Ctrl+wheel zooms as well.
#pragma once

#include <QAbstractScrollArea>
#include <QRect>
#include <QRegion>
#include <QtGlobal>

#include <cstdint>
#include <memory>
#include <string>

#include "tonaropdk/hostapi/eregion.h"

namespace tonaroengine {
class Document;
}

namespace tonaroapp {

class ScoreLayout;

class ScoreView : public QAbstractScrollArea {
    Q_OBJECT
public:
    static constexpr int kMinZoomPercent = 25;
    static constexpr int kMaxZoomPercent = 400;

    explicit ScoreView(QWidget* parent = nullptr);
    ~ScoreView() override;

    // The document shown. It is borrowed: the caller keeps it alive while the
    // view shows it, and sets null (or another document) before closing it.
    // Null shows an empty view. Lays the score out anew.
    void SetDocument(tonaroengine::Document* document);
    // The same for a document without a file of its own (a new score from a
    // template): what only the display needs (part names, beams, markings)
    // is read from sourceXml, the MusicXML the document was made from.
    void SetDocument(tonaroengine::Document* document, const std::string& sourceXml);
    tonaroengine::Document* GetDocument() const;

    // Measures the score anew (measure widths, systems, staff positions)
    // after edits, respacing, staff changes, a switch between written and
    // concert pitch, or a resize, then repaints. Until then the view draws
    // the document's current notes into the old layout (staves or measures
    // that no longer exist are drawn empty).
    void Relayout();

    // Repaints only the cells of region (slots and measures as the engine's
    // regions give them, clamped to the score); nothing for an empty or
    // foreign region. LastRepaintRequest() tells what was asked for.
    void RepaintMeasures(const EREGION& region);

    // Zoom in percent, clamped to [kMinZoomPercent, kMaxZoomPercent].
    void SetZoomPercent(int percent);
    int ZoomPercent() const;
    void ZoomIn();   // next step up (25, 33, 50, 67, 75, 100, 125, 150, 200, 300, 400)
    void ZoomOut();  // next step down

    // Scrolls so that the cell (staff number, measure) is in view; a staff
    // number of 0 or an unknown staff scrolls to the measure's system only.
    void ScrollToMeasure(int16_t measure, int16_t staffNumber);
    // The first measure whose cells are at least partly in view; 0 when no
    // document or nothing is laid out.
    int16_t FirstVisibleMeasure() const;

    // The rectangle of a cell (slot 1 = top staff) in viewport coordinates;
    // an empty rectangle when there is no such cell.
    QRect CellRect(int slot, int16_t measure) const;

    // Selects every cell / clears the engine selection and repaints;
    // SelectionEdited is emitted when the selection changed. Nothing happens
    // without a document (or, for SelectAll, without staves and measures).
    void SelectAll();
    void ClearSelection();

    // The layout in use (document coordinates at 100 % zoom); never null.
    const ScoreLayout& Layout() const;

    // For tests: paint events handled so far, and the viewport region that the
    // last RepaintMeasures call asked to update (empty when it asked nothing).
    quint64 PaintCount() const;
    QRegion LastRepaintRequest() const;

signals:
    // The user (mouse, keys, SelectAll, ClearSelection) changed the engine's
    // selection.
    void SelectionEdited();
    // The zoom changed (by menu, keys or Ctrl+wheel).
    void ZoomChanged(int percent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void Show(tonaroengine::Document* document);
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace tonaroapp
