#include "host/app/window/changereport.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QVariant>
#include <QWidget>

#include <string>

#include "host/app/changepitchestags.h"
#include "host/app/commands/changereport.h"
#include "host/app/dialogdriver.h"
#include "host/engine/document.h"

namespace tonaroapp {

namespace {

// What a change that altered no note, although it may have matched, says.
const QString kNoNotesChanged = QStringLiteral("No notes changed");

// Set on a button once its presses are watched.
constexpr char kWatchedProperty[] = "tonaroChangeReportWatched";

// A typed name as the dialog reads it: a capital letter, "b" for every
// flat, "##" for "x".
QString AsMatched(const QString& typed)
{
    if (typed.isEmpty()) return typed;
    QString rest = typed.mid(1);
    rest.replace('B', 'b');
    if (rest == "x") rest = "##";
    return typed.left(1).toUpper() + rest;
}

int ColumnTitled(const QAbstractItemModel* model, const QString& title)
{
    for (int column = 0; column < model->columnCount(); ++column)
        if (model->headerData(column, Qt::Horizontal).toString() == title) return column;
    return -1;
}

}  // namespace

ChangeReport::ChangeReport(QObject* parent) : QObject(parent) {}

void ChangeReport::WatchPluginWindows()
{
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (FindTagged<QLineEdit>(top, kFromEdit) == nullptr || FindTagged<QAbstractItemView>(top, kRowList) == nullptr)
            continue;
        for (int tag : {kOkButton, kChangeCheckedButton}) {
            QAbstractButton* button = FindTagged<QAbstractButton>(top, tag);
            if (button == nullptr || button->property(kWatchedProperty).toBool()) continue;
            button->setProperty(kWatchedProperty, true);
            QPointer<QWidget> dialog(top);
            const bool checkedRows = tag == kChangeCheckedButton;
            // pressed comes before clicked, which runs the change, whatever
            // the order of connections; after the click the rules are
            // forgotten, as no session may have followed.
            connect(button, &QAbstractButton::pressed, this, [this, dialog, checkedRows] {
                if (dialog != nullptr) NoteRules(dialog, checkedRows);
            });
            connect(button, &QAbstractButton::clicked, this, [this] {
                QTimer::singleShot(0, this, [this] { pending_.clear(); });
            });
        }
    }
}

void ChangeReport::NoteRules(QWidget* dialog, bool checkedRows)
{
    pending_.clear();
    if (!checkedRows) {
        const QLineEdit* from = FindTagged<QLineEdit>(dialog, kFromEdit);
        const QLineEdit* to = FindTagged<QLineEdit>(dialog, kToEdit);
        if (from != nullptr)
            pending_.push_back({AsMatched(from->text()), to != nullptr ? AsMatched(to->text()) : QString()});
        return;
    }
    const QAbstractItemView* list = FindTagged<QAbstractItemView>(dialog, kRowList);
    const QAbstractItemModel* model = list != nullptr ? list->model() : nullptr;
    if (model == nullptr) return;
    const int fromColumn = ColumnTitled(model, "From");
    const int toColumn = ColumnTitled(model, "To");
    if (fromColumn < 0) return;
    for (int row = 0; row < model->rowCount(); ++row) {
        bool checked = false;
        for (int column = 0; column < model->columnCount() && !checked; ++column) {
            const QVariant state = model->data(model->index(row, column), Qt::CheckStateRole);
            checked = state.isValid() && state.toInt() == Qt::Checked;
        }
        if (!checked) continue;
        pending_.push_back({model->data(model->index(row, fromColumn)).toString(),
                            toColumn >= 0 ? model->data(model->index(row, toColumn)).toString() : QString()});
    }
}

QString ChangeReport::SessionEnded(const tonaroengine::Document* document, tonaroengine::SessionOutcome outcome)
{
    std::vector<Rule> rules;
    rules.swap(pending_);
    if (outcome == tonaroengine::SessionOutcome::Cancelled || document == nullptr) return QString();

    // The command line's words: notes counted as it counts them.
    FileResult result;
    std::vector<std::string> froms;
    bool identity = false;  // a rule whose To is its From matches notes and changes none
    for (const Rule& rule : rules) {
        froms.push_back(rule.from.toStdString());
        identity = identity || rule.from == rule.to;
    }
    if (outcome == tonaroengine::SessionOutcome::Kept) {
        for (const tonaroengine::PitchChange& change : document->UndoStepPitchChanges())
            result.changes.push_back({std::string(), document->SlotOfStaff(change.staff), change.measure, {}, {}});
        if (result.changes.empty() && rules.empty()) return QString();  // another plug-in's edit
    }
    const bool kept = outcome == tonaroengine::SessionOutcome::Kept;
    if (result.changes.empty() && (froms.empty() || identity || kept)) return kNoNotesChanged;
    return QString::fromStdString(ChangeSummary(result, froms));
}

}  // namespace tonaroapp
