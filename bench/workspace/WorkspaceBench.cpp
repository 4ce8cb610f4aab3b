// Speed of the workspace's two heavy roads in the running main window:
// selecting a strategy (template legs listed, legs resolved and priced by the
// binomial American model at 200 steps, evaluated-leg grid filled, charts
// told) and showing a newly loaded chain of 3,000 options in the chain panes.
// The evaluation alone is measured too, to tell its share from the grids'.
#include "BenchApplication.h"
#include "support/MainWindowControls.h"
#include "app/TwApplication.h"
#include "app/Convert.h"
#include "mainwindow/frmStrategies.h"
#include "marketdata/QuoteTable.h"
#include "model/Evaluation.h"
#include "model/OptionsCollection.h"
#include "model/StrategiesFile.h"
#include "model/StrategyTemplates.h"
#include "model/stock.h"
#include "platform/Grid.h"
#include "support/MainWindowRun.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include <QComboBox>
#include <QDate>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <algorithm>
#include <benchmark/benchmark.h>

using namespace tw;

namespace {

using bench::application;

// A stock at 100 with `expirations` monthly expirations of `strikes` strikes
// each (from 100 - strikes / 2 x 2.5, every 2.5), calls and puts.
std::shared_ptr<stock> buildChain(int expirations, int strikes)
{
    auto s = std::make_shared<stock>();
    s->setCode(QStringLiteral("BNCH (BENCH CORP)"));
    s->setPrice(Currency::fromDouble(100));
    s->setBid(Currency::fromDouble(99.95));
    s->setAsk(Currency::fromDouble(100.05));
    const double today = serialFromDate(QDate(2024, 1, 10));
    s->setStockDate(today);
    const QString exchange = QStringLiteral("CBOE (Chicago Board Options Exchange)");
    for (int e = 0; e < expirations; ++e) {
        const double exp = today + 37 + 28 * e + (e >= 5 ? 200 * (e - 4) : 0);
        for (int k = 0; k < strikes; ++k) {
            const double strike = 100 - strikes / 2 * 2.5 + 2.5 * k;
            const double call = std::max(100 - strike, 0.0) + 1.5 + 0.05 * e;
            const double put = std::max(strike - 100, 0.0) + 1.4 + 0.05 * e;
            const QString tag = QStringLiteral("%1-%2").arg(e).arg(k);
            s->Calls()->Add(QStringLiteral("BNCH C") + tag, Currency::fromDouble(strike), exp, "+0.05",
                            Currency::fromDouble(call - 0.05), Currency::fromDouble(call + 0.05), 10 + k, 100 * e,
                            exchange, Currency::fromDouble(call));
            s->Puts()->Add(QStringLiteral("BNCH P") + tag, Currency::fromDouble(strike), exp, "-0.05",
                           Currency::fromDouble(put - 0.05), Currency::fromDouble(put + 0.05), 10 + k, 100 * e,
                           exchange, Currency::fromDouble(put));
        }
    }
    return s;
}

// An iron condor spread over the near, a long-term and the LEAPS
// expirations, with a stock leg: six legs to price.
std::shared_ptr<StrategyTypeCollection> benchLibrary()
{
    auto types = std::make_shared<StrategyTypeCollection>();
    auto group = types->Add(QStringLiteral("Bench"), QString());
    auto s = group->Strategies()->Add(QStringLiteral("Condor and stock"), QStringLiteral("{\\rtf1 Bench.}"));
    auto& p = *s->Params();
    p.Add(LegKind::Put, LegPosition::Long, -3, 1, 1);
    p.Add(LegKind::Put, LegPosition::Short, -1, 1, 1);
    p.Add(LegKind::Call, LegPosition::Short, 1, 3, 1);
    p.Add(LegKind::Call, LegPosition::Long, 3, 3, 1);
    p.Add(LegKind::Call, LegPosition::Short, 2, 7, 1);
    p.Add(LegKind::Stock, LegPosition::Long, 0, 1, 100);
    return types;
}

struct Window {
    QTemporaryDir dir;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<test::MainWindowRun> run;

    explicit Window(bool withStrategies)
    {
        test::environment().clearSettings();
        const QString stg = dir.filePath(withStrategies ? QStringLiteral("bench.stg") : QStringLiteral("empty.stg"));
        const auto library = withStrategies ? benchLibrary() : std::make_shared<StrategyTypeCollection>();
        writeStrategiesFile(*library, stg);
        run = std::make_unique<test::MainWindowRun>(QStringList{QStringLiteral("-S"), stg});
    }
    frmStrategies* operator->() const { return run->window(); }
};

void SelectStrategyAmerican200(benchmark::State& state)
{
    application();
    Window w(true);
    marketdata::ParseResult chain;
    chain.objStock = buildChain(7, 20);
    ui::chain(w.run->window())->applyParsedChain(chain);
    ui::optTheoreticalPrice(w.run->window())->setChecked(true);
    ui::pricing(w.run->window())->optTheoreticalPrice_Click();
    w->session().setSteps(200);
    ui::txtSteps(w.run->window())->setText(QStringLiteral("200"));
    ui::cmbModel(w.run->window())->setCurrentIndex(2);
    ui::pricing(w.run->window())->cmbModel_Click();
    QTreeWidgetItem* node = ui::library(w.run->window())->nodeByKey(QStringLiteral("T1S1"));
    if (node == nullptr || ui::gdSelected(w.run->window())->Rows() != 6 + 2) {
        state.SkipWithError("the strategy was not evaluated");
        return;
    }
    for (auto _ : state) {
        ui::library(w.run->window())->tvStrategies_NodeClick(node);
        benchmark::DoNotOptimize(w->session().startStrategyPrice());
    }
    state.counters["legs"] = 6;
}
BENCHMARK(SelectStrategyAmerican200)->Unit(benchmark::kMillisecond);

// The pure evaluation of the same strategy (no grids), for comparison.
void EvaluateAmerican200(benchmark::State& state)
{
    const auto s = buildChain(7, 20);
    const auto library = benchLibrary();
    const ParamsCollection& legs = *library->Item(1)->Strategies()->Item(1)->Params();
    EvaluationInputs in;
    in.objStock = s.get();
    in.calls = s->Calls().get();
    in.puts = s->Puts().get();
    in.calcStockPrice = 100;
    in.source = PriceSource::Theoretical;
    in.volatilityPercent = 45;
    in.interestPercent = 5;
    in.pricing = PricingContext{PricingModel::BinomialAmerican, 200, 0.01};
    in.exchange = QStringLiteral("CBOE (Chicago Board Options Exchange)");
    for (auto _ : state)
        benchmark::DoNotOptimize(EvaluateStrategy(legs, in).total);
}
BENCHMARK(EvaluateAmerican200)->Unit(benchmark::kMillisecond);

// Showing a newly loaded chain: quote labels, both chain grids filled, and
// the refresh that follows (nothing selected to evaluate).
void FillChainPanes3000(benchmark::State& state)
{
    application();
    Window w(false);
    const auto s = buildChain(10, 150); // 1,500 calls and 1,500 puts
    for (auto _ : state) {
        w->session().setObjStock(s);
        ui::chain(w.run->window())->UpdateControls();
    }
    if (ui::gdCalls(w.run->window())->Rows() != 1500 || ui::gdPuts(w.run->window())->Rows() != 1500)
        state.SkipWithError("the chain grids were not filled");
    state.counters["options"] = 3000;
}
BENCHMARK(FillChainPanes3000)->Unit(benchmark::kMillisecond);

} // namespace
