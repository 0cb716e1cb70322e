// Input that must be refused: entity declarations, archives whose members
// climb out or inflate too far, oversized files, broken XML. A refusal names
// the file (and the line and column where there is one), opens nothing and
// leaves the current document as it was.
#include <zip.h>

#include "musicxmltesting.h"

namespace {

using namespace musicxmltesting;

const std::string kContainer =
    "<?xml version=\"1.0\"?><container><rootfiles><rootfile full-path=\"score.musicxml\"/></rootfiles></container>";
const std::string kScore = Score("    <measure number=\"1\">\n" + Note("C", 4) + "    </measure>\n");

// Writes an archive with the given members (name, contents).
void MakeArchive(const std::string& path, const std::vector<std::pair<std::string, std::string>>& members)
{
    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    ASSERT_NE(archive, nullptr);
    for (const auto& [name, contents] : members) {
        zip_source_t* source = zip_source_buffer(archive, contents.data(), contents.size(), 0);
        ASSERT_NE(source, nullptr);
        ASSERT_GE(zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8), 0) << name;
    }
    ASSERT_EQ(zip_close(archive), 0);
}

class Hostile : public MusicXmlTest {
protected:
    // Opens path expecting a refusal that mentions what; checks that nothing
    // was opened.
    void ExpectRefused(const std::string& path, const std::string& what,
                       const tonaroengine::MusicXmlLimits& limits = tonaroengine::MusicXmlLimits())
    {
        tonaroengine::Engine& engine = tonaroengine::Engine::Instance();
        tonaroengine::Document* current = engine.NewDocument();
        const size_t open = engine.DocumentNumbers().size();
        tonaroengine::MusicXmlError error;
        EXPECT_EQ(tonaroengine::OpenMusicXml(path, &error, limits), nullptr);
        EXPECT_NE(error.message.find(what), std::string::npos) << error.Text();
        EXPECT_EQ(error.file.rfind(path, 0), 0u) << error.Text();
        EXPECT_EQ(engine.DocumentNumbers().size(), open);
        EXPECT_EQ(engine.CurrentDocument(), current);
        lastError_ = error;
    }

    tonaroengine::MusicXmlError lastError_;
};

TEST_F(Hostile, EntityDeclarationsAreRefusedAndNeverExpanded)
{
    const std::string external =
        "<?xml version=\"1.0\"?>\n<!DOCTYPE score-partwise [\n  <!ENTITY secret SYSTEM \"file:///etc/passwd\">\n]>\n" +
        kScore.substr(kScore.find("<score-partwise")).replace(kScore.substr(kScore.find("<score-partwise")).find("One"), 3,
                                                              "&secret;");
    WriteText(Path("xxe.musicxml"), external);
    ExpectRefused(Path("xxe.musicxml"), "entities");
    EXPECT_EQ(lastError_.line, 2);

    const std::string laughs = "<?xml version=\"1.0\"?>\n<!DOCTYPE lolz [<!ENTITY lol \"lol\"><!ENTITY lol2 "
                               "\"&lol;&lol;&lol;&lol;\">]>\n<lolz>&lol2;</lolz>\n";
    WriteText(Path("laughs.xml"), laughs);
    ExpectRefused(Path("laughs.xml"), "entities");

    // A plain public DOCTYPE is kept and never fetched.
    const std::string plain = "<?xml version=\"1.0\"?>\n<!DOCTYPE score-partwise PUBLIC \"-//Recordare//DTD MusicXML "
                              "4.0 Partwise//EN\" \"http://www.musicxml.org/dtds/partwise.dtd\">\n" +
                              kScore.substr(kScore.find("<score-partwise"));
    tonaroengine::MusicXmlError error;
    tonaroengine::Document* doc = OpenText("plain.musicxml", plain, &error);
    ASSERT_NE(doc, nullptr) << error.Text();
    ASSERT_TRUE(tonaroengine::SaveMusicXml(doc, Path("plain-out.musicxml"), &error));
    EXPECT_EQ(ReadText(Path("plain-out.musicxml")), plain);
}

TEST_F(Hostile, BrokenXmlNamesLineAndColumn)
{
    WriteText(Path("broken.musicxml"), "<?xml version=\"1.0\"?>\n<score-partwise>\n  <part-list>\n</score-partwise>\n");
    ExpectRefused(Path("broken.musicxml"), "not well-formed");
    EXPECT_EQ(lastError_.line, 4);
    EXPECT_EQ(lastError_.column, 3);
    EXPECT_EQ(lastError_.Text().rfind(Path("broken.musicxml") + ":4:3: ", 0), 0u) << lastError_.Text();

    WriteText(Path("empty.musicxml"), "");
    ExpectRefused(Path("empty.musicxml"), "empty");
    ExpectRefused(Path("missing.musicxml"), "cannot open");
    WriteText(Path("badpitch.musicxml"),
              Score("    <measure number=\"1\">\n      <note><pitch><step>H</step><octave>4</octave></pitch>"
                    "<duration>1</duration></note>\n    </measure>\n"));
    ExpectRefused(Path("badpitch.musicxml"), "<step>");
    EXPECT_EQ(lastError_.line, 8);  // the <pitch> of the note
}

TEST_F(Hostile, ADeclarationValueHoldingADoubleQuoteIsRefused)
{
    // Single quotes let the declaration hold a double quote; written back in
    // double quotes it would make the saved file unreadable.
    const std::string body = kScore.substr(kScore.find("<score-partwise"));
    WriteText(Path("declaration.musicxml"),
              "<?xml version='1.0' encoding='UTF- number=\"2\"8' standalone='no'?>\n" + body);
    ExpectRefused(Path("declaration.musicxml"), "encoding holds a double quote");
    EXPECT_EQ(lastError_.line, 1);

    // Single-quoted declarations without one still open and save to a file
    // that opens again.
    tonaroengine::MusicXmlError error;
    tonaroengine::Document* doc =
        OpenText("single.musicxml", "<?xml version='1.0' encoding='UTF-8' standalone='no'?>\n" + body, &error);
    ASSERT_NE(doc, nullptr) << error.Text();
    ASSERT_TRUE(tonaroengine::SaveMusicXml(doc, Path("single-out.musicxml"), &error)) << error.Text();
    EXPECT_NE(tonaroengine::OpenMusicXml(Path("single-out.musicxml"), &error), nullptr) << error.Text();
}

TEST_F(Hostile, AnArchiveWhoseHeadersDisagreeIsRefused)
{
    // Saving copies the other members as they are; an archive whose local
    // header contradicts its directory would open but never save.
    MakeArchive(Path("consistent.mxl"), {{"mimetype", "application/vnd.recordare.musicxml"},
                                         {"META-INF/container.xml", kContainer},
                                         {"score.musicxml", kScore}});
    tonaroengine::MusicXmlError error;
    tonaroengine::Document* doc = tonaroengine::OpenMusicXml(Path("consistent.mxl"), &error);
    ASSERT_NE(doc, nullptr) << error.Text();
    EXPECT_TRUE(tonaroengine::SaveMusicXml(doc, Path("consistent-out.mxl"), &error)) << error.Text();

    std::string bytes = ReadText(Path("consistent.mxl"));
    ASSERT_EQ(bytes.compare(0, 4, "PK\x03\x04"), 0);
    bytes[26] = '\x08';  // the name length in the local header of "mimetype", never read
    bytes[27] = '\xA2';
    WriteText(Path("inconsistent.mxl"), bytes);
    ExpectRefused(Path("inconsistent.mxl"), "not a readable zip archive");
}

TEST_F(Hostile, ArchiveMembersThatClimbOutAreRefused)
{
    MakeArchive(Path("slip.mxl"), {{"META-INF/container.xml", kContainer},
                                   {"score.musicxml", kScore},
                                   {"../../evil.txt", "x"}});
    ExpectRefused(Path("slip.mxl"), "outside the archive");
    MakeArchive(Path("absolute.mxl"),
                {{"META-INF/container.xml", kContainer}, {"score.musicxml", kScore}, {"/etc/evil", "x"}});
    ExpectRefused(Path("absolute.mxl"), "outside the archive");
    std::string climbing = kContainer;
    climbing.replace(climbing.find("score.musicxml"), 14, "a/../../score.musicxml");
    MakeArchive(Path("root.mxl"), {{"META-INF/container.xml", climbing}, {"score.musicxml", kScore}});
    ExpectRefused(Path("root.mxl"), "outside the archive");
    MakeArchive(Path("nocontainer.mxl"), {{"score.musicxml", kScore}});
    ExpectRefused(Path("nocontainer.mxl"), "container.xml");
    WriteText(Path("garbage.mxl"), "PK\x03\x04 this is no archive");
    ExpectRefused(Path("garbage.mxl"), "zip");
}

TEST_F(Hostile, OversizedInputIsRefused)
{
    const std::string big(200000, 'a');  // compresses to almost nothing
    MakeArchive(Path("bomb.mxl"),
                {{"META-INF/container.xml", kContainer}, {"score.musicxml", kScore}, {"padding.txt", big}});
    tonaroengine::MusicXmlLimits limits;
    limits.maxMemberBytes = 100000;
    ExpectRefused(Path("bomb.mxl"), "too large", limits);
    limits = tonaroengine::MusicXmlLimits();
    limits.maxInflatedBytes = 150000;
    ExpectRefused(Path("bomb.mxl"), "inflates", limits);
    limits = tonaroengine::MusicXmlLimits();
    limits.maxArchiveMembers = 2;
    ExpectRefused(Path("bomb.mxl"), "too many members", limits);
    limits = tonaroengine::MusicXmlLimits();
    limits.maxFileBytes = 100;
    WriteText(Path("long.musicxml"), kScore);
    ExpectRefused(Path("long.musicxml"), "larger than allowed", limits);

    // Within the limits the same archive opens.
    tonaroengine::MusicXmlError error;
    EXPECT_NE(tonaroengine::OpenMusicXml(Path("bomb.mxl"), &error), nullptr) << error.Text();
}

}  // namespace
