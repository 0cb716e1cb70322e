// Text file streams: the on-disk format (Latin-1 or UTF-8 lines, LF written,
// LF or CR read), reading and writing through folder paths and folder
// records, the UTF-8 reader, and the atomic replacement of a file.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <memory>
#include <string>

#include <sys/resource.h>
#include <sys/stat.h>

#include "tempfolder.h"
#include "tests/pdk/filefaults.h"
#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/base/fcstrings.h"
#include "tonaroframework/stream/fcsettingspair.h"
#include "tonaroframework/stream/fcsettingspairs.h"
#include "tonaroframework/stream/fctextfilestream.h"
#include "tonaroframework/stream/fctextfileutf8stream.h"

namespace {

class TextFileStreamTest : public testing::Test {
protected:
    std::unique_ptr<FCTextFileStream> Stream(const char* name)
    {
        FCString file(name);
        return std::make_unique<FCTextFileStream>(folder.Path().c_str(), &file);
    }

    // Every line that ReadString answers, each closed by "|".
    template <typename Stream>
    static std::string ReadAll(Stream& stream)
    {
        std::string lines;
        while (FCString* line = stream.ReadString()) {
            lines += line->GetCString();
            lines += "|";
            delete line;
        }
        return lines;
    }

    TempFolder folder;
};

TEST_F(TextFileStreamTest, WritesLatin1LinesByteForByteAndOthersAsUtf8)
{
    FCStrings lines;
    lines.AddCString("first");
    lines.AddCString("");
    FCString special;
    const unsigned short units[] = {'A', 0x00C4, 0x03A9, 0};
    special.SetUnicodeString(units);
    lines.AddCopy(&special);
    special.DeleteCharacterAt(-1);
    lines.AddCopy(&special);

    auto stream = Stream("out.txt");
    ASSERT_TRUE(stream->OpenWrite());
    EXPECT_TRUE(stream->WriteStrings(&lines));
    FCString tail("no end");
    EXPECT_TRUE(stream->WriteText(&tail));
    ASSERT_TRUE(stream->Close());

    // A line beyond Latin-1 is UTF-8 as a whole; a Latin-1 line is not.
    EXPECT_EQ(folder.Read("out.txt"), std::string("first\n\nA\xC3\x84\xCE\xA9\nA\xC4\nno end"));
}

TEST_F(TextFileStreamTest, EveryLineReadsBackAsWrittenAndOldFilesAsBefore)
{
    // Latin-1 text stays one byte per character, unless those bytes would
    // read as UTF-8 ("Ã©" as C3 A9 would come back as "é").
    const std::u16string texts[] = {u"plain", u"Gr\u00FC\u00DFe", u"\u03A9mega", u"\u00C3\u00A9",
                                    u"\u4E00\u53F7", u"\U0001D11E clef", u"\u00E9\u4E8C"};
    FCStrings lines;
    for (const std::u16string& text : texts) {
        FCString line;
        line.SetUnicodeString(reinterpret_cast<const unsigned short*>(text.c_str()));
        lines.AddCopy(&line);
    }
    auto out = Stream("round.txt");
    ASSERT_TRUE(out->OpenWrite());
    out->WriteStrings(&lines);
    ASSERT_TRUE(out->Close());
    const std::string bytes = folder.Read("round.txt");
    EXPECT_EQ(bytes.substr(0, 12), "plain\nGr\xFC\xDF" "e\n");
    EXPECT_NE(bytes.find("\xC3\x83\xC2\xA9\n"), std::string::npos);

    auto in = Stream("round.txt");
    ASSERT_TRUE(in->OpenRead());
    std::unique_ptr<FCStrings> read(in->ReadStrings());
    ASSERT_EQ(read->GetCount(), lines.GetCount());
    for (int i = 0; i < read->GetCount(); ++i)
        EXPECT_TRUE(read->GetItemAt(i)->IsEqualString(lines.GetItemAt(i))) << i;
}

TEST_F(TextFileStreamTest, LineEndsInsideAPairOrALineAreWrittenAsSpaces)
{
    FCSettingsPairs pairs;
    FCString key("ZPCHANGEPITCHES_FROM"), value("C#\nZPCHANGEPITCHES_RESPACE=0\rX");
    pairs.Add(new FCSettingsPair(&key, &value));
    FCStrings lines;
    lines.AddCString("one\ntwo");
    auto stream = Stream("pairs.txt");
    ASSERT_TRUE(stream->OpenWrite());
    stream->WriteSettingsPairs(&pairs);
    stream->WriteStrings(&lines);
    ASSERT_TRUE(stream->Close());
    EXPECT_EQ(folder.Read("pairs.txt"), "ZPCHANGEPITCHES_FROM=C# ZPCHANGEPITCHES_RESPACE=0 X\none two\n");
}

TEST_F(TextFileStreamTest, AFolderOpenedForReadingReportsAnError)
{
    std::filesystem::create_directory(folder.File("dir.txt"));
    auto stream = Stream("dir.txt");
    ASSERT_TRUE(stream->OpenRead());  // the C library opens a folder for reading
    std::unique_ptr<FCStrings> lines(stream->ReadStrings());
    EXPECT_TRUE(stream->HasError());
    stream->Close();
    EXPECT_FALSE(stream->HasError());

    folder.Write("file.txt", "a\n");
    auto file = Stream("file.txt");
    ASSERT_TRUE(file->OpenRead());
    std::unique_ptr<FCStrings> read(file->ReadStrings());
    EXPECT_FALSE(file->HasError());
}

TEST_F(TextFileStreamTest, ReadsBytesBackAsCodeUnits)
{
    folder.Write("in.txt", std::string("A\xC4z\xA9\n", 5));
    auto stream = Stream("in.txt");
    ASSERT_TRUE(stream->OpenRead());
    std::unique_ptr<FCString> line(stream->ReadString());
    ASSERT_NE(line, nullptr);
    ASSERT_EQ(line->GetLength(), 4u);  // not UTF-8: one character per byte, as always
    EXPECT_EQ(line->GetItemAt(1), 0x00C4);
    EXPECT_EQ(line->GetItemAt(3), 0x00A9);
    EXPECT_EQ(stream->ReadString(), nullptr);
}

TEST_F(TextFileStreamTest, ZeroBytesSurviveARoundTrip)
{
    folder.Write("zero.txt", std::string("a\0b\n", 4));
    auto stream = Stream("zero.txt");
    ASSERT_TRUE(stream->OpenRead());
    std::unique_ptr<FCString> line(stream->ReadString());
    ASSERT_NE(line, nullptr);
    ASSERT_EQ(line->GetLength(), 3u);
    EXPECT_EQ(line->GetItemAt(1), 0);
    EXPECT_EQ(line->GetItemAt(2), 'b');
    stream->Close();

    auto out = Stream("copy.txt");
    ASSERT_TRUE(out->OpenWrite());
    out->WriteText(line.get());
    ASSERT_TRUE(out->Close());
    EXPECT_EQ(folder.Read("copy.txt"), std::string("a\0b", 3));
}

TEST_F(TextFileStreamTest, LineEndsAreLinefeedCarriageReturnOrEndOfFile)
{
    struct Case {
        std::string bytes;
        std::string lines;
    } cases[] = {
        {"", ""},                         // an empty file ends at once
        {"\n", "|"},                      // one empty line
        {"a\nb", "a|b|"},                 // no line end at the very end
        {"a\r\nb\r\n", "a||b||"},         // CR LF reads as a line and an empty line
        {"a\rb\r", "a|b|"},               // lone CR
        {"\n\nx\n", "||x|"},
    };
    for (const Case& c : cases) {
        folder.Write("lines.txt", c.bytes);
        auto stream = Stream("lines.txt");
        ASSERT_TRUE(stream->OpenRead());
        EXPECT_EQ(ReadAll(*stream), c.lines) << "file: " << c.bytes;
    }
}

TEST_F(TextFileStreamTest, ReadStringsKeepsEveryLineTrimmedOfLineEnds)
{
    folder.Write("lines.txt", " a \r\n\tb\n");
    auto stream = Stream("lines.txt");
    ASSERT_TRUE(stream->OpenRead());
    std::unique_ptr<FCStrings> lines(stream->ReadStrings());
    ASSERT_NE(lines, nullptr);
    ASSERT_EQ(lines->GetCount(), 3);
    EXPECT_TRUE(lines->GetItemAt(0)->IsEqualCString(" a "));  // blanks stay; only CR and LF go
    EXPECT_TRUE(lines->GetItemAt(1)->IsEmpty());
    EXPECT_TRUE(lines->GetItemAt(2)->IsEqualCString("\tb"));
}

TEST_F(TextFileStreamTest, ClosedStreamsAnswerNothing)
{
    auto stream = Stream("never.txt");
    FCStrings lines;
    FCString text("x");
    FCSettingsPairs pairs;
    EXPECT_EQ(stream->ReadString(), nullptr);
    EXPECT_EQ(stream->ReadStrings(), nullptr);
    EXPECT_FALSE(stream->WriteStrings(&lines));
    EXPECT_FALSE(stream->WriteText(&text));
    EXPECT_FALSE(stream->WriteSettingsPairs(&pairs));
    EXPECT_FALSE(stream->Close());
    EXPECT_FALSE(stream->OpenRead());  // missing file
    EXPECT_FALSE(stream->IsOpen());
    EXPECT_EQ(folder.Listing(), "");

    auto unnamed = std::make_unique<FCTextFileStream>(folder.Path().c_str(), nullptr);
    EXPECT_FALSE(unnamed->OpenWrite());
    EXPECT_FALSE(unnamed->OpenRead());
    EXPECT_FALSE(unnamed->OpenFile(nullptr));
}

TEST_F(TextFileStreamTest, WritesSettingsPairsAsKeyEqualsValueLines)
{
    FCSettingsPairs pairs;
    FCString k1("KEY_ONE"), v1("1"), k2("Name"), v2("a = b");
    pairs.AddKeyValue(&k1, &v1);
    pairs.AddKeyValue(&k2, &v2);
    auto stream = Stream("pairs.txt");
    ASSERT_TRUE(stream->OpenWrite());
    EXPECT_TRUE(stream->WriteSettingsPairs(&pairs));
    FCSettingsPairs empty;
    EXPECT_TRUE(stream->WriteSettingsPairs(&empty));
    ASSERT_TRUE(stream->Close());
    EXPECT_EQ(folder.Read("pairs.txt"), "KEY_ONE=1\nName=a = b\n");
}

TEST_F(TextFileStreamTest, NoFolderMeansNoPath)
{
    FCString name("f.txt");
    FCString kept("kept");
    FCTextFileStream none(static_cast<const TonPathSpec2012*>(nullptr), &name);
    EXPECT_FALSE(none._MakeFullPath(&kept));
    EXPECT_TRUE(kept.IsEqualCString("kept"));
    EXPECT_FALSE(none.OpenWrite());
}

TEST_F(TextFileStreamTest, OpensThroughAFolderRecord)
{
    std::filesystem::create_directory(folder.File("Sub Folder"));
    FCString folderPath((folder.File("Sub Folder")).c_str());
    TonPathSpec2012 spec {};
    ASSERT_TRUE(folderPath.MakeSpecFromFilePath(&spec));

    FCString name("settings.txt");
    FCTextFileStream writer(&spec, &name);
    ASSERT_TRUE(writer.OpenWrite());
    FCString text("K=V\n");
    writer.WriteText(&text);
    ASSERT_TRUE(writer.Close());
    EXPECT_EQ(TempFolder::ReadPath(folder.File("Sub Folder/settings.txt")), "K=V\n");
}

TEST_F(TextFileStreamTest, NonAsciiFolderNamesReachTheRightFolder)
{
    const std::string utf8Folder = folder.File("Gr\xC3\xBC\xC3\x9F" "e");
    std::filesystem::create_directory(utf8Folder);
    FCString name("x.txt");

    // A UTF-8 folder path, an FCString path, and an 8-bit (Latin-1) path all
    // name the same folder.
    FCTextFileStream fromUtf8(utf8Folder.c_str(), &name);
    ASSERT_TRUE(fromUtf8.OpenWrite());
    ASSERT_TRUE(fromUtf8.Close());
    EXPECT_TRUE(std::filesystem::exists(utf8Folder + "/x.txt"));

    FCString pathText;
    pathText.SetUTF8String(utf8Folder.c_str());
    FCTextFileStream fromString(&pathText, &name);
    EXPECT_TRUE(fromString.OpenRead());

    FCTextFileStream fromLatin1(pathText.GetCString(), &name);
    EXPECT_TRUE(fromLatin1.OpenRead());
}

// ---- The UTF-8 reader ----

TEST_F(TextFileStreamTest, Utf8StreamDecodesLines)
{
    folder.Write("u.txt", "Gr\xC3\xBC\xC3\x9F" "e\r\n\xCE\xA9\n");
    FCString name("u.txt");
    FCTextFileUTF8Stream stream(folder.Path().c_str(), &name);
    ASSERT_TRUE(stream.OpenRead());
    std::unique_ptr<FCStrings> lines(stream.ReadStrings());
    ASSERT_NE(lines, nullptr);
    ASSERT_EQ(lines->GetCount(), 3);  // CR LF: a line and an empty line
    EXPECT_EQ(lines->GetItemAt(0)->GetLength(), 5u);
    EXPECT_EQ(lines->GetItemAt(0)->GetItemAt(2), 0x00FC);
    EXPECT_TRUE(lines->GetItemAt(1)->IsEmpty());
    EXPECT_EQ(lines->GetItemAt(2)->GetItemAt(0), 0x03A9);
}

TEST_F(TextFileStreamTest, Utf8StreamKeepsTheBytesOfMalformedLines)
{
    folder.Write("bad.txt", "ok\n\xE9t\xE9\n");  // Latin-1 text, not UTF-8
    FCString name("bad.txt");
    FCTextFileUTF8Stream stream(folder.Path().c_str(), &name);
    ASSERT_TRUE(stream.OpenRead());
    std::unique_ptr<FCString> first(stream.ReadString());
    std::unique_ptr<FCString> second(stream.ReadString());
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(first->IsEqualCString("ok"));
    ASSERT_EQ(second->GetLength(), 3u);
    EXPECT_EQ(second->GetItemAt(0), 0x00E9);
    EXPECT_EQ(stream.ReadString(), nullptr);
}

TEST_F(TextFileStreamTest, Utf8StreamNeverCutsACharacterOfALongLine)
{
    // 8190 ASCII bytes, then a three-byte character across the 8191-byte
    // boundary, then more text.
    std::string line(8190, 'a');
    line += "\xE2\x82\xAC";  // U+20AC
    line += "tail";
    folder.Write("long.txt", line + "\n");
    FCString name("long.txt");
    FCTextFileUTF8Stream stream(folder.Path().c_str(), &name);
    ASSERT_TRUE(stream.OpenRead());

    FCString joined;
    int pieces = 0;
    while (FCString* piece = stream.ReadString()) {
        joined.AppendString(piece);
        ++pieces;
        delete piece;
    }
    EXPECT_GE(pieces, 2);
    ASSERT_EQ(joined.GetLength(), 8190u + 1u + 4u);
    EXPECT_EQ(joined.GetItemAt(8190), 0x20AC);
    EXPECT_EQ(joined.GetItemAt(8191), 't');
}

// ---- Atomic replacement ----

TEST_F(TextFileStreamTest, OldFileStaysUntilTheWriteIsClosed)
{
    folder.Write("prefs.txt", "OLD=1\n");
    auto writer = Stream("prefs.txt");
    ASSERT_TRUE(writer->OpenWrite());
    FCString text("NEW=2\n");
    writer->WriteText(&text);
    // Readers still see the whole old file while the write is going on.
    EXPECT_EQ(folder.Read("prefs.txt"), "OLD=1\n");
    ASSERT_TRUE(writer->Close());
    EXPECT_EQ(folder.Read("prefs.txt"), "NEW=2\n");
    EXPECT_EQ(folder.Listing(), "prefs.txt;");  // no temporary file left
}

TEST_F(TextFileStreamTest, AbandonedWriteKeepsTheOldFile)
{
    const std::string old = "A=1\nB=2\nOTHER_PROGRAM=keep\n";
    folder.Write("prefs.txt", old);
    {
        auto writer = Stream("prefs.txt");
        ASSERT_TRUE(writer->OpenWrite());
        FCString text("A=");
        writer->WriteText(&text);
        // destroyed without Close, as by a failure half-way
    }
    EXPECT_EQ(folder.Read("prefs.txt"), old);
    EXPECT_EQ(folder.Listing(), "prefs.txt;");
}

using filefaults::FileSizeLimit;

TEST_F(TextFileStreamTest, FailedWriteKeepsTheOldFileByteIdentical)
{
    const std::string old = "KEEP=this\nOTHER=too\n";
    folder.Write("prefs.txt", old);
    bool closed = true;
    {
        FileSizeLimit limit(64);
        ASSERT_TRUE(limit.IsSet());
        auto writer = Stream("prefs.txt");
        ASSERT_TRUE(writer->OpenWrite());
        FCString line("LONG_KEY=a value that makes the file far larger than the limit allows\n");
        for (int i = 0; i < 200; ++i) writer->WriteText(&line);
        closed = writer->Close();
    }
    EXPECT_FALSE(closed);
    EXPECT_EQ(folder.Read("prefs.txt"), old);
    EXPECT_EQ(folder.Listing(), "prefs.txt;");
}

TEST_F(TextFileStreamTest, FailedRenameIsReportedAndLeavesNoTemporaryFile)
{
    auto writer = Stream("prefs.txt");
    ASSERT_TRUE(writer->OpenWrite());
    FCString text("X=1\n");
    writer->WriteText(&text);
    // Something else puts a non-empty folder where the file goes: the rename
    // cannot replace it.
    std::filesystem::create_directory(folder.File("prefs.txt"));
    folder.Write("prefs.txt/inside", "x");
    EXPECT_FALSE(writer->Close());
    EXPECT_EQ(folder.Listing(), "prefs.txt;");
    EXPECT_EQ(TempFolder::ReadPath(folder.File("prefs.txt/inside")), "x");
}

TEST_F(TextFileStreamTest, WriteIntoAFolderThatIsAFileFails)
{
    folder.Write("plain", "not a folder");
    FCString name("prefs.txt");
    FCTextFileStream writer(folder.File("plain").c_str(), &name);
    EXPECT_FALSE(writer.OpenWrite());
    EXPECT_FALSE(writer.IsOpen());
    EXPECT_EQ(folder.Read("plain"), "not a folder");
    EXPECT_EQ(folder.Listing(), "plain;");
}

TEST_F(TextFileStreamTest, ReplacementKeepsPermissionsAndLinks)
{
    folder.Write("real.txt", "OLD\n");
    chmod(folder.File("real.txt").c_str(), 0640);
    std::filesystem::create_symlink(folder.File("real.txt"), folder.File("link.txt"));

    auto writer = Stream("link.txt");
    ASSERT_TRUE(writer->OpenWrite());
    FCString text("NEW\n");
    writer->WriteText(&text);
    ASSERT_TRUE(writer->Close());

    EXPECT_TRUE(std::filesystem::is_symlink(folder.File("link.txt")));
    EXPECT_EQ(folder.Read("real.txt"), "NEW\n");
    struct stat status {};
    ASSERT_EQ(stat(folder.File("real.txt").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_EQ(folder.Listing(), "link.txt;real.txt;");

    // A link to a file not yet made: the file is made, the link stays.
    std::filesystem::create_symlink("later.txt", folder.File("dangling.txt"));
    auto through = Stream("dangling.txt");
    ASSERT_TRUE(through->OpenWrite());
    through->WriteText(&text);
    ASSERT_TRUE(through->Close());
    EXPECT_TRUE(std::filesystem::is_symlink(folder.File("dangling.txt")));
    EXPECT_EQ(folder.Read("later.txt"), "NEW\n");
}

TEST_F(TextFileStreamTest, ReopeningCommitsThePendingWrite)
{
    auto stream = Stream("data.txt");
    ASSERT_TRUE(stream->OpenWrite());
    FCString text("line\n");
    stream->WriteText(&text);
    ASSERT_TRUE(stream->OpenRead());
    EXPECT_EQ(ReadAll(*stream), "line|");
    EXPECT_TRUE(stream->Close());
    EXPECT_EQ(folder.Listing(), "data.txt;");
}

}  // namespace
