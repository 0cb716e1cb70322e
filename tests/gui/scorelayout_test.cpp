// The score view's geometry and note placement, without painting: systems
// wrap and every cell has its own place; notes sit on the right lines for
// their clef, in written or concert pitch; accidentals follow the engine.
#include <gtest/gtest.h>

#include <set>

#include "host/app/window/scorelayout.h"
#include "host/app/window/scorepitch.h"
#include "host/engine/engine.h"
#include "host/engine/pitch.h"
#include "tonaropdk/hostapi/clefdef.h"

namespace {

using tonaroapp::ScoreLayout;
using tonaroengine::Document;
using tonaroengine::Engine;
using tonaroengine::EntrySpec;
using tonaroengine::NoteSpec;

NoteSpec Note(const char* name, uint16_t key = 0)
{
    NoteSpec note;
    EXPECT_TRUE(tonaroengine::NoteFromName(name, key, &note)) << name;
    return note;
}

EntrySpec Entry(std::vector<const char*> names, int16_t duration = 1024, uint16_t key = 0)
{
    EntrySpec entry;
    entry.duration = duration;
    for (const char* name : names) entry.notes.push_back(Note(name, key));
    return entry;
}

class ScoreLayoutTest : public ::testing::Test {
protected:
    void TearDown() override { Engine::Instance().Reset(); }

    // staves x measures of four quarter notes each.
    Document* MakeScore(int staves, int measures)
    {
        Document* document = Engine::Instance().NewDocument();
        for (int s = 0; s < staves; ++s) document->AddStaff(0, s % 2 == 0 ? CLEF_TREBLE : CLEF_BASS);
        document->AddMeasures(measures);
        for (int s = 1; s <= staves; ++s)
            for (int m = 1; m <= measures; ++m)
                for (int beat = 0; beat < 4; ++beat)
                    document->AddEntry(document->StaffAtSlot(s), static_cast<int16_t>(m), 0, Entry({"C4"}));
        return document;
    }
};

TEST_F(ScoreLayoutTest, SystemsWrapToTheWidthAndCellsTileWithoutOverlap)
{
    Document* document = MakeScore(3, 40);
    ScoreLayout layout;
    layout.Build(document, 900);
    ASSERT_FALSE(layout.IsEmpty());
    ASSERT_GT(layout.Systems().size(), 3u);
    EXPECT_EQ(layout.StaffCount(), 3);
    EXPECT_EQ(layout.MeasureCount(), 40);

    // Systems follow each other, measure after measure, and none is wider
    // than the view.
    int16_t next = 1;
    double previousBottom = 0;
    for (const ScoreLayout::SystemBox& system : layout.Systems()) {
        EXPECT_EQ(system.firstMeasure, next);
        EXPECT_GE(system.lastMeasure, system.firstMeasure);
        EXPECT_LE(system.right, 900 - ScoreLayout::kMargin + 0.01);
        EXPECT_GT(system.top, previousBottom);
        previousBottom = system.top + system.height;
        next = static_cast<int16_t>(system.lastMeasure + 1);
    }
    EXPECT_EQ(next, 41);
    EXPECT_GE(layout.ContentSize().height(), previousBottom);

    // Every cell has a rectangle, and no two overlap.
    std::vector<QRectF> cells;
    for (int slot = 1; slot <= 3; ++slot)
        for (int16_t m = 1; m <= 40; ++m) {
            const QRectF cell = layout.CellRect(slot, m);
            ASSERT_FALSE(cell.isEmpty()) << slot << "/" << m;
            cells.push_back(cell);
        }
    for (size_t i = 0; i < cells.size(); ++i)
        for (size_t j = i + 1; j < cells.size(); ++j) {
            const QRectF common = cells[i].intersected(cells[j]);
            EXPECT_TRUE(common.width() <= 1e-6 || common.height() <= 1e-6) << i << " and " << j;
        }

    // A narrower view needs more systems; a very wide one puts everything
    // in one system.
    ScoreLayout narrow;
    narrow.Build(document, 500);
    EXPECT_GT(narrow.Systems().size(), layout.Systems().size());
    ScoreLayout wide;
    wide.Build(document, 100000);
    EXPECT_EQ(wide.Systems().size(), 1u);
}

TEST_F(ScoreLayoutTest, CellsAreFoundAgainByPointAndOutsidePointsFindNothing)
{
    Document* document = MakeScore(2, 12);
    ScoreLayout layout;
    layout.Build(document, 700);
    for (int slot = 1; slot <= 2; ++slot)
        for (int16_t m = 1; m <= 12; ++m) {
            int foundSlot = 0;
            int16_t foundMeasure = 0;
            ASSERT_TRUE(layout.CellAt(layout.CellRect(slot, m).center(), &foundSlot, &foundMeasure));
            EXPECT_EQ(foundSlot, slot);
            EXPECT_EQ(foundMeasure, m);
        }
    int slot = -1;
    int16_t measure = -1;
    EXPECT_FALSE(layout.CellAt(QPointF(1, 1), &slot, &measure));  // in the margin
    EXPECT_FALSE(layout.CellAt(QPointF(100, layout.ContentSize().height() + 50), &slot, &measure));
    EXPECT_EQ(slot, -1);
    EXPECT_EQ(measure, -1);
    EXPECT_TRUE(layout.CellRect(3, 1).isEmpty());
    EXPECT_TRUE(layout.CellRect(1, 13).isEmpty());
    EXPECT_TRUE(layout.CellRect(0, 1).isEmpty());
}

TEST_F(ScoreLayoutTest, MeasureWidthsFollowTheirContentAndPrefixesShowWhereTheyChange)
{
    Document* document = Engine::Instance().NewDocument();
    const int16_t staff = document->AddStaff();
    document->AddMeasures(4);
    document->AddEntry(staff, 1, 0, Entry({"C4"}, 4096));  // one whole note
    for (int i = 0; i < 8; ++i) document->AddEntry(staff, 2, 0, Entry({"D4"}, 512));
    document->SetKeySignature(3, 0x0003, 3);  // A major in measure 3 only
    document->SetTimeSignature(4, 3, 1024);   // 3/4 from measure 4
    ScoreLayout layout;
    layout.Build(document, 100000);
    const ScoreLayout::MeasureBox* whole = layout.Measure(1);
    const ScoreLayout::MeasureBox* eighths = layout.Measure(2);
    ASSERT_TRUE(whole && eighths);
    EXPECT_GT(eighths->width, whole->width - whole->prefixWidth);
    EXPECT_EQ(eighths->columns.size(), 8u);
    // Columns go left to right with time, inside their measure.
    for (size_t i = 1; i < eighths->columns.size(); ++i) {
        EXPECT_GT(eighths->columns[i].x, eighths->columns[i - 1].x);
        EXPECT_EQ(eighths->columns[i].position, static_cast<int32_t>(512 * i));
    }
    EXPECT_GT(eighths->columns.front().x, eighths->left);
    EXPECT_LT(eighths->columns.back().x, eighths->left + eighths->width);
    EXPECT_DOUBLE_EQ(layout.EntryX(2, 1024), eighths->columns[2].x);
    const double between = layout.EntryX(2, 768);
    EXPECT_GT(between, eighths->columns[1].x);
    EXPECT_LT(between, eighths->columns[2].x);

    EXPECT_TRUE(whole->showsClef);
    EXPECT_TRUE(whole->showsTime);
    EXPECT_FALSE(whole->showsKey);  // C major shows nothing
    EXPECT_FALSE(eighths->showsClef);
    EXPECT_FALSE(eighths->showsTime);
    EXPECT_TRUE(layout.Measure(3)->showsKey);
    // Back to C major: three naturals cancel the sharps of A major.
    EXPECT_TRUE(layout.Measure(4)->showsKey);
    EXPECT_GE(layout.Measure(4)->prefixWidth, 3 * ScoreLayout::kKeyAccidentalWidth + ScoreLayout::kTimeWidth);
    EXPECT_TRUE(layout.Measure(4)->showsTime);
    EXPECT_GT(layout.Measure(3)->prefixWidth, 3 * ScoreLayout::kKeyAccidentalWidth);

    // A clef that changes at a measure shows there, inside the system too.
    tonaroengine::StaffStyle bass;
    bass.startMeasure = 4;
    bass.clef = CLEF_BASS;
    ASSERT_TRUE(document->AddStaffStyle(staff, bass));
    layout.Build(document, 100000);
    EXPECT_FALSE(layout.Measure(3)->clefChange);
    EXPECT_TRUE(layout.Measure(4)->clefChange);
    EXPECT_TRUE(layout.Measure(4)->showsClef);
    EXPECT_FALSE(layout.Measure(2)->showsClef);

    // A later system starts with a clef again.
    ScoreLayout narrow;
    narrow.Build(document, 300);
    ASSERT_GT(narrow.Systems().size(), 1u);
    for (const ScoreLayout::SystemBox& system : narrow.Systems())
        EXPECT_TRUE(narrow.Measure(system.firstMeasure)->showsClef);
}

TEST_F(ScoreLayoutTest, NothingToLayOutGivesAnEmptyLayout)
{
    ScoreLayout layout;
    layout.Build(nullptr, 800);
    EXPECT_TRUE(layout.IsEmpty());
    EXPECT_TRUE(layout.CellRect(1, 1).isEmpty());
    EXPECT_EQ(layout.Measure(1), nullptr);
    EXPECT_EQ(layout.EntryX(1, 0), 0);
    Document* document = Engine::Instance().NewDocument();
    document->AddMeasures(3);  // measures but no staff
    layout.Build(document, 800);
    EXPECT_TRUE(layout.IsEmpty());
    document->AddStaff();
    layout.Build(document, 800);
    EXPECT_EQ(layout.Systems().size(), 1u);
    EXPECT_FALSE(layout.CellRect(1, 3).isEmpty());  // empty measures still have cells
}

TEST_F(ScoreLayoutTest, StaffNamesReserveAColumnOnlyWhenThereIsOnePerStaff)
{
    Document* document = MakeScore(2, 4);
    ScoreLayout plain;
    plain.Build(document, 2000);
    ScoreLayout named;
    named.Build(document, 2000, {"Flute", "Cello"});
    ScoreLayout miscounted;
    miscounted.Build(document, 2000, {"Flute"});
    EXPECT_TRUE(named.HasNames());
    EXPECT_FALSE(miscounted.HasNames());
    EXPECT_DOUBLE_EQ(named.Systems()[0].left, plain.Systems()[0].left + ScoreLayout::kNameWidth);
    EXPECT_DOUBLE_EQ(miscounted.Systems()[0].left, plain.Systems()[0].left);
}

// --- Note placement ---------------------------------------------------------------------

class NotePlacementTest : public ScoreLayoutTest {
protected:
    int Position(const tonaroapp::StaffPlacement& placement, const char* name, uint16_t key = 0)
    {
        return tonaroapp::NoteStaffPosition(placement, key, Note(name, key).displacement);
    }
};

TEST_F(NotePlacementTest, NotesSitOnTheLinesOfTheirClef)
{
    Document* document = Engine::Instance().NewDocument();
    const int16_t treble = document->AddStaff(0, CLEF_TREBLE);
    const int16_t bass = document->AddStaff(0, CLEF_BASS);
    const int16_t alto = document->AddStaff(0, CLEF_ALTO);
    document->AddMeasures(1);
    const auto t = tonaroapp::PlacementAt(document, treble, 1, 0, false);
    const auto b = tonaroapp::PlacementAt(document, bass, 1, 0, false);
    const auto a = tonaroapp::PlacementAt(document, alto, 1, 0, false);
    // 0 is the top line, -8 the bottom line.
    EXPECT_EQ(Position(t, "F5"), 0);
    EXPECT_EQ(Position(t, "E4"), -8);
    EXPECT_EQ(Position(t, "G4"), -6);
    EXPECT_EQ(Position(t, "C4"), -10);  // one ledger line below
    EXPECT_EQ(Position(t, "A5"), 2);    // one ledger line above
    EXPECT_EQ(Position(b, "A3"), 0);
    EXPECT_EQ(Position(b, "G2"), -8);
    EXPECT_EQ(Position(b, "F3"), -2);
    EXPECT_EQ(Position(b, "C4"), 2);
    EXPECT_EQ(Position(a, "C4"), -4);
    // The key moves the displacement, not the line: G major's B3 and C
    // major's B3 are on the same line.
    EXPECT_EQ(Position(t, "B3", 0x0001), Position(t, "B3", 0x0000));
    EXPECT_EQ(Position(t, "F#5", 0x0002), 0);
    // A clef changed for the staff moves its notes.
    document->SetStaffClef(treble, CLEF_BASS);
    EXPECT_EQ(Position(tonaroapp::PlacementAt(document, treble, 1, 0, false), "A3"), 0);
}

TEST_F(NotePlacementTest, TransposingStavesShowWrittenPitchUnlessTheScoreIsInConcertPitch)
{
    Document* document = Engine::Instance().NewDocument();
    const int16_t clarinet = document->AddStaff(0, CLEF_TREBLE);
    document->AddMeasures(1);
    // Written a step higher, the key two sharps sharper (an instrument in Bb).
    ASSERT_TRUE(document->SetStaffTransposition(clarinet, (1 << 6) | 2));
    const auto written = tonaroapp::PlacementAt(document, clarinet, 1, 0, tonaroapp::ShowsConcertPitch(document));
    EXPECT_FALSE(tonaroapp::ShowsConcertPitch(document));
    EXPECT_EQ(written.stepShift, 1);
    EXPECT_EQ(Position(written, "C4"), -9);  // concert C is written D
    EXPECT_EQ(tonaroapp::ShownKey(written, 0x0000), 0x0002);  // C major is written D major
    EXPECT_EQ(tonaroapp::ShownKey(written, 0x00FF), 0x0001);  // F major is written G major
    // Concert Bb is written C, natural under the written key; concert F#
    // is written G#.
    const NoteSpec bflat = Note("Bb4");
    EXPECT_EQ(tonaroapp::NoteStaffPosition(written, 0, bflat.displacement), -3);
    EXPECT_EQ(tonaroapp::ShownAlteration(written, 0, bflat.displacement, bflat.raiselower), 0);
    const NoteSpec fsharp = Note("F#4");
    EXPECT_EQ(tonaroapp::ShownAlteration(written, 0, fsharp.displacement, fsharp.raiselower), 1);
    EXPECT_EQ(tonaroapp::NoteStaffPosition(written, 0, fsharp.displacement), -6);

    ASSERT_TRUE(document->SetConcertPitch(true));
    EXPECT_TRUE(tonaroapp::ShowsConcertPitch(document));
    const auto concert = tonaroapp::PlacementAt(document, clarinet, 1, 0, tonaroapp::ShowsConcertPitch(document));
    EXPECT_EQ(Position(concert, "C4"), -10);
    EXPECT_EQ(tonaroapp::ShownKey(concert, 0x0000), 0x0000);
    EXPECT_EQ(tonaroapp::ShownAlteration(concert, 0, bflat.displacement, bflat.raiselower), -1);
    ASSERT_TRUE(document->SetConcertPitch(false));
    EXPECT_FALSE(tonaroapp::ShowsConcertPitch(document));
}

TEST_F(NotePlacementTest, TranspositionWordsDecodeInBothEncodings)
{
    using tonaroapp::DecodeTransposition;
    EXPECT_FALSE(DecodeTransposition(0).transposes);
    EXPECT_FALSE(DecodeTransposition(0x4000).transposes);
    auto first = DecodeTransposition(0x0041);
    EXPECT_TRUE(first.transposes);
    EXPECT_EQ(first.interval, 1);
    EXPECT_EQ(first.alteration, 1);
    first = DecodeTransposition(0x0FFF);
    EXPECT_EQ(first.interval, -1);
    EXPECT_EQ(first.alteration, -1);
    auto second = DecodeTransposition(0x2301);
    EXPECT_TRUE(second.secondEncoding);
    EXPECT_EQ(second.interval, 2);
    EXPECT_EQ(second.alteration, 3);
    EXPECT_EQ(tonaroapp::WrittenStepShift(second), 1);  // a second up is one step
    second = DecodeTransposition(0x2FFE);
    EXPECT_EQ(second.interval, -2);
    EXPECT_EQ(second.alteration, -1);
    EXPECT_EQ(tonaroapp::WrittenStepShift(second), -1);
    EXPECT_EQ(tonaroapp::TransposeKey(0x0100, 2), 0x0102);  // A minor to B minor
    EXPECT_EQ(tonaroapp::TransposeKey(0x4001, 2), 0x4001);  // non-standard keys stay
}

TEST_F(NotePlacementTest, AccidentalsAreShownExactlyWhereTheEnginesRuleShowsThem)
{
    Document* document = Engine::Instance().NewDocument();
    const int16_t staff = document->AddStaff();
    document->AddMeasures(2, 4, 1024, 0x0001);  // G major
    for (const char* name : {"F#4", "F#4", "F4", "F4"})
        document->AddEntry(staff, 1, 0, Entry({name}, 1024, 0x0001));
    document->AddEntry(staff, 2, 0, Entry({"C4", "Eb4", "Gx4"}, 4096, 0x0001));
    const auto placement = tonaroapp::PlacementAt(document, staff, 1, 0, false);
    auto accidentalOf = [&](int16_t measure, size_t index, size_t note) {
        const std::vector<EXENTRY> entries = document->Entries(staff, measure, 0);
        return tonaroapp::EntryAccidentals(document, entries.at(index), placement, 0x0001)[note];
    };
    EXPECT_EQ(accidentalOf(1, 0, 0), tonaroapp::kNoAccidental);  // the key gives F#
    EXPECT_EQ(accidentalOf(1, 1, 0), tonaroapp::kNoAccidental);
    EXPECT_EQ(accidentalOf(1, 2, 0), 0);                          // a natural
    EXPECT_EQ(accidentalOf(1, 3, 0), tonaroapp::kNoAccidental);  // still natural in the measure
    EXPECT_EQ(accidentalOf(2, 0, 0), tonaroapp::kNoAccidental);
    EXPECT_EQ(accidentalOf(2, 0, 1), -1);
    EXPECT_EQ(accidentalOf(2, 0, 2), 2);
    EXPECT_EQ(accidentalOf(2, 0, 3), tonaroapp::kNoAccidental);  // past the chord's notes
    // A rest has none.
    EXPECT_EQ(tonaroapp::EntryAccidentals(document, EXENTRY{}, placement, 0)[0], tonaroapp::kNoAccidental);
}

TEST_F(NotePlacementTest, TimeSignaturesAreToldAsMusiciansWriteThem)
{
    Document* document = Engine::Instance().NewDocument();
    document->AddStaff();
    document->AddMeasures(1, 4, 1024);
    document->AddMeasures(1, 2, 1536);  // two dotted quarters
    document->AddMeasures(1, 3, 2048);
    int numerator = 0;
    int denominator = 0;
    ASSERT_TRUE(tonaroapp::MeasureTimeSignature(document, 1, &numerator, &denominator));
    EXPECT_EQ(numerator, 4);
    EXPECT_EQ(denominator, 4);
    ASSERT_TRUE(tonaroapp::MeasureTimeSignature(document, 2, &numerator, &denominator));
    EXPECT_EQ(numerator, 6);
    EXPECT_EQ(denominator, 8);
    ASSERT_TRUE(tonaroapp::MeasureTimeSignature(document, 3, &numerator, &denominator));
    EXPECT_EQ(numerator, 3);
    EXPECT_EQ(denominator, 2);
    EXPECT_FALSE(tonaroapp::MeasureTimeSignature(document, 4, &numerator, &denominator));
    EXPECT_FALSE(tonaroapp::MeasureTimeSignature(nullptr, 1, &numerator, &denominator));
    EXPECT_EQ(numerator, 3);
}

}  // namespace
