#include "platform/PopupMenu.h"
#include "support/QtTestMain.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QWidgetAction>
#include <QtTest>
#include <stdexcept>

using tw::platform::PopupMenu;

namespace {

QIcon colourIcon(Qt::GlobalColor c)
{
    QPixmap p(16, 16);
    p.fill(c);
    return QIcon(p);
}

// A menu shaped like the main window's: titles with their items, a heading,
// a plain separator and a nested submenu.
void buildMainMenu(PopupMenu& m)
{
    m.ClearItems();
    const int file = m.AddItem(QStringLiteral("&File"), {}, 0, 0, -1, false, true, QStringLiteral("mnuFileTOP"));
    m.AddItem(QStringLiteral("-Options"), {}, 0, file, -1, false, true, QStringLiteral("mnuFileSeparator0"));
    m.AddItem(QStringLiteral("Load options from file"), {}, 0, file, 1, false, true, QStringLiteral("mnuFileLoad"));
    m.AddItem(QStringLiteral("-"), {}, 0, file, -1, false, true, QStringLiteral("mnuFileSeparator2"));
    m.AddItem(QStringLiteral("Exit"), {}, 0, file, 0, false, true, QStringLiteral("mnuFileExit"));
    const int windows = m.AddItem(QStringLiteral("&Windows"), {}, 0, 0, -1, false, true, QStringLiteral("mnuWindowsTOP"));
    m.AddItem(QStringLiteral("&New chart"), {}, 0, windows, -1, false, true, QStringLiteral("mnuWindowsNewChart"));
    const int res = m.AddItem(QStringLiteral("Resources"), {}, 0, windows, -1, false, true, QStringLiteral("mnuLinkExchanges"));
    m.AddItem(QStringLiteral("Exchange"), {}, 0, res, -1, false, true, QStringLiteral("mnuLinkCBOE"));
    m.AddItem(QStringLiteral("Portal"), {}, 0, res, -1, false, true, QStringLiteral("mnuLinkYahoo"));
    m.AddItem(QStringLiteral("-Opened charts"), {}, 0, windows, -1, false, true, QStringLiteral("mnuChartsTOP"));
    const int help = m.AddItem(QStringLiteral("&Help"), {}, 0, 0, -1, false, true, QStringLiteral("mnuHelpTOP"));
    m.AddItem(QStringLiteral("&Enable tracing"), {}, 0, help, -1, true, true, QStringLiteral("mnuHelpTracing"));
}

QAction* actionByText(const QMenu* menu, const QString& text)
{
    for (QAction* a : menu->actions())
        if (a->text() == text)
            return a;
    return nullptr;
}

QStringList shownTexts(const QMenu* menu)
{
    QStringList out;
    for (QAction* a : menu->actions())
        out << (a->isSeparator() ? QStringLiteral("|") : a->text());
    return out;
}

} // namespace

class PopupMenuTest : public QObject {
    Q_OBJECT

private:
    QWidget* m_owner = nullptr;

    void closePopups()
    {
        while (QWidget* p = QApplication::activePopupWidget())
            p->close();
        QApplication::processEvents();
    }

private slots:
    void init()
    {
        m_owner = new QWidget;
        m_owner->resize(600, 400);
        m_owner->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_owner));
    }

    void cleanup()
    {
        closePopups();
        delete m_owner;
        m_owner = nullptr;
    }

    void itemsAreNumberedFromOneInAddingOrder()
    {
        PopupMenu m;
        buildMainMenu(m);
        QCOMPARE(m.Count(), 13);
        QCOMPARE(m.IndexOfKey(QStringLiteral("mnuFileTOP")), 1);
        QCOMPARE(m.IndexOfKey(QStringLiteral("mnuLinkCBOE")), 9);
        QCOMPARE(m.IndexOfKey(QStringLiteral("nothing")), 0);
        QCOMPARE(m.KeyOfItem(12), QStringLiteral("mnuHelpTOP"));
        QCOMPARE(m.ItemParentIndex(9), 8);
        QCOMPARE(m.ItemParentIndex(8), 6);
        QCOMPARE(m.ItemParentIndex(6), 0);
        QCOMPARE(m.ItemCaption(3), QStringLiteral("Load options from file"));
        QCOMPARE(m.ItemIcon(3), 1);
        QVERIFY(m.ItemChecked(13));
        QVERIFY(!m.ItemChecked(3));
        QVERIFY(m.ItemIsSeparator(2));
        QVERIFY(m.ItemIsSeparator(4));
        QVERIFY(!m.ItemIsSeparator(3));

        m.setItemCaption(7, QStringLiteral("New &chart"));
        m.setItemData(7, 42);
        m.setItemEnabled(7, false);
        m.setItemVisible(11, false);
        m.setItemChecked(13, false);
        QCOMPARE(m.ItemCaption(7), QStringLiteral("New &chart"));
        QCOMPARE(m.ItemData(7), 42);
        QVERIFY(!m.ItemEnabled(7));
        QVERIFY(!m.ItemVisible(11));
        QVERIFY(!m.ItemChecked(13));

        QVERIFY_THROWS_EXCEPTION(std::out_of_range, m.KeyOfItem(0));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, m.ItemCaption(14));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, m.AddItem(QStringLiteral("x"), {}, 0, 99));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, m.InsertItem(QStringLiteral("x"), QStringLiteral("none")));
        QCOMPARE(m.Count(), 13);

        m.ClearItems();
        QCOMPARE(m.Count(), 0);
        QCOMPARE(m.AddItem(QStringLiteral("again")), 1);
    }

    void numbersStayConsistentAfterInsertAndRemove()
    {
        PopupMenu m;
        buildMainMenu(m);

        // Inserted before "Resources": takes its number, in its level.
        const int moveTo = m.InsertItem(QStringLiteral("Move to"), QStringLiteral("mnuLinkExchanges"), {}, 0, 34,
                                        false, true, QStringLiteral("mnuMoveTo"));
        QCOMPARE(moveTo, 8);
        QCOMPARE(m.ItemParentIndex(8), 6);
        QCOMPARE(m.IndexOfKey(QStringLiteral("mnuLinkExchanges")), 9);
        // The sub-items moved up and still point to their parent.
        QCOMPARE(m.IndexOfKey(QStringLiteral("mnuLinkCBOE")), 10);
        QCOMPARE(m.ItemParentIndex(10), 9);
        QCOMPARE(m.ItemParentIndex(11), 9);
        QCOMPARE(m.IndexOfKey(QStringLiteral("mnuHelpTracing")), 14);
        QCOMPARE(m.ItemParentIndex(14), 13);

        // Sub-items under the inserted item, all with one key.
        m.AddItem(QStringLiteral("Group A"), {}, 1, moveTo, 33, false, true, QStringLiteral("mnuMoveToType"));
        m.AddItem(QStringLiteral("Group B"), {}, 3, moveTo, 33, false, true, QStringLiteral("mnuMoveToType"));
        QCOMPARE(m.Count(), 16);
        QCOMPARE(m.IndexOfKey(QStringLiteral("mnuMoveToType")), 15);
        QCOMPARE(m.ItemData(16), 3);
        QCOMPARE(m.ItemParentIndex(16), 8);

        // Removing "Resources" takes its two sub-items along.
        m.RemoveItem(QStringLiteral("mnuLinkExchanges"));
        QCOMPARE(m.Count(), 13);
        QCOMPARE(m.IndexOfKey(QStringLiteral("mnuLinkCBOE")), 0);
        QCOMPARE(m.IndexOfKey(QStringLiteral("mnuLinkYahoo")), 0);
        QCOMPARE(m.IndexOfKey(QStringLiteral("mnuChartsTOP")), 9);
        QCOMPARE(m.IndexOfKey(QStringLiteral("mnuHelpTOP")), 10);
        QCOMPARE(m.ItemParentIndex(11), 10);
        QCOMPARE(m.IndexOfKey(QStringLiteral("mnuMoveToType")), 12);
        QCOMPARE(m.ItemParentIndex(12), 8);
        QCOMPARE(m.ItemParentIndex(13), 8);

        // Removing "Move to" again (as every right-click of the tree does).
        m.RemoveItem(QStringLiteral("mnuMoveTo"));
        QCOMPARE(m.Count(), 10);
        QCOMPARE(m.IndexOfKey(QStringLiteral("mnuMoveToType")), 0);
        QCOMPARE(m.KeyOfItem(10), QStringLiteral("mnuHelpTracing"));
        QCOMPARE(m.ItemParentIndex(10), 9);

        // An unknown key removes nothing (the window list may not hold it).
        m.RemoveItem(QStringLiteral("mnuChartWindowC7"));
        QCOMPARE(m.Count(), 10);

        // A title with everything below it.
        m.RemoveItem(QStringLiteral("mnuWindowsTOP"));
        QCOMPARE(m.Count(), 7);
        QCOMPARE(m.KeyOfItem(6), QStringLiteral("mnuHelpTOP"));
        QCOMPARE(m.ItemParentIndex(7), 6);
    }

    void showAtPopsUpWithoutBlockingAndClicksOnce()
    {
        PopupMenu m;
        m.setOwnerWindow(m_owner);
        m.setImageList({colourIcon(Qt::red), colourIcon(Qt::blue)});
        m.AddItem(QStringLiteral("-Strategies"), {}, 0, 0, -1, false, true, QStringLiteral("sep0"));
        m.AddItem(QStringLiteral("Rename"), QStringLiteral("Renames the node"), 0, 0, 0, false, true, QStringLiteral("rename"));
        m.AddItem(QStringLiteral("Load"), {}, 0, 0, 1, false, false, QStringLiteral("load"));
        m.AddItem(QStringLiteral("-"), {}, 0, 0, -1, false, true, QStringLiteral("sep1"));
        m.AddItem(QStringLiteral("Hidden"), {}, 0, 0, -1, false, true, QStringLiteral("hidden"));
        m.AddItem(QStringLiteral("Checked"), {}, 0, 0, 7, true, true, QStringLiteral("checked"));
        m.setItemVisible(5, false);
        QSignalSpy clicks(&m, &PopupMenu::Click);
        QSignalSpy inits(&m, &PopupMenu::InitPopupMenu);

        m.ShowAt(1500, 3000); // twips of the owner's client area
        QMenu* popup = m.ActivePopup();
        QVERIFY(popup != nullptr); // returned while the menu is open
        QVERIFY(popup->isVisible());
        QCOMPARE(QApplication::activePopupWidget(), popup);
        const QPoint expected = m_owner->mapToGlobal(
            QPoint(qRound(1500 * m_owner->logicalDpiX() / 1440.0), qRound(3000 * m_owner->logicalDpiY() / 1440.0)));
        QCOMPARE(popup->pos(), expected);
        QCOMPARE(inits.count(), 0); // the top level has no parent item

        QCOMPARE(shownTexts(popup),
                 (QStringList{QStringLiteral("Strategies"), QStringLiteral("Rename"), QStringLiteral("Load"),
                              QStringLiteral("|"), QStringLiteral("Checked")}));
        auto* heading = qobject_cast<QWidgetAction*>(popup->actions().at(0));
        QVERIFY(heading != nullptr); // a titled separator, not an item
        QVERIFY(!heading->isEnabled());
        QAction* rename = actionByText(popup, QStringLiteral("Rename"));
        QVERIFY(!rename->icon().isNull());
        QCOMPARE(rename->statusTip(), QStringLiteral("Renames the node"));
        QVERIFY(!actionByText(popup, QStringLiteral("Load"))->isEnabled());
        QVERIFY(actionByText(popup, QStringLiteral("Checked"))->isChecked());
        QVERIFY(actionByText(popup, QStringLiteral("Checked"))->icon().isNull()); // index beyond the list

        QTest::mouseClick(popup, Qt::LeftButton, {}, popup->actionGeometry(rename).center());
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(clicks[0][0].toInt(), 2);
        QTRY_VERIFY(m.ActivePopup() == nullptr);

        // A click on a disabled item or a heading picks nothing.
        m.ShowAt(0, 0);
        popup = m.ActivePopup();
        QVERIFY(popup != nullptr);
        QTest::mouseClick(popup, Qt::LeftButton, {},
                          popup->actionGeometry(actionByText(popup, QStringLiteral("Load"))).center());
        QTest::mouseClick(popup, Qt::LeftButton, {}, popup->actionGeometry(popup->actions().at(0)).center());
        QCOMPARE(clicks.count(), 1);
    }

    void handlerWithAModalWindowOutlivesNoMenu()
    {
        // A command chosen from a popup may ask a question: its window runs
        // an event loop of its own while the menu's click is still being
        // handled. The menu must live until that click is over, and a popup
        // shown again from the handler must work too.
        PopupMenu m;
        m.setOwnerWindow(m_owner);
        m.AddItem(QStringLiteral("Export"), {}, 0, 0, -1, false, true, QStringLiteral("export"));
        QPointer<QMenu> shown;
        bool menuAliveAfterQuestion = false;
        int handled = 0;
        connect(&m, &PopupMenu::Click, this, [&](int) {
            ++handled;
            QEventLoop question;
            QTimer::singleShot(20, &question, &QEventLoop::quit);
            question.exec();
            menuAliveAfterQuestion = !shown.isNull();
            if (handled == 1)
                m.ShowAt(0, 0);
        });
        for (int round = 0; round < 2; ++round) {
            if (round == 1)
                QTRY_VERIFY(m.ActivePopup() != nullptr);
            else
                m.ShowAt(0, 0);
            shown = m.ActivePopup();
            QVERIFY(shown != nullptr);
            QTest::mouseClick(shown, Qt::LeftButton, {}, shown->actionGeometry(shown->actions().at(0)).center());
            QCOMPARE(handled, round + 1);
            QVERIFY(menuAliveAfterQuestion);
        }
    }

    void clickGivesTheItemsCurrentNumber()
    {
        PopupMenu m;
        m.setOwnerWindow(m_owner);
        buildMainMenu(m);
        QSignalSpy clicks(&m, &PopupMenu::Click);
        m.ShowSubmenuAt(0, 0, m.IndexOfKey(QStringLiteral("mnuFileExit")));
        QMenu* popup = m.ActivePopup();
        QVERIFY(popup != nullptr);
        QAction* exitAction = actionByText(popup, QStringLiteral("Exit"));
        QAction* loadAction = actionByText(popup, QStringLiteral("Load options from file"));

        // The list changes while the menu is open: the pick still names the item.
        m.InsertItem(QStringLiteral("New"), QStringLiteral("mnuFileTOP"));
        exitAction->trigger();
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(m.KeyOfItem(clicks[0][0].toInt()), QStringLiteral("mnuFileExit"));
        m.RemoveItem(QStringLiteral("mnuFileLoad"));
        loadAction->trigger();
        QCOMPARE(clicks.count(), 1); // a removed item is not reported
    }

    void submenuLevelsAnnounceThemselvesBeforeOpening()
    {
        PopupMenu m;
        m.setOwnerWindow(m_owner);
        buildMainMenu(m);
        QList<int> inits;
        // The owner disables an item just before its level shows.
        connect(&m, &PopupMenu::InitPopupMenu, this, [&](int parent) {
            inits << parent;
            if (m.KeyOfItem(parent) == QLatin1String("mnuLinkExchanges"))
                m.setItemEnabled(m.IndexOfKey(QStringLiteral("mnuLinkYahoo")), false);
        });

        // Only the level that holds the item.
        m.ShowSubmenuAt(300, 300, m.IndexOfKey(QStringLiteral("mnuLinkCBOE")));
        QCOMPARE(inits, QList<int>{8});
        QMenu* popup = m.ActivePopup();
        QVERIFY(popup != nullptr);
        QCOMPARE(shownTexts(popup), (QStringList{QStringLiteral("Exchange"), QStringLiteral("Portal")}));
        QVERIFY(!actionByText(popup, QStringLiteral("Portal"))->isEnabled());
        closePopups();

        // The whole Windows level, whose "Resources" opens a further level.
        m.setItemEnabled(m.IndexOfKey(QStringLiteral("mnuLinkYahoo")), true);
        inits.clear();
        m.ShowSubmenuAt(0, 0, m.IndexOfKey(QStringLiteral("mnuWindowsNewChart")));
        QCOMPARE(inits, QList<int>{6});
        popup = m.ActivePopup();
        QCOMPARE(shownTexts(popup), (QStringList{QStringLiteral("&New chart"), QStringLiteral("Resources"),
                                                 QStringLiteral("Opened charts")}));
        QMenu* resources = actionByText(popup, QStringLiteral("Resources"))->menu();
        QVERIFY(resources != nullptr);
        resources->popup(popup->mapToGlobal(QPoint(50, 10)));
        QCOMPARE(inits, (QList<int>{6, 8}));
        QVERIFY(!actionByText(resources, QStringLiteral("Portal"))->isEnabled());
        QSignalSpy clicks(&m, &PopupMenu::Click);
        actionByText(resources, QStringLiteral("Exchange"))->trigger();
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(clicks[0][0].toInt(), m.IndexOfKey(QStringLiteral("mnuLinkCBOE")));
    }

    void menuBarIsDrivenByTheSameItems()
    {
        PopupMenu m;
        m.setOwnerWindow(m_owner);
        buildMainMenu(m);
        m.setItemVisible(m.IndexOfKey(QStringLiteral("mnuChartsTOP")), false);
        auto* bar = new QMenuBar(m_owner);
        bar->addAction(QStringLiteral("stale"));
        m.FillMenuBar(bar);
        QCOMPARE(m.MenuBar(), bar);
        QStringList titles;
        for (QAction* a : bar->actions())
            titles << a->text();
        QCOMPARE(titles, (QStringList{QStringLiteral("&File"), QStringLiteral("&Windows"), QStringLiteral("&Help")}));

        QList<int> inits;
        connect(&m, &PopupMenu::InitPopupMenu, this, [&](int parent) { inits << parent; });
        QSignalSpy clicks(&m, &PopupMenu::Click);

        // Opening a title announces it, then shows its items.
        QMenu* windows = bar->actions().at(1)->menu();
        QVERIFY(windows != nullptr);
        windows->popup(m_owner->mapToGlobal(QPoint(40, 20)));
        QCOMPARE(inits, QList<int>{6});
        QCOMPARE(shownTexts(windows), (QStringList{QStringLiteral("&New chart"), QStringLiteral("Resources")}));
        actionByText(windows, QStringLiteral("&New chart"))->trigger();
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(clicks[0][0].toInt(), 7);
        closePopups();

        // A chart window opens: heading shown, its item added at the end.
        m.setItemVisible(m.IndexOfKey(QStringLiteral("mnuChartsTOP")), true);
        const int chart = m.AddItem(QStringLiteral("Chart 1"), {}, 0, m.IndexOfKey(QStringLiteral("mnuWindowsTOP")), 40,
                                    false, true, QStringLiteral("mnuChartWindowC0"));
        windows = bar->actions().at(1)->menu();
        windows->popup(m_owner->mapToGlobal(QPoint(40, 20)));
        QCOMPARE(shownTexts(windows), (QStringList{QStringLiteral("&New chart"), QStringLiteral("Resources"),
                                                   QStringLiteral("Opened charts"), QStringLiteral("Chart 1")}));
        actionByText(windows, QStringLiteral("Chart 1"))->trigger();
        QCOMPARE(clicks.count(), 2);
        QCOMPARE(clicks[1][0].toInt(), chart);
        closePopups();

        // ...and closes again.
        m.RemoveItem(QStringLiteral("mnuChartWindowC0"));
        m.setItemVisible(m.IndexOfKey(QStringLiteral("mnuChartsTOP")), false);
        windows->popup(m_owner->mapToGlobal(QPoint(40, 20)));
        QCOMPARE(shownTexts(windows), (QStringList{QStringLiteral("&New chart"), QStringLiteral("Resources")}));
        closePopups();

        // Titles follow caption and visibility; a check mark follows the item.
        m.setItemCaption(1, QStringLiteral("&Data"));
        QCOMPARE(bar->actions().at(0)->text(), QStringLiteral("&Data"));
        m.setItemVisible(m.IndexOfKey(QStringLiteral("mnuWindowsTOP")), false);
        QCOMPARE(bar->actions().size(), 2);
        QCOMPARE(bar->actions().at(1)->text(), QStringLiteral("&Help"));
        m.setItemVisible(m.IndexOfKey(QStringLiteral("mnuWindowsTOP")), true);
        QCOMPARE(bar->actions().at(1)->text(), QStringLiteral("&Windows"));
        QMenu* help = bar->actions().at(2)->menu();
        help->popup(m_owner->mapToGlobal(QPoint(80, 20)));
        QVERIFY(actionByText(help, QStringLiteral("&Enable tracing"))->isChecked());
        actionByText(help, QStringLiteral("&Enable tracing"))->trigger();
        // The pick is reported; the mark changes only when the owner sets it.
        QCOMPARE(clicks.count(), 3);
        QVERIFY(m.ItemChecked(m.IndexOfKey(QStringLiteral("mnuHelpTracing"))));
        closePopups();

        // A title without items is a command of its own.
        const int plain = m.AddItem(QStringLiteral("&Quit"), {}, 0, 0, -1, false, true, QStringLiteral("quit"));
        QCOMPARE(bar->actions().size(), 4);
        QVERIFY(bar->actions().at(3)->menu() == nullptr);
        bar->actions().at(3)->trigger();
        QCOMPARE(clicks.count(), 4);
        QCOMPARE(clicks[3][0].toInt(), plain);

        m.ClearItems();
        QVERIFY(bar->actions().isEmpty());
        delete bar; // the menu outlives its bar
        m.AddItem(QStringLiteral("&File"));
        QCOMPARE(m.Count(), 1);
    }
};

TW_QTEST_MAIN(PopupMenuTest)
#include "PopupMenuTest.moc"
