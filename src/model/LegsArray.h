#pragma once
// The evaluated legs that the strategy evaluation hands to the chart windows:
// one row per leg of the selected strategy, in leg order. The 2-D windows and
// the 3-D window read the same rows; the classic column layouts map onto the
// fields as follows.
//
//   field          2-D column   3-D column   stock leg            option leg
//   kind               0            1        3                    1 put, 2 call
//   position           1            4        1 short, 2 long      same
//   strike             2            2        (none)               the option's strike
//   expiration         4            3        (none)               the option's expiration
//   quantity           5            7        shares               contracts
//   entryPrice         6         3 / 5       p in "Profit/Loss",  u, 0 in "Position worth"
//                                            else 0 (3-D col 3)   (3-D col 5)
//   code               7            6        the stock's code     the option's code
//   legValue           8            8        p x quantity         (u, or the model price when u
//                                                                 is not above 0) x quantity x 100
//
// p is the stock's price and u the option's unit price by the price source.
// Column 3 of the 2-D layout is never written, so it has no field.
//
// A leg whose option the chain does not hold, or whose kind is not 1..3, is
// not resolved: only kind, position and quantity are filled, and it
// contributes nothing to any value.
//
// LegsArray keeps "nothing evaluated" (no strategy or no chain: no value) and
// "a strategy without legs" (an empty list) apart.

#include "model/Currency.h"
#include "model/StrategyTemplates.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace tw {

struct LegRow {
    int32_t kind = 0;     // LegKind
    int32_t position = 0; // LegPosition
    int16_t quantity = 0;
    bool resolved = false;
    Currency strike;
    double expiration = 0.0; // date serial
    double entryPrice = 0.0;
    QString code;
    double legValue = 0.0;
    // Time to expiry in years at the point being drawn; the 2-D chart fills
    // it on its own pricing copy, the evaluation leaves it 0.
    double timeToExpiry = 0.0;

    bool isOption() const { return kind == LegKind::Put || kind == LegKind::Call; }
    bool isStock() const { return kind == LegKind::Stock; }
    bool isShort() const { return position == LegPosition::Short; }
};

using LegsArray = std::optional<std::vector<LegRow>>;

} // namespace tw
