#include "host/app/window/engineevents.h"

#include "host/engine/engine.h"
#include "tonaropdk/hostapi/fxtypes.h"

namespace tonaroapp {

namespace {

// The engine's note-spacing command: the measures it touched are laid out
// anew.
constexpr uint32_t kRespaceCommand = MakeEDTag('M', 'S', 'p', 'N');

}  // namespace

EngineEventAdapter::EngineEventAdapter(EngineEventSink* sink) : sink_(sink)
{
    tonaroengine::Engine::Instance().AddObserver(this);
}

EngineEventAdapter::~EngineEventAdapter()
{
    tonaroengine::Engine::Instance().RemoveObserver(this);
}

bool EngineEventAdapter::Mine(int16_t document) const
{
    return document != 0 && document == sink_->ShownDocument();
}

void EngineEventAdapter::CommandExecuted(int16_t document, uint32_t code)
{
    if (Mine(document) && code == kRespaceCommand) sink_->OnRespaced();
}

void EngineEventAdapter::RedrawRequested(int16_t document, const EREGION& region)
{
    if (Mine(document)) sink_->OnRedrawRequested(region);
}

bool EngineEventAdapter::AlertShown(const std::string& text)
{
    sink_->OnAlert(text);
    return true;
}

void EngineEventAdapter::SelectionChanged(int16_t document)
{
    if (Mine(document)) sink_->OnSelectionChanged();
}

void EngineEventAdapter::DocumentChanged(int16_t document)
{
    if (Mine(document)) sink_->OnDocumentChanged();
}

void EngineEventAdapter::EditSessionEnded(int16_t document, const std::string& name,
                                          tonaroengine::SessionOutcome outcome)
{
    if (Mine(document)) sink_->OnEditSessionEnded(name, outcome);
}

void EngineEventAdapter::ScrolledTo(int16_t document, int16_t measure, int16_t staff)
{
    if (Mine(document)) sink_->OnScrolledTo(measure, staff);
}

bool EngineEventAdapter::SelectionDialogRequested(int16_t kind, int32_t* id, bool* accepted, bool* changed)
{
    *accepted = sink_->OnSelectionDialog(kind, id);
    *changed = false;  // the window's chooser edits no definitions
    return true;
}

}  // namespace tonaroapp
