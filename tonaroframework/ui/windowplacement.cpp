#include "tonaroframework/ui/windowplacement.h"

#include <algorithm>

namespace {

Rect MakeRect(int left, int top, int width, int height)
{
    Rect rect;
    rect.left = RectSide(left);
    rect.top = RectSide(top);
    rect.right = RectSide(left + width);
    rect.bottom = RectSide(top + height);
    return rect;
}

// start moved into [low, high - length] when that range exists, else low.
int Fit(int start, int length, int low, int high)
{
    if (start + length > high) start = high - length;
    return std::max(start, low);
}

}  // namespace

bool IsRectEmpty(const Rect& rect) { return rect.right <= rect.left || rect.bottom <= rect.top; }

bool RectsIntersect(const Rect& a, const Rect& b)
{
    if (IsRectEmpty(a) || IsRectEmpty(b)) return false;
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool RectContains(const Rect& outer, const Rect& inner)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

Rect KeepFrameOnScreen(const Rect& frame, const Rect& screen)
{
    if (IsRectEmpty(screen)) return frame;
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    return MakeRect(Fit(frame.left, width, screen.left, screen.right), Fit(frame.top, height, screen.top, screen.bottom),
                    width, height);
}

Rect PlaceFrameBesideSelection(int width, int height, const Rect& selection, const Rect& owner, const Rect& screen)
{
    width = std::max(0, width);
    height = std::max(0, height);
    const int gap = kWindowPlacementGap;
    if (!IsRectEmpty(selection)) {
        const int levelTop = Fit(selection.top, height, screen.top, screen.bottom);
        const int levelLeft = Fit(selection.left, width, screen.left, screen.right);
        const Rect beside[] = {
            MakeRect(selection.right + gap, levelTop, width, height),
            MakeRect(selection.left - gap - width, levelTop, width, height),
            MakeRect(levelLeft, selection.bottom + gap, width, height),
            MakeRect(levelLeft, selection.top - gap - height, width, height),
        };
        for (const Rect& frame : beside) {
            if (RectContains(screen, frame) && !RectsIntersect(frame, selection)) return frame;
        }
    }
    const int right = owner.right - gap - width;
    const int bottom = owner.bottom - gap - height;
    const int left = owner.left + gap;
    const int top = owner.top + gap;
    const Rect corners[] = {
        MakeRect(right, top, width, height),
        MakeRect(right, bottom, width, height),
        MakeRect(left, top, width, height),
        MakeRect(left, bottom, width, height),
    };
    if (!IsRectEmpty(selection)) {
        for (const Rect& corner : corners) {
            const Rect frame = KeepFrameOnScreen(corner, screen);
            if (!RectsIntersect(frame, selection)) return frame;
        }
    }
    return KeepFrameOnScreen(corners[0], screen);
}
