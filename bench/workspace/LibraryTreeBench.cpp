// Speed of the strategy tree in the running main window, on the shipped
// library and on one of 2,000 strategies made by tools/' generator: the
// start-up until the window is shown, and a click on a strategy node with
// the mouse (the node shown bold with its picture, its legs listed and
// evaluated against the sample chain, the tree repainted). Neither should
// grow with the library beyond reading the file.
//
// The resident memory after the start-up is given as a counter.
#include "BenchApplication.h"
#include "support/MainWindowControls.h"
#include "app/CAppSettings.h"
#include "app/Tools.h"
#include "app/TwApplication.h"
#include "mainwindow/frmStrategies.h"
#include "model/StrategiesFile.h"
#include "model/StrategyTemplates.h"
#include "platform/Grid.h"
#include "support/MainWindowRun.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QTest>
#include <QTreeWidget>
#include <benchmark/benchmark.h>
#include <chrono>
#include <unistd.h>

using namespace tw;

namespace {

using bench::application;

QString libraryFile(int which)
{
    return which == 0 ? test::shippedFile(QStringLiteral("DEFAULT.STG")) : QStringLiteral(TW_BENCH_LIBRARY2000);
}

// A start with the sample chain and no chart windows, as a fresh user has
// it apart from the charts (their drawing does not depend on the library).
void prepareSettings()
{
    test::environment().clearSettings();
    appSettings().SaveSetting(QStringLiteral("Settings"), QStringLiteral("CCCount"), 0);
    appSettings().SaveSetting(QStringLiteral("Settings"), QStringLiteral("3dChartVisible"), QStringLiteral("False"));
}

QStringList arguments(int which)
{
    return {QStringLiteral("-S"), libraryFile(which), QStringLiteral("-O"),
            test::shippedFile(QStringLiteral("SAMPLE.opt"))};
}

double residentMegabytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0) : 0;
}

int strategyCount(const frmStrategies* w)
{
    int n = 0;
    for (const auto& g : *w->session().library())
        n += g->Strategies()->Count();
    return n;
}

// Arg 0: the shipped library; 1: the generated one of 2,000 strategies.
void StartUpToWindowShown(benchmark::State& state)
{
    application();
    const int which = int(state.range(0));
    int strategies = 0;
    double rss = 0;
    for (auto _ : state) {
        prepareSettings();
        test::ScriptedDialogs dialogs;
        const auto start = std::chrono::steady_clock::now();
        auto run = std::make_unique<test::MainWindowRun>(arguments(which));
        QCoreApplication::processEvents();
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        if (!run->window()->isVisible() || !dialogs.messages.isEmpty()) {
            state.SkipWithError("the window did not start cleanly");
            return;
        }
        strategies = strategyCount(run->window());
        rss = residentMegabytes();
        run.reset();
    }
    state.counters["strategies"] = strategies;
    state.counters["rss_MB"] = rss;
}
BENCHMARK(StartUpToWindowShown)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(8);

// Clicks two strategies of the first group in turn, each click a new
// selection.
void ClickStrategyNode(benchmark::State& state)
{
    application();
    const int which = int(state.range(0));
    prepareSettings();
    test::ScriptedDialogs dialogs;
    test::MainWindowRun run(arguments(which));
    frmStrategies* w = run.window();
    QWidget* viewport = ui::tvStrategies(w)->viewport();
    const QPoint first = test::treeNodeCentre(w, QStringLiteral("T1S1"));
    const QPoint second = test::treeNodeCentre(w, QStringLiteral("T1S2"));
    if (first.y() < 0 || second.y() < 0) {
        state.SkipWithError("the first group has no two strategies in view");
        return;
    }
    QCoreApplication::processEvents();
    bool odd = false;
    for (auto _ : state) {
        odd = !odd;
        QTest::mouseClick(viewport, Qt::LeftButton, {}, odd ? second : first);
        QCoreApplication::processEvents(); // the repaint
    }
    if (ui::library(w)->selectedKey() != (odd ? QStringLiteral("T1S2") : QStringLiteral("T1S1"))
        || ui::gdSelected(w)->Rows() == 0)
        state.SkipWithError("the click did not select and evaluate the strategy");
    state.counters["strategies"] = strategyCount(w);
}
BENCHMARK(ClickStrategyNode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
