// Entry details against the engine: creating them as an entry's next
// record, marking the entry, walking and loading them through the entry's
// collections, deleting with the incis closing up, and details tied to one
// note by its ID.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "enginefixture.h"
#include "tonaroframework/data/fcarticulations.h"
#include "tonaroframework/data/fcnoteheadmods.h"
#include "tonaroframework/data/fcperformancemods.h"
#include "tonaroframework/data/fctuplets.h"
#include "tonaroframework/music/fcnote.h"
#include "tonaroframework/music/fcnoteentry.h"
#include "tonaroframework/music/fcnoteentrycell.h"
#include "tonaropdk/hostapi/entrydetails.h"
#include "tonaropdk/hostapi/recordtags.h"

class EntryDetails : public EngineFixture {
protected:
    void SetUp() override
    {
        EngineFixture::SetUp();
        AddStaves({7, 3});
        doc->AddMeasures(2);
        chordNumber = AddNotes(3, 1, 0, {"C4", "E4", "G4"});
        AddNotes(3, 1, 0, {"D4"});
        cell = std::make_unique<FCNoteEntryCell>(1, 3);
        ASSERT_TRUE(cell->Load());
        ASSERT_EQ(cell->GetCount(), 2);
        chord = cell->GetItemAt(0);
        ASSERT_EQ(chord->GetEntryNumber(), chordNumber);
    }

    // The stored flags of the chord (what the document holds).
    uint32_t StoredFlags()
    {
        EXENTRY record{};
        EXPECT_TRUE(doc->FindEntry(chordNumber, &record, nullptr));
        return record.flags;
    }

    bool HasRecord(EDTAG tag, uint16_t inci, std::vector<uint8_t>* out = nullptr)
    {
        std::vector<uint8_t> bytes;
        const EDataAddress address{
            {static_cast<uint16_t>(chordNumber & 0xFFFF), static_cast<uint16_t>(chordNumber >> 16), inci, 0}};
        const bool found = doc->LoadRecord(tag, address, &bytes);
        if (out) *out = bytes;
        return found;
    }

    int16_t StoredArticulation(uint16_t inci)
    {
        std::vector<uint8_t> bytes;
        if (!HasRecord(TAG_ARTICULATION, inci, &bytes) || bytes.size() < sizeof(EDTArticulation)) return -1;
        EDTArticulation record;
        std::memcpy(&record, bytes.data(), sizeof record);
        return record.definition;
    }

    uint32_t chordNumber = 0;
    std::unique_ptr<FCNoteEntryCell> cell;
    FCNoteEntry* chord = nullptr;
};

TEST_F(EntryDetails, CreateMarksTheEntry)
{
    FCArticulation unconnected;
    EXPECT_FALSE(unconnected.SaveNew());
    EXPECT_FALSE(unconnected.LoadFirst());

    FCArticulation accent;
    accent.SetNoteEntry(chord);
    EXPECT_EQ(accent.GetEntryNumber(), chordNumber);
    accent.SetID(5);
    ASSERT_TRUE(accent.SaveNew());  // a fresh record: its whole structure is stored
    EXPECT_EQ(accent.GetItemInci(), 0);
    EXPECT_EQ(accent.GetLoadedSize(), sizeof(EDTArticulation));
    EXPECT_NE(chord->GetFlags() & EXENTRY_ARTICULATION, 0u);
    EXPECT_EQ(chord->GetFlags() & EXENTRY_NOTEDETAIL, 0u);
    EXPECT_EQ(StoredFlags() & EXENTRY_ARTICULATION, 0u);  // in the frame until the cell is saved
    ASSERT_TRUE(cell->Save());
    EXPECT_NE(StoredFlags() & EXENTRY_ARTICULATION, 0u);

    FCArticulation staccato;
    staccato.SetNoteEntry(chord);
    staccato.SetID(7);
    ASSERT_TRUE(staccato.SaveNew());
    EXPECT_EQ(staccato.GetItemInci(), 1);
    EXPECT_EQ(StoredArticulation(0), 5);
    EXPECT_EQ(StoredArticulation(1), 7);

    std::unique_ptr<FCArticulations> all(chord->CreateArticulations());
    ASSERT_EQ(all->GetCount(), 2);
    EXPECT_EQ(all->GetItemAt(0)->GetID(), 5);
    EXPECT_EQ(all->GetItemAt(1)->GetID(), 7);
    EXPECT_EQ(all->GetItemAt(1)->GetNoteEntry(), chord);
    std::unique_ptr<FCArticulations> none(cell->GetItemAt(1)->CreateArticulations());
    EXPECT_EQ(none->GetCount(), 0);
}

TEST_F(EntryDetails, UnstoredEntryTakesNoDetails)
{
    FCNoteEntry* appended = cell->AppendEntriesInLayer(1, 1);
    ASSERT_NE(appended, nullptr);
    ASSERT_EQ(appended->GetEntryNumber(), 0u);
    FCTuplet tuplet;
    tuplet.SetNoteEntry(appended);
    EXPECT_FALSE(tuplet.SaveNew());
    FCTuplets tuplets;
    tuplets.SetNoteEntry(appended);
    EXPECT_EQ(tuplets.LoadAll(), 0);
    EXPECT_EQ(appended->GetFlags() & EXENTRY_TUPLETSTART, 0u);
}

TEST_F(EntryDetails, WalkPastTheLastRestoresTheInci)
{
    for (int16_t id : {1, 2}) {
        FCArticulation art;
        art.SetNoteEntry(chord);
        art.SetID(id);
        ASSERT_TRUE(art.SaveNew());
    }
    FCArticulation walker;
    walker.SetNoteEntry(chord);
    ASSERT_TRUE(walker.LoadFirst());
    ASSERT_TRUE(walker.LoadNext());
    EXPECT_EQ(walker.GetID(), 2);
    EXPECT_FALSE(walker.LoadNext());
    EXPECT_EQ(walker.GetItemInci(), 1);
    EXPECT_EQ(walker.GetLoadedSize(), 0u);
    EXPECT_FALSE(walker.Save());
    ASSERT_TRUE(walker.Load(chordNumber, 1));
    walker.SetID(9);
    ASSERT_TRUE(walker.SaveAs(chordNumber, 0));  // over the first one
    EXPECT_EQ(StoredArticulation(0), 9);
    EXPECT_EQ(StoredArticulation(1), 2);
}

TEST_F(EntryDetails, DestroyClosesTheIncis)
{
    FCArticulations list;
    list.SetNoteEntry(chord);
    for (int16_t id : {10, 20, 30}) {
        auto* art = list.CreateElement();
        art->SetID(id);
        list.Add(art);
    }
    EXPECT_FALSE(FCArticulations().SaveNew());  // no entry
    ASSERT_TRUE(list.SaveNew());
    EXPECT_EQ(list.GetItemAt(2)->GetItemInci(), 2);

    ASSERT_TRUE(list.DestroyItemAt(0));
    ASSERT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.GetItemAt(0)->GetItemInci(), 0);
    EXPECT_EQ(list.GetItemAt(1)->GetItemInci(), 1);
    // Collection and document agree: inci 0 holds 20, inci 1 holds 30.
    EXPECT_EQ(StoredArticulation(0), 20);
    EXPECT_EQ(StoredArticulation(1), 30);
    EXPECT_FALSE(HasRecord(TAG_ARTICULATION, 2));
    list.GetItemAt(1)->SetID(31);
    ASSERT_TRUE(list.GetItemAt(1)->Save());
    EXPECT_EQ(StoredArticulation(1), 31);
    EXPECT_EQ(StoredArticulation(0), 20);

    EXPECT_FALSE(list.DestroyItemAt(5));
    ASSERT_TRUE(list.DestroyItemAt(1));
    EXPECT_FALSE(list.DestroyItemAt(0));  // none left
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_FALSE(HasRecord(TAG_ARTICULATION, 0));

    FCArticulations reloaded;
    EXPECT_EQ(reloaded.LoadAllForENTNUM(chordNumber), 0);
}

TEST_F(EntryDetails, LoadAllForAnEntryNumber)
{
    FCPerformanceMod mod;
    mod.SetNoteEntry(chord);
    mod.SetVelocityDelta(12);
    ASSERT_TRUE(mod.SaveNew());
    FCPerformanceMods mods;
    EXPECT_EQ(mods.LoadAllForENTNUM(0), 0);
    ASSERT_EQ(mods.LoadAllForENTNUM(chordNumber), 1);
    EXPECT_EQ(mods.GetItemAt(0)->GetVelocityDelta(), 12);
    EXPECT_EQ(mods.LoadAllForENTNUM(chordNumber + 1), 0);
}

TEST_F(EntryDetails, NoteDetailsFollowTheNoteID)
{
    FCNote* c = chord->GetItemAt(0);
    FCNote* e = chord->GetItemAt(1);
    FCNote* g = chord->GetItemAt(2);
    ASSERT_NE(g, nullptr);

    FCNoteheadMod probe;
    EXPECT_FALSE(probe.LoadAt(e));  // the entry has no note details
    EXPECT_FALSE(probe.LoadAt(nullptr));
    EXPECT_FALSE(probe.SaveAt(nullptr));

    FCNoteheadMod big;
    big.SetResize(150);
    ASSERT_TRUE(big.SaveAt(e));
    EXPECT_EQ(big.GetNoteID(), e->GetNoteID());
    EXPECT_EQ(big.GetItemInci(), 0);
    EXPECT_EQ(big.GetNoteEntry(), chord);
    EXPECT_NE(chord->GetFlags() & EXENTRY_NOTEDETAIL, 0u);

    FCNoteheadMod small;
    small.SetResize(50);
    ASSERT_TRUE(small.SaveAt(g));
    EXPECT_EQ(small.GetItemInci(), 1);
    EXPECT_EQ(small._ScanForNoteID(chord, g->GetNoteID()), 1);
    EXPECT_EQ(small._ScanForNoteID(chord, c->GetNoteID()), -1);

    // Saving for a note that has its record writes over it.
    big.SetResize(175);
    ASSERT_TRUE(big.SaveAt(e));
    EXPECT_EQ(big.GetItemInci(), 0);

    FCNoteheadMod reader;
    ASSERT_TRUE(reader.LoadAt(e));
    EXPECT_EQ(reader.GetResize(), 175);
    ASSERT_TRUE(reader.LoadAt(g));
    EXPECT_EQ(reader.GetResize(), 50);
    EXPECT_FALSE(reader.LoadAt(c));

    std::unique_ptr<FCNoteheadMods> mods(chord->CreateNoteheadMods());
    ASSERT_EQ(mods->GetCount(), 2);
    ASSERT_NE(mods->FindNoteID(g->GetNoteID()), nullptr);
    EXPECT_EQ(mods->FindNoteID(g->GetNoteID())->GetResize(), 50);
    EXPECT_EQ(mods->FindNoteID(c->GetNoteID()), nullptr);

    SetTonaroFrameworkVersion(0x0F000000);
    EXPECT_EQ(reader.VeltraVersion(), 0x07000000u);
}

TEST_F(EntryDetails, PerformanceDetailsUseTheirOwnMark)
{
    FCNote* e = chord->GetItemAt(1);
    FCPerformanceMod mod;
    EXPECT_FALSE(mod.LoadAt(e));
    mod.SetStartOffset(-64);
    ASSERT_TRUE(mod.SaveAt(e));
    EXPECT_NE(chord->GetFlags() & EXENTRY_PERFORMANCE, 0u);
    EXPECT_EQ(chord->GetFlags() & EXENTRY_NOTEDETAIL, 0u);
    FCPerformanceMod reader;
    ASSERT_TRUE(reader.LoadAt(e));
    EXPECT_EQ(reader.GetStartOffset(), -64);
    EXPECT_EQ(reader.VeltraVersion(), 0x07000000u);

    // A plain create marks the entry for its notes too.
    FCNoteEntry* single = cell->GetItemAt(1);
    FCPerformanceMod plain;
    plain.SetNoteEntry(single);
    ASSERT_TRUE(plain.SaveNew());
    EXPECT_NE(single->GetFlags() & EXENTRY_PERFORMANCE, 0u);
}

TEST_F(EntryDetails, TupletsMarkTheStart)
{
    FCTuplet triplet;
    triplet.SetNoteEntry(chord);
    triplet.SetSymbolicNumber(3);
    triplet.SetSymbolicDuration(512);
    triplet.SetReferenceNumber(2);
    triplet.SetReferenceDuration(512);
    ASSERT_TRUE(triplet.SaveNew());
    EXPECT_NE(chord->GetFlags() & EXENTRY_TUPLETSTART, 0u);
    EXPECT_NE(EXENTRY_TUPLETSTART & EXENTRY_DETAILMASK, 0u);  // copies drop it
    std::unique_ptr<FCTuplets> tuplets(chord->CreateTuplets());
    ASSERT_EQ(tuplets->GetCount(), 1);
    EXPECT_EQ(tuplets->GetItemAt(0)->GetSymbolicNumber(), 3);
    EXPECT_EQ(tuplets->GetItemAt(0)->GetReferenceDuration(), 512);
}
