// Where a floating tool window goes on the screen: beside the part of the
// score that the user selected, and always inside the visible screen.
//
// Pure geometry on Rects (screen pixels, y down, right and bottom
// exclusive); no window is touched. An empty rectangle is one whose right
// is not beyond its left or whose bottom is not below its top.
#pragma once

#include "tonaroframework/ui/windowrect.h"

// Room kept between a placed window and the selection or the screen edge.
inline constexpr int kWindowPlacementGap = 8;

bool IsRectEmpty(const Rect& rect);
// Whether the two rectangles share any pixel (never for an empty one).
bool RectsIntersect(const Rect& a, const Rect& b);
// Whether inner lies wholly inside outer.
bool RectContains(const Rect& outer, const Rect& inner);

// frame moved (never resized) so that it lies inside screen: a frame wider or
// taller than the screen keeps its left or top edge on the screen's. An
// empty screen leaves frame as it is.
Rect KeepFrameOnScreen(const Rect& frame, const Rect& screen);

// The frame of a width x height window opened for a selection shown in
// owner (the document window's frame), inside screen:
// 1. beside the selection, where a window fits on the screen without
//    covering it: right of it, then left, below, above (level with the
//    selection's top or left edge as far as the screen allows);
// 2. else in a corner inside owner that does not cover the selection:
//    top right, bottom right, top left, bottom left;
// 3. else (or without a selection) at the top right corner inside owner.
// The answer is always kept on the screen (KeepFrameOnScreen).
Rect PlaceFrameBesideSelection(int width, int height, const Rect& selection, const Rect& owner, const Rect& screen);
