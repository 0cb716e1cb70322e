// Stand-ins for the classic process services that a plug-in calls when it is
// loaded: the current resource file, the running process's information and
// Gestalt. All functions are safe to call at any time and from any thread.
#pragma once

#include <cstdint>

#include "tonaropdk/hostapi/tonpathspec.h"
#include "tonaropdk/platform/macerrors.h"
#include "tonaropdk/platform/platformexport.h"

extern "C" {

struct ProcessSerialNumber {
    uint32_t highLongOfPSN;
    uint32_t lowLongOfPSN;
};

// The serial number that names the calling process.
constexpr uint32_t kCurrentProcess = 2;

// The classic length of the process information record; GetProcessInformation
// accepts it as well as sizeof(ProcessInfoRec).
constexpr uint32_t kProcessInfoRecLength = 60;

// What GetProcessInformation fills. The caller sets processInfoLength and,
// when it wants them, processName (a buffer of at least 32 bytes that
// receives the program's file name as a Pascal string, at most 31
// characters) and processAppSpec (receives the program file as folder +
// name). Both pointers may be null; they belong to the caller.
struct ProcessInfoRec {
    uint32_t processInfoLength;
    uint8_t* processName;
    ProcessSerialNumber processNumber;
    uint32_t processType;       // 'APPL'
    uint32_t processSignature;  // the program's four-character signature
    uint32_t processMode;
    void* processLocation;
    uint32_t processSize;
    uint32_t processFreeMem;
    ProcessSerialNumber processLauncher;
    uint32_t processLaunchDate;
    uint32_t processActiveTime;
    TonPathSpec2012* processAppSpec;
};

// The reference number of the current resource file: always the program's
// own, a fixed positive number.
TONARO_PLATFORM_API int16_t CurResFile();

// Information about a process; only the current process ({0,
// kCurrentProcess}) is known (procNotFound otherwise). paramErr for a null
// argument or an unknown record length; on error *info is unchanged.
TONARO_PLATFORM_API OSErr GetProcessInformation(const ProcessSerialNumber* process, ProcessInfoRec* info);

// System information by selector. 'sysv' answers the system version
// 0x1070. gestaltUndefSelectorErr for other selectors, paramErr for a null
// response; *response is left alone on error.
TONARO_PLATFORM_API OSErr Gestalt(uint32_t selector, int32_t* response);

}  // extern "C"

constexpr uint32_t gestaltSystemVersion = 0x73797376;  // 'sysv'
constexpr int32_t kPlatformSystemVersion = 0x1070;
