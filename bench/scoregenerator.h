// Generates large MusicXML scores for benchmarks: score-partwise text with
// one single-staff part per staff, 4/4 measures of six eighth notes and a
// three-note chord (nine notes a measure), keys changing every 40
// measures, accidentals, and (Style::Engraved) beams, stems and fixed
// positions as notation programs write them; Style::Plain leaves those three
// out (about 190 bytes a note instead of 290). Deterministic: the same
// arguments give the same text.
#pragma once

#include <cstdint>
#include <string>

namespace scoregenerator {

constexpr int kNotesPerMeasure = 9;

enum class Style { Engraved, Plain };

inline std::string GenerateMusicXml(int staves, int measures, Style style = Style::Engraved)
{
    const bool engraved = style == Style::Engraved;
    static const char* const kSteps[7] = {"C", "D", "E", "F", "G", "A", "B"};
    std::string out;
    out.reserve(static_cast<size_t>(staves) * static_cast<size_t>(measures) * 3000);
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
           "<!DOCTYPE score-partwise PUBLIC \"-//Recordare//DTD MusicXML 4.0 Partwise//EN\" "
           "\"http://www.musicxml.org/dtds/partwise.dtd\">\n"
           "<score-partwise version=\"4.0\">\n  <part-list>\n";
    for (int p = 1; p <= staves; ++p)
        out += "    <score-part id=\"P" + std::to_string(p) + "\">\n      <part-name>Staff " + std::to_string(p) +
               "</part-name>\n    </score-part>\n";
    out += "  </part-list>\n";
    uint32_t seed = 12345;
    auto next = [&seed]() {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7FFF;
    };
    for (int p = 1; p <= staves; ++p) {
        out += "  <part id=\"P" + std::to_string(p) + "\">\n";
        for (int m = 1; m <= measures; ++m) {
            out += "    <measure number=\"" + std::to_string(m) + (engraved ? "\" width=\"240\">\n" : "\">\n");
            if (m % 40 == 1) {
                const int fifths = static_cast<int>((m / 40) % 7) - 3;
                out += "      <attributes>\n";
                if (m == 1) out += "        <divisions>2</divisions>\n";
                out += "        <key>\n          <fifths>" + std::to_string(fifths) + "</fifths>\n        </key>\n";
                if (m == 1)
                    out += "        <time>\n          <beats>4</beats>\n          <beat-type>4</beat-type>\n"
                           "        </time>\n        <clef>\n          <sign>G</sign>\n          <line>2</line>\n"
                           "        </clef>\n";
                out += "      </attributes>\n";
            }
            for (int n = 0; n < kNotesPerMeasure; ++n) {
                const bool chord = n >= 7;
                const int step = static_cast<int>(next() % 7);
                const int octave = 3 + static_cast<int>(next() % 3);
                const int alter = next() % 5 == 0 ? (next() % 2 ? 1 : -1) : 0;
                out += engraved ? "      <note default-x=\"" + std::to_string(20 + 25 * (n < 7 ? n : 6)) + "\">\n"
                                : std::string("      <note>\n");
                if (chord) out += "        <chord/>\n";
                out += std::string("        <pitch>\n          <step>") + kSteps[step] + "</step>\n";
                if (alter) out += "          <alter>" + std::to_string(alter) + "</alter>\n";
                out += "          <octave>" + std::to_string(octave) + "</octave>\n        </pitch>\n";
                out += n < 6 ? "        <duration>1</duration>\n" : "        <duration>2</duration>\n";
                out += "        <voice>1</voice>\n";
                out += n < 6 ? "        <type>eighth</type>\n" : "        <type>quarter</type>\n";
                if (alter) out += alter > 0 ? "        <accidental>sharp</accidental>\n" : "        <accidental>flat</accidental>\n";
                if (engraved) out += "        <stem>up</stem>\n";
                if (engraved && n < 6)
                    out += std::string("        <beam number=\"1\">") + (n % 2 == 0 ? "begin" : "end") + "</beam>\n";
                out += "      </note>\n";
            }
            out += "    </measure>\n";
        }
        out += "  </part>\n";
    }
    out += "</score-partwise>\n";
    return out;
}

}  // namespace scoregenerator
