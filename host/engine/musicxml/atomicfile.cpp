#include "host/engine/musicxml/atomicfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace tonaroengine::musicxml {

bool WriteFileAtomically(const std::string& path, const void* data, size_t size, std::string* why)
{
    std::string pattern = path + ".tmp-XXXXXX";
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
    bool ok = fchmod(fd, mode) == 0;
    const char* bytes = static_cast<const char*>(data);
    size_t written = 0;
    while (ok && written < size) {
        const ssize_t n = write(fd, bytes + written, size - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) ok = false;
        else written += static_cast<size_t>(n);
    }
    if (ok) ok = fsync(fd) == 0;
    const int savedErrno = errno;
    if (close(fd) != 0) ok = false;
    if (ok && rename(name.data(), path.c_str()) != 0) ok = false;
    if (!ok) {
        *why = std::string("cannot write the file: ") + std::strerror(errno ? errno : savedErrno);
        unlink(name.data());
        return false;
    }
    return true;
}

}  // namespace tonaroengine::musicxml
