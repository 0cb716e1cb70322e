// What a validation check runs a plug-in against, inside the check's own
// process: a small score in the engine (three staves of four measures with
// notes and chords, a selection of two staves by three measures), and
// readings of the process that tell what the plug-in left behind: its
// windows, the engine's loaded entry frames, open file descriptors and the
// files in the private settings folder.
//
// Needs a QApplication; main thread only. One stage per check.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include <QPointer>
#include <QWidget>

namespace tonaroengine {
class Document;
}

namespace tonaroapp::validator {

class ValidationStage {
public:
    // Builds the score (the engine's current document) and notes the
    // top-level widgets that exist before any plug-in call.
    ValidationStage();
    ~ValidationStage();  // closes the score
    ValidationStage(const ValidationStage&) = delete;
    ValidationStage& operator=(const ValidationStage&) = delete;

    // The score; owned by the engine, valid for the stage's life.
    tonaroengine::Document* Score() const { return document_; }

    // True when the score is byte for byte what it was when built and has
    // no undo step; otherwise false with the difference in *why.
    bool ScoreUnchanged(std::string* why) const;

    // Delivers posted events and deferred deletions, as the host's event
    // loop would between two user actions.
    static void Settle();

    // Top-level widgets made since the stage was built (by the plug-in),
    // alive now; popups and tool tips do not count.
    std::vector<QWidget*> PluginWindows() const;
    // Those of them that are visible.
    std::vector<QWidget*> VisiblePluginWindows() const;

    // Entry frames the engine handed out and nobody freed.
    static int LoadedFrames();
    // Open file descriptors of this process.
    static int OpenFileDescriptors();
    // Paths of the files under $XDG_CONFIG_HOME, relative to it.
    static std::set<std::string> SettingsFiles();

private:
    tonaroengine::Document* document_ = nullptr;
    std::vector<uint8_t> snapshot_;
    std::vector<QPointer<QWidget>> before_;
};

// Prints "tonaro-validate-step: text" on standard output at once, so that
// the validator can tell where a check was when its process crashed or hung.
void Step(const std::string& text);

}  // namespace tonaroapp::validator
