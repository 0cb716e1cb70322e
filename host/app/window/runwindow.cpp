#include "host/app/window/runwindow.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include <QApplication>
#include <QStatusBar>

#include "host/app/pluginhost.h"
#include "host/app/window/mainwindow.h"

namespace tonaroapp {

namespace {

constexpr char kExampleFile[] = "serenade.musicxml";

}  // namespace

bool IsScoreFileArgument(const std::string& argument)
{
    std::string lower = argument;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const char* suffix : {".musicxml", ".xml", ".mxl"}) {
        const std::string ending = suffix;
        if (lower.size() > ending.size() && lower.ends_with(ending)) return true;
    }
    return false;
}

std::string FindExampleScore()
{
    std::vector<std::filesystem::path> candidates;
    const std::string self = PluginHost::DefaultPluginFolder();  // the executable's folder
    if (!self.empty()) {
        candidates.push_back(std::filesystem::path(self) / ".." / "share" / "tonaro" / "examples" / kExampleFile);
        candidates.push_back(std::filesystem::path(self) / "examples" / kExampleFile);
    }
#ifdef TONARO_SOURCE_EXAMPLES_DIR
    candidates.push_back(std::filesystem::path(TONARO_SOURCE_EXAMPLES_DIR) / kExampleFile);
#endif
    for (const std::filesystem::path& candidate : candidates) {
        std::error_code error;
        if (std::filesystem::is_regular_file(candidate, error))
            return std::filesystem::weakly_canonical(candidate, error).string();
    }
    return {};
}

int RunWindow(const std::string& file, const AppOptions& options)
{
    PluginHost plugins;
    std::vector<std::string> problems;
    if (!options.pluginFolder.empty()) plugins.LoadFolder(options.pluginFolder, &problems);
    for (const std::string& problem : problems) std::fprintf(stderr, "tonaro: %s\n", problem.c_str());

    int result = kExitSuccess;
    {
        MainWindow window(&plugins, RecentFiles::DefaultSettingsFile());
        const std::string start = file.empty() ? FindExampleScore() : file;
        if (!start.empty()) {
            std::string error;
            if (!window.OpenFile(QString::fromStdString(start), &error)) {
                if (!file.empty()) return Failure(error);
                window.statusBar()->showMessage("The example score cannot be opened: " + QString::fromStdString(error));
            }
        } else {
            window.statusBar()->showMessage("Open a score with File \u25B8 Open, or start one with File \u25B8 New.");
        }
        QObject::connect(&window, &MainWindow::Closed, qApp, &QApplication::quit, Qt::QueuedConnection);
        window.show();
        result = QApplication::exec() == 0 ? kExitSuccess : kExitFailure;
    }
    // The window and its document go before the plug-ins are terminated.
    plugins.UnloadAll();
    return result;
}

}  // namespace tonaroapp
