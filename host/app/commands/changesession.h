// The Change Pitches plug-in's dialog, driven for the command line as a
// user would drive it: the plug-ins are loaded, the dialog is opened once
// and filled from the options (check boxes, the From and To fields or the
// rows, a saved list), and then applied to each score in turn; lists are
// saved and read through its Save and Use buttons.
//
// Main thread only; needs a QApplication. One session at a time in a
// process (the plug-in has one dialog). The plug-in reads and writes its
// settings in the engine's settings folder, which the caller sets.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/app/commands/changeoptions.h"

namespace tonaroapp {

class DialogDriver;
class PluginHost;

// What the dialog refused of the options: the option and the value the user
// gave ("--rule", "H:Bb") and the dialog's own message. usage is false when
// the dialog itself failed (a control missing or disabled), not the input.
struct DialogRefusal {
    std::string option;
    std::string value;
    std::string message;
    bool usage = true;
};

// One saved pitch list as the dialog shows it once used.
struct SavedPitchList {
    std::string name;
    struct Row {
        std::string from;
        std::string to;
        std::string direction;  // "Up", "Down" or "Closest"
        bool checked = false;
    };
    std::vector<Row> rows;
};

class ChangeSession {
public:
    ChangeSession();
    ~ChangeSession();  // Close()
    ChangeSession(const ChangeSession&) = delete;
    ChangeSession& operator=(const ChangeSession&) = delete;

    // Loads the plug-ins of pluginFolder (printing why any was refused when
    // printProblems is true) and opens the Change Pitches dialog, with no
    // score open. False, with *why, when there is no such plug-in or it
    // shows no dialog.
    bool Open(const std::string& pluginFolder, bool printProblems, std::string* why);

    // Puts the options into the open dialog: the sounding-pitch and respace
    // boxes, then the From and To fields and direction, or the rules as
    // rows in place of any remembered rows, or the saved list's rows. The
    // dialog checks what is typed as it would for a user: in From/To mode
    // OK is pressed while no score is open, so that only the names are
    // checked and nothing changes. Answers what the dialog refused, if any.
    std::optional<DialogRefusal> Configure(const ChangeOptions& options);

    // The From names that Apply uses, as the dialog reads them: the From
    // field, or the From of each checked row. Empty before Configure.
    const std::vector<std::string>& Froms() const { return froms_; }

    // Applies the configured change to the current document's selection
    // (OK, or Change Checked). Empty on success; otherwise the dialog's
    // messages, or why it could not be pressed.
    std::string Apply();

    // Saves the dialog's rows as a pitch list named name (Save List),
    // answering Yes when the dialog asks whether to overwrite a list of that
    // name or to keep a second list with the same pitches. Empty on success,
    // else the dialog's messages or why it could not be done.
    std::string SaveList(const std::string& name);

    // Every saved pitch list, in the dialog's order, each read by choosing
    // it and pressing Use (which replaces the dialog's rows).
    std::vector<SavedPitchList> ReadLists();

    // Closes the dialog and unloads the plug-ins, which store their
    // settings. Any message shown then is printed. Safe to call twice.
    void Close();

private:
    std::unique_ptr<PluginHost> host_;
    std::unique_ptr<DialogDriver> driver_;
    bool useOk_ = false;
    std::vector<std::string> froms_;
};

}  // namespace tonaroapp
