// The geometry of a score for the score view: systems that wrap to a width,
// measure widths from their content, the staff positions of every slot, the
// rectangle of every cell (one staff in one measure), the clef, key and time
// prefix that a measure shows, and the horizontal place of each time
// position in a measure. No painting here.
//
// All lengths are in view units at 100 % zoom (the view scales them). A
// layout is a snapshot: Build reads the document once and keeps nothing of
// it, so edits show only after the next Build.
#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <cstdint>
#include <string>
#include <vector>

namespace tonaroengine {
class Document;
}

namespace tonaroapp {

// How many accidentals of the key before are cancelled by naturals where
// the key changes to next (key IDs as the engine stores them): those the
// new key no longer has. 0 for keys that are neither major nor minor.
int KeyCancellations(uint16_t before, uint16_t next);

class ScoreLayout {
public:
    static constexpr double kSpace = 8.0;                    // distance between two staff lines
    static constexpr double kStaffHeight = 4 * kSpace;       // top line to bottom line
    static constexpr double kStaffDistance = 11 * kSpace;    // top line to top line of the next slot
    static constexpr double kCellPad = (kStaffDistance - kStaffHeight) / 2;  // cell edge to staff line
    static constexpr double kSystemGap = 3 * kSpace;         // between the cells of two systems
    static constexpr double kMargin = 3 * kSpace;            // around the whole score
    static constexpr double kNameWidth = 12 * kSpace;        // staff-name column, when names exist
    static constexpr double kMinMeasureWidth = 8 * kSpace;
    static constexpr double kMeasurePad = 1.5 * kSpace;      // before the first and after the last note
    static constexpr double kClefWidth = 4 * kSpace;
    static constexpr double kKeyAccidentalWidth = 1.3 * kSpace;
    static constexpr double kTimeWidth = 3.5 * kSpace;
    static constexpr double kGraceWidth = 1.6 * kSpace;

    struct Column {
        int32_t position = 0;  // duration units from the measure's start
        double x = 0;          // the notes' x (centre of a notehead)
        int graceCount = 0;    // grace entries that stand before it, most in one layer
    };

    struct MeasureBox {
        int16_t measure = 0;
        int system = 0;             // index into Systems()
        double left = 0;            // barline at the start
        double width = 0;           // to the barline at the end
        double prefixWidth = 0;     // clef, key and time drawn at the start
        bool showsClef = false;     // first measure of a system, or a staff's clef changes here
        bool clefChange = false;    // some staff's clef at the start differs from the measure before
        bool showsKey = false;      // first of a system, or the key changes here
        bool showsTime = false;     // first measure of the score, or the time changes here
        std::vector<Column> columns;  // ascending positions
    };

    struct SystemBox {
        int16_t firstMeasure = 0;
        int16_t lastMeasure = 0;
        double top = 0;     // top edge of the top slot's cells
        double height = 0;  // StaffCount() * kStaffDistance
        double left = 0;    // left edge of the first measure
        double right = 0;   // right edge of the last measure
    };

    // Lays out document for a view of the given width (view units at 100 %).
    // staffNames, when it has one name per slot, reserves a name column.
    // headerHeight is room left above the first system (for credits). A
    // null document, or one without staves or measures, gives an empty
    // layout.
    void Build(const tonaroengine::Document* document, double width,
               const std::vector<std::string>& staffNames = {}, double headerHeight = 0);

    bool IsEmpty() const { return systems_.empty(); }
    int StaffCount() const { return staffCount_; }
    int MeasureCount() const { return static_cast<int>(measures_.size()); }
    bool ShowsConcertPitch() const { return concert_; }
    bool HasNames() const { return hasNames_; }
    const std::vector<SystemBox>& Systems() const { return systems_; }
    // Null for a measure outside 1..MeasureCount().
    const MeasureBox* Measure(int16_t measure) const;
    // Total size including margins.
    QSizeF ContentSize() const { return size_; }

    // y of the top staff line of slot (1 = top) in the system of measure; 0
    // when there is no such cell.
    double StaffTop(int slot, int16_t measure) const;
    // The cell's rectangle; cells of one system tile without overlap. Empty
    // for a slot or measure that does not exist.
    QRectF CellRect(int slot, int16_t measure) const;
    // The cell under point; false (outputs untouched) when none.
    bool CellAt(QPointF point, int* slot, int16_t* measure) const;
    // x of a time position in a measure: the column's x for a position that
    // has entries, in between interpolated, and the end of the measure's
    // content for the measure's end. 0 for an unknown measure.
    double EntryX(int16_t measure, int32_t position) const;

private:
    std::vector<SystemBox> systems_;
    std::vector<MeasureBox> measures_;
    int staffCount_ = 0;
    bool concert_ = false;
    bool hasNames_ = false;
    QSizeF size_;
};

}  // namespace tonaroapp
