#pragma once
// The evaluation of a strategy against the loaded chain: every leg template
// is resolved to an option of the (exchange-filtered) chain, priced by the
// chosen price source and model, and listed as a row of the evaluated-leg
// grid; the position total reads as a credit or a debit ("Profit/Loss") or
// as the position's signed worth ("Position worth"); the legs go to the
// charts as a LegsArray.
//
// This is the computing half; the main window puts the rows into its grid
// and hands the legs to the chart windows.

#include "model/LegsArray.h"
#include "model/statmath.h"

#include <QLocale>
#include <QString>
#include <cstdint>
#include <vector>

namespace tw {

class OptionsCollection;
class ParamsCollection;
class stock;

enum class PriceSource { None, Theoretical, LastSale, BidAsk };

namespace CalculationMode {
constexpr int32_t ProfitLoss = 0;
constexpr int32_t PositionWorth = 1;
} // namespace CalculationMode

struct EvaluationInputs {
    const stock* objStock = nullptr;       // the loaded underlying (required)
    const OptionsCollection* calls = nullptr; // filtered calls (null: none)
    const OptionsCollection* puts = nullptr;  // filtered puts (null: none)
    double calcStockPrice = 0;             // the S of every model price
    PriceSource source = PriceSource::None;
    int32_t mode = CalculationMode::ProfitLoss;
    double volatilityPercent = 0;          // applied values, in percent
    double interestPercent = 0;
    PricingContext pricing;
    QString exchange;                      // named in the missing-data row
    QLocale locale;                        // number and month formats
};

// Colours as 0xRRGGBB.
namespace EvalColor {
constexpr uint32_t RowLight = 0xFEFEFE;
constexpr uint32_t RowDark = 0xF0F0F0;
constexpr uint32_t Black = 0x000000;
constexpr uint32_t Red = 0xFF0000;
constexpr uint32_t TotalRed = 0xFF1111;
constexpr uint32_t TotalBack = 0x78BCE1;
} // namespace EvalColor

// The swatch colour of a leg (0xRRGGBB) by kind and position; 0 (black)
// for codes outside 1..3 and 1..2.
uint32_t legSwatchColor(int32_t kind, int32_t position);

// Text alignment of a cell, with the values of the classic text-drawing
// flags: left (single line, word ellipsis), centre, right.
namespace CellAlign {
constexpr int Left = 0x40020;
constexpr int Center = 1;
constexpr int Right = 2;
} // namespace CellAlign

struct EvalCell {
    QString text;
    int align = CellAlign::Left;
    bool bold = false;
    bool hasTextColor = false;
    uint32_t textColor = EvalColor::Black;
};

struct EvalRow {
    enum Kind { Leg, Missing, Total, Hint };
    Kind kind = Leg;
    uint32_t backColor = EvalColor::RowLight;
    uint32_t swatchColor = 0;
    // Cells 2..8 of a leg row (position, ticker, strike, expiration,
    // quantity, price, total); unused cells stay empty.
    EvalCell cells[7];
    // The row-text cell (column 9) of a missing-data, total or hint row.
    EvalCell group;
    int height = 0; // 0: the grid's default; 16 for the total and hint rows
};

struct Evaluation {
    std::vector<EvalRow> rows;
    double total = 0;     // credits added, debits subtracted
    LegsArray legs;       // one row per leg (an empty list for no legs)
    double maxDate = 0;   // latest expiration of the resolved option legs, or 0
    QString priceHeader;  // header of the "price" column
};

// The header of the "price" column for a price source.
QString priceColumnHeader(PriceSource source);

// The bid/ask rule: the ask when the bid is 0, the bid when the ask is 0,
// otherwise their mean (the sum taken exactly, halved as a double).
double bidAskPrice(Currency bid, Currency ask);

// An expiration as the evaluated-leg grid shows it, "mmm yy": the locale's
// short month name ("Feb", "Mär") and the two-digit year.
QString monthYearText(const QLocale& locale, double serial);

// Evaluates the legs. `in.objStock` must not be null.
Evaluation EvaluateStrategy(const ParamsCollection& params, const EvaluationInputs& in);

} // namespace tw
