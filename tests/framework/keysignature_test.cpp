// Key-signature arithmetic: transposition of key IDs, sharps and flats,
// tonic letters and steps, which letters a signature alters, names and
// identity.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/data/fckeysignature.h"
#include "tonaroframework/data/fctimesignature.h"

namespace {

std::string Name(uint16_t id, int16_t transposition = 0)
{
    FCKeySignature key(id);
    key.SetTransposition(transposition);
    FCString text("previous");
    key.MakeString(&text);
    return text.GetCString();
}

// The letters (A = 0) that a key alters, as a string such as "FC".
std::string Altered(const FCKeySignature& key, bool sharps)
{
    std::string letters;
    for (int letter = 0; letter < 7; ++letter)
        if (sharps ? key.IsSharpNote(letter) : key.IsFlatNote(letter)) letters += static_cast<char>('A' + letter);
    return letters;
}

}  // namespace

TEST(KeySignature, TranspositionWrapsTheSignedCount)
{
    FCKeySignature g(0x0001);
    g.SetTransposition(2);
    EXPECT_EQ(g.GetIDWithTransposition(), 0x0003);  // A major
    FCKeySignature f(0x00FF);
    f.SetTransposition(2);
    EXPECT_EQ(f.GetIDWithTransposition(), 0x0001);  // G major
    FCKeySignature d(0x0102);                        // B minor
    d.SetTransposition(-3);
    EXPECT_EQ(d.GetIDWithTransposition(), 0x01FF);  // D minor keeps its minor bit
    FCKeySignature c(0x0000);
    c.SetTransposition(-1);
    EXPECT_EQ(c.GetIDWithTransposition(), 0x00FF);
    // Other IDs are left alone.
    for (uint16_t id : {0x0200, 0x3FFF, 0x4000, 0xFFFF}) {
        FCKeySignature other(static_cast<uint16_t>(id));
        other.SetTransposition(3);
        EXPECT_EQ(other.GetIDWithTransposition(), id);
    }
}

TEST(KeySignature, SharpsAndFlats)
{
    EXPECT_EQ(FCKeySignature(0x0003).CalcSharps(), 3);
    EXPECT_EQ(FCKeySignature(0x0003).CalcFlats(), 0);
    EXPECT_EQ(FCKeySignature(0x00FD).CalcFlats(), 3);
    EXPECT_EQ(FCKeySignature(0x00FD).CalcSharps(), 0);
    EXPECT_EQ(FCKeySignature(0x01FF).CalcFlats(), 1);
    EXPECT_EQ(FCKeySignature(0x0000).CalcSharps(), 0);
    EXPECT_EQ(FCKeySignature(0x0000).CalcFlats(), 0);
    EXPECT_EQ(FCKeySignature(0x0200).CalcSharps(), -1);
    EXPECT_EQ(FCKeySignature(0x4000).CalcFlats(), -1);
    FCKeySignature transposed(0x0001);
    transposed.SetTransposition(-4);
    EXPECT_EQ(transposed.CalcFlats(), 3);
}

TEST(KeySignature, TonicLetterOfEveryCount)
{
    const char* major = "CGDAEBFC";
    const char* minor = "AEBFCGDA";
    for (int sharps = 0; sharps <= 7; ++sharps) {
        EXPECT_EQ('A' + FCKeySignature(static_cast<uint16_t>(sharps)).CalcScaleRootIndex(), major[sharps]) << sharps;
        EXPECT_EQ('A' + FCKeySignature(static_cast<uint16_t>(0x0100 + sharps)).CalcScaleRootIndex(), minor[sharps]);
    }
    const char* majorFlats = "FBEADGC";
    const char* minorFlats = "DGCFBEA";
    for (int flats = 1; flats <= 7; ++flats) {
        const auto low = static_cast<uint16_t>((256 - flats) & 0xFF);
        EXPECT_EQ('A' + FCKeySignature(low).CalcScaleRootIndex(), majorFlats[flats - 1]) << flats;
        EXPECT_EQ('A' + FCKeySignature(static_cast<uint16_t>(0x0100 | low)).CalcScaleRootIndex(),
                  minorFlats[flats - 1]);
    }
    EXPECT_EQ(FCKeySignature(0x0200).CalcScaleRootIndex(), -1);
    // More than seven: the table repeats.
    EXPECT_EQ(FCKeySignature(0x0009).CalcScaleRootIndex(), 3);  // 9 sharps: D
}

TEST(KeySignature, RootRelationSteps)
{
    // Step index from C of the major tonic.
    EXPECT_EQ(FCKeySignature(0x0000).CalcRootRelationIndex(), 0);
    EXPECT_EQ(FCKeySignature(0x0001).CalcRootRelationIndex(), 4);  // G
    EXPECT_EQ(FCKeySignature(0x0003).CalcRootRelationIndex(), 5);  // A
    EXPECT_EQ(FCKeySignature(0x00FF).CalcRootRelationIndex(), 3);  // F
    EXPECT_EQ(FCKeySignature(0x00FD).CalcRootRelationIndex(), 2);  // E(b)
    EXPECT_EQ(FCKeySignature(0x00F9).CalcRootRelationIndex(), 0);  // C(b)
    // The minor tonic lies two steps below.
    EXPECT_EQ(FCKeySignature(0x0100).CalcRootRelationAbsoluteIndex(), 5);  // A
    EXPECT_EQ(FCKeySignature(0x0101).CalcRootRelationAbsoluteIndex(), 2);  // E
    EXPECT_EQ(FCKeySignature(0x01FF).CalcRootRelationAbsoluteIndex(), 1);  // D
    EXPECT_EQ(FCKeySignature(0x0001).CalcRootRelationAbsoluteIndex(), 4);  // major: unchanged
    EXPECT_EQ(FCKeySignature(0x0200).CalcRootRelationIndex(), -1);
    EXPECT_EQ(FCKeySignature(0x4000).CalcRootRelationAbsoluteIndex(), -1);
}

TEST(KeySignature, AlteredLettersFollowTheOrders)
{
    const char* sharpOrder = "FCGDAEB";
    const char* flatOrder = "BEADGCF";
    for (int count = 0; count <= 7; ++count) {
        std::string expectSharps(sharpOrder, static_cast<size_t>(count));
        std::string expectFlats(flatOrder, static_cast<size_t>(count));
        std::sort(expectSharps.begin(), expectSharps.end());
        std::sort(expectFlats.begin(), expectFlats.end());
        EXPECT_EQ(Altered(FCKeySignature(static_cast<uint16_t>(count)), true), expectSharps) << count;
        EXPECT_EQ(Altered(FCKeySignature(static_cast<uint16_t>(count)), false), "");
        const auto flats = static_cast<uint16_t>((256 - count) & 0xFF);
        EXPECT_EQ(Altered(FCKeySignature(flats), false), expectFlats) << count;
        EXPECT_EQ(Altered(FCKeySignature(flats), true), "");
    }
    FCKeySignature d(0x0002);
    EXPECT_FALSE(d.IsSharpNote(-1));
    EXPECT_FALSE(d.IsSharpNote(7));
    EXPECT_FALSE(FCKeySignature(0x0205).IsSharpNote(5));
}

TEST(KeySignature, Names)
{
    EXPECT_EQ(Name(0x0000), "C major");
    EXPECT_EQ(Name(0x00FD), "E flat major");
    EXPECT_EQ(Name(0x0103), "f sharp minor");
    EXPECT_EQ(Name(0x00FF), "F major");
    EXPECT_EQ(Name(0x01FF), "d minor");
    EXPECT_EQ(Name(0x0007), "C sharp major");
    EXPECT_EQ(Name(0x00F9), "C flat major");
    EXPECT_EQ(Name(0x0001, 2), "A major");
    EXPECT_EQ(Name(0x0200), "");
    EXPECT_EQ(Name(0x4000), "");
    FCKeySignature().MakeString(nullptr);  // nothing happens
}

TEST(KeySignature, IdentityComparesTheSoundingSignature)
{
    FCKeySignature g(0x0001);
    FCKeySignature alsoG(0x0000);
    alsoG.SetTransposition(1);
    EXPECT_TRUE(g.IsIdentical(&alsoG));
    EXPECT_FALSE(g.IsIdentical(nullptr));
    FCKeySignature eMinor(0x0101);  // same signature, minor
    EXPECT_FALSE(g.IsIdentical(&eMinor));
    FCKeySignature d(0x0002);
    EXPECT_FALSE(g.IsIdentical(&d));
    FCTimeSignature time;
    EXPECT_FALSE(g.IsIdentical(&time));
    FCKeySignature odd(0x0300);
    FCKeySignature odd2(0x0400);
    EXPECT_TRUE(odd.IsIdentical(&odd2));  // both non-standard: nothing tells them apart
}

TEST(KeySignature, ClonesCarryIdAndTransposition)
{
    FCKeySignature key(0x0103);
    key.SetTransposition(-2);
    FCKeySignature* clone = static_cast<FCKeySignature*>(key.CreateClone());
    ASSERT_NE(clone, nullptr);
    EXPECT_STREQ(clone->ClassName(), "FCKeySignature");
    EXPECT_EQ(clone->GetID(), 0x0103);
    EXPECT_EQ(clone->GetTransposition(), -2);
    delete clone;
    // A key is never stored by itself.
    EXPECT_FALSE(key.Save());
    EXPECT_FALSE(key.LoadFirst());
}
