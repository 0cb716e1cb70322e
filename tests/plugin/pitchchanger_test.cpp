// The pitch changer against the real engine, run as the dialog runs it:
// inside an undo block named "Change Pitches", with alerts answered on Qt's
// offscreen platform. Scores are built with the engine's C++ interface;
// staff numbers differ from slots throughout.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "host/engine/document.h"
#include "host/engine/engine.h"
#include "host/engine/musicxml/musicxmlio.h"
#include "host/engine/pitch.h"
#include "host/engine/staffstyle.h"
#include "tests/framework/tempfolder.h"
#include "tests/qt/alertanswerer.h"
#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/base/frameworkversion.h"
#include "tonaroframework/qt/fcui_qt.h"
#include "tonaroframework/ui/fcui.h"
#include "tonaroframework/undo/fcundoblock.h"
#include "tonaropdk/bridge/editcounters.h"
#include "tonaropdk/bridge/hostbinding.h"
#include "zpchangepitches/changer/fcpitchchanger.h"
#include "zpchangepitches/changer/fcpitchchangerblockhandler.h"
#include "zpchangepitches/model/fcpitchchangenodes.h"

using tonaroengine::Document;
using tonaroengine::Engine;
using tonaroengine::EntrySpec;
using tonaroengine::NoteSpec;

namespace {

constexpr uint32_t kMSpN = 0x4D53704E;

// Transposition words (first encoding: bits 0-5 sharps added to the key,
// bits 6-11 diatonic interval from sounding to written pitch).
constexpr int16_t kBbClarinet = (1 << 6) | 2;        // written a step higher, two sharps
constexpr int16_t kGuitar = 7 << 6;                  // written an octave higher
constexpr int16_t kPiccolo = ((-7) & 0x3F) << 6;     // written an octave lower
constexpr int16_t kSecondEncoding = 0x2301;          // second encoding: interval 2, 3 sharps

// The fields of a region as values (the record is packed, so its fields are
// not bound by reference).
std::array<int32_t, 6> Fields(const EREGION& r)
{
    return {r.startSlot, r.startMeas, r.startPos, r.endSlot, r.endMeas, r.endPos};
}

struct Rule {
    const char* from;
    const char* to;
    PITCHDIRECTION direction;
};

class PitchChangerTest : public testing::Test {
protected:
    void SetUp() override
    {
        InitializeGlobals();
        Engine::Instance().Reset();
        SetTonaroFrameworkVersion(0x12000000);
        _FCUI_qt::Register();
        ui = std::make_unique<FCUI>();
        doc = Engine::Instance().NewDocument();
    }
    void TearDown() override
    {
        ui.reset();
        SetFCUIPlatformFactory(nullptr);
        SetTonaroFrameworkVersion(0x12000000);
        Engine::Instance().Reset();
        EXPECT_EQ(TonaroEditDepth, 0);
        EXPECT_EQ(Engine::Instance().LoadedFrameCount(), 0);
    }

    // A score of one staff (number 9, in slot 1) and `measures` measures.
    int16_t OneStaff(int16_t transposition = 0, uint16_t key = 0, int measures = 2)
    {
        const int16_t staff = doc->AddStaff(9);
        if (transposition != 0) doc->SetStaffTransposition(staff, transposition);
        doc->AddMeasures(measures, 4, 1024, key);
        return staff;
    }

    // Appends one entry whose notes are given by their sounding names.
    void AddChord(int16_t staff, int16_t measure, const std::vector<std::string>& names, int layer = 0)
    {
        EntrySpec entry;
        entry.duration = 1024;
        const uint16_t key = doc->CellKeySignature(staff, measure);
        for (const std::string& name : names) {
            NoteSpec note;
            ASSERT_TRUE(tonaroengine::NoteFromName(name.c_str(), key, &note)) << name;
            entry.notes.push_back(note);
        }
        ASSERT_NE(doc->AddEntry(staff, measure, layer, entry), 0u);
    }
    void AddNote(int16_t staff, int16_t measure, const std::string& name, int layer = 0)
    {
        AddChord(staff, measure, {name}, layer);
    }

    // Sounding MIDI key and name of a stored note.
    int Midi(int16_t staff, int16_t measure, int entry, int note = 0, int layer = 0)
    {
        const auto records = doc->Entries(staff, measure, layer);
        if (entry >= static_cast<int>(records.size())) return -1000;
        const EXNOTE& n = records[entry].notes[note];
        return tonaroengine::NoteMidiKey(doc->CellKeySignature(staff, measure), n.displacement, n.raiselower);
    }
    std::string Name(int16_t staff, int16_t measure, int entry, int note = 0, int layer = 0)
    {
        const auto records = doc->Entries(staff, measure, layer);
        if (entry >= static_cast<int>(records.size())) return "?";
        const EXNOTE& n = records[entry].notes[note];
        return tonaroengine::NoteName(doc->CellKeySignature(staff, measure), n.displacement, n.raiselower);
    }

    void SelectAll() { ASSERT_TRUE(doc->SetSelection(doc->WholeDocumentRegion())); }

    // Runs the rules as the dialog does: a block handler inside an undo block
    // named "Change Pitches". Answers the block's result.
    bool Run(const std::vector<Rule>& rules, bool soundingPitch = true, bool respace = false)
    {
        FCPitchChangeNodes nodes;
        for (const Rule& rule : rules) {
            FCString from(rule.from);
            FCString to(rule.to);
            nodes.Add(new FCPitchChangeNode(&from, &to, rule.direction));
        }
        FCPitchChangerBlockHandler handler(&nodes, respace, soundingPitch, ui.get());
        FCUndoBlock block;
        FCString name("Change Pitches");
        const bool result = block.Execute(&handler, &name);
        lastChanged = handler.GetChanged();
        return result;
    }
    // One rule on a fresh one-note score; the resulting sounding MIDI key.
    int Apply(const char* note, const char* from, const char* to, PITCHDIRECTION direction,
              int16_t transposition = 0, bool soundingPitch = true, uint16_t key = 0)
    {
        Engine::Instance().Reset();
        doc = Engine::Instance().NewDocument();
        const int16_t staff = OneStaff(transposition, key, 1);
        AddNote(staff, 1, note);
        SelectAll();
        EXPECT_TRUE(Run({{from, to, direction}}, soundingPitch));
        return Midi(staff, 1, 0);
    }

    std::unique_ptr<FCUI> ui;
    Document* doc = nullptr;
    bool lastChanged = false;
};

TEST_F(PitchChangerTest, DirectionsPlaceTheRespelledNote)
{
    EXPECT_EQ(Apply("F#4", "F#", "Gb", PITCHDIRECTION_CLOSEST), 66);
    EXPECT_EQ(Name(9, 1, 0), "Gb4");

    EXPECT_EQ(Apply("B3", "B", "C", PITCHDIRECTION_UP), 60);
    EXPECT_EQ(Apply("B3", "B", "C", PITCHDIRECTION_DOWN), 48);
    EXPECT_EQ(Apply("B3", "B", "C", PITCHDIRECTION_CLOSEST), 60);

    EXPECT_EQ(Apply("C4", "C", "B", PITCHDIRECTION_UP), 71);
    EXPECT_EQ(Apply("C4", "C", "B", PITCHDIRECTION_DOWN), 59);
    EXPECT_EQ(Apply("C4", "C", "B", PITCHDIRECTION_CLOSEST), 59);

    EXPECT_EQ(Apply("C4", "C", "G", PITCHDIRECTION_CLOSEST), 55);
    EXPECT_EQ(Apply("C4", "C", "F", PITCHDIRECTION_CLOSEST), 65);

    // Same displacement, lower raise/lower: the old pitch counts as higher.
    EXPECT_EQ(Apply("E4", "E", "Eb", PITCHDIRECTION_UP), 75);
    EXPECT_EQ(Apply("E4", "E", "Eb", PITCHDIRECTION_DOWN), 63);
    EXPECT_EQ(Apply("E4", "E", "Eb", PITCHDIRECTION_CLOSEST), 63);
}

// Up and Down compare sound, so a respelling to the same sound never moves
// an octave, in either pitch mode and on transposing staves.
TEST_F(PitchChangerTest, EnharmonicRespellingKeepsItsSoundUpAndDown)
{
    struct Case {
        const char* note;
        const char* from;
        const char* to;
        PITCHDIRECTION direction;
        int16_t transposition;
        bool soundingPitch;
        int midi;
    };
    const Case cases[] = {
        {"A#5", "A#", "Bb", PITCHDIRECTION_DOWN, 0, true, 82},
        {"Bb4", "Bb", "A#", PITCHDIRECTION_UP, 0, true, 70},
        {"Eb3", "Eb", "D#", PITCHDIRECTION_UP, 0, true, 51},
        {"Cb4", "Cb", "B", PITCHDIRECTION_UP, 0, true, 59},  // the name's octave is 4, the sound B3
        {"B#3", "B#", "C", PITCHDIRECTION_DOWN, 0, true, 60},
        {"C4", "C", "B#", PITCHDIRECTION_UP, 0, true, 60},
        // Written C5 on a B flat clarinet sounds Bb4; written B#4 sounds the same.
        {"Bb4", "C", "B#", PITCHDIRECTION_UP, kBbClarinet, false, 70},
        {"Ab4", "Bb", "A#", PITCHDIRECTION_UP, kBbClarinet, false, 68},
        {"C5", "C", "B#", PITCHDIRECTION_DOWN, kGuitar, false, 72},  // written C6 to B#6 (84), then down
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Apply(c.note, c.from, c.to, c.direction, c.transposition, c.soundingPitch), c.midi)
            << c.note << " " << c.from << "->" << c.to << " direction " << c.direction;
    }
}

TEST_F(PitchChangerTest, NamesAreSpelledAgainstTheKey)
{
    // In G major an F sharp is stored without raise/lower; it still reads
    // "F#", and "F" writes a natural.
    EXPECT_EQ(Apply("F#4", "F#", "F", PITCHDIRECTION_CLOSEST, 0, true, 0x0001), 65);
    EXPECT_EQ(Name(9, 1, 0), "F4");
    // In E flat major "Eb" matches the plain stored E; "D#" is written back.
    EXPECT_EQ(Apply("Eb4", "Eb", "D#", PITCHDIRECTION_CLOSEST, 0, true, 0x00FD), 63);
    EXPECT_EQ(Name(9, 1, 0), "D#4");
    // Double sharps read as "##", never "x".
    EXPECT_EQ(Apply("Fx4", "F##", "A", PITCHDIRECTION_CLOSEST), 69);
    EXPECT_EQ(Apply("Fx4", "Fx", "A", PITCHDIRECTION_CLOSEST), 67);
    EXPECT_FALSE(lastChanged);
    EXPECT_EQ(Name(9, 1, 0), "F##4");
    // Below octave 0 the octave carries a minus sign and still reads back.
    EXPECT_EQ(Apply("C-1", "C", "D", PITCHDIRECTION_UP), 2);
}

TEST_F(PitchChangerTest, AccidentalsArePartOfTheNameButTheOctaveIsNot)
{
    const int16_t staff = OneStaff();
    AddNote(staff, 1, "A#4");
    AddNote(staff, 1, "A2");
    AddNote(staff, 1, "A6");
    AddNote(staff, 1, "Ab4");
    SelectAll();
    ASSERT_TRUE(Run({{"A", "B", PITCHDIRECTION_CLOSEST}}));
    EXPECT_EQ(Name(staff, 1, 0), "A#4");
    EXPECT_EQ(Name(staff, 1, 1), "B2");
    EXPECT_EQ(Name(staff, 1, 2), "B6");
    EXPECT_EQ(Name(staff, 1, 3), "Ab4");
}

TEST_F(PitchChangerTest, RulesDoNotChainAndTheFirstRuleWins)
{
    const int16_t staff = OneStaff();
    AddNote(staff, 1, "A4");
    AddNote(staff, 1, "B4");
    AddChord(staff, 1, {"A3", "B3"});
    SelectAll();
    ASSERT_TRUE(Run({{"A", "B", PITCHDIRECTION_CLOSEST}, {"B", "C", PITCHDIRECTION_CLOSEST}}));
    EXPECT_EQ(Name(staff, 1, 0), "B4");  // not C
    EXPECT_EQ(Name(staff, 1, 1), "C5");
    EXPECT_EQ(Name(staff, 1, 2, 0), "B3");
    EXPECT_EQ(Name(staff, 1, 2, 1), "C4");

    Engine::Instance().Reset();
    doc = Engine::Instance().NewDocument();
    const int16_t second = OneStaff();
    AddNote(second, 1, "A4");
    SelectAll();
    ASSERT_TRUE(Run({{"A", "G", PITCHDIRECTION_DOWN}, {"A", "B", PITCHDIRECTION_UP}}));
    EXPECT_EQ(Name(second, 1, 0), "G4");
}

TEST_F(PitchChangerTest, ChordNotesChangeByDifferentRules)
{
    const int16_t staff = OneStaff();
    AddChord(staff, 1, {"E4", "G4", "C5"});
    SelectAll();
    ASSERT_TRUE(Run({{"E", "Eb", PITCHDIRECTION_CLOSEST}, {"G", "Gb", PITCHDIRECTION_CLOSEST}}));
    EXPECT_EQ(Name(staff, 1, 0, 0), "Eb4");
    EXPECT_EQ(Name(staff, 1, 0, 1), "Gb4");
    EXPECT_EQ(Name(staff, 1, 0, 2), "C5");
}

TEST_F(PitchChangerTest, RestsAndUnselectedMusicAreLeftAlone)
{
    const int16_t top = doc->AddStaff(12);
    const int16_t bottom = doc->AddStaff(3);
    doc->AddMeasures(3);
    for (int16_t measure = 1; measure <= 3; ++measure) {
        AddNote(top, measure, "C4");
        AddNote(bottom, measure, "C4");
    }
    doc->AddRest(top, 2, 0, 1024);
    // Slot 2 (staff 3), measure 2 only.
    ASSERT_TRUE(doc->SetSelection(Document::MakeRegion(2, 2, 2, 2)));
    ASSERT_TRUE(Run({{"C", "D", PITCHDIRECTION_UP}}));
    EXPECT_EQ(Name(bottom, 2, 0), "D4");
    EXPECT_EQ(Name(bottom, 1, 0), "C4");
    EXPECT_EQ(Name(bottom, 3, 0), "C4");
    EXPECT_EQ(Name(top, 2, 0), "C4");
    EXPECT_EQ(doc->Entries(top, 2, 0)[1].numNotes, 0);
}

TEST_F(PitchChangerTest, PartialMeasuresFollowTheSelectionPositions)
{
    const int16_t staff = OneStaff();
    for (int i = 0; i < 4; ++i) AddNote(staff, 1, "C4");  // positions 0, 1024, 2048, 3072
    ASSERT_TRUE(doc->SetSelection(Document::MakeRegion(1, 1, 1, 1, 1024, 2048)));
    ASSERT_TRUE(Run({{"C", "D", PITCHDIRECTION_UP}}));
    EXPECT_EQ(Name(staff, 1, 0), "C4");
    EXPECT_EQ(Name(staff, 1, 1), "D4");
    EXPECT_EQ(Name(staff, 1, 2), "D4");
    EXPECT_EQ(Name(staff, 1, 3), "C4");
}

// Octave-transposing staves: the respelled note keeps the octave it is
// written in, so each direction lands on its own side in both pitch modes.
TEST_F(PitchChangerTest, OctaveTransposingStavesKeepTheWrittenOctave)
{
    // Guitar: written E4 sounds E3 (52).
    EXPECT_EQ(Apply("E3", "E", "D", PITCHDIRECTION_UP, kGuitar, false), 62);
    EXPECT_EQ(Apply("E3", "E", "D", PITCHDIRECTION_DOWN, kGuitar, false), 50);
    EXPECT_EQ(Apply("E3", "E", "D", PITCHDIRECTION_CLOSEST, kGuitar, false), 50);
    EXPECT_EQ(Apply("E3", "E", "D", PITCHDIRECTION_UP, kGuitar, true), 62);
    EXPECT_EQ(Apply("E3", "E", "D", PITCHDIRECTION_DOWN, kGuitar, true), 50);
    EXPECT_EQ(Apply("E3", "E", "D", PITCHDIRECTION_CLOSEST, kGuitar, true), 50);

    // Piccolo: written E5 sounds E6 (88).
    EXPECT_EQ(Apply("E6", "E", "F", PITCHDIRECTION_UP, kPiccolo, false), 89);
    EXPECT_EQ(Apply("E6", "E", "F", PITCHDIRECTION_DOWN, kPiccolo, false), 77);
    EXPECT_EQ(Apply("E6", "E", "F", PITCHDIRECTION_CLOSEST, kPiccolo, false), 89);
    EXPECT_EQ(Apply("E6", "E", "F", PITCHDIRECTION_UP, kPiccolo, true), 89);
    EXPECT_EQ(Apply("E6", "E", "F", PITCHDIRECTION_DOWN, kPiccolo, true), 77);
    EXPECT_EQ(Apply("E6", "E", "F", PITCHDIRECTION_CLOSEST, kPiccolo, true), 89);

    // Guitar, rule C to B, on a written C5 (sounding C4, 60).
    EXPECT_EQ(Apply("C4", "C", "B", PITCHDIRECTION_UP, kGuitar, false), 71);
    EXPECT_EQ(Apply("C4", "C", "B", PITCHDIRECTION_DOWN, kGuitar, false), 59);
    EXPECT_EQ(Apply("C4", "C", "B", PITCHDIRECTION_CLOSEST, kGuitar, false), 59);
}

TEST_F(PitchChangerTest, WrittenPitchMatchesWrittenNames)
{
    // A concert B flat on a B flat clarinet is written C.
    EXPECT_EQ(Apply("Bb4", "C", "C#", PITCHDIRECTION_UP, kBbClarinet, false), 71);
    EXPECT_EQ(Apply("Bb4", "Bb", "A#", PITCHDIRECTION_UP, kBbClarinet, false), 70);  // no match
    EXPECT_FALSE(lastChanged);
    EXPECT_EQ(Apply("Bb4", "Bb", "A#", PITCHDIRECTION_CLOSEST, kBbClarinet, true), 70);
    EXPECT_TRUE(lastChanged);
    EXPECT_EQ(Name(9, 1, 0), "A#4");

    // With the score shown in concert pitch, written pitch is concert pitch.
    Engine::Instance().Reset();
    doc = Engine::Instance().NewDocument();
    const int16_t staff = OneStaff(kBbClarinet, 0, 1);
    doc->SetConcertPitch(true);
    AddNote(staff, 1, "Bb4");
    AddNote(staff, 1, "C5");
    SelectAll();
    ASSERT_TRUE(Run({{"Bb", "A#", PITCHDIRECTION_CLOSEST}, {"D", "Eb", PITCHDIRECTION_DOWN}}, false));
    EXPECT_EQ(Name(staff, 1, 0), "A#4");
    EXPECT_EQ(Name(staff, 1, 1), "C5");
}

TEST_F(PitchChangerTest, SecondEncodingStavesAreSkippedInWrittenPitchOnly)
{
    EXPECT_EQ(Apply("C4", "C", "D", PITCHDIRECTION_UP, kSecondEncoding, false), 60);
    EXPECT_FALSE(lastChanged);
    EXPECT_EQ(Apply("C4", "C", "D", PITCHDIRECTION_UP, kSecondEncoding, true), 62);
    EXPECT_TRUE(lastChanged);

    // A staff style that switches to the second encoding in measure 2 only:
    // the staff record in force at each entry decides.
    Engine::Instance().Reset();
    doc = Engine::Instance().NewDocument();
    const int16_t staff = OneStaff(0, 0, 3);
    tonaroengine::StaffStyle style;
    style.startMeasure = 2;
    style.endMeasure = 2;
    style.transposition = kSecondEncoding;
    ASSERT_TRUE(doc->AddStaffStyle(staff, style));
    for (int16_t measure = 1; measure <= 3; ++measure) AddNote(staff, measure, "C4");
    SelectAll();
    ASSERT_TRUE(Run({{"C", "D", PITCHDIRECTION_UP}}, false));
    EXPECT_EQ(Name(staff, 1, 0), "D4");
    EXPECT_EQ(Name(staff, 2, 0), "C4");
    EXPECT_EQ(Name(staff, 3, 0), "D4");
}

TEST_F(PitchChangerTest, UnwritableToLeavesThePitchButCountsAsChange)
{
    const int16_t staff = OneStaff();
    AddNote(staff, 1, "E4");
    SelectAll();
    ASSERT_TRUE(Run({{"E", "h", PITCHDIRECTION_UP}}, true, true));
    EXPECT_TRUE(lastChanged);
    EXPECT_EQ(Name(staff, 1, 0), "E4");
    ASSERT_EQ(Engine::Instance().ExecutedCommands().size(), 1u);
    EXPECT_EQ(Engine::Instance().ExecutedCommands()[0].code, kMSpN);
}

TEST_F(PitchChangerTest, RespaceOnlyWhenAskedAndSomethingChanged)
{
    const int16_t top = doc->AddStaff(6);
    const int16_t bottom = doc->AddStaff(2);
    doc->AddStaff(4);
    doc->AddMeasures(4);
    AddNote(bottom, 2, "C4");
    AddNote(top, 2, "E4");
    const EREGION selection = Document::MakeRegion(2, 2, 2, 3, 0, 2048);
    ASSERT_TRUE(doc->SetSelection(selection));

    // Nothing matches: no command even with respace on.
    ASSERT_TRUE(Run({{"G", "A", PITCHDIRECTION_UP}}, true, true));
    EXPECT_TRUE(Engine::Instance().ExecutedCommands().empty());
    // Respace off: never.
    ASSERT_TRUE(Run({{"C", "D", PITCHDIRECTION_UP}}, true, false));
    EXPECT_TRUE(Engine::Instance().ExecutedCommands().empty());
    EXPECT_FALSE(doc->IsRespaced(2));

    // A change with respace on: 'MSpN' over the selected measures, and the
    // user's selection is given back exactly.
    ASSERT_TRUE(Run({{"D", "E", PITCHDIRECTION_UP}}, true, true));
    ASSERT_EQ(Engine::Instance().ExecutedCommands().size(), 1u);
    EXPECT_EQ(Engine::Instance().ExecutedCommands()[0].code, kMSpN);
    EXPECT_TRUE(doc->IsRespaced(2));
    EXPECT_FALSE(doc->IsRespaced(3));  // selected, but no music changed there
    EXPECT_FALSE(doc->IsRespaced(1));
    EXPECT_FALSE(doc->IsRespaced(4));
    EREGION after{};
    ASSERT_TRUE(doc->GetSelection(&after));
    EXPECT_EQ(Fields(after), Fields(selection));
    EXPECT_EQ(Name(top, 2, 0), "E4");  // outside the selection
}

TEST_F(PitchChangerTest, RespacingKeepsTheFixedPositionsOfMeasuresWhoseNotesDidNotChange)
{
    // Two parts of three measures, every note at a fixed position; the only
    // A# is in the second measure of the second part.
    auto part = [](const char* id, const char* secondNote) {
        std::string text = std::string("  <part id=\"") + id + "\">\n";
        for (int m = 1; m <= 3; ++m) {
            text += "    <measure number=\"" + std::to_string(m) + "\">\n";
            if (m == 1) text += "      <attributes><divisions>1</divisions><time><beats>2</beats><beat-type>4</beat-type></time></attributes>\n";
            const std::string second = m == 2 ? secondNote : "<step>D</step><octave>4</octave>";
            text += "      <note default-x=\"20\"><pitch><step>C</step><octave>4</octave></pitch><duration>1</duration>"
                    "<voice>1</voice><type>quarter</type></note>\n"
                    "      <note default-x=\"60\" relative-x=\"3\"><pitch>" + second +
                    "</pitch><duration>1</duration><voice>1</voice><type>quarter</type></note>\n"
                    "    </measure>\n";
        }
        return text + "  </part>\n";
    };
    const std::string input =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<score-partwise version=\"4.0\">\n  <part-list>\n"
        "    <score-part id=\"P1\"><part-name>One</part-name></score-part>\n"
        "    <score-part id=\"P2\"><part-name>Two</part-name></score-part>\n  </part-list>\n" +
        part("P1", "<step>E</step><octave>4</octave>") +
        part("P2", "<step>A</step><alter>1</alter><octave>4</octave>") + "</score-partwise>\n";
    TempFolder folder;
    folder.Write("in.musicxml", input);
    Engine::Instance().Reset();
    tonaroengine::MusicXmlError error;
    doc = tonaroengine::OpenMusicXml(folder.File("in.musicxml"), &error);
    ASSERT_NE(doc, nullptr) << error.Text();
    SelectAll();

    ASSERT_TRUE(Run({{"A#", "Bb", PITCHDIRECTION_CLOSEST}}, true, true));
    ASSERT_TRUE(lastChanged);
    EXPECT_FALSE(doc->IsRespaced(1));
    EXPECT_TRUE(doc->IsRespaced(2));
    EXPECT_FALSE(doc->IsRespaced(3));
    tonaroengine::MusicXmlSaveReport report;
    ASSERT_TRUE(tonaroengine::SaveMusicXml(doc, folder.File("out.musicxml"), &error, {}, &report)) << error.Text();
    EXPECT_EQ(report.respacedMeasures, 1u);
    tonaroengine::ReleaseMusicXmlSource(doc);

    // Measures 1 and 3 keep their bytes; measure 2 of both parts is laid out
    // anew (no fixed horizontal positions) and has the new pitch.
    const std::string output = folder.Read("out.musicxml");
    auto measures = [](const std::string& text, int number) {
        std::vector<std::string> found;
        const std::string open = "<measure number=\"" + std::to_string(number) + "\">";
        for (size_t at = text.find(open); at != std::string::npos; at = text.find(open, at + 1))
            found.push_back(text.substr(at, text.find("</measure>", at) - at));
        return found;
    };
    for (int m : {1, 3}) EXPECT_EQ(measures(output, m), measures(input, m)) << "measure " << m;
    const std::vector<std::string> second = measures(output, 2);
    ASSERT_EQ(second.size(), 2u);
    for (const std::string& text : second) {
        EXPECT_EQ(text.find("default-x"), std::string::npos) << text;
        EXPECT_EQ(text.find("relative-x"), std::string::npos) << text;
    }
    EXPECT_NE(second[1].find("<step>B</step><alter>-1</alter>"), std::string::npos) << second[1];
}

TEST_F(PitchChangerTest, EveryVisitedCellIsSaved)
{
    const int16_t staff = OneStaff(0, 0, 3);
    // Two notes with the same ID: saving a frame gives one of them a new ID,
    // so the IDs tell which cells were saved.
    for (int16_t measure = 1; measure <= 3; ++measure) {
        AddChord(staff, measure, {"C4", "E4"});
        auto records = doc->Entries(staff, measure, 0);
        records[0].notes[0].noteID = 3;
        records[0].notes[1].noteID = 3;
        ASSERT_TRUE(doc->SetEntries(staff, measure, 0, records));
    }
    ASSERT_TRUE(doc->SetSelection(Document::MakeRegion(1, 1, 1, 2)));
    ASSERT_TRUE(Run({{"G", "A", PITCHDIRECTION_UP}}));  // matches nothing
    EXPECT_FALSE(lastChanged);
    for (int16_t measure = 1; measure <= 2; ++measure) {
        const auto records = doc->Entries(staff, measure, 0);
        EXPECT_NE(records[0].notes[0].noteID, records[0].notes[1].noteID) << measure;
    }
    const auto untouched = doc->Entries(staff, 3, 0);
    EXPECT_EQ(untouched[0].notes[0].noteID, untouched[0].notes[1].noteID);
}

TEST_F(PitchChangerTest, HiddenLayersAreNotChanged)
{
    const int16_t staff = OneStaff();
    AddNote(staff, 1, "C4", 0);
    AddNote(staff, 1, "C5", 1);
    doc->SetLayerShown(1, false);
    SelectAll();
    ASSERT_TRUE(Run({{"C", "D", PITCHDIRECTION_UP}}));
    EXPECT_EQ(Name(staff, 1, 0, 0, 0), "D4");
    EXPECT_EQ(Name(staff, 1, 0, 0, 1), "C5");
}

TEST_F(PitchChangerTest, ChangedEntriesAreMarkedForAccidentalCheckOnOlderHosts)
{
    SetTonaroFrameworkVersion(0x11000000);
    const int16_t staff = OneStaff();
    AddNote(staff, 1, "C4");
    AddNote(staff, 1, "E4");
    SelectAll();
    ASSERT_TRUE(Run({{"C", "D", PITCHDIRECTION_UP}}));
    const auto records = doc->Entries(staff, 1, 0);
    EXPECT_NE(records[0].flags2 & EXENTRY2_CHECKACCIS, 0);
    EXPECT_EQ(records[1].flags2 & EXENTRY2_CHECKACCIS, 0);
}

TEST_F(PitchChangerTest, NoSelectionAlertsAndCancels)
{
    const int16_t staff = OneStaff();
    AddNote(staff, 1, "C4");
    doc->ClearSelection();
    const auto before = doc->Snapshot();
    AlertAnswerer answer("Ok");
    EXPECT_FALSE(Run({{"C", "D", PITCHDIRECTION_UP}}, true, true));
    EXPECT_EQ(answer.Count(), 1);
    EXPECT_EQ(answer.Seen().title, "No Selection");
    EXPECT_EQ(answer.Seen().text, "No region is selected. Please select a region in the document and try again.");
    EXPECT_EQ(answer.Seen().buttons, QStringList{"Ok"});
    EXPECT_FALSE(doc->IsEditing());
    EXPECT_EQ(doc->UndoCount(), 0);
    EXPECT_EQ(doc->Snapshot(), before);
    EXPECT_TRUE(Engine::Instance().ExecutedCommands().empty());
}

TEST_F(PitchChangerTest, OneChangeIsOneUndoStep)
{
    const int16_t top = doc->AddStaff(8);
    const int16_t bottom = doc->AddStaff(1);
    doc->AddMeasures(3, 4, 1024, 0x00FE);
    for (int16_t measure = 1; measure <= 3; ++measure) {
        AddChord(top, measure, {"Bb3", "D4", "F4"});
        AddNote(bottom, measure, "Eb3");
        doc->AddRest(bottom, measure, 0, 1024);
    }
    SelectAll();
    const auto before = doc->Snapshot();
    ASSERT_TRUE(Run({{"Bb", "A#", PITCHDIRECTION_CLOSEST}, {"Eb", "D#", PITCHDIRECTION_UP}}, true, true));
    EXPECT_NE(doc->Snapshot(), before);
    EXPECT_EQ(doc->UndoCount(), 1);
    EXPECT_EQ(doc->UndoName(), "Change Pitches");
    ASSERT_TRUE(doc->Undo());
    EXPECT_EQ(doc->Snapshot(), before);
    ASSERT_TRUE(doc->Redo());
    EXPECT_EQ(Name(top, 2, 0, 0), "A#3");
    EXPECT_EQ(Name(bottom, 3, 0), "D#3");  // Up: D# sounds as Eb, so it stays
}

TEST_F(PitchChangerTest, IterateIgnoresWhatIsNotANoteEntry)
{
    FCPitchChangeNodes nodes;
    FCPitchChanger changer(&nodes, true);
    EXPECT_TRUE(changer.GetSaveAfterIterate());
    FCString text("C4");
    EXPECT_TRUE(changer.Iterate(nullptr));
    EXPECT_TRUE(changer.Iterate(&text));
    EXPECT_FALSE(changer.GetChanged());
    FCPitchChanger noRules(nullptr, false);
    EXPECT_TRUE(noRules.Iterate(&text));
}

}  // namespace
