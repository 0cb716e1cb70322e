#include "tonaropdk/platform/fsref.h"

#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

constexpr uint32_t kRefMagic = 0x54465352;  // 'TFSR'

// The bytes of an FSRef made here: a magic, the index into the path table
// and its complement (a cheap check against stray bytes); the rest is zero.
struct RefBody {
    uint32_t magic;
    uint32_t index;
    uint32_t check;
};
static_assert(sizeof(RefBody) <= sizeof(FSRef));

class PathTable {
public:
    uint32_t Intern(const std::string& path)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto found = indexOf_.find(path);
        if (found != indexOf_.end()) return found->second;
        const uint32_t index = static_cast<uint32_t>(paths_.size());
        paths_.push_back(path);
        indexOf_.emplace(path, index);
        return index;
    }

    bool Lookup(uint32_t index, std::string* path) const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (index >= paths_.size()) return false;
        *path = paths_[index];
        return true;
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> paths_;
    std::unordered_map<std::string, uint32_t> indexOf_;
};

PathTable& Table()
{
    static PathTable table;
    return table;
}

// Drops trailing slashes (but keeps "/").
std::string Normalised(const char* path)
{
    std::string result(path);
    while (result.size() > 1 && result.back() == '/') result.pop_back();
    return result;
}

}  // namespace

extern "C" {

OSStatus FSRefMakePath(const FSRef* ref, uint8_t* path, uint32_t maxLen)
{
    if (!ref || !path || maxLen == 0) return paramErr;
    RefBody body;
    std::memcpy(&body, ref->hidden, sizeof body);
    if (body.magic != kRefMagic || body.check != ~body.index) return paramErr;
    std::string stored;
    if (!Table().Lookup(body.index, &stored)) return paramErr;
    struct stat info;
    if (stat(stored.c_str(), &info) != 0) return fnfErr;
    if (stored.size() + 1 > maxLen) return buffersTooSmall;
    std::memcpy(path, stored.c_str(), stored.size() + 1);
    return noErr;
}

OSStatus FSPathMakeRef(const uint8_t* path, FSRef* ref, bool* isDirectory)
{
    if (!path || !ref || path[0] == 0) return paramErr;
    const std::string normalised = Normalised(reinterpret_cast<const char*>(path));
    struct stat info;
    if (stat(normalised.c_str(), &info) != 0) return fnfErr;

    // References name absolute paths, so that they do not change meaning
    // when the working folder does.
    std::string absolute = normalised;
    if (absolute[0] != '/') {
        char* resolved = realpath(normalised.c_str(), nullptr);
        if (!resolved) return fnfErr;
        absolute = resolved;
        std::free(resolved);
    }

    RefBody body{kRefMagic, Table().Intern(absolute), 0};
    body.check = ~body.index;
    std::memset(ref->hidden, 0, sizeof ref->hidden);
    std::memcpy(ref->hidden, &body, sizeof body);
    if (isDirectory) *isDirectory = S_ISDIR(info.st_mode);
    return noErr;
}

}  // extern "C"
