#include "tonaropdk/platform/atomicreplace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <stdio_ext.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace {

int OpenThroughLibrary(const char* path, int flags, mode_t mode)
{
    return ::open(path, flags, mode);
}

int RenameThroughLibrary(const char* from, const char* to)
{
    return std::rename(from, to);
}

constexpr TonaroFileCalls kLibraryCalls {OpenThroughLibrary, ::write, ::fsync, ::close, RenameThroughLibrary};

TonaroFileCalls gCalls = kLibraryCalls;

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

// A name in folder that no file has yet, probably; hidden, so that a listing
// of the folder does not show it while the write runs.
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

// The path that a chain of symbolic links starting at path ends at, when
// that end does not exist (a dangling link): each link's text, read
// relative to the link's own folder unless it is absolute. Empty when path
// is no link, when the chain cannot be read, or when it is too long (a loop).
std::string DanglingLinkTarget(const std::string& path)
{
    constexpr int kMostLinks = 40;
    std::string at = path;
    for (int hop = 0; hop < kMostLinks; ++hop) {
        struct stat status {};
        if (lstat(at.c_str(), &status) != 0) return errno == ENOENT && hop > 0 ? at : std::string();
        if (!S_ISLNK(status.st_mode)) return std::string();
        std::string text(static_cast<size_t>(status.st_size > 0 ? status.st_size : 255) + 1, '\0');
        const ssize_t size = readlink(at.c_str(), text.data(), text.size());
        if (size <= 0 || static_cast<size_t>(size) >= text.size()) return std::string();
        text.resize(static_cast<size_t>(size));
        if (text[0] != '/') {
            const std::string folder = FolderOf(at);
            text = (folder == "/" ? "" : folder) + "/" + text;
        }
        at = text;
    }
    return std::string();
}

// Flushes the folder's entry list to the disk after a rename; a failure here
// leaves the new file in place and is not reported.
void SyncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

struct TonaroAtomicReplacement::Sink {
    int fd = -1;
    int error = 0;  // the first write or close failure, as an errno value
};

namespace {

// The stream functions of the temporary file (see fopencookie). Writes and
// the close go through the table; reading and seeking, which only "w+"
// streams use, go to the C library.
using Sink = TonaroAtomicReplacement::Sink;

ssize_t SinkRead(void* cookie, char* buffer, size_t size)
{
    auto* sink = static_cast<Sink*>(cookie);
    for (;;) {
        const ssize_t n = ::read(sink->fd, buffer, size);
        if (n >= 0 || errno != EINTR) return n;
    }
}

// A failed write answers 0, not -1: the C library marks the stream as failed
// for any short count, but it takes -1 for a count of bytes written when it
// writes a large block straight through, and then copies from far beyond the
// caller's data.
ssize_t SinkWrite(void* cookie, const char* data, size_t size)
{
    auto* sink = static_cast<Sink*>(cookie);
    if (TonaroWriteFully(sink->fd, data, size)) return static_cast<ssize_t>(size);
    if (sink->error == 0) sink->error = errno ? errno : EIO;
    return 0;
}

int SinkSeek(void* cookie, off64_t* offset, int whence)
{
    auto* sink = static_cast<Sink*>(cookie);
    const off64_t position = ::lseek64(sink->fd, *offset, whence);
    if (position < 0) return -1;
    *offset = position;
    return 0;
}

int SinkClose(void* cookie)
{
    auto* sink = static_cast<Sink*>(cookie);
    const int result = gCalls.closeFile(sink->fd);
    if (result != 0 && sink->error == 0) sink->error = errno ? errno : EIO;
    sink->fd = -1;
    return result == 0 ? 0 : -1;
}

}  // namespace

TonaroFileCalls* TonaroGetFileCalls()
{
    return &gCalls;
}

void TonaroResetFileCalls()
{
    gCalls = kLibraryCalls;
}

bool TonaroWriteFully(int fd, const void* data, size_t size)
{
    const char* next = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = gCalls.writeFile(fd, next, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) {
            errno = ENOSPC;  // no progress: treat as a full disk rather than loop
            return false;
        }
        next += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

TonaroAtomicReplacement::~TonaroAtomicReplacement()
{
    Abandon();
}

bool TonaroAtomicReplacement::Begin(const std::string& path, const char* mode, int* error)
{
    int unused = 0;
    if (!error) error = &unused;
    if (_stream || !mode || path.empty()) {
        *error = EINVAL;
        return false;
    }
    std::string target = path;
    struct stat status {};
    if (lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode)) {
        if (char* resolved = realpath(path.c_str(), nullptr)) {
            target = resolved;
            std::free(resolved);
        } else if (const std::string end = DanglingLinkTarget(path); !end.empty()) {
            target = end;  // the new file is made where the link points
        }
    }
    const bool exists = stat(target.c_str(), &status) == 0;
    if (exists && !S_ISREG(status.st_mode)) {
        *error = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
        return false;
    }

    const std::string folder = FolderOf(target);
    int fd = -1;
    std::string temp;
    for (int attempt = 0; attempt < kTempNameAttempts && fd < 0; ++attempt) {
        temp = TempNameIn(folder, attempt);
        fd = gCalls.openFile(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            *error = errno ? errno : EIO;
            return false;
        }
    }
    if (fd < 0) {
        *error = EEXIST;
        return false;
    }
    if (exists) {
        // The new file keeps the old one's owner where allowed (only root may
        // give a file away) and its permission bits.
        if (fchown(fd, status.st_uid, status.st_gid) != 0) { /* the owner stays the writer */ }
        if (fchmod(fd, status.st_mode & 07777) != 0) {
            *error = errno;
            gCalls.closeFile(fd);
            unlink(temp.c_str());
            return false;
        }
    }

    auto* sink = new Sink;
    sink->fd = fd;
    const cookie_io_functions_t functions {SinkRead, SinkWrite, SinkSeek, SinkClose};
    std::FILE* stream = fopencookie(sink, mode, functions);
    if (!stream) {
        *error = errno ? errno : ENOMEM;
        gCalls.closeFile(fd);
        unlink(temp.c_str());
        delete sink;
        return false;
    }
    _sink = sink;
    _stream = stream;
    _targetPath = target;
    _tempPath = temp;
    return true;
}

bool TonaroAtomicReplacement::Commit(int* error)
{
    int unused = 0;
    if (!error) error = &unused;
    if (!_stream) {
        *error = EINVAL;
        return false;
    }
    int failure = 0;
    if (std::fflush(_stream) != 0 || std::ferror(_stream)) failure = _sink->error ? _sink->error : EIO;
    if (failure == 0 && gCalls.syncFile(_sink->fd) != 0) failure = errno ? errno : EIO;
    // fclose closes the descriptor through the table; a failing close can
    // mean that the data never reached the disk.
    const bool closed = std::fclose(_stream) == 0 && _sink->fd < 0;
    _stream = nullptr;
    if (failure == 0 && (!closed || _sink->error != 0)) failure = _sink->error ? _sink->error : EIO;
    if (failure == 0 && gCalls.renameFile(_tempPath.c_str(), _targetPath.c_str()) != 0) failure = errno ? errno : EIO;
    if (failure == 0) {
        SyncFolder(FolderOf(_targetPath));
    } else {
        unlink(_tempPath.c_str());
    }
    _Finish();
    *error = failure;
    return failure == 0;
}

int TonaroAtomicReplacement::WriteError() const
{
    return _sink ? _sink->error : 0;
}

void TonaroAtomicReplacement::Abandon()
{
    if (!_stream) return;
    // Nothing written so far is needed: the stream's buffer is dropped, not
    // flushed, by purging it first.
    __fpurge(_stream);
    std::fclose(_stream);
    _stream = nullptr;
    unlink(_tempPath.c_str());
    _Finish();
}

void TonaroAtomicReplacement::_Finish()
{
    delete _sink;
    _sink = nullptr;
    _targetPath.clear();
    _tempPath.clear();
}
