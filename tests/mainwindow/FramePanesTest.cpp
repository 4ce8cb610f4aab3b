// What a new user meets in the main window's frame and panes: every control
// of the bottom pane takes a click in its middle (nothing lies over it), the
// default columns and combo boxes show their whole texts, the question about
// many binomial steps is asked once per change and over the main window, a
// refused value stays marked until it is corrected, and a chain file named
// on the command line that does not exist is reported.

#include "support/MainWindowControls.h"
#include "MainWindowFixtures.h"

#include "app/CAppSettings.h"
#include "app/Dialogs.h"
#include "app/QtDialogs.h"
#include "app/Tools.h"
#include "charts/frm3dChart.h"
#include "charts/frmChart.h"
#include "mainwindow/frmStrategies.h"
#include "platform/Grid.h"
#include "platform/TabStrip.h"
#include "support/MainWindowRun.h"
#include "support/QtTestMain.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QGuiApplication>
#include <QScreen>
#include <QHeaderView>
#include <QTableView>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabBar>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

using namespace tw;

namespace {

// Counts the mouse presses that reach a control, and swallows them so that
// no command runs.
class PressCounter : public QObject {
public:
    QHash<QObject*, int> presses;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease
            || event->type() == QEvent::MouseButtonDblClick) {
            if (event->type() == QEvent::MouseButtonPress)
                ++presses[watched];
            return true;
        }
        return false;
    }
};

// Replaces a box's text by typing, as the user does.
void type(QLineEdit* box, const QString& text)
{
    box->setFocus(Qt::MouseFocusReason);
    QCoreApplication::processEvents();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, text);
}

// Moves the focus to another control of the window.
void leave(frmStrategies* w)
{
    ui::tvStrategies(w)->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

bool shownRefused(const QLineEdit* box)
{
    return box->palette().color(QPalette::Text) != box->window()->palette().color(QPalette::Text);
}

const QString kManySteps = QStringLiteral("Too high number of steps will significantly reduce\r\n"
                                          "the performance of Tarnwell charts! Continue?");

// The texts of a grid that its columns cut: the header captions and the
// cells of the ordinary rows, measured at the fonts they are drawn in.
QStringList cutTexts(platform::Grid* g)
{
    QStringList cut;
    QHeaderView* h = g->header();
    const int headerMargin = h->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, h);
    for (int c = 1; c <= g->Columns(); ++c) {
        if (!g->ColumnVisible(c) || g->ColumnIsRowText(c))
            continue;
        const int shown = h->sectionSize(c - 1);
        const QString header = g->ColumnHeader(c);
        if (QFontMetrics(h->font()).horizontalAdvance(header) + 2 * headerMargin > shown)
            cut << QStringLiteral("%1 header \"%2\"").arg(g->objectName(), header);
        for (int r = 1; r <= g->Rows(); ++r) {
            if (g->RowIsGroup(r))
                continue;
            const QString text = g->CellText(r, c);
            // The cell draws its text 3 pixels in from each side.
            if (QFontMetrics(g->CellFont(r, c)).horizontalAdvance(text) > shown - 6)
                cut << QStringLiteral("%1 row %2 \"%3\"").arg(g->objectName()).arg(r).arg(text);
        }
    }
    return cut;
}

} // namespace

class FramePanesTest : public QObject {
    Q_OBJECT

    test::SampleFiles m_files;

private slots:
    void initTestCase() { QVERIFY(m_files.write()); }
    void init()
    {
        test::environment().clearSettings();
        test::storeQuietStart();
    }

    void hostilePlacesStartWithEveryWindowOnTheScreen_data()
    {
        QTest::addColumn<QString>("value"); // stored for every place key of the three windows
        for (const char* v : {"200000000", "1e300", "-1e300", "3e10", "-2147483000", "2147483000", "nan", "-inf",
                              "", "abc", "0", "-5"})
            QTest::addRow("%s", v) << QString::fromLatin1(v);
    }
    void hostilePlacesStartWithEveryWindowOnTheScreen()
    {
        QFETCH(QString, value);
        test::storeSetting(QStringLiteral("CCCount"), 1);
        test::storeSetting(QStringLiteral("3dChartVisible"), QStringLiteral("True"));
        for (const char* key : {"StgLeft", "StgTop", "StgWidth", "StgHeight", "3dChartLeft", "3dChartTop",
                                "3dChartWidth", "3dChartHeight"})
            test::storeSetting(QLatin1String(key), value);
        for (const char* key : {"Left", "Top", "Width", "Height"})
            appSettings().SaveSetting(QStringLiteral("Settings\\CC1"), QLatin1String(key), value);
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_files.stg, "-O", m_files.opt});
        frmStrategies* w = run.window();
        QVERIFY(w != nullptr && w->isVisible());
        const QList<QWidget*> windows{w, frm3dChart::instance(), w->chartByKey(QStringLiteral("C0"))};
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        // On a screen as small as the offscreen one (800 x 600) the 3-D
        // window's minimum width does not fit beside the main window's: a
        // window on the screen has its corner and its bottom on it and is no
        // larger than it (under a window manager, on a larger screen, the
        // places test asks for every window whole on the screen).
        const auto onScreen = [&area](const QRect& r) {
            return area.contains(r.topLeft()) && r.bottom() <= area.bottom() && r.width() <= area.width();
        };
        for (QWidget* window : windows) {
            QVERIFY(window != nullptr);
            QTRY_VERIFY2(onScreen(window->frameGeometry()),
                         qPrintable(QStringLiteral("%1 at %2,%3 %4x%5")
                                        .arg(window->objectName())
                                        .arg(window->frameGeometry().x())
                                        .arg(window->frameGeometry().y())
                                        .arg(window->frameGeometry().width())
                                        .arg(window->frameGeometry().height())));
        }
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void clickInTheMiddleOfEveryBottomPaneControlReachesIt_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<int>("width");
        QTest::addRow("stock tab, narrow") << 1 << 500;
        QTest::addRow("stock tab, wide") << 1 << 1200;
        QTest::addRow("calls tab") << 2 << 800;
    }
    void clickInTheMiddleOfEveryBottomPaneControlReachesIt()
    {
        QFETCH(int, tab);
        QFETCH(int, width);
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_files.stg, "-O", m_files.opt});
        frmStrategies* w = run.window();
        w->resize(width, 760);
        ui::tabOptionsNew(w)->setSelectedTab(tab);
        QTRY_COMPARE(w->width(), width);
        w->ArrangeControls();
        QApplication::processEvents();

        QList<QWidget*> controls = test::bottomPaneControls(w);
        QVERIFY(controls.contains(ui::cbCalculationMode(w)) && controls.contains(ui::txtInetrestRate(w)));
        PressCounter counter;
        for (QWidget* c : controls)
            c->installEventFilter(&counter);
        auto* bar = ui::tabOptionsNew(w)->findChild<QTabBar*>();
        bar->installEventFilter(&counter);
        for (QWidget* c : controls) {
            const QPoint middle = c->mapTo(w, c->rect().center());
            QTest::mouseClick(w->windowHandle(), Qt::LeftButton, {}, middle);
            QVERIFY2(counter.presses.value(c) == 1,
                     qPrintable(QStringLiteral("%1 does not take a click in its middle (%2 lies over it)")
                                    .arg(c->objectName(),
                                         w->childAt(middle) ? w->childAt(middle)->objectName()
                                                            : QStringLiteral("nothing"))));
        }
        // Each tab of the chain tabs.
        for (int i = 0; i < bar->count(); ++i) {
            counter.presses.clear();
            QTest::mouseClick(w->windowHandle(), Qt::LeftButton, {}, bar->mapTo(w, bar->tabRect(i).center()));
            QVERIFY2(counter.presses.value(bar) == 1, qPrintable(bar->tabText(i)));
        }
    }

    void barsKeepTheirDefaultRuleUntilTheUserDragsOne()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_files.stg, "-O", m_files.opt});
        frmStrategies* w = run.window();
        const auto top = [w](const char* bar) { return w->layoutGeometry().at(QLatin1String(bar)).top; };
        const auto resizeTo = [w](int height) {
            w->resize(w->width(), height);
            return QTest::qWaitFor([w, height] { return w->height() == height; }, 2000);
        };
        // Nothing stored: whatever the height, the bottom pane keeps the
        // height the chain panes need, and the bars above the lowest one
        // their thirds of its place.
        QVERIFY(resizeTo(600));
        const int paneHeight = ui::fraExchange(w)->height();
        QVERIFY(resizeTo(540));
        QCOMPARE(ui::fraExchange(w)->height(), paneHeight);
        QVERIFY(std::abs(top("picDescParam") - top("picOptionsStock") / 3) < 1);
        QVERIFY(std::abs(top("picParamsOptions") - 2 * top("picOptionsStock") / 3) < 1);

        // The user drags the lowest bar up by 30 pixels: from then on the
        // bars scale with the window.
        QWidget* bar = ui::named<QWidget>(w, "picOptionsStock");
        const QPoint start = bar->mapTo(w, bar->rect().center());
        QTest::mousePress(bar, Qt::LeftButton, {}, bar->rect().center());
        QTest::mouseMove(w, start - QPoint(0, 30));
        QTest::mouseRelease(w, Qt::LeftButton, {}, start - QPoint(0, 30));
        const float dragged = top("picOptionsStock");
        const double tpp = w->ScaleHeight() / w->height();
        QVERIFY2(dragged < (w->height() - paneHeight - 20) * tpp, QByteArray::number(dragged));
        QVERIFY(resizeTo(600));
        QVERIFY2(std::abs(top("picOptionsStock") / (dragged * 600 / 540) - 1) < 0.005,
                 QByteArray::number(top("picOptionsStock")) + " after " + QByteArray::number(dragged));
        QVERIFY(ui::fraExchange(w)->height() > paneHeight + 30);
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void tabKeyGoesFromThePricingRowToTheChainThenToTheStockPageBoxes()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_files.stg, "-O", m_files.opt});
        frmStrategies* w = run.window();
        QVERIFY(test::focusOn(ui::txtInetrestRate(w)));
        const auto tabFrom = [](QWidget* from) {
            from->setFocus(Qt::TabFocusReason);
            QTest::keyClick(from, Qt::Key_Tab);
            return QApplication::focusWidget();
        };
        QCOMPARE(tabFrom(ui::txtInetrestRate(w)), ui::chkPLSign(w));
        QCOMPARE(tabFrom(ui::cmdLookup(w)), ui::cmdLoad(w));
        QCOMPARE(tabFrom(ui::cmdSave(w)), ui::cbExchange(w));
        // Past the stock page's last box (dividends are hidden for
        // Black-Scholes) and the hidden in-cell editors, on to the toolbar.
        QCOMPARE(tabFrom(ui::txtVolatility(w))->objectName(), QStringLiteral("tbrTools_newchart"));
    }

    void statusLineShowsLongTextsWholeUnderTheTabs_data()
    {
        QTest::addColumn<int>("width");
        QTest::addRow("narrow") << 500;
        QTest::addRow("wide") << 1200;
    }
    void statusLineShowsLongTextsWholeUnderTheTabs()
    {
        QFETCH(int, width);
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_files.stg, "-O", m_files.opt});
        frmStrategies* w = run.window();
        w->resize(width, 760);
        QTRY_COMPARE(w->width(), width);
        w->ArrangeControls();

        // A path with no blank to wrap at, longer than the window is wide.
        const QString text = QStringLiteral(" Exported to ") + QString(300, QLatin1Char('x')) +
                             QStringLiteral("/Long call - ZYX 2007-03-19.xlsx");
        QLabel* line = ui::lblTickerStatus(w);
        ui::chain(w)->showTickerStatus(text);
        // The line grows for the text at the next layout.
        QTRY_VERIFY2(line->heightForWidth(line->width()) <= line->height(),
                     qPrintable(QStringLiteral("%1 of %2").arg(line->height()).arg(line->heightForWidth(line->width()))));
        QVERIFY(line->height() >= 3 * line->fontMetrics().height());
        QCOMPARE(line->text(), text);
        QVERIFY(ui::lblStatus(w)->text().isEmpty());
        // Inside the bottom pane, under the tab strip and apart from the rest.
        QVERIFY(ui::fraExchange(w)->rect().contains(QRect(line->mapTo(ui::fraExchange(w), QPoint(0, 0)), line->size())));
        const QRect at(line->mapTo(w, QPoint(0, 0)), line->size());
        QList<QWidget*> others = test::bottomPaneControls(w);
        others.append(ui::tabOptionsNew(w));
        for (QWidget* other : std::as_const(others)) {
            if (other != line)
                QVERIFY2(!at.intersects(QRect(other->mapTo(w, QPoint(0, 0)), other->size())),
                         qPrintable(other->objectName()));
        }
        // A short text gives the room back.
        ui::chain(w)->showTickerStatus(QStringLiteral(" Saved"));
        QTRY_COMPARE(line->height(), line->heightForWidth(line->width()));
    }

    void defaultColumnsAndBoxesShowTheirWholeTexts()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", test::shippedFile(QStringLiteral("DEFAULT.STG")), "-O",
                                 test::shippedFile(QStringLiteral("SAMPLE.opt"))});
        frmStrategies* w = run.window();
        QVERIFY(w->session().ObjStock() != nullptr);
        w->resize(1100, 800);
        QTRY_COMPARE(w->width(), 1100);
        w->ArrangeControls();
        for (platform::Grid* g : {ui::gdParams(w), ui::gdSelected(w), ui::gdCalls(w), ui::gdPuts(w)}) {
            QVERIFY2(g->Rows() > 0, qPrintable(g->objectName()));
            const QStringList cut = cutTexts(g);
            QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral("; "))));
        }
        // The chain grids' last column takes the width the others leave.
        ui::tabOptionsNew(w)->setSelectedTab(2);
        QApplication::processEvents();
        QHeaderView* h = ui::gdCalls(w)->header();
        QCOMPARE(h->length(), ui::gdCalls(w)->view()->viewport()->width());
        // The pricing area's combo boxes show their longest entries.
        for (QComboBox* box : {ui::cmbModel(w), ui::cbCalculationMode(w), ui::cbExchange(w)}) {
            QStyleOptionComboBox opt;
            opt.initFrom(box);
            opt.editable = box->isEditable();
            const QRect field = box->style()->subControlRect(QStyle::CC_ComboBox, &opt,
                                                             QStyle::SC_ComboBoxEditField, box);
            for (int i = 0; i < box->count(); ++i)
                QVERIFY2(box->fontMetrics().horizontalAdvance(box->itemText(i)) <= field.width(),
                         qPrintable(box->objectName() + QStringLiteral(": ") + box->itemText(i)));
        }
    }

    void usersColumnWidthsStayTheirs()
    {
        test::ScriptedDialogs dialogs;
        {
            test::MainWindowRun run({"-S", m_files.stg, "-O", m_files.opt});
            frmStrategies* w = run.window();
            ui::tabOptionsNew(w)->setSelectedTab(2);
            w->resize(1000, 760);
            QTRY_COMPARE(w->width(), 1000);
            w->ArrangeControls();
            QApplication::processEvents();
            // The user narrows the expiration column with the mouse.
            platform::Grid* g = ui::gdCalls(w);
            const int col = g->ColumnIndex(QStringLiteral("expiration"));
            QHeaderView* h = g->header();
            const int edge = h->sectionViewportPosition(col - 1) + h->sectionSize(col - 1) - 1;
            const int y = h->height() / 2;
            QTest::mousePress(h->viewport(), Qt::LeftButton, {}, QPoint(edge, y));
            QMouseEvent move(QEvent::MouseMove, QPointF(edge - 30, y), h->viewport()->mapToGlobal(QPointF(edge - 30, y)),
                             Qt::NoButton, Qt::LeftButton, {});
            QApplication::sendEvent(h->viewport(), &move);
            QTest::mouseRelease(h->viewport(), Qt::LeftButton, {}, QPoint(edge - 30, y));
            QVERIFY(g->ColumnWidth(col) < g->ColumnTextWidth(col));
        }
        // The next start keeps the narrow width, cut text and all.
        test::MainWindowRun run({"-S", m_files.stg, "-O", m_files.opt});
        platform::Grid* g = ui::gdCalls(run.window());
        const int col = g->ColumnIndex(QStringLiteral("expiration"));
        QVERIFY(g->ColumnWidth(col) < g->ColumnTextWidth(col));
    }

    void manyStepsAreQuestionedOncePerChange()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_files.stg, "-O", m_files.opt});
        frmStrategies* w = run.window();
        QVERIFY(test::focusOn(ui::tvStrategies(w)));
        ui::cmbModel(w)->setCurrentIndex(1);
        ui::pricing(w)->cmbModel_Click();
        QLineEdit* steps = ui::txtSteps(w);

        // Return on the question's OK: the box sees its own press and
        // release, then the release of the Return that answered the
        // question, which is not a key of the box.
        dialogs.messageAnswers = {Msg::Ok};
        type(steps, QStringLiteral("60"));
        QTest::keyClick(steps, Qt::Key_Return);
        QTest::keyRelease(steps, Qt::Key_Return);
        QTest::keyRelease(steps, Qt::Key_Return);
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages.first().text, kManySteps);
        QCOMPARE(w->session().steps(), 60);
        // Leaving the box, or Return once more, does not ask again.
        leave(w);
        QTest::keyClick(steps, Qt::Key_Return);
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(w->session().steps(), 60);

        // A new value is a new question; Cancel puts the applied one back.
        dialogs.messageAnswers = {Msg::Cancel};
        type(steps, QStringLiteral("80"));
        QTest::keyClick(steps, Qt::Key_Return);
        QCOMPARE(dialogs.messages.size(), 2);
        QCOMPARE(steps->text(), QStringLiteral("60"));
        QCOMPARE(w->session().steps(), 60);
        leave(w);
        QCOMPARE(dialogs.messages.size(), 2);
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void questionBetweenTwoWindowsIsCentredOnTheMainWindow()
    {
        test::MainWindowRun run({"-S", m_files.stg});
        frmStrategies* w = run.window();
        // No window is active (one just closed, the next not yet active).
        QApplication::setActiveWindow(nullptr);
        QWidget* owner = nullptr;
        QTimer::singleShot(0, [&owner] {
            if (QWidget* box = QApplication::activeModalWidget()) {
                owner = box->parentWidget();
                box->close();
            }
        });
        QtDialogs().messageBox(QStringLiteral("Question"), Msg::OkCancel | Msg::Information, QString());
        QCOMPARE(owner, static_cast<QWidget*>(w));
    }

    void refusedValueIsShownRefusedUntilCorrected()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_files.stg, "-O", m_files.opt});
        frmStrategies* w = run.window();
        QVERIFY(test::focusOn(ui::tvStrategies(w)));
        QLineEdit* vol = ui::txtVolatility(w);
        QVERIFY(!shownRefused(vol));
        const double applied = w->session().volatility();

        // Refused on leaving: the focus stays, the box shows the refusal.
        type(vol, QStringLiteral("250"));
        leave(w);
        QTRY_VERIFY(vol->hasFocus());
        QVERIFY(shownRefused(vol));
        QCOMPARE(w->session().volatility(), applied);
        // Still refused while the text cannot be used...
        type(vol, QStringLiteral("abc"));
        QVERIFY(shownRefused(vol));
        // ...and plain again as soon as it can.
        type(vol, QStringLiteral("45"));
        QVERIFY(!shownRefused(vol));
        leave(w);
        QCOMPARE(w->session().volatility(), 45.0);

        // Return with a refused text; Escape brings back the applied value
        // and the plain look.
        QLineEdit* rate = ui::txtInetrestRate(w);
        type(rate, QStringLiteral("5x"));
        QTest::keyClick(rate, Qt::Key_Return);
        QVERIFY(shownRefused(rate));
        QTest::keyClick(rate, Qt::Key_Escape);
        QVERIFY(!shownRefused(rate));
        QVERIFY(dialogs.messages.isEmpty());
    }

    void chainFileNamedOnTheCommandLineThatIsMissingIsReported()
    {
        const QString missing = QDir(m_files.dir.path()).filePath(QStringLiteral("gone.opt"));
        const QString expected = QStringLiteral("The \"%1\" file is not found.").arg(missing);
        {
            test::ScriptedDialogs dialogs;
            test::MainWindowRun run({"-O", missing, "-S", m_files.stg});
            frmStrategies* w = run.window();
            QCOMPARE(dialogs.messages.size(), 1);
            QCOMPARE(dialogs.messages.first().text, expected);
            QCOMPARE(dialogs.messages.first().style, Msg::OkOnly | Msg::Critical);
            QCOMPARE(ui::lblTickerStatus(w)->text(), QLatin1Char(' ') + expected);
            QVERIFY(w->session().ObjStock() == nullptr);
        }
        // The last file of an earlier run that has gone since asks nothing.
        test::storeSetting(QStringLiteral("LastFile"), missing);
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_files.stg});
        QVERIFY(dialogs.messages.isEmpty());
        QVERIFY(run.window()->session().ObjStock() == nullptr);
    }
};

TW_QTEST_MAIN(FramePanesTest)
#include "FramePanesTest.moc"
