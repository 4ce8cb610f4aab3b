#pragma once
// The texts of a leg template in the template-leg grid.

#include <QString>
#include <cstdint>

namespace tw {

// "Short" (1) or "Long" (2); empty for any other code.
QString positionText(int32_t position);
// "Put" (1), "Call" (2) or "Stock" (3); empty for any other code.
QString kindText(int32_t kind);
// The strike offset as seen from the option's side: "ATM (0)", "OTM (+2)"
// (a call above, a put below the at-the-money strike), "ITM (-1)"; empty for
// a stock leg. The sign shown is the offset's own.
QString strikeOffsetText(int32_t kind, int32_t offset);
// "Near term 1" ... "LEAPS 2y" for classes 1..7, "ERR" otherwise.
QString expirationClassText(int32_t expirationClass);
// The payoff-sketch code 2 x (kind - 1) + position (1 short put ... 6 long
// stock), or 0 for codes outside the kinds and positions.
int sketchCode(int32_t kind, int32_t position);

} // namespace tw
