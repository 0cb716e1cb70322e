// The host side of the UI services against the real engine: menu commands,
// redraw, window queries, scrolling, selection and symbol dialogs; and the
// neutral answers of the platform services when no platform is installed.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "host/engine/document.h"
#include "host/engine/engine.h"
#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/base/frameworkversion.h"
#include "tonaroframework/ui/fcfontinfo.h"
#include "tonaroframework/ui/fcui.h"
#include "tonaroframework/ui/fcuiplatform.h"
#include "tonaropdk/bridge/hostbinding.h"

using tonaroengine::Document;
using tonaroengine::Engine;
using tonaroengine::EngineObserver;

namespace {

struct Recorder : EngineObserver {
    void RedrawRequested(int16_t document, const EREGION& region) override
    {
        redraws.push_back(region);
        redrawDocument = document;
    }
    void ScrolledTo(int16_t document, int16_t measure, int16_t staff) override
    {
        scrolls.push_back({document, measure, staff});
    }
    std::vector<EREGION> redraws;
    int16_t redrawDocument = 0;
    struct Scroll {
        int16_t document, measure, staff;
    };
    std::vector<Scroll> scrolls;
};

class FCUIHostTest : public testing::Test {
protected:
    void SetUp() override
    {
        InitializeGlobals();
        Engine::Instance().Reset();
        SetTonaroFrameworkVersion(0x12000000);
        SetFCUIPlatformFactory(nullptr);
        doc = Engine::Instance().NewDocument();
        doc->AddStaff(7);
        doc->AddStaff(3);
        doc->AddMeasures(4);
        Engine::Instance().AddObserver(&recorder);
    }
    void TearDown() override
    {
        Engine::Instance().RemoveObserver(&recorder);
        SetTonaroFrameworkVersion(0x12000000);
        Engine::Instance().Reset();
    }
    Document* doc = nullptr;
    Recorder recorder;
};

constexpr uint32_t kMSpN = 0x4D53704E;

TEST_F(FCUIHostTest, MenuCommandTable)
{
    EXPECT_EQ(FCUI::_GetMenuCommandCode(FCUI::MENUCMD_NONE), 0u);
    EXPECT_EQ(FCUI::_GetMenuCommandCode(1), kMSpN);
    EXPECT_EQ(FCUI::_GetMenuCommandCode(11), 0x4D55536Cu);  // MUSl
    EXPECT_EQ(FCUI::_GetMenuCommandCode(12), 0x55704772u);  // UpGr
    EXPECT_EQ(FCUI::_GetMenuCommandCode(5), 0x4D557570u);   // MUup
    EXPECT_EQ(FCUI::_GetMenuCommandCode(13), 0x4D555570u);  // MUUp
    EXPECT_EQ(FCUI::_GetMenuCommandCode(25), 0x444F6573u);  // DOes
    EXPECT_EQ(FCUI::_GetMenuCommandCode(26), 0x53745330u);  // StS0
    EXPECT_EQ(FCUI::_GetMenuCommandCode(34), 0x53745338u);  // StS8
    EXPECT_EQ(FCUI::_GetMenuCommandCode(44), 0x544F5270u);  // TORp
    EXPECT_EQ(FCUI::_GetMenuCommandCode(45), 0u);
    EXPECT_EQ(FCUI::_GetMenuCommandCode(-1), 0u);
    for (int value = 1; value <= FCUI::MENUCMD_LAST; ++value) {
        EXPECT_NE(FCUI::_GetMenuCommandCode(value), 0u) << value;
    }
}

TEST_F(FCUIHostTest, MenuCommandRunsTheHostCommand)
{
    FCUI ui;
    // Music in measures 2 and 3, so that respacing lays them out anew.
    ASSERT_NE(doc->AddEntry(7, 2, 0, tonaroengine::EntrySpec{1024, {tonaroengine::NoteSpec{}}}), 0u);
    ASSERT_NE(doc->AddEntry(3, 3, 0, tonaroengine::EntrySpec{1024, {tonaroengine::NoteSpec{}}}), 0u);
    doc->SetSelection(Document::MakeRegion(1, 2, 2, 3));
    EXPECT_TRUE(ui.MenuCommand(FCUI::MENUCMD_NOTESPACING));
    const auto& commands = Engine::Instance().ExecutedCommands();
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].code, kMSpN);
    EXPECT_EQ(commands[0].document, doc->Number());
    EXPECT_TRUE(doc->IsRespaced(2));
    EXPECT_TRUE(doc->IsRespaced(3));
    EXPECT_FALSE(doc->IsRespaced(1));
}

TEST_F(FCUIHostTest, MenuCommandOutOfRangeFailsWithoutHostCall)
{
    FCUI ui;
    EXPECT_FALSE(ui.MenuCommand(static_cast<FCUI::MENU_COMMANDS>(45)));
    EXPECT_FALSE(ui.MenuCommand(static_cast<FCUI::MENU_COMMANDS>(1000)));
    EXPECT_FALSE(ui.MenuCommand(static_cast<FCUI::MENU_COMMANDS>(-1)));
    EXPECT_TRUE(Engine::Instance().ExecutedCommands().empty());
}

TEST_F(FCUIHostTest, RedrawDocumentRedrawsTheSelection)
{
    FCUI ui;
    const EREGION selection = Document::MakeRegion(2, 1, 2, 4, 512, 1024);
    ASSERT_TRUE(doc->SetSelection(selection));
    EXPECT_TRUE(ui.RedrawDocument());
    ASSERT_EQ(recorder.redraws.size(), 1u);
    // The record is packed: read its fields as values.
    const EREGION redrawn = recorder.redraws[0];
    const std::array<int32_t, 6> fields{redrawn.startSlot, redrawn.startMeas, redrawn.startPos,
                                        redrawn.endSlot,   redrawn.endMeas,   redrawn.endPos};
    EXPECT_EQ(fields, (std::array<int32_t, 6>{2, 1, 512, 2, 4, 1024}));
    EXPECT_EQ(recorder.redrawDocument, doc->Number());
}

TEST_F(FCUIHostTest, GetMaxLayersAsksTheHost)
{
    FCUI ui;
    EXPECT_EQ(ui.GetMaxLayers(), 4);
}

TEST_F(FCUIHostTest, WindowQueriesInScrollAndPageView)
{
    FCUI ui;
    int windowToken = 0;
    tonaroengine::WindowState state;
    state.pageView = false;
    state.currentPage = 3;
    state.currentMeasure = 17;
    state.zoomPercent = 150;
    state.window = &windowToken;
    Engine::Instance().SetWindowState(state);
    EXPECT_FALSE(ui.IsPageView());
    EXPECT_EQ(ui.GetCurrentPage(), 0);
    EXPECT_EQ(ui.GetCurrentMeasure(), 17);
    EXPECT_EQ(ui.GetZoomLevel(), 150);
    EXPECT_EQ(ui.GetDocumentWindow(), &windowToken);

    state.pageView = true;
    Engine::Instance().SetWindowState(state);
    EXPECT_TRUE(ui.IsPageView());
    EXPECT_EQ(ui.GetCurrentPage(), 3);
    EXPECT_EQ(ui.GetCurrentMeasure(), 0);
}

TEST_F(FCUIHostTest, WindowQueriesWhenTheHostCannotTell)
{
    FCUI ui;
    tonaroengine::WindowState state;
    state.available = false;
    state.pageView = true;
    state.zoomPercent = 250;
    Engine::Instance().SetWindowState(state);
    EXPECT_FALSE(ui.IsPageView());
    EXPECT_EQ(ui.GetCurrentPage(), 0);
    EXPECT_EQ(ui.GetCurrentMeasure(), 0);
    EXPECT_EQ(ui.GetZoomLevel(), 100);
    EXPECT_EQ(ui.GetDocumentWindow(), nullptr);
}

TEST_F(FCUIHostTest, MoveToMeasureScrollsToTheStaff)
{
    FCUI ui;
    EXPECT_TRUE(ui.MoveToMeasure(3, 3));
    // Staff 0: the first staff number that exists (3, not the top slot's 7).
    EXPECT_TRUE(ui.MoveToMeasure(2, 0));
    ASSERT_EQ(recorder.scrolls.size(), 2u);
    EXPECT_EQ(recorder.scrolls[0].measure, 3);
    EXPECT_EQ(recorder.scrolls[0].staff, 3);
    EXPECT_EQ(recorder.scrolls[1].measure, 2);
    EXPECT_EQ(recorder.scrolls[1].staff, 3);
}

TEST_F(FCUIHostTest, MoveToMeasureWithoutStavesDoesNothing)
{
    Engine::Instance().RemoveObserver(&recorder);
    Engine::Instance().Reset();
    Engine::Instance().NewDocument()->AddMeasures(2);
    Engine::Instance().AddObserver(&recorder);
    FCUI ui;
    EXPECT_FALSE(ui.MoveToMeasure(1, 0));
    EXPECT_TRUE(recorder.scrolls.empty());
}

TEST_F(FCUIHostTest, SelectionDialogsAnswerTheChosenIdAndRedrawOnChange)
{
    int hostWindow = 0;
    FCUI ui(&hostWindow);
    EXPECT_EQ(ui.GetHostWindow(), &hostWindow);
    doc->SetSelection(Document::MakeRegion(1, 1, 1, 1));

    tonaroengine::SelectionDialogAnswer answer;
    answer.chosenId = 12;
    Engine::Instance().SetSelectionDialogAnswer(answer);
    EXPECT_EQ(ui.DisplayTextExpressionDialog(3), 12);
    EXPECT_EQ(ui.DisplayArticulationDialog(3), 12);
    EXPECT_EQ(ui.DisplayShapeDialog(3), 12);
    EXPECT_TRUE(recorder.redraws.empty());

    answer.chosenId = 0;  // keep the preselected id
    Engine::Instance().SetSelectionDialogAnswer(answer);
    EXPECT_EQ(ui.DisplayShapeDialog(9), 9);

    answer.changed = true;
    answer.chosenId = 4;
    Engine::Instance().SetSelectionDialogAnswer(answer);
    EXPECT_EQ(ui.DisplayArticulationDialog(1), 4);
    EXPECT_EQ(recorder.redraws.size(), 1u);

    answer.accept = false;
    Engine::Instance().SetSelectionDialogAnswer(answer);
    EXPECT_EQ(ui.DisplayTextExpressionDialog(5), 0);
    EXPECT_EQ(recorder.redraws.size(), 1u);
}

TEST_F(FCUIHostTest, SymbolDialogFormsByHostVersion)
{
    FCUI ui;
    EXPECT_EQ(ui.DisplaySymbolDialog(nullptr, 65), 0);

    Engine::Instance().SetFontNumber("Maestro", 5);
    FCFontInfo font("Maestro", 24);
    Engine::Instance().SetSymbolDialogAnswer(0xE050);
    EXPECT_EQ(ui.DisplaySymbolDialog(&font, 65), 0xE050);
    Engine::Instance().SetSymbolDialogAnswer(-1);
    EXPECT_EQ(ui.DisplaySymbolDialog(&font, 0x1D11E), 0x1D11E);
    Engine::Instance().SetSymbolDialogAnswer(0);
    EXPECT_EQ(ui.DisplaySymbolDialog(&font, 65), 0);

    // A version word not above 2011 takes the 8-bit form, whose answer is a
    // signed 8-bit character.
    SetTonaroFrameworkVersion(2011);
    Engine::Instance().SetSymbolDialogAnswer(0x41);
    EXPECT_EQ(ui.DisplaySymbolDialog(&font, 66), 0x41);
    Engine::Instance().SetSymbolDialogAnswer(0xC8);
    EXPECT_EQ(ui.DisplaySymbolDialog(&font, 66), -56);
}

TEST_F(FCUIHostTest, WithoutPlatformTheServicesAnswerNeutrally)
{
    FCUI ui;
    EXPECT_FALSE(ui.HasPlatform());
    FCString message("Something");
    EXPECT_EQ(ui.AlertYesNo(nullptr, nullptr), FCUI_ALERTRESULT_NONE);
    EXPECT_EQ(ui.AlertYesNo(&message, nullptr), FCUI_ALERTRESULT_NONE);
    EXPECT_EQ(ui.AlertOkCancelCString("x", "y"), FCUI_ALERTRESULT_NONE);
    EXPECT_EQ(ui.AlertYesNoCancelUTF8("x", nullptr), FCUI_ALERTRESULT_NONE);
    ui.AlertError(&message, nullptr);
    EXPECT_TRUE(__bWindowshadeAllowed);

    EXPECT_EQ(ui.GetScreenWidth(), 0);
    EXPECT_EQ(ui.GetScreenHeight(), 0);
    FCString font("Helvetica");
    EXPECT_FALSE(ui.IsFontAvailable(&font));
    EXPECT_FALSE(ui.IsFontAvailable(nullptr));
    EXPECT_TRUE(ui.DisplayWebURL(&font));
    EXPECT_FALSE(ui.TextToClipboard("text"));
    EXPECT_FALSE(ui.TextToClipboardUTF8("text"));
    FCString separator("?");
    ui.GetDecimalSeparator(&separator);
    EXPECT_TRUE(separator.IsEqualCString("."));
    ui.GetDecimalSeparator(nullptr);
}

TEST_F(FCUIHostTest, PerformanceTimerMeasuresIntervals)
{
    FCUI ui;
    EXPECT_EQ(ui.ReturnPerformanceTiming(), 0.0);
    // Seconds since 2001-01-01: well past 20 years.
    EXPECT_GT(ui.GetHiResTimer(), 20.0 * 365 * 24 * 3600);
    ui.StartPerformanceTimer();
    volatile double sink = 0;
    for (int i = 0; i < 200000; ++i) sink = sink + i;
    ui.StopPerformanceTimer();
    const double interval = ui.ReturnPerformanceTiming();
    EXPECT_GT(interval, 0.0);
    EXPECT_LT(interval, 10.0);
    ui.StartPerformanceTimer();
    EXPECT_EQ(ui.ReturnPerformanceTiming(), 0.0);
}

}  // namespace
