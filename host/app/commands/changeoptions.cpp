#include "host/app/commands/changeoptions.h"

#include <filesystem>
#include <set>

#include "host/app/commands/accidentals.h"
#include "host/app/commands/commands.h"
#include "host/app/window/runwindow.h"

namespace tonaroapp {

namespace {

constexpr int kMaxJobs = 1024;

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
bool ParseRange(const std::string& text, ChangeRange* out)
{
    const size_t dash = text.find('-');
    ChangeRange range;
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
bool ParseRule(const std::string& text, ChangeRule* out)
{
    const size_t first = text.find(':');
    if (first == std::string::npos) return false;
    const size_t second = text.find(':', first + 1);
    ChangeRule rule;
    rule.given = text;
    rule.from = AsciiAccidentals(text.substr(0, first));
    rule.to = AsciiAccidentals(
        text.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1));
    if (second != std::string::npos) {
        auto direction = DirectionItem(text.substr(second + 1));
        if (!direction) return false;
        rule.direction = *direction;
    }
    *out = rule;
    return true;
}

std::string DirectionArgument(const std::string& item)
{
    if (item == "Up") return "up";
    if (item == "Down") return "down";
    return "closest";
}

std::string RangeArgument(const ChangeRange& range)
{
    return std::to_string(range.first) + "-" + std::to_string(range.last);
}

// Usage errors of the files named: where each score is written.
int CheckFiles(const ChangeOptions& options)
{
    const int destinations = (options.output.empty() ? 0 : 1) + (options.outDir.empty() ? 0 : 1) +
                             (options.inPlace ? 1 : 0);
    if (options.inputs.empty()) {
        if (options.saveList && destinations == 0 && !options.dryRun) return 0;  // only a list to save
        return UsageError("change-pitches needs INPUT and -o OUTPUT, --out-dir DIR or --in-place");
    }
    if (destinations > 1) return UsageError("use only one of -o, --out-dir and --in-place");
    if (destinations == 0 && !options.dryRun)
        return UsageError("change-pitches needs -o OUTPUT, --out-dir DIR or --in-place (or --dry-run)");
    size_t fromStandardInput = 0;
    for (const std::string& input : options.inputs) fromStandardInput += input == "-" ? 1 : 0;
    if (fromStandardInput > 1) return UsageError("standard input (-) can be read only once");
    if (fromStandardInput > 0 && (options.inPlace || !options.outDir.empty()))
        return UsageError("a score from standard input (-) has no name of its own: write it with -o");
    if (!options.output.empty()) {
        if (options.inputs.size() > 1) return UsageError("-o takes one input; use --out-dir DIR or --in-place");
        if (options.output != "-" && !IsScoreFileArgument(options.output))
            return UsageError("-o " + options.output + ": the output must end in .musicxml, .xml or .mxl");
    }
    if (options.inPlace || !options.outDir.empty()) {
        std::set<std::string> names;
        std::set<std::filesystem::path> files;
        for (const std::string& input : options.inputs) {
            std::error_code error;
            std::filesystem::path file = std::filesystem::weakly_canonical(input, error);
            if (error) file = input;
            if (options.inPlace && !files.insert(file).second)
                return UsageError(input + " is named twice: it can be replaced only once");
            const std::string name = std::filesystem::path(input).filename().string();
            if (!IsScoreFileArgument(name))
                return UsageError(input + ": an output must end in .musicxml, .xml or .mxl");
            if (!options.outDir.empty() && !names.insert(name).second)
                return UsageError("two inputs are named " + name + ": both would be written to " +
                                  (std::filesystem::path(options.outDir) / name).string());
        }
    }
    return 0;
}

}  // namespace

int ParseChangeOptions(const std::vector<std::string>& args, bool forWorker, ChangeOptions* options)
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
            if (!value(&options->output) || options->output.empty()) return UsageError(arg + " needs a file name");
        } else if (arg == "--out-dir") {
            if (!value(&options->outDir) || options->outDir.empty()) return UsageError("--out-dir needs a folder");
        } else if (arg == "--in-place") {
            options->inPlace = true;
        } else if (arg == "--dry-run") {
            options->dryRun = true;
        } else if (arg == "--report") {
            if (!value(&v) || (v != "text" && v != "json")) return UsageError("--report needs text or json");
            options->report = v == "json" ? ReportFormat::kJson : ReportFormat::kText;
        } else if (arg == "--jobs" || arg == "-j") {
            if (!value(&v) || !ParseNumber(v, &options->jobs) || options->jobs < 1 || options->jobs > kMaxJobs)
                return UsageError(arg + " needs a number of jobs from 1 to " + std::to_string(kMaxJobs));
        } else if (arg == "--from") {
            if (!value(&v)) return UsageError("--from needs a pitch name");
            options->givenFrom = v;
            options->from = AsciiAccidentals(v);
        } else if (arg == "--to") {
            if (!value(&v)) return UsageError("--to needs a pitch name");
            options->givenTo = v;
            options->to = AsciiAccidentals(v);
        } else if (arg == "--direction") {
            if (!value(&v)) return UsageError("--direction needs up, down or closest");
            auto direction = DirectionItem(v);
            if (!direction) return UsageError("--direction must be up, down or closest, not '" + v + "'");
            options->direction = *direction;
        } else if (arg == "--rule") {
            ChangeRule rule;
            if (!value(&v) || !ParseRule(v, &rule)) return UsageError("--rule needs FROM:TO or FROM:TO:up|down|closest");
            options->rules.push_back(rule);
        } else if (arg == "--list") {
            if (!value(&v)) return UsageError("--list needs a list name");
            options->list = v;
        } else if (arg == "--save-list") {
            if (!value(&v)) return UsageError("--save-list needs a list name");
            options->saveList = v;
        } else if (arg == "--measures") {
            if (!value(&v) || !ParseRange(v, &options->measures)) return UsageError("--measures needs M or M-N (from 1)");
        } else if (arg == "--staves") {
            if (!value(&v) || !ParseRange(v, &options->staves)) return UsageError("--staves needs S or S-T (from 1)");
        } else if (arg == "--written") {
            options->written = true;
        } else if (arg == "--no-respace") {
            options->noRespace = true;
        } else if (arg == "--settings-dir") {
            if (!value(&v) || v.empty()) return UsageError("--settings-dir needs a folder");
            options->settingsDir = v;
        } else if (arg.starts_with("-") && arg != "-") {
            return UsageError("change-pitches: unknown option " + arg);
        } else {
            options->inputs.push_back(arg);
        }
    }
    if (options->from.has_value() != options->to.has_value()) return UsageError("--from and --to go together");
    const int modes = (options->from ? 1 : 0) + (options->rules.empty() ? 0 : 1) + (options->list ? 1 : 0);
    if (modes == 0) return UsageError("say what to change: --from/--to, --rule or --list");
    if (modes > 1) return UsageError("use only one of --from/--to, --rule and --list");
    if (options->saveList && options->from)
        return UsageError("--save-list stores rows: give them with --rule (or copy a list with --list)");
    if (forWorker) return options->inputs.empty() ? 0 : UsageError("a worker takes its files as tasks");
    return CheckFiles(*options);
}

std::vector<std::string> WorkerArguments(const ChangeOptions& options)
{
    std::vector<std::string> args;
    if (options.from) {
        args.insert(args.end(), {"--from", *options.from, "--to", *options.to, "--direction",
                                 DirectionArgument(options.direction)});
    }
    for (const ChangeRule& rule : options.rules)
        args.insert(args.end(), {"--rule", rule.from + ":" + rule.to + ":" + DirectionArgument(rule.direction)});
    if (options.list) args.insert(args.end(), {"--list", *options.list});
    if (options.measures.first != 0) args.insert(args.end(), {"--measures", RangeArgument(options.measures)});
    if (options.staves.first != 0) args.insert(args.end(), {"--staves", RangeArgument(options.staves)});
    if (options.written) args.push_back("--written");
    if (options.noRespace) args.push_back("--no-respace");
    if (options.dryRun) args.push_back("--dry-run");
    if (options.report == ReportFormat::kJson) args.insert(args.end(), {"--report", "json"});  // part names
    return args;
}

}  // namespace tonaroapp
