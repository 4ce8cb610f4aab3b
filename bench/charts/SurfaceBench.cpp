// Speed of one full 3-D surface (30 x 30 points) of a 4-leg strategy: every
// change of strategy, parameter or mode redraws it. Each model is measured
// on every core (as the window computes it) and on the calling thread alone,
// in the same run, so a busy machine shows in both figures.
#include "charts/SurfaceGrid.h"

#include <benchmark/benchmark.h>

using namespace tw;

namespace {

LegRow option(int32_t kind, int32_t position, double strike, double entry)
{
    LegRow leg;
    leg.kind = kind;
    leg.position = position;
    leg.quantity = 1;
    leg.resolved = true;
    leg.strike = Currency::fromDouble(strike);
    leg.expiration = 45301 + 60;
    leg.entryPrice = entry;
    return leg;
}

// An iron condor on a stock at 100, 60 days out, in percent of its credit.
void Surface(benchmark::State& state, int32_t model)
{
    const SurfaceThreads threads = state.range(0) == 1 ? SurfaceThreads::One : SurfaceThreads::All;
    const std::vector<LegRow> legs{option(LegKind::Put, LegPosition::Long, 85, 0.8),
                                   option(LegKind::Put, LegPosition::Short, 90, 1.6),
                                   option(LegKind::Call, LegPosition::Short, 110, 1.7),
                                   option(LegKind::Call, LegPosition::Long, 115, 0.9)};
    SurfaceInputs in;
    in.volatility = 30;
    in.interestRate = 5;
    in.maxDate = 45301 + 60;
    in.stockPrice = 100;
    in.stockDate = 45301;
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
