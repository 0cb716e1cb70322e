// What the host application (and tests) hear from the engine: executed menu
// commands, redraw requests, alerts, selection and document changes.
//
// Observers are registered with Engine::AddObserver and are not owned by the
// engine; they must be removed before they are destroyed. Every call happens
// on the thread that called into the engine, after the engine's own state is
// already updated.
#pragma once

#include <cstdint>
#include <string>

#include "host/engine/engineexport.h"
#include "tonaropdk/hostapi/eregion.h"

namespace tonaroengine {

// How the outermost level of an edit session ended.
enum class SessionOutcome {
    Kept,       // its net changes became one undo step
    NoChange,   // it changed nothing on balance: no undo step, nothing modified
    Cancelled,  // its changes were thrown away
};

class TONARO_ENGINE_API EngineObserver {
public:
    virtual ~EngineObserver() = default;

    // A menu command ran (FX_ExecuteMenuItem) in a document; code is the
    // four-character command code. Unknown codes are not reported.
    virtual void CommandExecuted(int16_t /*document*/, uint32_t /*code*/) {}
    // The music of region in document should be drawn anew.
    virtual void RedrawRequested(int16_t /*document*/, const EREGION& /*region*/) {}
    // Text to show to the user. Answer true when it was shown; when no
    // observer answers true the engine writes it to standard error.
    virtual bool AlertShown(const std::string& /*text*/) { return false; }
    // The selection of document changed.
    virtual void SelectionChanged(int16_t /*document*/) {}
    // The contents of document changed: an edit session ended or was
    // cancelled, an undo or redo ran, or an edit outside any session.
    virtual void DocumentChanged(int16_t /*document*/) {}
    // An edit session of document named name closed (BeginEdit or
    // FX_StartTonaroEdit and the matching end or cancel). For a kept or
    // cancelled session this comes after DocumentChanged; a session with no
    // net change reports nothing else.
    virtual void EditSessionEnded(int16_t /*document*/, const std::string& /*name*/, SessionOutcome /*outcome*/) {}
    // FX_ScrollTo moved the view of the current document.
    virtual void ScrolledTo(int16_t /*document*/, int16_t /*measure*/, int16_t /*staff*/) {}
    // FX_SelectionDialog wants the user to choose an item of kind
    // (SELECTIONDIALOG_*), *id preselected. Answer false to leave the question
    // to the next observer and, when none answers, to the engine's fixed
    // answer (Engine::SetSelectionDialogAnswer). Answer true after asking:
    // *accepted then tells whether the user chose (false: cancelled), *id
    // holds the chosen id and *changed whether definitions were changed.
    // id, accepted and changed are never null.
    virtual bool SelectionDialogRequested(int16_t /*kind*/, int32_t* /*id*/, bool* /*accepted*/, bool* /*changed*/)
    {
        return false;
    }
};

}  // namespace tonaroengine
