// Speed of the pricing models and of one 2-D chart sweep.
#include "MinimalTree.h"
#include "model/PositionValue.h"
#include "model/TreeKernel.h"
#include "model/statmath.h"

#include <benchmark/benchmark.h>
#include <cstring>

using namespace tw;

namespace {

// One American put at the money, half a year out; the "node" counter gives
// the time per node update (the tree has n (n + 1) / 2 of them).
void BinomialAmericanPrice(benchmark::State& state)
{
    const auto n = static_cast<int32_t>(state.range(0));
    double S = 100;
    for (auto _ : state) {
        benchmark::DoNotOptimize(BinomialAmerican(-1, S, 100, 0.5, 0.05, 0.3, 0.01, 1, n, PricingOutput::Value));
        S = S == 100 ? 100.5 : 100;
    }
    state.counters["node"] = benchmark::Counter(static_cast<double>(n) * (n + 1) / 2,
                                                benchmark::Counter::kIsIterationInvariantRate
                                                    | benchmark::Counter::kInvert);
}
BENCHMARK(BinomialAmericanPrice)->Arg(50)->Arg(100)->Arg(200);

// One American option with its greeks (theta needs the whole tree down to the
// root and level 2), 200 steps, by each version of the tree's backward
// induction: 0 baseline (2 doubles a vector), 1 AVX2 (4), 2 AVX-512 (8). A put
// is exercised early on the low side of the tree, a call (which the dividend
// yield makes worth exercising early) on the high side.
void BinomialAmericanWithGreeks(benchmark::State& state, int32_t z)
{
    const auto kernel = static_cast<TreeKernel>(state.range(0));
    if (!treeKernelSupported(kernel)) {
        state.SkipWithError("this machine lacks the instructions");
        return;
    }
    const TreeKernel before = treeKernel();
    setTreeKernel(kernel);
    double S = 100;
    for (auto _ : state) {
        benchmark::DoNotOptimize(BinomialAmerican(z, S, 100, 0.5, 0.05, 0.3, 0.01, 1, 200, PricingOutput::Theta));
        S = S == 100 ? 100.5 : 100;
    }
    setTreeKernel(before);
}
BENCHMARK_CAPTURE(BinomialAmericanWithGreeks, put, -1)->ArgName("kernel")->Arg(0)->Arg(1)->Arg(2);
BENCHMARK_CAPTURE(BinomialAmericanWithGreeks, call, 1)->ArgName("kernel")->Arg(0)->Arg(1)->Arg(2);

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The yardstick of the two above: the same trees by the minimal backward
// induction (MinimalTree.h), whose exercise values are worked out before the
// timing starts. It must give the tree's value and greeks bit for bit.
void MinimalTreeWithGreeks(benchmark::State& state, int32_t z)
{
    const auto kernel = static_cast<TreeKernel>(state.range(0));
    if (!treeKernelSupported(kernel)) {
        state.SkipWithError("this machine lacks the instructions");
        return;
    }
    const double prices[2] = {100, 100.5};
    const bench::MinimalTree trees[2] = {bench::prepareMinimalTree(z, prices[0], 100, 0.5, 0.05, 0.3, 0.01, 200),
                                         bench::prepareMinimalTree(z, prices[1], 100, 0.5, 0.05, 0.3, 0.01, 200)};
    std::vector<double> V;
    for (int k = 0; k < 2; ++k) {
        const bench::MinimalGreeks g = bench::runMinimalTree(trees[k], kernel, V);
        const auto tree = [&](int32_t output) {
            return BinomialAmerican(z, prices[k], 100, 0.5, 0.05, 0.3, 0.01, 1, 200, output);
        };
        if (!sameBits(g.value, tree(PricingOutput::Value)) || !sameBits(g.delta, tree(PricingOutput::Delta))
            || !sameBits(g.gamma, tree(PricingOutput::Gamma)) || !sameBits(g.theta, tree(PricingOutput::Theta))) {
            state.SkipWithError("the minimal induction disagrees with the tree");
            return;
        }
    }
    int k = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(bench::runMinimalTree(trees[k], kernel, V).theta);
        k ^= 1;
    }
}
BENCHMARK_CAPTURE(MinimalTreeWithGreeks, put, -1)->ArgName("kernel")->Arg(0)->Arg(1)->Arg(2);
BENCHMARK_CAPTURE(MinimalTreeWithGreeks, call, 1)->ArgName("kernel")->Arg(0)->Arg(1)->Arg(2);

void BlackScholesCallPrice(benchmark::State& state)
{
    double S = 100;
    for (auto _ : state) {
        benchmark::DoNotOptimize(BlackScholesCall(S, 100, 0.5, 0.05, 0.3));
        S = S == 100 ? 100.5 : 100;
    }
}
BENCHMARK(BlackScholesCallPrice);

void BinomialEuropeanCallPrice(benchmark::State& state)
{
    double S = 100;
    for (auto _ : state) {
        benchmark::DoNotOptimize(BinomialEuropeanCall(S, 100, 0.5, 0.05, 0.3, 200));
        S = S == 100 ? 100.5 : 100;
    }
}
BENCHMARK(BinomialEuropeanCallPrice);

LegRow leg(int32_t kind, int32_t position, double strike)
{
    LegRow row;
    row.kind = kind;
    row.position = position;
    row.quantity = 1;
    row.resolved = true;
    row.strike = Currency::fromDouble(strike);
    row.timeToExpiry = 60.0 / 365;
    row.entryPrice = 2.0;
    row.legValue = 200.0;
    return row;
}

// One redraw of a 2-D chart: an iron condor (4 option legs) valued at the 100
// points of a stock-price sweep with the binomial American model, 200 steps.
void PositionValueSweep(benchmark::State& state)
{
    const std::vector<LegRow> legs = {leg(LegKind::Put, LegPosition::Long, 85), leg(LegKind::Put, LegPosition::Short, 90),
                                      leg(LegKind::Call, LegPosition::Short, 110),
                                      leg(LegKind::Call, LegPosition::Long, 115)};
    std::vector<double> point;
    for (auto _ : state) {
        for (int p = 0; p < 100; ++p) {
            CalcPositionValue(point, legs, 50.0 + p, 0.3, 0.05, PricingModel::BinomialAmerican,
                              PricingOutput::Value, true, true, false, 200, 0.0, false);
            benchmark::DoNotOptimize(point.data());
        }
    }
}
BENCHMARK(PositionValueSweep)->Unit(benchmark::kMillisecond);

} // namespace
