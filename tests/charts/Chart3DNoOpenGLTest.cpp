// The 3-D window where the display offers no OpenGL (Qt's offscreen
// platform): it says so in its own area instead of crashing, and everything
// around the surface works: the data handed to the chart, the caption rules,
// the percent box and the saved settings.

#include "charts/frm3dChart.h"
#include "mainwindow/MainWindowFixtures.h"
#include "mainwindow/frmStrategies.h"
#include "model/stock.h"
#include "support/MainWindowControls.h"
#include "support/MainWindowRun.h"
#include "support/QtTestMain.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QLabel>
#include <QtTest>

using namespace tw;
using platform::Chart3D;

class Chart3DNoOpenGLTest : public QObject {
    Q_OBJECT

private slots:
    void windowWithoutOpenGLSaysSoAndKeepsWorking()
    {
        test::environment().clearSettings();
        test::storeSetting(QStringLiteral("CCCount"), 0);
        test::storeSetting(QStringLiteral("3DP"), 0);
        {
            test::ScriptedDialogs dialogs;
            test::MainWindowRun run(
                {"-S", test::shippedFile("DEFAULT.STG"), "-O", test::shippedFile("SAMPLE.opt")});
            QVERIFY(!Chart3D::openGLAvailable());
            frm3dChart* c = frm3dChart::loaded();
            QVERIFY(c != nullptr && c->isVisible());
            QVERIFY(!c->Chart3D->drawing());
            QVERIFY(c->Chart3D->drawingWindow() == nullptr);
            auto* message = c->findChild<QLabel*>(QStringLiteral("noOpenGL"));
            QVERIFY(message != nullptr && message->isVisible());
            QVERIFY(message->text().contains(QStringLiteral("needs OpenGL")));
            QVERIFY(!c->txtPrice->isVisible() && !c->cmdZone->isEnabled() && c->chkPercent->isEnabled());

            // The chart still holds what it was handed; "3DP" 0: money.
            QVERIFY(!c->chkPercent->isChecked());
            QCOMPARE(c->Chart3D->rowCount(), 30);
            QCOMPARE(c->Chart3D->axisTitle(Chart3D::AxisZ), QStringLiteral("Profit/Loss"));
            QCOMPARE(c->windowTitle(), run->session().ObjStock()->Code() + QStringLiteral(" - 3D Chart"));
            QTest::mouseClick(c->chkPercent, Qt::LeftButton, {}, QPoint(8, c->chkPercent->height() / 2));
            QCOMPARE(c->Chart3D->axisTitle(Chart3D::AxisZ), QStringLiteral("Profit/Loss %"));

            // The read-out answers "nothing under the pointer".
            c->UnlockMouseMove = true;
            QSignalSpy answers(c->Chart3D, &Chart3D::pointAnswered);
            c->Chart3D->queryPoint(QPoint(100, 100));
            QCOMPARE(answers.size(), 1);
            QVERIFY(!answers.first().first().value<platform::Chart3DPoint>().onSurface);
            QVERIFY(dialogs.errorReports.isEmpty());
        }
        QCOMPARE(test::storedInt(QStringLiteral("3DP"), -1), 1);
        QCOMPARE(test::storedText(QStringLiteral("3dChartVisible")), QStringLiteral("True"));
        QVERIFY(test::storedDouble(QStringLiteral("3dChartWidth"), 0) > 0);
        QCOMPARE(test::storedInt(QStringLiteral("3dChartWindowState"), -1), 0);
    }

    void captionRules()
    {
        test::environment().clearSettings();
        frm3dChart* c = frm3dChart::instance();
        QCOMPARE(c->windowTitle(), QStringLiteral("3D chart"));
        // A full draw names the ticker, an empty one too.
        c->mLines = std::vector<LegRow>();
        c->UpdateChart();
        QCOMPARE(c->windowTitle(), QStringLiteral(" - 3D Chart"));
        QCOMPARE(c->Chart3D->rowCount(), 30);
        c->setStockTicker(QStringLiteral("ABC"));
        QCOMPARE(c->windowTitle(), QStringLiteral("ABC - 3D Chart"));
        // The same ticker again changes nothing; another renews the caption.
        c->setWindowTitle(QStringLiteral("3D chart"));
        c->setStockTicker(QStringLiteral("ABC"));
        QCOMPARE(c->windowTitle(), QStringLiteral("3D chart"));
        c->setStockTicker(QStringLiteral("abc"));
        QCOMPARE(c->windowTitle(), QStringLiteral("abc - 3D Chart"));
        // Nothing evaluated: the chart empties, the caption stays.
        c->setWindowTitle(QStringLiteral("3D chart"));
        c->mLines.reset();
        c->UpdateChart();
        QCOMPARE(c->Chart3D->rowCount(), 0);
        QCOMPARE(c->windowTitle(), QStringLiteral("3D chart"));
        c->unload();
        QVERIFY(frm3dChart::loaded() == nullptr);
    }
};

TW_QTEST_MAIN(Chart3DNoOpenGLTest)

#include "Chart3DNoOpenGLTest.moc"
