#include "host/engine/musicxml/atomicfile.h"

#include <cerrno>
#include <cstring>

#include "tonaropdk/platform/atomicreplace.h"

namespace tonaroengine::musicxml {

bool WriteFileAtomically(const std::string& path, const std::function<bool(std::FILE*)>& fill, std::string* why)
{
    TonaroAtomicReplacement replacement;
    int error = 0;
    if (!replacement.Begin(path, "wb", &error)) {
        *why = std::string("cannot create a file beside the target: ") + std::strerror(error);
        return false;
    }
    std::setvbuf(replacement.Stream(), nullptr, _IOFBF, 1 << 20);
    if (!fill(replacement.Stream())) {
        // The reason is the failed write beneath the stream when there was one.
        error = replacement.WriteError();
        replacement.Abandon();
        *why = std::string("cannot write the file: ") + std::strerror(error ? error : EIO);
        return false;
    }
    if (!replacement.Commit(&error)) {
        *why = std::string("cannot write the file: ") + std::strerror(error);
        return false;
    }
    return true;
}

bool WriteFileAtomically(const std::string& path, const void* data, size_t size, std::string* why)
{
    return WriteFileAtomically(
        path, [&](std::FILE* stream) { return size == 0 || std::fwrite(data, 1, size, stream) == size; }, why);
}

}  // namespace tonaroengine::musicxml
