// The main window's list of 2-D chart windows, the Windows menu and window
// list, where new chart windows open, and the side-by-side start places of
// the main and the 3-D window.

#include "mainwindow/frmStrategies.h"

#include "app/CFormRestore.h"
#include "app/Convert.h"
#include "app/Procedure.h"
#include "charts/frm3dChart.h"
#include "charts/frmChart.h"
#include "mainwindow/MenuTables.h"
#include "mainwindow/StartupSettings.h"
#include "model/stock.h"
#include "platform/PopupMenu.h"
#include "platform/WindowGeometry.h"
#include "workspace/AnalysisSession.h"

#include <QScreen>
#include <QStyle>
#include <algorithm>

namespace tw {

frmChart* frmStrategies::chartByKey(const QString& key) const
{
    for (const auto& entry : m_Charts) {
        if (entry.first == key)
            return entry.second;
    }
    return nullptr;
}

void frmStrategies::connectSession()
{
    // Every open 2-D chart window follows what the session announces; the
    // 3-D window reads the rest through the chart host.
    connect(m_session, &AnalysisSession::evaluated, this, [this](const Evaluation& ev) { showEvaluation(ev); });
    connect(m_session, &AnalysisSession::evaluationCleared, this, [this] { clearChartLegs(); });
    connect(m_session, &AnalysisSession::stockLoaded, this, [this] {
        shielded("frmStrategies.NewStockLoaded", [&] {
            const auto& s = m_session->ObjStock();
            if (s == nullptr)
                return;
            forEachChart([this](frmChart* chart) { showStockIn(chart); });
            frm3dChart::instance()->setStockTicker(s->Code());
        });
    });
    connect(m_session, &AnalysisSession::modelChanged, this, [this](int model) {
        if (model >= 0 && model <= 2)
            shielded("frmStrategies.cmbModel_Click",
                     [&] { forEachChart([&](frmChart* c) { c->setUseOptionsModel(model); }); });
    });
    connect(m_session, &AnalysisSession::stepsChanged, this, [this](int steps) {
        shielded("frmStrategies.UpdateSteps", [&] { forEachChart([&](frmChart* c) { c->setBinominalSteps(steps); }); });
    });
    connect(m_session, &AnalysisSession::dividendsChanged, this, [this](double dividends) {
        shielded("frmStrategies.UpdateDividends",
                 [&] { forEachChart([&](frmChart* c) { c->setDividends(dividends); }); });
    });
    connect(m_session, &AnalysisSession::calculationModeChanged, this,
            [this] { ChartHost::CalculationModeCaption = m_session->calculationModeCaption(); });
}

void frmStrategies::showStockIn(frmChart* chart) const
{
    const auto& s = m_session->ObjStock();
    if (s == nullptr)
        return;
    chart->setStockPrice(m_session->calcStockPrice());
    chart->setStockDate(s->StockDate());
    chart->setStockTicker(s->Code());
}

void frmStrategies::showEvaluation(const Evaluation& ev)
{
    shielded("frmStrategies.SelectOptions", [&] {
        frm3dChart* chart3d = frm3dChart::instance();
        chart3d->mMaxDate = ev.maxDate;
        chart3d->mLines = ev.legs;
        chart3d->mVolatility = m_session->volatility();
        chart3d->mInterestRate = m_session->interestRate();
        chart3d->UpdateChart();
    });
    shielded("frmStrategies.SelectOptions",
             [&] { forEachChart([this](frmChart* chart) { chart->setOptions(m_session->chartLegs()); }); });
}

void frmStrategies::clearChartLegs()
{
    shielded("frmStrategies.SelectOptions", [&] {
        frm3dChart* chart3d = frm3dChart::instance();
        chart3d->mLines.reset();
        chart3d->setWindowTitle(QStringLiteral("3D chart"));
        chart3d->UpdateChart();
    });
    shielded("frmStrategies.SelectOptions",
             [&] { forEachChart([](frmChart* chart) { chart->setOptions(LegsArray()); }); });
}

void frmStrategies::AddNewCustomChart(int32_t AsNumber)
{
    Procedure proc("frmStrategies", "AddNewCustomChart");
    frmChart* chart = nullptr;
    QString key;
    TW_STEP(proc, {
        chart = new frmChart(this);
        key = QStringLiteral("C%1").arg(m_ChartCounter);
    });
    TW_STEP(proc, m_cMenu->setItemVisible(m_cMenu->IndexOfKey(QStringLiteral("mnuChartsTOP")), true));
    TW_STEP(proc, m_cMenu->AddItem(chartEntryCaptions({chart->windowTitle()}).constFirst(), QString(), 0,
                                   m_cMenu->IndexOfKey(QStringLiteral("mnuWindowsTOP")), 40, false, true,
                                   QLatin1String(ChartWindowKeyPrefix) + key));
    TW_STEP(proc, {
        m_Charts.append({key, chart});
        m_chartCaptions.insert(key, chart->windowTitle());
        ++m_ChartCounter;
    });
    TW_STEP(proc, refreshChartEntries());
    TW_STEP(proc, {
        chart->setTag(key);
        chart->RestoreParams(AsNumber);
    });
    TW_STEP(proc, cascadeNewChart(chart, AsNumber));
    TW_STEP(proc, showStockIn(chart));
    TW_STEP(proc, {
        chart->setBinominalSteps(m_session->steps());
        const int model = m_session->model();
        if (model >= 0 && model <= 2)
            chart->setUseOptionsModel(model);
        chart->setOptions(m_session->chartLegs());
    });
    // A window the start reopens (a number of the last run) leaves the
    // keyboard with the main window.
    TW_STEP(proc, AsNumber > 0 ? showWithoutKeyboard(chart) : chart->show());
}

void frmStrategies::showWithoutKeyboard(QWidget* window)
{
    // The window manager is told not to give it the keyboard when it maps it.
    window->setAttribute(Qt::WA_ShowWithoutActivating);
    window->show();
    window->setAttribute(Qt::WA_ShowWithoutActivating, false);
}

void frmStrategies::CustomChartCaptionChanged(const QString& ChartTag, const QString& NewCaption)
{
    Procedure proc("frmStrategies", "CustomChartCaptionChanged");
    if (ChartTag.isEmpty() || m_cMenu == nullptr)
        return;
    TW_STEP(proc, {
        // A chart captions itself at every redraw (many while its scroll bar
        // is dragged); the menu changes only with the text.
        const auto it = m_chartCaptions.find(ChartTag);
        if (it != m_chartCaptions.end() && *it != NewCaption) {
            *it = NewCaption;
            refreshChartEntries();
        }
    });
}

void frmStrategies::refreshChartEntries()
{
    QStringList captions;
    for (const auto& entry : std::as_const(m_Charts))
        captions.append(m_chartCaptions.value(entry.first));
    const QStringList entries = chartEntryCaptions(captions);
    for (qsizetype i = 0; i < m_Charts.size(); ++i) {
        const int item = m_cMenu->IndexOfKey(QLatin1String(ChartWindowKeyPrefix) + m_Charts.at(i).first);
        if (item > 0 && m_cMenu->ItemCaption(item) != entries.at(i))
            m_cMenu->setItemCaption(item, entries.at(i));
    }
}

void frmStrategies::cascadeNewChart(frmChart* chart, int32_t AsNumber)
{
    // A chart of the last run goes back where it was; the first chart of a
    // start without one goes beside the main window.
    if (chart->placeRestored() || AsNumber == 1)
        return;
    QList<QRect> taken;
    frmChart* last = nullptr;
    for (const auto& entry : std::as_const(m_Charts)) {
        frmChart* other = entry.second;
        if (other == nullptr || other == chart || !other->isVisible())
            continue;
        taken.append(platform::normalOuterPixels(other));
        if (m_newChartKeys.contains(entry.first))
            last = other;
    }
    m_newChartKeys.insert(chart->Tag());
    const QRect own = platform::normalOuterPixels(chart);
    const int step = cascadeStep(last != nullptr ? last : chart);
    const QPoint corner =
        last != nullptr ? platform::normalOuterPixels(last).topLeft() + QPoint(step, step) : own.topLeft();
    const QRect place = cascadedPlace(own.size(), corner, step, platform::workArea(chart), taken);
    if (place == own)
        return;
    const double tpp = twipsPerPixel();
    CFormRestore::restorePlace(chart, QRectF(place.x() * tpp, place.y() * tpp, place.width() * tpp,
                                             place.height() * tpp));
}

int frmStrategies::cascadeStep(const QWidget* framed) const
{
    // A title bar: the window manager's, or the style's where the frame has
    // none (no frame, or a border too thin to carry a caption). The chart
    // before may not be framed yet (opened a moment ago on a busy machine);
    // the main window, whose menu or toolbar is being used, is.
    int frameTop = platform::frameMargins(framed).top();
    if (frameTop < fontMetrics().height())
        frameTop = platform::frameMargins(this).top();
    return frameTop >= fontMetrics().height() ? frameTop : style()->pixelMetric(QStyle::PM_TitleBarHeight);
}

void frmStrategies::spreadRestoredWindows()
{
    // The main window lies under all of them and keeps its place; the chart
    // windows open in their order, the 3-D window after them.
    QList<QWidget*> windows{this};
    QList<StartPlace> places{{platform::normalOuterPixels(this), false}};
    for (const auto& entry : std::as_const(m_Charts)) {
        if (entry.second != nullptr) {
            windows.append(entry.second);
            places.append({platform::normalOuterPixels(entry.second), entry.second->placeMoved()});
        }
    }
    frm3dChart* chart3d = frm3dChart::instance();
    windows.append(chart3d);
    places.append({platform::normalOuterPixels(chart3d), chart3d->placeMoved()});
    if (std::none_of(places.begin(), places.end(), [](const StartPlace& p) { return p.moved; }))
        return;
    const QList<QRect> spread = spreadStartPlaces(places, cascadeStep(this), platform::workAreas());
    for (qsizetype i = 0; i < windows.size(); ++i) {
        if (spread.at(i) != places.at(i).place)
            platform::setOuterPixels(windows.at(i), spread.at(i));
    }
}

void frmStrategies::RemoveChart(const QString& Tag)
{
    Procedure proc("frmStrategies", "RemoveChart");
    // A key that is not in the list (a window closed twice, a stray call)
    // changes nothing.
    TW_STEP(proc, {
        for (qsizetype i = 0; i < m_Charts.size(); ++i) {
            if (m_Charts.at(i).first == Tag) {
                m_Charts.removeAt(i);
                break;
            }
        }
    });
    TW_STEP(proc, m_cMenu->RemoveItem(QLatin1String(ChartWindowKeyPrefix) + Tag));
    TW_STEP(proc, {
        // A window whose caption another one shared loses its number.
        m_newChartKeys.remove(Tag);
        if (m_chartCaptions.remove(Tag) > 0)
            refreshChartEntries();
    });
    TW_STEP(proc, {
        if (m_Charts.isEmpty())
            m_cMenu->setItemVisible(m_cMenu->IndexOfKey(QStringLiteral("mnuChartsTOP")), false);
    });
    TW_STEP(proc, m_cChartList->RemoveItem(QLatin1String(ChartWindowKeyPrefix) + Tag));
}

void frmStrategies::Select3DChart()
{
    Procedure proc("frmStrategies", "Select3DChart");
    TW_STEP(proc, {
        frm3dChart* chart3d = frm3dChart::instance();
        if (chart3d->isMinimized())
            platform::setWindowStateCode(chart3d, platform::StateNormal);
        chart3d->show();
        chart3d->raise();
        chart3d->activateWindow();
    });
}

void frmStrategies::SelectStrategiesForm()
{
    Procedure proc("frmStrategies", "SelectStrategiesForm");
    TW_STEP(proc, {
        if (isMinimized())
            platform::setWindowStateCode(this, platform::StateNormal);
        show();
        raise();
        activateWindow();
    });
}

void frmStrategies::ShowWindowListMenu(int32_t x, int32_t y, QWidget* Owner)
{
    Procedure proc("frmStrategies", "ShowWindowListMenu");
    TW_STEP(proc, m_cChartList->setOwnerWindow(Owner));
    TW_STEP(proc, RecreateChartListMenu());
    TW_STEP(proc, m_cChartList->ShowAt(x, y));
}

void frmStrategies::RecreateChartListMenu()
{
    Procedure proc("frmStrategies", "RecreateChartListMenu");
    TW_STEP(proc, m_cChartList->ClearItems());
    TW_STEP(proc, m_cChartList->AddItem(QStringLiteral("-Opened charts"), QString(), 0, 0, -1, false, true,
                                        QStringLiteral("mnuChartsTOP")));
    TW_STEP(proc, m_cChartList->AddItem(QStringLiteral("Main window"), QString(), 0, 0, 42, false, true,
                                        QStringLiteral("mnuMainForm")));
    TW_STEP(proc, {
        frm3dChart* chart3d = frm3dChart::loaded();
        if (chart3d != nullptr && chart3d->isVisible())
            m_cChartList->AddItem(chart3d->windowTitle(), QString(), 0, 0, 31, false, true,
                                  QStringLiteral("mnu3DChart"));
    });
    TW_STEP(proc, {
        QStringList keys, captions;
        for (const auto& [key, chart] : std::as_const(m_Charts)) {
            if (chart != nullptr) {
                keys.append(key);
                captions.append(chart->windowTitle());
            }
        }
        const QStringList entries = chartEntryCaptions(captions);
        for (qsizetype i = 0; i < keys.size(); ++i)
            m_cChartList->AddItem(entries.at(i), QString(), 0, 0, 40, false, true,
                                  QLatin1String(ChartWindowKeyPrefix) + keys.at(i));
    });
}

void frmStrategies::m_cChartList_Click(int itemNumber)
{
    Procedure proc("frmStrategies", "m_cChartList_Click");
    QString key;
    TW_STEP(proc, key = m_cChartList->KeyOfItem(itemNumber));
    if (key == QLatin1String("mnu3DChart")) {
        TW_STEP(proc, Select3DChart());
    } else if (key == QLatin1String("mnuMainForm")) {
        TW_STEP(proc, SelectStrategiesForm());
    } else {
        TW_STEP(proc, showChartWindow(key));
    }
}

void frmStrategies::showChartWindow(const QString& entryKey)
{
    frmChart* chart = chartByKey(entryKey.mid(int(qstrlen(ChartWindowKeyPrefix))));
    if (chart == nullptr)
        return;
    if (chart->isMinimized())
        platform::setWindowStateCode(chart, platform::StateNormal);
    chart->raise();
    chart->activateWindow();
}

void frmStrategies::TileWindows()
{
    Procedure proc("frmStrategies", "TileWindows");
    TW_STEP(proc, {
        const QRect area = platform::workArea(this);
        const double tpp = twipsPerPixel();
        // The work area's edges in twips, rounded to whole twips.
        const TiledPlaces places = tiledPlaces(
            static_cast<float>(roundHalfEven(area.left() * tpp)), static_cast<float>(roundHalfEven(area.top() * tpp)),
            static_cast<float>(roundHalfEven((area.left() + area.width()) * tpp)),
            static_cast<float>(roundHalfEven((area.top() + area.height()) * tpp)));
        platform::setWindowStateCode(this, platform::StateNormal);
        CFormRestore::restorePlace(this, places.main);
        // The 3-D window starts where the main window really ends: on a
        // narrow work area the main window keeps its minimum width, and the
        // 3-D window must not lie over it.
        QRectF chart3d = places.chart3d;
        const double mainRight = platform::outerTwips(this).right();
        if (mainRight > chart3d.left() && mainRight < chart3d.right())
            chart3d.setLeft(mainRight);
        CFormRestore::restorePlace(frm3dChart::instance(), chart3d);
    });
}

std::shared_ptr<stock> frmStrategies::hostStock() const
{
    return m_session->ObjStock();
}

double frmStrategies::hostCalcStockPrice() const
{
    return m_session->calcStockPrice();
}

double frmStrategies::hostStartStrategyPrice() const
{
    return m_session->startStrategyPrice();
}

double frmStrategies::hostDividends() const
{
    return m_session->dividends();
}

int32_t frmStrategies::hostSteps() const
{
    return m_session->steps();
}

int32_t frmStrategies::hostModel() const
{
    return m_session->model();
}

bool frmStrategies::hostPLSign() const
{
    return m_session->plSign();
}

} // namespace tw
