// The one check every window place read from the settings goes through: any
// double at all (huge, tiny, not finite, near the ends of the 32-bit range)
// comes out as a rectangle on one of the screens, at most as large as it;
// a sane place that a screen holds is left to the pixel.
#include "app/CFormRestore.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using tw::CFormRestore;

namespace {

// Two screens side by side, the right one lower and with a panel on top.
const QList<QRect> kScreens = {QRect(0, 0, 1920, 1040), QRect(1920, 300, 1280, 724)};
const QRect kFallback(100, 100, 800, 600);

bool onSomeScreen(const QRect& r)
{
    for (const QRect& a : kScreens) {
        if (a.contains(r))
            return true;
    }
    return false;
}

struct Hostile {
    const char* name;
    double left, top, width, height;
};

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::nan("");

} // namespace

TEST(PlaceCheck, EveryHostilePlaceEndsOnAScreen)
{
    const Hostile table[] = {
        {"huge width", 100, 100, 200000000, 600},
        {"huge height", 100, 100, 800, 200000000},
        {"left 1e300", 1e300, 100, 800, 600},
        {"top -1e300", 100, -1e300, 800, 600},
        {"left 3e10", 3e10, 3e10, 800, 600},
        {"left near the lowest 32-bit integer", -2147483000.0, 100, 800, 600},
        {"right edge past the highest 32-bit integer", 2147483000.0, 2147483000.0, 2147483000.0, 2147483000.0},
        {"everything huge", 1e300, 1e300, 1e300, 1e300},
        {"infinities", kInf, -kInf, kInf, kInf},
        {"not a number", kNaN, kNaN, kNaN, kNaN},
        {"negative size", 100, 100, -800, -600},
        {"zero size", 100, 100, 0, 0},
        {"size below a pixel", 100, 100, 0.2, 0.4},
        {"lowest doubles", -1.7e308, -1.7e308, -1.7e308, -1.7e308},
    };
    for (const Hostile& h : table) {
        const QRect r = CFormRestore::checkedPixels(h.left, h.top, h.width, h.height, kFallback, kScreens);
        EXPECT_TRUE(onSomeScreen(r)) << h.name << ": " << r.x() << "," << r.y() << " " << r.width() << "x"
                                     << r.height();
        EXPECT_GE(r.width(), 1) << h.name;
        EXPECT_GE(r.height(), 1) << h.name;
    }
}

TEST(PlaceCheck, UnreadableValuesTakeTheFallbackAndSaneOnesStay)
{
    // A sane place on the first screen, and one across both screens, stay.
    EXPECT_EQ(CFormRestore::checkedPixels(40, 60, 900, 700, kFallback, kScreens), QRect(40, 60, 900, 700));
    EXPECT_EQ(CFormRestore::checkedPixels(1800, 400, 900, 500, kFallback, kScreens), QRect(1800, 400, 900, 500));
    // Not a number and no size: the fallback's values.
    EXPECT_EQ(CFormRestore::checkedPixels(kNaN, 60, -5, kNaN, kFallback, kScreens), QRect(100, 60, 800, 600));
    // Larger than the screen it is on: exactly that screen's work area.
    EXPECT_EQ(CFormRestore::checkedPixels(1950, 350, 5000, 5000, kFallback, kScreens), kScreens[1]);
    // The window's own minimum size wins over a smaller stored one; a place
    // the screen held stays above its bottom when the minimum makes it
    // taller (sideways it keeps its left edge).
    EXPECT_EQ(CFormRestore::checkedPixels(10, 10, 20, 20, kFallback, kScreens, QSize(500, 300)),
              QRect(10, 10, 500, 300));
    EXPECT_EQ(CFormRestore::checkedPixels(1700, 900, 200, 100, kFallback, kScreens, QSize(500, 300)),
              QRect(1700, 740, 500, 300));
    // Without any screen the place is only made finite and clamped.
    const QRect noScreen = CFormRestore::checkedPixels(1e300, -1e300, 1e300, 10, kFallback, {});
    EXPECT_EQ(noScreen, QRect(int(CFormRestore::MaxPixels), -int(CFormRestore::MaxPixels),
                              int(CFormRestore::MaxPixels), 10));
}

TEST(PlaceCheck, APlacePartlyOffTheScreensComesWholeOntoTheOneHoldingMostOfIt)
{
    // Written on a 1920 x 1080 screen, read on one of 1366 x 768: the left
    // half loses what lies below the screen, the lower right quarter moves
    // in whole; off the second screen's right edge, onto that screen.
    const QList<QRect> laptop{QRect(0, 0, 1366, 768)};
    EXPECT_EQ(CFormRestore::checkedPixels(0, 0, 960, 1080, kFallback, laptop), QRect(0, 0, 960, 768));
    EXPECT_EQ(CFormRestore::checkedPixels(960, 540, 960, 540, kFallback, laptop), QRect(406, 228, 960, 540));
    EXPECT_EQ(CFormRestore::checkedPixels(2800, 400, 800, 500, kFallback, kScreens), QRect(2400, 400, 800, 500));
}

TEST(PlaceCheck, TwipsGoThroughTheSameCheck)
{
    // 15 twips a pixel: a sane place stays exactly, an absurd one lands on
    // a screen, in whole pixels.
    const QRectF sane(1500, 1200, 9600, 7800);
    EXPECT_EQ(CFormRestore::checkedTwips(sane, QRectF(), 15, kScreens), sane);
    const QRectF absurd = CFormRestore::checkedTwips(QRectF(1e300, 3e10, 200000000, 1e300), QRectF(0, 0, 6000, 4500),
                                                     15, kScreens);
    const QRect px(int(absurd.x() / 15), int(absurd.y() / 15), int(absurd.width() / 15), int(absurd.height() / 15));
    EXPECT_TRUE(onSomeScreen(px));
    EXPECT_EQ(std::fmod(absurd.width(), 15.0), 0.0);
    // A screen scale that is not a number counts as 96 dots per inch.
    EXPECT_EQ(CFormRestore::checkedTwips(sane, QRectF(), kNaN, kScreens), sane);
}

TEST(PlaceCheck, CentringKeepsTheSizeAndRoundsHalvesToEven)
{
    EXPECT_EQ(CFormRestore::centredOn(QRect(0, 0, 400, 301), QRect(0, 0, 1024, 768)), QRect(312, 234, 400, 301));
    EXPECT_EQ(CFormRestore::centredOn(QRect(7, 9, 401, 300), QRect(0, 0, 1024, 768)), QRect(312, 234, 401, 300));
    // On a second screen the centre is that screen's.
    EXPECT_EQ(CFormRestore::centredOn(QRect(0, 0, 400, 300), QRect(1920, 300, 1280, 724)),
              QRect(1920 + 440, 300 + 212, 400, 300));
}
