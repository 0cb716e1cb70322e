// A framework window: owns its controls, dispatches user events to
// overridable handlers, remembers and restores its frame, collapses to its
// title bar, and moves or resizes its controls in one batch.
//
// The collection's elements are the window's FCControl objects, owned and
// deleted with the window. All drawing and event capture is done by the
// platform controller (created by FCResourceWindow); window operations do
// nothing, or answer false, 0 or -1, while there is no controller or no
// native window is loaded, unless said otherwise.
#pragma once

#include <cstdint>

#include "tonaroframework/base/fccollection.h"
#include "tonaroframework/ui/windowrect.h"

class FCControl;
class FCString;
class _FCWindowController;

class FCUserWindow : public __FCCollection {
public:
    // Result codes.
    enum RESULTCODE {
        RESULT_NONE = 0,
        RESULT_OK = 1,
        RESULT_CANCEL = 2,  // Cancel or Close
    };

    FCUserWindow();
    ~FCUserWindow() override;

    // Virtual operations, in this order after __FCCollection's seven
    // (ClassName is not overridden): CloseWindow, InitWindow,
    // CloseButtonPressed, OkButtonPressed, CancelButtonPressed,
    // HandleCommand, HandleUpDownPressed, HandleTimer, HandleActivate,
    // HandleResize.

    // Closes the window (FCResourceWindow: sets closing, destroys the native
    // window; the object and its controls survive).
    virtual void CloseWindow() = 0;
    // Called by the platform layer each time the native window is loaded:
    // clears closing; the frame's size becomes the minimum, maximum and last
    // known size. Overrides must call the base first.
    virtual void InitWindow();
    // Result code 2; unless closing, CloseWindow().
    virtual void CloseButtonPressed();
    // Result code 1; unless closing, CloseWindow().
    virtual void OkButtonPressed();
    // Result code 2; unless closing, CloseWindow().
    virtual void CancelButtonPressed();
    // A control was used; control is null for an id without a control
    // object (borrowed, owned by this window). Default: false.
    virtual bool HandleCommand(FCControl* control);
    // A stepper changed by delta; the up-down control holds the new value.
    virtual void HandleUpDownPressed(FCControl* control, int delta);
    virtual void HandleTimer(short id);
    virtual void HandleActivate(bool activated);
    // The user resized the frame from oldWidth x oldHeight.
    virtual void HandleResize(int newWidth, int newHeight, int oldWidth, int oldHeight);

    // --- Controls --------------------------------------------------------------
    // Links the control to this window (owner) and appends it; the window
    // owns it from then on. Null is ignored.
    void AddControl(FCControl* control);
    // The first owned control with this id, or null. Works without a native
    // window.
    FCControl* FindControl(int id);

    // --- Native window ---------------------------------------------------------
    bool WindowExists();
    bool IsVisible();
    void Hide();
    void ShowAndActivate();
    void Activate();
    void SetCaption(const FCString* caption);
    void SetWindowAlpha(short percent);
    // Frame width; -1 when unavailable.
    int GetWidth();
    // Changes the frame width (left edge kept) and refreshes the last known
    // size without calling HandleResize.
    void SetWidth(int width);
    // Does nothing (windows stay enabled).
    void SetEnabled(bool) {}

    // id 0 does nothing; a non-zero interval starts a repeating timer that
    // calls HandleTimer(id), 0 stops it.
    void SetTimer(short id, unsigned long milliseconds);
    void StopTimer(short id) { SetTimer(id, 0); }

    // --- Size limits -----------------------------------------------------------
    int GetMinimumWidth() const { return _minWidth; }
    int GetMinimumHeight() const { return _minHeight; }
    int GetMaximumWidth() const { return _maxWidth; }
    int GetMaximumHeight() const { return _maxHeight; }
    // Store a new maximum frame width/height and pass it to the platform as
    // the limit for the user's resizing.
    void SetMaximumResizeWidth(int width);
    void SetMaximumResizeHeight(int height);
    // The size last reported to HandleResize (0 until known).
    int GetLastWidth() const { return _lastWidth; }
    int GetLastHeight() const { return _lastHeight; }

    // --- Stored position ---------------------------------------------------------
    // Work without a native window.
    void SetRestorePositionData(int x, int y, int width, int height);
    void SetRestorePositionOnlyData(int x, int y);
    // -1 without a stored position (x, y) or size (width, height).
    int GetStoredX() const { return _positionStored ? _storedX : -1; }
    int GetStoredY() const { return _positionStored ? _storedY : -1; }
    int GetStoredWidth() const { return _sizeStored ? _storedWidth : -1; }
    int GetStoredHeight() const { return _sizeStored ? _storedHeight : -1; }
    bool IsPositionStored() const { return _positionStored; }
    bool IsSizeStored() const { return _sizeStored; }

    // Records the current frame (expanded, when collapsed) as the stored
    // position, and as the stored size when withSize.
    void StorePosition(bool withSize);
    // Moves the frame to the stored position and, when a size is stored,
    // gives it that size raised to at least the minimum size and lowered to
    // at most the maximum size passed to the platform (SetMaximumResize...;
    // the platform keeps the frame within it), and runs the resize step with
    // that size. false without a stored position.
    bool RestorePosition();

    // Collapses the window to its title bar (true) or expands it (false);
    // only when loaded, when the state differs and while alerts allow it
    // (__bWindowshadeAllowed).
    void Windowshade(bool collapse);
    bool IsWindowshaded() const { return _windowshaded; }

    // --- Buffered control movement -------------------------------------------------
    // While buffering, control moves and resizes are recorded and applied
    // together by EndBufferControlMovement (each control once, to its last
    // target, then one redraw). Start does nothing without a loaded window.
    void StartBufferControlMovement();
    // Ends buffering; false when nothing was pending (or no window or no
    // controls), true after applying the pending moves.
    bool EndBufferControlMovement();
    bool IsBufferingControlMovement() const { return _bufferingControlMovement; }

    // --- State -------------------------------------------------------------------------
    int GetResultCode() const { return _resultCode; }
    void SetResultCode(int code) { _resultCode = static_cast<int16_t>(code); }
    bool IsModal() const { return _modal; }
    bool IsClosing() const { return _closing; }

    // The platform controller (owned by FCResourceWindow), or null.
    _FCWindowController* _GetController() const { return _controller; }
    // The controller when its native window is loaded, else null.
    _FCWindowController* _GetLoadedController() const;
    // A resize reported by the platform: ignored while collapsed; calls
    // HandleResize when the last size is known, then remembers the size.
    void _HandleResizeChange(int width, int height);

protected:
    void _SetController(_FCWindowController* controller) { _controller = controller; }
    void _SetModal(bool modal) { _modal = modal; }
    void _SetClosing(bool closing) { _closing = closing; }

private:
    bool _ReadFrame(Rect* frame) const;
    // Windowshade without the alert check: StorePosition and RestorePosition
    // expand a collapsed window for their work and collapse it again, which
    // must succeed even while an alert is on screen.
    void _SetWindowshade(bool collapse);

    int16_t _resultCode = RESULT_NONE;
    _FCWindowController* _controller = nullptr;
    int32_t _maxWidth = 0;
    int32_t _minWidth = 0;
    int32_t _maxHeight = 0;
    int32_t _minHeight = 0;
    // The maxima were passed to the platform for the loaded window.
    bool _maxWidthPassed = false;
    bool _maxHeightPassed = false;
    int32_t _lastWidth = 0;
    int32_t _lastHeight = 0;
    bool _positionStored = false;
    int32_t _storedX = 0;
    int32_t _storedY = 0;
    bool _sizeStored = false;
    int32_t _storedWidth = 0;
    int32_t _storedHeight = 0;
    bool _windowshaded = false;
    int32_t _unshadedHeight = 0;
    bool _bufferingControlMovement = false;
    bool _modal = false;
    bool _closing = false;
};
