// A static text (label).
#pragma once

#include "tonaroframework/ui/fccontrol.h"

class FCCtrlStatic : public FCControl {
public:
    explicit FCCtrlStatic(int id) : FCControl(id) {}
    const char* ClassName() const override { return "FCCtrlStatic"; }

    // Sets the empty text.
    void Clear();
    // Sets the decimal text of value.
    void SetInteger(int value);
};
