// The notation engine: the process-wide host that the FX_ functions serve.
// It owns the open documents (one of them current), the observers' list and
// the host application's settings for views, dialogs, fonts and folders.
//
// One instance per process (Engine::Instance()); everything runs on one
// thread, as the host's main thread.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/engine/document.h"
#include "host/engine/engineexport.h"
#include "host/engine/observer.h"

namespace tonaroengine {

// What FX_GetCurrentWindowInfo tells about the document window.
struct WindowState {
    bool available = true;  // false: FX_GetCurrentWindowInfo fails
    bool pageView = false;
    int16_t currentPage = 1;
    int16_t currentMeasure = 1;
    int16_t zoomPercent = 100;
    void* window = nullptr;
    // The selection's visible part on the screen (EWINDOWINFO); all 0: none.
    int32_t selectionLeft = 0;
    int32_t selectionTop = 0;
    int32_t selectionRight = 0;
    int32_t selectionBottom = 0;
};

// How FX_SelectionDialog answers: when accept is false it fails (cancelled);
// otherwise it answers chosenId (0: the preselected id) and changed.
struct SelectionDialogAnswer {
    bool accept = true;
    int32_t chosenId = 0;
    bool changed = false;
};

// One FX_ExecuteMenuItem call that the engine ran.
struct ExecutedCommand {
    int16_t document = 0;
    uint32_t code = 0;
};

class EngineHostState;

class TONARO_ENGINE_API Engine {
public:
    static Engine& Instance();

    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // --- Documents ------------------------------------------------------------
    // A new, empty document (no staves, no measures), which becomes current.
    // Owned by the engine until CloseDocument.
    Document* NewDocument();
    Document* CurrentDocument();                 // null when none is open
    Document* FindDocument(int16_t number);      // null when not open
    bool SetCurrentDocument(int16_t number);
    // Closes a document; the next open one (if any) becomes current. Frames
    // loaded from it stay allocated until FX_FreeTGF but can no longer be saved.
    bool CloseDocument(int16_t number);
    std::vector<int16_t> DocumentNumbers() const;
    // Closes every document and puts every host setting back to its default
    // (observers, window state, dialog answers, fonts, settings folder, the
    // command log). Document numbers start again at 1 unless a loaded frame
    // is still outstanding (its document's number is then never reused). For
    // tests.
    void Reset();

    // --- Observers ------------------------------------------------------------
    void AddObserver(EngineObserver* observer);     // not owned; null ignored
    void RemoveObserver(EngineObserver* observer);

    // --- Host application settings --------------------------------------------
    // The per-user settings folder (FX_GetTonaroPathMac kinds 16 and 8; kind 4
    // is "Configuration Files" inside it). Empty: $XDG_CONFIG_HOME/tonaro,
    // else $HOME/.config/tonaro.
    void SetSettingsFolder(const std::string& path);
    std::string SettingsFolder() const;
    void SetWindowState(const WindowState& state);
    WindowState GetWindowState() const;
    void SetSelectionDialogAnswer(const SelectionDialogAnswer& answer);
    // FX_FontNameToNum's table; number 0 removes the name.
    void SetFontNumber(const std::string& fontName, int16_t number);
    int16_t FontNumber(const std::string& fontName) const;  // 0 when unknown
    // What the symbol dialogs answer: a character, 0 (cancelled), or -1 to
    // answer the preselected character (the default).
    void SetSymbolDialogAnswer(int32_t character);

    // --- What ran ---------------------------------------------------------------
    const std::vector<ExecutedCommand>& ExecutedCommands() const;
    void ClearExecutedCommands();
    int LoadedFrameCount() const;  // frames from FX_LoadTGF not yet freed

    // The engine's internal state; not for callers outside the engine.
    EngineHostState& Host();

private:
    Engine();
    ~Engine();
    std::unique_ptr<EngineHostState> host_;
};

}  // namespace tonaroengine
