// Normalising entry frames before the host stores them.
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "tonaropdk/bridge/cleantgf.h"

namespace {

EXENTRY Entry(std::vector<uint16_t> noteIds)
{
    EXENTRY entry;
    std::memset(&entry, 0, sizeof entry);
    entry.duration = 1024;
    entry.flags = EXENTRY_NOTE;
    entry.numNotes = static_cast<int16_t>(noteIds.size());
    for (size_t i = 0; i < noteIds.size(); ++i) {
        entry.notes[i].noteID = noteIds[i];
        entry.notes[i].flags = EXNOTE_INUSE;
        entry.notes[i].displacement = static_cast<int16_t>(i);
    }
    return entry;
}

EXTGF2005a FrameOf(std::vector<EXENTRY>& entries)
{
    EXTGF2005a frame{};
    frame.entries = entries.data();
    frame.numEntries = static_cast<int16_t>(entries.size());
    return frame;
}

std::vector<uint16_t> IdsOf(const EXENTRY& entry)
{
    std::vector<uint16_t> ids;
    for (int i = 0; i < entry.numNotes && i < EXENTRY_MAXNOTES; ++i) ids.push_back(entry.notes[i].noteID);
    return ids;
}

class CleanTGFTest : public ::testing::Test {
protected:
    void SetUp() override { CanAddNoteRecordToRests = true; }
    void TearDown() override { CanAddNoteRecordToRests = true; }
};

TEST_F(CleanTGFTest, NoteIdsBecomeNonZeroAndUniqueWithinTheEntry)
{
    struct Case {
        std::vector<uint16_t> before;
        std::vector<uint16_t> after;
    };
    const Case cases[] = {
        {{3, 3}, {4, 3}},
        {{0, 0}, {1, 2}},
        {{1, 2, 3}, {1, 2, 3}},
        {{5, 0, 5}, {6, 7, 5}},
        {{2, 0, 2, 2}, {3, 4, 5, 2}},
        {{0}, {1}},
        {{31, 31}, {32, 31}},
        // No ID wraps to 0 after the largest: the smallest free one is taken.
        {{0xFFFF, 0}, {0xFFFF, 1}},
        {{0xFFFE, 0, 0}, {0xFFFE, 0xFFFF, 1}},
        {{1, 0xFFFF, 0xFFFF, 0}, {1, 2, 0xFFFF, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.before));
        std::vector<EXENTRY> entries{Entry(c.before)};
        EXTGF2005a frame = FrameOf(entries);
        CleanTGF(&frame);
        EXPECT_EQ(IdsOf(entries[0]), c.after);
    }
}

TEST_F(CleanTGFTest, LowBitsOfEachIdAreMirroredInTheNoteFlags)
{
    std::vector<EXENTRY> entries{Entry({33, 2})};
    entries[0].notes[0].flags = EXNOTE_INUSE | EXNOTE_TIESTART | EXNOTE_IDCOPY_MASK;
    entries[0].notes[1].flags = EXNOTE_INUSE | EXNOTE_ACCIDENTAL;
    EXTGF2005a frame = FrameOf(entries);
    CleanTGF(&frame);
    // 33 is 0b100001: only its low five bits (1) are copied; other bits stay.
    EXPECT_EQ(+entries[0].notes[0].flags, EXNOTE_INUSE | EXNOTE_TIESTART | (1u << 16));
    EXPECT_EQ(+entries[0].notes[1].flags, EXNOTE_INUSE | EXNOTE_ACCIDENTAL | (2u << 16));
}

TEST_F(CleanTGFTest, UnusedNoteSlotsAreCleared)
{
    std::vector<EXENTRY> entries{Entry({1, 2})};
    for (int i = 2; i < EXENTRY_MAXNOTES; ++i) {
        entries[0].notes[i].noteID = 9;
        entries[0].notes[i].flags = 0xFFFFFFFF;
        entries[0].notes[i].displacement = -7;
    }
    EXTGF2005a frame = FrameOf(entries);
    CleanTGF(&frame);
    EXNOTE zero;
    std::memset(&zero, 0, sizeof zero);
    for (int i = 2; i < EXENTRY_MAXNOTES; ++i) {
        EXPECT_EQ(std::memcmp(&entries[0].notes[i], &zero, sizeof zero), 0) << "slot " << i;
    }
    EXPECT_EQ(entries[0].notes[1].displacement, 1);
}

TEST_F(CleanTGFTest, RestsGetOneNoteSlotWhileAllowed)
{
    std::vector<EXENTRY> entries{Entry({}), Entry({7})};
    entries[0].flags = 0;
    entries[0].notes[0].noteID = 4;
    EXTGF2005a frame = FrameOf(entries);
    CleanTGF(&frame);
    EXPECT_EQ(entries[0].numNotes, 1);
    EXPECT_EQ(+entries[0].notes[0].flags, 0x80000000u);
    EXPECT_EQ(entries[0].notes[0].noteID, 0);
    EXPECT_EQ(+entries[0].flags, EXENTRY_RESTNOTESLOT);
    EXPECT_EQ(entries[1].numNotes, 1);
    EXPECT_EQ(entries[1].notes[0].noteID, 7);

    CanAddNoteRecordToRests = false;
    std::vector<EXENTRY> more{Entry({})};
    more[0].flags = 0;
    EXTGF2005a other = FrameOf(more);
    CleanTGF(&other);
    EXPECT_EQ(more[0].numNotes, 0);
    EXPECT_EQ(+more[0].flags, 0u);
    EXPECT_EQ(+more[0].notes[0].flags, 0u);
}

TEST_F(CleanTGFTest, DamagedNoteCountsStayInsideTheRecord)
{
    // The sanitizer build catches any write outside the entry array.
    std::vector<EXENTRY> frameEntries{Entry({}), Entry({})};
    frameEntries[0].numNotes = 40;
    for (EXNOTE& note : frameEntries[0].notes) note.noteID = 6;
    frameEntries[1].numNotes = -3;
    frameEntries[1].notes[0].noteID = 5;
    EXTGF2005a frame = FrameOf(frameEntries);
    CleanTGF(&frame);

    EXPECT_EQ(frameEntries[0].numNotes, 40);
    std::vector<uint16_t> ids;
    for (const EXNOTE& note : frameEntries[0].notes) ids.push_back(note.noteID);
    EXPECT_EQ(ids, (std::vector<uint16_t>{7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 6}));
    EXPECT_EQ(frameEntries[1].numNotes, -3);
    EXPECT_EQ(frameEntries[1].notes[0].noteID, 0);
}

TEST_F(CleanTGFTest, NullFramesAndEmptyFramesAreLeftAlone)
{
    CleanTGF(nullptr);
    EXTGF2005a frame{};
    frame.numEntries = 3;  // but no entry array
    CleanTGF(&frame);
    EXPECT_EQ(frame.entries, nullptr);
    std::vector<EXENTRY> entries{Entry({0})};
    EXTGF2005a none = FrameOf(entries);
    none.numEntries = 0;
    CleanTGF(&none);
    EXPECT_EQ(entries[0].notes[0].noteID, 0);
}

}  // namespace
