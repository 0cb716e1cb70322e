#include "host/engine/musicxml/scorereader.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <utility>

#include "host/engine/documentstate.h"
#include "host/engine/musicxml/voicelayers.h"
#include "tonaropdk/hostapi/clefdef.h"
#include "tonaropdk/hostapi/staffspec.h"

namespace tonaroengine::musicxml {

namespace {

constexpr int kLayers = 4;
constexpr int kMaxStavesPerPart = 64;
constexpr int kMaxMeasures = 0x7FFF;
constexpr int16_t kFirstStaffNumber = 101;  // staff numbers differ from slots
constexpr int32_t kFillerChunk = 16384;

bool Is(const pugi::xml_node& node, const char* name)
{
    return std::strcmp(node.name(), name) == 0;
}

std::string_view Trim(const char* text)
{
    std::string_view view(text);
    while (!view.empty() && (view.front() == ' ' || view.front() == '\t' || view.front() == '\n' || view.front() == '\r'))
        view.remove_prefix(1);
    while (!view.empty() && (view.back() == ' ' || view.back() == '\t' || view.back() == '\n' || view.back() == '\r'))
        view.remove_suffix(1);
    return view;
}

bool ParseDouble(std::string_view text, double* out)
{
    if (text.empty() || text.size() > 40) return false;
    // Most numbers of a score are short whole numbers (octaves, durations):
    // read directly, to the same value strtod gives them.
    if (text.size() <= 9) {
        const bool negative = text[0] == '-';
        size_t i = negative ? 1 : 0;
        int64_t value = 0;
        bool digits = i < text.size();
        for (; i < text.size() && digits; ++i) {
            const char c = text[i];
            digits = c >= '0' && c <= '9';
            value = value * 10 + (c - '0');
        }
        if (digits) {
            *out = negative ? -static_cast<double>(value) : static_cast<double>(value);
            return true;
        }
    }
    char buffer[48];
    std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = 0;
    char* end = nullptr;
    const double value = std::strtod(buffer, &end);
    if (end != buffer + text.size() || !std::isfinite(value)) return false;
    *out = value;
    return true;
}

bool ParseInt(std::string_view text, int* out)
{
    double value = 0;
    if (!ParseDouble(text, &value) || value != std::floor(value) || std::fabs(value) > 1e9) return false;
    *out = static_cast<int>(value);
    return true;
}

// The value of <name> under node as a number; fallback when absent or bad.
double ChildNumber(const pugi::xml_node& node, const char* name, double fallback)
{
    const pugi::xml_node child = node.child(name);
    double value = 0;
    return child && ParseDouble(Trim(child.child_value()), &value) ? value : fallback;
}

// The value of <name> under node rounded to a whole number and held within
// +-1e9, so that any text converts to an int safely; fallback when absent or bad.
int ChildWhole(const pugi::xml_node& node, const char* name, int fallback)
{
    const double value = std::clamp(ChildNumber(node, name, fallback), -1e9, 1e9);
    return static_cast<int>(std::lround(value));
}

int StepOfLetter(std::string_view letter)
{
    if (letter.size() != 1) return -1;
    switch (letter[0]) {
    case 'C': return 0;
    case 'D': return 1;
    case 'E': return 2;
    case 'F': return 3;
    case 'G': return 4;
    case 'A': return 5;
    case 'B': return 6;
    default: return -1;
    }
}

// Duration units of a note type (grace notes take their look from it).
int32_t TypeUnits(std::string_view type, int dots)
{
    static constexpr std::pair<std::string_view, int32_t> kTypes[] = {
        {"maxima", 16384}, {"long", 16384}, {"breve", 8192}, {"whole", 4096}, {"half", 2048},
        {"quarter", 1024}, {"eighth", 512},  {"16th", 256},   {"32nd", 128},   {"64th", 64},
        {"128th", 32},     {"256th", 16},    {"512th", 8},    {"1024th", 4}};
    int32_t base = 512;
    for (const auto& [name, units] : kTypes)
        if (name == type) base = units;
    int32_t total = base;
    for (int dot = 1; dot <= dots && (base >> dot) > 0; ++dot) total += base >> dot;
    return std::min<int32_t>(total, 0x7FFF);
}

struct StaffState {
    int16_t hostStaff = 0;
    bool traditionalKey = true;
    int writtenFifths = 0;
    bool minor = false;
    uint16_t keyContext = 0;     // the file's key in force now
    uint16_t concertKeyNow = 0;  // host key in force now
    uint16_t cellKey = 0;        // host key of the current measure's cell
    uint16_t transposition = 0;  // index into SourceScore::transpositions
    int16_t transpositionWord = 0;
    bool independentKey = false;
    bool percussion = false;
    std::vector<std::pair<std::string_view, int>> preferredLayers;
};

struct LayerBuild {
    std::vector<EXENTRY> entries;
    std::vector<uint32_t> entnums;
    int32_t end = 0;
    bool used = false;
};

struct PendingNote {
    pugi::xml_node_struct* node = nullptr;
    int staffInPart = 0;
    int build = 0;
    int entry = 0;
    int note = 0;
    int32_t position = 0;
    int16_t fileAbsStep = 0;
    float fileAlter = 0;
    AbsPitch sounding;
    uint8_t flags = 0;
    uint16_t keyContext = 0;
    uint16_t transposition = 0;
};

class Reader {
public:
    Reader(Document& document, SourceScore& source, ReadProblem* problem)
        : doc_(document), src_(source), problem_(problem)
    {
    }

    bool Run()
    {
        const pugi::xml_node root = src_.xml.document_element();
        if (!root) return Fail(root, "the file holds no XML element");
        if (Is(root, "score-timewise"))
            return Fail(root, "score-timewise files are not supported; convert the score to score-partwise");
        if (!Is(root, "score-partwise")) return Fail(root, std::string("not a MusicXML score: the root element is <") + root.name() + ">");

        src_.concertScore = static_cast<bool>(root.child("defaults").child("concert-score"));
        if (src_.concertScore) doc_.SetConcertPitch(true);
        src_.keys.push_back(KeyContext{});
        src_.transpositions.push_back(Transposition{});

        int partIndex = 0;
        for (pugi::xml_node part = root.child("part"); part; part = part.next_sibling("part")) {
            if (!ReadPart(part, partIndex)) return false;
            ++partIndex;
        }
        if (partIndex == 0) return Fail(root, "the score has no <part>");
        return true;
    }

private:
    bool Fail(const pugi::xml_node& at, std::string message)
    {
        if (problem_) {
            problem_->offset = at ? at.offset_debug() : -1;
            problem_->message = std::move(message);
        }
        return false;
    }

    std::string Where(const pugi::xml_node& measure) const
    {
        return "part \"" + std::string(partId_) + "\", measure \"" + measure.attribute("number").value() + "\"";
    }

    template <typename T>
    static uint16_t Intern(std::vector<T>& table, const T& value)
    {
        for (size_t i = 0; i < table.size(); ++i)
            if (table[i] == value) return static_cast<uint16_t>(i);
        table.push_back(value);
        return static_cast<uint16_t>(table.size() - 1);
    }

    // --- Staves ------------------------------------------------------------------------

    bool EnsureStaves(int count, const pugi::xml_node& at)
    {
        if (count > kMaxStavesPerPart) return Fail(at, "a part may have at most 64 staves");
        while (partStaffCount_ < count) {
            const int slot = static_cast<int>(staves_.size()) + 1;
            if (slot + kFirstStaffNumber - 1 > 0x7FFF) return Fail(at, "the score has too many staves");
            StaffState staff;
            staff.hostStaff = doc_.AddStaff(static_cast<int16_t>(kFirstStaffNumber + slot - 1));
            if (staff.hostStaff == 0) return Fail(at, "the engine refused a staff");
            staves_.push_back(staff);
            ++partStaffCount_;
        }
        if (builds_.size() < static_cast<size_t>(partStaffCount_) * kLayers)
            builds_.resize(static_cast<size_t>(partStaffCount_) * kLayers);
        if (measureVoices_.size() < static_cast<size_t>(partStaffCount_))
            measureVoices_.resize(static_cast<size_t>(partStaffCount_));
        return true;
    }

    StaffState& Staff(int staffInPart)
    {
        return staves_[static_cast<size_t>(partFirstStaff_ + staffInPart)];
    }

    // Staves (0-based within the part) an element with an optional number
    // attribute speaks of.
    std::pair<int, int> StaffRange(const pugi::xml_node& element)
    {
        const int number = element.attribute("number").as_int(0);
        if (number >= 1 && number <= partStaffCount_) return {number - 1, number};
        return {0, partStaffCount_};
    }

    void UpdateConcertKey(StaffState& staff, int32_t time)
    {
        if (!staff.traditionalKey) {
            staff.concertKeyNow = 0;
        } else {
            int fifths = staff.writtenFifths;
            if (!src_.concertScore) fifths -= src_.transpositions[staff.transposition].WrittenKeyShift();
            staff.concertKeyNow = KeyIdFromFifths(fifths, staff.minor);
        }
        if (time == 0) staff.cellKey = staff.concertKeyNow;
    }

    // --- Attributes --------------------------------------------------------------------

    bool ReadAttributes(const pugi::xml_node& attributes, int32_t time, int16_t hostMeasure)
    {
        // Divisions, staves and transpositions first: a key is written in
        // the staff's transposition, which comes after it in the element.
        for (pugi::xml_node child = attributes.first_child(); child; child = child.next_sibling()) {
            if (Is(child, "divisions")) {
                double divisions = 0;
                if (!ParseDouble(Trim(child.child_value()), &divisions) || divisions <= 0 || divisions > 1e7)
                    return Fail(child, "<divisions> must be a positive number");
                divisions_ = divisions;
            } else if (Is(child, "staves")) {
                int count = 0;
                if (!ParseInt(Trim(child.child_value()), &count) || count < 1)
                    return Fail(child, "<staves> must be a positive whole number");
                if (!EnsureStaves(count, child)) return false;
            } else if (Is(child, "transpose")) {
                if (!ReadTranspose(child, time, hostMeasure)) return false;
            }
        }
        for (pugi::xml_node child = attributes.first_child(); child; child = child.next_sibling()) {
            if (Is(child, "key")) {
                if (!ReadKey(child, time)) return false;
            } else if (Is(child, "time")) {
                ReadTime(child, time);
            } else if (Is(child, "clef")) {
                ReadClef(child, time, hostMeasure);
            }
        }
        return true;
    }

    bool ReadTranspose(const pugi::xml_node& element, int32_t time, int16_t hostMeasure)
    {
        Transposition t;
        const double chromatic = ChildNumber(element, "chromatic", 0);
        t.chromatic = ChildWhole(element, "chromatic", 0);
        t.diatonic = element.child("diatonic") ? ChildWhole(element, "diatonic", 0) : DiatonicForChromatic(t.chromatic);
        t.octaveChange = ChildWhole(element, "octave-change", 0);
        int16_t word = 0;
        if (std::fabs(chromatic) > 1000 || std::abs(t.diatonic) > 1000 || std::abs(t.octaveChange) > 100 ||
            !TranspositionWord(t, &word))
            return Fail(element, "the transposition is too large for a staff");
        const uint16_t index = Intern(src_.transpositions, t);
        const auto [first, last] = StaffRange(element);
        for (int s = first; s < last; ++s) {
            StaffState& staff = Staff(s);
            staff.transposition = index;
            UpdateConcertKey(staff, time);
            if (hostMeasure == 1 && time == 0) {
                doc_.SetStaffTransposition(staff.hostStaff, word);
            } else if (word != staff.transpositionWord) {
                StaffStyle style;
                style.startMeasure = hostMeasure;
                style.startPosition = time;
                style.transposition = word;
                doc_.AddStaffStyle(staff.hostStaff, style);
            }
            staff.transpositionWord = word;
        }
        return true;
    }

    bool ReadKey(const pugi::xml_node& element, int32_t time)
    {
        KeyContext context;
        bool traditional = true;
        int fifths = 0;
        bool minor = false;
        if (element.child("fifths")) {
            if (!ParseInt(Trim(element.child_value("fifths")), &fifths) || std::abs(fifths) > 127)
                return Fail(element, "<fifths> must be a whole number from -127 to 127");
            minor = Trim(element.child_value("mode")) == "minor";
            for (int step = 0; step < 7; ++step) context.alter[static_cast<size_t>(step)] = FifthsShare(fifths, step);
        } else {
            // A key given by steps and alterations: shown as it is, but no
            // key signature for the pitch arithmetic.
            traditional = false;
            int step = -1;
            for (pugi::xml_node child = element.first_child(); child; child = child.next_sibling()) {
                if (Is(child, "key-step")) {
                    step = StepOfLetter(Trim(child.child_value()));
                } else if (Is(child, "key-alter") && step >= 0) {
                    double alter = 0;
                    if (ParseDouble(Trim(child.child_value()), &alter))
                        context.alter[static_cast<size_t>(step)] = alter;
                    step = -1;
                }
            }
        }
        const uint16_t index = Intern(src_.keys, context);
        const auto [first, last] = StaffRange(element);
        for (int s = first; s < last; ++s) {
            StaffState& staff = Staff(s);
            staff.traditionalKey = traditional;
            staff.writtenFifths = fifths;
            staff.minor = minor;
            staff.keyContext = index;
            UpdateConcertKey(staff, time);
        }
        return true;
    }

    // The document's measures take their time from the first part.
    void ReadTime(const pugi::xml_node& element, int32_t time)
    {
        if (partIndex_ != 0 || element.child("senza-misura")) return;
        int64_t total = 0;
        int lastBeatType = 4;
        for (pugi::xml_node beats = element.child("beats"); beats; beats = beats.next_sibling("beats")) {
            const pugi::xml_node beatType = beats.next_sibling("beat-type");
            int type = 0;
            if (!beatType || !ParseInt(Trim(beatType.child_value()), &type) || type < 1 || type > 4096) return;
            int64_t count = 0;
            std::string_view text = Trim(beats.child_value());
            while (!text.empty()) {
                const size_t plus = text.find('+');
                int part = 0;
                if (!ParseInt(Trim(std::string(text.substr(0, plus)).c_str()), &part) || part < 0 || part > 1000) return;
                count += part;
                if (plus == std::string_view::npos) break;
                text.remove_prefix(plus + 1);
            }
            total += count * 4096 / type;
            lastBeatType = type;
        }
        if (total <= 0 || total > 0x7FFF) return;
        int32_t beatDuration = std::max(1, 4096 / lastBeatType);
        if (total % beatDuration != 0) beatDuration = 1;
        while (total / beatDuration > 0x7FFF) beatDuration *= 2;
        const auto beats = static_cast<int16_t>(total / beatDuration);
        if (time == 0) {
            beats_ = beats;
            beatDuration_ = static_cast<int16_t>(beatDuration);
        }
        nextBeats_ = beats;
        nextBeatDuration_ = static_cast<int16_t>(beatDuration);
    }

    void ReadClef(const pugi::xml_node& element, int32_t time, int16_t hostMeasure)
    {
        const std::string_view sign = Trim(element.child_value("sign"));
        const int line = ChildWhole(element, "line", 0);
        const int octave = ChildWhole(element, "clef-octave-change", 0);
        int16_t clef = CLEF_TREBLE;
        if (sign == "F") clef = octave < 0 ? CLEF_BASS8VB : CLEF_BASS;
        else if (sign == "C") clef = line == 4 ? CLEF_TENOR : CLEF_ALTO;
        else if (sign == "percussion") clef = CLEF_PERCUSSION;
        else if (sign == "TAB") clef = CLEF_TAB;
        else if (sign == "G") clef = octave < 0 ? CLEF_TREBLE8VB : CLEF_TREBLE;
        const auto [first, last] = StaffRange(element);
        for (int s = first; s < last; ++s) {
            StaffState& staff = Staff(s);
            if (clef == CLEF_PERCUSSION) MarkPercussion(staff);
            if (hostMeasure == 1 && time == 0) {
                doc_.SetStaffClef(staff.hostStaff, clef);
            } else {
                StaffStyle style;
                style.startMeasure = hostMeasure;
                style.startPosition = time;
                style.clef = clef;
                doc_.AddStaffStyle(staff.hostStaff, style);
            }
        }
    }

    void MarkPercussion(StaffState& staff)
    {
        if (staff.percussion) return;
        staff.percussion = true;
        doc_.SetStaffNotationStyle(staff.hostStaff, STAFFSTYLE_PERCUSSION);
    }

    // --- Notes -------------------------------------------------------------------------

    bool Units(const pugi::xml_node& durationElement, int32_t* units)
    {
        double duration = 0;
        if (!ParseDouble(Trim(durationElement.child_value()), &duration) || duration < 0)
            return Fail(durationElement, "<duration> must be a number of 0 or more");
        const double value = std::round(duration * 1024.0 / divisions_);
        if (value > 1e8) return Fail(durationElement, "the duration is too long");
        *units = static_cast<int32_t>(value);
        return true;
    }

    int LayerFor(int staffInPart, std::string_view voice)
    {
        return ChooseVoiceLayer(measureVoices_[static_cast<size_t>(staffInPart)],
                                Staff(staffInPart).preferredLayers, voice);
    }

    // Appends a rest that fills a gap in a layer; it stands for nothing in the file.
    static void AppendFiller(LayerBuild& build, int32_t gap)
    {
        while (gap > 0) {
            EXENTRY rest{};
            rest.duration = static_cast<int16_t>(std::min(gap, kFillerChunk));
            gap -= rest.duration;
            build.end += rest.duration;
            build.entries.push_back(rest);
        }
    }

    bool ReadNote(const pugi::xml_node& note, int32_t* time, const pugi::xml_node& measure, int16_t hostMeasure)
    {
        if (note.first_attribute() && (note.attribute("default-x") || note.attribute("relative-x")))
            src_.positionedNotes.emplace_back(hostMeasure, note.internal_object());
        bool grace = false, chord = false, rest = false, tieStart = false;
        pugi::xml_node pitch, unpitched, duration;
        std::string_view voice = "1", type;
        int staffNumber = 1, dots = 0;
        for (pugi::xml_node child = note.first_child(); child; child = child.next_sibling()) {
            // Text between the elements has no name: no need to ask its type.
            const char* name = child.name();
            if (!*name || child.type() != pugi::node_element) continue;
            switch (name[0]) {
            case 'g': grace = grace || std::strcmp(name, "grace") == 0; break;
            case 'c': chord = chord || std::strcmp(name, "chord") == 0; break;
            case 'r': rest = rest || std::strcmp(name, "rest") == 0; break;
            case 'p': if (std::strcmp(name, "pitch") == 0) pitch = child; break;
            case 'u': if (std::strcmp(name, "unpitched") == 0) unpitched = child; break;
            case 'd':
                if (std::strcmp(name, "duration") == 0) duration = child;
                else if (std::strcmp(name, "dot") == 0) ++dots;
                break;
            case 'v': if (std::strcmp(name, "voice") == 0) voice = Trim(child.child_value()); break;
            case 's':
                if (std::strcmp(name, "staff") == 0 && !ParseInt(Trim(child.child_value()), &staffNumber))
                    return Fail(child, "<staff> must be a staff number of the part");
                break;
            case 't':
                if (std::strcmp(name, "type") == 0) type = Trim(child.child_value());
                else if (std::strcmp(name, "tie") == 0 && std::strcmp(child.attribute("type").value(), "start") == 0)
                    tieStart = true;
                break;
            default: break;
            }
        }
        if (staffNumber < 1) return Fail(note, "<staff> must be a staff number of the part");
        if (staffNumber > partStaffCount_ && !EnsureStaves(staffNumber, note)) return false;
        const int staffInPart = staffNumber - 1;

        int32_t units = 0;
        if (!grace && duration && !Units(duration, &units)) return false;
        const int32_t position = chord ? lastPosition_ : *time;
        if (!chord) {
            lastPosition_ = *time;
            if (!grace) *time += units;
        }

        int buildIndex = -1, entryIndex = -1, noteIndex = -1;
        const bool pitched = !rest && (pitch || unpitched);
        if (chord && lastBuild_ >= 0 && pitched) {
            EXENTRY& entry = builds_[static_cast<size_t>(lastBuild_)].entries[static_cast<size_t>(lastEntry_)];
            if (entry.numNotes > 0 && entry.numNotes < EXENTRY_MAXNOTES) {
                buildIndex = lastBuild_;
                entryIndex = lastEntry_;
            } else if (entry.numNotes > 0) {
                return true;  // a chord of more than twelve notes: the rest stays in the file only
            }
        }
        if (buildIndex < 0) {
            const int layer = LayerFor(staffInPart, voice);
            if (layer < 0)
                return Fail(note, Where(measure) + ": more than four voices on staff " + std::to_string(staffNumber));
            const int32_t entryUnits = grace ? TypeUnits(type, dots) : units;
            if (entryUnits > 0x7FFF) return Fail(note, Where(measure) + ": the note is too long for an entry");
            buildIndex = staffInPart * kLayers + layer;
            LayerBuild& build = builds_[static_cast<size_t>(buildIndex)];
            build.used = true;
            if (position > build.end) AppendFiller(build, position - build.end);
            EXENTRY entry{};
            entry.duration = static_cast<int16_t>(entryUnits);
            entry.flags = (pitched ? EXENTRY_NOTE : 0u) | (grace ? EXENTRY_GRACE : 0u);
            if (!grace) build.end += entryUnits;
            build.entries.push_back(entry);
            entryIndex = static_cast<int>(build.entries.size()) - 1;
            lastBuild_ = buildIndex;
            lastEntry_ = entryIndex;
        }
        if (!pitched) return true;

        EXENTRY& entry = builds_[static_cast<size_t>(buildIndex)].entries[static_cast<size_t>(entryIndex)];
        noteIndex = entry.numNotes++;
        EXNOTE& slot = entry.notes[noteIndex];
        slot.noteID = static_cast<uint16_t>(noteIndex + 1);
        slot.flags = EXNOTE_INUSE | (tieStart ? EXNOTE_TIESTART : 0u) |
                     ((static_cast<uint32_t>(slot.noteID) << EXNOTE_IDCOPY_SHIFT) & EXNOTE_IDCOPY_MASK);

        StaffState& staff = Staff(staffInPart);
        PendingNote pending;
        pending.node = note.internal_object();
        pending.staffInPart = staffInPart;
        pending.build = buildIndex;
        pending.entry = entryIndex;
        pending.note = noteIndex;
        pending.position = position;
        pending.keyContext = staff.keyContext;
        pending.transposition = staff.transposition;
        if (pitch) {
            // The first <step>, <alter> and <octave>, in one pass.
            pugi::xml_node stepNode, alterNode, octaveNode;
            for (pugi::xml_node child = pitch.first_child(); child; child = child.next_sibling()) {
                const char* name = child.name();
                if (!*name || child.type() != pugi::node_element) continue;
                if (!stepNode && std::strcmp(name, "step") == 0) stepNode = child;
                else if (!alterNode && std::strcmp(name, "alter") == 0) alterNode = child;
                else if (!octaveNode && std::strcmp(name, "octave") == 0) octaveNode = child;
            }
            const int step = StepOfLetter(Trim(stepNode.child_value()));
            int octave = 0;
            double alter = 0;
            if (step < 0 || !ParseInt(Trim(octaveNode.child_value()), &octave) || octave < -5 || octave > 15)
                return Fail(pitch, "a <pitch> needs a <step> from A to G and an <octave> from -5 to 15");
            if (alterNode && (!ParseDouble(Trim(alterNode.child_value()), &alter) || std::fabs(alter) > 100))
                return Fail(alterNode, "<alter> must be a number of half steps");
            pending.fileAbsStep = static_cast<int16_t>(7 * octave + step);
            pending.fileAlter = static_cast<float>(alter);
            const double whole = std::round(alter);
            const bool exact = std::fabs(alter - whole) < 1e-6 && std::fabs(whole) <= 8;
            pending.flags = exact ? kNoteRewritable : kNoteMicrotone;
            const AbsPitch written{pending.fileAbsStep, static_cast<int>(whole)};
            pending.sounding = src_.concertScore ? written
                                                 : WrittenToSounding(written, src_.transpositions[staff.transposition]);
        } else {
            MarkPercussion(staff);
            const int step = StepOfLetter(Trim(unpitched.child_value("display-step")));
            int octave = 4;
            if (step >= 0 && ParseInt(Trim(unpitched.child_value("display-octave")), &octave) && octave >= -5 &&
                octave <= 15)
                pending.fileAbsStep = static_cast<int16_t>(7 * octave + step);
            else
                pending.fileAbsStep = 7 * 4 + 6;  // the middle line of a treble staff
            pending.flags = kNoteUnpitched;
            pending.sounding = AbsPitch{pending.fileAbsStep, 0};
        }
        pending_.push_back(pending);
        return true;
    }

    // --- Measures and parts ----------------------------------------------------------

    bool EnsureMeasure(int16_t hostMeasure)
    {
        while (doc_.MeasureCount() < hostMeasure) {
            const int have = doc_.MeasureCount();
            const uint16_t key = partIndex_ == 0 && !staves_.empty() ? staves_[0].cellKey
                                 : have > 0 ? doc_.KeySignature(static_cast<int16_t>(have)) : 0;
            if (doc_.AddMeasures(1, beats_, beatDuration_, key) != have + 1) return false;
        }
        return true;
    }

    bool FinishMeasure(const pugi::xml_node& measure, int16_t hostMeasure)
    {
        if (!EnsureMeasure(hostMeasure)) return Fail(measure, "the engine refused a measure");
        const uint16_t measureKey = doc_.KeySignature(hostMeasure);
        for (int s = 0; s < partStaffCount_; ++s) {
            StaffState& staff = Staff(s);
            if (partFirstStaff_ + s == 0 || staff.cellKey == measureKey) continue;
            if (!staff.independentKey) {
                staff.independentKey = true;
                const std::vector<uint8_t> spec = doc_.StaffSpec(staff.hostStaff);
                uint16_t flags = 0;
                std::memcpy(&flags, spec.data() + 22, sizeof flags);
                doc_.SetStaffFlags(staff.hostStaff, static_cast<uint16_t>(flags | STAFFFLAG_INDEPENDENTKEY));
            }
            doc_.SetIndependentKey(staff.hostStaff, hostMeasure, staff.cellKey);
        }

        for (const PendingNote& pending : pending_) {
            const uint16_t key = Staff(pending.staffInPart).cellKey;
            int displacement = 0, raiselower = 0;
            ToPitchData(key, pending.sounding, &displacement, &raiselower);
            EXNOTE& slot = builds_[static_cast<size_t>(pending.build)]
                               .entries[static_cast<size_t>(pending.entry)]
                               .notes[pending.note];
            slot.displacement = static_cast<int16_t>(std::clamp(displacement, -32768, 32767));
            slot.raiselower = static_cast<int16_t>(std::clamp(raiselower, -32768, 32767));
        }

        for (size_t b = 0; b < builds_.size(); ++b) {
            LayerBuild& build = builds_[b];
            if (!build.used) continue;
            const StaffState& staff = Staff(static_cast<int>(b) / kLayers);
            const int layer = static_cast<int>(b) % kLayers;
            // Stored as Document::SetEntries stores them; the records come
            // back with their numbers, positions and clefs as stored.
            DocumentState& state = doc_.State();
            if (build.entries.size() > 0x7FFF ||
                !state.StoreLayer(staff.hostStaff, hostMeasure, layer, std::move(build.entries)))
                return Fail(measure, Where(measure) + ": the engine refused the entries");
            build.entries.clear();
            build.entnums.clear();
            if (const Layer* stored = state.FindLayer(staff.hostStaff, hostMeasure, layer)) {
                for (const EXENTRY& entry : *stored) {
                    const uint32_t entnum = entry.entnum;  // a copy: the record is packed
                    build.entnums.push_back(entnum);
                }
            }
        }

        MeasureLine line;
        line.begin = src_.notes.size();
        line.measure = measure.internal_object();
        line.hostMeasure = hostMeasure;
        for (const PendingNote& pending : pending_) {
            const LayerBuild& build = builds_[static_cast<size_t>(pending.build)];
            MappedNote mapped;
            mapped.node = pending.node;
            mapped.entnum = static_cast<size_t>(pending.entry) < build.entnums.size()
                                ? build.entnums[static_cast<size_t>(pending.entry)]
                                : 0;
            mapped.noteID = static_cast<uint16_t>(pending.note + 1);
            mapped.staff = Staff(pending.staffInPart).hostStaff;
            mapped.position = pending.position;
            mapped.fileAbsStep = pending.fileAbsStep;
            mapped.fileAlter = pending.fileAlter;
            mapped.soundingAbsStep = static_cast<int16_t>(pending.sounding.absStep);
            mapped.soundingAlter = static_cast<int16_t>(pending.sounding.alter);
            mapped.keyContext = pending.keyContext;
            mapped.transposition = pending.transposition;
            mapped.flags = pending.flags;
            src_.notes.push_back(mapped);
        }
        line.end = src_.notes.size();
        if (line.end > line.begin) src_.lines.push_back(line);

        for (int s = 0; s < partStaffCount_; ++s) Staff(s).cellKey = Staff(s).concertKeyNow;
        if (partIndex_ == 0) {
            beats_ = nextBeats_;
            beatDuration_ = nextBeatDuration_;
        }
        return true;
    }

    bool ReadMeasure(const pugi::xml_node& measure, int16_t hostMeasure)
    {
        pending_.clear();
        builds_.resize(static_cast<size_t>(partStaffCount_) * kLayers);
        for (LayerBuild& build : builds_) {
            build.entries.clear();
            build.end = 0;
            build.used = false;
        }
        measureVoices_.assign(static_cast<size_t>(partStaffCount_), {});
        lastBuild_ = -1;
        lastEntry_ = -1;
        lastPosition_ = 0;
        int32_t time = 0;
        for (pugi::xml_node child = measure.first_child(); child; child = child.next_sibling()) {
            if (!*child.name() || child.type() != pugi::node_element) continue;
            if (Is(child, "note")) {
                if (!ReadNote(child, &time, measure, hostMeasure)) return false;
            } else if (Is(child, "attributes")) {
                if (!ReadAttributes(child, time, hostMeasure)) return false;
            } else if (Is(child, "backup") || Is(child, "forward")) {
                int32_t units = 0;
                const pugi::xml_node duration = child.child("duration");
                if (duration && !Units(duration, &units)) return false;
                time = Is(child, "backup") ? std::max(0, time - units) : time + units;
                lastBuild_ = -1;
            }
        }
        return FinishMeasure(measure, hostMeasure);
    }

    bool ReadPart(const pugi::xml_node& part, int partIndex)
    {
        partIndex_ = partIndex;
        partId_ = part.attribute("id").value();
        partFirstStaff_ = static_cast<int>(staves_.size());
        partStaffCount_ = 0;
        divisions_ = 1;
        if (!EnsureStaves(1, part)) return false;
        int measureIndex = 0;
        for (pugi::xml_node measure = part.child("measure"); measure; measure = measure.next_sibling("measure")) {
            if (++measureIndex > kMaxMeasures) return Fail(measure, "the score has too many measures");
            if (!ReadMeasure(measure, static_cast<int16_t>(measureIndex))) return false;
        }
        src_.fileMeasures = std::max(src_.fileMeasures, measureIndex);
        return true;
    }

    Document& doc_;
    SourceScore& src_;
    ReadProblem* problem_;

    std::vector<StaffState> staves_;
    int partIndex_ = 0;
    const char* partId_ = "";
    int partFirstStaff_ = 0;
    int partStaffCount_ = 0;
    double divisions_ = 1;
    int16_t beats_ = 4, beatDuration_ = 1024;
    int16_t nextBeats_ = 4, nextBeatDuration_ = 1024;

    std::vector<PendingNote> pending_;
    std::vector<LayerBuild> builds_;
    std::vector<std::vector<std::pair<std::string_view, int>>> measureVoices_;
    int lastBuild_ = -1;
    int lastEntry_ = -1;
    int32_t lastPosition_ = 0;
};

}  // namespace

bool ReadScore(Document& document, SourceScore& source, ReadProblem* problem)
{
    Reader reader(document, source, problem);
    return reader.Run();
}

}  // namespace tonaroengine::musicxml
