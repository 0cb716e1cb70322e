// The rectangle exchanged between framework windows and their platform
// controller.
//
// Integer pixels, 16-bit signed, in the order top, left, bottom, right, with
// y growing downwards. Window frames are measured on the screen (the frame
// includes the title bar); control rectangles inside the window's content
// area, from its top-left corner.
#pragma once

#include <cstdint>

struct Rect {
    int16_t top = 0;
    int16_t left = 0;
    int16_t bottom = 0;
    int16_t right = 0;
};

// Clamps a pixel value into the 16-bit range of a Rect side.
inline int16_t RectSide(int value)
{
    if (value < INT16_MIN) return INT16_MIN;
    if (value > INT16_MAX) return INT16_MAX;
    return static_cast<int16_t>(value);
}
