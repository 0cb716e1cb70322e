#include "host/app/window/scoreview.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "host/app/scorenotes.h"
#include "host/app/window/scorelayout.h"
#include "host/app/window/scorepitch.h"
#include "host/engine/document.h"
#include "host/engine/musicxml/musicxmlio.h"
#include "tonaropdk/hostapi/clefdef.h"
#include "tonaropdk/hostapi/exentry.h"

namespace tonaroapp {

namespace {

constexpr double kSp = ScoreLayout::kSpace;
constexpr std::array<int, 11> kZoomSteps{25, 33, 50, 67, 75, 100, 125, 150, 200, 300, 400};
constexpr int kLayers = 4;

// Key-signature accidentals on a treble staff (0 = top line): sharps in the
// order F C G D A E B, flats in the order B E A D G C F.
constexpr std::array<int, 7> kSharpPositions{0, -3, 1, -2, -5, -1, -4};
constexpr std::array<int, 7> kFlatPositions{-4, -1, -5, -2, -6, -3, -7};

const QColor kInk(20, 20, 20);
const QColor kSelectionFill(60, 120, 230, 55);
const QColor kSelectionEdge(40, 100, 210);

// y of a staff position (0 = top line, steps of half a space downward).
double PositionY(double staffTop, int position)
{
    return staffTop - position * kSp / 2;
}

// The plain value under a duration (8192 down to 1) and the dots after it.
int PlainValue(int32_t duration)
{
    for (int value = 8192; value >= 1; value /= 2)
        if (duration & value) return value;
    return 0;
}

int Dots(int32_t duration)
{
    const int plain = PlainValue(duration);
    int dots = 0;
    for (int bit = plain / 2; bit >= 1 && (duration & bit); bit /= 2) ++dots;
    return dots;
}

int Flags(int plain)
{
    int flags = 0;
    for (int value = 512; value >= 1 && plain <= value; value /= 2) ++flags;
    return std::min(flags, 5);
}

bool IsNote(const EXENTRY& entry)
{
    return (entry.flags & EXENTRY_NOTE) != 0 && entry.numNotes > 0 && entry.numNotes <= EXENTRY_MAXNOTES;
}

}  // namespace

struct ScoreView::Impl {
    explicit Impl(ScoreView* view);

    double Scale() const { return zoom / 100.0; }
    QPointF ToDocument(QPointF viewportPoint) const;
    QRect ToViewport(const QRectF& documentRect) const;
    void UpdateScrollBars();
    void Select(int slotA, int16_t measureA, int slotB, int16_t measureB);

    // Painting, in document units.
    void PaintSystem(QPainter& p, const ScoreLayout::SystemBox& system, const QRectF& exposed);
    void PaintMeasure(QPainter& p, const ScoreLayout::MeasureBox& box, const ScoreLayout::SystemBox& system,
                      const QRectF& exposed);
    void PaintPrefix(QPainter& p, const ScoreLayout::MeasureBox& box, int slot, double staffTop);
    void PaintEntries(QPainter& p, int16_t staff, int16_t measure, double staffTop);
    void PaintEntry(QPainter& p, const EXENTRY& entry, int16_t staff, int16_t measure, double staffTop, double x,
                    int stemRule, double scale);
    void PaintRest(QPainter& p, int32_t duration, double x, double staffTop, int offset);
    void PaintSelection(QPainter& p, const QRectF& exposed);
    void PaintClef(QPainter& p, const StaffPlacement& placement, double x, double staffTop);
    void PaintAccidental(QPainter& p, int alteration, double x, double y, double scale);
    void PaintGlyph(QPainter& p, const QString& text, QPointF centre, double size);

    ScoreView* view;
    tonaroengine::Document* document = nullptr;
    ScoreLayout layout;
    std::vector<std::string> names;
    int zoom = 100;
    quint64 paints = 0;
    QRegion lastRepaint;

    bool pressed = false;
    int anchorSlot = 0;
    int16_t anchorMeasure = 0;
    int dragSlot = 0;
    int16_t dragMeasure = 0;

    QString glyphFamily;
    bool hasSharp = false, hasFlat = false, hasNatural = false, hasDoubleSharp = false, hasDoubleFlat = false;
};

ScoreView::Impl::Impl(ScoreView* owner) : view(owner)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    glyphFamily = font.family();
    const QFontMetricsF metrics(font);
    hasSharp = metrics.inFontUcs4(0x266F);
    hasFlat = metrics.inFontUcs4(0x266D);
    hasNatural = metrics.inFontUcs4(0x266E);
    hasDoubleSharp = metrics.inFontUcs4(0x1D12A);
    hasDoubleFlat = metrics.inFontUcs4(0x1D12B);
}

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

void ScoreView::Impl::PaintGlyph(QPainter& p, const QString& text, QPointF centre, double size)
{
    QFont font(glyphFamily);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(size))));
    const QFontMetricsF metrics(font);
    const QRectF ink = metrics.tightBoundingRect(text);
    p.setFont(font);
    p.drawText(centre - ink.center(), text);
}

void ScoreView::Impl::PaintAccidental(QPainter& p, int alteration, double x, double y, double scale)
{
    const double s = kSp * scale;
    p.save();
    p.setPen(QPen(kInk, 0.14 * s));
    p.setBrush(kInk);
    auto flat = [&](double fx) {
        if (hasFlat) {
            // The belly of a flat sits on the note's line or space.
            PaintGlyph(p, QString(QChar(0x266D)), QPointF(fx, y - 0.45 * s), 2.6 * s);
            return;
        }
        QPainterPath path;
        path.moveTo(fx - 0.35 * s, y - 2.0 * s);
        path.lineTo(fx - 0.35 * s, y + 0.5 * s);
        path.cubicTo(fx + 0.6 * s, y, fx + 0.6 * s, y - 0.8 * s, fx - 0.35 * s, y - 0.3 * s);
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
        p.setBrush(kInk);
    };
    switch (alteration) {
    case 1:
        if (hasSharp) {
            PaintGlyph(p, QString(QChar(0x266F)), QPointF(x, y), 2.6 * s);
        } else {
            p.drawLine(QPointF(x - 0.25 * s, y - 1.2 * s), QPointF(x - 0.25 * s, y + 1.2 * s));
            p.drawLine(QPointF(x + 0.25 * s, y - 1.3 * s), QPointF(x + 0.25 * s, y + 1.1 * s));
            p.drawLine(QPointF(x - 0.6 * s, y - 0.3 * s), QPointF(x + 0.6 * s, y - 0.5 * s));
            p.drawLine(QPointF(x - 0.6 * s, y + 0.5 * s), QPointF(x + 0.6 * s, y + 0.3 * s));
        }
        break;
    case -1:
        flat(x);
        break;
    case 0:
        if (hasNatural) {
            PaintGlyph(p, QString(QChar(0x266E)), QPointF(x, y), 2.6 * s);
        } else {
            p.drawLine(QPointF(x - 0.3 * s, y - 1.2 * s), QPointF(x - 0.3 * s, y + 0.5 * s));
            p.drawLine(QPointF(x + 0.3 * s, y - 0.5 * s), QPointF(x + 0.3 * s, y + 1.2 * s));
            p.drawLine(QPointF(x - 0.3 * s, y - 0.3 * s), QPointF(x + 0.3 * s, y - 0.5 * s));
            p.drawLine(QPointF(x - 0.3 * s, y + 0.5 * s), QPointF(x + 0.3 * s, y + 0.3 * s));
        }
        break;
    case 2:
        if (hasDoubleSharp) {
            PaintGlyph(p, QString::fromUcs4(U"\U0001D12A"), QPointF(x, y), 2.6 * s);
        } else {
            // A bold x, the double sharp's shape.
            p.setPen(QPen(kInk, 0.22 * s, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(x - 0.45 * s, y - 0.45 * s), QPointF(x + 0.45 * s, y + 0.45 * s));
            p.drawLine(QPointF(x - 0.45 * s, y + 0.45 * s), QPointF(x + 0.45 * s, y - 0.45 * s));
        }
        break;
    case -2:
        if (hasDoubleFlat) {
            PaintGlyph(p, QString::fromUcs4(U"\U0001D12B"), QPointF(x, y - 0.45 * s), 2.6 * s);
        } else {
            flat(x - 0.45 * s);
            flat(x + 0.45 * s);
        }
        break;
    default:
        break;
    }
    p.restore();
}

void ScoreView::Impl::PaintClef(QPainter& p, const StaffPlacement& placement, double x, double staffTop)
{
    p.save();
    p.setPen(QPen(kInk, 0.22 * kSp, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    const double s = kSp;
    if (placement.percussion) {
        p.setBrush(kInk);
        p.setPen(Qt::NoPen);
        p.drawRect(QRectF(x + 0.6 * s, PositionY(staffTop, -2), 0.5 * s, 2 * s));
        p.drawRect(QRectF(x + 1.6 * s, PositionY(staffTop, -2), 0.5 * s, 2 * s));
        p.restore();
        return;
    }
    if (placement.tablature) {
        QFont font(glyphFamily);
        font.setPixelSize(static_cast<int>(1.3 * s));
        font.setBold(true);
        p.setFont(font);
        p.drawText(QRectF(x, staffTop - 0.2 * s, 2.6 * s, 4.4 * s), Qt::AlignCenter, QStringLiteral("T\nA\nB"));
        p.restore();
        return;
    }
    // Which sign: by where the clef puts middle C.
    const int middleC = placement.middleC;
    const bool octaveDown = placement.clef == CLEF_TREBLE8VB || placement.clef == CLEF_BASS8VB;
    const double cx = x + 1.6 * s;
    if (middleC <= -9 || placement.clef == CLEF_TREBLE8VB) {
        // G clef, its curl around the G line.
        const double y = PositionY(staffTop, -6);
        QPainterPath path;
        path.moveTo(cx + 0.1 * s, y + 0.2 * s);
        path.cubicTo(cx - 0.9 * s, y + 0.1 * s, cx - 0.7 * s, y - 1.2 * s, cx + 0.2 * s, y - 1.2 * s);
        path.cubicTo(cx + 1.4 * s, y - 1.2 * s, cx + 1.5 * s, y + 1.0 * s, cx + 0.1 * s, y + 1.1 * s);
        path.cubicTo(cx - 1.6 * s, y + 1.1 * s, cx - 1.6 * s, y - 1.6 * s, cx - 0.2 * s, y - 2.6 * s);
        path.cubicTo(cx + 0.8 * s, y - 3.4 * s, cx + 1.0 * s, y - 5.0 * s, cx + 0.3 * s, y - 5.4 * s);
        path.cubicTo(cx - 0.4 * s, y - 5.0 * s, cx - 0.4 * s, y - 3.5 * s, cx + 0.0 * s, y - 2.0 * s);
        path.lineTo(cx + 0.6 * s, y + 2.8 * s);
        path.cubicTo(cx + 0.7 * s, y + 3.6 * s, cx - 0.5 * s, y + 3.8 * s, cx - 0.5 * s, y + 3.0 * s);
        p.drawPath(path);
        p.setBrush(kInk);
        p.drawEllipse(QPointF(cx - 0.35 * s, y + 3.0 * s), 0.3 * s, 0.3 * s);
    } else if (middleC >= 1) {
        // F clef: the dot on the F line and the two dots around it.
        const double y = PositionY(staffTop, middleC - 4 >= -8 ? middleC - 4 : -2);
        const double fx = x + 0.6 * s;
        QPainterPath path;
        path.moveTo(fx, y);
        path.cubicTo(fx, y - 1.5 * s, fx + 2.6 * s, y - 1.6 * s, fx + 2.4 * s, y + 0.3 * s);
        path.cubicTo(fx + 2.2 * s, y + 2.0 * s, fx + 0.8 * s, y + 3.0 * s, fx - 0.2 * s, y + 3.4 * s);
        p.drawPath(path);
        p.setBrush(kInk);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(fx + 0.2 * s, y), 0.4 * s, 0.4 * s);
        p.drawEllipse(QPointF(fx + 3.1 * s, y - 0.5 * s), 0.2 * s, 0.2 * s);
        p.drawEllipse(QPointF(fx + 3.1 * s, y + 0.5 * s), 0.2 * s, 0.2 * s);
    } else {
        // C clef: two bars and two bows meeting on the middle-C line.
        const double y = PositionY(staffTop, middleC);
        const double top = PositionY(staffTop, 0);
        const double bottom = PositionY(staffTop, -8);
        const double bx = x + 1.0 * s;
        p.fillRect(QRectF(bx, top, 0.5 * s, bottom - top), kInk);
        p.drawLine(QPointF(bx + 0.9 * s, top), QPointF(bx + 0.9 * s, bottom));
        QPainterPath path;
        path.moveTo(bx + 1.1 * s, y);
        path.cubicTo(bx + 1.8 * s, y - 0.5 * s, bx + 1.6 * s, top, bx + 2.4 * s, top + 0.2 * s);
        path.cubicTo(bx + 3.2 * s, top + 0.4 * s, bx + 3.2 * s, y - 0.6 * s, bx + 2.4 * s, y - 0.8 * s);
        path.moveTo(bx + 1.1 * s, y);
        path.cubicTo(bx + 1.8 * s, y + 0.5 * s, bx + 1.6 * s, bottom, bx + 2.4 * s, bottom - 0.2 * s);
        path.cubicTo(bx + 3.2 * s, bottom - 0.4 * s, bx + 3.2 * s, y + 0.6 * s, bx + 2.4 * s, y + 0.8 * s);
        p.drawPath(path);
    }
    if (octaveDown) {
        QFont font(glyphFamily);
        font.setPixelSize(static_cast<int>(1.2 * s));
        p.setFont(font);
        p.setPen(kInk);
        p.drawText(QRectF(cx - s, PositionY(staffTop, -8) + 2.0 * s, 2 * s, 1.4 * s), Qt::AlignCenter,
                   QStringLiteral("8"));
    }
    p.restore();
}

void ScoreView::Impl::PaintPrefix(QPainter& p, const ScoreLayout::MeasureBox& box, int slot, double staffTop)
{
    const int16_t staff = document->StaffAtSlot(slot);
    const StaffPlacement placement = PlacementAt(document, staff, box.measure, 0, layout.ShowsConcertPitch());
    double x = box.left + 0.5 * kSp;
    if (box.showsClef) {
        // Inside a system only the staves whose clef changes show one.
        const bool starts = layout.Systems()[static_cast<size_t>(box.system)].firstMeasure == box.measure;
        if (starts ||
            PlacementAt(document, staff, static_cast<int16_t>(box.measure - 1), 0, layout.ShowsConcertPitch()).clef !=
                placement.clef)
            PaintClef(p, placement, x, staffTop);
        x += ScoreLayout::kClefWidth;
    }
    if (box.showsKey) {
        const uint16_t key = ShownKey(placement, document->CellKeySignature(staff, box.measure));
        const int sharps = key <= 0x01FF ? static_cast<int8_t>(key & 0xFF) : 0;
        if (!placement.percussion && sharps != 0) {
            // Shift the treble pattern to the clef, keeping it on the staff.
            int shift = ((placement.middleC + 10) % 7 + 7) % 7;
            if (shift > 3) shift -= 7;
            const auto& positions = sharps > 0 ? kSharpPositions : kFlatPositions;
            for (int i = 0; i < std::min(7, std::abs(sharps)); ++i) {
                PaintAccidental(p, sharps > 0 ? 1 : -1, x + (i + 0.5) * ScoreLayout::kKeyAccidentalWidth,
                                PositionY(staffTop, positions[static_cast<size_t>(i)] + shift), 1.0);
            }
        }
        // The layout reserved room for the widest key of the measure.
        x += box.prefixWidth - (box.showsClef ? ScoreLayout::kClefWidth : 0) -
             (box.showsTime ? ScoreLayout::kTimeWidth : 0);
    }
    if (box.showsTime) {
        int numerator = 0;
        int denominator = 0;
        if (MeasureTimeSignature(document, box.measure, &numerator, &denominator)) {
            QFont font(QStringLiteral("DejaVu Serif"));
            font.setBold(true);
            font.setPixelSize(static_cast<int>(2.4 * kSp));
            p.setFont(font);
            p.setPen(kInk);
            const QRectF upper(x, PositionY(staffTop, 0), ScoreLayout::kTimeWidth - kSp, 2 * kSp);
            const QRectF lower(x, PositionY(staffTop, -4), ScoreLayout::kTimeWidth - kSp, 2 * kSp);
            p.drawText(upper, Qt::AlignCenter, QString::number(numerator));
            p.drawText(lower, Qt::AlignCenter, QString::number(denominator));
        }
    }
}

void ScoreView::Impl::PaintRest(QPainter& p, int32_t duration, double x, double staffTop, int offset)
{
    const double s = kSp;
    const int plain = PlainValue(duration);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    const double middle = PositionY(staffTop, -4 + offset);
    if (plain >= 4096) {
        // Hangs from the line above the middle.
        p.drawRect(QRectF(x - 0.6 * s, middle - s, 1.2 * s, 0.5 * s));
    } else if (plain >= 2048) {
        // Sits on the middle line.
        p.drawRect(QRectF(x - 0.6 * s, middle - 0.5 * s, 1.2 * s, 0.5 * s));
    } else if (plain >= 1024) {
        QPainterPath path;
        path.moveTo(x - 0.3 * s, middle - 1.5 * s);
        path.lineTo(x + 0.4 * s, middle - 0.6 * s);
        path.lineTo(x - 0.2 * s, middle + 0.1 * s);
        path.lineTo(x + 0.4 * s, middle + 0.8 * s);
        path.cubicTo(x - 0.5 * s, middle + 0.5 * s, x - 0.5 * s, middle + 1.3 * s, x + 0.0 * s, middle + 1.6 * s);
        p.setPen(QPen(kInk, 0.3 * s, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    } else {
        // A slanted stem with one hook per flag.
        const int flags = std::max(1, Flags(plain));
        p.setPen(QPen(kInk, 0.15 * s));
        const double top = middle - 1.0 * s;
        const double bottom = middle + (0.6 + 0.8 * flags) * s;
        p.drawLine(QPointF(x + 0.5 * s, top), QPointF(x - 0.1 * s, bottom));
        p.setPen(Qt::NoPen);
        for (int i = 0; i < flags; ++i) {
            const double y = top + i * 0.8 * s;
            p.drawEllipse(QPointF(x - 0.4 * s, y + 0.15 * s), 0.28 * s, 0.28 * s);
            p.setPen(QPen(kInk, 0.12 * s));
            p.drawLine(QPointF(x - 0.4 * s, y + 0.3 * s), QPointF(x + 0.5 * s - i * 0.1 * s, y));
            p.setPen(Qt::NoPen);
        }
    }
    for (int dot = 0; dot < Dots(duration); ++dot)
        p.drawEllipse(QPointF(x + (1.1 + 0.6 * dot) * s, middle - 0.5 * s), 0.18 * s, 0.18 * s);
    p.restore();
}

void ScoreView::Impl::PaintEntry(QPainter& p, const EXENTRY& entry, int16_t staff, int16_t measure,
                                 double staffTop, double x, int stemRule, double scale)
{
    const StaffPlacement placement =
        PlacementAt(document, staff, measure, entry.position, layout.ShowsConcertPitch());
    const uint16_t key = document->CellKeySignature(staff, measure);
    const double s = kSp * scale;
    const int plain = PlainValue(entry.duration);

    // Accidentals as the engine's rule shows them.
    const std::array<int, EXENTRY_MAXNOTES> accidentals = EntryAccidentals(document, entry, placement, key);

    struct Head {
        int position;
        int alteration;
        bool accidental;
        bool tie;
        bool shifted = false;
    };
    std::vector<Head> heads;
    for (int i = 0; i < entry.numNotes; ++i) {
        const EXNOTE& note = entry.notes[i];
        const int accidental = accidentals[static_cast<size_t>(i)];
        heads.push_back({NoteStaffPosition(placement, key, note.displacement), accidental,
                         accidental != kNoAccidental, (note.flags & EXNOTE_TIESTART) != 0});
    }
    std::sort(heads.begin(), heads.end(), [](const Head& a, const Head& b) { return a.position < b.position; });
    const int lowest = heads.front().position;
    const int highest = heads.back().position;
    bool stemUp = stemRule > 0 || (stemRule == 0 && (lowest + highest) < -8);
    const bool hasStem = plain < 4096;

    // Notes a second apart go to the other side of the stem.
    for (size_t i = 1; i < heads.size(); ++i)
        if (heads[i].position == heads[i - 1].position + 1 && !heads[i - 1].shifted) heads[i].shifted = true;

    p.save();
    const double headWidth = (plain >= 4096 ? 1.7 : 1.3) * s;
    const double headHeight = 1.0 * s;
    // Ledger lines.
    p.setPen(QPen(kInk, 0.13 * kSp));
    for (int position = 2; position <= highest; position += 2) {
        const double y = PositionY(staffTop, position);
        p.drawLine(QPointF(x - headWidth, y), QPointF(x + headWidth, y));
    }
    for (int position = -10; position >= lowest; position -= 2) {
        const double y = PositionY(staffTop, position);
        p.drawLine(QPointF(x - headWidth, y), QPointF(x + headWidth, y));
    }

    // Accidentals, in columns so that close ones do not collide.
    std::vector<int> columnBottoms;
    for (auto it = heads.rbegin(); it != heads.rend(); ++it) {
        if (!it->accidental) continue;
        size_t column = 0;
        while (column < columnBottoms.size() && it->position > columnBottoms[column] - 6) ++column;
        if (column == columnBottoms.size()) columnBottoms.push_back(it->position);
        columnBottoms[column] = it->position;
        const double ax = x - headWidth / 2 - (0.9 + 1.1 * static_cast<double>(column)) * s;
        PaintAccidental(p, it->alteration, ax, PositionY(staffTop, it->position), scale);
    }

    // Heads.
    const bool hollow = plain >= 2048;
    const double side = stemUp ? 1.0 : -1.0;
    for (const Head& head : heads) {
        const double hx = x + (head.shifted ? side * headWidth * 0.9 : 0.0);
        const double y = PositionY(staffTop, head.position);
        p.save();
        p.translate(hx, y);
        if (plain < 4096) p.rotate(-20);
        if (hollow) {
            p.setPen(QPen(kInk, (plain >= 4096 ? 0.28 : 0.2) * s));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QPointF(0, 0), headWidth / 2 - 0.1 * s, headHeight / 2 - 0.1 * s);
        } else {
            p.setPen(Qt::NoPen);
            p.setBrush(kInk);
            p.drawEllipse(QPointF(0, 0), headWidth / 2, headHeight / 2);
        }
        p.restore();
        if (plain >= 8192) {
            // The double whole note's side bars.
            p.setPen(QPen(kInk, 0.15 * s));
            for (const double bx : {hx - headWidth / 2 - 0.2 * s, hx + headWidth / 2 + 0.2 * s})
                p.drawLine(QPointF(bx, y - 0.7 * s), QPointF(bx, y + 0.7 * s));
        }
        // Dots, in the space above a note on a line.
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        const double dotY = PositionY(staffTop, head.position % 2 == 0 ? head.position + 1 : head.position);
        for (int dot = 0; dot < Dots(entry.duration); ++dot)
            p.drawEllipse(QPointF(x + headWidth + (0.2 + 0.6 * dot) * s, dotY), 0.18 * s, 0.18 * s);
        if (head.tie) {
            QPainterPath tie;
            const double ty = y + (stemUp ? 0.7 : -0.7) * s;
            const double start = hx + headWidth * 0.6;
            tie.moveTo(start, ty);
            tie.quadTo(start + 1.4 * s, ty + (stemUp ? 0.9 : -0.9) * s, start + 2.8 * s, ty);
            p.setPen(QPen(kInk, 0.14 * s));
            p.setBrush(Qt::NoBrush);
            p.drawPath(tie);
        }
    }

    // Stem and flags.
    if (hasStem) {
        const double stemX = x + side * (headWidth / 2 - 0.06 * s);
        const double from = PositionY(staffTop, stemUp ? lowest : highest);
        const int flags = Flags(plain);
        double to = PositionY(staffTop, stemUp ? highest : lowest) - side * (3.5 + 0.5 * std::max(0, flags - 1)) * s;
        // Stems of notes far off the staff reach the middle line.
        const double middle = PositionY(staffTop, -4);
        if (stemUp && to > middle) to = middle;
        if (!stemUp && to < middle) to = middle;
        p.setPen(QPen(kInk, 0.13 * s));
        p.drawLine(QPointF(stemX, from), QPointF(stemX, to));
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(kInk, 0.22 * s, Qt::SolidLine, Qt::RoundCap));
        for (int f = 0; f < flags; ++f) {
            const double fy = to + side * f * 0.8 * s;
            QPainterPath flag;
            flag.moveTo(stemX, fy);
            flag.cubicTo(stemX + 0.2 * s, fy + side * 0.9 * s, stemX + 1.3 * s, fy + side * 1.2 * s,
                         stemX + 1.0 * s, fy + side * 2.2 * s);
            p.drawPath(flag);
        }
        if ((entry.flags & EXENTRY_GRACE) != 0 && plain <= 512) {
            // The slash of a grace note.
            p.setPen(QPen(kInk, 0.12 * s));
            p.drawLine(QPointF(stemX - 0.6 * s, to + side * 1.6 * s), QPointF(stemX + 0.9 * s, to + side * 0.4 * s));
        }
    }
    p.restore();
}

void ScoreView::Impl::PaintEntries(QPainter& p, int16_t staff, int16_t measure, double staffTop)
{
    std::array<std::vector<EXENTRY>, kLayers> layers;
    int used = 0;
    for (int layer = 0; layer < kLayers; ++layer) {
        if (!document->IsLayerShown(layer)) continue;
        layers[static_cast<size_t>(layer)] = document->Entries(staff, measure, layer);
        if (!layers[static_cast<size_t>(layer)].empty()) ++used;
    }
    for (int layer = 0; layer < kLayers; ++layer) {
        const std::vector<EXENTRY>& entries = layers[static_cast<size_t>(layer)];
        // With several layers in the cell, the first and third point up and
        // the others down; rests move out of each other's way.
        const int stemRule = used > 1 ? (layer % 2 == 0 ? 1 : -1) : 0;
        for (size_t i = 0; i < entries.size(); ++i) {
            const EXENTRY& entry = entries[i];
            double x = layout.EntryX(measure, entry.position);
            double scale = 1.0;
            if (entry.flags & EXENTRY_GRACE) {
                // Graces stand before the note they lead to, smaller.
                int after = 1;
                for (size_t j = i + 1; j < entries.size() && (entries[j].flags & EXENTRY_GRACE) &&
                                       entries[j].position == entry.position;
                     ++j)
                    ++after;
                x -= after * ScoreLayout::kGraceWidth;
                scale = 0.65;
            } else if (entry.duration <= 0) {
                continue;  // null entries are not drawn
            }
            if (IsNote(entry))
                PaintEntry(p, entry, staff, measure, staffTop, x, stemRule, scale);
            else if ((entry.flags & EXENTRY_NOTE) == 0)
                PaintRest(p, entry.duration, x, staffTop, used > 1 ? stemRule * 4 : 0);
        }
    }
}

void ScoreView::Impl::PaintMeasure(QPainter& p, const ScoreLayout::MeasureBox& box,
                                   const ScoreLayout::SystemBox& system, const QRectF& exposed)
{
    const int slotCount = layout.StaffCount();
    for (int slot = 1; slot <= slotCount; ++slot) {
        // Only cells in (or within reach of) the exposed area.
        const QRectF cell = layout.CellRect(slot, box.measure);
        if (cell.bottom() + ScoreLayout::kStaffDistance < exposed.top() ||
            cell.top() - ScoreLayout::kStaffDistance > exposed.bottom())
            continue;
        const double staffTop = layout.StaffTop(slot, box.measure);
        PaintPrefix(p, box, slot, staffTop);
        PaintEntries(p, document->StaffAtSlot(slot), box.measure, staffTop);
    }
    // Barline at the end, through every staff of the system; the last
    // measure ends with a final barline.
    const double right = box.left + box.width;
    const double top = layout.StaffTop(1, box.measure);
    const double bottom = layout.StaffTop(slotCount, box.measure) + ScoreLayout::kStaffHeight;
    p.setPen(QPen(kInk, 0.14 * kSp));
    if (box.measure == layout.MeasureCount()) {
        p.drawLine(QPointF(right - 0.9 * kSp, top), QPointF(right - 0.9 * kSp, bottom));
        p.fillRect(QRectF(right - 0.5 * kSp, top, 0.5 * kSp, bottom - top), kInk);
    } else {
        p.drawLine(QPointF(right, top), QPointF(right, bottom));
    }
    if (box.measure == system.firstMeasure) {
        p.drawLine(QPointF(box.left, top), QPointF(box.left, bottom));
        // The measure number above the system.
        QFont font(glyphFamily);
        font.setItalic(true);
        font.setPixelSize(static_cast<int>(1.4 * kSp));
        p.setFont(font);
        p.setPen(kInk);
        p.drawText(QRectF(box.left, top - 3.2 * kSp, 6 * kSp, 1.8 * kSp), Qt::AlignLeft | Qt::AlignBottom,
                   QString::number(box.measure));
    }
}

void ScoreView::Impl::PaintSystem(QPainter& p, const ScoreLayout::SystemBox& system, const QRectF& exposed)
{
    const int slotCount = layout.StaffCount();
    // Staff lines along the whole system.
    p.setPen(QPen(kInk, 0.11 * kSp));
    for (int slot = 1; slot <= slotCount; ++slot) {
        const double staffTop = layout.StaffTop(slot, system.firstMeasure);
        const double reach = ScoreLayout::kStaffDistance;
        if (staffTop + reach < exposed.top() || staffTop - reach > exposed.bottom()) continue;
        const int16_t staff = document->StaffAtSlot(slot);
        const StaffPlacement placement =
            PlacementAt(document, staff, system.firstMeasure, 0, layout.ShowsConcertPitch());
        // Fewer than five lines are centred on the middle line.
        const int first = (5 - placement.lines) / 2;
        for (int line = first; line < first + placement.lines; ++line) {
            const double y = staffTop + line * kSp;
            p.drawLine(QPointF(std::max(system.left, exposed.left() - kSp), y),
                       QPointF(std::min(system.right, exposed.right() + kSp), y));
        }
        if (layout.HasNames() && static_cast<size_t>(slot - 1) < names.size()) {
            QFont font(glyphFamily);
            font.setPixelSize(static_cast<int>(1.5 * kSp));
            p.setFont(font);
            const QRectF nameRect(system.left - ScoreLayout::kNameWidth, staffTop, ScoreLayout::kNameWidth - kSp,
                                  ScoreLayout::kStaffHeight);
            const QString name = QFontMetricsF(font).elidedText(
                QString::fromStdString(names[static_cast<size_t>(slot - 1)]), Qt::ElideRight, nameRect.width());
            p.drawText(nameRect, Qt::AlignRight | Qt::AlignVCenter, name);
            p.setPen(QPen(kInk, 0.11 * kSp));
        }
    }
    for (int m = system.firstMeasure; m <= system.lastMeasure; ++m) {
        const ScoreLayout::MeasureBox* box = layout.Measure(static_cast<int16_t>(m));
        // Notes of a measure may reach a little into its neighbours.
        if (box->left + box->width < exposed.left() - 4 * kSp || box->left > exposed.right() + 4 * kSp) continue;
        PaintMeasure(p, *box, system, exposed);
    }
}

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
    impl_->document = document;
    impl_->names.clear();
    impl_->anchorSlot = 0;
    impl_->anchorMeasure = 0;
    impl_->pressed = false;
    if (document != nullptr && tonaroengine::HasMusicXmlSource(document))
        impl_->names = StaffPartNames(tonaroengine::MusicXmlSourcePath(document));
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
    impl_->layout.Build(impl_->document, viewport()->width() / impl_->Scale(), impl_->names);
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
    for (const ScoreLayout::SystemBox& system : impl_->layout.Systems()) {
        // Ledger lines and stems may reach into the neighbouring systems.
        const double reach = ScoreLayout::kStaffDistance;
        if (system.top + system.height + reach < exposed.top() || system.top - reach > exposed.bottom()) continue;
        impl_->PaintSystem(p, system, exposed);
    }
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
