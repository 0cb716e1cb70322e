// The Change Pitches list (control 108): rows of FCMyDataListRow with a
// check-box column. Its event handlers keep the dialog's buttons in step
// with the selection and the check boxes; they reach the dialog through the
// list's owner window (an FCChangePitchesWindow), and do only their own part
// when the owner is another window or none.
#pragma once

#include "tonaroframework/ui/fcctrldatalist.h"

class FCChangePitchesWindow;
class FCMyDataListRow;
class FCString;

class FCMyDataList : public FCCtrlDataList {
public:
    explicit FCMyDataList(int id);
    const char* ClassName() const override { return "FCMyDataList"; }
    ~FCMyDataList() override;

    // Enables Modify and Delete and shows the row's From, To and direction
    // in the dialog's top fields.
    void HandleSelectChange(int line) override;
    // Modify and Delete enabled exactly when a line is still selected.
    void HandleUnselect() override;
    // Stores the flag in the row; Change Checked follows HasSomethingChecked.
    void HandleCheckChange(int line, bool checked) override;
    // Unchecks every row when any is checked, else checks every row.
    void HandleDoubleClick() override;

    // Sets every row's checked flag (and its displayed check box).
    void CheckAllRows(bool checked);
    // Whether any row is checked.
    bool HasSomethingChecked() const;
    // The first row whose From cell equals text exactly (IsEqualString), or
    // null (also for null text). Owned by the list.
    FCMyDataListRow* FindFromString(const FCString* text) const;
    // The row at index as a pitch row, or null.
    FCMyDataListRow* GetRowAt(int index) const;

private:
    FCChangePitchesWindow* _Dialog() const;
};
