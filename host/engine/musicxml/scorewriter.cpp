#include "host/engine/musicxml/scorewriter.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <utility>
#include <vector>

#include "host/engine/musicxml/scorepatcher.h"
#include "host/engine/musicxml/xmlpitch.h"
#include "tonaropdk/hostapi/clefdef.h"
#include "tonaropdk/hostapi/prefsrecords.h"
#include "tonaropdk/hostapi/recordtags.h"
#include "tonaropdk/hostapi/staffspec.h"

namespace tonaroengine::musicxml {

namespace {

constexpr int kLayers = 4;
const char* const kStepLetters[7] = {"C", "D", "E", "F", "G", "A", "B"};

int16_t SpecWord(const std::vector<uint8_t>& spec, size_t offset)
{
    int16_t word = 0;
    if (spec.size() >= offset + 2) std::memcpy(&word, spec.data() + offset, sizeof word);
    return word;
}

int SignExtend(int value, int bits)
{
    const int sign = 1 << (bits - 1);
    return (value & (sign - 1)) - (value & sign);
}

// The staff's transposition (first encoding only) as a <transpose>.
bool TranspositionOfWord(int16_t word, Transposition* t)
{
    if ((word & ~TRANSPOSE_FLAG) == 0 || (word & TRANSPOSE_SECONDENCODING)) return false;
    const int interval = SignExtend((word >> 6) & 0x3F, 6);
    const int alteration = SignExtend(word & 0x3F, 6);
    const int diatonic = -interval;
    if ((12 * diatonic - alteration) % 7 != 0) return false;
    t->octaveChange = diatonic / 7;
    t->diatonic = diatonic - 7 * t->octaveChange;
    t->chromatic = (12 * diatonic - alteration) / 7 - 12 * t->octaveChange;
    return !t->IsNone();
}

// The note type and dots of a plain or dotted duration; false otherwise.
bool TypeOf(int32_t units, const char** type, int* dots)
{
    static constexpr std::pair<int32_t, const char*> kTypes[] = {
        {16384, "long"}, {8192, "breve"}, {4096, "whole"}, {2048, "half"}, {1024, "quarter"}, {512, "eighth"},
        {256, "16th"},   {128, "32nd"},   {64, "64th"},    {32, "128th"},  {16, "256th"}};
    for (const auto& [base, name] : kTypes) {
        if (units < base) continue;
        int32_t total = base;
        int count = 0;
        for (int32_t half = base / 2; total < units && half >= 16 && count < 4; half /= 2, ++count) total += half;
        if (total != units) return false;
        *type = name;
        *dots = count;
        return true;
    }
    return false;
}

class Writer {
public:
    explicit Writer(const Document& document) : doc_(document) {}

    bool Write(std::string* text, std::string* why)
    {
        if (doc_.StaffCount() == 0 || doc_.MeasureCount() == 0) {
            *why = "the document has no staff or no measure to write";
            return false;
        }
        ChooseDivisions();
        out_ += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n";
        out_ += "<!DOCTYPE score-partwise PUBLIC \"-//Recordare//DTD MusicXML 4.0 Partwise//EN\" "
                "\"http://www.musicxml.org/dtds/partwise.dtd\">\n";
        out_ += "<score-partwise version=\"4.0\">\n";
        if (ConcertPitch()) out_ += "  <defaults>\n    <concert-score/>\n  </defaults>\n";
        out_ += "  <part-list>\n";
        for (int slot = 1; slot <= doc_.StaffCount(); ++slot) {
            out_ += "    <score-part id=\"P" + std::to_string(slot) + "\">\n";
            out_ += "      <part-name>Staff " + std::to_string(slot) + "</part-name>\n";
            out_ += "    </score-part>\n";
        }
        out_ += "  </part-list>\n";
        for (int slot = 1; slot <= doc_.StaffCount(); ++slot) WritePart(slot);
        out_ += "</score-partwise>\n";
        *text = std::move(out_);
        return true;
    }

private:
    bool ConcertPitch() const
    {
        std::vector<uint8_t> bytes;
        const EDataAddress address{OTHER_PREFS_CMPER, 0, 0, 0};
        return doc_.LoadRecord(TAG_PARTSCOPEPREFS, address, &bytes) && bytes.size() >= 2 && bytes[0] == 0 &&
               bytes[1] == 0;
    }

    void ChooseDivisions()
    {
        int32_t g = 1024;
        for (int slot = 1; slot <= doc_.StaffCount(); ++slot) {
            const int16_t staff = doc_.StaffAtSlot(slot);
            for (int m = 1; m <= doc_.MeasureCount(); ++m) {
                g = std::gcd(g, doc_.MeasureDuration(static_cast<int16_t>(m)));
                for (int layer = 0; layer < kLayers; ++layer)
                    for (const EXENTRY& entry : doc_.Entries(staff, static_cast<int16_t>(m), layer))
                        g = std::gcd(std::gcd(g, static_cast<int32_t>(entry.duration)), entry.position);
            }
        }
        unit_ = std::max<int32_t>(g, 1);
    }

    std::string Duration(int32_t units) const
    {
        return std::to_string(units / unit_);
    }

    void WriteAttributes(int16_t staff, int16_t measure, bool first, const Transposition& t, bool transposed,
                         bool transpositionChanged, int fifths, bool minor, bool keyChanged, int32_t duration,
                         bool timeChanged)
    {
        if (!first && !keyChanged && !timeChanged && !transpositionChanged) return;
        out_ += "      <attributes>\n";
        if (first) out_ += "        <divisions>" + std::to_string(1024 / unit_) + "</divisions>\n";
        if (first || keyChanged)
            out_ += "        <key>\n          <fifths>" + std::to_string(fifths) + "</fifths>\n          <mode>" +
                    (minor ? "minor" : "major") + "</mode>\n        </key>\n";
        if (first || timeChanged) {
            int beatType = 4;
            while (duration * beatType % 4096 != 0 && beatType < 64) beatType *= 2;
            out_ += "        <time>\n          <beats>" + std::to_string(duration * beatType / 4096) +
                    "</beats>\n          <beat-type>" + std::to_string(beatType) + "</beat-type>\n        </time>\n";
        }
        if (first) {
            const std::vector<uint8_t> spec = doc_.StaffSpecAt(staff, measure, 0);
            const int16_t clef = SpecWord(spec, 0);
            const bool percussion = static_cast<uint16_t>(SpecWord(spec, 10)) & STAFFSTYLE_PERCUSSION;
            const char* sign = "G";
            int line = 2, octave = 0;
            switch (percussion ? CLEF_PERCUSSION : clef) {
            case CLEF_ALTO: sign = "C"; line = 3; break;
            case CLEF_TENOR: sign = "C"; line = 4; break;
            case CLEF_BASS: sign = "F"; line = 4; break;
            case CLEF_BASS8VB: sign = "F"; line = 4; octave = -1; break;
            case CLEF_TREBLE8VB: octave = -1; break;
            case CLEF_PERCUSSION: sign = "percussion"; line = 0; break;
            case CLEF_TAB: sign = "TAB"; line = 5; break;
            default: break;
            }
            out_ += std::string("        <clef>\n          <sign>") + sign + "</sign>\n";
            if (line) out_ += "          <line>" + std::to_string(line) + "</line>\n";
            if (octave) out_ += "          <clef-octave-change>" + std::to_string(octave) + "</clef-octave-change>\n";
            out_ += "        </clef>\n";
        }
        if (transposed && (first || transpositionChanged)) {
            out_ += "        <transpose>\n          <diatonic>" + std::to_string(t.diatonic) +
                    "</diatonic>\n          <chromatic>" + std::to_string(t.chromatic) + "</chromatic>\n";
            if (t.octaveChange)
                out_ += "          <octave-change>" + std::to_string(t.octaveChange) + "</octave-change>\n";
            out_ += "        </transpose>\n";
        } else if (!transposed && transpositionChanged) {
            out_ += "        <transpose>\n          <diatonic>0</diatonic>\n          <chromatic>0</chromatic>\n"
                    "        </transpose>\n";
        }
        out_ += "      </attributes>\n";
    }

    struct NoteOut {
        int32_t position;
        AbsPitch written;
        bool needed = false;
    };

    void WritePart(int slot)
    {
        const int16_t staff = doc_.StaffAtSlot(slot);
        const bool concert = ConcertPitch();
        out_ += "  <part id=\"P" + std::to_string(slot) + "\">\n";
        int lastFifths = 0;
        bool lastMinor = false;
        int32_t lastDuration = 0;
        int16_t lastWord = 0;
        for (int m = 1; m <= doc_.MeasureCount(); ++m) {
            const auto measure = static_cast<int16_t>(m);
            out_ += "    <measure number=\"" + std::to_string(m) + "\">\n";
            const uint16_t key = doc_.CellKeySignature(staff, measure);
            const std::vector<uint8_t> spec = doc_.StaffSpecAt(staff, measure, 0);
            const int16_t word = SpecWord(spec, 20);
            const bool percussion = static_cast<uint16_t>(SpecWord(spec, 10)) & STAFFSTYLE_PERCUSSION;
            Transposition t;
            const bool transposed = TranspositionOfWord(word, &t);
            const bool writeTransposed = transposed && !concert;
            int fifths = KeyFifths(key);
            if (writeTransposed) fifths += t.WrittenKeyShift();
            const bool minor = IsStandardKey(key) && (key >> 8) == 1;
            const int32_t duration = doc_.MeasureDuration(measure);
            WriteAttributes(staff, measure, m == 1, t, transposed, word != lastWord && m > 1, fifths, minor,
                            fifths != lastFifths || minor != lastMinor, duration, duration != lastDuration);
            lastFifths = fifths;
            lastMinor = minor;
            lastDuration = duration;
            lastWord = word;

            // Accidentals by the standard rule, over all layers in time order.
            std::vector<std::vector<EXENTRY>> layers(kLayers);
            std::vector<std::pair<int32_t, std::pair<int, int>>> order;  // position, (layer, entry*12+note)
            for (int layer = 0; layer < kLayers; ++layer) {
                layers[static_cast<size_t>(layer)] = doc_.Entries(staff, measure, layer);
                const auto& entries = layers[static_cast<size_t>(layer)];
                for (size_t e = 0; e < entries.size(); ++e)
                    if (entries[e].flags & EXENTRY_NOTE)
                        for (int n = 0; n < entries[e].numNotes && n < EXENTRY_MAXNOTES; ++n)
                            order.push_back({int32_t{entries[e].position}, {layer, static_cast<int>(e) * 12 + n}});
            }
            std::stable_sort(order.begin(), order.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
            std::vector<std::vector<NoteOut>> notes(kLayers);
            for (int layer = 0; layer < kLayers; ++layer)
                notes[static_cast<size_t>(layer)].resize(layers[static_cast<size_t>(layer)].size() * 12);
            std::vector<std::pair<int, int>> memory;
            for (const auto& [position, where] : order) {
                const EXENTRY& entry = layers[static_cast<size_t>(where.first)][static_cast<size_t>(where.second / 12)];
                const EXNOTE& note = entry.notes[where.second % 12];
                const AbsPitch sounding = FromPitchData(key, note.displacement, note.raiselower);
                NoteOut& out = notes[static_cast<size_t>(where.first)][static_cast<size_t>(where.second)];
                out.position = position;
                out.written = writeTransposed ? SoundingToWritten(sounding, t) : sounding;
                int implied = FifthsShare(fifths, out.written.absStep);
                auto found = std::find_if(memory.begin(), memory.end(),
                                          [&](const auto& p) { return p.first == out.written.absStep; });
                if (found != memory.end()) implied = found->second;
                out.needed = out.written.alter != implied;
                if (found != memory.end())
                    found->second = out.written.alter;
                else
                    memory.emplace_back(out.written.absStep, out.written.alter);
            }

            int32_t time = 0;
            for (int layer = 0; layer < kLayers; ++layer) {
                const auto& entries = layers[static_cast<size_t>(layer)];
                if (entries.empty()) continue;
                if (time > 0) out_ += "      <backup>\n        <duration>" + Duration(time) + "</duration>\n      </backup>\n";
                time = 0;
                for (size_t e = 0; e < entries.size(); ++e) {
                    const EXENTRY& entry = entries[e];
                    const bool grace = entry.flags & EXENTRY_GRACE;
                    if (entry.duration <= 0) continue;
                    if (!grace && entry.position > time) {
                        out_ += "      <forward>\n        <duration>" + Duration(entry.position - time) +
                                "</duration>\n      </forward>\n";
                        time = entry.position;
                    }
                    WriteEntry(entry, notes[static_cast<size_t>(layer)], e, layer + 1, percussion);
                    if (!grace) time += entry.duration;
                }
            }
            out_ += "    </measure>\n";
        }
        out_ += "  </part>\n";
    }

    void WriteEntry(const EXENTRY& entry, const std::vector<NoteOut>& notes, size_t index, int voice, bool percussion)
    {
        const bool grace = entry.flags & EXENTRY_GRACE;
        const bool isNote = (entry.flags & EXENTRY_NOTE) && entry.numNotes > 0;
        const char* type = nullptr;
        int dots = 0;
        const bool typed = TypeOf(entry.duration, &type, &dots);
        const int count = isNote ? std::min<int>(entry.numNotes, EXENTRY_MAXNOTES) : 1;
        if (grace && (!isNote || !typed)) return;  // a grace note needs a pitch and a plain look
        for (int n = 0; n < count; ++n) {
            out_ += "      <note>\n";
            if (grace) out_ += "        <grace/>\n";
            if (n > 0) out_ += "        <chord/>\n";
            const NoteOut* note = isNote ? &notes[index * 12 + static_cast<size_t>(n)] : nullptr;
            if (!note) {
                out_ += "        <rest/>\n";
            } else {
                const int step = FloorMod(note->written.absStep, 7);
                const int octave = std::clamp(FloorDiv(note->written.absStep, 7), 0, 9);
                if (percussion) {
                    out_ += std::string("        <unpitched>\n          <display-step>") + kStepLetters[step] +
                            "</display-step>\n          <display-octave>" + std::to_string(octave) +
                            "</display-octave>\n        </unpitched>\n";
                } else {
                    out_ += std::string("        <pitch>\n          <step>") + kStepLetters[step] + "</step>\n";
                    if (note->written.alter != 0)
                        out_ += "          <alter>" + std::to_string(note->written.alter) + "</alter>\n";
                    out_ += "          <octave>" + std::to_string(octave) + "</octave>\n        </pitch>\n";
                }
            }
            if (!grace) out_ += "        <duration>" + Duration(entry.duration) + "</duration>\n";
            const bool tie = note && (entry.notes[n].flags & EXNOTE_TIESTART);
            if (tie) out_ += "        <tie type=\"start\"/>\n";
            out_ += "        <voice>" + std::to_string(voice) + "</voice>\n";
            if (typed) {
                out_ += std::string("        <type>") + type + "</type>\n";
                for (int d = 0; d < dots; ++d) out_ += "        <dot/>\n";
            }
            if (note && !percussion && note->needed) {
                if (const char* value = AccidentalValue(note->written.alter))
                    out_ += std::string("        <accidental>") + value + "</accidental>\n";
            }
            if (tie) out_ += "        <notations>\n          <tied type=\"start\"/>\n        </notations>\n";
            out_ += "      </note>\n";
        }
    }

    const Document& doc_;
    std::string out_;
    int32_t unit_ = 1;
};

}  // namespace

bool WriteScore(const Document& document, std::string* text, std::string* why)
{
    Writer writer(document);
    return writer.Write(text, why);
}

}  // namespace tonaroengine::musicxml
