// Saving scores under failing file calls, as plain MusicXML and as .mxl
// archives: a full disk, short and failing writes, a failing open, sync,
// close or rename, and a process that dies before its rename. Each failure
// must leave the old file byte-identical, answer false with a message, and
// leave no temporary file behind (except where the process died; the next
// save must then still work). Writes that the system splits up or
// interrupts must still succeed.
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <set>

#include "musicxmltesting.h"
#include "tests/pdk/filefaults.h"

namespace {

using namespace musicxmltesting;
using namespace filefaults;
using tonaroengine::Document;

const std::string kOldBytes = "the score as it was before the save\n";

// A score of 30 measures of four notes: some kilobytes of text.
std::string LongScore()
{
    std::string measures;
    for (int m = 1; m <= 30; ++m) {
        measures += "    <measure number=\"" + std::to_string(m) + "\">\n";
        if (m == 1) measures += "      <attributes><divisions>1</divisions><key><fifths>0</fifths></key></attributes>\n";
        measures += Note("C", 4) + Note("E", 4) + Note("G", 4, 1) + Note("B", 4, -1);
        measures += "    </measure>\n";
    }
    return Score(measures);
}

// One fixture per kind of file: the parameter is the target's extension.
class ScoreSaveFaults : public MusicXmlTest, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override
    {
        MusicXmlTest::SetUp();
        doc_ = OpenText("source.musicxml", LongScore());
        ASSERT_NE(doc_, nullptr);
        target_ = Path(std::string("score") + GetParam());
        WriteText(target_, kOldBytes);
    }

    bool Save(std::string* message = nullptr)
    {
        tonaroengine::MusicXmlError error;
        const bool saved = tonaroengine::SaveMusicXml(doc_, target_, &error);
        if (message) *message = error.Text();
        return saved;
    }

    // The names in the test folder, sorted, each closed by ";".
    std::string Listing() const
    {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir_)) names.insert(entry.path().filename().string());
        std::string listing;
        for (const std::string& name : names) listing += name + ";";
        return listing;
    }

    std::string CleanListing() const { return std::string("score") + GetParam() + ";source.musicxml;"; }

    // The pitches that a save wrote, read back by opening it.
    std::string SavedPitches()
    {
        tonaroengine::MusicXmlError error;
        Document* reopened = tonaroengine::OpenMusicXml(target_, &error);
        EXPECT_NE(reopened, nullptr) << error.Text();
        if (!reopened) return {};
        std::string text;
        for (const auto& [where, pitch] : AllPitches(*reopened))
            text += std::to_string(pitch.absStep) + "/" + std::to_string(pitch.alter) + " ";
        return text;
    }

    Document* doc_ = nullptr;
    std::string target_;
};

TEST_P(ScoreSaveFaults, FullDiskIsReportedAndKeepsTheOldFile)
{
    bool saved = true;
    std::string message;
    {
        FileSizeLimit limit(200);
        ASSERT_TRUE(limit.IsSet());
        saved = Save(&message);
    }
    EXPECT_FALSE(saved);
    EXPECT_NE(message.find("File too large"), std::string::npos) << message;
    EXPECT_EQ(ReadText(target_), kOldBytes);
    EXPECT_EQ(Listing(), CleanListing());
}

TEST_P(ScoreSaveFaults, EveryFailingCallIsReportedAndKeepsTheOldFile)
{
    for (const FailingCall& c : kFailingCalls) {
        SCOPED_TRACE(c.what);
        FileCallsGuard guard(ENOSPC);
        c.install(guard.Calls());
        std::string message;
        EXPECT_FALSE(Save(&message));
        EXPECT_NE(message.find("No space left on device"), std::string::npos) << message;
        EXPECT_EQ(ReadText(target_), kOldBytes);
        EXPECT_EQ(Listing(), CleanListing());
    }
    // With the real calls back, the same save works.
    ASSERT_TRUE(Save());
    EXPECT_NE(ReadText(target_), kOldBytes);
}

TEST_P(ScoreSaveFaults, ShortAndInterruptedWritesAreCarriedOnUntilDone)
{
    ASSERT_TRUE(Save());
    const std::string expected = SavedPitches();
    const size_t size = ReadText(target_).size();
    WriteText(target_, kOldBytes);
    {
        FileCallsGuard guard;
        guard.Calls().writeFile = WriteInDribbles;
        std::string message;
        ASSERT_TRUE(Save(&message)) << message;
        EXPECT_EQ(gBytesWritten, size);  // every byte went through the table
    }
    EXPECT_EQ(ReadText(target_).size(), size);
    EXPECT_EQ(SavedPitches(), expected);
    EXPECT_EQ(Listing(), CleanListing());
}

TEST_P(ScoreSaveFaults, DeathBeforeTheRenameKeepsTheOldFileAndTheNextSaveWorks)
{
    std::fflush(nullptr);  // nothing buffered is written twice by the child
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        TonaroGetFileCalls()->renameFile = DieBeforeRename;
        Save();
        _exit(0);  // not reached when the save renames
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), kDiedBeforeRename);
    EXPECT_EQ(ReadText(target_), kOldBytes);

    // The dead process's temporary file is hidden and stays; the next save
    // is not disturbed by it.
    const std::string listing = Listing();
    EXPECT_EQ(listing.rfind(".tonaro-", 0), 0u) << listing;
    std::string message;
    ASSERT_TRUE(Save(&message)) << message;
    EXPECT_NE(ReadText(target_), kOldBytes);
    EXPECT_FALSE(SavedPitches().empty());
}

// Not a fault, but the same replacement: a score reached through a symbolic
// link is replaced where the link points, the link stays, and a target that
// is not a regular file is refused rather than replaced.
TEST_P(ScoreSaveFaults, LinksAreFollowedAndOtherKindsOfFileRefused)
{
    const std::string real = Path(std::string("real") + GetParam());
    WriteText(real, kOldBytes);
    std::filesystem::remove(target_);
    std::filesystem::create_symlink(real, target_);
    std::string message;
    ASSERT_TRUE(Save(&message)) << message;
    EXPECT_TRUE(std::filesystem::is_symlink(target_));
    EXPECT_NE(ReadText(real), kOldBytes);
    EXPECT_FALSE(SavedPitches().empty());

    const std::string folder = Path(std::string("folder") + GetParam());
    std::filesystem::create_directory(folder);
    tonaroengine::MusicXmlError error;
    EXPECT_FALSE(tonaroengine::SaveMusicXml(doc_, folder, &error));
    EXPECT_NE(error.Text().find("Is a directory"), std::string::npos) << error.Text();
    EXPECT_TRUE(std::filesystem::is_directory(folder));
}

INSTANTIATE_TEST_SUITE_P(PlainAndArchive, ScoreSaveFaults, ::testing::Values(".musicxml", ".mxl"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param).substr(1);
                         });

}  // namespace
