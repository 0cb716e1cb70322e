// The score window's ear on the engine: one EngineObserver that hands every
// engine report about the window's document to the window.
//
// The adapter registers itself with Engine::Instance() when constructed and
// removes itself when destroyed; the sink is borrowed and must outlive it.
// Reports about other documents are dropped, except alerts and selection
// dialogs, which belong to the application as a whole.
#pragma once

#include <cstdint>
#include <string>

#include "host/engine/observer.h"

namespace tonaroapp {

// What the window does with each report (all on the main thread, from inside
// the engine call that caused it).
class EngineEventSink {
public:
    virtual ~EngineEventSink() = default;
    // The number of the document the sink shows; 0 when none.
    virtual int16_t ShownDocument() const = 0;
    virtual void OnRedrawRequested(const EREGION& region) = 0;
    virtual void OnRespaced() = 0;  // the respace command ran
    virtual void OnAlert(const std::string& text) = 0;
    virtual void OnSelectionChanged() = 0;
    virtual void OnDocumentChanged() = 0;
    // An edit session of the document ended (after OnDocumentChanged when
    // it changed the document).
    virtual void OnEditSessionEnded(const std::string& /*name*/, tonaroengine::SessionOutcome /*outcome*/) {}
    virtual void OnScrolledTo(int16_t measure, int16_t staff) = 0;
    // Asks the user; answers whether they chose (then *id is the choice).
    virtual bool OnSelectionDialog(int16_t kind, int32_t* id) = 0;
};

class EngineEventAdapter : public tonaroengine::EngineObserver {
public:
    explicit EngineEventAdapter(EngineEventSink* sink);  // sink: borrowed, not null
    ~EngineEventAdapter() override;
    EngineEventAdapter(const EngineEventAdapter&) = delete;
    EngineEventAdapter& operator=(const EngineEventAdapter&) = delete;

    void CommandExecuted(int16_t document, uint32_t code) override;
    void RedrawRequested(int16_t document, const EREGION& region) override;
    bool AlertShown(const std::string& text) override;  // true: the window showed it
    void SelectionChanged(int16_t document) override;
    void DocumentChanged(int16_t document) override;
    void EditSessionEnded(int16_t document, const std::string& name, tonaroengine::SessionOutcome outcome) override;
    void ScrolledTo(int16_t document, int16_t measure, int16_t staff) override;
    bool SelectionDialogRequested(int16_t kind, int32_t* id, bool* accepted, bool* changed) override;

private:
    bool Mine(int16_t document) const;

    EngineEventSink* sink_;
};

}  // namespace tonaroapp
