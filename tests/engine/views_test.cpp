// Selection, menu commands, redraws, alerts, folders, window info and the
// host dialogs, as the host application observes and configures them.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "enginefixture.h"
#include "tonaropdk/hostapi/fxfunctions.h"
#include "tonaropdk/platform/fsref.h"

using namespace tonaroengine;

namespace {

constexpr uint32_t V = FXT_VERSION_2012;

struct Recorder : EngineObserver {
    void CommandExecuted(int16_t document, uint32_t code) override { commands.push_back({document, code}); }
    void RedrawRequested(int16_t, const EREGION& region) override { redraws.push_back(region); }
    bool AlertShown(const std::string& text) override
    {
        alerts.push_back(text);
        return true;
    }
    void SelectionChanged(int16_t) override { ++selections; }
    void DocumentChanged(int16_t) override { ++changes; }
    void ScrolledTo(int16_t, int16_t measure, int16_t staff) override { scrolls.push_back({measure, staff}); }

    std::vector<std::pair<int16_t, uint32_t>> commands;
    std::vector<EREGION> redraws;
    std::vector<std::string> alerts;
    std::vector<std::pair<int16_t, int16_t>> scrolls;
    int selections = 0;
    int changes = 0;
};

std::string PathOf(const TonPathSpec2012& spec)
{
    uint8_t parent[4096];
    if (FSRefMakePath(&spec.parent, parent, sizeof parent) != noErr) return {};
    std::string name;
    for (int i = 0; i < spec.nameLength; ++i) name.push_back(static_cast<char>(spec.name[i]));
    return std::string(reinterpret_cast<char*>(parent)) + "/" + name;
}

}  // namespace

TEST_F(EngineTest, SelectionAndTheWholeDocument)
{
    Document* doc = MakeScore();
    Recorder recorder;
    Engine::Instance().AddObserver(&recorder);
    EREGIONINFO info{};
    EREGION selection{}, whole{};
    EXPECT_EQ(FX_GetCurERegions(&info, &selection, &whole, V), 0);
    EXPECT_EQ(+whole.startSlot, 1);
    EXPECT_EQ(+whole.endSlot, 3);
    EXPECT_EQ(+whole.endMeas, 4);
    EXPECT_EQ(+whole.endPos, EREGION_ENDOFMEASURE);
    EXPECT_EQ(+info.document, doc->Number());

    EREGION region = Document::MakeRegion(3, 2, 2, 3, 512, 1024);  // slots given in reverse
    ASSERT_TRUE(FX_SetCurERegionMac(&region, V));
    ASSERT_TRUE(FX_GetCurERegions(nullptr, &selection, &whole, V));
    EXPECT_EQ(+selection.startSlot, 2);
    EXPECT_EQ(+selection.endSlot, 3);
    EXPECT_EQ(+selection.startPos, 512);
    EXPECT_EQ(recorder.selections, 1);

    EREGION outside = Document::MakeRegion(1, 1, 4, 1);
    EXPECT_FALSE(FX_SetCurERegionMac(&outside, V));
    EXPECT_FALSE(FX_SetCurERegionMac(nullptr, V));
    ASSERT_TRUE(FX_GetCurERegions(nullptr, &selection, nullptr, V));
    EXPECT_EQ(+selection.startSlot, 2);
    doc->ClearSelection();
    EXPECT_EQ(FX_GetCurERegions(nullptr, &selection, nullptr, V), 0);
    Engine::Instance().RemoveObserver(&recorder);
}

TEST_F(EngineTest, RespaceMarksTheSelectedMeasuresWhoseMusicChangedAndIsObserved)
{
    Document* doc = MakeScore();
    ASSERT_NE(doc->AddEntry(7, 2, 0, Chord({Note("C3")})), 0u);
    ASSERT_NE(doc->AddEntry(3, 4, 0, Chord({Note("D4")})), 0u);
    Recorder recorder;
    Engine::Instance().AddObserver(&recorder);
    ASSERT_TRUE(doc->SetSelection(Document::MakeRegion(1, 2, 3, 4)));
    const uint32_t respace = MakeEDTag('M', 'S', 'p', 'N');
    ASSERT_TRUE(FX_ExecuteMenuItem(respace, V));
    EXPECT_FALSE(doc->IsRespaced(1));
    EXPECT_TRUE(doc->IsRespaced(2));
    EXPECT_FALSE(doc->IsRespaced(3));  // its music is as it was laid out
    EXPECT_TRUE(doc->IsRespaced(4));
    ASSERT_EQ(recorder.commands.size(), 1u);
    EXPECT_EQ(recorder.commands[0].second, respace);
    EXPECT_EQ(recorder.changes, 1);
    ASSERT_EQ(Engine::Instance().ExecutedCommands().size(), 1u);

    EXPECT_FALSE(FX_ExecuteMenuItem(MakeEDTag('X', 'X', 'X', 'X'), V));
    EXPECT_FALSE(FX_ExecuteMenuItem(0, V));
    EXPECT_TRUE(FX_ExecuteMenuItem(MakeEDTag('V', 'w', 'P', 'g'), V));
    EXPECT_EQ(Engine::Instance().ExecutedCommands().size(), 2u);

    EREGION region = Document::MakeRegion(1, 1, 1, 1);
    ASSERT_TRUE(FX_RedrawMusic(&region, V));
    ASSERT_EQ(recorder.redraws.size(), 1u);
    EXPECT_EQ(+recorder.redraws[0].endMeas, 1);
    EXPECT_FALSE(FX_RedrawMusic(nullptr, V));
    Engine::Instance().RemoveObserver(&recorder);
}

TEST_F(EngineTest, RespaceGivesUnchangedMusicItsLayoutAndReturnsAtTheLastMeasureNumber)
{
    Document* doc = Engine::Instance().NewDocument();
    doc->AddStaff(1);
    ASSERT_EQ(doc->AddMeasures(32767), 32767);
    ASSERT_NE(doc->AddEntry(1, 32767, 0, Chord({Note("E4")})), 0u);
    const uint32_t respace = MakeEDTag('M', 'S', 'p', 'N');
    // A selection that ends at the last measure number a 16-bit word holds.
    ASSERT_TRUE(doc->SetSelection(Document::MakeRegion(1, 32760, 1, 32767)));
    ASSERT_TRUE(FX_ExecuteMenuItem(respace, V));
    EXPECT_TRUE(doc->IsRespaced(32767));
    EXPECT_FALSE(doc->IsRespaced(32766));

    // Nothing changed since: respacing again leaves the document as it is.
    const std::vector<uint8_t> laidOut = doc->Snapshot();
    ASSERT_TRUE(FX_ExecuteMenuItem(respace, V));
    EXPECT_EQ(doc->Snapshot(), laidOut);

    // A change and its respace, undone: the music is as laid out again.
    ASSERT_TRUE(doc->BeginEdit("change"));
    ASSERT_NE(doc->AddEntry(1, 32760, 0, Chord({Note("F4")})), 0u);
    ASSERT_TRUE(FX_ExecuteMenuItem(respace, V));
    ASSERT_TRUE(doc->EndEdit());
    EXPECT_TRUE(doc->IsRespaced(32760));
    ASSERT_TRUE(doc->Undo());
    EXPECT_FALSE(doc->IsRespaced(32760));
    ASSERT_TRUE(FX_ExecuteMenuItem(respace, V));
    EXPECT_EQ(doc->Snapshot(), laidOut);
}

TEST_F(EngineTest, AlertsReachObserversOrStandardError)
{
    MakeScore();
    Recorder recorder;
    Engine::Instance().AddObserver(&recorder);
    ASSERT_TRUE(FX_AlertMessage(0, 0, 0, "No region is selected.", V));
    ASSERT_EQ(recorder.alerts.size(), 1u);
    EXPECT_EQ(recorder.alerts[0], "No region is selected.");
    Engine::Instance().RemoveObserver(&recorder);

    testing::internal::CaptureStderr();
    ASSERT_TRUE(FX_AlertMessage(0, 0, 0, "to the console", V));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("to the console"), std::string::npos);
    EXPECT_FALSE(FX_AlertMessage(0, 0, 0, nullptr, V));
}

TEST_F(EngineTest, SettingsFoldersAreMadeOnDemand)
{
    MakeScore();
    TonPathSpec2012 spec{};
    ASSERT_TRUE(FX_GetTonaroPathMac(TONPATH_PLUGIN_SETTINGS, &spec, V));
    EXPECT_EQ(PathOf(spec), tempFolder_ + "/settings");
    struct stat info;
    ASSERT_EQ(stat((tempFolder_ + "/settings").c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));

    TonPathSpec2012 old{};
    ASSERT_TRUE(FX_GetTonaroPathMac(TONPATH_PLUGIN_SETTINGS_OLD, &old, V));
    EXPECT_EQ(PathOf(old), PathOf(spec));
    TonPathSpec2012 config{};
    ASSERT_TRUE(FX_GetTonaroPathMac(TONPATH_CONFIGURATION_FILES, &config, V));
    EXPECT_EQ(PathOf(config), tempFolder_ + "/settings/Configuration Files");

    TonPathSpec2012 untouched{};
    untouched.nameLength = 77;
    EXPECT_FALSE(FX_GetTonaroPathMac(99, &untouched, V));
    EXPECT_EQ(+untouched.nameLength, 77);
    EXPECT_FALSE(FX_GetTonaroPathMac(TONPATH_PLUGIN_SETTINGS, nullptr, V));

    // The default folder follows XDG_CONFIG_HOME.
    Engine::Instance().SetSettingsFolder("");
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    const std::string savedValue = saved ? saved : "";
    setenv("XDG_CONFIG_HOME", (tempFolder_ + "/xdg").c_str(), 1);
    EXPECT_EQ(Engine::Instance().SettingsFolder(), tempFolder_ + "/xdg/tonaro");
    ASSERT_TRUE(FX_GetTonaroPathMac(TONPATH_PLUGIN_SETTINGS, &spec, V));
    EXPECT_EQ(PathOf(spec), tempFolder_ + "/xdg/tonaro");
    if (saved)
        setenv("XDG_CONFIG_HOME", savedValue.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}

TEST_F(EngineTest, WindowScrollAndDialogsAnswerWhatTheHostSets)
{
    MakeScore();
    Recorder recorder;
    Engine::Instance().AddObserver(&recorder);
    EWINDOWINFO info{};
    ASSERT_TRUE(FX_GetCurrentWindowInfo(&info, V));
    EXPECT_EQ(info.pageView, 0);
    EXPECT_EQ(info.zoomPercent, 100);
    EXPECT_EQ(info.currentMeasure, 1);
    ASSERT_TRUE(FX_ScrollTo(3, 7, V));
    ASSERT_TRUE(FX_GetCurrentWindowInfo(&info, V));
    EXPECT_EQ(info.currentMeasure, 3);
    ASSERT_EQ(recorder.scrolls.size(), 1u);
    EXPECT_EQ(recorder.scrolls[0], (std::pair<int16_t, int16_t>{3, 7}));
    EXPECT_FALSE(FX_ScrollTo(9, 7, V));
    EXPECT_FALSE(FX_ScrollTo(1, 2, V));  // no staff 2
    WindowState window;
    window.available = false;
    Engine::Instance().SetWindowState(window);
    EXPECT_FALSE(FX_GetCurrentWindowInfo(&info, V));

    int32_t id = 12;
    int16_t changed = 5;
    ASSERT_TRUE(FX_SelectionDialog(nullptr, SELECTIONDIALOG_ARTICULATION, &id, &changed, V));
    EXPECT_EQ(id, 12);
    EXPECT_EQ(changed, 0);
    Engine::Instance().SetSelectionDialogAnswer(SelectionDialogAnswer{true, 4, true});
    ASSERT_TRUE(FX_SelectionDialog(nullptr, SELECTIONDIALOG_SHAPE, &id, &changed, V));
    EXPECT_EQ(id, 4);
    EXPECT_EQ(changed, 1);
    Engine::Instance().SetSelectionDialogAnswer(SelectionDialogAnswer{false, 0, false});
    EXPECT_FALSE(FX_SelectionDialog(nullptr, SELECTIONDIALOG_TEXTEXPRESSION, &id, &changed, V));
    EXPECT_FALSE(FX_SelectionDialog(nullptr, SELECTIONDIALOG_SHAPE, nullptr, &changed, V));

    EXPECT_EQ(FX_FontNameToNum("Maestro", V), 1);
    EXPECT_EQ(FX_FontNameToNum("Nonesuch", V), 0);
    EXPECT_EQ(FX_FontNameToNum(nullptr, V), 0);
    Engine::Instance().SetFontNumber("Nonesuch", 42);
    EXPECT_EQ(FX_FontNameToNum("Nonesuch", V), 42);

    EXPECT_EQ(FX_SymbolDialog(nullptr, 1, 0x41, V), 0x41);
    Engine::Instance().SetSymbolDialogAnswer(0x1D11E);
    EXPECT_EQ(FX_SymbolDialog_UTF32(nullptr, 1, 0x41, V), 0x1D11E);
    Engine::Instance().SetSymbolDialogAnswer(0);
    EXPECT_EQ(FX_SymbolDialog(nullptr, 1, 0x41, V), 0);
    EXPECT_EQ(FX_IsMachO(V), 1);
    Engine::Instance().RemoveObserver(&recorder);
}

TEST_F(EngineTest, MassEditsNest)
{
    EXPECT_FALSE(FX_EndMassEdit(V));
    ASSERT_TRUE(FX_StartMassEdit(V));
    ASSERT_TRUE(FX_StartMassEdit(V));
    EXPECT_TRUE(FX_EndMassEdit(V));
    EXPECT_TRUE(FX_EndMassEdit(V));
    EXPECT_FALSE(FX_EndMassEdit(V));
}
