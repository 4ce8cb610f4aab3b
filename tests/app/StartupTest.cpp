#include "support/MainWindowControls.h"
#include "app/CAppSettings.h"
#include "app/CErrorHandler.h"
#include "app/Tools.h"
#include "app/TwApplication.h"
#include "charts/frm3dChart.h"
#include "mainwindow/frmStrategies.h"
#include "platform/FileWrite.h"
#include "platform/RegistryStore.h"
#include "support/MainWindowRun.h"
#include "support/ScriptedDialogs.h"
#include "support/QtTestMain.h"
#include "../mainwindow/MainWindowFixtures.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QtTest>

using namespace tw;

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void mainStartsAndClosesCleanly()
    {
        test::ScriptedDialogs dialogs;
        setProcessArguments({QStringLiteral("/TRACE=0"), QStringLiteral("/x=1")});
        Main();

        QVERIFY(gErrorHandler != nullptr);
        QCOMPARE(gErrorHandler->ErrorHandlerActions(), int32_t(CErrorHandler::ActionErrorDialog));
        QVERIFY(gErrorHandler->CallStackEnabled());
        QVERIFY(!gErrorHandler->TracingEnabled());
        QCOMPARE(gErrorHandler->SupportMail(), supportMailAddress());
        QVERIFY(gErrorHandler->TracingLogFile().endsWith(QStringLiteral("/Tarnwell.trace.txt")));
        QVERIFY(gAppSettings != nullptr);
        QCOMPARE(gAppSettings->CompanyName(), QStringLiteral("Myrtova"));
        QCOMPARE(gAppSettings->appName(), QStringLiteral("Tarnwell"));

        QPointer<frmStrategies> window = frmStrategies::instance();
        QVERIFY(window != nullptr);
        QVERIFY(window->isVisible());
        QVERIFY(ui::DelayTimer(window)->isActive());
        QCOMPARE(gErrorHandler->callStackDepth(), 0); // every push was popped
        QVERIFY(dialogs.errorReports.isEmpty());

        window->close();
        QTRY_VERIFY(window.isNull());
        QVERIFY(frmStrategies::instance() == nullptr);
    }

    // An earlier run killed while it wrote the settings left a partial copy
    // in their folder: the start takes it away, but not the copy of a write
    // running meanwhile.
    void theStartRemovesPartialCopiesOfSettings()
    {
        test::ScriptedDialogs dialogs;
        const QDir folder(platform::RegistryStore::folder());
        platform::FileReplacement running(folder.filePath(QStringLiteral("other.json")));
        QVERIFY(folder.mkpath(QStringLiteral(".")) && running.write("{}"));
        QFile leftover(folder.filePath(QStringLiteral(".tarnwell-save-Kill01")));
        QVERIFY(leftover.open(QIODevice::WriteOnly) && leftover.write("{\"root\":") > 0);
        leftover.close();

        setProcessArguments({});
        Main();
        QPointer<frmStrategies> window = frmStrategies::instance();
        QVERIFY(window != nullptr);
        QVERIFY(!leftover.exists());
        QVERIFY(running.commit());
        QVERIFY(QFile::remove(folder.filePath(QStringLiteral("other.json"))));
        window->close();
        QTRY_VERIFY(window.isNull());
    }

    void traceSwitchOnTheCommandLine()
    {
        setProcessArguments({QStringLiteral("/trace=true")});
        Main();
        QVERIFY(gErrorHandler->TracingEnabled());
        gErrorHandler->setTracingEnabled(false);
        gErrorHandler->Clear(false, true);
        frmStrategies::instance()->close();
        QTRY_VERIFY(frmStrategies::instance() == nullptr);
    }

    // Settings that cannot be written: one plain message in the whole run,
    // from the start through a changed pricing box to File > Exit, which
    // closes the program as usual.
    void settingsThatCannotBeWrittenAreToldOnce()
    {
        test::ScriptedDialogs dialogs;
        QVERIFY(test::environment().blockSettings());
        setProcessArguments({QStringLiteral("-S"), test::shippedFile(QStringLiteral("DEFAULT.STG")), QStringLiteral("-O"),
                             test::shippedFile(QStringLiteral("SAMPLE.opt"))});
        Main();
        QPointer<frmStrategies> w = frmStrategies::instance();
        QVERIFY(w != nullptr && w->isVisible());

        ui::txtVolatility(w)->selectAll();
        QTest::keyClicks(ui::txtVolatility(w), QStringLiteral("40"));
        QTest::keyClick(ui::txtVolatility(w), Qt::Key_Return);
        QCOMPARE(w->session().volatility(), 40.0);
        QVERIFY(!test::visibleChartWindows().isEmpty());
        QVERIFY(test::chooseFromMenuBar(w, QStringLiteral("&File"), QStringLiteral("Exit")));
        QTRY_VERIFY(w.isNull());
        QVERIFY(test::visibleChartWindows().isEmpty());
        QVERIFY(frm3dChart::loaded() == nullptr);

        QVERIFY(dialogs.errorReports.isEmpty());
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY(dialogs.messages[0].text.contains(platform::RegistryStore::folder()));
        QVERIFY(dialogs.messages[0].text.contains(QStringLiteral("will not be kept")));
        test::environment().clearSettings();
    }
};

TW_QTEST_MAIN(StartupTest)

#include "StartupTest.moc"
