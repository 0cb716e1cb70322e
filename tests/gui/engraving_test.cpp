// The engraving the score view and `tonaro render` share: what is read from
// the score's MusicXML, and the geometry of what is drawn (no pixels): no
// notehead, rest, stem or accidental runs into another, beams meet their
// stems, voices keep apart. Pictures are written in every format.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/app/commands/commands.h"
#include "host/app/window/scorelayout.h"
#include "host/app/window/scoremarkings.h"
#include "host/app/window/scorepicture.h"
#include "host/engine/engine.h"
#include "host/engine/musicxml/musicxmlio.h"

namespace {

using tonaroapp::ScoreItem;
using tonaroengine::Document;
using tonaroengine::Engine;
using Kind = ScoreItem::Kind;

std::string KindName(Kind kind)
{
    switch (kind) {
    case Kind::Head: return "head";
    case Kind::Stem: return "stem";
    case Kind::Rest: return "rest";
    case Kind::Accidental: return "accidental";
    case Kind::Beam: return "beam";
    case Kind::Tie: return "tie";
    }
    return "?";
}

std::string Describe(const ScoreItem& item)
{
    std::ostringstream out;
    out << KindName(item.kind) << " (slot " << item.slot << ", measure " << item.measure << ", layer " << item.layer
        << ", position " << item.position << ")";
    return out.str();
}

// Pairs of drawn items that run into each other: any two of noteheads,
// rests and accidentals of different entries, accidentals even within one
// chord, and stems through another entry's notehead or accidental. Touching
// is allowed (a tenth of a space).
std::vector<std::string> Collisions(const std::vector<ScoreItem>& items)
{
    const double slack = tonaroapp::ScoreLayout::kSpace * 0.1;
    std::vector<std::string> found;
    for (size_t i = 0; i < items.size(); ++i) {
        const ScoreItem& a = items[i];
        if (a.kind == Kind::Beam || a.kind == Kind::Tie) continue;
        const QRectF boxA = a.box.adjusted(slack, slack, -slack, -slack);
        for (size_t j = i + 1; j < items.size(); ++j) {
            const ScoreItem& b = items[j];
            if (b.kind == Kind::Beam || b.kind == Kind::Tie || b.slot != a.slot || std::abs(b.measure - a.measure) > 1) continue;
            const bool sameEntry = a.measure == b.measure && a.layer == b.layer && a.position == b.position &&
                                   a.graceIndex == b.graceIndex;
            const bool stem = a.kind == Kind::Stem || b.kind == Kind::Stem;
            if (sameEntry && !(a.kind == Kind::Accidental && b.kind == Kind::Accidental)) continue;
            if (stem && (a.kind == Kind::Stem) == (b.kind == Kind::Stem)) continue;  // stem beside stem
            if (stem && (a.kind == Kind::Rest || b.kind == Kind::Rest)) continue;
            if (boxA.intersects(b.box.adjusted(slack, slack, -slack, -slack)))
                found.push_back(Describe(a) + " runs into " + Describe(b));
        }
    }
    return found;
}

class EngravingTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    void TearDown() override { Close(); }

    // Opens MusicXML text as the window would open its file.
    Document* Open(const std::string& xml)
    {
        Close();
        const std::string path = dir_.filePath("score.musicxml").toStdString();
        std::ofstream(path, std::ios::binary) << xml;
        tonaroengine::MusicXmlError error;
        document_ = tonaroengine::OpenMusicXml(path, &error);
        EXPECT_NE(document_, nullptr) << error.Text();
        EXPECT_TRUE(markings_.ReadFile(path));
        if (document_ != nullptr) tonaroapp::LayOutPicture(*document_, markings_, 1000, &layout_);
        return document_;
    }

    std::vector<ScoreItem> Items() const { return tonaroapp::PictureItems(*document_, markings_, layout_); }

    void Close()
    {
        if (document_ == nullptr) return;
        tonaroengine::ReleaseMusicXmlSource(document_);
        Engine::Instance().CloseDocument(document_->Number());
        document_ = nullptr;
    }

    QTemporaryDir dir_;
    Document* document_ = nullptr;
    tonaroapp::ScoreMarkings markings_;
    tonaroapp::ScoreLayout layout_;
};

// One part; measures are given as their inner XML.
std::string Score(const std::vector<std::string>& measures, const std::string& attributes = "",
                  const std::string& head = "")
{
    std::string xml = "<?xml version=\"1.0\"?><score-partwise version=\"4.0\">" + head +
                      "<part-list><score-part id=\"P1\"><part-name>Trumpet in Bb</part-name>"
                      "<part-abbreviation>Tpt.</part-abbreviation></score-part></part-list><part id=\"P1\">";
    for (size_t m = 0; m < measures.size(); ++m) {
        xml += "<measure number=\"" + std::to_string(m + 1) + "\">";
        if (m == 0)
            xml += "<attributes><divisions>4</divisions>" +
                   (attributes.empty() ? std::string("<key><fifths>0</fifths></key><time><beats>4</beats><beat-type>4</beat-type></time>")
                                       : attributes) +
                   "<clef><sign>G</sign><line>2</line></clef></attributes>";
        xml += measures[m] + "</measure>";
    }
    return xml + "</part></score-partwise>";
}

std::string Note(const std::string& step, int octave, int duration, const std::string& type,
                 const std::string& extra = "", int voice = 1)
{
    return "<note><pitch><step>" + step + "</step><octave>" + std::to_string(octave) + "</octave></pitch><duration>" +
           std::to_string(duration) + "</duration><voice>" + std::to_string(voice) + "</voice><type>" + type +
           "</type>" + extra + "</note>";
}

TEST(Engraving, EveryFileOfTheSuiteAndTheExampleDrawsWithoutCollisions)
{
    const QDir suite(QStringLiteral(TONARO_TEST_DATA_DIR "/musicxml-suite"));
    QStringList files;
    for (const QString& name :
         suite.entryList({QStringLiteral("*.xml"), QStringLiteral("*.musicxml"), QStringLiteral("*.mxl")}, QDir::Files))
        files << suite.filePath(name);
    files << QStringLiteral(TONARO_EXAMPLES_DIR "/serenade.musicxml");
    int drawn = 0;
    for (const QString& file : files) {
        tonaroengine::MusicXmlError error;
        Document* document = tonaroengine::OpenMusicXml(file.toStdString(), &error);
        if (document == nullptr) continue;  // files the engine refuses are its tests' business
        tonaroapp::ScoreMarkings markings;
        EXPECT_TRUE(markings.ReadFile(file.toStdString())) << file.toStdString();
        for (const int width : {1000, 500}) {
            tonaroapp::ScoreLayout layout;
            tonaroapp::LayOutPicture(*document, markings, width, &layout);
            const std::vector<ScoreItem> items = tonaroapp::PictureItems(*document, markings, layout);
            for (const std::string& collision : Collisions(items))
                ADD_FAILURE() << QFileInfo(file).fileName().toStdString() << " at width " << width << ": " << collision;
            if (!items.empty()) ++drawn;
        }
        tonaroengine::ReleaseMusicXmlSource(document);
        Engine::Instance().CloseDocument(document->Number());
    }
    EXPECT_GT(drawn, files.size());  // most files at both widths
}

TEST_F(EngravingTest, BeamsJoinTheStemsOfTheirGroupAndSixteenthsGetASecondBeam)
{
    const std::string b1 = "<beam number=\"1\">";
    const std::string b2 = "<beam number=\"2\">";
    ASSERT_NE(Open(Score({Note("C", 4, 2, "eighth", "<beam number=\"1\">begin</beam>") +
                          Note("G", 4, 2, "eighth", b1 + "continue</beam>") +
                          Note("E", 4, 2, "eighth", b1 + "continue</beam>") +
                          Note("A", 4, 2, "eighth", b1 + "end</beam>") +
                          Note("F", 5, 1, "16th", b1 + "begin</beam>" + b2 + "begin</beam>") +
                          Note("E", 5, 1, "16th", b1 + "continue</beam>" + b2 + "end</beam>") +
                          Note("D", 5, 2, "eighth", b1 + "end</beam>") + Note("C", 5, 4, "quarter")})),
              nullptr);
    const std::vector<ScoreItem> items = Items();
    std::vector<ScoreItem> beams, stems;
    for (const ScoreItem& item : items) {
        if (item.kind == Kind::Beam) beams.push_back(item);
        if (item.kind == Kind::Stem) stems.push_back(item);
    }
    ASSERT_EQ(beams.size(), 3u);  // two primary beams, one secondary
    ASSERT_EQ(stems.size(), 8u);
    const double s = tonaroapp::ScoreLayout::kSpace;
    // Low notes: stems up, ending on the first beam; high notes: stems down.
    for (size_t i = 0; i < 7; ++i) {
        const ScoreItem& beam = i < 4 ? beams[0] : beams[1];
        const QRectF stem = stems[i].box;
        EXPECT_GE(stem.center().x(), beam.box.left() - 0.1) << i;
        EXPECT_LE(stem.center().x(), beam.box.right() + 0.1) << i;
        const double tip = i < 4 ? stem.top() : stem.bottom();
        EXPECT_GE(tip, beam.box.top() - 0.1) << i;
        EXPECT_LE(tip, beam.box.bottom() + 0.1) << i;
        EXPECT_GE(stem.height(), 2.5 * s) << i;
    }
    // The secondary beam spans the two sixteenths only.
    EXPECT_LT(beams[2].box.width(), beams[1].box.width());
    EXPECT_TRUE(Collisions(items).empty());
}

TEST_F(EngravingTest, TwoVoicesPointTheirStemsApartAndTheirRestsAndSecondsKeepClear)
{
    const std::string measure = Note("E", 5, 4, "quarter") + Note("D", 5, 4, "quarter") +
                                "<note><rest/><duration>8</duration><voice>1</voice><type>half</type></note>"
                                "<backup><duration>16</duration></backup>" +
                                Note("D", 5, 4, "quarter", "", 2) +  // a second below voice 1
                                "<note><rest/><duration>4</duration><voice>2</voice><type>quarter</type></note>" +
                                Note("C", 4, 8, "half", "", 2);
    ASSERT_NE(Open(Score({measure})), nullptr);
    const std::vector<ScoreItem> items = Items();
    EXPECT_TRUE(Collisions(items).empty());
    for (const ScoreItem& stem : items) {
        if (stem.kind != Kind::Stem) continue;
        // Each stem leaves its head upward in voice 1, downward in voice 2.
        for (const ScoreItem& head : items) {
            if (head.kind != Kind::Head || head.layer != stem.layer || head.position != stem.position) continue;
            if (stem.layer == 0) {
                EXPECT_LT(stem.box.top(), head.box.top());
            } else {
                EXPECT_GT(stem.box.bottom(), head.box.bottom());
            }
        }
    }
    // The voice-2 rest sits below the voice-1 notes at the same time.
    const ScoreItem* rest = nullptr;
    for (const ScoreItem& item : items)
        if (item.kind == Kind::Rest && item.layer == 1) rest = &item;
    ASSERT_NE(rest, nullptr);
    EXPECT_GT(rest->box.top(), layout_.StaffTop(1, 1) + tonaroapp::ScoreLayout::kSpace);
}

TEST_F(EngravingTest, TiesReachTheirNoteEvenFarOffAndAcrossSystems)
{
    // A dotted half tied to the quarter three beats on, which is tied over
    // the barline to a note that starts the next system (narrow layout).
    const std::string tie = "<tie type=\"start\"/><notations><tied type=\"start\"/></notations>";
    std::vector<std::string> measures{Note("G", 4, 12, "half", tie + "<dot/>") + Note("G", 4, 4, "quarter", tie),
                                      Note("G", 4, 16, "whole")};
    for (int m = 0; m < 6; ++m) measures.push_back(Note("C", 5, 16, "whole"));
    ASSERT_NE(Open(Score(measures)), nullptr);
    tonaroapp::LayOutPicture(*document_, markings_, 260, &layout_);
    ASSERT_NE(layout_.Measure(1)->system, layout_.Measure(2)->system);
    std::vector<ScoreItem> ties, heads;
    for (const ScoreItem& item : Items()) {
        if (item.kind == Kind::Tie) ties.push_back(item);
        if (item.kind == Kind::Head && item.measure <= 2) heads.push_back(item);
    }
    ASSERT_EQ(heads.size(), 3u);
    ASSERT_EQ(ties.size(), 3u);  // within measure 1, then two halves around the system break
    const double s = tonaroapp::ScoreLayout::kSpace;
    // The first tie ends just before the quarter, however far it is.
    EXPECT_NEAR(ties[0].box.right(), heads[1].box.left(), 0.5 * s);
    EXPECT_GT(ties[0].box.width(), 3 * s);
    // The second runs to the end of the first system, the third from the
    // start of the next one to the whole note.
    const auto* first = layout_.Measure(1);
    EXPECT_NEAR(ties[1].box.right(), first->left + first->width, 0.5 * s);
    EXPECT_EQ(ties[2].measure, 2);
    EXPECT_NEAR(ties[2].box.right(), heads[2].box.left(), 0.5 * s);
    EXPECT_LT(ties[2].box.left(), heads[2].box.left() - s);
}

TEST_F(EngravingTest, AccidentalsStandAtNoteheadScaleJustBeforeTheirNote)
{
    auto altered = [](const std::string& step, int alter) {
        return "<note><pitch><step>" + step + "</step><alter>" + std::to_string(alter) +
               "</alter><octave>4</octave></pitch><duration>4</duration><voice>1</voice><type>quarter</type></note>";
    };
    ASSERT_NE(Open(Score({altered("F", 1) + altered("B", -1) + Note("B", 4, 4, "quarter") + altered("G", 2)})), nullptr);
    std::vector<ScoreItem> accidentals, heads;
    for (const ScoreItem& item : Items())
        (item.kind == Kind::Accidental ? accidentals : heads).push_back(item);
    ASSERT_EQ(accidentals.size(), 4u);  // sharp, flat, natural, double sharp
    const double s = tonaroapp::ScoreLayout::kSpace;
    for (size_t i = 0; i < accidentals.size(); ++i) {
        const ScoreItem* head = nullptr;
        for (const ScoreItem& h : heads)
            if (h.kind == Kind::Head && h.position == accidentals[i].position) head = &h;
        ASSERT_NE(head, nullptr);
        // As tall as two and a half spaces (the double sharp a notehead's
        // height), close before the head, around its line or space.
        EXPECT_GE(accidentals[i].box.height(), i < 3 ? 2.5 * s : 1.0 * s) << i;
        EXPECT_LE(accidentals[i].box.right(), head->box.left()) << i;
        EXPECT_GT(accidentals[i].box.right(), head->box.left() - 0.5 * s) << i;
        EXPECT_LE(accidentals[i].box.top(), head->box.center().y()) << i;
        EXPECT_GE(accidentals[i].box.bottom(), head->box.center().y()) << i;
    }
}

TEST_F(EngravingTest, WholeMeasureRestsSitInTheMiddleOfTheirMeasure)
{
    const std::string rest = "<note><rest measure=\"yes\"/><duration>12</duration><voice>1</voice></note>";
    ASSERT_NE(Open(Score({rest, rest}, "<time><beats>3</beats><beat-type>4</beat-type></time>")), nullptr);
    for (const ScoreItem& item : Items()) {
        ASSERT_EQ(item.kind, Kind::Rest);
        const auto* box = layout_.Measure(item.measure);
        const double middle = box->left + box->prefixWidth + (box->width - box->prefixWidth) / 2;
        EXPECT_NEAR(item.box.center().x(), middle, 0.5);
        // A whole rest, hanging from the fourth line, whatever the meter.
        EXPECT_NEAR(item.box.top(), layout_.StaffTop(1, item.measure) + tonaroapp::ScoreLayout::kSpace, 0.5);
    }
}

TEST_F(EngravingTest, KeyChangesCancelTheAccidentalsTheNewKeyDropsWithNaturals)
{
    // Sharps to fewer sharps, to flats, to none; none to anything: nothing.
    EXPECT_EQ(tonaroapp::KeyCancellations(4, 2), 2);
    EXPECT_EQ(tonaroapp::KeyCancellations(3, static_cast<uint16_t>(0xFE)), 3);  // A major to B flat major
    EXPECT_EQ(tonaroapp::KeyCancellations(static_cast<uint16_t>(0xFD), 0), 3);
    EXPECT_EQ(tonaroapp::KeyCancellations(0, 5), 0);
    EXPECT_EQ(tonaroapp::KeyCancellations(2, 5), 0);
    EXPECT_EQ(tonaroapp::KeyCancellations(0x0200, 0), 0);  // not a major or minor key

    const std::string whole = Note("C", 5, 16, "whole");
    ASSERT_NE(Open(Score({whole, "<attributes><key><fifths>0</fifths></key></attributes>" + whole},
                         "<key><fifths>3</fifths></key><time><beats>4</beats><beat-type>4</beat-type></time>")),
              nullptr);
    // C major after A major shows three naturals.
    const auto* change = layout_.Measure(2);
    ASSERT_NE(change, nullptr);
    EXPECT_TRUE(change->showsKey);
    EXPECT_GE(change->prefixWidth, 3 * tonaroapp::ScoreLayout::kKeyAccidentalWidth);
}

TEST_F(EngravingTest, MarkingsCreditsAndBarlinesAreReadFromTheScoresSource)
{
    const std::string head =
        "<work><work-title>Night Piece</work-title></work><identification><creator type=\"composer\">A. Writer</creator>"
        "<creator type=\"lyricist\">B. Poet</creator></identification>";
    const std::string first =
        "<direction placement=\"above\"><direction-type><rehearsal>A</rehearsal></direction-type></direction>"
        "<direction placement=\"above\"><direction-type><words>Andante</words></direction-type><direction-type>"
        "<metronome><beat-unit>quarter</beat-unit><per-minute>72</per-minute></metronome></direction-type></direction>"
        "<direction placement=\"below\"><direction-type><dynamics><mp/></dynamics></direction-type></direction>"
        "<direction placement=\"below\"><direction-type><wedge type=\"crescendo\"/></direction-type></direction>" +
        Note("C", 5, 4, "quarter", "<notations><slur type=\"start\"/><articulations><staccato/><accent/></articulations></notations>") +
        Note("D", 5, 4, "quarter") + Note("E", 5, 4, "quarter") +
        Note("F", 5, 4, "quarter", "<notations><fermata/></notations>") +
        "<barline location=\"right\"><bar-style>light-light</bar-style></barline>";
    const std::string second =
        "<barline location=\"left\"><bar-style>heavy-light</bar-style><repeat direction=\"forward\"/></barline>"
        "<direction><direction-type><wedge type=\"stop\"/></direction-type></direction>" +
        Note("G", 5, 16, "whole", "<notations><slur type=\"stop\"/></notations>") +
        "<barline location=\"right\"><bar-style>light-heavy</bar-style><repeat direction=\"backward\"/></barline>";
    ASSERT_NE(Open(Score({first, second},
                         "<key><fifths>0</fifths></key><time symbol=\"cut\"><beats>2</beats><beat-type>2</beat-type></time>",
                         head)),
              nullptr);
    const tonaroapp::Credits& credits = markings_.GetCredits();
    EXPECT_EQ(credits.title, "Night Piece");
    EXPECT_EQ(credits.right, std::vector<std::string>{"A. Writer"});
    EXPECT_EQ(credits.left, std::vector<std::string>{"B. Poet"});
    EXPECT_EQ(markings_.StaffNames(), std::vector<std::string>{"Trumpet in Bb"});
    EXPECT_EQ(markings_.StaffAbbreviations(), std::vector<std::string>{"Tpt."});

    EXPECT_EQ(markings_.Measure(1).time, tonaroapp::MeasureMarks::TimeSymbol::Cut);
    EXPECT_EQ(markings_.Measure(1).right, tonaroapp::BarStyle::Double);
    EXPECT_TRUE(markings_.Measure(2).repeatForward);
    EXPECT_TRUE(markings_.Measure(2).repeatBackward);
    EXPECT_EQ(markings_.Measure(3).right, tonaroapp::BarStyle::Regular);  // no such measure

    using DKind = tonaroapp::Direction::Kind;
    std::vector<DKind> kinds;
    for (const tonaroapp::Direction& d : markings_.Directions(1)) kinds.push_back(d.kind);
    EXPECT_EQ(kinds, (std::vector<DKind>{DKind::Rehearsal, DKind::Tempo, DKind::Tempo, DKind::Dynamic}));
    EXPECT_EQ(markings_.Directions(1)[2].perMinute, "72");
    EXPECT_EQ(markings_.Directions(1)[3].text, "mp");
    EXPECT_FALSE(markings_.Directions(1)[3].above);

    // The slur and the hairpin each run from measure 1 to measure 2.
    ASSERT_EQ(markings_.Spans().size(), 2u);
    for (const tonaroapp::Span& span : markings_.Spans()) {
        EXPECT_EQ(span.startMeasure, 1);
        EXPECT_EQ(span.endMeasure, 2);
    }
    EXPECT_EQ(markings_.SpansIn(2).size(), 2u);

    const tonaroapp::NoteMarks* c = markings_.Note(1, 1, 0, 0);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->articulations, tonaroapp::kStaccato | tonaroapp::kAccent);
    const tonaroapp::NoteMarks* f = markings_.Note(1, 1, 0, 3 * 1024);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->articulations, tonaroapp::kFermataAbove);
    EXPECT_EQ(markings_.Note(1, 1, 0, 1024), nullptr);

    // Credits push the first system down.
    EXPECT_GT(layout_.Systems().front().top, tonaroapp::ScoreLayout::kMargin + 4 * tonaroapp::ScoreLayout::kSpace);
}

TEST_F(EngravingTest, RenderWritesPngSvgAndPagedPdfAndRefusesWhatItCannotWrite)
{
    const std::string input = dir_.filePath("long.musicxml").toStdString();
    std::vector<std::string> measures(120, Note("C", 5, 4, "quarter") + Note("D", 5, 4, "quarter") +
                                               Note("E", 5, 4, "quarter") + Note("F", 5, 4, "quarter"));
    std::ofstream(input, std::ios::binary) << Score(measures);
    auto read = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const tonaroapp::AppOptions options;
    for (const std::string ext : {".png", ".svg", ".pdf"}) {
        const std::string out = dir_.filePath(QString::fromStdString("score" + ext)).toStdString();
        ASSERT_EQ(tonaroapp::RunRender({input, "-o", out, "--width", "900"}, options), tonaroapp::kExitSuccess) << ext;
        const std::string bytes = read(out);
        if (ext == ".png") {
            EXPECT_EQ(bytes.substr(1, 3), "PNG");
        } else if (ext == ".svg") {
            EXPECT_NE(bytes.find("<svg"), std::string::npos);
        } else {
            EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
            // 120 measures do not fit on one A4 page.
            size_t pages = 0;
            for (size_t at = bytes.find("/Type /Page\n"); at != std::string::npos; at = bytes.find("/Type /Page\n", at + 1))
                ++pages;
            for (size_t at = bytes.find("/Type /Page\r"); at != std::string::npos; at = bytes.find("/Type /Page\r", at + 1))
                ++pages;
            EXPECT_GT(pages, 1u);
        }
    }
    // A format it cannot write, and a width out of range: nothing written.
    const std::string kept = dir_.filePath("score.png").toStdString();
    const std::string before = read(kept);
    EXPECT_EQ(tonaroapp::RunRender({input, "-o", dir_.filePath("score.gif").toStdString()}, options),
              tonaroapp::kExitFailure);
    EXPECT_FALSE(QFile::exists(dir_.filePath("score.gif")));
    EXPECT_EQ(tonaroapp::RunRender({input, "-o", kept, "--width", "wide"}, options), tonaroapp::kExitUsage);
    EXPECT_EQ(tonaroapp::RunRender({dir_.filePath("missing.musicxml").toStdString(), "-o", kept}, options),
              tonaroapp::kExitFailure);
    EXPECT_EQ(read(kept), before);
    EXPECT_EQ(tonaroapp::RunRender({input}, options), tonaroapp::kExitUsage);
}

}  // namespace
