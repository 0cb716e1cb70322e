#include "tonaroframework/ui/fccontrol.h"

#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/ui/fcuserwindow.h"
#include "tonaroframework/ui/fcwindowcontroller.h"

FCControl::FCControl(int id) : _id(static_cast<int16_t>(id)) {}

FCControl::~FCControl() = default;

_FCWindowController* FCControl::_GetLoadedController() const
{
    return _parent != nullptr ? _parent->_GetLoadedController() : nullptr;
}

bool FCControl::_IsBuffering() const { return _parent != nullptr && _parent->IsBufferingControlMovement(); }

void FCControl::SetEnable(bool enable)
{
    if (auto* controller = _GetLoadedController()) controller->SetDlgItemEnable(_id, enable);
}

bool FCControl::GetEnable()
{
    auto* controller = _GetLoadedController();
    return controller != nullptr && controller->GetDlgItemEnable(_id);
}

void FCControl::SetVisible(bool visible)
{
    if (auto* controller = _GetLoadedController()) controller->SetDlgItemVisible(_id, visible);
}

bool FCControl::GetVisible()
{
    auto* controller = _GetLoadedController();
    return controller != nullptr && controller->GetDlgItemVisible(_id);
}

void FCControl::SetText(const FCString* text)
{
    auto* controller = _GetLoadedController();
    if (controller == nullptr) return;
    FCString empty;
    controller->SetDlgItemText(_id, text != nullptr ? text : &empty);
}

void FCControl::GetText(FCString* text)
{
    if (text == nullptr) return;
    if (auto* controller = _GetLoadedController()) controller->GetDlgItemText(_id, text);
}

void FCControl::SetTextAndResize(const FCString* text)
{
    auto* controller = _GetLoadedController();
    if (controller == nullptr) return;
    FCString empty;
    controller->SetDlgItemTextAndResize(_id, text != nullptr ? text : &empty);
}

void FCControl::SetKeyboardFocus()
{
    if (auto* controller = _GetLoadedController()) controller->SetDlgItemKeyboardFocus(_id);
}

int FCControl::GetLeft()
{
    if (_movePending) return _pendingLeft;
    auto* controller = _GetLoadedController();
    Rect rect;
    if (controller == nullptr || !controller->GetDlgItemRect(_id, &rect)) return -1;
    return rect.left;
}

int FCControl::GetTop()
{
    if (_movePending) return _pendingTop;
    auto* controller = _GetLoadedController();
    Rect rect;
    if (controller == nullptr || !controller->GetDlgItemRect(_id, &rect)) return -1;
    return rect.top;
}

int FCControl::GetWidth()
{
    auto* controller = _GetLoadedController();
    Rect rect;
    if (controller == nullptr || !controller->GetDlgItemRect(_id, &rect)) return -1;
    return rect.right - rect.left;
}

int FCControl::GetHeight()
{
    auto* controller = _GetLoadedController();
    Rect rect;
    if (controller == nullptr || !controller->GetDlgItemRect(_id, &rect)) return -1;
    return rect.bottom - rect.top;
}

void FCControl::SetWidth(int width)
{
    if (auto* controller = _GetLoadedController()) controller->SetDlgItemWidth(_id, width);
}

void FCControl::SetHeight(int height)
{
    if (auto* controller = _GetLoadedController()) controller->SetDlgItemHeight(_id, height);
}

void FCControl::MoveRelative(int dx, int dy)
{
    auto* controller = _GetLoadedController();
    Rect rect;
    if (controller == nullptr || !controller->GetDlgItemRect(_id, &rect)) return;
    MoveAbsolute(rect.left + dx, rect.top + dy);
}

void FCControl::MoveAbsolute(int x, int y)
{
    auto* controller = _GetLoadedController();
    if (controller == nullptr) return;
    if (_IsBuffering()) {
        _pendingLeft = x;
        _pendingTop = y;
        _movePending = true;
        return;
    }
    controller->SetDlgItemPos(_id, x, y, true);
}

void FCControl::ResizeRelative(int dw, int dh)
{
    auto* controller = _GetLoadedController();
    Rect rect;
    if (controller == nullptr || !controller->GetDlgItemRect(_id, &rect)) return;
    const int width = rect.right - rect.left + dw;
    const int height = rect.bottom - rect.top + dh;
    if (_IsBuffering()) {
        _pendingWidth = width;
        _pendingHeight = height;
        _resizePending = true;
        return;
    }
    controller->SetDlgItemSize(_id, width, height, true);
}

void FCControl::_ClearPending()
{
    _movePending = false;
    _resizePending = false;
}

void FCControl::_ApplyPending()
{
    auto* controller = _GetLoadedController();
    if (controller == nullptr) return;
    if (_movePending) controller->SetDlgItemPos(_id, _pendingLeft, _pendingTop, false);
    if (_resizePending) controller->SetDlgItemSize(_id, _pendingWidth, _pendingHeight, false);
}
