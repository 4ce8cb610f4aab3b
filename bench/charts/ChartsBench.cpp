// Speed of redrawing 2-D chart windows for a 4-leg strategy under the
// binomial American model at 200 steps: the sweep, loading the chart control
// (series, axes, labels, colours) and the summary, and, in the "painted"
// runs, painting what changed on the screen as the event loop does it.
//
// - Redraw: one step of the fixed parameter's scroll bar (value or delta),
//   which the user drags, so each step should stay under a frame at 60 Hz.
// - StrategyClick: the main window hands other legs to one or three open
//   windows, as a click on a strategy in the tree does.
// - ChainLoad: a newly loaded chain pushes price, date, ticker, steps,
//   model, dividends and the legs into a window in one turn.
// - SweepOnly: the sweep alone, for comparison.
//
// Every change is followed by a read of what the chart draws (and, painted,
// by the event loop's own delivery of what was posted), so a window that
// draws later than the change is measured the same as one that draws at once.
#include "BenchApplication.h"
#include "charts/ChartSweep.h"
#include "charts/frmChart.h"
#include "model/statmath.h"
#include "platform/Chart2D.h"
#include "platform/PopupMenu.h"

#include <QComboBox>
#include <QScrollBar>

#include <benchmark/benchmark.h>
#include <memory>

using namespace tw;

namespace {

constexpr double kDate = 45300;

using bench::application;

LegRow leg(int32_t kind, int32_t position, double strike, double entry, const char* code)
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
    row.code = QString::fromLatin1(code);
    return row;
}

// An iron condor around 100.
std::vector<LegRow> ironCondor()
{
    return {leg(LegKind::Put, LegPosition::Long, 85, 0.6, "BNC PQ"), leg(LegKind::Put, LegPosition::Short, 90, 1.3, "BNC PR"),
            leg(LegKind::Call, LegPosition::Short, 110, 1.4, "BNC DB"),
            leg(LegKind::Call, LegPosition::Long, 115, 0.7, "BNC DC")};
}

// An iron butterfly around 100: four other legs.
std::vector<LegRow> ironButterfly()
{
    return {leg(LegKind::Put, LegPosition::Long, 90, 1.3, "BNC PR"), leg(LegKind::Put, LegPosition::Short, 100, 3.9, "BNC PT"),
            leg(LegKind::Call, LegPosition::Short, 100, 4.1, "BNC DT"),
            leg(LegKind::Call, LegPosition::Long, 110, 1.4, "BNC DB")};
}

// What the user sees next: the event loop runs what the change left for it
// (a drawing asked for, the repaint of what changed, the flush to the screen).
void paintWhatChanged()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// A read of what a window draws: its first series' first point.
void readDrawing(frmChart& chart)
{
    benchmark::DoNotOptimize(chart.Chart->value(1, 0));
}

// A chart window over the stock price with the binomial American model at
// 200 steps and the iron condor, as the main window fills and shows it.
std::unique_ptr<frmChart> openWindow(int offset)
{
    auto chart = std::make_unique<frmChart>(nullptr);
    chart->setAttribute(Qt::WA_DeleteOnClose, false);
    chart->setGeometry(40 + offset, 40 + offset, 900, 600);
    chart->show();
    chart->setStockPrice(100);
    chart->setStockDate(kDate);
    chart->setBinominalSteps(200);
    chart->setUseOptionsModel(PricingModel::BinomialAmerican);
    chart->setOptions(ironCondor());
    paintWhatChanged();
    return chart;
}

// The user drags the volatility's scroll bar: every step stores the new
// fixed value and redraws with it. Y is the value (5) or delta (6).
void Redraw(benchmark::State& state)
{
    application();
    const std::unique_ptr<frmChart> chart = openWindow(0);
    if (state.range(0) == 6) {
        // Y = delta, as the axis menu sets it.
        emit chart->mMenu->Click(chart->mMenu->IndexOfKey(QStringLiteral("delta")));
    }
    chart->cbParam->setCurrentIndex(0);
    paintWhatChanged();
    int volatility = 4000;
    const bool paint = state.range(1) != 0;
    for (auto _ : state) {
        volatility = volatility == 4000 ? 4010 : 4000;
        chart->sbValue->setValue(volatility);
        readDrawing(*chart);
        if (paint)
            paintWhatChanged();
    }
    state.SetLabel(std::string(state.range(0) == 6 ? "delta" : "value") + (paint ? ", painted" : ""));
}
BENCHMARK(Redraw)->Args({5, 0})->Args({6, 0})->Args({5, 1})->Args({6, 1})->Unit(benchmark::kMillisecond);

// A click on a strategy: every open window gets the other strategy's legs.
void StrategyClick(benchmark::State& state)
{
    application();
    std::vector<std::unique_ptr<frmChart>> windows;
    for (int i = 0; i < state.range(0); ++i)
        windows.push_back(openWindow(30 * i));
    const LegsArray legs[] = {ironButterfly(), ironCondor()};
    const bool paint = state.range(1) != 0;
    int which = 0;
    for (auto _ : state) {
        which = 1 - which;
        for (const auto& w : windows)
            w->setOptions(legs[which]);
        for (const auto& w : windows)
            readDrawing(*w);
        if (paint)
            paintWhatChanged();
    }
    state.SetLabel(std::to_string(windows.size()) + (windows.size() == 1 ? " window" : " windows")
                   + (paint ? ", painted" : ""));
}
BENCHMARK(StrategyClick)->Args({1, 0})->Args({3, 0})->Args({1, 1})->Args({3, 1})->Unit(benchmark::kMillisecond);

// A chain loaded: its price, date and ticker, the pricing inputs and the
// evaluated legs arrive in one turn of the event loop.
void ChainLoad(benchmark::State& state)
{
    application();
    const std::unique_ptr<frmChart> chart = openWindow(0);
    const LegsArray legs = ironCondor();
    const bool paint = state.range(0) != 0;
    int flip = 0;
    for (auto _ : state) {
        flip = 1 - flip;
        chart->setStockPrice(100 + flip);
        chart->setStockDate(kDate + flip);
        chart->setStockTicker(flip != 0 ? QStringLiteral("BNC") : QStringLiteral("BND"));
        chart->setBinominalSteps(200);
        chart->setUseOptionsModel(PricingModel::BinomialAmerican);
        chart->setDividends(0);
        chart->setOptions(legs);
        readDrawing(*chart);
        if (paint)
            paintWhatChanged();
    }
    state.SetLabel(paint ? "painted" : "");
}
BENCHMARK(ChainLoad)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

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
