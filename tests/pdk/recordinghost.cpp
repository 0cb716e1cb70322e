#include "tests/pdk/recordinghost.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <tuple>

#include "tonaropdk/hostapi/fxfunctions.h"

namespace pdkhost {

namespace {

using Key = std::tuple<EDTAG, uint16_t, uint16_t>;

struct HostState {
    std::map<Key, std::vector<uint8_t>> records;
    std::vector<HostCall> calls;
    std::vector<std::string> alerts;
    std::map<EDTAG, std::vector<uint8_t>> partialLoads;
    bool savesFail = false;
};

HostState& State()
{
    static HostState state;
    return state;
}

uint16_t Word(const void* address, int index)
{
    if (address == nullptr) return 0;
    uint16_t word = 0;
    std::memcpy(&word, static_cast<const uint8_t*>(address) + 2 * index, sizeof word);
    return word;
}

void Log(const char* function, EDTAG tag, const void* address, uint32_t size, uint32_t version, bool hadBuffer)
{
    State().calls.push_back({function, tag, Word(address, 0), Word(address, 1), size, version, hadBuffer});
}

}  // namespace

void Reset()
{
    State() = HostState{};
}

const std::vector<HostCall>& Calls()
{
    return State().calls;
}

void ClearCalls()
{
    State().calls.clear();
}

std::vector<HostCall> CallsOf(const std::string& function)
{
    std::vector<HostCall> out;
    for (const HostCall& call : State().calls) {
        if (call.function == function) out.push_back(call);
    }
    return out;
}

const std::vector<std::string>& Alerts()
{
    return State().alerts;
}

void PutRecord(EDTAG tag, uint16_t cmper, uint16_t inci, const std::vector<uint8_t>& bytes)
{
    State().records[{tag, cmper, inci}] = bytes;
}

bool GetRecord(EDTAG tag, uint16_t cmper, uint16_t inci, std::vector<uint8_t>* bytes)
{
    auto it = State().records.find({tag, cmper, inci});
    if (it == State().records.end()) return false;
    if (bytes != nullptr) *bytes = it->second;
    return true;
}

void SetPartialLoad(EDTAG tag, const std::vector<uint8_t>& bytes)
{
    State().partialLoads[tag] = bytes;
}

void SetSavesFail(bool fail)
{
    State().savesFail = fail;
}

}  // namespace pdkhost

using pdkhost::State;

extern "C" {

int16_t FX_LoadEData(EDTAG tag, void* address, void* buffer, uint32_t* size, uint32_t version)
{
    pdkhost::Log("FX_LoadEData", tag, address, size ? *size : 0, version, buffer != nullptr);
    if (size == nullptr || address == nullptr) return 0;
    auto partial = State().partialLoads.find(tag);
    if (partial != State().partialLoads.end()) {
        if (buffer != nullptr) {
            std::memcpy(buffer, partial->second.data(), std::min<size_t>(*size, partial->second.size()));
        }
        return 0;
    }
    std::vector<uint8_t> bytes;
    if (!pdkhost::GetRecord(tag, pdkhost::Word(address, 0), pdkhost::Word(address, 1), &bytes)) return 0;
    if (buffer == nullptr) {
        *size = static_cast<uint32_t>(bytes.size());
        return 1;
    }
    const uint32_t copied = std::min<uint32_t>(*size, static_cast<uint32_t>(bytes.size()));
    std::memcpy(buffer, bytes.data(), copied);
    *size = copied;
    return 1;
}

int16_t FX_SaveEData(EDTAG tag, void* address, const void* buffer, uint32_t size, uint32_t version)
{
    pdkhost::Log("FX_SaveEData", tag, address, size, version, buffer != nullptr);
    if (State().savesFail || address == nullptr || buffer == nullptr) return 0;
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    pdkhost::PutRecord(tag, pdkhost::Word(address, 0), pdkhost::Word(address, 1),
                       std::vector<uint8_t>(bytes, bytes + size));
    return 1;
}

int16_t FX_CreateEData(EDTAG tag, void* address, const void* buffer, uint32_t size, uint32_t version)
{
    pdkhost::Log("FX_CreateEData", tag, address, size, version, buffer != nullptr);
    return 1;
}

int16_t FX_NextEData(EDTAG tag, void* address, void* buffer, uint32_t size, uint32_t version)
{
    pdkhost::Log("FX_NextEData", tag, address, size, version, buffer != nullptr);
    return 0;
}

int16_t FX_PreviousEData(EDTAG tag, void* address, void* buffer, uint32_t size, uint32_t version)
{
    pdkhost::Log("FX_PreviousEData", tag, address, size, version, buffer != nullptr);
    return 0;
}

int16_t FX_DeleteEData(EDTAG tag, void* address, uint32_t version)
{
    pdkhost::Log("FX_DeleteEData", tag, address, 0, version, false);
    return 1;
}

int16_t FX_AlertMessage(int32_t zero1, int32_t zero2, int32_t zero3, const char* text, uint32_t version)
{
    pdkhost::Log("FX_AlertMessage", static_cast<EDTAG>(zero1 | zero2 | zero3), nullptr, 0, version, text != nullptr);
    State().alerts.push_back(text != nullptr ? text : "");
    return 1;
}

int16_t FX_SlotToInst(uint16_t slot, uint16_t instList, uint32_t version)
{
    pdkhost::Log("FX_SlotToInst", instList, nullptr, slot, version, false);
    return static_cast<int16_t>(-static_cast<int>(slot));
}

}  // extern "C"
