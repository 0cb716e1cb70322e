#include "host/app/window/scorepainter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

#include "host/engine/document.h"
#include "tonaropdk/hostapi/clefdef.h"
#include "tonaropdk/hostapi/exentry.h"

namespace tonaroapp {

namespace {

constexpr double kSp = ScoreLayout::kSpace;
constexpr int kLayers = 4;

// Key-signature accidentals on a treble staff (0 = top line): sharps in the
// order F C G D A E B, flats in the order B E A D G C F.
constexpr std::array<int, 7> kSharpPositions{0, -3, 1, -2, -5, -1, -4};
constexpr std::array<int, 7> kFlatPositions{-4, -1, -5, -2, -6, -3, -7};

const QColor kInk(20, 20, 20);
const QString kTextFamily = QStringLiteral("DejaVu Sans");
const QString kSerifFamily = QStringLiteral("DejaVu Serif");

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

// The ink of an accidental centred on (x, y).
QRectF AccidentalBox(int alteration, double x, double y, double s)
{
    switch (alteration) {
    case 1: return QRectF(x - 0.6 * s, y - 1.45 * s, 1.2 * s, 2.9 * s);
    case -1: return QRectF(x - 0.5 * s, y - 2.1 * s, 1.05 * s, 2.7 * s);
    case 0: return QRectF(x - 0.42 * s, y - 1.45 * s, 0.84 * s, 2.9 * s);
    case 2: return QRectF(x - 0.55 * s, y - 0.55 * s, 1.1 * s, 1.1 * s);
    case -2: return QRectF(x - 0.95 * s, y - 2.1 * s, 1.9 * s, 2.7 * s);
    default: return QRectF();
    }
}

QFont Font(const QString& family, double pixels, bool bold = false, bool italic = false)
{
    QFont font(family);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels))));
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

// A filled parallelogram from (x0, y0) to (x1, y1), thick vertically.
void FillSlab(QPainter& p, double x0, double y0, double x1, double y1, double thick)
{
    QPolygonF slab;
    slab << QPointF(x0, y0 - thick / 2) << QPointF(x1, y1 - thick / 2) << QPointF(x1, y1 + thick / 2)
         << QPointF(x0, y0 + thick / 2);
    p.drawPolygon(slab);
}

// A curved band (slur or tie) from a to b, bulging by height (negative:
// upward), thickest in the middle.
void FillArc(QPainter& p, QPointF a, QPointF b, double height, double thick)
{
    const double dx = b.x() - a.x();
    QPainterPath path;
    path.moveTo(a);
    path.cubicTo(QPointF(a.x() + dx * 0.25, a.y() + height), QPointF(b.x() - dx * 0.25, b.y() + height), b);
    const double inner = height + (height < 0 ? thick : -thick);
    path.cubicTo(QPointF(b.x() - dx * 0.25, b.y() + inner), QPointF(a.x() + dx * 0.25, a.y() + inner), a);
    p.setPen(QPen(kInk, 0.03 * kSp));
    p.setBrush(kInk);
    p.drawPath(path);
}

}  // namespace

// One entry of a cell as it will be drawn.
struct ScorePainter::Shape {
    struct Head {
        int position = 0;
        int alteration = 0;
        bool accidental = false;
        bool tie = false;
        bool shifted = false;  // on the other side of the stem (a second in a chord)
        double x = 0;
    };
    EXENTRY entry{};
    int slot = 0;
    int16_t measure = 0;
    int layer = 0;
    int32_t position = 0;
    int graceIndex = -1;
    const NoteMarks* marks = nullptr;
    double x = 0;  // the column: centre of an unshifted notehead, or of a rest
    double scale = 1;
    bool isNote = false;
    int plain = 0;
    int dots = 0;
    std::vector<Head> heads;  // ascending staff positions
    int lowest = 0, highest = 0;
    int stemRule = 0;  // 1 up, -1 down, 0 by the notes
    bool stemUp = true;
    bool hasStem = false;
    double headWidth = 0;
    double stemX = 0, stemFrom = 0, stemTo = 0;
    int flags = 0;
    bool beamed = false;
    int restOffset = 0;        // staff positions a rest moves up (negative: down)
    bool wholeMeasure = false;
    struct Placed {
        int alteration;
        double x, y;
    };
    std::vector<Placed> accidentals;

    double Side() const { return stemUp ? 1.0 : -1.0; }
    double HeadHeight() const { return 1.0 * kSp * scale; }
};

struct ScorePainter::Cell {
    int slot = 0;
    int16_t staff = 0;
    int16_t measure = 0;
    double staffTop = 0;
    int usedLayers = 0;
    std::vector<Shape> shapes;  // layer by layer, in entry order
    struct Beam {
        std::vector<size_t> members;  // indices into shapes
        double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        bool up = true;
    };
    std::vector<Beam> beams;
};

ScorePainter::ScorePainter(const tonaroengine::Document& document, const ScoreLayout& layout,
                           const ScoreMarkings& markings)
    : document_(document), layout_(layout), markings_(markings)
{
}

double ScorePainter::HeaderHeight(const Credits& credits)
{
    if (credits.IsEmpty()) return 0;
    double height = 1.0 * kSp;
    if (!credits.title.empty()) height += 4.5 * kSp;
    if (!credits.subtitle.empty()) height += 2.5 * kSp;
    height += static_cast<double>(std::max(credits.left.size(), credits.right.size())) * 2.0 * kSp;
    return height + 2.0 * kSp;
}

void ScorePainter::Record(ScoreItem::Kind kind, const QRectF& box, const Shape& shape) const
{
    if (sink_ == nullptr) return;
    ScoreItem item;
    item.kind = kind;
    item.box = box;
    item.slot = shape.slot;
    item.measure = shape.measure;
    item.layer = shape.layer;
    item.position = shape.position;
    item.graceIndex = shape.graceIndex;
    sink_->push_back(item);
}

// --- Symbols ----------------------------------------------------------------------------

void ScorePainter::PaintAccidental(QPainter& p, int alteration, double x, double y, double scale) const
{
    const double s = kSp * scale;
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    const double thin = 0.16 * s;
    auto flat = [&](double fx) {
        p.drawRect(QRectF(fx - 0.45 * s, y - 2.1 * s, thin, 2.7 * s));
        QPainterPath belly;
        belly.setFillRule(Qt::OddEvenFill);
        belly.moveTo(fx - 0.4 * s, y - 0.35 * s);
        belly.cubicTo(fx + 0.1 * s, y - 0.85 * s, fx + 0.95 * s, y - 0.65 * s, fx + 0.55 * s, y + 0.0 * s);
        belly.cubicTo(fx + 0.35 * s, y + 0.3 * s, fx - 0.05 * s, y + 0.45 * s, fx - 0.4 * s, y + 0.6 * s);
        belly.closeSubpath();
        belly.moveTo(fx - 0.3 * s, y - 0.1 * s);
        belly.cubicTo(fx + 0.0 * s, y - 0.45 * s, fx + 0.5 * s, y - 0.5 * s, fx + 0.3 * s, y + 0.0 * s);
        belly.cubicTo(fx + 0.15 * s, y + 0.2 * s, fx - 0.05 * s, y + 0.3 * s, fx - 0.3 * s, y + 0.42 * s);
        belly.closeSubpath();
        p.drawPath(belly);
    };
    switch (alteration) {
    case 1:
        p.drawRect(QRectF(x - 0.3 * s - thin / 2, y - 1.2 * s, thin, 2.65 * s));
        p.drawRect(QRectF(x + 0.3 * s - thin / 2, y - 1.45 * s, thin, 2.65 * s));
        FillSlab(p, x - 0.6 * s, y - 0.35 * s, x + 0.6 * s, y - 0.7 * s, 0.42 * s);
        FillSlab(p, x - 0.6 * s, y + 0.7 * s, x + 0.6 * s, y + 0.35 * s, 0.42 * s);
        break;
    case -1:
        flat(x);
        break;
    case 0:
        p.drawRect(QRectF(x - 0.3 * s - thin / 2, y - 1.45 * s, thin, 2.2 * s));
        p.drawRect(QRectF(x + 0.3 * s - thin / 2, y - 0.75 * s, thin, 2.2 * s));
        FillSlab(p, x - 0.3 * s, y - 0.3 * s, x + 0.3 * s, y - 0.5 * s, 0.38 * s);
        FillSlab(p, x - 0.3 * s, y + 0.5 * s, x + 0.3 * s, y + 0.3 * s, 0.38 * s);
        break;
    case 2:
        p.setPen(QPen(kInk, 0.2 * s, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(x - 0.4 * s, y - 0.4 * s), QPointF(x + 0.4 * s, y + 0.4 * s));
        p.drawLine(QPointF(x - 0.4 * s, y + 0.4 * s), QPointF(x + 0.4 * s, y - 0.4 * s));
        p.setPen(Qt::NoPen);
        for (const double dx : {-0.4, 0.4})
            for (const double dy : {-0.4, 0.4})
                p.drawRect(QRectF(x + (dx - 0.15) * s, y + (dy - 0.15) * s, 0.3 * s, 0.3 * s));
        break;
    case -2:
        flat(x - 0.45 * s);
        flat(x + 0.5 * s);
        break;
    default:
        break;
    }
    p.restore();
}

void ScorePainter::PaintClef(QPainter& p, const StaffPlacement& placement, double x, double staffTop) const
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
        QFont font(kTextFamily);
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
        QFont font(kTextFamily);
        font.setPixelSize(static_cast<int>(1.2 * s));
        p.setFont(font);
        p.setPen(kInk);
        p.drawText(QRectF(cx - s, PositionY(staffTop, -8) + 2.0 * s, 2 * s, 1.4 * s), Qt::AlignCenter,
                   QStringLiteral("8"));
    }
    p.restore();
}

void ScorePainter::PaintTime(QPainter& p, int16_t measure, double x, double staffTop) const
{
    int numerator = 0;
    int denominator = 0;
    if (!MeasureTimeSignature(&document_, measure, &numerator, &denominator)) return;
    const MeasureMarks::TimeSymbol symbol = markings_.Measure(measure).time;
    const double cx = x + (ScoreLayout::kTimeWidth - kSp) / 2;
    if (symbol != MeasureMarks::TimeSymbol::Numbers) {
        // The C of common time, a thick open ring; cut time strikes it.
        const double cy = PositionY(staffTop, -4);
        QPainterPath ring;
        ring.setFillRule(Qt::OddEvenFill);
        ring.addEllipse(QPointF(cx, cy), 1.15 * kSp, 1.0 * kSp);
        ring.addEllipse(QPointF(cx + 0.2 * kSp, cy), 0.75 * kSp, 0.78 * kSp);
        QPainterPath opening;
        opening.addRect(QRectF(cx + 0.35 * kSp, cy - 0.45 * kSp, 1.0 * kSp, 0.9 * kSp));
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        p.drawPath(ring.subtracted(opening));
        p.drawEllipse(QPointF(cx + 0.85 * kSp, cy - 0.55 * kSp), 0.28 * kSp, 0.28 * kSp);
        if (symbol == MeasureMarks::TimeSymbol::Cut)
            p.drawRect(QRectF(cx - 0.08 * kSp, cy - 1.7 * kSp, 0.16 * kSp, 3.4 * kSp));
        return;
    }
    p.setFont(Font(kSerifFamily, 2.4 * kSp, true));
    p.setPen(kInk);
    const QRectF upper(x, PositionY(staffTop, 0), ScoreLayout::kTimeWidth - kSp, 2 * kSp);
    const QRectF lower(x, PositionY(staffTop, -4), ScoreLayout::kTimeWidth - kSp, 2 * kSp);
    p.drawText(upper, Qt::AlignCenter, QString::number(numerator));
    p.drawText(lower, Qt::AlignCenter, QString::number(denominator));
}

void ScorePainter::PaintPrefix(QPainter& p, const ScoreLayout::MeasureBox& box, int slot, double staffTop) const
{
    const int16_t staff = document_.StaffAtSlot(slot);
    const bool concert = layout_.ShowsConcertPitch();
    const StaffPlacement placement = PlacementAt(&document_, staff, box.measure, 0, concert);
    const bool starts = layout_.Systems()[static_cast<size_t>(box.system)].firstMeasure == box.measure;
    double x = box.left + 0.5 * kSp;
    if (box.showsClef) {
        // Inside a system only the staves whose clef changes show one.
        if (starts ||
            PlacementAt(&document_, staff, static_cast<int16_t>(box.measure - 1), 0, concert).clef != placement.clef)
            PaintClef(p, placement, x, staffTop);
        x += ScoreLayout::kClefWidth;
    }
    if (box.showsKey) {
        const uint16_t key = ShownKey(placement, document_.CellKeySignature(staff, box.measure));
        const int sharps = key <= 0x01FF ? static_cast<int8_t>(key & 0xFF) : 0;
        // Shift the treble pattern to the clef, keeping it on the staff.
        int shift = ((placement.middleC + 10) % 7 + 7) % 7;
        if (shift > 3) shift -= 7;
        double ax = x;
        if (!placement.percussion && box.measure > 1) {
            // Naturals cancel what the key before had and this one has not.
            const StaffPlacement before =
                PlacementAt(&document_, staff, static_cast<int16_t>(box.measure - 1), 0, concert);
            const uint16_t previous =
                ShownKey(before, document_.CellKeySignature(staff, static_cast<int16_t>(box.measure - 1)));
            const int cancels = KeyCancellations(previous, key);
            const int was = static_cast<int8_t>(previous & 0xFF);
            const int now = sharps;
            const int keep = (was > 0) == (now > 0) ? std::abs(now) : 0;
            const auto& positions = was > 0 ? kSharpPositions : kFlatPositions;
            for (int i = keep; i < keep + cancels && i < 7; ++i) {
                PaintAccidental(p, 0, ax + 0.5 * ScoreLayout::kKeyAccidentalWidth,
                                PositionY(staffTop, positions[static_cast<size_t>(i)] + shift), 1.0);
                ax += ScoreLayout::kKeyAccidentalWidth;
            }
        }
        if (!placement.percussion && sharps != 0) {
            const auto& positions = sharps > 0 ? kSharpPositions : kFlatPositions;
            for (int i = 0; i < std::min(7, std::abs(sharps)); ++i) {
                PaintAccidental(p, sharps > 0 ? 1 : -1, ax + 0.5 * ScoreLayout::kKeyAccidentalWidth,
                                PositionY(staffTop, positions[static_cast<size_t>(i)] + shift), 1.0);
                ax += ScoreLayout::kKeyAccidentalWidth;
            }
        }
        // The layout reserved room for the widest key of the measure.
        x += box.prefixWidth - (box.showsClef ? ScoreLayout::kClefWidth : 0) -
             (box.showsTime ? ScoreLayout::kTimeWidth : 0);
    }
    if (box.showsTime) PaintTime(p, box.measure, x, staffTop);
}

// --- Entries ----------------------------------------------------------------------------

ScorePainter::Cell ScorePainter::BuildCell(int slot, int16_t measure, double staffTop) const
{
    Cell cell;
    cell.slot = slot;
    cell.staff = document_.StaffAtSlot(slot);
    cell.measure = measure;
    cell.staffTop = staffTop;
    const ScoreLayout::MeasureBox* box = layout_.Measure(measure);
    const int32_t measureDuration = document_.MeasureDuration(measure);
    const uint16_t key = document_.CellKeySignature(cell.staff, measure);
    std::array<std::vector<EXENTRY>, kLayers> layers;
    for (int layer = 0; layer < kLayers; ++layer) {
        if (!document_.IsLayerShown(layer)) continue;
        layers[static_cast<size_t>(layer)] = document_.Entries(cell.staff, measure, layer);
        if (!layers[static_cast<size_t>(layer)].empty()) ++cell.usedLayers;
    }

    // Entries, heads and accidentals.
    for (int layer = 0; layer < kLayers; ++layer) {
        const std::vector<EXENTRY>& entries = layers[static_cast<size_t>(layer)];
        int regular = 0;
        for (const EXENTRY& entry : entries)
            if (!(entry.flags & EXENTRY_GRACE) && entry.duration > 0) ++regular;
        int32_t gracePosition = -1;
        int graceCount = 0;
        for (size_t i = 0; i < entries.size(); ++i) {
            const EXENTRY& entry = entries[i];
            Shape shape;
            shape.entry = entry;
            shape.slot = slot;
            shape.measure = measure;
            shape.layer = layer;
            shape.position = entry.position;
            shape.x = layout_.EntryX(measure, entry.position);
            const bool grace = (entry.flags & EXENTRY_GRACE) != 0;
            if (grace) {
                graceCount = entry.position == gracePosition ? graceCount + 1 : 0;
                gracePosition = entry.position;
                shape.graceIndex = graceCount;
                // Graces stand before the note they lead to, smaller.
                int after = 1;
                for (size_t j = i + 1;
                     j < entries.size() && (entries[j].flags & EXENTRY_GRACE) && entries[j].position == entry.position; ++j)
                    ++after;
                shape.x -= after * ScoreLayout::kGraceWidth;
                shape.scale = 0.65;
            } else if (entry.duration <= 0) {
                continue;  // null entries are not drawn
            }
            shape.marks = markings_.Note(slot, measure, layer, shape.position, shape.graceIndex);
            shape.plain = PlainValue(entry.duration);
            shape.dots = Dots(entry.duration);
            // With several layers in the cell, the first and third point up
            // and the others down; rests move out of each other's way.
            shape.stemRule = cell.usedLayers > 1 ? (layer % 2 == 0 ? 1 : -1) : 0;
            shape.isNote = IsNote(entry);
            if (!shape.isNote) {
                if (entry.flags & EXENTRY_NOTE) continue;
                shape.restOffset = cell.usedLayers > 1 ? shape.stemRule * 4 : 0;
                // A rest alone in its measure, as long as it, is a whole
                // rest in the middle of the measure.
                if (!grace && regular == 1 &&
                    ((shape.marks && shape.marks->wholeMeasureRest) || entry.duration >= measureDuration) && box) {
                    shape.wholeMeasure = true;
                    shape.plain = measureDuration >= 8192 ? 8192 : 4096;
                    shape.dots = 0;
                    shape.x = box->left + box->prefixWidth + (box->width - box->prefixWidth) / 2;
                }
                cell.shapes.push_back(std::move(shape));
                continue;
            }
            const StaffPlacement placement =
                PlacementAt(&document_, cell.staff, measure, entry.position, layout_.ShowsConcertPitch());
            const std::array<int, EXENTRY_MAXNOTES> accidentals = EntryAccidentals(&document_, entry, placement, key);
            for (int n = 0; n < entry.numNotes; ++n) {
                const EXNOTE& note = entry.notes[n];
                Shape::Head head;
                head.position = NoteStaffPosition(placement, key, note.displacement);
                head.alteration = accidentals[static_cast<size_t>(n)];
                head.accidental = head.alteration != kNoAccidental;
                head.tie = (note.flags & EXNOTE_TIESTART) != 0;
                shape.heads.push_back(head);
            }
            std::sort(shape.heads.begin(), shape.heads.end(),
                      [](const Shape::Head& a, const Shape::Head& b) { return a.position < b.position; });
            shape.lowest = shape.heads.front().position;
            shape.highest = shape.heads.back().position;
            shape.stemUp = shape.stemRule > 0 || (shape.stemRule == 0 && (shape.lowest + shape.highest) < -8);
            shape.hasStem = shape.plain < 4096;
            shape.flags = Flags(shape.plain);
            shape.headWidth = (shape.plain >= 4096 ? 1.7 : 1.3) * kSp * shape.scale;
            cell.shapes.push_back(std::move(shape));
        }
    }

    // Beamed groups share one stem direction: the note farthest from the
    // middle line decides, unless the voice does.
    for (size_t i = 0; i < cell.shapes.size(); ++i) {
        const Shape& first = cell.shapes[i];
        if (!first.isNote || !first.marks || first.marks->beams[0] != BeamState::Begin) continue;
        Cell::Beam beam;
        beam.members.push_back(i);
        size_t j = i + 1;
        for (; j < cell.shapes.size() && cell.shapes[j].layer == first.layer; ++j) {
            const Shape& next = cell.shapes[j];
            if (!next.isNote || !next.marks || (next.graceIndex >= 0) != (first.graceIndex >= 0)) continue;
            const BeamState state = next.marks->beams[0];
            if (state == BeamState::Continue || state == BeamState::End) beam.members.push_back(j);
            if (state != BeamState::Continue) break;
        }
        if (beam.members.size() < 2 || cell.shapes[beam.members.back()].marks->beams[0] != BeamState::End) continue;
        int above = 0, below = 0;
        for (size_t m : beam.members) {
            above = std::max(above, cell.shapes[m].highest + 4);
            below = std::max(below, -4 - cell.shapes[m].lowest);
        }
        beam.up = first.stemRule != 0 ? first.stemRule > 0 : below > above;
        for (size_t m : beam.members) {
            cell.shapes[m].stemUp = beam.up;
            cell.shapes[m].beamed = true;
        }
        cell.beams.push_back(std::move(beam));
        i = j;
    }

    // Voices that meet at a second or a unison: the upper voice's notes
    // move to the right of the lower's.
    for (size_t a = 0; a < cell.shapes.size(); ++a) {
        for (size_t b = a + 1; b < cell.shapes.size(); ++b) {
            Shape& one = cell.shapes[a];
            Shape& two = cell.shapes[b];
            if (!one.isNote || !two.isNote || one.layer == two.layer || std::abs(one.x - two.x) > 0.1) continue;
            bool close = false;
            for (const auto& h1 : one.heads)
                for (const auto& h2 : two.heads) close = close || std::abs(h1.position - h2.position) <= 1;
            if (!close) continue;
            Shape& mover = one.stemUp && !two.stemUp ? one : two;
            mover.x += std::max(one.headWidth, two.headWidth) * (mover.heads.size() > 1 ? 1.6 : 1.05);
        }
    }

    // Heads beside the stem, and the stems' natural length.
    for (Shape& shape : cell.shapes) {
        if (!shape.isNote) continue;
        const double s = kSp * shape.scale;
        for (size_t i = 0; i < shape.heads.size(); ++i) {
            Shape::Head& head = shape.heads[i];
            // Notes a second apart go to the other side of the stem.
            head.shifted = i > 0 && head.position == shape.heads[i - 1].position + 1 && !shape.heads[i - 1].shifted;
            if (!shape.stemUp && i + 1 < shape.heads.size()) head.shifted = false;
        }
        if (!shape.stemUp) {
            // Stems down: the lower note of a second moves left.
            for (auto& head : shape.heads) head.shifted = false;
            for (size_t i = shape.heads.size(); i-- > 1;) {
                if (shape.heads[i - 1].position == shape.heads[i].position - 1 && !shape.heads[i].shifted)
                    shape.heads[i - 1].shifted = true;
            }
        }
        for (auto& head : shape.heads) head.x = shape.x + (head.shifted ? shape.Side() * shape.headWidth * 0.9 : 0.0);
        if (!shape.hasStem) continue;
        const double side = shape.Side();
        shape.stemX = shape.x + side * (shape.headWidth / 2 - 0.06 * s);
        shape.stemFrom = PositionY(staffTop, shape.stemUp ? shape.lowest : shape.highest);
        double to = PositionY(staffTop, shape.stemUp ? shape.highest : shape.lowest) -
                    side * (3.5 + 0.5 * std::max(0, shape.flags - 1)) * s;
        // Stems of notes far off the staff reach the middle line.
        const double middle = PositionY(staffTop, -4);
        if (shape.scale >= 1 && shape.stemUp && to > middle) to = middle;
        if (shape.scale >= 1 && !shape.stemUp && to < middle) to = middle;
        shape.stemTo = to;
    }

    // Beams: a straight line over the stems, slanted with the melody by at
    // most a space, and far enough from every head.
    for (Cell::Beam& beam : cell.beams) {
        const Shape& first = cell.shapes[beam.members.front()];
        const Shape& last = cell.shapes[beam.members.back()];
        const double s = kSp * first.scale;
        int levels = 1;
        for (size_t m : beam.members)
            for (int level = 1; level < NoteMarks::kBeamLevels; ++level)
                if (cell.shapes[m].marks->beams[static_cast<size_t>(level)] != BeamState::None)
                    levels = std::max(levels, level + 1);
        beam.x0 = first.stemX;
        beam.x1 = last.stemX;
        const double side = beam.up ? 1.0 : -1.0;
        auto tip = [&](const Shape& shape) {
            return PositionY(staffTop, beam.up ? shape.highest : shape.lowest) - side * 3.5 * s;
        };
        double slope = beam.x1 > beam.x0 ? (tip(last) - tip(first)) / (beam.x1 - beam.x0) : 0.0;
        const double rise = std::clamp(slope * (beam.x1 - beam.x0), -1.0 * s, 1.0 * s);
        slope = beam.x1 > beam.x0 ? rise / (beam.x1 - beam.x0) : 0.0;
        // Every stem at least this long from its farthest head.
        const double shortest = (2.75 + 0.75 * (levels - 1)) * s;
        double y0 = tip(first);
        for (size_t m : beam.members) {
            const Shape& shape = cell.shapes[m];
            const double head = PositionY(staffTop, beam.up ? shape.highest : shape.lowest);
            const double at = y0 + slope * (shape.stemX - beam.x0);
            const double need = head - side * shortest;
            if (beam.up && at > need) y0 -= at - need;
            if (!beam.up && at < need) y0 += need - at;
        }
        beam.y0 = y0;
        beam.y1 = y0 + slope * (beam.x1 - beam.x0);
        for (size_t m : beam.members) {
            Shape& shape = cell.shapes[m];
            shape.stemTo = y0 + slope * (shape.stemX - beam.x0);
        }
    }

    // Rests of several voices move away from the other voices' notes.
    if (cell.usedLayers > 1) {
        for (Shape& rest : cell.shapes) {
            if (rest.isNote) continue;
            const int away = rest.restOffset >= 0 ? 2 : -2;
            for (int tries = 0; tries < 8; ++tries) {
                const double middle = PositionY(staffTop, -4 + rest.restOffset);
                const QRectF box(rest.x - 0.8 * kSp, middle - 1.8 * kSp, 1.6 * kSp, 3.6 * kSp);
                bool hit = false;
                for (const Shape& other : cell.shapes) {
                    if (!other.isNote || other.layer == rest.layer) continue;
                    for (const auto& head : other.heads) {
                        const double y = PositionY(staffTop, head.position);
                        if (QRectF(head.x - other.headWidth / 2, y - 0.5 * kSp, other.headWidth, kSp).intersects(box))
                            hit = true;
                    }
                }
                if (!hit) break;
                rest.restOffset += away;
            }
        }
    }

    // Accidentals, right to left in columns, clear of every head and of
    // each other at the same time position.
    for (size_t a = 0; a < cell.shapes.size(); ++a) {
        Shape& shape = cell.shapes[a];
        if (!shape.isNote) continue;
        const double s = kSp * shape.scale;
        std::vector<QRectF> taken;
        double leftmost = shape.x - shape.headWidth / 2;
        for (const Shape& other : cell.shapes) {
            if (!other.isNote || std::abs(other.x - shape.x) > 3 * kSp) continue;
            for (const auto& head : other.heads) {
                const double y = PositionY(staffTop, head.position);
                taken.emplace_back(head.x - other.headWidth / 2, y - 0.5 * other.HeadHeight(), other.headWidth,
                                   other.HeadHeight());
                if (std::abs(other.x - shape.x) < 0.1 || (&other != &shape && other.x < shape.x))
                    leftmost = std::min(leftmost, head.x - other.headWidth / 2);
            }
            for (const auto& placed : other.accidentals)
                taken.push_back(AccidentalBox(placed.alteration, placed.x, placed.y, kSp * other.scale));
        }
        for (auto it = shape.heads.rbegin(); it != shape.heads.rend(); ++it) {
            if (!it->accidental) continue;
            const double y = PositionY(staffTop, it->position);
            double right = std::min(leftmost, it->x - shape.headWidth / 2) - 0.2 * s;
            for (int guard = 0; guard < 24; ++guard) {
                QRectF box = AccidentalBox(it->alteration, 0, y, s);
                box.moveRight(right);
                double blocked = right;
                for (const QRectF& other : taken)
                    if (other.adjusted(0, 0.15 * s, 0, -0.15 * s).intersects(box)) blocked = std::min(blocked, other.left());
                if (blocked >= right) break;
                right = blocked - 0.12 * s;
            }
            const QRectF unit = AccidentalBox(it->alteration, 0, y, s);
            const double ax = right - unit.right();
            shape.accidentals.push_back({it->alteration, ax, y});
            taken.push_back(AccidentalBox(it->alteration, ax, y, s));
        }
    }
    return cell;
}

void ScorePainter::PaintRest(QPainter& p, const Shape& shape, double staffTop) const
{
    const double s = kSp * shape.scale;
    const double x = shape.x;
    const int plain = shape.plain;
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    const double middle = PositionY(staffTop, -4 + shape.restOffset);
    QRectF ink;
    if (plain >= 8192) {
        // A block filling the space above the middle line.
        ink = QRectF(x - 0.3 * s, middle - s, 0.6 * s, s);
        p.drawRect(ink);
    } else if (plain >= 4096) {
        // Hangs from the line above the middle.
        ink = QRectF(x - 0.6 * s, middle - s, 1.2 * s, 0.5 * s);
        p.drawRect(ink);
    } else if (plain >= 2048) {
        // Sits on the middle line.
        ink = QRectF(x - 0.6 * s, middle - 0.5 * s, 1.2 * s, 0.5 * s);
        p.drawRect(ink);
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
        ink = QRectF(x - 0.6 * s, middle - 1.65 * s, 1.2 * s, 3.4 * s);
    } else {
        // A slanted stem with one hook per flag.
        const int flags = std::max(1, Flags(plain));
        p.setPen(QPen(kInk, 0.15 * s));
        const double top = middle - 1.0 * s;
        const double bottom = middle + (0.6 + 0.8 * (flags - 1)) * s;
        p.drawLine(QPointF(x + 0.5 * s, top), QPointF(x - 0.1 * s, bottom));
        p.setPen(Qt::NoPen);
        for (int i = 0; i < flags; ++i) {
            const double y = top + i * 0.8 * s;
            p.drawEllipse(QPointF(x - 0.4 * s, y + 0.15 * s), 0.28 * s, 0.28 * s);
            p.setPen(QPen(kInk, 0.12 * s));
            p.drawLine(QPointF(x - 0.4 * s, y + 0.3 * s), QPointF(x + 0.5 * s - i * 0.1 * s, y));
            p.setPen(Qt::NoPen);
        }
        ink = QRectF(x - 0.7 * s, top - 0.15 * s, 1.3 * s, bottom - top + 0.3 * s);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    for (int dot = 0; dot < shape.dots; ++dot)
        p.drawEllipse(QPointF(x + (1.1 + 0.6 * dot) * s, middle - 0.5 * s), 0.18 * s, 0.18 * s);
    p.restore();
    Record(ScoreItem::Kind::Rest, ink, shape);
}

void ScorePainter::PaintShape(QPainter& p, const Cell& cell, const Shape& shape) const
{
    const double staffTop = cell.staffTop;
    const double s = kSp * shape.scale;
    p.save();
    // Ledger lines.
    const double reach = shape.headWidth * 0.8;
    p.setPen(QPen(kInk, 0.13 * kSp));
    for (int position = 2; position <= shape.highest; position += 2) {
        const double y = PositionY(staffTop, position);
        p.drawLine(QPointF(shape.x - reach, y), QPointF(shape.x + reach, y));
    }
    for (int position = -10; position >= shape.lowest; position -= 2) {
        const double y = PositionY(staffTop, position);
        p.drawLine(QPointF(shape.x - reach, y), QPointF(shape.x + reach, y));
    }
    for (const Shape::Placed& placed : shape.accidentals) {
        PaintAccidental(p, placed.alteration, placed.x, placed.y, shape.scale);
        Record(ScoreItem::Kind::Accidental, AccidentalBox(placed.alteration, placed.x, placed.y, s), shape);
    }

    // Heads.
    const bool hollow = shape.plain >= 2048;
    const double headHeight = shape.HeadHeight();
    for (const Shape::Head& head : shape.heads) {
        const double y = PositionY(staffTop, head.position);
        p.save();
        p.translate(head.x, y);
        if (shape.plain < 4096) p.rotate(-20);
        if (hollow) {
            p.setPen(QPen(kInk, (shape.plain >= 4096 ? 0.28 : 0.2) * s));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QPointF(0, 0), shape.headWidth / 2 - 0.1 * s, headHeight / 2 - 0.1 * s);
        } else {
            p.setPen(Qt::NoPen);
            p.setBrush(kInk);
            p.drawEllipse(QPointF(0, 0), shape.headWidth / 2, headHeight / 2);
        }
        p.restore();
        Record(ScoreItem::Kind::Head, QRectF(head.x - shape.headWidth / 2, y - headHeight / 2, shape.headWidth, headHeight),
               shape);
        if (shape.plain >= 8192) {
            // The double whole note's side bars.
            p.setPen(QPen(kInk, 0.15 * s));
            for (const double bx : {head.x - shape.headWidth / 2 - 0.2 * s, head.x + shape.headWidth / 2 + 0.2 * s})
                p.drawLine(QPointF(bx, y - 0.7 * s), QPointF(bx, y + 0.7 * s));
        }
        // Dots, in the space above a note on a line.
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        const double dotY = PositionY(staffTop, head.position % 2 == 0 ? head.position + 1 : head.position);
        double dotX = shape.x + shape.headWidth * 0.5 + 0.5 * s;
        for (const auto& other : shape.heads) dotX = std::max(dotX, other.x + shape.headWidth * 0.5 + 0.5 * s);
        for (int dot = 0; dot < shape.dots; ++dot)
            p.drawEllipse(QPointF(dotX + 0.6 * dot * s, dotY), 0.18 * s, 0.18 * s);
    }

    // Stem and flags.
    if (shape.hasStem) {
        const double side = shape.Side();
        p.setPen(QPen(kInk, 0.13 * s, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(shape.stemX, shape.stemFrom), QPointF(shape.stemX, shape.stemTo));
        Record(ScoreItem::Kind::Stem,
               QRectF(QPointF(shape.stemX - 0.065 * s, std::min(shape.stemFrom, shape.stemTo)),
                      QPointF(shape.stemX + 0.065 * s, std::max(shape.stemFrom, shape.stemTo))),
               shape);
        if (!shape.beamed) {
            p.setPen(Qt::NoPen);
            p.setBrush(kInk);
            for (int f = 0; f < shape.flags; ++f) {
                const double fy = shape.stemTo + side * f * 0.8 * s;
                const double sx = shape.stemX;
                QPainterPath flag;
                flag.moveTo(sx, fy);
                flag.cubicTo(sx + 0.1 * s, fy + side * 0.9 * s, sx + 1.4 * s, fy + side * 1.2 * s, sx + 1.0 * s,
                             fy + side * 2.6 * s);
                flag.cubicTo(sx + 1.1 * s, fy + side * 1.6 * s, sx + 0.3 * s, fy + side * 1.3 * s, sx, fy + side * 1.0 * s);
                flag.closeSubpath();
                p.drawPath(flag);
            }
        }
        if (shape.graceIndex >= 0 && shape.plain <= 512 && !shape.beamed) {
            // The slash of a grace note.
            p.setPen(QPen(kInk, 0.12 * s));
            p.drawLine(QPointF(shape.stemX - 0.6 * s, shape.stemTo + side * 1.6 * s),
                       QPointF(shape.stemX + 0.9 * s, shape.stemTo + side * 0.4 * s));
        }
    }
    p.restore();
}

// The next entry after shape in its layer, in this measure or the next.
// False when there is none.
static bool NextEntry(const tonaroengine::Document& document, int16_t staff, int16_t measure, int layer,
                      int32_t position, EXENTRY* next, int16_t* nextMeasure)
{
    for (int m = measure; m <= measure + 1 && m <= document.MeasureCount(); ++m) {
        for (const EXENTRY& entry : document.Entries(staff, static_cast<int16_t>(m), layer)) {
            if ((entry.flags & EXENTRY_GRACE) || entry.duration <= 0) continue;
            if (m == measure && entry.position <= position) continue;
            *next = entry;
            *nextMeasure = static_cast<int16_t>(m);
            return true;
        }
    }
    return false;
}

void ScorePainter::PaintTies(QPainter& p, const Cell& cell, const Shape& shape) const
{
    bool any = false;
    for (const auto& head : shape.heads) any = any || head.tie;
    if (!any) return;
    const double s = kSp * shape.scale;
    EXENTRY next{};
    int16_t nextMeasure = 0;
    const bool found = shape.graceIndex < 0 &&
                       NextEntry(document_, cell.staff, cell.measure, shape.layer, shape.position, &next, &nextMeasure);
    const ScoreLayout::MeasureBox* here = layout_.Measure(cell.measure);
    const ScoreLayout::MeasureBox* there = found ? layout_.Measure(nextMeasure) : nullptr;
    double endX = shape.x + shape.headWidth * 0.6 + 2.8 * s;
    if (there != nullptr && there->system == here->system) {
        endX = layout_.EntryX(nextMeasure, next.position) - shape.headWidth * 0.6;
    } else if (there != nullptr) {
        // Across systems: to the end of this one; the next system starts
        // with the other half.
        endX = here->left + here->width - 0.3 * kSp;
    }
    for (const auto& head : shape.heads) {
        if (!head.tie) continue;
        const double y = PositionY(cell.staffTop, head.position);
        // Ties curve away from the stem; the top note of a chord upward.
        const bool up = shape.heads.size() > 1 ? head.position > (shape.lowest + shape.highest) / 2.0 ||
                                                     (head.position == shape.highest)
                                               : !shape.stemUp;
        const double dir = up ? -1.0 : 1.0;
        const double start = std::max(head.x, shape.x) + shape.headWidth * 0.6;
        const double ty = y + dir * 0.6 * s;
        const double length = std::max(endX - start, 1.0 * s);
        const double height = dir * std::min(1.2 * s, 0.25 * length + 0.4 * s);
        FillArc(p, QPointF(start, ty), QPointF(start + length, ty), height, 0.3 * s);
        Record(ScoreItem::Kind::Tie, QRectF(QPointF(start, ty), QPointF(start + length, ty + height * 0.75)).normalized(),
               shape);
    }
}

void ScorePainter::PaintIncomingTies(QPainter& p, const Cell& cell) const
{
    // The second half of ties from the last system's end.
    if (cell.measure <= 1) return;
    const auto previous = static_cast<int16_t>(cell.measure - 1);
    for (int layer = 0; layer < kLayers; ++layer) {
        if (!document_.IsLayerShown(layer)) continue;
        const std::vector<EXENTRY> before = document_.Entries(cell.staff, previous, layer);
        const EXENTRY* last = nullptr;
        for (const EXENTRY& entry : before)
            if (!(entry.flags & EXENTRY_GRACE) && entry.duration > 0) last = &entry;
        if (last == nullptr || !IsNote(*last)) continue;
        const Shape* target = nullptr;
        for (const Shape& shape : cell.shapes)
            if (shape.layer == layer && shape.graceIndex < 0 && (target == nullptr || shape.position < target->position))
                target = &shape;
        if (target == nullptr || !target->isNote) continue;
        const StaffPlacement placement =
            PlacementAt(&document_, cell.staff, previous, last->position, layout_.ShowsConcertPitch());
        const uint16_t key = document_.CellKeySignature(cell.staff, previous);
        const ScoreLayout::MeasureBox* box = layout_.Measure(cell.measure);
        for (int n = 0; n < last->numNotes; ++n) {
            if (!(last->notes[n].flags & EXNOTE_TIESTART)) continue;
            const int position = NoteStaffPosition(placement, key, last->notes[n].displacement);
            for (const auto& head : target->heads) {
                if (head.position != position) continue;
                const double y = PositionY(cell.staffTop, position);
                const double dir = (target->heads.size() > 1 ? position == target->highest : !target->stemUp) ? -1.0 : 1.0;
                const double start = box->left + box->prefixWidth + 0.3 * kSp;
                const double end = head.x - target->headWidth * 0.6;
                if (end - start < kSp) continue;
                const double height = dir * std::min(1.2 * kSp, 0.25 * (end - start) + 0.4 * kSp);
                FillArc(p, QPointF(start, y + dir * 0.6 * kSp), QPointF(end, y + dir * 0.6 * kSp), height, 0.3 * kSp);
                Record(ScoreItem::Kind::Tie,
                       QRectF(QPointF(start, y + dir * 0.6 * kSp), QPointF(end, y + dir * 0.6 * kSp + height * 0.75))
                           .normalized(),
                       *target);
            }
        }
    }
}

void ScorePainter::PaintMarks(QPainter& p, const Shape& shape, double staffTop) const
{
    if (shape.marks == nullptr || shape.marks->articulations == 0 || !shape.isNote) return;
    const uint16_t marks = shape.marks->articulations;
    const double s = kSp * shape.scale;
    // On the notehead's side, outside the staff lines where they would sit
    // on one; in a cell of several voices on the stem's side.
    const bool above = !shape.hasStem ? true : (shape.stemRule != 0 ? shape.stemUp : !shape.stemUp);
    const double dir = above ? -1.0 : 1.0;
    double y;
    if (shape.stemRule != 0 && shape.hasStem) {
        y = shape.stemTo + dir * 1.0 * s;
    } else {
        y = PositionY(staffTop, above ? shape.highest : shape.lowest) + dir * 1.2 * s;
    }
    auto inStaff = [&](double at) { return at > staffTop - 0.2 * kSp && at < staffTop + ScoreLayout::kStaffHeight + 0.2 * kSp; };
    auto step = [&](double height) {
        // Centre in a space, not on a line.
        if (inStaff(y)) {
            const double lines = (y - staffTop) / kSp;
            y = staffTop + (std::floor(lines) + 0.5) * kSp;
        }
        const double at = y;
        y += dir * height;
        return at;
    };
    const double x = shape.x;
    p.save();
    p.setBrush(kInk);
    if (marks & kStaccato) {
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(x, step(0.8 * s)), 0.2 * s, 0.2 * s);
    }
    if (marks & kStaccatissimo) {
        p.setPen(Qt::NoPen);
        const double at = step(1.2 * s);
        QPolygonF wedge;
        wedge << QPointF(x - 0.2 * s, at - dir * 0.4 * s) << QPointF(x + 0.2 * s, at - dir * 0.4 * s)
              << QPointF(x, at + dir * 0.4 * s);
        p.drawPolygon(wedge);
    }
    if (marks & kTenuto) {
        p.setPen(Qt::NoPen);
        const double at = step(0.8 * s);
        p.drawRect(QRectF(x - 0.6 * s, at - 0.08 * s, 1.2 * s, 0.16 * s));
    }
    if (marks & kAccent) {
        p.setPen(QPen(kInk, 0.16 * s, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        p.setBrush(Qt::NoBrush);
        if (inStaff(y)) y = above ? staffTop - 0.8 * kSp : staffTop + ScoreLayout::kStaffHeight + 0.8 * kSp;
        const double at = y;
        y += dir * 1.3 * s;
        QPolygonF accent;
        accent << QPointF(x - 0.7 * s, at - 0.45 * s) << QPointF(x + 0.7 * s, at) << QPointF(x - 0.7 * s, at + 0.45 * s);
        p.drawPolyline(accent);
    }
    if (marks & kMarcato) {
        p.setPen(Qt::NoPen);
        if (inStaff(y)) y = above ? staffTop - 1.0 * kSp : staffTop + ScoreLayout::kStaffHeight + 1.0 * kSp;
        const double at = y;
        y += dir * 1.5 * s;
        QPolygonF hat;
        const double tipY = at - (above ? 0.6 : -0.6) * s;
        const double baseY = at + (above ? 0.6 : -0.6) * s;
        hat << QPointF(x - 0.55 * s, baseY) << QPointF(x, tipY) << QPointF(x + 0.55 * s, baseY)
            << QPointF(x + 0.3 * s, baseY) << QPointF(x, tipY + (above ? 0.5 : -0.5) * s) << QPointF(x - 0.3 * s, baseY);
        p.drawPolygon(hat);
    }
    if (marks & (kFermataAbove | kFermataBelow)) {
        // Over the staff (under it when inverted), clear of the notes.
        const bool over = (marks & kFermataAbove) != 0;
        const double o = over ? -1.0 : 1.0;
        double fy = over ? std::min(staffTop - 1.2 * kSp, PositionY(staffTop, shape.highest) - 2.0 * kSp)
                         : std::max(staffTop + ScoreLayout::kStaffHeight + 1.2 * kSp,
                                    PositionY(staffTop, shape.lowest) + 2.0 * kSp);
        if (shape.hasStem && shape.stemUp == over) fy = over ? std::min(fy, shape.stemTo - 1.0 * kSp)
                                                             : std::max(fy, shape.stemTo + 1.0 * kSp);
        if (over == above) fy = over ? std::min(fy, y - 0.3 * kSp) : std::max(fy, y + 0.3 * kSp);
        p.setBrush(kInk);
        QPainterPath arc;
        arc.moveTo(x - 1.2 * kSp, fy);
        arc.cubicTo(x - 1.1 * kSp, fy + o * 1.5 * kSp, x + 1.1 * kSp, fy + o * 1.5 * kSp, x + 1.2 * kSp, fy);
        arc.cubicTo(x + 0.9 * kSp, fy + o * 1.15 * kSp, x - 0.9 * kSp, fy + o * 1.15 * kSp, x - 1.2 * kSp, fy);
        p.setPen(QPen(kInk, 0.05 * kSp));
        p.drawPath(arc);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(x, fy + o * 0.3 * kSp), 0.22 * kSp, 0.22 * kSp);
    }
    p.restore();
}

void ScorePainter::PaintCell(QPainter& p, const Cell& cell) const
{
    for (const Shape& shape : cell.shapes) {
        if (shape.isNote) {
            PaintShape(p, cell, shape);
            PaintTies(p, cell, shape);
            PaintMarks(p, shape, cell.staffTop);
        } else {
            PaintRest(p, shape, cell.staffTop);
        }
    }
    const ScoreLayout::SystemBox& system =
        layout_.Systems()[static_cast<size_t>(layout_.Measure(cell.measure)->system)];
    if (system.firstMeasure == cell.measure) PaintIncomingTies(p, cell);

    // Beams: the primary one over the whole group, the shorter ones where
    // the notes ask for them, hooks toward their neighbour.
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    for (const Cell::Beam& beam : cell.beams) {
        const Shape& first = cell.shapes[beam.members.front()];
        const double s = kSp * first.scale;
        const double thick = 0.5 * s;
        const double side = beam.up ? 1.0 : -1.0;
        const double slope = beam.x1 > beam.x0 ? (beam.y1 - beam.y0) / (beam.x1 - beam.x0) : 0.0;
        auto at = [&](double x, int level) { return beam.y0 + slope * (x - beam.x0) + side * level * 0.75 * s; };
        auto slab = [&](double xa, double xb, int level) {
            const double ya = at(xa, level) + side * thick / 2;
            const double yb = at(xb, level) + side * thick / 2;
            FillSlab(p, xa, ya, xb, yb, thick);
            if (sink_ != nullptr) {
                ScoreItem item;
                item.kind = ScoreItem::Kind::Beam;
                item.box = QRectF(QPointF(xa, std::min(ya, yb) - thick / 2), QPointF(xb, std::max(ya, yb) + thick / 2));
                item.slot = cell.slot;
                item.measure = cell.measure;
                item.layer = first.layer;
                item.position = first.position;
                sink_->push_back(item);
            }
        };
        const double stemHalf = 0.065 * s;
        slab(beam.x0 - stemHalf, beam.x1 + stemHalf, 0);
        for (int level = 1; level < NoteMarks::kBeamLevels; ++level) {
            for (size_t i = 0; i < beam.members.size(); ++i) {
                const Shape& shape = cell.shapes[beam.members[i]];
                const BeamState state = shape.marks->beams[static_cast<size_t>(level)];
                if ((state == BeamState::Begin || state == BeamState::Continue) && i + 1 < beam.members.size()) {
                    const Shape& next = cell.shapes[beam.members[i + 1]];
                    const BeamState after = next.marks->beams[static_cast<size_t>(level)];
                    if (after == BeamState::Continue || after == BeamState::End)
                        slab(shape.stemX - stemHalf, next.stemX + stemHalf, level);
                } else if (state == BeamState::ForwardHook) {
                    slab(shape.stemX - stemHalf, shape.stemX + 1.2 * s, level);
                } else if (state == BeamState::BackwardHook) {
                    slab(shape.stemX - 1.2 * s, shape.stemX + stemHalf, level);
                }
            }
        }
        if (first.graceIndex >= 0) {
            // The slash of beamed graces crosses the first stem.
            p.save();
            p.setPen(QPen(kInk, 0.12 * s));
            p.drawLine(QPointF(first.stemX - 0.6 * s, first.stemTo + side * 1.6 * s),
                       QPointF(first.stemX + 0.9 * s, first.stemTo + side * 0.4 * s));
            p.restore();
        }
    }
    p.restore();
}

// --- Directions and spans ----------------------------------------------------------------

void ScorePainter::PaintDirections(QPainter& p, const ScoreLayout::MeasureBox& box) const
{
    const std::vector<Direction>& directions = markings_.Directions(box.measure);
    if (directions.empty()) return;
    p.save();
    // What is drawn so far in this measure: a marking that would touch one
    // moves right until it is clear.
    std::vector<QRectF> placed;
    auto clear = [&](QRectF ink) {
        for (bool moved = true; moved;) {
            moved = false;
            for (const QRectF& other : placed)
                if (other.intersects(ink)) {
                    ink.moveLeft(other.right() + 0.6 * kSp);
                    moved = true;
                }
        }
        placed.push_back(ink);
        return ink.left();
    };
    for (const Direction& d : directions) {
        if (d.slot < 1 || d.slot > layout_.StaffCount()) continue;
        const double top = layout_.StaffTop(d.slot, box.measure);
        const double bottom = top + ScoreLayout::kStaffHeight;
        double x = d.position <= 0 ? box.left + box.prefixWidth + ScoreLayout::kMeasurePad
                                   : layout_.EntryX(box.measure, d.position) - 0.6 * kSp;
        p.setPen(kInk);
        p.setBrush(Qt::NoBrush);
        switch (d.kind) {
        case Direction::Kind::Dynamic: {
            const QFont font = Font(kSerifFamily, 2.1 * kSp, true, true);
            p.setFont(font);
            const QString text = QString::fromStdString(d.text);
            const double width = QFontMetricsF(font).horizontalAdvance(text);
            const double baseline = d.above ? top - 1.5 * kSp : bottom + 3.6 * kSp;
            const double left = clear(QRectF(layout_.EntryX(box.measure, d.position) - width / 2, baseline - 1.6 * kSp,
                                             width, 2.0 * kSp));
            p.drawText(QPointF(left, baseline), text);
            break;
        }
        case Direction::Kind::Words: {
            const QFont font = Font(kSerifFamily, 1.6 * kSp, d.bold, d.italic);
            p.setFont(font);
            const QString text = QString::fromStdString(d.text);
            const double baseline = d.above ? top - 1.6 * kSp : bottom + 5.6 * kSp;
            x = clear(QRectF(x, baseline - 1.3 * kSp, QFontMetricsF(font).horizontalAdvance(text), 1.6 * kSp));
            p.drawText(QPointF(x, baseline), text);
            break;
        }
        case Direction::Kind::Tempo: {
            // Tempo text, then the metronome mark: a note, dots, "= 120".
            const QFont font = Font(kSerifFamily, 1.7 * kSp, true);
            p.setFont(font);
            const double baseline = top - 2.8 * kSp;
            const double width = QFontMetricsF(font).horizontalAdvance(QString::fromStdString(d.text)) +
                                 (d.beatUnit > 0 ? 6.0 * kSp : 0.0);
            double tx = clear(QRectF(x, baseline - 3.0 * kSp, width, 3.2 * kSp));
            if (!d.text.empty()) {
                const QString text = QString::fromStdString(d.text);
                p.drawText(QPointF(tx, baseline), text);
                tx += QFontMetricsF(font).horizontalAdvance(text) + 0.8 * kSp;
            }
            if (d.beatUnit > 0) {
                const double s = 0.7 * kSp;
                const double hx = tx + 0.7 * s;
                const double hy = baseline - 0.4 * s;
                p.save();
                p.translate(hx, hy);
                p.rotate(-20);
                p.setPen(d.beatUnit >= 2048 ? QPen(kInk, 0.2 * s) : QPen(Qt::NoPen));
                p.setBrush(d.beatUnit >= 2048 ? QBrush(Qt::NoBrush) : QBrush(kInk));
                p.drawEllipse(QPointF(0, 0), 0.65 * s, 0.45 * s);
                p.restore();
                p.setPen(QPen(kInk, 0.13 * s));
                if (d.beatUnit < 4096) p.drawLine(QPointF(hx + 0.6 * s, hy), QPointF(hx + 0.6 * s, hy - 3.2 * s));
                p.setPen(QPen(kInk, 0.25 * s));
                for (int f = 0; f < Flags(d.beatUnit); ++f)
                    p.drawLine(QPointF(hx + 0.6 * s, hy - (3.2 - 0.7 * f) * s), QPointF(hx + 1.5 * s, hy - (2.2 - 0.7 * f) * s));
                p.setPen(Qt::NoPen);
                p.setBrush(kInk);
                for (int dot = 0; dot < d.beatDots; ++dot)
                    p.drawEllipse(QPointF(hx + (1.3 + 0.5 * dot) * s, hy), 0.15 * s, 0.15 * s);
                p.setPen(kInk);
                p.setFont(Font(kSerifFamily, 1.6 * kSp));
                p.drawText(QPointF(hx + (1.6 + 0.5 * d.beatDots) * s, baseline),
                           QStringLiteral(" = ") + QString::fromStdString(d.perMinute));
            }
            break;
        }
        case Direction::Kind::Rehearsal: {
            const QFont font = Font(kTextFamily, 1.9 * kSp, true);
            p.setFont(font);
            const QString text = QString::fromStdString(d.text);
            const QRectF ink = QFontMetricsF(font).boundingRect(text);
            QRectF frame(box.left, top - 4.2 * kSp - ink.height(), ink.width() + 1.0 * kSp, ink.height() + 0.6 * kSp);
            frame.moveLeft(clear(frame));
            p.setPen(QPen(kInk, 0.15 * kSp));
            p.drawRect(frame);
            p.drawText(frame, Qt::AlignCenter, text);
            break;
        }
        case Direction::Kind::Segno: {
            // An S slashed, with a dot on either side.
            const double cx = clear(QRectF(x, top - 4.6 * kSp, 2.2 * kSp, 3.2 * kSp)) + 1.1 * kSp;
            const double cy = top - 3.0 * kSp;
            QPainterPath curve;
            curve.moveTo(cx + 0.8 * kSp, cy - 1.0 * kSp);
            curve.cubicTo(cx + 0.2 * kSp, cy - 1.8 * kSp, cx - 1.3 * kSp, cy - 0.9 * kSp, cx, cy);
            curve.cubicTo(cx + 1.3 * kSp, cy + 0.9 * kSp, cx - 0.2 * kSp, cy + 1.8 * kSp, cx - 0.8 * kSp, cy + 1.0 * kSp);
            p.setPen(QPen(kInk, 0.35 * kSp, Qt::SolidLine, Qt::RoundCap));
            p.drawPath(curve);
            p.setPen(QPen(kInk, 0.15 * kSp));
            p.drawLine(QPointF(cx - 1.0 * kSp, cy + 1.4 * kSp), QPointF(cx + 1.0 * kSp, cy - 1.4 * kSp));
            p.setPen(Qt::NoPen);
            p.setBrush(kInk);
            p.drawEllipse(QPointF(cx - 0.9 * kSp, cy - 0.3 * kSp), 0.2 * kSp, 0.2 * kSp);
            p.drawEllipse(QPointF(cx + 0.9 * kSp, cy + 0.3 * kSp), 0.2 * kSp, 0.2 * kSp);
            break;
        }
        case Direction::Kind::Coda: {
            // A ring crossed by a longer cross.
            const double cx = clear(QRectF(x, top - 4.6 * kSp, 2.8 * kSp, 3.2 * kSp)) + 1.4 * kSp;
            const double cy = top - 3.0 * kSp;
            p.setPen(QPen(kInk, 0.3 * kSp));
            p.drawEllipse(QPointF(cx, cy), 0.8 * kSp, 1.0 * kSp);
            p.setPen(QPen(kInk, 0.15 * kSp));
            p.drawLine(QPointF(cx - 1.4 * kSp, cy), QPointF(cx + 1.4 * kSp, cy));
            p.drawLine(QPointF(cx, cy - 1.6 * kSp), QPointF(cx, cy + 1.6 * kSp));
            break;
        }
        default:
            break;
        }
    }
    p.restore();
}

void ScorePainter::PaintSpans(QPainter& p, const ScoreLayout::MeasureBox& box, const ScoreLayout::SystemBox& system) const
{
    const std::vector<uint32_t>& spans = markings_.SpansIn(box.measure);
    if (spans.empty()) return;
    p.save();
    for (const uint32_t index : spans) {
        const Span& span = markings_.Spans()[index];
        // Each system draws its share once: from the start, or from its
        // first measure for a span that began before.
        const bool startsHere = span.startMeasure == box.measure;
        if (!startsHere && box.measure != system.firstMeasure) continue;
        if (span.slot < 1 || span.slot > layout_.StaffCount()) continue;
        const ScoreLayout::MeasureBox* end = layout_.Measure(span.endMeasure);
        if (end == nullptr) continue;
        const bool endsHere = end->system == box.system;
        const double top = layout_.StaffTop(span.slot, box.measure);
        const double bottom = top + ScoreLayout::kStaffHeight;
        const double start = startsHere ? layout_.EntryX(box.measure, span.startPosition)
                                        : box.left + box.prefixWidth + 0.5 * kSp;
        double x1 = endsHere ? layout_.EntryX(span.endMeasure, span.endPosition) : system.right - 0.5 * kSp;
        if (span.kind == Span::Kind::Slur) {
            // From note to note, over the heads (or under them when the
            // stems point down... the heads' side).
            const int16_t staff = document_.StaffAtSlot(span.slot);
            auto extent = [&](int16_t measure, int layer, int32_t position, double* high, double* low, bool* stemUp) {
                for (const EXENTRY& entry : document_.Entries(staff, measure, layer)) {
                    if (entry.position != position || (entry.flags & EXENTRY_GRACE) || !IsNote(entry)) continue;
                    const StaffPlacement placement =
                        PlacementAt(&document_, staff, measure, position, layout_.ShowsConcertPitch());
                    const uint16_t key = document_.CellKeySignature(staff, measure);
                    int hi = -100, lo = 100;
                    for (int n = 0; n < entry.numNotes; ++n) {
                        const int at = NoteStaffPosition(placement, key, entry.notes[n].displacement);
                        hi = std::max(hi, at);
                        lo = std::min(lo, at);
                    }
                    *high = PositionY(top, hi);
                    *low = PositionY(top, lo);
                    const bool voices = !document_.Entries(staff, measure, layer ^ 1).empty();
                    *stemUp = voices ? layer % 2 == 0 : hi + lo < -8;
                    return true;
                }
                return false;
            };
            double high0 = PositionY(top, -4), low0 = high0, high1 = high0, low1 = high0;
            bool up0 = false, up1 = false;
            const bool hasStart = startsHere && extent(box.measure, span.startLayer, span.startPosition, &high0, &low0, &up0);
            const bool hasEnd = endsHere && extent(span.endMeasure, span.endLayer, span.endPosition, &high1, &low1, &up1);
            if (!hasStart) {
                high0 = hasEnd ? high1 : PositionY(top, -2);
                low0 = hasEnd ? low1 : PositionY(top, -6);
                up0 = hasEnd ? up1 : false;
            }
            if (!hasEnd) {
                high1 = high0;
                low1 = low0;
            }
            const bool above = !up0;
            const double dir = above ? -1.0 : 1.0;
            double y0 = (above ? high0 : low0) + dir * 1.0 * kSp;
            double y1 = (above ? high1 : low1) + dir * 1.0 * kSp;
            const double x0 = start;
            if (!hasEnd) x1 = std::max(x1, x0 + 2 * kSp);
            const double length = std::max(x1 - x0, kSp);
            double height = dir * std::min(2.2 * kSp, 0.6 * kSp + 0.08 * length);
            // The notes in between stay under (over) the curve: it arches
            // higher, up to a limit, and then lifts as a whole.
            const int16_t from = startsHere ? span.startMeasure : box.measure;
            const int16_t to = endsHere ? span.endMeasure : system.lastMeasure;
            double lift = 0;
            for (int m = from; m <= to; ++m) {
                const auto measure = static_cast<int16_t>(m);
                for (const EXENTRY& entry : document_.Entries(staff, measure, span.startLayer)) {
                    if ((entry.flags & EXENTRY_GRACE) || !IsNote(entry)) continue;
                    if ((m == span.startMeasure && entry.position <= span.startPosition) ||
                        (m == span.endMeasure && entry.position >= span.endPosition))
                        continue;
                    double high = 0, low = 0;
                    bool stemUp = false;
                    if (!extent(measure, span.startLayer, entry.position, &high, &low, &stemUp)) continue;
                    const double x = layout_.EntryX(measure, entry.position);
                    if (x <= x0 || x >= x0 + length) continue;
                    double edge = above ? high : low;
                    if (stemUp == above) edge += dir * 3.5 * kSp;  // the stem points at the curve
                    const double want = edge + dir * 0.8 * kSp;
                    const double t = (x - x0) / length;
                    const double base = y0 + (y1 - y0) * t;
                    const double reach = 3 * t * (1 - t);
                    if (above ? base + reach * height > want : base + reach * height < want) {
                        height = std::clamp((want - base) / reach, -4.0 * kSp, 4.0 * kSp);
                        const double missing = want - (base + reach * height);
                        if (above ? missing < 0 : missing > 0) lift = above ? std::min(lift, missing) : std::max(lift, missing);
                    }
                }
            }
            y0 += lift;
            y1 += lift;
            FillArc(p, QPointF(x0, y0), QPointF(x0 + length, y1), height, 0.36 * kSp);
        } else {
            const double y = span.above ? top - 3.0 * kSp : bottom + 3.0 * kSp;
            // A dynamic where the hairpin starts or ends keeps it at a distance.
            auto dynamicHalf = [&](int16_t measure, int32_t position) {
                for (const Direction& d : markings_.Directions(measure))
                    if (d.kind == Direction::Kind::Dynamic && d.slot == span.slot && d.position == position &&
                        d.above == span.above)
                        return QFontMetricsF(Font(kSerifFamily, 2.1 * kSp, true, true))
                                   .horizontalAdvance(QString::fromStdString(d.text)) / 2;
                return -1.0;
            };
            double x0 = start;
            if (startsHere) {
                const double half = dynamicHalf(box.measure, span.startPosition);
                if (half >= 0) x0 += half + 0.6 * kSp;
            }
            if (endsHere) {
                const double half = dynamicHalf(span.endMeasure, span.endPosition);
                x1 -= half >= 0 ? half + 0.6 * kSp : 0.8 * kSp;
            }
            if (x1 - x0 < 1.5 * kSp) x1 = x0 + 1.5 * kSp;
            const double open = 0.6 * kSp;
            // The open end of a hairpin broken at a system end stays part way open.
            const bool crescendo = span.kind == Span::Kind::Crescendo;
            const double startOpen = crescendo ? (startsHere ? 0.0 : open * 0.5) : open;
            const double endOpen = crescendo ? open : (endsHere ? 0.0 : open * 0.5);
            p.setPen(QPen(kInk, 0.12 * kSp));
            p.drawLine(QPointF(x0, y - startOpen), QPointF(x1, y - endOpen));
            p.drawLine(QPointF(x0, y + startOpen), QPointF(x1, y + endOpen));
        }
    }
    p.restore();
}

// --- Measures, systems, the page ---------------------------------------------------------

void ScorePainter::PaintBarlines(QPainter& p, const ScoreLayout::MeasureBox& box,
                                 const ScoreLayout::SystemBox& system) const
{
    const int slotCount = layout_.StaffCount();
    const double top = layout_.StaffTop(1, box.measure);
    const double bottom = layout_.StaffTop(slotCount, box.measure) + ScoreLayout::kStaffHeight;
    const MeasureMarks marks = markings_.Measure(box.measure);
    const double thin = 0.14 * kSp;
    const double thick = 0.5 * kSp;
    auto line = [&](double x, double width) { p.fillRect(QRectF(x - width / 2, top, width, bottom - top), kInk); };
    auto dots = [&](double x) {
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        for (int slot = 1; slot <= slotCount; ++slot) {
            const double staffTop = layout_.StaffTop(slot, box.measure);
            for (const int position : {-3, -5})
                p.drawEllipse(QPointF(x, PositionY(staffTop, position)), 0.25 * kSp, 0.25 * kSp);
        }
    };
    p.save();
    const double right = box.left + box.width;
    BarStyle style = marks.right;
    if (box.measure == layout_.MeasureCount() && style == BarStyle::Regular) style = BarStyle::Final;
    if (marks.repeatBackward) {
        line(right - thick / 2, thick);
        line(right - thick - 0.4 * kSp - thin / 2, thin);
        dots(right - thick - 0.8 * kSp - thin - 0.25 * kSp);
    } else {
        switch (style) {
        case BarStyle::Final:
            line(right - thick / 2, thick);
            line(right - thick - 0.4 * kSp - thin / 2, thin);
            break;
        case BarStyle::Double:
            line(right - thin / 2, thin);
            line(right - thin * 1.5 - 0.4 * kSp, thin);
            break;
        case BarStyle::HeavyLight:
        case BarStyle::Heavy:
            line(right - thick / 2, thick);
            break;
        case BarStyle::Dashed:
            p.setPen(QPen(kInk, thin, Qt::DashLine));
            p.drawLine(QPointF(right, top), QPointF(right, bottom));
            break;
        case BarStyle::None:
            break;
        default:
            line(right, thin);
            break;
        }
    }
    const bool starts = box.measure == system.firstMeasure;
    if (starts) line(box.left, thin);  // the system's bracket line
    if (marks.repeatForward) {
        // After the clef and key at a system start, else at the barline.
        const double x = starts && box.prefixWidth > 0 ? box.left + box.prefixWidth : box.left;
        line(x + thick / 2, thick);
        line(x + thick + 0.4 * kSp + thin / 2, thin);
        dots(x + thick + 0.8 * kSp + thin + 0.25 * kSp);
    } else if (marks.left == BarStyle::Double || marks.left == BarStyle::HeavyLight) {
        const double x = starts && box.prefixWidth > 0 ? box.left + box.prefixWidth : box.left;
        if (marks.left == BarStyle::HeavyLight) line(x + thick / 2, thick);
        line(x + (marks.left == BarStyle::HeavyLight ? thick : thin) + 0.4 * kSp + thin / 2, thin);
    }
    if (starts) {
        // The measure number above the system.
        p.setFont(Font(kTextFamily, 1.4 * kSp, false, true));
        p.setPen(kInk);
        p.drawText(QRectF(box.left, top - 3.2 * kSp, 6 * kSp, 1.8 * kSp), Qt::AlignLeft | Qt::AlignBottom,
                   QString::number(box.measure));
    }
    p.restore();
}

void ScorePainter::PaintMeasure(QPainter& p, const ScoreLayout::MeasureBox& box, const ScoreLayout::SystemBox& system,
                                const QRectF& exposed) const
{
    const int slotCount = layout_.StaffCount();
    for (int slot = 1; slot <= slotCount; ++slot) {
        // Only cells in (or within reach of) the exposed area.
        const QRectF cell = layout_.CellRect(slot, box.measure);
        if (cell.bottom() + ScoreLayout::kStaffDistance < exposed.top() ||
            cell.top() - ScoreLayout::kStaffDistance > exposed.bottom())
            continue;
        const double staffTop = layout_.StaffTop(slot, box.measure);
        PaintPrefix(p, box, slot, staffTop);
        PaintCell(p, BuildCell(slot, box.measure, staffTop));
    }
    PaintBarlines(p, box, system);
    PaintDirections(p, box);
    PaintSpans(p, box, system);
}

void ScorePainter::PaintSystem(QPainter& p, size_t systemIndex, const QRectF& exposed) const
{
    const ScoreLayout::SystemBox& system = layout_.Systems()[systemIndex];
    const int slotCount = layout_.StaffCount();
    // Part names on the first system, their abbreviations on the others.
    const std::vector<std::string>& names = systemIndex == 0 ? markings_.StaffNames() : markings_.StaffAbbreviations();
    for (int slot = 1; slot <= slotCount; ++slot) {
        const double staffTop = layout_.StaffTop(slot, system.firstMeasure);
        const double reach = ScoreLayout::kStaffDistance;
        if (staffTop + reach < exposed.top() || staffTop - reach > exposed.bottom()) continue;
        const int16_t staff = document_.StaffAtSlot(slot);
        const StaffPlacement placement =
            PlacementAt(&document_, staff, system.firstMeasure, 0, layout_.ShowsConcertPitch());
        // Fewer than five lines are centred on the middle line.
        p.setPen(QPen(kInk, 0.11 * kSp));
        const int first = (5 - placement.lines) / 2;
        for (int line = first; line < first + placement.lines; ++line) {
            const double y = staffTop + line * kSp;
            p.drawLine(QPointF(std::max(system.left, exposed.left() - kSp), y),
                       QPointF(std::min(system.right, exposed.right() + kSp), y));
        }
        const auto index = static_cast<size_t>(slot - 1);
        // A part of several staves names its first one only.
        const bool partStart = index == 0 || index >= markings_.StaffNames().size() ||
                               markings_.StaffNames()[index] != markings_.StaffNames()[index - 1] ||
                               names[index].empty();
        if (layout_.HasNames() && index < names.size() && partStart) {
            const QFont font = Font(kTextFamily, 1.5 * kSp);
            p.setFont(font);
            const QRectF nameRect(system.left - ScoreLayout::kNameWidth, staffTop, ScoreLayout::kNameWidth - kSp,
                                  ScoreLayout::kStaffHeight);
            const QString name =
                QFontMetricsF(font).elidedText(QString::fromStdString(names[index]), Qt::ElideRight, nameRect.width());
            p.drawText(nameRect, Qt::AlignRight | Qt::AlignVCenter, name);
        }
    }
    for (int m = system.firstMeasure; m <= system.lastMeasure; ++m) {
        const ScoreLayout::MeasureBox* box = layout_.Measure(static_cast<int16_t>(m));
        // Notes of a measure may reach a little into its neighbours.
        if (box->left + box->width < exposed.left() - 4 * kSp || box->left > exposed.right() + 4 * kSp) continue;
        PaintMeasure(p, *box, system, exposed);
    }
}

void ScorePainter::PaintHeader(QPainter& p) const
{
    const Credits& credits = markings_.GetCredits();
    if (credits.IsEmpty()) return;
    const double width = layout_.ContentSize().width();
    double y = ScoreLayout::kMargin + 1.0 * kSp;
    p.save();
    p.setPen(kInk);
    if (!credits.title.empty()) {
        p.setFont(Font(kSerifFamily, 3.0 * kSp));
        p.drawText(QRectF(ScoreLayout::kMargin, y, width - 2 * ScoreLayout::kMargin, 4.5 * kSp), Qt::AlignHCenter | Qt::AlignTop,
                   QString::fromStdString(credits.title));
        y += 4.5 * kSp;
    }
    if (!credits.subtitle.empty()) {
        p.setFont(Font(kSerifFamily, 1.8 * kSp));
        p.drawText(QRectF(ScoreLayout::kMargin, y, width - 2 * ScoreLayout::kMargin, 2.5 * kSp), Qt::AlignHCenter | Qt::AlignTop,
                   QString::fromStdString(credits.subtitle));
        y += 2.5 * kSp;
    }
    p.setFont(Font(kSerifFamily, 1.5 * kSp));
    for (size_t i = 0; i < credits.right.size(); ++i)
        p.drawText(QRectF(ScoreLayout::kMargin, y + i * 2.0 * kSp, width - 2 * ScoreLayout::kMargin, 2.0 * kSp),
                   Qt::AlignRight | Qt::AlignTop, QString::fromStdString(credits.right[i]));
    for (size_t i = 0; i < credits.left.size(); ++i)
        p.drawText(QRectF(ScoreLayout::kMargin, y + i * 2.0 * kSp, width - 2 * ScoreLayout::kMargin, 2.0 * kSp),
                   Qt::AlignLeft | Qt::AlignTop, QString::fromStdString(credits.left[i]));
    p.restore();
}

void ScorePainter::Paint(QPainter& p, const QRectF& exposed, std::vector<ScoreItem>* sink) const
{
    if (layout_.IsEmpty()) return;
    sink_ = sink;
    if (exposed.top() < layout_.Systems().front().top) PaintHeader(p);
    for (size_t i = 0; i < layout_.Systems().size(); ++i) {
        const ScoreLayout::SystemBox& system = layout_.Systems()[i];
        // Ledger lines, stems and markings may reach into the neighbouring systems.
        const double reach = ScoreLayout::kStaffDistance;
        if (system.top + system.height + reach < exposed.top() || system.top - reach > exposed.bottom()) continue;
        PaintSystem(p, i, exposed);
    }
    sink_ = nullptr;
}

}  // namespace tonaroapp
