// Editing legs in the running main window the way a user does it: the leg
// and chain popups by right click and menu click, the in-cell editors by
// double click, F2 or a typed key and left by keys (Enter, Escape, leaving, a
// cancel from the grid), the Delete key, the hint row that adds a leg, and
// the export of the evaluated legs.
#include "support/MainWindowControls.h"
#include "app/Dialogs.h"
#include "mainwindow/frmStrategies.h"
#include "model/StrategiesFile.h"
#include "model/StrategyTemplates.h"
#include "platform/Grid.h"
#include "platform/PopupMenu.h"
#include "platform/TabStrip.h"
#include "mainwindow/MainWindowFixtures.h"
#include "support/MainWindowRun.h"
#include "support/QtTestMain.h"
#include "support/ScriptedDialogs.h"
#include "support/XlsxContents.h"
#include "workspace/StrategySheet.h"
#include "WorkspaceData.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTreeWidget>
#include <QtTest>

using namespace tw;
using platform::Grid;

namespace {

const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);

QPoint cellPoint(Grid* g, int row, int col)
{
    return test::gridCellCentre(g, row, col);
}

void doubleClick(Grid* g, int row, int col)
{
    QTest::mouseDClick(g->view()->viewport(), Qt::LeftButton, {}, cellPoint(g, row, col));
}

void click(Grid* g, int row, int col)
{
    QTest::mouseClick(g->view()->viewport(), Qt::LeftButton, {}, cellPoint(g, row, col));
}

// Right-clicks a cell and picks a menu item as the user does.
bool popupCommand(frmStrategies* w, Grid* g, int row, int col, const char* caption)
{
    return test::gridPopupCommand(w, g, row, col, QLatin1String(caption));
}

QStringList entries(const QComboBox* box)
{
    QStringList list;
    for (int i = 0; i < box->count(); ++i)
        list << box->itemText(i);
    return list;
}

void press(QWidget* editor, Qt::Key key, int times = 1)
{
    for (int i = 0; i < times; ++i)
        QTest::keyClick(editor, key);
}

void typeInto(QLineEdit* box, const QString& text)
{
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, text);
}

QStringList legRow(const Grid* g, int row)
{
    return {g->CellText(row, 2), g->CellText(row, 3), g->CellText(row, 4), g->CellText(row, 5), g->CellText(row, 6)};
}

const StrategyItem& legOf(frmStrategies* w, int n)
{
    return *w->session().selectedParams()->Item(n);
}

// The quantity of leg `leg` of strategy `strategy` of group 1 in a library.
int16_t quantityIn(const StrategyTypeCollection& types, int strategy, int leg)
{
    return types.Item(1)->Strategies()->Item(strategy)->Params()->Item(leg)->Quantity();
}

// Right-clicks the tree node with that key; the tree popup that opened, if any.
QMenu* treePopup(frmStrategies* w, const QString& key)
{
    QTest::mouseClick(ui::tvStrategies(w)->viewport(), Qt::RightButton, {}, test::treeNodeCentre(w, key));
    QMenu* shown = ui::m_cStrategiesMenu(w)->ActivePopup();
    return shown != nullptr && shown->isVisible() ? shown : nullptr;
}

} // namespace

class LegEditingTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_stg;
    QString m_opt;

    void start(test::MainWindowRun& run, const char* strategyKey)
    {
        frmStrategies* w = run.window();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QVERIFY(test::clickTreeNode(w, QLatin1String(strategyKey)));
        w->session().setStrategiesChanged(false);
    }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(kEnglish);
        QVERIFY(m_dir.isValid());
        m_stg = m_dir.filePath(QStringLiteral("legs.stg"));
        m_opt = m_dir.filePath(QStringLiteral("XYZ.opt"));
        QVERIFY(test::writeChainFile(m_opt));
    }

    void init()
    {
        test::environment().clearSettings();
        writeStrategiesFile(*test::library(), m_stg);
    }

    void popupCommandsChangeTheLegs()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_stg, "-O", m_opt});
        frmStrategies* w = run.window();
        start(run, "T1S2"); // Bull spread: long call ATM, short call +2, Near term 1

        QVERIFY(popupCommand(w, ui::gdParams(w), 1, 3, "Add"));
        QCOMPARE(w->session().selectedParams()->Count(), 3);
        QCOMPARE(legRow(ui::gdParams(w), 3), (QStringList{"Long", "Call", "ATM (0)", "Long term 1", "1"}));
        QCOMPARE(ui::gdSelected(w)->Rows(), 3 + 2);
        QVERIFY(w->session().strategiesChanged());

        w->session().setStrategiesChanged(false);
        QVERIFY(popupCommand(w, ui::gdParams(w), 2, 3, "Shift all strikes 1 step up"));
        QCOMPARE(legRow(ui::gdParams(w), 2).at(2), QStringLiteral("OTM (+3)"));
        QCOMPARE(ui::gdSelected(w)->CellText(1, 3), QStringLiteral("XYZ B105-E"));
        QVERIFY(popupCommand(w, ui::gdSelected(w), 1, 3, "Shift all strikes 1 step down"));
        QCOMPARE(legOf(w, 1).StrikePrice(), 0);
        QCOMPARE(legOf(w, 2).StrikePrice(), 2);
        QVERIFY(w->session().strategiesChanged()); // a shift is a change to be saved
        // A shift that moves nothing (every option leg at the end) is none.
        w->session().setStrategiesChanged(false);
        for (int n = 1; n <= 3; ++n)
            w->session().selectedParams()->Item(n)->setStrikePrice(10);
        QVERIFY(popupCommand(w, ui::gdParams(w), 1, 3, "Shift all strikes 1 step up"));
        QVERIFY(!w->session().strategiesChanged());
        // One that moves an earlier leg only, the later ones at the end, is
        // one.
        for (int n = 1; n <= 3; ++n)
            w->session().selectedParams()->Item(n)->setStrikePrice(n == 1 ? 9 : 10);
        QVERIFY(popupCommand(w, ui::gdParams(w), 1, 3, "Shift all strikes 1 step up"));
        QCOMPARE(legOf(w, 1).StrikePrice(), 10);
        QVERIFY(w->session().strategiesChanged());

        // Delete leg 2 of 3 from (2, 3): the same cell stays selected and now
        // shows the former leg 3.
        QVERIFY(popupCommand(w, ui::gdParams(w), 2, 3, "Delete"));
        QCOMPARE(w->session().selectedParams()->Count(), 2);
        QCOMPARE(ui::gdParams(w)->SelectedRow(), 2);
        QCOMPARE(ui::gdParams(w)->SelectedCol(), 3);
        QCOMPARE(ui::gdParams(w)->CellText(2, 5), QStringLiteral("Long term 1"));
        QVERIFY(w->session().strategiesChanged());
        // On a hint row there is no leg to delete; from gdSelected the leg of
        // its own row goes, and the Delete key does the same.
        QVERIFY(popupCommand(w, ui::gdParams(w), 3, 3, "Delete"));
        QCOMPARE(w->session().selectedParams()->Count(), 2);
        QVERIFY(popupCommand(w, ui::gdSelected(w), 2, 6, "Delete"));
        QCOMPARE(w->session().selectedParams()->Count(), 1);
        ui::gdParams(w)->setCellSelected(1, 2);
        QTest::keyClick(ui::gdParams(w)->view(), Qt::Key_Delete);
        QCOMPARE(w->session().selectedParams()->Count(), 0);
        QVERIFY(ui::gdParams(w)->view()->hasFocus());

        // Chain popups: the option picked on the shown page becomes a leg.
        ui::tabOptionsNew(w)->setSelectedTab(2);
        QVERIFY(popupCommand(w, ui::gdCalls(w), 6, 1, "Add as short position")); // XYZ B105-E
        QCOMPARE(w->session().selectedParams()->Count(), 1);
        QCOMPARE(legRow(ui::gdParams(w), 1), (QStringList{"Short", "Call", "OTM (+1)", "Near term 1", "1"}));
        // With the AMEX selected, a strike the AMEX does not quote is refused.
        ui::cbExchange(w)->setCurrentIndex(1);
        emit ui::cbExchange(w)->activated(1);
        QVERIFY(popupCommand(w, ui::gdCalls(w), 1, 1, "Add as long position")); // XYZ B90-E
        QCOMPARE(w->session().selectedParams()->Count(), 1);
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages.last().text, QStringLiteral("No matching item found, try to select another Exchange!"));
        QCOMPARE(dialogs.messages.last().title, QStringLiteral("No matching item found"));
        ui::cbExchange(w)->setCurrentIndex(0);
        emit ui::cbExchange(w)->activated(0);
        ui::tabOptionsNew(w)->setSelectedTab(3);
        QVERIFY(popupCommand(w, ui::gdPuts(w), 4, 1, "Add as long position")); // XYZ N100-E
        QCOMPARE(legRow(ui::gdParams(w), 2), (QStringList{"Long", "Put", "ATM (0)", "Near term 1", "1"}));
        QCOMPARE(ui::gdSelected(w)->CellText(2, 3), QStringLiteral("XYZ N100-E"));

        // Edit from the popup opens the editor of the clicked cell; a
        // quantity typed in the evaluated grid counts as a change, so the
        // exit question comes.
        w->session().setStrategiesChanged(false);
        QVERIFY(popupCommand(w, ui::gdSelected(w), 2, 6, "Edit"));
        QVERIFY(ui::txtEdit(w)->isVisible());
        QCOMPARE(ui::txtEdit(w)->text(), QStringLiteral("1"));
        typeInto(ui::txtEdit(w), QStringLiteral("4"));
        QTest::keyClick(ui::txtEdit(w), Qt::Key_Return);
        QVERIFY(!ui::txtEdit(w)->isVisible());
        QCOMPARE(legOf(w, 2).Quantity(), 4);
        QCOMPARE(ui::gdSelected(w)->CellText(2, 6), QStringLiteral("4"));
        QVERIFY(w->session().strategiesChanged());
        dialogs.messageAnswers.push_back(Msg::No);
        QVERIFY(!run.close());
        QVERIFY(dialogs.messages.last().text.contains(QStringLiteral("Strategies are not saved.")));
        w->session().setStrategiesChanged(false);
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void templateEditorsOpenOnTheLegAndWriteOnEnter()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_stg, "-O", m_opt});
        frmStrategies* w = run.window();
        start(run, "T1S3"); // Covered: long stock 100; short call +1, class 2; long put +3, class 1, 2
        const struct {
            int row, col;
            const char* tag;
            const char* opensOn;
            Qt::Key key;
            int presses;
            const char* cellAfter;
        } cases[] = {
            {2, 2, "1", "Short", Qt::Key_Down, 1, "Long"},
            {2, 3, "2", "Call", Qt::Key_Up, 1, "Put"},
            {3, 4, "3", "ITM (+3)", Qt::Key_Down, 1, "ITM (+2)"},
            {3, 5, "4", "Near term 1", Qt::Key_Down, 5, "LEAPS 1y"},
        };
        for (const auto& c : cases) {
            w->session().setStrategiesChanged(false);
            doubleClick(ui::gdParams(w), c.row, c.col);
            QVERIFY2(ui::cmbEdit(w)->isVisible(), c.tag);
            QCOMPARE(ui::cmbEdit(w)->property("tag").toString(), QLatin1String(c.tag));
            QCOMPARE(ui::cmbEdit(w)->currentText(), QLatin1String(c.opensOn));
            QVERIFY(ui::cmbEdit(w)->hasFocus());
            press(ui::cmbEdit(w), c.key, c.presses);
            press(ui::cmbEdit(w), Qt::Key_Escape); // Escape does not end the edit
            QVERIFY(ui::cmbEdit(w)->isVisible());
            press(ui::cmbEdit(w), Qt::Key_Return);
            QVERIFY(!ui::cmbEdit(w)->isVisible());
            QCOMPARE(ui::gdParams(w)->CellText(c.row, c.col), QLatin1String(c.cellAfter));
            QCOMPARE(ui::gdParams(w)->SelectedRow(), c.row);
            QVERIFY(w->session().strategiesChanged());
        }
        QCOMPARE(legOf(w, 3).ExpireDate(), 6);
        // The evaluated grid follows: leg 2 is now a long put.
        QCOMPARE(ui::gdSelected(w)->CellText(2, 2), QStringLiteral("Long put"));

        // A stock leg has no strike or expiration to edit.
        for (const int col : {4, 5}) {
            doubleClick(ui::gdParams(w), 1, col);
            QVERIFY(!ui::cmbEdit(w)->isVisible() && !ui::txtEdit(w)->isVisible());
        }
    }

    void hintRowAddsTheDefaultLeg()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_stg, "-O", m_opt});
        frmStrategies* w = run.window();
        start(run, "T3S2"); // Empty plan
        QCOMPARE(ui::gdParams(w)->Rows(), 2);

        // Outside the editable columns: the leg is added and shown, no editor.
        doubleClick(ui::gdParams(w), 1, 1);
        QCOMPARE(w->session().selectedParams()->Count(), 1);
        QCOMPARE(legRow(ui::gdParams(w), 1), (QStringList{"Long", "Call", "ATM (0)", "Long term 1", "1"}));
        QCOMPARE(ui::gdSelected(w)->Rows(), 1 + 2);
        QVERIFY(!ui::cmbEdit(w)->isVisible() && !ui::txtEdit(w)->isVisible());
        QVERIFY(w->session().strategiesChanged());

        // The position list of a leg opens on "Long" while a new leg is fresh.
        w->session().selectedParams()->Item(1)->setPosition(LegPosition::Short);
        doubleClick(ui::gdParams(w), 1, 2);
        QCOMPARE(ui::cmbEdit(w)->currentText(), QStringLiteral("Long"));
        press(ui::cmbEdit(w), Qt::Key_Up);
        press(ui::cmbEdit(w), Qt::Key_Return);

        // In the type column: the type list of the new leg, on "Call"; "Stock"
        // gives the fresh leg a hundred shares. The added leg is a change
        // already while the list is open.
        w->session().setStrategiesChanged(false);
        doubleClick(ui::gdParams(w), 2, 3);
        QCOMPARE(w->session().selectedParams()->Count(), 2);
        QVERIFY(w->session().strategiesChanged());
        QCOMPARE(ui::cmbEdit(w)->currentText(), QStringLiteral("Call"));
        press(ui::cmbEdit(w), Qt::Key_Down);
        press(ui::cmbEdit(w), Qt::Key_Return);
        QCOMPARE(legRow(ui::gdParams(w), 2), (QStringList{"Long", "Stock", "", "", "100"}));
        QVERIFY(!ui::legs(w)->m_NewLegFlag);
        doubleClick(ui::gdParams(w), 1, 2);
        QCOMPARE(ui::cmbEdit(w)->currentText(), QStringLiteral("Short"));
        press(ui::cmbEdit(w), Qt::Key_Return);

        // The second hint row names no leg: nothing is added.
        doubleClick(ui::gdParams(w), 4, 3);
        QCOMPARE(w->session().selectedParams()->Count(), 2);
        QVERIFY(!ui::cmbEdit(w)->isVisible());
    }

    void popupCommandsWorkFromEitherLegGrid()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_stg, "-O", m_opt});
        frmStrategies* w = run.window();
        start(run, "T1S2"); // Bull spread: long call ATM, short call +2, Near term 1

        // Add and the upward shift from the evaluated grid, Edit from the
        // template grid.
        QVERIFY(popupCommand(w, ui::gdSelected(w), 1, 3, "Add"));
        QCOMPARE(w->session().selectedParams()->Count(), 3);
        QCOMPARE(legRow(ui::gdParams(w), 3), (QStringList{"Long", "Call", "ATM (0)", "Long term 1", "1"}));
        QCOMPARE(ui::gdSelected(w)->Rows(), 3 + 2);
        QVERIFY(w->session().strategiesChanged());

        w->session().setStrategiesChanged(false);
        QVERIFY(popupCommand(w, ui::gdSelected(w), 2, 3, "Shift all strikes 1 step up"));
        QCOMPARE(legOf(w, 1).StrikePrice(), 1);
        QCOMPARE(legOf(w, 2).StrikePrice(), 3);
        QCOMPARE(ui::gdSelected(w)->CellText(1, 3), QStringLiteral("XYZ B105-E"));
        QVERIFY(w->session().strategiesChanged());

        QVERIFY(popupCommand(w, ui::gdParams(w), 2, 4, "Edit"));
        QVERIFY(ui::cmbEdit(w)->isVisible());
        QCOMPARE(ui::cmbEdit(w)->property("tag").toString(), QStringLiteral("3"));
        QCOMPARE(ui::cmbEdit(w)->currentText(), QStringLiteral("OTM (+3)"));
        press(ui::cmbEdit(w), Qt::Key_Down);
        press(ui::cmbEdit(w), Qt::Key_Return);
        QVERIFY(!ui::cmbEdit(w)->isVisible());
        QCOMPARE(legOf(w, 2).StrikePrice(), 2);
        QCOMPARE(ui::gdParams(w)->CellText(2, 4), QStringLiteral("OTM (+2)"));

        // The puts page's popup adds a short put.
        ui::tabOptionsNew(w)->setSelectedTab(3);
        QVERIFY(popupCommand(w, ui::gdPuts(w), 4, 1, "Add as short position")); // XYZ N100-E
        QCOMPARE(w->session().selectedParams()->Count(), 4);
        QCOMPARE(legRow(ui::gdParams(w), 4), (QStringList{"Short", "Put", "ATM (0)", "Near term 1", "1"}));
        QCOMPARE(ui::gdSelected(w)->CellText(4, 3), QStringLiteral("XYZ N100-E"));
        QVERIFY(dialogs.messages.isEmpty());
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void keysOpenTheEditorsAndDeleteTheLeg()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_stg, "-O", m_opt});
        frmStrategies* w = run.window();
        start(run, "T1S3"); // Covered: long stock 100; short call +1, class 2; long put +3, class 1, 2

        // F2 on the selected cell opens its editor, in either grid.
        click(ui::gdParams(w), 3, 6);
        QTest::keyClick(ui::gdParams(w)->view(), Qt::Key_F2);
        QVERIFY(ui::txtEdit(w)->isVisible());
        QCOMPARE(ui::txtEdit(w)->property("tag").toString(), QStringLiteral("5"));
        QCOMPARE(ui::txtEdit(w)->text(), QStringLiteral("2"));
        typeInto(ui::txtEdit(w), QStringLiteral("3"));
        press(ui::txtEdit(w), Qt::Key_Return);
        QVERIFY(!ui::txtEdit(w)->isVisible());
        QVERIFY(ui::gdParams(w)->view()->hasFocus());
        QCOMPARE(legOf(w, 3).Quantity(), 3);
        QCOMPARE(ui::gdParams(w)->CellText(3, 6), QStringLiteral("3"));

        click(ui::gdSelected(w), 2, 6);
        QTest::keyClick(ui::gdSelected(w)->view(), Qt::Key_F2);
        QVERIFY(ui::txtEdit(w)->isVisible());
        QCOMPARE(ui::txtEdit(w)->property("tag").toString(), QStringLiteral("6"));
        typeInto(ui::txtEdit(w), QStringLiteral("5"));
        press(ui::txtEdit(w), Qt::Key_Return);
        QVERIFY(!ui::txtEdit(w)->isVisible());
        QVERIFY(ui::gdSelected(w)->view()->hasFocus());
        QCOMPARE(legOf(w, 2).Quantity(), 5);
        QCOMPARE(ui::gdSelected(w)->CellText(2, 6), QStringLiteral("5"));

        // A typed character opens the editor of the selected cell too.
        click(ui::gdParams(w), 2, 2);
        QTest::keyClick(ui::gdParams(w)->view(), Qt::Key_L);
        QVERIFY(ui::cmbEdit(w)->isVisible());
        QCOMPARE(ui::cmbEdit(w)->property("tag").toString(), QStringLiteral("1"));
        QCOMPARE(ui::cmbEdit(w)->currentText(), QStringLiteral("Short"));
        press(ui::cmbEdit(w), Qt::Key_Return);
        QVERIFY(!ui::cmbEdit(w)->isVisible());
        QCOMPARE(legOf(w, 2).Position(), LegPosition::Short);

        click(ui::gdSelected(w), 3, 2);
        QTest::keyClick(ui::gdSelected(w)->view(), Qt::Key_S);
        QVERIFY(ui::cmbEdit(w)->isVisible());
        QCOMPARE(ui::cmbEdit(w)->property("tag").toString(), QStringLiteral("13"));
        QCOMPARE(ui::cmbEdit(w)->currentText(), QStringLiteral("Long put"));
        press(ui::cmbEdit(w), Qt::Key_Down);
        press(ui::cmbEdit(w), Qt::Key_Return);
        QVERIFY(ui::gdSelected(w)->view()->hasFocus());
        QCOMPARE(legOf(w, 3).Position(), LegPosition::Short);
        QCOMPARE(ui::gdSelected(w)->CellText(3, 2), QStringLiteral("Short put"));

        // The Delete key in the evaluated grid deletes the leg of its row.
        w->session().setStrategiesChanged(false);
        click(ui::gdSelected(w), 1, 3);
        QTest::keyClick(ui::gdSelected(w)->view(), Qt::Key_Delete);
        QCOMPARE(w->session().selectedParams()->Count(), 2);
        QCOMPARE(legOf(w, 1).ItemType(), LegKind::Call);
        QCOMPARE(ui::gdParams(w)->Rows(), 2 + 2);
        QCOMPARE(ui::gdSelected(w)->Rows(), 2 + 2);
        QVERIFY(w->session().strategiesChanged());
        QVERIFY(ui::gdSelected(w)->view()->hasFocus());
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void editorsLeaveOnFocusLossCancelAndKeepWhileTheirListIsOpen()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_stg, "-O", m_opt});
        frmStrategies* w = run.window();
        start(run, "T1S2");

        // The drop-down of the list takes the focus without ending the edit;
        // leaving for another control writes the choice.
        doubleClick(ui::gdParams(w), 1, 5);
        ui::cmbEdit(w)->showPopup();
        QTRY_VERIFY(ui::cmbEdit(w)->view()->isVisible());
        QVERIFY(ui::cmbEdit(w)->isVisible());
        ui::cmbEdit(w)->hidePopup();
        QTRY_VERIFY(ui::cmbEdit(w)->hasFocus());
        QVERIFY(ui::cmbEdit(w)->isVisible());
        press(ui::cmbEdit(w), Qt::Key_Down);
        QTest::mouseClick(ui::rtfDescription(w)->viewport(), Qt::LeftButton);
        QTRY_VERIFY(!ui::cmbEdit(w)->isVisible());
        QCOMPARE(legOf(w, 1).ExpireDate(), 2);

        // Escape does not end the quantity editor; a scroll of the grid
        // cancels it: the typed quantity is not written.
        doubleClick(ui::gdParams(w), 1, 6);
        typeInto(ui::txtEdit(w), QStringLiteral("9"));
        press(ui::txtEdit(w), Qt::Key_Escape);
        QVERIFY(ui::txtEdit(w)->isVisible());
        ui::gdParams(w)->view()->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QTRY_VERIFY(!ui::txtEdit(w)->isVisible());
        QCOMPARE(legOf(w, 1).Quantity(), 1);
        QVERIFY(!ui::legs(w)->m_EditCancelled);
        // Cancelled over the hint row: the leg added for it is shown.
        doubleClick(ui::gdParams(w), 3, 6);
        ui::gdParams(w)->view()->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QTRY_VERIFY(!ui::txtEdit(w)->isVisible());
        QCOMPARE(w->session().selectedParams()->Count(), 3);
        QCOMPARE(ui::gdParams(w)->Rows(), 3 + 2);
        QCOMPARE(ui::gdSelected(w)->Rows(), 3 + 2);

        // Quantities: refused texts keep the old one and say why in the
        // status line, until a quantity is taken; one taken leaves the
        // status line's other texts alone.
        const QString loaded = ui::lblTickerStatus(w)->text();
        QVERIFY2(loaded.startsWith(QLatin1String(" Loaded from ")), qPrintable(loaded));
        doubleClick(ui::gdParams(w), 1, 6);
        typeInto(ui::txtEdit(w), QStringLiteral("1"));
        press(ui::txtEdit(w), Qt::Key_Return);
        QCOMPARE(ui::lblTickerStatus(w)->text(), loaded);
        const std::pair<const char*, int> typed[] = {{"0", 1},   {"-3", 1},   {"abc", 1}, {"", 1},
                                                     {"40000", 1}, {"2.5", 2}, {"3.5", 4}};
        for (const auto& [text, quantity] : typed) {
            doubleClick(ui::gdParams(w), 1, 6);
            QVERIFY(ui::txtEdit(w)->isVisible());
            typeInto(ui::txtEdit(w), QLatin1String(text));
            press(ui::txtEdit(w), Qt::Key_Return);
            QCOMPARE(legOf(w, 1).Quantity(), quantity);
            QCOMPARE(ui::gdParams(w)->CellText(1, 6), QString::number(quantity));
            // A quantity taken withdraws the notice: the line shows what it did before.
            QCOMPARE(ui::lblTickerStatus(w)->text(),
                     quantity == 1 ? QStringLiteral(" Quantity left at 1: type a whole number from 1 to 32767") : loaded);
        }
        // A newer text than the notice stays when the notice goes.
        doubleClick(ui::gdParams(w), 1, 6);
        typeInto(ui::txtEdit(w), QStringLiteral("0"));
        press(ui::txtEdit(w), Qt::Key_Return);
        const QString saved = m_dir.filePath(QStringLiteral("saved.opt"));
        dialogs.fileAnswers.push_back(test::ScriptedDialogs::chosen({saved}));
        QTest::mouseClick(ui::cmdSave(w), Qt::LeftButton);
        doubleClick(ui::gdParams(w), 1, 6);
        typeInto(ui::txtEdit(w), QStringLiteral("5"));
        press(ui::txtEdit(w), Qt::Key_Return);
        QCOMPARE(legOf(w, 1).Quantity(), 5);
        QCOMPARE(ui::lblTickerStatus(w)->text(), QStringLiteral(" Saved to ") + saved);

        // The window closed while an editor holds the focus: the editor's
        // loss of focus on the way out reaches nothing of the window.
        doubleClick(ui::gdParams(w), 1, 6);
        QVERIFY(ui::txtEdit(w)->hasFocus());
        typeInto(ui::txtEdit(w), QStringLiteral("7"));
        dialogs.messageAnswers.push_back(Msg::Yes); // exit with the library unsaved
        QVERIFY(run.close());
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void evaluatedEditorsPickFromTheChain()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_stg, "-O", m_opt});
        frmStrategies* w = run.window();
        start(run, "T1S3"); // Covered
        Grid* g = ui::gdSelected(w);
        QCOMPARE(g->CellText(2, 3), QStringLiteral("XYZ C105-E"));

        doubleClick(g, 2, 2);
        QCOMPARE(ui::cmbEdit(w)->property("tag").toString(), QStringLiteral("13"));
        QCOMPARE(ui::cmbEdit(w)->currentText(), QStringLiteral("Short call"));
        press(ui::cmbEdit(w), Qt::Key_Down, 2);
        press(ui::cmbEdit(w), Qt::Key_Return);
        QCOMPARE(legOf(w, 2).ItemType(), LegKind::Put);
        QCOMPARE(legOf(w, 2).Position(), LegPosition::Short);
        QCOMPARE(g->CellText(2, 3), QStringLiteral("XYZ O105-E"));
        QVERIFY(w->session().strategiesChanged());

        // Strikes of the leg's own expiration, each carrying its offset.
        doubleClick(g, 2, 4);
        QCOMPARE(ui::cmbEdit(w)->property("tag").toString(), QStringLiteral("12"));
        QCOMPARE(entries(ui::cmbEdit(w)), (QStringList{"90.00", "95.00", "100.00", "105.00", "110.00"}));
        QCOMPARE(ui::cmbEdit(w)->currentText(), QStringLiteral("105.00"));
        QCOMPARE(ui::cmbEdit(w)->itemData(0).toInt(), -2);
        press(ui::cmbEdit(w), Qt::Key_Up, 3);
        press(ui::cmbEdit(w), Qt::Key_Return);
        QCOMPARE(legOf(w, 2).StrikePrice(), -2);
        QCOMPARE(g->CellText(2, 4), QStringLiteral("90.00"));

        doubleClick(g, 2, 5);
        QCOMPARE(entries(ui::cmbEdit(w)), (QStringList{"Feb 24", "Mar 24"}));
        QCOMPARE(ui::cmbEdit(w)->currentText(), QStringLiteral("Mar 24"));
        press(ui::cmbEdit(w), Qt::Key_Up);
        press(ui::cmbEdit(w), Qt::Key_Return);
        QCOMPARE(legOf(w, 2).ExpireDate(), 1);
        QCOMPARE(g->CellText(2, 3), QStringLiteral("XYZ N90-E"));

        // Stock cells and the rows below the legs open nothing; the ticker
        // brings the option into view in its chain grid.
        for (const auto& [row, col] : {std::pair{1, 4}, std::pair{1, 5}, std::pair{4, 2}, std::pair{4, 6}}) {
            doubleClick(g, row, col);
            QVERIFY(!ui::cmbEdit(w)->isVisible() && !ui::txtEdit(w)->isVisible());
        }
        doubleClick(g, 3, 3);
        QCOMPARE(ui::tabOptionsNew(w)->SelectedTab(), 3);
        QCOMPARE(ui::gdPuts(w)->CellText(ui::gdPuts(w)->SelectedRow(), 1), g->CellText(3, 3));
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void exportWritesAWorkbookAndOpensIt()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_stg, "-O", m_opt});
        frmStrategies* w = run.window();
        start(run, "T1S2");
        const QString folder =
            QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/tarnwell/exports");
        QDir(folder).removeRecursively();

        QVERIFY(popupCommand(w, ui::gdSelected(w), 1, 2, "Export to Microsoft Excel"));
        const QString path = QDir(folder).filePath(QStringLiteral("Bull spread - XYZ 2024-01-10.xlsx"));
        QVERIFY(QFileInfo::exists(path));
        QCOMPARE(dialogs.openedUrls.size(), 1);
        QCOMPARE(dialogs.openedUrls.last(), QUrl::fromLocalFile(path));
        QCOMPARE(ui::lblTickerStatus(w)->text(), QStringLiteral(" Exported to ") + QDir::toNativeSeparators(path));
        const test::XlsxContents x = test::readXlsx(path);
        QVERIFY2(x.error.isEmpty(), qPrintable(x.error));
        QCOMPARE(x.cells.value("A1").text, QStringLiteral("Position"));
        QCOMPARE(x.cells.value("A2").text, ui::gdSelected(w)->CellText(1, 2));
        QCOMPARE(x.cells.value("G3").text, ui::gdSelected(w)->CellText(2, 8));
        QCOMPARE(x.merges, QStringList{"A4:G4"});
        QCOMPARE(x.cells.value("A4").text, ui::gdSelected(w)->CellText(3, 9));
        // From the grid to the sheet: the bought leg's total is a debit, red
        // in both; the sold leg's a credit, in neither.
        QVERIFY(ui::gdSelected(w)->CellText(1, 8).trimmed().endsWith(QStringLiteral("debit")));
        QCOMPARE(ui::gdSelected(w)->CellForeColor(1, 8), QColor(0xFF, 0, 0));
        QCOMPARE(x.cells.value("G2").style.fontRgb, QStringLiteral("FFFF0000"));
        QVERIFY(ui::gdSelected(w)->CellText(2, 8).trimmed().endsWith(QStringLiteral("credit")));
        QVERIFY(x.cells.value("G3").style.fontRgb != QStringLiteral("FFFF0000"));

        // Again, with no program to open it: a second file, and the user is
        // told where it is.
        dialogs.openUrlAnswer = false;
        QVERIFY(popupCommand(w, ui::gdParams(w), 1, 2, "Export to Microsoft Excel"));
        const QString second = QDir(folder).filePath(QStringLiteral("Bull spread - XYZ 2024-01-10 (2).xlsx"));
        QVERIFY(QFileInfo::exists(second));
        QVERIFY(dialogs.messages.last().text.contains(QDir::toNativeSeparators(second)));

        // A folder that cannot be made: said so, nothing written.
        QDir(folder).removeRecursively();
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QVERIFY(popupCommand(w, ui::gdParams(w), 1, 2, "Export to Microsoft Excel"));
        QVERIFY(dialogs.messages.last().text.startsWith(QStringLiteral("The strategy could not be exported.")));
        QVERIFY(QFileInfo(folder).isFile());
        QCOMPARE(QDir(QFileInfo(folder).path()).entryList(QDir::Files | QDir::Hidden), QStringList{"exports"});
        QFile::remove(folder);
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    // Temporary files of exports killed midway go at the next start and at
    // the next export; the workbooks exported before (which a spreadsheet
    // program may have open, with its lock file beside them) stay.
    void leftoversOfKilledExportsGoAtStartAndAtExport()
    {
        QDir folder(exportFolder());
        QVERIFY(folder.removeRecursively() && QDir().mkpath(folder.path()));
        const auto make = [&](const QString& name) {
            QFile f(folder.filePath(name));
            return f.open(QIODevice::WriteOnly) && f.write("x") == 1;
        };
        const QStringList exported = {QStringLiteral("Bull spread - XYZ 2024-01-10.xlsx"),
                                      QStringLiteral(".~lock.Bull spread - XYZ 2024-01-10.xlsx#")};
        for (const QString& name : exported + QStringList{QStringLiteral(".workbook-Kill01")})
            QVERIFY(make(name));
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_stg, "-O", m_opt});
        frmStrategies* w = run.window();
        start(run, "T1S2");
        QVERIFY(!folder.exists(QStringLiteral(".workbook-Kill01")));

        QVERIFY(make(QStringLiteral(".workbook-Kill02")));
        QVERIFY(popupCommand(w, ui::gdSelected(w), 1, 2, "Export to Microsoft Excel"));
        QCOMPARE(dialogs.openedUrls.size(), 1);
        QStringList expected = exported + QStringList{QStringLiteral("Bull spread - XYZ 2024-01-10 (2).xlsx")};
        expected.sort();
        QStringList left = folder.entryList(QDir::Files | QDir::Hidden);
        left.sort();
        QCOMPARE(left, expected);
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void commandsWriteTheOpenEditorFirst()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_stg, "-O", m_opt});
        frmStrategies* w = run.window();
        start(run, "T1S2"); // Bull spread: long call ATM, short call +2, one each

        // 9 typed as a quantity, then the toolbar's Save: the file has it.
        doubleClick(ui::gdParams(w), 1, 6);
        typeInto(ui::txtEdit(w), QStringLiteral("9"));
        QVERIFY(test::clickToolbarButton(w, QStringLiteral("savestrategies")));
        QVERIFY(!ui::txtEdit(w)->isVisible());
        QCOMPARE(quantityIn(*readStrategiesFile(m_stg), 2, 1), 9);
        QVERIFY(!w->session().strategiesChanged());

        // A quantity the editor refuses stops the save: nothing is written,
        // the editor stays open on the text, and the user is told.
        QVERIFY(QFile::remove(m_stg));
        doubleClick(ui::gdSelected(w), 2, 6);
        typeInto(ui::txtEdit(w), QStringLiteral("abc"));
        QVERIFY(test::clickToolbarButton(w, QStringLiteral("savestrategies")));
        QVERIFY(!QFile::exists(m_stg));
        QVERIFY(ui::txtEdit(w)->hasFocus());
        QCOMPARE(ui::txtEdit(w)->text(), QStringLiteral("abc"));
        QCOMPARE(dialogs.beeps, 1);
        QVERIFY(ui::lblTickerStatus(w)->text().contains(QStringLiteral("must be a whole number")));

        // Corrected, File > Save strategies as... writes it.
        typeInto(ui::txtEdit(w), QStringLiteral("4"));
        const QString copy = m_dir.filePath(QStringLiteral("copy.stg"));
        dialogs.fileAnswers.push_back(test::ScriptedDialogs::chosen({copy}));
        QVERIFY(test::chooseFromMenuBar(w, QStringLiteral("&File"), QStringLiteral("Save strategies as...")));
        QCOMPARE(quantityIn(*readStrategiesFile(copy), 2, 2), 4);
        QVERIFY(!ui::lblTickerStatus(w)->text().contains(QStringLiteral("must be a whole number")));

        // Loading strategies: the typed quantity is a change, so the load
        // asks first, and No keeps it.
        doubleClick(ui::gdParams(w), 2, 6);
        typeInto(ui::txtEdit(w), QStringLiteral("5"));
        dialogs.messageAnswers.push_back(Msg::No);
        QVERIFY(test::clickToolbarButton(w, QStringLiteral("loadstrategy")));
        QCOMPARE(dialogs.messages.last().text, QStringLiteral("Strategies are not saved.\r\nLoad anyway?"));
        QCOMPARE(legOf(w, 2).Quantity(), 5);

        // A list editor's pick, then the tree's Export: the file has it.
        doubleClick(ui::gdParams(w), 2, 2);
        press(ui::cmbEdit(w), Qt::Key_Down); // Short -> Long
        QMenu* popup = treePopup(w, QStringLiteral("T1S2"));
        QVERIFY(popup != nullptr);
        const QString exported = m_dir.filePath(QStringLiteral("exported.stg"));
        dialogs.fileAnswers.push_back(test::ScriptedDialogs::chosen({exported}));
        QVERIFY(test::clickMenuItem(popup, QStringLiteral("Export")));
        QCOMPARE(readStrategiesFile(exported)->Item(1)->Strategies()->Item(1)->Params()->Item(2)->Position(),
                 LegPosition::Long);

        // Loading a chain file from the toolbar: the new chain evaluates the
        // quantity typed.
        doubleClick(ui::gdParams(w), 1, 6);
        typeInto(ui::txtEdit(w), QStringLiteral("3"));
        dialogs.fileAnswers.push_back(test::ScriptedDialogs::chosen({m_opt}));
        QVERIFY(test::clickToolbarButton(w, QStringLiteral("loadoptions")));
        QCOMPARE(ui::gdSelected(w)->CellText(1, 6), QStringLiteral("3"));
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void aPickIsWrittenByACommandWhileAnotherWindowIsActive()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_stg, "-O", m_opt});
        frmStrategies* w = run.window();
        start(run, "T1S2"); // Bull spread: its second leg short

        // The list picked from, then another window takes the keyboard: the
        // editor gets no loss of focus, neither then nor from the command.
        doubleClick(ui::gdParams(w), 2, 2);
        press(ui::cmbEdit(w), Qt::Key_Down); // Short -> Long
        QWidget other;
        other.resize(200, 100);
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other) && ui::cmbEdit(w)->isVisible());

        // The toolbar's Save writes the pick all the same.
        QVERIFY(test::clickToolbarButton(w, QStringLiteral("savestrategies")));
        QVERIFY(!ui::cmbEdit(w)->isVisible());
        QCOMPARE(readStrategiesFile(m_stg)->Item(1)->Strategies()->Item(2)->Params()->Item(2)->Position(),
                 LegPosition::Long);
        QCOMPARE(ui::gdParams(w)->CellText(2, 2), QStringLiteral("Long"));
        QVERIFY(!w->session().strategiesChanged());

        // So is a quantity typed before the other window took the keyboard.
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        doubleClick(ui::gdSelected(w), 1, 6);
        typeInto(ui::txtEdit(w), QStringLiteral("7"));
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QVERIFY(ui::txtEdit(w)->isVisible());
        QVERIFY(test::clickToolbarButton(w, QStringLiteral("savestrategies")));
        QVERIFY(!ui::txtEdit(w)->isVisible());
        QCOMPARE(quantityIn(*readStrategiesFile(m_stg), 2, 1), 7);
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void anotherStrategyWritesTheOpenEditorOrWaitsForIt()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_stg, "-O", m_opt});
        frmStrategies* w = run.window();
        start(run, "T1S2");
        const StrategyTypeCollection& types = *w->session().library();

        // A click on another strategy writes the quantity typed for this one.
        doubleClick(ui::gdParams(w), 1, 6);
        typeInto(ui::txtEdit(w), QStringLiteral("9"));
        QVERIFY(test::clickTreeNode(w, QStringLiteral("T1S1")));
        QCOMPARE(quantityIn(types, 2, 1), 9);
        QVERIFY(w->session().strategiesChanged());

        // A refused quantity keeps the strategy: neither a left nor a right
        // click switches, and no popup opens.
        doubleClick(ui::gdParams(w), 1, 6);
        typeInto(ui::txtEdit(w), QStringLiteral("0"));
        QVERIFY(!test::clickTreeNode(w, QStringLiteral("T3S1")));
        QVERIFY(treePopup(w, QStringLiteral("T3S1")) == nullptr);
        QCOMPARE(w->session().selectedKey(), QStringLiteral("T1S1"));
        QVERIFY(ui::txtEdit(w)->hasFocus());
        QCOMPARE(dialogs.beeps, 2);

        // Corrected, the right click goes through to the other strategy.
        typeInto(ui::txtEdit(w), QStringLiteral("2"));
        QMenu* popup = treePopup(w, QStringLiteral("T3S1"));
        QVERIFY(popup != nullptr);
        popup->close();
        QCOMPARE(quantityIn(types, 1, 1), 2);
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void closingWritesTheOpenEditorAndAsksOnlyAboutRealChanges()
    {
        test::ScriptedDialogs dialogs;
        {
            // Editors opened and left on the leg's own values, a list left by
            // Return, one by the next double click, one by the close itself,
            // change nothing: closing asks nothing.
            test::MainWindowRun run({"-S", m_stg, "-O", m_opt});
            frmStrategies* w = run.window();
            start(run, "T1S2");
            doubleClick(ui::gdParams(w), 1, 6);
            doubleClick(ui::gdParams(w), 2, 2);
            QCOMPARE(ui::cmbEdit(w)->currentText(), QStringLiteral("Short"));
            press(ui::cmbEdit(w), Qt::Key_Return);
            doubleClick(ui::gdParams(w), 1, 1);
            doubleClick(ui::gdParams(w), 2, 3);
            press(ui::cmbEdit(w), Qt::Key_Up);
            press(ui::cmbEdit(w), Qt::Key_Down); // Put, and back to Call
            doubleClick(ui::gdSelected(w), 1, 5);
            QVERIFY(ui::cmbEdit(w)->isVisible());
            QCOMPARE(ui::cmbEdit(w)->property("tag").toString(), QStringLiteral("11"));
            QCOMPARE(legOf(w, 2).ItemType(), LegKind::Call);
            QVERIFY(run.close());
            QVERIFY(dialogs.messages.isEmpty());
        }
        test::MainWindowRun run({"-S", m_stg, "-O", m_opt});
        frmStrategies* w = run.window();
        start(run, "T1S2");
        const QString loaded = ui::lblTickerStatus(w)->text();

        // 9 typed: it is written, so closing says the strategies are not
        // saved; No keeps the window with the 9.
        doubleClick(ui::gdSelected(w), 1, 6);
        typeInto(ui::txtEdit(w), QStringLiteral("9"));
        dialogs.messageAnswers.push_back(Msg::No);
        QVERIFY(!run.close());
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages.last().text, QStringLiteral("Strategies are not saved.\r\nExit anyway?"));
        QCOMPARE(legOf(w, 1).Quantity(), 9);

        // File > Exit with a refused quantity asks about it; going back
        // keeps the window with the editor open on the text.
        doubleClick(ui::gdParams(w), 2, 6);
        typeInto(ui::txtEdit(w), QStringLiteral("-3"));
        dialogs.messageAnswers.push_back(Msg::No);
        QVERIFY(test::chooseFromMenuBar(w, QStringLiteral("&File"), QStringLiteral("Exit")));
        QTRY_COMPARE(dialogs.messages.size(), 2);
        QCOMPARE(dialogs.messages.last().text,
                 QStringLiteral("\"-3\" is not a quantity: the leg keeps its quantity 1.\r\nLeave the cell and exit?"));
        QCOMPARE(dialogs.messages.last().style, Msg::YesNo | Msg::Exclamation | Msg::DefaultButton2);
        QVERIFY(run.window() != nullptr);
        QVERIFY(ui::txtEdit(w)->isVisible());
        QCOMPARE(ui::txtEdit(w)->text(), QStringLiteral("-3"));
        QVERIFY(ui::txtEdit(w)->hasFocus());
        const QString refusal = QStringLiteral("must be a whole number");
        QVERIFY(ui::lblTickerStatus(w)->text().contains(refusal));

        // Escape does not leave it; a cancel from the grid does: the old
        // quantity stays, and the notice of the refusal goes with the editor.
        press(ui::txtEdit(w), Qt::Key_Escape);
        QVERIFY(ui::txtEdit(w)->isVisible());
        ui::gdParams(w)->view()->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QTRY_VERIFY(!ui::txtEdit(w)->isVisible());
        QCOMPARE(legOf(w, 2).Quantity(), 1);
        QCOMPARE(ui::lblTickerStatus(w)->text(), loaded);

        // Left, the usual question follows; No to it keeps the window, the
        // editor gone and the leg as it was.
        doubleClick(ui::gdSelected(w), 2, 6);
        typeInto(ui::txtEdit(w), QStringLiteral("abc"));
        dialogs.messageAnswers = {Msg::Yes, Msg::No};
        QVERIFY(test::chooseFromMenuBar(w, QStringLiteral("&File"), QStringLiteral("Exit")));
        QTRY_COMPARE(dialogs.messages.size(), 4);
        QVERIFY(dialogs.messages.at(2).text.startsWith(QStringLiteral("\"abc\" is not a quantity")));
        QCOMPARE(dialogs.messages.at(3).text, QStringLiteral("Strategies are not saved.\r\nExit anyway?"));
        QVERIFY(run.window() != nullptr);
        QVERIFY(!ui::txtEdit(w)->isVisible());
        QCOMPARE(legOf(w, 1).Quantity(), 9);
        QCOMPARE(legOf(w, 2).Quantity(), 1);
        QCOMPARE(ui::gdSelected(w)->CellText(2, 6), QStringLiteral("1"));
        // Left by the answer, not refused once more: once the grid has the
        // keyboard back, the line shows what it showed before the question,
        // no " Quantity left at ..." notice.
        QTRY_VERIFY(ui::gdSelected(w)->view()->hasFocus());
        QCOMPARE(ui::lblTickerStatus(w)->text(), loaded);

        // The close box, left and Yes: the window goes.
        doubleClick(ui::gdParams(w), 2, 6);
        typeInto(ui::txtEdit(w), QString());
        dialogs.messageAnswers = {Msg::Yes, Msg::Yes};
        QVERIFY(run.close());
        QCOMPARE(dialogs.messages.size(), 6);
        QVERIFY(dialogs.messages.at(4).text.startsWith(QStringLiteral("An empty cell is not a quantity")));
        QCOMPARE(dialogs.beeps, 0);
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void withoutAChainThereIsNothingToExport()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_stg});
        frmStrategies* w = run.window();
        start(run, "T1S1");
        // The evaluated grid has no rows, so no menu; the template grid's
        // export says there is nothing yet.
        QTest::mouseClick(ui::gdSelected(w)->view()->viewport(), Qt::RightButton, {}, QPoint(20, 20));
        QVERIFY(ui::m_cParamsMenu(w)->ActivePopup() == nullptr || !ui::m_cParamsMenu(w)->ActivePopup()->isVisible());
        QVERIFY(popupCommand(w, ui::gdParams(w), 1, 2, "Export to Microsoft Excel"));
        QVERIFY(dialogs.messages.last().text.startsWith(QStringLiteral("There are no evaluated legs to export")));
        QVERIFY(dialogs.openedUrls.isEmpty());
    }
};

TW_QTEST_MAIN(LegEditingTest)

#include "LegEditingTest.moc"
