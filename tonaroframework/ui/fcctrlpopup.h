// A pop-up menu. Items are 0-based and may share titles.
#pragma once

#include "tonaroframework/ui/fccontrol.h"

class FCCtrlPopup : public FCControl {
public:
    explicit FCCtrlPopup(int id) : FCControl(id) {}
    const char* ClassName() const override { return "FCCtrlPopup"; }

    void Clear();
    // Appends an item (a null text gives an empty title).
    void AddString(const FCString* text);
    void DeleteItem(int index);
    // 0 when unavailable.
    int GetCount();
    // -1 when unavailable or nothing is selected.
    int GetSelectedItem();
    // -1 deselects; other indexes outside the items do nothing.
    void SetSelectedItem(int index);
};
