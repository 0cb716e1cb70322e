// Bridge functions for the host's typed records. Besides forwarding they match
// the version word to the structure size, make up for host loaders that fail
// on some records, and emulate preference records through other records.
#include <algorithm>
#include <array>
#include <cstring>

#include "tonaropdk/bridge/editcounters.h"
#include "tonaropdk/bridge/fxbridge.h"
#include "tonaropdk/bridge/hostfunction.h"
#include "tonaropdk/bridge/prefemulation.h"
#include "tonaropdk/bridge/versionadjust.h"
#include "tonaropdk/hostapi/recordtags.h"

namespace {

constexpr uint32_t kArticulationDefSize = 48;
constexpr uint32_t kFretInstrumentDefSize = 108;
constexpr uint32_t kStaffSystemDataSize = 66;
constexpr EDTAG kTagStaffSystemOther = 0x6F745344;  // 'otSD'

// Records written by older callers keep the old save path: the host takes
// them as they are, without preference emulation.
constexpr uint32_t kLastUnemulatedSaveVersion = 0x07FFFFFF;

int16_t ReadCmper(const void* address)
{
    int16_t cmper = 0;
    std::memcpy(&cmper, address, sizeof cmper);
    return cmper;
}

// The host's loaders of these records fill part of the buffer and then report
// failure. The buffer is cleared first; whatever the host wrote counts as a
// loaded record.
int16_t LoadPartlyFilledRecord(decltype(&FX_LoadEData) host, EDTAG tag, void* address, void* buffer,
                               uint32_t* size, uint32_t version, uint32_t recordSize)
{
    const uint32_t cleared = std::min(*size, recordSize);
    std::memset(buffer, 0, cleared);
    const int16_t result = host(tag, address, buffer, size, version);
    if (result != 0) return result;
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    return std::any_of(bytes, bytes + cleared, [](uint8_t byte) { return byte != 0; }) ? 1 : 0;
}

// Staff system data that the host does not keep exists nonetheless, with
// default (zero) contents, when its other record does.
int16_t LoadStaffSystemData(decltype(&FX_LoadEData) host, EDTAG tag, void* address, void* buffer, uint32_t* size,
                            uint32_t version)
{
    const int16_t result = host(tag, address, buffer, size, version);
    if (result != 0) return result;

    EDataAddress otherAddress{{static_cast<uint16_t>(ReadCmper(address)), 0, 0, 0}};
    std::array<uint8_t, 12> other{};
    uint32_t otherSize = static_cast<uint32_t>(other.size());
    if (FX_LoadEData(kTagStaffSystemOther, &otherAddress, other.data(), &otherSize, FXT_VERSION_2012) == 0) return 0;

    if (buffer != nullptr) {
        const uint32_t cleared = std::min(*size, kStaffSystemDataSize);
        std::memset(buffer, 0, cleared);
        *size = cleared;
    } else {
        *size = kStaffSystemDataSize;
    }
    return 1;
}

}  // namespace

extern "C" {

int16_t FX_LoadEData(EDTAG tag, void* address, void* buffer, uint32_t* size, uint32_t version)
{
    if (size == nullptr) return 0;
    TONARO_RESOLVE_HOST_FUNCTION(FX_LoadEData);
    if (fpProc == nullptr) return 0;

    version = HandleVeltraVersion(tag, *size, version);

    // Without an address block there is no cmper to go by: the host decides.
    if (address == nullptr) return fpProc(tag, address, buffer, size, version);

    if (buffer != nullptr && tag == TAG_ARTICULATIONDEF) {
        return LoadPartlyFilledRecord(fpProc, tag, address, buffer, size, version, kArticulationDefSize);
    }
    if (buffer != nullptr && tag == TAG_FRETINSTRUMENTDEF) {
        return LoadPartlyFilledRecord(fpProc, tag, address, buffer, size, version, kFretInstrumentDefSize);
    }
    if (tag == TAG_STAFFSYSTEMDATA) return LoadStaffSystemData(fpProc, tag, address, buffer, size, version);

    bool emulated = false;
    const bool loaded = LoadEmulatedPreference(tag, ReadCmper(address), buffer, size, &emulated);
    if (emulated) return loaded ? 1 : 0;

    return fpProc(tag, address, buffer, size, version);
}

int16_t FX_SaveEData(EDTAG tag, void* address, const void* buffer, uint32_t size, uint32_t version)
{
    TONARO_RESOLVE_HOST_FUNCTION(FX_SaveEData);
    ++RecordChangeCounter;
    if (fpProc == nullptr) return 0;

    const uint32_t callerVersion = version;
    version = HandleVeltraVersion(tag, size, version);
    if (callerVersion <= kLastUnemulatedSaveVersion || address == nullptr) {
        return fpProc(tag, address, buffer, size, version);
    }

    bool emulated = false;
    const bool saved = SaveEmulatedPreference(tag, ReadCmper(address), buffer, size, &emulated);
    if (emulated) return saved ? 1 : 0;

    return fpProc(tag, address, buffer, size, version);
}

int16_t FX_CreateEData(EDTAG tag, void* address, const void* buffer, uint32_t size, uint32_t version)
{
    TONARO_RESOLVE_HOST_FUNCTION(FX_CreateEData);
    ++RecordChangeCounter;
    if (fpProc == nullptr) return 0;
    return fpProc(tag, address, buffer, size, HandleVeltraVersion(tag, size, version));
}

int16_t FX_DeleteEData(EDTAG tag, void* address, uint32_t version)
{
    TONARO_RESOLVE_HOST_FUNCTION(FX_DeleteEData);
    ++RecordChangeCounter;
    if (fpProc == nullptr) return 0;
    return fpProc(tag, address, version);
}

int16_t FX_NextEData(EDTAG tag, void* address, void* buffer, uint32_t size, uint32_t version)
{
    TONARO_RESOLVE_HOST_FUNCTION(FX_NextEData);
    if (fpProc == nullptr) return 0;
    return fpProc(tag, address, buffer, size, HandleVeltraVersion(tag, size, version));
}

int16_t FX_PreviousEData(EDTAG tag, void* address, void* buffer, uint32_t size, uint32_t version)
{
    TONARO_RESOLVE_HOST_FUNCTION(FX_PreviousEData);
    if (fpProc == nullptr) return 0;
    return fpProc(tag, address, buffer, size, HandleVeltraVersion(tag, size, version));
}

}  // extern "C"
