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
//
// StartWithChain measures the program's start on such a chain ("-O"), from
// the main window's load to the chain shown, and the peak memory of each case
// (the process's peak resident size, reset when the case begins), so that a
// big chain's cost shows beside the sample's in the same run; its last case
// has strikes 0.03 apart (about 465,000 lines, 48 MB).
#include "BenchApplication.h"
#include "WideChain.h"
#include "support/MainWindowControls.h"
#include "app/CAppSettings.h"
#include "app/Tools.h"
#include "mainwindow/frmStrategies.h"
#include "model/OptionsCollection.h"
#include "model/stock.h"
#include "platform/Grid.h"
#include "support/MainWindowRun.h"
#include "support/ScriptedDialogs.h"

#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTest>
#include <benchmark/benchmark.h>

using namespace tw;

namespace {

using bench::application;

// The chain file of a case: 0 the shipped sample, else a chain with every
// strike from 1 to 400 in steps of `stepCents` cents.
QString chainFile(int stepCents)
{
    return stepCents == 0 ? test::shippedFile(QStringLiteral("SAMPLE.opt")) : bench::wideChainFile(stepCents);
}

// The process's peak resident size in MB since the last resetPeakMemory
// (Linux keeps it in /proc/self/status as VmHWM); -1 when it cannot be read.
double peakMemoryMB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return -1;
}

void resetPeakMemory()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

// Settings of a program started on the shipped strategies without chart
// windows: only the chain pane's road is measured.
void withoutChartWindows()
{
    application();
    test::environment().clearSettings();
    appSettings().SaveSetting(QStringLiteral("Settings"), QStringLiteral("CCCount"), 0);
    appSettings().SaveSetting(QStringLiteral("Settings"), QStringLiteral("3dChartVisible"), QStringLiteral("False"));
}

void StartWithChain(benchmark::State& state)
{
    withoutChartWindows();
    test::ScriptedDialogs dialogs;
    const QString path = chainFile(static_cast<int>(state.range(0)));
    const QStringList arguments{QStringLiteral("-S"), test::shippedFile(QStringLiteral("DEFAULT.STG")),
                                QStringLiteral("-O"), path};
    resetPeakMemory();
    int shownOptions = -1;
    for (auto _ : state) {
        test::MainWindowRun run(arguments);
        QCoreApplication::processEvents();
        state.PauseTiming();
        frmStrategies* w = run.window();
        shownOptions = w != nullptr && w->session().ObjStock() != nullptr ? ui::gdCalls(w)->Rows() + ui::gdPuts(w)->Rows()
                                                                          : -1;
        run.close();
        state.ResumeTiming();
    }
    if (shownOptions <= 0 || !dialogs.messages.isEmpty()) {
        state.SkipWithError("the chain was not loaded and shown");
        return;
    }
    state.counters["options"] = shownOptions;
    state.counters["peakMB"] = peakMemoryMB();
}
BENCHMARK(StartWithChain)->Arg(0)->Arg(50)->Arg(25)->Arg(3)->Unit(benchmark::kMillisecond);

void LoadChainFromFile(benchmark::State& state)
{
    withoutChartWindows();
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
