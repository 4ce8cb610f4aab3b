#include "app/AppInfo.h"
#include "app/CErrorHandler.h"
#include "app/Dialogs.h"
#include "app/Tools.h"
#include "app/frmAbout.h"
#include "app/frmSysInfo.h"
#include "app/frmSplash.h"
#include "mainwindow/frmStrategies.h"
#include "platform/RegistryStore.h"
#include "support/QtTestMain.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScreen>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QtTest>

using namespace tw;
using platform::RegistryStore;
using platform::RegValue;

namespace {

// Records the order in which the splash and the main window are shown and
// hidden.
class ShowLog : public QObject {
public:
    QStringList events;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if ((event->type() == QEvent::Show || event->type() == QEvent::Hide) && watched->isWidgetType()) {
            const QString name = watched->objectName();
            if (name == QLatin1String("frmSplash") || name == QLatin1String("frmStrategies"))
                events.append(name + (event->type() == QEvent::Show ? QStringLiteral(" shown") : QStringLiteral(" hidden")));
        }
        return false;
    }
};

// A small program that leaves a mark beside itself when it runs.
QString writeMarkerProgram(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    f.write("#!/bin/sh\ntouch \"$0.ran\"\n");
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path + QStringLiteral(".ran");
}

} // namespace

class SplashAboutTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        test::environment().clearSettings();
    }

    void cleanup()
    {
        frmSplash::unload();
        if (frmAbout* about = frmAbout::loaded())
            about->close();
        QTRY_VERIFY(frmSplash::loaded() == nullptr && frmAbout::loaded() == nullptr);
        QCOMPARE(errorHandler().callStackDepth(), 0);
    }

    void versionText_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << "1.0.0" << "Version 1.0.0";
        QTest::newRow("leading zeros") << "1.01.007" << "Version 1.1.7";
        QTest::newRow("missing revision") << "2.3" << "Version 2.3.0";
        QTest::newRow("four parts") << "4.5.6.7" << "Version 4.5.6";
        QTest::newRow("empty") << "" << "Version 0.0.0";
    }
    void versionText()
    {
        QFETCH(QString, version);
        QFETCH(QString, text);
        QCOMPARE(tw::versionText(version), text);
    }

    void splashShowsItsTexts()
    {
        frmSplash* splash = frmSplash::instance();
        QCOMPARE(frmSplash::instance(), splash); // one splash window
        QCOMPARE(splash->lblVersion->text(), tw::versionText(QCoreApplication::applicationVersion()));
        QVERIFY(QRegularExpression(QStringLiteral("^Version \\d+\\.\\d+\\.\\d+$"))
                    .match(splash->lblVersion->text())
                    .hasMatch());
        QVERIFY(splash->lblPlatform->text().contains(QStringLiteral("Linux")));
        QCOMPARE(splash->lblCompany->text(), QStringLiteral("Distributed by Myrtova"));
        QVERIFY(!splash->lblCopyright->text().isEmpty());
        QVERIFY(!splash->lblWarning->text().isEmpty());
        QVERIFY(!splash->picTitle->pixmap().isNull());
        for (const char* name : {"Frame1", "picTitle", "lblVersion", "lblPlatform", "lblCompany", "lblCopyright",
                                 "lblWarning"})
            QVERIFY2(splash->findChild<QWidget*>(QLatin1String(name)) != nullptr, name);
        QCOMPARE(splash->lblVersion->parentWidget(), splash->Frame1);
    }

    void splashClosesOnClickOrKey_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("key");
        QTest::newRow("window") << "frmSplash" << false;
        QTest::newRow("frame") << "Frame1" << false;
        QTest::newRow("label in the frame") << "lblCompany" << false;
        QTest::newRow("title picture") << "picTitle" << false;
        QTest::newRow("letter key") << "frmSplash" << true;
    }
    void splashClosesOnClickOrKey()
    {
        QFETCH(QString, target);
        QFETCH(bool, key);
        QPointer<frmSplash> splash = frmSplash::instance();
        splash->show();
        QVERIFY(QTest::qWaitForWindowExposed(splash));
        QWidget* w = target == splash->objectName() ? splash.data() : splash->findChild<QWidget*>(target);
        QVERIFY(w != nullptr);
        if (key)
            QTest::keyClick(w, Qt::Key_A);
        else
            QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(3, 3));
        QVERIFY(frmSplash::loaded() == nullptr);
        QTRY_VERIFY(splash.isNull());
        // Unloading it again (as Main does) finds it gone and does nothing.
        frmSplash::unload();
        QVERIFY(frmSplash::loaded() == nullptr);
    }

    void splashIgnoresTheRightButton()
    {
        frmSplash* splash = frmSplash::instance();
        splash->show();
        QTest::mouseClick(splash->Frame1, Qt::RightButton);
        QCOMPARE(frmSplash::loaded(), splash);
    }

    void mainShowsTheSplashWhileTheMainWindowLoads()
    {
        test::ScriptedDialogs dialogs;
        ShowLog log;
        qApp->installEventFilter(&log);
        setProcessArguments({});
        Main();
        qApp->removeEventFilter(&log);

        QVERIFY(frmSplash::loaded() == nullptr);
        QPointer<frmStrategies> main = frmStrategies::instance();
        QVERIFY(main != nullptr && main->isVisible());
        QVERIFY(!QApplication::windowIcon().isNull());
        const qsizetype shown = log.events.indexOf(QStringLiteral("frmSplash shown"));
        const qsizetype hidden = log.events.indexOf(QStringLiteral("frmSplash hidden"));
        QVERIFY2(shown >= 0 && hidden > shown, qPrintable(log.events.join(QStringLiteral(", "))));
        QVERIFY(log.events.indexOf(QStringLiteral("frmStrategies shown")) > shown);
        QVERIFY(dialogs.errorReports.isEmpty());
        main->close();
        QTRY_VERIFY(main.isNull());
    }

    void aboutShowsItsTexts()
    {
        frmAbout* about = frmAbout::display();
        QVERIFY(about->isVisible());
        QVERIFY(!about->isModal());
        QCOMPARE(about->windowTitle(), QStringLiteral("About Tarnwell"));
        QCOMPARE(about->lblVersion->text(), tw::versionText(QCoreApplication::applicationVersion()));
        QVERIFY(!about->lblCopyright->text().isEmpty());
        QVERIFY(!about->lblDisclaimer->text().isEmpty());
        QCOMPARE(about->lblDeveloperInfo->text(), QStringLiteral("Developer info:"));
        QVERIFY(!about->lblHLink->text().contains(QStringLiteral("://")));
        QCOMPARE(about->cmdOK->text(), QStringLiteral("OK"));
        QCOMPARE(about->cmdSysInfo->text(), QStringLiteral("&System Info..."));
        QVERIFY(!about->picIcon->pixmap().isNull());
    }

    void aboutIsSingleAndLoadsAtEveryOpening()
    {
        QPointer<frmAbout> first = frmAbout::display();
        QCOMPARE(frmAbout::display(), first.data()); // a second opening shows the same window
        first->lblVersion->setText(QStringLiteral("changed"));
        QTest::mouseClick(first->cmdOK, Qt::LeftButton);
        QVERIFY(frmAbout::loaded() == nullptr);
        QTRY_VERIFY(first.isNull());

        frmAbout* second = frmAbout::display();
        QCOMPARE(second->lblVersion->text(), tw::versionText(QCoreApplication::applicationVersion()));

        // Escape and the window's close box unload it as well.
        QPointer<frmAbout> w = second;
        QTest::keyClick(second, Qt::Key_Escape);
        QTRY_VERIFY(w.isNull());
        w = frmAbout::display();
        w->close();
        QVERIFY(frmAbout::loaded() == nullptr);
        QTRY_VERIFY(w.isNull());
    }

    void aboutLinkOpensTheWebPage()
    {
        test::ScriptedDialogs dialogs;
        frmAbout* about = frmAbout::display();
        QTest::mouseClick(about->lblHLink, Qt::LeftButton);
        QCOMPARE(dialogs.openedUrls.size(), 1);
        QCOMPARE(dialogs.openedUrls.front(), QUrl(QStringLiteral("http://") + about->lblHLink->text()));
        QCOMPARE(dialogs.openedUrls.front().scheme(), QStringLiteral("http"));
        QVERIFY(dialogs.messages.isEmpty());
    }

    void getKeyValue_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("expected");
        QTest::newRow("text with its NUL") << "T" << "withNul" << true << "/opt/tools/sysinf";
        QTest::newRow("text without NUL") << "T" << "plain" << true << "/opt/tools/sysinfo";
        QTest::newRow("only a NUL") << "T" << "nul" << true << "";
        QTest::newRow("number") << "T" << "number" << true << "42";
        QTest::newRow("other kind keeps the text") << "T" << "expand" << true << "before";
        QTest::newRow("missing value") << "T" << "nothing" << false << "";
        QTest::newRow("missing key") << "T\\Nowhere" << "plain" << false << "";
    }
    void getKeyValue()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(bool, found);
        QFETCH(QString, expected);
        RegistryStore store(RegistryStore::LocalMachine);
        // An 11-character path written with its terminating NUL, and one without.
        QVERIFY(store.setValue(QStringLiteral("T"), QStringLiteral("withNul"),
                               RegValue::fromText(QStringLiteral("/opt/tools/sysinf") + QChar(u'\0'))));
        QVERIFY(store.setValue(QStringLiteral("T"), QStringLiteral("plain"),
                               RegValue::fromText(QStringLiteral("/opt/tools/sysinfo"))));
        QVERIFY(store.setValue(QStringLiteral("T"), QStringLiteral("nul"), RegValue::fromText(QString(QChar(u'\0')))));
        QVERIFY(store.setValue(QStringLiteral("T"), QStringLiteral("number"), RegValue::fromDWord(42)));
        QVERIFY(store.setValue(QStringLiteral("T"), QStringLiteral("expand"),
                               RegValue{platform::RegType::ExpandString, QStringLiteral("$HOME/x"), 0, {}}));

        frmAbout* about = frmAbout::instance();
        QString keyVal = QStringLiteral("before");
        QCOMPARE(about->GetKeyValue(RegistryStore::LocalMachine, key, value, keyVal), found);
        QCOMPARE(keyVal, expected);
        QCOMPARE(errorHandler().callStackDepth(), 0);
    }

    void getKeyValueKeepsTheRootsApart()
    {
        RegistryStore(RegistryStore::CurrentUser)
            .setValue(QStringLiteral("T"), QStringLiteral("v"), RegValue::fromText(QStringLiteral("user")));
        QString keyVal = QStringLiteral("before");
        frmAbout* about = frmAbout::instance();
        QVERIFY(!about->GetKeyValue(RegistryStore::LocalMachine, QStringLiteral("T"), QStringLiteral("v"), keyVal));
        QCOMPARE(keyVal, QString());
        QVERIFY(about->GetKeyValue(RegistryStore::CurrentUser, QStringLiteral("T"), QStringLiteral("v"), keyVal));
        QCOMPARE(keyVal, QStringLiteral("user"));
        keyVal = QStringLiteral("before");
        QVERIFY(!about->GetKeyValue(0x80000003u, QStringLiteral("T"), QStringLiteral("v"), keyVal));
        QCOMPARE(keyVal, QString());
    }

    void sysInfoStartsTheConfiguredTool_data()
    {
        QTest::addColumn<bool>("withNul");
        QTest::newRow("path") << false;
        QTest::newRow("path stored with its NUL") << true;
    }
    void sysInfoStartsTheConfiguredTool()
    {
        QFETCH(bool, withNul);
        test::ScriptedDialogs dialogs;
        QTemporaryDir dir;
        const QString tool = dir.filePath(QStringLiteral("sysinfo-tool"));
        const QString marker = writeMarkerProgram(tool);
        QVERIFY(!marker.isEmpty());
        RegistryStore(RegistryStore::LocalMachine)
            .setValue(QLatin1String(frmAbout::SysInfoPathKey), QStringLiteral("PATH"),
                      RegValue::fromText(withNul ? tool + QChar(u'\0') : tool));
        // The second location names a folder without the tool: the first wins.
        RegistryStore(RegistryStore::LocalMachine)
            .setValue(QLatin1String(frmAbout::SysInfoFolderKey), QStringLiteral("MSINFO"),
                      RegValue::fromText(QStringLiteral("/nonexistent")));

        frmAbout* about = frmAbout::display();
        QTest::mouseClick(about->cmdSysInfo, Qt::LeftButton);
        QTRY_VERIFY(QFile::exists(marker));
        QVERIFY(dialogs.messages.isEmpty());
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void sysInfoFromTheToolFolder()
    {
        test::ScriptedDialogs dialogs;
        QTemporaryDir dir;
        const QString marker = writeMarkerProgram(dir.filePath(QLatin1String(frmAbout::SysInfoProgram)));
        RegistryStore(RegistryStore::LocalMachine)
            .setValue(QLatin1String(frmAbout::SysInfoFolderKey), QStringLiteral("MSINFO"),
                      RegValue::fromText(dir.path()));
        frmAbout::instance()->StartSysInfo();
        QTRY_VERIFY(QFile::exists(marker));
        QVERIFY(dialogs.messages.isEmpty());
    }

    void sysInfoWithoutAToolShowsTheProgramsOwn_data()
    {
        QTest::addColumn<QString>("path");       // first location, empty for none
        QTest::addColumn<QString>("folderFile"); // a file made in the folder of the second location
        QTest::newRow("nothing configured") << QString() << QString();
        QTest::newRow("folder without the tool") << QString() << QStringLiteral("other.exe");
        QTest::newRow("configured tool cannot start") << QStringLiteral("/nonexistent/sysinfo") << QString();
    }
    void sysInfoWithoutAToolShowsTheProgramsOwn()
    {
        QFETCH(QString, path);
        QFETCH(QString, folderFile);
        test::ScriptedDialogs dialogs;
        QTemporaryDir dir;
        RegistryStore lm(RegistryStore::LocalMachine);
        if (!path.isEmpty())
            lm.setValue(QLatin1String(frmAbout::SysInfoPathKey), QStringLiteral("PATH"), RegValue::fromText(path));
        if (!folderFile.isEmpty()) {
            QVERIFY(!writeMarkerProgram(dir.filePath(folderFile)).isEmpty());
            lm.setValue(QLatin1String(frmAbout::SysInfoFolderKey), QStringLiteral("MSINFO"),
                        RegValue::fromText(dir.path()));
        }
        frmAbout* about = frmAbout::display();
        QTest::mouseClick(about->cmdSysInfo, Qt::LeftButton);
        QVERIFY(dialogs.messages.isEmpty());
        QVERIFY(dialogs.errorReports.isEmpty());
        QVERIFY(!QFile::exists(dir.filePath(folderFile) + QStringLiteral(".ran")));
        // What a Linux user wants to know, in a window of its own.
        QPointer<frmSysInfo> info = frmSysInfo::loaded();
        QVERIFY(info != nullptr && info->isVisible());
        const QString text = info->txtInfo->toPlainText();
        for (const QString& part : {programVersion(), QString::fromLatin1(qVersion()), QSysInfo::kernelType(),
                                    QDir::toNativeSeparators(RegistryStore::folder()), QStringLiteral("Trace file: "),
                                    QStringLiteral("Error log: "), QStringLiteral("Screens")})
            QVERIFY2(text.contains(part), qPrintable(part));
        for (const QScreen* s : QGuiApplication::screens())
            QVERIFY(text.contains(QStringLiteral("%1 x %2").arg(s->geometry().width()).arg(s->geometry().height())));
        // Copy puts the report on the clipboard; Close ends the window.
        QTest::mouseClick(info->cmdCopy, Qt::LeftButton);
        QCOMPARE(QApplication::clipboard()->text(), text);
        QTest::mouseClick(info->cmdClose, Qt::LeftButton);
        QTRY_VERIFY(info.isNull());
    }
};

TW_QTEST_MAIN(SplashAboutTest)

#include "SplashAboutTest.moc"
