// Where windows open: a new chart window's corner in a cascade, and the
// windows of the last run spread when their places, saved on a larger
// screen, brought several to one place. Plain rectangles (pixels).

#include "mainwindow/StartupSettings.h"

#include <gtest/gtest.h>

using namespace tw;

namespace {

const QRect kArea(0, 0, 1280, 720);
const QSize kSize(400, 300);
constexpr int kStep = 23;

} // namespace

TEST(CascadedPlace, TakesTheCornerAskedForWhileItIsFreeAndOnTheWorkArea)
{
    EXPECT_EQ(cascadedPlace(kSize, QPoint(100, 50), kStep, kArea, {}), QRect(QPoint(100, 50), kSize));
    // Larger than the work area: as large as the work area, from its corner.
    EXPECT_EQ(cascadedPlace(QSize(2000, 900), QPoint(100, 50), kStep, kArea, {}), kArea);
    // A corner where the window would leave the work area starts again at
    // its top-left corner.
    EXPECT_EQ(cascadedPlace(kSize, QPoint(1000, 50), kStep, QRect(10, 20, 1270, 700), {}),
              QRect(QPoint(10, 20), kSize));
    EXPECT_EQ(cascadedPlace(kSize, QPoint(100, 500), kStep, kArea, {}), QRect(QPoint(0, 0), kSize));
}

TEST(CascadedPlace, OnlyAWindowWithItsCornerWithinHalfAStepTakesACorner)
{
    const QPoint corner(100, 50);
    // Within half a step across and down: taken.
    EXPECT_EQ(cascadedPlace(kSize, corner, kStep, kArea, {QRect(QPoint(111, 39), kSize)}).topLeft(),
              corner + QPoint(kStep, kStep));
    // A window at the same left far below, or at the same top far to the
    // right, or half a step away, leaves the corner free.
    for (const QPoint other : {QPoint(100, 400), QPoint(600, 50), QPoint(100, 62), QPoint(88, 50)}) {
        const QPoint delta = other - corner;
        EXPECT_EQ(cascadedPlace(kSize, corner, 24, kArea, {QRect(other, kSize)}).topLeft(), corner)
            << delta.x() << "," << delta.y();
    }
}

TEST(CascadedPlace, FindsTheFreeCornerAfterAsManyTakenAsThereAreWindows)
{
    const QPoint corner(100, 50);
    QList<QRect> taken;
    for (int i = 0; i < 4; ++i)
        taken.append(QRect(corner + QPoint(i * kStep, i * kStep), kSize));
    // Four windows on the first four corners: the fifth corner is free.
    EXPECT_EQ(cascadedPlace(kSize, corner, kStep, kArea, taken).topLeft(), corner + QPoint(4 * kStep, 4 * kStep));
    // Taken in any order, and with windows elsewhere besides.
    std::reverse(taken.begin(), taken.end());
    taken.append(QRect(QPoint(900, 300), kSize));
    EXPECT_EQ(cascadedPlace(kSize, corner, kStep, kArea, taken).topLeft(), corner + QPoint(4 * kStep, 4 * kStep));
}

TEST(CascadedPlace, GoesOnFromTheTopLeftCornerWhenTheDiagonalEnds)
{
    // The corner after the one asked for leaves the work area: the cascade
    // goes on at its top-left corner, passing a window there.
    const QPoint corner(800, 400);
    const QList<QRect> taken{QRect(corner, kSize), QRect(QPoint(0, 0), kSize)};
    EXPECT_EQ(cascadedPlace(kSize, corner, kStep, kArea, taken).topLeft(), QPoint(kStep, kStep));
    // A window as large as the work area has one corner only: when that is
    // taken, it opens there all the same.
    EXPECT_EQ(cascadedPlace(kArea.size(), QPoint(0, 0), kStep, kArea, {kArea}), kArea);
}

// What File > Exit wrote at 1920x1080 (the main window on the left half, the
// 2-D charts #1 to #3 and the 3-D window), as the checks of a saved place
// bring it onto 1280x720: #2, #3 and the 3-D window pushed into the bottom
// right corner, at one place.
TEST(SpreadStartPlaces, WindowsPushedIntoOnePlaceCascadeInTheirOrder)
{
    const QSize chart(960, 540);
    const QList<StartPlace> fitted{{QRect(0, 0, 960, 720), false},
                                   {QRect(QPoint(320, 0), chart), true},
                                   {QRect(QPoint(320, 180), chart), true},
                                   {QRect(QPoint(320, 180), chart), true},
                                   {QRect(QPoint(320, 180), chart), true}};
    const QList<QRect> spread = spreadStartPlaces(fitted, kStep, {kArea});
    EXPECT_EQ(spread, (QList<QRect>{QRect(0, 0, 960, 720), QRect(QPoint(320, 0), chart),
                                    QRect(QPoint(320 - 2 * kStep, 180 - 2 * kStep), chart),
                                    QRect(QPoint(320 - kStep, 180 - kStep), chart), QRect(QPoint(320, 180), chart)}));
}

TEST(SpreadStartPlaces, OnlyMovedWindowsMoveAndEachStaysOnItsWorkArea)
{
    const QRect left(0, 0, 1280, 720), right(1280, 0, 1280, 720);
    // Windows at their saved places stay, even one over another; nothing
    // moved, nothing changes.
    const QList<StartPlace> kept{{QRect(QPoint(50, 50), kSize), false}, {QRect(QPoint(50, 50), kSize), false}};
    EXPECT_EQ(spreadStartPlaces(kept, kStep, {left, right}), (QList<QRect>{kept[0].place, kept[1].place}));

    // A moved window over one at its saved place goes up and left of it,
    // on its own screen.
    const QList<StartPlace> second{{QRect(QPoint(1800, 300), kSize), false}, {QRect(QPoint(1800, 300), kSize), true}};
    EXPECT_EQ(spreadStartPlaces(second, kStep, {left, right}).at(1), QRect(QPoint(1800 - kStep, 300 - kStep), kSize));

    // No room up and to the left: the first free corner of a cascade from
    // the work area's top-left corner, which the main window has.
    const QList<StartPlace> corner{{QRect(1280, 0, 640, 720), false},
                                   {QRect(QPoint(1280, 0), kSize), true},
                                   {QRect(QPoint(1280 + kStep, kStep), kSize), false}};
    EXPECT_EQ(spreadStartPlaces(corner, kStep, {left, right}).at(1),
              QRect(QPoint(1280 + 2 * kStep, 2 * kStep), kSize));
}
