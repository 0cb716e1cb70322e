#include "host/app/window/mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QWindow>

#include "host/app/pluginhost.h"
#include "host/app/window/changereport.h"
#include "host/app/window/scoretemplates.h"
#include "host/app/window/scoreview.h"
#include "host/app/window/selectionbounds.h"
#include "host/app/window/selectiontext.h"
#include "host/engine/document.h"
#include "host/engine/engine.h"
#include "host/engine/musicxml/musicxmlio.h"
#include "tonaropdk/hostapi/recordtags.h"
#include "tonaropdk/hostapi/windowinfo.h"

namespace tonaroapp {

namespace {

constexpr char kAppName[] = "Tonaro";
// How long the status bar tells what a change did, in milliseconds.
constexpr int kChangeReportTimeout = 15000;
constexpr char kFileFilter[] = "MusicXML (*.musicxml *.xml *.mxl);;All files (*)";

QString SelectionDialogTitle(int16_t kind)
{
    switch (kind) {
    case SELECTIONDIALOG_ARTICULATION: return "Articulation";
    case SELECTIONDIALOG_SHAPE: return "Shape";
    case SELECTIONDIALOG_TEXTEXPRESSION: return "Text Expression";
    default: return "Item";
    }
}

bool HasScoreSuffix(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == "musicxml" || suffix == "xml" || suffix == "mxl";
}

}  // namespace

MainWindow::MainWindow(PluginHost* plugins, const std::string& recentFilesSettings, QWidget* parent)
    : QMainWindow(parent), plugins_(plugins), recent_(recentFilesSettings)
{
    view_ = new ScoreView(this);
    setCentralWidget(view_);
    selectionLabel_ = new QLabel(this);
    statusBar()->addPermanentWidget(selectionLabel_);
    changeReport_ = new ChangeReport(this);
    resize(1000, 700);

    BuildMenus();
    connect(view_, &ScoreView::SelectionEdited, this, [this] { UpdateStatus(); });
    connect(view_, &ScoreView::ZoomChanged, this, [this](int) { UpdateWindowState(); });
    connect(view_->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { UpdateWindowState(); });
    connect(view_->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { UpdateWindowState(); });

    events_ = std::make_unique<EngineEventAdapter>(static_cast<EngineEventSink*>(this));
    UpdateTitle();
    UpdateActions();
    UpdateStatus();
    UpdateWindowState();
}

MainWindow::~MainWindow()
{
    events_.reset();
    ShowDocument(nullptr, QString(), QString());
    tonaroengine::Engine::Instance().SetWindowState(tonaroengine::WindowState());
}

// --- Menus ------------------------------------------------------------------------------------

void MainWindow::BuildMenus()
{
    auto add = [this](QMenu* menu, WindowAction which, const QString& text, QKeySequence shortcut,
                      auto slot) {
        QAction* action = menu->addAction(text);
        if (!shortcut.isEmpty()) action->setShortcut(shortcut);
        connect(action, &QAction::triggered, this, slot);
        actions_[static_cast<int>(which)] = action;
        return action;
    };

    QMenu* file = menuBar()->addMenu("&File");
    newMenu_ = file->addMenu("&New");
    bool first = true;
    for (const std::string& name : TemplateNames()) {
        QAction* action = newMenu_->addAction(QString::fromStdString(name));
        if (first) action->setShortcut(QKeySequence::New);
        first = false;
        connect(action, &QAction::triggered, this, [this, name] { NewFromTemplate(name); });
    }
    add(file, WindowAction::Open, "&Open...", QKeySequence::Open, [this] { Open(); });
    recentMenu_ = file->addMenu("Open &Recent");
    connect(recentMenu_, &QMenu::aboutToShow, this, [this] { RebuildRecentMenu(); });
    RebuildRecentMenu();
    file->addSeparator();
    add(file, WindowAction::Save, "&Save", QKeySequence::Save, [this] { Save(); });
    add(file, WindowAction::SaveAs, "Save &As...", QKeySequence::SaveAs, [this] { SaveAs(); });
    add(file, WindowAction::Close, "&Close", QKeySequence::Close, [this] { CloseDocument(); });
    file->addSeparator();
    QAction* quit = add(file, WindowAction::Quit, "&Quit", QKeySequence::Quit, [this] { close(); });
    quit->setMenuRole(QAction::QuitRole);

    QMenu* edit = menuBar()->addMenu("&Edit");
    add(edit, WindowAction::Undo, "&Undo", QKeySequence::Undo, [this] { Undo(); });
    add(edit, WindowAction::Redo, "&Redo", QKeySequence::Redo, [this] { Redo(); });
    edit->addSeparator();
    add(edit, WindowAction::SelectAll, "Select &All", QKeySequence::SelectAll, [this] { view_->SelectAll(); });

    QMenu* viewMenu = menuBar()->addMenu("&View");
    add(viewMenu, WindowAction::ZoomIn, "Zoom &In", QKeySequence::ZoomIn, [this] { view_->ZoomIn(); });
    add(viewMenu, WindowAction::ZoomOut, "Zoom &Out", QKeySequence::ZoomOut, [this] { view_->ZoomOut(); });
    add(viewMenu, WindowAction::ActualSize, "&Actual Size", QKeySequence(Qt::CTRL | Qt::Key_0),
        [this] { view_->SetZoomPercent(100); });
    viewMenu->addSeparator();
    QAction* concert = viewMenu->addAction("&Concert Pitch");
    concert->setCheckable(true);
    connect(concert, &QAction::triggered, this, [this](bool checked) { SetConcertPitch(checked); });
    actions_[static_cast<int>(WindowAction::ConcertPitch)] = concert;

    pluginsMenu_ = menuBar()->addMenu("&Plug-ins");
    BuildPluginsMenu();
}

void MainWindow::BuildPluginsMenu()
{
    pluginsMenu_->clear();
    const int count = plugins_ != nullptr ? plugins_->PluginCount() : 0;
    for (int p = 0; p < count; ++p) {
        for (const PluginMenuItem& item : plugins_->MenuItems(p)) {
            QAction* action = pluginsMenu_->addAction(QString::fromStdString(item.menuText));
            action->setStatusTip(QString::fromStdString(item.description));
            action->setToolTip(QString::fromStdString(item.description));
            connect(action, &QAction::triggered, this, [this, p] { InvokePlugin(p); });
        }
    }
    if (pluginsMenu_->isEmpty()) pluginsMenu_->addAction("No Plug-ins Loaded")->setEnabled(false);
}

void MainWindow::RebuildRecentMenu()
{
    recentMenu_->clear();
    const std::vector<std::string> files = recent_.Files();
    for (const std::string& file : files) {
        const QString path = QString::fromStdString(file);
        QAction* action = recentMenu_->addAction(QFileInfo(path).fileName());
        action->setToolTip(path);
        action->setData(path);
        connect(action, &QAction::triggered, this, [this, path] { OpenFile(path); });
    }
    if (files.empty()) {
        recentMenu_->addAction("No Recent Files")->setEnabled(false);
        return;
    }
    recentMenu_->addSeparator();
    connect(recentMenu_->addAction("Clear Menu"), &QAction::triggered, this, [this] { recent_.Clear(); });
}

QAction* MainWindow::Action(WindowAction which) const
{
    return actions_[static_cast<int>(which)];
}

void MainWindow::SetFileChooser(FileChooser chooser)
{
    chooser_ = std::move(chooser);
}

QString MainWindow::ChooseFile(bool save, const QString& suggested)
{
    if (chooser_) return chooser_(save, suggested);
    if (save) return QFileDialog::getSaveFileName(this, "Save Score", suggested, kFileFilter);
    return QFileDialog::getOpenFileName(this, "Open Score", suggested, kFileFilter);
}

// --- Documents ----------------------------------------------------------------------------------

void MainWindow::ShowDocument(tonaroengine::Document* document, const QString& filePath, const QString& name)
{
    tonaroengine::Document* old = document_;
    view_->SetDocument(nullptr);
    document_ = document;
    filePath_ = filePath;
    displayName_ = name;
    if (old != nullptr && old != document) {
        tonaroengine::ReleaseMusicXmlSource(old);
        tonaroengine::Engine::Instance().CloseDocument(old->Number());
    }
    MakeCurrent();
    modified_.MarkSaved(document_);
    view_->SetDocument(document_);
    UpdateTitle();
    UpdateActions();
    UpdateStatus();
    UpdateWindowState();
}

bool MainWindow::OpenFile(const QString& path, std::string* error)
{
    if (!MaybeSave()) return false;
    tonaroengine::MusicXmlError problem;
    tonaroengine::Document* document = tonaroengine::OpenMusicXml(path.toStdString(), &problem);
    if (document == nullptr) {
        if (error != nullptr) {
            *error = problem.Text();
        } else {
            QMessageBox::critical(this, "Open Failed",
                                  "The score cannot be opened.\n\n" + QString::fromStdString(problem.Text()));
        }
        MakeCurrent();
        return false;
    }
    const QString absolute = QFileInfo(path).absoluteFilePath();
    ShowDocument(document, absolute, QFileInfo(path).fileName());
    recent_.Add(absolute.toStdString());
    statusBar()->showMessage("Opened " + QFileInfo(path).fileName(), 5000);
    return true;
}

bool MainWindow::NewFromTemplate(const std::string& name)
{
    if (!MaybeSave()) return false;
    std::string error;
    tonaroengine::Document* document = CreateFromTemplate(name, &error);
    if (document == nullptr) {
        QMessageBox::critical(this, "New Score", "The score cannot be made.\n\n" + QString::fromStdString(error));
        MakeCurrent();
        return false;
    }
    ShowDocument(document, QString(), QString("Untitled (%1)").arg(QString::fromStdString(name)));
    // The template's file is gone: part names and markings come from its text.
    view_->SetDocument(document, TemplateMusicXml(name));
    return true;
}

void MainWindow::Open()
{
    const QString path = ChooseFile(false, filePath_.isEmpty() ? QString() : QFileInfo(filePath_).absolutePath());
    if (!path.isEmpty()) OpenFile(path);
}

bool MainWindow::CloseDocument()
{
    if (!MaybeSave()) return false;
    ShowDocument(nullptr, QString(), QString());
    return true;
}

bool MainWindow::IsModified() const
{
    return modified_.IsModified();
}

bool MainWindow::MaybeSave()
{
    if (document_ == nullptr || !IsModified()) return true;
    QMessageBox box(QMessageBox::Warning, kAppName,
                    QString("Do you want to save the changes to \"%1\"?").arg(displayName_),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.setInformativeText("Your changes will be lost if you don't save them.");
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Save: return Save();
    case QMessageBox::Discard: return true;
    default: return false;
    }
}

bool MainWindow::Save()
{
    if (document_ == nullptr) return false;
    if (filePath_.isEmpty()) return SaveAs();
    return SaveTo(filePath_);
}

bool MainWindow::SaveAs()
{
    if (document_ == nullptr) return false;
    const QString suggested =
        filePath_.isEmpty() ? QString("Untitled.musicxml") : filePath_;
    QString path = ChooseFile(true, suggested);
    if (path.isEmpty()) return false;
    if (!HasScoreSuffix(path)) path += ".musicxml";
    return SaveTo(path);
}

bool MainWindow::SaveTo(const QString& path)
{
    if (document_ == nullptr) return false;
    tonaroengine::MusicXmlError error;
    tonaroengine::MusicXmlSaveOptions options;
    options.overwriteInput = true;  // the user chose the file
    if (!tonaroengine::SaveMusicXml(document_, path.toStdString(), &error, options)) {
        QMessageBox::critical(this, "Save Failed",
                              QString("The score was not saved to \"%1\".\n\n%2")
                                  .arg(path, QString::fromStdString(error.Text())));
        return false;
    }
    filePath_ = QFileInfo(path).absoluteFilePath();
    displayName_ = QFileInfo(path).fileName();
    modified_.MarkSaved(document_);
    recent_.Add(filePath_.toStdString());
    UpdateTitle();
    statusBar()->showMessage("Saved to " + displayName_, 5000);
    return true;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!MaybeSave()) {
        event->ignore();
        return;
    }
    ShowDocument(nullptr, QString(), QString());
    event->accept();
    emit Closed();
}

// --- Edit and view --------------------------------------------------------------------------------

void MainWindow::Undo()
{
    if (document_ == nullptr) return;
    MakeCurrent();
    document_->Undo();  // the engine reports the change (OnDocumentChanged)
}

void MainWindow::Redo()
{
    if (document_ == nullptr || document_->RedoCount() == 0) return;
    MakeCurrent();
    modified_.ExpectRedo();
    document_->Redo();
}

bool MainWindow::IsConcertPitch() const
{
    if (document_ == nullptr) return false;
    std::vector<uint8_t> record;
    const EDataAddress address{{OTHER_PREFS_CMPER, 0, 0, 0}};
    if (!document_->LoadRecord(TAG_PARTSCOPEPREFS, address, &record) || record.size() < 2) return false;
    return record[0] == 0 && record[1] == 0;  // written pitch off
}

void MainWindow::SetConcertPitch(bool concert)
{
    if (document_ == nullptr) return;
    // How the score is shown is no edit of the music: a document that was
    // unmodified stays so.
    const bool wasModified = IsModified();
    document_->SetConcertPitch(concert);
    if (!wasModified) modified_.MarkSaved(document_);
    view_->Relayout();
    UpdateTitle();
    UpdateActions();
}

// --- Plug-ins -----------------------------------------------------------------------------------------

void MainWindow::MakeCurrent()
{
    if (document_ != nullptr) tonaroengine::Engine::Instance().SetCurrentDocument(document_->Number());
    UpdateWindowState();
}

void MainWindow::InvokePlugin(int plugin)
{
    if (plugins_ == nullptr) return;
    MakeCurrent();
    plugins_->Invoke(plugin);
    RaisePluginWindows();
    changeReport_->WatchPluginWindows();
}

void MainWindow::RaisePluginWindows()
{
    // Plug-in windows are floating tool windows of their own; tied to this
    // window they stay above it instead of disappearing behind it.
    QWindow* mine = windowHandle();
    if (mine == nullptr) return;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top == this || !top->isVisible() || top->windowType() != Qt::Tool) continue;
        if (QWindow* theirs = top->windowHandle(); theirs != nullptr && theirs->transientParent() == nullptr)
            theirs->setTransientParent(mine);
        top->raise();
    }
}

// --- State shown ------------------------------------------------------------------------------------

void MainWindow::UpdateTitle()
{
    if (document_ == nullptr) {
        setWindowTitle(kAppName);
        setWindowModified(false);
        return;
    }
    setWindowTitle(QString("%1[*] \u2014 %2").arg(displayName_, kAppName));
    setWindowModified(IsModified());
}

void MainWindow::UpdateActions()
{
    const bool open = document_ != nullptr;
    const QString undoName = open ? QString::fromStdString(document_->UndoName()) : QString();
    const QString redoName = open ? QString::fromStdString(document_->RedoName()) : QString();
    QAction* undo = Action(WindowAction::Undo);
    undo->setEnabled(open && document_->UndoCount() > 0);
    undo->setText(undo->isEnabled() && !undoName.isEmpty() ? "&Undo " + undoName : "&Undo");
    QAction* redo = Action(WindowAction::Redo);
    redo->setEnabled(open && document_->RedoCount() > 0);
    redo->setText(redo->isEnabled() && !redoName.isEmpty() ? "&Redo " + redoName : "&Redo");
    for (WindowAction which : {WindowAction::Save, WindowAction::SaveAs, WindowAction::Close,
                               WindowAction::SelectAll, WindowAction::ConcertPitch})
        Action(which)->setEnabled(open);
    Action(WindowAction::ConcertPitch)->setChecked(IsConcertPitch());
    for (QAction* action : pluginsMenu_->actions())
        if (action->text() != "No Plug-ins Loaded") action->setEnabled(open);
}

void MainWindow::UpdateStatus()
{
    selectionLabel_->setText(SelectionText());
}

QString MainWindow::SelectionText() const
{
    if (document_ == nullptr) return QString();
    return QString::fromStdString(DescribeSelection(document_));
}

void MainWindow::UpdateWindowState()
{
    if (view_ == nullptr) return;
    tonaroengine::WindowState state;
    state.available = document_ != nullptr;
    state.pageView = false;
    state.currentPage = 1;
    const int16_t first = view_->FirstVisibleMeasure();
    state.currentMeasure = first > 0 ? first : 1;
    state.zoomPercent = static_cast<int16_t>(view_->ZoomPercent());
    state.window = static_cast<QWidget*>(this);
    const QRect selection = VisibleSelectionOnScreen(view_, document_);
    if (!selection.isEmpty()) {
        state.selectionLeft = selection.left();
        state.selectionTop = selection.top();
        state.selectionRight = selection.left() + selection.width();
        state.selectionBottom = selection.top() + selection.height();
    }
    tonaroengine::Engine::Instance().SetWindowState(state);
}

// --- Engine reports -----------------------------------------------------------------------------------

int16_t MainWindow::ShownDocument() const
{
    return document_ != nullptr ? document_->Number() : 0;
}

void MainWindow::OnRedrawRequested(const EREGION& region)
{
    view_->RepaintMeasures(region);
}

void MainWindow::OnRespaced()
{
    view_->Relayout();
}

void MainWindow::OnAlert(const std::string& text)
{
    QMessageBox box(QMessageBox::Information, kAppName, QString::fromStdString(text), QMessageBox::Ok, this);
    box.exec();
}

void MainWindow::OnSelectionChanged()
{
    view_->viewport()->update();
    UpdateStatus();
}

void MainWindow::OnDocumentChanged()
{
    modified_.DocumentChanged();
    view_->Relayout();
    UpdateTitle();
    UpdateActions();
    UpdateStatus();
}

void MainWindow::OnEditSessionEnded(const std::string& /*name*/, tonaroengine::SessionOutcome outcome)
{
    const QString text = changeReport_->SessionEnded(document_, outcome);
    if (!text.isEmpty()) statusBar()->showMessage(text, kChangeReportTimeout);
}

void MainWindow::OnScrolledTo(int16_t measure, int16_t staff)
{
    view_->ScrollToMeasure(measure, staff);
    UpdateWindowState();
}

bool MainWindow::OnSelectionDialog(int16_t kind, int32_t* id)
{
    QInputDialog dialog(this);
    dialog.setWindowTitle(SelectionDialogTitle(kind));
    dialog.setInputMode(QInputDialog::IntInput);
    dialog.setLabelText(QString("Number of the %1 to use:").arg(SelectionDialogTitle(kind).toLower()));
    dialog.setIntRange(1, 32767);
    dialog.setIntValue(*id >= 1 && *id <= 32767 ? static_cast<int>(*id) : 1);
    if (dialog.exec() != QDialog::Accepted) return false;
    *id = dialog.intValue();
    return true;
}

}  // namespace tonaroapp
