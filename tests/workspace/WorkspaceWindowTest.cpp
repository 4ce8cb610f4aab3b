// The workspace in the running main window: the chain panes after a chain
// file is loaded, the strategy tree and its selection road, both leg grids,
// the pricing-parameter boxes driven by the keyboard, and the column layouts
// of the grids.
#include "support/MainWindowControls.h"
#include "app/CAppSettings.h"
#include "app/Dialogs.h"
#include "app/Tools.h"
#include "charts/frm3dChart.h"
#include "charts/frmChart.h"
#include "mainwindow/frmStrategies.h"
#include "model/OptionsCollection.h"
#include "model/StrategiesFile.h"
#include "model/stock.h"
#include "platform/Grid.h"
#include "platform/RegistryStore.h"
#include "platform/TabStrip.h"
#include "support/MainWindowRun.h"
#include "support/QtTestMain.h"
#include "support/RenameWatch.h"
#include "support/ScriptedDialogs.h"
#include "workspace/GridLayouts.h"
#include "workspace/PayoffSketch.h"
#include "workspace/TreeKeys.h"
#include "WorkspaceData.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTreeWidget>
#include <QtTest>

using namespace tw;
using platform::Grid;

namespace {

const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);

QString cell(const Grid* g, int row, int col)
{
    return g->CellText(row, col);
}

QStringList childKeys(const frmStrategies* w, QTreeWidgetItem* parent)
{
    QStringList keys;
    for (int i = 0; i < parent->childCount(); ++i)
        keys << ui::library(w)->nodeKey(parent->child(i));
    return keys;
}

int nodeImage(const QTreeWidgetItem* node)
{
    return node->data(0, NodeImageRole).toInt();
}

QString stored(const QString& section, const QString& key)
{
    return settingText(appSettings(), section, key, QStringLiteral("<none>"));
}

} // namespace

class WorkspaceWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_stg;
    QString m_opt;

    QStringList arguments() const
    {
        return {QStringLiteral("-S"), m_stg, QStringLiteral("-O"), m_opt};
    }

    // Gives the main window the keyboard, as a user's click would.
    static void activate(frmStrategies* w)
    {
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
    }

    // Replaces a box's text by typing, as the user does.
    static void type(QLineEdit* box, const QString& text)
    {
        box->setFocus(Qt::MouseFocusReason);
        QCoreApplication::processEvents();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, text);
    }

    // Moves the focus away from a box to another control of the window.
    static void leave(frmStrategies* w, QLineEdit* box)
    {
        Q_UNUSED(box);
        ui::tvStrategies(w)->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }

    // The price cell of the first evaluated leg.
    static QString firstPrice(const frmStrategies* w) { return cell(ui::gdSelected(w), 1, 7); }
    // The text of the total row (the row before the hint row).
    static QString totalText(const frmStrategies* w) { return cell(ui::gdSelected(w), ui::gdSelected(w)->Rows() - 1, 9); }

    static void selectNode(frmStrategies* w, const QString& key)
    {
        QVERIFY(test::clickTreeNode(w, key));
    }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(kEnglish);
        QVERIFY(m_dir.isValid());
        m_stg = m_dir.filePath(QStringLiteral("workspace.stg"));
        m_opt = m_dir.filePath(QStringLiteral("XYZ 2024.01.10.opt"));
        writeStrategiesFile(*test::library(), m_stg);
        QVERIFY(test::writeChainFile(m_opt));
    }

    void init()
    {
        QLocale::setDefault(kEnglish);
        test::environment().clearSettings();
    }

    // ---- Chain panes --------------------------------------------------

    void chainPanesShowTheLoadedChain()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run(arguments());
        frmStrategies* w = run.window();
        QVERIFY(w->session().ObjStock() != nullptr);

        QCOMPARE(ui::lblStockValue(w)->text(), QStringLiteral("  XYZ (XYZ CORP)  "));
        QCOMPARE(ui::lblPriceValue(w)->text(), QStringLiteral(" $ 100  "));
        QCOMPARE(ui::lblBidValue(w)->text(), QStringLiteral("  99.9  "));
        QCOMPARE(ui::lblAskValue(w)->text(), QStringLiteral("  100.1  "));
        QCOMPARE(ui::lblSizeValue(w)->text(), QStringLiteral("  10x5  "));
        QCOMPARE(ui::lblVolumeValue(w)->text(), QStringLiteral("  12345  "));
        QCOMPARE(ui::lblTickerStatus(w)->text(), QStringLiteral(" Loaded from ") + m_opt);
        QVERIFY(ui::txtVolatility(w)->isEnabled());
        QVERIFY(ui::cbExchange(w)->isEnabled());

        // Every option of each side, in chain order, whatever the exchange.
        Grid* calls = ui::gdCalls(w);
        Grid* puts = ui::gdPuts(w);
        QCOMPARE(calls->Columns(), 10);
        QCOMPARE(calls->Rows(), test::kChainOptions);
        QCOMPARE(puts->Rows(), test::kChainOptions);
        QCOMPARE(calls->ColumnHeader(1), QStringLiteral("Ticker"));
        QCOMPARE(calls->ColumnHeader(10), QStringLiteral("Exchange"));
        QCOMPARE(cell(calls, 1, 1), QStringLiteral("XYZ B90-E"));
        QCOMPARE(cell(calls, 3, 1), QStringLiteral("XYZ B95-A"));
        QCOMPARE(cell(calls, 3, 10), QStringLiteral("AMEX (American Stock Exchange)"));
        QCOMPARE(cell(puts, 13, 1), QStringLiteral("XYZ O110-E"));
        QCOMPARE(cell(calls, 1, 5), QStringLiteral("+0.05"));
        QCOMPARE(calls->CellValue(1, 2), platform::GridValue::money(900000));
        QCOMPARE(calls->CellValue(1, 8), platform::GridValue::integer(10));
        QVERIFY(calls->CellFont(1, 1).bold());
        QVERIFY(!calls->CellFont(1, 2).bold());
        QCOMPARE(calls->CellAlign(1, 1), int(Grid::DtLeft));
        QCOMPARE(calls->CellAlign(1, 4), int(Grid::DtRight));
        // Calls pale cyan, puts pale yellow, alternating from the first row.
        QCOMPARE(calls->CellBackColor(1, 1), QColor(0xE0, 0xF0, 0xF0));
        QCOMPARE(calls->CellBackColor(2, 5), QColor(0xE9, 0xF9, 0xF9));
        QCOMPARE(calls->CellBackColor(13, 1), QColor(0xE0, 0xF0, 0xF0));
        QCOMPARE(puts->CellBackColor(1, 1), QColor(0xF0, 0xF0, 0xE0));
        QCOMPARE(puts->CellBackColor(2, 1), QColor(0xE9, 0xF9, 0xE9));
        QCOMPARE(calls->CellForeColor(1, 3), QColor(0, 0, 0));

        // The filtered sides hold only the selected exchange's options.
        QCOMPARE(ui::cbExchange(w)->currentIndex(), 0);
        QCOMPARE(w->session().calls()->Count(), 10);
        QCOMPARE(w->session().puts()->Count(), 10);
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void exchangeChangeFiltersAndEvaluatesAgain()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run(arguments());
        frmStrategies* w = run.window();
        QCOMPARE(ui::library(w)->nodeKey(ui::tvStrategies(w)->currentItem()), QStringLiteral("T1S1"));
        QCOMPARE(cell(ui::gdSelected(w), 1, 3), QStringLiteral("XYZ B100-E"));
        QCOMPARE(firstPrice(w), QStringLiteral("2.50"));

        QTest::keyClick(ui::cbExchange(w), Qt::Key_Down); // to the AMEX, as the user picks it
        QCOMPARE(ui::cbExchange(w)->currentIndex(), 1);
        QCOMPARE(w->session().calls()->Count(), 3);
        QCOMPARE(cell(ui::gdSelected(w), 1, 3), QStringLiteral("XYZ B100-A"));
        QCOMPARE(firstPrice(w), QStringLiteral("2.60"));
        QCOMPARE(w->session().startStrategyPrice(), -260.0);
        // The chain grids keep showing the whole chain.
        QCOMPARE(ui::gdCalls(w)->Rows(), test::kChainOptions);

        // An exchange nobody quotes on: the leg is reported, not priced.
        ui::cbExchange(w)->setCurrentIndex(5);
        ui::pricing(w)->cbExchange_Click();
        QCOMPARE(w->session().calls()->Count(), 0);
        QVERIFY(ui::gdSelected(w)->RowIsGroup(1));
        QCOMPARE(cell(ui::gdSelected(w), 1, 9), QStringLiteral("data for Other exchange not available now"));
        QCOMPARE(ui::gdSelected(w)->CellForeColor(1, 9), QColor(255, 0, 0));
        QCOMPARE(ui::gdSelected(w)->CellBackColor(1, 1), QColor(170, 255, 51)); // the swatch stays
        QCOMPARE(w->session().startStrategyPrice(), 0.0);
        QCOMPARE(cell(ui::gdSelected(w), 2, 9), QStringLiteral("Initial position price: 0.00 credit "));
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void emptyStateAndFindingAnOptionInTheChain()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run(arguments());
        frmStrategies* w = run.window();

        ui::tabOptionsNew(w)->setSelectedTab(1);
        ui::chain(w)->SelectInDownloader(1, QStringLiteral("XYZ N105-A"));
        QCOMPARE(ui::tabOptionsNew(w)->SelectedTab(), 3);
        QCOMPARE(ui::gdPuts(w)->SelectedRow(), 7);
        QVERIFY(ui::gdPuts(w)->isVisibleTo(w));
        QVERIFY(!ui::gdCalls(w)->isVisibleTo(w));
        // Unknown codes and stock legs change nothing.
        ui::chain(w)->SelectInDownloader(2, QStringLiteral("NOPE"));
        ui::chain(w)->SelectInDownloader(3, QStringLiteral("XYZ B90-E"));
        QCOMPARE(ui::tabOptionsNew(w)->SelectedTab(), 3);
        ui::chain(w)->SelectInDownloader(2, QStringLiteral("XYZ C90-E"));
        QCOMPARE(ui::tabOptionsNew(w)->SelectedTab(), 2);
        QCOMPARE(ui::gdCalls(w)->SelectedRow(), 9);

        // A chain without calls: an empty calls grid with its columns, the
        // puts still filled, the strategy still evaluated.
        auto noCalls = std::make_shared<stock>();
        noCalls->setCode(QStringLiteral("XYZ"));
        noCalls->setPrice(Currency::fromDouble(100));
        noCalls->setPuts(w->session().ObjStock()->Puts());
        w->session().setObjStock(noCalls);
        ui::chain(w)->UpdateControls();
        QCOMPARE(ui::gdCalls(w)->Rows(), 0);
        QCOMPARE(ui::gdCalls(w)->Columns(), 10);
        QCOMPARE(ui::gdPuts(w)->Rows(), test::kChainOptions);
        QVERIFY(ui::gdSelected(w)->RowIsGroup(1)); // the call leg has no data now
        QCOMPARE(w->session().calls()->Count(), 0);

        w->session().setObjStock(nullptr);
        ui::chain(w)->UpdateControls();
        QCOMPARE(ui::lblTickerStatus(w)->text(), QStringLiteral(" No ticker data loaded"));
        QVERIFY(!ui::lblStockValue(w)->isVisibleTo(w));
        QVERIFY(!ui::lblBidValue(w)->isVisibleTo(w));
        QVERIFY(!ui::txtVolatility(w)->isEnabled());
        QVERIFY(!ui::cbExchange(w)->isEnabled());
        QCOMPARE(ui::lblStockValue(w)->text(), QStringLiteral("  XYZ  ")); // captions stay
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    // ---- Strategy tree and leg grids ----------------------------------

    void treeKeysImagesAndDefaultSelection()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run(arguments());
        frmStrategies* w = run.window();
        QTreeWidget* tree = ui::tvStrategies(w);

        QCOMPARE(tree->topLevelItemCount(), 3);
        QTreeWidgetItem* t1 = tree->topLevelItem(0);
        QTreeWidgetItem* t2 = tree->topLevelItem(1);
        QTreeWidgetItem* t3 = tree->topLevelItem(2);
        QCOMPARE(ui::library(w)->nodeKey(t1), QStringLiteral("T1"));
        QCOMPARE(ui::library(w)->nodeKey(t2), QStringLiteral("T2"));
        QCOMPARE(ui::library(w)->nodeKey(t3), QStringLiteral("T3"));
        QCOMPARE(childKeys(w, t1), (QStringList{"T1S1", "T1S2", "T1S3"}));
        QCOMPARE(t2->childCount(), 0);
        QCOMPARE(childKeys(w, t3), (QStringList{"T3S1", "T3S2"}));
        QCOMPARE(t1->text(0), QStringLiteral("Bullish"));
        QCOMPARE(t1->child(1)->text(0), QStringLiteral("Bull spread"));

        // The first strategy is selected, bold and pictured as selected;
        // its group is open.
        QTreeWidgetItem* s1 = ui::library(w)->nodeByKey(QStringLiteral("T1S1"));
        QCOMPARE(tree->currentItem(), s1);
        QVERIFY(s1->font(0).bold());
        QCOMPARE(nodeImage(s1), 2);
        QVERIFY(t1->isExpanded());
        QCOMPARE(nodeImage(t1), 4);
        QCOMPARE(nodeImage(t2), 3);
        QCOMPARE(nodeImage(t3), 3);
        QCOMPARE(nodeImage(ui::library(w)->nodeByKey(QStringLiteral("T1S2"))), 1);
        QVERIFY(!t1->font(0).bold());
        QVERIFY(!ui::library(w)->nodeByKey(QStringLiteral("T1S2"))->font(0).bold());
        // The closing paragraph mark ends a line of its own.
        QCOMPARE(ui::rtfDescription(w)->toPlainText(), QStringLiteral("Buy a call.\n"));
        QVERIFY(ui::rtfDescription(w)->isEnabled());

        // Its legs are listed and evaluated.
        QCOMPARE(ui::gdParams(w)->Rows(), 1 + 2);
        QCOMPARE(ui::gdSelected(w)->Rows(), 1 + 2);
        QCOMPARE(cell(ui::gdSelected(w), 2, 9), QStringLiteral("Initial position price: 250.00 debit "));
        QCOMPARE(w->session().startStrategyPrice(), -250.0);
        // The open chart windows got the same legs.
        QVERIFY(w->session().chartLegs().has_value());
        QCOMPARE(w->session().chartLegs()->size(), size_t(1));
        QCOMPARE(w->session().chartLegs()->front().code, QStringLiteral("XYZ B100-E"));
        QVERIFY(frm3dChart::instance()->mLines.has_value());
        QVERIFY(!w->openCharts().isEmpty());
        QCOMPARE(frm3dChart::instance()->mMaxDate, w->session().calls()->Item(3)->ExpirationDate());
        for (const auto& chart : w->openCharts()) {
            QVERIFY(chart.second != nullptr);
            QVERIFY(chart.second->Options().has_value());
            QCOMPARE(chart.second->Options()->size(), size_t(1));
        }
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void clickingNodesShowsListsAndEvaluates()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run(arguments());
        frmStrategies* w = run.window();
        activate(w);

        selectNode(w, QStringLiteral("T1S3"));
        QTreeWidgetItem* s3 = ui::library(w)->nodeByKey(QStringLiteral("T1S3"));
        QTreeWidgetItem* s1 = ui::library(w)->nodeByKey(QStringLiteral("T1S1"));
        QVERIFY(s3->font(0).bold());
        QCOMPARE(nodeImage(s3), 2);
        QVERIFY(!s1->font(0).bold());
        QCOMPARE(nodeImage(s1), 1);
        QCOMPARE(ui::rtfDescription(w)->toPlainText(), QStringLiteral("Covered."));

        // Template legs: texts, colours, hint rows, sketch.
        Grid* p = ui::gdParams(w);
        QCOMPARE(p->Rows(), 3 + 2);
        const QStringList row1{cell(p, 1, 2), cell(p, 1, 3), cell(p, 1, 4), cell(p, 1, 5), cell(p, 1, 6)};
        QCOMPARE(row1, (QStringList{"Long", "Stock", "", "", "100"}));
        const QStringList row2{cell(p, 2, 2), cell(p, 2, 3), cell(p, 2, 4), cell(p, 2, 5), cell(p, 2, 6)};
        QCOMPARE(row2, (QStringList{"Short", "Call", "OTM (+1)", "Near term 2", "1"}));
        const QStringList row3{cell(p, 3, 2), cell(p, 3, 3), cell(p, 3, 4), cell(p, 3, 5), cell(p, 3, 6)};
        QCOMPARE(row3, (QStringList{"Long", "Put", "ITM (+3)", "Near term 1", "2"}));
        QCOMPARE(p->CellBackColor(1, 2), QColor(0xFE, 0xFE, 0xFE));
        QCOMPARE(p->CellBackColor(2, 4), QColor(0xF0, 0xF0, 0xF0));
        QCOMPARE(p->CellBackColor(3, 6), QColor(0xFE, 0xFE, 0xFE));
        QCOMPARE(p->CellBackColor(1, 1), QColor(51, 255, 170));  // long stock
        QCOMPARE(p->CellBackColor(2, 1), QColor(51, 170, 255));  // short call
        QCOMPARE(p->CellBackColor(3, 1), QColor(255, 170, 51));  // long put
        QCOMPARE(p->CellAlign(2, 6), int(Grid::DtRight));
        QVERIFY(p->RowIsGroup(4));
        QCOMPARE(cell(p, 4, 7), QStringLiteral("double click on item to edit or double click this line to add new"));
        QCOMPARE(cell(p, 5, 7), QStringLiteral("right click to popup context menu"));
        QCOMPARE(ui::PLCStrategy(w)->legs(), (QList<std::pair<int, int>>{{6, 0}, {3, 1}, {2, 3}}));

        // Evaluated legs at the last sales of the CBOE: 100 shares at 100
        // paid, the March 105 call sold at 1.50, two February 110 puts (the
        // highest strike stands in for +3) bought at 10.10.
        Grid* s = ui::gdSelected(w);
        QCOMPARE(s->Rows(), 3 + 2);
        QCOMPARE(s->ColumnHeader(QStringLiteral("price")), QStringLiteral("Last sale"));
        QCOMPARE(cell(s, 1, 2), QStringLiteral("Long stock"));
        QCOMPARE(cell(s, 1, 8), QStringLiteral("10,000.00 debit "));
        QCOMPARE(cell(s, 2, 3), QStringLiteral("XYZ C105-E"));
        QCOMPARE(cell(s, 2, 4), QStringLiteral("105.00"));
        QCOMPARE(cell(s, 2, 5), QStringLiteral("Mar 24"));
        QCOMPARE(cell(s, 2, 8), QStringLiteral("150.00 credit"));
        QCOMPARE(s->CellForeColor(2, 8), QColor(0, 0, 0));
        QCOMPARE(cell(s, 3, 3), QStringLiteral("XYZ N110-E"));
        QCOMPARE(cell(s, 3, 8), QStringLiteral("2,020.00 debit "));
        QCOMPARE(s->CellForeColor(3, 8), QColor(255, 0, 0));
        QVERIFY(s->CellFont(3, 3).bold());
        QVERIFY(!s->CellFont(3, 8).bold());
        QCOMPARE(s->CellBackColor(2, 3), QColor(240, 240, 240));
        QVERIFY(s->RowIsGroup(4));
        QCOMPARE(s->RowHeight(4), 16);
        QCOMPARE(cell(s, 4, 9), QStringLiteral("Initial position price: 11,870.00 debit "));
        QCOMPARE(s->CellForeColor(4, 9), QColor(255, 17, 17));
        QCOMPARE(s->CellBackColor(4, 9), QColor(120, 188, 225));
        QCOMPARE(cell(s, 5, 9), QStringLiteral("right click to popup context menu"));
        QCOMPARE(w->session().startStrategyPrice(), -11870.0);

        // A group: its description, no legs, no columns, charts without legs.
        selectNode(w, QStringLiteral("T2"));
        const QString rtf = w->session().library()->Item(2)->Description();
        QTreeWidgetItem* t2 = ui::library(w)->nodeByKey(QStringLiteral("T2"));
        QVERIFY(t2->font(0).bold());
        QVERIFY(!s3->font(0).bold());
        QCOMPARE(nodeImage(s3), 1);
        QCOMPARE(ui::rtfDescription(w)->toPlainText(), QStringLiteral("Nothing here yet."));
        QCOMPARE(ui::gdParams(w)->Columns(), 0);
        QCOMPARE(ui::gdSelected(w)->Columns(), 0);
        QVERIFY(ui::PLCStrategy(w)->legs().isEmpty());
        QVERIFY(!frm3dChart::instance()->mLines.has_value());
        for (const auto& chart : w->openCharts())
            QVERIFY(!chart.second->Options().has_value());
        // Parameter changes with a group selected evaluate nothing.
        type(ui::txtInetrestRate(w), QStringLiteral("6"));
        QTest::keyClick(ui::txtInetrestRate(w), Qt::Key_Return);
        QCOMPARE(w->session().interestRate(), 6.0);
        QCOMPARE(ui::gdSelected(w)->Columns(), 0);
        QVERIFY(!frm3dChart::instance()->mLines.has_value());
        // Showing a description never rewrites it.
        QCOMPARE(w->session().library()->Item(2)->Description(), rtf);
        // Only one node is bold.
        int bold = 0;
        for (const char* key : {"T1", "T1S1", "T1S2", "T1S3", "T2", "T3"})
            bold += ui::library(w)->nodeByKey(QLatin1String(key))->font(0).bold() ? 1 : 0;
        QCOMPARE(bold, 1);

        // Back to a strategy: both grids are built again.
        selectNode(w, QStringLiteral("T1S2"));
        QCOMPARE(ui::gdParams(w)->Rows(), 2 + 2);
        QCOMPARE(cell(ui::gdSelected(w), 2, 3), QStringLiteral("XYZ B110-E"));
        QCOMPARE(w->session().startStrategyPrice(), -250.0 + 20.0);
        int selectedPictures = 0;
        for (const char* key : {"T1S1", "T1S2", "T1S3", "T3S1", "T3S2"})
            selectedPictures += nodeImage(ui::library(w)->nodeByKey(QLatin1String(key))) == 2 ? 1 : 0;
        QCOMPARE(selectedPictures, 1);

        // A strategy without legs: only the hint rows, and a zero credit.
        selectNode(w, QStringLiteral("T3S2"));
        QCOMPARE(ui::gdParams(w)->Rows(), 2);
        QCOMPARE(cell(ui::gdParams(w), 1, 7),
                 QStringLiteral("double click on item to edit or double click this line to add new"));
        QCOMPARE(ui::gdSelected(w)->Rows(), 2);
        QCOMPARE(cell(ui::gdSelected(w), 1, 9), QStringLiteral("Initial position price: 0.00 credit "));
        QCOMPARE(w->session().startStrategyPrice(), 0.0);
        QVERIFY(w->session().chartLegs().has_value());
        QVERIFY(w->session().chartLegs()->empty());
        QVERIFY(ui::PLCStrategy(w)->legs().isEmpty());

        // Closing the group of the shown strategy with a click on its arrow
        // changes the group's picture only: the strategy stays selected and
        // shown, with its legs, and the charts keep them.
        selectNode(w, QStringLiteral("T1S2"));
        QTreeWidgetItem* t1 = ui::library(w)->nodeByKey(QStringLiteral("T1"));
        QTreeWidgetItem* s2 = ui::library(w)->nodeByKey(QStringLiteral("T1S2"));
        QWidget* viewport = ui::tvStrategies(w)->viewport();
        ui::tvStrategies(w)->scrollToItem(t1);
        const QRect caption = ui::tvStrategies(w)->visualItemRect(t1);
        const QPoint arrow(caption.left() - ui::tvStrategies(w)->indentation() / 2, caption.center().y());
        const auto strategyStaysShown = [&] {
            QCOMPARE(ui::tvStrategies(w)->currentItem(), s2);
            QCOMPARE(w->session().selectedKey(), QStringLiteral("T1S2"));
            QVERIFY(s2->font(0).bold());
            QCOMPARE(nodeImage(s2), 2);
            QVERIFY(!t1->font(0).bold());
            QCOMPARE(ui::rtfDescription(w)->toPlainText(), QStringLiteral("Spread."));
            QCOMPARE(ui::gdParams(w)->Rows(), 2 + 2);
            QCOMPARE(cell(ui::gdSelected(w), 2, 3), QStringLiteral("XYZ B110-E"));
            QVERIFY(frm3dChart::instance()->mLines.has_value());
            for (const auto& chart : w->openCharts())
                QVERIFY(chart.second->Options().has_value());
        };
        QTest::mouseClick(viewport, Qt::LeftButton, {}, arrow);
        QVERIFY(!t1->isExpanded());
        QCOMPARE(nodeImage(t1), 3);
        strategyStaysShown();
        QTest::mouseClick(viewport, Qt::LeftButton, {}, arrow);
        QVERIFY(t1->isExpanded());
        QCOMPARE(nodeImage(t1), 4);
        strategyStaysShown();

        // A click on the group's caption selects the group.
        QTest::mouseClick(viewport, Qt::LeftButton, {}, caption.center());
        QCOMPARE(ui::tvStrategies(w)->currentItem(), t1);
        QVERIFY(t1->isExpanded());
        QCOMPARE(nodeImage(t1), 4);
        QVERIFY(t1->font(0).bold());
        QVERIFY(!s2->font(0).bold());
        QCOMPARE(nodeImage(s2), 1);
        QCOMPARE(ui::gdParams(w)->Columns(), 0);
        QCOMPARE(ui::rtfDescription(w)->toPlainText(), QStringLiteral("Rising markets\n"));
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void arrowKeysInTheTreeSelectLikeAClick()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run(arguments());
        frmStrategies* w = run.window();
        activate(w);

        selectNode(w, QStringLiteral("T1S1"));
        ui::tvStrategies(w)->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(ui::tvStrategies(w), Qt::Key_Down);
        QTreeWidgetItem* s2 = ui::library(w)->nodeByKey(QStringLiteral("T1S2"));
        QCOMPARE(ui::tvStrategies(w)->currentItem(), s2);
        QVERIFY(s2->font(0).bold());
        QVERIFY(!ui::library(w)->nodeByKey(QStringLiteral("T1S1"))->font(0).bold());
        QCOMPARE(ui::rtfDescription(w)->toPlainText(), QStringLiteral("Spread."));
        QCOMPARE(ui::gdParams(w)->Rows(), 2 + 2);
        QCOMPARE(cell(ui::gdParams(w), 2, 2), QStringLiteral("Short"));
        QCOMPARE(ui::gdSelected(w)->Rows(), 2 + 2);

        // Up onto the group shows the group and empties the leg grids.
        QTest::keyClick(ui::tvStrategies(w), Qt::Key_Up);
        QTest::keyClick(ui::tvStrategies(w), Qt::Key_Up);
        QCOMPARE(ui::library(w)->nodeKey(ui::tvStrategies(w)->currentItem()), QStringLiteral("T1"));
        QCOMPARE(ui::rtfDescription(w)->toPlainText().trimmed(), QStringLiteral("Rising markets"));
        QCOMPARE(ui::gdParams(w)->Rows(), 0);
    }

    void rebuildRenumbersAndSelectsTheFirstStrategy()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run(arguments());
        frmStrategies* w = run.window();
        activate(w);
        selectNode(w, QStringLiteral("T1S3"));

        w->session().library()->Item(1)->Strategies()->Remove(1);
        ui::library(w)->UpdateTreeView();
        QCOMPARE(childKeys(w, ui::tvStrategies(w)->topLevelItem(0)), (QStringList{"T1S1", "T1S2"}));
        QCOMPARE(ui::library(w)->nodeByKey(QStringLiteral("T1S1"))->text(0), QStringLiteral("Bull spread"));
        QCOMPARE(ui::library(w)->nodeKey(ui::tvStrategies(w)->currentItem()), QStringLiteral("T1S1"));
        QCOMPARE(ui::gdParams(w)->Rows(), 2 + 2);

        // A rebuild asked to skip the default selection selects nothing:
        // panes empty, charts without legs.
        ui::library(w)->m_SkipDefaultSelection = true;
        ui::library(w)->UpdateTreeView();
        QVERIFY(!ui::library(w)->m_SkipDefaultSelection);
        QVERIFY(ui::tvStrategies(w)->currentItem() == nullptr);
        QVERIFY(!ui::rtfDescription(w)->isEnabled());
        QCOMPARE(ui::gdParams(w)->Columns(), 0);
        QCOMPARE(ui::gdSelected(w)->Columns(), 0);
        QVERIFY(!frm3dChart::instance()->mLines.has_value());

        // A first group without strategies: no default selection, no error.
        w->session().library()->Item(1)->Strategies()->Clear();
        ui::library(w)->UpdateTreeView();
        QVERIFY(ui::tvStrategies(w)->currentItem() == nullptr);
        QVERIFY(dialogs.errorReports.isEmpty());
        QVERIFY(dialogs.messages.isEmpty());
    }

    // ---- Pricing-parameter boxes --------------------------------------

    void volatilityBoxAcceptsOnlyItsRange()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run(arguments());
        frmStrategies* w = run.window();
        activate(w);
        ui::optTheoreticalPrice(w)->click();
        QCOMPARE(ui::gdSelected(w)->ColumnHeader(QStringLiteral("price")), QStringLiteral("Theoretical"));
        QCOMPARE(ui::txtVolatility(w)->text(), QStringLiteral("45")); // the ticker's default
        QCOMPARE(w->session().volatility(), 45.0);
        const QString at45 = firstPrice(w);

        QLineEdit* box = ui::txtVolatility(w);
        for (const QString& bad : {QStringLiteral("0"), QStringLiteral("-5"), QStringLiteral("200"),
                                   QStringLiteral("abc"), QStringLiteral("45,5")}) {
            type(box, bad);
            leave(w, box);
            QVERIFY2(box->hasFocus(), qPrintable(bad)); // the focus stays in the box
            QCOMPARE(w->session().volatility(), 45.0);
            QCOMPARE(firstPrice(w), at45);
            QTest::keyClick(box, Qt::Key_Return);
            QVERIFY(box->hasFocus());
            QCOMPARE(box->selectedText(), bad);
            QCOMPARE(w->session().volatility(), 45.0);
        }
        QCOMPARE(stored(QStringLiteral("Volatility"), QStringLiteral("XYZ")), QStringLiteral("<none>"));

        // Escape puts the applied value back.
        QTest::keyClick(box, Qt::Key_Escape);
        QCOMPARE(box->text(), QStringLiteral("45"));

        for (const auto& [text, value] : {std::pair{QStringLiteral("199.9"), 199.9},
                                          std::pair{QStringLiteral("0.1"), 0.1},
                                          std::pair{QStringLiteral("30"), 30.0}}) {
            const QString before = totalText(w);
            type(box, text);
            leave(w, box);
            QVERIFY2(!box->hasFocus(), qPrintable(text));
            QCOMPARE(w->session().volatility(), value);
            QVERIFY2(totalText(w) != before, qPrintable(text)); // evaluated again
            QCOMPARE(stored(QStringLiteral("Volatility"), QStringLiteral("XYZ")), text);
            QCOMPARE(frm3dChart::instance()->mVolatility, value);
        }
        // Enter applies too, and selects the text.
        type(box, QStringLiteral("45"));
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(w->session().volatility(), 45.0);
        QCOMPARE(box->selectedText(), QStringLiteral("45"));
        QCOMPARE(firstPrice(w), at45);
        QVERIFY(dialogs.messages.isEmpty());
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void rateAndDividendBoxes()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run(arguments());
        frmStrategies* w = run.window();
        activate(w);
        ui::optTheoreticalPrice(w)->click();

        QLineEdit* rate = ui::txtInetrestRate(w);
        const double startRate = w->session().interestRate();
        type(rate, QStringLiteral("abc"));
        leave(w, rate);
        QVERIFY(rate->hasFocus());
        QCOMPARE(w->session().interestRate(), startRate);
        QTest::keyClick(rate, Qt::Key_Escape);
        QCOMPARE(rate->text(), kEnglish.toString(startRate));
        QString before = totalText(w);
        type(rate, QStringLiteral("-3"));
        leave(w, rate);
        QVERIFY(!rate->hasFocus());
        QCOMPARE(w->session().interestRate(), -3.0);
        QVERIFY(totalText(w) != before);
        QCOMPARE(frm3dChart::instance()->mInterestRate, -3.0);
        before = totalText(w);
        type(rate, QStringLiteral("8"));
        QTest::keyClick(rate, Qt::Key_Return);
        QCOMPARE(w->session().interestRate(), 8.0);
        QCOMPARE(rate->selectedText(), QStringLiteral("8"));
        QVERIFY(totalText(w) != before);

        // Dividends reach the binomial American model.
        QTest::keyClick(ui::cmbModel(w), Qt::Key_Down);
        QTest::keyClick(ui::cmbModel(w), Qt::Key_Down);
        QCOMPARE(ui::cmbModel(w)->currentIndex(), 2);
        QVERIFY(ui::txtDividends(w)->isVisibleTo(w));
        QVERIFY(ui::txtSteps(w)->isEnabled());
        QLineEdit* div = ui::txtDividends(w);
        before = totalText(w);
        type(div, QStringLiteral("2.5"));
        leave(w, div);
        QCOMPARE(w->session().dividends(), 0.025);
        QCOMPARE(stored(QStringLiteral("Dividends"), QStringLiteral("XYZ")), QStringLiteral("2.5"));
        QVERIFY(totalText(w) != before); // a call is worth less with a dividend
        type(div, QStringLiteral("9"));
        QTest::keyClick(div, Qt::Key_Escape);
        QCOMPARE(div->text(), QStringLiteral("2.5"));
        QCOMPARE(w->session().dividends(), 0.025);
        type(div, QStringLiteral("x1"));
        leave(w, div);
        QVERIFY(div->hasFocus());
        QCOMPARE(w->session().dividends(), 0.025);

        // Black-Scholes hides the dividends and disables the steps.
        ui::cmbModel(w)->setFocus();
        QTest::keyClick(ui::cmbModel(w), Qt::Key_Up);
        QTest::keyClick(ui::cmbModel(w), Qt::Key_Up);
        QCOMPARE(ui::cmbModel(w)->currentIndex(), 0);
        QVERIFY(!ui::txtDividends(w)->isVisibleTo(w));
        QVERIFY(!ui::txtSteps(w)->isEnabled());
        QVERIFY(dialogs.messages.isEmpty());
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void stepsBoxRangeAndConfirmation()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run(arguments());
        frmStrategies* w = run.window();
        activate(w);
        ui::optTheoreticalPrice(w)->click();
        ui::cmbModel(w)->setCurrentIndex(1);
        ui::pricing(w)->cmbModel_Click();
        QCOMPARE(w->session().steps(), 10);
        QLineEdit* steps = ui::txtSteps(w);

        for (const char* bad : {"0", "201"}) {
            type(steps, QLatin1String(bad));
            leave(w, steps);
            QCOMPARE(dialogs.messages.size(), 1);
            QCOMPARE(dialogs.messages.last().text, QStringLiteral("Please, use values between 1 and 200"));
            QCOMPARE(dialogs.messages.last().style, Msg::OkOnly | Msg::Exclamation);
            QCOMPARE(steps->text(), QStringLiteral("10"));
            QCOMPARE(w->session().steps(), 10);
            dialogs.messages.clear();
        }
        // Not a number: no message, the focus stays.
        type(steps, QStringLiteral("many"));
        leave(w, steps);
        QVERIFY(steps->hasFocus());
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(w->session().steps(), 10);

        QString before = totalText(w);
        type(steps, QStringLiteral("50"));
        leave(w, steps);
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(w->session().steps(), 50);
        QCOMPARE(stored(QStringLiteral("Settings"), QStringLiteral("Steps")), QStringLiteral("50"));
        QVERIFY(totalText(w) != before);

        dialogs.messageAnswers.push_back(Msg::Cancel);
        type(steps, QStringLiteral("51"));
        leave(w, steps);
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages.last().text, QStringLiteral("Too high number of steps will significantly reduce\r\n"
                                                              "the performance of Tarnwell charts! Continue?"));
        QCOMPARE(dialogs.messages.last().style, Msg::OkCancel | Msg::Information);
        QCOMPARE(steps->text(), QStringLiteral("50"));
        QCOMPARE(w->session().steps(), 50);
        QCOMPARE(stored(QStringLiteral("Settings"), QStringLiteral("Steps")), QStringLiteral("50"));

        dialogs.messageAnswers.push_back(Msg::Ok);
        before = totalText(w);
        type(steps, QStringLiteral("200"));
        QTest::keyClick(steps, Qt::Key_Return);
        QCOMPARE(dialogs.messages.size(), 2);
        QCOMPARE(w->session().steps(), 200);
        QCOMPARE(stored(QStringLiteral("Settings"), QStringLiteral("Steps")), QStringLiteral("200"));
        QVERIFY(totalText(w) != before);

        // Halves go to the even neighbour; Escape shows what was applied.
        type(steps, QStringLiteral("2.5"));
        leave(w, steps);
        QCOMPARE(w->session().steps(), 2);
        type(steps, QStringLiteral("77"));
        QTest::keyClick(steps, Qt::Key_Escape);
        QCOMPARE(steps->text(), QStringLiteral("2"));
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void germanLocaleReadsCommasAndStoresPoints()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        {
            test::ScriptedDialogs dialogs;
            test::MainWindowRun run(arguments());
            frmStrategies* w = run.window();
            activate(w);
            ui::optTheoreticalPrice(w)->click();
            QCOMPARE(cell(ui::gdSelected(w), 1, 4), QStringLiteral("100,00"));

            QLineEdit* vol = ui::txtVolatility(w);
            type(vol, QStringLiteral("45.5")); // not a number here
            leave(w, vol);
            QVERIFY(vol->hasFocus());
            QCOMPARE(w->session().volatility(), 45.0);
            const QString before = totalText(w);
            type(vol, QStringLiteral("37,5"));
            leave(w, vol);
            QVERIFY(!vol->hasFocus());
            QCOMPARE(w->session().volatility(), 37.5);
            QVERIFY(totalText(w) != before);
            QCOMPARE(stored(QStringLiteral("Volatility"), QStringLiteral("XYZ")), QStringLiteral("37.5"));
            type(vol, QStringLiteral("99"));
            QTest::keyClick(vol, Qt::Key_Escape);
            QCOMPARE(vol->text(), QStringLiteral("37,5"));

            ui::cmbModel(w)->setCurrentIndex(2);
            ui::pricing(w)->cmbModel_Click();
            type(ui::txtDividends(w), QStringLiteral("1,25"));
            QTest::keyClick(ui::txtDividends(w), Qt::Key_Return);
            QCOMPARE(w->session().dividends(), 0.0125);
            QCOMPARE(stored(QStringLiteral("Dividends"), QStringLiteral("XYZ")), QStringLiteral("1.25"));

            type(ui::txtInetrestRate(w), QStringLiteral("4,75"));
            leave(w, ui::txtInetrestRate(w));
            QCOMPARE(w->session().interestRate(), 4.75);

            // Loading the chain again restores the ticker's values.
            type(vol, QStringLiteral("12"));
            QTest::keyClick(vol, Qt::Key_Escape);
            ui::chain(w)->LoadOptionFromFile();
            QCOMPARE(ui::txtVolatility(w)->text(), QStringLiteral("37,5"));
            QCOMPARE(w->session().volatility(), 37.5);
            QCOMPARE(ui::txtDividends(w)->text(), QStringLiteral("1,25"));
            QCOMPARE(w->session().dividends(), 0.0125);
            QVERIFY(dialogs.messages.isEmpty());
            QVERIFY(dialogs.errorReports.isEmpty());
        }
        QLocale::setDefault(kEnglish);
    }

    void priceSourceAndModeReEvaluate()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run(arguments());
        frmStrategies* w = run.window();
        activate(w);
        QVERIFY(ui::optRealPrice(w)->isChecked());
        QCOMPARE(firstPrice(w), QStringLiteral("2.50"));

        ui::optBidAsk(w)->click();
        QCOMPARE(ui::gdSelected(w)->ColumnHeader(QStringLiteral("price")), QStringLiteral("Bid/Ask"));
        QCOMPARE(firstPrice(w), QStringLiteral("2.50")); // (2.45 + 2.55) / 2
        QCOMPARE(w->session().calcStockPrice(), 100.0);

        // "Position worth": a long call counts as worth, in black.
        QTest::keyClick(ui::cbCalculationMode(w), Qt::Key_Down);
        QCOMPARE(ui::cbCalculationMode(w)->currentIndex(), 1);
        QCOMPARE(cell(ui::gdSelected(w), 1, 8), QStringLiteral("250.00"));
        QCOMPARE(cell(ui::gdSelected(w), 2, 9), QStringLiteral("Current position price: 250.00 "));
        QCOMPARE(w->session().startStrategyPrice(), 250.0);
        QTest::keyClick(ui::cbCalculationMode(w), Qt::Key_Up);
        QCOMPARE(cell(ui::gdSelected(w), 2, 9), QStringLiteral("Initial position price: 250.00 debit "));
        QCOMPARE(w->session().startStrategyPrice(), -250.0);

        // The pricing stock price under "Bid/Ask" is the plain mean; it is
        // never exactly 0.
        w->session().ObjStock()->setBid(Currency::fromDouble(20.10));
        w->session().ObjStock()->setAsk(Currency::fromDouble(20.30));
        w->session().SelectCalcStockPrice();
        QCOMPARE(w->session().calcStockPrice(), 20.2);
        w->session().ObjStock()->setBid(Currency());
        w->session().ObjStock()->setAsk(Currency::fromDouble(10));
        w->session().SelectCalcStockPrice();
        QCOMPARE(w->session().calcStockPrice(), 5.0);
        w->session().ObjStock()->setAsk(Currency());
        w->session().SelectCalcStockPrice();
        QCOMPARE(w->session().calcStockPrice(), 1e-06);
        ui::optRealPrice(w)->click();
        QCOMPARE(w->session().calcStockPrice(), 100.0);
        w->session().ObjStock()->setPrice(Currency());
        w->session().SelectCalcStockPrice();
        QCOMPARE(w->session().calcStockPrice(), 1e-06);
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    // ---- Column layouts -----------------------------------------------

    void columnLayoutRoundTrip()
    {
        CAppSettings& settings = appSettings();
        bool restoring = false;
        Grid original;
        original.setObjectName(QStringLiteral("gdCalls"));
        RestoreGridHeader(settings, original, restoring, QString());
        QCOMPARE(original.Columns(), 10);
        // The default width, or wider where the header needs it.
        QCOMPARE(original.ColumnWidth(2), qMax(40, original.ColumnTextWidth(2)));
        QCOMPARE(original.ColumnHeader(9), QStringLiteral("Open Int"));
        QCOMPARE(stored(QStringLiteral("gdCalls"), QStringLiteral("Columns")), QStringLiteral("<none>"));

        original.setColumnWidth(3, 111);
        original.setColumnOrder(1, 4);
        original.setColumnVisible(9, false);
        original.setColumnHeader(5, QStringLiteral("Net"));
        // A resize event passes the new width, which the grid may not report
        // yet. The fifty-one values go to the file in one write.
        QVERIFY(QDir().mkpath(platform::RegistryStore::folder()));
        test::RenameWatch watch({platform::RegistryStore::folder()});
        QVERIFY(watch.active());
        SaveGridHeader(settings, original, 2, 55);
        QCOMPARE(watch.renamed(), QStringList{platform::RegistryStore().filePath()});
        QCOMPARE(settingInt(settings, QStringLiteral("gdCalls"), QStringLiteral("Columns"), 0), 10);
        QCOMPARE(settingInt(settings, QStringLiteral("gdCalls"), QStringLiteral("Col2Width"), 0), 55);

        Grid restored;
        restored.setObjectName(QStringLiteral("gdCalls"));
        RestoreGridHeader(settings, restored, restoring, QString());
        QVERIFY(!restoring);
        QCOMPARE(restored.Columns(), 10);
        for (int c = 1; c <= 10; ++c) {
            QCOMPARE(restored.ColumnKey(c), original.ColumnKey(c));
            QCOMPARE(restored.ColumnOrder(c), original.ColumnOrder(c));
            QCOMPARE(restored.ColumnVisible(c), original.ColumnVisible(c));
            QCOMPARE(restored.ColumnHeader(c), original.ColumnHeader(c));
            QCOMPARE(restored.ColumnWidth(c), c == 2 ? 55 : original.ColumnWidth(c));
        }
        QCOMPARE(restored.ColumnOrder(1), 4);
        QCOMPARE(restored.ColumnWidth(3), 111);
        // Applied again over an existing grid on every refill.
        restored.setColumnWidth(3, 20);
        RestoreGridHeader(settings, restored, restoring, QString());
        QCOMPARE(restored.ColumnWidth(3), 111);

        // A saved layout with one column fewer: the defaults are built and
        // the missing column takes the read defaults.
        test::environment().clearSettings();
        settings.SaveSetting(QStringLiteral("gdCalls"), QStringLiteral("Columns"), 9);
        settings.SaveSetting(QStringLiteral("gdCalls"), QStringLiteral("Col3Width"), 111);
        settings.SaveSetting(QStringLiteral("gdCalls"), QStringLiteral("Col2Width"), 55);
        Grid fewer;
        fewer.setObjectName(QStringLiteral("gdCalls"));
        RestoreGridHeader(settings, fewer, restoring, QString());
        QCOMPARE(fewer.Columns(), 10);
        QCOMPARE(fewer.ColumnWidth(10), 70);
        QCOMPARE(fewer.ColumnHeader(10), QString());
        QCOMPARE(fewer.ColumnAlign(10), 2);
        QVERIFY(fewer.ColumnVisible(10));
        QCOMPARE(fewer.ColumnOrder(10), 10);
        QCOMPARE(fewer.ColumnWidth(3), 111);

        // Corrupt text: the whole layout, or one value, falls back to the default.
        settings.SaveSetting(QStringLiteral("gdCalls"), QStringLiteral("Columns"), QStringLiteral("ten"));
        Grid corrupt;
        corrupt.setObjectName(QStringLiteral("gdCalls"));
        RestoreGridHeader(settings, corrupt, restoring, QString());
        QCOMPARE(corrupt.Columns(), 10);
        const int defaults[] = {70, 40, 60, 60, 50, 40, 40, 40, 70, 200};
        for (int c = 1; c <= 10; ++c) {
            QCOMPARE(corrupt.ColumnWidth(c), qMax(defaults[c - 1], corrupt.ColumnTextWidth(c)));
            QCOMPARE(corrupt.ColumnOrder(c), c);
            QVERIFY(corrupt.ColumnVisible(c));
        }
        QCOMPARE(corrupt.ColumnHeader(5), QStringLiteral("Change"));
        settings.SaveSetting(QStringLiteral("gdCalls"), QStringLiteral("Columns"), 10);
        settings.SaveSetting(QStringLiteral("gdCalls"), QStringLiteral("Col3Width"), QStringLiteral("wide"));
        settings.SaveSetting(QStringLiteral("gdCalls"), QStringLiteral("Col1Order"), QStringLiteral("first"));
        settings.SaveSetting(QStringLiteral("gdCalls"), QStringLiteral("Col4Align"), 17);
        Grid partly;
        partly.setObjectName(QStringLiteral("gdCalls"));
        RestoreGridHeader(settings, partly, restoring, QString());
        QCOMPARE(partly.ColumnWidth(3), 70);
        QCOMPARE(partly.ColumnWidth(2), 55);
        QCOMPARE(partly.ColumnAlign(4), 2);
        QCOMPARE(partly.ColumnKey(1), QStringLiteral("ticker"));
        // Every column still has a place of its own.
        QList<int> orders;
        for (int c = 1; c <= 10; ++c)
            orders << partly.ColumnOrder(c);
        std::sort(orders.begin(), orders.end());
        QCOMPARE(orders, (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    }

    void defaultLegGridColumns()
    {
        bool restoring = false;
        Grid selected;
        selected.setObjectName(QStringLiteral("gdSelected"));
        RestoreGridHeader(appSettings(), selected, restoring, QStringLiteral("Bid/Ask"));
        QCOMPARE(selected.Columns(), 9);
        const QStringList keys{"color", "position", "ticker", "strike", "expiration",
                               "quantity", "price", "total", "group"};
        const int widths[] = {10, 70, 100, 70, 70, 70, 70, 90, 500};
        for (int c = 1; c <= 9; ++c) {
            QCOMPARE(selected.ColumnKey(c), keys.at(c - 1));
            QCOMPARE(selected.ColumnWidth(c), c == 9 ? widths[c - 1] : qMax(widths[c - 1], selected.ColumnTextWidth(c)));
        }
        QCOMPARE(selected.ColumnHeader(QStringLiteral("price")), QStringLiteral("Bid/Ask"));
        QCOMPARE(selected.RowTextColumn(), 9);
        QVERIFY(!selected.ColumnVisible(9));
        QCOMPARE(selected.ColumnAlign(1), 0);

        Grid params;
        params.setObjectName(QStringLiteral("gdParams"));
        RestoreGridHeader(appSettings(), params, restoring, QString());
        QCOMPARE(params.Columns(), 7);
        QCOMPARE(params.ColumnHeader(4), QStringLiteral("Strike"));
        QCOMPARE(params.RowTextColumn(), 7);
        QCOMPARE(params.ColumnWidth(7), 360);

        Grid other;
        other.setObjectName(QStringLiteral("gdOther"));
        RestoreGridHeader(appSettings(), other, restoring, QString());
        QCOMPARE(other.Columns(), 0);
    }

    void evaluatedGridKeepsTheUsersColumns()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run(arguments());
        frmStrategies* w = run.window();
        Grid* s = ui::gdSelected(w);
        QCOMPARE(s->ColumnWidth(3), 100);
        // The user widens the ticker column (the grid reports its column
        // one lower) and moves the total column to the front.
        bool cancel = true;
        s->setColumnWidth(3, 160);
        emit s->ColumnWidthChanged(2, 160, cancel);
        QVERIFY(!cancel);
        s->setColumnOrder(8, 1);
        emit s->ColumnMoved();
        QCOMPARE(settingInt(appSettings(), QStringLiteral("gdSelected"), QStringLiteral("Col3Width"), 0), 160);
        // While a saved layout is applied, column events save nothing.
        ui::legs(w)->m_RestoringGrid = true;
        emit s->ColumnWidthChanged(2, 300, cancel);
        ui::legs(w)->m_RestoringGrid = false;
        QCOMPARE(settingInt(appSettings(), QStringLiteral("gdSelected"), QStringLiteral("Col3Width"), 0), 160);

        // Every evaluation rebuilds the rows over the saved layout.
        ui::optTheoreticalPrice(w)->click();
        QCOMPARE(s->ColumnWidth(3), 160);
        QCOMPARE(s->ColumnOrder(8), 1);
        QCOMPARE(s->ColumnHeader(QStringLiteral("price")), QStringLiteral("Theoretical"));
        QVERIFY(s->Redraw());
        QVERIFY(w->updatesEnabled());
        QVERIFY(dialogs.errorReports.isEmpty());
    }
};

TW_QTEST_MAIN(WorkspaceWindowTest)

#include "WorkspaceWindowTest.moc"
