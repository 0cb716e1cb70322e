// Entry metrics: which notes of an entry show an accidental, under the
// standard rule. Every entry of the entry's cell (all layers) is taken in
// time order; a note shows an accidental when its alteration differs from
// what the key signature, or an earlier note on the same staff line and
// octave in the measure, gives; a note that a tie from the previous entry of
// its layer reaches (same line, same alteration) shows none.
#include <algorithm>
#include <map>
#include <set>
#include <tuple>

#include "host/engine/bytes.h"
#include "host/engine/pitch.h"
#include "host/engine/recordaccess.h"
#include "tonaropdk/hostapi/clefdef.h"
#include "tonaropdk/hostapi/recordtags.h"

namespace tonaroengine {

namespace {

int16_t MiddleCPosition(const DocumentState& state, uint16_t clef)
{
    const uint16_t address[4] = {clef, 0, 0, 0};
    const RecordBytes* def = state.FindRecord(MakeRecordKey(TAG_CLEFDEF, address));
    if (!def || def->size() < 2) return -10;
    return ReadAt<int16_t>(def->data(), offsetof(EDTClefDef, middleCPos));
}

bool IsNote(const EXENTRY& entry)
{
    return (entry.flags & EXENTRY_NOTE) && entry.numNotes > 0 && entry.numNotes <= EXENTRY_MAXNOTES;
}

// Lines (step, alteration) that ties from this entry carry into the next.
std::set<std::pair<int, int>> TiesOut(const EXENTRY& entry, uint16_t key)
{
    std::set<std::pair<int, int>> ties;
    if (!IsNote(entry)) return ties;
    for (int i = 0; i < entry.numNotes; ++i) {
        const EXNOTE& note = entry.notes[i];
        if (note.flags & EXNOTE_TIESTART)
            ties.emplace(AbsoluteStep(key, note.displacement),
                         TotalAlteration(key, note.displacement, note.raiselower));
    }
    return ties;
}

}  // namespace

bool ComputeEntryMetrics(const DocumentState& state, uint32_t entnum, EDTEntryMetrics* out)
{
    EntryLocation location;
    if (!out || entnum == 0 || !state.FindEntry(entnum, &location)) return false;
    const CellLayers* cell = state.FindCell(location.staff, location.measure);
    if (!cell) return false;
    const uint16_t key = state.CellKeySignature(location.staff, location.measure);

    // Every entry of the cell in time order: position, layer, index.
    std::vector<std::tuple<int32_t, int, size_t>> order;
    for (int layer = 0; layer < kLayerCount; ++layer)
        for (size_t i = 0; i < (*cell)[static_cast<size_t>(layer)].size(); ++i)
            order.emplace_back(int32_t{(*cell)[static_cast<size_t>(layer)][i].position}, layer, i);
    std::sort(order.begin(), order.end());

    // Ties reaching into the measure from the previous one, per layer.
    std::map<int, std::set<std::pair<int, int>>> tiedIn;
    const uint16_t previousKey = state.CellKeySignature(location.staff, static_cast<int16_t>(location.measure - 1));
    for (int layer = 0; layer < kLayerCount; ++layer) {
        const Layer* previous = state.FindLayer(location.staff, static_cast<int16_t>(location.measure - 1), layer);
        if (previous && !previous->empty()) tiedIn[layer] = TiesOut(previous->back(), previousKey);
    }

    EDTEntryMetrics metrics{};
    std::map<int, int> lineAlteration;  // absolute step -> alteration in force
    for (const auto& [position, layer, index] : order) {
        const EXENTRY& entry = (*cell)[static_cast<size_t>(layer)][index];
        const bool wanted = entry.entnum == entnum;
        if (IsNote(entry)) {
            for (int i = 0; i < entry.numNotes; ++i) {
                const EXNOTE& note = entry.notes[i];
                const int step = AbsoluteStep(key, note.displacement);
                const int alteration = TotalAlteration(key, note.displacement, note.raiselower);
                auto known = lineAlteration.find(step);
                const int expected = known != lineAlteration.end() ? known->second : KeyAlteration(key, step % 7 < 0 ? step % 7 + 7 : step % 7);
                bool shown = alteration != expected;
                if (tiedIn[layer].count({step, alteration})) shown = false;
                lineAlteration[step] = alteration;
                if (wanted) {
                    EDTNoteMetrics& slot = metrics.notes[i];
                    slot.accidentalShown = shown ? 1 : 0;
                    slot.accidental = static_cast<int8_t>(std::clamp(alteration, -2, 2));
                    slot.noteID = note.noteID;
                    slot.staffPosition = static_cast<int16_t>(MiddleCPosition(state, entry.clef) + step - 28);
                }
            }
            if (wanted) metrics.numNotes = entry.numNotes;
        }
        tiedIn[layer] = TiesOut(entry, key);
        if (wanted) {
            *out = metrics;
            return true;
        }
    }
    return false;
}

}  // namespace tonaroengine
