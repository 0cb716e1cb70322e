// Where a respelled note goes relative to its old pitch. The direction popup
// of the dialog lists the values in this order, so a popup index is the value.
#pragma once

#include <cstdint>

enum PITCHDIRECTION : int32_t {
    PITCHDIRECTION_UP = 0,       // "Up": ends at or above the old pitch
    PITCHDIRECTION_DOWN = 1,     // "Down": ends at or below the old pitch
    PITCHDIRECTION_CLOSEST = 2,  // "Closest": ends within 5 semitones
};

// value clamped into the range of PITCHDIRECTION: above 2 gives CLOSEST,
// below 0 gives UP.
constexpr PITCHDIRECTION ClampPitchDirection(int value)
{
    if (value < PITCHDIRECTION_UP) return PITCHDIRECTION_UP;
    if (value > PITCHDIRECTION_CLOSEST) return PITCHDIRECTION_CLOSEST;
    return static_cast<PITCHDIRECTION>(value);
}
