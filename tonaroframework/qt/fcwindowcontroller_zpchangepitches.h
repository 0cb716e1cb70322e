// The native partner of a Qt window controller: a QObject that owns the
// native window loaded from a Qt Designer layout, wires the controls' signals
// and the window's events to the controller's notifications, and finds
// controls by tag.
//
// Layouts. The layout of resource id N is the Qt resource
// ":/tonaro/layouts/N.ui" (N in decimal, as in ":/tonaro/layouts/20128.ui"),
// loaded with QUiLoader. Put the .ui file into a .qrc under the prefix
// "/tonaro/layouts"; a .qrc compiled into a static library must be
// initialised once with Q_INIT_RESOURCE(<qrc name>) by the program or
// plug-in. Controls are placed at fixed positions (no Qt layouts), so that
// the framework can move and size them. A control's tag is the dynamic
// integer property "tag" (a group box carries its identifier the same way);
// untagged widgets count as tag 0.
//
// Native classes. Buttons are QAbstractButton (push buttons, check boxes,
// radio buttons); pop-up menus QComboBox; text fields QLineEdit, static texts
// QLabel, scrollable texts QPlainTextEdit / QTextEdit or a QLabel inside a
// QScrollArea; steppers QSpinBox; sliders QAbstractSlider; segmented controls
// (switchers) QTabWidget, one tab per page; tables QTableView (their model is an _FCDataListModel_qt made
// here); outlines QTreeView; group boxes QGroupBox.
//
// Events. A button with tag 1 runs the OK notification and is the default
// button (Return/Enter), tag 2 the Cancel notification (with Escape as its
// shortcut in a modal window), any other non-zero tag the button
// notification; tag 0 is left alone. Escape in a modeless window presses
// the Close button (tag 2) too. Undo and Redo typed outside a text field,
// and Save, run the host window's commands with those shortcuts. A pop-up's
// activation arrives as a button press. Segmented-control changes, text typed into a tagged text
// field and outline selection changes arrive as commands; steppers as
// stepper notifications; table selection changes and double clicks as list
// notifications. The window's activation, the user's resizes, its closing
// and the timers reach the controller too. Only user actions notify; the
// controller's own changes (texts, values, pop-up selection) do not, except
// table selection, which notifies for every change of the selected line, as
// a list selection does on the platform it mirrors.
//
// Lifetime. The partner is made and deleted by its controller. While it is
// delivering a notification it may not be deleted at once (the handler may
// close the window): the controller then hides and detaches it and it is
// deleted by the event loop (deleteLater).
#pragma once

#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QWidget>

class QKeyEvent;
class QTableView;
class _FCDataListModel_qt;
class _FCWindowController_qt;

class _FCWindowController_zpchangepitches : public QObject {
    Q_OBJECT
public:
    explicit _FCWindowController_zpchangepitches(QObject* parent = nullptr);
    // Deletes the native window.
    ~_FCWindowController_zpchangepitches() override;

    // The resource path of a layout id: ":/tonaro/layouts/<id>.ui".
    static QString LayoutResourcePath(int resourceId);

    // Loads the layout of resourceId as this partner's window (once); false
    // when it is missing or its root is not a widget, or without a
    // QApplication.
    bool initWithWindowResource(int resourceId);

    // The controller that receives the notifications (null: none). Borrowed.
    void doAssignOwner(_FCWindowController_qt* owner) { _pOwner = owner; }
    _FCWindowController_qt* owner() const { return _pOwner; }

    // The native window (owned), or null before loading.
    QWidget* window() const { return _window; }
    // Where controls live and are measured: the window itself (or a main
    // window's central widget).
    QWidget* contentView() const;

    // Wires everything and tells the controller that the window was loaded.
    // modal: the window runs modally.
    void windowDidLoad(bool modal);

    // The control with this tag (depth-first from the content view), or
    // null. Not cached: the walk runs each time.
    QWidget* findControlByTag(int tag) const;
    static QWidget* findControlByTagIn(QWidget* view, int tag);
    // The widget's tag, 0 when it has none.
    static int tagOf(const QWidget* widget);

    // The table's data source (made when the table is wired), or null.
    static _FCDataListModel_qt* modelOf(QTableView* table);
    // Gives the table's text columns the whole width that the check column
    // leaves, shared in the proportions of the widths they were given
    // (nothing changes when they need more). Runs whenever the table's
    // visible width changes.
    static void fitColumns(QTableView* table);

    // The frame size last seen or set; a resize to another size notifies.
    void rememberFrameSize(const QSize& size) { _knownFrameSize = size; }
    // While set, resizes only update the remembered frame size (the
    // controller changing the frame itself).
    void setResizeSilenced(bool silenced) { _resizeSilenced = silenced; }
    // The minimum size given by the layout (the window's size as loaded).
    QSize layoutMinimumSize() const { return _layoutMinimumSize; }

    // While set, table selection changes do not notify (the controller
    // restoring a selection after a reload).
    void setTableSelectionSilenced(bool silenced) { _tableSelectionSilenced = silenced; }

    // A notification is being delivered.
    bool isDispatching() const { return _dispatchDepth > 0; }
    // Stops all notifications (the controller lets go of this partner).
    void detach() { _pOwner = nullptr; }

    // A timer of the controller fired.
    void timerFired(int id);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class DispatchScope;

    // Undo, Redo and Save typed where no control of this window takes them
    // (a text field keeps its own undo) run the host window's command with
    // that shortcut; true when one ran.
    bool forwardHostShortcut(QKeyEvent* event);

    void setupFCWindowTargets(bool modal);
    void setupFCControlTargetOf(QWidget* view, bool modal);
    void wireTable(QTableView* table, int tag);

    void okButtonPressed();
    void cancelButtonPressed();
    void buttonPressed(int tag);
    void segmentedControlPressed(int tag);
    void editTextChange(int tag);
    void outlineViewSelectionChange(int tag);
    void stepperChange(QWidget* stepper, int tag, int value);
    void tableViewSelectionChange(int tag);
    void tableViewDoubleClick(int tag);
    void windowActivated(bool active);
    void windowResized();
    QSize frameSize() const;
    void windowClosing();

    _FCWindowController_qt* _pOwner = nullptr;
    QPointer<QWidget> _window;
    QSize _knownFrameSize;
    QSize _layoutMinimumSize;
    bool _tableSelectionSilenced = false;
    bool _resizeSilenced = false;
    int _dispatchDepth = 0;
};
