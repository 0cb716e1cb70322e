// One row of a data list: its strings are the cell texts (cell i is shown in
// text column i + 1), plus a checked flag shown in the list's check-box
// column.
//
// A row belongs to the list it was added to (FCCtrlDataList::AddRow), which
// connects it (owner list and index) and deletes it. The stored index is the
// row's position when it was connected; after deletions in front of it the
// index stays stale until the list's ReconnectAll().
#pragma once

#include <cstdint>

#include "tonaroframework/base/fcstrings.h"

class FCCtrlDataList;

class FCDataListRow : public FCStrings {
public:
    FCDataListRow() = default;
    const char* ClassName() const override { return "FCDataListRow"; }
    ~FCDataListRow() override;

    // Stores the flag; when the row is connected and its list shows check
    // boxes, that row's displayed check box is refreshed.
    void SetCheck(bool checked);
    bool GetCheck() const { return _checked; }

    // -1 until connected.
    int GetIndex() const { return _index; }
    // The owner list (null until connected).
    FCCtrlDataList* GetDataList() const { return _list; }

    // Connects the row to list at index (the list's business).
    void _Connect(FCCtrlDataList* list, int index);

private:
    bool _checked = false;
    int32_t _index = -1;
    FCCtrlDataList* _list = nullptr;
};
