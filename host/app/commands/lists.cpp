// lists: the saved pitch lists with their rules, read through the Change
// Pitches dialog (each list chosen and used, as a user would look at it).
// Nothing is stored: the dialog works on a copy of the settings.
#include <cstdio>

#include "host/app/commands/changesession.h"
#include "host/app/commands/commands.h"
#include "host/app/commands/settingscopy.h"

namespace tonaroapp {

namespace {

// A row as --rule takes it: FROM:TO:direction.
std::string RuleText(const SavedPitchList::Row& row)
{
    std::string direction;
    for (char c : row.direction) direction += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return row.from + ":" + row.to + ":" + direction;
}

}  // namespace

int RunLists(const std::vector<std::string>& args, const AppOptions& options)
{
    std::string folder;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--settings-dir") {
            if (i + 1 >= args.size() || args[i + 1].empty()) return UsageError("--settings-dir needs a folder");
            folder = args[++i];
        } else {
            return UsageError("lists: unknown argument " + args[i]);
        }
    }
    std::string why;
    if (!folder.empty() && !SettingsCopy::IsUsableFolder(folder, &why))
        return UsageError("--settings-dir " + folder + ": " + why);

    SettingsCopy settings;  // never committed
    if (!settings.Take(folder, &why)) return Failure(why);
    ChangeSession session;
    if (!session.Open(options.pluginFolder, true, &why)) return Failure(why);
    const std::vector<SavedPitchList> lists = session.ReadLists();
    session.Close();

    if (lists.empty()) std::printf("No saved pitch lists.\n");
    for (const SavedPitchList& list : lists) {
        std::printf("%s\n", list.name.c_str());
        for (const SavedPitchList::Row& row : list.rows)
            std::printf("  %s%s\n", RuleText(row).c_str(), row.checked ? "" : "  (not checked)");
    }
    return kExitSuccess;
}

}  // namespace tonaroapp
