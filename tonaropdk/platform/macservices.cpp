#include "tonaropdk/platform/macservices.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "tonaropdk/platform/fsref.h"

namespace {

constexpr int16_t kApplicationResFile = 1;

// The running program's file, or "" when it cannot be read.
std::string ExecutablePath()
{
    std::string buffer(4096, '\0');
    for (;;) {
        ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) return {};
        if (static_cast<size_t>(n) < buffer.size()) {
            buffer.resize(static_cast<size_t>(n));
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

// UTF-8 to UTF-16; false for malformed text or more than maxUnits units.
bool Utf8ToUtf16(const std::string& text, uint16_t* out, size_t maxUnits, size_t* units)
{
    size_t n = 0;
    for (size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        uint32_t cp = 0;
        size_t len = 0;
        if (c < 0x80) { cp = c; len = 1; }
        else if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; len = 2; }
        else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; len = 3; }
        else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; len = 4; }
        else return false;
        if (i + len > text.size()) return false;
        for (size_t k = 1; k < len; ++k) {
            unsigned char cc = static_cast<unsigned char>(text[i + k]);
            if ((cc & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        i += len;
        if (cp >= 0x10000) {
            if (n + 2 > maxUnits) return false;
            cp -= 0x10000;
            out[n++] = static_cast<uint16_t>(0xD800 + (cp >> 10));
            out[n++] = static_cast<uint16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            if (n + 1 > maxUnits) return false;
            out[n++] = static_cast<uint16_t>(cp);
        }
    }
    *units = n;
    return true;
}

}  // namespace

extern "C" {

int16_t CurResFile()
{
    return kApplicationResFile;
}

OSErr GetProcessInformation(const ProcessSerialNumber* process, ProcessInfoRec* info)
{
    if (!process || !info) return paramErr;
    if (info->processInfoLength != kProcessInfoRecLength && info->processInfoLength != sizeof(ProcessInfoRec))
        return paramErr;
    if (process->highLongOfPSN != 0 || process->lowLongOfPSN != kCurrentProcess) return procNotFound;

    const std::string exe = ExecutablePath();
    const size_t slash = exe.rfind('/');
    if (exe.empty() || slash == std::string::npos) return fnfErr;
    const std::string folder = slash == 0 ? std::string("/") : exe.substr(0, slash);
    const std::string name = exe.substr(slash + 1);

    // Build the file spec first so that a failure leaves the record untouched.
    TonPathSpec2012 spec{};
    if (info->processAppSpec) {
        OSStatus status = FSPathMakeRef(reinterpret_cast<const uint8_t*>(folder.c_str()), &spec.parent, nullptr);
        if (status != noErr) return static_cast<OSErr>(status);
        size_t units = 0;
        if (!Utf8ToUtf16(name, spec.name, 255, &units)) return paramErr;
        spec.nameLength = static_cast<uint16_t>(units);
    }

    if (info->processName) {
        const size_t len = std::min<size_t>(name.size(), 31);
        info->processName[0] = static_cast<uint8_t>(len);
        std::memcpy(info->processName + 1, name.data(), len);
    }
    if (info->processAppSpec) std::memcpy(info->processAppSpec, &spec, sizeof spec);
    info->processNumber = *process;
    info->processType = 0x4150504C;       // 'APPL'
    info->processSignature = 0x544F4E52;  // 'TONR'
    info->processMode = 0;
    info->processLocation = nullptr;
    info->processSize = 0;
    info->processFreeMem = 0;
    info->processLauncher = ProcessSerialNumber{0, 0};
    info->processLaunchDate = 0;
    info->processActiveTime = 0;
    return noErr;
}

OSErr Gestalt(uint32_t selector, int32_t* response)
{
    if (!response) return paramErr;
    if (selector == gestaltSystemVersion) {
        *response = kPlatformSystemVersion;
        return noErr;
    }
    return gestaltUndefSelectorErr;
}

}  // extern "C"
