#include "tonaroframework/ui/fcctrlpopup.h"

#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/ui/fcwindowcontroller.h"

void FCCtrlPopup::Clear()
{
    if (auto* controller = _GetLoadedController()) controller->ClearAllPopupItems(GetControlID());
}

void FCCtrlPopup::AddString(const FCString* text)
{
    auto* controller = _GetLoadedController();
    if (controller == nullptr) return;
    FCString empty;
    controller->AppendPopupItem(GetControlID(), text != nullptr ? text : &empty);
}

void FCCtrlPopup::DeleteItem(int index)
{
    if (auto* controller = _GetLoadedController()) controller->DeletePopupItem(GetControlID(), index);
}

int FCCtrlPopup::GetCount()
{
    auto* controller = _GetLoadedController();
    return controller != nullptr ? controller->GetPopupItemCount(GetControlID()) : 0;
}

int FCCtrlPopup::GetSelectedItem()
{
    auto* controller = _GetLoadedController();
    return controller != nullptr ? controller->GetSelectedPopupItem(GetControlID()) : -1;
}

void FCCtrlPopup::SetSelectedItem(int index)
{
    if (auto* controller = _GetLoadedController()) controller->SelectPopupItem(GetControlID(), index);
}
