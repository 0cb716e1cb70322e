// What the score view draws that the engine does not model: beams,
// articulations, fermatas, slurs, dynamics, hairpins, tempo and other text
// directions, rehearsal marks, segno and coda signs, barline styles, time
// signature symbols, credits, part names and abbreviations. Read once from
// the MusicXML a document was opened from (or made of), read-only; the
// engine stays the one model that edits change.
//
// Notes are found by where the engine keeps them: slot (1 = top staff),
// measure (1-based, in score order), layer (0-3, the voice's layer as the
// engine's reader assigns them), time position in duration units (1024 a
// quarter) and, for grace notes, their order among the graces at that
// position. A ScoreMarkings object is a plain value; it keeps nothing of
// the file and never touches a document.
#pragma once

#include <pugixml.hpp>

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace tonaroapp {

enum class BeamState : uint8_t { None, Begin, Continue, End, ForwardHook, BackwardHook };

enum Articulation : uint16_t {
    kStaccato = 0x01,
    kAccent = 0x02,
    kTenuto = 0x04,
    kMarcato = 0x08,
    kStaccatissimo = 0x10,
    kFermataAbove = 0x20,
    kFermataBelow = 0x40,
};

// What one entry (note, chord or rest) carries.
struct NoteMarks {
    static constexpr int kBeamLevels = 6;
    std::array<BeamState, kBeamLevels> beams{};  // [0] the eighth beam, [1] the sixteenth, ...
    uint16_t articulations = 0;                  // Articulation bits
    std::vector<uint8_t> slurStarts;             // slur numbers (1 when the file gives none)
    std::vector<uint8_t> slurStops;
    bool wholeMeasureRest = false;               // <rest measure="yes"/>
};

// A direction attached to a staff at a time position.
struct Direction {
    enum class Kind : uint8_t { Dynamic, Words, Tempo, Rehearsal, Segno, Coda, WedgeCrescendo, WedgeDiminuendo, WedgeStop };
    Kind kind = Kind::Words;
    int slot = 1;
    int16_t measure = 1;
    int32_t position = 0;
    bool above = true;
    bool italic = false;
    bool bold = false;
    int number = 1;       // wedges: which one a stop ends
    std::string text;     // dynamics ("mf"), words, rehearsal text, tempo words
    int beatUnit = 0;     // tempo: the beat's plain value in duration units (1024 a quarter), 0 none
    int beatDots = 0;
    std::string perMinute;
};

// Something drawn from one place to another, possibly across measures and
// systems: a slur (from note to note) or a hairpin (between two times).
struct Span {
    enum class Kind : uint8_t { Slur, Crescendo, Diminuendo };
    Kind kind = Kind::Slur;
    int slot = 1;
    int16_t startMeasure = 1;
    int32_t startPosition = 0;
    int startLayer = 0;
    int16_t endMeasure = 1;
    int32_t endPosition = 0;
    int endLayer = 0;
    bool above = false;  // hairpins: above the staff
};

enum class BarStyle : uint8_t { Regular, Double, Final, HeavyLight, Heavy, Dashed, None };

struct MeasureMarks {
    BarStyle left = BarStyle::Regular;    // drawn only when not Regular
    BarStyle right = BarStyle::Regular;
    bool repeatForward = false;            // at the left edge
    bool repeatBackward = false;           // at the right edge
    enum class TimeSymbol : uint8_t { Numbers, Common, Cut } time = TimeSymbol::Numbers;
};

struct Credits {
    std::string title;
    std::string subtitle;
    std::vector<std::string> right;  // composer, arranger
    std::vector<std::string> left;   // lyricist, other credits
    bool IsEmpty() const { return title.empty() && subtitle.empty() && right.empty() && left.empty(); }
};

class ScoreMarkings {
public:
    // Reads the score-partwise tree; an empty tree or another root gives
    // empty markings.
    void Read(const pugi::xml_document& xml);
    // Reads a MusicXML file (.musicxml, .xml or .mxl); false (markings
    // empty) when it cannot be read.
    bool ReadFile(const std::string& path);
    // Reads MusicXML text; false (markings empty) when it does not parse.
    bool ReadText(const std::string& text);
    void Clear();

    // Null when the entry carries nothing.
    const NoteMarks* Note(int slot, int16_t measure, int layer, int32_t position, int graceIndex = -1) const;
    // The directions of a measure, in file order; empty for none.
    const std::vector<Direction>& Directions(int16_t measure) const;
    // Regular barlines and number time signatures for an unknown measure.
    MeasureMarks Measure(int16_t measure) const;
    // Every slur and hairpin, and the ones that start, end or pass in a
    // measure (indices into Spans()).
    const std::vector<Span>& Spans() const { return spans_; }
    const std::vector<uint32_t>& SpansIn(int16_t measure) const;
    const Credits& GetCredits() const { return credits_; }
    // One entry per slot ("" where the file has none).
    const std::vector<std::string>& StaffNames() const { return names_; }
    const std::vector<std::string>& StaffAbbreviations() const { return abbreviations_; }

private:
    void AddSpan(const Span& span);
    static uint64_t Key(int slot, int16_t measure, int layer, int32_t position, int graceIndex);

    std::unordered_map<uint64_t, NoteMarks> notes_;
    std::vector<std::vector<Direction>> directions_;  // by measure - 1
    std::vector<MeasureMarks> measures_;              // by measure - 1
    std::vector<Span> spans_;
    std::vector<std::vector<uint32_t>> spansByMeasure_;  // by measure - 1
    Credits credits_;
    std::vector<std::string> names_;
    std::vector<std::string> abbreviations_;
};

}  // namespace tonaroapp
