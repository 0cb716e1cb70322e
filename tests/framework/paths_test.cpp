// Host folder records and POSIX paths: the host's settings folders,
// records made from paths and back, and records that must not
// give a path.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "host/engine/engine.h"
#include "tempfolder.h"
#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/base/frameworkversion.h"
#include "tonaropdk/bridge/hostbinding.h"

using tonaroengine::Engine;

namespace {

bool SameSpec(const TonPathSpec2012& a, const TonPathSpec2012& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

class PathsTest : public testing::Test {
protected:
    void SetUp() override
    {
        InitializeGlobals();
        SetTonaroFrameworkVersion(0x12000000);
        Engine::Instance().Reset();
        Engine::Instance().SetSettingsFolder(folder.File("settings"));
    }
    void TearDown() override { Engine::Instance().Reset(); }

    // A path record for an item of the test folder, made through a path.
    TonPathSpec2012 SpecFor(const std::string& name)
    {
        TonPathSpec2012 spec {};
        FCString path;
        path.SetUTF8String(folder.File(name).c_str());
        EXPECT_TRUE(path.MakeSpecFromFilePath(&spec)) << name;
        return spec;
    }

    TempFolder folder;
};

TEST_F(PathsTest, HostSettingsFoldersBecomePaths)
{
    FCString path;
    ASSERT_TRUE(path._SetTonaroPath(TONPATH_PLUGIN_SETTINGS));
    EXPECT_EQ(std::string(path.GetCString()), folder.File("settings"));
    ASSERT_TRUE(path._SetTonaroPath(TONPATH_PLUGIN_SETTINGS_OLD));
    EXPECT_EQ(std::string(path.GetCString()), folder.File("settings"));
    ASSERT_TRUE(path._SetTonaroPath(TONPATH_CONFIGURATION_FILES));
    EXPECT_EQ(std::string(path.GetCString()), folder.File("settings/Configuration Files"));
    EXPECT_TRUE(std::filesystem::is_directory(path.GetCString()));
}

TEST_F(PathsTest, UnknownFolderKindReleasesTheString)
{
    FCString path("previous text");
    EXPECT_FALSE(path._SetTonaroPath(99));
    EXPECT_TRUE(path.IsEmpty());
    EXPECT_EQ(path.GetCapacity(), 0u);  // released, not merely emptied
}

TEST_F(PathsTest, PathRecordAndPathRoundTrip)
{
    // Names with characters beyond Latin-1 and beyond the 16-bit range.
    const char* names[] = {"plain.txt", "Gr\xC3\xBC\xC3\x9F" "e.txt", "\xE2\x82\xAC \xF0\x9D\x84\x9E.txt", ".hidden"};
    for (const char* name : names) {
        TonPathSpec2012 spec = SpecFor(name);
        FCString back;
        ASSERT_TRUE(back.MakeFullFilePath(&spec)) << name;
        EXPECT_EQ(std::string(back.GetUTF8String()), folder.File(name));
        const char* posix = FCString::_MacPOSIXPathForTonPathSpec(&spec);
        ASSERT_NE(posix, nullptr);
        EXPECT_EQ(std::string(posix), folder.File(name));
    }
    // The name is stored as UTF-16 code units: U+1D11E takes two.
    TonPathSpec2012 spec = SpecFor("\xF0\x9D\x84\x9E");
    EXPECT_EQ(spec.nameLength, 2);
    EXPECT_EQ(spec.name[0], 0xD834);
    EXPECT_EQ(spec.name[1], 0xDD1E);
}

TEST_F(PathsTest, PathRecordNeedsAnExistingFolder)
{
    TonPathSpec2012 spec {};
    std::memset(&spec, 0x5A, sizeof spec);
    const TonPathSpec2012 before = spec;

    FCString missing((folder.File("no such folder") + "/x.txt").c_str());
    EXPECT_FALSE(missing.MakeSpecFromFilePath(&spec));
    folder.Write("file", "x");
    FCString underFile((folder.File("file") + "/x.txt").c_str());
    EXPECT_FALSE(underFile.MakeSpecFromFilePath(&spec));
    FCString noSlash("x.txt");
    EXPECT_FALSE(noSlash.MakeSpecFromFilePath(&spec));
    EXPECT_TRUE(SameSpec(spec, before));
    EXPECT_FALSE(noSlash.MakeSpecFromFilePath(nullptr));
}

TEST_F(PathsTest, NamesLongerThanTheNameFieldAreRefused)
{
    TonPathSpec2012 spec {};
    const TonPathSpec2012 before = spec;
    FCString tooLong((folder.Path() + "/" + std::string(256, 'n')).c_str());
    EXPECT_FALSE(tooLong.MakeSpecFromFilePath(&spec));
    EXPECT_TRUE(SameSpec(spec, before));

    FCString longest((folder.Path() + "/" + std::string(255, 'n')).c_str());
    ASSERT_TRUE(longest.MakeSpecFromFilePath(&spec));
    EXPECT_EQ(spec.nameLength, 255);
    FCString back;
    ASSERT_TRUE(back.MakeFullFilePath(&spec));
    EXPECT_TRUE(back.IsEqualString(&longest));
}

TEST_F(PathsTest, PathRecordsThatNameNoPathGiveNone)
{
    const TonPathSpec2012 good = SpecFor("x.txt");
    FCString kept("kept");

    TonPathSpec2012 zero {};  // a folder reference the platform never made
    EXPECT_EQ(FCString::_MacPOSIXPathForTonPathSpec(&zero), nullptr);
    EXPECT_FALSE(kept.MakeFullFilePath(&zero));

    TonPathSpec2012 overlong = good;
    overlong.nameLength = 256;
    EXPECT_EQ(FCString::_MacPOSIXPathForTonPathSpec(&overlong), nullptr);

    TonPathSpec2012 slash = good;  // a name must be one path component
    slash.name[1] = '/';
    EXPECT_EQ(FCString::_MacPOSIXPathForTonPathSpec(&slash), nullptr);

    TonPathSpec2012 zeroUnit = good;  // would cut the path short
    zeroUnit.name[1] = 0;
    EXPECT_EQ(FCString::_MacPOSIXPathForTonPathSpec(&zeroUnit), nullptr);

    TonPathSpec2012 loneSurrogate = good;
    loneSurrogate.name[0] = 0xD800;
    EXPECT_EQ(FCString::_MacPOSIXPathForTonPathSpec(&loneSurrogate), nullptr);
    EXPECT_FALSE(kept.MakeFullFilePath(&loneSurrogate));

    EXPECT_EQ(FCString::_MacPOSIXPathForTonPathSpec(nullptr), nullptr);
    EXPECT_FALSE(kept.MakeFullFilePath(nullptr));
    EXPECT_TRUE(kept.IsEqualCString("kept"));
}

TEST_F(PathsTest, FolderPathsOfAnyLength)
{
    // Deeper than the 1024 bytes a fixed path buffer would hold.
    std::string deep = folder.Path();
    for (int i = 0; i < 6; ++i) deep += "/" + std::string(200, static_cast<char>('a' + i));
    std::filesystem::create_directories(deep);
    FCString path((deep + "/file.txt").c_str());
    TonPathSpec2012 spec {};
    ASSERT_TRUE(path.MakeSpecFromFilePath(&spec));
    FCString back;
    ASSERT_TRUE(back.MakeFullFilePath(&spec));
    EXPECT_TRUE(back.IsEqualString(&path));
    EXPECT_GT(back.GetLength(), 1024u);
}

}  // namespace
