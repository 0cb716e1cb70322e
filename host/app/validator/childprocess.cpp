#include "host/app/validator/childprocess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <thread>
#include <vector>

extern char** environ;

namespace tonaroapp::validator {

namespace {

constexpr char kStepPrefix[] = "tonaro-validate-step: ";
constexpr char kVerdictPrefix[] = "tonaro-validate-verdict: ";

std::string ReadWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The rest of the last line that starts with prefix; "" when none does.
std::string LastLineAfter(const std::string& text, const std::string& prefix, bool* found = nullptr)
{
    std::string last;
    bool any = false;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        if (text.compare(start, prefix.size(), prefix) == 0) {
            last = text.substr(start + prefix.size(), end - start - prefix.size());
            any = true;
        }
        start = end + 1;
    }
    if (found != nullptr) *found = any;
    return last;
}

// The first line of text containing needle, from the needle on; "" when none.
std::string LineFrom(const std::string& text, const std::string& needle)
{
    const size_t at = text.find(needle);
    if (at == std::string::npos) return {};
    const size_t end = text.find('\n', at);
    return text.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

std::string SignalName(int signal)
{
    const char* abbreviation = sigabbrev_np(signal);
    return abbreviation != nullptr ? std::string("SIG") + abbreviation : "signal " + std::to_string(signal);
}

// A sanitizer report in the child's standard error, as the crash kind it
// stands for ("SIGSEGV" for the address checker's SEGV, else its error kind);
// "" when there is none. Leak reports are not crashes.
std::string SanitizerCrash(const std::string& errors, std::string* line)
{
    const std::string address = LineFrom(errors, "ERROR: AddressSanitizer: ");
    if (!address.empty()) {
        *line = address;
        std::string kind = address.substr(std::strlen("ERROR: AddressSanitizer: "));
        kind = kind.substr(0, kind.find(' '));
        for (const char* name : {"SEGV", "BUS", "FPE", "ILL", "ABRT"})
            if (kind == name) return std::string("SIG") + name;
        return kind;
    }
    const std::string undefined = LineFrom(errors, "runtime error: ");
    if (!undefined.empty()) {
        *line = undefined;
        return "undefined behaviour";
    }
    return {};
}

std::string OneLine(std::string text)
{
    for (char& c : text)
        if (c == '\n' || c == '\r' || c == '\t') c = ' ';
    if (text.size() > 300) text = text.substr(0, 297) + "...";
    return text;
}

// The environment of a child: this one, with private settings folders and
// the offscreen platform.
std::vector<std::string> ChildEnvironment(const std::string& workFolder)
{
    const std::vector<std::pair<std::string, std::string>> overrides = {
        {"XDG_CONFIG_HOME", workFolder + "/config"},
        {"HOME", workFolder + "/home"},
        {"QT_QPA_PLATFORM", "offscreen"},
    };
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        bool replaced = false;
        for (const auto& [name, value] : overrides) replaced = replaced || text.starts_with(name + "=");
        if (!replaced) environment.push_back(text);
    }
    for (const auto& [name, value] : overrides) environment.push_back(name + "=" + value);
    return environment;
}

}  // namespace

std::string ResultText(const CheckOutcome& outcome)
{
    switch (outcome.result) {
    case CheckResult::Pass:
        return "PASS";
    case CheckResult::Fail:
        return "FAIL";
    case CheckResult::Crash:
        return "CRASH (" + outcome.crashKind + ")";
    case CheckResult::Timeout:
        return "TIMEOUT";
    }
    return "FAIL";
}

CheckOutcome RunCheckInChild(const ChildRequest& request)
{
    CheckOutcome outcome;
    std::error_code error;
    std::filesystem::create_directories(request.workFolder + "/config", error);
    std::filesystem::create_directories(request.workFolder + "/home", error);
    const std::string outPath = request.workFolder + "/stdout.txt";
    const std::string errPath = request.workFolder + "/stderr.txt";

    const std::string self = std::filesystem::read_symlink("/proc/self/exe", error).string();
    if (error) {
        outcome.detail = "cannot tell the path of this program to start a check";
        return outcome;
    }
    const std::vector<std::string> arguments = {self,
                                                "validate",
                                                "--run-check",
                                                request.check,
                                                "--seed",
                                                std::to_string(request.context.seed),
                                                "--cycles",
                                                std::to_string(request.context.cycles),
                                                request.context.pluginPath};
    const std::vector<std::string> environment = ChildEnvironment(request.workFolder);
    std::vector<char*> argv, envp;
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    for (const std::string& v : environment) envp.push_back(const_cast<char*>(v.c_str()));
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // Its own process group, so that a timeout kills whatever it started.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);

    const auto started = std::chrono::steady_clock::now();
    pid_t child = 0;
    const int spawned = posix_spawn(&child, self.c_str(), &actions, &attributes, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0) {
        outcome.detail = std::string("cannot start the check's process: ") + std::strerror(spawned);
        return outcome;
    }

    int status = 0;
    bool timedOut = false;
    const auto limit = std::chrono::duration<double>(request.timeoutSeconds);
    for (;;) {
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child) break;
        if (done < 0 && errno != EINTR) {
            outcome.detail = std::string("lost the check's process: ") + std::strerror(errno);
            return outcome;
        }
        if (std::chrono::steady_clock::now() - started > limit) {
            kill(-child, SIGKILL);
            kill(child, SIGKILL);
            while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
            timedOut = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    const std::string out = ReadWhole(outPath);
    const std::string errors = ReadWhole(errPath);
    const std::string lastStep = LastLineAfter(out, kStepPrefix);
    const std::string where = lastStep.empty() ? "before the first step" : "at " + lastStep;
    bool hasVerdict = false;
    const std::string verdict = LastLineAfter(out, kVerdictPrefix, &hasVerdict);

    std::string sanitizerLine;
    const std::string sanitizerCrash = SanitizerCrash(errors, &sanitizerLine);
    if (timedOut) {
        outcome.result = CheckResult::Timeout;
        char limitText[32];
        std::snprintf(limitText, sizeof limitText, "%g", request.timeoutSeconds);
        outcome.detail = std::string("no answer within ") + limitText + " s, " + where;
    } else if (WIFSIGNALED(status)) {
        outcome.result = CheckResult::Crash;
        outcome.crashKind = SignalName(WTERMSIG(status));
        outcome.detail = "died " + where;
    } else if (!sanitizerCrash.empty()) {
        outcome.result = CheckResult::Crash;
        outcome.crashKind = sanitizerCrash;
        outcome.detail = "died " + where + ": " + sanitizerLine;
    } else if (const std::string leak = LineFrom(errors, "ERROR: LeakSanitizer: "); !leak.empty()) {
        outcome.result = CheckResult::Fail;
        outcome.detail = leak;
    } else if (!hasVerdict) {
        outcome.result = CheckResult::Fail;
        outcome.detail = "the check ended with exit code " + std::to_string(WEXITSTATUS(status)) + " and no verdict, " + where;
    } else if (verdict.starts_with("PASS")) {
        const int code = WEXITSTATUS(status);
        outcome.result = code == 0 ? CheckResult::Pass : CheckResult::Fail;
        outcome.detail = code == 0 ? (verdict.size() > 5 ? verdict.substr(5) : "")
                                   : "exit code " + std::to_string(code) + " after the check passed";
    } else {
        outcome.result = CheckResult::Fail;
        outcome.detail = verdict.size() > 5 ? verdict.substr(5) : "failed";
    }
    outcome.detail = OneLine(outcome.detail);
    return outcome;
}

int RunCheckHere(const CheckInfo& check, const CheckContext& context)
{
    // A validator that is killed itself must not leave a hanging check
    // behind: the check dies with it.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    const CheckVerdict verdict = check.run(context);
    std::printf("%s%s %s\n", kVerdictPrefix, verdict.passed ? "PASS" : "FAIL", OneLine(verdict.detail).c_str());
    std::fflush(stdout);
    return verdict.passed ? 0 : 1;
}

}  // namespace tonaroapp::validator
