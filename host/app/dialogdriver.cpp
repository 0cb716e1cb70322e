#include "host/app/dialogdriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QVariant>

namespace tonaroapp {

namespace {

template <typename T>
T* Tagged(QWidget* root, int tag)
{
    if (root == nullptr) return nullptr;
    for (T* widget : root->findChildren<T*>()) {
        const QVariant value = widget->property("tag");
        if (value.isValid() && value.toInt() == tag) return widget;
    }
    return nullptr;
}

}  // namespace

QWidget* DialogDriver::FindDialog(int probeTag)
{
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->isVisible() && Tagged<QWidget>(top, probeTag) != nullptr) return top;
    }
    return nullptr;
}

DialogDriver::DialogDriver(QWidget* dialog) : dialog_(dialog) {}

void DialogDriver::WithAlertsAnswered(void (*action)(void*), void* context)
{
    // Alert boxes run their own event loop; this timer fires inside it,
    // reads the box and closes it with its escape button.
    QTimer watcher;
    watcher.setInterval(5);
    QObject::connect(&watcher, &QTimer::timeout, [this] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                box = qobject_cast<QMessageBox*>(top);
                if (box != nullptr && box->isVisible()) break;
                box = nullptr;
            }
        }
        if (box == nullptr) return;
        alerts_.push_back({box->windowTitle().toStdString(), box->text().toStdString()});
        QAbstractButton* answer = box->escapeButton();
        if (answer != nullptr) {
            answer->click();
        } else {
            box->reject();
        }
    });
    watcher.start();
    action(context);
    watcher.stop();
}

bool DialogDriver::TypeText(int tag, const std::string& text)
{
    QLineEdit* field = Tagged<QLineEdit>(dialog_, tag);
    if (field == nullptr) return false;
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    if (!field->text().isEmpty()) field->clear();
    QTest::keyClicks(field, QString::fromStdString(text));
    return field->text() == QString::fromStdString(text);
}

bool DialogDriver::ChooseItem(int tag, const std::string& item)
{
    QComboBox* popup = Tagged<QComboBox>(dialog_, tag);
    if (popup == nullptr) return false;
    const int index = popup->findText(QString::fromStdString(item), Qt::MatchExactly);
    if (index < 0) return false;
    struct Pick {
        QComboBox* popup;
        int index;
    } pick{popup, index};
    WithAlertsAnswered(
        [](void* p) {
            auto* pick = static_cast<Pick*>(p);
            pick->popup->setCurrentIndex(pick->index);
            emit pick->popup->activated(pick->index);  // as a choice with the mouse
        },
        &pick);
    return true;
}

bool DialogDriver::SetChecked(int tag, bool checked)
{
    QCheckBox* box = Tagged<QCheckBox>(dialog_, tag);
    if (box == nullptr) return false;
    if (box->isChecked() != checked) box->click();
    return box->isChecked() == checked;
}

bool DialogDriver::Press(int tag)
{
    QAbstractButton* button = Tagged<QAbstractButton>(dialog_, tag);
    if (button == nullptr || !button->isEnabled()) return false;
    WithAlertsAnswered([](void* b) { static_cast<QAbstractButton*>(b)->click(); }, button);
    return true;
}

bool DialogDriver::IsEnabled(int tag) const
{
    QWidget* widget = Tagged<QWidget>(dialog_, tag);
    return widget != nullptr && widget->isEnabled();
}

int DialogDriver::RowCount(int tag) const
{
    QTableView* table = Tagged<QTableView>(dialog_, tag);
    if (table == nullptr || table->model() == nullptr) return -1;
    return table->model()->rowCount();
}

bool DialogDriver::SelectRow(int tag, int row)
{
    QTableView* table = Tagged<QTableView>(dialog_, tag);
    if (table == nullptr || table->model() == nullptr || row < 0 || row >= table->model()->rowCount()) return false;
    table->selectRow(row);
    return true;
}

std::vector<CapturedAlert> DialogDriver::TakeAlerts()
{
    std::vector<CapturedAlert> out;
    out.swap(alerts_);
    return out;
}

}  // namespace tonaroapp
