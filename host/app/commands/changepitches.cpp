// change-pitches: opens a score, selects a region, invokes the Change
// Pitches plug-in and drives its dialog as a user would, then saves.
#include <cstdio>
#include <map>
#include <optional>
#include <set>

#include "host/app/commands/commands.h"
#include "host/app/dialogdriver.h"
#include "host/app/pluginhost.h"
#include "host/app/scorenotes.h"
#include "host/engine/document.h"
#include "host/engine/engine.h"
#include "host/engine/musicxml/musicxmlio.h"

namespace tonaroapp {

namespace {

constexpr const char kMenuItem[] = "ZP Change Pitches...";

// Dialog control tags.
enum : int {
    kOkButton = 1,
    kCloseButton = 2,
    kFromEdit = 102,
    kToEdit = 104,
    kDirectionPopup = 106,
    kChangeCheckedButton = 107,
    kRowList = 108,
    kAddButton = 109,
    kDeleteButton = 112,
    kSoundingPitchBox = 113,
    kRespaceBox = 114,
    kSavedListsPopup = 117,
    kUseListButton = 120,
};

struct Rule {
    std::string from;
    std::string to;
    std::string direction = "Closest";
};

struct Range {
    int first = 0;
    int last = 0;  // 0: not given
};

struct ChangeOptions {
    std::string input;
    std::string output;
    std::optional<std::string> from;
    std::optional<std::string> to;
    std::string direction = "Closest";
    std::vector<Rule> rules;
    std::optional<std::string> list;
    Range measures;
    Range staves;
    bool written = false;
    bool noRespace = false;
    std::optional<std::string> settingsDir;
};

// "up", "down", "closest" (any case) as the pop-up's item text.
std::optional<std::string> DirectionItem(const std::string& text)
{
    std::string lower;
    for (char c : text) lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (lower == "up") return "Up";
    if (lower == "down") return "Down";
    if (lower == "closest") return "Closest";
    return std::nullopt;
}

bool ParseNumber(const std::string& text, int* out)
{
    if (text.empty() || text.size() > 6) return false;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    *out = value;
    return true;
}

// "M" or "M-N", both 1 or more, M <= N.
bool ParseRange(const std::string& text, Range* out)
{
    const size_t dash = text.find('-');
    Range range;
    if (dash == std::string::npos) {
        if (!ParseNumber(text, &range.first)) return false;
        range.last = range.first;
    } else if (!ParseNumber(text.substr(0, dash), &range.first) || !ParseNumber(text.substr(dash + 1), &range.last)) {
        return false;
    }
    if (range.first < 1 || range.last < range.first) return false;
    *out = range;
    return true;
}

// FROM:TO[:DIR]
bool ParseRule(const std::string& text, Rule* out)
{
    const size_t first = text.find(':');
    if (first == std::string::npos) return false;
    const size_t second = text.find(':', first + 1);
    Rule rule;
    rule.from = text.substr(0, first);
    rule.to = text.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1);
    if (second != std::string::npos) {
        auto direction = DirectionItem(text.substr(second + 1));
        if (!direction) return false;
        rule.direction = *direction;
    }
    *out = rule;
    return true;
}

// Answers 0 when parsed, else the exit code of the usage error printed.
int Parse(const std::vector<std::string>& args, ChangeOptions* options)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::string* out) {
            if (i + 1 >= args.size()) return false;
            *out = args[++i];
            return true;
        };
        std::string v;
        if (arg == "-o" || arg == "--output") {
            if (!value(&options->output)) return UsageError(arg + " needs a file name");
        } else if (arg == "--from") {
            if (!value(&v)) return UsageError("--from needs a pitch name");
            options->from = v;
        } else if (arg == "--to") {
            if (!value(&v)) return UsageError("--to needs a pitch name");
            options->to = v;
        } else if (arg == "--direction") {
            if (!value(&v)) return UsageError("--direction needs up, down or closest");
            auto direction = DirectionItem(v);
            if (!direction) return UsageError("--direction must be up, down or closest, not '" + v + "'");
            options->direction = *direction;
        } else if (arg == "--rule") {
            Rule rule;
            if (!value(&v) || !ParseRule(v, &rule)) return UsageError("--rule needs FROM:TO or FROM:TO:up|down|closest");
            options->rules.push_back(rule);
        } else if (arg == "--list") {
            if (!value(&v)) return UsageError("--list needs a list name");
            options->list = v;
        } else if (arg == "--measures") {
            if (!value(&v) || !ParseRange(v, &options->measures)) return UsageError("--measures needs M or M-N (from 1)");
        } else if (arg == "--staves") {
            if (!value(&v) || !ParseRange(v, &options->staves)) return UsageError("--staves needs S or S-T (from 1)");
        } else if (arg == "--written") {
            options->written = true;
        } else if (arg == "--no-respace") {
            options->noRespace = true;
        } else if (arg == "--settings-dir") {
            if (!value(&v)) return UsageError("--settings-dir needs a folder");
            options->settingsDir = v;
        } else if (arg.starts_with("-") && arg != "-") {
            return UsageError("change-pitches: unknown option " + arg);
        } else if (options->input.empty()) {
            options->input = arg;
        } else {
            return UsageError("change-pitches takes one input file");
        }
    }
    if (options->input.empty() || options->output.empty()) return UsageError("change-pitches needs INPUT and -o OUTPUT");
    if (options->from.has_value() != options->to.has_value()) return UsageError("--from and --to go together");
    const int modes = (options->from ? 1 : 0) + (options->rules.empty() ? 0 : 1) + (options->list ? 1 : 0);
    if (modes == 0) return UsageError("say what to change: --from/--to, --rule or --list");
    if (modes > 1) return UsageError("use only one of --from/--to, --rule and --list");
    return 0;
}

// Prints every alert as the plug-in's own message; answers whether any came.
bool ReportAlerts(DialogDriver& driver)
{
    const std::vector<CapturedAlert> alerts = driver.TakeAlerts();
    for (const CapturedAlert& alert : alerts) std::fprintf(stderr, "%s\n", alert.text.c_str());
    return !alerts.empty();
}

// Drives the open dialog; answers an exit code (success when the change ran
// without an alert).
int DriveDialog(DialogDriver& driver, const ChangeOptions& options)
{
    if (!driver.SetChecked(kSoundingPitchBox, !options.written) || !driver.SetChecked(kRespaceBox, !options.noRespace))
        return Failure("the plug-in's dialog has no sounding-pitch or respace box");

    if (options.from) {
        if (!driver.TypeText(kFromEdit, *options.from) || !driver.TypeText(kToEdit, *options.to) ||
            !driver.ChooseItem(kDirectionPopup, options.direction))
            return Failure("the plug-in's dialog did not take the From/To/direction fields");
        if (!driver.Press(kOkButton)) return Failure("the plug-in's OK button is not available");
        return ReportAlerts(driver) ? kExitFailure : kExitSuccess;
    }

    if (!options.rules.empty()) {
        // Rows remembered from an earlier run go first: only the given rules apply.
        for (int guard = driver.RowCount(kRowList); guard > 0 && driver.RowCount(kRowList) > 0; --guard) {
            if (!driver.SelectRow(kRowList, 0) || !driver.Press(kDeleteButton))
                return Failure("the plug-in's dialog did not let a remembered row be deleted");
        }
        for (const Rule& rule : options.rules) {
            if (!driver.TypeText(kFromEdit, rule.from) || !driver.TypeText(kToEdit, rule.to) ||
                !driver.ChooseItem(kDirectionPopup, rule.direction))
                return Failure("the plug-in's dialog did not take the From/To/direction fields");
            if (!driver.Press(kAddButton)) return Failure("the plug-in's Add button is not available");
            if (ReportAlerts(driver)) return kExitFailure;
        }
    } else {
        if (!driver.ChooseItem(kSavedListsPopup, *options.list))
            return Failure("there is no saved pitch list named '" + *options.list + "'");
        if (ReportAlerts(driver)) return kExitFailure;
        if (!driver.Press(kUseListButton)) return Failure("the saved pitch list '" + *options.list + "' cannot be used");
        if (ReportAlerts(driver)) return kExitFailure;
    }
    if (!driver.Press(kChangeCheckedButton)) return Failure("no row is checked: nothing to change");
    return ReportAlerts(driver) ? kExitFailure : kExitSuccess;
}

}  // namespace

int RunChangePitches(const std::vector<std::string>& args, const AppOptions& appOptions)
{
    ChangeOptions options;
    if (const int usage = Parse(args, &options); usage != 0) return usage;

    tonaroengine::Engine& engine = tonaroengine::Engine::Instance();
    if (options.settingsDir) engine.SetSettingsFolder(*options.settingsDir);

    tonaroengine::MusicXmlError error;
    tonaroengine::Document* document = tonaroengine::OpenMusicXml(options.input, &error);
    if (document == nullptr) return Failure(error.Text());
    // Closes the document on every way out.
    struct Closer {
        tonaroengine::Document* document;
        ~Closer()
        {
            tonaroengine::ReleaseMusicXmlSource(document);
            tonaroengine::Engine::Instance().CloseDocument(document->Number());
        }
    } closer{document};

    const int measureCount = document->MeasureCount();
    const int staffCount = document->StaffCount();
    if (measureCount == 0 || staffCount == 0) return Failure(options.input + ": the score has no music to change");
    const Range measures = options.measures.first != 0 ? options.measures : Range{1, measureCount};
    const Range staves = options.staves.first != 0 ? options.staves : Range{1, staffCount};
    if (measures.last > measureCount)
        return Failure("--measures " + std::to_string(measures.first) + "-" + std::to_string(measures.last) +
                       " is outside the score's " + std::to_string(measureCount) + " measure(s)");
    if (staves.last > staffCount)
        return Failure("--staves " + std::to_string(staves.first) + "-" + std::to_string(staves.last) +
                       " is outside the score's " + std::to_string(staffCount) + " staff/staves");
    const EREGION region =
        tonaroengine::Document::MakeRegion(static_cast<int16_t>(staves.first), static_cast<int16_t>(measures.first),
                                           static_cast<int16_t>(staves.last), static_cast<int16_t>(measures.last));
    if (!document->SetSelection(region)) return Failure("the region cannot be selected");

    const std::vector<ScoreNote> before = CollectNotes(document);

    PluginHost host;
    std::vector<std::string> problems;
    host.LoadFolder(appOptions.pluginFolder, &problems);
    for (const std::string& problem : problems) std::fprintf(stderr, "tonaro: %s\n", problem.c_str());
    const int plugin = host.FindMenuItem(kMenuItem);
    if (plugin < 0) return Failure(std::string("no loaded plug-in offers \"") + kMenuItem + "\" (plug-in folder " +
                                   appOptions.pluginFolder + ")");
    host.Invoke(plugin);
    QWidget* dialog = DialogDriver::FindDialog(kFromEdit);
    if (dialog == nullptr) return Failure("the plug-in showed no dialog");
    int result = kExitSuccess;
    {
        DialogDriver driver(dialog);
        result = DriveDialog(driver, options);
        driver.Press(kCloseButton);  // the dialog keeps its settings for the next run
        ReportAlerts(driver);
    }
    host.UnloadAll();
    if (result != kExitSuccess) return result;

    const std::vector<NoteChange> changes = CompareNotes(before, CollectNotes(document));
    tonaroengine::MusicXmlSaveReport report;
    if (!tonaroengine::SaveMusicXml(document, options.output, &error, {}, &report)) return Failure(error.Text());

    // Notes are named in concert pitch, as the score keeps them.
    if (!changes.empty()) std::printf("Changed notes (concert pitch):\n");
    for (const NoteChange& change : changes)
        std::printf("  measure %d, staff %d: %s -> %s\n", change.measure, change.slot, change.before.c_str(),
                    change.after.c_str());
    std::set<std::pair<int, int>> cells;
    for (const NoteChange& change : changes) cells.insert({change.measure, change.slot});
    std::printf("%zu note(s) changed in %zu measure/staff cell(s); written to %s\n", changes.size(), cells.size(),
                options.output.c_str());
    return kExitSuccess;
}

}  // namespace tonaroapp
