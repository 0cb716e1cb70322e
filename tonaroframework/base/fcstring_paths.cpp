// FCString members for the host's folder and file records, and the
// conversion between path texts and native path bytes.
//
// A TonPathSpec2012 names an item by the FSRef of its containing folder and
// its own name in UTF-16. Its POSIX path is the folder's path, "/", and the
// name in UTF-8. The platform layer (tonaropdk/platform/fsref.h) turns FSRefs
// into paths and back.

#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/base/fcstring_nativepath.h"
#include "tonaroframework/base/utf8codec.h"
#include "tonaropdk/hostapi/fxfunctions.h"
#include "tonaropdk/platform/fsref.h"

namespace {

// The version word that the host's folder query is always asked with.
constexpr uint32_t kPathQueryVersion = 0x12000000;

// The most code units the name field of a path record holds.
constexpr uint16_t kMaxNameUnits = 255;

// FSRefMakePath is asked with this buffer first and a larger one while the
// path does not fit, up to the last size.
constexpr uint32_t kFirstPathBuffer = 1024;
constexpr uint32_t kLastPathBuffer = 64u * 1024u * 1024u;

bool IsHighSurrogate(unsigned short unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(unsigned short unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Strict UTF-16 to UTF-8: false for a zero unit or a lone surrogate.
bool EncodeStrict(const unsigned short* units, size_t count, std::string* out)
{
    std::string bytes;
    bytes.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        uint32_t c = units[i];
        if (c == 0) return false;
        if (IsHighSurrogate(units[i])) {
            if (i + 1 >= count || !IsLowSurrogate(units[i + 1])) return false;
            c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00u);
            ++i;
        } else if (IsLowSurrogate(units[i])) {
            return false;
        }
        if (c < 0x80) {
            bytes += static_cast<char>(c);
        } else if (c < 0x800) {
            bytes += static_cast<char>(0xC0 | (c >> 6));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            bytes += static_cast<char>(0xE0 | (c >> 12));
            bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            bytes += static_cast<char>(0xF0 | (c >> 18));
            bytes += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    *out = std::move(bytes);
    return true;
}

// The path of a folder reference, or false when the platform cannot make it.
bool FolderPathOf(const FSRef& folder, std::string* path)
{
    std::vector<uint8_t> buffer(kFirstPathBuffer);
    for (;;) {
        const OSStatus status = FSRefMakePath(&folder, buffer.data(), static_cast<uint32_t>(buffer.size()));
        if (status == noErr) break;
        if (status != buffersTooSmall || buffer.size() >= kLastPathBuffer) return false;
        buffer.resize(buffer.size() * 2);
    }
    buffer.back() = 0;  // the platform terminates the path; make sure of it
    *path = reinterpret_cast<const char*>(buffer.data());
    return !path->empty();
}

// The POSIX path of spec into path; false when it cannot be made. The name
// must be one path component: no "/" and no zero unit.
bool PosixPathOf(const TonPathSpec2012& spec, std::string* path)
{
    if (spec.nameLength > kMaxNameUnits) return false;
    std::vector<unsigned short> name(spec.name, spec.name + spec.nameLength);
    std::string nameBytes;
    if (!EncodeStrict(name.data(), name.size(), &nameBytes)) return false;
    if (nameBytes.find('/') != std::string::npos) return false;

    std::string folder;
    if (!FolderPathOf(spec.parent, &folder)) return false;
    if (folder.back() != '/') folder += '/';
    *path = folder + nameBytes;
    return true;
}

// The path buffers of _MacPOSIXPathForTonPathSpec, one for each thread that
// asked, owned here and freed when the module is unloaded (or the process
// ends).
std::string* NewPathBuffer()
{
    static std::mutex lock;
    static std::vector<std::unique_ptr<std::string>> buffers;
    const std::lock_guard<std::mutex> hold(lock);
    buffers.push_back(std::make_unique<std::string>());
    return buffers.back().get();
}

}  // namespace

bool FCStringToNativePath(const FCString& text, std::string* native)
{
    if (!native) return false;
    return EncodeStrict(text._GetUnicodeBuffer(), text.GetLength(), native);
}

bool FCStringFromNativePath(FCString* text, const char* native)
{
    if (!text || !native) return false;
    std::vector<unsigned short> units;
    if (!DecodeUTF8ToUTF16(native, std::strlen(native), units)) return false;
    text->SetUnicodeString(units.data(), static_cast<int>(units.size()));
    return true;
}

const char* FCString::_MacPOSIXPathForTonPathSpec(const TonPathSpec2012* spec)
{
    // One buffer per thread, so callers on different threads never see each
    // other's paths; the path may be of any length. The thread only points
    // at its buffer: a thread_local object with a destructor would keep the
    // plug-in module mapped after the host unloads it (the C library keeps
    // code whose thread-local destructors are still to run).
    thread_local std::string* buffer = nullptr;
    if (!spec) return nullptr;
    std::string path;
    if (!PosixPathOf(*spec, &path)) return nullptr;
    if (!buffer) buffer = NewPathBuffer();
    *buffer = std::move(path);
    return buffer->c_str();
}

bool FCString::MakeFullFilePath(const TonPathSpec2012* spec)
{
    if (!spec) return false;
    std::string path;
    if (!PosixPathOf(*spec, &path)) return false;
    FCString text;
    if (!FCStringFromNativePath(&text, path.c_str())) return false;
    SetString(&text);
    return true;
}

bool FCString::_SetTonaroPath(TonPath kind)
{
    TonPathSpec2012 spec {};
    std::string path;
    FCString text;
    if (FX_GetTonaroPathMac(kind, &spec, kPathQueryVersion) != 0 && PosixPathOf(spec, &path)
        && FCStringFromNativePath(&text, path.c_str())) {
        SetString(&text);
        return true;
    }
    SetCString(nullptr);
    return false;
}

bool FCString::MakeSpecFromFilePath(TonPathSpec2012* spec) const
{
    if (!spec) return false;
    FCString folder;
    FCString file;
    if (!SplitToPathAndFile(&folder, &file)) return false;
    if (file.GetLength() > kMaxNameUnits) return false;

    // The name must be storable and must later make a path again.
    std::string nameBytes;
    if (!FCStringToNativePath(file, &nameBytes)) return false;

    std::string folderBytes;
    if (!FCStringToNativePath(folder, &folderBytes)) return false;
    FSRef ref {};
    bool isDirectory = false;
    if (FSPathMakeRef(reinterpret_cast<const uint8_t*>(folderBytes.c_str()), &ref, &isDirectory) != noErr) return false;
    if (!isDirectory) return false;

    spec->parent = ref;
    spec->nameLength = static_cast<uint16_t>(file.GetLength());
    std::memset(spec->name, 0, sizeof(spec->name));
    if (file.GetLength() > 0) std::memcpy(spec->name, file._GetUnicodeBuffer(), file.GetLength() * sizeof(uint16_t));
    return true;
}
