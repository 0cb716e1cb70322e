// Settings pairs: lines to pairs (first "=" splits, trimming, lines without a
// pair), case-insensitive lookup, replacing and appending values, and a file
// written and read back.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tempfolder.h"
#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/base/fcstrings.h"
#include "tonaroframework/stream/fcsettingspair.h"
#include "tonaroframework/stream/fcsettingspairs.h"
#include "tonaroframework/stream/fctextfilestream.h"

namespace {

std::unique_ptr<FCSettingsPairs> PairsOf(const std::vector<const char*>& lines)
{
    FCStrings strings;
    for (const char* line : lines) strings.AddCString(line);
    return std::unique_ptr<FCSettingsPairs>(strings.CreateSettingsPairs());
}

// "key=value;" for every pair, in order.
std::string Describe(const FCSettingsPairs& pairs)
{
    std::string text;
    for (int i = 0; i < pairs.GetCount(); ++i) {
        const FCSettingsPair* pair = pairs.GetItemAt(i);
        text += std::string(pair->GetKey()->GetCString()) + "=" + pair->GetValue()->GetCString() + ";";
    }
    return text;
}

TEST(SettingsPairsTest, LinesBecomePairsSplitAtTheFirstEquals)
{
    auto pairs = PairsOf({
        " \tKEY_A \t=  value a\t ",  // blanks and tabs around key and value go
        "=no key",                   // "=" first: no pair
        "no equals here",            // no "=": no pair
        "",                          // empty line: no pair
        "EMPTY=",                    // empty value
        "FORMULA=a=b=c",             // the value keeps later "="
        "KEY_A=second",              // duplicates are kept, in file order
    });
    EXPECT_EQ(Describe(*pairs), "KEY_A=value a;EMPTY=;FORMULA=a=b=c;KEY_A=second;");
}

TEST(SettingsPairsTest, FindKeyIgnoresCaseAndAnswersTheFirstMatch)
{
    auto pairs = PairsOf({"ZPCHANGEPITCHES_TO=Bb", "zpchangepitches_to=second", "OTHER=1"});
    FCString lower("zpchangepitches_to");
    FCSettingsPair* found = pairs->FindKey(&lower);
    ASSERT_NE(found, nullptr);
    EXPECT_TRUE(found->GetValue()->IsEqualCString("Bb"));
    FCString missing("ZPCHANGEPITCHES_FROM");
    EXPECT_EQ(pairs->FindKey(&missing), nullptr);
    EXPECT_EQ(pairs->FindKey(nullptr), nullptr);
    FCString prefix("OTHE");
    EXPECT_EQ(pairs->FindKey(&prefix), nullptr);  // whole keys only
}

TEST(SettingsPairsTest, AddKeyValueReplacesInPlaceOrAppends)
{
    auto pairs = PairsOf({"FIRST=1", "SECOND=2", "THIRD=3"});
    FCString second("second"), value(" new ");
    FCSettingsPair* replaced = pairs->AddKeyValue(&second, &value);
    ASSERT_EQ(replaced, pairs->GetItemAt(1));
    // The existing pair keeps its place and key; the new value is not trimmed.
    EXPECT_EQ(Describe(*pairs), "FIRST=1;SECOND= new ;THIRD=3;");

    FCString fourth(" FOURTH "), four(" 4 ");
    FCSettingsPair* added = pairs->AddKeyValue(&fourth, &four);
    EXPECT_EQ(added, pairs->GetItemAt(3));
    EXPECT_EQ(Describe(*pairs), "FIRST=1;SECOND= new ;THIRD=3;FOURTH=4;");

    // A key given with blanks finds its stored, trimmed pair instead of
    // adding a second pair that lookups would never reach.
    FCString padded("  third\t"), three("three");
    EXPECT_EQ(pairs->AddKeyValue(&padded, &three), pairs->GetItemAt(2));
    EXPECT_EQ(pairs->GetCount(), 4);
    FCString third("THIRD");
    EXPECT_TRUE(pairs->FindKey(&third)->GetValue()->IsEqualCString("three"));

    EXPECT_EQ(pairs->AddKeyValue(nullptr, &three), nullptr);
    FCString nullValue("NULLVALUE");
    ASSERT_NE(pairs->AddKeyValue(&nullValue, nullptr), nullptr);
    EXPECT_TRUE(pairs->FindKey(&nullValue)->GetValue()->IsEmpty());
}

// Reads a settings file through the stream and builds its pairs.
std::unique_ptr<FCSettingsPairs> ReadPairs(const TempFolder& folder, const char* name)
{
    FCString file(name);
    FCTextFileStream stream(folder.Path().c_str(), &file);
    if (!stream.OpenRead()) return nullptr;
    std::unique_ptr<FCStrings> lines(stream.ReadStrings());
    stream.Close();
    return std::unique_ptr<FCSettingsPairs>(lines->CreateSettingsPairs());
}

TEST(SettingsPairsTest, CarriageReturnLineEndsReadAsTheSamePairs)
{
    TempFolder folder;
    folder.Write("lf.txt", "A=1\nB = two\n\nC=x=y\n");
    folder.Write("crlf.txt", "A=1\r\nB = two\r\n\r\nC=x=y\r\n");
    folder.Write("cr.txt", "A=1\rB = two\r\rC=x=y");
    auto lf = ReadPairs(folder, "lf.txt");
    auto crlf = ReadPairs(folder, "crlf.txt");
    auto cr = ReadPairs(folder, "cr.txt");
    ASSERT_TRUE(lf && crlf && cr);
    EXPECT_EQ(Describe(*lf), "A=1;B=two;C=x=y;");
    EXPECT_EQ(Describe(*crlf), Describe(*lf));
    EXPECT_EQ(Describe(*cr), Describe(*lf));
}

TEST(SettingsPairsTest, PairsSurviveAWriteAndARead)
{
    TempFolder folder;
    folder.Write("prefs.txt", "OTHER_PROGRAM=keep me\nnot a pair\nZPCHANGEPITCHES_TO=Bb\n");
    auto pairs = ReadPairs(folder, "prefs.txt");
    ASSERT_NE(pairs, nullptr);
    FCString key("zpchangepitches_to"), value("G#"), added("NEW_KEY"), one("1");
    pairs->AddKeyValue(&key, &value);
    pairs->AddKeyValue(&added, &one);

    FCString name("prefs.txt");
    FCTextFileStream writer(folder.Path().c_str(), &name);
    ASSERT_TRUE(writer.OpenWrite());
    EXPECT_TRUE(writer.WriteSettingsPairs(pairs.get()));
    ASSERT_TRUE(writer.Close());

    // Other programs' keys keep their order; the line without a pair is gone.
    EXPECT_EQ(folder.Read("prefs.txt"), "OTHER_PROGRAM=keep me\nZPCHANGEPITCHES_TO=G#\nNEW_KEY=1\n");
    auto again = ReadPairs(folder, "prefs.txt");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(Describe(*again), Describe(*pairs));
}

}  // namespace
