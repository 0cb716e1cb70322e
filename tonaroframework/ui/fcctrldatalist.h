// A multi-column list (table) with an optional check-box column at the left.
//
// The list owns its rows (FCDataListRow, in display order) and works as a
// data model without a native window: rows can be added, deleted and read at
// any time. While the window is loaded, the native table reads the rows
// through the platform controller and every change is pushed to it. Columns
// exist only in the native table; they are (re)made while the window is
// loaded, typically in the window's InitWindow.
//
// Column indexes count every column of the table, the check column
// included.
#pragma once

#include <cstdint>

#include "tonaroframework/base/fccollection.h"
#include "tonaroframework/ui/fccontrol.h"

class FCDataListRow;

class FCCtrlDataList : public FCControl {
public:
    explicit FCCtrlDataList(int id) : FCControl(id) {}
    const char* ClassName() const override { return "FCCtrlDataList"; }
    // Disconnects the native table from this list, then deletes the rows.
    ~FCCtrlDataList() override;

    int _GetControlType() const override { return 2; }

    // Virtual event handlers, appended after FCControl's operations in this
    // order: HandleSelectChange, HandleUnselect, HandleCheckChange,
    // HandleDoubleClick.

    // A line became selected. Default: nothing.
    virtual void HandleSelectChange(int line);
    // No line is selected any more. Default: nothing.
    virtual void HandleUnselect();
    // The user toggled the check box of a line. Default: stores the flag in
    // that row.
    virtual void HandleCheckChange(int line, bool checked);
    // The user double-clicked the list. Default: nothing.
    virtual void HandleDoubleClick();

    // --- Columns (need the loaded window) -------------------------------------
    // Appends a text column with the list's font size; false when unavailable.
    bool AddColumn(const FCString* title, int width);
    int GetColumnCount(bool withCheckColumn);
    int GetColumnWidth(int column);  // -1 when unavailable
    void SetColumnTitle(int column, const FCString* title);
    void DeleteAllColumns();
    void ExpandLastColumn();
    // Appends a check-box column unless there is one (it is the leftmost when
    // added before any other column); true unless the window is unavailable.
    bool UseLeftCheckboxColumn();
    bool HasCheckboxes();
    // Do nothing.
    void UseGrid() {}
    void UseFullRowSelect() {}

    // Point size of the text columns added from now on (12 by default).
    int GetColumnFontSize() const { return _fontSize; }
    void SetColumnFontSize(int points) { _fontSize = points; }

    // --- Rows ------------------------------------------------------------------
    // Connects the row with index = the current count (pushing its checked
    // state to the display), appends it and redraws. The list owns the row
    // from then on. Answers the new row's index; -1 (and nothing changes) for
    // null or a row that is already connected to a list.
    int AddRow(FCDataListRow* row);
    // Deletes the row at index and redraws; false outside. Rows behind it keep
    // their stored index until ReconnectAll().
    bool DeleteRow(int index);
    // Reconnects every row with its current position.
    void ReconnectAll();
    // Deletes every row and redraws.
    void DeleteAll();
    int GetCount() const { return _rows.GetCount(); }
    // The row at index, still owned by the list; null outside.
    FCDataListRow* GetItemAt(int index) const;

    // --- Selection and display (need the loaded window) ---------------------------
    // Selects only that line; scroll brings it into view.
    void SelectLine(int line, bool scroll = true);
    // -1 for none (or unavailable).
    int GetSelectedLine();
    // Scrolls to the first row (only when there are rows).
    void ScrollToTop();
    // Rereads every row.
    void Redraw();

protected:
    // Makes sure the native table reads from this list; answers the loaded
    // controller, or null.
    _FCWindowController* _AssureConnected();

private:
    // The rows, in display order (owned).
    __FCCollection _rows;
    int32_t _fontSize = 12;
};
