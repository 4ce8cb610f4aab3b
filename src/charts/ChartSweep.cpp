#include "charts/ChartSweep.h"

#include "model/PositionValue.h"
#include "model/statmath.h"

#include <algorithm>

namespace tw {

namespace {

constexpr double kDaysPerYear = 365.0;

struct Point {
    double S, sigma, r;
};

} // namespace

void sweepChart(SweepTable& out, std::span<const LegRow> legs, const SweepInput& in)
{
    const ChartRanges& g = in.ranges;
    const int series = static_cast<int>(legs.size()) + (in.Total ? 1 : 0);
    out.series = series;
    out.x.assign(SweepPoints, 0.0);
    out.values.assign(static_cast<size_t>(SweepPoints) * series, 0.0);
    out.xTitle = sweepXTitle(in.AxisX);

    // The pricing copy: each leg's whole days to expiry from the analysis
    // date, and its time to expiry at the fixed time.
    std::vector<LegRow> copy(legs.begin(), legs.end());
    std::vector<double> days(copy.size(), 0.0);
    for (size_t i = 0; i < copy.size(); ++i) {
        if (copy[i].isOption())
            days[i] = DaysBetween(in.StockDate, copy[i].expiration);
        copy[i].timeToExpiry = (days[i] - g.ExpirationValue) / kDaysPerYear;
    }

    const double fixedS = g.StockPriceValue;
    const double fixedSigma = g.VolatilityValue / 10000.0;
    const double fixedR = g.RiskValue / 10000.0;

    double start = 0, step = 0;
    switch (in.AxisX) {
    case ChartParam::StockPrice:
        start = g.MinStockPrice;
        step = (g.MaxStockPrice - g.MinStockPrice) / SweepPoints;
        break;
    case ChartParam::Volatility:
        start = 0.01;
        step = 0.01;
        break;
    case ChartParam::Time:
        start = g.ExpirationValue;
        step = (static_cast<double>(g.MaxExpiration) - g.ExpirationValue) / SweepPoints;
        break;
    case ChartParam::InterestRate:
        start = 0.01;
        step = 0.01;
        break;
    default:
        return; // nothing to sweep: the table stays zero
    }

    std::vector<double> r;
    for (int p = 0; p < SweepPoints; ++p) {
        const double x = start + p * step;
        Point at{fixedS, fixedSigma, fixedR};
        double shown = x;
        switch (in.AxisX) {
        case ChartParam::StockPrice:
            at.S = x;
            break;
        case ChartParam::Volatility:
            at.sigma = x;
            shown = x * 100.0;
            break;
        case ChartParam::Time:
            for (size_t i = 0; i < copy.size(); ++i)
                copy[i].timeToExpiry = (days[i] - x) / kDaysPerYear;
            break;
        default:
            at.r = x;
            break;
        }
        CalcPositionValue(r, copy, at.S, at.sigma, at.r, in.Model, in.AxisY, in.Total, in.Percent, in.TimeValue,
                          in.Steps, in.Dividends, false);
        std::copy_n(r.begin(), std::min<size_t>(r.size(), series), out.values.begin() + static_cast<size_t>(p) * series);
        out.x[p] = shown;
    }
}

const char* sweepXTitle(int32_t axisX)
{
    switch (axisX) {
    case ChartParam::StockPrice: return "Stock price";
    case ChartParam::Volatility: return "Volatility";
    case ChartParam::Time: return "Time";
    case ChartParam::InterestRate: return "Riskfree interest rate";
    default: return "";
    }
}

SweepTable sweepChart(std::span<const LegRow> legs, const SweepInput& in)
{
    SweepTable table;
    sweepChart(table, legs, in);
    return table;
}

int32_t maxExpirationOf(const LegsArray& legs, double stockDate)
{
    if (!legs)
        return 0;
    int32_t latest = 0;
    for (const LegRow& leg : *legs) {
        if (leg.isOption() && leg.resolved)
            latest = std::max(latest, DaysBetween(stockDate, leg.expiration));
    }
    // Held so that adding the margin cannot overflow.
    return std::min(latest, INT32_MAX - 14) + 14;
}

} // namespace tw
