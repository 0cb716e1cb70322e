// A check box.
//
// ClassName is inherited ("FCControl"), as for the push button built on it.
#pragma once

#include "tonaroframework/ui/fccontrol.h"

class FCCtrlCheckbox : public FCControl {
public:
    explicit FCCtrlCheckbox(int id) : FCControl(id) {}

    // Virtual operations appended after FCControl's: SetCheck, GetCheck.

    // Any non-zero state checks, 0 unchecks.
    virtual void SetCheck(short state);
    // true only for the checked state (false when unavailable).
    virtual bool GetCheck();
};
