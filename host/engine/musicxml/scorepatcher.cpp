#include "host/engine/musicxml/scorepatcher.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <unordered_map>

#include "host/engine/documentstate.h"
#include "host/engine/musicxml/splicewriter.h"

namespace tonaroengine::musicxml {

namespace {

bool IsWhitespace(const pugi::xml_node& node)
{
    if (node.type() != pugi::node_pcdata) return false;
    for (const char* c = node.value(); *c; ++c)
        if (*c != ' ' && *c != '\t' && *c != '\n' && *c != '\r') return false;
    return true;
}

// Inserts a new element named name after (or, with before, before) ref,
// repeating the indentation that stands before ref.
pugi::xml_node InsertElement(pugi::xml_node parent, pugi::xml_node ref, bool before, const char* name)
{
    const pugi::xml_node previous = ref.previous_sibling();
    const bool indent = previous && IsWhitespace(previous);
    pugi::xml_node element;
    if (before) {
        element = parent.insert_child_before(name, ref);
        if (indent) parent.insert_child_before(pugi::node_pcdata, ref).set_value(previous.value());
    } else {
        element = parent.insert_child_after(name, ref);
        if (indent) parent.insert_child_after(pugi::node_pcdata, ref).set_value(previous.value());
    }
    return element;
}

void RemoveElement(pugi::xml_node element)
{
    pugi::xml_node parent = element.parent();
    const pugi::xml_node previous = element.previous_sibling();
    if (previous && IsWhitespace(previous)) parent.remove_child(previous);
    parent.remove_child(element);
}

void SetText(pugi::xml_node element, const std::string& text)
{
    element.text().set(text.c_str());
}

const char* const kStepLetters[7] = {"C", "D", "E", "F", "G", "A", "B"};

void WritePitch(pugi::xml_node note, const AbsPitch& pitch)
{
    pugi::xml_node element = note.child("pitch");
    if (!element) return;
    const int step = FloorMod(pitch.absStep, 7);
    const int octave = FloorDiv(pitch.absStep, 7);
    pugi::xml_node stepNode = element.child("step");
    SetText(stepNode, kStepLetters[step]);
    pugi::xml_node alter = element.child("alter");
    if (pitch.alter == 0) {
        if (alter) RemoveElement(alter);
    } else {
        if (!alter) alter = InsertElement(element, stepNode, false, "alter");
        SetText(alter, std::to_string(pitch.alter));
    }
    SetText(element.child("octave"), std::to_string(octave));
}

std::string_view TrimmedText(const pugi::xml_node& element)
{
    std::string_view view(element.child_value());
    while (!view.empty() && std::strchr(" \t\r\n", view.front())) view.remove_prefix(1);
    while (!view.empty() && std::strchr(" \t\r\n", view.back())) view.remove_suffix(1);
    return view;
}

bool IsCourtesy(const pugi::xml_node& accidental)
{
    for (const char* name : {"cautionary", "editorial", "parentheses", "bracket"})
        if (std::strcmp(accidental.attribute(name).value(), "yes") == 0) return true;
    return false;
}

// Elements that follow <accidental> in a <note>.
bool FollowsAccidental(const char* name)
{
    static const char* const kAfter[] = {"time-modification", "stem", "notehead", "notehead-text", "staff",
                                         "beam", "notations", "lyric", "play", "listen"};
    for (const char* after : kAfter)
        if (std::strcmp(name, after) == 0) return true;
    return false;
}

void ShowAccidental(pugi::xml_node note, bool needed, int alter)
{
    pugi::xml_node accidental = note.child("accidental");
    const char* value = AccidentalValue(alter);
    if (needed && value) {
        if (accidental) {
            if (TrimmedText(accidental) != value) SetText(accidental, value);
            return;
        }
        pugi::xml_node ref;
        for (pugi::xml_node child = note.first_child(); child; child = child.next_sibling())
            if (child.type() == pugi::node_element && FollowsAccidental(child.name())) {
                ref = child;
                break;
            }
        if (ref) {
            accidental = InsertElement(note, ref, true, "accidental");
        } else {
            pugi::xml_node last;
            for (pugi::xml_node child = note.first_child(); child; child = child.next_sibling())
                if (child.type() == pugi::node_element) last = child;
            accidental = last ? InsertElement(note, last, false, "accidental") : note.append_child("accidental");
        }
        SetText(accidental, value);
    } else if (accidental && !(IsCourtesy(accidental) && value && TrimmedText(accidental) == value)) {
        RemoveElement(accidental);
    }
}

struct LinePitch {
    int absStep = 0;
    double alter = 0;
};

// Whether each note of a line needs an accidental: its alteration differs
// from what the key and earlier notes on the same step and octave imply.
void NeededAccidentals(const SourceScore& source, const std::vector<size_t>& order,
                       const std::vector<LinePitch>& pitches, std::vector<char>* needed)
{
    std::vector<std::pair<int, double>> memory;
    needed->assign(order.size(), 0);
    for (size_t i = 0; i < order.size(); ++i) {
        const MappedNote& note = source.notes[order[i]];
        const LinePitch& pitch = pitches[i];
        double implied = source.keys[note.keyContext].alter[static_cast<size_t>(FloorMod(pitch.absStep, 7))];
        auto found = std::find_if(memory.begin(), memory.end(), [&](const auto& m) { return m.first == pitch.absStep; });
        if (found != memory.end()) implied = found->second;
        (*needed)[i] = std::fabs(pitch.alter - implied) > 1e-6;
        if (found != memory.end())
            found->second = pitch.alter;
        else
            memory.emplace_back(pitch.absStep, pitch.alter);
    }
}

// Finds the entries of a line's notes. Notes come in the order of their
// entries, so the entry of a note is mostly the one of the note before it or
// one of the next few in the same layer; only when it is not, the document's
// entry index is asked.
class EntryFinder {
public:
    explicit EntryFinder(const DocumentState& state) : state_(state) {}

    // The stored record of entry entnum (null when none) and its place.
    const EXENTRY* Find(uint32_t entnum, EntryLocation* where)
    {
        if (layer_) {
            const size_t end = std::min(layer_->size(), index_ + kLookAhead);
            for (size_t i = index_; i < end; ++i) {
                if ((*layer_)[i].entnum != entnum) continue;
                index_ = i;
                *where = where_;
                where->index = static_cast<int>(i);
                return &(*layer_)[i];
            }
        }
        layer_ = nullptr;
        if (!state_.FindEntry(entnum, &where_)) return nullptr;
        layer_ = state_.FindLayer(where_.staff, where_.measure, where_.layer);
        if (!layer_) return nullptr;
        index_ = static_cast<size_t>(where_.index);
        *where = where_;
        return &(*layer_)[index_];
    }

private:
    static constexpr size_t kLookAhead = 4;
    const DocumentState& state_;
    const Layer* layer_ = nullptr;
    size_t index_ = 0;
    EntryLocation where_;
};

}  // namespace

const char* AccidentalValue(int alter)
{
    switch (alter) {
    case -3: return "triple-flat";
    case -2: return "flat-flat";
    case -1: return "flat";
    case 0: return "natural";
    case 1: return "sharp";
    case 2: return "double-sharp";
    case 3: return "triple-sharp";
    default: return nullptr;
    }
}

PatchOutcome PatchScore(const Document& document, SourceScore& source)
{
    PatchOutcome outcome;
    std::unordered_map<size_t, size_t> updateOf;  // note index -> index in outcome.updates
    std::vector<size_t> order;
    std::vector<LinePitch> before, after;
    std::vector<char> neededBefore, neededAfter;

    EntryFinder finder(document.State());
    int16_t keyStaff = 0, keyMeasure = 0;
    uint16_t key = 0;
    for (const MeasureLine& line : source.lines) {
        bool lineChanged = false;
        for (size_t n = line.begin; n < line.end; ++n) {
            MappedNote& note = source.notes[n];
            EntryLocation where;
            const EXENTRY* found = finder.Find(note.entnum, &where);
            if (!found) continue;
            const EXENTRY& entry = *found;
            const EXNOTE* slot = nullptr;
            for (int i = 0; i < entry.numNotes && i < EXENTRY_MAXNOTES; ++i)
                if (entry.notes[i].noteID == note.noteID) slot = &entry.notes[i];
            if (!slot || !(entry.flags & EXENTRY_NOTE)) continue;
            if (where.staff != keyStaff || where.measure != keyMeasure || keyStaff == 0) {
                keyStaff = where.staff;
                keyMeasure = where.measure;
                key = document.CellKeySignature(where.staff, where.measure);
            }
            const AbsPitch now = FromPitchData(key, slot->displacement, slot->raiselower);
            if (now == AbsPitch{note.soundingAbsStep, note.soundingAlter}) continue;
            if (!(note.flags & kNoteRewritable)) {
                ++outcome.leftAsTheyWere;
                continue;
            }
            BaselineUpdate update;
            update.note = n;
            update.sounding = now;
            update.file = source.concertScore ? now : SoundingToWritten(now, source.transpositions[note.transposition]);
            if (!AccidentalValue(update.file.alter)) {
                ++outcome.leftAsTheyWere;  // more than three half steps: no accidental can show it
                continue;
            }
            updateOf[n] = outcome.updates.size();
            outcome.updates.push_back(update);
            WritePitch(EditableNote(source, pugi::xml_node(note.node)), update.file);
            lineChanged = true;
        }
        if (!lineChanged) continue;

        // Accidentals, staff by staff, in time order.
        std::vector<int16_t> staves;
        for (size_t n = line.begin; n < line.end; ++n)
            if (std::find(staves.begin(), staves.end(), source.notes[n].staff) == staves.end())
                staves.push_back(source.notes[n].staff);
        for (int16_t staff : staves) {
            order.clear();
            bool staffChanged = false;
            for (size_t n = line.begin; n < line.end; ++n) {
                if (source.notes[n].staff != staff || (source.notes[n].flags & kNoteUnpitched)) continue;
                order.push_back(n);
                staffChanged = staffChanged || updateOf.count(n);
            }
            if (!staffChanged) continue;
            std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
                return source.notes[a].position < source.notes[b].position;
            });
            before.clear();
            after.clear();
            for (size_t n : order) {
                const MappedNote& note = source.notes[n];
                before.push_back(LinePitch{note.fileAbsStep, note.fileAlter});
                auto found = updateOf.find(n);
                if (found != updateOf.end()) {
                    const AbsPitch& file = outcome.updates[found->second].file;
                    after.push_back(LinePitch{file.absStep, static_cast<double>(file.alter)});
                } else {
                    after.push_back(before.back());
                }
            }
            NeededAccidentals(source, order, before, &neededBefore);
            NeededAccidentals(source, order, after, &neededAfter);
            for (size_t i = 0; i < order.size(); ++i) {
                const MappedNote& note = source.notes[order[i]];
                const bool changed = updateOf.count(order[i]) > 0;
                if (!changed && (neededBefore[i] == neededAfter[i] || (note.flags & kNoteMicrotone))) continue;
                ShowAccidental(EditableNote(source, pugi::xml_node(note.node)), neededAfter[i] != 0,
                               static_cast<int>(std::lround(after[i].alter)));
            }
        }
    }

    // Respaced measures: the reader lays their notes out anew.
    std::vector<char> respaced(static_cast<size_t>(document.MeasureCount()) + 1, 0);
    bool anyRespaced = false;
    for (int m = 1; m <= document.MeasureCount(); ++m)
        if (document.IsRespaced(static_cast<int16_t>(m))) respaced[static_cast<size_t>(m)] = anyRespaced = true;
    if (anyRespaced) {
        for (const auto& [measure, node] : source.positionedNotes) {
            if (static_cast<size_t>(measure) >= respaced.size() || !respaced[static_cast<size_t>(measure)]) continue;
            DropPositions(source, pugi::xml_node(node));
        }
        const size_t inFile = std::min(respaced.size(), static_cast<size_t>(source.fileMeasures) + 1);
        outcome.respacedMeasures = static_cast<size_t>(std::count(respaced.begin(), respaced.begin() + static_cast<ptrdiff_t>(inFile), 1));
    }
    return outcome;
}

void CommitBaselines(SourceScore& source, const PatchOutcome& outcome)
{
    for (const BaselineUpdate& update : outcome.updates) {
        MappedNote& note = source.notes[update.note];
        note.soundingAbsStep = static_cast<int16_t>(update.sounding.absStep);
        note.soundingAlter = static_cast<int16_t>(update.sounding.alter);
        note.fileAbsStep = static_cast<int16_t>(update.file.absStep);
        note.fileAlter = static_cast<float>(update.file.alter);
    }
}

}  // namespace tonaroengine::musicxml
