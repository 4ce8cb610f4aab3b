// The texts of the 2-D chart windows: captions and titles by mode, the
// selector's scroll ranges and formats, the read-out and the summary.
#include "charts/ChartTexts.h"

#include "app/Convert.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace tw;

namespace {
const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);
const QLocale kGerman(QLocale::German, QLocale::Germany);
} // namespace

TEST(ChartTexts, CaptionsAndTitlesByMode)
{
    EXPECT_EQ(chartCaption("XYZ", 6, 3, "Profit/Loss"), "XYZ - 2D Chart: Delta by time");
    EXPECT_EQ(chartCaption("XYZ", 5, 1, "Profit/Loss"), "XYZ - 2D Chart: Profit/Loss by stock price");
    EXPECT_EQ(chartCaption("", 5, 2, "Position worth"), " - 2D Chart: Position worth by volatility");
    EXPECT_EQ(chartCaption("A", 8, 4, "x"), "A - 2D Chart: Theta by interest rate");
    EXPECT_EQ(chartCaption("A", 9, 0, "x"), "A - 2D Chart: Unknown by unknown");

    EXPECT_EQ(xLabelOf(5), nullptr); // an unknown X keeps the label it had

    EXPECT_EQ(axisYTitle(5, "Position worth", true), "Position worth (%)");
    EXPECT_EQ(axisYTitle(5, "Profit/Loss", false), "Profit/Loss ");
    EXPECT_EQ(axisYTitle(6, "Profit/Loss", true), "Delta"); // percent is no unit of a greek
    EXPECT_EQ(axisYTitle(4, "Profit/Loss", true), "");

    EXPECT_EQ(axisYButtonCaption(5, "Position worth"), "Y: Position worth");
}

TEST(ChartTexts, SelectorRangesAndFormats)
{
    ChartRanges g;
    g.MinStockPrice = 20;
    g.MaxStockPrice = 60;
    g.StockPriceValue = 40;
    ScrollLoad load = scrollLoadOf(ChartParam::StockPrice, g);
    EXPECT_EQ(load.minimum, 2000);
    EXPECT_EQ(load.value, 4000);
    EXPECT_EQ(load.maximum, 6000);
    EXPECT_EQ(formatParamValue(ChartParam::StockPrice, 4000, kEnglish), "40.00");

    // 45.678 shows as 4568 on the bar; only moving the bar stores hundredths.
    g.StockPriceValue = 45.678;
    EXPECT_EQ(scrollLoadOf(ChartParam::StockPrice, g).value, 4568);
    EXPECT_EQ(g.StockPriceValue, 45.678);
    storeParamValue(ChartParam::StockPrice, 4568, g);
    EXPECT_DOUBLE_EQ(g.StockPriceValue, 45.68);
    // Hundredths are rounded halves to even; a price beyond the bar's reach
    // is held at its end.
    g.MinStockPrice = 0.125;
    g.MaxStockPrice = 1e300;
    load = scrollLoadOf(ChartParam::StockPrice, g);
    EXPECT_EQ(load.minimum, 12);
    EXPECT_EQ(load.maximum, std::numeric_limits<int>::max());

    const ChartRanges defaults;
    load = scrollLoadOf(ChartParam::Volatility, defaults);
    EXPECT_EQ((std::array{load.minimum, load.value, load.maximum}), (std::array{1, 4000, 20000}));
    EXPECT_EQ(formatParamValue(ChartParam::Volatility, 4000, kEnglish), "40.00 %");
    load = scrollLoadOf(ChartParam::InterestRate, defaults);
    EXPECT_EQ((std::array{load.minimum, load.value, load.maximum}), (std::array{0, 500, 10000}));
    EXPECT_EQ(formatParamValue(ChartParam::InterestRate, 500, kEnglish), "5.00 %");
    load = scrollLoadOf(ChartParam::Time, defaults);
    EXPECT_EQ((std::array{load.minimum, load.value, load.maximum}), (std::array{0, 0, 365}));
    EXPECT_EQ(formatParamValue(ChartParam::Time, 44, kEnglish), "44 days");
    EXPECT_EQ(formatParamValue(ChartParam::Time, 0, kEnglish), "0 days");
    EXPECT_EQ(formatParamValue(ChartParam::StockPrice, 5, kEnglish), "0.05");
    EXPECT_EQ(formatParamValue(ChartParam::Volatility, 4050, kGerman), "40,50 %");
    EXPECT_EQ(formatParamValue(0, 4000, kEnglish), "");
    load = scrollLoadOf(0, defaults);
    EXPECT_EQ((std::array{load.minimum, load.value, load.maximum}), (std::array{0, 0, 0}));

}

TEST(ChartTexts, XValuesOfTheReadout)
{
    double x = 52.5;
    EXPECT_EQ(formatXValue(1, x, kEnglish), "52.50");
    x = -3.25;
    EXPECT_EQ(formatXValue(1, x, kEnglish), "-3.25"); // a price is not clamped
    EXPECT_EQ(x, -3.25);
    x = 40.4;
    EXPECT_EQ(formatXValue(2, x, kEnglish), "40 %");
    x = -2;
    EXPECT_EQ(formatXValue(3, x, kEnglish), "0 day(s)");
    EXPECT_EQ(x, 0.0); // where the crosshair then stands
    x = 0.052;
    EXPECT_EQ(formatXValue(4, x, kEnglish), "5 %");
    x = -0.1;
    EXPECT_EQ(formatXValue(4, x, kEnglish), "0 %");
    EXPECT_EQ(x, 0.0);
    x = 1234.5;
    EXPECT_EQ(formatXValue(7, x, kEnglish), "1,234.50");

    EXPECT_EQ(readoutText("Price: ", "52.50", "Profit/Loss ", 120, kEnglish),
              "Price: 52.50     Profit/Loss : 120.00          ");
    EXPECT_EQ(readoutText("Elapsed time: ", "3 day(s)", "Delta", -1234.567, kEnglish),
              "Elapsed time: 3 day(s)     Delta: -1,234.57          ");
}

TEST(ChartTexts, ParameterSummary)
{
    const double date = serialFromDate(QDate(2004, 3, 19));
    const QString day = kEnglish.toString(QDate(2004, 3, 19), QLocale::ShortFormat);
    EXPECT_EQ(paramsSummary(ChartRanges(), date, kEnglish),
              "Stock Price: 50.00    Volatility: 40%    Interest rate: 5%    Time: 0 days (" + day + ")");
    // A time of day after noon shows the next day; the fixed time is added.
    ChartRanges g;
    g.StockPriceValue = 1234.5;
    g.VolatilityValue = 3360;
    g.RiskValue = 25;
    g.ExpirationValue = 10;
    const QString later = kEnglish.toString(QDate(2004, 3, 30), QLocale::ShortFormat);
    EXPECT_EQ(paramsSummary(g, date + 0.75, kEnglish),
              "Stock Price: 1,234.50    Volatility: 34%    Interest rate: 0%    Time: 10 days (" + later + ")");
    // No date at all (no chain loaded): the text names none, not day 0 of
    // the serials.
    for (const double none : {std::nan(""), std::numeric_limits<double>::infinity()})
        EXPECT_EQ(paramsSummary(g, none, kEnglish),
                  "Stock Price: 1,234.50    Volatility: 34%    Interest rate: 0%    Time: 10 days");
}
