#pragma once
// The sweep behind a 2-D chart window: one parameter (stock price,
// volatility, time or interest rate) runs over 100 points while the three
// others stay at their fixed values, and every leg is valued at every point.
// The result is the X values and a 100 x series table (one series per leg and,
// with the total switch, a "Sum" series), ready to be loaded into the chart.
//
// UI-free: the window only feeds the table to its chart control.

#include "model/LegsArray.h"

#include <cstdint>
#include <span>
#include <vector>

namespace tw {

// The chart parameters, numbered as everywhere in the chart windows: the X
// axis, the fixed-parameter box's item data and the saved settings.
namespace ChartParam {
constexpr int32_t StockPrice = 1;
constexpr int32_t Volatility = 2;
constexpr int32_t Time = 3;
constexpr int32_t InterestRate = 4;
} // namespace ChartParam

// The number of points of every sweep.
constexpr int SweepPoints = 100;

// The four parameters' ranges and fixed values, at first those a new chart
// window starts with. Volatility and interest rate are whole numbers of
// 1/10000 (4000 = 40 %); time is whole days after the analysis date; the
// stock price is in money units.
struct ChartRanges {
    double MinStockPrice = 0, MaxStockPrice = 200, StockPriceValue = 50;
    int32_t MinVolatility = 1, MaxVolatility = 20000, VolatilityValue = 4000;
    int32_t MinExpiration = 0, MaxExpiration = 365, ExpirationValue = 0;
    int32_t MinRisk = 0, MaxRisk = 10000, RiskValue = 500;
};

// Everything a sweep depends on besides the legs.
struct SweepInput {
    ChartRanges ranges;
    double StockDate = 0;     // day 0 of the time axis (date serial)
    int32_t AxisX = ChartParam::StockPrice;
    int32_t AxisY = 5;        // 5 value, 6 delta, 7 gamma, 8 theta
    bool Percent = true;      // value in percent of the legs' value
    bool Total = true;        // add the "Sum" series
    bool TimeValue = false;   // option time value only
    int32_t Model = 0;        // 0 Black-Scholes, 1 binomial European, 2 binomial American
    int32_t Steps = 0;        // binomial steps
    double Dividends = 0;     // dividend yield, a fraction
};

struct SweepTable {
    // X values of the 100 points: money for the stock price, percent for the
    // volatility, days for the time, a fraction for the interest rate.
    std::vector<double> x;
    // The number of series: the legs, plus one for "Sum" with the total.
    int series = 0;
    // Point-major: values[p * series + s].
    std::vector<double> values;
    // The X axis title; empty for an X parameter outside 1..4 (whose table
    // stays all zero).
    const char* xTitle = "";

    double at(int point, int s) const { return values[static_cast<size_t>(point) * series + s]; }
};

// The X axis title of a sweep along `axisX`: "Stock price", "Volatility",
// "Time", "Riskfree interest rate"; empty outside 1..4.
const char* sweepXTitle(int32_t axisX);

// Sweeps the legs: the table of one drawing. For each point, every option
// leg's time to expiry is its whole days from the analysis date, less the
// fixed time (or, on the time axis, the point's time), over 365; past its
// expiration a leg is worth its intrinsic value.
//
//   X          start               step                 X value
//   stock      MinStockPrice       (max - min) / 100    the price
//   volatility 0.01                0.01                 percent (1 .. 100)
//   time       ExpirationValue     (max - fixed) / 100  days
//   rate       0.01                0.01                 the fraction
void sweepChart(SweepTable& out, std::span<const LegRow> legs, const SweepInput& in);
SweepTable sweepChart(std::span<const LegRow> legs, const SweepInput& in);

// The upper end of the time range for these legs: the latest expiration of
// the option legs in whole days after the analysis date, plus 14 (14 when
// there is none, or every option has expired); 0 when nothing is evaluated.
int32_t maxExpirationOf(const LegsArray& legs, double stockDate);

} // namespace tw
