// Saving: pitches written back as the file writes them, accidentals by the
// standard rule, respaced measures, archives, documents without a source
// file, and saves that must not happen.
#include <zip.h>

#include <filesystem>

#include "host/engine/pitch.h"
#include "musicxmltesting.h"
#include "tonaropdk/hostapi/fxfunctions.h"

namespace {

using namespace musicxmltesting;
using tonaroengine::Document;
using tonaroengine::musicxml::AbsPitch;

using Saving = MusicXmlTest;

// The <note> elements of a saved file, in order.
std::vector<pugi::xml_node> Notes(const pugi::xml_document& doc)
{
    std::vector<pugi::xml_node> notes;
    for (pugi::xpath_node found : doc.select_nodes("//note")) notes.push_back(found.node());
    return notes;
}

std::string Accidental(const pugi::xml_node& note)
{
    const pugi::xml_node accidental = note.child("accidental");
    return accidental ? accidental.child_value() : "-";
}

// Changes the pitch of the index-th note of the document.
void SetPitch(Document& doc, size_t index, AbsPitch pitch)
{
    size_t seen = 0;
    ASSERT_EQ(ChangeEveryNote(doc, [&](AbsPitch* p) {
                  if (seen++ != index) return false;
                  *p = pitch;
                  return true;
              }),
              1);
}

const std::string kFourFs = Score(
    "    <measure number=\"1\">\n"
    "      <attributes><divisions>1</divisions><key><fifths>0</fifths></key></attributes>\n" +
    Note("F", 4) + Note("F", 4) + Note("F", 5) + Note("F", 4, 1, 1, "<accidental cautionary=\"yes\">sharp</accidental>") +
    "    </measure>\n    <measure number=\"2\">\n" + Note("F", 4) + "    </measure>\n");

TEST_F(Saving, AccidentalsFollowTheStandardRuleInTheChangedMeasureAndStaff)
{
    Document* doc = OpenText("fs.musicxml", kFourFs);
    ASSERT_NE(doc, nullptr);
    SetPitch(*doc, 0, AbsPitch{31, 1});  // first F4 -> F#4
    tonaroengine::MusicXmlError error;
    ASSERT_TRUE(tonaroengine::SaveMusicXml(doc, Path("out.musicxml"), &error)) << error.Text();
    pugi::xml_document out;
    ASSERT_TRUE(out.load_file(Path("out.musicxml").c_str()));
    const auto notes = Notes(out);
    ASSERT_EQ(notes.size(), 5u);
    EXPECT_STREQ(notes[0].child("pitch").child_value("alter"), "1");
    EXPECT_EQ(Accidental(notes[0]), "sharp");    // the change shows
    EXPECT_EQ(Accidental(notes[1]), "natural");  // the next F4 is now cancelled
    EXPECT_EQ(Accidental(notes[2]), "-");        // another octave: untouched
    EXPECT_EQ(Accidental(notes[3]), "sharp");    // a courtesy sharp stays
    EXPECT_EQ(Accidental(notes[4]), "-");        // the next measure starts afresh

    // Back to F4: the accidentals that the change brought go again.
    SetPitch(*doc, 0, AbsPitch{31, 0});
    ASSERT_TRUE(tonaroengine::SaveMusicXml(doc, Path("back.musicxml"), &error)) << error.Text();
    std::string where;
    EXPECT_TRUE(SameXml(kFourFs, ReadText(Path("back.musicxml")), false, &where))
        << where << UnifiedDiff(Path("fs.musicxml"), Path("back.musicxml"));
}

TEST_F(Saving, TransposingStavesAreWrittenInWrittenPitchAndConcertScoresInSoundingPitch)
{
    const std::string body =
        "    <measure number=\"1\">\n"
        "      <attributes><divisions>1</divisions><key><fifths>2</fifths></key>"
        "<transpose><diatonic>-1</diatonic><chromatic>-2</chromatic></transpose></attributes>\n" +
        Note("D", 4) + "    </measure>\n";
    Document* doc = OpenText("clarinet.musicxml", Score(body));
    ASSERT_NE(doc, nullptr);
    SetPitch(*doc, 0, AbsPitch{28, 1});  // sounding C#4
    tonaroengine::MusicXmlError error;
    ASSERT_TRUE(tonaroengine::SaveMusicXml(doc, Path("out.musicxml"), &error)) << error.Text();
    pugi::xml_document out;
    ASSERT_TRUE(out.load_file(Path("out.musicxml").c_str()));
    const pugi::xml_node pitch = Notes(out)[0].child("pitch");
    EXPECT_STREQ(pitch.child_value("step"), "D");
    EXPECT_STREQ(pitch.child_value("alter"), "1");
    EXPECT_STREQ(pitch.child_value("octave"), "4");
    EXPECT_EQ(Accidental(Notes(out)[0]), "sharp");  // D sharp against a written D major

    std::string concert = Score(body);
    concert.replace(concert.find("  <part-list>"), 0, "  <defaults><concert-score/></defaults>\n");
    Document* sounding = OpenText("concert.musicxml", concert);
    ASSERT_NE(sounding, nullptr);
    SetPitch(*sounding, 0, AbsPitch{29, 1});  // D#4, as sounding
    ASSERT_TRUE(tonaroengine::SaveMusicXml(sounding, Path("concert-out.musicxml"), &error)) << error.Text();
    ASSERT_TRUE(out.load_file(Path("concert-out.musicxml").c_str()));
    EXPECT_STREQ(Notes(out)[0].child("pitch").child_value("step"), "D");
    EXPECT_STREQ(Notes(out)[0].child("pitch").child_value("alter"), "1");
}

TEST_F(Saving, NotesTheFileCannotTakeAreNeverRewritten)
{
    const std::string text = Score(
        "    <measure number=\"1\">\n      <attributes><divisions>1</divisions></attributes>\n" +
        Note("C", 4) + "      <note><pitch><step>E</step><alter>-0.5</alter><octave>4</octave></pitch>"
                       "<duration>1</duration><voice>1</voice></note>\n"
                       "    </measure>\n");
    Document* doc = OpenText("micro.musicxml", text);
    ASSERT_NE(doc, nullptr);
    ChangeEveryNote(*doc, [](AbsPitch* p) {
        ++p->alter;
        return true;
    });
    tonaroengine::MusicXmlSaveReport report;
    tonaroengine::MusicXmlError error;
    ASSERT_TRUE(tonaroengine::SaveMusicXml(doc, Path("out.musicxml"), &error, {}, &report)) << error.Text();
    EXPECT_EQ(report.changedNotes, 1u);
    EXPECT_EQ(report.notesLeftAsTheyWere, 1u);
    pugi::xml_document out;
    ASSERT_TRUE(out.load_file(Path("out.musicxml").c_str()));
    EXPECT_STREQ(Notes(out)[1].child("pitch").child_value("alter"), "-0.5");
    EXPECT_FALSE(Notes(out)[1].child("accidental"));
}

TEST_F(Saving, RespacedMeasuresLoseTheFixedPositionsOfTheirNotes)
{
    const std::string text = Score(
        "    <measure number=\"1\">\n      <attributes><divisions>1</divisions></attributes>\n"
        "      <note default-x=\"40\" relative-x=\"2\" default-y=\"5\"><pitch><step>C</step><octave>4</octave></pitch>"
        "<duration>4</duration></note>\n"
        "      <note default-y='9'\n default-x = \"40\"><chord/><pitch><step>E</step><octave>4</octave></pitch>"
        "<duration>4</duration></note>\n"
        "    </measure>\n    <measure number=\"2\">\n"
        "      <note default-x=\"40\"><rest/><duration>4</duration></note>\n    </measure>\n");
    Document* doc = OpenText("spaced.musicxml", text);
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(doc->SetSelection(Document::MakeRegion(1, 1, 1, 2)));
    // Respacing music as the file lays it out changes nothing.
    ASSERT_NE(FX_ExecuteMenuItem(0x4D53704E /* 'MSpN' */, 0x12000000), 0);
    EXPECT_FALSE(doc->IsRespaced(1));
    EXPECT_FALSE(doc->IsRespaced(2));

    SetPitch(*doc, 0, AbsPitch{29, 0});  // C4 -> D4
    ASSERT_NE(FX_ExecuteMenuItem(0x4D53704E, 0x12000000), 0);
    ASSERT_TRUE(doc->IsRespaced(1));
    EXPECT_FALSE(doc->IsRespaced(2));  // selected, but its music did not change
    tonaroengine::MusicXmlSaveReport report;
    tonaroengine::MusicXmlError error;
    ASSERT_TRUE(tonaroengine::SaveMusicXml(doc, Path("out.musicxml"), &error, {}, &report)) << error.Text();
    EXPECT_EQ(report.respacedMeasures, 1u);
    pugi::xml_document out;
    ASSERT_TRUE(out.load_file(Path("out.musicxml").c_str()));
    const auto notes = Notes(out);
    EXPECT_FALSE(notes[0].attribute("default-x"));
    EXPECT_FALSE(notes[0].attribute("relative-x"));
    EXPECT_STREQ(notes[0].attribute("default-y").value(), "5");  // vertical placement stays
    EXPECT_STREQ(notes[2].attribute("default-x").value(), "40");
    // An unchanged note keeps its text but for the dropped position.
    EXPECT_NE(ReadText(Path("out.musicxml")).find("<note default-y='9'><chord/><pitch><step>E</step>"), std::string::npos);
}

TEST_F(Saving, TheInputIsWrittenOverOnlyWhenAskedAndFailuresLeaveFilesAlone)
{
    Document* doc = OpenText("in.musicxml", kFourFs);
    ASSERT_NE(doc, nullptr);
    SetPitch(*doc, 0, AbsPitch{31, 1});
    tonaroengine::MusicXmlError error;
    EXPECT_FALSE(tonaroengine::SaveMusicXml(doc, Path("in.musicxml"), &error));
    EXPECT_NE(error.Text().find("in.musicxml"), std::string::npos);
    EXPECT_EQ(ReadText(Path("in.musicxml")), kFourFs);
    EXPECT_FALSE(tonaroengine::SaveMusicXml(doc, Path("./in.musicxml"), &error));

    EXPECT_FALSE(tonaroengine::SaveMusicXml(doc, Path("missing/out.musicxml"), &error));
    EXPECT_NE(error.file.find("missing/out.musicxml"), std::string::npos);
    EXPECT_FALSE(tonaroengine::SaveMusicXml(nullptr, Path("x.musicxml"), &error));

    tonaroengine::MusicXmlSaveOptions options;
    options.overwriteInput = true;
    ASSERT_TRUE(tonaroengine::SaveMusicXml(doc, Path("in.musicxml"), &error, options)) << error.Text();
    EXPECT_NE(ReadText(Path("in.musicxml")), kFourFs);
    // No temporary files are left beside the target.
    size_t files = 0;
    for (const auto& item : std::filesystem::directory_iterator(dir_)) {
        (void)item;
        ++files;
    }
    EXPECT_EQ(files, 1u);

    // A second save with nothing new changes nothing more.
    const std::string once = ReadText(Path("in.musicxml"));
    ASSERT_TRUE(tonaroengine::SaveMusicXml(doc, Path("in.musicxml"), &error, options)) << error.Text();
    EXPECT_EQ(ReadText(Path("in.musicxml")), once);
}

std::vector<std::pair<std::string, std::string>> Members(const std::string& path)
{
    std::vector<std::pair<std::string, std::string>> members;
    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &code);
    if (!archive) return members;
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        zip_stat_t stat;
        zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat);
        std::string bytes(stat.size, '\0');
        if (zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0)) {
            if (stat.size) zip_fread(file, bytes.data(), stat.size);
            zip_fclose(file);
        }
        members.emplace_back(stat.name, bytes);
    }
    zip_discard(archive);
    return members;
}

TEST_F(Saving, CompressedFilesKeepTheirOtherMembers)
{
    const std::string input = DataDir() + "/musicxml-suite/90a-Compressed-MusicXML.mxl";
    tonaroengine::MusicXmlError error;
    Document* doc = tonaroengine::OpenMusicXml(input, &error);
    ASSERT_NE(doc, nullptr) << error.Text();
    const int changed = ChangeEveryNote(*doc, [](AbsPitch* p) {
        p->alter = p->alter == 0 ? 1 : 0;
        return true;
    });
    ASSERT_GT(changed, 0);
    const auto expected = AllPitches(*doc);
    ASSERT_TRUE(tonaroengine::SaveMusicXml(doc, Path("out.mxl"), &error)) << error.Text();
    const auto before = Members(input);
    const auto after = Members(Path("out.mxl"));
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(after[i].first, before[i].first);
        if (after[i].first.find(".xml") == std::string::npos || after[i].first.find("META-INF") != std::string::npos) {
            EXPECT_EQ(after[i].second, before[i].second) << after[i].first;
        }
    }
    Document* reopened = tonaroengine::OpenMusicXml(Path("out.mxl"), &error);
    ASSERT_NE(reopened, nullptr) << error.Text();
    const auto pitches = AllPitches(*reopened);
    ASSERT_EQ(pitches.size(), expected.size());
    for (size_t i = 0; i < pitches.size(); ++i) EXPECT_EQ(pitches[i].second, expected[i].second);

    // Saved as plain XML, the same score.
    ASSERT_TRUE(tonaroengine::SaveMusicXml(doc, Path("plain.musicxml"), &error)) << error.Text();
    std::string where;
    EXPECT_TRUE(SameXml(ReadText(Path("plain.musicxml")), after[1].first.find("META") == std::string::npos
                                                               ? after[1].second
                                                               : after[2].second,
                        false, &where))
        << where;
}

// A document built through the C++ interface.
Document* BuildScore()
{
    using tonaroengine::EntrySpec;
    using tonaroengine::NoteSpec;
    Document* doc = tonaroengine::Engine::Instance().NewDocument();
    doc->AddStaff(3);
    doc->AddStaff(7, CLEF_BASS);
    doc->AddMeasures(2, 3, 1024, 0x00FF);  // 3/4, F major
    doc->SetKeySignature(2, 0x0101);       // E minor
    doc->SetStaffTransposition(3, 0x0042);
    NoteSpec c4, e4, fsharp;
    tonaroengine::NoteFromName("C4", 0x00FF, &c4);
    tonaroengine::NoteFromName("E4", 0x00FF, &e4);
    tonaroengine::NoteFromName("F#3", 0x0101, &fsharp);
    c4.tieStart = true;
    doc->AddEntry(3, 1, 0, EntrySpec{512, {e4}, EXENTRY_GRACE});
    doc->AddEntry(3, 1, 0, EntrySpec{1536, {c4, e4}, 0});
    doc->AddRest(3, 1, 0, 1536);
    doc->AddEntry(3, 1, 1, EntrySpec{3072, {e4}, 0});
    doc->AddEntry(7, 2, 0, EntrySpec{1024, {fsharp}, 0});
    doc->AddEntry(7, 2, 0, EntrySpec{341, {fsharp}, 0});  // a triplet-like length
    return doc;
}

TEST_F(Saving, DocumentsWithoutASourceAreWrittenAsValidMusicXml40)
{
    Document* doc = BuildScore();
    const auto expected = AllPitches(*doc);
    tonaroengine::MusicXmlError error;
    ASSERT_FALSE(tonaroengine::HasMusicXmlSource(doc));
    ASSERT_TRUE(tonaroengine::SaveMusicXml(doc, Path("built.musicxml"), &error)) << error.Text();
    EXPECT_NE(ReadText(Path("built.musicxml")).find("MusicXML 4.0"), std::string::npos);

    const std::string xmllint = TONARO_XMLLINT;
    if (!xmllint.empty()) {
        const std::string schema = DataDir() + "/musicxml-schema";
        const std::string command = "XML_CATALOG_FILES='" + schema + "/catalog.xml' '" + xmllint +
                                    "' --nonet --noout --schema '" + schema + "/musicxml.xsd' '" +
                                    Path("built.musicxml") + "' > '" + Path("lint.txt") + "' 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << ReadText(Path("lint.txt"));
    }

    Document* reopened = tonaroengine::OpenMusicXml(Path("built.musicxml"), &error);
    ASSERT_NE(reopened, nullptr) << error.Text();
    const auto pitches = AllPitches(*reopened);
    ASSERT_EQ(pitches.size(), expected.size());
    for (size_t i = 0; i < pitches.size(); ++i) EXPECT_EQ(pitches[i].second, expected[i].second) << i;
    EXPECT_EQ(reopened->CellKeySignature(reopened->StaffAtSlot(1), 2), 0x0101);

    ASSERT_TRUE(tonaroengine::SaveMusicXml(doc, Path("built.mxl"), &error)) << error.Text();
    Document* fromArchive = tonaroengine::OpenMusicXml(Path("built.mxl"), &error);
    ASSERT_NE(fromArchive, nullptr) << error.Text();
    EXPECT_EQ(AllPitches(*fromArchive).size(), expected.size());

    Document* empty = tonaroengine::Engine::Instance().NewDocument();
    EXPECT_FALSE(tonaroengine::SaveMusicXml(empty, Path("empty.musicxml"), &error));
    EXPECT_FALSE(std::filesystem::exists(Path("empty.musicxml")));
}

TEST_F(Saving, EverythingButTheEditedNotesIsCopiedByteForByte)
{
    const std::string before = "<score-partwise version='4.0'>\n";
    const std::string after =
        "  <part-list><score-part id=\"P1\"><part-name></part-name></score-part></part-list>\n"
        "  <part id=\"P1\"><measure number=\"1\">\n"
        "    <attributes><divisions>1</divisions><key><fifths>0</fifths></key></attributes>\n"
        "    <note><pitch><step>C</step><octave>4</octave></pitch><duration>1</duration></note>\n"
        "    <note ><chord /><pitch><step>E</step><octave>4</octave></pitch><duration>1</duration></note>\n"
        "    <!-- </note> --><note><pitch><step>G</step><octave>4</octave></pitch><duration>1</duration>"
        "<notations><other-notation type='single' smufl='a\"b'/></notations></note>\n"
        "    <note><rest /><duration>3</duration></note>\n"
        "  </measure></part>\n</score-partwise>\n";
    const std::string text = before + after;
    Document* doc = OpenText("odd.musicxml", text);
    ASSERT_NE(doc, nullptr);
    tonaroengine::MusicXmlError error;
    ASSERT_TRUE(tonaroengine::SaveMusicXml(doc, Path("same.musicxml"), &error)) << error.Text();
    EXPECT_EQ(ReadText(Path("same.musicxml")), text);

    SetPitch(*doc, 2, AbsPitch{33, -1});  // G4 -> Ab4: only that note is written anew
    ASSERT_TRUE(tonaroengine::SaveMusicXml(doc, Path("flat.musicxml"), &error)) << error.Text();
    std::string expected = text;
    const std::string g = "<note><pitch><step>G</step><octave>4</octave></pitch><duration>1</duration>";
    expected.replace(expected.find(g), g.size(),
                     "<note><pitch><step>A</step><alter>-1</alter><octave>4</octave></pitch><duration>1</duration>"
                     "<accidental>flat</accidental>");
    const std::string quoted = "type='single' smufl='a\"b'";
    expected.replace(expected.find(quoted), quoted.size(), "type=\"single\" smufl=\"a&quot;b\"");
    EXPECT_EQ(ReadText(Path("flat.musicxml")), expected);

    SetPitch(*doc, 2, AbsPitch{32, 0});  // back to G4: the file's own text again
    ASSERT_TRUE(tonaroengine::SaveMusicXml(doc, Path("back.musicxml"), &error)) << error.Text();
    EXPECT_EQ(ReadText(Path("back.musicxml")), text);
}

TEST_F(Saving, ASourceBelongsToItsDocumentOnly)
{
    Document* doc = OpenText("in.musicxml", kFourFs);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(tonaroengine::MusicXmlSourcePath(doc), Path("in.musicxml"));
    tonaroengine::Engine::Instance().CloseDocument(doc->Number());
    Document* other = tonaroengine::Engine::Instance().NewDocument();
    EXPECT_FALSE(tonaroengine::HasMusicXmlSource(other));
    Document* again = OpenText("in.musicxml", kFourFs);
    ASSERT_NE(again, nullptr);
    tonaroengine::ReleaseMusicXmlSource(again);
    EXPECT_FALSE(tonaroengine::HasMusicXmlSource(again));
}

}  // namespace
