// The host UI services object.
//
// One FCUI lives for the life of the loaded plug-in and is handed to every
// window and edit handler that talks to the user or to the host's document
// view: modal alert boxes, host menu commands, redraw of the score, a beep,
// screen and document-window queries, the host's selection dialogs, and small
// platform services (fonts, web address, clipboard, decimal separator,
// timing).
//
// The host side goes through the host functions (FX_...). The platform side
// goes through a __FCUIPlatform object (fcuiplatform.h) that the constructor
// makes with the registered factory and owns. Without a platform:
// alerts show nothing (answering FCUI_ALERTRESULT_NONE, 4), Beep does
// nothing, the screen measures 0 x 0, no font is available, web addresses
// are not opened (DisplayWebURL still answers true), the clipboard refuses
// text, the decimal separator is "." and the clock is the standard library's
// system clock.
//
// Main thread only; alerts run a nested modal loop while they are open.
#pragma once

#include <cstdint>
#include <memory>

#include "tonaroframework/base/fcbase.h"
#include "tonaroframework/ui/fcuialert.h"

class FCFontInfo;
class FCString;
class __FCUIPlatform;

// Cleared while an alert box is on screen, set again when it closes.
// FCUserWindow::Windowshade does nothing while it is false. Initially true.
extern bool __bWindowshadeAllowed;

class FCUI : public __FCBase {
public:
    // Host menu commands. Each value stands for a four-character host command
    // code (see _GetMenuCommandCode); the names follow the codes. Value 0 has
    // code 0 and MENUCMD_MSPN (1, 'MSpN') respaces the selected measures.
    enum MENU_COMMANDS {
        MENUCMD_NONE = 0,
        MENUCMD_MSPN = 1,
        MENUCMD_NOTESPACING = MENUCMD_MSPN,
        MENUCMD_MSPB,
        MENUCMD_MSPT,
        MENUCMD_MUAN,
        MENUCMD_MUUP,   // 'MUup'
        MENUCMD_MUDN,
        MENUCMD_MELK,
        MENUCMD_MEUL,
        MENUCMD_MUTI,
        MENUCMD_MURS,
        MENUCMD_MUSL,
        MENUCMD_UPGR,
        MENUCMD_MUUP2,  // 'MUUp' (differs from 'MUup' in case only)
        MENUCMD_MUDO,
        MENUCMD_MUST,
        MENUCMD_MECL,
        MENUCMD_ENDS,
        MENUCMD_ENFS,
        MENUCMD_ENFF,
        MENUCMD_ENST,
        MENUCMD_MRBM,
        MENUCMD_VWSC,
        MENUCMD_VWPG,
        MENUCMD_VWSQ,
        MENUCMD_DOES,
        MENUCMD_STS0,
        MENUCMD_STS1,
        MENUCMD_STS2,
        MENUCMD_STS3,
        MENUCMD_STS4,
        MENUCMD_STS5,
        MENUCMD_STS6,
        MENUCMD_STS7,
        MENUCMD_STS8,
        MENUCMD_MERT,
        MENUCMD_MMCR,
        MENUCMD_MMBR,
        MENUCMD_TOSE,
        MENUCMD_TOST,
        MENUCMD_TOMS,
        MENUCMD_TOKY,
        MENUCMD_TOTI,
        MENUCMD_TOCL,
        MENUCMD_TORP,
        MENUCMD_LAST = MENUCMD_TORP  // 44
    };

    // hostWindow: the opaque parent-window reference that the host passed
    // to the plug-in's invocation; kept, never dereferenced. Makes the
    // platform half with the registered factory (if any).
    explicit FCUI(void* hostWindow = nullptr);
    FCUI(const FCUI&) = delete;
    FCUI& operator=(const FCUI&) = delete;

    const char* ClassName() const override { return "FCUI"; }
    ~FCUI() override;

    void* GetHostWindow() const { return _hostWindow; }
    // Whether a platform half is installed.
    bool HasPlatform() const { return _platform != nullptr; }

    // ---- Alerts ----
    // The first text is the message, the second the title. A null message
    // shows nothing (the answering forms return 4). A null or empty title
    // gives the kind's default title (fcuialert.h). The message is shown as
    // literal text. Texts are read during the call only. CString forms read
    // 8-bit text (Latin-1), UTF8 forms UTF-8.
    void AlertError(const FCString* message, const FCString* title);
    void AlertErrorCString(const char* message, const char* title);
    void AlertErrorUTF8(const char* message, const char* title);
    void AlertInfo(const FCString* message, const FCString* title);
    void AlertInfoCString(const char* message, const char* title);
    void AlertInfoUTF8(const char* message, const char* title);
    void AlertNeutral(const FCString* message, const FCString* title);
    void AlertNeutralCString(const char* message, const char* title);
    void AlertNeutralUTF8(const char* message, const char* title);
    // 2 for Yes, 3 for No, 4 without message.
    int AlertYesNo(const FCString* message, const FCString* title);
    int AlertYesNoCString(const char* message, const char* title);
    int AlertYesNoUTF8(const char* message, const char* title);
    // 0 for Ok, 1 for Cancel, 4 without message.
    int AlertOkCancel(const FCString* message, const FCString* title);
    int AlertOkCancelCString(const char* message, const char* title);
    int AlertOkCancelUTF8(const char* message, const char* title);
    // 2 for Yes, 3 for No, 1 for Cancel, 4 without message.
    int AlertYesNoCancel(const FCString* message, const FCString* title);
    int AlertYesNoCancelUTF8(const char* message, const char* title);

    // ---- Host commands and views ----

    // The host command code of a menu command value, 0 outside 0..44.
    static uint32_t _GetMenuCommandCode(int command);
    // Runs the host menu command. false at once for values outside 0..44 and
    // (without calling the host) for values whose code is 0, except value 0
    // itself, whose code 0 is passed on. Otherwise true when the host
    // answered non-zero.
    bool MenuCommand(MENU_COMMANDS command);

    // Asks the host to redraw the music of the current selection; the
    // host's answer.
    bool RedrawDocument();
    // The system alert sound.
    void Beep();
    // Pixel size of the main display (0 without a platform).
    int GetScreenWidth();
    int GetScreenHeight();
    // The host's number of entry layers.
    int GetMaxLayers();

    // Document-window queries, from the host's window-info record:
    // page view set (false when the host cannot tell); the page in page view,
    // else 0; the measure when not in page view, else 0; zoom percent (100
    // when the host cannot tell); the document window reference (null when
    // the host cannot tell; not owned).
    bool IsPageView();
    int GetCurrentPage();
    int GetCurrentMeasure();
    int GetZoomLevel();
    void* GetDocumentWindow();

    // Scrolls the document view to measure and staff. Staff 0 means the first
    // staff number from 1 to 101 whose staff record loads; when none loads,
    // nothing happens and the answer is false. Otherwise the host's answer.
    bool MoveToMeasure(int measure, int staff);

    // The host's selection dialogs (parent: the host window) with id
    // preselected. 0 when the host call fails, else the chosen id; when
    // definitions were changed in the dialog, the selection is redrawn as
    // RedrawDocument does.
    int DisplayTextExpressionDialog(int id);
    int DisplayArticulationDialog(int id);
    int DisplayShapeDialog(int id);

    // The host's symbol chooser for the font that font names (borrowed),
    // with character preselected. Answers the chosen character; 0 on
    // failure or for a null font.
    long DisplaySymbolDialog(const FCFontInfo* font, long character);

    // ---- Platform services ----

    // false for a null or empty name; else whether the font can be created.
    bool IsFontAvailable(const FCString* name);
    // Opens the address in the default browser; always true.
    bool DisplayWebURL(const FCString* address);
    // Clear the clipboard and put text on it (ASCII / UTF-8). false for null
    // text or when the clipboard refused it.
    bool TextToClipboard(const char* text);
    bool TextToClipboardUTF8(const char* text);
    // The locale's decimal separator; nothing for a null string.
    void GetDecimalSeparator(FCString* separator);

    // Start clears the last interval and stores the current time; Stop
    // stores now minus the start as the last interval; Return answers the
    // last interval in seconds. GetHiResTimer: the current time in seconds
    // since 2001-01-01 UTC.
    void StartPerformanceTimer();
    void StopPerformanceTimer();
    double ReturnPerformanceTiming() const { return _lastInterval; }
    double GetHiResTimer();

private:
    // The alert sequence shared by every form: a null message shows nothing
    // (4); the title defaults by kind; the windowshade flag is cleared while
    // the panel is up.
    int _ShowAlert(FCUI_ALERTKIND kind, const FCString* message, const FCString* title);
    int _ShowAlertCString(FCUI_ALERTKIND kind, const char* message, const char* title);
    int _ShowAlertUTF8(FCUI_ALERTKIND kind, const char* message, const char* title);
    int _SelectionDialog(int16_t kind, int id);

    void* _hostWindow = nullptr;
    std::unique_ptr<__FCUIPlatform> _platform;
    // Performance timer: start time and last interval, seconds.
    double _timerStart = 0.0;
    double _lastInterval = 0.0;
};
