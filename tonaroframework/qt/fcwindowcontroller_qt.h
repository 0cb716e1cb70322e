// The Qt 6 Widgets window controller: the platform half of every
// FCResourceWindow.
//
// Call _FCWindowController_qt::Register() once at load (the plug-in does so
// before it creates its windows); every FCResourceWindow constructed
// afterwards owns one _FCWindowController_qt. Windows need a QApplication:
// without one nothing is ever loaded and every request is a no-op.
//
// The native window is a floating tool window (Qt::Tool) loaded from the
// layout ":/tonaro/layouts/<resource id>.ui" by the native partner
// _FCWindowController_zpchangepitches (see its header for layouts, tags,
// native classes and events). Its minimum size is the layout's size.
//
// Modeless windows are tool windows of the host's document window (found
// through the host's window information; transient for it), placed beside
// its selection when first opened and always kept inside the visible
// screen, and activated when shown.
//
// Geometry. Qt measures from the top-left corner of the screen with y
// growing downwards, as the framework does, so frames need no flipping:
// a frame is the window's content rectangle plus the window manager's
// decoration (title bar included where the platform draws one). On X11 the
// decoration is known only once the shown window has been framed; until
// then the last tool window's (or the document window's) stands in, and a
// frame set meanwhile is set again with the real one, so that a stored
// frame comes back as the same frame. Control rectangles are measured from
// the content view's top-left corner; a QLabel inside a QScrollArea is
// measured, moved and sized by the scroll area. Frame changes made through
// SetWindowFrameRect are applied exactly (below the layout's minimum size
// too, so that a window can be collapsed to its title bar) and are not
// reported back as user resizes.
//
// Text. Control texts and the window title follow FCStringToControlText /
// FCStringFromControlText (fcstring_qt.h). Static texts are shown as plain
// text, never as rich text.
#pragma once

#include <vector>

#include <QMargins>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include "tonaroframework/ui/fcwindowcontroller.h"

class QEventLoop;
class QTableView;
class QTimer;
class _FCDataListModel_qt;
class _FCWindowController_zpchangepitches;

class _FCWindowController_qt : public _FCWindowController {
public:
    _FCWindowController_qt(FCUserWindow* owner, int resourceId);
    // Destroys the native window, then the timers.
    ~_FCWindowController_qt() override;

    // Registers the factory that makes _FCWindowController_qt objects for
    // framework windows (_FCSetWindowControllerFactory). Idempotent.
    static void Register();

    // The native partner while a window is loaded, else null. Borrowed.
    _FCWindowController_zpchangepitches* _GetNativeController() const { return _native; }
    // The control with this tag in the loaded window, or null. Borrowed.
    QWidget* _GetQtID(int id) const;
    // The document window that the modeless window belongs to, or null.
    // Borrowed; found each time the window is loaded.
    QWidget* _GetHostWindow() const { return _host; }
    // The partner calls this when the window was moved, resized or shown:
    // once the window manager's frame is known, a frame set before it was
    // is set again with the real decoration.
    void _DecorationMayBeKnown();
    // The frame's size as GetWindowFrameRect measures it (empty without a
    // window).
    QSize _FrameSize() const;

    void ShowModeless() override;
    bool ExecuteModal(FCUserWindow* parent) override;
    void DestroyWindow() override;
    void CloseWindow() override;
    void ShowWindow(bool show) override;
    void ActivateWindow() override;
    bool IsWindowLoaded() const override { return _native != nullptr; }
    bool IsWindowVisible() override;
    void RepaintWindow() override;
    void SetWindowCaption(const FCString* caption) override;
    void SetWindowAlpha(int percent) override;

    bool GetWindowFrameRect(Rect* rect) override;
    void SetWindowFrameRect(const Rect* rect) override;
    bool GetWindowContentRect(Rect* rect) override;
    int GetWindowTitleHeight() override;
    void SetMaximumResizeWidth(int width) override;
    void SetMaximumResizeHeight(int height) override;

    void SetDlgItemText(int id, const FCString* text) override;
    bool GetDlgItemText(int id, FCString* text) override;
    void SetDlgItemTextAndResize(int id, const FCString* text) override;
    void SetDlgItemEnable(int id, bool enable) override;
    bool GetDlgItemEnable(int id) override;
    void SetDlgItemVisible(int id, bool visible) override;
    bool GetDlgItemVisible(int id) override;
    void SetDlgItemCheck(int id, int state) override;
    bool GetDlgItemCheck(int id) override;
    void SetDlgItemKeyboardFocus(int id) override;
    void SetEditFocus(int id) override;
    bool GetDlgItemRect(int id, Rect* rect) override;
    void SetDlgItemWidth(int id, int width) override;
    void SetDlgItemHeight(int id, int height) override;
    void SetDlgItemPos(int id, int left, int top, bool redraw) override;
    void SetDlgItemSize(int id, int width, int height, bool redraw) override;

    void ClearAllPopupItems(int id) override;
    int GetPopupItemCount(int id) override;
    void AppendPopupItem(int id, const FCString* text) override;
    void DeletePopupItem(int id, int item) override;
    void SelectPopupItem(int id, int item) override;
    int GetSelectedPopupItem(int id) override;

    void ClearShortcutKey(int id) override;

    void SetStepperMinMax(int id, int minimum, int maximum) override;
    int GetStepperMin(int id) override;
    int GetStepperMax(int id) override;
    void SetStepperValue(int id, int value) override;
    int GetStepperValue(int id) override;
    void SetSliderMinMax(int id, int minimum, int maximum) override;
    int GetSliderMin(int id) override;
    int GetSliderMax(int id) override;
    void SetSliderValue(int id, int value) override;
    int GetSliderValue(int id) override;

    void SwitcherAddPage(int id, const FCString* title) override;
    int SwitcherGetPageCount(int id) override;
    int SwitcherGetSelectedPage(int id) override;
    void SwitcherSetSelectedPage(int id, int page) override;

    void EditScrollToBottom(int id) override;

    void TableViewAssureConnected(FCCtrlDataList* list) override;
    void TableViewDisconnect(FCCtrlDataList* list) override;
    bool TableViewHasCheckboxes(int id) override;
    bool TableViewUseLeftCheckboxColumn(int id) override;
    bool TableViewAddColumn(int id, const FCString* title, int width, int fontSize) override;
    int TableViewGetColumnCount(int id, bool withCheckColumn) override;
    int TableViewGetColumnWidth(int id, int column) override;
    void TableViewSetColumnTitle(int id, int column, const FCString* title) override;
    void TableViewDeleteAllColumns(int id) override;
    void TableViewExpandLastColumn(int id) override;
    void TableViewSetNoHeader(int id) override;
    void TableViewRedraw(int id) override;
    void TableViewScrollToTop(int id) override;
    int TableViewGetSelectedLine(int id) override;
    void TableViewSelectLine(int id, int line, bool scroll) override;
    void TableViewClearSelection(int id) override;
    void TableViewUpdateCheckbox(int id, int line) override;

    void CreateTimer(int id, int milliseconds) override;
    bool TimeridExists(int id) override;
    void KillTimer(int id) override;
    void KillAllTimers() override;

    void NotYetImplementedError(const char* name) override;

protected:
    void _StopModalRun(int code) override;

private:
    // A loaded, tagged control of class T, or null.
    template <class T>
    T* _Find(int id) const;
    // The widget that carries the control's geometry and visibility: the
    // enclosing QScrollArea for a widget shown inside one, else the widget.
    static QWidget* _GeometryView(QWidget* control);
    // The table with this tag and its data source, or null.
    QTableView* _Table(int id, _FCDataListModel_qt** model) const;
    // Lets go of a partner: stops its notifications, hides its window and
    // deletes it (later, when it is delivering a notification).
    static void _Release(_FCWindowController_zpchangepitches* native);
    _FCWindowController_zpchangepitches* _LoadNative();
    // The host's document window (from the host's window information, else
    // the active window) and the part of its selection shown on the screen.
    QWidget* _FindHostWindow(Rect* selection) const;
    // Opened for the first time (no stored position): beside the selection;
    // always: inside the visible screen.
    void _PlaceBeforeShowing(const Rect& selection);
    // The decoration around the content: the real one once known, else the
    // best guess (the last tool window's, else the document window's).
    QMargins _Decoration() const;
    void _ApplyFrame(const QRect& frame, const QMargins& decoration);
    // Raises and activates the window when it is shown but not active.
    void _ActivateShownWindow();

    struct RunningTimer {
        int id;
        QTimer* timer;  // child of the partner
    };

    _FCWindowController_zpchangepitches* _native = nullptr;
    QPointer<QWidget> _host;
    QRect _pendingFrame;
    QMargins _pendingDecoration;
    bool _hasPendingFrame = false;
    std::vector<RunningTimer> _timers;
    QEventLoop* _modalLoop = nullptr;
    bool _modalStopRequested = false;
    int _modalStopCode = 0;
};
