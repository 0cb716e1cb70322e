// The running host version word.
//
// The host announces its version when it asks for the plug-in's version;
// the framework chooses by it wherever the host changed its structures or
// conventions. The major version is in the top byte and the minor in the
// next (0x12000000 is major 18, 0x11000000 major 17). Until the host sets it,
// the word is 0x12000000.
#pragma once

#include <cstdint>

// Stores the version word for the rest of the process's life.
void SetTonaroFrameworkVersion(uint32_t version);

// The stored version word (0x12000000 until set).
uint32_t GetTonaroFrameworkVersion();
