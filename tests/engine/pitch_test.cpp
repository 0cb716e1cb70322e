// Pitch arithmetic: names, keys and MIDI keys, directly and through the
// host functions.
#include <gtest/gtest.h>

#include "enginefixture.h"
#include "tonaropdk/hostapi/fxfunctions.h"

using namespace tonaroengine;

namespace {

struct NameCase {
    const char* name;
    uint16_t key;
    int16_t displacement;
    int16_t raiselower;
};

}  // namespace

TEST(EnginePitch, NamesReadIntoHostPitchDataUnderTheKey)
{
    const NameCase cases[] = {
        {"Eb4", 0x0000, 2, -1},   {"Eb4", 0x00FD, 0, 0},   {"E4", 0x00FD, 0, 1},  {"F#4", 0x0002, 2, 0},
        {"F4", 0x0002, 2, -1},    {"A4", 0x0100, 0, 0},    {"C5", 0x0100, 2, 0},  {"G4", 0x0100, -1, 0},
        {"B3", 0x0001, -5, 0},    {"Fx4", 0x0000, 3, 2},   {"F##4", 0x0000, 3, 2}, {"Cb4", 0x0000, 0, -1},
        {"A0", 0x0003, -28, 0},   {"C-1", 0x0000, -35, 0},
    };
    for (const NameCase& c : cases) {
        NoteSpec note;
        ASSERT_TRUE(NoteFromName(c.name, c.key, &note)) << c.name;
        EXPECT_EQ(+note.displacement, +c.displacement) << c.name << " in key " << c.key;
        EXPECT_EQ(+note.raiselower, +c.raiselower) << c.name << " in key " << c.key;
        const std::string back = NoteName(c.key, note.displacement, note.raiselower);
        EXPECT_EQ(back, std::string(c.name) == "Fx4" ? "F##4" : c.name);
    }
}

TEST(EnginePitch, MalformedNamesAreRefusedWithoutTouchingTheOutput)
{
    NoteSpec note{5, 1, true};
    for (const char* bad : {"", "c4", "H4", "C", "C#", "C4x", "Cx#4", "C--1"}) {
        EXPECT_FALSE(NoteFromName(bad, 0, &note)) << bad;
        EXPECT_EQ(+note.displacement, 5);
        EXPECT_EQ(+note.raiselower, 1);
    }
    EXPECT_FALSE(NoteFromName(nullptr, 0, &note));
    EXPECT_FALSE(NoteFromName("C4", 0, nullptr));
}

TEST(EnginePitch, MidiKeysCountHalfStepsAndAgreeForEnharmonics)
{
    EXPECT_EQ(NoteMidiKey(0, 0, 0), 60);  // middle C
    EXPECT_EQ(NoteMidiKey(0x0100, 0, 0), 69);  // A4 in A minor
    const char* pairs[][2] = {{"C#4", "Db4"}, {"B#3", "C4"}, {"Fb4", "E4"}, {"Gx4", "A4"}, {"Cb5", "B4"}};
    for (uint16_t key : {uint16_t{0x0000}, uint16_t{0x0003}, uint16_t{0x00FB}, uint16_t{0x0104}}) {
        for (const auto& pair : pairs) {
            NoteSpec a, b;
            ASSERT_TRUE(NoteFromName(pair[0], key, &a));
            ASSERT_TRUE(NoteFromName(pair[1], key, &b));
            EXPECT_EQ(NoteMidiKey(key, +a.displacement, +a.raiselower), NoteMidiKey(key, +b.displacement, +b.raiselower))
                << pair[0] << " / " << pair[1] << " in key " << key;
        }
        NoteSpec c4, c5;
        ASSERT_TRUE(NoteFromName("C4", key, &c4));
        ASSERT_TRUE(NoteFromName("C5", key, &c5));
        EXPECT_EQ(NoteMidiKey(key, +c4.displacement, +c4.raiselower), 60);
        EXPECT_EQ(NoteMidiKey(key, +c5.displacement, +c5.raiselower), 72);
    }
}

TEST(EnginePitch, KeysWithMoreThanSevenSharpsGiveDoubleSharps)
{
    // Nine sharps: F and C twice.
    EXPECT_EQ(KeyAlteration(0x0009, 3), 2);
    EXPECT_EQ(KeyAlteration(0x0009, 4), 1);
    EXPECT_EQ(KeyAlteration(0x00F7, 6), -2);  // nine flats: B twice
    EXPECT_EQ(KeyAlteration(0x4000, 3), 0);   // non-standard keys alter nothing
}

TEST_F(EngineTest, NoteToMidiAndMidiNamesThroughTheHostFunctions)
{
    MakeScore();
    EXNOTE note{};
    note.displacement = 2;
    note.raiselower = -1;  // Eb4 in C major
    EXPECT_EQ(FX_NoteToMidi(&note, 0, FXT_VERSION_2012), 63);
    note.displacement = 0;
    note.raiselower = 0;  // Eb4 in E flat major
    EXPECT_EQ(FX_NoteToMidi(&note, static_cast<int16_t>(0x00FD), FXT_VERSION_2012), 63);
    EXPECT_EQ(FX_NoteToMidi(nullptr, 0, FXT_VERSION_2012), 0);

    char buffer[20] = "unchanged";
    ASSERT_TRUE(FX_MidiNoteToString(61, buffer, sizeof buffer, 1, FXT_VERSION_2012));
    EXPECT_STREQ(buffer, "C#4");
    ASSERT_TRUE(FX_MidiNoteToString(61, buffer, sizeof buffer, 0, FXT_VERSION_2012));
    EXPECT_STREQ(buffer, "Db4");
    ASSERT_TRUE(FX_MidiNoteToString(0, buffer, sizeof buffer, 1, FXT_VERSION_2012));
    EXPECT_STREQ(buffer, "C-1");

    // Too small a buffer is refused and left alone.
    char small[3] = {'x', 'y', 'z'};
    EXPECT_FALSE(FX_MidiNoteToString(61, small, sizeof small, 1, FXT_VERSION_2012));
    EXPECT_EQ(small[0], 'x');

    // Names follow the document's octave numbering, so they read back.
    Engine::Instance().CurrentDocument()->SetOctaveOffset(1);
    ASSERT_TRUE(FX_MidiNoteToString(60, buffer, sizeof buffer, 1, FXT_VERSION_2012));
    EXPECT_STREQ(buffer, "C5");
}
