// The score window: one document of the engine shown in a ScoreView, with
// the File, Edit, View and Plug-ins menus, the selection told in the status
// bar, and the engine's reports (redraws, alerts, respacing, scrolling,
// window and selection-dialog questions) answered for this window.
//
// The window owns the document it shows (it closes it in the engine when
// the document is closed or replaced, and when the window is destroyed) and
// borrows the PluginHost, which must outlive it. A document counts as
// modified when its place in the undo history differs from the one at the
// last open or save (ModifiedState); Close, Open, New, Quit and closing the
// window ask first whether to save such a document. After a plug-in's edit
// session the status bar tells what it changed (ChangeReport).
//
// Main thread only; needs a QApplication.
#pragma once

#include <QMainWindow>
#include <QString>

#include <functional>
#include <memory>
#include <string>

#include "host/app/window/engineevents.h"
#include "host/app/window/modifiedstate.h"
#include "host/app/window/recentfiles.h"

class QAction;
class QLabel;
class QMenu;

namespace tonaroengine {
class Document;
}

namespace tonaroapp {

class ChangeReport;
class PluginHost;
class ScoreView;

// The window's menu commands, for callers that drive it without menus.
enum class WindowAction {
    Open,
    Save,
    SaveAs,
    Close,
    Quit,
    Undo,
    Redo,
    SelectAll,
    ZoomIn,
    ZoomOut,
    ActualSize,
    ConcertPitch,
};

// Asks the user for a file: to open (save false) or to save to (save true),
// suggested being the file name to offer. Answers "" when cancelled.
using FileChooser = std::function<QString(bool save, const QString& suggested)>;

class MainWindow : public QMainWindow, private EngineEventSink {
    Q_OBJECT
public:
    // plugins: borrowed, may be null (the Plug-ins menu is then empty); its
    // plug-ins are put into the Plug-ins menu now. recentFilesSettings: the
    // INI file of the recent files (RecentFiles::DefaultSettingsFile() for
    // the user's own; "" keeps them in memory).
    explicit MainWindow(PluginHost* plugins, const std::string& recentFilesSettings, QWidget* parent = nullptr);
    // Closes the document without asking and leaves the engine's window
    // state as it is without a window.
    ~MainWindow() override;

    // Opens a MusicXML file in place of the current document, after asking
    // to save it when modified. Failures are shown in a message box, or,
    // when error is not null, told there instead. False when the file was
    // not opened (also when the user cancelled).
    bool OpenFile(const QString& path, std::string* error = nullptr);
    // A new document from a template (TemplateNames()), after asking to save
    // the current one. False when not made.
    bool NewFromTemplate(const std::string& name);
    // Writes the document to path (MusicXML; ".mxl" compressed). On success
    // the document is no longer modified and path becomes its file; a
    // failure is shown in a message box and the document stays modified.
    bool SaveTo(const QString& path);
    // Closes the document after asking to save it when modified; false when
    // the user cancelled.
    bool CloseDocument();

    // The document shown (owned by this window through the engine); null
    // when none.
    tonaroengine::Document* GetDocument() const { return document_; }
    ScoreView* View() const { return view_; }
    QString FilePath() const { return filePath_; }  // "" for a document without a file
    bool IsModified() const;
    QString SelectionText() const;  // what the status bar tells
    QAction* Action(WindowAction which) const;
    QMenu* PluginsMenu() const { return pluginsMenu_; }
    QMenu* RecentMenu() const { return recentMenu_; }
    QMenu* NewMenu() const { return newMenu_; }
    // Replaces the file dialogs (for tests and scripted runs); null puts the
    // standard dialogs back.
    void SetFileChooser(FileChooser chooser);

signals:
    // The window closed for good (Quit or its close box, the user agreeing).
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();
    void BuildPluginsMenu();
    void RebuildRecentMenu();
    // Puts document (owned from now on, may be null) in place of the current
    // one, which is closed in the engine.
    void ShowDocument(tonaroengine::Document* document, const QString& filePath, const QString& name);
    // Asks Save/Discard/Cancel when the document is modified; true when the
    // caller may go on (saved or discarded).
    bool MaybeSave();
    bool Save();
    bool SaveAs();
    void Open();
    void Undo();
    void Redo();
    void SetConcertPitch(bool concert);
    bool IsConcertPitch() const;
    void InvokePlugin(int plugin);
    void MakeCurrent();
    void RaisePluginWindows();
    void UpdateTitle();
    void UpdateActions();
    void UpdateStatus();
    void UpdateWindowState();
    QString ChooseFile(bool save, const QString& suggested);

    // EngineEventSink
    int16_t ShownDocument() const override;
    void OnRedrawRequested(const EREGION& region) override;
    void OnRespaced() override;
    void OnAlert(const std::string& text) override;
    void OnSelectionChanged() override;
    void OnDocumentChanged() override;
    void OnEditSessionEnded(const std::string& name, tonaroengine::SessionOutcome outcome) override;
    void OnScrolledTo(int16_t measure, int16_t staff) override;
    bool OnSelectionDialog(int16_t kind, int32_t* id) override;

    PluginHost* plugins_;
    ScoreView* view_ = nullptr;
    QLabel* selectionLabel_ = nullptr;
    ChangeReport* changeReport_ = nullptr;  // child of the window
    tonaroengine::Document* document_ = nullptr;
    QString filePath_;
    QString displayName_;
    ModifiedState modified_;
    RecentFiles recent_;
    FileChooser chooser_;
    std::unique_ptr<EngineEventAdapter> events_;

    QMenu* newMenu_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    QMenu* pluginsMenu_ = nullptr;
    QAction* actions_[static_cast<int>(WindowAction::ConcertPitch) + 1] = {};
};

}  // namespace tonaroapp
