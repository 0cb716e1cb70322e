#include "host/engine/musicxml/atomicfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace tonaroengine::musicxml {

bool WriteFileAtomically(const std::string& path, const std::function<bool(std::FILE*)>& fill, std::string* why)
{
    const std::string pattern = path + ".tmp-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back(0);
    const int fd = mkstemp(name.data());
    if (fd < 0) {
        *why = std::string("cannot create a file beside the target: ") + std::strerror(errno);
        return false;
    }
    struct stat existing{};
    mode_t mode = 0;
    if (stat(path.c_str(), &existing) == 0) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    std::FILE* stream = fchmod(fd, mode) == 0 ? fdopen(fd, "wb") : nullptr;
    if (!stream) {
        *why = std::string("cannot write the file: ") + std::strerror(errno);
        close(fd);
        unlink(name.data());
        return false;
    }
    std::setvbuf(stream, nullptr, _IOFBF, 1 << 20);
    bool ok = fill(stream);
    ok = std::fflush(stream) == 0 && ok;
    ok = ok && fsync(fd) == 0;
    int error = errno;
    if (std::fclose(stream) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && rename(name.data(), path.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        *why = std::string("cannot write the file: ") + std::strerror(error ? error : EIO);
        unlink(name.data());
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
