// The plug-in's two settings files when saving them fails: the preferences
// written at termination and the pitch lists written after each save or
// deletion. A failing write, sync, close or rename, or a full disk, must
// answer false and leave the old file byte-identical with no temporary file
// beside it.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "../framework/tempfolder.h"
#include "host/engine/engine.h"
#include "tests/pdk/filefaults.h"
#include "tonaroframework/base/frameworkversion.h"
#include "tonaropdk/bridge/hostbinding.h"
#include "zpchangepitches/storage/globaldialogsettings.h"
#include "zpchangepitches/storage/prefsstorage.h"

namespace {

using namespace filefaults;

const std::string kOldPrefs = "OTHER_PROGRAM_KEY=kept\nZPCHANGEPITCHES_FROM=C#\n";
const std::string kOldLists = "ZPCHANGEPITCHES_LIST_NAME_1=Old\n";

class StorageFaults : public testing::Test {
protected:
    void SetUp() override
    {
        InitializeGlobals();
        tonaroengine::Engine::Instance().Reset();
        tonaroengine::Engine::Instance().SetSettingsFolder(folder.Path());
        SetTonaroFrameworkVersion(0x1A000000);
        ResetGlobalDialogSettings();
        GlobalDialogSettings.fromPitch.SetCString("Eb");
        auto* list = new FCPitchChangeList;
        list->name.SetCString("New");
        FCString from("A#");
        FCString to("Bb");
        list->Add(new FCPitchChangeNode(&from, &to, PITCHDIRECTION_UP));
        GlobalDialogSettings.pitchLists.Add(list);
        folder.Write("zppluginprefs.txt", kOldPrefs);
        folder.Write("zpchangepitches.txt", kOldLists);
    }
    void TearDown() override
    {
        ResetGlobalDialogSettings();
        tonaroengine::Engine::Instance().Reset();
        SetTonaroFrameworkVersion(0x12000000);
    }

    void ExpectOldFilesAlone()
    {
        EXPECT_EQ(folder.Read("zppluginprefs.txt"), kOldPrefs);
        EXPECT_EQ(folder.Read("zpchangepitches.txt"), kOldLists);
        EXPECT_EQ(folder.Listing(), "zpchangepitches.txt;zppluginprefs.txt;");
    }

    TempFolder folder;
};

TEST_F(StorageFaults, FailedSavesAnswerFalseAndKeepBothFiles)
{
    for (const FailingCall& c : kFailingCalls) {
        SCOPED_TRACE(c.what);
        FileCallsGuard guard(ENOSPC);
        c.install(guard.Calls());
        EXPECT_FALSE(StoreUserPrefs(nullptr));
        EXPECT_FALSE(SavePitchLists());
        ExpectOldFilesAlone();
    }
    {
        FileSizeLimit limit(16);
        ASSERT_TRUE(limit.IsSet());
        EXPECT_FALSE(StoreUserPrefs(nullptr));
        EXPECT_FALSE(SavePitchLists());
    }
    ExpectOldFilesAlone();

    // With the real calls back both saves work, and the other program's key
    // is still there.
    ASSERT_TRUE(StoreUserPrefs(nullptr));
    ASSERT_TRUE(SavePitchLists());
    const std::string prefs = folder.Read("zppluginprefs.txt");
    EXPECT_EQ(prefs.rfind("OTHER_PROGRAM_KEY=kept\nZPCHANGEPITCHES_FROM=Eb\n", 0), 0u) << prefs;
    EXPECT_EQ(folder.Read("zpchangepitches.txt").rfind("ZPCHANGEPITCHES_LIST_NAME_1=New\n", 0), 0u);
}

}  // namespace
