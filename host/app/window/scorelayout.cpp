#include "host/app/window/scorelayout.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>

#include "host/app/window/scorepitch.h"
#include "host/engine/document.h"
#include "tonaropdk/hostapi/exentry.h"

namespace tonaroapp {

namespace {

constexpr int kLayers = 4;

// Room a time span takes: grows with the logarithm of its length, so that a
// whole note is wider than a quarter but not four times as wide.
double SpanWidth(int32_t duration)
{
    const double units = std::max<int32_t>(duration, 64);
    const double natural = ScoreLayout::kSpace * (1.0 + 1.4 * std::log2(units / 128.0));
    return ScoreLayout::kSpace * 1.4 + std::max(2.2 * ScoreLayout::kSpace, natural);
}

// The columns of a measure, at offsets from its content start, and the
// natural content width.
struct MeasureContent {
    std::vector<ScoreLayout::Column> columns;
    double width = 0;
};

MeasureContent MeasureColumns(const tonaroengine::Document& document, int16_t measure)
{
    // position -> (longest entry starting there, graces before it)
    std::map<int32_t, std::pair<int32_t, int>> spans;
    for (int slot = 1; slot <= document.StaffCount(); ++slot) {
        const int16_t staff = document.StaffAtSlot(slot);
        for (int layer = 0; layer < kLayers; ++layer) {
            if (!document.IsLayerShown(layer)) continue;
            std::map<int32_t, int> graces;
            for (const EXENTRY& entry : document.Entries(staff, measure, layer)) {
                // Copies: the packed record's fields may sit unaligned.
                const int32_t position = entry.position;
                const int32_t duration = entry.duration;
                if (entry.flags & EXENTRY_GRACE) {
                    ++graces[position];
                    continue;
                }
                if (duration <= 0) continue;
                auto& span = spans[position];
                span.first = std::max(span.first, duration);
            }
            for (const auto& [position, count] : graces) {
                auto& span = spans[position];
                span.second = std::max(span.second, count);
            }
        }
    }
    MeasureContent content;
    const int32_t measureEnd = document.MeasureDuration(measure);
    double x = 0;
    for (auto it = spans.begin(); it != spans.end(); ++it) {
        const auto next = std::next(it);
        int32_t span = next != spans.end() ? next->first - it->first : measureEnd - it->first;
        if (span <= 0) span = std::max<int32_t>(it->second.first, 256);
        x += it->second.second * ScoreLayout::kGraceWidth;
        ScoreLayout::Column column;
        column.position = it->first;
        column.graceCount = it->second.second;
        column.x = x + ScoreLayout::kSpace * 1.4;  // after the accidental room
        content.columns.push_back(column);
        x += SpanWidth(span);
    }
    content.width = x;
    return content;
}

int KeyAccidentals(uint16_t key)
{
    if (key > 0x01FF) return 0;
    return std::min(7, std::abs(static_cast<int>(static_cast<int8_t>(key & 0xFF))));
}

}  // namespace

int KeyCancellations(uint16_t before, uint16_t next)
{
    if (before > 0x01FF || next > 0x01FF || before == next) return 0;
    const int was = std::clamp<int>(static_cast<int8_t>(before & 0xFF), -7, 7);
    const int now = std::clamp<int>(static_cast<int8_t>(next & 0xFF), -7, 7);
    if (was == 0) return 0;
    if ((was > 0) == (now > 0) && now != 0) return std::max(0, std::abs(was) - std::abs(now));
    return std::abs(was);
}

void ScoreLayout::Build(const tonaroengine::Document* document, double width,
                        const std::vector<std::string>& staffNames, double headerHeight)
{
    systems_.clear();
    measures_.clear();
    staffCount_ = 0;
    concert_ = false;
    hasNames_ = false;
    size_ = QSizeF();
    if (document == nullptr || document->StaffCount() <= 0 || document->MeasureCount() <= 0) return;

    staffCount_ = document->StaffCount();
    concert_ = tonaroapp::ShowsConcertPitch(document);
    hasNames_ = static_cast<int>(staffNames.size()) == staffCount_ &&
                std::any_of(staffNames.begin(), staffNames.end(), [](const std::string& n) { return !n.empty(); });
    const int count = document->MeasureCount();

    // Natural widths and what each measure would show at a system start.
    std::vector<MeasureContent> contents(static_cast<size_t>(count));
    std::vector<int> keyWidth(static_cast<size_t>(count), 0);  // most key accidentals of any slot
    std::vector<bool> keyChanges(static_cast<size_t>(count), false);
    std::vector<bool> timeChanges(static_cast<size_t>(count), false);
    std::vector<bool> clefChanges(static_cast<size_t>(count), false);
    std::vector<uint16_t> previousKeys(static_cast<size_t>(staffCount_), 0xFFFF);
    std::vector<int16_t> previousClefs(static_cast<size_t>(staffCount_), -1);
    std::pair<int, int> previousTime{-1, -1};
    for (int m = 1; m <= count; ++m) {
        const auto measure = static_cast<int16_t>(m);
        const auto index = static_cast<size_t>(m - 1);
        contents[index] = MeasureColumns(*document, measure);
        for (int slot = 1; slot <= staffCount_; ++slot) {
            const int16_t staff = document->StaffAtSlot(slot);
            const StaffPlacement placement = PlacementAt(document, staff, measure, 0, concert_);
            const uint16_t key = ShownKey(placement, document->CellKeySignature(staff, measure));
            auto& previous = previousKeys[static_cast<size_t>(slot - 1)];
            const int cancels = m > 1 ? KeyCancellations(previous, key) : 0;
            keyWidth[index] = std::max(keyWidth[index], KeyAccidentals(key) + cancels);
            if (m > 1 && key != previous) keyChanges[index] = true;
            previous = key;
            auto& previousClef = previousClefs[static_cast<size_t>(slot - 1)];
            if (m > 1 && placement.clef != previousClef) clefChanges[index] = true;
            previousClef = placement.clef;
        }
        std::pair<int, int> time{0, 0};
        MeasureTimeSignature(document, measure, &time.first, &time.second);
        timeChanges[index] = m == 1 || time != previousTime;
        previousTime = time;
    }

    const double left = kMargin + (hasNames_ ? kNameWidth : 0.0);
    const double available = std::max(width - left - kMargin, kMinMeasureWidth * 2);
    auto prefixWidth = [&](size_t index, bool systemStart) {
        double prefix = 0;
        if (systemStart || clefChanges[index]) prefix += kClefWidth;
        if ((systemStart || keyChanges[index]) && keyWidth[index] > 0)
            prefix += keyWidth[index] * kKeyAccidentalWidth + kSpace;
        if (timeChanges[index]) prefix += kTimeWidth;
        return prefix;
    };
    auto naturalWidth = [&](size_t index, bool systemStart) {
        return prefixWidth(index, systemStart) +
               std::max(kMinMeasureWidth, contents[index].width + 2 * kMeasurePad);
    };

    measures_.resize(static_cast<size_t>(count));
    double top = kMargin + std::max(0.0, headerHeight);
    size_t index = 0;
    double widest = 0;
    while (index < static_cast<size_t>(count)) {
        SystemBox system;
        system.firstMeasure = static_cast<int16_t>(index + 1);
        system.top = top;
        system.height = staffCount_ * kStaffDistance;
        system.left = left;
        // As many measures as fit, at least one.
        std::vector<double> widths{naturalWidth(index, true)};
        double used = widths.front();
        size_t end = index + 1;
        while (end < static_cast<size_t>(count)) {
            const double next = naturalWidth(end, false);
            if (used + next > available) break;
            widths.push_back(next);
            used += next;
            ++end;
        }
        // Stretch to the full width, except a last system that is less than
        // three quarters full.
        const bool last = end == static_cast<size_t>(count);
        const double stretch = (!last || used >= available * 0.75) && used < available ? available / used : 1.0;
        double x = left;
        for (size_t i = index; i < end; ++i) {
            MeasureBox& box = measures_[i];
            const bool start = i == index;
            box.measure = static_cast<int16_t>(i + 1);
            box.system = static_cast<int>(systems_.size());
            box.left = x;
            box.width = widths[i - index] * stretch;
            box.prefixWidth = prefixWidth(i, start);
            box.showsClef = start || clefChanges[i];
            box.clefChange = clefChanges[i];
            box.showsKey = (start || keyChanges[i]) && keyWidth[i] > 0;
            box.showsTime = timeChanges[i];
            // Spread the columns over the stretched content area.
            const double natural = contents[i].width;
            const double room = box.width - box.prefixWidth - 2 * kMeasurePad;
            const double factor = natural > 0 ? std::max(1.0, room / natural) : 1.0;
            box.columns = contents[i].columns;
            for (Column& column : box.columns)
                column.x = box.left + box.prefixWidth + kMeasurePad + column.x * factor;
            x += box.width;
        }
        system.lastMeasure = static_cast<int16_t>(end);
        system.right = x;
        widest = std::max(widest, x);
        systems_.push_back(system);
        top += system.height + kSystemGap;
        index = end;
    }
    size_ = QSizeF(widest + kMargin, top - kSystemGap + kMargin);
}

const ScoreLayout::MeasureBox* ScoreLayout::Measure(int16_t measure) const
{
    if (measure < 1 || measure > MeasureCount()) return nullptr;
    return &measures_[static_cast<size_t>(measure - 1)];
}

double ScoreLayout::StaffTop(int slot, int16_t measure) const
{
    const MeasureBox* box = Measure(measure);
    if (box == nullptr || slot < 1 || slot > staffCount_) return 0;
    return systems_[static_cast<size_t>(box->system)].top + (slot - 1) * kStaffDistance + kCellPad;
}

QRectF ScoreLayout::CellRect(int slot, int16_t measure) const
{
    const MeasureBox* box = Measure(measure);
    if (box == nullptr || slot < 1 || slot > staffCount_) return QRectF();
    const double top = systems_[static_cast<size_t>(box->system)].top + (slot - 1) * kStaffDistance;
    return QRectF(box->left, top, box->width, kStaffDistance);
}

bool ScoreLayout::CellAt(QPointF point, int* slot, int16_t* measure) const
{
    for (const SystemBox& system : systems_) {
        if (point.y() < system.top || point.y() >= system.top + system.height) continue;
        if (point.x() < system.left || point.x() >= system.right) return false;
        const int foundSlot = static_cast<int>((point.y() - system.top) / kStaffDistance) + 1;
        for (int m = system.firstMeasure; m <= system.lastMeasure; ++m) {
            const MeasureBox& box = measures_[static_cast<size_t>(m - 1)];
            if (point.x() >= box.left && point.x() < box.left + box.width) {
                if (slot) *slot = std::clamp(foundSlot, 1, staffCount_);
                if (measure) *measure = static_cast<int16_t>(m);
                return true;
            }
        }
        return false;
    }
    return false;
}

double ScoreLayout::EntryX(int16_t measure, int32_t position) const
{
    const MeasureBox* box = Measure(measure);
    if (box == nullptr) return 0;
    const double start = box->left + box->prefixWidth + kMeasurePad + kSpace * 1.4;
    const double end = box->left + box->width - kMeasurePad;
    const std::vector<Column>& columns = box->columns;
    if (columns.empty()) return start;
    // Positions before the first column sit on it; between two columns they
    // are interpolated; after the last one, toward the end of the measure.
    if (position <= columns.front().position) return columns.front().x;
    for (size_t i = 1; i < columns.size(); ++i) {
        if (position == columns[i].position) return columns[i].x;
        if (position < columns[i].position) {
            const Column& a = columns[i - 1];
            const Column& b = columns[i];
            return a.x + (b.x - a.x) * (position - a.position) / double(b.position - a.position);
        }
    }
    const Column& lastColumn = columns.back();
    if (position == lastColumn.position) return lastColumn.x;
    // No column at or after position: the measure's end counts as one.
    return std::min(end, lastColumn.x + (end - lastColumn.x) * 0.5);
}

}  // namespace tonaroapp
