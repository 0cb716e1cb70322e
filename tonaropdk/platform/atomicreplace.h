// Replacing a file atomically, shared by the engine's score writer and the
// framework's file streams: the new bytes go to a temporary file beside the
// target, which is flushed to the disk, closed and then renamed over the
// target in one step. Readers see the old file or the new one, never a
// mixture; any failure leaves the old file byte-identical and removes the
// temporary file.
//
// Every file system call that the replacement makes to write the new file
// (open, write, fsync, close, rename) goes through one process-wide table,
// TonaroFileCalls. It holds the C library's functions; it exists for tests,
// which put failing functions in (a full disk, a short write, a failing sync
// or rename, a process that dies before the rename) and put the originals
// back with TonaroResetFileCalls. Nothing else should change it. It is not
// locked: change it only while no replacement is running.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdio>
#include <string>

#include "tonaropdk/platform/platformexport.h"

struct TonaroFileCalls {
    int (*openFile)(const char* path, int flags, mode_t mode);
    ssize_t (*writeFile)(int fd, const void* data, size_t size);
    int (*syncFile)(int fd);
    int (*closeFile)(int fd);
    int (*renameFile)(const char* from, const char* to);
};

// The table in use (never null; lives as long as the process). For tests.
TONARO_PLATFORM_API TonaroFileCalls* TonaroGetFileCalls();
// Puts the C library's functions back into the table. For tests.
TONARO_PLATFORM_API void TonaroResetFileCalls();

// Writes all size bytes to fd through the table, going on after partial
// writes and after writes interrupted by a signal (EINTR). true when every
// byte was written; false, with errno set, at the first other failure or
// when a write answers 0.
TONARO_PLATFORM_API bool TonaroWriteFully(int fd, const void* data, size_t size);

// One replacement of one file. Begin, write through Stream(), then Commit;
// destroying the object (or Abandon) before Commit removes the temporary
// file and leaves the old file as it was. Single-threaded use.
class TONARO_PLATFORM_API TonaroAtomicReplacement {
public:
    TonaroAtomicReplacement() = default;
    ~TonaroAtomicReplacement();
    TonaroAtomicReplacement(const TonaroAtomicReplacement&) = delete;
    TonaroAtomicReplacement& operator=(const TonaroAtomicReplacement&) = delete;

    // Starts replacing path (UTF-8). A symbolic link is followed, so that the
    // file it points to is replaced and the link stays; a link that points
    // to no file yet (a dangling link) makes that file, the link staying. The temporary file
    // is hidden, in the target's folder; when the target exists, the new
    // file gets its owner (where allowed) and permission bits, otherwise the
    // bits that 0666 and the umask give. mode is the fopen mode of Stream()
    // ("w", "wb", "w+", ...). false, with *error (may be null) set to an
    // errno value, when a replacement is already running, the target exists
    // but is not a regular file (EISDIR for a folder, EINVAL otherwise), or
    // the temporary file cannot be made.
    bool Begin(const std::string& path, const char* mode, int* error);

    // The temporary file's stream while a replacement runs, else null.
    // Owned by this object; writes to it go through the table and survive
    // partial and interrupted writes. Do not fclose it.
    std::FILE* Stream() const { return _stream; }
    bool IsRunning() const { return _stream != nullptr; }

    // Flushes the stream, syncs it to the disk, closes it and renames it over
    // the target (then syncs the folder; a failure of that last step is not
    // reported). true when the new file is in place. false, with *error (may
    // be null) set to an errno value, when nothing was running, when any
    // write since Begin failed, or when the flush, sync, close or rename
    // failed; the temporary file is then removed and the target untouched.
    bool Commit(int* error);

    // The errno value of the first failed write to Stream() since Begin, or
    // 0 (also when nothing runs).
    int WriteError() const;

    // Ends a running replacement without touching the target.
    void Abandon();

    // The file that Commit replaces (after a link was followed); empty when
    // nothing runs.
    const std::string& TargetPath() const { return _targetPath; }

    // The temporary file's descriptor and its first write or close error;
    // internal to the replacement.
    struct Sink;

private:
    void _Finish();

    Sink* _sink = nullptr;
    std::FILE* _stream = nullptr;
    std::string _targetPath;
    std::string _tempPath;
};
