// A 2-D chart window driven the way a user and the main window drive it:
// the data the main window pushes, the axis menus and mode buttons clicked,
// the scroll bar moved, the mouse over the plot, and its settings saved and
// read back (also when they are out of range).

#include "app/CAppSettings.h"
#include "app/Tools.h"
#include "charts/ChartHost.h"
#include "charts/ChartModeIcons.h"
#include "charts/ChartSweep.h"
#include "charts/ChartTexts.h"
#include "charts/frmChart.h"
#include "model/statmath.h"
#include "platform/Chart2D.h"
#include "platform/PopupMenu.h"
#include "platform/ReBar.h"
#include "platform/Toolbar.h"
#include "platform/WindowGeometry.h"
#include "support/QtTestMain.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"
#include "ChartTestSupport.h"

#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QComboBox>
#include <QGraphicsTextItem>
#include <QGraphicsView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QRegularExpression>
#include <QScrollBar>
#include <QToolButton>
#include <QtTest>

using namespace tw;
using namespace tw::test;

namespace {

// Opens the axis button's drop-down and clicks the entry with that text;
// false when the menu offers it disabled (or not at all).
bool choose(frmChart* c, const char* axisButton, const QString& entry)
{
    clickButton(c->tbrAxis, axisButton);
    QMenu* popup = c->mMenu->ActivePopup();
    if (popup == nullptr)
        return false;
    for (QAction* a : popup->actions()) {
        if (a->text() == entry && a->isEnabled() && a->isVisible()) {
            const QPoint at = popup->actionGeometry(a).center();
            QTest::mouseMove(popup, at);
            QTest::mouseClick(popup, Qt::LeftButton, {}, at);
            return true;
        }
    }
    popup->close();
    return false;
}

// Opens the fixed-parameter box and clicks the entry with that text in its
// list, as the user picks one.
void pickParam(frmChart* c, const QString& entry)
{
    QComboBox* box = c->cbParam;
    const int row = box->findText(entry);
    QVERIFY2(row >= 0, qPrintable(entry));
    QTest::mouseClick(box, Qt::LeftButton);
    QAbstractItemView* list = box->view();
    QTRY_VERIFY(list->isVisible());
    const QPoint at = list->visualRect(box->model()->index(row, 0)).center();
    QTest::mouseMove(list->viewport(), at);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTRY_VERIFY(!list->isVisible());
    QCOMPARE(box->currentIndex(), row);
}

QStringList menuTexts(frmChart* c, const char* axisButton)
{
    clickButton(c->tbrAxis, axisButton);
    QStringList texts;
    if (QMenu* popup = c->mMenu->ActivePopup()) {
        for (QAction* a : popup->actions())
            texts << a->text() + (a->isEnabled() ? QString() : QStringLiteral(" (off)"));
        popup->close();
    }
    return texts;
}

QStringList paramEntries(const frmChart* c)
{
    QStringList entries;
    for (int i = 0; i < c->cbParam->count(); ++i)
        entries << c->cbParam->itemText(i) + QStringLiteral("=") + c->cbParam->itemData(i).toString();
    return entries;
}

// The widget the chart's plot is painted on (null when there is none).
QWidget* plotViewport(frmChart* c)
{
    auto* view = c->Chart->findChild<QAbstractScrollArea*>(QStringLiteral("chartArea"));
    return view != nullptr ? view->viewport() : nullptr;
}

void moveMouse(frmChart* c, const QPoint& pixel, Qt::MouseButtons buttons = Qt::NoButton)
{
    QWidget* viewport = plotViewport(c);
    QVERIFY(viewport != nullptr);
    const QPoint local = viewport->mapFrom(c->Chart, pixel);
    QMouseEvent move(QEvent::MouseMove, local, viewport->mapToGlobal(local), Qt::NoButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
}

// The sweep input of a window's ranges and axes with the rest at the
// defaults, for a date, a model and steps.
SweepInput sweepOf(frmChart* c, double date, int32_t model, int32_t steps)
{
    SweepInput in;
    in.ranges = c->ranges();
    in.StockDate = date;
    in.AxisX = c->AxisX();
    in.Model = model;
    in.Steps = steps;
    return in;
}

// The window's chart shows the sweep of its legs with that input (three
// points of every series).
void expectSweepDrawn(frmChart* c, const SweepInput& in)
{
    const SweepTable t = sweepChart(*c->Options(), in);
    QCOMPARE(c->Chart->numSeries(), t.series);
    for (int p : {0, 57, 99}) {
        for (int s = 0; s < t.series; ++s)
            QCOMPARE(c->Chart->value(s + 1, p), t.at(p, s));
    }
}

// The pointer moved onto a pixel of the chart as the user moves it (the
// window under it gets the move, and the controls their enter and leave).
void moveMouseTo(frmChart* c, const QPoint& pixel)
{
    QWidget* viewport = plotViewport(c);
    QVERIFY(viewport != nullptr);
    QTest::mouseMove(viewport, viewport->mapFrom(c->Chart, pixel));
    QVERIFY(c->Chart->underMouse());
}

// The crosshair stands on that pixel of the chart (to a pixel).
bool crosshairAt(frmChart* c, const QPoint& pixel)
{
    const QPoint at = c->Chart->pixelOf(c->Chart->markerX(), c->Chart->markerY());
    return std::abs(at.x() - pixel.x()) <= 1 && std::abs(at.y() - pixel.y()) <= 1;
}

// Empty when the labels the control reports on `axis` are `least` or more,
// read apart, and are each drawn whole and no wider (X) or higher (Y), in the
// font they are drawn in, than their share of the plot's length; else what
// is wrong.
QString labelFault(const platform::Chart2D* chart, char axis, int least = 3)
{
    const QStringList labels = chart->axisLabels(axis);
    const auto [x0, x1] = chart->axisRange('X');
    const auto [y0, y1] = chart->axisRange('Y');
    const QPoint from = chart->pixelOf(x0, y0), to = chart->pixelOf(x1, y1);
    const double share = (axis == 'X' ? to.x() - from.x() : from.y() - to.y()) / std::max<double>(1, labels.size());
    QStringList unfit = labels;
    for (QGraphicsItem* item : chart->findChild<QGraphicsView*>(QStringLiteral("chartArea"))->scene()->items()) {
        const auto* t = dynamic_cast<QGraphicsTextItem*>(item);
        const QFontMetricsF m(t != nullptr ? t->font() : QFont());
        if (t != nullptr && t->isVisible() && (axis == 'X' ? m.horizontalAdvance(t->toPlainText()) : m.height()) <= share)
            unfit.removeAll(t->toPlainText());
    }
    if (labels.size() >= least && QSet<QString>(labels.begin(), labels.end()).size() == labels.size() && unfit.isEmpty())
        return {};
    return QString(QLatin1Char(axis)) + ": " + labels.join(" | ") + QStringLiteral(", not whole in %1 px: ").arg(share)
        + unfit.join(" | ");
}

bool near(double a, double b, double tolerance)
{
    return std::abs(a - b) <= tolerance;
}

// Empty when every button of both bands lies whole in the bar, clear of the
// plot, and takes a click on its middle; else the keys of those that do not.
QString bandFault(frmChart* c)
{
    QStringList faults;
    for (platform::Toolbar* bar : {c->tbrAxis, c->tbrChartMode}) {
        for (int b = 1; b <= bar->ButtonCount(); ++b) {
            QToolButton* button = bar->ButtonWidget(b);
            const QRect r = button != nullptr ? QRect(button->mapTo(c, QPoint()), button->size()) : QRect();
            if (button != nullptr && (!c->rbrMain->geometry().contains(r) || r.intersects(c->Chart->geometry())
                                      || c->childAt(r.center()) != button))
                faults << bar->ButtonKey(b);
        }
    }
    return faults.join(QLatin1Char(' '));
}

} // namespace

class ChartWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        test::environment().clearSettings();
        ChartHost::CalculationModeCaption = QStringLiteral("Profit/Loss");
    }

    void aNewWindowBeforeAnyData()
    {
        test::ScriptedDialogs dialogs;
        FakeHost host;
        frmChart c(&host);
        QCOMPARE(c.tbrAxis->ButtonCaption(button(c.tbrAxis, "axisx")), QStringLiteral("X: Stock Price"));
        QCOMPARE(c.tbrAxis->ButtonCaption(button(c.tbrAxis, "axisy")), QStringLiteral("Y: Profit/Loss"));
        QCOMPARE(c.windowTitle(), QStringLiteral(" - 2D Chart: Profit/Loss by stock price"));
        QCOMPARE(paramEntries(&c), (QStringList{"Volatility=2", "Time=3", "Interest rate=4"}));
        QCOMPARE(c.sbValue->minimum(), 1);
        QCOMPARE(c.sbValue->value(), 4000);
        QCOMPARE(c.sbValue->maximum(), 20000);
        QCOMPARE(c.lblValue->text(), QStringLiteral("40.00 % "));
        // Nothing to draw: an empty chart and the chart's controls off, the
        // Sum switch still usable.
        QCOMPARE(c.Chart->numSeries(), 0);
        QVERIFY(!c.tbrAxis->ButtonEnabled(1) && !c.tbrAxis->ButtonEnabled(2));
        QVERIFY(!c.tbrChartMode->ButtonEnabled(button(c.tbrChartMode, "percent")));
        QVERIFY(!c.tbrChartMode->ButtonEnabled(button(c.tbrChartMode, "timevalue")));
        QVERIFY(c.tbrChartMode->ButtonEnabled(button(c.tbrChartMode, "total")));
        QVERIFY(!c.cbParam->isEnabled() && !c.sbValue->isEnabled() && !c.lblValue->isEnabled());
        QCOMPARE(c.tbrChartMode->ButtonImage(button(c.tbrChartMode, "percent")), ChartModeImage::SwitchOn);
        // No chain, so no date: the summary does not name day 0 of the date
        // serials.
        QTRY_VERIFY2(c.txtParams->text().endsWith(QLatin1String("    Time: 0 days")), qPrintable(c.txtParams->text()));
        QVERIFY2(!c.txtParams->text().contains(u'('), qPrintable(c.txtParams->text()));
        // A stock whose price is 0 leaves the default range.
        c.setStockPrice(0);
        QCOMPARE(c.ranges().MaxStockPrice, 200.0);
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void pushedDataAndTheSelector()
    {
        test::ScriptedDialogs dialogs;
        FakeHost host;
        auto c = openChart(host, 0, fourLegs());
        // Index 0: X is the time, the selector offers the other three.
        QCOMPARE(c->AxisX(), ChartParam::Time);
        QCOMPARE(paramEntries(c.get()), (QStringList{"Stock price=1", "Volatility=2", "Interest rate=4"}));
        QCOMPARE(c->windowTitle(), QStringLiteral("ZYX - 2D Chart: Profit/Loss by time"));
        QCOMPARE(host.captions.value("C5"), c->windowTitle());
        // The latest option expires 30 days out: time 0 .. 44.
        QCOMPARE(c->ranges().MaxExpiration, 44);
        QCOMPARE(c->Chart->xValues().first(), 0.0);
        QVERIFY(near(c->Chart->xValues().last(), 43.56, 1e-9));

        // A new price of 40: range 20 .. 60 at 40, on the bar in hundredths.
        c->setStockPrice(40);
        QCOMPARE(c->ranges().MinStockPrice, 20.0);
        QCOMPARE(c->ranges().MaxStockPrice, 60.0);
        QCOMPARE((std::array{c->sbValue->minimum(), c->sbValue->value(), c->sbValue->maximum()}),
                 (std::array{2000, 4000, 6000}));
        QCOMPARE(c->lblValue->text(), QStringLiteral("40.00 "));

        // The user moves the bar: the fixed price follows and the chart and
        // its summary are drawn anew.
        int draws = c->drawCount();
        QTest::mouseClick(c->sbValue, Qt::LeftButton, {}, QPoint(c->sbValue->width() - 4, c->sbValue->height() / 2));
        QCOMPARE(c->ranges().StockPriceValue, 40.01);
        QCOMPARE(c->lblValue->text(), QStringLiteral("40.01 "));
        QCOMPARE(c->drawCount(), draws + 1);
        QVERIFY2(c->txtParams->text().startsWith(QLatin1String("Stock Price: 40.01    Volatility: 40%")),
                 qPrintable(c->txtParams->text()));
        // The same price again changes nothing, not even the user's choice.
        draws = c->drawCount();
        c->setStockPrice(40);
        QCOMPARE(c->ranges().StockPriceValue, 40.01);
        QCOMPARE(c->drawCount(), draws);
        // 45.678 stands on the bar as 4568.
        c->setStockPrice(45.678);
        QCOMPARE(c->sbValue->value(), 4568);
        QCOMPARE(c->ranges().StockPriceValue, 45.678);

        // Another entry reloads the bar from that parameter, leaving the
        // first one's fixed value as it was (and the chart as it is drawn).
        draws = c->drawCount();
        pickParam(c.get(), QStringLiteral("Volatility"));
        QCOMPARE(c->drawCount(), draws);
        QCOMPARE((std::array{c->sbValue->minimum(), c->sbValue->value(), c->sbValue->maximum()}),
                 (std::array{1, 4000, 20000}));
        QCOMPARE(c->ranges().StockPriceValue, 45.678);
        QCOMPARE(c->lblValue->text(), QStringLiteral("40.00 % "));

        // The fixed time stays where it is when new legs shorten the range.
        draws = c->drawCount();
        c->SetStockParamValues(20, 60, 40, 0, 365, 100, 1, 20000, 4000, 0, 10000, 500);
        QCOMPARE(c->drawCount(), draws + 1);
        c->setOptions(fourLegs());
        QCOMPARE(c->ranges().MaxExpiration, 44);
        QCOMPARE(c->ranges().ExpirationValue, 100);
        QVERIFY(near(c->Chart->xValues().last(), 44.56, 1e-9)); // the sweep runs backwards
        // The same legs again draw again; the same date not at all.
        draws = c->drawCount();
        c->setOptions(fourLegs());
        QCOMPARE(c->drawCount(), draws + 1);
        c->setStockDate(kChartDate);
        QCOMPARE(c->drawCount(), draws + 1);

        // What the main window pushes in one turn of the event loop (a chain
        // loaded: price, date, ticker, the pricing inputs, the legs) is drawn
        // once, when the turn ends, with all of it.
        draws = c->drawCount();
        c->setStockPrice(41);
        c->setStockDate(kChartDate + 1);
        c->setStockTicker(QStringLiteral("ZYY"));
        c->setBinominalSteps(60);
        c->setUseOptionsModel(1);
        c->setDividends(0.01);
        c->setOptions(fourLegs());
        c->setOptions(fourLegs());
        QVERIFY2(c->txtParams->text().startsWith(QLatin1String("Stock Price: 40.00")), qPrintable(c->txtParams->text()));
        QTRY_VERIFY2(c->txtParams->text().startsWith(QLatin1String("Stock Price: 41.00")),
                     qPrintable(c->txtParams->text()));
        QCOMPARE(c->drawCount(), draws + 1);
        QCOMPARE(c->windowTitle(), QStringLiteral("ZYY - 2D Chart: Profit/Loss by time"));
        SweepInput in = sweepOf(c.get(), kChartDate + 1, 1, 60);
        in.Dividends = 0.01;
        expectSweepDrawn(c.get(), in);
        // The same pushes read at once are drawn for the read.
        c->setStockPrice(42);
        QVERIFY(near(c->Chart->xValues().first(), 100, 1e-9));
        QVERIFY(c->txtParams->text().startsWith(QLatin1String("Stock Price: 42.00")));
        QCOMPARE(c->drawCount(), draws + 2);

        // No strategy: an empty chart, the controls off, the caption kept.
        const QString caption = c->windowTitle();
        c->setOptions(LegsArray());
        QCOMPARE(c->Chart->numSeries(), 0);
        QVERIFY(c->Chart->seriesLabels().isEmpty());
        QVERIFY(!c->tbrAxis->ButtonEnabled(1) && !c->cbParam->isEnabled() && !c->sbValue->isEnabled());
        QVERIFY(!c->tbrChartMode->ButtonEnabled(button(c->tbrChartMode, "percent")));
        QVERIFY(c->tbrChartMode->ButtonEnabled(button(c->tbrChartMode, "total")));
        QCOMPARE(c->windowTitle(), caption);
        QCOMPARE(c->ranges().MaxExpiration, 0);
        QCOMPARE(c->ranges().ExpirationValue, 0);
        // Legs again switch everything back on, as drawn.
        c->setOptions(fourLegs());
        QCOMPARE(c->Chart->numSeries(), 5);
        QVERIFY(c->tbrAxis->ButtonEnabled(1) && c->cbParam->isEnabled() && c->sbValue->isEnabled());
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void theModelDecidesTheGreeks()
    {
        test::ScriptedDialogs dialogs;
        FakeHost host;
        auto c = openChart(host, 0, fourLegs(), 0);
        QCOMPARE(menuTexts(c.get(), "axisy"),
                 (QStringList{"Profit/Loss", "Delta (off)", "Gamma (off)", "Theta (off)",
                              "For \"greeks\" select Binominal American model (off)"}));
        QVERIFY(!choose(c.get(), "axisy", QStringLiteral("Delta")));
        QCOMPARE(c->AxisY(), 5);

        c->setUseOptionsModel(2);
        QCOMPARE(menuTexts(c.get(), "axisy"), (QStringList{"Profit/Loss", "Delta", "Gamma", "Theta"}));
        QVERIFY(choose(c.get(), "axisy", QStringLiteral("Delta")));
        QCOMPARE(c->AxisY(), 6);
        QCOMPARE(c->tbrAxis->ButtonCaption(2), QStringLiteral("Y: Delta"));
        QCOMPARE(c->windowTitle(), QStringLiteral("ZYX - 2D Chart: Delta by time"));
        QCOMPARE(c->Chart->axisTitle('Y'), QStringLiteral("Delta"));
        // Percent and time value do not apply to greeks.
        QVERIFY(!c->tbrChartMode->ButtonEnabled(button(c->tbrChartMode, "percent")));
        QVERIFY(!c->tbrChartMode->ButtonEnabled(button(c->tbrChartMode, "timevalue")));
        // Every line is the leg's position delta: the long shares' line is
        // 100, the short shares' -50, and the Sum the sum of the lines.
        QCOMPARE(c->Chart->value(3, 0), 100.0);
        QCOMPARE(c->Chart->value(4, 50), -50.0);
        for (int p : {0, 42, 99}) {
            double sum = 0;
            for (int s = 1; s <= 4; ++s)
                sum += c->Chart->value(s, p);
            QVERIFY(near(c->Chart->value(5, p), sum, 1e-9));
        }
        // The same model again keeps Y; another model sets it back to value.
        c->setUseOptionsModel(2);
        QCOMPARE(c->AxisY(), 6);
        const int before = c->drawCount();
        c->setUseOptionsModel(1);
        QCOMPARE(c->AxisY(), 5);
        QCOMPARE(c->drawCount(), before + 1); // drawn once, as a value chart
        QCOMPARE(c->tbrAxis->ButtonCaption(2), QStringLiteral("Y: Profit/Loss"));
        QVERIFY(c->tbrChartMode->ButtonEnabled(button(c->tbrChartMode, "percent")));
        // The hint and the group items are no commands.
        const int draws = c->drawCount();
        emit c->mMenu->Click(c->mMenu->IndexOfKey(QStringLiteral("greekstip")));
        emit c->mMenu->Click(c->mMenu->IndexOfKey(QStringLiteral("axisx")));
        QCOMPARE(c->drawCount(), draws);
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void everyAxisCommandFromItsMenu()
    {
        test::ScriptedDialogs dialogs;
        FakeHost host;
        auto c = openChart(host, 0, fourLegs(), 2);
        const struct {
            const char* entry;
            int32_t x;
            const char* button;
            const char* title;
            const char* caption;
        } xs[] = {{"Interest rate", ChartParam::InterestRate, "X: Interest rate", "Riskfree interest rate",
                   "ZYX - 2D Chart: Profit/Loss by interest rate"},
                  {"Volatility", ChartParam::Volatility, "X: Volatility", "Volatility",
                   "ZYX - 2D Chart: Profit/Loss by volatility"},
                  {"Stock price", ChartParam::StockPrice, "X: Stock Price", "Stock price",
                   "ZYX - 2D Chart: Profit/Loss by stock price"},
                  {"Time", ChartParam::Time, "X: Time", "Time", "ZYX - 2D Chart: Profit/Loss by time"}};
        for (const auto& e : xs) {
            const int draws = c->drawCount();
            QVERIFY2(choose(c.get(), "axisx", QLatin1String(e.entry)), e.entry);
            QCOMPARE(c->AxisX(), e.x);
            QCOMPARE(c->tbrAxis->ButtonCaption(1), QLatin1String(e.button));
            QCOMPARE(c->Chart->axisTitle('X'), QLatin1String(e.title));
            QCOMPARE(c->windowTitle(), QLatin1String(e.caption));
            QVERIFY(!paramEntries(c.get()).contains(QLatin1String(e.entry) + QStringLiteral("=%1").arg(e.x)));
            QCOMPARE(c->drawCount(), draws + 1);
        }
        const struct {
            const char* entry;
            int32_t y;
            const char* button;
            const char* title;
        } ys[] = {{"Theta", 8, "Y: Theta", "Theta"},
                  {"Gamma", 7, "Y: Gamma", "Gamma"},
                  {"Delta", 6, "Y: Delta", "Delta"},
                  {"Profit/Loss", 5, "Y: Profit/Loss", "Profit/Loss (%)"}};
        for (const auto& e : ys) {
            QVERIFY2(choose(c.get(), "axisy", QLatin1String(e.entry)), e.entry);
            QCOMPARE(c->AxisY(), e.y);
            QCOMPARE(c->tbrAxis->ButtonCaption(2), QLatin1String(e.button));
            QCOMPARE(c->Chart->axisTitle('Y'), QLatin1String(e.title));
            QCOMPARE(c->windowTitle(), QStringLiteral("ZYX - 2D Chart: %1 by time").arg(QLatin1String(e.entry)));
            // Percent and time value only for the value.
            QCOMPARE(c->tbrChartMode->ButtonEnabled(button(c->tbrChartMode, "percent")), e.y == 5);
        }
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    // As wide as a 1280x720 screen leaves a chart beside the main window, a
    // longer X caption moves the mode band onto a second row: the bar grows
    // for it at once, so every button is seen and takes a click (Percent
    // switches). So at every width from the narrowest.
    void bandsKeepEveryButtonInSight()
    {
        test::ScriptedDialogs dialogs;
        FakeHost host;
        auto c = openChart(host, 0, fourLegs());
        c->resize(638, 336);
        for (const char* x : {"Stock price", "Volatility", "Interest rate", "Time"}) {
            QVERIFY2(choose(c.get(), "axisx", QLatin1String(x)), x);
            QVERIFY2(bandFault(c.get()).isEmpty(), qPrintable(QLatin1String(x) + ": " + bandFault(c.get())));
            QCOMPARE(c->rbrMain->height() > 2 * c->tbrAxis->height(), qstrcmp(x, "Time") != 0); // two rows, or one
            const QToolButton* percent = c->tbrChartMode->ButtonWidget(button(c->tbrChartMode, "percent"));
            const bool was = c->Percent();
            QTest::mouseClick(c->windowHandle(), Qt::LeftButton, {}, percent->mapTo(c.get(), percent->rect().center()));
            QCOMPARE(c->Percent(), !was);
        }
        for (int w = c->minimumWidth() - 50; w <= 760; ++w) {
            c->resize(w, 336);
            QTRY_COMPARE(c->width(), std::max(w, c->minimumWidth()));
            QVERIFY2(bandFault(c.get()).isEmpty(), qPrintable(QString::number(w) + ": " + bandFault(c.get())));
        }
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    // At the largest price a chain may have, every axis of every X and Y
    // (the value in percent and in money) shows labels that read apart, and
    // the labels the control reports are those it draws, each in its share
    // of the plot, beside the long legend of a stock's whole name.
    void axisLabelsReadApartAtTheLargestPrice()
    {
        test::ScriptedDialogs dialogs;
        FakeHost host;
        const double price = 9999999.99;
        const LegsArray legs = std::vector<LegRow>{
            chartLeg(LegKind::Call, LegPosition::Long, 10000000, 30, 2, 450000, "ZYX DX-E"),
            chartLeg(LegKind::Put, LegPosition::Short, 9990000, 20, 1, 380000, "ZYX PI-E"),
            chartLeg(LegKind::Stock, LegPosition::Long, 0, 0, 100, price, "ZYX (ZYXON SYSTEMS INC)")};
        auto c = openChart(host, 0, legs, 2);
        // As wide as the tiled chart of a 1280x720 screen: every label is
        // drawn whole, not cut short to "10000..." (one or ten million?).
        c->resize(638, 336);
        c->setStockPrice(price);
        QCOMPARE(c->ranges().StockPriceValue, price);
        const auto check = [&](const QString& where) {
            for (const char axis : {'X', 'Y'})
                QTRY_VERIFY2(labelFault(c->Chart, axis).isEmpty(), qPrintable(where + ' ' + labelFault(c->Chart, axis)));
        };
        for (const char* x : {"Stock price", "Volatility", "Time", "Interest rate"}) {
            QVERIFY2(choose(c.get(), "axisx", QLatin1String(x)), x);
            for (const char* y : {"Delta", "Gamma", "Theta", "Profit/Loss"}) {
                QVERIFY2(choose(c.get(), "axisy", QLatin1String(y)), y);
                check(QLatin1String(x) + QStringLiteral(", ") + QLatin1String(y));
                if (QTest::currentTestFailed())
                    return;
            }
            // The value in money as well as in percent.
            clickButton(c->tbrChartMode, "percent");
            QTRY_VERIFY(!c->Chart->axisTitle('Y').contains(QLatin1String("%")));
            check(QLatin1String(x) + QStringLiteral(", Profit/Loss in money"));
            clickButton(c->tbrChartMode, "percent");
            QTRY_VERIFY(c->Chart->axisTitle('Y').contains(QLatin1String("%")));
            if (QTest::currentTestFailed())
                return;
        }
        // Prices by money at every width (as low as the window may be, and as
        // high as that screen tiles it) and every height at that screen's
        // width: fewer ticks where the room is short.
        QVERIFY(choose(c.get(), "axisx", QStringLiteral("Stock price")));
        clickButton(c->tbrChartMode, "percent");
        // An axis left with its two ends has those of the tightest round
        // bounds, as with room for more labels.
        c->resize(1000, 600);
        QTRY_COMPARE(c->size(), QSize(1000, 600));
        const QMap<char, std::pair<double, double>> roomy{{'X', c->Chart->axisRange('X')}, {'Y', c->Chart->axisRange('Y')}};
        QList<QSize> sizes;
        for (int w = c->minimumWidth(); w <= 1000; w += 3)
            sizes << QSize(w, c->minimumHeight()) << QSize(w, 336);
        for (int h = c->minimumHeight(); h <= 600; h += 2)
            sizes << QSize(638, h);
        for (const QSize& size : std::as_const(sizes)) {
            c->resize(size);
            QTRY_COMPARE(c->size(), size);
            for (const char axis : {'X', 'Y'}) {
                QVERIFY2(labelFault(c->Chart, axis, 2).isEmpty(), qPrintable(labelFault(c->Chart, axis, 2)));
                QVERIFY2(c->Chart->axisLabels(axis).size() > 2 || c->Chart->axisRange(axis) == roomy[axis],
                         qPrintable(QString(QLatin1Char(axis)) + ": " + c->Chart->axisLabels(axis).join(" | ")));
            }
        }
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    // The control alone: a few thousandths of a percent around 100 (a
    // position at a price of millions) and millions in steps of five.
    void theControlsLabelsReadApart()
    {
        for (const auto& [lo, hi] : {std::pair(99.99998, 100.00001), std::pair(9999990.0, 10000010.0)}) {
            platform::Chart2D chart;
            chart.resize(640, 420);
            chart.setChartAreaLocation(QRect(0, 0, 640, 420));
            const double x[] = {lo, hi};
            chart.setNumSeries(1);
            chart.setNumPoints(2);
            chart.setXValues(x);
            chart.setValues(x, 1);
            chart.show();
            for (const char axis : {'X', 'Y'})
                QTRY_VERIFY2(labelFault(&chart, axis).isEmpty(), qPrintable(labelFault(&chart, axis)));
        }
    }

    void theDrawingFeedsTheControl()
    {
        test::ScriptedDialogs dialogs;
        FakeHost host;
        ChartHost::CalculationModeCaption = QStringLiteral("Position worth");
        auto c = openChart(host, 0, fourLegs(), 2);
        QVERIFY(choose(c.get(), "axisx", QStringLiteral("Stock price")));
        QCOMPARE(c->tbrAxis->ButtonCaption(1), QStringLiteral("X: Stock Price"));
        QCOMPARE(c->Chart->axisTitle('X'), QStringLiteral("Stock price"));
        QCOMPARE(c->Chart->axisTitle('Y'), QStringLiteral("Position worth (%)"));
        QCOMPARE(c->tbrAxis->ButtonCaption(2), QStringLiteral("Y: Position worth"));
        QCOMPARE(menuTexts(c.get(), "axisy").first(), QStringLiteral("Position worth"));
        QCOMPARE(c->Chart->seriesLabels(), (QStringList{"ZYX DX-E", "ZYX PI-E", "ZYX", "ZYX", "Sum"}));
        QCOMPARE(c->Chart->numSeries(), 5);
        QCOMPARE(c->Chart->numPoints(), 100);
        for (int s = 1; s <= 5; ++s) {
            QCOMPARE(c->Chart->drawnPointCount(s), 100);
            QCOMPARE(c->Chart->pointShape(s), 0);
        }
        // The colours of the leg swatches, BBGGRR; "Sum" FF0000 is blue.
        QCOMPARE(c->Chart->lineColor(1), QColor(0xAA, 0xFF, 0x33)); // long call 33FFAA
        QCOMPARE(c->Chart->lineColor(2), QColor(0xAA, 0xAA, 0x33)); // short put 33AAAA
        QCOMPARE(c->Chart->lineColor(3), QColor(0x33, 0xFF, 0xAA)); // long stock AAFF33
        QCOMPARE(c->Chart->lineColor(4), QColor(0x33, 0xAA, 0xAA)); // short stock AAAA33
        QCOMPARE(c->Chart->lineColor(5), QColor(0, 0, 255));
        QCOMPARE(c->Chart->lineWidth(4), 1);
        QCOMPARE(c->Chart->lineWidth(5), 3);
        // Price 25 .. 75 (from the pushed price 50); the values are the sweep's.
        QVERIFY(near(c->Chart->xValues().at(1), 25.5, 1e-9));
        expectSweepDrawn(c.get(), sweepOf(c.get(), kChartDate, 2, 50));

        // Total off: no Sum series or label; the last leg keeps width 1.
        int draws = c->drawCount();
        clickButton(c->tbrChartMode, "total");
        QCOMPARE(c->drawCount(), draws + 1);
        QVERIFY(!c->Total());
        QCOMPARE(c->tbrChartMode->ButtonImage(button(c->tbrChartMode, "total")), ChartModeImage::SwitchOff);
        QCOMPARE(c->Chart->numSeries(), 4);
        QCOMPARE(c->Chart->seriesLabels().last(), QStringLiteral("ZYX"));
        QCOMPARE(c->Chart->lineWidth(4), 1);
        // Percent off: money values and a title without "(%)".
        clickButton(c->tbrChartMode, "percent");
        QVERIFY(!c->Percent());
        QCOMPARE(c->Chart->axisTitle('Y'), QStringLiteral("Position worth "));
        QCOMPARE(c->Chart->value(3, 0), (25.0 - 50) * 100); // 100 shares bought at 50, at 25
        clickButton(c->tbrChartMode, "timevalue");
        QVERIFY(c->TimeValue());
        QCOMPARE(c->tbrChartMode->ButtonImage(button(c->tbrChartMode, "timevalue")), ChartModeImage::SwitchOn);
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void theReadoutFollowsTheMouse()
    {
        test::ScriptedDialogs dialogs;
        FakeHost host;
        auto c = openChart(host, 0, fourLegs());
        c->resize(900, 600);
        QVERIFY(choose(c.get(), "axisx", QStringLiteral("Stock price")));
        clickButton(c->tbrChartMode, "percent");
        QCOMPARE(c->XLabel(), QStringLiteral("Price: "));

        // The pointer over price 52.5 and value 120: the read-out shows the
        // point under it (to the nearest pixel) and the crosshair stands there.
        moveMouse(c.get(), c->Chart->pixelOf(52.5, 120));
        static const QRegularExpression form(QStringLiteral("^Price: (\\S+) {5}Profit/Loss : (\\S+) {10}$"));
        const QString text = c->txtValue->text();
        const QRegularExpressionMatch m = form.match(text);
        QVERIFY2(m.hasMatch(), qPrintable(text));
        const double perPixelX = 0.3; // a few pixels of the plot, in money
        QVERIFY2(near(QLocale().toDouble(m.captured(1)), 52.5, perPixelX), qPrintable(text));
        QVERIFY(near(c->Chart->markerX(), 52.5, perPixelX));
        const double y = QLocale().toDouble(m.captured(2));
        QVERIFY(near(c->Chart->markerY(), y, 0.005));
        QVERIFY2(std::abs(c->Chart->pixelOf(52.5, y).y() - c->Chart->pixelOf(52.5, 120).y()) <= 1, qPrintable(text));

        // With a button held nothing changes.
        moveMouse(c.get(), c->Chart->pixelOf(70, 0), Qt::LeftButton);
        QCOMPARE(c->txtValue->text(), text);
        QVERIFY(near(c->Chart->markerX(), 52.5, perPixelX));

        // Outside the data area: the read-out empties, the crosshair leaves.
        moveMouse(c.get(), QPoint(1, 1));
        QCOMPARE(c->txtValue->text(), QString());
        QCOMPARE(c->Chart->markerX(), platform::Chart2D::OutsideValue);
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    // A read-out belongs to what is drawn. The user rests the pointer on the
    // plot: a redraw there reads the new drawing at the pointer; with the
    // pointer gone to another control, a redraw takes the text and the
    // crosshair away.
    void aRedrawRenewsOrRemovesTheReadout()
    {
        test::ScriptedDialogs dialogs;
        FakeHost host;
        auto c = openChart(host, 0, fourLegs());
        QVERIFY(QTest::qWaitForWindowExposed(c.get()));
        QVERIFY(choose(c.get(), "axisx", QStringLiteral("Stock price")));
        const QPoint pointer = c->Chart->chartAreaLocation().center();
        moveMouseTo(c.get(), pointer);
        const QString before = c->txtValue->text();
        QVERIFY2(before.startsWith(QLatin1String("Price: ")), qPrintable(before));
        const double oldX = c->Chart->markerX();
        const double oldY = c->Chart->markerY();
        QVERIFY(crosshairAt(c.get(), pointer));

        // The main window hands over other legs (the pointer stays): the
        // crosshair stands under the pointer on the new scale, the text reads
        // the new values there.
        c->setOptions(std::vector<LegRow>{chartLeg(LegKind::Call, LegPosition::Long, 50, 30, 2, 2.5, "ZYX DX-E")});
        QCOMPARE(c->Chart->numSeries(), 2);
        QVERIFY2(std::abs(c->Chart->pixelOf(oldX, oldY).y() - pointer.y()) > 3, "the Y scale did not change");
        QVERIFY(crosshairAt(c.get(), pointer));
        const QString after = c->txtValue->text();
        QVERIFY2(after != before && after.startsWith(QLatin1String("Price: ")), qPrintable(after));
        QVERIFY2(after.contains(QStringLiteral(": %1 ").arg(QLocale().toString(c->Chart->markerY(), 'f', 2))),
                 qPrintable(after));

        // No strategy: nothing to read.
        c->setOptions(LegsArray());
        QCOMPARE(c->Chart->markerX(), platform::Chart2D::OutsideValue);
        QCOMPARE(c->txtValue->text(), QString());
        // Legs again, the pointer still there: the read-out comes back.
        c->setOptions(fourLegs());
        QVERIFY(crosshairAt(c.get(), pointer));
        QCOMPARE(c->txtValue->text(), before);

        // The user goes to the scroll bar and clicks it: the chart is drawn
        // anew without a read-out.
        const int draws = c->drawCount();
        const QPoint onBar(c->sbValue->width() - 4, c->sbValue->height() / 2);
        QTest::mouseMove(c->sbValue, onBar);
        QTest::mouseClick(c->sbValue, Qt::LeftButton, {}, onBar);
        QCOMPARE(c->drawCount(), draws + 1);
        QCOMPARE(c->txtValue->text(), QString());
        QCOMPARE(c->Chart->markerX(), platform::Chart2D::OutsideValue);
        QCOMPARE(c->Chart->markerY(), platform::Chart2D::OutsideValue);
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void aDrawingIsPaintedOnce()
    {
        // The main window hands over other legs: the plot is painted once,
        // laid out for the new legend and scale, not once more after its
        // layout has followed.
        test::ScriptedDialogs dialogs;
        FakeHost host;
        auto c = openChart(host, 0, fourLegs());
        QVERIFY(QTest::qWaitForWindowExposed(c.get()));
        QWidget* plot = plotViewport(c.get());
        QVERIFY(plot != nullptr);
        int paints = 0;
        EventCounter counter(QEvent::Paint, paints);
        plot->installEventFilter(&counter);
        const auto runPostedWork = [] {
            for (int turn = 0; turn < 5; ++turn) {
                QCoreApplication::sendPostedEvents();
                QCoreApplication::processEvents();
            }
        };
        runPostedWork();
        paints = 0;
        const int draws = c->drawCount();
        c->setOptions(std::vector<LegRow>{chartLeg(LegKind::Call, LegPosition::Long, 50, 30, 2, 2.5, "ZYX DX-E"),
                                          chartLeg(LegKind::Call, LegPosition::Short, 55, 30, 1, 0.8, "ZYX DZ-E")});
        QTRY_VERIFY(paints > 0);
        runPostedWork();
        QCOMPARE(c->drawCount(), draws + 1);
        QCOMPARE(paints, 1);
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void toolbarCommands()
    {
        test::ScriptedDialogs dialogs;
        FakeHost host;
        auto c = openChart(host, 0, fourLegs());
        // Every button but the drop-down redraws.
        const int draws = c->drawCount();
        clickButton(c->tbrChartMode, "newchart");
        QCOMPARE(c->drawCount(), draws + 1);
        clickButton(c->tbrChartMode, "3DChart");
        QCOMPARE(c->drawCount(), draws + 2);
        clickButton(c->tbrChartMode, "charts");
        QCOMPARE(c->drawCount(), draws + 2);
        QCOMPARE(host.calls, (QStringList{"AddNewCustomChart 0", "Select3DChart", "ShowWindowListMenu"}));
        QCOMPARE(host.listOwner, static_cast<QWidget*>(c.get()));
        clickButton(c->tbrChartMode, "help");
        QCOMPARE(dialogs.openedUrls.size() + dialogs.messages.size(), 1);
        if (!dialogs.openedUrls.isEmpty())
            QVERIFY(dialogs.openedUrls.first().toLocalFile().endsWith(QLatin1String("/help/t06.htm")));
        else
            QVERIFY(dialogs.messages.first().text.contains(QLatin1String("t06.htm")));
        QCOMPARE(c->drawCount(), draws + 3);

        // The user's close box tells the main window; an unload does not.
        host.calls.clear();
        c->close();
        QCOMPARE(host.calls, QStringList{"RemoveChart C5"});
        auto other = openChart(host, 0, fourLegs());
        host.calls.clear();
        other->unload();
        QVERIFY(host.calls.isEmpty());
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void settingsComeBackThroughTheControls()
    {
        test::ScriptedDialogs dialogs;
        FakeHost host;
        QRectF place;
        {
            auto c = openChart(host, 0, fourLegs(), 2);
            clickButton(c->tbrChartMode, "percent");
            clickButton(c->tbrChartMode, "timevalue");
            clickButton(c->tbrChartMode, "total");
            QVERIFY(choose(c.get(), "axisx", QStringLiteral("Volatility")));
            QVERIFY(choose(c.get(), "axisy", QStringLiteral("Gamma")));
            pickParam(c.get(), QStringLiteral("Interest rate"));
            clickButton(c->tbrChartMode, "ontop");
            QVERIFY(c->onTop());
            platform::setOuterTwips(c.get(), QRectF(1500, 1200, 6000, 4500));
            place = platform::outerTwips(c.get());
            int number = 2;
            c->SaveParams(number);
        }
        QCOMPARE(storedChart(2, "Percent"), QStringLiteral("False"));
        QCOMPARE(storedChart(2, "TimeValue"), QStringLiteral("True"));
        QCOMPARE(storedChart(2, "AxisX"), QStringLiteral("2"));
        QCOMPARE(storedChart(2, "AxisY"), QStringLiteral("7"));
        QCOMPARE(storedChart(2, "Params"), QStringLiteral("2"));
        QCOMPARE(storedChart(2, "OnTop"), QStringLiteral("True"));
        QCOMPARE(storedChart(2, "WindowState"), QStringLiteral("0"));

        auto c = openChart(host, 2, fourLegs(), 2);
        QCOMPARE(c->AxisX(), ChartParam::Volatility);
        QCOMPARE(c->AxisY(), 7);
        QCOMPARE(c->tbrAxis->ButtonCaption(1), QStringLiteral("X: Volatility"));
        QCOMPARE(c->tbrAxis->ButtonCaption(2), QStringLiteral("Y: Gamma"));
        QCOMPARE(c->cbParam->currentText(), QStringLiteral("Interest rate"));
        QCOMPARE(c->sbValue->value(), 500);
        QVERIFY(!c->Percent() && c->TimeValue() && !c->Total());
        QVERIFY(!c->tbrChartMode->ButtonChecked(button(c->tbrChartMode, "percent")));
        QCOMPARE(c->tbrChartMode->ButtonImage(button(c->tbrChartMode, "timevalue")), ChartModeImage::SwitchOn);
        QVERIFY(c->onTop() && c->tbrChartMode->ButtonChecked(button(c->tbrChartMode, "ontop")));
        // Back at its place (to the offscreen frame's 2 pixels).
        const QRectF back = platform::outerTwips(c.get());
        QVERIFY(near(back.left(), place.left(), 30) && near(back.top(), place.top(), 30)
                && near(back.width(), place.width(), 30) && near(back.height(), place.height(), 30));
        QCOMPARE(c->Chart->numSeries(), 4);

        // A maximised window writes its state but keeps the last normal place.
        storeChart(3, "Left", 999);
        c->showMaximized();
        QTRY_VERIFY(c->isMaximized());
        int three = 3;
        c->SaveParams(three);
        QCOMPARE(storedChart(3, "WindowState"), QStringLiteral("2"));
        QCOMPARE(storedChart(3, "Left"), QStringLiteral("999"));
        // ... and comes back in the normal state.
        auto again = openChart(host, 3, fourLegs());
        QVERIFY(!again->isMaximized());
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void storedAxes_data()
    {
        QTest::addColumn<int>("storedX");
        QTest::addColumn<int>("storedY");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addRow("price, delta") << 1 << 6 << 1 << 6;
        QTest::addRow("volatility, gamma") << 2 << 7 << 2 << 7;
        QTest::addRow("time, theta") << 3 << 8 << 3 << 8;
        QTest::addRow("rate, value") << 4 << 5 << 4 << 5;
        QTest::addRow("unknown, unknown") << 9 << 4 << 1 << 5;
        QTest::addRow("negative") << -3 << -1 << 1 << 5;
    }

    void storedAxes()
    {
        QFETCH(int, storedX);
        QFETCH(int, storedY);
        test::ScriptedDialogs dialogs;
        FakeHost host;
        storeChart(4, "AxisX", storedX);
        storeChart(4, "AxisY", storedY);
        storeChart(4, "Params", 1);
        auto c = openChart(host, 4, fourLegs(), 2);
        QTEST(c->AxisX(), "x");
        QTEST(c->AxisY(), "y");
        // "Params" 1 is the second entry of whatever the box now holds.
        QCOMPARE(c->cbParam->currentIndex(), 1);
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void storedValuesOutOfRange_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("value");
        QTest::addRow("huge width") << "Width" << QVariant(200000000);
        QTest::addRow("huge height") << "Height" << QVariant(2147483647);
        QTest::addRow("far left") << "Left" << QVariant(-2147483647);
        QTest::addRow("far right") << "Left" << QVariant(2147483647);
        QTest::addRow("far down") << "Top" << QVariant(99999999);
        QTest::addRow("no width") << "Width" << QVariant(0);
        QTest::addRow("negative height") << "Height" << QVariant(-4000);
        QTest::addRow("width as text") << "Width" << QVariant(QStringLiteral("wide"));
        QTest::addRow("width not a number") << "Width" << QVariant(QStringLiteral("nan"));
        QTest::addRow("params too high") << "Params" << QVariant(7);
        QTest::addRow("params negative") << "Params" << QVariant(-1);
        QTest::addRow("params as text") << "Params" << QVariant(QStringLiteral("second"));
        QTest::addRow("switch as text") << "Percent" << QVariant(QStringLiteral("maybe"));
    }

    void storedValuesOutOfRange()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, value);
        test::ScriptedDialogs dialogs;
        FakeHost host;
        for (const char* k : {"Left", "Top", "Width", "Height"})
            storeChart(1, k, 3000);
        storeChart(1, qPrintable(key), value);
        auto c = openChart(host, 1, fourLegs());
        QCoreApplication::processEvents();
        // On the screen, never larger than its work area, at least grabbable.
        const QRect area = platform::workArea(c.get());
        const QRect outer = c->frameGeometry();
        QVERIFY2(area.contains(outer), qPrintable(QStringLiteral("%1,%2 %3x%4").arg(outer.x()).arg(outer.y())
                                                        .arg(outer.width()).arg(outer.height())));
        QVERIFY(outer.width() >= 100 && outer.height() >= 100);
        QCOMPARE(c->cbParam->currentIndex(), 0);
        QCOMPARE(c->Percent(), true);
        QVERIFY(dialogs.errorReports.isEmpty());
        QVERIFY(dialogs.messages.isEmpty());
    }

    void defaultPlaces()
    {
        test::ScriptedDialogs dialogs;
        FakeHost host;
        const QRect area = platform::workArea(&host.main);
        const double tpp = 1440.0 / host.main.logicalDpiX();
        const double w = area.width() * tpp, h = area.height() * tpp;
        // Chart 1 beside a main window on the left half of the work area.
        platform::setOuterTwips(&host.main, QRectF(0, 0, w / 2, h));
        auto first = openChart(host, 1, fourLegs());
        const QRectF one = platform::outerTwips(first.get());
        // Half the work area wide, unless a chart may be no narrower.
        const double half =
            std::max(w / 2, (first->minimumWidth() + first->frameGeometry().width() - first->width()) * tpp);
        QVERIFY2(near(one.left(), w / 2, 2 * tpp) && near(one.top(), 0, 2 * tpp) && near(one.width(), half, 2 * tpp)
                     && near(one.height(), h / 2, 2 * tpp),
                 qPrintable(QStringLiteral("%1 %2 %3 %4").arg(one.left()).arg(one.top()).arg(one.width()).arg(one.height())));
        // Any other number (here 0, whatever chart 1 stored): a quarter in,
        // half the size, X = time, value, percent and total on, not on top.
        storeChart(1, "AxisX", 2);
        auto other = openChart(host, 0, fourLegs());
        const QRectF zero = platform::outerTwips(other.get());
        QVERIFY(near(zero.left(), w / 4, 2 * tpp) && near(zero.top(), h / 4, 2 * tpp)
                && near(zero.width(), half, 2 * tpp) && near(zero.height(), h / 2, 2 * tpp));
        QCOMPARE(other->AxisX(), ChartParam::Time);
        QVERIFY(other->Percent() && other->Total() && !other->TimeValue() && !other->onTop());
        // A main window that leaves no room at its right: the general default.
        platform::setOuterTwips(&host.main, QRectF(0, 0, w, h));
        auto squeezed = openChart(host, 1, fourLegs());
        QVERIFY(near(platform::outerTwips(squeezed.get()).width(), half, 2 * tpp));
        QVERIFY(dialogs.errorReports.isEmpty());
    }
};

TW_QTEST_MAIN(ChartWindowTest)

#include "ChartWindowTest.moc"
