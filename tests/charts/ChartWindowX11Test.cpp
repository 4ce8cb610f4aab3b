// A 2-D chart window under a real window manager: putting it into and out
// of the topmost band keeps its place, size and contents, and a saved place
// far larger than the screen comes up on the screen.

#include "ChartTestSupport.h"

#include "platform/Chart2D.h"
#include "platform/Toolbar.h"
#include "platform/WindowGeometry.h"
#include "support/QtTestMain.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"
#include "support/WindowSystem.h"

#include <QScreen>
#include <QtTest>

using namespace tw;
using namespace tw::test;

namespace {

QByteArray text(const QRect& r)
{
    return QByteArray::number(r.x()) + "," + QByteArray::number(r.y()) + " " + QByteArray::number(r.width()) + "x"
        + QByteArray::number(r.height());
}

} // namespace

class ChartWindowX11Test : public QObject {
    Q_OBJECT

private slots:
    void init() { test::environment().clearSettings(); }

    void alwaysOnTopKeepsPlaceSizeAndContents()
    {
        test::ScriptedDialogs dialogs;
        FakeHost host;
        auto c = openChart(host, 0, fourLegs());
        QVERIFY(QTest::qWaitForWindowExposed(c.get(), kWindowSystemWait));
        platform::setOuterTwips(c.get(), QRectF(3000, 2250, 10500, 7500));
        QTRY_COMPARE_WITH_TIMEOUT(frameOf(c.get()).size(), QSize(700, 500), kWindowSystemWait);
        const QRect place = frameOf(c.get());
        const QString caption = c->windowTitle();
        const QStringList labels = c->Chart->seriesLabels();

        for (bool on : {true, false}) {
            clickButton(c->tbrChartMode, "ontop");
            QCOMPARE(c->onTop(), on);
            QVERIFY(QTest::qWaitForWindowExposed(c.get(), kWindowSystemWait));
            // Until the window manager has framed the new window its frame
            // is not known; then it must be the old one.
            QTRY_VERIFY2_WITH_TIMEOUT(isFramed(c.get()) && frameOf(c.get()) == place,
                                      text(frameOf(c.get())) + " instead of " + text(place), kWindowSystemWait);
            QCOMPARE(c->windowTitle(), caption);
            QCOMPARE(c->Chart->seriesLabels(), labels);
            QCOMPARE(c->Chart->drawnPointCount(5), 100);
        }
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void aHugeSavedWidthComesUpOnTheScreen()
    {
        test::ScriptedDialogs dialogs;
        FakeHost host;
        storeChart(1, "Left", 1500);
        storeChart(1, "Top", 1500);
        storeChart(1, "Width", 200000000);
        storeChart(1, "Height", 6000);
        auto c = openChart(host, 1, fourLegs());
        QVERIFY(QTest::qWaitForWindowExposed(c.get(), kWindowSystemWait));
        // Within the work area, frame and all, once the window manager has
        // framed it (the place was given before the frame was known).
        const QRect area = c->screen()->availableGeometry();
        QTRY_VERIFY2_WITH_TIMEOUT(isFramed(c.get()) && area.contains(frameOf(c.get())),
                                  text(frameOf(c.get())) + " outside " + text(area), kWindowSystemWait);
        QVERIFY(frameOf(c.get()).width() > area.width() / 2);
        QCOMPARE(c->Chart->drawnPointCount(1), 100);
        QVERIFY(dialogs.errorReports.isEmpty());
    }
};

TW_QTEST_MAIN(ChartWindowX11Test)

#include "ChartWindowX11Test.moc"
