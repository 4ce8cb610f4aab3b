// The main window's chart-window management: keys that are never reused,
// the Windows menu and the window list following the open windows and their
// captions, picking a window from either list, and the start places of the
// main and the 3-D window on a work area with panels on any side.

#include "support/MainWindowControls.h"
#include "MainWindowFixtures.h"

#include "charts/frm3dChart.h"
#include "charts/frmChart.h"
#include "mainwindow/StartupSettings.h"
#include "mainwindow/frmStrategies.h"
#include "model/stock.h"
#include "platform/Chart2D.h"
#include "platform/Chart3D.h"
#include "platform/PopupMenu.h"
#include "platform/Toolbar.h"
#include "platform/WindowGeometry.h"
#include "support/MainWindowRun.h"
#include "support/QtTestMain.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QToolButton>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

using namespace tw;
using tw::platform::PopupMenu;

namespace {

int item(const PopupMenu* menu, const QString& key)
{
    return menu->IndexOfKey(key);
}

// The chart items of the Windows menu: key and caption, in menu order.
QList<QPair<QString, QString>> windowsMenuCharts(const frmStrategies* w)
{
    QList<QPair<QString, QString>> items;
    const PopupMenu* menu = ui::m_cMenu(w);
    const int windows = item(menu, QStringLiteral("mnuWindowsTOP"));
    for (int i = 1; i <= menu->Count(); ++i) {
        if (menu->KeyOfItem(i).startsWith(QLatin1String("mnuChartWindow"))) {
            if (menu->ItemParentIndex(i) != windows || menu->ItemIcon(i) != 40)
                items.append({QStringLiteral("misplaced ") + menu->KeyOfItem(i), QString()});
            else
                items.append({menu->KeyOfItem(i), menu->ItemCaption(i)});
        }
    }
    return items;
}

// The window list as shown now: key and caption of every item.
QList<QPair<QString, QString>> shownWindowList(frmStrategies* w)
{
    w->ShowWindowListMenu(0, 0, w);
    QList<QPair<QString, QString>> items;
    const PopupMenu* list = ui::m_cChartList(w);
    for (int i = 1; i <= list->Count(); ++i) {
        items.append({list->KeyOfItem(i), list->ItemCaption(i)});
        if (list->ItemParentIndex(i) != 0)
            items.append({QStringLiteral("not top level"), list->KeyOfItem(i)});
    }
    if (QMenu* popup = list->ActivePopup())
        popup->close();
    return items;
}

bool headingVisible(const frmStrategies* w)
{
    return ui::m_cMenu(w)->ItemVisible(item(ui::m_cMenu(w), QStringLiteral("mnuChartsTOP")));
}

void newChart(frmStrategies* w)
{
    emit ui::m_cMenu(w)->Click(item(ui::m_cMenu(w), QStringLiteral("mnuWindowsNewChart")));
}

void clickList(frmStrategies* w, const QString& key)
{
    const int n = item(ui::m_cChartList(w), key);
    QVERIFY2(n > 0, qPrintable(key));
    emit ui::m_cChartList(w)->Click(n);
}

// Opens the window list with a chart window's own toolbar button and clicks
// the entry with that caption, as the user does; false when the list does
// not offer it.
bool pickFromWindowList(frmStrategies* w, frmChart* from, const QString& caption)
{
    QToolButton* button = from->tbrChartMode->ButtonWidget(from->tbrChartMode->ButtonIndex(QStringLiteral("charts")));
    if (button == nullptr)
        return false;
    QTest::mouseClick(button, Qt::LeftButton);
    QMenu* popup = ui::m_cChartList(w)->ActivePopup();
    return popup != nullptr && test::clickMenuItem(popup, caption);
}

// The caption of a chart window's entry in the Windows menu and the list.
QString entryOf(const frmStrategies* w, const char* chartKey)
{
    return ui::m_cMenu(w)->ItemCaption(item(ui::m_cMenu(w), QStringLiteral("mnuChartWindow") + QLatin1String(chartKey)));
}

QByteArray text(const QRectF& r)
{
    return QByteArray::number(r.left()) + "," + QByteArray::number(r.top()) + " " + QByteArray::number(r.width())
        + "x" + QByteArray::number(r.height());
}

} // namespace

class ChartWindowsTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_stg;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_stg = test::writeSampleStrategies(m_dir.path());
    }

    void init()
    {
        test::environment().clearSettings();
        test::storeQuietStart();
    }

    void chartKeysAreNeverReused()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_stg});
        frmStrategies* w = run.window();
        QVERIFY(!headingVisible(w));

        newChart(w);
        QCOMPARE(test::chartKeys(w), QStringList{"C0"});
        frmChart* c0 = w->chartByKey(QStringLiteral("C0"));
        QVERIFY(c0 != nullptr && c0->isVisible());
        QCOMPARE(c0->Tag(), QStringLiteral("C0"));
        QVERIFY(headingVisible(w));
        QCOMPARE(windowsMenuCharts(w), (QList<QPair<QString, QString>>{{"mnuChartWindowC0", c0->windowTitle()}}));

        // The user closes C0: it leaves the list and the menu, the heading
        // hides again.
        c0->close();
        QTRY_VERIFY(w->openCharts().isEmpty());
        QVERIFY(windowsMenuCharts(w).isEmpty());
        QVERIFY(!headingVisible(w));

        newChart(w);
        newChart(w);
        QCOMPARE(test::chartKeys(w), (QStringList{"C1", "C2"}));
        QVERIFY(headingVisible(w));
        w->chartByKey(QStringLiteral("C1"))->close();
        QTRY_COMPARE(test::chartKeys(w), QStringList{"C2"});
        QVERIFY(headingVisible(w)); // C2 is still open
        newChart(w);
        QCOMPARE(test::chartKeys(w), (QStringList{"C2", "C3"}));
        QCOMPARE(w->chartCounter(), 4);
        const auto menuItems = windowsMenuCharts(w);
        QCOMPARE(menuItems.size(), 2);
        QCOMPARE(menuItems.at(0).first, QStringLiteral("mnuChartWindowC2"));
        QCOMPARE(menuItems.at(1).first, QStringLiteral("mnuChartWindowC3"));
        QCOMPARE(test::visibleChartWindows().size(), 2);
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void removingAChartThatIsNotListedChangesNothing()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_stg});
        frmStrategies* w = run.window();
        newChart(w);
        newChart(w);
        const int menuCount = ui::m_cMenu(w)->Count();

        w->RemoveChart(QStringLiteral("C9"));
        w->RemoveChart(QString());
        w->RemoveChart(QStringLiteral("c0")); // keys are compared exactly
        QCOMPARE(test::chartKeys(w), (QStringList{"C0", "C1"}));
        QCOMPARE(ui::m_cMenu(w)->Count(), menuCount);
        QVERIFY(headingVisible(w));

        // RemoveChart also takes the window off the window list shown last.
        shownWindowList(w);
        QVERIFY(item(ui::m_cChartList(w), QStringLiteral("mnuChartWindowC1")) > 0);
        w->chartByKey(QStringLiteral("C1"))->close();
        QTRY_COMPARE(test::chartKeys(w), QStringList{"C0"});
        QCOMPARE(item(ui::m_cChartList(w), QStringLiteral("mnuChartWindowC1")), 0);
        QCOMPARE(item(ui::m_cMenu(w), QStringLiteral("mnuChartWindowC1")), 0);
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void captionChangesFollowIntoBothLists()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_stg});
        frmStrategies* w = run.window();
        newChart(w);
        newChart(w);
        frmChart* c1 = w->chartByKey(QStringLiteral("C1"));

        // A chart window that sets its caption renames its menu entry.
        c1->setStockTicker(QStringLiteral("XYZ"));
        QVERIFY(c1->windowTitle().startsWith(QLatin1String("XYZ - 2D Chart: ")));
        QCOMPARE(ui::m_cMenu(w)->ItemCaption(item(ui::m_cMenu(w), QStringLiteral("mnuChartWindowC1"))),
                 c1->windowTitle());

        // An "&" in a caption is shown as itself, not as an access letter.
        w->CustomChartCaptionChanged(QStringLiteral("C0"), QStringLiteral("AT&T"));
        QCOMPARE(ui::m_cMenu(w)->ItemCaption(item(ui::m_cMenu(w), QStringLiteral("mnuChartWindowC0"))),
                 QStringLiteral("AT&&T"));
        // An empty or unknown key renames nothing.
        const QString c1Caption = ui::m_cMenu(w)->ItemCaption(item(ui::m_cMenu(w), QStringLiteral("mnuChartWindowC1")));
        w->CustomChartCaptionChanged(QString(), QStringLiteral("Nobody"));
        w->CustomChartCaptionChanged(QStringLiteral("C7"), QStringLiteral("Nobody"));
        QCOMPARE(ui::m_cMenu(w)->ItemCaption(item(ui::m_cMenu(w), QStringLiteral("mnuChartWindowC1"))), c1Caption);
        for (int i = 1; i <= ui::m_cMenu(w)->Count(); ++i)
            QVERIFY(!ui::m_cMenu(w)->ItemCaption(i).startsWith(QLatin1String("Nobody")));

        // The window list shows the windows' captions at its next showing.
        const auto list = shownWindowList(w);
        QCOMPARE(list.last(), (QPair<QString, QString>{"mnuChartWindowC1", c1->windowTitle()}));
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void windowListShowsEachWindowOnce()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_stg});
        frmStrategies* w = run.window();

        // The 3-D window is hidden: the list offers the main window only.
        QCOMPARE(shownWindowList(w), (QList<QPair<QString, QString>>{{"mnuChartsTOP", "-Opened charts"},
                                                                     {"mnuMainForm", "Main window"}}));
        QCOMPARE(ui::m_cChartList(w)->ItemIcon(2), 42);

        newChart(w);
        newChart(w);
        w->Select3DChart();
        frm3dChart* chart3d = frm3dChart::loaded();
        QVERIFY(chart3d != nullptr && chart3d->isVisible());
        chart3d->setWindowTitle(QStringLiteral("MSFT - 3D chart"));
        const QList<QPair<QString, QString>> expected{
            {"mnuChartsTOP", "-Opened charts"},
            {"mnuMainForm", "Main window"},
            {"mnu3DChart", "MSFT - 3D chart"},
            {"mnuChartWindowC0", w->chartByKey("C0")->windowTitle() + " (1)"},
            {"mnuChartWindowC1", w->chartByKey("C1")->windowTitle() + " (2)"},
        };
        QCOMPARE(shownWindowList(w), expected);
        QCOMPARE(shownWindowList(w), expected); // shown again: still each once
        // Two windows with one caption are told apart by their numbers.
        QCOMPARE(w->chartByKey("C0")->windowTitle(), w->chartByKey("C1")->windowTitle());
        QVERIFY(expected.at(3).second != expected.at(4).second);
        QCOMPARE(ui::m_cChartList(w)->ItemIcon(3), 31);
        QCOMPARE(ui::m_cChartList(w)->ItemIcon(4), 40);
        QVERIFY(ui::m_cChartList(w)->ItemIsSeparator(1));

        // The user closes the 3-D window: it only hides, and leaves the list.
        chart3d->close();
        QVERIFY(frm3dChart::loaded() != nullptr);
        QCOMPARE(shownWindowList(w).size(), 4);
        QCOMPARE(item(ui::m_cChartList(w), QStringLiteral("mnu3DChart")), 0);

        // A chart window's own toolbar shows the list over that window.
        frmChart* c0 = w->chartByKey(QStringLiteral("C0"));
        w->ShowWindowListMenu(10, 10, c0);
        QCOMPARE(ui::m_cChartList(w)->OwnerWindow(), static_cast<QWidget*>(c0));
        if (QMenu* popup = ui::m_cChartList(w)->ActivePopup())
            popup->close();
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void pickingFromTheListsBringsTheWindowBack()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_stg});
        frmStrategies* w = run.window();
        newChart(w);
        newChart(w);
        frmChart* c0 = w->chartByKey(QStringLiteral("C0"));
        frmChart* c1 = w->chartByKey(QStringLiteral("C1"));

        // A minimised chart window picked from the window list (opened with
        // another chart's button) is restored.
        c0->showMinimized();
        QTRY_VERIFY(c0->isMinimized());
        QVERIFY(pickFromWindowList(w, c1, entryOf(w, "C0")));
        QTRY_VERIFY(!c0->isMinimized());
        QVERIFY(c0->isVisible());

        // From the Windows menu as well; a maximised one stays maximised.
        c0->showMinimized();
        QTRY_VERIFY(c0->isMinimized());
        QVERIFY(test::chooseFromMenuBar(w, QStringLiteral("&Windows"), entryOf(w, "C0")));
        QTRY_VERIFY(!c0->isMinimized());
        c1->showMaximized();
        QTRY_VERIFY(c1->isMaximized());
        QVERIFY(test::chooseFromMenuBar(w, QStringLiteral("&Windows"), entryOf(w, "C1")));
        QVERIFY(c1->isMaximized());

        // The main window and the 3-D window.
        w->showMinimized();
        QTRY_VERIFY(w->isMinimized());
        QVERIFY(pickFromWindowList(w, c0, QStringLiteral("Main window")));
        QTRY_VERIFY(!w->isMinimized());
        w->Select3DChart();
        frm3dChart::loaded()->showMinimized();
        QTRY_VERIFY(frm3dChart::loaded()->isMinimized());
        QVERIFY(pickFromWindowList(w, c0, frm3dChart::loaded()->windowTitle()));
        QTRY_VERIFY(!frm3dChart::loaded()->isMinimized());
        QVERIFY(frm3dChart::loaded()->isVisible());

        // A list item whose window has gone, or a key that names no window,
        // does nothing.
        shownWindowList(w);
        c1->close();
        QTRY_COMPARE(test::chartKeys(w), QStringList{"C0"});
        ui::m_cChartList(w)->AddItem(QStringLiteral("Gone"), QString(), 0, 0, 40, false, true,
                                 QStringLiteral("mnuChartWindowC1"));
        ui::m_cChartList(w)->AddItem(QStringLiteral("Odd"), QString(), 0, 0, 40, false, true, QStringLiteral("C0"));
        clickList(w, QStringLiteral("mnuChartWindowC1"));
        clickList(w, QStringLiteral("C0"));
        emit ui::m_cMenu(w)->Click(ui::m_cMenu(w)->AddItem(QStringLiteral("Stray"), QString(), 0, 0, -1, false, true,
                                                   QStringLiteral("mnuChartWindowC5")));
        QCOMPARE(test::chartKeys(w), QStringList{"C0"});
        QVERIFY2(dialogs.errorReports.isEmpty(), qPrintable(dialogs.errorReports.join("\n")));
        QVERIFY(dialogs.messages.isEmpty());
    }

    void newChartWindowReceivesThePricingContext()
    {
        QTemporaryDir dir;
        const QString opt = test::writeSampleChain(dir.path());
        test::ScriptedDialogs dialogs;
        test::storeSetting(QStringLiteral("Model"), 2);
        test::storeSetting(QStringLiteral("Steps"), QStringLiteral("37"));
        test::MainWindowRun run({"-O", opt});
        frmStrategies* w = run.window();
        QVERIFY(w->session().ObjStock() != nullptr);
        newChart(w);
        frmChart* chart = w->chartByKey(QStringLiteral("C0"));
        QVERIFY(chart != nullptr);
        // The ticker of the loaded stock is in the caption.
        QVERIFY2(chart->windowTitle().startsWith(QLatin1String("MSFT")), qPrintable(chart->windowTitle()));
        QVERIFY(ui::m_cMenu(w)->ItemCaption(item(ui::m_cMenu(w), QStringLiteral("mnuChartWindowC0"))).startsWith("MSFT"));
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void chartsOfTheShippedDataDrawAndComeBack()
    {
        QRectF place, secondPlace;
        {
            test::ScriptedDialogs dialogs;
            test::MainWindowRun run({"-S", test::shippedFile("DEFAULT.STG"), "-O", test::shippedFile("SAMPLE.opt")});
            frmStrategies* w = run.window();
            QVERIFY(w->session().ObjStock() != nullptr);
            QVERIFY(test::chooseFromMenuBar(w, QStringLiteral("&Windows"), QStringLiteral("&New chart")));
            frmChart* chart = w->chartByKey(QStringLiteral("C0"));
            QVERIFY(chart != nullptr && chart->isVisible());
            // The selected strategy's legs and the Sum, 100 points each.
            const int legs = static_cast<int>(w->session().chartLegs()->size());
            QVERIFY(legs >= 1);
            QCOMPARE(chart->Chart->numSeries(), legs + 1);
            QCOMPARE(chart->Chart->seriesLabels().last(), QStringLiteral("Sum"));
            for (int s = 1; s <= legs + 1; ++s)
                QCOMPARE(chart->Chart->drawnPointCount(s), 100);
            QVERIFY2(chart->windowTitle().startsWith(w->session().ObjStock()->Code() + " - 2D Chart: Profit/Loss by time"),
                     qPrintable(chart->windowTitle()));

            // The toolbar opens a second one; the chart's own X menu and a
            // mode button change the first.
            QToolButton* newChart = ui::tbrTools(w)->ButtonWidget(ui::tbrTools(w)->ButtonIndex(QStringLiteral("newchart")));
            QVERIFY(newChart != nullptr);
            QTest::mouseClick(newChart, Qt::LeftButton);
            QCOMPARE(test::chartKeys(w), (QStringList{"C0", "C1"}));
            QTest::mousePress(chart->tbrAxis->ButtonWidget(1), Qt::LeftButton);
            QMenu* popup = chart->mMenu->ActivePopup();
            QVERIFY(popup != nullptr);
            QVERIFY(test::clickMenuItem(popup, QStringLiteral("Volatility")));
            QTest::mouseClick(chart->tbrChartMode->ButtonWidget(chart->tbrChartMode->ButtonIndex("total")),
                              Qt::LeftButton);
            QCOMPARE(chart->AxisX(), 2);
            QCOMPARE(chart->Chart->numSeries(), legs);
            // Its Windows-menu entry follows the new caption.
            QCOMPARE(ui::m_cMenu(w)->ItemCaption(item(ui::m_cMenu(w), QStringLiteral("mnuChartWindowC0"))),
                     chart->windowTitle());
            platform::setOuterTwips(chart, QRectF(2400, 1800, 7200, 5400));
            QTRY_VERIFY(std::abs(platform::outerTwips(chart).width() - 7200) <= 30);
            place = platform::outerTwips(chart);
            secondPlace = platform::outerTwips(w->chartByKey(QStringLiteral("C1")));
            QVERIFY(run.close());
            QVERIFY(dialogs.errorReports.isEmpty());
        }
        // The next start brings both back where they were (the second is
        // not cascaded from the first again), the first as it was.
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", test::shippedFile("DEFAULT.STG"), "-O", test::shippedFile("SAMPLE.opt")});
        frmStrategies* w = run.window();
        QCOMPARE(test::chartKeys(w), (QStringList{"C0", "C1"}));
        frmChart* chart = w->chartByKey(QStringLiteral("C0"));
        QCOMPARE(chart->AxisX(), 2);
        QVERIFY(!chart->Total());
        QCOMPARE(chart->Chart->drawnPointCount(1), 100);
        QTRY_VERIFY2(std::abs(platform::outerTwips(chart).left() - place.left()) <= 30
                         && std::abs(platform::outerTwips(chart).width() - place.width()) <= 30,
                     text(platform::outerTwips(chart)) + " vs " + text(place));
        QCOMPARE(w->chartByKey(QStringLiteral("C1"))->AxisX(), 3);
        const QRectF second = platform::outerTwips(w->chartByKey(QStringLiteral("C1")));
        QVERIFY2(std::abs(second.left() - secondPlace.left()) <= 30 && std::abs(second.top() - secondPlace.top()) <= 30,
                 text(second) + " vs " + text(secondPlace));
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    // A group node clicked with the chart windows open: both show an empty
    // chart that keeps nothing of the strategy drawn before (no lines, no
    // labels, axes over the controls' ranges for no data, the 2-D time back
    // at 0); a strategy clicked again is drawn whole.
    void groupNodeEmptiesTheChartsOfTheLastStrategy()
    {
        test::SampleFiles files;
        QVERIFY(files.write());
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", files.stg, "-O", files.opt});
        frmStrategies* w = run.window();
        QVERIFY(w->session().ObjStock() != nullptr);
        QVERIFY(test::chooseFromMenuBar(w, QStringLiteral("&Windows"), QStringLiteral("&New chart")));
        frmChart* chart = w->chartByKey(QStringLiteral("C0"));
        QVERIFY(chart != nullptr);
        QTest::mousePress(chart->tbrAxis->ButtonWidget(1), Qt::LeftButton);
        QMenu* popup = chart->mMenu->ActivePopup();
        QVERIFY(popup != nullptr);
        QVERIFY(test::clickMenuItem(popup, QStringLiteral("Time")));
        QVERIFY(test::chooseFromMenuBar(w, QStringLiteral("&Windows"), QStringLiteral("&3D chart")));
        frm3dChart* chart3d = frm3dChart::instance();
        QTRY_VERIFY(chart3d->isVisible());
        const platform::Chart3D* surface = chart3d->Chart3D;

        QVERIFY(test::clickTreeNode(w, QStringLiteral("T1S1")));
        const int legs = static_cast<int>(w->session().chartLegs()->size());
        const auto drawnWhole = [&] {
            QCOMPARE(chart->Chart->numSeries(), legs + 1);
            QCOMPARE(chart->Chart->drawnPointCount(legs + 1), 100);
            QCOMPARE(chart->Chart->seriesLabels().size(), legs + 1);
            // The time axis runs to 14 days past the latest expiration.
            QVERIFY(chart->Chart->axisRange('X').second >= chart->ranges().MaxExpiration - 1);
            QVERIFY(chart->ranges().MaxExpiration > 14);
            QCOMPARE(surface->rowCount(), 30);
            QCOMPARE(surface->labels(platform::Chart3D::AxisY).size(), 30);
            QVERIFY(!surface->labels(platform::Chart3D::AxisY).first().isEmpty());
            QCOMPARE(chart3d->dayValues().size(), size_t(30));
        };
        drawnWhole();
        const QString yTitle = chart->Chart->axisTitle('Y');
        const QString valueTitle = surface->axisTitle(platform::Chart3D::AxisZ);

        QVERIFY(test::clickTreeNode(w, QStringLiteral("T2")));
        QCOMPARE(chart->Chart->numSeries(), 0);
        QVERIFY(chart->Chart->seriesLabels().isEmpty());
        QCOMPARE(chart->Chart->axisRange('X'), (std::pair<double, double>(0, 1)));
        QCOMPARE(chart->Chart->axisRange('Y'), (std::pair<double, double>(0, 1)));
        QCOMPARE(chart->Chart->axisTitle('X'), QStringLiteral("Time"));
        QCOMPARE(chart->Chart->axisTitle('Y'), yTitle);
        QCOMPARE(chart->ranges().MaxExpiration, 0);
        QVERIFY2(chart->txtParams->text().contains(QLatin1String("Time: 0 days")), qPrintable(chart->txtParams->text()));
        QCOMPARE(surface->rowCount(), 0);
        QCOMPARE(surface->columnCount(), 0);
        QVERIFY(surface->labels(platform::Chart3D::AxisX).isEmpty());
        QVERIFY(surface->labels(platform::Chart3D::AxisY).isEmpty());
        QCOMPARE(surface->axisTitle(platform::Chart3D::AxisZ), valueTitle);
        QVERIFY(chart3d->priceValues().empty());
        QVERIFY(chart3d->dayValues().empty());
        // A chart window opened now is empty as well.
        QVERIFY(test::chooseFromMenuBar(w, QStringLiteral("&Windows"), QStringLiteral("&New chart")));
        QCOMPARE(w->chartByKey(QStringLiteral("C1"))->Chart->numSeries(), 0);

        QVERIFY(test::clickTreeNode(w, QStringLiteral("T1S1")));
        drawnWhole();
        QCOMPARE(w->chartByKey(QStringLiteral("C1"))->Chart->numSeries(), legs + 1);
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void newChartsCascadeAndAreNumberedOnlyWhileTheyShareACaption()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_stg});
        frmStrategies* w = run.window();
        const auto newChartByMenu = [w] {
            return test::chooseFromMenuBar(w, QStringLiteral("&Windows"), QStringLiteral("&New chart"));
        };
        // Open, close, open: the one window's entry carries no number.
        QVERIFY(newChartByMenu());
        frmChart* c0 = w->chartByKey(QStringLiteral("C0"));
        QVERIFY(c0 != nullptr);
        const QString caption = c0->windowTitle();
        QCOMPARE(entryOf(w, "C0"), caption);
        c0->close();
        QTRY_VERIFY(w->openCharts().isEmpty());
        QVERIFY(newChartByMenu());
        frmChart* c1 = w->chartByKey(QStringLiteral("C1"));
        QVERIFY(c1 != nullptr && c1->isVisible());
        QCOMPARE(entryOf(w, "C1"), caption);

        // A second one opens a title bar lower and to the right, as large;
        // with one caption both are numbered, in the menu and the list.
        QVERIFY(newChartByMenu());
        frmChart* c2 = w->chartByKey(QStringLiteral("C2"));
        QVERIFY(c2 != nullptr && c2->isVisible());
        const QRect a = c1->frameGeometry(), b = c2->frameGeometry();
        QVERIFY2(b.left() - a.left() >= 16 && b.top() - a.top() == b.left() - a.left() && b.size() == a.size(),
                 text(QRectF(a)) + " then " + text(QRectF(b)));
        QCOMPARE(c2->windowTitle(), caption);
        QCOMPARE(entryOf(w, "C1"), caption + QStringLiteral(" (1)"));
        QCOMPARE(entryOf(w, "C2"), caption + QStringLiteral(" (2)"));
        QCOMPARE(shownWindowList(w).mid(2), (QList<QPair<QString, QString>>{
                                                {"mnuChartWindowC1", caption + QStringLiteral(" (1)")},
                                                {"mnuChartWindowC2", caption + QStringLiteral(" (2)")}}));
        // The first one closed, the other is alone with its caption again.
        c1->close();
        QTRY_COMPARE(test::chartKeys(w), QStringList{"C2"});
        QCOMPARE(entryOf(w, "C2"), caption);

        // Many more: each whole on the work area, no two at one corner.
        for (int i = 0; i < 14; ++i)
            QVERIFY(newChartByMenu());
        const QRect area = platform::workArea(w);
        const QList<frmChart*> charts = test::visibleChartWindows();
        QCOMPARE(charts.size(), 15);
        for (frmChart* c : charts) {
            QVERIFY2(area.contains(c->frameGeometry()), text(QRectF(c->frameGeometry())));
            for (frmChart* other : charts)
                QVERIFY(other == c || (other->frameGeometry().topLeft() - c->frameGeometry().topLeft()).manhattanLength() > 8);
        }

        // On past the last free corner: a window that can only open at a
        // corner another one holds opens a title bar on from the one opened
        // before it, or at the work area's top-left where that would leave
        // the area; whole on the work area still.
        const int step = b.left() - a.left();
        const auto held = [step](const QPoint& corner, const QList<frmChart*>& others) {
            return std::any_of(others.begin(), others.end(), [&](const frmChart* o) {
                const QPoint d = o->frameGeometry().topLeft() - corner;
                return 2 * std::abs(d.x()) < step && 2 * std::abs(d.y()) < step;
            });
        };
        int overHeld = 0;
        bool startedAgain = false;
        for (int i = 0; i < 60 && !startedAgain; ++i) {
            const QRect before = w->openCharts().last().second->frameGeometry();
            const QList<frmChart*> others = test::visibleChartWindows();
            QVERIFY(newChartByMenu());
            const QRect now = w->openCharts().last().second->frameGeometry();
            QVERIFY2(area.contains(now), text(QRectF(now)));
            if (!held(now.topLeft(), others))
                continue;
            ++overHeld;
            QPoint next = before.topLeft() + QPoint(step, step);
            if (!area.contains(QRect(next, now.size())))
                next = area.topLeft();
            QVERIFY2(now.topLeft() == next, text(QRectF(before)) + " then " + text(QRectF(now)));
            startedAgain = next == area.topLeft();
        }
        QVERIFY(startedAgain && overHeld > 1);
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void tiledPlacesFillTheWorkArea_data()
    {
        QTest::addColumn<QRectF>("area"); // left, top, right, bottom in twips
        QTest::addRow("whole screen") << QRectF(QPointF(0, 0), QPointF(28800, 16200));
        QTest::addRow("panel on the left") << QRectF(QPointF(960, 0), QPointF(28800, 16200));
        QTest::addRow("panel on the top") << QRectF(QPointF(0, 570), QPointF(28800, 16200));
        QTest::addRow("panels left and top") << QRectF(QPointF(960, 570), QPointF(28800, 16200));
        QTest::addRow("odd sizes") << QRectF(QPointF(15, 45), QPointF(19201, 12001));
        QTest::addRow("second screen") << QRectF(QPointF(28800, 0), QPointF(57600, 16200));
    }

    void tiledPlacesFillTheWorkArea()
    {
        QFETCH(QRectF, area);
        const float L = float(area.left()), T = float(area.top()), R = float(area.right()), B = float(area.bottom());
        const TiledPlaces p = tiledPlaces(L, T, R, B);
        // The main window: the left half, from the work area's top-left.
        QCOMPARE(p.main.left(), double(L));
        QCOMPARE(p.main.top(), double(T));
        QCOMPARE(p.main.width(), double((R - L) / 2));
        QCOMPARE(p.main.bottom(), double(B));
        // The 3-D window: the lower right quarter, ending at the right and
        // bottom edges, next to the main window without gap or overlap.
        QCOMPARE(p.chart3d.left(), p.main.right());
        QCOMPARE(p.chart3d.top(), double(T + (B - T) / 2));
        QCOMPARE(p.chart3d.right(), double(R));
        QCOMPARE(p.chart3d.bottom(), double(B));
        QVERIFY(p.main.width() > 0 && p.chart3d.height() > 0);
    }

    void tileWindowsUsesTheScreensWorkArea()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_stg});
        frmStrategies* w = run.window();
        w->showMaximized();
        QTRY_VERIFY(w->isMaximized());
        w->TileWindows();
        QTRY_VERIFY(!w->isMaximized());
        const QRect area = platform::workArea(w);
        const double tpp = 1440.0 / w->logicalDpiY();
        const TiledPlaces expected =
            tiledPlaces(float(area.left() * tpp), float(area.top() * tpp), float((area.left() + area.width()) * tpp),
                        float((area.top() + area.height()) * tpp));
        const QRectF main = platform::outerTwips(w);
        const QRectF chart3d = platform::outerTwips(frm3dChart::instance());
        const double px = 2 * tpp;
        // The main window at the work area's top-left, over its full height,
        // as wide as the left half (or its minimum width, on a narrow area).
        QVERIFY2(std::abs(main.left() - expected.main.left()) <= px && std::abs(main.top() - expected.main.top()) <= px
                     && std::abs(main.height() - expected.main.height()) <= px,
                 text(main) + " vs " + text(expected.main));
        const double minimumWidth = w->minimumWidth() * tpp;
        QVERIFY2(std::abs(main.width() - std::max(expected.main.width(), minimumWidth)) <= 10 * tpp,
                 text(main) + " vs " + text(expected.main));
        // The 3-D window: the lower right, ending at the work area's right
        // and bottom edges (unless the room left is below its own minimum
        // width), and never over the main window.
        const double minimum3d = frm3dChart::instance()->minimumWidth() * tpp;
        QVERIFY2(std::abs(chart3d.top() - expected.chart3d.top()) <= px
                     && (std::abs(chart3d.right() - expected.chart3d.right()) <= px
                         || (chart3d.right() > expected.chart3d.right() && chart3d.width() <= minimum3d + 10 * tpp))
                     && std::abs(chart3d.bottom() - expected.chart3d.bottom()) <= px,
                 text(chart3d) + " vs " + text(expected.chart3d));
        QVERIFY2(chart3d.left() >= main.right() - px, text(chart3d) + " over " + text(main));
        QVERIFY(dialogs.errorReports.isEmpty());
    }
};

TW_QTEST_MAIN(ChartWindowsTest)

#include "ChartWindowsTest.moc"
