// tonaro: the host application. With a command it runs that job without a
// window (Qt's offscreen platform stands in for a screen); without one, or
// with a score file alone, it opens the score window on the real screen.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <QApplication>

#include "host/app/commands/commands.h"
#include "host/app/pluginhost.h"
#include "host/app/window/runwindow.h"

using namespace tonaroapp;

namespace {

// The window-less jobs.
int RunCommand(const std::string& command, const std::vector<std::string>& args, const AppOptions& options)
{
    if (command == "change-pitches") return RunChangePitches(args, options);
    if (command == "convert") return RunConvert(args, options);
    if (command == "change-pitches-worker") return RunChangePitchesWorker(args, options);
    if (command == "info") return RunInfo(args, options);
    if (command == "lists") return RunLists(args, options);
    if (command == "plugins") return RunPlugins(args, options);
    if (command == "render") return RunRender(args, options);
    if (command == "validate") return RunValidate(args, options);
    return UsageError("unknown command '" + command + "'");
}

// Qt's notes about the offscreen platform (no raise(), no runtime folder)
// are noise for a command line; only its critical messages are shown.
void QuietQtMessages(QtMsgType type, const QMessageLogContext& /*context*/, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

}  // namespace

int main(int argc, char** argv)
{
    AppOptions options;
    options.pluginFolder = PluginHost::DefaultPluginFolder();
    std::string command;
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (command.empty()) {
            if (arg == "--help" || arg == "-h") {
                std::fputs(UsageText().c_str(), stdout);
                return kExitSuccess;
            }
            if (arg == "--version") {
                std::printf("tonaro %s\n", TONARO_APP_VERSION);
                return kExitSuccess;
            }
            if (arg == "--plugins") {
                if (i + 1 >= argc) return UsageError("--plugins needs a folder");
                options.pluginFolder = argv[++i];
                continue;
            }
            if (arg.starts_with("-")) return UsageError("unknown option " + arg);
            command = arg;
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(UsageText().c_str(), stdout);
            return kExitSuccess;
        } else {
            args.push_back(arg);
        }
    }
    if (command.empty() || IsScoreFileArgument(command)) {
        if (!args.empty()) return UsageError("the score window takes one score file");
        // Without a screen Qt would abort with its own message; say plainly
        // what is missing instead.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
            qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            return Failure("no screen to open the score window on (DISPLAY is not set); "
                           "the commands need none, see --help");
        // The window uses whatever screen the session has.
        QApplication application(argc, argv);
        QApplication::setApplicationName("Tonaro");
        return RunWindow(command, options);
    }
    // The window-less jobs never need a screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietQtMessages);
    QApplication application(argc, argv);
    return RunCommand(command, args, options);
}
