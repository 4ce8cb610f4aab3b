#include "app/Convert.h"
#include "app/TwError.h"

#include <gtest/gtest.h>

using namespace tw;

TEST(Convert, RoundingHalvesToEvenAndOverflow)
{
    const std::pair<double, double> cases[] = {{2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {0.5, 0}, {1.5, 2},
                                               {2.4999, 2}, {2.5001, 3}, {-0.4, 0}, {7, 7}};
    for (const auto& [in, out] : cases)
        EXPECT_EQ(roundHalfEven(in), out) << in;
    EXPECT_EQ(toInt16(32767.4), 32767);
    EXPECT_THROW(toInt16(32767.5), TwError);
    EXPECT_EQ(toInt32(-2147483648.0), INT32_MIN);
    EXPECT_THROW(toInt32(2147483648.0), TwError);
    EXPECT_THROW(toInt32(std::numeric_limits<double>::quiet_NaN()), TwError);
}

TEST(Convert, TextsAsNumbersAndFlags)
{
    EXPECT_EQ(parseNumber(QStringLiteral(" 12.5 ")), 12.5);
    EXPECT_FALSE(parseNumber(QStringLiteral("12,5")).has_value());
    EXPECT_FALSE(parseNumber(QStringLiteral("abc")).has_value());
    EXPECT_FALSE(parseNumber(QStringLiteral("inf")).has_value());
    EXPECT_EQ(parseBool(QStringLiteral("TRUE")), true);
    EXPECT_EQ(parseBool(QStringLiteral("false")), false);
    EXPECT_EQ(parseBool(QStringLiteral("-1")), true);
    EXPECT_EQ(parseBool(QStringLiteral("0")), false);
    EXPECT_FALSE(parseBool(QStringLiteral("yes")).has_value());
}

TEST(Convert, TwipsColoursAndDateSerials)
{
    EXPECT_DOUBLE_EQ(twipsPerPixel(96), 15.0);
    EXPECT_EQ(pixelsFromTwips(1500, 96), 100);
    EXPECT_EQ(pixelsFromTwips(22.5, 96), 2); // 1.5 px rounds to even
    EXPECT_DOUBLE_EQ(twipsFromPixels(500, 120), 6000.0);

    const QColor c = colorFromBgr(0x00C08040);
    EXPECT_EQ(c, QColor(0x40, 0x80, 0xC0));
    EXPECT_EQ(bgrFromColor(c), 0x00C08040u);

    EXPECT_EQ(serialFromDate(QDate(1899, 12, 30)), 0.0);
    EXPECT_EQ(serialFromDate(QDate(1900, 1, 1)), 2.0);
    EXPECT_EQ(serialFromDate(QDate(2004, 2, 21)), 38038.0);
    EXPECT_EQ(dateFromSerial(38038.75), QDate(2004, 2, 21));
    EXPECT_EQ(dateTimeFromSerial(38038.75), QDateTime(QDate(2004, 2, 21), QTime(18, 0)));
    EXPECT_DOUBLE_EQ(serialFromDateTime(QDateTime(QDate(2004, 2, 21), QTime(6, 0))), 38038.25);
}
