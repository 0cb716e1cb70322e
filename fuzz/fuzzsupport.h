// Helpers shared by the fuzz targets: a scratch folder of the process's own,
// writing an input to a file there, and a check that stops the run.
//
// The same target sources build twice: as libFuzzer executables (the fuzz
// build) and, with replaymain.cpp, as plain replay programs that run saved
// inputs under CTest. Both call LLVMFuzzerTestOneInput once per input.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "tonaroframework/base/fcstring.h"

namespace tonarofuzz {

// An invariant that must hold for every input. A failure prints what broke
// and aborts, which libFuzzer records as a crash (and the replay program as
// a failed test).
#define TONARO_FUZZ_CHECK(condition, what)                                                   \
    do {                                                                                   \
        if (!(condition)) {                                                                \
            std::fprintf(stderr, "fuzz invariant broken at %s:%d: %s\n", __FILE__, __LINE__, \
                         what);                                                            \
            std::abort();                                                                  \
        }                                                                                  \
    } while (0)

// A folder of this process's own in memory (or the temporary folder), made
// on first use and removed with its content when the process ends normally.
// The inputs of one run are written over one another in it. Empty when the
// folder could not be made.
class ScratchFolder {
public:
    static const std::string& Path()
    {
        static ScratchFolder folder;
        return folder._path;
    }

    // path/name; the folder is made when needed.
    static std::string File(const std::string& name) { return Path() + "/" + name; }

private:
    ScratchFolder()
    {
        std::string pattern = Parent() + "/tonaro-fuzz-" + std::to_string(getpid()) + "-XXXXXX";
        if (mkdtemp(pattern.data()) != nullptr) _path = pattern;
    }
    // Saving makes the engine and the streams flush every file to the disk;
    // in memory (/dev/shm) that costs nothing, so it is preferred.
    static std::string Parent()
    {
        if (access("/dev/shm", W_OK) == 0) return "/dev/shm";
        std::error_code error;
        return std::filesystem::temp_directory_path(error).string();
    }
    ~ScratchFolder()
    {
        std::error_code error;
        if (!_path.empty()) std::filesystem::remove_all(_path, error);
    }
    std::string _path;
};

// Writes the bytes to path (created or truncated); false when it failed.
inline bool WriteBytes(const std::string& path, const uint8_t* data, size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (size > 0) out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    return static_cast<bool>(out);
}

// The bytes as text, one code unit per byte (zero bytes included), the way
// the settings files read them.
inline void SetBytes(FCString* text, const uint8_t* data, size_t size)
{
    text->Clear();
    for (size_t i = 0; i < size; ++i) text->AppendCharacter(data[i]);
}

// Whether a text holds a code unit of value 0.
inline bool HasZeroUnit(const FCString& text)
{
    for (uint32_t i = 0; i < text.GetLength(); ++i)
        if (text.GetItemAt(static_cast<int>(i)) == 0) return true;
    return false;
}

}  // namespace tonarofuzz
