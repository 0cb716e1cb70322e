// Regions of the score: a run of staves (slots of an instrument list) across a
// run of measures, with inclusive start and end positions.
#pragma once

#include "tonaropdk/hostapi/fxtypes.h"

#pragma pack(push, 1)

struct EREGION {
    uint16_t startInstList;  // 0: instrument list of the start slot (0 = global)
    int16_t startSlot;       // 2: 1 is the top staff
    int16_t startMeas;       // 4
    int32_t startPos;        // 6: duration units
    uint16_t endInstList;    // 10
    int16_t endSlot;         // 12
    int16_t endMeas;         // 14
    int32_t endPos;          // 16: EREGION_ENDOFMEASURE = to the end of the measure
};
static_assert(sizeof(EREGION) == 20);

// The third, small record that FX_GetCurERegions fills; plug-ins ignore it.
struct EREGIONINFO {
    int16_t document;  // document the selection belongs to
    int16_t flags;     // the host's
    int32_t reserved;
};
static_assert(sizeof(EREGIONINFO) == 8);

#pragma pack(pop)

constexpr int32_t EREGION_ENDOFMEASURE = 0x7FFFFFFF;
