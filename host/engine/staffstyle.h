// A staff style: a change to a staff's setup over a stretch of the
// music (from a start measure and position to an end measure and position,
// both inclusive). The setup in force at a place ('SOSC') is the
// staff's own with every style that covers the place applied, in the order
// in which the styles were added.
#pragma once

#include <cstdint>
#include <optional>

#include "tonaropdk/hostapi/eregion.h"

namespace tonaroengine {

struct StaffStyle {
    int16_t startMeasure = 1;
    int32_t startPosition = 0;
    int16_t endMeasure = 0x7FFF;                 // to the end of the piece by default
    int32_t endPosition = EREGION_ENDOFMEASURE;  // to the end of the end measure
    std::optional<int16_t> transposition;        // transposition word (offset 20)
    std::optional<int16_t> clef;                 // clef index (offset 0)
    std::optional<uint16_t> notationStyle;       // notation-style word (offset 10)
};

}  // namespace tonaroengine
