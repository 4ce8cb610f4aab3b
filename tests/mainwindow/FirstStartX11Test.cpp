// A new user's first start under a window manager (a private Xvfb display
// with openbox, of the size TW_X11_SCREEN gives): the main window, framed on
// its screen, shows every control of its bottom pane whole and apart from
// the others on each chain tab, and the chain grids show at least eight rows;
// its status line shows an export's and a refused quantity's texts whole; new
// chart windows open a title bar apart. Settings written on a larger screen
// start the same way: every window on the screen, apart, the bottom pane
// whole, also after the main window is maximised and restored.

#include "support/MainWindowControls.h"
#include "MainWindowFixtures.h"

#include "app/CAppSettings.h"
#include "app/Tools.h"
#include "charts/frm3dChart.h"
#include "charts/frmChart.h"
#include "mainwindow/frmStrategies.h"
#include "support/MainWindowRun.h"
#include "support/QtTestMain.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"
#include "support/WindowSystem.h"

#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTabBar>
#include <QTableView>
#include <QtTest>

using namespace tw;

namespace {

QString text(const QRect& r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

QRect inWindow(QWidget* c, QWidget* window)
{
    return QRect(c->mapTo(window, QPoint(0, 0)), c->size());
}

// The rows of a grid that are shown whole.
int wholeRowsShown(platform::Grid* grid)
{
    auto* view = grid->findChild<QTableView*>();
    if (view == nullptr)
        return 0;
    const int height = view->viewport()->height();
    int whole = 0;
    for (int r = 0; r < view->model()->rowCount(); ++r) {
        const int top = view->rowViewportPosition(r);
        if (!view->isRowHidden(r) && top >= 0 && top + view->rowHeight(r) <= height)
            ++whole;
    }
    return whole;
}

// The main window framed and laid out in its framed client area.
bool laidOutFramed(frmStrategies* w)
{
    return test::isFramed(w) && ui::fraExchange(w)->geometry().bottom() == w->height() - 1;
}

// What File > Exit wrote at 1920x1080 (Xvfb, openbox) after a first start on
// the shipped files and two more charts from Windows > New chart: the keys of
// the windows' places (twips) and of the bars.
const std::pair<const char*, const char*> kWrittenAt1920x1080[] = {
    {"Settings", "StgLeft=0 StgTop=0 StgWidth=14400 StgHeight=16200 StgWindowState=0"},
    {"Settings", "SSD=4790 SCP=4790 SDP=3956 SPO=7912 SOS=11869 ViewOptions=1 CCCount=3"},
    {"Settings", "3dChartVisible=True 3dChartLeft=14400 3dChartTop=8100 3dChartWidth=14400 3dChartHeight=8100"},
    {"Settings\\CC1", "WindowState=0 Left=14400 Top=0 Width=14400 Height=8100"},
    {"Settings\\CC2", "WindowState=0 Left=7200 Top=4050 Width=14400 Height=8100"},
    {"Settings\\CC3", "WindowState=0 Left=7500 Top=4350 Width=14400 Height=8100"},
};

// Stores what File > Exit wrote at 1920x1080.
void storeWrittenAt1920x1080()
{
    for (const auto& [section, values] : kWrittenAt1920x1080) {
        for (const QString& pair : QString::fromLatin1(values).split(u' '))
            appSettings().SaveSetting(QLatin1String(section), pair.section(u'=', 0, 0), pair.section(u'=', 1));
    }
}

// The top-left corner written for a window there (twips).
QPoint writtenCorner(const char* section, const char* left, const char* top)
{
    return QPoint(appSettings().GetSetting(QLatin1String(section), QLatin1String(left), 0).toInt(),
                  appSettings().GetSetting(QLatin1String(section), QLatin1String(top), 0).toInt());
}

} // namespace

class FirstStartX11Test : public QObject {
    Q_OBJECT

    // On each chain tab, picked with a click: every control of the bottom
    // pane (Model and Steps, on the stock page Download and Lookup, among
    // them) whole inside each container up to the window and apart from the
    // others, and the chain grids with at least eight whole rows.
    void checkBottomPane(frmStrategies* w, const QString& when)
    {
        QTabBar* tabs = ui::tabOptionsNew(w)->findChild<QTabBar*>();
        QVERIFY2(tabs != nullptr && tabs->isVisible(), qPrintable(when));
        for (int tab = 1; tab <= 3; ++tab) {
            QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(tab - 1).center());
            QTRY_COMPARE(ui::tabOptionsNew(w)->SelectedTab(), tab);
            QCoreApplication::processEvents();
            const QString where = when + QStringLiteral("tab %1, window %2: ").arg(tab).arg(text(w->geometry()));

            QList<QWidget*> controls = test::bottomPaneControls(w);
            controls.append(tabs);
            // The status line lies under the tab strip, seen on every tab.
            QList<QWidget*> wanted{ui::cmbModel(w), ui::txtSteps(w), ui::lblTickerStatus(w)};
            if (tab == 1)
                wanted << ui::cmdDownload(w) << ui::cmdLookup(w);
            for (QWidget* c : std::as_const(wanted))
                QVERIFY2(controls.contains(c), qPrintable(where + c->objectName() + " not shown"));
            // Each whole inside every container up to the window.
            for (QWidget* c : std::as_const(controls)) {
                for (QWidget* p = c->parentWidget(); p != w; p = p->parentWidget())
                    QVERIFY2(inWindow(p, w).contains(inWindow(c, w)),
                             qPrintable(where + c->objectName() + " cut by " + p->objectName()));
            }
            for (int i = 0; i < controls.size(); ++i) {
                for (int j = i + 1; j < controls.size(); ++j) {
                    const QRect a = inWindow(controls[i], w), b = inWindow(controls[j], w);
                    QVERIFY2(!a.intersects(b), qPrintable(where + controls[i]->objectName() + " " + text(a)
                                                          + " overlaps " + controls[j]->objectName() + " " + text(b)));
                }
            }
            if (tab > 1) {
                platform::Grid* grid = tab == 2 ? ui::gdCalls(w) : ui::gdPuts(w);
                QVERIFY(grid->isVisible() && grid->Rows() >= 8);
                QVERIFY2(wholeRowsShown(grid) >= 8, qPrintable(where + QString::number(wholeRowsShown(grid))));
            }
        }
    }

private slots:
    void initTestCase()
    {
        const QString size = qEnvironmentVariable("TW_X11_SCREEN", QStringLiteral("1600x1000"));
        QCOMPARE(text(QGuiApplication::primaryScreen()->geometry()), QStringLiteral("0,0 ") + size);
    }

    void bottomPaneIsSeenWholeOnEveryChainTab()
    {
        test::environment().clearSettings();
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", test::shippedFile(QStringLiteral("DEFAULT.STG")), "-O",
                                 test::shippedFile(QStringLiteral("SAMPLE.opt"))});
        frmStrategies* w = run.window();
        QVERIFY(QTest::qWaitForWindowExposed(w, test::kWindowSystemWait));
        // Framed by the window manager, on the screen as a whole, and laid
        // out in the framed client area.
        const QRect area = w->screen()->availableGeometry();
        QTRY_VERIFY2_WITH_TIMEOUT(laidOutFramed(w) && area.contains(test::frameOf(w)),
                                  qPrintable(text(test::frameOf(w)) + " on " + text(area) + ", bottom pane "
                                             + text(ui::fraExchange(w)->geometry())),
                                  test::kWindowSystemWait);

        checkBottomPane(w, {});
        QVERIFY2(dialogs.errorReports.isEmpty(), qPrintable(dialogs.errorReports.join(u'\n')));
    }

    // The window's one status line, along the bottom under the chain tabs:
    // what an export from the evaluated-leg grid's popup and a quantity
    // refused there say is shown whole, inside the window and apart from
    // every other control, whatever tab is open.
    void statusLineShowsItsMessagesWhole()
    {
        test::environment().clearSettings();
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", test::shippedFile(QStringLiteral("DEFAULT.STG")), "-O",
                                 test::shippedFile(QStringLiteral("SAMPLE.opt"))});
        frmStrategies* w = run.window();
        QTRY_VERIFY_WITH_TIMEOUT(laidOutFramed(w), test::kWindowSystemWait);
        // The user works in the main window (the chart windows came up after it).
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w, test::kWindowSystemWait));
        QLabel* line = ui::lblTickerStatus(w);
        QTabBar* tabs = ui::tabOptionsNew(w)->findChild<QTabBar*>();
        QVERIFY(tabs != nullptr);
        const auto shownWhole = [&](const QString& expected) {
            QTRY_COMPARE(line->text(), expected);
            // Laid out for the text: all its lines inside the label.
            QTRY_VERIFY2(line->heightForWidth(line->width()) <= line->height(),
                         qPrintable(QStringLiteral("%1 high, %2 needed")
                                        .arg(line->height())
                                        .arg(line->heightForWidth(line->width()))));
            for (int tab = 1; tab <= 3; ++tab) {
                QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(tab - 1).center());
                QTRY_COMPARE(ui::tabOptionsNew(w)->SelectedTab(), tab);
                const QRect at = inWindow(line, w);
                const QString where = QStringLiteral("tab %1, line %2: ").arg(tab).arg(text(at));
                QVERIFY2(line->isVisible() && w->rect().contains(at) && inWindow(ui::fraExchange(w), w).contains(at),
                         qPrintable(where + "outside"));
                QList<QWidget*> others = test::bottomPaneControls(w);
                others.append(tabs);
                for (QWidget* c : std::as_const(others)) {
                    if (c != line)
                        QVERIFY2(!at.intersects(inWindow(c, w)), qPrintable(where + c->objectName()));
                }
            }
        };

        QVERIFY(test::gridPopupCommand(w, ui::gdSelected(w), 1, 2, QStringLiteral("Export to Microsoft Excel")));
        QCOMPARE(dialogs.openedUrls.size(), 1);
        shownWhole(QStringLiteral(" Exported to ") + QDir::toNativeSeparators(dialogs.openedUrls.first().toLocalFile()));

        platform::Grid* legs = ui::gdSelected(w);
        QTest::mouseDClick(legs->view()->viewport(), Qt::LeftButton, {}, test::gridCellCentre(legs, 1, 6));
        QTRY_VERIFY(ui::txtEdit(w)->isVisible());
        ui::txtEdit(w)->selectAll();
        QTest::keyClicks(ui::txtEdit(w), QStringLiteral("0"));
        QTest::keyClick(ui::txtEdit(w), Qt::Key_Return);
        shownWhole(QStringLiteral(" Quantity left at 1: type a whole number from 1 to 32767"));
        QVERIFY2(dialogs.errorReports.isEmpty(), qPrintable(dialogs.errorReports.join(u'\n')));
    }

    void newChartsOpenATitleBarApart()
    {
        test::environment().clearSettings();
        test::storeQuietStart();
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", test::shippedFile(QStringLiteral("DEFAULT.STG"))});
        frmStrategies* w = run.window();
        QVERIFY(QTest::qWaitForWindowExposed(w, test::kWindowSystemWait));
        for (int i = 0; i < 2; ++i)
            QVERIFY(test::chooseFromMenuBar(w, QStringLiteral("&Windows"), QStringLiteral("&New chart")));
        QWidget* first = w->chartByKey(QStringLiteral("C0"));
        QWidget* second = w->chartByKey(QStringLiteral("C1"));
        QVERIFY(first != nullptr && second != nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(first, test::kWindowSystemWait)
                && QTest::qWaitForWindowExposed(second, test::kWindowSystemWait));
        // Framed, the second lies a title bar lower and to the right, as
        // large, so the first one's title bar stays in sight.
        const auto apart = [first, second] {
            const QRect a = test::frameOf(first), b = test::frameOf(second);
            const int titleBar = first->windowHandle()->frameMargins().top();
            return test::isFramed(second) && titleBar > 0 && b.topLeft() - a.topLeft() == QPoint(titleBar, titleBar)
                && b.size() == a.size();
        };
        QTRY_VERIFY2_WITH_TIMEOUT(apart(),
                                  qPrintable(text(test::frameOf(first)) + " then " + text(test::frameOf(second))
                                             + ", title bar "
                                             + QString::number(first->windowHandle()->frameMargins().top())),
                                  test::kWindowSystemWait);
        QVERIFY(w->screen()->availableGeometry().contains(test::frameOf(second)));
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    // The main and the 3-D window saved at one corner of a larger screen
    // both come whole onto this one, apart: the 3-D window was moved there.
    void mainAnd3dWindowsFromOneCornerOfALargerScreenEndApart()
    {
        test::environment().clearSettings();
        test::storeSetting(QStringLiteral("CCCount"), 0);
        for (const QString& prefix : {QStringLiteral("Stg"), QStringLiteral("3dChart")}) {
            test::storeSetting(prefix + QStringLiteral("Left"), 43200);
            test::storeSetting(prefix + QStringLiteral("Top"), 24300);
            test::storeSetting(prefix + QStringLiteral("Width"), 14400);
            test::storeSetting(prefix + QStringLiteral("Height"), 8100);
        }
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", test::shippedFile(QStringLiteral("DEFAULT.STG"))});
        frmStrategies* w = run.window();
        QWidget* chart3d = frm3dChart::instance();
        const QRect area = w->screen()->availableGeometry();
        const auto apart = [&] {
            const QRect a = test::frameOf(w), b = test::frameOf(chart3d);
            const int half = w->windowHandle()->frameMargins().top() / 2;
            return test::isFramed(w) && test::isFramed(chart3d) && area.contains(a) && area.contains(b)
                && (std::abs(a.x() - b.x()) > half || std::abs(a.y() - b.y()) > half);
        };
        QTRY_VERIFY2_WITH_TIMEOUT(apart(), qPrintable(text(test::frameOf(w)) + " and " + text(test::frameOf(chart3d))
                                                      + " on " + text(area)),
                                  test::kWindowSystemWait);
        QVERIFY2(dialogs.errorReports.isEmpty(), qPrintable(dialogs.errorReports.join(u'\n')));
    }

    void placesWrittenOnALargerScreenFitThisOne()
    {
        test::environment().clearSettings();
        storeWrittenAt1920x1080();
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", test::shippedFile(QStringLiteral("DEFAULT.STG")), "-O",
                                 test::shippedFile(QStringLiteral("SAMPLE.opt"))});
        frmStrategies* w = run.window();
        QVERIFY(QTest::qWaitForWindowExposed(w, test::kWindowSystemWait));
        QCOMPARE(test::chartKeys(w), (QStringList{"C0", "C1", "C2"}));
        QList<QWidget*> windows{w, frm3dChart::instance()};
        for (const QString& key : test::chartKeys(w))
            windows.append(w->chartByKey(key));
        // Every window framed and whole on the screen.
        const QRect area = w->screen()->availableGeometry();
        const auto placed = [&] {
            QString off;
            for (QWidget* window : std::as_const(windows)) {
                if (!test::isFramed(window) || !area.contains(test::frameOf(window)))
                    off += window->windowTitle() + ' ' + text(test::frameOf(window)) + "; ";
            }
            return off;
        };
        QTRY_VERIFY2_WITH_TIMEOUT(placed().isEmpty() && laidOutFramed(w), qPrintable(placed() + "on " + text(area)),
                                  test::kWindowSystemWait);
        // No two at one place (corners within half a title bar), and none
        // left of (above) one it was written right of (below): the cascade
        // keeps the written order.
        const QList<QPoint> written{writtenCorner("Settings", "StgLeft", "StgTop"),
                                    writtenCorner("Settings", "3dChartLeft", "3dChartTop"),
                                    writtenCorner("Settings\\CC1", "Left", "Top"),
                                    writtenCorner("Settings\\CC2", "Left", "Top"),
                                    writtenCorner("Settings\\CC3", "Left", "Top")};
        const auto together = [&] {
            QString found;
            const int half = w->windowHandle()->frameMargins().top() / 2;
            for (qsizetype i = 0; i < windows.size(); ++i) {
                for (qsizetype j = i + 1; j < windows.size(); ++j) {
                    const QPoint a = test::frameOf(windows[i]).topLeft(), b = test::frameOf(windows[j]).topLeft();
                    const QPoint was = written[j] - written[i];
                    const QString pair = QStringLiteral("windows %1 and %2 at %3,%4 and %5,%6: ")
                                             .arg(i).arg(j).arg(a.x()).arg(a.y()).arg(b.x()).arg(b.y());
                    if (std::abs(a.x() - b.x()) <= half && std::abs(a.y() - b.y()) <= half)
                        found += pair + "at one place; ";
                    if ((was.x() > 0 && b.x() < a.x()) || (was.x() < 0 && b.x() > a.x())
                        || (was.y() > 0 && b.y() < a.y()) || (was.y() < 0 && b.y() > a.y()))
                        found += pair + "out of the written order; ";
                }
            }
            return found;
        };
        QTRY_VERIFY2_WITH_TIMEOUT(together().isEmpty(), qPrintable(together()), test::kWindowSystemWait);
        checkBottomPane(w, {});
        if (QTest::currentTestFailed())
            return;
        // Maximised, and back: the bottom pane whole in both sizes.
        const QRect normal = test::frameOf(w);
        w->showMaximized();
        QTRY_VERIFY2_WITH_TIMEOUT(test::frameOf(w) == area && laidOutFramed(w), qPrintable(text(test::frameOf(w))),
                                  test::kWindowSystemWait);
        checkBottomPane(w, QStringLiteral("maximised, "));
        if (QTest::currentTestFailed())
            return;
        w->showNormal();
        QTRY_VERIFY2_WITH_TIMEOUT(test::frameOf(w) == normal && laidOutFramed(w), qPrintable(text(test::frameOf(w))),
                                  test::kWindowSystemWait);
        checkBottomPane(w, QStringLiteral("restored, "));
        QVERIFY2(placed().isEmpty(), qPrintable(placed()));
        QVERIFY2(dialogs.errorReports.isEmpty(), qPrintable(dialogs.errorReports.join(u'\n')));
    }
};

TW_QTEST_MAIN(FirstStartX11Test)
#include "FirstStartX11Test.moc"
