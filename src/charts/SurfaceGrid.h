#pragma once
// The 3-D window's profit/loss surface as numbers: the selected legs valued
// over 30 stock prices (grid rows) by 30 dates (grid columns), the labels of
// both axes, the value-axis title, optionally in percent of the position's
// initial price, and the per-row prices and per-column day counts that the
// mouse read-out names. UI-free; the window hands the result to its chart.
//
// Price axis: around the pricing stock price S0, from (1 - v / d) x S0 to
// (v / d + 1.3) x S0 with v the volatility in percent and d = 100 below a
// volatility of 100, else 200; the step is the range / 28, so the last row
// lies one step above the top of the range. Date axis: from the stock's date
// to 7 days after the latest expiration (7 days after the stock's date when
// there is no option leg), in whole days, at least one day a column.
// Labels on every fifth row and column, the others empty.

#include "model/LegsArray.h"
#include "model/statmath.h"

#include <QLocale>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace tw {

constexpr int kSurfaceRows = 30;    // stock prices
constexpr int kSurfaceColumns = 30; // dates

struct SurfaceInputs {
    double volatility = 0;         // percent, as typed
    double interestRate = 0;       // percent
    double maxDate = 0;            // serial of the latest option expiration, 0 for none
    double stockPrice = 0;         // S0, the pricing stock price
    double stockDate = 0;          // serial of the first date
    double startStrategyPrice = 0; // the position's initial price: the percent base
    bool percent = false;          // the window's "Percent" box
    bool trueSignedPercent = false; // the main window's "True signed percent profit"
    QString modeCaption;           // "Profit/Loss", "Position worth"...
    PricingContext pricing;        // model, steps, dividends
    QLocale locale;                // the price labels' number format
};

struct SurfaceGrid {
    // Row-major: value(i, j) = z[i * kSurfaceColumns + j], i the price
    // index, j the date index.
    std::vector<double> z;
    QStringList priceLabels; // one a row
    QStringList dateLabels;  // one a column
    QString valueTitle;      // the mode caption, + " %" in percent mode
    // Per row: the price rounded to two decimals; per column: the days from
    // its date to the last one.
    std::vector<double> priceValues;
    std::vector<int32_t> dayValues;
    double priceMin = 0;
    double priceStep = 0;
    int32_t dateStep = 0; // days

    double value(int i, int j) const { return z[static_cast<size_t>(i) * kSurfaceColumns + j]; }
};

// Whole days between two columns: (D_end - D_start) / 29 rounded half up, at
// least 1 (dates less than 15 days apart would otherwise all fall on the
// first one) and small enough that 29 steps stay countable.
int32_t surfaceDateStep(double startDate, double endDate);

// Who prices the grid points: the calling thread alone, or the calling
// thread with the idle threads of the global thread pool. The points do not
// depend on each other and each adds its legs in leg order, so both give the
// same bits. The call returns when every point is priced; the pool's threads
// only price (they touch nothing but the grid being returned). Black-Scholes
// grids, which cost less than handing out the work, are priced on the calling
// thread either way.
enum class SurfaceThreads { One, All };

// The whole surface. Option legs are priced with CallPrice / PutPrice at
// each grid price and date (an option leg the chain did not resolve adds
// nothing); a stock leg adds its price against its entry, whatever the date.
SurfaceGrid ComputeSurface(const std::vector<LegRow>& legs, const SurfaceInputs& in,
                           SurfaceThreads threads = SurfaceThreads::All);

// The read-out under the mouse pointer: " Price: ", " Days: ", " Profit: "
// with the row's price, the column's days and the value z, or three empty
// texts when the pointer is not over the surface or the row or column
// (1-based) lies outside the tables of the last draw.
struct SurfaceReadOut {
    QString price;
    QString days;
    QString value;
};
SurfaceReadOut surfaceReadOut(bool onSurface, double z, int row, int column, const std::vector<double>& priceValues,
                              const std::vector<int32_t>& dayValues, const QLocale& locale);

} // namespace tw
