#pragma once
// Evaluated legs for the 2-D chart suites, as the evaluation hands them to a
// chart: UI-free, so the sweep's suite and the window suites share them.

#include "model/LegsArray.h"

namespace tw::test {

// The analysis date of the legs below: 19 March 2004.
constexpr double kChartDate = 38065;

// One evaluated leg; `days` from the analysis date to its expiration (an
// option's; a stock leg has none). Its value is the entry price times the
// quantity, times 100 for an option.
inline LegRow chartLeg(int32_t kind, int32_t position, double strike, int days, int16_t quantity, double entry,
                       const char* code)
{
    LegRow row;
    row.kind = kind;
    row.position = position;
    row.quantity = quantity;
    row.resolved = true;
    row.entryPrice = entry;
    row.code = QString::fromLatin1(code);
    if (kind == LegKind::Stock) {
        row.legValue = entry * quantity;
    } else {
        row.strike = Currency::fromDouble(strike);
        row.expiration = kChartDate + days;
        row.legValue = entry * quantity * 100;
    }
    return row;
}

} // namespace tw::test
