// A push button. Its action code (FCControl::ACTIONCODE) decides which of the
// window's handlers a press runs; an ordinary button reaches HandleCommand.
// ClassName answers "FCControl", as for the check box.
#pragma once

#include "tonaroframework/ui/fcctrlcheckbox.h"

class FCCtrlButton : public FCCtrlCheckbox {
public:
    explicit FCCtrlButton(int id) : FCCtrlCheckbox(id) {}

    // Removes the button's keyboard shortcut.
    void ClearShortcutKey();
};
