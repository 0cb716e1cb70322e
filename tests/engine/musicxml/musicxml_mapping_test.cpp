// How a MusicXML score maps into the document: staves, measures, positions,
// keys, transpositions, voices and the kinds of notes.
#include <vector>

#include "musicxmltesting.h"
#include "tonaropdk/hostapi/prefsrecords.h"
#include "tonaropdk/hostapi/recordtags.h"
#include "tonaropdk/hostapi/staffspec.h"

namespace {

using namespace musicxmltesting;
using tonaroengine::Document;

int16_t Word(const std::vector<uint8_t>& spec, size_t offset)
{
    int16_t word = 0;
    std::memcpy(&word, spec.data() + offset, sizeof word);
    return word;
}

const char* kAttributes = "      <attributes><divisions>1</divisions><key><fifths>0</fifths></key>"
                          "<time><beats>4</beats><beat-type>4</beat-type></time></attributes>\n";

using Mapping = MusicXmlTest;

TEST_F(Mapping, PartsAndTheirStavesBecomeStavesInOrder)
{
    const std::string text =
        "<score-partwise version=\"4.0\"><part-list>"
        "<score-part id=\"A\"><part-name>A</part-name></score-part>"
        "<score-part id=\"B\"><part-name>B</part-name></score-part></part-list>"
        "<part id=\"A\"><measure number=\"1\"><attributes><divisions>1</divisions></attributes>"
        "<note><pitch><step>C</step><octave>4</octave></pitch><duration>4</duration></note></measure>"
        "<measure number=\"2\"><note><rest/><duration>4</duration></note></measure></part>"
        "<part id=\"B\"><measure number=\"1\"><attributes><divisions>1</divisions><staves>2</staves></attributes>"
        "<note><pitch><step>E</step><octave>4</octave></pitch><duration>4</duration><staff>1</staff></note>"
        "<backup><duration>4</duration></backup>"
        "<note><pitch><step>G</step><octave>2</octave></pitch><duration>4</duration><staff>2</staff></note>"
        "</measure><measure number=\"2\"/></part></score-partwise>";
    Document* doc = OpenText("parts.musicxml", text);
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(doc->StaffCount(), 3);
    EXPECT_EQ(doc->MeasureCount(), 2);
    for (int slot = 1; slot <= 3; ++slot) EXPECT_NE(doc->StaffAtSlot(slot), slot);
    const auto first = doc->Entries(doc->StaffAtSlot(1), 1, 0);
    const auto lower = doc->Entries(doc->StaffAtSlot(3), 1, 0);
    ASSERT_EQ(first.size(), 1u);
    ASSERT_EQ(lower.size(), 1u);
    EXPECT_EQ(+first[0].notes[0].displacement, 0);        // C4
    EXPECT_EQ(+lower[0].notes[0].displacement, -14 + 4);  // G2
    EXPECT_EQ(+lower[0].duration, 4096);
    EXPECT_TRUE(tonaroengine::HasMusicXmlSource(doc));
    EXPECT_EQ(tonaroengine::Engine::Instance().CurrentDocument(), doc);
}

TEST_F(Mapping, DurationsBackupAndForwardGivePositions)
{
    const std::string text = Score(
        "    <measure number=\"1\">\n"
        "      <attributes><divisions>2</divisions></attributes>\n"
        "      <note><pitch><step>C</step><octave>4</octave></pitch><duration>2</duration><voice>1</voice></note>\n"
        "      <note><pitch><step>D</step><octave>4</octave></pitch><duration>3</duration><voice>1</voice></note>\n"
        "      <backup><duration>5</duration></backup>\n"
        "      <forward><duration>2</duration></forward>\n"
        "      <note><pitch><step>E</step><octave>4</octave></pitch><duration>1</duration><voice>2</voice></note>\n"
        "      <note><grace/><pitch><step>F</step><octave>4</octave></pitch><voice>2</voice><type>eighth</type></note>\n"
        "      <note><pitch><step>G</step><octave>4</octave></pitch><duration>1</duration><voice>2</voice></note>\n"
        "      <note><chord/><pitch><step>B</step><octave>4</octave></pitch><duration>1</duration><voice>2</voice></note>\n"
        "    </measure>\n");
    Document* doc = OpenText("positions.musicxml", text);
    ASSERT_NE(doc, nullptr);
    const int16_t staff = doc->StaffAtSlot(1);
    const auto one = doc->Entries(staff, 1, 0);
    ASSERT_EQ(one.size(), 2u);
    EXPECT_EQ(+one[1].position, 1024);
    EXPECT_EQ(+one[1].duration, 1536);
    const auto two = doc->Entries(staff, 1, 1);
    ASSERT_EQ(two.size(), 4u);  // a rest filling the forward, E, the grace note, the chord
    EXPECT_FALSE(two[0].flags & EXENTRY_NOTE);
    EXPECT_EQ(+two[0].duration, 1024);
    EXPECT_EQ(+two[1].position, 1024);
    EXPECT_TRUE(two[2].flags & EXENTRY_GRACE);
    EXPECT_EQ(+two[2].duration, 512);
    EXPECT_EQ(+two[3].position, 1536);
    EXPECT_EQ(+two[3].numNotes, 2);
}

TEST_F(Mapping, KeysGiveThePitchDataAndPerStaffKeysBecomeCellKeys)
{
    const std::string text = Score(
        "    <measure number=\"1\">\n"
        "      <attributes><divisions>1</divisions><key number=\"1\"><fifths>-3</fifths><mode>major</mode></key>"
        "<key number=\"2\"><fifths>2</fifths></key><staves>2</staves></attributes>\n"
        "      <note><pitch><step>E</step><alter>-1</alter><octave>4</octave></pitch><duration>1</duration><staff>1</staff></note>\n"
        "      <note><pitch><step>E</step><octave>4</octave></pitch><duration>1</duration><staff>1</staff></note>\n"
        "      <backup><duration>2</duration></backup>\n"
        "      <note><pitch><step>F</step><alter>1</alter><octave>4</octave></pitch><duration>1</duration><staff>2</staff></note>\n"
        "    </measure>\n"
        "    <measure number=\"2\"><attributes><key><fifths>9</fifths><mode>minor</mode></key></attributes>"
        "<note><rest/><duration>4</duration></note></measure>\n"
        "    <measure number=\"3\"><attributes><key><key-step>B</key-step><key-alter>-1</key-alter></key></attributes>"
        "<note><pitch><step>B</step><alter>-1</alter><octave>4</octave></pitch><duration>4</duration></note></measure>\n");
    Document* doc = OpenText("keys.musicxml", text);
    ASSERT_NE(doc, nullptr);
    const int16_t upper = doc->StaffAtSlot(1), lower = doc->StaffAtSlot(2);
    EXPECT_EQ(doc->KeySignature(1), 0x00FD);
    EXPECT_EQ(doc->CellKeySignature(upper, 1), 0x00FD);
    EXPECT_EQ(doc->CellKeySignature(lower, 1), 0x0002);
    EXPECT_EQ(doc->KeySignature(2), 0x0109);  // beyond seven sharps: kept as a number
    EXPECT_EQ(doc->KeySignature(3), 0x0000);  // steps and alterations: no key for the arithmetic
    const auto e = doc->Entries(upper, 1, 0);
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(+e[0].notes[0].displacement, 0);  // E flat, the tonic
    EXPECT_EQ(+e[0].notes[0].raiselower, 0);
    EXPECT_EQ(+e[1].notes[0].raiselower, 1);  // E natural against the key
    const auto f = doc->Entries(lower, 1, 0);
    ASSERT_EQ(f.size(), 1u);
    EXPECT_EQ(+f[0].notes[0].raiselower, 0);  // F sharp in D major
    const auto b = doc->Entries(upper, 3, 0);
    ASSERT_EQ(b.size(), 1u);
    EXPECT_EQ(+b[0].notes[0].displacement, 6);
    EXPECT_EQ(+b[0].notes[0].raiselower, -1);
}

TEST_F(Mapping, TransposingStavesStoreSoundingPitch)
{
    const std::string text = Score(
        "    <measure number=\"1\">\n"
        "      <attributes><divisions>1</divisions><key><fifths>2</fifths></key>"
        "<transpose><diatonic>-1</diatonic><chromatic>-2</chromatic></transpose></attributes>\n" +
        Note("D", 4) + Note("F", 4, 1) +
        "    </measure>\n"
        "    <measure number=\"2\">\n"
        "      <attributes><transpose><diatonic>-5</diatonic><chromatic>-9</chromatic></transpose></attributes>\n" +
        Note("A", 4) + "    </measure>\n");
    Document* doc = OpenText("clarinet.musicxml", text);
    ASSERT_NE(doc, nullptr);
    const int16_t staff = doc->StaffAtSlot(1);
    EXPECT_EQ(Word(doc->StaffSpec(staff), 20), 0x0042);
    EXPECT_NE(Word(doc->StaffSpecAt(staff, 2, 0), 20), 0x0042);  // the change is a staff style
    EXPECT_EQ(doc->KeySignature(1), 0x0000);  // written D major sounds C major
    const auto pitches = AllPitches(*doc);
    ASSERT_EQ(pitches.size(), 3u);
    EXPECT_EQ(pitches[0].second, (tonaroengine::musicxml::AbsPitch{28, 0}));  // C4
    EXPECT_EQ(pitches[1].second, (tonaroengine::musicxml::AbsPitch{30, 0}));  // E4
    EXPECT_EQ(pitches[2].second, (tonaroengine::musicxml::AbsPitch{28, 0}));  // A4 in A sounds C4
}

TEST_F(Mapping, ConcertScoresKeepSoundingPitchAndSetThePartScopeRecord)
{
    std::string text = Score(
        "    <measure number=\"1\">\n"
        "      <attributes><divisions>1</divisions>"
        "<transpose><diatonic>-1</diatonic><chromatic>-2</chromatic></transpose></attributes>\n" +
        Note("C", 4) + "    </measure>\n");
    text.replace(text.find("  <part-list>"), 0, "  <defaults><concert-score/></defaults>\n");
    Document* doc = OpenText("concert.musicxml", text);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(Word(doc->StaffSpec(doc->StaffAtSlot(1)), 20), 0x0042);
    EXPECT_EQ(AllPitches(*doc)[0].second, (tonaroengine::musicxml::AbsPitch{28, 0}));
    std::vector<uint8_t> record;
    ASSERT_TRUE(doc->LoadRecord(TAG_PARTSCOPEPREFS, EDataAddress{{OTHER_PREFS_CMPER, 0, 0, 0}}, &record));
    EXPECT_EQ(Word(record, 0), 0);
}

TEST_F(Mapping, PercussionGraceTiesAndRests)
{
    const std::string text = Score(
        "    <measure number=\"1\">\n"
        "      <attributes><divisions>1</divisions><clef><sign>percussion</sign></clef></attributes>\n"
        "      <note><unpitched><display-step>E</display-step><display-octave>4</display-octave></unpitched>"
        "<duration>1</duration><tie type=\"start\"/></note>\n"
        "      <note><unpitched><display-step>E</display-step><display-octave>4</display-octave></unpitched>"
        "<duration>1</duration><tie type=\"stop\"/></note>\n"
        "      <note><rest/><duration>2</duration></note>\n"
        "    </measure>\n");
    Document* doc = OpenText("drums.musicxml", text);
    ASSERT_NE(doc, nullptr);
    const int16_t staff = doc->StaffAtSlot(1);
    EXPECT_TRUE(static_cast<uint16_t>(Word(doc->StaffSpec(staff), 10)) & STAFFSTYLE_PERCUSSION);
    const auto entries = doc->Entries(staff, 1, 0);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(+entries[0].notes[0].displacement, 2);
    EXPECT_TRUE(entries[0].notes[0].flags & EXNOTE_TIESTART);
    EXPECT_FALSE(entries[1].notes[0].flags & EXNOTE_TIESTART);
    EXPECT_FALSE(entries[2].flags & EXENTRY_NOTE);
    EXPECT_EQ(+entries[2].duration, 2048);
}

TEST_F(Mapping, MoreThanFourVoicesOnAStaffIsRefusedNamingPartAndMeasure)
{
    std::string voices;
    for (int v = 1; v <= 5; ++v) {
        voices += Note("C", 4, 0, 4, "", std::to_string(v).c_str());
        if (v < 5) voices += "      <backup><duration>4</duration></backup>\n";
    }
    const std::string text = Score("    <measure number=\"1\">\n" + std::string(kAttributes) +
                                   "    </measure>\n    <measure number=\"7a\">\n" + voices + "    </measure>\n");
    const size_t before = tonaroengine::Engine::Instance().DocumentNumbers().size();
    tonaroengine::MusicXmlError error;
    EXPECT_EQ(OpenText("voices.musicxml", text, &error), nullptr);
    EXPECT_NE(error.message.find("part \"P1\""), std::string::npos) << error.Text();
    EXPECT_NE(error.message.find("measure \"7a\""), std::string::npos) << error.Text();
    EXPECT_NE(error.file.find("voices.musicxml"), std::string::npos);
    EXPECT_GT(error.line, 5);  // the fifth voice's note
    EXPECT_GT(error.column, 0);
    EXPECT_EQ(tonaroengine::Engine::Instance().DocumentNumbers().size(), before);  // nothing left open
}

TEST_F(Mapping, TimewiseAndForeignRootsAreRefusedClearly)
{
    tonaroengine::MusicXmlError error;
    EXPECT_EQ(OpenText("tw.xml", "<?xml version=\"1.0\"?>\n<score-timewise/>\n", &error), nullptr);
    EXPECT_NE(error.message.find("score-timewise"), std::string::npos);
    EXPECT_EQ(error.line, 2);
    EXPECT_EQ(OpenText("html.xml", "<html/>", &error), nullptr);
    EXPECT_NE(error.message.find("<html>"), std::string::npos);
}

}  // namespace
