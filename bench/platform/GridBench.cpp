// Filling the grid the way the chain panes do: thousands of rows of typed,
// coloured cells with the redraw switch off, then one repaint.
#include "platform/Grid.h"

#include <QApplication>
#include <QFont>
#include <benchmark/benchmark.h>

using tw::platform::Grid;
using tw::platform::GridValue;

namespace {

QApplication& application()
{
    static int argc = 1;
    static char name[] = "tw_platform_bench";
    static char* argv[] = {name, nullptr};
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

void addChainColumns(Grid& g)
{
    const char* keys[] = {"ticker", "strike", "expiration", "lastsale", "change", "bid",
                          "ask",    "volume", "openint",    "exchange", "group"};
    for (const char* k : keys)
        g.AddColumn(QString::fromLatin1(k), QString::fromLatin1(k), 2, -1, 60);
}

void fill(Grid& g, int rows, const QFont& bold, const QFont& plain)
{
    const QColor odd(0xE0, 0xF0, 0xF0);
    const QColor even(0xE9, 0xF9, 0xF9);
    g.setRedraw(false);
    g.Clear(false);
    for (int r = 1; r <= rows; ++r) {
        const QColor back = (r % 2) ? odd : even;
        g.AddRow();
        g.CellDetails(r, 1, GridValue(QStringLiteral("QAA AX-%1").arg(r)), Grid::DtLeft, -1, back, Qt::black, &bold);
        g.CellDetails(r, 2, GridValue::money(250000 + r * 25000), Grid::DtRight, -1, back, Qt::black, &plain);
        g.CellDetails(r, 3, GridValue::date(45300.0 + r % 7 * 30), Grid::DtRight, -1, back, Qt::black, &plain);
        g.CellDetails(r, 4, GridValue::money(12500 + r), Grid::DtRight, -1, back, Qt::black, &plain);
        g.CellDetails(r, 5, GridValue(QStringLiteral("+0.05")), Grid::DtRight, -1, back, Qt::black, &plain);
        g.CellDetails(r, 6, GridValue::money(12000 + r), Grid::DtRight, -1, back, Qt::black, &plain);
        g.CellDetails(r, 7, GridValue::money(13000 + r), Grid::DtRight, -1, back, Qt::black, &plain);
        g.CellDetails(r, 8, GridValue(r * 3), Grid::DtRight, -1, back, Qt::black, &plain);
        g.CellDetails(r, 9, GridValue(r * 11), Grid::DtRight, -1, back, Qt::black, &plain);
        g.CellDetails(r, 10, GridValue(QStringLiteral("CBOE")), Grid::DtLeft, -1, back, Qt::black, &plain);
        g.CellDetails(r, 11, GridValue(), Grid::DtLeft, -1, back, Qt::black, &plain);
    }
    g.setRedraw(true);
}

void BM_GridFill3000x11RedrawOff(benchmark::State& state)
{
    application();
    Grid g;
    g.resize(900, 600);
    g.show();
    addChainColumns(g);
    QFont bold(QStringLiteral("Tahoma"), 8);
    bold.setBold(true);
    const QFont plain(QStringLiteral("Tahoma"), 8);
    for (auto _ : state) {
        fill(g, 3000, bold, plain);
        g.repaint(); // the one paint the fill ends with
        benchmark::DoNotOptimize(g.Rows());
    }
    state.SetItemsProcessed(state.iterations() * 3000 * 11);
}
BENCHMARK(BM_GridFill3000x11RedrawOff)->Unit(benchmark::kMillisecond);

} // namespace
