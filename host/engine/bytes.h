// Little helpers to read and write fixed-width numbers at byte offsets of
// the host's records (which are little-endian, as is this platform).
#pragma once

#include <cstdint>
#include <cstring>

namespace tonaroengine {

template <typename T>
T ReadAt(const uint8_t* bytes, size_t offset)
{
    T value;
    std::memcpy(&value, bytes + offset, sizeof value);
    return value;
}

template <typename T>
void WriteAt(uint8_t* bytes, size_t offset, T value)
{
    std::memcpy(bytes + offset, &value, sizeof value);
}

}  // namespace tonaroengine
