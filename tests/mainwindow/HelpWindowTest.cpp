// The Help menu and the toolbar's help button open the program's own help
// window (no web browser needed): the contents, the index with its keyword
// search, Back, and a place that is kept from one opening to the next.

#include "MainWindowFixtures.h"

#include "app/CAppSettings.h"
#include "app/QtDialogs.h"
#include "app/Tools.h"
#include "app/frmHelp.h"
#include "mainwindow/frmStrategies.h"
#include "platform/PopupMenu.h"
#include "platform/Toolbar.h"
#include "platform/WindowGeometry.h"
#include "support/MainWindowRun.h"
#include "support/QtTestMain.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

using namespace tw;

namespace {

// Scripted questions, but the real help window.
class RealHelp : public test::ScriptedDialogs {
public:
    bool showHelp(const QUrl& page) override { return QtDialogs().showHelp(page); }
};

void clickMenu(frmStrategies* w, const char* key)
{
    const int n = w->m_cMenu->IndexOfKey(QLatin1String(key));
    QVERIFY2(n > 0, key);
    emit w->m_cMenu->Click(n);
}

QString shownPage(const frmHelp* h)
{
    return QFileInfo(h->txtPage->source().toLocalFile()).fileName();
}

} // namespace

class HelpWindowTest : public QObject {
    Q_OBJECT

    test::SampleFiles m_files;

private slots:
    void initTestCase()
    {
        QVERIFY(m_files.write());
        test::environment().clearSettings();
        test::storeQuietStart();
    }

    void helpCommandsOpenTheProgramsOwnHelpWindow()
    {
        RealHelp dialogs;
        test::MainWindowRun run({"-S", m_files.stg});
        frmStrategies* w = run.window();
        clickMenu(w, "mnuHelpContents");
        QPointer<frmHelp> help = frmHelp::loaded();
        QVERIFY(help != nullptr && help->isVisible());
        QCOMPARE(shownPage(help), QStringLiteral("t01.htm"));
        QCOMPARE(help->tabNavigation->currentIndex(), 0);
        QVERIFY(dialogs.openedUrls.isEmpty()); // no browser
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(help->tvContents->topLevelItemCount(), 3);

        // A click on a book of the contents shows its page; Back returns.
        QTreeWidgetItem* charts = help->tvContents->topLevelItem(2);
        help->tvContents->scrollToItem(charts);
        QTest::mouseClick(help->tvContents->viewport(), Qt::LeftButton, {},
                          help->tvContents->visualItemRect(charts).center());
        QCOMPARE(shownPage(help), QStringLiteral("t06.htm"));
        QVERIFY(help->cmdBack->isEnabled());
        QTest::mouseClick(help->cmdBack, Qt::LeftButton);
        QCOMPARE(shownPage(help), QStringLiteral("t01.htm"));

        // Help > Index: the same window, at its index; a typed keyword and
        // Return go to its section.
        clickMenu(w, "mnuHelpIndex");
        QCOMPARE(frmHelp::loaded(), help.data());
        QCOMPARE(help->tabNavigation->currentIndex(), 1);
        QTest::keyClicks(help->txtIndex, QStringLiteral("gamma"));
        QTest::keyClick(help->txtIndex, Qt::Key_Return);
        QCOMPARE(shownPage(help), QStringLiteral("t06.htm"));
        QCOMPARE(help->txtPage->source().fragment(), QStringLiteral("y"));

        // The toolbar's help button shows the contents again.
        const int b = w->tbrTools->ButtonIndex(QStringLiteral("help"));
        QVERIFY(b > 0);
        w->tbrTools->ButtonWidget(b)->click();
        QCOMPARE(shownPage(help), QStringLiteral("t01.htm"));
        QVERIFY(dialogs.messages.isEmpty());

        // The window's place is kept: the next opening puts it back.
        platform::setOuterPixels(help, QRect(70, 60, 640, 480));
        QTRY_COMPARE(help->frameGeometry(), QRect(70, 60, 640, 480));
        help->close();
        QTRY_VERIFY(help.isNull());
        QCOMPARE(appSettings().GetAllKeys(QStringLiteral("Windows settings\\frmHelp")).size(), 9);
        clickMenu(w, "mnuHelpContents");
        help = frmHelp::loaded();
        QVERIFY(help != nullptr);
        QTRY_COMPARE(help->frameGeometry(), QRect(70, 60, 640, 480));
        help->close();
    }
};

TW_QTEST_MAIN(HelpWindowTest)
#include "HelpWindowTest.moc"
