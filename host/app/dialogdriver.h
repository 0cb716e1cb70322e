// Drives a plug-in dialog through its real widgets, as a user would: fields,
// pop-ups, check boxes and buttons are found by their "tag" property, and
// every alert box that an action raises is answered and its text kept.
//
// The driver borrows the dialog's top-level widget; it must not outlive it.
// Needs a QApplication; main thread only.
#pragma once

#include <string>
#include <vector>

#include <QVariant>
#include <QWidget>

namespace tonaroapp {

// The first control of type T below root whose "tag" property is tag; null
// when there is none or root is null. Borrowed from root's tree.
template <typename T>
T* FindTagged(QWidget* root, int tag)
{
    if (root == nullptr) return nullptr;
    for (T* widget : root->findChildren<T*>()) {
        const QVariant value = widget->property("tag");
        if (value.isValid() && value.toInt() == tag) return widget;
    }
    return nullptr;
}

// One alert box the dialog showed.
struct CapturedAlert {
    std::string title;
    std::string text;
    bool question = false;  // it asked Yes or No
};

// One row of a table as the user sees it: its check box (false when the
// table has none) and the text of each of its text columns, left to right.
struct DialogRow {
    bool checked = false;
    std::vector<std::string> cells;
};

class DialogDriver {
public:
    // Finds the visible top-level widget holding a control tagged
    // probeTag. Null when there is none.
    static QWidget* FindDialog(int probeTag);

    // dialog: borrowed, not null.
    explicit DialogDriver(QWidget* dialog);

    // Each answers false (and does nothing) when no control of that kind
    // has the tag.
    //
    // TypeText replaces a line edit's text by typing text (UTF-8) one
    // character at a time, as key presses that carry the character. Any
    // text can be typed, also characters no key of a keyboard makes;
    // characters that a line edit does not insert (line breaks, tabs,
    // other control characters) are dropped by the field, and the answer is
    // then false: true means the field now holds exactly text.
    bool TypeText(int tag, const std::string& text);
    bool ChooseItem(int tag, const std::string& item);   // picks a pop-up item by its text
    bool SetChecked(int tag, bool checked);              // clicks a check box when needed
    // Presses a button. False also when the button is disabled.
    bool Press(int tag);
    bool IsEnabled(int tag) const;

    // Rows of the table tagged tag (-1 when there is no such table).
    int RowCount(int tag) const;
    // Selects one row of the table as a click would.
    bool SelectRow(int tag, int row);
    // Every row of the table tagged tag, top first; empty when there is no
    // such table.
    std::vector<DialogRow> Rows(int tag) const;
    // The item texts of the pop-up tagged tag, in order; empty when none.
    std::vector<std::string> Items(int tag) const;

    // How alert boxes that ask a question (they have a button in the Yes
    // role) are
    // answered from now on: with Yes when yes is true, else with their
    // escape answer (No), the default. Other alerts are always closed with
    // their escape answer.
    void AnswerQuestionsYes(bool yes) { answerYes_ = yes; }

    // Alerts raised since the last call, oldest first; clears the list.
    std::vector<CapturedAlert> TakeAlerts();

private:
    // Runs action while any alert box it opens is answered with its
    // default escape answer (OK for errors, No for questions).
    void WithAlertsAnswered(void (*action)(void*), void* context);

    QWidget* dialog_;
    std::vector<CapturedAlert> alerts_;
    bool answerYes_ = false;
};

}  // namespace tonaroapp
