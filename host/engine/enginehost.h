// The inside of the Engine: open documents, loaded entry frames, observers
// and the host application's settings. Internal to the engine.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/engine/document.h"
#include "host/engine/engine.h"
#include "host/engine/observer.h"
#include "tonaropdk/hostapi/exentry.h"

namespace tonaroengine {

// An entry frame handed out by FX_LoadTGF: the frame record that the caller
// sees, the storage of its entry array, and the document it came from.
struct FrameBox {
    EXTGF2005a frame{};
    std::vector<EXENTRY> storage;
    int16_t document = 0;

    // Points the frame at its storage (never null, even when empty).
    void Sync();
};

class EngineHostState {
public:
    std::map<int16_t, std::unique_ptr<Document>> documents;
    int16_t current = 0;
    int16_t nextDocumentNumber = 1;

    using FrameMap = std::unordered_map<EXTGF2005a*, std::unique_ptr<FrameBox>>;
    FrameMap frames;
    // Boxes of freed frames, kept with their map nodes and entry storage so
    // that the next FX_LoadTGF allocates nothing (a walk loads and frees
    // frames cell after cell). A kept box is in no map: a freed frame stays
    // unknown to FindFrame until the box is handed out again.
    std::vector<FrameMap::node_type> spareFrames;
    // The working copy of a frame's records that FX_SaveTGF stores, kept
    // for its capacity between calls.
    std::vector<EXENTRY> saveScratch;
    int massEditDepth = 0;
    int16_t sessionDocument = 0;  // document of the open FX_ edit session

    std::vector<EngineObserver*> observers;
    std::string settingsFolder;
    WindowState window;
    SelectionDialogAnswer selectionDialog;
    std::map<std::string, int16_t> fonts;
    int32_t symbolAnswer = -1;
    std::vector<ExecutedCommand> commands;

    DocumentState* CurrentState();
    FrameBox* FindFrame(EXTGF2005a* frame);
    // A box for a new frame (from the spare boxes, else new), registered
    // under its frame; its frame record is zeroed and its storage empty.
    FrameBox* AddFrame();
    // Unregisters the frame and keeps its box as a spare; nothing for a
    // frame that is not registered.
    void RemoveFrame(EXTGF2005a* frame);
    void ResetSettings();

    // Observer calls (copies of the list, so observers may unregister).
    void NotifyCommand(int16_t document, uint32_t code);
    void NotifyRedraw(int16_t document, const EREGION& region);
    void NotifyAlert(const std::string& text);
    void NotifySelection(int16_t document);
    void NotifyDocumentChanged(int16_t document);
    void NotifySessionEnded(int16_t document, const std::string& name, SessionOutcome outcome);
    void NotifyScroll(int16_t document, int16_t measure, int16_t staff);
    // The first observer that answers FX_SelectionDialog's question; false
    // when none does (the outputs are then untouched).
    bool AskSelectionDialog(int16_t kind, int32_t* id, bool* accepted, bool* changed);
};

// Shortcut for the engine's internal state.
EngineHostState& HostState();

// Reports a change of a document made outside an edit session (inside one,
// the session's end reports it).
void NoteDirectChange(DocumentState& state);

}  // namespace tonaroengine
