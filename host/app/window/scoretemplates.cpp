#include "host/app/window/scoretemplates.h"

#include <QTemporaryDir>

#include <fstream>

#include "host/engine/musicxml/musicxmlio.h"

namespace tonaroapp {

namespace {

constexpr int kMeasures = 16;

struct Clef {
    const char* sign;
    int line;
    int octaveChange;
};

struct Part {
    const char* name;
    std::vector<Clef> clefs;  // one per staff
    int diatonic = 0;         // written to sounding, as MusicXML's <transpose>
    int chromatic = 0;
    int writtenFifths = 0;    // the key as written for a C major score
};

struct Template {
    const char* name;
    std::vector<Part> parts;
};

const Clef kTreble{"G", 2, 0};
const Clef kBass{"F", 4, 0};
const Clef kAlto{"C", 3, 0};
const Clef kTenorVoice{"G", 2, -1};

const std::vector<Template>& Templates()
{
    static const std::vector<Template> templates = {
        {"Piano", {{"Piano", {kTreble, kBass}}}},
        {"String Quartet",
         {{"Violin I", {kTreble}}, {"Violin II", {kTreble}}, {"Viola", {kAlto}}, {"Violoncello", {kBass}}}},
        {"SATB Choir",
         {{"Soprano", {kTreble}}, {"Alto", {kTreble}}, {"Tenor", {kTenorVoice}}, {"Bass", {kBass}}}},
        {"Wind Quintet",
         {{"Flute", {kTreble}},
          {"Oboe", {kTreble}},
          {"Clarinet in Bb", {kTreble}, -1, -2, 2},
          {"Horn in F", {kTreble}, -4, -7, 1},
          {"Bassoon", {kBass}}}},
    };
    return templates;
}

const Template* Find(const std::string& name)
{
    for (const Template& candidate : Templates())
        if (name == candidate.name) return &candidate;
    return nullptr;
}

std::string PartXml(const Part& part, const std::string& id)
{
    const size_t staves = part.clefs.size();
    std::string xml = "  <part id=\"" + id + "\">\n";
    for (int measure = 1; measure <= kMeasures; ++measure) {
        xml += "    <measure number=\"" + std::to_string(measure) + "\">\n";
        if (measure == 1) {
            xml += "      <attributes><divisions>1</divisions><key><fifths>" + std::to_string(part.writtenFifths) +
                   "</fifths></key><time><beats>4</beats><beat-type>4</beat-type></time>";
            if (staves > 1) xml += "<staves>" + std::to_string(staves) + "</staves>";
            for (size_t s = 0; s < staves; ++s) {
                const Clef& clef = part.clefs[s];
                xml += staves > 1 ? "<clef number=\"" + std::to_string(s + 1) + "\">" : "<clef>";
                xml += std::string("<sign>") + clef.sign + "</sign><line>" + std::to_string(clef.line) + "</line>";
                if (clef.octaveChange != 0)
                    xml += "<clef-octave-change>" + std::to_string(clef.octaveChange) + "</clef-octave-change>";
                xml += "</clef>";
            }
            if (part.chromatic != 0)
                xml += "<transpose><diatonic>" + std::to_string(part.diatonic) + "</diatonic><chromatic>" +
                       std::to_string(part.chromatic) + "</chromatic></transpose>";
            xml += "</attributes>\n";
        }
        for (size_t s = 0; s < staves; ++s) {
            if (s > 0) xml += "      <backup><duration>4</duration></backup>\n";
            xml += "      <note><rest measure=\"yes\"/><duration>4</duration><voice>" + std::to_string(s + 1) +
                   "</voice>";
            if (staves > 1) xml += "<staff>" + std::to_string(s + 1) + "</staff>";
            xml += "</note>\n";
        }
        if (measure == kMeasures) xml += "      <barline location=\"right\"><bar-style>light-heavy</bar-style></barline>\n";
        xml += "    </measure>\n";
    }
    xml += "  </part>\n";
    return xml;
}

}  // namespace

std::vector<std::string> TemplateNames()
{
    std::vector<std::string> names;
    for (const Template& candidate : Templates()) names.push_back(candidate.name);
    return names;
}

std::string TemplateMusicXml(const std::string& name)
{
    const Template* chosen = Find(name);
    if (chosen == nullptr) return {};
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE score-partwise PUBLIC \"-//Recordare//DTD MusicXML 4.0 Partwise//EN\" "
        "\"http://www.musicxml.org/dtds/partwise.dtd\">\n"
        "<score-partwise version=\"4.0\">\n"
        "  <part-list>\n";
    for (size_t p = 0; p < chosen->parts.size(); ++p)
        xml += "    <score-part id=\"P" + std::to_string(p + 1) + "\"><part-name>" + chosen->parts[p].name +
               "</part-name></score-part>\n";
    xml += "  </part-list>\n";
    for (size_t p = 0; p < chosen->parts.size(); ++p) xml += PartXml(chosen->parts[p], "P" + std::to_string(p + 1));
    xml += "</score-partwise>\n";
    return xml;
}

tonaroengine::Document* CreateFromTemplate(const std::string& name, std::string* error)
{
    const std::string xml = TemplateMusicXml(name);
    if (xml.empty()) {
        if (error != nullptr) *error = "there is no template named \"" + name + "\"";
        return nullptr;
    }
    // The engine reads scores from files; the template passes through a
    // private folder that is removed again. The document keeps the parsed
    // tree (part names included) for its later saves.
    QTemporaryDir folder;
    if (!folder.isValid()) {
        if (error != nullptr) *error = "no temporary folder for the template";
        return nullptr;
    }
    const std::string path = folder.filePath("template.musicxml").toStdString();
    {
        std::ofstream out(path, std::ios::binary);
        out << xml;
        if (!out.flush()) {
            if (error != nullptr) *error = "the template cannot be written to " + path;
            return nullptr;
        }
    }
    tonaroengine::MusicXmlError problem;
    tonaroengine::Document* document = tonaroengine::OpenMusicXml(path, &problem);
    if (document == nullptr && error != nullptr) *error = problem.Text();
    return document;
}

}  // namespace tonaroapp
