#include "tonaroframework/ui/fcctrlbutton.h"

#include "tonaroframework/ui/fcwindowcontroller.h"

void FCCtrlButton::ClearShortcutKey()
{
    if (auto* controller = _GetLoadedController()) controller->ClearShortcutKey(GetControlID());
}
