#include "host/app/window/scoremarkings.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <tuple>
#include <string_view>
#include <utility>

#include "host/app/scorenotes.h"
#include "host/engine/musicxml/voicelayers.h"

namespace tonaroapp {

namespace {

bool Is(const pugi::xml_node& node, const char* name)
{
    return std::strcmp(node.name(), name) == 0;
}

std::string Trimmed(const char* text)
{
    std::string_view view(text);
    const auto first = view.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    const auto last = view.find_last_not_of(" \t\r\n");
    return std::string(view.substr(first, last - first + 1));
}

double Number(const char* text, double fallback)
{
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    return end != text && std::isfinite(value) ? value : fallback;
}

int32_t TypeUnits(std::string_view type)
{
    static constexpr std::pair<std::string_view, int32_t> kTypes[] = {
        {"breve", 8192}, {"whole", 4096}, {"half", 2048}, {"quarter", 1024},
        {"eighth", 512}, {"16th", 256},   {"32nd", 128},  {"64th", 64}};
    for (const auto& [name, units] : kTypes)
        if (name == type) return units;
    return 0;
}

BarStyle StyleOf(std::string_view style)
{
    if (style == "light-light") return BarStyle::Double;
    if (style == "light-heavy") return BarStyle::Final;
    if (style == "heavy-light") return BarStyle::HeavyLight;
    if (style == "heavy" || style == "heavy-heavy") return BarStyle::Heavy;
    if (style == "dashed" || style == "dotted") return BarStyle::Dashed;
    if (style == "none") return BarStyle::None;
    return BarStyle::Regular;
}

// The staves of every part, as the engine's reader creates them: the most
// that <staves> or a note's <staff> asks for.
int PartStaves(const pugi::xml_node& part)
{
    int staves = 1;
    for (pugi::xml_node measure : part.children("measure"))
        for (pugi::xml_node child : measure.children()) {
            if (Is(child, "attributes")) {
                for (pugi::xml_node count : child.children("staves"))
                    staves = std::max(staves, std::min(64, count.text().as_int(1)));
            } else if (Is(child, "note") && child.child("staff")) {
                staves = std::max(staves, std::min(64, child.child("staff").text().as_int(1)));
            }
        }
    return staves;
}

// Which layer a voice takes in a measure: the layer it had before when that
// one is free, else the first free one (as the engine's reader decides).
class LayerChooser {
public:
    void StartPart(int staves)
    {
        preferred_.assign(static_cast<size_t>(staves), {});
        StartMeasure();
    }
    void StartMeasure() { inMeasure_.assign(preferred_.size(), {}); }
    int LayerFor(int staff, const std::string& voice)
    {
        if (staff < 0 || static_cast<size_t>(staff) >= preferred_.size()) return -1;
        return tonaroengine::ChooseVoiceLayer(inMeasure_[static_cast<size_t>(staff)],
                                              preferred_[static_cast<size_t>(staff)], voice);
    }

private:
    std::vector<std::vector<std::pair<std::string, int>>> preferred_;
    std::vector<std::vector<std::pair<std::string, int>>> inMeasure_;
};

void ReadNotations(const pugi::xml_node& note, NoteMarks* marks)
{
    for (pugi::xml_node beam : note.children("beam")) {
        const int level = beam.attribute("number").as_int(1);
        if (level < 1 || level > NoteMarks::kBeamLevels) continue;
        const std::string value = Trimmed(beam.child_value());
        BeamState state = BeamState::None;
        if (value == "begin") state = BeamState::Begin;
        else if (value == "continue") state = BeamState::Continue;
        else if (value == "end") state = BeamState::End;
        else if (value == "forward hook") state = BeamState::ForwardHook;
        else if (value == "backward hook") state = BeamState::BackwardHook;
        marks->beams[static_cast<size_t>(level - 1)] = state;
    }
    for (pugi::xml_node notations : note.children("notations")) {
        for (pugi::xml_node item : notations.children()) {
            if (Is(item, "articulations")) {
                for (pugi::xml_node a : item.children()) {
                    if (Is(a, "staccato")) marks->articulations |= kStaccato;
                    else if (Is(a, "accent")) marks->articulations |= kAccent;
                    else if (Is(a, "tenuto")) marks->articulations |= kTenuto;
                    else if (Is(a, "strong-accent")) marks->articulations |= kMarcato;
                    else if (Is(a, "staccatissimo") || Is(a, "spiccato")) marks->articulations |= kStaccatissimo;
                    else if (Is(a, "detached-legato")) marks->articulations |= kStaccato | kTenuto;
                }
            } else if (Is(item, "fermata")) {
                marks->articulations |=
                    std::strcmp(item.attribute("type").value(), "inverted") == 0 ? kFermataBelow : kFermataAbove;
            } else if (Is(item, "slur")) {
                const auto number = static_cast<uint8_t>(std::clamp(item.attribute("number").as_int(1), 1, 16));
                const std::string_view type = item.attribute("type").value();
                if (type == "start") marks->slurStarts.push_back(number);
                else if (type == "stop") marks->slurStops.push_back(number);
            }
        }
    }
}

bool HasMarks(const NoteMarks& marks)
{
    return marks.articulations != 0 || !marks.slurStarts.empty() || !marks.slurStops.empty() ||
           marks.wholeMeasureRest ||
           std::any_of(marks.beams.begin(), marks.beams.end(), [](BeamState b) { return b != BeamState::None; });
}

void ReadCredits(const pugi::xml_node& score, Credits* credits)
{
    // Credits placed on the first page win; the work and identification
    // elements stand in when there are none.
    bool fromCredits = false;
    for (pugi::xml_node credit : score.children("credit")) {
        if (credit.attribute("page").as_int(1) != 1) continue;
        std::string type = Trimmed(credit.child_value("credit-type"));
        for (pugi::xml_node words : credit.children("credit-words")) {
            const std::string text = Trimmed(words.child_value());
            if (text.empty()) continue;
            fromCredits = true;
            const std::string_view justify = words.attribute("justify").value();
            const std::string_view halign = words.attribute("halign").value();
            const double size = Number(words.attribute("font-size").value(), 12);
            if (type.empty()) {
                if ((justify == "center" || halign == "center") && credits->title.empty() && size >= 16) type = "title";
                else if (justify == "center" || halign == "center") type = "subtitle";
                else if (justify == "right" || halign == "right") type = "composer";
                else type = "lyricist";
            }
            if (type == "rights" || type == "page number" || type == "part name") continue;
            if (type == "title" && credits->title.empty()) credits->title = text;
            else if (type == "title" || type == "subtitle")
                credits->subtitle += (credits->subtitle.empty() ? "" : " ") + text;
            else if (type == "composer" || type == "arranger") credits->right.push_back(text);
            else credits->left.push_back(text);
            type.clear();
        }
    }
    if (fromCredits) return;
    credits->title = Trimmed(score.child("work").child_value("work-title"));
    const std::string movement = Trimmed(score.child_value("movement-title"));
    if (credits->title.empty()) credits->title = movement;
    else if (!movement.empty()) credits->subtitle = movement;
    for (pugi::xml_node creator : score.child("identification").children("creator")) {
        const std::string text = Trimmed(creator.child_value());
        if (text.empty()) continue;
        const std::string_view type = creator.attribute("type").value();
        if (type == "composer" || type == "arranger") credits->right.push_back(text);
        else credits->left.push_back(text);
    }
}

}  // namespace

uint64_t ScoreMarkings::Key(int slot, int16_t measure, int layer, int32_t position, int graceIndex)
{
    return (static_cast<uint64_t>(slot & 0x3FF) << 54) | (static_cast<uint64_t>(static_cast<uint16_t>(measure)) << 38) |
           (static_cast<uint64_t>(layer & 3) << 36) | (static_cast<uint64_t>((graceIndex + 1) & 0x3F) << 30) |
           static_cast<uint64_t>(position & 0x3FFFFFFF);
}

void ScoreMarkings::Clear()
{
    notes_.clear();
    spans_.clear();
    spansByMeasure_.clear();
    directions_.clear();
    measures_.clear();
    credits_ = Credits();
    names_.clear();
    abbreviations_.clear();
}

bool ScoreMarkings::ReadFile(const std::string& path)
{
    Clear();
    pugi::xml_document xml;
    if (!LoadScoreXml(path, &xml)) return false;
    Read(xml);
    return true;
}

bool ScoreMarkings::ReadText(const std::string& text)
{
    Clear();
    pugi::xml_document xml;
    if (!xml.load_buffer(text.data(), text.size())) return false;
    Read(xml);
    return true;
}

void ScoreMarkings::Read(const pugi::xml_document& xml)
{
    Clear();
    const pugi::xml_node score = xml.child("score-partwise");
    if (!score) return;
    ReadCredits(score, &credits_);

    std::map<std::string, std::pair<std::string, std::string>> partNames;
    for (pugi::xml_node part : score.child("part-list").children("score-part"))
        partNames[part.attribute("id").value()] = {Trimmed(part.child_value("part-name")),
                                                   Trimmed(part.child_value("part-abbreviation"))};

    int firstSlot = 1;
    bool firstPart = true;
    // Slurs and hairpins begun and not yet ended: (slot or part, number) -> start.
    std::map<std::pair<int, int>, Span> openSlurs;
    std::map<std::pair<int, int>, Span> openWedges;
    LayerChooser layers;
    for (pugi::xml_node part : score.children("part")) {
        const int staves = PartStaves(part);
        const auto& [name, abbreviation] = partNames[part.attribute("id").value()];
        for (int s = 0; s < staves; ++s) {
            names_.push_back(name);
            abbreviations_.push_back(abbreviation);
        }
        layers.StartPart(staves);
        double divisions = 1;
        int16_t hostMeasure = 0;
        for (pugi::xml_node measure : part.children("measure")) {
            if (hostMeasure == 0x7FFF) break;
            ++hostMeasure;
            const auto index = static_cast<size_t>(hostMeasure - 1);
            if (directions_.size() <= index) directions_.resize(index + 1);
            if (measures_.size() <= index) measures_.resize(index + 1);
            MeasureMarks& bars = measures_[index];
            layers.StartMeasure();
            int32_t time = 0;
            int32_t lastPosition = 0;
            // Grace notes met so far at each (staff, layer, position).
            std::map<std::tuple<int, int, int32_t>, int> graces;
            auto units = [&](const pugi::xml_node& duration) {
                const double value = std::round(Number(duration.child_value(), 0) * 1024.0 / divisions);
                return static_cast<int32_t>(std::clamp(value, 0.0, 1e8));
            };
            for (pugi::xml_node child : measure.children()) {
                if (Is(child, "attributes")) {
                    if (child.child("divisions")) {
                        const double value = Number(child.child_value("divisions"), 0);
                        if (value > 0 && value <= 1e7) divisions = value;
                    }
                    if (firstPart) {
                        for (pugi::xml_node timeNode : child.children("time")) {
                            const std::string_view symbol = timeNode.attribute("symbol").value();
                            bars.time = symbol == "common" ? MeasureMarks::TimeSymbol::Common
                                        : symbol == "cut"  ? MeasureMarks::TimeSymbol::Cut
                                                           : MeasureMarks::TimeSymbol::Numbers;
                        }
                    }
                } else if (Is(child, "backup") || Is(child, "forward")) {
                    const int32_t length = child.child("duration") ? units(child.child("duration")) : 0;
                    time = Is(child, "backup") ? std::max(0, time - length) : time + length;
                } else if (Is(child, "barline") && firstPart) {
                    const bool left = std::strcmp(child.attribute("location").value(), "left") == 0;
                    const BarStyle style = StyleOf(Trimmed(child.child_value("bar-style")));
                    const std::string_view repeat = child.child("repeat").attribute("direction").value();
                    if (left) {
                        if (child.child("bar-style")) bars.left = style;
                        if (repeat == "forward") bars.repeatForward = true;
                    } else if (std::strcmp(child.attribute("location").value(), "middle") != 0) {
                        if (child.child("bar-style")) bars.right = style;
                        if (repeat == "backward") bars.repeatBackward = true;
                    }
                } else if (Is(child, "direction")) {
                    Direction base;
                    const int staff = std::clamp(child.child("staff").text().as_int(1), 1, staves);
                    base.slot = firstSlot + staff - 1;
                    base.measure = hostMeasure;
                    base.position = time + (child.child("offset") ? units(child.child("offset")) : 0);
                    base.position = std::max(0, base.position);
                    const std::string_view placement = child.attribute("placement").value();
                    for (pugi::xml_node type : child.children("direction-type")) {
                        for (pugi::xml_node item : type.children()) {
                            Direction d = base;
                            d.above = placement != "below";
                            if (Is(item, "dynamics")) {
                                d.kind = Direction::Kind::Dynamic;
                                d.above = placement == "above";
                                for (pugi::xml_node mark : item.children())
                                    d.text += Is(mark, "other-dynamics") ? Trimmed(mark.child_value()) : mark.name();
                            } else if (Is(item, "words")) {
                                d.text = Trimmed(item.child_value());
                                d.italic = std::strcmp(item.attribute("font-style").value(), "italic") == 0;
                                d.bold = std::strcmp(item.attribute("font-weight").value(), "bold") == 0;
                                // Words beside a metronome mark are its tempo text.
                                d.kind = child.select_node(".//metronome") ? Direction::Kind::Tempo
                                                                          : Direction::Kind::Words;
                                if (d.kind == Direction::Kind::Tempo) d.bold = true;
                            } else if (Is(item, "rehearsal")) {
                                d.kind = Direction::Kind::Rehearsal;
                                d.text = Trimmed(item.child_value());
                                d.above = true;
                            } else if (Is(item, "segno")) {
                                d.kind = Direction::Kind::Segno;
                                d.above = true;
                            } else if (Is(item, "coda")) {
                                d.kind = Direction::Kind::Coda;
                                d.above = true;
                            } else if (Is(item, "metronome")) {
                                d.kind = Direction::Kind::Tempo;
                                d.above = true;
                                d.beatUnit = TypeUnits(Trimmed(item.child_value("beat-unit")));
                                d.beatDots = static_cast<int>(std::distance(item.children("beat-unit-dot").begin(),
                                                                            item.children("beat-unit-dot").end()));
                                d.perMinute = Trimmed(item.child_value("per-minute"));
                                if (d.beatUnit == 0 || d.perMinute.empty()) continue;
                            } else if (Is(item, "wedge")) {
                                const std::string_view kind = item.attribute("type").value();
                                d.kind = kind == "crescendo"    ? Direction::Kind::WedgeCrescendo
                                         : kind == "diminuendo" ? Direction::Kind::WedgeDiminuendo
                                                                : Direction::Kind::WedgeStop;
                                if (kind != "crescendo" && kind != "diminuendo" && kind != "stop") continue;
                                d.above = placement == "above";
                                d.number = item.attribute("number").as_int(1);
                            } else {
                                continue;
                            }
                            if ((d.kind == Direction::Kind::Words || d.kind == Direction::Kind::Rehearsal ||
                                 d.kind == Direction::Kind::Dynamic) &&
                                d.text.empty())
                                continue;
                            if (d.kind == Direction::Kind::WedgeCrescendo || d.kind == Direction::Kind::WedgeDiminuendo) {
                                Span span;
                                span.kind = d.kind == Direction::Kind::WedgeCrescendo ? Span::Kind::Crescendo
                                                                                      : Span::Kind::Diminuendo;
                                span.slot = d.slot;
                                span.startMeasure = hostMeasure;
                                span.startPosition = d.position;
                                span.above = d.above;
                                openWedges[{d.slot, d.number}] = span;
                                continue;
                            }
                            if (d.kind == Direction::Kind::WedgeStop) {
                                const auto open = openWedges.find({d.slot, d.number});
                                if (open == openWedges.end()) continue;
                                Span span = open->second;
                                openWedges.erase(open);
                                span.endMeasure = hostMeasure;
                                span.endPosition = d.position;
                                AddSpan(span);
                                continue;
                            }
                            directions_[index].push_back(std::move(d));
                        }
                    }
                } else if (Is(child, "note")) {
                    const bool chord = static_cast<bool>(child.child("chord"));
                    const bool grace = static_cast<bool>(child.child("grace"));
                    const int32_t length = !grace && child.child("duration") ? units(child.child("duration")) : 0;
                    const int32_t position = chord ? lastPosition : time;
                    if (!chord) {
                        lastPosition = time;
                        time += length;
                    }
                    if (chord) continue;  // an entry's marks come with its first note
                    const int staff = std::max(1, child.child("staff").text().as_int(1)) - 1;
                    const int layer = layers.LayerFor(staff, Trimmed(child.child("voice") ? child.child_value("voice") : "1"));
                    if (layer < 0 || staff >= staves) continue;
                    int graceIndex = -1;
                    if (grace) graceIndex = graces[{staff, layer, position}]++;
                    NoteMarks marks;
                    ReadNotations(child, &marks);
                    // Dynamics written on the note are drawn as those of a direction.
                    for (pugi::xml_node notations : child.children("notations")) {
                        for (pugi::xml_node dynamics : notations.children("dynamics")) {
                            Direction d;
                            d.kind = Direction::Kind::Dynamic;
                            d.slot = firstSlot + staff;
                            d.measure = hostMeasure;
                            d.position = position;
                            d.above = std::strcmp(dynamics.attribute("placement").value(), "above") == 0;
                            for (pugi::xml_node mark : dynamics.children())
                                d.text += Is(mark, "other-dynamics") ? Trimmed(mark.child_value()) : mark.name();
                            if (!d.text.empty()) directions_[index].push_back(std::move(d));
                        }
                    }
                    marks.wholeMeasureRest =
                        std::strcmp(child.child("rest").attribute("measure").value(), "yes") == 0;
                    // The other notes of a chord may carry slurs and articulations too.
                    for (pugi::xml_node next = child.next_sibling("note"); next && next.child("chord");
                         next = next.next_sibling("note")) {
                        NoteMarks extra;
                        ReadNotations(next, &extra);
                        marks.articulations |= extra.articulations;
                        marks.slurStarts.insert(marks.slurStarts.end(), extra.slurStarts.begin(), extra.slurStarts.end());
                        marks.slurStops.insert(marks.slurStops.end(), extra.slurStops.begin(), extra.slurStops.end());
                    }
                    // Slurs pair up by number within the part.
                    for (const uint8_t number : marks.slurStops) {
                        const auto open = openSlurs.find({firstSlot, number});
                        if (open == openSlurs.end()) continue;
                        Span span = open->second;
                        openSlurs.erase(open);
                        span.endMeasure = hostMeasure;
                        span.endPosition = position;
                        span.endLayer = layer;
                        if (span.endMeasure > span.startMeasure ||
                            (span.endMeasure == span.startMeasure && span.endPosition > span.startPosition))
                            AddSpan(span);
                    }
                    for (const uint8_t number : marks.slurStarts) {
                        Span span;
                        span.slot = firstSlot + staff;
                        span.startMeasure = hostMeasure;
                        span.startPosition = position;
                        span.startLayer = layer;
                        openSlurs[{firstSlot, number}] = span;
                    }
                    if (HasMarks(marks))
                        notes_[Key(firstSlot + staff, hostMeasure, layer, position, graceIndex)] = std::move(marks);
                }
            }
        }
        firstSlot += staves;
        firstPart = false;
    }
}

void ScoreMarkings::AddSpan(const Span& span)
{
    // Longer spans than this are damaged files, not music.
    constexpr int kLongest = 64;
    if (span.endMeasure < span.startMeasure || span.endMeasure - span.startMeasure > kLongest) return;
    const auto index = static_cast<uint32_t>(spans_.size());
    spans_.push_back(span);
    if (spansByMeasure_.size() < static_cast<size_t>(span.endMeasure)) spansByMeasure_.resize(static_cast<size_t>(span.endMeasure));
    for (int m = span.startMeasure; m <= span.endMeasure; ++m) spansByMeasure_[static_cast<size_t>(m - 1)].push_back(index);
}

const std::vector<uint32_t>& ScoreMarkings::SpansIn(int16_t measure) const
{
    static const std::vector<uint32_t> kNone;
    if (measure < 1 || static_cast<size_t>(measure) > spansByMeasure_.size()) return kNone;
    return spansByMeasure_[static_cast<size_t>(measure - 1)];
}

const NoteMarks* ScoreMarkings::Note(int slot, int16_t measure, int layer, int32_t position, int graceIndex) const
{
    if (notes_.empty()) return nullptr;
    const auto found = notes_.find(Key(slot, measure, layer, position, graceIndex));
    return found == notes_.end() ? nullptr : &found->second;
}

const std::vector<Direction>& ScoreMarkings::Directions(int16_t measure) const
{
    static const std::vector<Direction> kNone;
    if (measure < 1 || static_cast<size_t>(measure) > directions_.size()) return kNone;
    return directions_[static_cast<size_t>(measure - 1)];
}

MeasureMarks ScoreMarkings::Measure(int16_t measure) const
{
    if (measure < 1 || static_cast<size_t>(measure) > measures_.size()) return MeasureMarks();
    return measures_[static_cast<size_t>(measure - 1)];
}

}  // namespace tonaroapp
