// The host's settings folder as one run of a command uses it. The files of
// the user's folder are read once, into a private working copy; the
// plug-in (through the engine's settings folder) reads and writes only that
// copy; at the end the files the run changed are written back once, each
// atomically, or not at all. So a run that fails leaves the user's settings
// as they were, and worker processes, each given a copy of their own, never
// touch them.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

class QTemporaryDir;

namespace tonaroapp {

class SettingsCopy {
public:
    SettingsCopy();
    ~SettingsCopy();  // removes the working copy
    SettingsCopy(const SettingsCopy&) = delete;
    SettingsCopy& operator=(const SettingsCopy&) = delete;

    // Whether folder is a folder, or can be made one (its nearest existing
    // parent is a folder we may write in). False, with *why ("not a
    // folder", ...; the folder is not named), otherwise.
    static bool IsUsableFolder(const std::string& folder, std::string* why);

    // Reads the regular files at the top of folder (the engine's settings
    // folder when folder is empty; a folder that does not exist yet has no
    // files) into a new working copy and makes the copy the engine's
    // settings folder. A file that cannot be read is left out of the copy
    // and is never written back. False, with *why, when no working copy can
    // be made.
    bool Take(const std::string& folder, std::string* why);

    // The user's folder and the working copy ("" before Take).
    const std::string& UserFolder() const { return userFolder_; }
    std::string WorkingFolder() const;

    // Makes a new folder under the working copy's own temporary folder
    // holding the files as they were read (not as the plug-in has changed
    // them since), for a worker process. Answers its path, or "" (with
    // *why) on failure. The folder lives as long as this object.
    std::string MakeWorkerCopy(const std::string& name, std::string* why);

    // A file in the temporary folder of this run (for standard input and
    // output); lives as long as this object. "" before Take.
    std::string ScratchPath(const std::string& name) const;

    // The name and bytes of each file now in the working copy, by name.
    std::map<std::string, std::string> WorkingFiles() const;

    // Writes back each file of the working copy whose bytes differ from
    // what was read (new files included), atomically, creating the user's
    // folder when needed. A file that could not be read when taken is left
    // alone even so, and its name (without folder) goes to *leftAlone; a
    // file that cannot be written is named, with the reason, in *problems.
    // True when no write failed.
    bool Commit(std::vector<std::string>* leftAlone, std::vector<std::string>* problems);

private:
    struct File {
        std::string name;
        std::string bytes;
        bool readable = true;
    };

    std::unique_ptr<QTemporaryDir> temp_;
    std::string userFolder_;
    std::vector<File> taken_;
};

}  // namespace tonaroapp
