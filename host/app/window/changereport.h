// What the score window's status bar says after a plug-in's edit session
// ends, in the command line's words (ChangeSummary): "12 notes changed in 8
// measures" when the session kept an undo step, "No notes matched A#" when
// it changed nothing, "No notes changed" when notes matched but none
// changed (a rule from A# to A#).
//
// The From names are read from the Change Pitches dialog as the user sets
// them: the report watches the Change and Change Checked buttons (tags 1 and
// 107) of each top-level window that holds a From field (tag 102) and a
// pitch list (tag 108), and when one is pressed it notes the From and To of
// the change about to run (the top fields, or the checked rows). The next
// session end uses them and forgets them; so does the end of the click
// that started no session (a syntax error, for instance).
//
// Main thread only. Watched windows are borrowed: their connections end
// when they are destroyed.
#pragma once

#include <QObject>
#include <QString>

#include <vector>

#include "host/engine/observer.h"

class QWidget;

namespace tonaroengine {
class Document;
}

namespace tonaroapp {

class ChangeReport : public QObject {
    Q_OBJECT
public:
    explicit ChangeReport(QObject* parent = nullptr);

    // Starts watching every Change Pitches dialog among the application's
    // top-level widgets that is not watched yet.
    void WatchPluginWindows();

    // The words for an edit session of document (borrowed, may be null)
    // that has just ended; empty when there is nothing to tell (a cancelled
    // session, whose plug-in tells its own failure, or a kept step of
    // another plug-in that changed no note).
    QString SessionEnded(const tonaroengine::Document* document, tonaroengine::SessionOutcome outcome);

private:
    struct Rule {
        QString from;
        QString to;
    };
    // Notes the rules that the dialog's button about to run will apply.
    void NoteRules(QWidget* dialog, bool checkedRows);

    std::vector<Rule> pending_;
};

}  // namespace tonaroapp
