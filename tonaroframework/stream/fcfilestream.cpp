#include "tonaroframework/stream/fcfilestream.h"

#include <cstdlib>
#include <cstring>

#include <sys/stat.h>

#include "tonaroframework/base/fcstring_nativepath.h"
#include "tonaropdk/platform/atomicreplace.h"

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
    if (_replacement) {
        _replacement.reset();  // abandons the unfinished replacement
    } else if (_file) {
        std::fclose(_file);
    }
    _file = nullptr;
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
    // Folders, devices and pipes cannot be replaced; they are opened as they
    // are (a folder fails to open). A link is judged by what it points to.
    struct stat status {};
    if (stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
        _file = std::fopen(path.c_str(), mode);
        return _file != nullptr;
    }
    auto replacement = std::make_unique<TonaroAtomicReplacement>();
    if (!replacement->Begin(path, mode, nullptr)) return false;
    _file = replacement->Stream();
    _replacement = std::move(replacement);
    return true;
}

bool FCFileStream::Close()
{
    if (!_file) return false;
    if (_replacement) {
        _file = nullptr;
        const bool committed = _replacement->Commit(nullptr);
        _replacement.reset();
        return committed;
    }
    std::fclose(_file);
    _file = nullptr;
    return true;
}
