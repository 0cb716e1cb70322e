#include "host/app/commands/changesession.h"

#include <cstdio>

#include <QString>
#include <QWidget>

#include "host/app/changepitchestags.h"
#include "host/app/dialogdriver.h"
#include "host/app/pluginhost.h"

namespace tonaroapp {

namespace {

constexpr const char kMenuItem[] = "ZP Change Pitches...";

// The pitch changer's alert when no region is selected: what OK shows once
// the names are valid and no score is open.
constexpr const char kNoSelectionTitle[] = "No Selection";

std::string Joined(const std::vector<CapturedAlert>& alerts)
{
    std::string text;
    for (const CapturedAlert& alert : alerts) text += (text.empty() ? "" : "\n") + alert.text;
    return text;
}

DialogRefusal Broken(const std::string& message)
{
    return DialogRefusal{"", "", message, false};
}

// The From of a name as the dialog reads it: its letter in upper case.
std::string AsRead(std::string name)
{
    if (!name.empty() && name[0] >= 'a' && name[0] <= 'g') name[0] = static_cast<char>(name[0] - 'a' + 'A');
    return name;
}

}  // namespace

ChangeSession::ChangeSession() = default;

ChangeSession::~ChangeSession()
{
    Close();
}

bool ChangeSession::Open(const std::string& pluginFolder, bool printProblems, std::string* why)
{
    host_ = std::make_unique<PluginHost>();
    std::vector<std::string> problems;
    host_->LoadFolder(pluginFolder, &problems);
    if (printProblems)
        for (const std::string& problem : problems) std::fprintf(stderr, "tonaro: %s\n", problem.c_str());
    const int plugin = host_->FindMenuItem(kMenuItem);
    if (plugin < 0) {
        *why = std::string("no loaded plug-in offers \"") + kMenuItem + "\" (plug-in folder " + pluginFolder + ")";
        return false;
    }
    host_->Invoke(plugin);
    QWidget* dialog = DialogDriver::FindDialog(kFromEdit);
    if (dialog == nullptr) {
        *why = "the plug-in showed no dialog";
        return false;
    }
    driver_ = std::make_unique<DialogDriver>(dialog);
    return true;
}

std::optional<DialogRefusal> ChangeSession::Configure(const ChangeOptions& options)
{
    if (!driver_) return Broken("the plug-in's dialog is not open");
    DialogDriver& driver = *driver_;
    driver.TakeAlerts();
    if (!driver.SetChecked(kSoundingPitchBox, !options.written) || !driver.SetChecked(kRespaceBox, !options.noRespace))
        return Broken("the plug-in's dialog has no sounding-pitch or respace box");

    froms_.clear();
    if (options.from) {
        useOk_ = true;
        const std::string given = options.givenFrom + " --to " + options.givenTo;
        if (!driver.TypeText(kFromEdit, *options.from))
            return DialogRefusal{"--from", options.givenFrom, "the From field does not take this text"};
        if (!driver.TypeText(kToEdit, *options.to))
            return DialogRefusal{"--to", options.givenTo, "the To field does not take this text"};
        if (!driver.ChooseItem(kDirectionPopup, options.direction))
            return Broken("the plug-in's dialog has no direction " + options.direction);
        // No score is open: valid names end in the pitch changer's "no
        // selection" alert, and nothing changes.
        if (!driver.Press(kOkButton)) return Broken("the plug-in's OK button is not available");
        std::vector<CapturedAlert> refused;
        for (CapturedAlert& alert : driver.TakeAlerts())
            if (alert.title != kNoSelectionTitle) refused.push_back(std::move(alert));
        if (!refused.empty()) return DialogRefusal{"--from", given, Joined(refused)};
        froms_.push_back(AsRead(*options.from));
        return std::nullopt;
    }

    useOk_ = false;
    if (!options.rules.empty()) {
        // Rows remembered from an earlier run go first: only the given rules apply.
        for (int guard = driver.RowCount(kRowList); guard > 0 && driver.RowCount(kRowList) > 0; --guard) {
            if (!driver.SelectRow(kRowList, 0) || !driver.Press(kDeleteButton))
                return Broken("the plug-in's dialog did not let a remembered row be deleted");
        }
        for (const ChangeRule& rule : options.rules) {
            if (!driver.TypeText(kFromEdit, rule.from) || !driver.TypeText(kToEdit, rule.to))
                return DialogRefusal{"--rule", rule.given, "the From or To field does not take this text"};
            if (!driver.ChooseItem(kDirectionPopup, rule.direction))
                return Broken("the plug-in's dialog has no direction " + rule.direction);
            if (!driver.Press(kAddButton)) return Broken("the plug-in's Add button is not available");
            const std::vector<CapturedAlert> alerts = driver.TakeAlerts();
            if (!alerts.empty()) return DialogRefusal{"--rule", rule.given, Joined(alerts)};
        }
    } else {
        const std::string& name = *options.list;
        // List names are told apart without regard to case, as the dialog does.
        std::string item;
        for (const std::string& candidate : driver.Items(kSavedListsPopup)) {
            if (candidate == name) {
                item = candidate;
                break;
            }
            if (item.empty() && QString::fromStdString(candidate).compare(QString::fromStdString(name),
                                                                          Qt::CaseInsensitive) == 0)
                item = candidate;
        }
        if (item.empty() || !driver.ChooseItem(kSavedListsPopup, item))
            return DialogRefusal{"--list", name, "there is no saved pitch list of this name"};
        if (std::vector<CapturedAlert> alerts = driver.TakeAlerts(); !alerts.empty())
            return DialogRefusal{"--list", name, Joined(alerts)};
        if (!driver.Press(kUseListButton)) return DialogRefusal{"--list", name, "the saved pitch list cannot be used"};
        if (std::vector<CapturedAlert> alerts = driver.TakeAlerts(); !alerts.empty())
            return DialogRefusal{"--list", name, Joined(alerts)};
    }
    for (const DialogRow& row : driver.Rows(kRowList))
        if (row.checked && !row.cells.empty()) froms_.push_back(row.cells[0]);
    if (froms_.empty() || !driver.IsEnabled(kChangeCheckedButton)) {
        if (options.list) return DialogRefusal{"--list", *options.list, "no row of the list is checked: nothing to change"};
        return Broken("the plug-in's dialog checked none of the rules");
    }
    return std::nullopt;
}

std::string ChangeSession::Apply()
{
    if (!driver_) return "the plug-in's dialog is not open";
    driver_->TakeAlerts();
    if (!driver_->Press(useOk_ ? kOkButton : kChangeCheckedButton))
        return useOk_ ? "the plug-in's OK button is not available" : "no row is checked: nothing to change";
    return Joined(driver_->TakeAlerts());
}

std::string ChangeSession::SaveList(const std::string& name)
{
    if (!driver_) return "the plug-in's dialog is not open";
    DialogDriver& driver = *driver_;
    driver.TakeAlerts();
    if (!driver.TypeText(kListNameEdit, name)) return "the list name field does not take this text";
    driver.AnswerQuestionsYes(true);
    const bool pressed = driver.Press(kSaveListButton);
    driver.AnswerQuestionsYes(false);
    if (!pressed) return "the dialog's Save List button is not available (no rows, or an empty name)";
    std::vector<CapturedAlert> errors;
    for (CapturedAlert& alert : driver.TakeAlerts())
        if (!alert.question) errors.push_back(std::move(alert));
    if (!errors.empty()) return Joined(errors);
    // The dialog keeps a list's first spelling of its name; any case will do.
    const QString wanted = QString::fromStdString(name).trimmed();
    for (const std::string& item : driver.Items(kSavedListsPopup))
        if (QString::fromStdString(item).compare(wanted, Qt::CaseInsensitive) == 0) return {};
    return "the dialog did not save the list";
}

std::vector<SavedPitchList> ChangeSession::ReadLists()
{
    std::vector<SavedPitchList> lists;
    if (!driver_) return lists;
    DialogDriver& driver = *driver_;
    for (const std::string& name : driver.Items(kSavedListsPopup)) {
        SavedPitchList list{name, {}};
        if (driver.ChooseItem(kSavedListsPopup, name) && driver.Press(kUseListButton)) {
            for (const DialogRow& row : driver.Rows(kRowList)) {
                SavedPitchList::Row rule;
                rule.checked = row.checked;
                if (row.cells.size() > 0) rule.from = row.cells[0];
                if (row.cells.size() > 1) rule.to = row.cells[1];
                if (row.cells.size() > 2) rule.direction = row.cells[2];
                list.rows.push_back(rule);
            }
        }
        driver.TakeAlerts();
        lists.push_back(std::move(list));
    }
    return lists;
}

void ChangeSession::Close()
{
    if (driver_) {
        driver_->TakeAlerts();
        driver_->Press(kCloseButton);  // the dialog keeps its settings for the next run
        for (const CapturedAlert& alert : driver_->TakeAlerts()) std::fprintf(stderr, "%s\n", alert.text.c_str());
        driver_.reset();
    }
    if (host_) {
        host_->UnloadAll();
        host_.reset();
    }
}

}  // namespace tonaroapp
