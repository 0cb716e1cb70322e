// Preferences and saved pitch lists on disk: the settings-file form of the
// rules, the shared preferences file and the pitch-list file, in a settings
// folder of each test's own (the engine's per-user settings folder).
#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "../framework/tempfolder.h"
#include "tests/plugin/withoutfileoverride.h"
#include "host/engine/engine.h"
#include "tonaroframework/base/frameworkversion.h"
#include "tonaroframework/stream/fcsettingspairs.h"
#include "tonaroframework/stream/fctextfilestream.h"
#include "tonaropdk/bridge/hostbinding.h"
#include "zpchangepitches/storage/globaldialogsettings.h"
#include "zpchangepitches/storage/prefsstorage.h"
#include "tonaroframework/ui/fcuserwindow.h"

namespace {

// A framework window without a platform: only its stored placement is used.
class PlacementWindow : public FCUserWindow {
public:
    void CloseWindow() override {}
};

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Whether this thread may open path for reading (access() would judge root
// by its permitted capabilities, not its effective ones).
bool CanOpen(const std::string& path)
{
    const int fd = open(path.c_str(), O_RDONLY);
    if (fd >= 0) close(fd);
    return fd >= 0;
}

class StorageTest : public testing::Test {
protected:
    void SetUp() override
    {
        InitializeGlobals();
        tonaroengine::Engine::Instance().Reset();
        tonaroengine::Engine::Instance().SetSettingsFolder(folder.Path());
        SetTonaroFrameworkVersion(0x1A000000);
        ResetGlobalDialogSettings();
    }
    void TearDown() override
    {
        ResetGlobalDialogSettings();
        tonaroengine::Engine::Instance().Reset();
        SetTonaroFrameworkVersion(0x12000000);
    }
    std::string Prefs() const { return ReadFile(folder.File("zppluginprefs.txt")); }
    const FCPitchChangeNode* Row(int i) const { return GlobalDialogSettings.pitchChanges.GetItemAt(i); }

    TempFolder folder;
};

TEST_F(StorageTest, RowsLoadUntilTheFirstIncompleteRule)
{
    folder.Write("zppluginprefs.txt",
                 "ZPCHANGEPITCHES_LIST_FROM_1=A#\nZPCHANGEPITCHES_LIST_TO_1=Bb\n"
                 "ZPCHANGEPITCHES_LIST_UPDIRECTION_1=1\nZPCHANGEPITCHES_LIST_INUSE_1=1\n"
                 "ZPCHANGEPITCHES_LIST_FROM_2=C\nZPCHANGEPITCHES_LIST_TO_2=B#\n"
                 "ZPCHANGEPITCHES_LIST_UPDIRECTION_2=x\nZPCHANGEPITCHES_LIST_INUSE_2=0\n"
                 "ZPCHANGEPITCHES_LIST_FROM_4=D\nZPCHANGEPITCHES_LIST_TO_4=E\n"
                 "ZPCHANGEPITCHES_LIST_UPDIRECTION_4=2\nZPCHANGEPITCHES_LIST_INUSE_4=1\n");
    LoadUserPrefs(nullptr);
    ASSERT_EQ(GlobalDialogSettings.pitchChanges.GetCount(), 2);  // 4 follows a gap
    EXPECT_TRUE(Row(0)->From.IsEqualCString("A#"));
    EXPECT_TRUE(Row(0)->To.IsEqualCString("Bb"));
    EXPECT_EQ(Row(0)->direction, PITCHDIRECTION_UP);
    EXPECT_TRUE(Row(0)->inUse);
    EXPECT_EQ(Row(1)->direction, PITCHDIRECTION_DOWN);  // not a number reads as 0
    EXPECT_FALSE(Row(1)->inUse);

    ResetGlobalDialogSettings();
    folder.Write("zppluginprefs.txt",
                 "ZPCHANGEPITCHES_LIST_FROM_1=A\nZPCHANGEPITCHES_LIST_TO_1=B\nZPCHANGEPITCHES_LIST_UPDIRECTION_1=5\n");
    LoadUserPrefs(nullptr);
    EXPECT_EQ(GlobalDialogSettings.pitchChanges.GetCount(), 0);  // no INUSE pair
}

TEST_F(StorageTest, ScalarPreferencesAndDirectionCodes)
{
    struct Case { const char* value; PITCHDIRECTION direction; } cases[] = {
        {"1", PITCHDIRECTION_UP}, {"0", PITCHDIRECTION_DOWN}, {"2", PITCHDIRECTION_CLOSEST},
        {"5", PITCHDIRECTION_CLOSEST}, {"", PITCHDIRECTION_DOWN}, {"up", PITCHDIRECTION_DOWN}};
    for (const Case& c : cases) {
        ResetGlobalDialogSettings();
        folder.Write("zppluginprefs.txt", std::string("ZPCHANGEPITCHES_UPDIRECTION=") + c.value +
                                              "\nZPCHANGEPITCHES_RESPACE=true\nZPCHANGEPITCHES_FROM= Cb \n");
        LoadUserPrefs(nullptr);
        EXPECT_EQ(GlobalDialogSettings.direction, c.direction) << c.value;
        EXPECT_FALSE(GlobalDialogSettings.respace);
        EXPECT_TRUE(GlobalDialogSettings.soundingPitch);  // missing: default kept
        EXPECT_TRUE(GlobalDialogSettings.fromPitch.IsEqualCString("Cb"));
    }
    // Every direction survives a store and a load.
    for (PITCHDIRECTION direction : {PITCHDIRECTION_UP, PITCHDIRECTION_DOWN, PITCHDIRECTION_CLOSEST}) {
        GlobalDialogSettings.direction = direction;
        ASSERT_TRUE(StoreUserPrefs(nullptr));
        GlobalDialogSettings.direction = PITCHDIRECTION_UP;
        LoadUserPrefs(nullptr);
        EXPECT_EQ(GlobalDialogSettings.direction, direction);
    }
}

TEST_F(StorageTest, PlacementNeedsAllFourKeys)
{
    folder.Write("zppluginprefs.txt", "ZPCHANGEPITCHES_WINDOWX2=10\nZPCHANGEPITCHES_WINDOWY2=20\n");
    PlacementWindow window;
    LoadUserPrefs(&window);
    EXPECT_FALSE(window.IsPositionStored());
    folder.Write("zppluginprefs.txt", "ZPCHANGEPITCHES_WINDOWX2=10\nZPCHANGEPITCHES_WINDOWY2=20\n"
                                      "ZPCHANGEPITCHES_WINDOWWIDTH2=300\nZPCHANGEPITCHES_WINDOWHEIGHT2=400\n");
    LoadUserPrefs(&window);
    EXPECT_EQ(window.GetStoredX(), 10);
    EXPECT_EQ(window.GetStoredHeight(), 400);
    ASSERT_TRUE(StoreUserPrefs(&window));
    EXPECT_NE(Prefs().find("ZPCHANGEPITCHES_WINDOWWIDTH2=300\n"), std::string::npos);
}

TEST_F(StorageTest, StoreKeepsOtherProgramsKeysAndRewritesRows)
{
    folder.Write("zppluginprefs.txt",
                 "OTHER_FIRST=1\n\nno equals sign here\nZPCHANGEPITCHES_FROM=G\n"
                 "ZPCHANGEPITCHES_LIST_FROM_1=A\nZPCHANGEPITCHES_LIST_TO_1=B\n"
                 "ZPCHANGEPITCHES_LIST_UPDIRECTION_1=1\nZPCHANGEPITCHES_LIST_INUSE_1=1\n"
                 "ZPCHANGEPITCHES_LIST_FROM_5=old\nOTHER_LAST = x y \n");
    GlobalDialogSettings.fromPitch.SetCString("F#");
    FCString from("Eb");
    FCString to("D#");
    GlobalDialogSettings.pitchChanges.Add(new FCPitchChangeNode(&from, &to, PITCHDIRECTION_CLOSEST));
    ASSERT_TRUE(StoreUserPrefs(nullptr));
    EXPECT_EQ(Prefs(),
              "OTHER_FIRST=1\nZPCHANGEPITCHES_FROM=F#\nOTHER_LAST=x y\n"
              "ZPCHANGEPITCHES_TO=Bb\nZPCHANGEPITCHES_UPDIRECTION=2\n"
              "ZPCHANGEPITCHES_SOUNDINGPITCH=1\nZPCHANGEPITCHES_RESPACE=1\n"
              "ZPCHANGEPITCHES_LIST_FROM_1=Eb\nZPCHANGEPITCHES_LIST_TO_1=D#\n"
              "ZPCHANGEPITCHES_LIST_UPDIRECTION_1=2\nZPCHANGEPITCHES_LIST_INUSE_1=0\n");
}

TEST_F(StorageTest, AnUnreadablePrefsFileIsNeverOverwritten)
{
    const std::string original = "OTHER_PROGRAM=keep me\n";
    folder.Write("zppluginprefs.txt", original);
    std::filesystem::permissions(folder.File("zppluginprefs.txt"), std::filesystem::perms::none);
    {
        WithoutFileOverride ordinaryUser;
        if (CanOpen(folder.File("zppluginprefs.txt"))) GTEST_SKIP() << "permissions not enforced";
        EXPECT_FALSE(StoreUserPrefs(nullptr));
    }
    std::filesystem::permissions(folder.File("zppluginprefs.txt"), std::filesystem::perms::owner_all);
    EXPECT_EQ(Prefs(), original);
}

TEST_F(StorageTest, AnUnreadablePitchListFileIsNeverOverwritten)
{
    // A folder in its place cannot be read (though the C library opens it).
    std::filesystem::create_directory(folder.File("zpchangepitches.txt"));
    LoadPitchLists();
    EXPECT_FALSE(CanSavePitchLists());
    std::filesystem::remove(folder.File("zpchangepitches.txt"));
    LoadPitchLists();
    EXPECT_TRUE(CanSavePitchLists());  // a missing file is simply made

    const std::string original = "ZPCHANGEPITCHES_LIST_NAME_1=Kept\n";
    folder.Write("zpchangepitches.txt", original);
    std::filesystem::permissions(folder.File("zpchangepitches.txt"), std::filesystem::perms::none);
    {
        WithoutFileOverride ordinaryUser;
        if (CanOpen(folder.File("zpchangepitches.txt"))) GTEST_SKIP() << "permissions not enforced";
        LoadPitchLists();
        EXPECT_FALSE(CanSavePitchLists());
        EXPECT_FALSE(SavePitchLists());
    }
    // Readable again, but the lists in memory are not the file's.
    EXPECT_FALSE(SavePitchLists());
    std::filesystem::permissions(folder.File("zpchangepitches.txt"), std::filesystem::perms::owner_all);
    EXPECT_EQ(ReadFile(folder.File("zpchangepitches.txt")), original);
}

TEST_F(StorageTest, ADamagedListCostsOnlyItselfAndListsRenumberOnSave)
{
    auto list = [](int n, const char* name, bool withRule) {
        const std::string suffix = std::to_string(n) + "_1=";
        std::string text = name ? "ZPCHANGEPITCHES_LIST_NAME_" + std::to_string(n) + "=" + name + "\n" : "";
        if (withRule)
            text += "ZPCHANGEPITCHES_LIST_FROM_" + suffix + "A\nZPCHANGEPITCHES_LIST_TO_" + suffix + "B\n" +
                    "ZPCHANGEPITCHES_LIST_UPDIRECTION_" + suffix + "0\nZPCHANGEPITCHES_LIST_INUSE_" + suffix + "1\n";
        return text;
    };
    // List 2 of 4 without rules, then without a name.
    for (const std::string& second : {list(2, "NoRules", false), list(2, nullptr, true)}) {
        folder.Write("zpchangepitches.txt", list(1, "First", true) + second + list(3, "Third", true) +
                                                list(4, "Fourth", true));
        LoadPitchLists();
        const FCPitchChangeLists& lists = GlobalDialogSettings.pitchLists;
        ASSERT_EQ(lists.GetCount(), 3);
        EXPECT_TRUE(lists.GetItemAt(1)->name.IsEqualCString("Third"));
        EXPECT_TRUE(lists.GetItemAt(2)->name.IsEqualCString("Fourth"));
        EXPECT_EQ(lists.GetItemAt(2)->GetItemAt(0)->direction, PITCHDIRECTION_DOWN);
        EXPECT_EQ(GlobalDialogSettings.unreadPitchListNumbers, std::vector<int>{2});
    }
    ASSERT_TRUE(SavePitchLists());
    EXPECT_EQ(ReadFile(folder.File("zpchangepitches.txt")),
              list(1, "First", true) + list(2, "Third", true) + list(3, "Fourth", true));

    // A name without a complete rule is no list.
    FCSettingsPairs pairs;
    FCString key("ZPCHANGEPITCHES_LIST_NAME_1");
    FCString value("Empty");
    pairs.AddKeyValue(&key, &value);
    FCPitchChangeList empty;
    EXPECT_FALSE(empty.TryToBuildFromSettingsPairs(&pairs, 1));
    EXPECT_FALSE(empty.TryToBuildFromSettingsPairs(&pairs, 2));

    // A list without rules in memory is written as its name alone.
    GlobalDialogSettings.pitchLists.ClearItemAt(0);
    GlobalDialogSettings.pitchLists.ClearItemAt(0);
    GlobalDialogSettings.pitchLists.Add(new FCPitchChangeList);
    GlobalDialogSettings.pitchLists.GetItemAt(1)->name.SetCString("Bare");
    ASSERT_TRUE(SavePitchLists());
    EXPECT_EQ(ReadFile(folder.File("zpchangepitches.txt")), list(1, "Fourth", true) + list(2, "Bare", false));
}

TEST_F(StorageTest, AnyTextSurvivesAndNoneCanInjectAKey)
{
    // A name and a From beyond Latin-1, and line ends pasted into the texts.
    auto* list = new FCPitchChangeList;
    FCString name;
    name.SetUnicodeString(reinterpret_cast<const unsigned short*>(u"\u03A9mega \u4E00\u53F7"));
    list->name.SetString(&name);
    FCString from("C#\nZPCHANGEPITCHES_LIST_NAME_2=Injected");
    FCString to("Db");
    list->Add(new FCPitchChangeNode(&from, &to, PITCHDIRECTION_UP));
    GlobalDialogSettings.pitchLists.Add(list);
    GlobalDialogSettings.fromPitch.SetUnicodeString(reinterpret_cast<const unsigned short*>(u"\u03A9"));
    GlobalDialogSettings.toPitch.SetCString("C#\r\nZPCHANGEPITCHES_RESPACE=0");
    ASSERT_TRUE(SavePitchLists());
    ASSERT_TRUE(StoreUserPrefs(nullptr));

    ResetGlobalDialogSettings();
    LoadUserPrefs(nullptr);
    LoadPitchLists();
    EXPECT_TRUE(GlobalDialogSettings.respace);
    EXPECT_TRUE(GlobalDialogSettings.toPitch.IsEqualCString("C#  ZPCHANGEPITCHES_RESPACE=0"));
    EXPECT_EQ(GlobalDialogSettings.fromPitch.GetItemAt(0), 0x03A9);
    ASSERT_EQ(GlobalDialogSettings.pitchLists.GetCount(), 1);
    const FCPitchChangeList* read = GlobalDialogSettings.pitchLists.GetItemAt(0);
    EXPECT_TRUE(read->name.IsEqualString(&name));
    EXPECT_TRUE(read->GetItemAt(0)->From.IsEqualCString("C# ZPCHANGEPITCHES_LIST_NAME_2=Injected"));
}

TEST_F(StorageTest, ADanglingPrefsLinkIsAFileStillToBeMade)
{
    std::filesystem::create_symlink("elsewhere.txt", folder.File("zppluginprefs.txt"));
    GlobalDialogSettings.fromPitch.SetCString("Gb");
    ASSERT_TRUE(StoreUserPrefs(nullptr));
    EXPECT_TRUE(std::filesystem::is_symlink(folder.File("zppluginprefs.txt")));
    EXPECT_EQ(Prefs().rfind("ZPCHANGEPITCHES_FROM=Gb\n", 0), 0u);
}

TEST_F(StorageTest, FolderKindFollowsTheHostVersion)
{
    // Both kinds lead to the engine's settings folder; without one nothing opens.
    SetTonaroFrameworkVersion(0x0F000000);
    ASSERT_TRUE(StoreUserPrefs(nullptr));
    EXPECT_FALSE(Prefs().empty());
    tonaroengine::Engine::Instance().SetSettingsFolder("/proc/no-such-folder-here");
    std::unique_ptr<FCTextFileStream> stream(CreateZPOptionsStreamObject(true));
    EXPECT_FALSE(stream->OpenWrite());
}

}  // namespace
