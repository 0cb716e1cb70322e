// Draws a laid-out score with QPainter: staves, clefs, keys, time
// signatures, barlines, notes, rests, beams, ties, slurs, articulations,
// directions, part names and credits. The score window and `tonaro render`
// both draw through it, so that a picture shows what the window shows.
//
// A painter borrows the document, the layout and the markings for its own
// lifetime and only reads them. Coordinates are the layout's (view units at
// 100 %); the caller sets the painter's transform.
#pragma once

#include <QPainter>
#include <QRectF>

#include <cstdint>
#include <string>
#include <vector>

#include "host/app/window/scorelayout.h"
#include "host/app/window/scoremarkings.h"
#include "host/app/window/scorepitch.h"

namespace tonaroengine {
class Document;
}

namespace tonaroapp {

// One drawn symbol and where it went, for checks of the engraving.
struct ScoreItem {
    enum class Kind { Head, Stem, Rest, Accidental, Beam, Tie };
    Kind kind = Kind::Head;
    QRectF box;        // ink bounds in layout units
    int slot = 0;
    int16_t measure = 0;
    int layer = 0;
    int32_t position = 0;
    int graceIndex = -1;  // -1: not a grace note
};

class ScorePainter {
public:
    ScorePainter(const tonaroengine::Document& document, const ScoreLayout& layout, const ScoreMarkings& markings);

    // Draws every system that meets exposed (layout units). With a sink,
    // also appends the noteheads, stems, rests, accidentals, beams and ties
    // drawn.
    void Paint(QPainter& p, const QRectF& exposed, std::vector<ScoreItem>* sink = nullptr) const;

    // Room the credits (title, composer, ...) take above the first system;
    // 0 without credits.
    static double HeaderHeight(const Credits& credits);

private:
    struct Shape;
    struct Cell;
    void PaintHeader(QPainter& p) const;
    void PaintSystem(QPainter& p, size_t systemIndex, const QRectF& exposed) const;
    void PaintMeasure(QPainter& p, const ScoreLayout::MeasureBox& box, const ScoreLayout::SystemBox& system,
                      const QRectF& exposed) const;
    void PaintBarlines(QPainter& p, const ScoreLayout::MeasureBox& box, const ScoreLayout::SystemBox& system) const;
    void PaintPrefix(QPainter& p, const ScoreLayout::MeasureBox& box, int slot, double staffTop) const;
    void PaintTime(QPainter& p, int16_t measure, double x, double staffTop) const;
    void PaintClef(QPainter& p, const StaffPlacement& placement, double x, double staffTop) const;
    void PaintAccidental(QPainter& p, int alteration, double x, double y, double scale) const;
    Cell BuildCell(int slot, int16_t measure, double staffTop) const;
    void PaintCell(QPainter& p, const Cell& cell) const;
    void PaintShape(QPainter& p, const Cell& cell, const Shape& shape) const;
    void PaintRest(QPainter& p, const Shape& shape, double staffTop) const;
    void PaintTies(QPainter& p, const Cell& cell, const Shape& shape) const;
    void PaintIncomingTies(QPainter& p, const Cell& cell) const;
    void PaintMarks(QPainter& p, const Shape& shape, double staffTop) const;
    void PaintDirections(QPainter& p, const ScoreLayout::MeasureBox& box) const;
    void PaintSpans(QPainter& p, const ScoreLayout::MeasureBox& box, const ScoreLayout::SystemBox& system) const;
    void Record(ScoreItem::Kind kind, const QRectF& box, const Shape& shape) const;

    const tonaroengine::Document& document_;
    const ScoreLayout& layout_;
    const ScoreMarkings& markings_;
    mutable std::vector<ScoreItem>* sink_ = nullptr;
};

}  // namespace tonaroapp
