#include "charts/SurfaceGrid.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace tw {

namespace {

constexpr double kDaysPerYear = 365.0;
constexpr int32_t kLabelEvery = 5;

// The price with two decimals, written out and read back.
double twoDecimals(double price)
{
    return QString::number(price, 'f', 2).toDouble();
}

// `N` values from `first` up by `step`, added one step at a time: the grid's
// stock prices (one a row) and dates (one a column). The labels, the read-out
// tables and every leg take them from here.
template <size_t N>
std::array<double, N> gridSteps(double first, double step)
{
    std::array<double, N> values;
    for (double& v : values) {
        v = first;
        first += step;
    }
    return values;
}
using GridPrices = std::array<double, kSurfaceRows>;
using GridDates = std::array<double, kSurfaceColumns>;

void addOptionLeg(std::vector<double>& z, const LegRow& leg, const SurfaceInputs& in, const GridPrices& prices,
                  const GridDates& dates)
{
    const double K = leg.strike.toDouble();
    const double r = in.interestRate / 100.0;
    const double sigma = in.volatility / 100.0;
    const double e = leg.entryPrice;
    const double units = static_cast<double>(leg.quantity) * 100.0;
    // Days to expiry depend on the column only.
    double T[kSurfaceColumns];
    for (int j = 0; j < kSurfaceColumns; ++j)
        T[j] = DaysBetween(dates[j], leg.expiration) / kDaysPerYear;
    for (int i = 0; i < kSurfaceRows; ++i) {
        const double S = prices[i];
        double* row = z.data() + static_cast<size_t>(i) * kSurfaceColumns;
        for (int j = 0; j < kSurfaceColumns; ++j) {
            double v = leg.kind == LegKind::Call ? CallPrice(in.pricing, S, K, r, sigma, T[j])
                                                 : PutPrice(in.pricing, S, K, r, sigma, T[j]);
            v = leg.position == LegPosition::Short ? e - v : v - e;
            row[j] += v * units;
        }
    }
}

void addStockLeg(std::vector<double>& z, const LegRow& leg, const GridPrices& prices)
{
    const double e = leg.entryPrice;
    const double units = leg.quantity;
    for (int i = 0; i < kSurfaceRows; ++i) {
        const double v = leg.position == LegPosition::Long ? prices[i] - e : e - prices[i];
        double* row = z.data() + static_cast<size_t>(i) * kSurfaceColumns;
        for (int j = 0; j < kSurfaceColumns; ++j)
            row[j] += v * units;
    }
}

} // namespace

int32_t surfaceDateStep(double startDate, double endDate)
{
    const double step = std::floor((endDate - startDate) / 29.0 + 0.5);
    // 29 steps must stay within the day counts the read-out keeps.
    constexpr double kLargest = std::numeric_limits<int32_t>::max() / 29;
    if (!(step >= 1.0)) // also not-a-number
        return 1;
    return static_cast<int32_t>(std::min(step, kLargest));
}

SurfaceGrid ComputeSurface(const std::vector<LegRow>& legs, const SurfaceInputs& in)
{
    SurfaceGrid g;
    const double S0 = in.stockPrice;
    const double d = in.volatility < 100 ? 100.0 : 200.0;
    const double priceMax = (in.volatility / d + 1.3) * S0;
    g.priceMin = (1.0 - in.volatility / d) * S0;
    g.priceStep = (priceMax - g.priceMin) / 28.0;

    const double endDate = in.maxDate == 0 ? in.stockDate + 7 : in.maxDate + 7;
    g.dateStep = surfaceDateStep(in.stockDate, endDate);

    g.z.assign(static_cast<size_t>(kSurfaceRows) * kSurfaceColumns, 0.0);

    const GridPrices prices = gridSteps<kSurfaceRows>(g.priceMin, g.priceStep);
    for (int i = 0; i < kSurfaceRows; ++i) {
        g.priceValues.push_back(twoDecimals(prices[i]));
        g.priceLabels.append(i % kLabelEvery == 0 ? in.locale.toString(prices[i], 'f', 2) : QString());
    }
    for (int j = 0; j < kSurfaceColumns; ++j) {
        const int32_t days = (29 - j) * g.dateStep;
        g.dayValues.push_back(days);
        g.dateLabels.append(j % kLabelEvery == 0 ? QString::number(days) : QString());
    }

    const GridDates dates = gridSteps<kSurfaceColumns>(in.stockDate, g.dateStep);
    for (const LegRow& leg : legs) {
        if (leg.isOption() && leg.resolved)
            addOptionLeg(g.z, leg, in, prices, dates);
        else if (leg.isStock())
            addStockLeg(g.z, leg, prices);
    }

    g.valueTitle = in.modeCaption;
    if (in.percent) {
        const double B = in.startStrategyPrice;
        for (double& v : g.z) {
            if (B == 0)
                v = v / 0.001;
            else if (in.trueSignedPercent)
                v = v / std::abs(B) * 100;
            else
                v = v / B * 100;
        }
        g.valueTitle += QStringLiteral(" %");
    }
    return g;
}

SurfaceReadOut surfaceReadOut(bool onSurface, double z, int row, int column, const std::vector<double>& priceValues,
                              const std::vector<int32_t>& dayValues, const QLocale& locale)
{
    if (!onSurface || row < 1 || column < 1 || static_cast<size_t>(row) > priceValues.size()
        || static_cast<size_t>(column) > dayValues.size())
        return {};
    QLocale plain = locale;
    plain.setNumberOptions(plain.numberOptions() | QLocale::OmitGroupSeparator);
    return {QStringLiteral(" Price: ")
                + plain.toString(priceValues[static_cast<size_t>(row) - 1], 'f', QLocale::FloatingPointShortest),
            QStringLiteral(" Days: ") + QString::number(dayValues[static_cast<size_t>(column) - 1]),
            QStringLiteral(" Profit: ") + locale.toString(z, 'f', 2)};
}

} // namespace tw
