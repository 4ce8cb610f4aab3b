#pragma once
// Option-pricing mathematics: the cumulative normal distribution, the
// binomial coefficient, Black-Scholes, a binomial European model by closed
// binomial sum and a binomial American (Cox-Ross-Rubinstein) tree with early
// exercise, a continuous dividend yield and delta, gamma and theta.
//
// Arguments: stock price S and strike K in money units, time T in years
// (whole days / 365), interest rate r, volatility sigma and dividend yield D
// as fractions per year, n binomial steps.
//
// The Black-Scholes and binomial European formulas keep a few intermediates
// in single precision (named where they occur); this file is built without
// fused multiply-add contraction so results are the same on every machine.
//
// No NaN or infinity ever comes out: T <= 0, and S, K or sigma that are not
// above 0, give the value at expiry (intrinsic value; delta 0 or +-1 by
// moneyness, gamma 0, theta 0), and so does a computation that overflows; an
// intrinsic value beyond the range of a double is the largest double.

#include <cstdint>

namespace tw {

// Model index of the pricing-model selector.
namespace PricingModel {
constexpr int32_t BlackScholes = 0;
constexpr int32_t BinomialEuropean = 1;
constexpr int32_t BinomialAmerican = 2;
} // namespace PricingModel

// Output selector of the models and of the position value.
namespace PricingOutput {
constexpr int32_t Value = 5;
constexpr int32_t Delta = 6;
constexpr int32_t Gamma = 7;
constexpr int32_t Theta = 8; // per calendar day
} // namespace PricingOutput

// What CallPrice and PutPrice price with: the model index (0..2), the number
// of binomial steps and the dividend yield (binomial American only).
struct PricingContext {
    int32_t model = PricingModel::BlackScholes;
    int32_t steps = 1;
    double dividends = 0.0;
};

// Binomial step counts are held within 1..MaxSteps.
constexpr int32_t MaxSteps = 32767;

// Cumulative standard normal distribution (Abramowitz-Stegun 26.2.17) of a
// single-precision argument; 0.5 for not-a-number.
double CumNormal(float x);
// n over k, multiplying before dividing; 1 when k < 1; infinite beyond the
// range of a double (the binomial European sum then takes it in logs).
double Combin(int32_t n, int32_t k);

double BlackScholesCall(double S, double K, double T, double r, double sigma);
double BlackScholesPut(double S, double K, double T, double r, double sigma);

double BinomialEuropeanCall(double S, double K, double T, double r, double sigma, int32_t n);
double BinomialEuropeanPut(double S, double K, double T, double r, double sigma, int32_t n);

// z: 1 call, -1 put (anything else gives 0). UseDiv 1 applies D. Output 5
// value, 6 delta, 7 gamma, 8 theta per day; anything else gives 0. Greeks are
// taken on a tree of at least 3 steps.
double BinomialAmerican(int32_t z, double S, double K, double T, double r, double sigma, double D, int32_t UseDiv,
                        int32_t n, int32_t Output);

// Output 5..8 of the Black-Scholes model: the value, or the closed-form
// delta, gamma and theta per day.
double BlackScholesGreek(int32_t z, double S, double K, double T, double r, double sigma, int32_t Output);
// Output 5..8 of the binomial European model: the value, or delta and gamma
// by central differences in the stock price (one tree spacing wide) and
// theta as the change of the value over one day.
double BinomialEuropeanGreek(int32_t z, double S, double K, double T, double r, double sigma, int32_t n,
                             int32_t Output);

// Output 5..8 of model 0..2 for one long unit of a call (z = 1) or put
// (z = -1); 0 for any other model.
double ModelOutput(int32_t model, int32_t z, double S, double K, double T, double r, double sigma, int32_t steps,
                   double D, int32_t Output);

// The unit price of a call or put by the context's model (note the order:
// rate, volatility, then time); 0 for a model index outside 0..2.
double CallPrice(const PricingContext& context, double S, double K, double r, double sigma, double T);
double PutPrice(const PricingContext& context, double S, double K, double r, double sigma, double T);

// Whole calendar days from d1 to d2 (date serials): the floor of each serial
// rounded to single precision, d2's minus d1's. Not-a-number gives 0; the
// result is held within the 32-bit range.
int32_t DaysBetween(double d1, double d2);

} // namespace tw
