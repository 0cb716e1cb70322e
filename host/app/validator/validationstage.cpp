#include "host/app/validator/validationstage.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>

#include "host/engine/document.h"
#include "host/engine/engine.h"
#include "host/engine/entryspec.h"
#include "host/engine/pitch.h"
#include "tonaropdk/hostapi/clefdef.h"

namespace tonaroapp::validator {

namespace {

constexpr int kMeasures = 4;

// Quarter notes of one measure per staff; a name with a space is a chord.
const char* const kStaffMusic[3][4] = {
    {"C5", "A#4", "F#4 A#4", "Bb4"},
    {"E4", "G#4", "D4 F#4 A4", "Gb4"},
    {"C3", "A#2", "F#2", "Eb3 G3"},
};

bool IsPluginWindow(const QWidget* widget)
{
    const Qt::WindowType type = widget->windowType();
    return type != Qt::Popup && type != Qt::ToolTip && type != Qt::Desktop;
}

}  // namespace

ValidationStage::ValidationStage()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) before_.emplace_back(widget);

    tonaroengine::Engine& engine = tonaroengine::Engine::Instance();
    document_ = engine.NewDocument();
    const int16_t clefs[3] = {CLEF_TREBLE, CLEF_TREBLE, CLEF_BASS};
    int16_t staves[3] = {};
    for (int s = 0; s < 3; ++s) staves[s] = document_->AddStaff(0, clefs[s]);
    document_->AddMeasures(kMeasures);
    for (int s = 0; s < 3; ++s) {
        for (int16_t measure = 1; measure <= kMeasures; ++measure) {
            for (int beat = 0; beat < 4; ++beat) {
                // Measures vary: each starts one name further on.
                const std::string names = kStaffMusic[s][(beat + measure - 1) % 4];
                tonaroengine::EntrySpec entry;
                size_t start = 0;
                while (start < names.size()) {
                    size_t end = names.find(' ', start);
                    if (end == std::string::npos) end = names.size();
                    tonaroengine::NoteSpec note;
                    if (tonaroengine::NoteFromName(names.substr(start, end - start).c_str(), 0, &note))
                        entry.notes.push_back(note);
                    start = end + 1;
                }
                document_->AddEntry(staves[s], measure, 0, entry);
            }
        }
    }
    document_->SetSelection(tonaroengine::Document::MakeRegion(1, 1, 2, 3));
    snapshot_ = document_->Snapshot();
}

ValidationStage::~ValidationStage()
{
    if (document_ != nullptr) tonaroengine::Engine::Instance().CloseDocument(document_->Number());
}

bool ValidationStage::ScoreUnchanged(std::string* why) const
{
    if (document_->IsEditing()) {
        if (why != nullptr) *why = "an edit session of the score was left open";
        return false;
    }
    if (document_->UndoCount() != 0) {
        if (why != nullptr) *why = "the score has an undo step \"" + document_->UndoName() + "\"";
        return false;
    }
    if (document_->Snapshot() != snapshot_) {
        if (why != nullptr) *why = "the score changed";
        return false;
    }
    return true;
}

void ValidationStage::Settle()
{
    for (int round = 0; round < 3; ++round) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

std::vector<QWidget*> ValidationStage::PluginWindows() const
{
    std::vector<QWidget*> found;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        bool earlier = false;
        for (const QPointer<QWidget>& old : before_) earlier = earlier || old.data() == widget;
        if (!earlier && IsPluginWindow(widget)) found.push_back(widget);
    }
    return found;
}

std::vector<QWidget*> ValidationStage::VisiblePluginWindows() const
{
    std::vector<QWidget*> visible;
    for (QWidget* widget : PluginWindows())
        if (widget->isVisible()) visible.push_back(widget);
    return visible;
}

int ValidationStage::LoadedFrames() { return tonaroengine::Engine::Instance().LoadedFrameCount(); }

int ValidationStage::OpenFileDescriptors()
{
    std::error_code error;
    int count = 0;
    for (std::filesystem::directory_iterator it("/proc/self/fd", error), end; !error && it != end; it.increment(error))
        ++count;
    return count;
}

std::set<std::string> ValidationStage::SettingsFiles()
{
    std::set<std::string> files;
    const char* root = std::getenv("XDG_CONFIG_HOME");
    if (root == nullptr || *root == '\0') return files;
    std::error_code error;
    for (std::filesystem::recursive_directory_iterator it(root, error), end; !error && it != end;
         it.increment(error)) {
        if (it->is_regular_file(error)) files.insert(std::filesystem::relative(it->path(), root, error).string());
    }
    return files;
}

void Step(const std::string& text)
{
    std::printf("tonaro-validate-step: %s\n", text.c_str());
    std::fflush(stdout);
}

}  // namespace tonaroapp::validator
