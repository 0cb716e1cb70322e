// A radio button.
#pragma once

#include "tonaroframework/ui/fccontrol.h"

class FCCtrlRadioButton : public FCControl {
public:
    explicit FCCtrlRadioButton(int id) : FCControl(id) {}
    const char* ClassName() const override { return "FCCtrlRadioButton"; }

    void SetCheck(bool state);
    // true only for the checked state (false when unavailable).
    bool GetCheck();
};
