// Result codes of the classic services that the platform layer stands in for.
#pragma once

#include <cstdint>

using OSErr = int16_t;
using OSStatus = int32_t;

constexpr OSErr noErr = 0;
constexpr OSErr paramErr = -50;                  // a null or malformed argument
constexpr OSErr fnfErr = -43;                    // the file or folder does not exist
constexpr OSErr procNotFound = -600;             // no such process
constexpr OSErr buffersTooSmall = -607;          // the output buffer cannot hold the answer
constexpr OSErr gestaltUndefSelectorErr = -5551; // unknown Gestalt selector
