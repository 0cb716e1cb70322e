#include "tonaroframework/ui/fcui.h"

#include <chrono>

#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/base/frameworkversion.h"
#include "tonaroframework/data/fcstaff.h"
#include "tonaroframework/ui/fcfontinfo.h"
#include "tonaroframework/ui/fcuiplatform.h"
#include "tonaropdk/hostapi/fxfunctions.h"

bool __bWindowshadeAllowed = true;

namespace {

constexpr uint32_t FourCC(const char (&code)[5])
{
    return (static_cast<uint32_t>(static_cast<unsigned char>(code[0])) << 24) |
           (static_cast<uint32_t>(static_cast<unsigned char>(code[1])) << 16) |
           (static_cast<uint32_t>(static_cast<unsigned char>(code[2])) << 8) |
           static_cast<uint32_t>(static_cast<unsigned char>(code[3]));
}

// Host command codes, indexed by FCUI::MENU_COMMANDS.
constexpr uint32_t kMenuCommandCodes[FCUI::MENUCMD_LAST + 1] = {
    0,
    FourCC("MSpN"), FourCC("MSpB"), FourCC("MSpT"), FourCC("MUAn"), FourCC("MUup"), FourCC("MUdn"),
    FourCC("MELk"), FourCC("MEUl"), FourCC("MUTi"), FourCC("MURs"), FourCC("MUSl"),
    FourCC("UpGr"), FourCC("MUUp"), FourCC("MUDo"), FourCC("MUSt"), FourCC("MECl"), FourCC("EnDS"),
    FourCC("EnFS"), FourCC("EnFF"), FourCC("EnST"), FourCC("MRbm"), FourCC("VwSc"),
    FourCC("VwPg"), FourCC("VwSq"), FourCC("DOes"), FourCC("StS0"), FourCC("StS1"), FourCC("StS2"),
    FourCC("StS3"), FourCC("StS4"), FourCC("StS5"), FourCC("StS6"), FourCC("StS7"),
    FourCC("StS8"), FourCC("MERt"), FourCC("MMCr"), FourCC("MMBr"), FourCC("TOSe"), FourCC("TOSt"),
    FourCC("TOMs"), FourCC("TOKy"), FourCC("TOTi"), FourCC("TOCl"), FourCC("TORp"),
};
static_assert(kMenuCommandCodes[1] == 0x4D53704E);

const char* DefaultTitle(FCUI_ALERTKIND kind)
{
    switch (kind) {
    case FCUI_ALERT_ERROR: return "Error";
    case FCUI_ALERT_INFO: return "Information";
    case FCUI_ALERT_NEUTRAL: return "";
    case FCUI_ALERT_YESNO: return "Yes/No?";
    case FCUI_ALERT_OKCANCEL: return "Ok/Cancel?";
    case FCUI_ALERT_YESNOCANCEL: return "Yes/No/Cancel?";
    }
    return "";
}

// Seconds between the Unix epoch and the reference date 2001-01-01 UTC.
constexpr double kReferenceDateOffset = 978307200.0;

// Reads the host's window-info record; false when the host cannot tell.
bool LoadWindowInfo(EWINDOWINFO* info)
{
    *info = EWINDOWINFO{};
    return FX_GetCurrentWindowInfo(info, FXT_VERSION_2012) != 0;
}

}  // namespace

FCUI::FCUI(void* hostWindow) : _hostWindow(hostWindow)
{
    if (FCUIPlatformFactory factory = GetFCUIPlatformFactory()) {
        _platform.reset(factory());
    }
}

FCUI::~FCUI() = default;

// ---- Alerts -------------------------------------------------------------------

int FCUI::_ShowAlert(FCUI_ALERTKIND kind, const FCString* message, const FCString* title)
{
    if (message == nullptr) return FCUI_ALERTRESULT_NONE;

    FCString shownTitle;
    if (title != nullptr && !title->IsEmpty()) {
        shownTitle.SetString(title);
    } else {
        shownTitle.SetCString(DefaultTitle(kind));
    }
    if (_platform == nullptr) return FCUI_ALERTRESULT_NONE;

    __bWindowshadeAllowed = false;
    const int pressed = _platform->ShowAlert(kind, shownTitle, *message);
    __bWindowshadeAllowed = true;
    return pressed;
}

int FCUI::_ShowAlertCString(FCUI_ALERTKIND kind, const char* message, const char* title)
{
    if (message == nullptr) return FCUI_ALERTRESULT_NONE;
    FCString messageText;
    messageText.SetCString(message);
    FCString titleText;
    if (title != nullptr) titleText.SetCString(title);
    return _ShowAlert(kind, &messageText, &titleText);
}

int FCUI::_ShowAlertUTF8(FCUI_ALERTKIND kind, const char* message, const char* title)
{
    if (message == nullptr) return FCUI_ALERTRESULT_NONE;
    FCString messageText;
    messageText.SetUTF8String(message);
    FCString titleText;
    if (title != nullptr) titleText.SetUTF8String(title);
    return _ShowAlert(kind, &messageText, &titleText);
}

void FCUI::AlertError(const FCString* message, const FCString* title) { _ShowAlert(FCUI_ALERT_ERROR, message, title); }
void FCUI::AlertErrorCString(const char* message, const char* title)
{
    _ShowAlertCString(FCUI_ALERT_ERROR, message, title);
}
void FCUI::AlertErrorUTF8(const char* message, const char* title) { _ShowAlertUTF8(FCUI_ALERT_ERROR, message, title); }

void FCUI::AlertInfo(const FCString* message, const FCString* title) { _ShowAlert(FCUI_ALERT_INFO, message, title); }
void FCUI::AlertInfoCString(const char* message, const char* title)
{
    _ShowAlertCString(FCUI_ALERT_INFO, message, title);
}
void FCUI::AlertInfoUTF8(const char* message, const char* title) { _ShowAlertUTF8(FCUI_ALERT_INFO, message, title); }

void FCUI::AlertNeutral(const FCString* message, const FCString* title)
{
    _ShowAlert(FCUI_ALERT_NEUTRAL, message, title);
}
void FCUI::AlertNeutralCString(const char* message, const char* title)
{
    _ShowAlertCString(FCUI_ALERT_NEUTRAL, message, title);
}
void FCUI::AlertNeutralUTF8(const char* message, const char* title)
{
    _ShowAlertUTF8(FCUI_ALERT_NEUTRAL, message, title);
}

int FCUI::AlertYesNo(const FCString* message, const FCString* title)
{
    return _ShowAlert(FCUI_ALERT_YESNO, message, title);
}
int FCUI::AlertYesNoCString(const char* message, const char* title)
{
    return _ShowAlertCString(FCUI_ALERT_YESNO, message, title);
}
int FCUI::AlertYesNoUTF8(const char* message, const char* title)
{
    return _ShowAlertUTF8(FCUI_ALERT_YESNO, message, title);
}

int FCUI::AlertOkCancel(const FCString* message, const FCString* title)
{
    return _ShowAlert(FCUI_ALERT_OKCANCEL, message, title);
}
int FCUI::AlertOkCancelCString(const char* message, const char* title)
{
    return _ShowAlertCString(FCUI_ALERT_OKCANCEL, message, title);
}
int FCUI::AlertOkCancelUTF8(const char* message, const char* title)
{
    return _ShowAlertUTF8(FCUI_ALERT_OKCANCEL, message, title);
}

int FCUI::AlertYesNoCancel(const FCString* message, const FCString* title)
{
    return _ShowAlert(FCUI_ALERT_YESNOCANCEL, message, title);
}
int FCUI::AlertYesNoCancelUTF8(const char* message, const char* title)
{
    return _ShowAlertUTF8(FCUI_ALERT_YESNOCANCEL, message, title);
}

// ---- Host commands and views ------------------------------------------------------

uint32_t FCUI::_GetMenuCommandCode(int command)
{
    if (command < 0 || command > MENUCMD_LAST) return 0;
    return kMenuCommandCodes[command];
}

bool FCUI::MenuCommand(MENU_COMMANDS command)
{
    // The enumeration's range is checked as an int: a value cast in from
    // outside the table must neither index past it nor reach the host.
    const int value = static_cast<int>(command);
    if (value < 0 || value > MENUCMD_LAST) return false;
    const uint32_t code = kMenuCommandCodes[value];
    if (code == 0 && value != MENUCMD_NONE) return false;
    return FX_ExecuteMenuItem(code, FXT_VERSION_2012) != 0;
}

bool FCUI::RedrawDocument()
{
    EREGIONINFO info{};
    EREGION selection{};
    EREGION whole{};
    FX_GetCurERegions(&info, &selection, &whole, FXT_VERSION_2012);
    return FX_RedrawMusic(&selection, FXT_VERSION_2012) != 0;
}

void FCUI::Beep()
{
    if (_platform != nullptr) _platform->Beep();
}

int FCUI::GetScreenWidth() { return _platform != nullptr ? _platform->GetScreenWidth() : 0; }

int FCUI::GetScreenHeight() { return _platform != nullptr ? _platform->GetScreenHeight() : 0; }

int FCUI::GetMaxLayers() { return FX_GetMaxLayers(FXT_VERSION_2012); }

bool FCUI::IsPageView()
{
    EWINDOWINFO info;
    return LoadWindowInfo(&info) && info.pageView != 0;
}

int FCUI::GetCurrentPage()
{
    EWINDOWINFO info;
    if (!LoadWindowInfo(&info) || info.pageView == 0) return 0;
    return info.currentPage;
}

int FCUI::GetCurrentMeasure()
{
    EWINDOWINFO info;
    if (!LoadWindowInfo(&info) || info.pageView != 0) return 0;
    return info.currentMeasure;
}

int FCUI::GetZoomLevel()
{
    EWINDOWINFO info;
    if (!LoadWindowInfo(&info)) return 100;
    return info.zoomPercent;
}

void* FCUI::GetDocumentWindow()
{
    EWINDOWINFO info;
    if (!LoadWindowInfo(&info)) return nullptr;
    return info.window;
}

bool FCUI::MoveToMeasure(int measure, int staff)
{
    if (staff == 0) {
        // The first staff number whose staff record exists.
        for (int candidate = 1; candidate <= 101; ++candidate) {
            FCStaff record;
            if (record.Load(static_cast<uint16_t>(candidate))) {
                staff = candidate;
                break;
            }
        }
        if (staff == 0) return false;
    }
    return FX_ScrollTo(static_cast<int16_t>(measure), static_cast<int16_t>(staff), FXT_VERSION_2012) != 0;
}

int FCUI::_SelectionDialog(int16_t kind, int id)
{
    int32_t chosen = id;
    int16_t changed = 0;
    if (FX_SelectionDialog(_hostWindow, kind, &chosen, &changed, FXT_VERSION_2012) == 0) return 0;
    if (changed != 0) RedrawDocument();
    return chosen;
}

int FCUI::DisplayTextExpressionDialog(int id) { return _SelectionDialog(SELECTIONDIALOG_TEXTEXPRESSION, id); }

int FCUI::DisplayArticulationDialog(int id) { return _SelectionDialog(SELECTIONDIALOG_ARTICULATION, id); }

int FCUI::DisplayShapeDialog(int id) { return _SelectionDialog(SELECTIONDIALOG_SHAPE, id); }

long FCUI::DisplaySymbolDialog(const FCFontInfo* font, long character)
{
    if (font == nullptr) return 0;
    const int16_t fontNumber = FX_FontNameToNum(font->GetName()->GetCString(), FXT_VERSION_2012);
    // Hosts after 2011 take 32-bit characters. The version word is compared
    // with 2011 as a plain number, so every real version word selects the
    // 32-bit form; the 8-bit form answers only below that.
    if (GetTonaroFrameworkVersion() > 2011) {
        return FX_SymbolDialog_UTF32(_hostWindow, fontNumber, static_cast<int32_t>(character), FXT_VERSION_2012);
    }
    const int16_t answer =
        FX_SymbolDialog(_hostWindow, fontNumber, static_cast<int16_t>(character), FXT_VERSION_2012);
    return static_cast<signed char>(answer & 0xFF);
}

// ---- Platform services -------------------------------------------------------------

bool FCUI::IsFontAvailable(const FCString* name)
{
    if (name == nullptr || name->IsEmpty()) return false;
    return _platform != nullptr && _platform->IsFontAvailable(*name);
}

bool FCUI::DisplayWebURL(const FCString* address)
{
    if (address != nullptr && _platform != nullptr) _platform->OpenWebURL(*address);
    return true;
}

bool FCUI::TextToClipboard(const char* text)
{
    if (text == nullptr || _platform == nullptr) return false;
    return _platform->SetClipboardText(text, false);
}

bool FCUI::TextToClipboardUTF8(const char* text)
{
    if (text == nullptr || _platform == nullptr) return false;
    return _platform->SetClipboardText(text, true);
}

void FCUI::GetDecimalSeparator(FCString* separator)
{
    if (separator == nullptr) return;
    if (_platform != nullptr) {
        _platform->GetDecimalSeparator(separator);
    } else {
        separator->SetCString(".");
    }
}

double FCUI::GetHiResTimer()
{
    if (_platform != nullptr) return _platform->GetCurrentTime();
    const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    return std::chrono::duration<double>(sinceEpoch).count() - kReferenceDateOffset;
}

void FCUI::StartPerformanceTimer()
{
    _lastInterval = 0.0;
    _timerStart = GetHiResTimer();
}

void FCUI::StopPerformanceTimer() { _lastInterval = GetHiResTimer() - _timerStart; }
