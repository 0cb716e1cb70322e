// Settings files under failing file calls: a full disk, short and failing
// writes, a failing open, sync, close or rename, and a process that dies
// before its rename. Each failure must leave the old file byte-identical,
// be reported by Close, and leave no temporary file behind (except where the
// process died; the next save must then still work). Writes that the system
// splits up or interrupts must still succeed.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <string>

#include "tempfolder.h"
#include "tests/pdk/filefaults.h"
#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/stream/fcsettingspair.h"
#include "tonaroframework/stream/fcsettingspairs.h"
#include "tonaroframework/stream/fctextfilestream.h"

namespace {

using namespace filefaults;

const std::string kOldFile = "OTHER_PROGRAM=keep me\nZPCHANGEPITCHES_FROM=A#\n";

class SettingsSaveFaults : public testing::Test {
protected:
    void SetUp() override { folder.Write("zppluginprefs.txt", kOldFile); }

    // Pairs whose text is far longer than any buffer or limit below.
    static std::unique_ptr<FCSettingsPairs> ManyPairs()
    {
        auto pairs = std::make_unique<FCSettingsPairs>();
        for (int i = 0; i < 400; ++i) {
            FCString key(("ZPCHANGEPITCHES_LIST_FROM_" + std::to_string(i)).c_str());
            FCString value("a value long enough to fill the buffers of the C library quickly");
            pairs->AddKeyValue(&key, &value);
        }
        return pairs;
    }

    static std::string Expected(const FCSettingsPairs& pairs)
    {
        std::string text;
        for (int i = 0; i < pairs.GetCount(); ++i)
            text += std::string(pairs.GetItemAt(i)->GetKey()->GetCString()) + "=" +
                    pairs.GetItemAt(i)->GetValue()->GetCString() + "\n";
        return text;
    }

    // Opens the prefs file for writing, writes the pairs and closes it, as
    // the plug-in's store does; the answer of Close (false when the open
    // already failed).
    bool Save(const FCSettingsPairs& pairs)
    {
        FCString name("zppluginprefs.txt");
        FCTextFileStream stream(folder.Path().c_str(), &name);
        if (!stream.OpenWrite()) return false;
        EXPECT_TRUE(stream.WriteSettingsPairs(&pairs));
        return stream.Close();
    }

    void ExpectOldFileAlone()
    {
        EXPECT_EQ(folder.Read("zppluginprefs.txt"), kOldFile);
        EXPECT_EQ(folder.Listing(), "zppluginprefs.txt;");
    }

    TempFolder folder;
};

TEST_F(SettingsSaveFaults, FullDiskIsReportedAndKeepsTheOldFile)
{
    const auto pairs = ManyPairs();
    bool saved = true;
    {
        FileSizeLimit limit(100);
        ASSERT_TRUE(limit.IsSet());
        saved = Save(*pairs);
    }
    EXPECT_FALSE(saved);
    ExpectOldFileAlone();
}

TEST_F(SettingsSaveFaults, EveryFailingCallIsReportedAndKeepsTheOldFile)
{
    const auto pairs = ManyPairs();
    for (const FailingCall& c : kFailingCalls) {
        SCOPED_TRACE(c.what);
        FileCallsGuard guard(ENOSPC);
        c.install(guard.Calls());
        EXPECT_FALSE(Save(*pairs));
        ExpectOldFileAlone();
    }
    // With the real calls back, the same save works.
    EXPECT_TRUE(Save(*pairs));
    EXPECT_EQ(folder.Read("zppluginprefs.txt"), Expected(*pairs));
}

TEST_F(SettingsSaveFaults, ShortAndInterruptedWritesAreCarriedOnUntilDone)
{
    const auto pairs = ManyPairs();
    FileCallsGuard guard;
    guard.Calls().writeFile = WriteInDribbles;
    ASSERT_TRUE(Save(*pairs));
    const std::string expected = Expected(*pairs);
    EXPECT_EQ(folder.Read("zppluginprefs.txt"), expected);
    EXPECT_EQ(gBytesWritten, expected.size());  // every byte went through the table
    EXPECT_EQ(folder.Listing(), "zppluginprefs.txt;");
}

TEST_F(SettingsSaveFaults, DirectWritesLoopOverPartialWrites)
{
    FileCallsGuard guard;
    guard.Calls().writeFile = WriteInDribbles;
    const std::string path = folder.File("raw");
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    const std::string text = "forty bytes of text, written 7 at a time";
    EXPECT_TRUE(TonaroWriteFully(fd, text.data(), text.size()));
    ::close(fd);
    EXPECT_EQ(folder.Read("raw"), text);
    EXPECT_GT(gWriteCalls, 10);

    // A write that answers 0 makes no progress: a failure, not an endless loop.
    guard.Calls().writeFile = [](int, const void*, size_t) -> ssize_t { return 0; };
    const int again = ::open(path.c_str(), O_WRONLY);
    ASSERT_GE(again, 0);
    errno = 0;
    EXPECT_FALSE(TonaroWriteFully(again, "x", 1));
    EXPECT_EQ(errno, ENOSPC);
    ::close(again);
}

TEST_F(SettingsSaveFaults, DeathBeforeTheRenameKeepsTheOldFileAndTheNextSaveWorks)
{
    const auto pairs = ManyPairs();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        TonaroGetFileCalls()->renameFile = DieBeforeRename;
        Save(*pairs);
        _exit(0);  // not reached when the save renames
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), kDiedBeforeRename);
    EXPECT_EQ(folder.Read("zppluginprefs.txt"), kOldFile);

    // The dead process's temporary file is hidden and stays; the next save
    // is not disturbed by it.
    const std::string listing = folder.Listing();
    EXPECT_EQ(listing.rfind(".tonaro-", 0), 0u) << listing;
    ASSERT_TRUE(Save(*pairs));
    EXPECT_EQ(folder.Read("zppluginprefs.txt"), Expected(*pairs));
}

}  // namespace
