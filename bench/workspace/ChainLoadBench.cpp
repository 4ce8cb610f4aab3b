// Opening an option chain with "Load from file" in the running main window,
// from the click to the chain shown: the file read, the quote table parsed,
// both chain grids filled with every option, the two sides filtered by the
// selected exchange and the selected strategy evaluated against them. The
// chains: the shipped sample (data/SAMPLE.opt, 7 expirations, about 900
// lines), and chains as large as a big index's made at run time by the
// sample chain's own generator (tools/SampleChain.h) from the same
// description, every expiration quoting every strike from 1 to 400 on every
// exchange: at 0.50 (about 28,000 lines, 2.9 MB) and at 0.25 (about 56,000
// lines, 5.8 MB).
#include "BenchApplication.h"
#include "SampleChain.h"
#include "support/MainWindowControls.h"
#include "app/CAppSettings.h"
#include "app/Tools.h"
#include "mainwindow/frmStrategies.h"
#include "marketdata/QuoteTable.h"
#include "model/OptionsCollection.h"
#include "model/stock.h"
#include "platform/Grid.h"
#include "support/MainWindowRun.h"
#include "support/ScriptedDialogs.h"

#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>

using namespace tw;

namespace {

using bench::application;

// The chain file of a case, made once: 0 the shipped sample, else its
// description with every strike from 1 to 400 in steps of `range(0)` cents.
QString chainFile(int stepCents)
{
    if (stepCents == 0)
        return test::shippedFile(QStringLiteral("SAMPLE.opt"));
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("wide-%1.opt").arg(stepCents));
    if (!QFileInfo::exists(path)) {
        tools::ChainDescription d = tools::readChainDescription(QStringLiteral(TW_SAMPLE_CHAIN_LIST));
        tools::widenChain(d, 100, 40000, stepCents);
        marketdata::writeOptionChainFile(path, tools::buildChainTable(d));
    }
    return path;
}

void LoadChainFromFile(benchmark::State& state)
{
    application();
    test::environment().clearSettings();
    // The main window as the program starts it on the shipped strategies,
    // without chart windows: only the chain pane's road is measured.
    appSettings().SaveSetting(QStringLiteral("Settings"), QStringLiteral("CCCount"), 0);
    appSettings().SaveSetting(QStringLiteral("Settings"), QStringLiteral("3dChartVisible"), QStringLiteral("False"));
    test::ScriptedDialogs dialogs;
    const QString path = chainFile(static_cast<int>(state.range(0)));
    test::MainWindowRun run({QStringLiteral("-S"), test::shippedFile(QStringLiteral("DEFAULT.STG"))});
    frmStrategies* w = run.window();
    for (auto _ : state) {
        dialogs.fileAnswers.push_back(test::ScriptedDialogs::chosen({path}));
        QTest::mouseClick(ui::cmdLoad(w), Qt::LeftButton);
    }
    const auto& s = w->session().ObjStock();
    if (s == nullptr || !dialogs.messages.isEmpty() || ui::gdCalls(w)->Rows() != s->Calls()->Count()
        || ui::gdPuts(w)->Rows() != s->Puts()->Count() || w->session().calls() == nullptr) {
        state.SkipWithError("the chain was not loaded and shown");
        return;
    }
    state.counters["lines"] = static_cast<double>(w->session().quoteLines().size());
    state.counters["options"] = s->Calls()->Count() + s->Puts()->Count();
    state.counters["MB"] = static_cast<double>(QFileInfo(path).size()) / 1e6;
}
BENCHMARK(LoadChainFromFile)->Arg(0)->Arg(50)->Arg(25)->Unit(benchmark::kMillisecond);

} // namespace
