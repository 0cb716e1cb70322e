#include "tonaroframework/qt/fcwindowcontroller_qt.h"

#include <algorithm>
#include <climits>

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMargins>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QTextEdit>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <QtGlobal>

#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/qt/fcdatalistmodel_qt.h"
#include "tonaroframework/qt/fcstring_qt.h"
#include "tonaroframework/qt/fcwindowcontroller_zpchangepitches.h"
#include "tonaroframework/ui/fcctrldatalist.h"
#include "tonaroframework/ui/fcuserwindow.h"
#include "tonaroframework/ui/windowplacement.h"
#include "tonaropdk/hostapi/fxfunctions.h"

namespace {

// The stepper's value before the user's change (kept with the partner).
constexpr char kStepperValueProperty[] = "_fcStepperValue";
// A switcher whose unlabelled first segment has been used by a first page.
constexpr char kFirstPageUsedProperty[] = "_fcFirstPageUsed";
// Width of the check-box column, fixed.
constexpr int kCheckColumnWidth = 26;
// Smallest row height of a table.
constexpr int kMinimumRowHeight = 16;

_FCWindowController* MakeQtController(FCUserWindow* owner, int resourceId)
{
    return new _FCWindowController_qt(owner, resourceId);
}

Rect ToRect(const QRect& rect)
{
    Rect result;
    result.top = RectSide(rect.top());
    result.left = RectSide(rect.left());
    result.bottom = RectSide(rect.top() + rect.height());
    result.right = RectSide(rect.left() + rect.width());
    return result;
}

QRect FromRect(const Rect& rect) { return QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top); }

// What the window manager's decoration adds around a window's content; null
// while it is not known (on X11 until the window manager has framed the
// shown window) or when there is none.
QMargins KnownDecoration(const QWidget* window)
{
    if (window == nullptr) return QMargins();
    // The platform window's answer: the widget's own frame rectangle is
    // renewed only when the window moves, and the window manager may frame
    // it without moving it.
    if (const QWindow* handle = window->windowHandle()) return handle->frameMargins();
    const QRect frame = window->frameGeometry();
    const QRect client = window->geometry();
    return QMargins(client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                    frame.bottom() - client.bottom());
}

// The decoration last seen around a tool window of this process: the window
// manager draws the same around the next one.
QMargins& LastToolWindowDecoration()
{
    static QMargins decoration;
    return decoration;
}

// Where the widget sits in the content view's coordinates.
QPoint PositionIn(QWidget* content, QWidget* widget)
{
    if (widget == content || !content->isAncestorOf(widget)) return QPoint(0, 0);
    return widget->mapTo(content, QPoint(0, 0));
}

void Redraw(QWidget* widget, bool now)
{
    QWidget* area = widget->parentWidget() != nullptr ? widget->parentWidget() : widget;
    if (now) {
        area->repaint();
    } else {
        area->update();
    }
}

}  // namespace

_FCWindowController_qt::_FCWindowController_qt(FCUserWindow* owner, int resourceId)
    : _FCWindowController(owner, resourceId)
{
}

_FCWindowController_qt::~_FCWindowController_qt()
{
    DestroyWindow();
    KillAllTimers();
    if (_modalLoop != nullptr) _modalLoop->exit(0);
}

void _FCWindowController_qt::Register() { _FCSetWindowControllerFactory(&MakeQtController); }

template <class T>
T* _FCWindowController_qt::_Find(int id) const
{
    return _native != nullptr ? qobject_cast<T*>(_native->findControlByTag(id)) : nullptr;
}

QWidget* _FCWindowController_qt::_GetQtID(int id) const { return _Find<QWidget>(id); }

QWidget* _FCWindowController_qt::_GeometryView(QWidget* control)
{
    QWidget* viewport = control->parentWidget();
    auto* area = viewport != nullptr ? qobject_cast<QScrollArea*>(viewport->parentWidget()) : nullptr;
    if (area != nullptr && area->viewport() == viewport && area->widget() == control) return area;
    return control;
}

QTableView* _FCWindowController_qt::_Table(int id, _FCDataListModel_qt** model) const
{
    auto* table = _Find<QTableView>(id);
    _FCDataListModel_qt* found = _FCWindowController_zpchangepitches::modelOf(table);
    if (found == nullptr) table = nullptr;
    if (model != nullptr) *model = found;
    return table;
}

void _FCWindowController_qt::_Release(_FCWindowController_zpchangepitches* native)
{
    native->detach();
    if (QWidget* window = native->window()) window->hide();
    if (native->isDispatching()) {
        native->deleteLater();
    } else {
        delete native;
    }
}

_FCWindowController_zpchangepitches* _FCWindowController_qt::_LoadNative()
{
    auto* native = new _FCWindowController_zpchangepitches();
    if (!native->initWithWindowResource(GetResourceID())) {
        delete native;
        return nullptr;
    }
    native->doAssignOwner(this);
    return native;
}

// --- Lifecycle ----------------------------------------------------------------------------

void _FCWindowController_qt::ShowModeless()
{
    if (_native != nullptr) return;
    _SetModalWindow(false);
    _SetOpen(true);
    _FCWindowController_zpchangepitches* native = _LoadNative();
    if (native == nullptr) return;
    _native = native;
    Rect selection;
    _host = _FindHostWindow(&selection);
    native->windowDidLoad(false);
    // InitWindow may have closed the window again.
    if (_native != native) return;
    QWidget* window = native->window();
    // A tool window of the document window: above it, minimised with it, no
    // taskbar entry of its own. Told before showing, when the window
    // manager reads it.
    if (_host != nullptr && _host->windowHandle() != nullptr && window->windowHandle() != nullptr)
        window->windowHandle()->setTransientParent(_host->windowHandle());
    _PlaceBeforeShowing(selection);
    window->show();
    window->raise();
    window->activateWindow();
}

QWidget* _FCWindowController_qt::_FindHostWindow(Rect* selection) const
{
    *selection = Rect();
    QWidget* own = _native != nullptr ? _native->window() : nullptr;
    EWINDOWINFO info{};
    if (FX_GetCurrentWindowInfo(&info, FXT_VERSION_2012) != 0 && info.window != nullptr) {
        // The reference is used only once it is known as one of this
        // application's own windows.
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top == own || static_cast<void*>(top) != info.window || !top->isVisible()) continue;
            selection->left = RectSide(info.selectionLeft);
            selection->top = RectSide(info.selectionTop);
            selection->right = RectSide(info.selectionRight);
            selection->bottom = RectSide(info.selectionBottom);
            return top;
        }
    }
    // A host that tells no window: the window the user worked in.
    QWidget* active = QApplication::activeWindow();
    return active != own ? active : nullptr;
}

void _FCWindowController_qt::_PlaceBeforeShowing(const Rect& selection)
{
    QWidget* window = _native->window();
    QScreen* screen = _host != nullptr ? _host->screen() : window->screen();
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    Rect frame;
    if (screen == nullptr || !GetWindowFrameRect(&frame)) return;
    const Rect visible = ToRect(screen->availableGeometry());
    Rect placed = KeepFrameOnScreen(frame, visible);
    FCUserWindow* owner = GetOwner();
    if (_host != nullptr && (owner == nullptr || !owner->IsPositionStored())) {
        // Opened for the first time: beside the selection.
        placed = PlaceFrameBesideSelection(frame.right - frame.left, frame.bottom - frame.top, selection,
                                           ToRect(_host->geometry().marginsAdded(KnownDecoration(_host))), visible);
    }
    if (placed.left != frame.left || placed.top != frame.top) SetWindowFrameRect(&placed);
}

bool _FCWindowController_qt::ExecuteModal(FCUserWindow* parent)
{
    if (_native != nullptr) return false;
    _SetModalWindow(true);
    _SetOpen(true);
    _FCWindowController_zpchangepitches* native = _LoadNative();
    if (native == nullptr) return false;
    _native = native;
    _modalStopRequested = false;
    _SetModalRunning(true);
    native->windowDidLoad(true);

    int code = 0;
    if (_modalStopRequested) {
        // InitWindow closed the window before the run began.
        code = _modalStopCode;
    } else {
        QWidget* window = native->window();
        if (parent == nullptr) {
            if (QScreen* screen = QGuiApplication::primaryScreen()) {
                QRect frame = window->frameGeometry();
                frame.moveCenter(screen->availableGeometry().center());
                window->move(frame.topLeft());
            }
        }
        window->show();
        window->raise();
        window->activateWindow();
        QEventLoop loop;
        _modalLoop = &loop;
        code = loop.exec(QEventLoop::DialogExec);
        _modalLoop = nullptr;
    }
    _SetModalRunning(false);
    if (_native == native) {
        KillAllTimers();
        _native = nullptr;
    }
    _Release(native);
    return code == 1;
}

void _FCWindowController_qt::_StopModalRun(int code)
{
    _modalStopCode = code;
    _modalStopRequested = true;
    if (_modalLoop != nullptr) _modalLoop->exit(code);
}

void _FCWindowController_qt::DestroyWindow()
{
    if (_native == nullptr) return;
    const bool wasOpen = IsOpen();
    _SetOpen(false);
    KillAllTimers();
    _FCWindowController_zpchangepitches* native = _native;
    if (IsModalRunning()) {
        // Closing ends the modal run (Notify_WindowClose); ExecuteModal
        // releases the partner afterwards.
        _native = nullptr;
        if (wasOpen && native->window() != nullptr) native->window()->close();
        return;
    }
    _native = nullptr;
    _Release(native);
}

void _FCWindowController_qt::CloseWindow()
{
    if (_native != nullptr && _native->window() != nullptr) _native->window()->close();
}

void _FCWindowController_qt::ShowWindow(bool show)
{
    if (_native == nullptr || _native->window() == nullptr) return;
    if (show) {
        _native->window()->show();
        _native->window()->raise();
    } else {
        _native->window()->hide();
    }
}

void _FCWindowController_qt::ActivateWindow()
{
    if (_native == nullptr || _native->window() == nullptr) return;
    _native->window()->raise();
    _native->window()->activateWindow();
}

bool _FCWindowController_qt::IsWindowVisible()
{
    return _native != nullptr && _native->window() != nullptr && _native->window()->isVisible();
}

void _FCWindowController_qt::RepaintWindow()
{
    if (_native != nullptr && _native->window() != nullptr) _native->window()->update();
}

void _FCWindowController_qt::SetWindowCaption(const FCString* caption)
{
    if (_native != nullptr && _native->window() != nullptr)
        _native->window()->setWindowTitle(FCStringToControlText(caption));
}

void _FCWindowController_qt::SetWindowAlpha(int percent)
{
    if (_native == nullptr || _native->window() == nullptr) return;
    _native->window()->setWindowOpacity(std::clamp(percent / 100.0, 0.0, 1.0));
}

// --- Window geometry -----------------------------------------------------------------------

QMargins _FCWindowController_qt::_Decoration() const
{
    QWidget* window = _native != nullptr ? _native->window() : nullptr;
    const QMargins known = KnownDecoration(window);
    if (!known.isNull()) {
        LastToolWindowDecoration() = known;
        return known;
    }
    // Not framed yet: what the window manager drew around the last tool
    // window, else around the document window.
    if (!LastToolWindowDecoration().isNull()) return LastToolWindowDecoration();
    return KnownDecoration(_host);
}

QSize _FCWindowController_qt::_FrameSize() const
{
    if (_native == nullptr || _native->window() == nullptr) return QSize();
    return _native->window()->geometry().marginsAdded(_Decoration()).size();
}

bool _FCWindowController_qt::GetWindowFrameRect(Rect* rect)
{
    if (rect == nullptr || _native == nullptr || _native->window() == nullptr) return false;
    *rect = ToRect(_native->window()->geometry().marginsAdded(_Decoration()));
    return true;
}

void _FCWindowController_qt::SetWindowFrameRect(const Rect* rect)
{
    if (rect == nullptr || _native == nullptr || _native->window() == nullptr) return;
    const QRect frame = FromRect(*rect);
    const QMargins decoration = _Decoration();
    const bool framed = !KnownDecoration(_native->window()).isNull();
    _ApplyFrame(frame, decoration);
    // Until the window manager has framed the window the decoration is a
    // guess; the frame is set again once the real one is known.
    _pendingFrame = frame;
    _pendingDecoration = decoration;
    _hasPendingFrame = !framed;
}

void _FCWindowController_qt::_ApplyFrame(const QRect& frame, const QMargins& decoration)
{
    QWidget* window = _native->window();
    const QRect client = frame.marginsRemoved(decoration);
    const int width = std::max(0, client.width());
    const int height = std::max(0, client.height());
    // The layout's minimum only binds the user; a program-made frame may be
    // smaller (collapsed to the title bar) and the minimum comes back with
    // the next frame that is large enough.
    const QSize layoutMinimum = _native->layoutMinimumSize();
    window->setMinimumSize(std::min(layoutMinimum.width(), width), std::min(layoutMinimum.height(), height));
    _native->setResizeSilenced(true);
    // The content's place and size: exact whether or not the window manager
    // has framed the window yet.
    window->setGeometry(client.left(), client.top(), width, height);
    _native->setResizeSilenced(false);
    _native->rememberFrameSize(window->geometry().marginsAdded(decoration).size());
}

void _FCWindowController_qt::_DecorationMayBeKnown()
{
    if (!_hasPendingFrame || _native == nullptr || _native->window() == nullptr) return;
    const QMargins known = KnownDecoration(_native->window());
    if (known.isNull()) return;
    LastToolWindowDecoration() = known;
    _hasPendingFrame = false;
    if (known != _pendingDecoration) _ApplyFrame(_pendingFrame, known);
}

bool _FCWindowController_qt::GetWindowContentRect(Rect* rect)
{
    if (rect == nullptr || _native == nullptr || _native->contentView() == nullptr) return false;
    *rect = ToRect(QRect(QPoint(0, 0), _native->contentView()->size()));
    return true;
}

int _FCWindowController_qt::GetWindowTitleHeight()
{
    // The frame collapsed to its title bar keeps the whole decoration (the
    // title bar and the border below the content) around an empty content
    // area.
    if (_native != nullptr && _native->window() != nullptr) {
        const QMargins decoration = _Decoration();
        if (decoration.top() + decoration.bottom() > 0) return decoration.top() + decoration.bottom();
    }
    // Without a drawn frame, the style's title-bar height.
    return std::max(0, QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight));
}

void _FCWindowController_qt::SetMaximumResizeWidth(int width)
{
    if (_native == nullptr || _native->window() == nullptr) return;
    const QMargins decoration = _Decoration();
    const int extra = decoration.left() + decoration.right();
    _native->window()->setMaximumWidth(std::clamp(width - extra, 0, QWIDGETSIZE_MAX));
}

void _FCWindowController_qt::SetMaximumResizeHeight(int height)
{
    if (_native == nullptr || _native->window() == nullptr) return;
    const QMargins decoration = _Decoration();
    const int extra = decoration.top() + decoration.bottom();
    _native->window()->setMaximumHeight(std::clamp(height - extra, 0, QWIDGETSIZE_MAX));
}

// --- Controls -------------------------------------------------------------------------------

void _FCWindowController_qt::SetDlgItemText(int id, const FCString* text)
{
    QWidget* control = _GetQtID(id);
    if (control == nullptr) return;
    const QString value = FCStringToControlText(text);
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(value);
    } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
        group->setTitle(value);
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setTextFormat(Qt::PlainText);
        label->setText(value);
    } else if (auto* field = qobject_cast<QLineEdit*>(control)) {
        field->setText(value);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(control)) {
        plain->setPlainText(value);
    } else if (auto* rich = qobject_cast<QTextEdit*>(control)) {
        rich->setPlainText(value);
    } else if (auto* popup = qobject_cast<QComboBox*>(control)) {
        if (popup->isEditable()) {
            popup->setEditText(value);
        } else {
            const int item = popup->findText(value, Qt::MatchExactly);
            if (item >= 0) popup->setCurrentIndex(item);
        }
    }
}

bool _FCWindowController_qt::GetDlgItemText(int id, FCString* text)
{
    QWidget* control = _GetQtID(id);
    if (control == nullptr || text == nullptr) return false;
    QString value;
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        value = button->text();
    } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
        value = group->title();
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        value = label->text();
    } else if (auto* field = qobject_cast<QLineEdit*>(control)) {
        value = field->text();
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(control)) {
        value = plain->toPlainText();
    } else if (auto* rich = qobject_cast<QTextEdit*>(control)) {
        value = rich->toPlainText();
    } else if (auto* popup = qobject_cast<QComboBox*>(control)) {
        value = popup->currentText();
    } else {
        return false;
    }
    FCStringFromControlText(text, value);
    return true;
}

void _FCWindowController_qt::SetDlgItemTextAndResize(int id, const FCString* text)
{
    SetDlgItemText(id, text);
    auto* label = _Find<QLabel>(id);
    if (label == nullptr || _GeometryView(label) == label) return;
    // Large enough for every line of the text, plus some room below.
    const QSize extent = QFontMetrics(label->font()).size(0, label->text());
    label->resize(std::max(label->width(), extent.width()), std::max(label->height(), extent.height() + 10));
}

void _FCWindowController_qt::SetDlgItemEnable(int id, bool enable)
{
    // Disabled text fields take the style's disabled colours.
    if (QWidget* control = _GetQtID(id)) control->setEnabled(enable);
}

bool _FCWindowController_qt::GetDlgItemEnable(int id)
{
    QWidget* control = _GetQtID(id);
    return control != nullptr && !control->testAttribute(Qt::WA_ForceDisabled);
}

void _FCWindowController_qt::SetDlgItemVisible(int id, bool visible)
{
    if (QWidget* control = _GetQtID(id)) _GeometryView(control)->setHidden(!visible);
}

bool _FCWindowController_qt::GetDlgItemVisible(int id)
{
    QWidget* control = _GetQtID(id);
    return control != nullptr && !_GeometryView(control)->isHidden();
}

void _FCWindowController_qt::SetDlgItemCheck(int id, int state)
{
    auto* button = _Find<QAbstractButton>(id);
    if (button == nullptr || (state != 0 && state != 1)) return;
    button->setChecked(state == 1);
}

bool _FCWindowController_qt::GetDlgItemCheck(int id)
{
    auto* button = _Find<QAbstractButton>(id);
    return button != nullptr && button->isChecked();
}

void _FCWindowController_qt::SetDlgItemKeyboardFocus(int id)
{
    QWidget* control = _GetQtID(id);
    if (control == nullptr) return;
    control->setFocus(Qt::OtherFocusReason);
    _ActivateShownWindow();
}

void _FCWindowController_qt::SetEditFocus(int id)
{
    auto* field = _Find<QLineEdit>(id);
    if (field == nullptr) return;
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
    _ActivateShownWindow();
}

void _FCWindowController_qt::_ActivateShownWindow()
{
    // The keys go where the focus is only in the active window (after an
    // alert, the window manager may have activated another one).
    QWidget* window = _native != nullptr ? _native->window() : nullptr;
    if (window != nullptr && window->isVisible() && !window->isActiveWindow()) {
        window->raise();
        window->activateWindow();
    }
}

bool _FCWindowController_qt::GetDlgItemRect(int id, Rect* rect)
{
    QWidget* control = _GetQtID(id);
    if (control == nullptr || rect == nullptr) return false;
    QWidget* view = _GeometryView(control);
    *rect = ToRect(QRect(PositionIn(_native->contentView(), view), view->size()));
    return true;
}

void _FCWindowController_qt::SetDlgItemWidth(int id, int width)
{
    QWidget* control = _GetQtID(id);
    if (control == nullptr) return;
    QWidget* view = _GeometryView(control);
    view->resize(std::max(0, width), view->height());
}

void _FCWindowController_qt::SetDlgItemHeight(int id, int height)
{
    QWidget* control = _GetQtID(id);
    if (control == nullptr) return;
    QWidget* view = _GeometryView(control);
    view->resize(view->width(), std::max(0, height));
}

void _FCWindowController_qt::SetDlgItemPos(int id, int left, int top, bool redraw)
{
    QWidget* control = _GetQtID(id);
    if (control == nullptr) return;
    QWidget* view = _GeometryView(control);
    QWidget* content = _native->contentView();
    QPoint target(left, top);
    if (view != content && view->parentWidget() != nullptr && content->isAncestorOf(view))
        target = view->parentWidget()->mapFrom(content, target);
    view->move(target);
    Redraw(view, redraw);
}

void _FCWindowController_qt::SetDlgItemSize(int id, int width, int height, bool redraw)
{
    QWidget* control = _GetQtID(id);
    if (control == nullptr) return;
    QWidget* view = _GeometryView(control);
    view->resize(std::max(0, width), std::max(0, height));
    Redraw(view, redraw);
}

// --- Pop-up menus ---------------------------------------------------------------------------

void _FCWindowController_qt::ClearAllPopupItems(int id)
{
    if (auto* popup = _Find<QComboBox>(id)) popup->clear();
}

int _FCWindowController_qt::GetPopupItemCount(int id)
{
    auto* popup = _Find<QComboBox>(id);
    return popup != nullptr ? popup->count() : 0;
}

void _FCWindowController_qt::AppendPopupItem(int id, const FCString* text)
{
    // Items are kept by position, so equal titles coexist.
    if (auto* popup = _Find<QComboBox>(id)) popup->addItem(FCStringToControlText(text));
}

void _FCWindowController_qt::DeletePopupItem(int id, int item)
{
    auto* popup = _Find<QComboBox>(id);
    if (popup != nullptr && item >= 0 && item < popup->count()) popup->removeItem(item);
}

void _FCWindowController_qt::SelectPopupItem(int id, int item)
{
    auto* popup = _Find<QComboBox>(id);
    if (popup != nullptr && item >= -1 && item < popup->count()) popup->setCurrentIndex(item);
}

int _FCWindowController_qt::GetSelectedPopupItem(int id)
{
    auto* popup = _Find<QComboBox>(id);
    return popup != nullptr ? popup->currentIndex() : -1;
}

void _FCWindowController_qt::ClearShortcutKey(int id)
{
    if (auto* button = _Find<QAbstractButton>(id)) button->setShortcut(QKeySequence());
}

// --- Steppers and sliders ---------------------------------------------------------------------

void _FCWindowController_qt::SetStepperMinMax(int id, int minimum, int maximum)
{
    auto* stepper = _Find<QSpinBox>(id);
    if (stepper == nullptr) return;
    const QSignalBlocker quiet(stepper);
    stepper->setRange(minimum, maximum);
    stepper->setProperty(kStepperValueProperty, stepper->value());
}

int _FCWindowController_qt::GetStepperMin(int id)
{
    auto* stepper = _Find<QSpinBox>(id);
    return stepper != nullptr ? stepper->minimum() : 0;
}

int _FCWindowController_qt::GetStepperMax(int id)
{
    auto* stepper = _Find<QSpinBox>(id);
    return stepper != nullptr ? stepper->maximum() : 0;
}

void _FCWindowController_qt::SetStepperValue(int id, int value)
{
    auto* stepper = _Find<QSpinBox>(id);
    if (stepper == nullptr) return;
    const QSignalBlocker quiet(stepper);
    stepper->setValue(value);
    stepper->setProperty(kStepperValueProperty, stepper->value());
}

int _FCWindowController_qt::GetStepperValue(int id)
{
    auto* stepper = _Find<QSpinBox>(id);
    return stepper != nullptr ? stepper->value() : 0;
}

void _FCWindowController_qt::SetSliderMinMax(int id, int minimum, int maximum)
{
    auto* slider = _Find<QAbstractSlider>(id);
    if (slider == nullptr) return;
    const QSignalBlocker quiet(slider);
    slider->setRange(minimum, maximum);
}

int _FCWindowController_qt::GetSliderMin(int id)
{
    auto* slider = _Find<QAbstractSlider>(id);
    return slider != nullptr ? slider->minimum() : 0;
}

int _FCWindowController_qt::GetSliderMax(int id)
{
    auto* slider = _Find<QAbstractSlider>(id);
    return slider != nullptr ? slider->maximum() : 0;
}

void _FCWindowController_qt::SetSliderValue(int id, int value)
{
    auto* slider = _Find<QAbstractSlider>(id);
    if (slider == nullptr) return;
    const QSignalBlocker quiet(slider);
    slider->setValue(value);
}

int _FCWindowController_qt::GetSliderValue(int id)
{
    auto* slider = _Find<QAbstractSlider>(id);
    return slider != nullptr ? slider->value() : 0;
}

// --- Segmented controls ---------------------------------------------------------------------

void _FCWindowController_qt::SwitcherAddPage(int id, const FCString* title)
{
    auto* switcher = _Find<QTabWidget>(id);
    if (switcher == nullptr) return;
    const QSignalBlocker quiet(switcher);
    const QString text = FCStringToControlText(title);
    if (switcher->count() == 1 && switcher->tabText(0).isEmpty() &&
        !switcher->property(kFirstPageUsedProperty).toBool()) {
        switcher->setTabText(0, text);
    } else {
        switcher->addTab(new QWidget(), text);
    }
    switcher->setProperty(kFirstPageUsedProperty, true);
}

int _FCWindowController_qt::SwitcherGetPageCount(int id)
{
    auto* switcher = _Find<QTabWidget>(id);
    return switcher != nullptr ? switcher->count() : 0;
}

int _FCWindowController_qt::SwitcherGetSelectedPage(int id)
{
    auto* switcher = _Find<QTabWidget>(id);
    return switcher != nullptr ? switcher->currentIndex() : -1;
}

void _FCWindowController_qt::SwitcherSetSelectedPage(int id, int page)
{
    auto* switcher = _Find<QTabWidget>(id);
    if (switcher == nullptr || page < 0 || page >= switcher->count()) return;
    const QSignalBlocker quiet(switcher);
    switcher->setCurrentIndex(page);
}

void _FCWindowController_qt::EditScrollToBottom(int id)
{
    QWidget* control = _GetQtID(id);
    if (auto* plain = qobject_cast<QPlainTextEdit*>(control)) {
        plain->verticalScrollBar()->setValue(plain->verticalScrollBar()->maximum());
    } else if (auto* rich = qobject_cast<QTextEdit*>(control)) {
        rich->verticalScrollBar()->setValue(rich->verticalScrollBar()->maximum());
    }
}

// --- Tables ------------------------------------------------------------------------------------

void _FCWindowController_qt::TableViewAssureConnected(FCCtrlDataList* list)
{
    if (list == nullptr) return;
    _FCDataListModel_qt* model = nullptr;
    if (_Table(list->GetControlID(), &model) == nullptr) return;
    if (model->dataList() == nullptr) model->setDataList(list);
}

void _FCWindowController_qt::TableViewDisconnect(FCCtrlDataList* list)
{
    if (list == nullptr || _native == nullptr || _native->contentView() == nullptr) return;
    for (QTableView* table : _native->contentView()->findChildren<QTableView*>()) {
        _FCDataListModel_qt* model = _FCWindowController_zpchangepitches::modelOf(table);
        if (model != nullptr && model->dataList() == list) model->setDataList(nullptr);
    }
}

bool _FCWindowController_qt::TableViewHasCheckboxes(int id)
{
    _FCDataListModel_qt* model = nullptr;
    return _Table(id, &model) != nullptr && model->hasCheckColumn();
}

bool _FCWindowController_qt::TableViewUseLeftCheckboxColumn(int id)
{
    _FCDataListModel_qt* model = nullptr;
    QTableView* table = _Table(id, &model);
    if (table == nullptr) return false;
    if (model->hasCheckColumn()) return true;
    _FCDataListModel_qt::Column column;
    column.identifier = QStringLiteral("check");
    column.width = kCheckColumnWidth;
    const int index = model->appendColumn(column);
    QHeaderView* header = table->horizontalHeader();
    header->setSectionResizeMode(index, QHeaderView::Fixed);
    header->resizeSection(index, kCheckColumnWidth);
    return true;
}

bool _FCWindowController_qt::TableViewAddColumn(int id, const FCString* title, int width, int fontSize)
{
    _FCDataListModel_qt* model = nullptr;
    QTableView* table = _Table(id, &model);
    if (table == nullptr) return false;
    _FCDataListModel_qt::Column column;
    column.identifier = model->nextTextColumnIdentifier();
    column.title = FCStringToControlText(title);
    column.fontSize = fontSize;
    column.width = std::max(0, width);
    const int index = model->appendColumn(column);
    QHeaderView* header = table->horizontalHeader();
    header->setSectionResizeMode(index, QHeaderView::Interactive);
    header->resizeSection(index, column.width);
    _FCWindowController_zpchangepitches::fitColumns(table);
    const QFont font = _FCDataListModel_qt::CellFont(table, fontSize);
    table->verticalHeader()->setDefaultSectionSize(std::max(kMinimumRowHeight, QFontMetrics(font).height() + 3));
    return true;
}

int _FCWindowController_qt::TableViewGetColumnCount(int id, bool withCheckColumn)
{
    _FCDataListModel_qt* model = nullptr;
    if (_Table(id, &model) == nullptr) return 0;
    const int count = model->columnCount();
    return (!withCheckColumn && model->hasCheckColumn()) ? count - 1 : count;
}

int _FCWindowController_qt::TableViewGetColumnWidth(int id, int column)
{
    _FCDataListModel_qt* model = nullptr;
    QTableView* table = _Table(id, &model);
    if (table == nullptr || model->columnAt(column) == nullptr) return -1;
    // The width the column was given; its share of a wider table is more.
    return model->columnAt(column)->width;
}

void _FCWindowController_qt::TableViewSetColumnTitle(int id, int column, const FCString* title)
{
    _FCDataListModel_qt* model = nullptr;
    if (_Table(id, &model) != nullptr) model->setColumnTitle(column, FCStringToControlText(title));
}

void _FCWindowController_qt::TableViewDeleteAllColumns(int id)
{
    _FCDataListModel_qt* model = nullptr;
    if (_Table(id, &model) != nullptr) model->removeAllColumns();
}

void _FCWindowController_qt::TableViewExpandLastColumn(int id)
{
    if (QTableView* table = _Table(id, nullptr)) table->horizontalHeader()->setStretchLastSection(true);
}

void _FCWindowController_qt::TableViewSetNoHeader(int id)
{
    if (QTableView* table = _Table(id, nullptr)) table->horizontalHeader()->hide();
}

void _FCWindowController_qt::TableViewRedraw(int id)
{
    _FCDataListModel_qt* model = nullptr;
    QTableView* table = _Table(id, &model);
    if (table == nullptr) return;
    const int selected = TableViewGetSelectedLine(id);
    model->reload();
    if (selected < 0) return;
    if (selected < model->rowCount() && model->columnCount() > 0) {
        // The same line stays selected; that is no change to report.
        _native->setTableSelectionSilenced(true);
        TableViewSelectLine(id, selected, false);
        _native->setTableSelectionSilenced(false);
        return;
    }
    // The selected line is gone: the list has no selection any more.
    Notify_DataListHandleCommand(id, -1);
}

void _FCWindowController_qt::TableViewScrollToTop(int id)
{
    _FCDataListModel_qt* model = nullptr;
    QTableView* table = _Table(id, &model);
    if (table != nullptr && model->rowCount() > 0) table->scrollToTop();
}

int _FCWindowController_qt::TableViewGetSelectedLine(int id)
{
    QTableView* table = _Table(id, nullptr);
    if (table == nullptr || table->selectionModel() == nullptr) return -1;
    const QModelIndexList selected = table->selectionModel()->selectedIndexes();
    if (selected.isEmpty()) return -1;
    int line = selected.first().row();
    for (const QModelIndex& index : selected) line = std::min(line, index.row());
    return line;
}

void _FCWindowController_qt::TableViewSelectLine(int id, int line, bool scroll)
{
    _FCDataListModel_qt* model = nullptr;
    QTableView* table = _Table(id, &model);
    if (table == nullptr || line < 0 || line >= model->rowCount() || model->columnCount() == 0) return;
    const QModelIndex first = model->index(line, 0);
    const QModelIndex last = model->index(line, model->columnCount() - 1);
    QItemSelectionModel* selection = table->selectionModel();
    selection->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
    selection->select(QItemSelection(first, last), QItemSelectionModel::ClearAndSelect);
    if (scroll) table->scrollTo(first);
}

void _FCWindowController_qt::TableViewClearSelection(int id)
{
    QTableView* table = _Table(id, nullptr);
    if (table != nullptr && table->selectionModel() != nullptr) table->selectionModel()->clearSelection();
}

void _FCWindowController_qt::TableViewUpdateCheckbox(int id, int line)
{
    _FCDataListModel_qt* model = nullptr;
    if (_Table(id, &model) != nullptr) model->checkChanged(line);
}

// --- Timers -----------------------------------------------------------------------------------

void _FCWindowController_qt::CreateTimer(int id, int milliseconds)
{
    if (_native == nullptr) return;
    if (TimeridExists(id)) {
        qWarning("Timer already exists!");
        return;
    }
    auto* timer = new QTimer(_native);
    timer->setInterval(std::max(0, milliseconds));
    _FCWindowController_zpchangepitches* native = _native;
    QObject::connect(timer, &QTimer::timeout, native, [native, id] { native->timerFired(id); });
    _timers.push_back(RunningTimer{id, timer});
    timer->start();
}

bool _FCWindowController_qt::TimeridExists(int id)
{
    return std::any_of(_timers.begin(), _timers.end(), [id](const RunningTimer& timer) { return timer.id == id; });
}

void _FCWindowController_qt::KillTimer(int id)
{
    for (auto it = _timers.begin(); it != _timers.end();) {
        if (it->id != id) {
            ++it;
            continue;
        }
        QTimer* timer = it->timer;
        it = _timers.erase(it);
        timer->stop();
        // The timer may be the one whose signal is being delivered.
        timer->deleteLater();
    }
}

void _FCWindowController_qt::KillAllTimers()
{
    std::vector<RunningTimer> timers;
    timers.swap(_timers);
    for (const RunningTimer& running : timers) {
        running.timer->stop();
        running.timer->deleteLater();
    }
}

void _FCWindowController_qt::NotYetImplementedError(const char* name)
{
    qWarning("ERROR: '%s' is not yet Cocoa-supported!", name != nullptr ? name : "");
}
