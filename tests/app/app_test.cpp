#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "tonarorun.h"

namespace {

// One part of a small test score. Each measure is a list of voices; each
// voice a list of notes "A#4:1" (pitch and quarters; "r:1" a rest), with
// chord notes joined by '+' ("A#4+C#5:2"). Four quarters fill a measure.
struct TestPart {
    std::string id;
    std::string name;
    bool transposed = false;
    int diatonic = 0;
    int chromatic = 0;
    int fifths = 0;
    std::vector<std::vector<std::vector<std::string>>> measures;
};

std::string PitchXml(const std::string& name)
{
    const std::string step(1, name[0]);
    size_t i = 1;
    int alter = 0;
    while (i < name.size() && (name[i] == '#' || name[i] == 'b')) alter += name[i++] == '#' ? 1 : -1;
    std::string xml = "<pitch><step>" + step + "</step>";
    if (alter != 0) xml += "<alter>" + std::to_string(alter) + "</alter>";
    return xml + "<octave>" + name.substr(i) + "</octave></pitch>";
}

std::string ScoreXml(const std::vector<TestPart>& parts)
{
    std::ostringstream xml;
    xml << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<score-partwise version=\"4.0\"><part-list>";
    for (const TestPart& part : parts)
        xml << "<score-part id=\"" << part.id << "\"><part-name>" << part.name << "</part-name></score-part>";
    xml << "</part-list>";
    for (const TestPart& part : parts) {
        xml << "<part id=\"" << part.id << "\">";
        for (size_t m = 0; m < part.measures.size(); ++m) {
            xml << "<measure number=\"" << m + 1 << "\">";
            if (m == 0) {
                xml << "<attributes><divisions>1</divisions><key><fifths>" << part.fifths
                    << "</fifths></key><time><beats>4</beats><beat-type>4</beat-type></time>"
                       "<clef><sign>G</sign><line>2</line></clef>";
                if (part.transposed)
                    xml << "<transpose><diatonic>" << part.diatonic << "</diatonic><chromatic>" << part.chromatic
                        << "</chromatic></transpose>";
                xml << "</attributes>";
            }
            for (size_t v = 0; v < part.measures[m].size(); ++v) {
                if (v > 0) xml << "<backup><duration>4</duration></backup>";
                for (const std::string& token : part.measures[m][v]) {
                    const size_t colon = token.find(':');
                    const std::string pitches = token.substr(0, colon);
                    const std::string duration = token.substr(colon + 1);
                    std::stringstream chord(pitches);
                    std::string one;
                    bool first = true;
                    while (std::getline(chord, one, '+')) {
                        xml << "<note>" << (first ? "" : "<chord/>") << (one == "r" ? "<rest/>" : PitchXml(one))
                            << "<duration>" << duration << "</duration><voice>" << v + 1 << "</voice></note>";
                        first = false;
                    }
                }
            }
            xml << "</measure>";
        }
        xml << "</part>";
    }
    xml << "</score-partwise>\n";
    return xml.str();
}

class AppTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    std::string Path(const std::string& name) const { return dir_.filePath(QString::fromStdString(name)).toStdString(); }
    QString Settings() const { return dir_.filePath("settings"); }

    RunResult Run(QStringList args) { return RunTonaro(args, Settings()); }

    // Writes the score as in.musicxml and runs change-pitches into out.musicxml.
    RunResult Change(const std::vector<TestPart>& parts, const QStringList& extra)
    {
        WriteFile(Path("in.musicxml"), ScoreXml(parts));
        QStringList args{"change-pitches", QString::fromStdString(Path("in.musicxml")), "-o",
                         QString::fromStdString(Path("out.musicxml")), "--settings-dir", Settings()};
        return Run(args + extra);
    }

    std::vector<std::string> Out(const std::string& part) const { return PartPitches(Path("out.musicxml"), part); }

    QTemporaryDir dir_;
};

TestPart Flute(std::vector<std::vector<std::vector<std::string>>> measures)
{
    return {"P1", "Flute", false, 0, 0, 0, std::move(measures)};
}

// A clarinet in Bb: written a major second above sounding.
TestPart Clarinet(std::vector<std::vector<std::vector<std::string>>> measures)
{
    return {"P2", "Clarinet in Bb", true, -1, -2, 2, std::move(measures)};
}

using Strings = std::vector<std::string>;

// --- The command line itself ---------------------------------------------------

TEST_F(AppTest, HelpVersionAndUsageErrorsUseConventionalExitCodes)
{
    RunResult help = Run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("change-pitches INPUT... (-o OUTPUT | --out-dir DIR | --in-place"), std::string::npos);

    RunResult version = Run({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("tonaro ", 0), 0u);

    // Without a command tonaro opens the score window; an unknown option is
    // still a usage error, and so is a second argument after a score file.
    RunResult badOption = Run({"--frobnicate"});
    EXPECT_EQ(badOption.exitCode, 2);
    EXPECT_NE(badOption.err.find("unknown option --frobnicate"), std::string::npos);
    EXPECT_EQ(Run({"a.musicxml", "b.musicxml"}).exitCode, 2);
    // A score file that cannot be opened ends the window path at once.
    RunResult missing = Run({QString::fromStdString(Path("missing.musicxml"))});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("missing.musicxml"), std::string::npos);
    // With no screen the window path says so instead of letting Qt abort.
    RunResult noScreen = RunTonaro({}, Settings(), false);
    EXPECT_EQ(noScreen.exitCode, 1);
    EXPECT_NE(noScreen.err.find("no screen"), std::string::npos) << noScreen.err;
    RunResult unknown = Run({"frobnicate"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_NE(unknown.err.find("unknown command"), std::string::npos);
    EXPECT_TRUE(unknown.out.empty());

    // Missing output, bad ranges, rules and modes are usage errors.
    EXPECT_EQ(Run({"change-pitches", "x.musicxml", "--from", "A#", "--to", "Bb"}).exitCode, 2);
    EXPECT_EQ(Run({"change-pitches", "x.musicxml", "-o", "y.musicxml"}).exitCode, 2);
    EXPECT_EQ(Run({"change-pitches", "x.musicxml", "-o", "y.musicxml", "--from", "A#"}).exitCode, 2);
    EXPECT_EQ(Run({"change-pitches", "x.musicxml", "-o", "y.musicxml", "--rule", "A#"}).exitCode, 2);
    EXPECT_EQ(Run({"change-pitches", "x.musicxml", "-o", "y.musicxml", "--rule", "A#:Bb:sideways"}).exitCode, 2);
    EXPECT_EQ(Run({"change-pitches", "x.musicxml", "-o", "y.musicxml", "--from", "A#", "--to", "Bb", "--measures",
                   "3-2"}).exitCode,
              2);
    EXPECT_EQ(Run({"change-pitches", "x.musicxml", "-o", "y.musicxml", "--from", "A#", "--to", "Bb", "--rule",
                   "C:D"}).exitCode,
              2);
    EXPECT_EQ(Run({"convert", "x.musicxml"}).exitCode, 2);
}

TEST_F(AppTest, InputErrorsFailWithAMessageAndWriteNothing)
{
    RunResult missing = Run({"convert", QString::fromStdString(Path("nothere.musicxml")), "-o",
                             QString::fromStdString(Path("out.musicxml"))});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_FALSE(missing.err.empty());
    EXPECT_FALSE(std::filesystem::exists(Path("out.musicxml")));

    WriteFile(Path("broken.musicxml"), "<score-partwise><part-list>");
    EXPECT_EQ(Run({"info", QString::fromStdString(Path("broken.musicxml"))}).exitCode, 1);

    // A region outside the score is an input error, and nothing is written.
    RunResult outside = Change({Flute({{{"A#4:4"}}})}, {"--from", "A#", "--to", "Bb", "--measures", "2"});
    EXPECT_EQ(outside.exitCode, 1);
    EXPECT_NE(outside.err.find("outside"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(Path("out.musicxml")));
}

// --- Plug-in loading -------------------------------------------------------------

TEST_F(AppTest, PluginsListsTheChangePitchesMenuItem)
{
    RunResult result = Run({"plugins"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("zpchangepitches.so"), std::string::npos);
    EXPECT_NE(result.out.find("ZP Change Pitches..."), std::string::npos);
    EXPECT_NE(result.out.find("Selectively replaces the pitches within the region."), std::string::npos);
}

TEST_F(AppTest, APluginWhoseMainAnswersZeroIsRefusedAndNeverCalledAgain)
{
    const std::string folder = Path("plugins");
    std::filesystem::create_directory(folder);
    std::filesystem::copy_file(TONARO_REFUSING_PLUGIN, folder + "/refusingplugin.so");
    WriteFile(folder + "/notaplugin.so", "not a shared library");

    RunResult result = Run({"--plugins", QString::fromStdString(folder), "plugins"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("refusingplugin.so refused: its main answered 0"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("notaplugin.so refused"), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find("refusing plug-in called"), std::string::npos) << result.err;
    EXPECT_NE(result.out.find("No plug-ins loaded."), std::string::npos);

    // Without the Change Pitches plug-in the job cannot run.
    WriteFile(Path("in.musicxml"), ScoreXml({Flute({{{"A#4:4"}}})}));
    RunResult change = Run({"--plugins", QString::fromStdString(folder), "change-pitches",
                            QString::fromStdString(Path("in.musicxml")), "-o",
                            QString::fromStdString(Path("out.musicxml")), "--from", "A#", "--to", "Bb"});
    EXPECT_EQ(change.exitCode, 1);
    EXPECT_NE(change.err.find("ZP Change Pitches..."), std::string::npos);
}

TEST_F(AppTest, DeferredDeletionsOfAPluginAreDeliveredBeforeItIsUnloaded)
{
    const std::string folder = Path("plugins");
    std::filesystem::create_directory(folder);
    std::filesystem::copy_file(TONARO_DEFERRING_PLUGIN, folder + "/deferringplugin.so");
    RunResult result = Run({"--plugins", QString::fromStdString(folder), "plugins"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("Deferring..."), std::string::npos) << result.out;
    EXPECT_NE(result.err.find("deferring plug-in: deferred deletion delivered"), std::string::npos) << result.err;
}

// --- change-pitches ----------------------------------------------------------------

TEST_F(AppTest, OneChangeRespellsMatchingNotesIncludingChordsAndVoices)
{
    RunResult result = Change({Flute({{{"A#4:1", "Bb4:1", "A#4+C#5:2"}, {"A#3:2", "F4:2"}}, {{"A#5:4"}}})},
                              {"--from", "a#", "--to", "bB", "--no-respace"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(Out("P1"), (Strings{"Bb4", "Bb4", "Bb4", "C#5", "Bb3", "F4", "Bb5"}));
    EXPECT_NE(result.out.find("measure 1, staff 1: A#4 -> Bb4"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("measure 2, staff 1: A#5 -> Bb5"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("4 notes changed in 2 measures;"), std::string::npos) << result.out;
    const size_t header = result.out.find("Changed notes");
    ASSERT_NE(header, std::string::npos);
    EXPECT_EQ(result.out.find("Changed notes", header + 1), std::string::npos) << result.out;
    EXPECT_NE(result.out.find(Path("out.musicxml")), std::string::npos);
}

TEST_F(AppTest, DirectionChoosesTheOctaveOfTheNewNote)
{
    EXPECT_EQ(Change({Flute({{{"C4:4"}}})}, {"--from", "C", "--to", "D", "--direction", "down"}).exitCode, 0);
    EXPECT_EQ(Out("P1"), (Strings{"D3"}));
    EXPECT_EQ(Change({Flute({{{"C4:4"}}})}, {"--from", "C", "--to", "D", "--direction", "up"}).exitCode, 0);
    EXPECT_EQ(Out("P1"), (Strings{"D4"}));
    EXPECT_EQ(Change({Flute({{{"C4:4"}}})}, {"--from", "C", "--to", "B", "--direction", "closest"}).exitCode, 0);
    EXPECT_EQ(Out("P1"), (Strings{"B3"}));
}

TEST_F(AppTest, TransposingStavesCompareSoundingOrWrittenPitch)
{
    // Written B#4 on the clarinet sounds A#4; written A#4 sounds G#4.
    const std::vector<TestPart> score{Flute({{{"A#4:4"}}}), Clarinet({{{"B#4:2", "A#4:2"}}})};

    RunResult sounding = Change(score, {"--from", "A#", "--to", "Bb"});
    ASSERT_EQ(sounding.exitCode, 0) << sounding.err;
    EXPECT_EQ(Out("P1"), (Strings{"Bb4"}));
    EXPECT_EQ(Out("P2"), (Strings{"C5", "A#4"}));

    RunResult written = Change(score, {"--from", "A#", "--to", "Bb", "--written"});
    ASSERT_EQ(written.exitCode, 0) << written.err;
    EXPECT_EQ(Out("P1"), (Strings{"Bb4"}));
    EXPECT_EQ(Out("P2"), (Strings{"B#4", "Bb4"}));
}

TEST_F(AppTest, ARegionLimitsTheChangeToItsMeasuresAndStaves)
{
    const std::vector<TestPart> score{Flute({{{"A#4:4"}}, {{"A#4:4"}}, {{"A#4:4"}}}),
                                      TestPart{"P2", "Oboe", false, 0, 0, 0, {{{"A#4:4"}}, {{"A#4:4"}}, {{"A#4:4"}}}}};
    RunResult result = Change(score, {"--from", "A#", "--to", "Bb", "--measures", "2-3", "--staves", "2"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(Out("P1"), (Strings{"A#4", "A#4", "A#4"}));
    EXPECT_EQ(Out("P2"), (Strings{"A#4", "Bb4", "Bb4"}));
    EXPECT_NE(result.out.find("measure 3, staff 2: A#4 -> Bb4"), std::string::npos) << result.out;
}

TEST_F(AppTest, RulesApplyAtOnceAndNeverChain)
{
    RunResult result =
        Change({Flute({{{"A#4:2", "Bb4:2"}}})}, {"--rule", "A#:Bb", "--rule", "Bb:A#", "--no-respace"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(Out("P1"), (Strings{"Bb4", "A#4"}));

    // The rows are remembered by the dialog; a later run applies only its own.
    result = Change({Flute({{{"C4:2", "A#4:2"}}})}, {"--rule", "C:B#:down"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(Out("P1"), (Strings{"B#3", "A#4"}));
}

TEST_F(AppTest, SyntaxErrorsArePrintedAsThePluginsOwnMessage)
{
    RunResult result = Change({Flute({{{"A#4:4"}}})}, {"--from", "H", "--to", "Bb"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("The 'From' field has wrong syntax."), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(Path("out.musicxml")));

    result = Change({Flute({{{"A#4:4"}}})}, {"--rule", "A#:Bbx"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("The 'To' field has wrong syntax."), std::string::npos) << result.err;

    // Two rules with the same From: the second is refused by the dialog.
    result = Change({Flute({{{"A#4:4"}}})}, {"--rule", "A#:Bb", "--rule", "A#:C"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("already exists in the list"), std::string::npos) << result.err;
}

TEST_F(AppTest, AChangeIsOneShotAndLeavesTheInputAlone)
{
    const std::string input = ScoreXml({Flute({{{"A#4:2", "Gb4:2"}}})});
    RunResult first = Change({Flute({{{"A#4:2", "Gb4:2"}}})}, {"--from", "A#", "--to", "Bb"});
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(ReadFile(Path("in.musicxml")), input);
    EXPECT_EQ(Out("P1"), (Strings{"Bb4", "Gb4"}));

    // The result run again changes nothing more.
    RunResult second = Run({"change-pitches", QString::fromStdString(Path("out.musicxml")), "-o",
                            QString::fromStdString(Path("again.musicxml")), "--from", "A#", "--to", "Bb"});
    ASSERT_EQ(second.exitCode, 0) << second.err;
    EXPECT_NE(second.out.find("No notes matched A#;"), std::string::npos) << second.out;
    EXPECT_EQ(PartPitches(Path("again.musicxml"), "P1"), (Strings{"Bb4", "Gb4"}));
}

// --- convert and info ---------------------------------------------------------------

TEST_F(AppTest, ConvertRoundTripsThroughCompressedFilesAndInfoDescribesStaves)
{
    WriteFile(Path("in.musicxml"), ScoreXml({Flute({{{"A#4:4"}}, {{"r:4"}}}), Clarinet({{{"B#4+D5:4"}}, {{"C5:4"}}})}));
    RunResult toMxl = Run({"convert", QString::fromStdString(Path("in.musicxml")), "-o",
                           QString::fromStdString(Path("score.mxl"))});
    ASSERT_EQ(toMxl.exitCode, 0) << toMxl.err;
    RunResult back = Run({"convert", QString::fromStdString(Path("score.mxl")), "-o",
                          QString::fromStdString(Path("back.musicxml"))});
    ASSERT_EQ(back.exitCode, 0) << back.err;
    EXPECT_EQ(PartPitches(Path("back.musicxml"), "P2"), (Strings{"B#4", "D5", "C5"}));

    RunResult info = Run({"info", QString::fromStdString(Path("score.mxl"))});
    ASSERT_EQ(info.exitCode, 0) << info.err;
    EXPECT_NE(info.out.find("Measures: 2"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("1  Flute  transposition: none  notes: 1"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("2  Clarinet in Bb  transposition: written 1 step(s)"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("Notes: 4"), std::string::npos) << info.out;
}

TEST_F(AppTest, TheBundledExampleRunsTheMainJob)
{
    RunResult result = Run({"change-pitches", TONARO_EXAMPLES_DIR "/serenade.musicxml", "-o",
                            QString::fromStdString(Path("serenade-out.musicxml")), "--from", "A#", "--to", "Bb"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find(" -> Bb"), std::string::npos) << result.out;
    for (const char* part : {"P1", "P2", "P3", "P4"}) {
        const Strings pitches = PartPitches(Path("serenade-out.musicxml"), part);
        EXPECT_FALSE(pitches.empty());
    }
    EXPECT_EQ(PartPitches(Path("serenade-out.musicxml"), "P1")[0], "Bb5");
}

TEST_F(AppTest, RenderDrawsTheExampleWithoutAScreen)
{
    const std::string out = Path("serenade.png");
    RunResult result = RunTonaro({"render", TONARO_EXAMPLES_DIR "/serenade.musicxml", "-o", QString::fromStdString(out),
                                  "--width", "600", "--concert-pitch"},
                                 Settings(), false);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    std::ifstream png(out, std::ios::binary);
    std::string magic(4, '\0');
    png.read(magic.data(), 4);
    EXPECT_EQ(magic.substr(1), "PNG");
}

}  // namespace
