// Host functions of menu commands, views, alerts, folders and dialogs.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "host/engine/documentstate.h"
#include "host/engine/enginehost.h"
#include "host/engine/textcodec.h"
#include "tonaropdk/hostapi/fxfunctions.h"
#include "tonaropdk/platform/fsref.h"

using namespace tonaroengine;

namespace {

constexpr uint32_t Code(const char (&text)[5])
{
    return MakeEDTag(text[0], text[1], text[2], text[3]);
}

constexpr uint32_t kRespaceCommand = Code("MSpN");

// The menu commands the host knows.
constexpr uint32_t kKnownCommands[] = {
    Code("MSpN"), Code("MSpB"), Code("MSpT"), Code("MUAn"), Code("MUup"), Code("MUdn"), Code("MELk"),
    Code("MEUl"), Code("MUTi"), Code("MURs"), Code("MUSl"), Code("UpGr"), Code("MUUp"), Code("MUDo"),
    Code("MUSt"), Code("MECl"), Code("EnDS"), Code("EnFS"), Code("EnFF"), Code("EnST"), Code("MRbm"),
    Code("VwSc"), Code("VwPg"), Code("VwSq"), Code("DOes"), Code("StS0"), Code("StS1"), Code("StS2"),
    Code("StS3"), Code("StS4"), Code("StS5"), Code("StS6"), Code("StS7"), Code("StS8"), Code("MERt"),
    Code("MMCr"), Code("MMBr"), Code("TOSe"), Code("TOSt"), Code("TOMs"), Code("TOKy"), Code("TOTi"),
    Code("TOCl"), Code("TORp"),
};

// Lays out anew the measures of the selection whose music changed since
// they were last laid out (marks them respaced, for the view and the
// writers); the others keep the layout they have. The measure number is
// counted in int: a selection may end at the last 16-bit measure.
void RespaceSelection(DocumentState& state)
{
    if (!state.selection) return;
    bool changed = false;
    for (int measure = state.selection->startMeas; measure <= state.selection->endMeas; ++measure)
        changed = state.RespaceMeasure(static_cast<int16_t>(measure)) || changed;
    if (changed) NoteDirectChange(state);
}

}  // namespace

extern "C" {

int16_t FX_ExecuteMenuItem(uint32_t commandCode, uint32_t /*version*/)
{
    if (std::find(std::begin(kKnownCommands), std::end(kKnownCommands), commandCode) == std::end(kKnownCommands))
        return 0;
    EngineHostState& host = HostState();
    DocumentState* state = host.CurrentState();
    if (!state) return 0;
    if (commandCode == kRespaceCommand) RespaceSelection(*state);
    host.commands.push_back(ExecutedCommand{state->number, commandCode});
    host.NotifyCommand(state->number, commandCode);
    return 1;
}

int16_t FX_RedrawMusic(const EREGION* region, uint32_t /*version*/)
{
    EngineHostState& host = HostState();
    DocumentState* state = host.CurrentState();
    if (!region || !state) return 0;
    host.NotifyRedraw(state->number, *region);
    return 1;
}

int16_t FX_AlertMessage(int32_t /*zero1*/, int32_t /*zero2*/, int32_t /*zero3*/, const char* text,
                        uint32_t /*version*/)
{
    if (!text) return 0;
    HostState().NotifyAlert(Latin1ToUtf8(text));
    return 1;
}

int16_t FX_GetTonaroPathMac(int16_t kind, TonPathSpec2012* spec, uint32_t /*version*/)
{
    if (!spec) return 0;
    std::string folder = Engine::Instance().SettingsFolder();
    if (folder.empty()) return 0;
    if (kind == TONPATH_CONFIGURATION_FILES)
        folder += "/Configuration Files";
    else if (kind != TONPATH_PLUGIN_SETTINGS && kind != TONPATH_PLUGIN_SETTINGS_OLD)
        return 0;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();

    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!std::filesystem::is_directory(folder, error)) return 0;
    const std::filesystem::path absolute = std::filesystem::absolute(folder, error);
    if (error) return 0;
    const std::string parent = absolute.parent_path().string();
    const std::string name = absolute.filename().string();

    std::vector<uint16_t> units;
    if (name.empty() || !Utf8ToUtf16(name, &units) || units.size() > 255) return 0;
    TonPathSpec2012 result{};
    if (FSPathMakeRef(reinterpret_cast<const uint8_t*>(parent.c_str()), &result.parent, nullptr) != noErr) return 0;
    result.nameLength = static_cast<uint16_t>(units.size());
    std::copy(units.begin(), units.end(), result.name);
    std::memcpy(spec, &result, sizeof result);
    return 1;
}

int16_t FX_IsMachO(uint32_t /*version*/)
{
    return 1;
}

int16_t FX_GetCurrentWindowInfo(EWINDOWINFO* info, uint32_t /*version*/)
{
    EngineHostState& host = HostState();
    if (!info || !host.window.available || !host.CurrentState()) return 0;
    info->pageView = host.window.pageView ? 1 : 0;
    info->currentPage = host.window.currentPage;
    info->currentMeasure = host.window.currentMeasure;
    info->zoomPercent = host.window.zoomPercent;
    info->window = host.window.window;
    info->selectionLeft = host.window.selectionLeft;
    info->selectionTop = host.window.selectionTop;
    info->selectionRight = host.window.selectionRight;
    info->selectionBottom = host.window.selectionBottom;
    return 1;
}

int16_t FX_ScrollTo(int16_t measure, int16_t staff, uint32_t /*version*/)
{
    EngineHostState& host = HostState();
    DocumentState* state = host.CurrentState();
    if (!state || !state->FindMeasure(measure) || (staff != 0 && !state->FindStaff(staff))) return 0;
    host.window.currentMeasure = measure;
    host.NotifyScroll(state->number, measure, staff);
    return 1;
}

int16_t FX_SelectionDialog(void* /*parentWindow*/, int16_t kind, int32_t* id, int16_t* changed,
                           uint32_t /*version*/)
{
    const SelectionDialogAnswer& answer = HostState().selectionDialog;
    if (!id || (kind != SELECTIONDIALOG_ARTICULATION && kind != SELECTIONDIALOG_SHAPE &&
                kind != SELECTIONDIALOG_TEXTEXPRESSION))
        return 0;
    // A window of the host application asks the user; without one the
    // engine's fixed answer stands in.
    int32_t asked = *id;
    bool accepted = false;
    bool edited = false;
    if (HostState().AskSelectionDialog(kind, &asked, &accepted, &edited)) {
        if (!accepted) return 0;
        *id = asked;
        if (changed) *changed = edited ? 1 : 0;
        return 1;
    }
    if (!answer.accept) return 0;
    if (answer.chosenId != 0) *id = answer.chosenId;
    if (changed) *changed = answer.changed ? 1 : 0;
    return 1;
}

int16_t FX_FontNameToNum(const char* fontName, uint32_t /*version*/)
{
    if (!fontName) return 0;
    return Engine::Instance().FontNumber(Latin1ToUtf8(fontName));
}

int16_t FX_SymbolDialog(void* /*parentWindow*/, int16_t /*fontNumber*/, int16_t character, uint32_t /*version*/)
{
    const int32_t answer = HostState().symbolAnswer;
    return answer == -1 ? character : static_cast<int16_t>(answer);
}

int32_t FX_SymbolDialog_UTF32(void* /*parentWindow*/, int16_t /*fontNumber*/, int32_t character,
                              uint32_t /*version*/)
{
    const int32_t answer = HostState().symbolAnswer;
    return answer == -1 ? character : answer;
}

}  // extern "C"
