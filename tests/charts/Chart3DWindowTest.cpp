// The 3-D window on a real display with OpenGL (Xvfb, Mesa's software
// renderer, openbox): the surface drawn follows the selected strategy, the
// percent box and the mode, paints none of the window's widgets again and
// labels its value axis without a signed zero; the windows the start reopens
// leave the keyboard with the main window; a window started with nothing to
// draw shows no surface; the presets and the mouse turn the view, and the views of
// the presets show the whole surface with its labels; the read-out names the
// point under the pointer of the surface drawn; the close box hides, and the main
// window's menu bar and toolbar and a 2-D chart's "3DChart" button show the
// window again; the place and the percent mode come back after a restart.

#include "support/MainWindowControls.h"
#include "mainwindow/MainWindowFixtures.h"

#include "ChartTestSupport.h"

#include "charts/frm3dChart.h"
#include "charts/frmChart.h"
#include "mainwindow/frmStrategies.h"
#include "model/stock.h"
#include "platform/WindowGeometry.h"
#include "support/MainWindowRun.h"
#include "support/QtTestMain.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"
#include "support/WindowSystem.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTreeWidget>
#include <QWindow>
#include <QtTest>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

using namespace tw;
using platform::Chart3D;

namespace {

void clickNode(frmStrategies* w, const QString& key) { QVERIFY(test::clickTreeNode(w, key)); }

void clickOn(QWidget* w)
{
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(8, w->height() / 2));
}

// What the window manager does when the user clicks a window's close box:
// sends the window the WM_DELETE_WINDOW request through the X server.
void pressCloseBox(QWidget* window)
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    QVERIFY(x11 != nullptr);
    xcb_connection_t* connection = x11->connection();
    const auto atom = [connection](const char* name) {
        xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
        const xcb_atom_t a = r != nullptr ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(r);
        return a;
    };
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof event);
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = static_cast<xcb_window_t>(window->winId());
    event.type = atom("WM_PROTOCOLS");
    event.data.data32[0] = atom("WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(connection, 0, event.window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
    xcb_flush(connection);
}

// The window that has the keyboard as the X server has it, once the server
// has handled everything sent to it so far.
WId keyboardWindow()
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr)
        return 0;
    xcb_get_input_focus_reply_t* r =
        xcb_get_input_focus_reply(x11->connection(), xcb_get_input_focus(x11->connection()), nullptr);
    const WId focus = r != nullptr ? r->focus : 0;
    free(r);
    return focus;
}

bool readOutEmpty(const frm3dChart* c)
{
    return c->txtPrice->text().isEmpty() && c->txtDays->text().isEmpty() && c->txtValue->text().isEmpty();
}

// The surface drawn holds the values the window gave the chart, each at its
// grid place.
bool drawnAsGiven(const frm3dChart* c)
{
    const std::vector<double> drawn = c->Chart3D->drawnValues();
    const int rows = c->Chart3D->rowCount();
    const int columns = c->Chart3D->columnCount();
    if (drawn.size() != static_cast<size_t>(rows) * columns)
        return false;
    for (int i = 0; i < rows; ++i) {
        for (int j = 0; j < columns; ++j) {
            if (float(drawn[static_cast<size_t>(i) * columns + j]) != float(c->Chart3D->value(i, j)))
                return false;
        }
    }
    return true;
}

// Where the picture has anything but the chart's white background.
QRect drawnExtent(const QImage& picture)
{
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    QRect extent;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] & 0xFFFFFF) != 0xFFFFFF)
                extent |= QRect(x, y, 1, 1);
        }
    }
    return extent;
}

// The surface with its labels lies wholly inside the drawing (nothing cut
// at an edge), the drawing ends above the buttons, and both grid axes have
// their labels and titles.
QString wholeSurfaceShown(const frm3dChart* c)
{
    for (const Chart3D::Axis axis : {Chart3D::AxisX, Chart3D::AxisY}) {
        if (c->Chart3D->labels(axis).count(QString()) != 24 || c->Chart3D->labels(axis).size() != 30)
            return QStringLiteral("the labels of axis %1").arg(axis);
    }
    if (c->Chart3D->axisTitle(Chart3D::AxisX) != QLatin1String("stock price")
        || c->Chart3D->axisTitle(Chart3D::AxisY) != QLatin1String("days"))
        return QStringLiteral("the axis titles");
    const QWindow* surface = c->Chart3D->drawingWindow();
    const int drawingBottom = c->Chart3D->mapTo(c, QPoint(0, surface->geometry().bottom())).y();
    if (drawingBottom >= c->cmdReset->y())
        return QStringLiteral("drawn under the buttons");
    const QImage picture = c->Chart3D->renderedImage();
    const QRect extent = drawnExtent(picture);
    const QRect inside = picture.rect().adjusted(2, 2, -2, -2);
    if (extent.isEmpty() || !inside.contains(extent))
        return QStringLiteral("drawn at %1,%2 %3x%4 in %5x%6")
            .arg(extent.x())
            .arg(extent.y())
            .arg(extent.width())
            .arg(extent.height())
            .arg(picture.width())
            .arg(picture.height());
    return {};
}

} // namespace

class Chart3DWindowTest : public QObject {
    Q_OBJECT

    QStringList m_args;

    // A start with the shipped library and sample chain, no 2-D chart, the
    // 3-D window shown and drawn. Its first showing builds the software
    // renderer's programs, which a busy machine or the sanitizer build makes
    // take far longer than the usual five seconds.
    frm3dChart* started(test::MainWindowRun& run)
    {
        frm3dChart* c = frm3dChart::loaded();
        if (c == nullptr || !QTest::qWaitForWindowExposed(c, test::kWindowSystemWait))
            return nullptr;
        return run.window() != nullptr ? c : nullptr;
    }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        m_args = {"-S", test::shippedFile("DEFAULT.STG"), "-O", test::shippedFile("SAMPLE.opt")};
    }

    void init()
    {
        test::environment().clearSettings();
        test::storeSetting(QStringLiteral("CCCount"), 0);
    }

    void surfaceFollowsStrategyPercentAndMode()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run(m_args);
        frm3dChart* c = started(run);
        QVERIFY(c != nullptr);
        QVERIFY2(c->Chart3D->drawing(), "no OpenGL on the test display");
        // Mesa draws on the processor: no multisampling.
        QVERIFY(Chart3D::softwareOpenGL());
        QVERIFY(c->Chart3D->drawingWindow()->format().samples() <= 1);
        QCOMPARE(c->windowTitle(), run->session().ObjStock()->Code() + QStringLiteral(" - 3D Chart"));
        QCOMPARE(c->Chart3D->rowCount(), 30);
        QCOMPARE(c->Chart3D->columnCount(), 30);
        QCOMPARE(c->Chart3D->axisTitle(Chart3D::AxisX), QStringLiteral("stock price"));
        QCOMPARE(c->Chart3D->axisTitle(Chart3D::AxisY), QStringLiteral("days"));
        // "3DP" missing: percent on. The long call (T1S1) far below its strike
        // shortly before expiry has lost all but nothing of its premium.
        QVERIFY(c->chkPercent->isChecked());
        QCOMPARE(c->Chart3D->axisTitle(Chart3D::AxisZ), QStringLiteral("Profit/Loss %"));
        QVERIFY2(std::abs(c->Chart3D->value(0, 29) + 100) < 0.5, qPrintable(QString::number(c->Chart3D->value(0, 29))));
        QVERIFY(drawnAsGiven(c));
        QCOMPARE(c->Chart3D->labels(Chart3D::AxisX).value(0),
                 QLocale().toString(c->priceValues().front(), 'f', 2));
        QCOMPARE(c->Chart3D->labels(Chart3D::AxisY).value(0), QString::number(c->dayValues().front()));

        // The box, clicked: money, the premium (3.00 a share) lost.
        clickOn(c->chkPercent);
        QVERIFY(!c->chkPercent->isChecked());
        QCOMPARE(c->Chart3D->axisTitle(Chart3D::AxisZ), QStringLiteral("Profit/Loss"));
        QVERIFY(std::abs(c->Chart3D->value(0, 29) + 300) < 1.5);
        QVERIFY(drawnAsGiven(c));

        // Another strategy: the covered call holds 100 shares, so at the
        // lowest price it loses about (S0 - price) x 100.
        clickNode(run.window(), QStringLiteral("T6S1"));
        const double lowest = c->priceValues().front();
        QVERIFY(c->Chart3D->value(0, 0) < -(run->session().calcStockPrice() - lowest) * 100 + 500);
        QVERIFY(c->Chart3D->value(29, 0) > 0);
        QVERIFY(drawnAsGiven(c));

        // The mode box: the worth of the position, and the value-axis title.
        ui::cbCalculationMode(run.window())->setFocus();
        QTest::keyClick(ui::cbCalculationMode(run.window()), Qt::Key_Down);
        QCOMPARE(ui::cbCalculationMode(run.window())->currentIndex(), 1);
        QCOMPARE(c->Chart3D->axisTitle(Chart3D::AxisZ), QStringLiteral("Position worth"));
        QVERIFY(c->Chart3D->value(0, 0) > 0);
        QVERIFY(drawnAsGiven(c));

        // A group: nothing to draw, the chart empties, with its labels.
        clickNode(run.window(), QStringLiteral("T2"));
        QCOMPARE(c->windowTitle(), QStringLiteral("3D chart"));
        QCOMPARE(c->Chart3D->rowCount(), 0);
        QVERIFY(c->Chart3D->labels(Chart3D::AxisX).isEmpty());
        QVERIFY(drawnAsGiven(c));
        // A strategy again: a new surface, then changes drawn in place.
        clickNode(run.window(), QStringLiteral("T1S1"));
        QVERIFY(drawnAsGiven(c));
        clickOn(c->chkPercent);
        QVERIFY(drawnAsGiven(c));
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    // The 2-D and the 3-D window of the last run open over the main window,
    // which keeps the keyboard once the window manager has mapped them all.
    // A new surface is then the one frame of the drawing window, painting
    // none of the window's widgets again (each would go to the X server
    // whole). In "Position worth" and in percent, no strategy's value axis has
    // a label that reads as a signed zero.
    void aStartKeepsTheKeyboardAndASurfacePaintsNoWidgetNorASignedZero()
    {
        test::storeSetting(QStringLiteral("CCCount"), 1);
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run(m_args);
        frm3dChart* c = started(run);
        QVERIFY(c != nullptr);
        frmStrategies* w = run.window();
        QWidget* chart = w->chartByKey(QStringLiteral("C0"));
        QVERIFY(chart != nullptr);
        QTRY_VERIFY_WITH_TIMEOUT(test::isFramed(w) && test::isFramed(chart) && test::isFramed(c),
                                 test::kWindowSystemWait);
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::activeWindow(), w, test::kWindowSystemWait);
        QCOMPARE(keyboardWindow(), w->winId());
        QCoreApplication::processEvents();
        QCOMPARE(QApplication::activeWindow(), w);
        QVERIFY(!c->isActiveWindow() && !chart->isActiveWindow());

        QVERIFY(QTest::qWaitForWindowExposed(c->Chart3D->drawingWindow(), test::kWindowSystemWait));
        clickNode(w, QStringLiteral("T1S2"));
        QCoreApplication::processEvents();
        int paints = 0;
        test::EventCounter counter(QEvent::Paint, paints);
        c->installEventFilter(&counter);
        for (QWidget* widget : c->findChildren<QWidget*>())
            widget->installEventFilter(&counter);
        const std::vector<double> before = c->Chart3D->drawnValues();
        clickNode(w, QStringLiteral("T6S1"));
        QCoreApplication::processEvents(); // the paints asked for come now
        QVERIFY(c->Chart3D->drawnValues() != before);
        QCOMPARE(paints, 0);

        ui::cbCalculationMode(w)->setFocus();
        QTest::keyClick(ui::cbCalculationMode(w), Qt::Key_Down);
        QCOMPARE(c->Chart3D->axisTitle(Chart3D::AxisZ), QStringLiteral("Position worth %"));
        const QRegularExpression signedZero(QStringLiteral("^[-\\x{2212}][0.,]*$"));
        int drawn = 0;
        for (int group = 1; group <= 8; ++group) {
            for (int strategy = 1; strategy <= 8; ++strategy) {
                const QString key = QStringLiteral("T%1S%2").arg(group).arg(strategy);
                if (ui::library(w)->nodeByKey(key) == nullptr)
                    continue;
                clickNode(w, key);
                const QStringList labels = c->Chart3D->valueLabels();
                QVERIFY2(labels.size() >= 2 && labels.filter(signedZero).isEmpty(), qPrintable(key + ": " + labels.join(u' ')));
                ++drawn;
            }
        }
        QVERIFY(drawn > 30);
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    // Started on a group, the window shows its axes and no surface until the
    // first strategy brings its surface.
    void startedOnAGroupDrawsNoSurfaceUntilAStrategy()
    {
        test::storeSetting(QStringLiteral("StgSelectedStrategy"), QStringLiteral("T1"));
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run(m_args);
        frm3dChart* c = started(run);
        QVERIFY(c != nullptr);
        QVERIFY2(c->Chart3D->drawing(), "no OpenGL on the test display");
        QCOMPARE(c->windowTitle(), QStringLiteral("3D chart"));
        QCOMPARE(c->Chart3D->rowCount(), 0);
        QCOMPARE(c->Chart3D->drawnPointCount(), 0);
        QVERIFY(drawnExtent(c->Chart3D->renderedImage()).isValid()); // the axes are drawn
        clickNode(run.window(), QStringLiteral("T1S1"));
        QCOMPARE(c->Chart3D->drawnPointCount(), 900);
        QVERIFY(drawnAsGiven(c));
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void presetsAndTheMouseTurnTheView()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run(m_args);
        frm3dChart* c = started(run);
        QVERIFY(c != nullptr);
        QWindow* surface = c->Chart3D->drawingWindow();
        QVERIFY(surface != nullptr);
        QCOMPARE(c->Chart3D->currentView().elevation, 20.0);
        QVERIFY(!c->Chart3D->zoneColouring());
        QString shown = wholeSurfaceShown(c);
        QVERIFY2(shown.isEmpty(), qPrintable(QStringLiteral("as designed: ") + shown));

        // Each preset shows the whole surface with its labels: as the window
        // opens beside the main window, at its own first size, wide and low,
        // narrow and tall, at its smallest.
        for (const QSize& size : {c->size(), QSize(480, 360), QSize(1000, 420), QSize(360, 520), QSize(300, 200)}) {
            c->resize(size);
            QTRY_COMPARE_WITH_TIMEOUT(c->size(), size, test::kWindowSystemWait);
            QTRY_COMPARE_WITH_TIMEOUT(surface->width(), size.width(), test::kWindowSystemWait);
            const QString at = QStringLiteral(" at %1x%2").arg(size.width()).arg(size.height());
            QTest::mouseClick(c->cmdZone, Qt::LeftButton);
            QCOMPARE(c->Chart3D->currentView().elevation, 90.0);
            QCOMPARE(c->Chart3D->view().azimuth, 360.0);
            QVERIFY(c->Chart3D->zoneColouring());
            QVERIFY(c->Chart3D->isVisible());
            shown = wholeSurfaceShown(c);
            QVERIFY2(shown.isEmpty(), qPrintable(QStringLiteral("Zone view: ") + shown + at));

            QTest::mouseClick(c->cmdReset, Qt::LeftButton);
            QCOMPARE(c->Chart3D->currentView().elevation, 45.0);
            QCOMPARE(c->Chart3D->currentView().azimuth, 45.0);
            QVERIFY(!c->Chart3D->zoneColouring());
            shown = wholeSurfaceShown(c);
            QVERIFY2(shown.isEmpty(), qPrintable(QStringLiteral("Reset: ") + shown + at));
        }
        // Another strategy, in money: other value labels, still inside.
        clickNode(run.window(), QStringLiteral("T6S1"));
        clickOn(c->chkPercent);
        shown = wholeSurfaceShown(c);
        QVERIFY2(shown.isEmpty(), qPrintable(shown));

        // Dragging with the left button turns the view.
        const QPoint from(surface->width() / 2, surface->height() / 2);
        QTest::mousePress(surface, Qt::LeftButton, {}, from);
        for (int dx = 10; dx <= 80; dx += 10)
            QTest::mouseMove(surface, from + QPoint(dx, 5), 10);
        QTest::mouseRelease(surface, Qt::LeftButton, {}, from + QPoint(80, 5));
        QTRY_VERIFY_WITH_TIMEOUT(c->Chart3D->currentView().azimuth != 45.0, test::kWindowSystemWait);
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void readOutNamesThePointUnderThePointer()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run(m_args);
        frm3dChart* c = started(run);
        QVERIFY(c != nullptr);
        QWindow* surface = c->Chart3D->drawingWindow();
        QVERIFY(surface != nullptr);
        const QPoint middle(surface->width() / 2, surface->height() * 6 / 10);

        // Locked for the first seconds after start.
        QVERIFY(!c->UnlockMouseMove);
        QTest::mouseMove(surface, middle);
        QTest::qWait(300);
        QVERIFY(readOutEmpty(c));

        // The start-up timer unlocks it.
        ui::DelayTimer(run.window())->setInterval(0);
        ui::DelayTimer(run.window())->start();
        QTRY_VERIFY_WITH_TIMEOUT(c->UnlockMouseMove, test::kWindowSystemWait);
        QTest::mouseMove(surface, middle + QPoint(3, 0));
        QTRY_VERIFY_WITH_TIMEOUT(c->txtPrice->text().startsWith(QStringLiteral(" Price: ")), test::kWindowSystemWait);
        bool ok = false;
        const double price = c->txtPrice->text().mid(8).toDouble(&ok);
        QVERIFY(ok);
        QVERIFY(std::find(c->priceValues().begin(), c->priceValues().end(), price) != c->priceValues().end());
        QVERIFY(c->txtDays->text().startsWith(QStringLiteral(" Days: ")));
        const int days = c->txtDays->text().mid(7).toInt(&ok);
        QVERIFY(ok);
        QVERIFY(std::find(c->dayValues().begin(), c->dayValues().end(), days) != c->dayValues().end());
        QVERIFY(c->txtValue->text().startsWith(QStringLiteral(" Profit: ")));

        // A new surface: what the boxes named is no longer drawn, they empty.
        QTest::mouseClick(c->cmdZone, Qt::LeftButton);
        const QPoint centre(surface->width() / 2, surface->height() / 2);
        QTest::mouseMove(surface, centre);
        QTRY_VERIFY_WITH_TIMEOUT(c->txtValue->text().startsWith(QStringLiteral(" Profit: ")), test::kWindowSystemWait);
        const QString before = c->txtValue->text();
        // (Through the group, whose chart is empty: switching from strategy
        // to strategy updates the surface in place, and the read-out then
        // stays empty while the pointer rests over the point it named.)
        clickNode(run.window(), QStringLiteral("T6"));
        QVERIFY(readOutEmpty(c));
        clickNode(run.window(), QStringLiteral("T6S1"));
        QVERIFY(readOutEmpty(c));
        QCoreApplication::processEvents();
        QVERIFY(readOutEmpty(c));
        // The pointer over the same place reads the new surface.
        QTest::mouseMove(surface, centre + QPoint(1, 0));
        QTRY_VERIFY_WITH_TIMEOUT(c->txtValue->text().startsWith(QStringLiteral(" Profit: ")), test::kWindowSystemWait);
        const auto row = std::find(c->priceValues().begin(), c->priceValues().end(),
                                   c->txtPrice->text().mid(8).toDouble()) - c->priceValues().begin();
        const auto column = std::find(c->dayValues().begin(), c->dayValues().end(),
                                      c->txtDays->text().mid(7).toInt()) - c->dayValues().begin();
        QVERIFY(row < 30 && column < 30);
        QCOMPARE(c->txtValue->text(), QStringLiteral(" Profit: ")
                                          + QLocale().toString(c->Chart3D->value(int(row), int(column)), 'f', 2));
        QVERIFY(c->txtValue->text() != before);
        // The percent box draws the surface again, in money: emptied too.
        clickOn(c->chkPercent);
        QVERIFY(readOutEmpty(c));

        // Off the surface: the boxes empty.
        QTest::mouseMove(surface, QPoint(2, 2));
        QTRY_VERIFY_WITH_TIMEOUT(readOutEmpty(c), test::kWindowSystemWait);

        // With a button held nothing is read out.
        QTest::mousePress(surface, Qt::LeftButton, {}, QPoint(2, 2));
        QTest::mouseMove(surface, middle);
        QTest::qWait(300);
        QVERIFY(readOutEmpty(c));
        QTest::mouseRelease(surface, Qt::LeftButton, {}, middle);

        // An empty chart has nothing under the pointer.
        clickNode(run.window(), QStringLiteral("T2"));
        QTest::mouseMove(surface, middle + QPoint(-4, 0));
        QTest::qWait(300);
        QVERIFY(readOutEmpty(c));
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void closeHidesAndThePlaceComesBack()
    {
        QRectF normal;
        {
            test::ScriptedDialogs dialogs;
            test::MainWindowRun run(m_args);
            frm3dChart* c = started(run);
            QVERIFY(c != nullptr);
            // Refused below 300 x 200 pixels.
            c->resize(120, 90);
            QTRY_VERIFY_WITH_TIMEOUT(c->width() >= 300 && c->height() >= 200, test::kWindowSystemWait);
            platform::setOuterTwips(c, QRectF(9000, 3000, 7500, 6000));
            QTRY_VERIFY_WITH_TIMEOUT(std::abs(platform::outerTwips(c).left() - 9000) < 40, test::kWindowSystemWait);
            normal = platform::outerTwips(c);

            // The close box only hides: the surface stays for the next show.
            c->close();
            QVERIFY(!c->isVisible());
            QCOMPARE(frm3dChart::loaded(), c);
            QCOMPARE(c->Chart3D->rowCount(), 30);
            run->Select3DChart();
            QVERIFY(QTest::qWaitForWindowExposed(c, test::kWindowSystemWait));
            QCOMPARE(c->Chart3D->rowCount(), 30);

            clickOn(c->chkPercent);
            QVERIFY(!c->chkPercent->isChecked());
            c->showMaximized();
            QTRY_VERIFY_WITH_TIMEOUT(c->isMaximized(), test::kWindowSystemWait);
            QVERIFY(run.close());
            QVERIFY(frm3dChart::loaded() == nullptr);
        }
        QCOMPARE(test::storedInt(QStringLiteral("3DP"), -1), 0);
        QCOMPARE(test::storedInt(QStringLiteral("3dChartWindowState"), -1), 2);
        QCOMPARE(test::storedText(QStringLiteral("3dChartVisible")), QStringLiteral("True"));
        // The normal bounds, not the maximised ones.
        QVERIFY(std::abs(test::storedDouble(QStringLiteral("3dChartLeft"), 0) - normal.left()) < 40);
        QVERIFY(std::abs(test::storedDouble(QStringLiteral("3dChartWidth"), 0) - normal.width()) < 40);

        test::ScriptedDialogs dialogs;
        test::MainWindowRun run(m_args);
        frm3dChart* c = started(run);
        QVERIFY(c != nullptr);
        QVERIFY(!c->chkPercent->isChecked());
        QCOMPARE(c->Chart3D->axisTitle(Chart3D::AxisZ), QStringLiteral("Profit/Loss"));
        const auto near = [&normal](const QRectF& r) {
            return std::abs(r.left() - normal.left()) < 40 && std::abs(r.top() - normal.top()) < 40
                && std::abs(r.width() - normal.width()) < 40 && std::abs(r.height() - normal.height()) < 40;
        };
        QTRY_VERIFY_WITH_TIMEOUT(near(platform::outerTwips(c)), test::kWindowSystemWait);
    }

    void closeBoxHidesAndEveryOpenCommandShowsItAgain()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run(m_args);
        frm3dChart* c = started(run);
        QVERIFY(c != nullptr);
        // The close box hides the window and keeps it.
        const auto closedByTheBox = [c] {
            pressCloseBox(c);
            return QTest::qWaitFor([c] { return !c->isVisible(); }, test::kWindowSystemWait) && frm3dChart::loaded() == c;
        };

        // Windows > 3D chart on the menu bar.
        QVERIFY(closedByTheBox());
        QVERIFY(test::chooseFromMenuBar(run.window(), QStringLiteral("&Windows"),
                                        QStringLiteral("&3D chart")));
        QTRY_VERIFY_WITH_TIMEOUT(c->isVisible(), test::kWindowSystemWait);
        QCOMPARE(frm3dChart::loaded(), c);

        // The main window's toolbar button.
        QVERIFY(closedByTheBox());
        test::clickButton(ui::tbrTools(run.window()), "3Dchart");
        QTRY_VERIFY_WITH_TIMEOUT(c->isVisible(), test::kWindowSystemWait);

        // A 2-D chart's "3DChart" button.
        test::clickButton(ui::tbrTools(run.window()), "newchart");
        frmChart* chart = run->chartByKey(QStringLiteral("C0"));
        QVERIFY(chart != nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(chart, test::kWindowSystemWait));
        QVERIFY(closedByTheBox());
        test::clickButton(chart->tbrChartMode, "3DChart");
        QTRY_VERIFY_WITH_TIMEOUT(c->isVisible(), test::kWindowSystemWait);
        QVERIFY(QTest::qWaitForWindowExposed(c, test::kWindowSystemWait));
        QCOMPARE(frm3dChart::loaded(), c);
        QCOMPARE(c->Chart3D->rowCount(), 30);
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void savedPlaceOutOfRangeGivesTheDefault()
    {
        test::storeSetting(QStringLiteral("StgLeft"), 0);
        test::storeSetting(QStringLiteral("StgTop"), 0);
        test::storeSetting(QStringLiteral("StgWidth"), 12000);
        test::storeSetting(QStringLiteral("StgHeight"), 9000);
        test::storeSetting(QStringLiteral("3dChartLeft"), QStringLiteral("1e300"));
        test::storeSetting(QStringLiteral("3dChartTop"), QStringLiteral("nan"));
        test::storeSetting(QStringLiteral("3dChartWidth"), -5000);
        test::storeSetting(QStringLiteral("3dChartHeight"), QStringLiteral("inf"));
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run(m_args);
        frm3dChart* c = started(run);
        QVERIFY(c != nullptr);
        const QRect area = platform::workArea(c);
        const QRect frame = test::frameOf(c);
        QVERIFY2(area.intersects(frame) && frame.width() >= 300 && frame.height() >= 200 && frame.width() < 5000,
                 qPrintable(QStringLiteral("%1,%2 %3x%4").arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height())));
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void minimisedWindowKeepsItsSurface()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run(m_args);
        frm3dChart* c = started(run);
        QVERIFY(c != nullptr);
        const double before = c->Chart3D->value(15, 0);
        const std::vector<double> prices = c->priceValues();
        c->showMinimized();
        QTRY_VERIFY_WITH_TIMEOUT(c->isMinimized(), test::kWindowSystemWait);
        // A new strategy while minimised: nothing is drawn.
        clickNode(run.window(), QStringLiteral("T6S1"));
        QCOMPARE(c->Chart3D->value(15, 0), before);
        QVERIFY(c->priceValues() == prices);
        // Shown again by the main window, the next change draws.
        run->Select3DChart();
        QTRY_VERIFY_WITH_TIMEOUT(!c->isMinimized(), test::kWindowSystemWait);
        clickNode(run.window(), QStringLiteral("T1S2"));
        QVERIFY(c->Chart3D->value(15, 0) != before);
        QVERIFY(dialogs.errorReports.isEmpty());
    }
};

TW_QTEST_MAIN(Chart3DWindowTest)

#include "Chart3DWindowTest.moc"
