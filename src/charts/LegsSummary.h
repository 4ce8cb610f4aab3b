#pragma once
#include "model/LegsArray.h"

#include <QString>

namespace tw {

// One line per evaluated leg (kind, position, quantity, code, strike,
// expiration, entry price, value), as the chart windows list them.
QString legsSummary(const std::vector<LegRow>& legs);

} // namespace tw
