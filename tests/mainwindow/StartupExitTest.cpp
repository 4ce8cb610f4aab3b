// Starting and closing the main window: the defaults of a first run, the
// settings that survive from one run to the next, restored values that are
// checked before use, the command line, the questions about unsaved work,
// and an exit that fails half-way still closing every window. Also the
// in-cell editors keeping to their grids when the window is resized.

#include "support/MainWindowControls.h"
#include "MainWindowFixtures.h"

#include "app/CAppSettings.h"
#include "app/Dialogs.h"
#include "app/Tools.h"
#include "charts/frm3dChart.h"
#include "charts/frmChart.h"
#include "mainwindow/frmStrategies.h"
#include "model/StrategiesFile.h"
#include "model/StrategyTemplates.h"
#include "model/stock.h"
#include "platform/Grid.h"
#include "platform/PopupMenu.h"
#include "platform/RegistryStore.h"
#include "platform/TabStrip.h"
#include "platform/WindowGeometry.h"
#include "support/MainWindowRun.h"
#include "support/QtTestMain.h"
#include "support/RenameWatch.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QRadioButton>
#include <QTreeWidget>
#include <QtTest>

using namespace tw;

namespace {

float barAt(const frmStrategies* w, const char* bar)
{
    const layout::ControlRect& r = w->layoutGeometry().at(QLatin1String(bar));
    return QByteArray(bar) == "picStgDesc" || QByteArray(bar) == "picChartParams" ? r.left : r.top;
}

bool nearTwips(double a, double b, double tolerance = 16)
{
    return std::abs(a - b) <= tolerance;
}

QString selectedKey(const frmStrategies* w)
{
    QTreeWidgetItem* node = ui::tvStrategies(w)->currentItem();
    return node == nullptr ? QString() : ui::library(w)->nodeKey(node);
}

QRectF screenAreaTwips(const QWidget* w)
{
    const QRect area = platform::workArea(w);
    const double tpp = 1440.0 / w->logicalDpiY();
    return QRectF(area.x() * tpp, area.y() * tpp, area.width() * tpp, area.height() * tpp);
}

bool insideArea(const QRectF& r, const QRectF& area, double tolerance)
{
    return r.left() >= area.left() - tolerance && r.top() >= area.top() - tolerance
        && r.right() <= area.right() + tolerance && r.bottom() <= area.bottom() + tolerance;
}

} // namespace

class StartupExitTest : public QObject {
    Q_OBJECT

    test::SampleFiles m_files;

private slots:
    void initTestCase() { QVERIFY(m_files.write()); }

    void init()
    {
        test::environment().clearSettings();
        // A run of its own: no store the test before could not write.
        gAppSettings.reset();
    }

    void firstRunStartsWithTheDefaults()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run;
        frmStrategies* w = run.window();
        QVERIFY(w->isVisible());
        QCOMPARE(ui::txtVolatility(w)->text(), QStringLiteral("50"));
        QCOMPARE(ui::txtInetrestRate(w)->text(), QStringLiteral("5"));
        QCOMPARE(ui::cbExchange(w)->currentIndex(), 0);
        QCOMPARE(ui::cbCalculationMode(w)->currentIndex(), 0);
        QVERIFY(ui::optRealPrice(w)->isChecked());
        QVERIFY(!ui::optTheoreticalPrice(w)->isChecked() && !ui::optBidAsk(w)->isChecked());
        QVERIFY(ui::chkPLSign(w)->isChecked());
        QCOMPARE(ui::txtSteps(w)->text(), QStringLiteral("10"));
        QCOMPARE(w->session().steps(), 10);
        QCOMPARE(ui::cmbModel(w)->currentIndex(), 0);
        QVERIFY(w->session().dataFile().isEmpty());
        QVERIFY(w->session().ObjStock() == nullptr);
        QVERIFY(!w->session().dataNotSaved());
        // The shipped strategies file is looked for beside the program, not
        // in whatever folder the program was started from; it comes in as an
        // untitled copy, so a save asks where to keep it.
        QCOMPARE(w->session().library()->Count(),
                 readStrategiesFile(test::shippedFile(QStringLiteral("DEFAULT.STG")))->Count());
        QVERIFY(w->session().libraryFile().isEmpty());
        QVERIFY(dialogs.messages.isEmpty());
        if (ui::tvStrategies(w)->topLevelItemCount() > 0 && ui::library(w)->nodeByKey(QStringLiteral("T1S1")) != nullptr)
            QCOMPARE(selectedKey(w), QStringLiteral("T1S1"));
        QCOMPARE(ui::tabOptionsNew(w)->SelectedTab(), 1);

        // Bars at a third of the width; the lowest one at three quarters of
        // the height, or higher (down to half the height) where the chain
        // panes need more room than that leaves, and the two above it at a
        // third and two thirds of its place.
        const double W = w->ScaleWidth(), H = w->ScaleHeight();
        QVERIFY2(nearTwips(barAt(w, "picStgDesc"), W / 3, 30), QByteArray::number(barAt(w, "picStgDesc")));
        QVERIFY(nearTwips(barAt(w, "picChartParams"), W / 3, 30));
        const double lowest = barAt(w, "picOptionsStock");
        QVERIFY2(lowest >= H / 2 - 30 && lowest <= 3 * H / 4 + 60,
                 QByteArray::number(lowest) + " H " + QByteArray::number(H));
        QVERIFY(nearTwips(barAt(w, "picDescParam"), lowest / 3, 30));
        QVERIFY(nearTwips(barAt(w, "picParamsOptions"), 2 * lowest / 3, 30));

        // One 2-D chart window and the 3-D window.
        QCOMPARE(test::chartKeys(w), QStringList{"C0"});
        QVERIFY(ui::m_cMenu(w)->ItemVisible(ui::m_cMenu(w)->IndexOfKey(QStringLiteral("mnuChartsTOP"))));
        QVERIFY(frm3dChart::loaded() != nullptr && frm3dChart::loaded()->isVisible());
        QVERIFY(w->minimumWidth() == 500 && w->minimumHeight() == 300);
        // No saved place: the main window starts at the work area's top-left
        // corner, over its whole height.
        const QRectF area = screenAreaTwips(w);
        QTRY_VERIFY(nearTwips(platform::outerTwips(w).left(), area.left())
                    && nearTwips(platform::outerTwips(w).top(), area.top())
                    && nearTwips(platform::outerTwips(w).height(), area.height()));
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void settingsSurviveFromOneRunToTheNext()
    {
        QRectF geometry;
        QRectF secondChart;
        float bars[5] = {};
        const char* const barNames[5] = {"picStgDesc", "picChartParams", "picDescParam", "picParamsOptions",
                                         "picOptionsStock"};
        {
            test::ScriptedDialogs dialogs;
            test::MainWindowRun run({"-S", m_files.stg});
            frmStrategies* w = run.window();
            QCOMPARE(ui::tvStrategies(w)->topLevelItemCount(), 2);

            ui::txtSteps(w)->setText(QStringLiteral("25"));
            ui::pricing(w)->UpdateSteps();
            ui::cmbModel(w)->setCurrentIndex(2);
            ui::pricing(w)->cmbModel_Click();
            ui::cbExchange(w)->setCurrentIndex(3);
            ui::pricing(w)->cbExchange_Click();
            ui::cbCalculationMode(w)->setCurrentIndex(1);
            ui::pricing(w)->cbCalculationMode_Click();
            ui::optBidAsk(w)->setChecked(true);
            ui::pricing(w)->optBidAsk_Click();
            ui::chkPLSign(w)->setChecked(false);
            ui::pricing(w)->chkPLSign_Click();
            ui::txtInetrestRate(w)->setText(QLocale().toString(7.5));
            ui::tabOptionsNew(w)->setSelectedTab(3);
            QTreeWidgetItem* node = ui::library(w)->nodeByKey(QStringLiteral("T2S1"));
            QVERIFY(node != nullptr);
            // As the user does it: open the group, click the strategy.
            node->parent()->setExpanded(true);
            ui::tvStrategies(w)->setCurrentItem(node);
            ui::library(w)->tvStrategies_NodeClick(node);

            // A new place for the window: the bars follow the new size.
            platform::setOuterTwips(w, QRectF(1500, 1200, 9600, 7800));
            QTRY_VERIFY(nearTwips(platform::outerTwips(w).width(), 9600));

            // The user drags the middle horizontal bar down by 20 pixels.
            QWidget* bar = ui::picParamsOptions(w);
            const float before = barAt(w, "picParamsOptions");
            const QPoint start = bar->mapTo(w, bar->rect().center());
            QTest::mousePress(bar, Qt::LeftButton, {}, bar->rect().center());
            QTest::mouseMove(w, start + QPoint(0, 20));
            QTest::mouseRelease(w, Qt::LeftButton, {}, start + QPoint(0, 20));
            QTRY_VERIFY2(barAt(w, "picParamsOptions") > before + 150,
                         QByteArray::number(before) + " -> " + QByteArray::number(barAt(w, "picParamsOptions")));

            // Three chart windows, the second one moved by the user.
            QCOMPARE(test::chartKeys(w), QStringList{"C0"});
            w->AddNewCustomChart(0);
            w->AddNewCustomChart(0);
            platform::setOuterTwips(w->chartByKey(QStringLiteral("C1")), QRectF(3000, 2400, 6000, 4500));
            // The 3-D window closed by the user: hidden.
            frm3dChart::loaded()->close();

            QCOMPARE(selectedKey(w), QStringLiteral("T2S1"));
            geometry = platform::outerTwips(w);
            secondChart = platform::outerTwips(w->chartByKey(QStringLiteral("C1")));
            for (int i = 0; i < 5; ++i)
                bars[i] = barAt(w, barNames[i]);
            QVERIFY(run.close());
            QVERIFY(dialogs.messages.isEmpty()); // nothing unsaved: no question
            QVERIFY(test::visibleChartWindows().isEmpty());
            QVERIFY(frm3dChart::loaded() == nullptr);
        }
        QCOMPARE(test::storedInt(QStringLiteral("CCCount"), -1), 3);
        QCOMPARE(test::storedInt(QStringLiteral("StgWindowState"), -1), 0);
        QCOMPARE(test::storedText(QStringLiteral("StgSelectedStrategy")), QStringLiteral("T2S1"));

        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_files.stg});
        frmStrategies* w = run.window();
        QCOMPARE(ui::txtSteps(w)->text(), QStringLiteral("25"));
        QCOMPARE(w->session().steps(), 25);
        QCOMPARE(ui::cmbModel(w)->currentIndex(), 2);
        QCOMPARE(ui::cbExchange(w)->currentIndex(), 3);
        QCOMPARE(ui::cbCalculationMode(w)->currentIndex(), 1);
        QVERIFY(ui::optBidAsk(w)->isChecked());
        QVERIFY(!ui::chkPLSign(w)->isChecked());
        QCOMPARE(QLocale().toDouble(ui::txtInetrestRate(w)->text()), 7.5);
        QCOMPARE(ui::tabOptionsNew(w)->SelectedTab(), 3);
        QCOMPARE(selectedKey(w), QStringLiteral("T2S1"));
        // The window comes up at the place it had, frame included.
        const auto restoredAt = [w](const QRectF& place) {
            const QRectF r = platform::outerTwips(w);
            return nearTwips(r.left(), place.left()) && nearTwips(r.top(), place.top())
                && nearTwips(r.width(), place.width()) && nearTwips(r.height(), place.height());
        };
        QTRY_VERIFY2(restoredAt(geometry), "window not restored at its place");
        for (int i = 0; i < 5; ++i)
            QVERIFY2(nearTwips(barAt(w, barNames[i]), bars[i]),
                     QByteArray(barNames[i]) + " " + QByteArray::number(barAt(w, barNames[i])) + " vs "
                         + QByteArray::number(bars[i]));
        QCOMPARE(test::chartKeys(w), (QStringList{"C0", "C1", "C2"}));
        const QRectF chart = platform::outerTwips(w->chartByKey(QStringLiteral("C1")));
        QVERIFY2(nearTwips(chart.left(), secondChart.left()) && nearTwips(chart.top(), secondChart.top())
                     && nearTwips(chart.width(), secondChart.width()),
                 "chart window 2 not restored at its place");
        QVERIFY(frm3dChart::loaded() == nullptr || !frm3dChart::loaded()->isVisible());
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void restoredSettingsAreChecked_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("stored");
        QTest::addRow("steps 0") << "Steps" << QVariant(QStringLiteral("0"));
        QTest::addRow("steps 201") << "Steps" << QVariant(QStringLiteral("201"));
        QTest::addRow("steps text") << "Steps" << QVariant(QStringLiteral("many"));
        QTest::addRow("steps negative") << "Steps" << QVariant(-4);
        QTest::addRow("volatility 0") << "Volatility" << QVariant(QStringLiteral("0"));
        QTest::addRow("volatility negative") << "Volatility" << QVariant(QStringLiteral("-12"));
        QTest::addRow("volatility huge") << "Volatility" << QVariant(QStringLiteral("5000"));
        QTest::addRow("volatility text") << "Volatility" << QVariant(QStringLiteral("high"));
        QTest::addRow("interest text") << "Interest" << QVariant(QStringLiteral("five"));
        QTest::addRow("exchange 17") << "Exchange" << QVariant(17);
        QTest::addRow("exchange -2") << "Exchange" << QVariant(-2);
        QTest::addRow("model 3") << "Model" << QVariant(3);
        QTest::addRow("model text") << "Model" << QVariant(QStringLiteral("tree"));
        QTest::addRow("calc mode 5") << "CalcMode" << QVariant(5);
        QTest::addRow("tab 0") << "ViewOptions" << QVariant(0);
        QTest::addRow("tab 4") << "ViewOptions" << QVariant(4);
        QTest::addRow("tab text") << "ViewOptions" << QVariant(QStringLiteral("Puts"));
        QTest::addRow("chart count -3") << "CCCount" << QVariant(-3);
        QTest::addRow("chart count text") << "CCCount" << QVariant(QStringLiteral("several"));
        QTest::addRow("bar text") << "SDP" << QVariant(QStringLiteral("middle"));
    }

    void restoredSettingsAreChecked()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, stored);
        test::storeSetting(QStringLiteral("3dChartVisible"), false);
        test::storeSetting(key, stored);
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_files.stg});
        frmStrategies* w = run.window();
        QVERIFY(w->isVisible());
        QCOMPARE(ui::txtSteps(w)->text(), QStringLiteral("10"));
        QCOMPARE(w->session().steps(), 10);
        QCOMPARE(ui::txtVolatility(w)->text(), QStringLiteral("50"));
        QCOMPARE(ui::txtInetrestRate(w)->text(), QStringLiteral("5"));
        QCOMPARE(ui::cbExchange(w)->currentIndex(), 0);
        QCOMPARE(ui::cmbModel(w)->currentIndex(), 0);
        QCOMPARE(ui::cbCalculationMode(w)->currentIndex(), 0);
        QCOMPARE(ui::tabOptionsNew(w)->SelectedTab(), 1);
        // A count below 0 opens none; an unreadable count gives the default.
        QCOMPARE(w->openCharts().size(), key == QLatin1String("CCCount") && stored.typeId() == QMetaType::Int ? 0 : 1);
        QVERIFY(nearTwips(barAt(w, "picDescParam"), barAt(w, "picOptionsStock") / 3, 30));
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void theNumberOfReopenedChartsIsLimited()
    {
        test::storeSetting(QStringLiteral("3dChartVisible"), false);
        test::storeSetting(QStringLiteral("CCCount"), 40);
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_files.stg});
        QCOMPARE(run->openCharts().size(), 32);
        QCOMPARE(test::chartKeys(run.window()).last(), QStringLiteral("C31"));
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void barsRestoredBeyondTheWindowAreKeptInside()
    {
        test::storeQuietStart();
        int firstStartPane = 0;
        {
            test::ScriptedDialogs dialogs;
            test::MainWindowRun run({"-S", m_files.stg});
            firstStartPane = ui::fraExchange(run.window())->height();
        }
        test::storeSetting(QStringLiteral("SOS"), 900000);
        test::storeSetting(QStringLiteral("SPO"), 900000);
        test::storeSetting(QStringLiteral("SDP"), 900000);
        test::storeSetting(QStringLiteral("SSD"), 900000);
        test::storeSetting(QStringLiteral("SCP"), -5000);
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_files.stg});
        frmStrategies* w = run.window();
        const double W = w->ScaleWidth();
        // The bottom pane as high as a first start makes it (the chain panes
        // whole), the bars above in order, 400 twips apart.
        QCOMPARE(ui::fraExchange(w)->height(), firstStartPane);
        QVERIFY(barAt(w, "picParamsOptions") + 400 < barAt(w, "picOptionsStock"));
        QVERIFY(barAt(w, "picDescParam") + 400 < barAt(w, "picParamsOptions"));
        QVERIFY(barAt(w, "picDescParam") > 400);
        QVERIFY(barAt(w, "picStgDesc") > 0 && barAt(w, "picStgDesc") < W);
        QVERIFY(barAt(w, "picChartParams") >= 0 && barAt(w, "picChartParams") < W);
    }

    void geometryOffEveryScreenComesBackOntoTheScreen()
    {
        test::storeQuietStart();
        test::storeSetting(QStringLiteral("StgLeft"), 9000000);
        test::storeSetting(QStringLiteral("StgTop"), -6000000);
        test::storeSetting(QStringLiteral("StgWidth"), 9000);
        test::storeSetting(QStringLiteral("StgHeight"), 6000);
        test::storeSetting(QStringLiteral("3dChartLeft"), -9000000);
        test::storeSetting(QStringLiteral("3dChartTop"), 7000000);
        test::storeSetting(QStringLiteral("3dChartWidth"), 4500);
        test::storeSetting(QStringLiteral("3dChartHeight"), 3000);
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_files.stg});
        frmStrategies* w = run.window();
        const double tpp = 1440.0 / w->logicalDpiY();
        const QRectF area = screenAreaTwips(w);
        QTRY_VERIFY2(insideArea(platform::outerTwips(w), area, tpp), "main window off the screen");
        const QRectF main = platform::outerTwips(w);
        QVERIFY(nearTwips(main.width(), 9000) && nearTwips(main.height(), 6000));
        const QRectF chart3d = platform::outerTwips(frm3dChart::instance());
        QVERIFY2(insideArea(chart3d, area, tpp), "3-D window off the screen");
    }

    void savedGeometryLeftAtMinusOneIsNotRestored()
    {
        test::storeQuietStart();
        test::storeSetting(QStringLiteral("StgLeft"), -1);
        test::storeSetting(QStringLiteral("StgTop"), 1500);
        test::storeSetting(QStringLiteral("StgWidth"), 8000);
        test::storeSetting(QStringLiteral("StgHeight"), 6000);
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_files.stg});
        frmStrategies* w = run.window();
        // The tiled place: the work area's top-left corner.
        const QRectF area = screenAreaTwips(w);
        const QRectF main = platform::outerTwips(w);
        QVERIFY(nearTwips(main.left(), area.left()) && nearTwips(main.top(), area.top()));
        QVERIFY(!nearTwips(main.width(), 8000, 100) || !nearTwips(main.height(), 6000, 100));
    }

    void commandLinePairsInEitherOrder_data()
    {
        QTest::addColumn<QStringList>("arguments"); // "%S" the strategies file, "%O" the chain file
        QTest::addColumn<bool>("strategies");
        QTest::addColumn<bool>("chain");
        QTest::addRow("-S then -O") << QStringList{"-S", "%S", "-O", "%O"} << true << true;
        QTest::addRow("-o then -s") << QStringList{"-o", "%O", "-s", "%S"} << true << true;
        QTest::addRow("-O only") << QStringList{"-O", "%O"} << false << true;
        QTest::addRow("three arguments") << QStringList{"-S", "%S", "-O"} << true << false;
        QTest::addRow("two -O pairs") << QStringList{"-O", "%M", "-O", "%O"} << false << true;
        QTest::addRow("unknown switch") << QStringList{"-X", "%O", "-S", "%S"} << true << false;
    }

    void commandLinePairsInEitherOrder()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, strategies);
        QFETCH(bool, chain);
        test::storeQuietStart();
        for (QString& a : arguments) {
            a.replace(QLatin1String("%S"), m_files.stg);
            a.replace(QLatin1String("%O"), m_files.opt);
            a.replace(QLatin1String("%M"), QDir(m_files.dir.path()).filePath(QStringLiteral("missing.opt")));
        }
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run(arguments);
        frmStrategies* w = run.window();
        if (strategies) {
            QCOMPARE(w->session().libraryFile(), m_files.stg);
            QCOMPARE(ui::tvStrategies(w)->topLevelItemCount(), 2);
            QCOMPARE(selectedKey(w), QStringLiteral("T1S1"));
        } else {
            QVERIFY(w->session().libraryFile() != m_files.stg);
        }
        if (chain) {
            QCOMPARE(w->session().dataFile(), m_files.opt);
            QVERIFY(w->session().ObjStock() != nullptr);
            QVERIFY(w->session().ObjStock()->Code().startsWith(QLatin1String("MSFT")));
        } else {
            QVERIFY(w->session().dataFile().isEmpty());
            QVERIFY(w->session().ObjStock() == nullptr);
        }
        QVERIFY(!w->session().dataNotSaved());
        QVERIFY(dialogs.errorReports.isEmpty());
        // The chain that was loaded is the one the next start opens.
        QVERIFY(run.close());
        QCOMPARE(test::storedText(QStringLiteral("LastFile")), chain ? m_files.opt : QString());
    }

    void exitAsksAboutUnsavedWork_data()
    {
        QTest::addColumn<bool>("dataNotSaved");
        QTest::addColumn<bool>("strategiesChanged");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        QTest::addRow("both") << true << true
                              << "Downloaded data and strategies are not saved.\r\nExit anyway?" << "Option downloader";
        QTest::addRow("data") << true << false << "Downloaded data is not saved.\r\nExit anyway?"
                              << "Option downloader";
        QTest::addRow("strategies") << false << true << "Strategies are not saved.\r\nExit anyway?" << "Strategies";
        QTest::addRow("nothing") << false << false << QString() << QString();
    }

    void exitAsksAboutUnsavedWork()
    {
        QFETCH(bool, dataNotSaved);
        QFETCH(bool, strategiesChanged);
        QFETCH(QString, text);
        QFETCH(QString, title);
        test::storeSetting(QStringLiteral("CCCount"), 2);
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_files.stg});
        QPointer<frmStrategies> w = run.window();
        QCOMPARE(test::visibleChartWindows().size(), 2);
        QVERIFY(frm3dChart::loaded()->isVisible());
        w->session().setDataNotSaved(dataNotSaved);
        w->session().setStrategiesChanged(strategiesChanged);
        ui::tabOptionsNew(w)->setSelectedTab(2);
        ui::cbCalculationMode(w)->setCurrentIndex(1);

        if (!text.isEmpty()) {
            // No: every window stays open, but the workspace settings of this
            // attempt are already saved.
            dialogs.messageAnswers.push_back(Msg::No);
            QVERIFY(!run.close());
            QVERIFY(!w.isNull() && w->isVisible());
            QCOMPARE(dialogs.messages.size(), 1);
            QCOMPARE(dialogs.messages.at(0).text, text);
            QCOMPARE(dialogs.messages.at(0).title, title);
            QCOMPARE(dialogs.messages.at(0).style, Msg::YesNo | Msg::Question);
            QCOMPARE(test::chartKeys(w), (QStringList{"C0", "C1"}));
            QCOMPARE(test::visibleChartWindows().size(), 2);
            QVERIFY(frm3dChart::loaded() != nullptr && frm3dChart::loaded()->isVisible());
            QCOMPARE(test::storedInt(QStringLiteral("ViewOptions"), -1), 2);
            QCOMPARE(test::storedInt(QStringLiteral("CalcMode"), -1), 1);
            QCOMPARE(test::storedInt(QStringLiteral("CCCount"), -1), 2); // not written on No
            dialogs.messageAnswers.push_back(Msg::Yes);
        }
        w->AddNewCustomChart(0);
        QVERIFY(run.close());
        QVERIFY(w.isNull());
        QCOMPARE(dialogs.messages.size(), text.isEmpty() ? 0 : 2);
        if (!text.isEmpty())
            QCOMPARE(dialogs.messages.at(1).text, text);
        // Every window has gone, and the chart windows were counted.
        QVERIFY(test::visibleChartWindows().isEmpty());
        QVERIFY(frm3dChart::loaded() == nullptr);
        QCOMPARE(test::storedInt(QStringLiteral("CCCount"), -1), 3);
        QCOMPARE(test::storedText(QStringLiteral("3dChartVisible")), QStringLiteral("True"));
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void exitThatFailsStillClosesEveryWindow()
    {
        test::storeSetting(QStringLiteral("CCCount"), 2);
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_files.stg});
        QPointer<frmStrategies> w = run.window();
        QCOMPARE(test::visibleChartWindows().size(), 2);
        QVERIFY(frm3dChart::loaded()->isVisible());

        // The settings can no longer be written: the exit says so once, in
        // plain words, and every window still closes.
        QVERIFY(test::environment().blockSettings());
        const bool closed = run.close();
        test::environment().clearSettings();
        QVERIFY(closed);
        QVERIFY(w.isNull());
        QVERIFY(dialogs.errorReports.isEmpty());
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY(dialogs.messages.at(0).text.contains(QStringLiteral("will not be kept")));
        QVERIFY(test::visibleChartWindows().isEmpty());
        QVERIFY(frm3dChart::loaded() == nullptr);
        QVERIFY(frmStrategies::instance() == nullptr);
    }

    void menuExitClosesTheWindow()
    {
        test::storeQuietStart();
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_files.stg});
        QPointer<frmStrategies> w = run.window();
        w->session().setStrategiesChanged(true);
        dialogs.messageAnswers.push_back(Msg::No);
        emit ui::m_cMenu(w)->Click(ui::m_cMenu(w)->IndexOfKey(QStringLiteral("mnuFileExit")));
        QTRY_COMPARE(dialogs.messages.size(), 1);
        QVERIFY(!w.isNull());
        dialogs.messageAnswers.push_back(Msg::Yes);
        emit ui::m_cMenu(w)->Click(ui::m_cMenu(w)->IndexOfKey(QStringLiteral("mnuFileExit")));
        QTRY_VERIFY(w.isNull());
        QCOMPARE(dialogs.messages.size(), 2);
    }

    void menuExitWritesTheSettingsInTwoReplacements_data()
    {
        QTest::addColumn<bool>("strategiesChanged");
        QTest::addRow("asked, Yes") << true;
        QTest::addRow("nothing unsaved") << false;
    }
    void menuExitWritesTheSettingsInTwoReplacements()
    {
        // Two chart windows and the 3-D window: some fifty values.
        QFETCH(bool, strategiesChanged);
        test::storeSetting(QStringLiteral("CCCount"), 2);
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_files.stg, "-O", m_files.opt});
        QPointer<frmStrategies> w = run.window();
        QCOMPARE(test::visibleChartWindows().size(), 2);
        w->session().setStrategiesChanged(strategiesChanged);
        ui::tabOptionsNew(w)->setSelectedTab(3);
        QVERIFY(QDir().mkpath(platform::RegistryStore::folder()));
        test::RenameWatch watch({platform::RegistryStore::folder()});
        QVERIFY(watch.active());
        if (strategiesChanged)
            dialogs.messageAnswers.push_back(Msg::Yes);

        QVERIFY(test::chooseFromMenuBar(w, QStringLiteral("&File"), QStringLiteral("Exit")));
        QTRY_VERIFY(w.isNull());
        QCOMPARE(dialogs.messages.size(), strategiesChanged ? 1 : 0);
        // The workspace's values before the question, the rest after it.
        const QString file = platform::RegistryStore().filePath();
        QCOMPARE(watch.renamed(), (QStringList{file, file}));
        QCOMPARE(test::storedInt(QStringLiteral("ViewOptions"), -1), 3);
        QCOMPARE(test::storedInt(QStringLiteral("CCCount"), -1), 2);
        QCOMPARE(test::storedText(QStringLiteral("3dChartVisible")), QStringLiteral("True"));
        QCOMPARE(test::storedText(QStringLiteral("LastFile")), QFileInfo(m_files.opt).absoluteFilePath());
        QVERIFY(test::storedInt(QStringLiteral("StgWidth"), -1) > 0);
        QVERIFY(test::storedInt(QStringLiteral("3dChartWidth"), -1) > 0);
        QVERIFY(settingInt(appSettings(), QStringLiteral("Settings\\CC2"), QStringLiteral("AxisX"), -1) >= 0);
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void inCellEditorsFollowTheirOwnGridOnResize()
    {
        test::storeQuietStart();
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_files.stg, "-O", m_files.opt});
        frmStrategies* w = run.window();
        QCOMPARE(selectedKey(w), QStringLiteral("T1S1"));
        QVERIFY(ui::gdParams(w)->Rows() >= 2);
        if (ui::gdSelected(w)->Rows() < 2) {
            while (ui::gdSelected(w)->Rows() < 2)
                ui::gdSelected(w)->AddRow();
        }
        QVERIFY(ui::gdSelected(w)->Columns() >= 2);
        ui::gdParams(w)->setCellSelected(2, 2);
        ui::gdSelected(w)->setCellSelected(2, 2);
        // The kind editor on the template-leg grid, the quantity editor on
        // the evaluated-leg grid.
        ui::cmbEdit(w)->setProperty("tag", QStringLiteral("2"));
        ui::txtEdit(w)->setProperty("tag", QStringLiteral("6"));
        ui::legs(w)->setEditorVisible(ui::cmbEdit(w), true);
        ui::legs(w)->setEditorVisible(ui::txtEdit(w), true);

        const auto expectedAt = [w](platform::Grid* grid) {
            const QRect cell = grid->CellBoundary(grid->SelectedRow(), grid->SelectedCol());
            return grid->mapTo(w, cell.topLeft()) + QPoint(2, 2);
        };
        const auto close = [](const QPoint& a, const QPoint& b) { return (a - b).manhattanLength() <= 3; };
        for (const QRectF& place : {QRectF(600, 600, 10500, 8100), QRectF(300, 300, 8400, 6300)}) {
            platform::setOuterTwips(w, place);
            QTRY_VERIFY(nearTwips(platform::outerTwips(w).width(), place.width()));
            QTRY_VERIFY2(close(ui::cmbEdit(w)->pos(), expectedAt(ui::gdParams(w))), "combo editor left its grid");
            QTRY_VERIFY2(close(ui::txtEdit(w)->pos(), expectedAt(ui::gdSelected(w))), "text editor left its grid");
            QVERIFY(ui::gdParams(w)->geometry().isValid());
        }
        // Dragging a bar moves the grids; the editors go with them.
        QWidget* bar = ui::picParamsOptions(w);
        const QPoint start = bar->mapTo(w, bar->rect().center());
        QTest::mousePress(bar, Qt::LeftButton, {}, bar->rect().center());
        QTest::mouseMove(w, start + QPoint(0, 25));
        QTest::mouseRelease(w, Qt::LeftButton, {}, start + QPoint(0, 25));
        QTRY_VERIFY2(close(ui::cmbEdit(w)->pos(), expectedAt(ui::gdParams(w))), "combo editor left its grid");
        QTRY_VERIFY2(close(ui::txtEdit(w)->pos(), expectedAt(ui::gdSelected(w))), "text editor left its grid");
    }
};

TW_QTEST_MAIN(StartupExitTest)

#include "StartupExitTest.moc"
