#include "charts/SurfaceGrid.h"

#include "platform/NumberText.h"

#include <QSemaphore>
#include <QThreadPool>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <exception>
#include <functional>
#include <limits>
#include <mutex>

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

// One leg as every grid point prices it.
struct LegTerms {
    enum Kind { Call, Put, Stock } kind = Stock;
    bool isShort = false;
    double strike = 0;
    double entry = 0;
    double units = 0;                 // contracts x 100, or shares
    std::array<double, kSurfaceColumns> T{}; // years to expiry, one a column
};

// The legs that add to the surface, in leg order: resolved options and
// stock (an unresolved option and an unknown kind add nothing).
std::vector<LegTerms> legTerms(const std::vector<LegRow>& legs, const GridDates& dates)
{
    std::vector<LegTerms> terms;
    for (const LegRow& leg : legs) {
        LegTerms t;
        t.isShort = leg.position != LegPosition::Long;
        t.entry = leg.entryPrice;
        if (leg.isOption() && leg.resolved) {
            t.kind = leg.kind == LegKind::Call ? LegTerms::Call : LegTerms::Put;
            t.isShort = leg.position == LegPosition::Short;
            t.strike = leg.strike.toDouble();
            t.units = static_cast<double>(leg.quantity) * 100.0;
            for (int j = 0; j < kSurfaceColumns; ++j)
                t.T[j] = DaysBetween(dates[j], leg.expiration) / kDaysPerYear;
        } else if (leg.isStock()) {
            t.units = leg.quantity;
        } else {
            continue;
        }
        terms.push_back(t);
    }
    return terms;
}

// The value of grid point (i, j): every leg's profit or loss there, added in
// leg order. Points do not depend on each other.
double pointValue(const std::vector<LegTerms>& terms, const SurfaceInputs& in, double S, int j)
{
    const double r = in.interestRate / 100.0;
    const double sigma = in.volatility / 100.0;
    double z = 0.0;
    for (const LegTerms& t : terms) {
        double v;
        if (t.kind == LegTerms::Stock) {
            v = t.isShort ? t.entry - S : S - t.entry;
        } else {
            v = t.kind == LegTerms::Call ? CallPrice(in.pricing, S, t.strike, r, sigma, t.T[j])
                                         : PutPrice(in.pricing, S, t.strike, r, sigma, t.T[j]);
            v = t.isShort ? t.entry - v : v - t.entry;
        }
        z += v * t.units;
    }
    return z;
}

// Runs body(k) for every k in [0, count): on the pool's idle threads and on
// this one, which returns when all are done. The first exception thrown is
// rethrown here.
void forEachIndex(int count, SurfaceThreads threads, const std::function<void(int)>& body)
{
    std::atomic<int> next{0};
    std::exception_ptr failure;
    std::mutex failureLock;
    const auto work = [&] {
        try {
            for (int k = next++; k < count; k = next++)
                body(k);
        } catch (...) {
            const std::lock_guard<std::mutex> lock(failureLock);
            if (!failure)
                failure = std::current_exception();
            next = count;
        }
    };
    QSemaphore finished;
    int helpers = 0;
    if (threads == SurfaceThreads::All) {
        QThreadPool* pool = QThreadPool::globalInstance();
        const int wanted = std::min(pool->maxThreadCount() - 1, count - 1);
        while (helpers < wanted && pool->tryStart([&work, &finished] {
            work();
            finished.release();
        }))
            ++helpers;
    }
    work();
    finished.acquire(helpers);
    if (failure)
        std::rethrow_exception(failure);
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

SurfaceGrid ComputeSurface(const std::vector<LegRow>& legs, const SurfaceInputs& in, SurfaceThreads threads)
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
        g.priceLabels.append(i % kLabelEvery == 0 ? platform::withoutSignedZero(in.locale.toString(prices[i], 'f', 2))
                                                  : QString());
    }
    for (int j = 0; j < kSurfaceColumns; ++j) {
        const int32_t days = (29 - j) * g.dateStep;
        g.dayValues.push_back(days);
        g.dateLabels.append(j % kLabelEvery == 0 ? QString::number(days) : QString());
    }

    const GridDates dates = gridSteps<kSurfaceColumns>(in.stockDate, g.dateStep);
    const std::vector<LegTerms> terms = legTerms(legs, dates);
    if (!terms.empty()) {
        // A few points a turn: enough turns to keep every thread busy to the
        // end (the dates past an expiration cost next to nothing).
        constexpr int kPointsPerTurn = 5;
        constexpr int kPoints = kSurfaceRows * kSurfaceColumns;
        // Black-Scholes prices the whole grid in less time than it takes to
        // hand the turns out.
        const SurfaceThreads used = in.pricing.model == PricingModel::BlackScholes ? SurfaceThreads::One : threads;
        forEachIndex(kPoints / kPointsPerTurn, used, [&](int turn) {
            for (int p = turn * kPointsPerTurn; p < (turn + 1) * kPointsPerTurn; ++p)
                g.z[static_cast<size_t>(p)] = pointValue(terms, in, prices[p / kSurfaceColumns], p % kSurfaceColumns);
        });
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
                + platform::withoutSignedZero(
                    plain.toString(priceValues[static_cast<size_t>(row) - 1], 'f', QLocale::FloatingPointShortest)),
            QStringLiteral(" Days: ") + QString::number(dayValues[static_cast<size_t>(column) - 1]),
            QStringLiteral(" Profit: ") + platform::withoutSignedZero(locale.toString(z, 'f', 2))};
}

} // namespace tw
