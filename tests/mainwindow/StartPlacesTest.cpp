// Where windows open (plain rectangles, pixels): a new chart window's corner
// in a cascade, and the windows of the last run spread when their places,
// saved on a larger screen, brought several to one place.

#include "mainwindow/StartupSettings.h"

#include <gtest/gtest.h>

using namespace tw;

namespace {
const QRect kArea(0, 0, 1280, 720);
const QSize kSize(400, 300);
constexpr int kStep = 24;
QPoint diagonal(int steps) { return QPoint(steps * kStep, steps * kStep); }
} // namespace

TEST(CascadedPlace, OnlyACornerWithinHalfAStepAcrossAndDownIsTaken)
{
    const QPoint corner(100, 50);
    EXPECT_EQ(cascadedPlace(kSize, corner, kStep, kArea, {QRect(corner + QPoint(11, -11), kSize)}).topLeft(),
              corner + diagonal(1));
    // Far below, far to the right, or half a step away: free.
    for (const QPoint other : {QPoint(100, 400), QPoint(600, 50), QPoint(100, 62), QPoint(88, 50)})
        EXPECT_EQ(cascadedPlace(kSize, corner, kStep, kArea, {QRect(other, kSize)}).topLeft(), corner) << other.y();
    // No larger than the work area.
    EXPECT_EQ(cascadedPlace(QSize(2000, 900), corner, kStep, kArea, {}), kArea);
}

TEST(CascadedPlace, TriesOneCornerMoreThanThereAreWindowsWrappingAtTheEdge)
{
    const QPoint corner(100, 50);
    QList<QRect> taken;
    for (int i = 3; i >= 0; --i)
        taken.append(QRect(corner + diagonal(i), kSize));
    EXPECT_EQ(cascadedPlace(kSize, corner, kStep, kArea, taken).topLeft(), corner + diagonal(4));
    // Past the bottom the cascade goes on at the top-left corner.
    const QPoint low(800, 400);
    EXPECT_EQ(cascadedPlace(kSize, low, kStep, kArea, {QRect(low, kSize), QRect(QPoint(0, 0), kSize)}).topLeft(),
              diagonal(1));
    // No corner free: the first one.
    EXPECT_EQ(cascadedPlace(kArea.size(), QPoint(0, 0), kStep, kArea, {kArea}), kArea);
}

TEST(SpreadStartPlaces, WindowsPushedIntoOnePlaceCascadeInTheirOrderOnTheirScreen)
{
    // Written at 1920x1080 (main window, 2-D #1 to #3, the 3-D window) and
    // brought onto 1280x720: #2, #3 and the 3-D window in one corner.
    const QSize chart(960, 540);
    const QRect main(0, 0, 960, 720), at(QPoint(320, 180), chart);
    const QList<QRect> spread = spreadStartPlaces(
        {{main, false}, {QRect(QPoint(320, 0), chart), true}, {at, true}, {at, true}, {at, true}}, kStep, {kArea});
    EXPECT_EQ(spread, (QList<QRect>{main, QRect(QPoint(320, 0), chart), at.translated(-diagonal(2)),
                                    at.translated(-diagonal(1)), at}));

    // Windows at their saved places stay, even one over another.
    const QRect right(1280, 0, 1280, 720), saved(QPoint(1800, 300), kSize);
    EXPECT_EQ(spreadStartPlaces({{saved, false}, {saved, false}}, kStep, {kArea, right}),
              (QList<QRect>{saved, saved}));
    // No room up and to the left on its screen: the first free corner from
    // the top-left corner of that screen.
    const QRect corner(QPoint(1280, 0), kSize);
    EXPECT_EQ(spreadStartPlaces({{QRect(1280, 0, 640, 720), false}, {corner, true}, {corner.translated(diagonal(1)), false}},
                                kStep, {kArea, right})
                  .at(1),
              corner.translated(diagonal(2)));
}
