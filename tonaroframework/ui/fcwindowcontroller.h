// The platform half of a framework window.
//
// One controller belongs to each FCResourceWindow, which creates it through
// the registered factory and deletes it with itself. The controller loads the
// native window from the layout named by the window's resource id, finds
// native controls by their integer tag (equal to the FCControl id), carries
// out every query and change that the windows and controls forward, runs the
// window's timers, and turns native events into the Notify_... calls below,
// which dispatch to the window's virtual handlers.
//
// This class is the abstract interface; a platform layer (the Qt layer,
// tonaroframework/qt) implements it and registers a factory with
// _FCSetWindowControllerFactory. Without a registered factory a window has no
// controller and every request it would forward is a no-op.
//
// Control operations find the native control each time it is used; when the
// control is missing or of another kind they do nothing and answer 0, -1 or
// false. Text is passed as FCString*, borrowed for the call only; a null text
// is sent as the empty text, a null output string is left alone.
//
// Everything runs on the main thread.
#pragma once

#include <cstdint>

#include "tonaroframework/ui/windowrect.h"

class FCString;
class FCUserWindow;
class FCCtrlDataList;

class _FCWindowController {
public:
    // owner: the framework window that receives the notifications; it owns
    // this controller and outlives it. resourceId names the window layout.
    _FCWindowController(FCUserWindow* owner, int resourceId);
    virtual ~_FCWindowController();

    _FCWindowController(const _FCWindowController&) = delete;
    _FCWindowController& operator=(const _FCWindowController&) = delete;

    FCUserWindow* GetOwner() const { return _owner; }
    int GetResourceID() const { return _resourceId; }
    // The native window is (to be) open; true at construction.
    bool IsOpen() const { return _open; }
    bool IsModalRunning() const { return _modalRunning; }
    // The window was opened by ExecuteModal (not by ShowModeless).
    bool IsModalWindow() const { return _modalWindow; }

    // --- Lifecycle -----------------------------------------------------------
    // Loads the layout and shows the window modeless, unless a window is
    // loaded already (then nothing). Loading calls Notify_WindowLoaded. A
    // layout that cannot be loaded leaves the window unloaded.
    virtual void ShowModeless() = 0;
    // Loads the layout and runs it modally until the window closes; false
    // when a window is already loaded or the layout cannot be loaded. true
    // when the run ended through Notify_WindowClose. parent (borrowed) may be
    // null: the window is then centred on the main screen.
    virtual bool ExecuteModal(FCUserWindow* parent) = 0;
    // Closes and forgets the native window (only while one is loaded); stops
    // every timer. Safe to call from inside any notification.
    virtual void DestroyWindow() = 0;
    // Closes the native window as its close box would (the window-will-close
    // notification follows).
    virtual void CloseWindow() = 0;
    virtual void ShowWindow(bool show) = 0;
    virtual void ActivateWindow() = 0;
    // A native window is loaded (between ShowModeless/ExecuteModal and
    // DestroyWindow).
    virtual bool IsWindowLoaded() const = 0;
    virtual bool IsWindowVisible() = 0;
    virtual void RepaintWindow() = 0;
    virtual void SetWindowCaption(const FCString* caption) = 0;
    // Opacity in percent, clamped to 0..100.
    virtual void SetWindowAlpha(int percent) = 0;

    // --- Window geometry (false / 0 without a loaded window) -----------------
    // The window's frame on the screen, title bar included.
    virtual bool GetWindowFrameRect(Rect* rect) = 0;
    // Moves and sizes the frame exactly as given (the layout's minimum size
    // does not stop a program-made frame smaller than it, so a window can be
    // collapsed to its title bar). A frame change made here is not reported
    // back through Notify_WindowResized.
    virtual void SetWindowFrameRect(const Rect* rect) = 0;
    // The content area's own rectangle: top 0, left 0.
    virtual bool GetWindowContentRect(Rect* rect) = 0;
    // Height of the frame collapsed to its title bar, in pixels (a platform
    // value; never negative).
    virtual int GetWindowTitleHeight() = 0;
    // Limits the size the user can give the frame by resizing; each call
    // changes one component of the maximum and keeps the other.
    virtual void SetMaximumResizeWidth(int width) = 0;
    virtual void SetMaximumResizeHeight(int height) = 0;

    // --- Controls by tag -----------------------------------------------------
    // Button titles, labels, text fields, group boxes; a pop-up's selected
    // item text.
    virtual void SetDlgItemText(int id, const FCString* text) = 0;
    virtual bool GetDlgItemText(int id, FCString* text) = 0;
    // As SetDlgItemText; a text field inside a scroll area is also enlarged
    // to the text's extent (plus 10 pixels in height) so that all of it can
    // be scrolled.
    virtual void SetDlgItemTextAndResize(int id, const FCString* text) = 0;
    virtual void SetDlgItemEnable(int id, bool enable) = 0;
    virtual bool GetDlgItemEnable(int id) = 0;
    // Tables and scrollable text fields show or hide their scroll area.
    virtual void SetDlgItemVisible(int id, bool visible) = 0;
    virtual bool GetDlgItemVisible(int id) = 0;
    // Check boxes, radio buttons and checkable push buttons: state 1 checks,
    // 0 unchecks, other values are ignored.
    virtual void SetDlgItemCheck(int id, int state) = 0;
    virtual bool GetDlgItemCheck(int id) = 0;
    virtual void SetDlgItemKeyboardFocus(int id) = 0;
    // Focus into a single-line text field.
    virtual void SetEditFocus(int id) = 0;
    // Control rectangles are content-area coordinates; a control inside a
    // scroll area is measured, moved and sized by that scroll area.
    virtual bool GetDlgItemRect(int id, Rect* rect) = 0;
    virtual void SetDlgItemWidth(int id, int width) = 0;
    // Keeps the top edge.
    virtual void SetDlgItemHeight(int id, int height) = 0;
    // redraw: repaint at once instead of with the next update.
    virtual void SetDlgItemPos(int id, int left, int top, bool redraw) = 0;
    virtual void SetDlgItemSize(int id, int width, int height, bool redraw) = 0;

    // Pop-up menus; items are 0-based and may share titles.
    virtual void ClearAllPopupItems(int id) = 0;
    virtual int GetPopupItemCount(int id) = 0;  // 0 when unavailable
    virtual void AppendPopupItem(int id, const FCString* text) = 0;
    virtual void DeletePopupItem(int id, int item) = 0;
    // -1 deselects; other values outside the items do nothing.
    virtual void SelectPopupItem(int id, int item) = 0;
    virtual int GetSelectedPopupItem(int id) = 0;  // -1 when none/unavailable

    virtual void ClearShortcutKey(int id) = 0;

    // Steppers (0 when unavailable).
    virtual void SetStepperMinMax(int id, int minimum, int maximum) = 0;
    virtual int GetStepperMin(int id) = 0;
    virtual int GetStepperMax(int id) = 0;
    virtual void SetStepperValue(int id, int value) = 0;
    virtual int GetStepperValue(int id) = 0;
    // Sliders (0 when unavailable).
    virtual void SetSliderMinMax(int id, int minimum, int maximum) = 0;
    virtual int GetSliderMin(int id) = 0;
    virtual int GetSliderMax(int id) = 0;
    virtual void SetSliderValue(int id, int value) = 0;
    virtual int GetSliderValue(int id) = 0;

    // Segmented controls (switchers); a first page reuses an unlabelled
    // first segment.
    virtual void SwitcherAddPage(int id, const FCString* title) = 0;
    virtual int SwitcherGetPageCount(int id) = 0;
    virtual int SwitcherGetSelectedPage(int id) = 0;  // -1 when none
    virtual void SwitcherSetSelectedPage(int id, int page) = 0;

    virtual void EditScrollToBottom(int id) = 0;

    // --- Tables (list controls) -----------------------------------------------
    // Connects the native table whose tag is the list's id to the list (once;
    // later calls keep the first connection). The table then reads its rows
    // from the list, which must stay alive while connected (see
    // TableViewDisconnect).
    virtual void TableViewAssureConnected(FCCtrlDataList* list) = 0;
    // Forgets every connection to this list (called when the list object is
    // destroyed before its window).
    virtual void TableViewDisconnect(FCCtrlDataList* list) = 0;
    // The first column is the check-box column ("check").
    virtual bool TableViewHasCheckboxes(int id) = 0;
    // Appends a check-box column unless there is one; false without a table.
    virtual bool TableViewUseLeftCheckboxColumn(int id) = 0;
    // Appends a text column col1, col2, ... with a header title, a width in
    // pixels and a font size in points; false without a table.
    virtual bool TableViewAddColumn(int id, const FCString* title, int width, int fontSize) = 0;
    virtual int TableViewGetColumnCount(int id, bool withCheckColumn) = 0;
    // column counts every column of the table, the check column included.
    virtual int TableViewGetColumnWidth(int id, int column) = 0;  // -1 outside
    virtual void TableViewSetColumnTitle(int id, int column, const FCString* title) = 0;
    virtual void TableViewDeleteAllColumns(int id) = 0;
    virtual void TableViewExpandLastColumn(int id) = 0;
    virtual void TableViewSetNoHeader(int id) = 0;
    // Rereads the rows from the connected list; a selected line that still
    // exists stays selected.
    virtual void TableViewRedraw(int id) = 0;
    virtual void TableViewScrollToTop(int id) = 0;
    virtual int TableViewGetSelectedLine(int id) = 0;  // -1 for none
    // Selects only that line (lines outside the rows do nothing); scroll
    // brings it into view.
    virtual void TableViewSelectLine(int id, int line, bool scroll) = 0;
    virtual void TableViewClearSelection(int id) = 0;
    // Rereads the check box of one line.
    virtual void TableViewUpdateCheckbox(int id, int line) = 0;

    // --- Timers --------------------------------------------------------------
    // Starts a repeating timer that calls Notify_Timer(id). When a timer with
    // this id exists it logs "Timer already exists!" and keeps the first.
    virtual void CreateTimer(int id, int milliseconds) = 0;
    virtual bool TimeridExists(int id) = 0;
    virtual void KillTimer(int id) = 0;
    virtual void KillAllTimers() = 0;

    // Logs "ERROR: '<name>' is not yet Cocoa-supported!".
    virtual void NotYetImplementedError(const char* name) = 0;

    // --- Notifications (platform -> framework) --------------------------------
    // The platform layer calls these for native events; they dispatch to the
    // owner window's handlers. A handler may close or even delete the window,
    // so the caller must not touch this controller after the call.

    // The layout was loaded: the owner's InitWindow().
    void Notify_WindowLoaded();
    // OK button (tag 1) and Cancel button (tag 2).
    void Notify_OkButtonPressed();
    void Notify_CancelButtonPressed();
    // Any other tagged button (check boxes and pop-up menus included): a
    // control with action code 1, 3 or 2 runs OkButtonPressed,
    // CancelButtonPressed or CloseButtonPressed; anything else, also an id
    // without a control object, runs HandleCommand.
    void Notify_ButtonPressed(int id);
    // Segmented control, text typed into a tagged text field, outline
    // selection change: HandleCommand(FindControl(id)).
    void Notify_HandleCommand(int id);
    // The user stepped a stepper from oldValue to newValue: the up-down
    // control takes the step (FCCtrlUpDown::_TakeNewValue), then the window's
    // HandleUpDownPressed(control, newValue - oldValue) runs.
    void Notify_StepperPressed(int id, int oldValue, int newValue);
    // A list's selection changed to selectedLine (-1: none): the list's
    // HandleUnselect or HandleSelectChange, then the window's HandleCommand.
    void Notify_DataListHandleCommand(int id, int selectedLine);
    // A double click in a list: the list's HandleDoubleClick.
    void Notify_DataListDoubleClick(int id);
    // The check box of a list row was toggled by the user: the row's
    // SetCheck, then the list's HandleCheckChange.
    void Notify_DataListCheckChange(FCCtrlDataList* list, int line, bool checked);
    // The window became (true) or stopped being (false) the active window.
    void Notify_WindowActivated(bool active);
    // The user resized the frame to width x height.
    void Notify_WindowResized(int width, int height);
    void Notify_Timer(int id);
    // The native window is about to close: when still open, the mark is
    // cleared and the owner's CloseWindow() runs; a modal run ends.
    void Notify_WindowClose();

protected:
    void _SetOpen(bool open) { _open = open; }
    void _SetModalRunning(bool running) { _modalRunning = running; }
    void _SetModalWindow(bool modal) { _modalWindow = modal; }
    // Ends the running modal loop with this code.
    virtual void _StopModalRun(int code) = 0;

private:
    bool _open = true;
    int _resourceId = 0;
    bool _modalRunning = false;
    bool _modalWindow = false;
    FCUserWindow* _owner = nullptr;
};

// Makes the platform controller for a window; the caller (the window) owns
// the result. Null means "no platform": the window then stays without one.
using _FCWindowControllerFactory = _FCWindowController* (*)(FCUserWindow* owner, int resourceId);

// Registers the factory for windows created from now on (null unregisters).
// The platform layer calls this once at start-up.
void _FCSetWindowControllerFactory(_FCWindowControllerFactory factory);
_FCWindowControllerFactory _FCGetWindowControllerFactory();

// A new controller from the registered factory, or null without one.
_FCWindowController* _FCCreateWindowController(FCUserWindow* owner, int resourceId);
