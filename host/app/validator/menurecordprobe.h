// Calling a plug-in's enumeration entry point on a record that is watched:
// the record is filled with a known byte and followed by a guard of the
// same byte, so that a call that writes past the record, or writes while
// answering 0, shows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/app/validator/pluginmodule.h"

namespace tonaroapp::validator {

// One enumeration call and the bytes it left.
struct EnumerateProbe {
    int16_t answer = 0;
    size_t recordSize = 0;
    std::vector<uint8_t> buffer;  // the record, then the guard

    bool GuardIntact() const;     // nothing written past the record
    bool RecordUntouched() const; // nothing written into the record
};

// Calls enumerate(null context, index, record) on a watched record of the
// 8-bit or the UTF-16 form. enumerate must not be null.
EnumerateProbe ProbeEnumerate(EnumerateFn enumerate, int16_t index, bool utf16);

// The texts of a record that was filled; problem is empty when the record
// is sound (three terminated texts, a non-empty menu text, the 32-bit field
// after them 0), else it tells the first fault.
struct MenuTexts {
    std::string problem;
    std::string menuText;
    std::string description;
    std::string shortName;
};

MenuTexts ReadMenuRecord(const EnumerateProbe& probe, bool utf16);

}  // namespace tonaroapp::validator
