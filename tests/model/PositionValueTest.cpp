// The position value of the 2-D charts over typed legs arrays.
#include "model/PositionValue.h"
#include "model/statmath.h"

#include <gtest/gtest.h>

using namespace tw;

namespace {

LegRow option(int32_t kind, int32_t position, double strike, double years, int16_t quantity, double entry,
              double legValue = 0)
{
    LegRow row;
    row.kind = kind;
    row.position = position;
    row.quantity = quantity;
    row.resolved = true;
    row.strike = Currency::fromDouble(strike);
    row.timeToExpiry = years;
    row.entryPrice = entry;
    row.legValue = legValue;
    row.code = "OPT";
    return row;
}

LegRow stockLeg(int32_t position, int16_t quantity, double entry, double legValue = 0)
{
    LegRow row;
    row.kind = LegKind::Stock;
    row.position = position;
    row.quantity = quantity;
    row.resolved = true;
    row.entryPrice = entry;
    row.legValue = legValue;
    return row;
}

std::vector<double> values(const std::vector<LegRow>& legs, double S, int model = 0, bool total = false,
                           bool percent = false, bool timeValue = false, bool noShortSign = false)
{
    return CalcPositionValue(legs, S, 0.3, 0.05, model, PricingOutput::Value, total, percent, timeValue, 50, 0.0,
                             noShortSign);
}

} // namespace

TEST(PositionValue, ProfitOrLossAgainstTheEntryPrice)
{
    // At expiry every model gives the intrinsic value: a call struck at 100
    // is worth 2.50 at S = 102.5.
    for (int model = 0; model <= 2; ++model) {
        const auto r = values({option(LegKind::Call, LegPosition::Long, 100, 0, 3, 2.00),
                               option(LegKind::Call, LegPosition::Short, 100, 0, 3, 2.00)},
                              102.5, model, true);
        ASSERT_EQ(r.size(), 3u);
        EXPECT_DOUBLE_EQ(r[0], 150) << model;
        EXPECT_DOUBLE_EQ(r[1], -150) << model;
        EXPECT_DOUBLE_EQ(r[2], 0) << model;
    }
    const auto stock = values({stockLeg(LegPosition::Long, 100, 50), stockLeg(LegPosition::Short, 100, 50),
                               stockLeg(LegPosition::Long, 100, 0)},
                              55);
    EXPECT_EQ(stock, (std::vector<double>{500, -500, 5500}));

    // NoShortSign keeps the model's sign and still adds the premium.
    const auto unsigned_ = values({option(LegKind::Put, LegPosition::Short, 100, 0, 1, 1.0)}, 97, 0, false, false,
                                  false, true);
    EXPECT_DOUBLE_EQ(unsigned_[0], (3.0 + 1.0) * 100);
}

TEST(PositionValue, PercentTimeValueAndTotal)
{
    const auto pct = values({option(LegKind::Call, LegPosition::Long, 100, 0, 3, 2.00, 600),
                             option(LegKind::Call, LegPosition::Long, 100, 0, 1, 2.00, 0)},
                            102.5, 0, true, true);
    EXPECT_DOUBLE_EQ(pct[0], 25);
    EXPECT_DOUBLE_EQ(pct[1], 50 / 0.001 * 100);
    EXPECT_DOUBLE_EQ(pct[2], 200.0 / 600 * 100);

    const double model = BlackScholesCall(110, 100, 0.5, 0.05, 0.3);
    const auto tv = values({option(LegKind::Call, LegPosition::Long, 100, 0.5, 2, 1.0),
                            option(LegKind::Call, LegPosition::Long, 100, 0, 2, 0)},
                           110, 0, true, false, true);
    EXPECT_NEAR(tv[0], (model - 10 - 1.0) * 200, 1e-9);
    EXPECT_EQ(tv[1], 0.0); // expired: no time value left
    EXPECT_DOUBLE_EQ(tv[2], tv[0] + tv[1]);

    const auto none = values({}, 100, 0, true, true);
    EXPECT_EQ(none, std::vector<double>{0.0});
}

TEST(PositionValue, UnresolvedLegsAndUnknownModelsContributeNothing)
{
    LegRow missing;
    missing.kind = LegKind::Call;
    missing.position = LegPosition::Long;
    missing.quantity = 5;
    LegRow oddKind = stockLeg(LegPosition::Long, 5, 0);
    oddKind.kind = 4;
    for (int output = 5; output <= 8; ++output) {
        const auto r = CalcPositionValue(std::vector<LegRow>{missing, oddKind, stockLeg(LegPosition::Long, 10, 0)},
                                         120, 0.3, 0.05, 2, output, true, false, false, 30, 0, false);
        EXPECT_EQ(r[0], 0.0) << output;
        EXPECT_EQ(r[1], 0.0) << output;
        EXPECT_EQ(r[3], output == 5 ? 1200.0 : (output == 6 ? 10.0 : 0.0)) << output;
    }
    // A model outside 0..2 values no option; the previous row's value does not leak.
    const auto r = values({option(LegKind::Call, LegPosition::Long, 100, 0.5, 1, 0),
                           option(LegKind::Put, LegPosition::Long, 100, 0.5, 1, 0), stockLeg(LegPosition::Long, 1, 0)},
                          110, 7, true);
    EXPECT_EQ(r, (std::vector<double>{0, 0, 110, 110}));
    EXPECT_EQ(CalcPositionValue(std::vector<LegRow>{stockLeg(LegPosition::Long, 1, 0)}, 110, 0.3, 0.05, 0, 9, true,
                                false, false, 30, 0, false),
              (std::vector<double>{0, 0}));
}

TEST(PositionValue, GreeksOfEachLegAndTheSumInOneUnit)
{
    // A bull call spread of 2 contracts plus 50 shares short: every leg's
    // line is its position figure, and the sum is the sum of those lines.
    const std::vector<LegRow> legs = {option(LegKind::Call, LegPosition::Long, 95, 0.25, 2, 7.0),
                                      option(LegKind::Call, LegPosition::Short, 105, 0.25, 2, 2.0),
                                      stockLeg(LegPosition::Short, 50, 100)};
    for (int model = 0; model <= 2; ++model) {
        for (int output = 6; output <= 8; ++output) {
            const auto r = CalcPositionValue(legs, 100, 0.3, 0.05, model, output, true, true, true, 100, 0, false);
            const double longCall = ModelOutput(model, 1, 100, 95, 0.25, 0.05, 0.3, 100, 0, output);
            const double shortCall = ModelOutput(model, 1, 100, 105, 0.25, 0.05, 0.3, 100, 0, output);
            ASSERT_EQ(r.size(), 4u);
            EXPECT_DOUBLE_EQ(r[0], 200 * longCall) << model << "/" << output;
            EXPECT_DOUBLE_EQ(r[1], -200 * shortCall) << model << "/" << output;
            EXPECT_EQ(r[2], output == 6 ? -50.0 : 0.0) << output;
            EXPECT_DOUBLE_EQ(r[3], r[0] + r[1] + r[2]) << model << "/" << output;
            // Without the total nothing else changes.
            const auto legsOnly = CalcPositionValue(legs, 100, 0.3, 0.05, model, output, false, false, false, 100, 0,
                                                    false);
            EXPECT_EQ(legsOnly, std::vector<double>(r.begin(), r.begin() + 3));
        }
        // Greeks, not values, whatever the model.
        const double delta = CalcPositionValue(legs, 100, 0.3, 0.05, model, 6, false, false, false, 100, 0, false)[0];
        EXPECT_TRUE(delta > 120 && delta < 160) << model << ": " << delta;
    }
}
