// A new user's first start under a window manager (a private Xvfb display
// with openbox, of the size TW_X11_SCREEN gives): the main window, framed on
// its screen, shows every control of its bottom pane whole and apart from
// the others on each chain tab, and the chain grids show at least eight rows;
// new chart windows open a title bar apart.

#include "support/MainWindowControls.h"
#include "MainWindowFixtures.h"

#include "charts/frmChart.h"
#include "mainwindow/frmStrategies.h"
#include "support/MainWindowRun.h"
#include "support/QtTestMain.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include <QGuiApplication>
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

} // namespace

class FirstStartX11Test : public QObject {
    Q_OBJECT

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
        QVERIFY(QTest::qWaitForWindowExposed(w));
        // Framed by the window manager, on the screen as a whole, and laid
        // out in the framed client area.
        QGroupBox* bottom = ui::fraExchange(w);
        const QRect area = w->screen()->availableGeometry();
        QTRY_VERIFY2(w->frameGeometry().height() > w->height() && area.contains(w->frameGeometry())
                         && bottom->geometry().bottom() == w->height() - 1,
                     qPrintable(text(w->frameGeometry()) + " on " + text(area) + ", bottom pane "
                                + text(bottom->geometry())));

        QTabBar* tabs = ui::tabOptionsNew(w)->findChild<QTabBar*>();
        QVERIFY(tabs != nullptr && tabs->isVisible());
        for (int tab = 1; tab <= 3; ++tab) {
            QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(tab - 1).center());
            QTRY_COMPARE(ui::tabOptionsNew(w)->SelectedTab(), tab);
            QCoreApplication::processEvents();
            const QString where = QStringLiteral("tab %1, window %2: ").arg(tab).arg(text(w->geometry()));

            QList<QWidget*> controls = test::bottomPaneControls(w);
            controls.append(tabs);
            QVERIFY(tab > 1 || controls.contains(ui::lblTickerStatus(w)));
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
        QVERIFY2(dialogs.errorReports.isEmpty(), qPrintable(dialogs.errorReports.join(u'\n')));
    }

    void newChartsOpenATitleBarApart()
    {
        test::environment().clearSettings();
        test::storeQuietStart();
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", test::shippedFile(QStringLiteral("DEFAULT.STG"))});
        frmStrategies* w = run.window();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        for (int i = 0; i < 2; ++i)
            QVERIFY(test::chooseFromMenuBar(w, QStringLiteral("&Windows"), QStringLiteral("&New chart")));
        QWidget* first = w->chartByKey(QStringLiteral("C0"));
        QWidget* second = w->chartByKey(QStringLiteral("C1"));
        QVERIFY(first != nullptr && second != nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(first) && QTest::qWaitForWindowExposed(second));
        // Framed, the second lies a title bar lower and to the right, as
        // large, so the first one's title bar stays in sight.
        const auto apart = [first, second] {
            const QRect a = first->frameGeometry(), b = second->frameGeometry();
            const int titleBar = first->geometry().top() - a.top();
            return titleBar > 0 && b.topLeft() - a.topLeft() == QPoint(titleBar, titleBar) && b.size() == a.size();
        };
        QTRY_VERIFY2(apart(), qPrintable(text(first->frameGeometry()) + " then " + text(second->frameGeometry())));
        QVERIFY(w->screen()->availableGeometry().contains(second->frameGeometry()));
        QVERIFY(dialogs.errorReports.isEmpty());
    }
};

TW_QTEST_MAIN(FirstStartX11Test)
#include "FirstStartX11Test.moc"
