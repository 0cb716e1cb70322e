#include "host/app/window/recentfiles.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

#include <QSettings>
#include <QStringList>

#include "host/engine/engine.h"

namespace tonaroapp {

namespace {

constexpr char kKey[] = "RecentFiles/files";

bool IsFile(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

}  // namespace

RecentFiles::RecentFiles(std::string settingsFile) : settingsFile_(std::move(settingsFile)) {}

std::string RecentFiles::DefaultSettingsFile()
{
    const std::string folder = tonaroengine::Engine::Instance().SettingsFolder();
    if (folder.empty()) return {};
    return folder + "/tonaro.ini";
}

std::vector<std::string> RecentFiles::Read() const
{
    if (settingsFile_.empty()) return memory_;
    QSettings settings(QString::fromStdString(settingsFile_), QSettings::IniFormat);
    std::vector<std::string> files;
    for (const QString& file : settings.value(kKey).toStringList()) files.push_back(file.toStdString());
    return files;
}

void RecentFiles::Write(const std::vector<std::string>& files)
{
    if (settingsFile_.empty()) {
        memory_ = files;
        return;
    }
    QStringList list;
    for (const std::string& file : files) list.append(QString::fromStdString(file));
    QSettings settings(QString::fromStdString(settingsFile_), QSettings::IniFormat);
    settings.setValue(kKey, list);
    settings.sync();
}

std::vector<std::string> RecentFiles::Files()
{
    const std::vector<std::string> stored = Read();
    std::vector<std::string> files;
    for (const std::string& file : stored) {
        if (!IsFile(file) || std::find(files.begin(), files.end(), file) != files.end()) continue;
        if (static_cast<int>(files.size()) == kMaxRecentFiles) break;
        files.push_back(file);
    }
    if (files != stored) Write(files);
    return files;
}

void RecentFiles::Add(const std::string& path)
{
    if (path.empty()) return;
    std::error_code error;
    std::string absolute = std::filesystem::absolute(path, error).lexically_normal().string();
    if (error) absolute = path;
    std::vector<std::string> files = Read();
    files.erase(std::remove(files.begin(), files.end(), absolute), files.end());
    files.insert(files.begin(), absolute);
    if (static_cast<int>(files.size()) > kMaxRecentFiles) files.resize(kMaxRecentFiles);
    Write(files);
}

void RecentFiles::Clear()
{
    Write({});
}

}  // namespace tonaroapp
