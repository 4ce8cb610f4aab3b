// Pricing models: textbook values, parity, convergence, greeks, and the
// guarantee that no NaN or infinity comes out.
#include "model/statmath.h"

#include <gtest/gtest.h>
#include <cmath>
#include <limits>

using namespace tw;

namespace {
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

double american(int z, double S, double K, double T, double r, double sigma, int n, int output = 5, double D = 0)
{
    return BinomialAmerican(z, S, K, T, r, sigma, D, 1, n, output);
}
} // namespace

TEST(Statmath, CumNormalAndCombin)
{
    EXPECT_NEAR(CumNormal(0.0f), 0.5, 1e-7);
    for (float x : {0.1f, 0.5f, 1.0f, 1.96f, 3.0f, 6.0f}) {
        EXPECT_NEAR(CumNormal(-x), 1.0 - CumNormal(x), 1e-12) << x;
        EXPECT_NEAR(CumNormal(x), 0.5 * std::erfc(-x / std::sqrt(2.0)), 1e-7) << x;
    }
    EXPECT_EQ(Combin(10, 0), 1.0);
    EXPECT_EQ(Combin(10, 10), 1.0);
    EXPECT_EQ(Combin(10, 3), 120.0);
    EXPECT_EQ(Combin(7, -2), 1.0);
    EXPECT_NEAR(Combin(200, 100) / 9.054851465610328e58, 1.0, 1e-12);
}

TEST(Statmath, TextbookPrices)
{
    EXPECT_NEAR(BlackScholesCall(42, 40, 0.5, 0.10, 0.20), 4.76, 0.005);
    EXPECT_NEAR(BlackScholesPut(42, 40, 0.5, 0.10, 0.20), 0.81, 0.005);
    EXPECT_NEAR(american(-1, 50, 50, 5.0 / 12, 0.10, 0.40, 5), 4.49, 0.005);
    // The same put as a European option on the binomial sum.
    EXPECT_NEAR(BinomialEuropeanPut(50, 50, 5.0 / 12, 0.10, 0.40, 200), BlackScholesPut(50, 50, 5.0 / 12, 0.1, 0.4),
                0.02);
}

TEST(Statmath, PutCallParity)
{
    struct Case {
        double S, K, T, r, sigma;
    };
    for (const Case& c : {Case{42, 40, 0.5, 0.1, 0.2}, Case{100, 120, 1.5, 0.03, 0.45}, Case{20, 10, 0.1, 0, 0.9}}) {
        const double forward = c.S - c.K * std::exp(-c.r * c.T);
        EXPECT_NEAR(BlackScholesCall(c.S, c.K, c.T, c.r, c.sigma) - BlackScholesPut(c.S, c.K, c.T, c.r, c.sigma),
                    forward, 1e-9);
        for (int n : {7, 50, 200}) {
            const double call = BinomialEuropeanCall(c.S, c.K, c.T, c.r, c.sigma, n);
            const double put = BinomialEuropeanPut(c.S, c.K, c.T, c.r, c.sigma, n);
            EXPECT_NEAR(call - put, forward, 1e-4 * c.S) << n;
        }
    }
}

TEST(Statmath, BinomialPricesConvergeToBlackScholes)
{
    const double S = 100, K = 105, T = 0.75, r = 0.05, sigma = 0.3;
    const double call = BlackScholesCall(S, K, T, r, sigma);
    const double put = BlackScholesPut(S, K, T, r, sigma);
    // The binomial error oscillates with the step count: compare the mean
    // error of a few coarse trees with that of a few fine ones.
    const auto meanError = [&](int from) {
        double sum = 0;
        for (int n = from; n < from + 10; ++n)
            sum += std::fabs(BinomialEuropeanCall(S, K, T, r, sigma, n) - call);
        return sum / 10;
    };
    EXPECT_LT(meanError(190), meanError(10) / 5);
    EXPECT_NEAR(BinomialEuropeanCall(S, K, T, r, sigma, 200), call, 0.02);
    EXPECT_NEAR(BinomialEuropeanPut(S, K, T, r, sigma, 200), put, 0.02);
    // Without dividends an American call is never exercised early.
    EXPECT_NEAR(american(1, S, K, T, r, sigma, 200), call, 0.02);
    EXPECT_DOUBLE_EQ(BinomialAmerican(1, S, K, T, r, sigma, 0.2, 0, 200, 5), american(1, S, K, T, r, sigma, 200));
    // An American put is worth at least the European one; a dividend lowers a call.
    EXPECT_GT(american(-1, S, K, T, r, sigma, 200), put + 0.05);
    EXPECT_LT(american(1, S, K, T, r, sigma, 200, 5, 0.04), american(1, S, K, T, r, sigma, 200) - 1.0);
}

TEST(Statmath, GreeksAgreeAcrossModels)
{
    const double S = 100, K = 100, T = 0.5, r = 0.05, sigma = 0.25;
    for (int z : {1, -1}) {
        const double delta = BlackScholesGreek(z, S, K, T, r, sigma, 6);
        const double gamma = BlackScholesGreek(z, S, K, T, r, sigma, 7);
        const double theta = BlackScholesGreek(z, S, K, T, r, sigma, 8);
        // Closed forms against differences of the Black-Scholes price itself.
        const auto price = [&](double s, double t) {
            return z == 1 ? BlackScholesCall(s, K, t, r, sigma) : BlackScholesPut(s, K, t, r, sigma);
        };
        EXPECT_NEAR(delta, (price(S + 0.5, T) - price(S - 0.5, T)) / 1.0, 5e-4) << z;
        EXPECT_NEAR(gamma, (price(S + 1, T) - 2 * price(S, T) + price(S - 1, T)), 5e-4) << z;
        EXPECT_NEAR(theta, price(S, T - 1.0 / 365) - price(S, T), 5e-4) << z;
        EXPECT_NEAR(z == 1 ? delta : delta + 1, 0.59088, 1e-4) << z;

        EXPECT_NEAR(BinomialEuropeanGreek(z, S, K, T, r, sigma, 200, 6), delta, 0.01) << z;
        EXPECT_NEAR(BinomialEuropeanGreek(z, S, K, T, r, sigma, 200, 7), gamma, 0.1 * gamma) << z;
        EXPECT_NEAR(BinomialEuropeanGreek(z, S, K, T, r, sigma, 200, 8), theta, 0.05 * std::fabs(theta)) << z;
        EXPECT_DOUBLE_EQ(BinomialEuropeanGreek(z, S, K, T, r, sigma, 200, 5),
                         z == 1 ? BinomialEuropeanCall(S, K, T, r, sigma, 200)
                                : BinomialEuropeanPut(S, K, T, r, sigma, 200));
    }
    // The American call without dividends is the European one.
    EXPECT_NEAR(american(1, S, K, T, r, sigma, 200, 6), BlackScholesGreek(1, S, K, T, r, sigma, 6), 0.01);
    EXPECT_NEAR(american(1, S, K, T, r, sigma, 200, 7), BlackScholesGreek(1, S, K, T, r, sigma, 7), 0.003);
    EXPECT_NEAR(american(1, S, K, T, r, sigma, 200, 8), BlackScholesGreek(1, S, K, T, r, sigma, 8), 0.002);
    const double putDelta = american(-1, S, K, T, r, sigma, 200, 6);
    EXPECT_TRUE(putDelta < 0 && putDelta > -1) << putDelta;
}

TEST(Statmath, ShortTreesStillGiveGreeks)
{
    for (int output : {6, 7, 8}) {
        const double three = american(-1, 50, 52, 0.3, 0.05, 0.3, 3, output);
        EXPECT_NE(three, 0.0) << output;
        EXPECT_EQ(american(-1, 50, 52, 0.3, 0.05, 0.3, 1, output), three) << output;
        EXPECT_EQ(american(-1, 50, 52, 0.3, 0.05, 0.3, 2, output), three) << output;
    }
    // The value keeps the step count it was asked for.
    EXPECT_NE(american(-1, 50, 52, 0.3, 0.05, 0.3, 1), american(-1, 50, 52, 0.3, 0.05, 0.3, 3));
    EXPECT_EQ(american(1, 50, 52, 0.3, 0.05, 0.3, 2, 9), 0.0);
    EXPECT_EQ(american(0, 50, 52, 0.3, 0.05, 0.3, 20), 0.0);
}

TEST(Statmath, ExpiredOrDegenerateOptionsAreWorthTheirIntrinsicValue)
{
    struct Case {
        double S, K, T, sigma;
    };
    const Case cases[] = {{110, 100, 0, 0.3}, {90, 100, -0.1, 0.3}, {110, 100, 0.5, 0}, {90, 100, 0.5, -0.2},
                          {0, 100, 0.5, 0.3}, {110, -5, 0.5, 0.3}, {110, 100, kNaN, 0.3}, {100, 100, 0, 0.3}};
    for (const Case& c : cases) {
        const double call = std::max(c.S - c.K, 0.0), put = std::max(c.K - c.S, 0.0);
        EXPECT_EQ(BlackScholesCall(c.S, c.K, c.T, 0.05, c.sigma), call);
        EXPECT_EQ(BlackScholesPut(c.S, c.K, c.T, 0.05, c.sigma), put);
        EXPECT_EQ(BinomialEuropeanCall(c.S, c.K, c.T, 0.05, c.sigma, 20), call);
        EXPECT_EQ(BinomialEuropeanPut(c.S, c.K, c.T, 0.05, c.sigma, 20), put);
        EXPECT_EQ(american(1, c.S, c.K, c.T, 0.05, c.sigma, 20), call);
        EXPECT_EQ(american(-1, c.S, c.K, c.T, 0.05, c.sigma, 20), put);
        for (int model = 0; model <= 2; ++model) {
            // Delta 1 or -1 in the money, else 0; no gamma, no theta.
            EXPECT_EQ(ModelOutput(model, 1, c.S, c.K, c.T, 0.05, c.sigma, 20, 0, 6), c.S > c.K ? 1.0 : 0.0);
            EXPECT_EQ(ModelOutput(model, -1, c.S, c.K, c.T, 0.05, c.sigma, 20, 0, 6), c.S < c.K ? -1.0 : 0.0);
            EXPECT_EQ(ModelOutput(model, 1, c.S, c.K, c.T, 0.05, c.sigma, 20, 0, 7), 0.0);
            EXPECT_EQ(ModelOutput(model, -1, c.S, c.K, c.T, 0.05, c.sigma, 20, 0, 8), 0.0);
        }
    }
}

TEST(Statmath, NothingNonFiniteEverComesOut)
{
    const double values[] = {kNaN, kInf, -kInf, -1, 0, 1e-300, 1e300};
    for (double bad : values) {
        for (int arg = 0; arg < 6; ++arg) {
            double a[6] = {100, 95, 0.5, 0.05, 0.3, 0.02}; // S K T r sigma D
            a[arg] = bad;
            for (int model = 0; model <= 2; ++model) {
                for (int z : {1, -1}) {
                    for (int output = 5; output <= 8; ++output) {
                        const double v = ModelOutput(model, z, a[0], a[1], a[2], a[3], a[4], 30, a[5], output);
                        EXPECT_TRUE(std::isfinite(v)) << model << " " << z << " " << output << " arg " << arg
                                                      << " = " << bad << " -> " << v;
                    }
                }
            }
        }
    }
    EXPECT_TRUE(std::isfinite(BinomialEuropeanCall(100, 95, 0.5, 0.05, 0.3, 5000)));
    EXPECT_NEAR(BinomialEuropeanCall(100, 95, 0.5, 0.05, 0.3, 5000), BlackScholesCall(100, 95, 0.5, 0.05, 0.3), 0.01);
    EXPECT_TRUE(std::isfinite(american(1, 100, 95, 0.5, 0.05, 0.3, 0)));
    EXPECT_TRUE(std::isfinite(american(1, 100, 95, 0.5, 0.05, 0.3, -7)));
}

TEST(Statmath, ExtremeArgumentsTogetherStayFinite)
{
    // The intrinsic value of a put struck at the largest double on a price
    // at the lowest one lies beyond the doubles: it is the largest double.
    const double M = std::numeric_limits<double>::max();
    EXPECT_EQ(BlackScholesPut(-M, M, 1, .05, .3), M);
    EXPECT_EQ(BlackScholesCall(M, -M, 1, .05, .3), M);
    EXPECT_EQ(CumNormal(std::numeric_limits<float>::quiet_NaN()), 0.5);
    // Every pricing output over a grid of extreme values in all arguments
    // at once (n small enough to keep the tree quick).
    const double values[] = {kNaN, kInf, -kInf, M, -M, 0, 1e-300, 50};
    long nonFinite = 0;
    for (double S : values)
        for (double K : values)
            for (double T : values)
                for (double r : values)
                    for (double sigma : values)
                        for (int model = 0; model <= 2; ++model)
                            for (int z : {1, -1})
                                for (int output = 5; output <= 8; ++output) {
                                    const double v = ModelOutput(model, z, S, K, T, r, sigma, 4, sigma, output);
                                    if (!std::isfinite(v) && nonFinite++ < 5)
                                        ADD_FAILURE() << model << " " << z << " " << output << " S " << S << " K " << K
                                                      << " T " << T << " r " << r << " sigma " << sigma;
                                }
    EXPECT_EQ(nonFinite, 0);
    for (int n : {std::numeric_limits<int32_t>::min(), 201}) {
        EXPECT_TRUE(std::isfinite(BinomialEuropeanPut(M, M, 1e300, 1e300, 1e300, n)));
        EXPECT_TRUE(std::isfinite(CallPrice({2, n, M}, 1e-300, 1e300, -M, 1e-300, 0)));
    }
}

TEST(Statmath, ModelSelection)
{
    const PricingContext bs{0, 50, 0.03}, eu{1, 50, 0.03}, am{2, 50, 0.03};
    EXPECT_EQ(CallPrice(bs, 100, 95, 0.05, 0.3, 0.5), BlackScholesCall(100, 95, 0.5, 0.05, 0.3));
    EXPECT_EQ(PutPrice(eu, 100, 95, 0.05, 0.3, 0.5), BinomialEuropeanPut(100, 95, 0.5, 0.05, 0.3, 50));
    EXPECT_EQ(CallPrice(am, 100, 95, 0.05, 0.3, 0.5), BinomialAmerican(1, 100, 95, 0.5, 0.05, 0.3, 0.03, 1, 50, 5));
    EXPECT_EQ(PutPrice(am, 100, 95, 0.05, 0.3, 0.5), BinomialAmerican(-1, 100, 95, 0.5, 0.05, 0.3, 0.03, 1, 50, 5));
    for (int model : {-1, 3}) {
        EXPECT_EQ(CallPrice({model, 50, 0}, 100, 95, 0.05, 0.3, 0.5), 0.0);
        EXPECT_EQ(PutPrice({model, 50, 0}, 100, 95, 0.05, 0.3, 0.5), 0.0);
    }
}

TEST(Statmath, DaysBetweenCountsWholeDays)
{
    EXPECT_EQ(DaysBetween(38038, 38045), 7);
    EXPECT_EQ(DaysBetween(38045, 38038), -7);
    EXPECT_EQ(DaysBetween(38038.75, 38039.25), 1);
    // Single precision rounds the last minutes of a day up to the next one.
    EXPECT_EQ(DaysBetween(40000, 40000.999), 1);
    EXPECT_EQ(DaysBetween(40000, 40000.99), 0);
    EXPECT_EQ(DaysBetween(kNaN, 40000), 0);
    EXPECT_EQ(DaysBetween(0, 1e300), std::numeric_limits<int32_t>::max());
}
