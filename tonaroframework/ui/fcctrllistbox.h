// A one-column list of strings, built on the data list: each item is a row
// with one cell. The first AddString makes the single untitled column (100
// wide, expanded to the full width, header hidden).
#pragma once

#include "tonaroframework/ui/fcctrldatalist.h"

class FCStrings;

class FCCtrlListBox : public FCCtrlDataList {
public:
    explicit FCCtrlListBox(int id) : FCCtrlDataList(id) {}
    const char* ClassName() const override { return "FCCtrlListBox"; }

    // Appends an item (null appends an empty item).
    void AddString(const FCString* text);
    // Replaces every item with the strings of list (null: just empties).
    void SetStrings(const FCStrings* list);
    // false (text unchanged) outside the items or for a null text.
    bool GetItemText(int index, FCString* text) const;
    bool SetItemText(int index, const FCString* text);
    // Deletes the item and reconnects the rows behind it; false outside.
    bool DeleteItem(int index);
    void ClearSelection();
    // Does nothing.
    void InsertItem() {}
};
