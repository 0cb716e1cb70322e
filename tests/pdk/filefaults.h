// Faults for the tests of atomic file replacement: failing functions put into
// the platform's table of file calls (tonaropdk/platform/atomicreplace.h),
// and a lowered file size limit that makes writes fail as on a full disk.
// Header-only, shared by the engine's and the framework's fault tests.
#pragma once

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstddef>

#include "tonaropdk/platform/atomicreplace.h"

namespace filefaults {

// What the failing functions answer and how often they were called.
inline int gError = EIO;
inline int gWriteCalls = 0;
inline size_t gBytesWritten = 0;

// The exit status of a process that died before its rename.
constexpr int kDiedBeforeRename = 42;

inline int OpenFails(const char*, int, mode_t)
{
    errno = gError;
    return -1;
}

// The first write takes half of what it is given; every later one fails.
inline ssize_t WriteShortThenFail(int fd, const void* data, size_t size)
{
    if (gWriteCalls++ == 0) {
        const ssize_t n = ::write(fd, data, std::max<size_t>(size / 2, 1));
        if (n > 0) gBytesWritten += static_cast<size_t>(n);
        return n;
    }
    errno = gError;
    return -1;
}

// Every second call is interrupted by a signal before it writes anything;
// the others write at most 7 bytes. A writer that loops gets everything out.
inline ssize_t WriteInDribbles(int fd, const void* data, size_t size)
{
    if (gWriteCalls++ % 2 == 0) {
        errno = EINTR;
        return -1;
    }
    const ssize_t n = ::write(fd, data, std::min<size_t>(size, 7));
    if (n > 0) gBytesWritten += static_cast<size_t>(n);
    return n;
}

inline int SyncFails(int)
{
    errno = gError;
    return -1;
}

// The descriptor is closed, but the close reports a failure (as NFS does
// when the data could not be written back).
inline int CloseFails(int fd)
{
    ::close(fd);
    errno = gError;
    return -1;
}

inline int RenameFails(const char*, const char*)
{
    errno = gError;
    return -1;
}

// The process dies where the rename would have happened: the temporary file
// is complete and synced, the target not yet replaced.
inline int DieBeforeRename(const char*, const char*)
{
    _exit(kDiedBeforeRename);
}

// Puts the C library's calls back into the table when a test ends, and
// resets the counters at its start.
class FileCallsGuard {
public:
    explicit FileCallsGuard(int error = EIO)
    {
        TonaroResetFileCalls();
        gError = error;
        gWriteCalls = 0;
        gBytesWritten = 0;
    }
    ~FileCallsGuard() { TonaroResetFileCalls(); }
    FileCallsGuard(const FileCallsGuard&) = delete;
    FileCallsGuard& operator=(const FileCallsGuard&) = delete;

    TonaroFileCalls& Calls() { return *TonaroGetFileCalls(); }
};

// Makes writes beyond a few bytes fail with EFBIG as on a full disk: the
// process's file size limit is lowered (root is bound by it too, unlike a
// full disk's reserve) and put back afterwards; SIGXFSZ is ignored meanwhile.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        _oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &_old);
        rlimit limit = _old;
        limit.rlim_cur = bytes;
        _set = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &_old);
        std::signal(SIGXFSZ, _oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool IsSet() const { return _set; }

private:
    rlimit _old {};
    void (*_oldHandler)(int) = nullptr;
    bool _set = false;
};

// Each call of a save failing on its own, for tests that try them in turn.
struct FailingCall {
    const char* what;
    void (*install)(TonaroFileCalls&);
};
inline const FailingCall kFailingCalls[] = {
    {"open", [](TonaroFileCalls& calls) { calls.openFile = OpenFails; }},
    {"short write, then an error", [](TonaroFileCalls& calls) { calls.writeFile = WriteShortThenFail; }},
    {"sync", [](TonaroFileCalls& calls) { calls.syncFile = SyncFails; }},
    {"close", [](TonaroFileCalls& calls) { calls.closeFile = CloseFails; }},
    {"rename", [](TonaroFileCalls& calls) { calls.renameFile = RenameFails; }},
};

}  // namespace filefaults
