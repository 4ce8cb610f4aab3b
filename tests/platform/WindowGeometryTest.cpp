// Restored window places: a place that a screen holds enough of is left
// alone; one that lies off every screen comes back onto the screen that
// holds most of it, or onto the nearest screen, shrunk where it is larger.
#include "platform/WindowGeometry.h"

#include <gtest/gtest.h>

using tw::platform::keepOnScreen;

namespace {

// Two screens side by side, the right one lower and with a panel on top.
const QList<QRect> kTwoScreens = {QRect(0, 0, 1920, 1040), QRect(1920, 300, 1280, 724)};

bool inside(const QRect& r, const QRect& area) { return area.contains(r); }

} // namespace

TEST(KeepOnScreen, LeavesAPlaceThatAScreenHoldsEnoughOf)
{
    const QRect onFirst(100, 100, 800, 600);
    EXPECT_EQ(keepOnScreen(onFirst, kTwoScreens), onFirst);
    // Across both screens, mostly on the second: still reachable.
    const QRect across(1800, 400, 900, 500);
    EXPECT_EQ(keepOnScreen(across, kTwoScreens), across);
}

TEST(KeepOnScreen, MovesAPlaceOffEveryScreenOntoTheNearestOne)
{
    // Far right of the second screen: comes back onto the second screen.
    const QRect right = keepOnScreen(QRect(5000, 500, 800, 600), kTwoScreens);
    EXPECT_TRUE(inside(right, kTwoScreens[1])) << right.x() << "," << right.y();
    EXPECT_EQ(right.size(), QSize(800, 600));
    // Far left: the first screen.
    const QRect left = keepOnScreen(QRect(-3000, 200, 800, 600), kTwoScreens);
    EXPECT_TRUE(inside(left, kTwoScreens[0]));
    // Below the second screen: the second, not the first in the list.
    const QRect below = keepOnScreen(QRect(2400, 2000, 400, 300), kTwoScreens);
    EXPECT_TRUE(inside(below, kTwoScreens[1]));
}

TEST(KeepOnScreen, TitleBarAboveTheWorkAreaAndOversizedPlacesAreFixed)
{
    // The title bar above the second screen's panel cannot be grabbed.
    const QRect high = keepOnScreen(QRect(2000, 200, 600, 400), kTwoScreens);
    EXPECT_GE(high.top(), 300);
    EXPECT_TRUE(inside(high, kTwoScreens[1]));
    // Larger than the screen it lands on: shrunk to it.
    const QRect big = keepOnScreen(QRect(6000, 300, 3000, 2000), kTwoScreens);
    EXPECT_EQ(big, kTwoScreens[1]);
    // Without screens nothing is known: the place stays.
    EXPECT_EQ(keepOnScreen(QRect(-500, -500, 10, 10), {}), QRect(-500, -500, 10, 10));
}
