#include "host/app/commands/settingscopy.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include <QTemporaryDir>

#include "host/engine/engine.h"
#include "tonaropdk/platform/atomicreplace.h"

namespace tonaroapp {

namespace fs = std::filesystem;

namespace {

// Settings files are small; anything larger is not read (and so never
// written back).
constexpr std::uintmax_t kMaxSettingsFileBytes = 16u << 20;

bool ReadWhole(const fs::path& path, std::string* out)
{
    std::error_code error;
    const std::uintmax_t size = fs::file_size(path, error);
    if (error || size > kMaxSettingsFileBytes) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool WriteWhole(const fs::path& path, const std::string& bytes, std::string* why)
{
    TonaroAtomicReplacement replacement;
    int error = 0;
    if (replacement.Begin(path.string(), "wb", &error)) {
        if (bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), replacement.Stream()) == bytes.size())
            if (replacement.Commit(&error)) return true;
        if (error == 0) error = replacement.WriteError();
        replacement.Abandon();
    }
    *why = path.string() + ": " + std::strerror(error != 0 ? error : EIO);
    return false;
}

}  // namespace

SettingsCopy::SettingsCopy() = default;
SettingsCopy::~SettingsCopy() = default;

bool SettingsCopy::IsUsableFolder(const std::string& folder, std::string* why)
{
    std::error_code error;
    fs::path path = fs::absolute(folder, error);
    if (error) {
        *why = error.message();
        return false;
    }
    if (fs::exists(path, error)) {
        if (fs::is_directory(path, error)) return true;
        *why = "not a folder";
        return false;
    }
    // The nearest part of the path that exists must be a folder we can
    // make folders in.
    for (fs::path parent = path.parent_path(); !parent.empty(); parent = parent.parent_path()) {
        if (fs::exists(parent, error)) {
            if (fs::is_directory(parent, error) && access(parent.c_str(), W_OK | X_OK) == 0) return true;
            *why = "not a folder, and cannot be made one: " + parent.string() +
                   (fs::is_directory(parent, error) ? " cannot be written" : " is not a folder");
            return false;
        }
        if (parent == parent.root_path()) break;
    }
    *why = "not a folder, and cannot be made one";
    return false;
}

bool SettingsCopy::Take(const std::string& folder, std::string* why)
{
    tonaroengine::Engine& engine = tonaroengine::Engine::Instance();
    if (!folder.empty()) engine.SetSettingsFolder(folder);
    userFolder_ = engine.SettingsFolder();
    temp_ = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/tonaro-run-XXXXXX");
    if (!temp_->isValid()) {
        *why = "cannot make a temporary folder: " + temp_->errorString().toStdString();
        return false;
    }
    taken_.clear();
    std::error_code error;
    if (fs::is_directory(userFolder_, error)) {
        for (const fs::directory_entry& entry : fs::directory_iterator(userFolder_, error)) {
            std::error_code kind;
            if (!entry.is_regular_file(kind)) continue;
            File file{entry.path().filename().string(), {}, true};
            file.readable = ReadWhole(entry.path(), &file.bytes);
            if (!file.readable) file.bytes.clear();
            taken_.push_back(std::move(file));
        }
    }
    const std::string working = WorkingFolder();
    if (MakeWorkerCopy("settings", why) != working) return false;
    engine.SetSettingsFolder(working);
    return true;
}

std::string SettingsCopy::WorkingFolder() const
{
    return temp_ ? temp_->filePath("settings").toStdString() : std::string();
}

std::string SettingsCopy::ScratchPath(const std::string& name) const
{
    return temp_ ? temp_->filePath(QString::fromStdString(name)).toStdString() : std::string();
}

std::string SettingsCopy::MakeWorkerCopy(const std::string& name, std::string* why)
{
    if (!temp_) {
        *why = "no settings were taken";
        return {};
    }
    const fs::path folder = ScratchPath(name);
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) {
        *why = folder.string() + ": " + error.message();
        return {};
    }
    for (const File& file : taken_) {
        if (!file.readable) continue;
        std::ofstream out(folder / file.name, std::ios::binary);
        out << file.bytes;
        out.close();
        if (!out) {
            *why = (folder / file.name).string() + ": cannot be written";
            return {};
        }
    }
    return folder.string();
}

std::map<std::string, std::string> SettingsCopy::WorkingFiles() const
{
    std::map<std::string, std::string> files;
    if (!temp_) return files;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(WorkingFolder(), error)) {
        std::error_code kind;
        std::string bytes;
        if (entry.is_regular_file(kind) && ReadWhole(entry.path(), &bytes))
            files[entry.path().filename().string()] = std::move(bytes);
    }
    return files;
}

bool SettingsCopy::Commit(std::vector<std::string>* leftAlone, std::vector<std::string>* problems)
{
    bool ok = true;
    for (const auto& [name, bytes] : WorkingFiles()) {
        const File* before = nullptr;
        for (const File& file : taken_)
            if (file.name == name) before = &file;
        if (before != nullptr && !before->readable) {
            leftAlone->push_back(name);
            continue;
        }
        if (before != nullptr && before->bytes == bytes) continue;
        std::error_code error;
        fs::create_directories(userFolder_, error);
        std::string why;
        if (!WriteWhole(fs::path(userFolder_) / name, bytes, &why)) {
            problems->push_back(why);
            ok = false;
        }
    }
    return ok;
}

}  // namespace tonaroapp
