#include "tonaroframework/ui/fcuserwindow.h"

#include <climits>

#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/ui/fccontrol.h"
#include "tonaroframework/ui/fcui.h"
#include "tonaroframework/ui/fcwindowcontroller.h"

FCUserWindow::FCUserWindow() = default;

FCUserWindow::~FCUserWindow()
{
    // Delete the controls while this window is still whole: their destructors
    // may ask it for its controller.
    ClearAll();
}

_FCWindowController* FCUserWindow::_GetLoadedController() const
{
    return (_controller != nullptr && _controller->IsWindowLoaded()) ? _controller : nullptr;
}

bool FCUserWindow::_ReadFrame(Rect* frame) const
{
    auto* controller = _GetLoadedController();
    return controller != nullptr && controller->GetWindowFrameRect(frame);
}

// --- Default handlers ---------------------------------------------------------

void FCUserWindow::InitWindow()
{
    _closing = false;
    _maxWidthPassed = _maxHeightPassed = false;  // a new native window
    Rect frame;
    if (!_ReadFrame(&frame)) return;
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    _maxWidth = _minWidth = _lastWidth = width;
    _maxHeight = _minHeight = _lastHeight = height;
}

void FCUserWindow::CloseButtonPressed()
{
    _resultCode = RESULT_CANCEL;
    if (!_closing) CloseWindow();
}

void FCUserWindow::OkButtonPressed()
{
    _resultCode = RESULT_OK;
    if (!_closing) CloseWindow();
}

void FCUserWindow::CancelButtonPressed()
{
    _resultCode = RESULT_CANCEL;
    if (!_closing) CloseWindow();
}

bool FCUserWindow::HandleCommand(FCControl*) { return false; }

void FCUserWindow::HandleUpDownPressed(FCControl*, int) {}

void FCUserWindow::HandleTimer(short) {}

void FCUserWindow::HandleActivate(bool) {}

void FCUserWindow::HandleResize(int, int, int, int) {}

// --- Controls -------------------------------------------------------------------

void FCUserWindow::AddControl(FCControl* control)
{
    if (control == nullptr) return;
    control->SetParent(this);
    Add(control);
}

FCControl* FCUserWindow::FindControl(int id)
{
    for (int i = 0; i < GetCount(); ++i) {
        auto* control = dynamic_cast<FCControl*>(GetItemAt(i));
        if (control != nullptr && control->GetControlID() == id) return control;
    }
    return nullptr;
}

// --- Native window -----------------------------------------------------------------

bool FCUserWindow::WindowExists() { return _GetLoadedController() != nullptr; }

bool FCUserWindow::IsVisible()
{
    auto* controller = _GetLoadedController();
    return controller != nullptr && controller->IsWindowVisible();
}

void FCUserWindow::Hide()
{
    if (auto* controller = _GetLoadedController()) controller->ShowWindow(false);
}

void FCUserWindow::ShowAndActivate()
{
    auto* controller = _GetLoadedController();
    if (controller == nullptr) return;
    controller->ShowWindow(true);
    controller->ActivateWindow();
}

void FCUserWindow::Activate()
{
    if (auto* controller = _GetLoadedController()) controller->ActivateWindow();
}

void FCUserWindow::SetCaption(const FCString* caption)
{
    auto* controller = _GetLoadedController();
    if (controller == nullptr) return;
    FCString empty;
    controller->SetWindowCaption(caption != nullptr ? caption : &empty);
}

void FCUserWindow::SetWindowAlpha(short percent)
{
    if (auto* controller = _GetLoadedController()) controller->SetWindowAlpha(percent);
}

int FCUserWindow::GetWidth()
{
    Rect frame;
    if (!_ReadFrame(&frame)) return -1;
    return frame.right - frame.left;
}

void FCUserWindow::SetWidth(int width)
{
    auto* controller = _GetLoadedController();
    Rect frame;
    if (controller == nullptr || !controller->GetWindowFrameRect(&frame)) return;
    frame.right = RectSide(frame.left + width);
    controller->SetWindowFrameRect(&frame);
    if (controller->GetWindowFrameRect(&frame)) {
        _lastWidth = frame.right - frame.left;
        _lastHeight = frame.bottom - frame.top;
    }
}

void FCUserWindow::SetTimer(short id, unsigned long milliseconds)
{
    if (id == 0) return;
    auto* controller = _GetLoadedController();
    if (controller == nullptr) return;
    if (milliseconds == 0) {
        controller->KillTimer(id);
        return;
    }
    const int interval = milliseconds > static_cast<unsigned long>(INT_MAX) ? INT_MAX : static_cast<int>(milliseconds);
    controller->CreateTimer(id, interval);
}

// --- Size limits ----------------------------------------------------------------------

void FCUserWindow::SetMaximumResizeWidth(int width)
{
    _maxWidth = width;
    if (auto* controller = _GetLoadedController()) {
        controller->SetMaximumResizeWidth(width);
        _maxWidthPassed = true;
    }
}

void FCUserWindow::SetMaximumResizeHeight(int height)
{
    _maxHeight = height;
    if (auto* controller = _GetLoadedController()) {
        controller->SetMaximumResizeHeight(height);
        _maxHeightPassed = true;
    }
}

// --- Stored position ---------------------------------------------------------------------

void FCUserWindow::SetRestorePositionData(int x, int y, int width, int height)
{
    _positionStored = true;
    _storedX = x;
    _storedY = y;
    _sizeStored = true;
    _storedWidth = width;
    _storedHeight = height;
    if (_windowshaded) _unshadedHeight = height;
}

void FCUserWindow::SetRestorePositionOnlyData(int x, int y)
{
    _positionStored = true;
    _storedX = x;
    _storedY = y;
    _sizeStored = false;
    _storedWidth = 0;
    _storedHeight = 0;
}

void FCUserWindow::StorePosition(bool withSize)
{
    if (_GetLoadedController() == nullptr) return;
    const bool wasShaded = _windowshaded;
    if (wasShaded) _SetWindowshade(false);
    Rect frame;
    if (_ReadFrame(&frame)) {
        _storedX = frame.left;
        _storedY = frame.top;
        _storedWidth = frame.right - frame.left;
        _storedHeight = frame.bottom - frame.top;
        _positionStored = true;
        _sizeStored = withSize;
    }
    if (wasShaded) _SetWindowshade(true);
}

bool FCUserWindow::RestorePosition()
{
    if (!_positionStored) return false;
    auto* controller = _GetLoadedController();
    if (controller == nullptr) return false;
    const bool wasShaded = _windowshaded;
    if (wasShaded) _SetWindowshade(false);

    Rect frame;
    if (!controller->GetWindowFrameRect(&frame)) {
        if (wasShaded) _SetWindowshade(true);
        return false;
    }
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    if (_sizeStored) {
        if (_storedWidth < _minWidth) _storedWidth = _minWidth;
        if (_storedHeight < _minHeight) _storedHeight = _minHeight;
        // The platform keeps the frame within the maximum, so the controls
        // are moved for the size that the frame really gets.
        if (_maxWidthPassed && _maxWidth >= _minWidth && _storedWidth > _maxWidth) _storedWidth = _maxWidth;
        if (_maxHeightPassed && _maxHeight >= _minHeight && _storedHeight > _maxHeight) _storedHeight = _maxHeight;
        width = _storedWidth;
        height = _storedHeight;
    }
    frame.left = RectSide(_storedX);
    frame.top = RectSide(_storedY);
    frame.right = RectSide(_storedX + width);
    frame.bottom = RectSide(_storedY + height);
    controller->SetWindowFrameRect(&frame);
    if (_sizeStored) _HandleResizeChange(_storedWidth, _storedHeight);

    if (wasShaded) _SetWindowshade(true);
    return true;
}

void FCUserWindow::Windowshade(bool collapse)
{
    if (!__bWindowshadeAllowed) return;
    _SetWindowshade(collapse);
}

void FCUserWindow::_SetWindowshade(bool collapse)
{
    auto* controller = _GetLoadedController();
    if (controller == nullptr || collapse == _windowshaded) return;
    Rect frame;
    if (!controller->GetWindowFrameRect(&frame)) return;
    if (collapse) {
        _unshadedHeight = frame.bottom - frame.top;
        frame.bottom = RectSide(frame.top + controller->GetWindowTitleHeight());
    } else {
        frame.bottom = RectSide(frame.top + _unshadedHeight);
    }
    controller->SetWindowFrameRect(&frame);
    _windowshaded = collapse;
}

// --- Resizing --------------------------------------------------------------------------------

void FCUserWindow::_HandleResizeChange(int width, int height)
{
    if (_windowshaded) return;
    if (_lastWidth != 0) HandleResize(width, height, _lastWidth, _lastHeight);
    _lastWidth = width;
    _lastHeight = height;
}

// --- Buffered control movement ---------------------------------------------------------------

void FCUserWindow::StartBufferControlMovement()
{
    if (_GetLoadedController() == nullptr) return;
    for (int i = 0; i < GetCount(); ++i) {
        if (auto* control = dynamic_cast<FCControl*>(GetItemAt(i))) control->_ClearPending();
    }
    _bufferingControlMovement = true;
}

bool FCUserWindow::EndBufferControlMovement()
{
    _bufferingControlMovement = false;
    auto* controller = _GetLoadedController();
    if (controller == nullptr || GetCount() == 0) return false;

    bool pending = false;
    for (int i = 0; i < GetCount() && !pending; ++i) {
        auto* control = dynamic_cast<FCControl*>(GetItemAt(i));
        pending = control != nullptr && (control->IsMovePending() || control->IsResizePending());
    }
    if (!pending) return false;

    for (int i = 0; i < GetCount(); ++i) {
        if (auto* control = dynamic_cast<FCControl*>(GetItemAt(i))) control->_ApplyPending();
    }
    controller->RepaintWindow();
    for (int i = 0; i < GetCount(); ++i) {
        if (auto* control = dynamic_cast<FCControl*>(GetItemAt(i))) control->_ClearPending();
    }
    return true;
}
