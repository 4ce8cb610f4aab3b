// The 3-D surface as numbers: price and date axes with their labels, option
// and stock legs, percent mode and the mouse read-out texts.
#include "charts/SurfaceGrid.h"
#include "platform/NumberText.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <cstring>

using namespace tw;

namespace {

constexpr double kStockDate = 45301; // 10 Jan 2024

LegRow option(int32_t kind, int32_t position, double strike, double expiration, double entry, int16_t quantity = 1)
{
    LegRow leg;
    leg.kind = kind;
    leg.position = position;
    leg.quantity = quantity;
    leg.resolved = true;
    leg.strike = Currency::fromDouble(strike);
    leg.expiration = expiration;
    leg.entryPrice = entry;
    return leg;
}

LegRow stockLeg(int32_t position, double entry, int16_t quantity)
{
    LegRow leg;
    leg.kind = LegKind::Stock;
    leg.position = position;
    leg.quantity = quantity;
    leg.resolved = true;
    leg.entryPrice = entry;
    return leg;
}

SurfaceInputs inputs(double volatility = 50, double maxDate = 0)
{
    SurfaceInputs in;
    in.volatility = volatility;
    in.interestRate = 5;
    in.maxDate = maxDate;
    in.stockPrice = 100;
    in.stockDate = kStockDate;
    in.modeCaption = QStringLiteral("Profit/Loss");
    in.locale = QLocale::c();
    return in;
}

} // namespace

TEST(SurfaceGrid, PriceAxisNarrowsAtVolatility100AndEndsOneStepAboveTheTop)
{
    struct Case {
        double volatility, low, high;
    };
    for (const Case c : {Case{50, 50, 180}, Case{99, 1, 229}, Case{100, 50, 180}, Case{150, 25, 205}}) {
        const SurfaceGrid g = ComputeSurface({}, inputs(c.volatility));
        EXPECT_DOUBLE_EQ(g.priceMin, c.low) << c.volatility;
        EXPECT_DOUBLE_EQ(g.priceStep, (c.high - c.low) / 28) << c.volatility;
        ASSERT_EQ(g.priceValues.size(), 30u);
        EXPECT_DOUBLE_EQ(g.priceValues[0], c.low);
        EXPECT_NEAR(g.priceValues[28], c.high, 0.005) << c.volatility;
        EXPECT_NEAR(g.priceValues[29], c.high + g.priceStep, 0.005) << c.volatility;
    }
    // Labels with two decimals on rows 0, 5, ... 25, read-out values rounded
    // to cents; grouping as the locale writes it.
    SurfaceInputs in = inputs(99);
    in.stockPrice = 1000;
    in.locale = QLocale(QLocale::English, QLocale::UnitedStates);
    const SurfaceGrid g = ComputeSurface({}, in);
    ASSERT_EQ(g.priceLabels.size(), 30);
    EXPECT_EQ(g.priceLabels[0], QStringLiteral("10.00"));
    EXPECT_EQ(g.priceLabels[5], QStringLiteral("417.14"));
    EXPECT_EQ(g.priceLabels[25], QStringLiteral("2,045.71"));
    EXPECT_EQ(g.priceValues[1], 91.43);
    for (int i = 0; i < 30; ++i)
        EXPECT_EQ(g.priceLabels[i].isEmpty(), i % 5 != 0) << i;
}

TEST(SurfaceGrid, DateAxisCountsDownToTheLastDateInWholeDays)
{
    // 90 days to the last expiration + 7: (97 / 29 = 3.34) rounds to 3.
    SurfaceGrid g = ComputeSurface({}, inputs(50, kStockDate + 90));
    EXPECT_EQ(g.dateStep, 3);
    ASSERT_EQ(g.dayValues.size(), 30u);
    EXPECT_EQ(g.dayValues.front(), 87);
    EXPECT_EQ(g.dayValues.back(), 0);
    EXPECT_EQ(g.dateLabels, QStringList({"87", "", "", "", "", "72", "", "", "", "", "57", "", "", "", "", "42", "",
                                         "", "", "", "27", "", "", "", "", "12", "", "", "", ""}));
    // Half a day and more rounds up: 65.5 days / 29 = 2.26 (2), 65.25 + 7 = 72.5 / 29 = 2.5 (3).
    EXPECT_EQ(surfaceDateStep(kStockDate, kStockDate + 65.5), 2);
    EXPECT_EQ(surfaceDateStep(kStockDate, kStockDate + 72.5), 3);
    // Dates less than 15 days apart (only stock legs: 7 days) still give a
    // date axis of one day a column, not 30 columns on the stock date.
    g = ComputeSurface({}, inputs(50, 0));
    EXPECT_EQ(g.dateStep, 1);
    EXPECT_EQ(g.dayValues.front(), 29);
    EXPECT_EQ(g.dateLabels[5], QStringLiteral("24"));
    // An expiration before the stock's date, or nonsense dates, also.
    EXPECT_EQ(surfaceDateStep(kStockDate, kStockDate - 400), 1);
    EXPECT_EQ(surfaceDateStep(kStockDate, std::nan("")), 1);
    EXPECT_LE(int64_t(surfaceDateStep(0, 1e300)) * 29, int64_t(INT32_MAX));
}

TEST(SurfaceGrid, OptionLegsAreWorthTheirPayoffAfterExpiryAndTheModelPriceBefore)
{
    // 80 days out: 3 days a column, the last one 87 days out.
    const double expiry = kStockDate + 80;
    // Long 2 calls at 100 bought for 4, short 1 put at 90 sold for 1.5.
    const std::vector<LegRow> legs{option(LegKind::Call, LegPosition::Long, 100, expiry, 4, 2),
                                   option(LegKind::Put, LegPosition::Short, 90, expiry, 1.5)};
    const SurfaceInputs in = inputs(50, expiry);
    const SurfaceGrid g = ComputeSurface(legs, in);
    ASSERT_EQ(g.z.size(), 900u);
    double S = g.priceMin;
    for (int i = 0; i < 30; ++i) {
        // The last column lies past the expiration: the payoff.
        const double payoff = (std::max(S - 100, 0.0) - 4) * 2 * 100 + (1.5 - std::max(90 - S, 0.0)) * 100;
        EXPECT_NEAR(g.value(i, 29), payoff, 1e-9) << i;
        S += g.priceStep;
    }
    // The first column prices 80 days out at 50 % and 5 %.
    const double S10 = g.priceMin + 10 * g.priceStep;
    const double T = 80 / 365.0;
    const double expected = (BlackScholesCall(S10, 100, T, 0.05, 0.5) - 4) * 200
        + (1.5 - BlackScholesPut(S10, 90, T, 0.05, 0.5)) * 100;
    EXPECT_NEAR(g.value(10, 0), expected, 1e-9);
    // The model comes from the context: the American tree gives another
    // surface before expiry, the same payoff after it.
    SurfaceInputs american = in;
    american.pricing = {PricingModel::BinomialAmerican, 50, 0.0};
    const SurfaceGrid a = ComputeSurface(legs, american);
    EXPECT_NE(a.value(10, 0), g.value(10, 0));
    EXPECT_NEAR(a.value(10, 0), g.value(10, 0), 30);
    EXPECT_DOUBLE_EQ(a.value(10, 29), g.value(10, 29));
}

TEST(SurfaceGrid, EveryCoreGivesTheBitsOfOneThread)
{
    // Legs that expire at different dates (so some columns price and others
    // take the payoff), a stock leg, and a leg the chain did not resolve.
    LegRow missing = option(LegKind::Put, LegPosition::Long, 0, 0, 0);
    missing.resolved = false;
    const std::vector<LegRow> legs{option(LegKind::Call, LegPosition::Long, 95, kStockDate + 30, 6.1, 3),
                                   option(LegKind::Put, LegPosition::Short, 90, kStockDate + 75, 2.3, 2),
                                   missing,
                                   stockLeg(LegPosition::Short, 101, 150),
                                   option(LegKind::Call, LegPosition::Short, 115, kStockDate + 75, 1.7)};
    SurfaceInputs in = inputs(37, kStockDate + 75);
    in.percent = true;
    in.startStrategyPrice = -321.5;
    for (const PricingContext pricing : {PricingContext{PricingModel::BinomialAmerican, 120, 0.02},
                                         PricingContext{PricingModel::BinomialEuropean, 60, 0},
                                         PricingContext{PricingModel::BlackScholes, 1, 0}}) {
        in.pricing = pricing;
        const SurfaceGrid one = ComputeSurface(legs, in, SurfaceThreads::One);
        for (int run = 0; run < 3; ++run) {
            const SurfaceGrid all = ComputeSurface(legs, in, SurfaceThreads::All);
            ASSERT_EQ(all.z.size(), one.z.size());
            EXPECT_EQ(std::memcmp(all.z.data(), one.z.data(), one.z.size() * sizeof(double)), 0)
                << "model " << pricing.model;
        }
        EXPECT_NE(one.value(12, 3), 0) << pricing.model;
    }
}

TEST(SurfaceGrid, StockLegsCountFromTheirEntryPriceOnEveryDate)
{
    // Long 100 shares bought at 95, short 50 shares sold at 102.
    const std::vector<LegRow> legs{stockLeg(LegPosition::Long, 95, 100), stockLeg(LegPosition::Short, 102, 50)};
    const SurfaceGrid g = ComputeSurface(legs, inputs(50));
    double S = g.priceMin;
    for (int i = 0; i < 30; ++i) {
        for (int j : {0, 13, 29})
            EXPECT_NEAR(g.value(i, j), (S - 95) * 100 + (102 - S) * 50, 1e-9) << i << "," << j;
        S += g.priceStep;
    }
    // "Position worth": the entry is 0, the surface is the holding's worth.
    SurfaceInputs worth = inputs(50);
    worth.modeCaption = QStringLiteral("Position worth");
    const SurfaceGrid w = ComputeSurface({stockLeg(LegPosition::Long, 0, 10)}, worth);
    EXPECT_DOUBLE_EQ(w.value(0, 0), 500);
    EXPECT_EQ(w.valueTitle, QStringLiteral("Position worth"));
}

TEST(SurfaceGrid, UnresolvedLegsAndUnknownKindsAddNothing)
{
    LegRow missing = option(LegKind::Call, LegPosition::Long, 0, 0, 0);
    missing.resolved = false;
    LegRow odd = stockLeg(LegPosition::Long, 50, 1);
    odd.kind = 7;
    const SurfaceGrid g = ComputeSurface({missing, odd}, inputs(50));
    EXPECT_TRUE(std::all_of(g.z.begin(), g.z.end(), [](double v) { return v == 0; }));
    EXPECT_EQ(g.priceLabels.size(), 30);
    EXPECT_EQ(g.valueTitle, QStringLiteral("Profit/Loss"));
}

TEST(SurfaceGrid, PercentOfTheInitialPrice)
{
    // A stock leg: +10 per share at row 0 would be (50 - 40) x 1.
    const std::vector<LegRow> legs{stockLeg(LegPosition::Long, 40, 1)};
    SurfaceInputs in = inputs(50); // row 0 at 50
    in.percent = true;
    struct Case {
        double base;
        bool trueSigned;
        double row0;
    };
    for (const Case c : {Case{-200, true, 5},    // a debit, true sign: a profit stays positive
                         Case{-200, false, -5},  // a debit as is: the signs turn over
                         Case{250, false, 4},    // a credit
                         Case{250, true, 4},
                         Case{0, true, 10000},   // no base: / 0.001, no factor 100
                         Case{0, false, 10000}}) {
        in.startStrategyPrice = c.base;
        in.trueSignedPercent = c.trueSigned;
        const SurfaceGrid g = ComputeSurface(legs, in);
        EXPECT_NEAR(g.value(0, 0), c.row0, 1e-9) << c.base << " " << c.trueSigned;
        EXPECT_EQ(g.valueTitle, QStringLiteral("Profit/Loss %"));
    }
    // No legs in percent mode: still zeros.
    const SurfaceGrid empty = ComputeSurface({}, in);
    EXPECT_TRUE(std::all_of(empty.z.begin(), empty.z.end(), [](double v) { return v == 0; }));
}

TEST(SurfaceGrid, ReadOutNamesTheRowTheColumnAndTheValue)
{
    const SurfaceGrid g = ComputeSurface({}, inputs(50, kStockDate + 90));
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    SurfaceReadOut r = surfaceReadOut(true, 12345.678, 2, 30, g.priceValues, g.dayValues, us);
    EXPECT_EQ(r.price, QStringLiteral(" Price: 54.64"));
    EXPECT_EQ(r.days, QStringLiteral(" Days: 0"));
    EXPECT_EQ(r.value, QStringLiteral(" Profit: 12,345.68"));
    // Whole prices without trailing zeros, no grouping in the price, the
    // regional decimal separator.
    const QLocale de(QLocale::German, QLocale::Germany);
    r = surfaceReadOut(true, -1500.5, 1, 1, g.priceValues, g.dayValues, de);
    EXPECT_EQ(r.price, QStringLiteral(" Price: 50"));
    EXPECT_EQ(r.days, QStringLiteral(" Days: 87"));
    EXPECT_EQ(r.value, QStringLiteral(" Profit: -1.500,50"));
    std::vector<double> thousands(30, 1234.5);
    EXPECT_EQ(surfaceReadOut(true, 0, 1, 1, thousands, g.dayValues, de).price, QStringLiteral(" Price: 1234,5"));
    // Off the surface, outside the tables, or before any draw: nothing.
    for (const auto& [on, row, col] : {std::tuple{false, 1, 1}, std::tuple{true, 0, 1}, std::tuple{true, 31, 1},
                                       std::tuple{true, 1, 31}, std::tuple{true, 1, -4}}) {
        r = surfaceReadOut(on, 1, row, col, g.priceValues, g.dayValues, us);
        EXPECT_TRUE(r.price.isEmpty() && r.days.isEmpty() && r.value.isEmpty()) << row << "," << col;
    }
    r = surfaceReadOut(true, 1, 1, 1, {}, {}, us);
    EXPECT_TRUE(r.price.isEmpty() && r.days.isEmpty() && r.value.isEmpty());
}

TEST(SurfaceGrid, NoTextReadsAsASignedZero)
{
    // A volatility just above 200 starts the price axis a hair under zero.
    const SurfaceGrid g = ComputeSurface({}, inputs(200.000001));
    ASSERT_LT(g.priceMin, 0);
    EXPECT_EQ(g.priceLabels[0], QStringLiteral("0.00"));
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const SurfaceReadOut r = surfaceReadOut(true, -0.004, 1, 1, g.priceValues, g.dayValues, us);
    EXPECT_EQ(r.price + r.value, QStringLiteral(" Price: 0 Profit: 0.00"));
    // Under zero by a cent or more keeps its sign, in any script's digits.
    EXPECT_EQ(surfaceReadOut(true, -0.005, 1, 1, g.priceValues, g.dayValues, us).value, QStringLiteral(" Profit: -0.01"));
    for (const QString zero : {QStringLiteral("-0,000"), QChar(0x2212) + QStringLiteral("0.00")})
        EXPECT_EQ(platform::withoutSignedZero(zero), zero.mid(1)) << zero.toStdString();
    for (const QString kept : {QStringLiteral("-0.20"), QStringLiteral("-\u0660.\u0661"), QStringLiteral("-")})
        EXPECT_EQ(platform::withoutSignedZero(kept), kept) << kept.toStdString();
}
