#include "tonaroframework/base/fcstring.h"

#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <memory>
#include <string>
#include <vector>

#include "tonaroframework/base/casefolding.h"
#include "tonaroframework/base/fcstrings.h"
#include "tonaroframework/base/frameworkversion.h"

namespace {

// Sets the host version word for one test and puts the old one back.
class HostVersion {
public:
    explicit HostVersion(uint32_t version) : _saved(GetTonaroFrameworkVersion())
    {
        SetTonaroFrameworkVersion(version);
    }
    ~HostVersion() { SetTonaroFrameworkVersion(_saved); }

private:
    uint32_t _saved;
};

std::vector<std::string> Items(const FCStrings* list)
{
    std::vector<std::string> items;
    for (int i = 0; i < list->GetCount(); ++i)
        items.push_back(list->GetItemAt(i) ? list->GetItemAt(i)->GetCString() : "<null>");
    return items;
}

std::vector<unsigned short> UnitsOf(const FCString& text)
{
    std::vector<unsigned short> units;
    for (uint32_t i = 0; i < text.GetLength(); ++i) units.push_back(text.GetItemAt(static_cast<int>(i)));
    return units;
}

}  // namespace

TEST(FCStringStorage, NewAndReleasedStringsAreEmptyAndGrowInStepsOfTen)
{
    FCString text;
    EXPECT_EQ(text.GetLength(), 0u);
    EXPECT_EQ(text.GetCapacity(), 10u);
    EXPECT_STREQ(text.GetCString(), "");

    text.SetCString(nullptr);
    EXPECT_EQ(text.GetCapacity(), 0u);
    EXPECT_EQ(text._GetUnicodeBuffer(), nullptr);
    EXPECT_STREQ(text.GetCString(), "");
    EXPECT_STREQ(text.GetUTF8String(), "");
    EXPECT_EQ(text.GetItemAt(0), 0);
    text.AppendCharacter('a');
    EXPECT_EQ(text.GetCapacity(), 10u);

    for (int i = 1; i < 9; ++i) text.AppendCharacter('a');
    EXPECT_EQ(text.GetLength(), 9u);
    EXPECT_EQ(text.GetCapacity(), 10u);
    text.AppendCharacter('a');
    EXPECT_EQ(text.GetCapacity(), 20u);
    EXPECT_STREQ(text.GetCString(), "aaaaaaaaaa");
}

TEST(FCStringSetting, CountsAndZeroTerminatorsLimitTheCopy)
{
    FCString text;
    text.SetCString("abc", 2);
    EXPECT_STREQ(text.GetCString(), "ab");
    text.SetCString("abc", 0);
    EXPECT_EQ(text.GetLength(), 0u);
    text.SetCString("abc", 10);
    EXPECT_STREQ(text.GetCString(), "abc");

    const unsigned short units[] = {'x', 'y', 0, 'z'};
    text.SetUnicodeString(units, -1);
    EXPECT_STREQ(text.GetCString(), "xy");
    text.SetUnicodeString(units, 1);
    EXPECT_STREQ(text.GetCString(), "x");
    text.SetUnicodeString(units, 4);
    EXPECT_STREQ(text.GetCString(), "xy");
    text.SetUnicodeString(nullptr, 3);
    EXPECT_TRUE(text.IsEmpty());
}

TEST(FCStringSetting, EightBitTextWidensAsLatin1BothWays)
{
    FCString set;
    set.SetCString("\xE9");
    FCString appended;
    appended.AppendCString("\xE9");
    EXPECT_EQ(set.GetItemAt(0), 0xE9);
    EXPECT_TRUE(set.IsEqualString(&appended));
    EXPECT_STREQ(set.GetCString(), "\xE9");
}

TEST(FCStringSetting, SetStringAppendAndInsertCopeWithTheStringItself)
{
    FCString text("ab");
    text.SetString(&text);
    EXPECT_STREQ(text.GetCString(), "ab");
    text.AppendString(&text);
    EXPECT_STREQ(text.GetCString(), "abab");
    EXPECT_TRUE(text.InsertString(&text, 2));
    EXPECT_STREQ(text.GetCString(), "ababab" "ab");
    text.SetString(nullptr);
    EXPECT_TRUE(text.IsEmpty());

    FCString word("ace");
    EXPECT_TRUE(word.Insert("b", 1));
    EXPECT_TRUE(word.Insert("d", 3));
    EXPECT_TRUE(word.Insert("f", 5));
    EXPECT_STREQ(word.GetCString(), "abcdef");
    EXPECT_FALSE(word.Insert("x", 7));
    EXPECT_FALSE(word.Insert("x", -1));
    EXPECT_FALSE(word.Insert(nullptr, 0));
    EXPECT_STREQ(word.GetCString(), "abcdef");

    std::unique_ptr<FCString> copy(word.CreateCopy());
    word.SetItemAt(0, 'z');
    EXPECT_STREQ(copy->GetCString(), "abcdef");
}

TEST(FCStringSetting, SetItemAtFoldsHighUnitsAndIgnoresBadIndexes)
{
    FCString text("abc");
    text.SetItemAt(0, 0xFFE9);
    EXPECT_EQ(text.GetItemAt(0), 0xE9);
    text.SetItemAt(1, 0xFEB0);
    EXPECT_EQ(text.GetItemAt(1), 0xFEB0);
    text.SetItemAt(3, 'x');
    text.SetItemAt(-1, 'x');
    EXPECT_EQ(text.GetLength(), 3u);
    EXPECT_EQ(text.GetItemAt(2), 'c');
    EXPECT_EQ(text.GetItemAt(-1), 0);
    EXPECT_EQ(text.GetItemAt(3), 0);
}

TEST(FCStringReading, CopiesToUnicodeBuffersAndPascalStrings)
{
    FCString text("hello");
    unsigned short buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), 0xAAAA);
    text.CopyToUnicodeBuffer(buffer, 3);
    EXPECT_EQ(buffer[0], 'h');
    EXPECT_EQ(buffer[1], 'e');
    EXPECT_EQ(buffer[2], 0);
    EXPECT_EQ(buffer[3], 0xAAAA);
    text.CopyToUnicodeBuffer(buffer, 0);
    EXPECT_EQ(buffer[4], 'o');
    EXPECT_EQ(buffer[5], 0);
    text.CopyToUnicodeBuffer(buffer, -1);  // does nothing
    text.CopyToUnicodeBuffer(nullptr, 4);

    unsigned char pascal[256];
    text.ConvertToPascal(pascal);
    EXPECT_EQ(pascal[0], 5);
    EXPECT_EQ(pascal[5], 'o');
    FCString longText;
    for (int i = 0; i < 300; ++i) longText.AppendCharacter('x');
    EXPECT_EQ(longText.ConvertToPascal(pascal)[0], 255);
    EXPECT_STREQ(FCString::GetEOL(), "\n");
}

TEST(FCStringUTF8, EncodesExactlyEvenWhenLongerThanTwiceTheLength)
{
    HostVersion version(0x12000000);
    // Three-byte and four-byte characters are longer than 2 bytes per unit.
    FCString text;
    EXPECT_TRUE(text.SetUTF8String("\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC"));  // three euro signs
    EXPECT_EQ(text.GetLength(), 3u);
    EXPECT_EQ(text.GetItemAt(0), 0x20AC);
    EXPECT_STREQ(text.GetUTF8String(), "\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC");

    EXPECT_TRUE(text.SetUTF8String("a\xF0\x9F\x8E\xB5" "b"));  // musical note
    EXPECT_EQ(UnitsOf(text), (std::vector<unsigned short>{'a', 0xD83C, 0xDFB5, 'b'}));
    EXPECT_STREQ(text.GetUTF8String(), "a\xF0\x9F\x8E\xB5" "b");

    const unsigned short lone[] = {'x', 0xD800, 'y'};
    text.SetUnicodeString(lone, 3);
    EXPECT_STREQ(text.GetUTF8String(), "x\xEF\xBF\xBDy");
}

TEST(FCStringUTF8, RefusesIllFormedInputAndKeepsTheText)
{
    HostVersion version(0x12000000);
    FCString text("keep");
    EXPECT_FALSE(text.SetUTF8String(nullptr));
    EXPECT_FALSE(text.SetUTF8String("\xC3"));              // cut sequence
    EXPECT_FALSE(text.SetUTF8String("\xC0\xAF"));          // overlong
    EXPECT_FALSE(text.SetUTF8String("\xED\xA0\x80"));      // encoded surrogate
    EXPECT_FALSE(text.SetUTF8String("\xF4\x90\x80\x80"));  // above U+10FFFF
    EXPECT_FALSE(text.SetUTF8String("a\x80"));             // stray continuation
    EXPECT_STREQ(text.GetCString(), "keep");
}

TEST(FCStringUTF8, LineSeparatorBecomesCarriageReturnOnUnicodeHosts)
{
    HostVersion version(0x12000000);
    FCString text;
    EXPECT_TRUE(text.SetUTF8String("a\xE2\x80\xA8" "b"));
    EXPECT_EQ(UnitsOf(text), (std::vector<unsigned short>{'a', '\r', 'b'}));
}

TEST(FCStringUTF8, OlderHostsUseEightBitTextAndEscapedAscii)
{
    HostVersion version(0x10000000);
    FCString text;
    // Decoding gives the non-lossy ASCII form.
    EXPECT_TRUE(text.SetUTF8String("\xC3\xA9\\\xE2\x82\xAC"));
    EXPECT_STREQ(text.GetCString(), "\\351\\\\\\u20ac");

    // Encoding takes the 8-bit copy as UTF-8 as it stands.
    text.SetCString("\xC3\xA9");
    EXPECT_STREQ(text.GetUTF8String(), "\xC3\xA9");
    text.SetCString("\xE9");
    EXPECT_STREQ(text.GetUTF8String(), "");

    // The same text on a current host is encoded unit by unit.
    HostVersion current(0x12000000);
    text.SetCString("\xC3\xA9");
    EXPECT_STREQ(text.GetUTF8String(), "\xC3\x83\xC2\xA9");
}

TEST(FCStringCompare, EqualityIsExactAndCaseSensitive)
{
    FCString a("Bb");
    FCString b("Bb");
    FCString c("bb");
    EXPECT_TRUE(a.IsEqualString(&b));
    EXPECT_FALSE(a.IsEqualString(&c));
    EXPECT_FALSE(a.IsEqualString(nullptr));
    FCString released(nullptr);
    FCString empty;
    EXPECT_TRUE(released.IsEqualString(&empty));

    EXPECT_TRUE(a.IsEqualCString("Bb"));
    EXPECT_FALSE(a.IsEqualCString("Bb#"));
    EXPECT_FALSE(a.IsEqualCString("B"));
    EXPECT_FALSE(a.IsEqualCString(nullptr));
    // The comparison leaves an earlier GetCString pointer alone.
    const char* copy = a.GetCString();
    EXPECT_TRUE(a.IsEqualCString("Bb"));
    EXPECT_STREQ(copy, "Bb");
}

TEST(FCStringCompare, CompareNoCaseLowersAsciiAndIsSafeForAnyUnit)
{
    FCString upper("MyList");
    FCString lower("mylist");
    FCString other("mylisu");
    EXPECT_EQ(upper.CompareNoCase(&lower), 0);
    EXPECT_LT(upper.CompareNoCase(&other), 0);
    EXPECT_GT(other.CompareNoCase(&upper), 0);
    EXPECT_EQ(upper.CompareNoCase(nullptr), 1);

    // Units far outside 0-255 are kept, not handed to tolower.
    FCString wide;
    wide.AppendCharacter(0x4E41);
    wide.AppendCharacter('A');
    FCString wideLower;
    wideLower.AppendCharacter(0x4E41);
    wideLower.AppendCharacter('a');
    EXPECT_EQ(wide.CompareNoCase(&wideLower), 0);
    wide.ToLowerCase();
    EXPECT_EQ(UnitsOf(wide), (std::vector<unsigned short>{0x4E41, 'a'}));
    FCString shortText("ab");
    FCString longer("ABC");
    EXPECT_LT(shortText.CompareNoCase(&longer), 0);
}

TEST(FCStringCompare, EqualNoCaseComparesWholeCharactersCaseFolded)
{
    auto text = [](const char16_t* units) {
        auto string = std::make_unique<FCString>();
        string->SetUnicodeString(reinterpret_cast<const unsigned short*>(units));
        return string;
    };
    // Low bytes alike (U+4E00 has a zero low byte), characters not.
    EXPECT_FALSE(IsEqualStringNoCase(text(u"\u4E00\u53F7").get(), text(u"\u4E00\u4E8C").get()));
    EXPECT_FALSE(IsEqualStringNoCase(text(u"\u03A9mega").get(), text(u"\u00A9mega").get()));
    EXPECT_TRUE(IsEqualStringNoCase(text(u"\u03A9mega").get(), text(u"\u03C9MEGA").get()));
    EXPECT_TRUE(IsEqualStringNoCase(text(u"Stra\u00DFe").get(), text(u"STRASSE").get()));  // full folding
    EXPECT_TRUE(IsEqualStringNoCase(text(u"\U00010400").get(), text(u"\U00010428").get()));  // beyond U+FFFF
    EXPECT_TRUE(IsEqualStringNoCase(text(u"MyList").get(), text(u"mylist").get()));
    EXPECT_FALSE(IsEqualStringNoCase(text(u"MyList").get(), text(u"mylis").get()));
    EXPECT_FALSE(IsEqualStringNoCase(text(u"a").get(), nullptr));
}

TEST(FCStringSearch, StartsEndsAndContains)
{
    FCString text("/x/y.txt");
    EXPECT_TRUE(text.StartsWith("/x"));
    EXPECT_FALSE(text.StartsWith("x"));
    EXPECT_TRUE(text.EndsWith(".txt"));
    EXPECT_FALSE(text.EndsWith("/x/y.txt.txt"));
    EXPECT_FALSE(text.EndsWith(nullptr));

    FCString prefix("/x/");
    FCString empty;
    EXPECT_TRUE(text.StartsWithString(&prefix));
    EXPECT_TRUE(text.StartsWithString(&empty));
    EXPECT_FALSE(prefix.StartsWithString(&text));

    FCString y("y");
    EXPECT_TRUE(text.ContainsString(&y));
    EXPECT_TRUE(text.ContainsStringFrom(&y, 3));
    EXPECT_FALSE(text.ContainsStringFrom(&y, 4));
    EXPECT_FALSE(text.ContainsStringFrom(&y, 8));
    EXPECT_TRUE(text.ContainsStringFrom(&empty, 8));
    EXPECT_FALSE(text.ContainsStringFrom(&empty, 9));
    EXPECT_FALSE(text.ContainsStringFrom(nullptr, 0));
    EXPECT_TRUE(text.ContainsStringFrom(&y, -5));
    EXPECT_TRUE(text.ContainsCString(".t"));
    EXPECT_FALSE(text.ContainsCString(nullptr));
}

TEST(FCStringSearch, PositionsOfTexts)
{
    FCString text("abcabc");
    FCString bc("bc");
    FCString empty;
    EXPECT_EQ(text.CalcStringPosFrom(&bc, 0), 1);
    EXPECT_EQ(text.CalcStringPosFrom(&bc, 2), 4);
    EXPECT_EQ(text.CalcStringPosFrom(&bc, 5), -1);
    EXPECT_EQ(text.CalcStringPosFrom(&empty, 3), 3);
    EXPECT_EQ(text.CalcStringPosFrom(nullptr, 0), -1);
    EXPECT_EQ(text.CalcCStringPosFrom("ca", 0), 2);
    EXPECT_EQ(text.FindFirst("bc"), 1);
    EXPECT_EQ(text.FindLast("bc"), 4);
    EXPECT_EQ(text.FindLast("abc"), 3);
    EXPECT_EQ(text.FindFirst("x"), -1);
    EXPECT_EQ(text.FindFirst(""), -1);
    EXPECT_EQ(text.FindLast(nullptr), -1);
    EXPECT_EQ(text.FindLast("abcabcd"), -1);
}

TEST(FCStringSearch, CharacterClasses)
{
    FCString text("a1 \x0B");
    EXPECT_TRUE(text.IsCharacter(0, 'a'));
    EXPECT_FALSE(text.IsCharacter(4, 'a'));
    EXPECT_TRUE(text.IsCharacters(1, "0123"));
    EXPECT_FALSE(text.IsCharacters(1, ""));
    EXPECT_FALSE(text.IsCharacters(1, nullptr));
    EXPECT_TRUE(text.IsDigit(1));
    EXPECT_FALSE(text.IsDigit(0));
    EXPECT_FALSE(text.IsDigit(-1));
    EXPECT_TRUE(text.IsWhitespace(2));
    EXPECT_TRUE(text.IsWhitespace(3));  // vertical tab
    EXPECT_FALSE(text.IsWhitespace(0));
    EXPECT_FALSE(text.IsWhitespace(9));

    // Units beyond 0-255 never reach isspace.
    FCString wide;
    wide.AppendCharacter(0x2003);
    wide.AppendCharacter(0xFF20);
    EXPECT_FALSE(wide.IsWhitespace(0));
    EXPECT_FALSE(wide.IsWhitespace(1));

    EXPECT_TRUE(FCString("").IsAllDigits());
    EXPECT_TRUE(FCString("0123").IsAllDigits());
    EXPECT_FALSE(FCString("01a").IsAllDigits());
}

TEST(FCStringSearch, IsNumberAcceptsOneLeadingMinusAndOnePoint)
{
    EXPECT_TRUE(FCString("-12.5").IsNumber());
    EXPECT_TRUE(FCString("12.").IsNumber());
    EXPECT_TRUE(FCString("-").IsNumber());
    EXPECT_TRUE(FCString(".").IsNumber());
    EXPECT_FALSE(FCString("1.2.3").IsNumber());
    EXPECT_FALSE(FCString("1-2").IsNumber());
    EXPECT_FALSE(FCString("").IsNumber());
    EXPECT_FALSE(FCString("1e5").IsNumber());
}

TEST(FCStringEdit, DeletingCharacters)
{
    FCString text("abc");
    EXPECT_TRUE(text.DeleteCharacterAt(-1));
    EXPECT_STREQ(text.GetCString(), "ab");
    EXPECT_FALSE(text.DeleteCharacterAt(2));
    EXPECT_FALSE(text.DeleteCharacterAt(-2));
    EXPECT_TRUE(text.DeleteCharacterAt(0));
    EXPECT_STREQ(text.GetCString(), "b");
    FCString empty;
    EXPECT_FALSE(empty.DeleteCharacterAt(-1));

    FCString word("abcdef");
    EXPECT_FALSE(word.DeleteCharactersAt(6, 1));
    EXPECT_FALSE(word.DeleteCharactersAt(1, 0));
    EXPECT_FALSE(word.DeleteCharactersAt(0, 7));
    EXPECT_FALSE(word.DeleteCharactersAt(4, 3));  // would run past the end
    EXPECT_STREQ(word.GetCString(), "abcdef");
    EXPECT_TRUE(word.DeleteCharactersAt(1, 3));
    EXPECT_STREQ(word.GetCString(), "aef");
    EXPECT_TRUE(word.DeleteCharactersAt(0, 3));
    EXPECT_TRUE(word.IsEmpty());
}

TEST(FCStringEdit, ReplaceEveryOccurrenceWithoutRescanningInsertedText)
{
    FCString text("abc");
    EXPECT_TRUE(text.Replace("b", "bb"));
    EXPECT_STREQ(text.GetCString(), "abbc");
    EXPECT_FALSE(text.Replace("x", "y"));
    EXPECT_STREQ(text.GetCString(), "abbc");
    EXPECT_TRUE(text.Replace("b", ""));
    EXPECT_STREQ(text.GetCString(), "ac");

    FCString runs("aaaa");
    EXPECT_TRUE(runs.Replace("aa", "a"));
    EXPECT_STREQ(runs.GetCString(), "aa");
    EXPECT_TRUE(runs.Replace("a", nullptr));
    EXPECT_TRUE(runs.IsEmpty());
}

TEST(FCStringEdit, ReplaceWithEmptyFromTextAnswersFalse)
{
    FCString text("abc");
    EXPECT_FALSE(text.Replace("", "x"));
    EXPECT_FALSE(text.Replace(nullptr, "x"));
    EXPECT_STREQ(text.GetCString(), "abc");
}

TEST(FCStringEdit, TrimmingKeepsOtherWhitespace)
{
    FCString text(" \t\r\nabc \n");
    text.TrimWhitespace();
    EXPECT_STREQ(text.GetCString(), "abc");
    FCString kept("\x0B" "abc\x0C");
    kept.TrimWhitespace();
    EXPECT_STREQ(kept.GetCString(), "\x0B" "abc\x0C");
    FCString lines("\r\n abc \r\n");
    lines.TrimLinefeed();
    EXPECT_STREQ(lines.GetCString(), " abc ");
    FCString blank(" \t ");
    blank.TrimWhitespace();
    EXPECT_TRUE(blank.IsEmpty());
}

TEST(FCStringEdit, SubStrings)
{
    FCString text("abcdef");
    FCString out("unchanged");
    EXPECT_FALSE(text.MakeSubString(6, 1, &out));
    EXPECT_STREQ(out.GetCString(), "unchanged");
    EXPECT_FALSE(text.MakeSubString(0, 1, nullptr));
    EXPECT_TRUE(text.MakeSubString(4, 10, &out));
    EXPECT_STREQ(out.GetCString(), "ef");
    EXPECT_TRUE(text.MakeSubString(1, 0, &out));
    EXPECT_TRUE(out.IsEmpty());
    EXPECT_TRUE(text.MakeSubString(1, 3, &text));
    EXPECT_STREQ(text.GetCString(), "bcd");
}

TEST(FCStringSplit, ParsedStringsSkipEmptyItems)
{
    std::unique_ptr<FCStrings> items(FCString(",a,,b,").CreateParsedStrings(","));
    EXPECT_EQ(Items(items.get()), (std::vector<std::string>{"a", "b"}));
    items.reset(FCString("a b;c").CreateParsedStrings(" ;"));
    EXPECT_EQ(Items(items.get()), (std::vector<std::string>{"a", "b", "c"}));
    items.reset(FCString("").CreateParsedStrings(","));
    EXPECT_EQ(items->GetCount(), 0);
    items.reset(FCString("a,b").CreateParsedStrings(nullptr));
    EXPECT_EQ(Items(items.get()), (std::vector<std::string>{"a,b"}));
}

TEST(FCStringSplit, RowsEndAtAnyLineEnd)
{
    std::unique_ptr<FCStrings> rows(FCString("a\n\nb\n").CreateRows());
    EXPECT_EQ(Items(rows.get()), (std::vector<std::string>{"a", "", "b"}));
    rows.reset(FCString("a\r\n\r\nb").CreateRows());
    EXPECT_EQ(Items(rows.get()), (std::vector<std::string>{"a", "", "b"}));
    rows.reset(FCString("a\rb\r").CreateRows());
    EXPECT_EQ(Items(rows.get()), (std::vector<std::string>{"a", "b"}));
    rows.reset(FCString("\n").CreateRows());
    EXPECT_EQ(Items(rows.get()), (std::vector<std::string>{""}));
    rows.reset(FCString("").CreateRows());
    EXPECT_EQ(rows->GetCount(), 0);
}

TEST(FCStringNumbers, FormattingIntegersFloatsAndHex)
{
    FCString text;
    text.SetInteger(-42);
    EXPECT_STREQ(text.GetCString(), "-42");
    text.AppendInteger(INT_MIN);
    EXPECT_STREQ(text.GetCString(), "-42-2147483648");
    text.SetFloat(2.5f);
    EXPECT_STREQ(text.GetCString(), "2.500000");
    text.AppendFloat(-0.125f);
    EXPECT_STREQ(text.GetCString(), "2.500000-0.125000");

    text.SetHex(10, 16);
    EXPECT_STREQ(text.GetCString(), "000a");
    text.SetHex(255, 8);
    EXPECT_STREQ(text.GetCString(), "ff");
    text.SetHex(0x1234, 32);
    EXPECT_STREQ(text.GetCString(), "00001234");
    text.SetHex(-1, 64);
    EXPECT_STREQ(text.GetCString(), "00000000ffffffff");
    text.SetHex(0xABC, 12);
    EXPECT_STREQ(text.GetCString(), "abc");
}

TEST(FCStringNumbers, ReadingIntegers)
{
    EXPECT_EQ(FCString("  -17xyz").GetInteger(), -17);
    EXPECT_EQ(FCString("+8").GetInteger(), 8);
    EXPECT_EQ(FCString("abc").GetInteger(), 0);
    EXPECT_EQ(FCString("key=25").GetInteger(4), 25);
    EXPECT_EQ(FCString("12").GetInteger(3), 0);
    EXPECT_EQ(FCString("12").GetInteger(-1), 0);
    EXPECT_EQ(FCString("12").GetInteger(2), 0);
}

TEST(FCStringNumbers, ReadingIntegersSaturatesOutsideTheRangeOfInt)
{
    EXPECT_EQ(FCString("2147483647").GetInteger(), INT_MAX);
    EXPECT_EQ(FCString("2147483648").GetInteger(), INT_MAX);
    EXPECT_EQ(FCString("99999999999999999999999").GetInteger(), INT_MAX);
    EXPECT_EQ(FCString("-2147483648").GetInteger(), INT_MIN);
    EXPECT_EQ(FCString("-99999999999999999999999").GetInteger(), INT_MIN);
}

TEST(FCStringNumbers, ReadingFloatsAcceptsCommaAndIgnoresTheProcessLocale)
{
    EXPECT_DOUBLE_EQ(FCString("3,5").GetFloat(), 3.5);
    EXPECT_DOUBLE_EQ(FCString(" -2.25cm").GetFloat(), -2.25);
    EXPECT_DOUBLE_EQ(FCString("x=1.5").GetFloat(2), 1.5);
    EXPECT_DOUBLE_EQ(FCString("none").GetFloat(), 0.0);
    EXPECT_DOUBLE_EQ(FCString("1.5").GetFloat(4), 0.0);

    // A locale with a decimal comma (when the system has one) changes nothing.
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) {
        EXPECT_DOUBLE_EQ(FCString("3.5").GetFloat(), 3.5);
        FCString text;
        text.SetFloat(1.5f);
        EXPECT_STREQ(text.GetCString(), "1.500000");
    }
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(FCStringNumbers, ReadingHex)
{
    EXPECT_EQ(FCString("1aF").GetHex(), 431);
    EXPECT_EQ(FCString("12g").GetHex(), -1);
    EXPECT_EQ(FCString("").GetHex(), 0);
    EXPECT_EQ(FCString("ffffffff").GetHex(), 0xFFFFFFFFll);
    EXPECT_EQ(FCString("100000001").GetHex(), 1);  // wraps at 32 bits
}

TEST(FCStringPaths, SplittingAndDelimiters)
{
    FCString path;
    FCString file;
    EXPECT_TRUE(FCString("/x/y.txt").SplitToPathAndFile(&path, &file));
    EXPECT_STREQ(path.GetCString(), "/x/");
    EXPECT_STREQ(file.GetCString(), "y.txt");
    path.SetCString("old");
    EXPECT_FALSE(FCString("y.txt").SplitToPathAndFile(&path, &file));
    EXPECT_STREQ(path.GetCString(), "old");

    FCString self("/a/b");
    EXPECT_TRUE(self.SplitToPathAndFile(&file, &self));
    EXPECT_STREQ(file.GetCString(), "/a/");
    EXPECT_STREQ(self.GetCString(), "b");

    FCString folder("/tmp");
    folder.AssureEndingPathDelimiter();
    folder.AssureEndingPathDelimiter();
    EXPECT_STREQ(folder.GetCString(), "/tmp/");
    folder.SetUserOptionsPath();
    EXPECT_STREQ(folder.GetCString(), "~/Library/Preferences");
    folder.SetRunningLuaFolderPath();
    EXPECT_TRUE(folder.IsEmpty());
}
