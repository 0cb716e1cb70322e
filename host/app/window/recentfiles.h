// The list of recently opened and saved score files, most recent first,
// kept in an INI file in the host's settings folder.
//
// Files that no longer exist are dropped whenever the list is read. The
// list holds absolute paths, each once, at most kMaxRecentFiles of them.
// Writing goes through QSettings, which replaces the file as a whole.
#pragma once

#include <string>
#include <vector>

namespace tonaroapp {

constexpr int kMaxRecentFiles = 10;

class RecentFiles {
public:
    // settingsFile: the INI file to keep the list in; "" keeps it in memory
    // only (nothing is written).
    explicit RecentFiles(std::string settingsFile);

    // "tonaro.ini" in the engine's settings folder (Engine::SettingsFolder);
    // "" when the engine has none.
    static std::string DefaultSettingsFile();

    // The files, most recent first, without those that are gone (which are
    // also removed from the settings file).
    std::vector<std::string> Files();

    // Puts path (made absolute) at the front; an empty path is ignored.
    void Add(const std::string& path);
    void Clear();

private:
    std::vector<std::string> Read() const;
    void Write(const std::vector<std::string>& files);

    std::string settingsFile_;
    std::vector<std::string> memory_;  // the list when there is no file
};

}  // namespace tonaroapp
