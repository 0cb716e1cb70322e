// validate: hammers a plug-in module with named checks, each in its own
// process, in an order drawn from a seed, and prints a summary table.
//
// The same command, with the hidden option --run-check NAME, is the child
// that runs one check (see validator/childprocess.h).
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <system_error>

#include <QTemporaryDir>

#include "host/app/commands/commands.h"
#include "host/app/validator/checks.h"
#include "host/app/validator/childprocess.h"

namespace tonaroapp {

namespace {

using namespace validator;

constexpr double kDefaultTimeoutSeconds = 20;
constexpr int kDefaultCycles = 5;
constexpr int kMaxCycles = 1000;

struct ValidateOptions {
    std::string plugin;
    bool seedGiven = false;
    uint32_t seed = 0;
    double timeoutSeconds = kDefaultTimeoutSeconds;
    int cycles = kDefaultCycles;
    std::vector<std::string> checks;
    bool list = false;
    std::string runCheck;  // the child's check
};

bool ParseUnsigned(const std::string& text, unsigned long maximum, unsigned long* out)
{
    if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    const unsigned long value = std::strtoul(text.c_str(), nullptr, 10);
    if (value > maximum) return false;
    *out = value;
    return true;
}

// Answers 0 when parsed, else the exit code of the usage error printed.
int Parse(const std::vector<std::string>& args, ValidateOptions* options)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::string* out) {
            if (i + 1 >= args.size()) return false;
            *out = args[++i];
            return true;
        };
        std::string v;
        unsigned long number = 0;
        if (arg == "--seed") {
            if (!value(&v) || !ParseUnsigned(v, 0xFFFFFFFFul, &number))
                return UsageError("--seed needs a number from 0 to 4294967295");
            options->seed = static_cast<uint32_t>(number);
            options->seedGiven = true;
        } else if (arg == "--timeout") {
            char* end = nullptr;
            if (!value(&v)) return UsageError("--timeout needs a number of seconds");
            const double seconds = std::strtod(v.c_str(), &end);
            if (end == v.c_str() || *end != '\0' || !(seconds > 0) || seconds > 3600)
                return UsageError("--timeout needs a number of seconds above 0 and at most 3600");
            options->timeoutSeconds = seconds;
        } else if (arg == "--cycles") {
            if (!value(&v) || !ParseUnsigned(v, kMaxCycles, &number) || number == 0)
                return UsageError("--cycles needs a number from 1 to " + std::to_string(kMaxCycles));
            options->cycles = static_cast<int>(number);
        } else if (arg == "--check") {
            if (!value(&v)) return UsageError("--check needs a check name (see --list)");
            if (FindCheck(v) == nullptr) return UsageError("validate: no check named '" + v + "' (see --list)");
            options->checks.push_back(v);
        } else if (arg == "--run-check") {
            if (!value(&v) || FindCheck(v) == nullptr) return UsageError("--run-check needs a check name");
            options->runCheck = v;
        } else if (arg == "--list") {
            options->list = true;
        } else if (arg.starts_with("-")) {
            return UsageError("validate: unknown option " + arg);
        } else if (options->plugin.empty()) {
            options->plugin = arg;
        } else {
            return UsageError("validate takes one plug-in module");
        }
    }
    if (!options->list && options->plugin.empty()) return UsageError("validate needs a plug-in module (PLUGIN.so)");
    return 0;
}

int ListChecks()
{
    for (const CheckInfo& check : AllChecks()) std::printf("%-24s %s\n", check.name, check.description);
    return kExitSuccess;
}

std::string Seconds(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f s", seconds);
    return text;
}

}  // namespace

int RunValidate(const std::vector<std::string>& args, const AppOptions& /*options*/)
{
    ValidateOptions options;
    if (const int usage = Parse(args, &options); usage != 0) return usage;
    if (!options.runCheck.empty()) {
        CheckContext context{options.plugin, options.seed, options.cycles};
        return validator::RunCheckHere(*FindCheck(options.runCheck), context);
    }
    if (options.list) return ListChecks();

    // A bare file name means the file here, not a search of the library path.
    std::error_code error;
    const std::filesystem::path plugin = std::filesystem::absolute(options.plugin, error);
    if (error || !std::filesystem::is_regular_file(plugin, error))
        return Failure("validate: " + options.plugin + " is not a file");
    if (!options.seedGiven) options.seed = std::random_device()();

    std::vector<const CheckInfo*> checks;
    for (const CheckInfo& check : AllChecks()) {
        bool chosen = options.checks.empty();
        for (const std::string& name : options.checks) chosen = chosen || name == check.name;
        if (chosen) checks.push_back(&check);
    }
    checks = ShuffleChecks(checks, options.seed);

    QTemporaryDir work;
    if (!work.isValid()) return Failure("validate: cannot make a temporary folder for the checks");

    std::printf("seed: %u\n", options.seed);
    std::printf("plug-in: %s\n", plugin.string().c_str());
    std::printf("order: ");
    for (size_t i = 0; i < checks.size(); ++i) std::printf("%s%s", i == 0 ? "" : " ", checks[i]->name);
    std::printf("\n\n");
    std::fflush(stdout);

    std::vector<CheckOutcome> outcomes;
    size_t nameWidth = 5;
    for (const CheckInfo* check : checks) nameWidth = std::max(nameWidth, std::string(check->name).size());
    for (size_t i = 0; i < checks.size(); ++i) {
        ChildRequest request;
        request.check = checks[i]->name;
        request.context = CheckContext{plugin.string(), options.seed, options.cycles};
        request.timeoutSeconds = options.timeoutSeconds;
        request.workFolder = work.filePath(QString::number(i + 1) + "-" + checks[i]->name).toStdString();
        const CheckOutcome outcome = RunCheckInChild(request);
        std::printf("[%zu/%zu] %s: %s (%s)\n", i + 1, checks.size(), checks[i]->name, ResultText(outcome).c_str(),
                    Seconds(outcome.seconds).c_str());
        std::fflush(stdout);
        outcomes.push_back(outcome);
    }

    size_t resultWidth = 6;
    for (const CheckOutcome& outcome : outcomes) resultWidth = std::max(resultWidth, ResultText(outcome).size());
    const int nw = static_cast<int>(nameWidth), rw = static_cast<int>(resultWidth);
    std::printf("\n%-*s  %-*s  %8s  %s\n", nw, "CHECK", rw, "RESULT", "TIME", "DETAIL");
    int passed = 0;
    for (size_t i = 0; i < checks.size(); ++i) {
        const CheckOutcome& outcome = outcomes[i];
        if (outcome.result == CheckResult::Pass) ++passed;
        std::printf("%-*s  %-*s  %8s  %s\n", nw, checks[i]->name, rw, ResultText(outcome).c_str(),
                    Seconds(outcome.seconds).c_str(), outcome.detail.c_str());
    }
    const int failed = static_cast<int>(checks.size()) - passed;
    std::printf("\n%zu %s: %d passed, %d failed (seed %u)\n", checks.size(), checks.size() == 1 ? "check" : "checks",
                passed, failed, options.seed);
    return failed == 0 ? kExitSuccess : kExitFailure;
}

}  // namespace tonaroapp
