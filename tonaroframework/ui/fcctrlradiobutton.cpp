#include "tonaroframework/ui/fcctrlradiobutton.h"

#include "tonaroframework/ui/fcwindowcontroller.h"

void FCCtrlRadioButton::SetCheck(bool state)
{
    if (auto* controller = _GetLoadedController()) controller->SetDlgItemCheck(GetControlID(), state ? 1 : 0);
}

bool FCCtrlRadioButton::GetCheck()
{
    auto* controller = _GetLoadedController();
    return controller != nullptr && controller->GetDlgItemCheck(GetControlID());
}
