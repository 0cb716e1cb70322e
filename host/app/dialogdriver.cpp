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


QWidget* DialogDriver::FindDialog(int probeTag)
{
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->isVisible() && FindTagged<QWidget>(top, probeTag) != nullptr) return top;
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
        QAbstractButton* yes = nullptr;
        for (QAbstractButton* button : box->buttons())
            if (box->buttonRole(button) == QMessageBox::YesRole) yes = button;
        alerts_.push_back({box->windowTitle().toStdString(), box->text().toStdString(), yes != nullptr});
        QAbstractButton* answer = answerYes_ ? yes : nullptr;
        if (answer == nullptr) answer = box->escapeButton();
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
    QLineEdit* field = FindTagged<QLineEdit>(dialog_, tag);
    if (field == nullptr) return false;
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    if (!field->text().isEmpty()) field->clear();
    // One key press per character (code point), carrying the character as
    // its text. QTest's per-character typing maps each character to a key
    // of a US keyboard and stops the program on any character that has
    // none; here a printable ASCII character gets its own key code and any
    // other character the unknown key, which a line edit inserts by its
    // text. Control characters thus never reach Return (the dialog's
    // default button) or Tab (focus): the field ignores them.
    const QString typed = QString::fromStdString(text);
    for (qsizetype i = 0; i < typed.size();) {
        const qsizetype length = typed.at(i).isHighSurrogate() && i + 1 < typed.size() ? 2 : 1;
        const QString character = typed.mid(i, length);
        i += length;
        const char16_t unit = character.at(0).unicode();
        Qt::Key key = Qt::Key_unknown;
        if (length == 1 && unit >= 0x20 && unit <= 0x7E)
            key = static_cast<Qt::Key>(unit >= 'a' && unit <= 'z' ? unit - 'a' + 'A' : unit);
        QTest::sendKeyEvent(QTest::Click, field, key, character, Qt::NoModifier);
    }
    return field->text() == typed;
}

bool DialogDriver::ChooseItem(int tag, const std::string& item)
{
    QComboBox* popup = FindTagged<QComboBox>(dialog_, tag);
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
    QCheckBox* box = FindTagged<QCheckBox>(dialog_, tag);
    if (box == nullptr) return false;
    if (box->isChecked() != checked) box->click();
    return box->isChecked() == checked;
}

bool DialogDriver::Press(int tag)
{
    QAbstractButton* button = FindTagged<QAbstractButton>(dialog_, tag);
    if (button == nullptr || !button->isEnabled()) return false;
    WithAlertsAnswered([](void* b) { static_cast<QAbstractButton*>(b)->click(); }, button);
    return true;
}

bool DialogDriver::IsEnabled(int tag) const
{
    QWidget* widget = FindTagged<QWidget>(dialog_, tag);
    return widget != nullptr && widget->isEnabled();
}

int DialogDriver::RowCount(int tag) const
{
    QTableView* table = FindTagged<QTableView>(dialog_, tag);
    if (table == nullptr || table->model() == nullptr) return -1;
    return table->model()->rowCount();
}

bool DialogDriver::SelectRow(int tag, int row)
{
    QTableView* table = FindTagged<QTableView>(dialog_, tag);
    if (table == nullptr || table->model() == nullptr || row < 0 || row >= table->model()->rowCount()) return false;
    table->selectRow(row);
    return true;
}

std::vector<DialogRow> DialogDriver::Rows(int tag) const
{
    std::vector<DialogRow> rows;
    QTableView* table = FindTagged<QTableView>(dialog_, tag);
    if (table == nullptr || table->model() == nullptr) return rows;
    const QAbstractItemModel* model = table->model();
    for (int r = 0; r < model->rowCount(); ++r) {
        DialogRow row;
        for (int c = 0; c < model->columnCount(); ++c) {
            const QModelIndex index = model->index(r, c);
            if ((model->flags(index) & Qt::ItemIsUserCheckable) != 0) {
                row.checked = model->data(index, Qt::CheckStateRole).toInt() == Qt::Checked;
                continue;
            }
            row.cells.push_back(model->data(index, Qt::DisplayRole).toString().toStdString());
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<std::string> DialogDriver::Items(int tag) const
{
    std::vector<std::string> items;
    QComboBox* popup = FindTagged<QComboBox>(dialog_, tag);
    if (popup == nullptr) return items;
    for (int i = 0; i < popup->count(); ++i) items.push_back(popup->itemText(i).toStdString());
    return items;
}

std::vector<CapturedAlert> DialogDriver::TakeAlerts()
{
    std::vector<CapturedAlert> out;
    out.swap(alerts_);
    return out;
}

}  // namespace tonaroapp
