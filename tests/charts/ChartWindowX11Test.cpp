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

#include <QScreen>
#include <QtTest>

using namespace tw;
using namespace tw::test;

namespace {

// How long a busy window manager may take to frame a window.
constexpr int kFrameWait = 30000;

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
        QVERIFY(QTest::qWaitForWindowExposed(c.get()));
        platform::setOuterTwips(c.get(), QRectF(3000, 2250, 10500, 7500));
        QTRY_COMPARE(c->frameGeometry().size(), QSize(700, 500));
        const QRect place = c->frameGeometry();
        const QString caption = c->windowTitle();
        const QStringList labels = c->Chart->seriesLabels();

        for (bool on : {true, false}) {
            clickButton(c->tbrChartMode, "ontop");
            QCOMPARE(c->onTop(), on);
            QVERIFY(QTest::qWaitForWindowExposed(c.get()));
            // Until the window manager has framed the new window its frame
            // is not known; then it must be the old one.
            QTRY_VERIFY2_WITH_TIMEOUT(c->isVisible() && c->frameGeometry() == place,
                                      text(c->frameGeometry()) + " instead of " + text(place), kFrameWait);
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
        QVERIFY(QTest::qWaitForWindowExposed(c.get()));
        // Within the work area, frame and all, once the window manager has
        // framed it (the place was given before the frame was known).
        const QRect area = c->screen()->availableGeometry();
        QTRY_VERIFY2_WITH_TIMEOUT(c->frameGeometry() != c->geometry() && area.contains(c->frameGeometry()),
                                  text(c->frameGeometry()) + " outside " + text(area), kFrameWait);
        QVERIFY(c->frameGeometry().width() > area.width() / 2);
        QCOMPARE(c->Chart->drawnPointCount(1), 100);
        QVERIFY(dialogs.errorReports.isEmpty());
    }
};

TW_QTEST_MAIN(ChartWindowX11Test)

#include "ChartWindowX11Test.moc"
