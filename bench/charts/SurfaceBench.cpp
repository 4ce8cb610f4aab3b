// Speed of one full 3-D surface (30 x 30 points) of a 4-leg strategy: every
// change of strategy, parameter or mode redraws it. Each model is measured
// on every core (as the window computes it) and on the calling thread alone,
// in the same run, so a busy machine shows in both figures.
#include "SurfaceLegs.h"

#include "charts/SurfaceGrid.h"

#include <benchmark/benchmark.h>

using namespace tw;

namespace {

// An iron condor on a stock at 100, 60 days out, in percent of its credit.
void Surface(benchmark::State& state, int32_t model)
{
    const SurfaceThreads threads = state.range(0) == 1 ? SurfaceThreads::One : SurfaceThreads::All;
    const std::vector<LegRow> legs = bench::ironCondor();
    SurfaceInputs in;
    in.volatility = 30;
    in.interestRate = 5;
    in.maxDate = bench::kExpiration;
    in.stockPrice = 100;
    in.stockDate = bench::kStockDate;
    in.startStrategyPrice = 160;
    in.percent = true;
    in.modeCaption = QStringLiteral("Profit/Loss");
    in.pricing = {model, 200, 0.01};
    for (auto _ : state) {
        SurfaceGrid g = ComputeSurface(legs, in, threads);
        benchmark::DoNotOptimize(g.z.data());
    }
    state.SetLabel(threads == SurfaceThreads::One ? "one thread" : "every core");
}

void SurfaceBinomialAmerican200(benchmark::State& state)
{
    Surface(state, PricingModel::BinomialAmerican);
}
BENCHMARK(SurfaceBinomialAmerican200)->ArgName("oneThread")->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond);

void SurfaceBlackScholes(benchmark::State& state)
{
    Surface(state, PricingModel::BlackScholes);
}
BENCHMARK(SurfaceBlackScholes)->ArgName("oneThread")->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace
