// Speed of one full redraw of a 2-D chart window (the sweep and loading the
// chart control, labels, colours and the summary) for a 4-leg strategy under
// the binomial American model at 200 steps: a value chart and a delta chart.
// Dragging the fixed parameter's scroll bar redraws at every step, so each
// should stay under a frame at 60 Hz (16 ms). The sweep alone is measured too.
#include "app/TwApplication.h"
#include "charts/ChartSweep.h"
#include "charts/frmChart.h"
#include "model/statmath.h"
#include "platform/PopupMenu.h"

#include <QComboBox>
#include <QScrollBar>
#include "support/TestEnvironment.h"

#include <benchmark/benchmark.h>

using namespace tw;

namespace {

constexpr double kDate = 45300;

QApplication& application()
{
    static int argc = 1;
    static char name[] = "tw_charts_bench";
    static char* argv[] = {name, nullptr};
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    test::installEnvironment();
    // Never destroyed: the window system's objects must not go at exit
    // after the libraries they belong to.
    static auto* app = new TwApplication(argc, argv);
    return *app;
}

LegRow leg(int32_t kind, int32_t position, double strike, double entry)
{
    LegRow row;
    row.kind = kind;
    row.position = position;
    row.quantity = 1;
    row.resolved = true;
    row.strike = Currency::fromDouble(strike);
    row.expiration = kDate + 60;
    row.entryPrice = entry;
    row.legValue = entry * 100;
    row.code = QStringLiteral("BNCH");
    return row;
}

// An iron condor around 100.
std::vector<LegRow> ironCondor()
{
    return {leg(LegKind::Put, LegPosition::Long, 85, 0.6), leg(LegKind::Put, LegPosition::Short, 90, 1.3),
            leg(LegKind::Call, LegPosition::Short, 110, 1.4), leg(LegKind::Call, LegPosition::Long, 115, 0.7)};
}

// A chart window over the stock price with the binomial American model at
// 200 steps; Y is the value (5) or delta (6). The fixed volatility moves
// between two values, so every redraw draws other lines.
void Redraw(benchmark::State& state)
{
    application();
    frmChart chart(nullptr);
    chart.resize(900, 600);
    chart.show();
    chart.setStockPrice(100);
    chart.setStockDate(kDate);
    chart.setBinominalSteps(200);
    chart.setUseOptionsModel(PricingModel::BinomialAmerican);
    chart.setOptions(ironCondor());
    if (state.range(0) == 6) {
        // Y = delta, as the axis menu sets it.
        emit chart.mMenu->Click(chart.mMenu->IndexOfKey(QStringLiteral("delta")));
    }
    QCoreApplication::processEvents();
    // The user drags the volatility's scroll bar: every step stores the new
    // fixed value and redraws with it.
    chart.cbParam->setCurrentIndex(0);
    int volatility = 4000;
    const bool paint = state.range(1) != 0;
    for (auto _ : state) {
        volatility = volatility == 4000 ? 4010 : 4000;
        chart.sbValue->setValue(volatility);
        if (paint)
            chart.repaint(); // what the screen then shows, painted at once
    }
    state.SetLabel(std::string(state.range(0) == 6 ? "delta" : "value") + (paint ? ", painted" : ""));
}
BENCHMARK(Redraw)->Args({5, 0})->Args({6, 0})->Args({5, 1})->Args({6, 1})->Unit(benchmark::kMillisecond);

void SweepOnly(benchmark::State& state)
{
    const std::vector<LegRow> legs = ironCondor();
    SweepInput in;
    in.ranges.MinStockPrice = 50;
    in.ranges.MaxStockPrice = 150;
    in.StockDate = kDate;
    in.AxisY = static_cast<int32_t>(state.range(0));
    in.Model = PricingModel::BinomialAmerican;
    in.Steps = 200;
    SweepTable table;
    for (auto _ : state) {
        sweepChart(table, legs, in);
        benchmark::DoNotOptimize(table.values.data());
    }
}
BENCHMARK(SweepOnly)->Arg(5)->Arg(6)->Unit(benchmark::kMillisecond);

} // namespace
