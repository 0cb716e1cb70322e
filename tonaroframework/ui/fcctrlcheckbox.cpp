#include "tonaroframework/ui/fcctrlcheckbox.h"

#include "tonaroframework/ui/fcwindowcontroller.h"

void FCCtrlCheckbox::SetCheck(short state)
{
    if (auto* controller = _GetLoadedController()) controller->SetDlgItemCheck(GetControlID(), state != 0 ? 1 : 0);
}

bool FCCtrlCheckbox::GetCheck()
{
    auto* controller = _GetLoadedController();
    return controller != nullptr && controller->GetDlgItemCheck(GetControlID());
}
