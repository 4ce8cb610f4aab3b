// Speed of the 3-D window on a real X display with Mesa's software OpenGL:
// from the moment the window is asked to draw a new surface (UpdateChart, as
// a click on a strategy asks it) to the moment the new frame has reached the
// X server. Runs only on an X display with OpenGL; CMake's `bench` target
// starts it on a private Xvfb display with openbox (tests/support/run-x11.sh):
//
//   tests/support/run-x11.sh build/bin/tw_chart3d_bench
//
// Arguments: the pricing model (0 Black-Scholes: the surface costs next to
// nothing, so the figure is the drawing; 2 binomial American at 200 steps)
// and the window's client size (480 x 360 as the window opens; 798 x 475 as
// the tiled 3-D window on a 1600 x 1000 screen).
#include "SurfaceLegs.h"
#include "X11Bench.h"

#include "charts/ChartHost.h"
#include "charts/frm3dChart.h"
#include "model/stock.h"
#include "model/statmath.h"

#include <QCheckBox>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QTest>
#include <QWindow>

#include <benchmark/benchmark.h>
#include <algorithm>

using namespace tw;

namespace {

// The main window as far as the 3-D window reads it.
class BenchHost : public ChartHost {
public:
    BenchHost()
    {
        m_stock->setStockDate(bench::kStockDate);
    }
    void RemoveChart(const QString&) override {}
    void CustomChartCaptionChanged(const QString&, const QString&) override {}
    void AddNewCustomChart(int32_t) override {}
    void Select3DChart() override {}
    void ShowWindowListMenu(int32_t, int32_t, QWidget*) override {}
    std::shared_ptr<stock> hostStock() const override { return m_stock; }
    double hostCalcStockPrice() const override { return 100; }
    double hostStartStrategyPrice() const override { return 160; }
    double hostDividends() const override { return 0.01; }
    int32_t hostSteps() const override { return 200; }
    int32_t hostModel() const override { return model; }
    bool hostPLSign() const override { return true; }
    QWidget* hostWindow() override { return nullptr; }

    int32_t model = PricingModel::BlackScholes;

private:
    std::shared_ptr<stock> m_stock = std::make_shared<stock>();
};

// Counts the surface's frames: the drawing window draws one for every
// update request it is sent.
class FrameCounter : public QObject {
public:
    int frames = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::UpdateRequest)
            ++frames;
        return QObject::eventFilter(watched, event);
    }
};

// Runs the event loop until a frame after `before` has been drawn.
bool waitForFrame(const FrameCounter& counter, int before)
{
    QDeadlineTimer deadline(5000);
    while (counter.frames == before && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    if (counter.frames == before)
        return false;
    // The event that drew the frame has been handled when processEvents
    // returns; the frame's image may still be on its way to the server.
    bench::syncWithServer();
    return true;
}

void NewSurfaceOnScreen(benchmark::State& state)
{
    static BenchHost host;
    setChartHost(&host);
    host.model = static_cast<int32_t>(state.range(0));
    frm3dChart* c = frm3dChart::instance();
    c->chkPercent->setChecked(true);
    c->mVolatility = 30;
    c->mInterestRate = 5;
    c->mMaxDate = bench::kExpiration;
    c->resize(static_cast<int>(state.range(1)), static_cast<int>(state.range(2)));
    c->show();
    QWindow* surface = c->Chart3D->drawingWindow();
    FrameCounter counter;
    surface->installEventFilter(&counter);
    // Shown, drawn, and settled.
    if (!QTest::qWaitForWindowExposed(surface, 3000)) {
        state.SkipWithError("the 3-D window was not shown");
        surface->removeEventFilter(&counter);
        c->hide();
        return;
    }
    const std::vector<LegRow> strategies[2] = {bench::ironCondor(), bench::butterfly()};
    int which = 0;
    for (int warm = 0; warm < 3; ++warm) {
        c->mLines = strategies[which ^= 1];
        const int before = counter.frames;
        c->UpdateChart();
        waitForFrame(counter, before);
    }

    double worst = 0;
    for (auto _ : state) {
        c->mLines = strategies[which ^= 1];
        QElapsedTimer clock;
        clock.start();
        const int before = counter.frames;
        c->UpdateChart();
        if (!waitForFrame(counter, before)) {
            state.SkipWithError("no frame was drawn");
            break;
        }
        const double seconds = static_cast<double>(clock.nsecsElapsed()) * 1e-9;
        worst = std::max(worst, seconds);
        state.SetIterationTime(seconds);
    }
    // The slowest draw of the run, milliseconds.
    state.counters["worst_ms"] = worst * 1e3;
    surface->removeEventFilter(&counter);
    c->hide();
    state.SetLabel(QStringLiteral("%1, %2x%3")
                       .arg(host.model == PricingModel::BinomialAmerican ? QStringLiteral("American 200")
                                                                         : QStringLiteral("Black-Scholes"))
                       .arg(state.range(1))
                       .arg(state.range(2))
                       .toStdString());
}
BENCHMARK(NewSurfaceOnScreen)
    ->Args({PricingModel::BlackScholes, 480, 360})
    ->Args({PricingModel::BlackScholes, 798, 475})
    ->Args({PricingModel::BinomialAmerican, 480, 360})
    ->Args({PricingModel::BinomialAmerican, 798, 475})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return bench::runX11Benchmarks(argc, argv, "tw_chart3d_bench");
}
