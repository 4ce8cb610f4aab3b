// The sweep of the 2-D charts: the X values of every axis, what the series
// hold (profit or loss, percent, greeks in one unit, past expiration), and
// the time range the legs give.
#include "ChartLegs.h"

#include "charts/ChartSweep.h"
#include "model/PositionValue.h"
#include "model/statmath.h"

#include <gtest/gtest.h>

using namespace tw;
using test::chartLeg;

namespace {

constexpr double kDate = test::kChartDate;

SweepInput input(int32_t axisX, int32_t axisY = 5)
{
    SweepInput in;
    in.StockDate = kDate;
    in.AxisX = axisX;
    in.AxisY = axisY;
    in.Percent = false;
    return in;
}

// A long call and a short put, 30 and 60 days out, worth 500 and 120.
const std::vector<LegRow> kLegs = {chartLeg(LegKind::Call, LegPosition::Long, 50, 30, 2, 2.5, "OPT"),
                                   chartLeg(LegKind::Put, LegPosition::Short, 45, 60, 1, 1.2, "OPT")};

void expectSteps(const std::vector<double>& x, double first, double step)
{
    ASSERT_EQ(x.size(), 100u);
    for (int p = 0; p < 100; ++p)
        EXPECT_NEAR(x[p], first + p * step, 1e-9) << p;
}

} // namespace

TEST(ChartSweep, XValuesOfEveryAxis)
{
    SweepInput in = input(ChartParam::StockPrice);
    SweepTable t = sweepChart(kLegs, in);
    EXPECT_STREQ(t.xTitle, "Stock price");
    expectSteps(t.x, 0, 2); // 0, 2, .., 198: one step short of the upper bound
    in.ranges.MinStockPrice = 20;
    in.ranges.MaxStockPrice = 60;
    expectSteps(sweepChart(kLegs, in).x, 20, 0.4);

    // Volatility 1 .. 100 % and rate 0.01 .. 1.00, whatever their ranges.
    in = input(ChartParam::Volatility);
    in.ranges.MaxVolatility = 20000;
    t = sweepChart(kLegs, in);
    EXPECT_STREQ(t.xTitle, "Volatility");
    expectSteps(t.x, 1, 1);
    in = input(ChartParam::InterestRate);
    t = sweepChart(kLegs, in);
    EXPECT_STREQ(t.xTitle, "Riskfree interest rate");
    expectSteps(t.x, 0.01, 0.01);

    // Time from the fixed time to the upper bound, backwards when the fixed
    // time lies above it.
    in = input(ChartParam::Time);
    in.ranges.ExpirationValue = 10;
    in.ranges.MaxExpiration = 44;
    t = sweepChart(kLegs, in);
    EXPECT_STREQ(t.xTitle, "Time");
    expectSteps(t.x, 10, 0.34);
    EXPECT_NEAR(t.x.back(), 43.66, 1e-9);
    in.ranges.ExpirationValue = 100;
    t = sweepChart(kLegs, in);
    expectSteps(t.x, 100, -0.56);
    EXPECT_NEAR(t.x.back(), 44.56, 1e-9);

    // An X parameter outside 1..4 computes nothing.
    t = sweepChart(kLegs, input(7));
    EXPECT_STREQ(t.xTitle, "");
    EXPECT_EQ(t.series, 3);
    EXPECT_EQ(t.values, std::vector<double>(300, 0.0));
}

TEST(ChartSweep, EveryPointIsThePositionValueThere)
{
    // Stock price axis: every point is CalcPositionValue at that price, the
    // fixed volatility and rate, and each leg's time counted from the fixed
    // time.
    SweepInput in = input(ChartParam::StockPrice);
    in.Model = PricingModel::BinomialAmerican;
    in.Steps = 40;
    in.Dividends = 0.02;
    in.ranges.ExpirationValue = 5;
    in.Percent = true;
    const SweepTable t = sweepChart(kLegs, in);
    ASSERT_EQ(t.series, 3);
    std::vector<LegRow> copy = kLegs;
    copy[0].timeToExpiry = 25 / 365.0;
    copy[1].timeToExpiry = 55 / 365.0;
    for (int p : {0, 1, 37, 99}) {
        const auto r = CalcPositionValue(copy, t.x[p], 0.4, 0.05, 2, 5, true, true, false, 40, 0.02, false);
        for (int s = 0; s < 3; ++s)
            EXPECT_DOUBLE_EQ(t.at(p, s), r[s]) << p << "/" << s;
    }

    // The volatility axis moves sigma only: a long call gains with it.
    in = input(ChartParam::Volatility);
    const SweepTable v = sweepChart(kLegs, in);
    EXPECT_LT(v.at(10, 0), v.at(90, 0));
    EXPECT_NEAR(v.at(10, 2), v.at(10, 0) + v.at(10, 1), 1e-9);
}

TEST(ChartSweep, PastExpirationALegIsWorthItsIntrinsicValue)
{
    // Time axis 0 .. 44 at S = 55: from day 30 on the call (strike 50) is
    // worth S - K, so its profit is (5 - 2.50) x 2 x 100, flat.
    SweepInput in = input(ChartParam::Time);
    in.ranges.StockPriceValue = 55;
    in.ranges.MaxExpiration = 44;
    const SweepTable t = sweepChart(kLegs, in);
    for (int p = 0; p < 100; ++p) {
        if (t.x[p] >= 30)
            EXPECT_DOUBLE_EQ(t.at(p, 0), 500) << t.x[p];
        else
            EXPECT_GT(t.at(p, 0), 500) << t.x[p]; // time value still left
    }
    // The put, 60 days out, still has time value at the end of the axis.
    EXPECT_LT(t.at(99, 1), 120);
}

TEST(ChartSweep, PercentTotalAndTheZeroBase)
{
    // A leg whose value is 0 is divided by 0.001: its money value x 100000.
    std::vector<LegRow> legs = {chartLeg(LegKind::Call, LegPosition::Long, 50, 0, 1, 0, "OPT")};
    SweepInput in = input(ChartParam::StockPrice);
    in.ranges.MinStockPrice = 60;
    in.ranges.MaxStockPrice = 160;
    in.Percent = true;
    SweepTable t = sweepChart(legs, in);
    ASSERT_EQ(t.series, 2);
    EXPECT_DOUBLE_EQ(t.at(0, 0), (60 - 50) * 100 / 0.001 * 100);
    EXPECT_DOUBLE_EQ(t.at(0, 1), t.at(0, 0)); // the sum's base is 0 as well

    // Without the total: only the legs, no "Sum" column.
    in.Total = false;
    t = sweepChart(kLegs, in);
    EXPECT_EQ(t.series, 2);
    EXPECT_EQ(t.values.size(), 200u);
}

TEST(ChartSweep, GreeksOfTheLegsAndTheSumShareOneUnit)
{
    // Two calls long, one put short, 100 shares short: every line is that
    // leg's position figure, the sum the sum of the lines.
    std::vector<LegRow> legs = kLegs;
    legs.push_back(chartLeg(LegKind::Stock, LegPosition::Short, 0, 0, 100, 50, "ZYX"));
    for (int32_t y : {6, 7, 8}) {
        SweepInput in = input(ChartParam::StockPrice, y);
        in.ranges.MinStockPrice = 40;
        in.ranges.MaxStockPrice = 60;
        in.Model = PricingModel::BinomialAmerican;
        in.Steps = 60;
        in.Percent = true; // does not apply to greeks
        const SweepTable t = sweepChart(legs, in);
        ASSERT_EQ(t.series, 4);
        for (int p : {0, 50, 99}) {
            const double S = t.x[p];
            const double call = BinomialAmerican(1, S, 50, 30 / 365.0, 0.05, 0.4, 0, 1, 60, y);
            const double put = BinomialAmerican(-1, S, 45, 60 / 365.0, 0.05, 0.4, 0, 1, 60, y);
            EXPECT_NEAR(t.at(p, 0), 200 * call, 1e-9) << y;
            EXPECT_NEAR(t.at(p, 1), -100 * put, 1e-9) << y;
            EXPECT_EQ(t.at(p, 2), y == 6 ? -100.0 : 0.0) << y;
            EXPECT_NEAR(t.at(p, 3), t.at(p, 0) + t.at(p, 1) + t.at(p, 2), 1e-9) << y;
        }
    }
}

TEST(ChartSweep, TimeRangeOfTheLegs)
{
    EXPECT_EQ(maxExpirationOf(LegsArray(), kDate), 0);
    EXPECT_EQ(maxExpirationOf(LegsArray(std::vector<LegRow>{}), kDate), 14);
    EXPECT_EQ(maxExpirationOf(LegsArray(std::vector<LegRow>{
                                  chartLeg(LegKind::Stock, LegPosition::Long, 0, 0, 10, 50, "ZYX")}),
                              kDate),
              14);
    // Options that expired before the analysis date count as day 0.
    EXPECT_EQ(maxExpirationOf(LegsArray(std::vector<LegRow>{chartLeg(LegKind::Put, 2, 50, -20, 1, 1, "OPT")}), kDate),
              14);
    EXPECT_EQ(maxExpirationOf(LegsArray(kLegs), kDate), 74);
    // An option the chain does not hold has no expiration.
    LegRow missing = chartLeg(LegKind::Call, 2, 50, 400, 1, 1, "OPT");
    missing.resolved = false;
    EXPECT_EQ(maxExpirationOf(LegsArray(std::vector<LegRow>{kLegs[0], missing}), kDate), 44);
    // A far date cannot overflow the range.
    EXPECT_EQ(maxExpirationOf(LegsArray(std::vector<LegRow>{chartLeg(LegKind::Call, 2, 50, 0, 1, 1, "OPT")}), -1e300),
              INT32_MAX);
}
