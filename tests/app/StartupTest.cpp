#include "support/MainWindowControls.h"
#include "app/CAppSettings.h"
#include "app/CErrorHandler.h"
#include "app/Tools.h"
#include "app/TwApplication.h"
#include "mainwindow/frmStrategies.h"
#include "support/ScriptedDialogs.h"
#include "support/QtTestMain.h"

#include <QFile>
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
};

TW_QTEST_MAIN(StartupTest)

#include "StartupTest.moc"
