// Where a tool window opens: beside the selection, else at the document
// window's top right, and always inside the screen.
#include <gtest/gtest.h>

#include "tonaroframework/ui/windowplacement.h"

namespace {

Rect R(int left, int top, int right, int bottom)
{
    Rect rect;
    rect.left = static_cast<int16_t>(left);
    rect.top = static_cast<int16_t>(top);
    rect.right = static_cast<int16_t>(right);
    rect.bottom = static_cast<int16_t>(bottom);
    return rect;
}

void ExpectRect(const Rect& actual, const Rect& expected)
{
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    EXPECT_EQ(actual.right, expected.right);
    EXPECT_EQ(actual.bottom, expected.bottom);
}

const Rect kScreen = R(0, 0, 1600, 1000);
const Rect kOwner = R(100, 50, 1100, 750);

TEST(WindowPlacement, BesideTheSelectionWhereThereIsRoom)
{
    // Right of it, level with its top.
    ExpectRect(PlaceFrameBesideSelection(400, 470, R(200, 200, 600, 400), kOwner, kScreen), R(608, 200, 1008, 670));
    // No room on the right: on the left; level as far as the screen allows.
    ExpectRect(PlaceFrameBesideSelection(400, 470, R(700, 600, 1500, 700), kOwner, kScreen), R(292, 530, 692, 1000));
    // Neither side: below.
    ExpectRect(PlaceFrameBesideSelection(400, 470, R(300, 100, 1300, 400), kOwner, kScreen), R(300, 408, 700, 878));
    // Only above is free.
    ExpectRect(PlaceFrameBesideSelection(400, 470, R(300, 500, 1300, 800), kOwner, kScreen), R(300, 22, 700, 492));
}

TEST(WindowPlacement, TheTopRightOfTheDocumentWindowWithoutRoomOrSelection)
{
    ExpectRect(PlaceFrameBesideSelection(400, 470, R(0, 0, 1600, 1000), kOwner, kScreen), R(692, 58, 1092, 528));
    ExpectRect(PlaceFrameBesideSelection(400, 470, Rect(), kOwner, kScreen), R(692, 58, 1092, 528));
}

TEST(WindowPlacement, FramesAreKeptOnTheScreen)
{
    ExpectRect(KeepFrameOnScreen(R(1500, -40, 1918, 460), kScreen), R(1182, 0, 1600, 500));
    ExpectRect(KeepFrameOnScreen(R(-30, 900, 370, 1370), kScreen), R(0, 530, 400, 1000));
    // Larger than the screen: its top-left corner stays on it.
    ExpectRect(KeepFrameOnScreen(R(-10, -10, 1990, 1290), kScreen), R(0, 0, 2000, 1300));
    ExpectRect(KeepFrameOnScreen(R(10, 20, 30, 40), Rect()), R(10, 20, 30, 40));
}

}  // namespace
