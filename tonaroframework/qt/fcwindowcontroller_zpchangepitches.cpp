#include "tonaroframework/qt/fcwindowcontroller_zpchangepitches.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QFile>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTreeView>
#include <QUiLoader>
#include <QVariant>
#include <QWidget>

#include "tonaroframework/qt/fcdatalistmodel_qt.h"
#include "tonaroframework/qt/fcwindowcontroller_qt.h"
#include "tonaroframework/qt/keeploaded_qt.h"

namespace {

// The stepper's value before the user's change (dynamic property).
constexpr char kStepperValueProperty[] = "_fcStepperValue";
// Marks a table whose viewport is watched for double clicks.
constexpr char kTableTagProperty[] = "_fcTableTag";

}  // namespace

// Counts the notifications in progress, so that a handler that closes the
// window does not delete this partner under the running signal.
class _FCWindowController_zpchangepitches::DispatchScope {
public:
    explicit DispatchScope(_FCWindowController_zpchangepitches* native) : _native(native) { ++_native->_dispatchDepth; }
    ~DispatchScope() { --_native->_dispatchDepth; }
    DispatchScope(const DispatchScope&) = delete;
    DispatchScope& operator=(const DispatchScope&) = delete;

private:
    _FCWindowController_zpchangepitches* _native;
};

_FCWindowController_zpchangepitches::_FCWindowController_zpchangepitches(QObject* parent) : QObject(parent) {}

_FCWindowController_zpchangepitches::~_FCWindowController_zpchangepitches()
{
    _pOwner = nullptr;
    if (_window) {
        _window->removeEventFilter(this);
        delete _window.data();
    }
}

QString _FCWindowController_zpchangepitches::LayoutResourcePath(int resourceId)
{
    return QStringLiteral(":/tonaro/layouts/%1.ui").arg(resourceId);
}

bool _FCWindowController_zpchangepitches::initWithWindowResource(int resourceId)
{
    if (_window || qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return false;
    QFile file(LayoutResourcePath(resourceId));
    if (!file.open(QIODevice::ReadOnly)) return false;
    // The form loader's library stays when the plug-in is unloaded.
    static const bool formLoaderKept = KeepLibraryLoaded(&QUiLoader::staticMetaObject);
    static_cast<void>(formLoaderKept);
    QUiLoader loader;
    QWidget* loaded = loader.load(&file, nullptr);
    if (loaded == nullptr) return false;
    _window = loaded;
    return true;
}

QWidget* _FCWindowController_zpchangepitches::contentView() const
{
    if (!_window) return nullptr;
    if (auto* main = qobject_cast<QMainWindow*>(_window.data())) {
        if (main->centralWidget() != nullptr) return main->centralWidget();
    }
    return _window.data();
}

void _FCWindowController_zpchangepitches::windowDidLoad(bool modal)
{
    setupFCWindowTargets(modal);
    if (_pOwner == nullptr) return;
    DispatchScope scope(this);
    _pOwner->Notify_WindowLoaded();
}

void _FCWindowController_zpchangepitches::setupFCWindowTargets(bool modal)
{
    if (!_window) return;
    _layoutMinimumSize = _window->size();
    _window->setMinimumSize(_layoutMinimumSize);
    // A floating window above the host's windows.
    _window->setWindowFlags((_window->windowFlags() & ~Qt::WindowType_Mask) | Qt::Tool);
    _window->setWindowModality(modal ? Qt::ApplicationModal : Qt::NonModal);
    // Make the platform window now, so that the frame (with the decoration
    // where the platform tells it up front) is known before InitWindow
    // measures it.
    _window->winId();
    _knownFrameSize = frameSize();
    _window->installEventFilter(this);
    if (QWidget* content = contentView()) setupFCControlTargetOf(content, modal);
}

void _FCWindowController_zpchangepitches::setupFCControlTargetOf(QWidget* view, bool modal)
{
    const int tag = tagOf(view);
    if (auto* button = qobject_cast<QAbstractButton*>(view)) {
        if (tag == 1) {
            connect(button, &QAbstractButton::clicked, this, [this] { okButtonPressed(); });
            if (auto* push = qobject_cast<QPushButton*>(button)) push->setDefault(true);
        } else if (tag == 2) {
            connect(button, &QAbstractButton::clicked, this, [this] { cancelButtonPressed(); });
            if (modal) button->setShortcut(QKeySequence(Qt::Key_Escape));
        } else if (tag != 0) {
            connect(button, &QAbstractButton::clicked, this, [this, tag] { buttonPressed(tag); });
        }
    } else if (auto* popup = qobject_cast<QComboBox*>(view)) {
        if (tag != 0) connect(popup, &QComboBox::activated, this, [this, tag] { buttonPressed(tag); });
    } else if (auto* segmented = qobject_cast<QTabWidget*>(view)) {
        if (tag != 0)
            connect(segmented, &QTabWidget::currentChanged, this, [this, tag] { segmentedControlPressed(tag); });
    } else if (auto* field = qobject_cast<QLineEdit*>(view)) {
        if (tag != 0) connect(field, &QLineEdit::textEdited, this, [this, tag] { editTextChange(tag); });
    } else if (auto* stepper = qobject_cast<QSpinBox*>(view)) {
        if (tag != 0) {
            stepper->setProperty(kStepperValueProperty, stepper->value());
            connect(stepper, &QSpinBox::valueChanged, this,
                    [this, stepper, tag](int value) { stepperChange(stepper, tag, value); });
        }
    } else if (auto* outline = qobject_cast<QTreeView*>(view)) {
        if (tag != 0 && outline->selectionModel() != nullptr) {
            outline->setSelectionMode(QAbstractItemView::SingleSelection);
            outline->setSelectionBehavior(QAbstractItemView::SelectRows);
            connect(outline->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                    [this, tag] { outlineViewSelectionChange(tag); });
        }
    } else if (auto* table = qobject_cast<QTableView*>(view)) {
        if (tag != 0) wireTable(table, tag);
        return;  // a table's own parts carry no tags
    }
    for (QObject* child : view->children()) {
        if (auto* widget = qobject_cast<QWidget*>(child)) setupFCControlTargetOf(widget, modal);
    }
}

void _FCWindowController_zpchangepitches::wireTable(QTableView* table, int tag)
{
    auto* model = new _FCDataListModel_qt(table);
    model->setCheckHandler([this](FCCtrlDataList* list, int row, bool checked) {
        if (_pOwner == nullptr) return;
        DispatchScope scope(this);
        _pOwner->Notify_DataListCheckChange(list, row, checked);
    });
    QItemSelectionModel* previous = table->selectionModel();
    table->setModel(model);
    delete previous;  // setModel does not delete the old selection model
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionsClickable(false);
    table->horizontalHeader()->setHighlightSections(false);
    connect(table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this, tag] { tableViewSelectionChange(tag); });
    table->setProperty(kTableTagProperty, tag);
    table->viewport()->installEventFilter(this);
}

void _FCWindowController_zpchangepitches::fitColumns(QTableView* table)
{
    _FCDataListModel_qt* model = modelOf(table);
    if (model == nullptr) return;
    QHeaderView* header = table->horizontalHeader();
    int fixed = 0;
    int asked = 0;
    int lastText = -1;
    for (int i = 0; i < model->columnCount(); ++i) {
        const _FCDataListModel_qt::Column* column = model->columnAt(i);
        if (column->identifier == QStringLiteral("check")) {
            fixed += header->sectionSize(i);
        } else {
            asked += column->width;
            lastText = i;
        }
    }
    const int room = table->viewport()->width() - fixed;
    if (lastText < 0 || asked <= 0 || room <= asked) return;
    // Each text column gets its share of the room; the last one the rest.
    int given = 0;
    for (int i = 0; i < lastText; ++i) {
        const _FCDataListModel_qt::Column* column = model->columnAt(i);
        if (column->identifier == QStringLiteral("check")) continue;
        const int width = static_cast<int>(static_cast<long long>(room) * column->width / asked);
        header->resizeSection(i, width);
        given += width;
    }
    header->resizeSection(lastText, room - given);
}

QWidget* _FCWindowController_zpchangepitches::findControlByTag(int tag) const
{
    QWidget* content = contentView();
    return content != nullptr ? findControlByTagIn(content, tag) : nullptr;
}

QWidget* _FCWindowController_zpchangepitches::findControlByTagIn(QWidget* view, int tag)
{
    if (view == nullptr) return nullptr;
    if (view->property("tag").isValid() && tagOf(view) == tag) return view;
    for (QObject* child : view->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget == nullptr) continue;
        if (QWidget* found = findControlByTagIn(widget, tag)) return found;
    }
    return nullptr;
}

int _FCWindowController_zpchangepitches::tagOf(const QWidget* widget)
{
    if (widget == nullptr) return 0;
    bool ok = false;
    const int tag = widget->property("tag").toInt(&ok);
    return ok ? tag : 0;
}

_FCDataListModel_qt* _FCWindowController_zpchangepitches::modelOf(QTableView* table)
{
    return table != nullptr ? qobject_cast<_FCDataListModel_qt*>(table->model()) : nullptr;
}

// --- Notifications -------------------------------------------------------------------

void _FCWindowController_zpchangepitches::okButtonPressed()
{
    if (_pOwner == nullptr) return;
    DispatchScope scope(this);
    _pOwner->Notify_OkButtonPressed();
}

void _FCWindowController_zpchangepitches::cancelButtonPressed()
{
    if (_pOwner == nullptr) return;
    DispatchScope scope(this);
    _pOwner->Notify_CancelButtonPressed();
}

void _FCWindowController_zpchangepitches::buttonPressed(int tag)
{
    if (_pOwner == nullptr) return;
    DispatchScope scope(this);
    _pOwner->Notify_ButtonPressed(tag);
}

void _FCWindowController_zpchangepitches::segmentedControlPressed(int tag)
{
    if (_pOwner == nullptr) return;
    DispatchScope scope(this);
    _pOwner->Notify_HandleCommand(tag);
}

void _FCWindowController_zpchangepitches::editTextChange(int tag)
{
    if (_pOwner == nullptr) return;
    DispatchScope scope(this);
    _pOwner->Notify_HandleCommand(tag);
}

void _FCWindowController_zpchangepitches::outlineViewSelectionChange(int tag)
{
    if (_pOwner == nullptr) return;
    DispatchScope scope(this);
    _pOwner->Notify_HandleCommand(tag);
}

void _FCWindowController_zpchangepitches::stepperChange(QWidget* stepper, int tag, int value)
{
    bool known = false;
    const int previous = stepper->property(kStepperValueProperty).toInt(&known);
    stepper->setProperty(kStepperValueProperty, value);
    if (_pOwner == nullptr) return;
    DispatchScope scope(this);
    _pOwner->Notify_StepperPressed(tag, known ? previous : value, value);
}

void _FCWindowController_zpchangepitches::tableViewSelectionChange(int tag)
{
    if (_pOwner == nullptr || _tableSelectionSilenced) return;
    DispatchScope scope(this);
    _pOwner->Notify_DataListHandleCommand(tag, _pOwner->TableViewGetSelectedLine(tag));
}

void _FCWindowController_zpchangepitches::tableViewDoubleClick(int tag)
{
    if (_pOwner == nullptr) return;
    DispatchScope scope(this);
    _pOwner->Notify_DataListDoubleClick(tag);
}

void _FCWindowController_zpchangepitches::windowActivated(bool active)
{
    if (_pOwner == nullptr) return;
    DispatchScope scope(this);
    _pOwner->Notify_WindowActivated(active);
}

QSize _FCWindowController_zpchangepitches::frameSize() const
{
    // Measured as the controller measures frames.
    if (_pOwner != nullptr) return _pOwner->_FrameSize();
    return _window ? _window->frameGeometry().size() : QSize();
}

void _FCWindowController_zpchangepitches::windowResized()
{
    if (!_window) return;
    const QSize frame = frameSize();
    if (frame == _knownFrameSize) return;
    _knownFrameSize = frame;
    if (_pOwner == nullptr || _resizeSilenced) return;
    DispatchScope scope(this);
    _pOwner->Notify_WindowResized(frame.width(), frame.height());
}

void _FCWindowController_zpchangepitches::windowClosing()
{
    if (_pOwner == nullptr) return;
    DispatchScope scope(this);
    _pOwner->Notify_WindowClose();
}

void _FCWindowController_zpchangepitches::timerFired(int id)
{
    if (_pOwner == nullptr) return;
    DispatchScope scope(this);
    _pOwner->Notify_Timer(id);
}

bool _FCWindowController_zpchangepitches::forwardHostShortcut(QKeyEvent* event)
{
    if (_pOwner == nullptr || _pOwner->_GetHostWindow() == nullptr) return false;
    QKeySequence::StandardKey forwarded[] = {QKeySequence::Undo, QKeySequence::Redo, QKeySequence::Save};
    for (QKeySequence::StandardKey standard : forwarded) {
        if (!event->matches(standard)) continue;
        const QList<QKeySequence> bindings = QKeySequence::keyBindings(standard);
        for (QAction* action : _pOwner->_GetHostWindow()->findChildren<QAction*>()) {
            if (!action->isEnabled()) continue;
            for (const QKeySequence& shortcut : action->shortcuts()) {
                if (!bindings.contains(shortcut)) continue;
                action->trigger();
                return true;
            }
        }
    }
    return false;
}

bool _FCWindowController_zpchangepitches::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == _window.data()) {
        switch (event->type()) {
            case QEvent::WindowActivate:
                if (_pOwner != nullptr) _pOwner->_DecorationMayBeKnown();
                windowActivated(true);
                break;
            case QEvent::WindowDeactivate:
                windowActivated(false);
                break;
            case QEvent::Move:
            case QEvent::Show:
                if (_pOwner != nullptr) _pOwner->_DecorationMayBeKnown();
                break;
            case QEvent::Resize:
                if (_pOwner != nullptr) _pOwner->_DecorationMayBeKnown();
                windowResized();
                break;
            case QEvent::Close:
                windowClosing();
                break;
            case QEvent::KeyPress: {
                auto* keyEvent = static_cast<QKeyEvent*>(event);
                const int key = keyEvent->key();
                const bool dialog = qobject_cast<QDialog*>(_window.data()) != nullptr;
                if (key == Qt::Key_Escape) {
                    // A dialog would hide itself without closing; in a modal
                    // window the Close button's shortcut has taken Escape
                    // already. A modeless window closes as its Close button
                    // does.
                    if (!dialog) {
                        auto* close = qobject_cast<QAbstractButton*>(findControlByTag(2));
                        if (close != nullptr && close->isEnabled() && close->isVisible()) close->click();
                    }
                    return true;
                }
                if (forwardHostShortcut(keyEvent)) return true;
                if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !dialog) {
                    // Plain widgets have no default button of their own.
                    auto* ok = qobject_cast<QAbstractButton*>(findControlByTag(1));
                    if (ok != nullptr && ok->isEnabled() && ok->isVisible()) {
                        ok->click();
                        return true;
                    }
                }
                break;
            }
            default:
                break;
        }
        return false;
    }
    if (event->type() == QEvent::Resize) {
        if (auto* table = qobject_cast<QTableView*>(watched->parent()); table != nullptr && table->viewport() == watched)
            fitColumns(table);
    }
    if (event->type() == QEvent::MouseButtonDblClick) {
        auto* table = qobject_cast<QTableView*>(watched->parent());
        if (table != nullptr && table->viewport() == watched) {
            bool ok = false;
            const int tag = table->property(kTableTagProperty).toInt(&ok);
            if (ok) tableViewDoubleClick(tag);
        }
    }
    return false;
}
