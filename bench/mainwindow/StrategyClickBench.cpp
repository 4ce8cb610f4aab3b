// The user's road from a click on a strategy to every window showing it, on a
// real X display with Mesa's software OpenGL: the main window started as the
// program starts (Form_Load on the shipped chain data/SAMPLE.opt and a
// strategies file), three 2-D chart windows and the 3-D window open, and a
// mouse click on a strategy node of the tree. The clock runs from the click
// to the last paint or frame the click caused, once
//   - the main window has repainted its evaluated-leg grid,
//   - every 2-D chart window has made its drawing for the click and then
//     painted its plot,
//   - the 3-D window has drawn and swapped a frame after the click,
// and nothing more of them has been painted for a while (a window may paint
// again once its layout has followed the change); the X server has handled
// all sent to it by then. Each paint is seen by an event filter on the widget
// that paints (the plot's viewport, the grid's viewport): a window's painted
// image goes to the X server in the same handler as its paint, and a 3-D
// frame is drawn and swapped in the handler of the drawing window's update
// request, which the filter on that window counts. The wait sleeps in the
// event loop, so it costs the program nothing. A paint or frame that comes
// after the quiet time, before the next click, is counted ("late"): it would
// show that the quiet time is too short.
//
// Runs only on an X display with OpenGL; CMake's `bench` target starts it on
// a private Xvfb display with openbox (tests/support/run-x11.sh):
//
//   tests/support/run-x11.sh build/bin/tw_strategy_click_bench
//
// Arguments of a case: the library (0 the shipped DEFAULT.STG, 44
// strategies; 1 a library of 2,000 strategies made at build time from the
// shipped list by tools' tw_make_strategies), the pricing model (0
// Black-Scholes, 2 binomial American at 200 steps) and the chain (0 the
// shipped sample; 1 a chain as large as a big index's, about 28,000 lines
// and 56,000 options, made at run time: bench/WideChain.h). The clicks go in turn to
// two four-leg strategies (a butterfly and an iron condor), so every click
// changes what the windows show. The ClickStrategy cases time the clicks after
// four that are not timed; ClickStrategyOnScreen (the model as an argument)
// times them to the moment every window has been grabbed from the X server
// showing the click; FirstClicks times the first five clicks after the
// start (the model as an argument), one by one. Reported per case: the median,
// fastest, 90th-percentile and slowest click in milliseconds, and per click
// the 2-D drawings (of all three windows) and 3-D frames made.
#include "support/MainWindowControls.h"
#include "WideChain.h"
#include "X11Bench.h"
#include "app/CAppSettings.h"
#include "app/Tools.h"
#include "charts/frm3dChart.h"
#include "charts/frmChart.h"
#include "mainwindow/frmStrategies.h"
#include "model/statmath.h"
#include "platform/Chart2D.h"
#include "platform/Grid.h"
#include "platform/PopupMenu.h"
#include "platform/TreeView.h"
#include "support/MainWindowRun.h"
#include "support/ScriptedDialogs.h"

#include <QAbstractEventDispatcher>
#include <QAbstractScrollArea>
#include <QImage>
#include <QScreen>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include <benchmark/benchmark.h>
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using namespace tw;

namespace {

constexpr int kCharts = 3;
constexpr int kClicks = 40;

// Runs the event loop until nothing has happened for `quiet` milliseconds.
void settle(int quiet)
{
    QElapsedTimer idle;
    idle.start();
    QDeadlineTimer deadline(5000);
    while (idle.elapsed() < quiet && !deadline.hasExpired()) {
        if (QCoreApplication::eventDispatcher()->processEvents(QEventLoop::AllEvents))
            idle.restart();
        else
            QThread::msleep(2);
    }
}

QWidget* viewportOf(QWidget* w)
{
    if (auto* area = qobject_cast<QAbstractScrollArea*>(w))
        return area->viewport();
    auto* area = w->findChild<QAbstractScrollArea*>();
    return area != nullptr ? area->viewport() : nullptr;
}

// What the windows did since the click: watches the paints of the plots and
// the grid, the 2-D windows' drawing requests and the 3-D window's frames.
class Watch : public QObject {
public:
    struct ChartState {
        frmChart* window = nullptr;
        QWidget* plot = nullptr;
        bool drawRequestSeen = false; // the window's posted drawing request reached it
        bool painted = false;         // the plot painted after that
    };

    Watch(frmStrategies* main, const std::vector<frmChart*>& charts, QWindow* surface)
        : m_grid(viewportOf(ui::gdSelected(main))), m_surface(surface)
    {
        for (frmChart* c : charts) {
            ChartState s;
            s.window = c;
            s.plot = viewportOf(c->Chart);
            m_charts.push_back(s);
            c->installEventFilter(this);
            s.plot->installEventFilter(this);
        }
        m_grid->installEventFilter(this);
        m_surface->installEventFilter(this);
    }
    ~Watch() override
    {
        for (const ChartState& s : m_charts) {
            s.window->removeEventFilter(this);
            s.plot->removeEventFilter(this);
        }
        m_grid->removeEventFilter(this);
        m_surface->removeEventFilter(this);
    }

    void start()
    {
        for (ChartState& s : m_charts)
            s.drawRequestSeen = s.painted = false;
        gridPainted = false;
        frames = 0;
        paints = 0;
    }
    // Everything watched that showed something: paints and frames.
    int activity() const { return frames + paints; }
    bool done() const
    {
        return gridPainted && frames > 0
            && std::all_of(m_charts.begin(), m_charts.end(), [](const ChartState& s) { return s.painted; });
    }
    // The drawings of all 2-D windows so far (read when none is
    // outstanding: reading makes an outstanding one).
    int drawings() const
    {
        int n = 0;
        for (const ChartState& s : m_charts)
            n += s.window->drawCount();
        return n;
    }

    bool gridPainted = false;
    int frames = 0; // of the 3-D window
    int paints = 0; // of the grid and the plots

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (watched == m_surface) {
            if (type == QEvent::UpdateRequest)
                ++frames;
            return false;
        }
        if (watched == m_grid) {
            if (type == QEvent::Paint) {
                gridPainted = true;
                ++paints;
            }
            return false;
        }
        for (ChartState& s : m_charts) {
            // A 2-D window asks itself for its drawing with an event of its
            // own type; the paint of the plot after it shows the drawing.
            if (watched == s.window && type >= QEvent::User)
                s.drawRequestSeen = true;
            else if (watched == s.plot && type == QEvent::Paint) {
                ++paints;
                if (s.drawRequestSeen)
                    s.painted = true;
            }
        }
        return false;
    }

private:
    std::vector<ChartState> m_charts;
    QWidget* m_grid;
    QWindow* m_surface;
};

// Follows the windows after a click until each has shown it (Watch::done)
// and none has painted or drawn a frame for kQuiet milliseconds; returns the
// time on `clock` when the last paint or frame had been handled and the X
// server had it, or -1 when the windows did not all show the click in time.
// The event loop sleeps while it has nothing to do.
// `onceDone`, when given, runs as soon as every window has shown the click;
// the time returned is then at least the time on `clock` when it returned.
constexpr int kQuiet = 150;
double followUntilQuiet(const Watch& watch, const QElapsedTimer& clock, const std::function<void()>& onceDone = {})
{
    QDeadlineTimer deadline(10000);
    QTimer wake;
    wake.start(10); // wakes the wait to look at the quiet time
    int seen = 0;
    double last = -1;
    double doneAt = -1;
    QElapsedTimer quiet;
    quiet.start();
    for (;;) {
        if (onceDone && doneAt < 0 && watch.done() && watch.activity() == seen) {
            onceDone();
            doneAt = static_cast<double>(clock.nsecsElapsed()) * 1e-6;
        }
        if (watch.activity() != seen) {
            seen = watch.activity();
            bench::syncWithServer();
            last = static_cast<double>(clock.nsecsElapsed()) * 1e-6;
            quiet.restart();
        } else if (watch.done() && quiet.elapsed() >= kQuiet) {
            return std::max(last, doneAt);
        }
        if (deadline.hasExpired())
            return -1;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
}

// The first strategy node captioned `caption` in the group `group` (in any
// group when it is empty), looking at the groups from the last one when
// `fromEnd`.
QTreeWidgetItem* strategyNode(frmStrategies* w, const QString& group, const QString& caption, bool fromEnd = false)
{
    QTreeWidget* tree = ui::tvStrategies(w);
    const int groups = tree->topLevelItemCount();
    for (int i = 0; i < groups; ++i) {
        QTreeWidgetItem* groupNode = tree->topLevelItem(fromEnd ? groups - 1 - i : i);
        if (!group.isEmpty() && groupNode->text(0) != group)
            continue;
        for (int s = 0; s < groupNode->childCount(); ++s) {
            const QString text = groupNode->child(s)->text(0);
            if (text == caption)
                return groupNode->child(s);
        }
    }
    return nullptr;
}

void openWindow(frmStrategies* w, const char* key)
{
    platform::PopupMenu* menu = ui::m_cMenu(w);
    emit menu->Click(menu->IndexOfKey(QLatin1String(key)));
}

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    const double at = p * static_cast<double>(v.size() - 1);
    const auto low = static_cast<size_t>(at);
    const size_t high = std::min(low + 1, v.size() - 1);
    return v[low] + (v[high] - v[low]) * (at - static_cast<double>(low));
}

// The main window started with the chart windows open and placed, and the
// two strategies to click in turn; `error` says why it could not be made.
struct ClickRun {
    // `startOnGroup`: the program starts with the first group of the library
    // selected (the user left one selected at the last exit), so the windows
    // open with nothing drawn; otherwise with its first strategy shown.
    ClickRun(bool large, int model, bool wideChain, bool startOnGroup = false);

    std::unique_ptr<test::ScriptedDialogs> dialogs;
    std::unique_ptr<test::MainWindowRun> run;
    frmStrategies* w = nullptr;
    std::vector<frmChart*> charts;
    QWindow* surface = nullptr;
    QTreeWidgetItem* nodes[2] = {nullptr, nullptr};
    QString keys[2];
    std::unique_ptr<Watch> watch;
    QString error;

    // Grabs every window from the X server once the click has reached them
    // all (the clock runs on to the last grab).
    bool grabWindows = false;
    std::vector<QImage> shown; // what each window showed at its last grab
    int unchanged = 0;         // windows whose picture a click did not change
    std::vector<double> grabTimes;

    std::vector<double> times;
    int late = 0;
    int which = 0;
    int drawings = 0;
    int frames = 0;
    int paints = 0;

    // One click on the other strategy, timed; false when it did not reach
    // every window.
    bool click();
    void resetCounts()
    {
        times.clear();
        grabTimes.clear();
        late = drawings = frames = paints = unchanged = 0;
    }
    // Every window as the X server shows it now (its own image and its
    // children's), in the order main window, 2-D windows, 3-D window.
    void grabAll();
};

ClickRun::ClickRun(bool large, int model, bool wideChain, bool startOnGroup)
{
    test::environment().clearSettings();
    // The pricing choices the user made in an earlier run.
    appSettings().SaveSetting(QStringLiteral("Settings"), QStringLiteral("Model"), model);
    appSettings().SaveSetting(QStringLiteral("Settings"), QStringLiteral("Steps"), QStringLiteral("200"));
    if (startOnGroup)
        appSettings().SaveSetting(QStringLiteral("Settings"), QStringLiteral("StgSelectedStrategy"), QStringLiteral("T1"));
    dialogs = std::make_unique<test::ScriptedDialogs>();
    const QString library = large ? QStringLiteral(TW_LARGE_LIBRARY) : test::shippedFile(QStringLiteral("DEFAULT.STG"));
    const QString chain = wideChain ? bench::wideChainFile(50) : test::shippedFile(QStringLiteral("SAMPLE.opt"));
    run = std::make_unique<test::MainWindowRun>(QStringList{QStringLiteral("-S"), library, QStringLiteral("-O"), chain});
    if (run->window() == nullptr || run->window()->session().ObjStock() == nullptr || !dialogs->messages.isEmpty()) {
        error = QStringLiteral("the chain was not loaded");
        return;
    }
    w = run->window();
    // The program starts with one 2-D window and the 3-D window; the user
    // opens the others from the Windows menu.
    for (int i = static_cast<int>(w->openCharts().size()); i < kCharts; ++i)
        openWindow(w, "mnuWindowsNewChart");
    openWindow(w, "mnuWindowsStrategy3DProfile");
    for (const auto& entry : w->openCharts())
        charts.push_back(entry.second.data());
    frm3dChart* chart3d = frm3dChart::instance();
    surface = chart3d->Chart3D->drawingWindow();
    if (charts.size() != kCharts || surface == nullptr) {
        error = QStringLiteral("the chart windows did not open (%1 2-D windows, %2 3-D drawing)")
                    .arg(charts.size())
                    .arg(surface != nullptr ? "a" : "no");
        return;
    }
    // The program puts the main window on the left, the first 2-D window
    // top right and the 3-D window bottom right; the user puts the two new
    // 2-D windows side by side over the bottom of the main window (the
    // chain), once the program has placed them.
    if (!QTest::qWaitFor([&] { return surface->isExposed() && w->windowHandle()->isExposed(); }, 5000)) {
        error = QStringLiteral("the windows were not shown");
        return;
    }
    settle(300);
    charts[1]->setGeometry(0, 600, 390, 370);
    charts[2]->setGeometry(400, 600, 390, 370);
    settle(300);

    // A butterfly and an iron condor; in the large library the butterfly of
    // the middle group and the last iron condor.
    nodes[0] = large ? strategyNode(w, QStringLiteral("Butterflies and condors 23"), QStringLiteral("Long call butterfly"))
                     : strategyNode(w, QStringLiteral("Butterflies and condors"), QStringLiteral("Long call butterfly"));
    nodes[1] = large ? strategyNode(w, QString(), QStringLiteral("Iron condor"), true)
                     : strategyNode(w, QStringLiteral("Butterflies and condors"), QStringLiteral("Iron condor"));
    if (nodes[0] == nullptr || nodes[1] == nullptr) {
        error = QStringLiteral("the strategies to click are not in the library");
        return;
    }
    keys[0] = ui::library(w)->nodeKey(nodes[0]);
    keys[1] = ui::library(w)->nodeKey(nodes[1]);
    watch = std::make_unique<Watch>(w, charts, surface);
}

bool ClickRun::click()
{
    which ^= 1;
    // Opens the node's group and scrolls it into view, as the user does
    // before the click; then all is left to settle. What the windows
    // still show of the last click then came too late to be timed.
    const QPoint at = test::treeNodeCentre(w, keys[which]);
    const int shown = watch->activity();
    settle(100);
    late += watch->activity() - shown;
    const int drawingsBefore = watch->drawings();
    watch->start();
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(ui::tvStrategies(w)->viewport(), Qt::LeftButton, {}, at);
    const double ms = grabWindows ? followUntilQuiet(*watch, clock, [this] { grabAll(); })
                                  : followUntilQuiet(*watch, clock);
    if (ms < 0)
        return false;
    times.push_back(ms);
    drawings += watch->drawings() - drawingsBefore;
    frames += watch->frames;
    paints += watch->paints;
    return ui::tvStrategies(w)->currentItem() == nodes[which];
}

void ClickRun::grabAll()
{
    QElapsedTimer clock;
    clock.start();
    std::vector<QWidget*> windows{w};
    windows.insert(windows.end(), charts.begin(), charts.end());
    windows.push_back(frm3dChart::instance());
    shown.resize(windows.size());
    for (size_t i = 0; i < windows.size(); ++i) {
        QImage picture = windows[i]->screen()->grabWindow(windows[i]->winId()).toImage();
        if (picture == shown[i])
            ++unchanged;
        shown[i] = std::move(picture);
    }
    grabTimes.push_back(static_cast<double>(clock.nsecsElapsed()) * 1e-6);
}

void reportClicks(benchmark::State& state, const ClickRun& r)
{
    const auto clicks = static_cast<double>(r.times.size());
    state.counters["median_ms"] = percentile(r.times, 0.5);
    state.counters["min_ms"] = percentile(r.times, 0);
    state.counters["p90_ms"] = percentile(r.times, 0.9);
    state.counters["max_ms"] = percentile(r.times, 1);
    // Per click: the 2-D windows' drawings (all three), the paints of the
    // grid and the plots (four a round), and the 3-D frames.
    state.counters["draws2d"] = r.drawings / clicks;
    state.counters["paints"] = r.paints / clicks;
    state.counters["frames3d"] = r.frames / clicks;
    state.counters["late"] = r.late;
    if (!r.grabTimes.empty()) {
        state.counters["grab_ms"] = percentile(r.grabTimes, 0.5);
        state.counters["unchanged"] = r.unchanged;
    }
}

QString caseLabel(bool large, int model, bool wideChain)
{
    return QStringLiteral("%1, %2, %3")
        .arg(large ? QStringLiteral("2,000 strategies") : QStringLiteral("shipped library"),
             model == PricingModel::BinomialAmerican ? QStringLiteral("American 200") : QStringLiteral("Black-Scholes"),
             wideChain ? QStringLiteral("56,000 options") : QStringLiteral("sample chain"));
}

// Whether a main window has been started in this process before: the first
// clicks of the program are only measured on the process's first windows
// (what a run builds once, fonts, glyphs, shaders, stays for the later ones).
bool g_windowsOpenedBefore = false;

// The first clicks after the program has started and the windows are open,
// with nothing clicked before: each click is one iteration, reported one by
// one (click1_ms ...). The program starts with a group selected, so that the
// first click is the first strategy the windows draw (the first surface of
// the 3-D window's renderer among them). Must be the process's first case (it
// is registered first; a filter that runs it after another case makes it
// refuse); the process's settings and caches (Mesa's shader cache too) start
// empty, as on a first run.
constexpr int kFirstClicks = 5;
void FirstClicks(benchmark::State& state)
{
    if (std::exchange(g_windowsOpenedBefore, true)) {
        state.SkipWithError("the first clicks are measured only on the process's first windows: run this case alone");
        return;
    }
    const int model = static_cast<int>(state.range(0));
    ClickRun r(false, model, false, true);
    if (!r.error.isEmpty()) {
        state.SkipWithError(r.error.toStdString().c_str());
        return;
    }
    for (auto _ : state) {
        if (!r.click()) {
            state.SkipWithError("a click did not reach every window");
            return;
        }
        state.SetIterationTime(r.times.back() * 1e-3);
    }
    for (size_t i = 0; i < r.times.size(); ++i)
        state.counters["click" + std::to_string(i + 1) + "_ms"] = r.times[i];
    reportClicks(state, r);
    state.SetLabel(("first clicks, started on a group, " + caseLabel(false, model, false)).toStdString());
}
BENCHMARK(FirstClicks)
    ->Args({PricingModel::BinomialAmerican})
    ->Iterations(kFirstClicks)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Times the clicks of a started run after four that are not timed.
void timeClicks(benchmark::State& state, ClickRun& r, const QString& label)
{
    if (!r.error.isEmpty()) {
        state.SkipWithError(r.error.toStdString().c_str());
        return;
    }
    for (int warm = 0; warm < 4; ++warm) {
        if (!r.click()) {
            state.SkipWithError("a click did not reach every window");
            return;
        }
    }
    r.resetCounts();
    for (auto _ : state) {
        if (!r.click()) {
            state.SkipWithError("a click did not reach every window");
            return;
        }
        state.SetIterationTime(r.times.back() * 1e-3);
    }
    reportClicks(state, r);
    state.SetLabel(label.toStdString());
}

void ClickStrategy(benchmark::State& state)
{
    g_windowsOpenedBefore = true;
    const bool large = state.range(0) == 1;
    const int model = static_cast<int>(state.range(1));
    const bool wideChain = state.range(2) == 1;
    ClickRun r(large, model, wideChain);
    timeClicks(state, r, caseLabel(large, model, wideChain));
}
BENCHMARK(ClickStrategy)
    ->Args({0, PricingModel::BinomialAmerican, 0})
    ->Args({0, PricingModel::BlackScholes, 0})
    ->Args({1, PricingModel::BinomialAmerican, 0})
    ->Args({1, PricingModel::BlackScholes, 0})
    ->Args({0, PricingModel::BinomialAmerican, 1})
    ->Args({1, PricingModel::BlackScholes, 1})
    ->Iterations(kClicks)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The click as the user sees it: after each click, once every window has
// shown it, each is grabbed from the X server (what the screen shows of it,
// its 3-D surface or 2-D plot included); the clock runs to the last grab
// (grab_ms: the grabs' own share) or to a later paint or frame. A window whose
// grabbed picture a click left as it was is counted ("unchanged": each click
// changes every window's picture, so it stays 0).
void ClickStrategyOnScreen(benchmark::State& state)
{
    g_windowsOpenedBefore = true;
    const int model = static_cast<int>(state.range(0));
    ClickRun r(false, model, false);
    r.grabWindows = true;
    timeClicks(state, r, QStringLiteral("on the screen, ") + caseLabel(false, model, false));
}
BENCHMARK(ClickStrategyOnScreen)
    ->Args({PricingModel::BinomialAmerican})
    ->Args({PricingModel::BlackScholes})
    ->Iterations(kClicks)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return bench::runX11Benchmarks(argc, argv, "tw_strategy_click_bench");
}
