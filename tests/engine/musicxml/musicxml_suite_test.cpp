// Golden-file round trips over the MusicXML test suite: every file opens
// (or is refused with a clear message), saves equal to its input as XML,
// and, after one rule changed every note, differs only in pitches and the
// accidentals of changed lines, and opens again with the changed pitches.
#include <algorithm>
#include <filesystem>

#include "musicxmltesting.h"

namespace {

using namespace musicxmltesting;
using tonaroengine::musicxml::AbsPitch;
using tonaroengine::musicxml::FloorMod;

std::vector<std::string> SuiteFiles()
{
    std::vector<std::string> files;
    std::error_code error;
    for (const auto& item : std::filesystem::directory_iterator(DataDir() + "/musicxml-suite", error)) {
        const std::string name = item.path().filename().string();
        const std::string extension = item.path().extension().string();
        if (extension == ".xml" || extension == ".musicxml" || extension == ".mxl") files.push_back(name);
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string TestName(const ::testing::TestParamInfo<std::string>& info)
{
    std::string name = info.param;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

// The rule applied to every note: F (any alteration up to a sharp) one half
// step higher, B (down to a flat) one half step lower.
bool SharpenFsFlattenBs(AbsPitch* pitch)
{
    const int step = FloorMod(pitch->absStep, 7);
    if (step == 3 && pitch->alter <= 1) {
        ++pitch->alter;
        return true;
    }
    if (step == 6 && pitch->alter >= -1) {
        --pitch->alter;
        return true;
    }
    return false;
}

// The XML text of a saved file (the root member for archives).
std::string ScoreText(const std::string& path)
{
    if (path.size() < 4 || path.substr(path.size() - 4) != ".mxl") return ReadText(path);
    return CommandOutput("unzip -p '" + path + "' $(unzip -Z1 '" + path +
                         "' | grep -v -e '^META-INF' -e '/$' -e '.pdf$' -e '^mimetype$' | head -1)");
}

class SuiteRoundTrip : public MusicXmlTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(SuiteRoundTrip, OpensAndSavesEqualUnchangedAndOnlyPitchesWhenChanged)
{
    const std::string input = DataDir() + "/musicxml-suite/" + GetParam();
    tonaroengine::MusicXmlError error;
    tonaroengine::Document* doc = tonaroengine::OpenMusicXml(input, &error);
    if (!doc) {
        // A refusal must say what and where.
        EXPECT_FALSE(error.message.empty());
        EXPECT_NE(error.Text().find(GetParam()), std::string::npos) << error.Text();
        RecordProperty("refused", error.Text());
        return;
    }
    EXPECT_GT(doc->StaffCount(), 0);
    EXPECT_GT(doc->MeasureCount(), 0);

    const std::string extension = std::filesystem::path(input).extension().string();
    const std::string unchanged = Path("unchanged" + extension);
    ASSERT_TRUE(tonaroengine::SaveMusicXml(doc, unchanged, &error)) << error.Text();
    const std::string inputText = ScoreText(input);
    const std::string unchangedText = ScoreText(unchanged);
    std::string where;
    EXPECT_TRUE(SameXml(inputText, unchangedText, false, &where)) << where << "\n" << UnifiedDiff(input, unchanged);

    // One rule over every note, then save and read back.
    const auto before = AllPitches(*doc);
    const int changed = ChangeEveryNote(*doc, SharpenFsFlattenBs);
    const auto expected = AllPitches(*doc);
    const std::string changedPath = Path("changed" + extension);
    tonaroengine::MusicXmlSaveReport report;
    ASSERT_TRUE(tonaroengine::SaveMusicXml(doc, changedPath, &error, {}, &report)) << error.Text();
    EXPECT_EQ(static_cast<int>(report.changedNotes + report.notesLeftAsTheyWere), changed);
    const std::string changedText = ScoreText(changedPath);
    EXPECT_TRUE(SameXml(inputText, changedText, true, &where)) << where << "\n" << UnifiedDiff(input, changedPath);
    if (changed == 0) {
        EXPECT_EQ(changedText, unchangedText);
    }

    tonaroengine::Document* reopened = tonaroengine::OpenMusicXml(changedPath, &error);
    ASSERT_NE(reopened, nullptr) << error.Text();
    const auto after = AllPitches(*reopened);
    ASSERT_EQ(after.size(), expected.size());
    size_t leftAlone = 0;
    for (size_t i = 0; i < after.size(); ++i) {
        if (after[i].second == expected[i].second) continue;
        // Only notes the file cannot take keep their old pitch.
        EXPECT_EQ(after[i].second, before[i].second) << "note " << i;
        ++leftAlone;
    }
    EXPECT_EQ(leftAlone, report.notesLeftAsTheyWere);
}

INSTANTIATE_TEST_SUITE_P(MusicXmlSuite, SuiteRoundTrip, ::testing::ValuesIn(SuiteFiles()), TestName);

TEST(MusicXmlSuiteFiles, AreThereWithTheirLicense)
{
    EXPECT_GT(SuiteFiles().size(), 100u);
    EXPECT_TRUE(std::filesystem::exists(DataDir() + "/musicxml-suite/LICENSE"));
}

}  // namespace
