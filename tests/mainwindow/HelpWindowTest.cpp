// The Help menu and the toolbar's help button open the program's own help
// window (no web browser needed): the contents, the index with its keyword
// search, Back, Forward and Contents, and a place that is kept from one
// opening to the next. Everything is reached by clicks and keys.

#include "support/MainWindowControls.h"
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
#include <QListWidget>
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
        QVERIFY(test::chooseFromMenuBar(w, QStringLiteral("&Help"), QStringLiteral("&Contents")));
        QPointer<frmHelp> help = frmHelp::loaded();
        QVERIFY(help != nullptr && help->isVisible());
        QCOMPARE(shownPage(help), QStringLiteral("t01.htm"));
        QCOMPARE(help->tabNavigation->currentIndex(), 0);
        QVERIFY(dialogs.openedUrls.isEmpty()); // no browser
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(help->tvContents->topLevelItemCount(), 3);

        // A click on a book of the contents shows its page; Back returns,
        // Forward goes there again, Contents shows the contents page.
        QTreeWidgetItem* charts = help->tvContents->topLevelItem(2);
        help->tvContents->scrollToItem(charts);
        QTest::mouseClick(help->tvContents->viewport(), Qt::LeftButton, {},
                          help->tvContents->visualItemRect(charts).center());
        QCOMPARE(shownPage(help), QStringLiteral("t06.htm"));
        QVERIFY(help->cmdBack->isEnabled());
        QVERIFY(!help->cmdForward->isEnabled());
        QTest::mouseClick(help->cmdBack, Qt::LeftButton);
        QCOMPARE(shownPage(help), QStringLiteral("t01.htm"));
        QVERIFY(help->cmdForward->isEnabled());
        QTest::mouseClick(help->cmdForward, Qt::LeftButton);
        QCOMPARE(shownPage(help), QStringLiteral("t06.htm"));
        QVERIFY(!help->cmdForward->isEnabled());
        QTest::mouseClick(help->cmdContents, Qt::LeftButton);
        QCOMPARE(shownPage(help), QStringLiteral("t01.htm"));
        QCOMPARE(help->tabNavigation->currentIndex(), 0);

        // Help > Index: the same window, at its index; a typed keyword and
        // Return go to its section.
        QVERIFY(test::chooseFromMenuBar(w, QStringLiteral("&Help"), QStringLiteral("&Index")));
        QCOMPARE(frmHelp::loaded(), help.data());
        QCOMPARE(help->tabNavigation->currentIndex(), 1);
        QTest::keyClicks(help->txtIndex, QStringLiteral("gamma"));
        QTest::keyClick(help->txtIndex, Qt::Key_Return);
        QCOMPARE(shownPage(help), QStringLiteral("t06.htm"));
        QCOMPARE(help->txtPage->source().fragment(), QStringLiteral("y"));
        // A click on the keyword in the list goes to its section too.
        QTest::mouseClick(help->cmdContents, Qt::LeftButton);
        QCOMPARE(shownPage(help), QStringLiteral("t01.htm"));
        help->tabNavigation->setCurrentIndex(1);
        QCOMPARE(help->lstIndex->count(), 1);
        QTest::mouseClick(help->lstIndex->viewport(), Qt::LeftButton, {},
                          help->lstIndex->visualItemRect(help->lstIndex->item(0)).center());
        QCOMPARE(shownPage(help), QStringLiteral("t06.htm"));
        QCOMPARE(help->txtPage->source().fragment(), QStringLiteral("y"));

        // The toolbar's help button shows the contents again.
        const int b = ui::tbrTools(w)->ButtonIndex(QStringLiteral("help"));
        QVERIFY(b > 0);
        QTest::mouseClick(ui::tbrTools(w)->ButtonWidget(b), Qt::LeftButton);
        QCOMPARE(shownPage(help), QStringLiteral("t01.htm"));
        QVERIFY(dialogs.messages.isEmpty());

        // The window's place is kept: the next opening puts it back.
        platform::setOuterPixels(help, QRect(70, 60, 640, 480));
        QTRY_COMPARE(help->frameGeometry(), QRect(70, 60, 640, 480));
        help->close();
        QTRY_VERIFY(help.isNull());
        QCOMPARE(appSettings().GetAllKeys(QStringLiteral("Windows settings\\frmHelp")).size(), 9);
        QVERIFY(test::chooseFromMenuBar(w, QStringLiteral("&Help"), QStringLiteral("&Contents")));
        help = frmHelp::loaded();
        QVERIFY(help != nullptr);
        QTRY_COMPARE(help->frameGeometry(), QRect(70, 60, 640, 480));
        help->close();
    }
};

TW_QTEST_MAIN(HelpWindowTest)
#include "HelpWindowTest.moc"
