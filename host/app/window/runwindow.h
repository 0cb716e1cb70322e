// The score window as the application's main loop: what tonaro does without
// a command, or with a score file as its only argument.
#pragma once

#include <string>

#include "host/app/commands/commands.h"

namespace tonaroapp {

// Whether a command-line argument names a score file for the window (it
// ends in ".musicxml", ".xml" or ".mxl", in any letter case).
bool IsScoreFileArgument(const std::string& argument);

// The bundled example score: beside the executable's installed data
// ("../share/tonaro/examples"), in an "examples" folder beside the
// executable, or in the source tree it was built from. "" when none exists.
std::string FindExampleScore();

// Opens the window on file (the example score when file is empty), loads the
// plug-ins of options.pluginFolder into its Plug-ins menu, and runs until
// the window closes. A QApplication must exist. Answers the exit code:
// kExitFailure (with a message on standard error) when file cannot be
// opened, else kExitSuccess when the window closes.
int RunWindow(const std::string& file, const AppOptions& options);

}  // namespace tonaroapp
