// One control of a framework window, addressed by an integer id that equals
// the tag of the matching native control in the window's layout.
//
// A control belongs to its owner window once added to it (the window deletes
// it). Every operation resolves the owner's platform controller and passes
// the control's id; without an owner, a controller or a loaded native window
// the operations do nothing and answer -1 (geometry), 0 (counts) or false.
// Texts are FCString* borrowed for the call only.
#pragma once

#include <cstdint>

#include "tonaroframework/base/fcbase.h"

class FCString;
class FCUserWindow;
class _FCWindowController;

class FCControl : public __FCBase {
public:
    // What a button does when pressed, besides the window's HandleCommand.
    enum ACTIONCODE {
        ACTION_NONE = 0,    // an ordinary control
        ACTION_OK = 1,      // runs the window's OkButtonPressed()
        ACTION_CLOSE = 2,   // runs the window's CloseButtonPressed()
        ACTION_CANCEL = 3,  // runs the window's CancelButtonPressed()
    };

    explicit FCControl(int id);

    // Virtual operations, in this order: ClassName, destructor, IsIdentical
    // (inherited), _GetControlType, Repaint, SetEnable, GetEnable,
    // SetVisible, SetText, GetText, ResizeRelative.
    const char* ClassName() const override { return "FCControl"; }
    ~FCControl() override;

    // 0 for ordinary controls; the data list answers 2, a tree control 3.
    virtual int _GetControlType() const { return 0; }
    virtual void Repaint() {}
    virtual void SetEnable(bool enable);
    virtual bool GetEnable();
    virtual void SetVisible(bool visible);
    // A null text sends the empty text.
    virtual void SetText(const FCString* text);
    // Fills text (left alone when null or unavailable).
    virtual void GetText(FCString* text);
    // Grows the control by dw x dh from its current size: at once, or
    // recorded as pending while the owner buffers control movement.
    virtual void ResizeRelative(int dw, int dh);

    int GetControlID() const { return _id; }

    // The window that owns the control (null until linked). Setting it does
    // not add the control to the window: use FCUserWindow::AddControl.
    FCUserWindow* GetParent() const { return _parent; }
    void SetParent(FCUserWindow* window) { _parent = window; }

    // ACTIONCODE value (other values act as ACTION_NONE).
    int GetActionCode() const { return _actionCode; }
    void SetActionCode(int code) { _actionCode = code; }

    // Sets the text and, for a text field inside a scroll area, enlarges the
    // field so that all of the text can be scrolled.
    void SetTextAndResize(const FCString* text);
    void SetKeyboardFocus();
    bool GetVisible();

    // Geometry in content-area pixels; -1 when unavailable. GetLeft and
    // GetTop answer the pending position while a move is pending.
    int GetLeft();
    int GetTop();
    int GetWidth();
    int GetHeight();
    void SetWidth(int width);
    void SetHeight(int height);

    // Move from the current rectangle (relative) or to a place (absolute):
    // at once with an immediate redraw, or recorded as pending while the
    // owner buffers control movement (a later move replaces the pending one).
    void MoveRelative(int dx, int dy);
    void MoveAbsolute(int x, int y);

    // Buffered movement state, managed by the owner window.
    bool IsMovePending() const { return _movePending; }
    bool IsResizePending() const { return _resizePending; }
    void _ClearPending();
    // Applies the pending position, then the pending size, without redraw.
    void _ApplyPending();

protected:
    // The owner's controller when the owner's native window is loaded, else
    // null. Borrowed; valid until the window is closed.
    _FCWindowController* _GetLoadedController() const;
    // The owner buffers control movement.
    bool _IsBuffering() const;

private:
    bool _movePending = false;
    bool _resizePending = false;
    int32_t _pendingLeft = 0;
    int32_t _pendingTop = 0;
    int32_t _pendingWidth = 0;
    int32_t _pendingHeight = 0;
    int16_t _id = 0;
    FCUserWindow* _parent = nullptr;
    int32_t _actionCode = ACTION_NONE;
};
