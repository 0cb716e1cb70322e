// change-pitches on what users type and on many files at once: accidental
// signs, refused input as usage errors that write nothing, several inputs
// with their destinations and a bad file among them, the JSON report,
// standard input and output, and saved lists from the command line.
#include <gtest/gtest.h>

#include <filesystem>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "tonarorun.h"

namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

// One measure of a flute part holding A#4, C##5, Ebb4 and F#4.
const char kDoubleAccidentals[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<score-partwise version=\"4.0\"><part-list>"
    "<score-part id=\"P1\"><part-name>Flute</part-name></score-part></part-list><part id=\"P1\">"
    "<measure number=\"1\"><attributes><divisions>1</divisions><key><fifths>0</fifths></key><time><beats>4</beats>"
    "<beat-type>4</beat-type></time><clef><sign>G</sign><line>2</line></clef></attributes>"
    "<note><pitch><step>A</step><alter>1</alter><octave>4</octave></pitch><duration>1</duration><voice>1</voice></note>"
    "<note><pitch><step>C</step><alter>2</alter><octave>5</octave></pitch><duration>1</duration><voice>1</voice></note>"
    "<note><pitch><step>E</step><alter>-2</alter><octave>4</octave></pitch><duration>1</duration><voice>1</voice></note>"
    "<note><pitch><step>F</step><alter>1</alter><octave>4</octave></pitch><duration>1</duration><voice>1</voice></note>"
    "</measure></part></score-partwise>\n";

class BatchTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    std::string Path(const std::string& name) const { return dir_.filePath(QString::fromStdString(name)).toStdString(); }
    QString Q(const std::string& name) const { return QString::fromStdString(Path(name)); }
    RunResult Run(const QStringList& args, const std::string& input = {})
    {
        return RunTonaro(args, dir_.filePath("home"), true, input);
    }
    // A copy of the bundled example (12 A#s in 8 measures of 4 staves).
    QString Serenade(const std::string& name)
    {
        fs::create_directories(fs::path(Path(name)).parent_path());
        fs::copy_file(TONARO_EXAMPLES_DIR "/serenade.musicxml", Path(name), fs::copy_options::overwrite_existing);
        return Q(name);
    }
    QString Broken(const std::string& name)
    {
        WriteFile(Path(name), "<score-partwise><part-list>");
        return Q(name);
    }
    static bool IsEmptyFolder(const std::string& path) { return !fs::exists(path) || fs::is_empty(path); }

    QTemporaryDir dir_;
};

TEST_F(BatchTest, AccidentalSignsAreReadAsTheirAsciiSpellings)
{
    WriteFile(Path("in.musicxml"), kDoubleAccidentals);
    const std::vector<std::pair<QStringList, QStringList>> cases{
        {{"--rule", "A♯:B♭"}, {"--rule", "A#:Bb"}},
        {{"--from", "C𝄪", "--to", "D"}, {"--from", "Cx", "--to", "D"}},
        {{"--rule", "E𝄫:D:up"}, {"--rule", "Ebb:D:up"}},
        {{"--rule", "F＃:G♭"}, {"--rule", "F#:Gb"}},
    };
    for (const auto& [signs, ascii] : cases) {
        SCOPED_TRACE(signs.join(' ').toStdString());
        const QStringList common{"change-pitches", Q("in.musicxml"), "--settings-dir", Q("settings"), "-o"};
        const RunResult withSigns = Run(common + QStringList{Q("signs.musicxml")} + signs);
        const RunResult withAscii = Run(common + QStringList{Q("ascii.musicxml")} + ascii);
        ASSERT_EQ(withSigns.exitCode, 0) << withSigns.err;
        ASSERT_EQ(withAscii.exitCode, 0) << withAscii.err;
        EXPECT_NE(withSigns.out.find("1 note changed in 1 measure;"), std::string::npos) << withSigns.out;
        EXPECT_EQ(ReadFile(Path("signs.musicxml")), ReadFile(Path("ascii.musicxml")));
    }
}

TEST_F(BatchTest, InputTheDialogRefusesIsAUsageErrorThatWritesNothing)
{
    WriteFile(Path("afile"), "");
    const struct {
        QStringList args;
        std::string message;
    } cases[] = {
        {{"--rule", "H:Bb"}, "tonaro: --rule H:Bb: The 'From' field has wrong syntax."},
        {{"--from", "A#", "--to", "Bbx"}, "The 'To' field has wrong syntax."},
        {{"--rule", "A#:Bb", "--rule", "A#:C"}, "tonaro: --rule A#:C: The pitch to change 'from' already exists"},
        {{"--rule", "𝄞:Bb"}, "tonaro: --rule 𝄞:Bb: The 'From' field has wrong syntax."},
        {{"--rule", "A#\n:Bb"}, "tonaro: --rule A#\\n:Bb: "},
        {{"--from", "A#\r", "--to", "Bb"}, "tonaro: --from A#\\x0D: "},
        {{"--list", "Nothing"}, "tonaro: --list Nothing: "},
        {{"--rule", "A#:Bb", "--settings-dir", Q("afile/sub")}, "tonaro: --settings-dir "},
        {{"--rule", "A#:Bb", "--settings-dir", Q("afile")}, "not a folder"},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        const std::string settings = Path("settings" + std::to_string(++n));
        const RunResult result = Run(QStringList{"change-pitches", Serenade("in.musicxml"), "-o", Q("out.musicxml"),
                                                 "--settings-dir", QString::fromStdString(settings)} +
                                     c.args);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_EQ(result.err.rfind("tonaro: ", 0), 0u) << result.err;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        EXPECT_FALSE(fs::exists(Path("out.musicxml")));
        EXPECT_TRUE(IsEmptyFolder(settings));
    }
    // An output that is not a score file, and a file that cannot be read:
    // nothing written either, settings included.
    RunResult text = Run({"change-pitches", Serenade("in.musicxml"), "-o", Q("out.txt"), "--rule", "A#:Bb",
                          "--settings-dir", Q("s-text")});
    EXPECT_EQ(text.exitCode, 2);
    EXPECT_NE(text.err.find("-o " + Path("out.txt") + ": the output must end in"), std::string::npos) << text.err;
    RunResult missing = Run({"change-pitches", Q("missing.musicxml"), "-o", Q("out.musicxml"), "--rule", "A#:Bb",
                             "--settings-dir", Q("s-missing")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_FALSE(fs::exists(Path("out.txt")));
    EXPECT_TRUE(IsEmptyFolder(Path("s-text")) && IsEmptyFolder(Path("s-missing")));
}

TEST_F(BatchTest, EveryFileIsWrittenWhereAskedAndABadOneIsNamedWhileTheOthersRun)
{
    const std::string original = ReadFile(TONARO_EXAMPLES_DIR "/serenade.musicxml");
    for (const char* jobs : {"1", "2"}) {
        for (const std::string mode : {"--out-dir", "--in-place", "--dry-run"}) {
            const std::string folder = mode.substr(2) + jobs + "/";
            SCOPED_TRACE(folder);
            QStringList args{"change-pitches", Serenade(folder + "a.musicxml"), Broken(folder + "bad.musicxml"),
                             Serenade(folder + "b.musicxml"), QString::fromStdString(mode)};
            if (mode == "--out-dir") args << Q(folder + "out");
            const RunResult result =
                Run(args + QStringList{"--jobs", jobs, "--from", "A#", "--to", "Bb", "--settings-dir", Q("s")});
            EXPECT_EQ(result.exitCode, 1);
            EXPECT_NE(result.err.find(Path(folder + "bad.musicxml") + ":1:"), std::string::npos) << result.err;
            EXPECT_NE(result.out.find(Path(folder + "b.musicxml") + ": 12 notes changed in 8 measures; "),
                      std::string::npos)
                << result.out;
            EXPECT_NE(result.out.find("3 files: 24 notes changed; 1 failed"), std::string::npos) << result.out;
            // No progress line when standard error is not a terminal.
            EXPECT_EQ(result.err.find('\r'), std::string::npos);
            const std::string written = mode == "--out-dir" ? folder + "out/" : folder;
            for (const char* name : {"a.musicxml", "b.musicxml"}) {
                if (mode == "--dry-run") {
                    EXPECT_EQ(ReadFile(Path(folder + name)), original);
                } else {
                    EXPECT_EQ(PartPitches(Path(written + name), "P1").at(0), "Bb5");
                }
            }
            EXPECT_EQ(ReadFile(Path(folder + "bad.musicxml")), "<score-partwise><part-list>");
            EXPECT_FALSE(fs::exists(Path(folder + "out/bad.musicxml")));
        }
    }
}

TEST_F(BatchTest, AnOutputThatCannotBeWrittenFailsThatFileOnly)
{
    fs::create_directories(Path("out/b.musicxml"));  // a folder where the file should go
    const RunResult result = Run({"change-pitches", Serenade("a.musicxml"), Serenade("b.musicxml"), "--out-dir",
                                  Q("out"), "--jobs", "2", "--from", "A#", "--to", "Bb", "--settings-dir", Q("s")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("tonaro: " + Path("out/b.musicxml")), std::string::npos) << result.err;
    EXPECT_EQ(PartPitches(Path("out/a.musicxml"), "P1").at(0), "Bb5");
    EXPECT_TRUE(fs::is_directory(Path("out/b.musicxml")));
}

TEST_F(BatchTest, JsonReportListsEachFileInThePitchModeUsed)
{
    // The clarinet's first note is written B#4 (it sounds A#4).
    const RunResult result = Run({"change-pitches", Serenade("a.musicxml"), Broken("bad.musicxml"), "--dry-run",
                                  "--report", "json", "--written", "--rule", "B#:C", "--staves", "2", "--settings-dir",
                                  Q("s")});
    EXPECT_EQ(result.exitCode, 1);
    QJsonParseError error;
    const QJsonObject report = QJsonDocument::fromJson(QByteArray::fromStdString(result.out), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << result.out;
    const QJsonArray files = report.value("files").toArray();
    ASSERT_EQ(files.size(), 2);
    const QJsonObject good = files[0].toObject();
    EXPECT_EQ(good.value("input").toString(), Q("a.musicxml"));
    EXPECT_TRUE(good.value("output").isNull());
    EXPECT_TRUE(good.value("error").isNull());
    const QJsonArray changed = good.value("changed").toArray();
    ASSERT_FALSE(changed.isEmpty());
    const QJsonObject first = changed[0].toObject();
    EXPECT_EQ(first.keys(), (QStringList{"from", "measure", "part", "staff", "to"}));
    EXPECT_EQ(first.value("part").toString(), "Clarinet in Bb");
    EXPECT_EQ(first.value("staff").toInt(), 2);
    EXPECT_EQ(first.value("measure").toInt(), 1);
    EXPECT_EQ(first.value("from").toString() + " -> " + first.value("to").toString(), "B#4 -> C5");
    const QJsonObject bad = files[1].toObject();
    EXPECT_TRUE(bad.value("changed").toArray().isEmpty());
    EXPECT_TRUE(bad.value("error").toString().startsWith(Q("bad.musicxml")));
}

TEST_F(BatchTest, SummariesSayWhatHappenedInThePitchModeUsed)
{
    const RunResult none =
        Run({"change-pitches", Serenade("a.musicxml"), "--dry-run", "--rule", "Fb:E", "--rule", "gbb:F", "--settings-dir", Q("s")});
    EXPECT_EQ(none.exitCode, 0) << none.err;
    EXPECT_NE(none.out.find("No notes matched Fb or Gbb; nothing written (dry run)"), std::string::npos) << none.out;

    const RunResult written = Run({"change-pitches", Serenade("a.musicxml"), "--dry-run", "--written", "--from", "B#",
                                   "--to", "C", "--settings-dir", Q("s")});
    EXPECT_EQ(written.exitCode, 0) << written.err;
    EXPECT_NE(written.out.find("Changed notes (written pitch):\n  measure 1, staff 2: B#4 -> C5"), std::string::npos)
        << written.out;
}

TEST_F(BatchTest, StandardInputAndOutputCarryOneScore)
{
    const RunResult piped = Run({"change-pitches", "-", "-o", "-", "--from", "A#", "--to", "Bb", "--settings-dir", Q("s")},
                                ReadFile(TONARO_EXAMPLES_DIR "/serenade.musicxml"));
    ASSERT_EQ(piped.exitCode, 0) << piped.err;
    WriteFile(Path("piped.musicxml"), piped.out);
    EXPECT_EQ(PartPitches(Path("piped.musicxml"), "P1").at(0), "Bb5");
    EXPECT_NE(piped.err.find("12 notes changed in 8 measures; written to standard output"), std::string::npos)
        << piped.err;

    for (const QStringList& args : {QStringList{"-", "-", "--dry-run"}, QStringList{"-", "--out-dir", Q("out")},
                                    QStringList{"-", "--in-place"}})
        EXPECT_EQ(Run(QStringList{"change-pitches"} + args + QStringList{"--from", "A#", "--to", "Bb"}).exitCode, 2);
}

TEST_F(BatchTest, ListsSavedFromTheCommandLineAreListedAndUsed)
{
    const QStringList settings{"--settings-dir", Q("s")};
    EXPECT_NE(Run(QStringList{"lists"} + settings).out.find("No saved pitch lists."), std::string::npos);

    const RunResult saved = Run(QStringList{"change-pitches", "--rule", "A♯:B♭", "--rule", "C#:Db:up", "--save-list",
                                            "Band parts"} + settings);
    ASSERT_EQ(saved.exitCode, 0) << saved.err;
    EXPECT_EQ(Run(QStringList{"lists"} + settings).out, "Band parts\n  A#:Bb:closest\n  C#:Db:up\n");

    const RunResult used = Run(QStringList{"change-pitches", Serenade("a.musicxml"), "-o", Q("out.musicxml"),
                                           "--list", "band parts"} + settings);
    ASSERT_EQ(used.exitCode, 0) << used.err;
    EXPECT_EQ(PartPitches(Path("out.musicxml"), "P1").at(0), "Bb5");

    // Saving under the same name replaces the list.
    ASSERT_EQ(Run(QStringList{"change-pitches", "--rule", "D#:Eb", "--save-list", "BAND PARTS"} + settings).exitCode, 0);
    EXPECT_EQ(Run(QStringList{"lists"} + settings).out, "Band parts\n  D#:Eb:closest\n");
}

}  // namespace
