#include "host/app/window/scoreview.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "host/app/window/scorelayout.h"
#include "host/app/window/scorepainter.h"
#include "host/engine/document.h"
#include "host/engine/musicxml/musicxmlio.h"

namespace tonaroapp {

namespace {

constexpr double kSp = ScoreLayout::kSpace;
constexpr std::array<int, 11> kZoomSteps{25, 33, 50, 67, 75, 100, 125, 150, 200, 300, 400};

const QColor kSelectionFill(60, 120, 230, 55);
const QColor kSelectionEdge(40, 100, 210);

}  // namespace

struct ScoreView::Impl {
    explicit Impl(ScoreView* view);

    double Scale() const { return zoom / 100.0; }
    QPointF ToDocument(QPointF viewportPoint) const;
    QRect ToViewport(const QRectF& documentRect) const;
    void UpdateScrollBars();
    void Select(int slotA, int16_t measureA, int slotB, int16_t measureB);

    // Painting, in document units.
    void PaintSelection(QPainter& p, const QRectF& exposed);

    ScoreView* view;
    tonaroengine::Document* document = nullptr;
    ScoreLayout layout;
    ScoreMarkings markings;
    int zoom = 100;
    quint64 paints = 0;
    QRegion lastRepaint;

    bool pressed = false;
    int anchorSlot = 0;
    int16_t anchorMeasure = 0;
    int dragSlot = 0;
    int16_t dragMeasure = 0;
};

ScoreView::Impl::Impl(ScoreView* owner) : view(owner) {}

QPointF ScoreView::Impl::ToDocument(QPointF point) const
{
    return QPointF((point.x() + view->horizontalScrollBar()->value()) / Scale(),
                   (point.y() + view->verticalScrollBar()->value()) / Scale());
}

QRect ScoreView::Impl::ToViewport(const QRectF& rect) const
{
    if (rect.isEmpty()) return QRect();
    // Edges are rounded one by one, so cells that share an edge in the
    // layout share it on screen and never overlap.
    const int h = view->horizontalScrollBar()->value();
    const int v = view->verticalScrollBar()->value();
    const int left = static_cast<int>(std::lround(rect.left() * Scale())) - h;
    const int right = static_cast<int>(std::lround(rect.right() * Scale())) - h;
    const int top = static_cast<int>(std::lround(rect.top() * Scale())) - v;
    const int bottom = static_cast<int>(std::lround(rect.bottom() * Scale())) - v;
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

void ScoreView::Impl::UpdateScrollBars()
{
    const QSize area = view->viewport()->size();
    const QSizeF content = layout.ContentSize() * Scale();
    QScrollBar* vertical = view->verticalScrollBar();
    QScrollBar* horizontal = view->horizontalScrollBar();
    // Rounded, not ceiled: a layout as wide as the view must not scroll by
    // a fraction of a pixel.
    vertical->setRange(0, std::max(0, static_cast<int>(std::lround(content.height())) - area.height()));
    vertical->setPageStep(std::max(1, area.height()));
    vertical->setSingleStep(std::max(1, static_cast<int>(ScoreLayout::kStaffDistance * Scale() / 2)));
    horizontal->setRange(0, std::max(0, static_cast<int>(std::lround(content.width())) - area.width()));
    horizontal->setPageStep(std::max(1, area.width()));
    horizontal->setSingleStep(std::max(1, static_cast<int>(kSp * 4 * Scale())));
}

void ScoreView::Impl::Select(int slotA, int16_t measureA, int slotB, int16_t measureB)
{
    if (document == nullptr) return;
    const EREGION region = tonaroengine::Document::MakeRegion(
        static_cast<int16_t>(std::min(slotA, slotB)), std::min(measureA, measureB),
        static_cast<int16_t>(std::max(slotA, slotB)), std::max(measureA, measureB));
    EREGION current{};
    if (document->GetSelection(&current) && std::memcmp(&current, &region, sizeof region) == 0) return;
    if (!document->SetSelection(region)) return;
    view->viewport()->update();
    emit view->SelectionEdited();
}

// --- Painting ---------------------------------------------------------------------------

void ScoreView::Impl::PaintSelection(QPainter& p, const QRectF& exposed)
{
    EREGION region{};
    if (!document->GetSelection(&region)) return;
    const int firstSlot = std::clamp<int>(std::min(region.startSlot, region.endSlot), 1, layout.StaffCount());
    const int lastSlot = std::clamp<int>(std::max(region.startSlot, region.endSlot), 1, layout.StaffCount());
    const int firstMeasure = std::max<int>(1, std::min(region.startMeas, region.endMeas));
    const int lastMeasure = std::min<int>(layout.MeasureCount(), std::max(region.startMeas, region.endMeas));
    for (const ScoreLayout::SystemBox& system : layout.Systems()) {
        const int from = std::max<int>(firstMeasure, system.firstMeasure);
        const int to = std::min<int>(lastMeasure, system.lastMeasure);
        if (from > to) continue;
        QRectF area = layout.CellRect(firstSlot, static_cast<int16_t>(from))
                          .united(layout.CellRect(lastSlot, static_cast<int16_t>(to)));
        // Positions inside the end measures narrow the highlight.
        if (from == firstMeasure && region.startPos > 0)
            area.setLeft(layout.EntryX(static_cast<int16_t>(from), region.startPos) - 1.2 * kSp);
        if (to == lastMeasure && region.endPos != EREGION_ENDOFMEASURE &&
            region.endPos < document->MeasureDuration(static_cast<int16_t>(to)))
            area.setRight(layout.EntryX(static_cast<int16_t>(to), region.endPos) + 1.2 * kSp);
        if (!area.intersects(exposed)) continue;
        p.fillRect(area, kSelectionFill);
        p.setPen(QPen(kSelectionEdge, 0.15 * kSp));
        p.setBrush(Qt::NoBrush);
        p.drawRect(area);
    }
}

// --- The view ---------------------------------------------------------------------------

ScoreView::ScoreView(QWidget* parent) : QAbstractScrollArea(parent), impl_(std::make_unique<Impl>(this))
{
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(false);
    setMinimumSize(200, 150);
}

ScoreView::~ScoreView() = default;

void ScoreView::SetDocument(tonaroengine::Document* document)
{
    impl_->markings.Clear();
    if (document != nullptr && tonaroengine::HasMusicXmlSource(document))
        impl_->markings.ReadFile(tonaroengine::MusicXmlSourcePath(document));
    Show(document);
}

void ScoreView::SetDocument(tonaroengine::Document* document, const std::string& sourceXml)
{
    impl_->markings.ReadText(sourceXml);
    Show(document);
}

void ScoreView::Show(tonaroengine::Document* document)
{
    impl_->document = document;
    impl_->anchorSlot = 0;
    impl_->anchorMeasure = 0;
    impl_->pressed = false;
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    Relayout();
}

tonaroengine::Document* ScoreView::GetDocument() const
{
    return impl_->document;
}

void ScoreView::Relayout()
{
    impl_->layout.Build(impl_->document, viewport()->width() / impl_->Scale(), impl_->markings.StaffNames(),
                        ScorePainter::HeaderHeight(impl_->markings.GetCredits()));
    impl_->UpdateScrollBars();
    viewport()->update();
}

void ScoreView::RepaintMeasures(const EREGION& region)
{
    impl_->lastRepaint = QRegion();
    const ScoreLayout& layout = impl_->layout;
    if (impl_->document == nullptr || layout.IsEmpty()) return;
    const int firstSlot = std::max<int>(1, std::min(region.startSlot, region.endSlot));
    const int lastSlot = std::min<int>(layout.StaffCount(), std::max(region.startSlot, region.endSlot));
    const int firstMeasure = std::max<int>(1, std::min(region.startMeas, region.endMeas));
    const int lastMeasure = std::min<int>(layout.MeasureCount(), std::max(region.startMeas, region.endMeas));
    if (firstSlot > lastSlot || firstMeasure > lastMeasure) return;
    // Cells of one system tile, so each system's share is one rectangle.
    QRegion area;
    for (const ScoreLayout::SystemBox& system : layout.Systems()) {
        const int from = std::max<int>(firstMeasure, system.firstMeasure);
        const int to = std::min<int>(lastMeasure, system.lastMeasure);
        if (from > to) continue;
        const QRectF cells = layout.CellRect(firstSlot, static_cast<int16_t>(from))
                                 .united(layout.CellRect(lastSlot, static_cast<int16_t>(to)));
        area += impl_->ToViewport(cells);
    }
    impl_->lastRepaint = area;
    viewport()->update(area);
}

void ScoreView::SetZoomPercent(int percent)
{
    percent = std::clamp(percent, kMinZoomPercent, kMaxZoomPercent);
    if (percent == impl_->zoom) return;
    const int16_t first = FirstVisibleMeasure();
    impl_->zoom = percent;
    Relayout();
    if (first > 0) {
        const ScoreLayout::MeasureBox* box = impl_->layout.Measure(first);
        const ScoreLayout::SystemBox& system = impl_->layout.Systems()[static_cast<size_t>(box->system)];
        verticalScrollBar()->setValue(static_cast<int>(std::lround(system.top * impl_->Scale())));
    }
    emit ZoomChanged(percent);
}

int ScoreView::ZoomPercent() const
{
    return impl_->zoom;
}

void ScoreView::ZoomIn()
{
    for (int step : kZoomSteps)
        if (step > impl_->zoom) {
            SetZoomPercent(step);
            return;
        }
}

void ScoreView::ZoomOut()
{
    for (auto it = kZoomSteps.rbegin(); it != kZoomSteps.rend(); ++it)
        if (*it < impl_->zoom) {
            SetZoomPercent(*it);
            return;
        }
}

void ScoreView::ScrollToMeasure(int16_t measure, int16_t staffNumber)
{
    const ScoreLayout& layout = impl_->layout;
    const ScoreLayout::MeasureBox* box = layout.Measure(measure);
    if (box == nullptr) return;
    const int slot = impl_->document != nullptr ? impl_->document->SlotOfStaff(staffNumber) : 0;
    QRectF target = slot > 0 ? layout.CellRect(slot, measure)
                             : layout.CellRect(1, measure).united(layout.CellRect(layout.StaffCount(), measure));
    const double scale = impl_->Scale();
    const QRectF scaled(target.x() * scale, target.y() * scale, target.width() * scale, target.height() * scale);
    const QSize area = viewport()->size();
    QScrollBar* vertical = verticalScrollBar();
    QScrollBar* horizontal = horizontalScrollBar();
    if (scaled.top() < vertical->value() || scaled.bottom() > vertical->value() + area.height())
        vertical->setValue(static_cast<int>(std::lround(scaled.top())));
    if (scaled.left() < horizontal->value() || scaled.right() > horizontal->value() + area.width())
        horizontal->setValue(static_cast<int>(std::lround(scaled.left())));
}

int16_t ScoreView::FirstVisibleMeasure() const
{
    const ScoreLayout& layout = impl_->layout;
    if (impl_->document == nullptr || layout.IsEmpty()) return 0;
    const QRectF visible(impl_->ToDocument(QPointF(0, 0)),
                         impl_->ToDocument(QPointF(viewport()->width(), viewport()->height())));
    for (const ScoreLayout::SystemBox& system : layout.Systems()) {
        if (system.top + system.height <= visible.top() || system.top >= visible.bottom()) continue;
        for (int m = system.firstMeasure; m <= system.lastMeasure; ++m) {
            const ScoreLayout::MeasureBox* box = layout.Measure(static_cast<int16_t>(m));
            if (box->left + box->width > visible.left() && box->left < visible.right()) return box->measure;
        }
    }
    return 0;
}

QRect ScoreView::CellRect(int slot, int16_t measure) const
{
    return impl_->ToViewport(impl_->layout.CellRect(slot, measure));
}

void ScoreView::SelectAll()
{
    // The document's own extent, which a layout not yet renewed may miss.
    tonaroengine::Document* document = impl_->document;
    if (document == nullptr || document->StaffCount() <= 0 || document->MeasureCount() <= 0) return;
    impl_->anchorSlot = 1;
    impl_->anchorMeasure = 1;
    impl_->Select(1, 1, document->StaffCount(), static_cast<int16_t>(document->MeasureCount()));
}

void ScoreView::ClearSelection()
{
    tonaroengine::Document* document = impl_->document;
    if (document == nullptr) return;
    impl_->anchorSlot = 0;
    impl_->anchorMeasure = 0;
    EREGION region{};
    if (!document->GetSelection(&region)) return;
    document->ClearSelection();
    viewport()->update();
    emit SelectionEdited();
}

const ScoreLayout& ScoreView::Layout() const
{
    return impl_->layout;
}

quint64 ScoreView::PaintCount() const
{
    return impl_->paints;
}

QRegion ScoreView::LastRepaintRequest() const
{
    return impl_->lastRepaint;
}

void ScoreView::paintEvent(QPaintEvent* event)
{
    ++impl_->paints;
    QPainter p(viewport());
    p.fillRect(event->rect(), Qt::white);
    if (impl_->document == nullptr || impl_->layout.IsEmpty()) return;
    p.setRenderHint(QPainter::Antialiasing);
    p.setClipRegion(event->region());
    const double scale = impl_->Scale();
    p.translate(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
    p.scale(scale, scale);
    const QRectF exposed(impl_->ToDocument(event->rect().topLeft()),
                         impl_->ToDocument(event->rect().bottomRight() + QPoint(1, 1)));
    impl_->PaintSelection(p, exposed);
    ScorePainter(*impl_->document, impl_->layout, impl_->markings).Paint(p, exposed);
}

void ScoreView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    Relayout();
}

void ScoreView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || impl_->document == nullptr) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    int slot = 0;
    int16_t measure = 0;
    event->accept();
    if (!impl_->layout.CellAt(impl_->ToDocument(event->position()), &slot, &measure)) return;
    if ((event->modifiers() & Qt::ShiftModifier) != 0) {
        // Extend from the anchor; without one, from the start of the
        // engine's selection.
        if (impl_->anchorMeasure == 0) {
            EREGION current{};
            if (impl_->document->GetSelection(&current)) {
                impl_->anchorSlot = current.startSlot;
                impl_->anchorMeasure = current.startMeas;
            }
        }
        if (impl_->anchorMeasure != 0) {
            impl_->Select(impl_->anchorSlot, impl_->anchorMeasure, slot, measure);
            impl_->pressed = true;
            impl_->dragSlot = slot;
            impl_->dragMeasure = measure;
            return;
        }
    }
    impl_->anchorSlot = slot;
    impl_->anchorMeasure = measure;
    impl_->dragSlot = slot;
    impl_->dragMeasure = measure;
    impl_->pressed = true;
    impl_->Select(slot, measure, slot, measure);
}

void ScoreView::mouseMoveEvent(QMouseEvent* event)
{
    if (!impl_->pressed || (event->buttons() & Qt::LeftButton) == 0 || impl_->document == nullptr) {
        QAbstractScrollArea::mouseMoveEvent(event);
        return;
    }
    int slot = 0;
    int16_t measure = 0;
    if (!impl_->layout.CellAt(impl_->ToDocument(event->position()), &slot, &measure)) return;
    if (slot == impl_->dragSlot && measure == impl_->dragMeasure) return;
    impl_->dragSlot = slot;
    impl_->dragMeasure = measure;
    impl_->Select(impl_->anchorSlot, impl_->anchorMeasure, slot, measure);
}

void ScoreView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && impl_->document != nullptr) {
        impl_->pressed = false;
        event->accept();
        return;
    }
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void ScoreView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        ClearSelection();
        event->accept();
    } else if (event->matches(QKeySequence::SelectAll)) {
        SelectAll();
        event->accept();
    } else if (event->matches(QKeySequence::ZoomIn)) {
        ZoomIn();
        event->accept();
    } else if (event->matches(QKeySequence::ZoomOut)) {
        ZoomOut();
        event->accept();
    } else {
        QAbstractScrollArea::keyPressEvent(event);
    }
}

void ScoreView::wheelEvent(QWheelEvent* event)
{
    if ((event->modifiers() & Qt::ControlModifier) != 0) {
        if (event->angleDelta().y() > 0)
            ZoomIn();
        else if (event->angleDelta().y() < 0)
            ZoomOut();
        event->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}

void ScoreView::scrollContentsBy(int dx, int dy)
{
    viewport()->scroll(dx, dy);
}

}  // namespace tonaroapp
