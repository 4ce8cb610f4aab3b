// Built with -ffp-contract=off, like the models it calls.
#include "model/PositionValue.h"

#include "model/statmath.h"

#include <cmath>

namespace tw {

namespace {

constexpr double kContractShares = 100.0;
constexpr double kZeroBase = 0.001;

double percentOf(double value, double base)
{
    const double divisor = base == 0.0 ? kZeroBase : std::fabs(base);
    return value / divisor * 100.0;
}

} // namespace

void CalcPositionValue(std::vector<double>& result, std::span<const LegRow> Legs, double S, double sigma, double r,
                       int32_t Model, int32_t Output, bool AddTotal, bool Percent, bool TimeValueOnly, int32_t Steps,
                       double D, bool NoShortSign)
{
    const size_t n = Legs.size();
    result.assign(n + (AddTotal ? 1 : 0), 0.0);
    const bool value = Output == PricingOutput::Value;
    const bool greek = Output >= PricingOutput::Delta && Output <= PricingOutput::Theta;
    const bool knownModel = Model >= PricingModel::BlackScholes && Model <= PricingModel::BinomialAmerican;
    if (!value && !greek)
        return;

    double total = 0.0;
    double base = 0.0;
    for (size_t j = 0; j < n; ++j) {
        const LegRow& leg = Legs[j];
        if (!leg.resolved || !(leg.isOption() || leg.isStock()))
            continue;
        if (leg.isOption() && !knownModel)
            continue;
        const double multiplier = leg.isOption() ? static_cast<double>(leg.quantity) * kContractShares
                                                 : static_cast<double>(leg.quantity);
        const int32_t z = leg.kind == LegKind::Call ? 1 : -1;
        const double K = leg.strike.toDouble();

        if (value) {
            double v = S;
            double i = 0.0;
            if (leg.isOption()) {
                v = ModelOutput(Model, z, S, K, leg.timeToExpiry, r, sigma, Steps, D, PricingOutput::Value);
                i = z == 1 ? S - K : K - S;
                if (i < 0.0)
                    i = 0.0;
            }
            if (TimeValueOnly)
                v -= i;
            if (leg.isShort() && !NoShortSign)
                v = -v;
            v = leg.isShort() ? v + leg.entryPrice : v - leg.entryPrice;
            v *= multiplier;
            base += leg.legValue;
            result[j] = v;
            total += v;
        } else {
            // The leg's own position figure, so that the legs and their sum
            // share one unit: signed by position, times the quantity (and the
            // 100 shares of a contract). A share has delta 1, gamma and theta 0.
            double g = 0.0;
            if (leg.isOption())
                g = ModelOutput(Model, z, S, K, leg.timeToExpiry, r, sigma, Steps, D, Output);
            else if (Output == PricingOutput::Delta)
                g = 1.0;
            if (leg.isShort() && !NoShortSign)
                g = -g;
            result[j] = g * multiplier;
            total += result[j];
        }
    }

    if (value && Percent) {
        for (size_t j = 0; j < n; ++j)
            result[j] = percentOf(result[j], Legs[j].legValue);
        total = percentOf(total, base);
    }
    if (AddTotal)
        result[n] = total;
    // An entry price or stock price that is not a finite number must not
    // reach the chart.
    for (double& v : result) {
        if (!std::isfinite(v))
            v = 0.0;
    }
}

std::vector<double> CalcPositionValue(std::span<const LegRow> Legs, double S, double sigma, double r, int32_t Model,
                                      int32_t Output, bool AddTotal, bool Percent, bool TimeValueOnly, int32_t Steps,
                                      double D, bool NoShortSign)
{
    std::vector<double> result;
    CalcPositionValue(result, Legs, S, sigma, r, Model, Output, AddTotal, Percent, TimeValueOnly, Steps, D,
                      NoShortSign);
    return result;
}

} // namespace tw
