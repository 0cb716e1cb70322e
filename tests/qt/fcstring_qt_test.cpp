// FCString <-> QString conversions under both host-version rules, and the
// folder, font and symbol-font listings of FCStrings.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>
#include <string>

#include "host/engine/engine.h"
#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/base/fcstrings.h"
#include "tonaroframework/base/frameworkversion.h"
#include "tonaroframework/qt/fcstring_qt.h"
#include "tonaropdk/bridge/hostbinding.h"

namespace {

class VersionGuard {
public:
    explicit VersionGuard(uint32_t version) { SetTonaroFrameworkVersion(version); }
    ~VersionGuard() { SetTonaroFrameworkVersion(0x12000000); }
};

FCString* FromUtf8(const char* utf8)
{
    auto* text = new FCString();
    text->SetUTF8String(utf8);
    return text;
}

TEST(FCStringQt, CurrentHostsExchangeCodeUnits)
{
    VersionGuard version(0x12000000);
    std::unique_ptr<FCString> text(FromUtf8("C\xE2\x99\xAF / \xF0\x9D\x84\x9E"));  // sharp sign, G clef
    const QString converted = FCStringToQString(text.get());
    EXPECT_EQ(converted, QString::fromUtf8("C\xE2\x99\xAF / \xF0\x9D\x84\x9E"));
    EXPECT_EQ(FCStringToControlText(text.get()), converted);

    FCString back;
    FCStringFromQString(&back, converted);
    EXPECT_TRUE(back.IsEqualString(text.get()));

    // A line separator comes back as a carriage return.
    FCStringFromQString(&back, QString::fromUtf8("a\xE2\x80\xA8") + "b");
    EXPECT_TRUE(back.IsEqualCString("a\rb"));
    FCStringFromControlText(&back, QString::fromUtf8("x\xE2\x80\xA8"));
    EXPECT_TRUE(back.IsEqualCString("x\r"));

    EXPECT_TRUE(FCStringToQString(nullptr).isEmpty());
    FCStringFromQString(nullptr, "ignored");
    FCStringFromQString(&back, QString());
    EXPECT_EQ(back.GetLength(), 0u);
}

TEST(FCStringQt, OldHostsGoThroughEightBitText)
{
    VersionGuard version(0x10000000);
    // The general conversion reads the 8-bit copy as UTF-8 ...
    FCString utf8Bytes;
    utf8Bytes.SetCString("caf\xC3\xA9");
    EXPECT_EQ(FCStringToQString(&utf8Bytes), QString::fromUtf8("caf\xC3\xA9"));
    FCString notUtf8;
    notUtf8.SetCString("caf\xE9");
    EXPECT_TRUE(FCStringToQString(&notUtf8).isEmpty()) << "not UTF-8: no platform string";
    // ... and writes one code unit per UTF-8 byte.
    FCString back;
    FCStringFromQString(&back, QString::fromUtf8("\xC3\xA9"));
    EXPECT_EQ(back.GetLength(), 2u);
    EXPECT_EQ(back.GetItemAt(0), 0xC3);
    EXPECT_EQ(back.GetItemAt(1), 0xA9);

    // Controls show the 8-bit text one character per byte ...
    EXPECT_EQ(FCStringToControlText(&notUtf8), QString::fromLatin1("caf\xE9"));
    // ... and read back non-lossy ASCII.
    FCStringFromControlText(&back, QString::fromUtf8("a\\\xC3\xA9\xE2\x99\xAF"));
    EXPECT_TRUE(back.IsEqualCString("a\\\\\\351\\u266f")) << back.GetCString();
}

TEST(FCStringQt, OldHostsReadAtMostAControlBufferNeverCuttingAnEscape)
{
    VersionGuard version(0x10000000);
    // 4998 plain characters, then one that takes six bytes: it does not fit.
    QString long1(4998, QChar('a'));
    long1 += QChar(0x266F);
    FCString back;
    FCStringFromControlText(&back, long1);
    EXPECT_EQ(back.GetLength(), 4998u);
    QString long2(6000, QChar('b'));
    FCStringFromControlText(&back, long2);
    EXPECT_EQ(back.GetLength(), 4999u);
}

// --- Listings --------------------------------------------------------------------------------

TEST(FCStringsPlatform, FolderListingsAppendFilesOrSubfolders)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QDir dir(folder.path());
    ASSERT_TRUE(dir.mkdir("sub b"));
    ASSERT_TRUE(dir.mkdir("sub a"));
    for (const char* name : {"z.txt", "a.txt", ".hidden"}) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    FCString path;
    path.SetUTF8String(folder.path().toUtf8().constData());

    FCStrings files;
    files.AddCString("kept");
    EXPECT_TRUE(files.LoadFolderFiles(&path));
    ASSERT_EQ(files.GetCount(), 3);
    EXPECT_TRUE(files.GetItemAt(0)->IsEqualCString("kept"));
    EXPECT_TRUE(files.GetItemAt(1)->IsEqualCString("a.txt"));
    EXPECT_TRUE(files.GetItemAt(2)->IsEqualCString("z.txt"));

    FCStrings folders;
    EXPECT_TRUE(folders.LoadSubfolders(&path));
    ASSERT_EQ(folders.GetCount(), 2);
    EXPECT_TRUE(folders.GetItemAt(0)->IsEqualCString("sub a"));
    EXPECT_TRUE(folders.GetItemAt(1)->IsEqualCString("sub b"));

    FCString empty;
    EXPECT_FALSE(folders.LoadFolderFiles(&empty));
    EXPECT_FALSE(folders.LoadSubfolders(nullptr));
    FCString missing;
    missing.SetUTF8String((folder.path() + "/nowhere").toUtf8().constData());
    EXPECT_FALSE(folders.LoadFolderFiles(&missing));
    EXPECT_EQ(folders.GetCount(), 2);
}

TEST(FCStringsPlatform, SystemFontNamesAreListed)
{
    FCStrings fonts;
    EXPECT_TRUE(fonts.LoadSystemFontNames());
    for (int i = 0; i < fonts.GetCount(); ++i) EXPECT_FALSE(fonts.GetItemAt(i)->IsEmpty());
}

class SymbolFontsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(settings.isValid());
        InitializeGlobals();
        tonaroengine::Engine::Instance().Reset();
        tonaroengine::Engine::Instance().SetSettingsFolder(settings.path().toStdString());
        ASSERT_TRUE(QDir(settings.path()).mkdir("Configuration Files"));
    }
    void TearDown() override
    {
        tonaroengine::Engine::Instance().Reset();
        SetTonaroFrameworkVersion(0x12000000);
    }
    void WriteFonts(const QByteArray& bytes)
    {
        QFile file(settings.path() + "/Configuration Files/macsymbolfonts.txt");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir settings;
};

TEST_F(SymbolFontsTest, ReplacesTheListWithTheTrimmedNonEmptyLines)
{
    WriteFonts("  Maestro \r\n\r\n\tPetrucci\nJazz  \n");
    FCStrings fonts;
    fonts.AddCString("old");
    EXPECT_TRUE(fonts.LoadSymbolFonts());
    ASSERT_EQ(fonts.GetCount(), 3);
    EXPECT_TRUE(fonts.GetItemAt(0)->IsEqualCString("Maestro"));
    EXPECT_TRUE(fonts.GetItemAt(1)->IsEqualCString("Petrucci"));
    EXPECT_TRUE(fonts.GetItemAt(2)->IsEqualCString("Jazz"));
}

TEST_F(SymbolFontsTest, OldHostsAndMissingFilesLeaveTheListAlone)
{
    FCStrings fonts;
    fonts.AddCString("old");
    EXPECT_FALSE(fonts.LoadSymbolFonts()) << "no file";
    WriteFonts("Maestro\n");
    SetTonaroFrameworkVersion(0x10000000);
    EXPECT_FALSE(fonts.LoadSymbolFonts());
    ASSERT_EQ(fonts.GetCount(), 1);
    EXPECT_TRUE(fonts.GetItemAt(0)->IsEqualCString("old"));
}

}  // namespace
