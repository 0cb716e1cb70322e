// A separator line. It cannot be disabled.
#pragma once

#include "tonaroframework/ui/fccontrol.h"

class FCCtrlLine : public FCControl {
public:
    explicit FCCtrlLine(int id) : FCControl(id) {}
    const char* ClassName() const override { return "FCCtrlLine"; }

    // Does nothing.
    void SetEnable(bool) override {}
    // Always true.
    bool GetEnable() override { return true; }
};
