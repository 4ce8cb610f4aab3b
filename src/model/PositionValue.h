#pragma once
// The position value of the 2-D charts: every leg of a legs array valued at
// one stock price, volatility and interest rate, and optionally their sum.

#include "model/LegsArray.h"

#include <cstdint>
#include <span>
#include <vector>

namespace tw {

// One element per leg (element j for Legs[j]) and, with AddTotal, one more
// for the position as a whole. Each leg's time to expiry is its
// `timeToExpiry` (years); `strike` is its strike.
//
// Output 5 (value): the leg's profit or loss against its entry price, in
// money: (model value - entry) x quantity for a long leg, (entry - model
// value) x quantity for a short one (NoShortSign keeps the model's sign), x 100
// for an option; a stock leg's model value is S. TimeValueOnly first takes the
// intrinsic value off an option's model value. Percent expresses each leg in
// percent of |legValue| and the total in percent of |sum of legValue| (a zero
// base counts as 0.001). The total is the sum of the legs.
//
// Output 6, 7, 8 (delta, gamma, theta per day): each leg's element is the
// leg's position figure: the model's figure for one unit, negated for a short
// leg (unless NoShortSign), times the quantity, x 100 for an option (a stock
// leg: delta = its signed quantity, gamma and theta 0); the total is the sum
// of the legs. Percent and TimeValueOnly do not apply.
//
// Model 0 Black-Scholes, 1 binomial European, 2 binomial American (D is the
// dividend yield of the American model). An unresolved leg, an option leg
// under a model outside 0..2, and any Output outside 5..8 give 0.
std::vector<double> CalcPositionValue(std::span<const LegRow> Legs, double S, double sigma, double r, int32_t Model,
                                      int32_t Output, bool AddTotal, bool Percent, bool TimeValueOnly, int32_t Steps,
                                      double D, bool NoShortSign);

// The same into `result` (resized), for callers that sweep many points.
void CalcPositionValue(std::vector<double>& result, std::span<const LegRow> Legs, double S, double sigma, double r,
                       int32_t Model, int32_t Output, bool AddTotal, bool Percent, bool TimeValueOnly, int32_t Steps,
                       double D, bool NoShortSign);

} // namespace tw
