// A file named by a folder and a file name, opened through the C library.
//
// The folder is given either as a POSIX path or as the host's path record
// for it (TonPathSpec2012: the containing folder and the folder's own name); a non-empty folder path takes precedence. At most one file is open
// at a time.
//
// Replacing a file is atomic. Opening in a write mode ("w", "w+", ...) does
// not touch the existing file: the text goes to a new temporary file in the
// same folder, and Close flushes it to the disk and renames it over the old
// file in one step. When anything fails (the temporary file cannot be made, a
// write or the flush fails, the rename fails), or when the stream is
// destroyed without Close, the temporary file is removed and the old file
// stays exactly as it was: an interrupted write never leaves a half-written
// file behind. A file that is a symbolic
// link is replaced at the place the link points to; the new file takes the old
// one's permission bits. Other modes ("r", "r+", "a", ...) open the file
// itself.
//
// Paths are UTF-8 on this system (see fcstring_nativepath.h). Main thread
// use per stream; separate streams are independent.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/stream/fcbasestream.h"
#include "tonaropdk/hostapi/tonpathspec.h"

class TonaroAtomicReplacement;

class FCFileStream : public __FCBaseStream {
public:
    // folderPath: the folder's POSIX path, read as UTF-8 when it is
    // well-formed UTF-8 and otherwise one byte per character (Latin-1); null
    // gives an empty folder path. fileName: copied; null gives an empty name.
    // The folder record is all zero. Both arguments are only read.
    FCFileStream(const char* folderPath, const FCString* fileName);
    // The folder as an FCString path (copied; null gives an empty path).
    FCFileStream(const FCString* folderPath, const FCString* fileName);
    // folderSpec: copied (594 bytes); null gives an all-zero record.
    // The folder path is empty.
    FCFileStream(const TonPathSpec2012* folderSpec, const FCString* fileName);
    FCFileStream(const FCFileStream&) = delete;
    FCFileStream& operator=(const FCFileStream&) = delete;

    // Virtual operations, in this order: ClassName, destructor, IsIdentical
    // (inherited), OpenRead, OpenWrite.
    const char* ClassName() const override { return "FCFileStream"; }
    // Closes an open file. A replacement that Close has not finished is
    // abandoned: its temporary file is removed and the old file kept.
    ~FCFileStream() override;

    // Open the file for reading / for writing; true when a file is open.
    virtual bool OpenRead() = 0;
    virtual bool OpenWrite() = 0;

    // Sets path (not null) to the full path of the file: the folder path,
    // "/" unless it ends with one, and the file name; or, with an empty
    // folder path, the POSIX path of the folder record, "/", and the
    // file name. false (path unchanged) when the record gives no path.
    bool _MakeFullPath(FCString* path) const;

    // Opens the file in the fopen mode (see the class comment for the write
    // modes). A file already open is closed first, as by Close. false for a
    // null mode, an empty file name, a path that cannot be made, or when the
    // C library gives no file.
    bool OpenFile(const char* mode);

    // Closes the file. false when no file was open. After a read or an
    // in-place mode: true. After a write mode: true when the new file has
    // replaced the old one; false when flushing, syncing or renaming failed,
    // in which case the old file is left as it was.
    bool Close();

    bool IsOpen() const { return _file != nullptr; }
    // Whether a read or a write on the open file has failed (a folder opened
    // for reading, an input/output error); false while closed. Reading
    // functions answer such a failure as the end of the file, so a reader
    // that must know whether it saw the whole file asks this before Close.
    bool HasError() const { return _file != nullptr && std::ferror(_file) != 0; }

    // The stream's own copies; they live as long as the stream.
    const FCString* GetFolderPath() const { return &_folderPath; }
    const FCString* GetFileName() const { return &_fileName; }
    const TonPathSpec2012* GetFolderSpec() const { return &_folderSpec; }

protected:
    // The open C file, or null while closed; owned by the stream.
    FILE* _GetFileHandle() const { return _file; }

private:
    bool _OpenReplacement(const std::string& target, const char* mode);

    TonPathSpec2012 _folderSpec {};
    FCString _folderPath;
    FCString _fileName;
    // The open C file, or null. While a replacement runs it is the
    // replacement's stream (owned by it), otherwise owned by this stream.
    FILE* _file = nullptr;
    std::unique_ptr<TonaroAtomicReplacement> _replacement;
};
