#include "platform/GridValue.h"

#include <QDate>
#include <QDateTime>
#include <gtest/gtest.h>

using tw::platform::formatGridValue;
using tw::platform::GridValue;

namespace {

double serialOf(const QDateTime& dt)
{
    const QDate base(1899, 12, 30);
    return static_cast<double>(base.daysTo(dt.date())) + dt.time().msecsSinceStartOfDay() / 86400000.0;
}

const QLocale c = QLocale::c();

struct Case {
    const char* name;
    GridValue value;
    const char* format;
    const char* expected;
};

class FormatTest : public ::testing::TestWithParam<Case> {};

TEST_P(FormatTest, ShowsTheExpectedText)
{
    const Case& k = GetParam();
    EXPECT_EQ(formatGridValue(k.value, QString::fromUtf8(k.format), c).toStdString(), std::string(k.expected))
        << k.name;
}

const double friday = serialOf(QDateTime(QDate(2024, 1, 5), QTime(14, 7, 9)));

INSTANTIATE_TEST_SUITE_P(
    GridValue, FormatTest,
    ::testing::Values(
        // Plain forms.
        Case{"empty", GridValue(), "", ""}, Case{"text", GridValue("abc"), "", "abc"},
        Case{"text keeps its form under a format", GridValue("12.5"), "0.00", "12.5"},
        Case{"integer", GridValue(42), "", "42"}, Case{"negative integer", GridValue(-7), "", "-7"},
        Case{"large integer", GridValue::integer(9007199254740993LL), "", "9007199254740993"},
        Case{"number", GridValue(1.5), "", "1.5"}, Case{"binary fraction noise", GridValue(0.1 + 0.2), "", "0.3"},
        Case{"zero", GridValue(0.0), "", "0"},
        Case{"money drops trailing zeros", GridValue::money(455000), "", "45.5"},
        Case{"money whole", GridValue::money(450000), "", "45"},
        Case{"money four decimals", GridValue::money(-12345), "", "-1.2345"},
        Case{"money smallest unit", GridValue::money(1), "", "0.0001"},
        // Numeric patterns.
        Case{"0.00", GridValue(0.5), "0.00", "0.50"}, Case{"#.00 below one", GridValue(0.5), "#.00", ".50"},
        Case{"#.00 whole", GridValue(45.0), "#.00", "45.00"}, Case{"#.00 half", GridValue(7.5), "#.00", "7.50"},
        Case{"decimal rounding", GridValue(2.675), "0.00", "2.68"},
        Case{"halves away from zero", GridValue(-2.5), "0", "-3"},
        Case{"rounded to zero has no sign", GridValue(-0.001), "0.00", "0.00"},
        Case{"thousands", GridValue(1234567.891), "#,##0.00", "1,234,567.89"},
        Case{"thousands zero", GridValue(0.0), "#,##0.00", "0.00"},
        Case{"literal prefix", GridValue(1234.5), "$#,##0.00", "$1,234.50"},
        Case{"percent", GridValue(0.256), "0%", "26%"},
        Case{"optional decimals 1", GridValue(1.5), "0.0#", "1.5"},
        Case{"optional decimals 2", GridValue(1.256), "0.0#", "1.26"},
        Case{"padded integer", GridValue(5), "000", "005"}, Case{"# of zero", GridValue(0.0), "#", ""},
        Case{"negative section", GridValue(-5), "0;(0)", "(5)"},
        Case{"zero section", GridValue(0.0), "0.00;-0.00;\"zero\"", "zero"},
        Case{"money pattern", GridValue::money(455000), "0.00", "45.50"},
        Case{"money exact rounding", GridValue::money(12345), "0.000", "1.235"},
        Case{"named Fixed", GridValue(3.14159), "Fixed", "3.14"},
        Case{"named Standard", GridValue(1234.5), "Standard", "1,234.50"},
        Case{"named Percent", GridValue(0.5), "Percent", "50.00%"},
        // Date patterns.
        Case{"mmm yy", GridValue::date(friday), "mmm yy", "Jan 24"},
        Case{"dd/mm/yyyy", GridValue::date(friday), "dd/mm/yyyy", "05/01/2024"},
        Case{"long month", GridValue::date(friday), "d mmmm yyyy", "5 January 2024"},
        Case{"m after h is minutes", GridValue::date(friday), "hh:mm:ss", "14:07:09"},
        Case{"twelve hours", GridValue::date(friday), "h:nn AM/PM", "2:07 PM"},
        Case{"day name", GridValue::date(friday), "dddd", "Friday"},
        Case{"number read as a date serial", GridValue(friday), "yyyy-mm-dd", "2024-01-05"},
        Case{"date under a numeric pattern", GridValue::date(45000.5), "0.0", "45000.5"}));

TEST(GridValuePlainDate, DateOnlyAtMidnightTimeOtherwise)
{
    const QDate d(2023, 3, 15);
    const double serial = static_cast<double>(QDate(1899, 12, 30).daysTo(d));
    EXPECT_EQ(formatGridValue(GridValue::date(serial), {}, c), c.toString(d, QLocale::ShortFormat));
    EXPECT_EQ(formatGridValue(GridValue::date(serial + 0.5), {}, c),
              c.toString(d, QLocale::ShortFormat) + QStringLiteral(" 12:00:00"));
    EXPECT_EQ(formatGridValue(GridValue::date(0.25), {}, c), QStringLiteral("06:00:00"));
    EXPECT_EQ(formatGridValue(GridValue::date(serial), QStringLiteral("Short Date"), c),
              c.toString(d, QLocale::ShortFormat));
}

TEST(GridValueLocale, SeparatorsFollowTheLocale)
{
    const QLocale de(QLocale::German, QLocale::Germany);
    EXPECT_EQ(formatGridValue(GridValue(1.5), {}, de), QStringLiteral("1,5"));
    EXPECT_EQ(formatGridValue(GridValue::money(455000), {}, de), QStringLiteral("45,5"));
    EXPECT_EQ(formatGridValue(GridValue(1234.5), QStringLiteral("#,##0.00"), de), QStringLiteral("1.234,50"));
}

TEST(GridValueCompare, TypeAndValueBothCount)
{
    EXPECT_EQ(GridValue(5), GridValue::integer(5));
    EXPECT_NE(GridValue(5), GridValue(5.0));
    EXPECT_NE(GridValue::money(50000), GridValue(5));
    EXPECT_DOUBLE_EQ(GridValue::money(12345).toDouble(), 1.2345);
    EXPECT_TRUE(GridValue().isEmpty());
}

} // namespace
