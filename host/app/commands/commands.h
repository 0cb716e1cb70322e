// The command-line jobs of the host application. Each takes the arguments
// after its own name, writes results to standard output and messages to
// standard error, and answers the process exit code.
#pragma once

#include <string>
#include <vector>

namespace tonaroapp {

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// Settings shared by every job.
struct AppOptions {
    std::string pluginFolder;  // where plug-ins are loaded from
};

// The usage text (for --help and usage errors).
std::string UsageText();

// Prints "tonaro: message" and the hint to --help on standard error;
// answers kExitUsage.
int UsageError(const std::string& message);
// Prints "tonaro: message" on standard error; answers kExitFailure.
int Failure(const std::string& message);

int RunConvert(const std::vector<std::string>& args, const AppOptions& options);
int RunInfo(const std::vector<std::string>& args, const AppOptions& options);
int RunPlugins(const std::vector<std::string>& args, const AppOptions& options);
int RunChangePitches(const std::vector<std::string>& args, const AppOptions& options);
int RunLists(const std::vector<std::string>& args, const AppOptions& options);
// The worker process of a change-pitches run of several files (not for
// users; see workerpool.h).
int RunChangePitchesWorker(const std::vector<std::string>& args, const AppOptions& options);
int RunRender(const std::vector<std::string>& args, const AppOptions& options);
int RunValidate(const std::vector<std::string>& args, const AppOptions& options);

}  // namespace tonaroapp
