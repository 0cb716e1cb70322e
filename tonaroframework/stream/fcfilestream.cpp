#include "tonaroframework/stream/fcfilestream.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tonaroframework/base/fcstring_nativepath.h"

namespace {

// How many names a replacement tries for its temporary file before giving up.
constexpr int kTempNameAttempts = 100;

std::atomic<unsigned> gTempCounter {0};

// The folder part of a path (without the trailing "/"); "." when the path
// holds no "/", "/" for an item in the root folder.
std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// A name in folder that no file has yet; hidden, so that a listing of the
// folder does not show it while the write runs.
std::string TempNameIn(const std::string& folder, int attempt)
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    const unsigned long long mix = static_cast<unsigned long long>(now) * 2654435761ull
        + static_cast<unsigned long long>(attempt) * 40503ull;
    char name[96];
    std::snprintf(name, sizeof name, ".tonaro-%ld-%u-%llx.tmp", static_cast<long>(getpid()),
                  gTempCounter.fetch_add(1), mix & 0xFFFFFFFFFFull);
    return folder == "/" ? "/" + std::string(name) : folder + "/" + name;
}

// Flushes the folder's entry list to the disk after a rename; a failure here
// leaves the new file in place and is not reported.
void SyncFolder(const std::string& folder)
{
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

}  // namespace

FCFileStream::FCFileStream(const char* folderPath, const FCString* fileName)
{
    if (folderPath && !FCStringFromNativePath(&_folderPath, folderPath)) _folderPath.SetCString(folderPath);
    _fileName.SetString(fileName);
}

FCFileStream::FCFileStream(const FCString* folderPath, const FCString* fileName)
{
    _folderPath.SetString(folderPath);
    _fileName.SetString(fileName);
}

FCFileStream::FCFileStream(const TonPathSpec2012* folderSpec, const FCString* fileName)
{
    if (folderSpec) std::memcpy(&_folderSpec, folderSpec, sizeof _folderSpec);
    _fileName.SetString(fileName);
}

FCFileStream::~FCFileStream()
{
    if (_replacing) {
        _AbandonReplacement();
    } else if (_file) {
        std::fclose(_file);
        _file = nullptr;
    }
}

bool FCFileStream::_MakeFullPath(FCString* path) const
{
    if (!path) return false;
    FCString full;
    if (!_folderPath.IsEmpty()) {
        full.SetString(&_folderPath);
    } else {
        const char* folder = FCString::_MacPOSIXPathForTonPathSpec(&_folderSpec);
        if (!folder || !FCStringFromNativePath(&full, folder)) return false;
    }
    full.AssureEndingPathDelimiter();
    full.AppendString(&_fileName);
    path->SetString(&full);
    return true;
}

bool FCFileStream::OpenFile(const char* mode)
{
    if (!mode || !*mode) return false;
    if (_file) Close();
    if (_fileName.IsEmpty()) return false;

    FCString path;
    if (!_MakeFullPath(&path)) return false;
    std::string native;
    if (!FCStringToNativePath(path, &native)) return false;

    if (mode[0] == 'w') return _OpenReplacement(native, mode);
    _file = std::fopen(native.c_str(), mode);
    return _file != nullptr;
}

bool FCFileStream::_OpenReplacement(const std::string& path, const char* mode)
{
    // A link is followed, so that the file it points to is replaced and the
    // link itself stays.
    std::string target = path;
    struct stat status {};
    if (lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode)) {
        if (char* resolved = realpath(path.c_str(), nullptr)) {
            target = resolved;
            std::free(resolved);
        }
    }

    const bool exists = stat(target.c_str(), &status) == 0;
    if (exists && !S_ISREG(status.st_mode)) {
        // Folders, devices and pipes cannot be replaced; they are opened as
        // they are (a folder fails to open).
        _file = std::fopen(target.c_str(), mode);
        return _file != nullptr;
    }

    const std::string folder = FolderOf(target);
    const int access = std::strchr(mode, '+') ? O_RDWR : O_WRONLY;
    int fd = -1;
    std::string temp;
    for (int attempt = 0; attempt < kTempNameAttempts && fd < 0; ++attempt) {
        temp = TempNameIn(folder, attempt);
        fd = open(temp.c_str(), access | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;

    if (exists) {
        // The new file keeps the old one's owner (where allowed) and
        // permission bits; failures here do not stop the write.
        if (fchown(fd, status.st_uid, status.st_gid) != 0) { /* owner stays the writer */ }
        if (fchmod(fd, status.st_mode & 07777) != 0) { /* bits stay as created */ }
    }

    _file = fdopen(fd, mode);
    if (!_file) {
        close(fd);
        unlink(temp.c_str());
        return false;
    }
    _replacing = true;
    _targetPath = target;
    _tempPath = temp;
    return true;
}

bool FCFileStream::_FinishReplacement()
{
    bool ok = std::fflush(_file) == 0 && !std::ferror(_file);
    if (ok && fsync(fileno(_file)) != 0) ok = false;
    if (std::fclose(_file) != 0) ok = false;
    _file = nullptr;
    if (ok && std::rename(_tempPath.c_str(), _targetPath.c_str()) != 0) ok = false;
    if (ok) {
        SyncFolder(FolderOf(_targetPath));
    } else {
        unlink(_tempPath.c_str());
    }
    _replacing = false;
    _targetPath.clear();
    _tempPath.clear();
    return ok;
}

void FCFileStream::_AbandonReplacement()
{
    if (_file) std::fclose(_file);
    _file = nullptr;
    unlink(_tempPath.c_str());
    _replacing = false;
    _targetPath.clear();
    _tempPath.clear();
}

bool FCFileStream::Close()
{
    if (!_file) return false;
    if (_replacing) return _FinishReplacement();
    std::fclose(_file);
    _file = nullptr;
    return true;
}
