#include <cstdio>

#include "host/app/commands/commands.h"
#include "host/app/pluginhost.h"

namespace tonaroapp {

int RunPlugins(const std::vector<std::string>& args, const AppOptions& options)
{
    if (!args.empty()) return UsageError("plugins takes no arguments");
    PluginHost host;
    std::vector<std::string> problems;
    host.LoadFolder(options.pluginFolder, &problems);
    for (const std::string& problem : problems) std::fprintf(stderr, "tonaro: %s\n", problem.c_str());
    std::printf("Plug-in folder: %s\n", options.pluginFolder.c_str());
    if (host.PluginCount() == 0) std::printf("No plug-ins loaded.\n");
    for (int p = 0; p < host.PluginCount(); ++p) {
        std::printf("%s\n", host.PluginFileName(p).c_str());
        for (const PluginMenuItem& item : host.MenuItems(p))
            std::printf("  %s  (%s) - %s\n", item.menuText.c_str(), item.shortName.c_str(), item.description.c_str());
    }
    host.UnloadAll();
    return problems.empty() ? kExitSuccess : kExitFailure;
}

}  // namespace tonaroapp
