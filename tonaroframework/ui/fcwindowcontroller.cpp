#include "tonaroframework/ui/fcwindowcontroller.h"

#include "tonaroframework/ui/fccontrol.h"
#include "tonaroframework/ui/fcctrldatalist.h"
#include "tonaroframework/ui/fcctrlupdown.h"
#include "tonaroframework/ui/fcdatalistrow.h"
#include "tonaroframework/ui/fcuserwindow.h"

namespace {

_FCWindowControllerFactory registeredFactory = nullptr;

}  // namespace

_FCWindowController::_FCWindowController(FCUserWindow* owner, int resourceId)
    : _resourceId(resourceId), _owner(owner)
{
}

_FCWindowController::~_FCWindowController() = default;

void _FCWindowController::Notify_WindowLoaded()
{
    if (_owner != nullptr) _owner->InitWindow();
}

void _FCWindowController::Notify_OkButtonPressed()
{
    if (_owner != nullptr) _owner->OkButtonPressed();
}

void _FCWindowController::Notify_CancelButtonPressed()
{
    if (_owner != nullptr) _owner->CancelButtonPressed();
}

void _FCWindowController::Notify_ButtonPressed(int id)
{
    if (_owner == nullptr) return;
    FCControl* control = _owner->FindControl(id);
    switch (control != nullptr ? control->GetActionCode() : FCControl::ACTION_NONE) {
        case FCControl::ACTION_OK:
            _owner->OkButtonPressed();
            break;
        case FCControl::ACTION_CANCEL:
            _owner->CancelButtonPressed();
            break;
        case FCControl::ACTION_CLOSE:
            _owner->CloseButtonPressed();
            break;
        default:
            _owner->HandleCommand(control);
            break;
    }
}

void _FCWindowController::Notify_HandleCommand(int id)
{
    if (_owner == nullptr) return;
    _owner->HandleCommand(_owner->FindControl(id));
}

void _FCWindowController::Notify_StepperPressed(int id, int oldValue, int newValue)
{
    if (_owner == nullptr) return;
    auto* upDown = dynamic_cast<FCCtrlUpDown*>(_owner->FindControl(id));
    if (upDown == nullptr) {
        // A stepper without an up-down object still reaches the window.
        _owner->HandleUpDownPressed(_owner->FindControl(id), newValue - oldValue);
        return;
    }
    const int delta = upDown->_TakeNewValue(oldValue, newValue);
    _owner->HandleUpDownPressed(upDown, delta);
}

void _FCWindowController::Notify_DataListHandleCommand(int id, int selectedLine)
{
    if (_owner == nullptr) return;
    FCControl* control = _owner->FindControl(id);
    if (auto* list = dynamic_cast<FCCtrlDataList*>(control)) {
        if (selectedLine < 0) {
            list->HandleUnselect();
        } else {
            list->HandleSelectChange(selectedLine);
        }
    }
    _owner->HandleCommand(control);
}

void _FCWindowController::Notify_DataListDoubleClick(int id)
{
    if (_owner == nullptr) return;
    if (auto* list = dynamic_cast<FCCtrlDataList*>(_owner->FindControl(id))) list->HandleDoubleClick();
}

void _FCWindowController::Notify_DataListCheckChange(FCCtrlDataList* list, int line, bool checked)
{
    if (list == nullptr) return;
    FCDataListRow* row = list->GetItemAt(line);
    if (row == nullptr) return;
    row->SetCheck(checked);
    list->HandleCheckChange(line, checked);
}

void _FCWindowController::Notify_WindowActivated(bool active)
{
    if (_owner != nullptr) _owner->HandleActivate(active);
}

void _FCWindowController::Notify_WindowResized(int width, int height)
{
    if (_owner != nullptr) _owner->_HandleResizeChange(width, height);
}

void _FCWindowController::Notify_Timer(int id)
{
    if (_owner != nullptr) _owner->HandleTimer(static_cast<short>(id));
}

void _FCWindowController::Notify_WindowClose()
{
    // The owner's CloseWindow destroys the native window; a modal run ends
    // afterwards (with code 1) if it is still going.
    if (_open) {
        _open = false;
        if (_owner != nullptr) _owner->CloseWindow();
    }
    if (_modalRunning) {
        _modalRunning = false;
        _StopModalRun(1);
    }
}

void _FCSetWindowControllerFactory(_FCWindowControllerFactory factory) { registeredFactory = factory; }

_FCWindowControllerFactory _FCGetWindowControllerFactory() { return registeredFactory; }

_FCWindowController* _FCCreateWindowController(FCUserWindow* owner, int resourceId)
{
    if (registeredFactory == nullptr) return nullptr;
    return registeredFactory(owner, resourceId);
}
