#pragma once
// The strategies the 3-D benchmarks draw: 4-leg option strategies on a stock
// at 100, every leg 60 days out.
#include "model/LegsArray.h"

#include <vector>

namespace tw::bench {

constexpr double kStockDate = 45301; // 10 Jan 2024
constexpr double kExpiration = kStockDate + 60;

// One contract, bought or written at `entry`.
inline LegRow optionLeg(int32_t kind, int32_t position, double strike, double entry)
{
    return {.kind = kind,
            .position = position,
            .quantity = 1,
            .resolved = true,
            .strike = Currency::fromDouble(strike),
            .expiration = kExpiration,
            .entryPrice = entry,
            .code = QStringLiteral("BNCH"),
            .legValue = entry * 100};
}

inline std::vector<LegRow> ironCondor()
{
    return {optionLeg(LegKind::Put, LegPosition::Long, 85, 0.8), optionLeg(LegKind::Put, LegPosition::Short, 90, 1.6),
            optionLeg(LegKind::Call, LegPosition::Short, 110, 1.7),
            optionLeg(LegKind::Call, LegPosition::Long, 115, 0.9)};
}

inline std::vector<LegRow> butterfly()
{
    return {optionLeg(LegKind::Call, LegPosition::Long, 95, 7.1), optionLeg(LegKind::Call, LegPosition::Short, 100, 4.2),
            optionLeg(LegKind::Call, LegPosition::Short, 100, 4.2),
            optionLeg(LegKind::Call, LegPosition::Long, 105, 2.4)};
}

} // namespace tw::bench
