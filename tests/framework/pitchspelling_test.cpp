// Spelling notes against the real engine: names in several keys, written
// pitch on transposing staves (both encodings), the concert-pitch switch,
// octave numbering, MIDI keys, comparisons, accidentals and staff positions.
// Staves sit in slots that differ from their numbers.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/engine/document.h"
#include "host/engine/engine.h"
#include "host/engine/pitch.h"
#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/base/frameworkversion.h"
#include "tonaroframework/data/fccell.h"
#include "tonaroframework/data/fckeysignature.h"
#include "tonaroframework/music/fcnote.h"
#include "tonaroframework/music/fcnoteentry.h"
#include "tonaroframework/music/fcnoteentrycell.h"
#include "tonaropdk/bridge/hostbinding.h"
#include "tonaropdk/hostapi/staffspec.h"

using tonaroengine::Document;
using tonaroengine::Engine;
using tonaroengine::EntrySpec;
using tonaroengine::NoteSpec;

namespace {

// Transposition words.
constexpr int16_t kBbFirst = 0x0042;   // +1 step, +2 sharps
constexpr int16_t kBbSecond = 0x2201;  // a second up (2), +2 sharps
constexpr int16_t kFFirst = 0x0101;    // +4 steps, +1 sharp (horn in F)
constexpr int16_t kFSecond = 0x2104;   // a fifth up (5), +1 sharp
constexpr int16_t kDownSecond = 0x2EFE;  // a second down (-2), -2 sharps

class SpellingTest : public testing::Test {
protected:
    // Staff 6 in slot 1 (the one spelled), staff 2 in slot 2.
    static constexpr int16_t kStaff = 6;
    static constexpr int16_t kOther = 2;

    void SetUp() override
    {
        InitializeGlobals();
        Engine::Instance().Reset();
        SetTonaroFrameworkVersion(0x12000000);
        doc = Engine::Instance().NewDocument();
        doc->AddStaff(kOther);
        doc->AddStaff(kStaff);
        doc->MoveStaff(kStaff, 1);
        doc->AddMeasures(4);
        ASSERT_EQ(doc->SlotOfStaff(kStaff), 1);
    }
    void TearDown() override
    {
        cell.reset();
        EXPECT_EQ(Engine::Instance().LoadedFrameCount(), 0);
        SetTonaroFrameworkVersion(0x12000000);
        Engine::Instance().Reset();
    }

    // Puts one note (the engine's reading of a concert name under the
    // measure's key) into measure 1 of kStaff and loads it.
    FCNote* Put(const char* concertName, uint16_t key = 0, int16_t measure = 1, int16_t staff = kStaff)
    {
        doc->SetKeySignature(measure, key, measure);
        NoteSpec spec;
        EXPECT_TRUE(tonaroengine::NoteFromName(concertName, key, &spec)) << concertName;
        EXPECT_NE(doc->AddEntry(staff, measure, 0, EntrySpec{1024, {spec}, 0}), 0u);
        return LoadLast(measure, staff);
    }
    FCNote* LoadLast(int16_t measure = 1, int16_t staff = kStaff)
    {
        cell = std::make_unique<FCNoteEntryCell>(measure, staff);
        EXPECT_TRUE(cell->Load());
        if (cell->GetCount() == 0) return nullptr;
        return cell->GetItemAt(cell->GetCount() - 1)->GetItemAt(0);
    }
    static std::string Spell(FCNote* note, bool written = false, bool useX = false, FCKeySignature* key = nullptr)
    {
        FCString text;
        note->GetString(&text, key, useX, written);
        return text.GetCString();
    }
    static bool Read(FCNote* note, const char* name, bool written = false, FCKeySignature* key = nullptr)
    {
        FCString text(name);
        return note->SetString(&text, key, written);
    }

    Document* doc = nullptr;
    std::unique_ptr<FCNoteEntryCell> cell;
};

// ---- Sounding pitch in several keys ------------------------------------------------

TEST_F(SpellingTest, WorkedExamplesReadAndSpellBack)
{
    struct Reading {
        uint16_t key;
        const char* name;
        int16_t displacement;
        int16_t raiseLower;
        const char* spelled;
    };
    const Reading readings[] = {
        {0x0000, "Eb4", 2, -1, "Eb4"},  {0x00FD, "Eb4", 0, 0, "Eb4"}, {0x00FD, "E4", 0, 1, "E4"},
        {0x0002, "F#4", 2, 0, "F#4"},   {0x0002, "F4", 2, -1, "F4"},  {0x0100, "A4", 0, 0, "A4"},
        {0x0100, "C5", 2, 0, "C5"},     {0x0100, "G4", -1, 0, "G4"},  {0x0001, "B3", -5, 0, "B3"},
        {0x0000, "Fx4", 3, 2, "F##4"},  {0x0000, "F##4", 3, 2, "F##4"}, {0x0000, "Cb4", 0, -1, "Cb4"},
        {0x0003, "A0", -28, 0, "A0"},   {0x0000, "C-1", -35, 0, "C-1"}, {0x0000, "B-1", -29, 0, "B-1"},
    };
    for (const Reading& r : readings) {
        FCNote* note = Put("C4", r.key);
        ASSERT_TRUE(Read(note, r.name)) << r.name;
        EXPECT_EQ(note->GetDisplacement(), r.displacement) << r.name << " in " << r.key;
        EXPECT_EQ(note->GetRaiseLower(), r.raiseLower) << r.name << " in " << r.key;
        EXPECT_EQ(Spell(note), r.spelled) << r.name << " in " << r.key;
    }
    FCNote* note = Put("F##4");
    EXPECT_EQ(Spell(note, false, true), "Fx4");
    EXPECT_EQ(note->CalcPitchChar(), 'F');
    EXPECT_EQ(note->CalcPitchRaiseLower(false), 2);
}

TEST_F(SpellingTest, SpellingAgreesWithTheEngineInEveryKey)
{
    const std::vector<std::string> names = {"C4", "C#4", "Db4", "Dbb3", "E#5", "Fb4", "F#2", "G##4", "Ab6", "B#3", "Cbb0"};
    const std::vector<uint16_t> keys = {0x0000, 0x0007, 0x00F9, 0x0004, 0x00FE, 0x0105, 0x01FA};
    doc->AddMeasures(static_cast<int>(keys.size()) - doc->MeasureCount());
    for (size_t k = 0; k < keys.size(); ++k) {
        const uint16_t key = keys[k];
        const auto measure = static_cast<int16_t>(k + 1);
        doc->SetKeySignature(measure, key, measure);
        for (const std::string& name : names) {
            NoteSpec spec;
            ASSERT_TRUE(tonaroengine::NoteFromName(name.c_str(), key, &spec));
            doc->AddEntry(kStaff, measure, 0, EntrySpec{256, {spec}, 0});
        }
        cell = std::make_unique<FCNoteEntryCell>(measure, kStaff);
        ASSERT_TRUE(cell->Load());
        ASSERT_EQ(cell->GetCount(), static_cast<int>(names.size()));
        for (size_t i = 0; i < names.size(); ++i) {
            FCNote* note = cell->GetItemAt(static_cast<int>(i))->GetItemAt(0);
            EXPECT_EQ(Spell(note), names[i]) << "key " << key;
            const NoteSpec before{note->GetDisplacement(), note->GetRaiseLower(), false};
            ASSERT_TRUE(Read(note, names[i].c_str()));
            EXPECT_EQ(note->GetDisplacement(), before.displacement) << names[i] << " key " << key;
            EXPECT_EQ(note->GetRaiseLower(), before.raiselower) << names[i] << " key " << key;
        }
        cell.reset();
    }
}

TEST_F(SpellingTest, RefusedAndLenientNames)
{
    FCNote* note = Put("D4");
    for (const char* bad : {"c4", "H4", "", "C16", "C-6", "#4", " C4"}) {
        EXPECT_FALSE(Read(note, bad)) << bad;
        EXPECT_EQ(note->GetDisplacement(), 1) << bad;
        EXPECT_EQ(note->GetRaiseLower(), 0) << bad;
    }
    EXPECT_FALSE(note->SetString(nullptr, nullptr, false));
    const std::string sharps = "C" + std::string(40000, '#') + "4";
    EXPECT_FALSE(Read(note, sharps.c_str()));  // an alteration no note can hold
    EXPECT_EQ(note->GetRaiseLower(), 0);

    // The octave may follow white space and a sign; reading stops at the
    // first non-digit and no digits mean octave 0.
    for (auto [name, spelled] : {std::pair{"C 4", "C4"}, {"EB4", "Eb4"}, {"EbB4", "Ebb4"}, {"C#", "C#0"},
                                 {"C#x4", "C#0"}, {"GX+3", "G##3"}, {"A15", "A15"}, {"A-5", "A-5"}}) {
        ASSERT_TRUE(Read(note, name)) << name;
        EXPECT_EQ(Spell(note), spelled) << name;
    }
}

TEST_F(SpellingTest, NullTextAndNotesWithoutEntries)
{
    FCNote* note = Put("E4");
    note->GetString(nullptr, nullptr, false, false);  // does nothing
    EXPECT_EQ(Spell(note), "E4");

    EXNOTE slot{};
    FCNote loose(0, &slot, nullptr);
    EXPECT_EQ(loose.CalcPitchChar(), 0);
    EXPECT_EQ(loose.CalcPitchRaiseLower(false), 0);
    EXPECT_EQ(loose.CalcOctave(nullptr, 0), 0);
    EXPECT_FALSE(Read(&loose, "C4"));  // no key and no entry
    FCKeySignature g(0x0001);
    ASSERT_TRUE(Read(&loose, "F#5", false, &g));
    EXPECT_EQ(+slot.displacement, 6);
    EXPECT_EQ(+slot.raiselower, 0);
}

TEST_F(SpellingTest, RestsHaveNoLetter)
{
    doc->AddRest(kStaff, 1, 0, 1024);
    cell = std::make_unique<FCNoteEntryCell>(1, kStaff);
    ASSERT_TRUE(cell->Load());
    ASSERT_TRUE(cell->Save());  // the host keeps a rest with one note slot
    ASSERT_TRUE(cell->Load());
    FCNoteEntry* rest = cell->GetItemAt(0);
    ASSERT_TRUE(rest->IsRest());
    ASSERT_EQ(rest->GetCount(), 1);
    EXPECT_EQ(rest->GetItemAt(0)->CalcPitchChar(), 0);
    EXPECT_EQ(rest->GetItemAt(0)->CalcWrittenPitchChar(), 0);
    EXPECT_EQ(rest->GetItemAt(0)->CalcPitchRaiseLower(true), 0);
    EXPECT_FALSE(rest->GetItemAt(0)->CalcOnLedgerLine());
}

// ---- Octaves ---------------------------------------------------------------------------

TEST_F(SpellingTest, OctaveNumbers)
{
    FCNote* note = Put("C4");
    FCKeySignature c(0x0000), aMinor(0x0100), g(0x0001);
    for (auto [key, displacement, shift, octave] :
         {std::tuple{&c, 0, 0, 4}, {&c, 0, -1, 3}, {&c, 0, 7, 5}, {&c, -1, 0, 3}, {&c, -36, 0, -2},
          {&aMinor, 2, 0, 5}, {&g, -5, 0, 3}}) {
        note->SetDisplacement(static_cast<int16_t>(displacement));
        EXPECT_EQ(note->CalcOctave(key, shift), octave) << displacement << " shift " << shift;
    }
}

TEST_F(SpellingTest, OctaveNumberingOffsetShiftsNamesBothWays)
{
    FCNote* note = Put("C4");
    ASSERT_TRUE(doc->SetOctaveOffset(1));
    EXPECT_EQ(Spell(note), "C5");
    ASSERT_TRUE(Read(note, "D5"));
    EXPECT_EQ(note->GetDisplacement(), 1);
    ASSERT_TRUE(doc->SetOctaveOffset(-1));
    EXPECT_EQ(Spell(note), "D3");
}

// ---- Written pitch -----------------------------------------------------------------

TEST_F(SpellingTest, BbInstrumentWrittenAndSounding)
{
    ASSERT_TRUE(doc->SetStaffTransposition(kStaff, kBbFirst));
    FCNote* note = Put("C4");
    EXPECT_EQ(Spell(note, true), "D4");
    EXPECT_EQ(Spell(note, false), "C4");
    EXPECT_EQ(note->CalcWrittenPitchChar(), 'D');
    EXPECT_EQ(note->CalcPitchChar(), 'C');
    ASSERT_TRUE(Read(note, "D4", true));
    EXPECT_EQ(note->GetDisplacement(), 0);
    EXPECT_EQ(note->GetRaiseLower(), 0);

    // A3 sounding is B3 written: the octave follows the written letter.
    ASSERT_TRUE(Read(note, "A3"));
    EXPECT_EQ(Spell(note, true), "B3");
    // Eb sounding is F written; F# written (in the written key of D) is E
    // sounding.
    ASSERT_TRUE(Read(note, "Eb4"));
    EXPECT_EQ(Spell(note, true), "F4");
    ASSERT_TRUE(Read(note, "F#4", true));
    EXPECT_EQ(Spell(note), "E4");
    EXPECT_EQ(note->CalcPitchRaiseLower(true), 1);
    EXPECT_EQ(note->CalcPitchRaiseLower(false), 0);
}

TEST_F(SpellingTest, ConcertPitchSwitchTurnsWrittenPitchOff)
{
    ASSERT_TRUE(doc->SetStaffTransposition(kStaff, kBbFirst));
    FCNote* note = Put("C4");
    ASSERT_TRUE(doc->SetConcertPitch(true));
    EXPECT_EQ(Spell(note, true), "C4");
    ASSERT_TRUE(Read(note, "D4", true));
    EXPECT_EQ(note->GetDisplacement(), 1);  // read as sounding
    ASSERT_TRUE(doc->SetConcertPitch(false));
    EXPECT_EQ(Spell(note, true), "E4");
}

TEST_F(SpellingTest, EveryWrittenNameReadsBackOnEveryKindOfStaff)
{
    const std::vector<std::string> letters = {"A", "B", "C", "D", "E", "F", "G"};
    const std::vector<std::string> accidentals = {"bb", "b", "", "#", "##"};
    for (int16_t word : {int16_t{0}, kBbFirst, kBbSecond, kFFirst, kFSecond, kDownSecond}) {
        ASSERT_TRUE(doc->SetStaffTransposition(kStaff, word));
        for (uint16_t key : {0x0000, 0x0007, 0x00F9, 0x0102}) {
            FCNote* note = Put("C4", key);
            for (const std::string& letter : letters) {
                for (const std::string& accidental : accidentals) {
                    for (const char* octave : {"2", "4", "6"}) {
                        const std::string name = letter + accidental + octave;
                        ASSERT_TRUE(Read(note, name.c_str(), true)) << name;
                        EXPECT_EQ(Spell(note, true), name) << "word " << word << " key " << key;
                    }
                }
            }
            cell.reset();
            doc->SetEntries(kStaff, 1, 0, {});
        }
    }
}

TEST_F(SpellingTest, SecondEncodingSpellsLikeTheFirst)
{
    for (auto [first, second] : {std::pair{kBbFirst, kBbSecond}, {kFFirst, kFSecond}}) {
        ASSERT_TRUE(doc->SetStaffTransposition(kStaff, first));
        FCNote* note = Put("F4", 0x00FE);
        const std::string expected = Spell(note, true);
        const int raiseLower = note->CalcPitchRaiseLower(true);
        cell.reset();
        ASSERT_TRUE(doc->SetStaffTransposition(kStaff, second));
        note = LoadLast();
        EXPECT_EQ(Spell(note, true), expected);
        EXPECT_EQ(note->CalcPitchRaiseLower(true), raiseLower);
        cell.reset();
        doc->SetEntries(kStaff, 1, 0, {});
    }
    // Horn in F: concert F4 is written C5.
    ASSERT_TRUE(doc->SetStaffTransposition(kStaff, kFSecond));
    EXPECT_EQ(Spell(Put("F4"), true), "C5");
    cell.reset();
    // A second down: concert C4 is written Bb3.
    ASSERT_TRUE(doc->SetStaffTransposition(kStaff, kDownSecond));
    FCNote* note = Put("C4", 0, 2);
    EXPECT_EQ(Spell(note, true), "Bb3");
    EXPECT_EQ(note->CalcWrittenPitchChar(), 'B');
}

TEST_F(SpellingTest, KeysBeyondSevenSharpsReadBackAsSpelled)
{
    ASSERT_TRUE(doc->SetStaffTransposition(kStaff, kBbFirst));
    FCNote* note = Put("E#4", 0x0007);  // C sharp major: written in D sharp major (9 sharps)
    EXPECT_EQ(Spell(note, true), "F##4");
    EXPECT_EQ(note->CalcPitchRaiseLower(true), 2);
    ASSERT_TRUE(Read(note, "F##4", true));
    EXPECT_EQ(note->GetRaiseLower(), 0);
    ASSERT_TRUE(Read(note, "F#4", true));
    EXPECT_EQ(Spell(note, false), "E4");
}

TEST_F(SpellingTest, TranspositionFollowsStaffStylesAlongTheStaff)
{
    tonaroengine::StaffStyle style;
    style.startMeasure = 3;
    style.transposition = kBbFirst;
    ASSERT_TRUE(doc->AddStaffStyle(kStaff, style));
    EXPECT_EQ(Spell(Put("G4", 0, 2), true), "G4");
    cell.reset();
    EXPECT_EQ(Spell(Put("G4", 0, 3), true), "A4");
}

TEST_F(SpellingTest, TheCallersKeyKeepsItsTransposition)
{
    ASSERT_TRUE(doc->SetStaffTransposition(kStaff, kBbFirst));
    FCNote* note = Put("C4", 0x0001);
    FCKeySignature key(0x0001);
    key.SetTransposition(3);
    Spell(note, true, false, &key);
    EXPECT_EQ(key.GetTransposition(), 3);
    ASSERT_TRUE(Read(note, "A4", true, &key));
    EXPECT_EQ(key.GetTransposition(), 3);

    ASSERT_TRUE(doc->SetStaffTransposition(kStaff, 0));
    ASSERT_TRUE(Read(note, "A4", true, &key));  // a staff that does not transpose
    EXPECT_EQ(key.GetTransposition(), 3);
}

// ---- Keys of cells -----------------------------------------------------------------

TEST_F(SpellingTest, IndependentKeyOfACellWins)
{
    ASSERT_TRUE(doc->SetStaffFlags(kStaff, STAFFFLAG_INDEPENDENTKEY));
    ASSERT_TRUE(doc->SetIndependentKey(kStaff, 2, 0x0002));
    FCNote* note = Put("C4", 0, 2);
    ASSERT_TRUE(Read(note, "F#4"));
    EXPECT_EQ(note->GetDisplacement(), 2);  // from D, the key of the cell
    EXPECT_EQ(note->GetRaiseLower(), 0);
    EXPECT_EQ(Spell(note), "F#4");
    cell.reset();
    // The other staff keeps the measure's key.
    note = Put("C4", 0, 2, kOther);
    ASSERT_TRUE(Read(note, "F#4"));
    EXPECT_EQ(note->GetDisplacement(), 3);
}

TEST_F(SpellingTest, PercussionStaffReadsNamesInTheCellsKey)
{
    ASSERT_TRUE(doc->SetStaffNotationStyle(kStaff, STAFFSTYLE_PERCUSSION));
    FCNote* note = Put("D4", 0x0002);
    ASSERT_TRUE(Read(note, "F#4"));
    EXPECT_EQ(note->GetDisplacement(), 2);  // as the host stores it in D major
    EXPECT_EQ(note->GetRaiseLower(), 0);
}

// Names and MIDI keys read back as they were set on every kind of staff.
TEST_F(SpellingTest, NamesAndMidiKeysRoundTripOnEveryStaff)
{
    struct Staff {
        uint16_t style;
        uint16_t flags;
    };
    const Staff staves[] = {{0, 0},
                            {STAFFSTYLE_PERCUSSION, 0},
                            {0, STAFFFLAG_CMAJORMIDI},
                            {STAFFSTYLE_PERCUSSION, STAFFFLAG_CMAJORMIDI}};
    for (const Staff& staff : staves) {
        ASSERT_TRUE(doc->SetStaffNotationStyle(kStaff, staff.style));
        ASSERT_TRUE(doc->SetStaffFlags(kStaff, staff.flags));
        for (uint16_t key : {uint16_t{0x0002}, uint16_t{0x00FD}, uint16_t{0x0101}}) {
            cell.reset();
            FCNote* note = Put("C4", key);
            ASSERT_NE(note, nullptr);
            for (const char* name : {"F#4", "Eb4", "Cb5", "G##3"}) {
                ASSERT_TRUE(Read(note, name));
                EXPECT_EQ(Spell(note), name) << staff.style << "/" << staff.flags << " key " << key;
            }
            for (int16_t midi : {61, 66, 70, 84}) {
                ASSERT_TRUE(note->SetMIDIKey(midi));
                EXPECT_EQ(note->CalcMIDIKey(), midi) << staff.style << "/" << staff.flags << " key " << key;
            }
        }
    }
}

// ---- MIDI keys and comparisons -------------------------------------------------------

TEST_F(SpellingTest, MidiKeys)
{
    FCNote* note = Put("Eb4", 0x00FD);
    EXPECT_EQ(note->CalcMIDIKey(), 63);
    ASSERT_TRUE(note->SetMIDIKey(61));
    EXPECT_EQ(Spell(note), "C#4");
    EXPECT_EQ(note->CalcMIDIKey(), 61);
    ASSERT_TRUE(note->SetMIDIKey(24));
    EXPECT_EQ(note->CalcMIDIKey(), 24);

    ASSERT_TRUE(doc->SetStaffFlags(kStaff, STAFFFLAG_CMAJORMIDI));
    ASSERT_TRUE(Read(note, "Eb4"));  // displacement 0, raise/lower 0 under E flat
    EXPECT_EQ(note->CalcMIDIKey(), 60);  // the same data read in C major
}

TEST_F(SpellingTest, IdenticalPitchAcrossKeys)
{
    doc->SetKeySignature(2, 0x00FB, 2);  // D flat major in measure 2
    FCNote* sharp = Put("C#4");
    std::unique_ptr<FCNoteEntryCell> first = std::move(cell);
    FCNote* flat = Put("Db4", 0x00FB, 2);
    EXPECT_NE(sharp->GetRaiseLower(), flat->GetRaiseLower());
    EXPECT_TRUE(sharp->IsIdenticalPitch(flat));  // same sound, different keys
    ASSERT_TRUE(Read(flat, "D4"));
    EXPECT_FALSE(sharp->IsIdenticalPitch(flat));
    EXPECT_FALSE(sharp->IsIdenticalPitch(nullptr));

    // The comparisons read the stored data only: equal here, keys aside.
    EXPECT_FALSE(flat->IsHigherPitchThan(sharp));
    EXPECT_FALSE(flat->IsLowerPitchThan(sharp));
    EXPECT_FALSE(flat->IsHigherPitchThan(nullptr));
    ASSERT_TRUE(Read(flat, "E4"));  // displacement 1
    EXPECT_TRUE(flat->IsHigherPitchThan(sharp));
    EXPECT_TRUE(sharp->IsLowerPitchThan(flat));
    flat->SetDisplacement(sharp->GetDisplacement());
    flat->SetRaiseLower(0);
    EXPECT_TRUE(sharp->IsHigherPitchThan(flat));  // same displacement, more raise
    EXPECT_TRUE(flat->IsLowerPitchThan(sharp));
    ASSERT_TRUE(Read(flat, "C#4"));
    EXPECT_TRUE(sharp->IsIdenticalPitch(flat));
    first.reset();
}

// ---- Accidentals and staff positions -------------------------------------------------

TEST_F(SpellingTest, AccidentalsAsTheHostShowsThem)
{
    for (const char* name : {"C#4", "C#4", "C4", "F4"}) {
        NoteSpec spec;
        ASSERT_TRUE(tonaroengine::NoteFromName(name, 0, &spec));
        doc->AddEntry(kStaff, 1, 0, EntrySpec{512, {spec}, 0});
    }
    cell = std::make_unique<FCNoteEntryCell>(1, kStaff);
    ASSERT_TRUE(cell->Load());
    std::vector<bool> shown;
    for (int i = 0; i < 4; ++i) shown.push_back(cell->GetItemAt(i)->GetItemAt(0)->CalcAccidental());
    EXPECT_EQ(shown, (std::vector<bool>{true, false, true, false}));

    SetTonaroFrameworkVersion(0x11000000);  // older hosts: the note's own flag
    FCNote* note = cell->GetItemAt(3)->GetItemAt(0);
    EXPECT_FALSE(note->CalcAccidental());
    note->SetAccidental(true);
    EXPECT_TRUE(note->CalcAccidental());
}

TEST_F(SpellingTest, StaffPositionsAndLedgerLines)
{
    struct Case {
        const char* name;
        uint16_t key;
        int position;
        bool ledger;
    };
    int16_t measure = 1;
    for (const Case& c : {Case{"C4", 0, -10, true}, Case{"E4", 0, -8, false}, Case{"F5", 0x0001, 0, false},
                          Case{"G5", 0, 1, false}, Case{"A5", 0x0100, 2, true}, Case{"A4", 0x0100, -5, false},
                          Case{"D4", 0x00FD, -9, false}, Case{"B3", 0x0004, -11, false}}) {
        FCNote* note = Put(c.name, c.key, measure);
        EXPECT_EQ(note->CalcStaffPosition(), c.position) << c.name;
        EXPECT_EQ(note->CalcOnLedgerLine(), c.ledger) << c.name;
        cell.reset();
        doc->SetEntries(kStaff, measure, 0, {});
        measure = static_cast<int16_t>(measure % 4 + 1);
    }
    // Bass clef: middle C two steps above the top line.
    ASSERT_TRUE(doc->SetStaffClef(kOther, CLEF_BASS));
    FCNote* note = Put("C4", 0, 1, kOther);
    EXPECT_EQ(note->CalcStaffPosition(), 2);
    EXPECT_TRUE(note->CalcOnLedgerLine());
    cell->GetItemAt(0)->_GetEXENTRY()->flags2 |= EXENTRY2_NOLEDGER;
    EXPECT_FALSE(note->CalcOnLedgerLine());
    cell.reset();
    // A Bb instrument's concert C4 stands where its written D4 does.
    ASSERT_TRUE(doc->SetStaffTransposition(kStaff, kBbFirst));
    EXPECT_EQ(Put("C4", 0, 2)->CalcStaffPosition(), -9);
}

}  // namespace
