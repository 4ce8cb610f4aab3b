// Editing the strategy library in the running main window, the way the user
// does it: the tree's popup with its states and commands (each chosen with a
// click on its entry), renaming in place (F2), double clicks on groups,
// dragging strategies with the mouse, the strategies-file commands of the
// popup and the File menu on real files (never over the shipped library,
// however its path is spelt), the start-up's fallback to the shipped
// library, and the formatted description box with its keys, its Edit popup
// and the clipboard.
#include "support/MainWindowControls.h"
#include "MainWindowFixtures.h"

#include "app/Dialogs.h"
#include "app/Tools.h"
#include "mainwindow/frmStrategies.h"
#include "model/StrategiesFile.h"
#include "platform/Grid.h"
#include "platform/PopupMenu.h"
#include "platform/Rtf.h"
#include "support/FileSizeLimit.h"
#include "support/MainWindowRun.h"
#include "support/QtTestMain.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"
#include "workspace/TreeKeys.h"

#include <QAction>
#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <QtTest>

using namespace tw;

namespace {

using Picture = QList<QPair<QString, QStringList>>;

// Groups and strategies of a library, as captions.
Picture picture(const StrategyTypeCollection& types)
{
    Picture out;
    for (const auto& g : types) {
        QStringList names;
        for (const auto& s : *g->Strategies())
            names << s->Caption();
        out.append({g->Caption(), names});
    }
    return out;
}

// The same of the open library.
Picture picture(const frmStrategies* w)
{
    return picture(*w->session().library());
}

// The tree shows the library: one node per group and strategy, keyed and
// named by position.
bool treeShowsTheLibrary(const frmStrategies* w)
{
    const Picture p = picture(w);
    if (ui::tvStrategies(w)->topLevelItemCount() != p.size())
        return false;
    for (int g = 0; g < p.size(); ++g) {
        const QTreeWidgetItem* group = ui::tvStrategies(w)->topLevelItem(g);
        if (group->text(0) != p.at(g).first || ui::library(w)->nodeKey(group) != QStringLiteral("T%1").arg(g + 1)
            || group->childCount() != p.at(g).second.size())
            return false;
        for (int j = 0; j < group->childCount(); ++j) {
            if (group->child(j)->text(0) != p.at(g).second.at(j))
                return false;
        }
    }
    return true;
}

// Every node shows its state: only the selected node is bold, the selected
// strategy alone has the selected picture, and each group the picture of
// its open or closed state.
bool treeLooksRight(const frmStrategies* w)
{
    const QTreeWidgetItem* current = ui::tvStrategies(w)->currentItem();
    const auto looksRight = [current](const QTreeWidgetItem* node, bool group) {
        const int image = node->data(0, NodeImageRole).toInt();
        const int expected = group ? (node->isExpanded() ? 4 : 3) : (node == current ? 2 : 1);
        return node->font(0).bold() == (node == current) && image == expected;
    };
    for (int g = 0; g < ui::tvStrategies(w)->topLevelItemCount(); ++g) {
        const QTreeWidgetItem* group = ui::tvStrategies(w)->topLevelItem(g);
        if (!looksRight(group, true))
            return false;
        for (int j = 0; j < group->childCount(); ++j) {
            if (!looksRight(group->child(j), false))
                return false;
        }
    }
    return true;
}

QString writeLibrary(const QString& path, const Picture& p, const QString& description = {})
{
    StrategyTypeCollection types;
    for (const auto& [group, names] : p) {
        auto g = types.Add(group, description);
        for (const QString& n : names)
            g->Strategies()->Add(n, description)->Params()->Add(LegKind::Call, LegPosition::Long, 0, 1, 1);
    }
    writeStrategiesFile(types, path);
    return path;
}

using test::bytesOf;

void clickNode(frmStrategies* w, const QString& key)
{
    QVERIFY(test::clickTreeNode(w, key));
    QCOMPARE(ui::library(w)->selectedKey(), key);
}

// A double click on a node as the window system delivers one: press,
// release, then the double click and its release.
void doubleClickNode(frmStrategies* w, const QString& key)
{
    QWidget* vp = ui::tvStrategies(w)->viewport();
    const QPoint at = test::treeNodeCentre(w, key);
    QTest::mouseClick(vp, Qt::LeftButton, {}, at);
    QTest::mouseDClick(vp, Qt::LeftButton, {}, at);
    QTest::mouseRelease(vp, Qt::LeftButton, {}, at);
}

// The entry of a menu with that caption.
QAction* actionOf(QMenu* menu, const QString& caption)
{
    if (menu == nullptr)
        return nullptr;
    for (QAction* a : menu->actions()) {
        if (a->text() == caption)
            return a;
    }
    return nullptr;
}

// Right-clicks the tree (on the node `at`, or on empty space below the
// nodes) and gives the popup that opened.
QMenu* treePopup(frmStrategies* w, const QString& at = {})
{
    QPoint p = at.isEmpty() ? QPoint(5, ui::tvStrategies(w)->viewport()->height() - 3) : test::treeNodeCentre(w, at);
    QTest::mouseClick(ui::tvStrategies(w)->viewport(), Qt::RightButton, {}, p);
    return ui::m_cStrategiesMenu(w)->ActivePopup();
}

// Clicks an enabled entry of an open menu.
void clickEntry(QMenu* menu, const QString& caption)
{
    QVERIFY2(menu != nullptr && menu->isVisible(), qPrintable(caption));
    QAction* a = actionOf(menu, caption);
    QVERIFY2(a != nullptr && a->isEnabled(), qPrintable(caption));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(a).center());
}

// Chooses an entry of the tree popup, opened over the selected node.
void choose(frmStrategies* w, const QString& caption)
{
    clickEntry(treePopup(w, ui::library(w)->selectedKey()), caption);
}

// Chooses File > Save strategies and answers No to the one question it asks
// (`question`, Yes or No, No the default): `file` keeps `bytes`, and the
// strategies stay unsaved.
void refuseSave(frmStrategies* w, test::ScriptedDialogs& dialogs, const QString& question, const QString& file,
                const QByteArray& bytes)
{
    const qsizetype asked = dialogs.messages.size();
    dialogs.messageAnswers = {Msg::No};
    QVERIFY(test::chooseFromMenuBar(w, QStringLiteral("&File"), QStringLiteral("Save strategies")));
    QCOMPARE(dialogs.messages.size(), asked + 1);
    QCOMPARE(dialogs.messages.last().text, question);
    QCOMPARE(dialogs.messages.last().style, Msg::YesNo | Msg::Exclamation | Msg::DefaultButton2);
    QCOMPARE(bytesOf(file), bytes);
    QVERIFY(w->session().strategiesChanged());
}

// Chooses a group under the tree popup's "Move to": a click opens the
// submenu, another picks the group.
void moveTo(frmStrategies* w, const QString& group)
{
    QMenu* menu = treePopup(w, ui::library(w)->selectedKey());
    clickEntry(menu, QStringLiteral("Move to"));
    QMenu* groups = actionOf(menu, QStringLiteral("Move to"))->menu();
    QVERIFY(groups != nullptr);
    QTRY_VERIFY(groups->isVisible());
    clickEntry(groups, group);
}

// The open label editor (closed ones linger until they are deleted).
QLineEdit* labelEditor(frmStrategies* w)
{
    for (QLineEdit* e : ui::tvStrategies(w)->findChildren<QLineEdit*>()) {
        if (e->isVisible())
            return e;
    }
    return nullptr;
}

// Presses on one node, moves over the tree and lets go at `to` (a point of
// the tree's viewport).
void dragTo(frmStrategies* w, const QString& from, const QPoint& to)
{
    QWidget* vp = ui::tvStrategies(w)->viewport();
    const QPoint start = test::treeNodeCentre(w, from);
    QTest::mousePress(vp, Qt::LeftButton, {}, start);
    QTest::mouseMove(vp, start + QPoint(0, 3));
    QTest::mouseMove(vp, to);
    QTest::mouseRelease(vp, Qt::LeftButton, {}, to);
}

void dragOnto(frmStrategies* w, const QString& from, const QString& onto)
{
    // The target is found before anything moves.
    dragTo(w, from, test::treeNodeCentre(w, onto));
}

// Ends an in-place edit by a key; the tree takes the text once the events
// have run.
void endEdit(QLineEdit* editor, Qt::Key key)
{
    QTest::keyClick(editor, key);
    QCoreApplication::processEvents();
}

void typeInto(QWidget* box, const QString& text)
{
    QTest::keyClicks(box, text);
    QCoreApplication::processEvents();
}

// In the open label editor, which offers `offered`, types `typed` over it
// and ends the edit with Return.
void typeName(frmStrategies* w, const QString& offered, const QString& typed)
{
    QLineEdit* editor = labelEditor(w);
    QVERIFY(editor != nullptr);
    QCOMPARE(editor->text(), offered);
    editor->selectAll();
    typeInto(editor, typed);
    endEdit(editor, Qt::Key_Return);
}

// Scripted dialogs whose message boxes take the keyboard from the main window
// while they are open, as a shown box does; each notes whether a label editor
// was still open while it was.
class BoxesTakeTheKeyboard : public test::ScriptedDialogs {
public:
    frmStrategies* main = nullptr;
    QList<bool> labelOpenDuringBox;

    int messageBox(const QString& text, int style, const QString& title) override
    {
        QWidget box;
        box.resize(240, 80);
        box.show();
        box.activateWindow();
        if (QTest::qWaitForWindowActive(&box))
            labelOpenDuringBox.append(labelEditor(main) != nullptr);
        box.close();
        main->activateWindow();
        // The checks after the question find out whether the keyboard came back.
        static_cast<void>(QTest::qWaitForWindowActive(main));
        return ScriptedDialogs::messageBox(text, style, title);
    }
};

} // namespace

class StrategyLibraryTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const char* name) const { return m_dir.filePath(QLatin1String(name)); }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void init()
    {
        test::environment().clearSettings();
        test::storeQuietStart();
        QApplication::clipboard()->clear();
    }

    void popupStatesFollowTheNodeUnderThePointer()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", test::writeSampleStrategies(m_dir.path())});
        frmStrategies* w = run.window();
        const auto states = [](QMenu* m) {
            QString s;
            for (const char* c : {"Rename", "Add strategy", "Delete strategy", "Copy strategy", "Delete strategy group",
                                  "Export", "Load", "Import"})
                s += actionOf(m, QLatin1String(c)) != nullptr && actionOf(m, QLatin1String(c))->isEnabled() ? '1' : '0';
            return s + (actionOf(m, QStringLiteral("Move to")) != nullptr ? "+" : "-");
        };

        // A right click selects the node under the pointer first, as a left
        // click does: a group shows without legs, and its popup offers a new
        // strategy or the group's deletion, nothing else of the edit entries.
        clickNode(w, QStringLiteral("T1S1"));
        QMenu* m = treePopup(w, QStringLiteral("T2"));
        QCOMPARE(ui::library(w)->selectedKey(), QStringLiteral("T2"));
        QCOMPARE(w->session().selectedKey(), QStringLiteral("T2"));
        QCOMPARE(ui::gdParams(w)->Rows(), 0);
        QVERIFY(treeLooksRight(w));
        QCOMPARE(states(m), QStringLiteral("11001111-"));
        m->close();

        // A strategy of two groups: its legs are listed, and "Move to" lists
        // the other group.
        m = treePopup(w, QStringLiteral("T1S2"));
        QCOMPARE(w->session().selectedKey(), QStringLiteral("T1S2"));
        QCOMPARE(ui::gdParams(w)->Rows(), 2 + 2);
        QVERIFY(treeLooksRight(w));
        QCOMPARE(states(m), QStringLiteral("11110111+"));
        QMenu* moveTo = actionOf(m, QStringLiteral("Move to"))->menu();
        QVERIFY(moveTo != nullptr);
        moveTo->popup(QPoint());
        QStringList targets;
        for (QAction* a : moveTo->actions())
            targets << a->text();
        QCOMPARE(targets, QStringList{"Singles"});
        moveTo->close();
        m->close();

        // Empty space under the nodes keeps the selection.
        m = treePopup(w);
        QCOMPARE(w->session().selectedKey(), QStringLiteral("T1S2"));
        QCOMPARE(states(m), QStringLiteral("11110111+"));
        m->close();

        // Nothing selected: the entries that need a node are disabled.
        ui::library(w)->tvStrategies_NodeClick(nullptr);
        m = treePopup(w);
        QCOMPARE(states(m), QStringLiteral("00000011-"));
        QVERIFY(actionOf(m, QStringLiteral("Add strategy group"))->isEnabled());
        m->close();
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void popupCommandsActOnTheRightClickedOrSelectedNode()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", test::writeSampleStrategies(m_dir.path())});
        frmStrategies* w = run.window();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        platform::TreeView* tree = ui::tvStrategies(w);

        // "Long call" selected, "Bear put" right-clicked: "Delete strategy"
        // deletes "Bear put".
        clickNode(w, QStringLiteral("T2S1"));
        clickEntry(treePopup(w, QStringLiteral("T1S2")), QStringLiteral("Delete strategy"));
        QCOMPARE(picture(w), (Picture{{"Spreads", {"Bull call"}}, {"Singles", {"Long call"}}}));
        QCOMPARE(ui::library(w)->selectedKey(), QStringLiteral("T1S1"));

        // Rename names the node right-clicked.
        clickNode(w, QStringLiteral("T2S1"));
        clickEntry(treePopup(w, QStringLiteral("T1S1")), QStringLiteral("Rename"));
        typeName(w, QStringLiteral("Bull call"), QStringLiteral("Bull spread"));
        QCOMPARE(picture(w), (Picture{{"Spreads", {"Bull spread"}}, {"Singles", {"Long call"}}}));

        // From the keyboard the popup serves the selected node, and opens at
        // it: the Menu key on a strategy...
        clickNode(w, QStringLiteral("T2S1"));
        QVERIFY(test::focusOn(tree));
        QTest::keyClick(tree, Qt::Key_Menu);
        QMenu* m = ui::m_cStrategiesMenu(w)->ActivePopup();
        QVERIFY(m != nullptr);
        const QRect node = tree->visualItemRect(ui::library(w)->nodeByKey(QStringLiteral("T2S1")));
        const QPoint at = tree->viewport()->mapToGlobal(QPoint(node.left() + node.height(), node.bottom()));
        QVERIFY2((m->pos() - at).manhattanLength() <= 2, qPrintable(QStringLiteral("%1,%2").arg(m->x()).arg(m->y())));
        clickEntry(m, QStringLiteral("Copy strategy"));
        endEdit(labelEditor(w), Qt::Key_Escape);
        QCOMPARE(picture(w).at(1).second, (QStringList{"Long call", "Long call copy"}));

        // ... and Shift+F10 on a group.
        clickNode(w, QStringLiteral("T1"));
        QVERIFY(test::focusOn(tree));
        QTest::keyClick(tree, Qt::Key_F10, Qt::ShiftModifier);
        m = ui::m_cStrategiesMenu(w)->ActivePopup();
        QVERIFY(m != nullptr && !actionOf(m, QStringLiteral("Delete strategy"))->isEnabled());
        clickEntry(m, QStringLiteral("Add strategy"));
        endEdit(labelEditor(w), Qt::Key_Escape);
        QCOMPARE(picture(w).at(0).second, (QStringList{"Bull spread", "New strategy"}));
        QVERIFY(dialogs.messages.isEmpty());
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void popupCommandsEditTheLibrary()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", test::writeSampleStrategies(m_dir.path())});
        frmStrategies* w = run.window();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));

        // Add: "New strategy" at the end of the group, its name open for
        // typing.
        clickNode(w, QStringLiteral("T1S1"));
        choose(w, QStringLiteral("Add strategy"));
        QCOMPARE(ui::library(w)->selectedKey(), QStringLiteral("T1S3"));
        typeName(w, QStringLiteral("New strategy"), QStringLiteral("Strangle "));
        QCOMPARE(picture(w).at(0).second, (QStringList{"Bull call", "Bear put", "Strangle "}));
        QVERIFY(w->session().strategiesChanged());

        // Rename to an empty text: refused, the name stays.
        choose(w, QStringLiteral("Rename"));
        QLineEdit* editor = labelEditor(w);
        QVERIFY(editor != nullptr);
        editor->selectAll();
        QTest::keyClick(editor, Qt::Key_Backspace);
        endEdit(editor, Qt::Key_Return);
        QCOMPARE(ui::library(w)->nodeByKey(QStringLiteral("T1S3"))->text(0), QStringLiteral("Strangle "));
        QCOMPARE(picture(w).at(0).second.last(), QStringLiteral("Strangle "));

        // Copy: at the end of the group, legs of its own, not an unsaved change.
        w->session().setStrategiesChanged(false);
        clickNode(w, QStringLiteral("T1S1"));
        choose(w, QStringLiteral("Copy strategy"));
        QCOMPARE(ui::library(w)->selectedKey(), QStringLiteral("T1S4"));
        QVERIFY(labelEditor(w) != nullptr);
        endEdit(labelEditor(w), Qt::Key_Escape);
        const auto& group = w->session().library()->Item(1)->Strategies();
        QCOMPARE(group->Item(4)->Caption(), QStringLiteral("Bull call copy"));
        QCOMPARE(group->Item(4)->Params()->Count(), 2);
        QVERIFY(!w->session().strategiesChanged());

        // Move to the other group: last there, and selected.
        clickNode(w, QStringLiteral("T1S1"));
        moveTo(w, QStringLiteral("Singles"));
        QCOMPARE(picture(w).at(1).second, (QStringList{"Long call", "Bull call"}));
        QCOMPARE(ui::library(w)->selectedKey(), QStringLiteral("T2S2"));
        QVERIFY(w->session().strategiesChanged());

        // Delete the last of a group: the one before it is selected; no
        // question, and the library is unsaved again after a save.
        choose(w, QStringLiteral("Save"));
        QVERIFY(!w->session().strategiesChanged());
        clickNode(w, QStringLiteral("T1S3"));
        choose(w, QStringLiteral("Delete strategy"));
        QCOMPARE(picture(w).at(0).second, (QStringList{"Bear put", "Strangle "}));
        QCOMPARE(ui::library(w)->selectedKey(), QStringLiteral("T1S2"));
        QVERIFY(w->session().strategiesChanged());
        QVERIFY(dialogs.messages.isEmpty());
        QVERIFY(treeLooksRight(w));

        // Delete a group that holds strategies: asked first; No keeps it.
        clickNode(w, QStringLiteral("T1"));
        dialogs.messageAnswers = {Msg::No, Msg::Yes};
        choose(w, QStringLiteral("Delete strategy group"));
        QCOMPARE(w->session().library()->Count(), 2);
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages.last().text,
                 QStringLiteral("The strategy group is not empty.\r\nDo you realy want to delete it?"));
        QCOMPARE(dialogs.messages.last().title, QStringLiteral("Delete strategy group"));
        QCOMPARE(dialogs.messages.last().style, Msg::YesNo | Msg::Exclamation);
        choose(w, QStringLiteral("Delete strategy group"));
        QCOMPARE(picture(w), (Picture{{"Singles", {"Long call", "Bull call"}}}));
        QCOMPARE(ui::library(w)->selectedKey(), QStringLiteral("T1"));
        QVERIFY(treeShowsTheLibrary(w));
        QVERIFY(treeLooksRight(w));
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void anOpenLabelIsWrittenBeforeSaveAndExit()
    {
        const QString file = writeLibrary(path("rename.stg"), {{"G1", {"A", "B"}}});
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", file});
        frmStrategies* w = run.window();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        // F2 opens the selected node's label; what is typed goes to it.
        const auto typeNewName = [w](const QString& text) {
            QVERIFY(test::focusOn(ui::tvStrategies(w)));
            QTest::keyClick(ui::tvStrategies(w), Qt::Key_F2);
            QVERIFY(labelEditor(w) != nullptr && labelEditor(w)->hasFocus());
            // Keys the label leaves to the tree (Shift, pressed alone for a
            // capital) do not end the edit.
            QWidget* label = QApplication::focusWidget();
            QTest::keyClick(label, Qt::Key_Backspace);
            QTest::keyPress(label, Qt::Key_Shift);
            QTest::keyRelease(label, Qt::Key_Shift);
            QTest::keyClicks(label, text);
        };

        // A name typed into the open label, then the toolbar's Save: the
        // file has it.
        clickNode(w, QStringLiteral("T1S2"));
        typeNewName(QStringLiteral("Bear"));
        QVERIFY(test::clickToolbarButton(w, QStringLiteral("savestrategies")));
        QVERIFY(labelEditor(w) == nullptr);
        QCOMPARE(picture(*readStrategiesFile(file)), (Picture{{"G1", {"A", "Bear"}}}));
        QVERIFY(!w->session().strategiesChanged());

        // An emptied name stops the save: the label stays open and nothing
        // is written; Escape then keeps the name.
        QVERIFY(QFile::remove(file));
        typeNewName(QString());
        QVERIFY(test::clickToolbarButton(w, QStringLiteral("savestrategies")));
        QLineEdit* editor = labelEditor(w);
        QVERIFY(editor != nullptr);
        QVERIFY(!QFile::exists(file));
        QCOMPARE(dialogs.beeps, 1);
        QVERIFY(ui::lblTickerStatus(w)->text().contains(QLatin1String("cannot be empty")));
        endEdit(editor, Qt::Key_Escape);
        QCOMPARE(picture(w), (Picture{{"G1", {"A", "Bear"}}}));
        // The label gone, its notice goes too.
        QVERIFY(!ui::lblTickerStatus(w)->text().contains(QLatin1String("cannot be empty")));

        // A name typed, then File > Exit: it is written, so the question
        // comes; No keeps the window with the new name.
        typeNewName(QStringLiteral("Bear put"));
        dialogs.messageAnswers = {Msg::No};
        QVERIFY(test::chooseFromMenuBar(w, QStringLiteral("&File"), QStringLiteral("Exit")));
        QTRY_COMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages.last().text, QStringLiteral("Strategies are not saved.\r\nExit anyway?"));
        QCOMPARE(picture(w), (Picture{{"G1", {"A", "Bear put"}}}));
        QVERIFY(!ui::lblTickerStatus(w)->text().contains(QLatin1String("cannot be empty")));

        // An emptied name, then File > Exit: the question names the node.
        // Going back is the next test's; leaving keeps the name, and the
        // usual question follows.
        typeNewName(QString());
        dialogs.messageAnswers = {Msg::No};
        QVERIFY(test::chooseFromMenuBar(w, QStringLiteral("&File"), QStringLiteral("Exit")));
        QTRY_COMPARE(dialogs.messages.size(), 2);
        QCOMPARE(dialogs.messages.last().text,
                 QStringLiteral("A name cannot be empty: \"Bear put\" keeps its name.\r\nLeave the name and exit?"));
        dialogs.messageAnswers = {Msg::Yes, Msg::No};
        QVERIFY(!run.close());
        QCOMPARE(dialogs.messages.size(), 4);
        QCOMPARE(dialogs.messages.last().text, QStringLiteral("Strategies are not saved.\r\nExit anyway?"));
        QVERIFY(labelEditor(w) == nullptr);
        QCOMPARE(picture(w), (Picture{{"G1", {"A", "Bear put"}}}));
        QVERIFY(!ui::lblTickerStatus(w)->text().contains(QLatin1String("cannot be empty")));
        QCOMPARE(dialogs.beeps, 1);
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void anEmptiedNameComesBackAfterTheExitQuestionTookTheKeyboard()
    {
        const QString file = writeLibrary(path("back.stg"), {{"G1", {"A", "B"}}});
        BoxesTakeTheKeyboard dialogs;
        test::MainWindowRun run({"-S", file});
        frmStrategies* w = run.window();
        dialogs.main = w;
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        clickNode(w, QStringLiteral("T1S2"));
        QVERIFY(test::focusOn(ui::tvStrategies(w)));
        QTest::keyClick(ui::tvStrategies(w), Qt::Key_F2);
        QVERIFY(labelEditor(w) != nullptr);
        labelEditor(w)->selectAll();
        QTest::keyClick(labelEditor(w), Qt::Key_Backspace);

        // The box ends the label edit behind it (the node keeps its name);
        // going back opens the label again, empty, with the keyboard.
        dialogs.messageAnswers = {Msg::No};
        QVERIFY(test::chooseFromMenuBar(w, QStringLiteral("&File"), QStringLiteral("Exit")));
        QTRY_COMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.labelOpenDuringBox, QList<bool>{false});
        QVERIFY(run.window() != nullptr);
        QVERIFY(labelEditor(w) != nullptr);
        QCOMPARE(labelEditor(w)->text(), QString());
        QTRY_VERIFY(labelEditor(w)->hasFocus());
        QVERIFY(ui::lblTickerStatus(w)->text().contains(QLatin1String("cannot be empty")));
        QCOMPARE(picture(w), (Picture{{"G1", {"A", "B"}}}));
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void draggingMovesStrategies()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", writeLibrary(path("drag.stg"), {{"G1", {"A", "B", "C", "D"}}, {"G2", {"E"}}})});
        frmStrategies* w = run.window();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));

        dragOnto(w, QStringLiteral("T1S1"), QStringLiteral("T1S3")); // A onto C
        QCOMPARE(picture(w).at(0).second, (QStringList{"B", "A", "C", "D"}));
        QCOMPARE(ui::library(w)->selectedKey(), QStringLiteral("T1S2"));
        QCOMPARE(ui::tvStrategies(w)->currentItem()->text(0), QStringLiteral("A"));
        QVERIFY(w->session().strategiesChanged());
        QVERIFY(ui::gdParams(w)->Rows() > 0); // it is shown and evaluated

        // Onto a group node: the end of that group; a collapsed group opens
        // under the pointer first.
        ui::library(w)->nodeByKey(QStringLiteral("T2"))->setExpanded(false);
        dragOnto(w, QStringLiteral("T1S2"), QStringLiteral("T2"));
        QCOMPARE(picture(w), (Picture{{"G1", {"B", "C", "D"}}, {"G2", {"E", "A"}}}));
        QCOMPARE(ui::library(w)->selectedKey(), QStringLiteral("T2S2"));

        QVERIFY(treeLooksRight(w));

        // Onto itself: selected, nothing moved, nothing to save.
        w->session().setStrategiesChanged(false);
        dragOnto(w, QStringLiteral("T1S3"), QStringLiteral("T1S3"));
        QCOMPARE(ui::library(w)->selectedKey(), QStringLiteral("T1S3"));
        QVERIFY(!w->session().strategiesChanged());

        // Groups are not dragged; a drop beside the tree moves nothing.
        const Picture before = picture(w);
        dragOnto(w, QStringLiteral("T1"), QStringLiteral("T2S1"));
        dragTo(w, QStringLiteral("T1S1"), QPoint(-40, 10));
        QCOMPARE(picture(w), before);
        QCOMPARE(ui::library(w)->selectedKey(), QStringLiteral("T1S1"));
        QVERIFY(!w->session().strategiesChanged());
        QVERIFY(treeShowsTheLibrary(w));
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void dragNearAnEdgeScrollsTheTree()
    {
        QStringList many;
        for (int i = 1; i <= 60; ++i)
            many << QStringLiteral("Strategy %1").arg(i);
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", writeLibrary(path("long.stg"), {{"Many", many}})});
        frmStrategies* w = run.window();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QScrollBar* bar = ui::tvStrategies(w)->verticalScrollBar();
        QVERIFY(bar->maximum() > 5);
        QWidget* vp = ui::tvStrategies(w)->viewport();
        const double tpp = ui::tvStrategies(w)->twipsPerPixelY();
        const auto viewportY = [&](double twipsFromTop) {
            return qRound(twipsFromTop / tpp) - vp->mapTo(ui::tvStrategies(w), QPoint(0, 0)).y();
        };

        // Pick a strategy up in the middle and hold it 150 twips above the
        // bottom edge: one line down every tick.
        const QPoint start = test::treeNodeCentre(w, QStringLiteral("T1S1"));
        QTest::mousePress(vp, Qt::LeftButton, {}, start);
        QTest::mouseMove(vp, start + QPoint(0, 4));
        const double height = ui::tvStrategies(w)->height() * tpp;
        QTest::mouseMove(vp, QPoint(20, viewportY(height - 150)));
        QVERIFY(ui::Timer(w)->isActive());
        QCOMPARE(ui::Timer(w)->interval(), 100);
        const int top = bar->value();
        QTRY_VERIFY(bar->value() >= top + 2);

        // In the middle it stops; 50 twips below the top it goes up.
        QTest::mouseMove(vp, QPoint(20, viewportY(height / 2)));
        QVERIFY(!ui::Timer(w)->isActive());
        const int low = bar->value();
        QTest::mouseMove(vp, QPoint(20, viewportY(50)));
        QVERIFY(ui::Timer(w)->isActive());
        QTRY_VERIFY(bar->value() <= low - 2);

        // Letting go ends it.
        QTest::mouseRelease(vp, Qt::LeftButton, {}, QPoint(20, viewportY(50)));
        QVERIFY(!ui::Timer(w)->isActive());
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void appendExportAndSaveThroughRealFiles()
    {
        const QString open = test::writeSampleStrategies(m_dir.path(), QStringLiteral("open.stg"));
        const QString other = writeLibrary(path("other.stg"), {{"Extra", {"X", "Y"}}});
        QFile damaged(path("damaged.stg"));
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(bytesOf(other).left(30));
        damaged.close();

        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", open});
        frmStrategies* w = run.window();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        clickNode(w, QStringLiteral("T1S1"));

        // Import appends the file's groups; the open file stays the current one.
        dialogs.fileAnswers.push_back(test::ScriptedDialogs::chosen({other}));
        choose(w, QStringLiteral("Import"));
        QCOMPARE(dialogs.fileQuestions.last().request.title, QStringLiteral("Append to strategies"));
        QCOMPARE(picture(w).size(), 3);
        QCOMPARE(picture(w).last(), (QPair<QString, QStringList>{"Extra", {"X", "Y"}}));
        QCOMPARE(w->session().libraryFile(), open);
        QCOMPARE(test::storedText(QStringLiteral("StrategyTypesFile")), open);
        QVERIFY(w->session().strategiesChanged());

        // A damaged or missing file appends nothing and says so plainly.
        const Picture joined = picture(w);
        dialogs.fileAnswers.push_back(test::ScriptedDialogs::chosen({damaged.fileName()}));
        choose(w, QStringLiteral("Import"));
        QCOMPARE(picture(w), joined);
        QVERIFY(dialogs.messages.last().text.contains(QLatin1String("is damaged or incomplete")));
        QVERIFY(dialogs.messages.last().text.contains(damaged.fileName()));
        QVERIFY(!dialogs.messages.last().text.contains(QLatin1String("byte")));
        ui::library(w)->AppendStrategyFromFile(path("missing.stg"));
        QCOMPARE(dialogs.messages.last().text, QStringLiteral("Strategies file %1 not found.").arg(path("missing.stg")));
        QCOMPARE(picture(w), joined);

        // Export a strategy: a file of its group with it alone.
        clickNode(w, QStringLiteral("T1S2"));
        dialogs.fileAnswers.push_back(test::ScriptedDialogs::chosen({path("one.stg")}));
        choose(w, QStringLiteral("Export"));
        QCOMPARE(dialogs.fileQuestions.last().request.title, QStringLiteral("Export strategies to..."));
        QCOMPARE(QFileInfo(dialogs.fileQuestions.last().request.initialFile).fileName(),
                 QStringLiteral("Spreads - Bear put.stg"));
        const auto one = readStrategiesFile(path("one.stg"));
        QCOMPARE(one->Count(), 1);
        QCOMPARE(one->Item(1)->Caption(), QStringLiteral("Spreads"));
        QCOMPARE(one->Item(1)->Strategies()->Count(), 1);
        QCOMPARE(one->Item(1)->Strategies()->Item(1)->Params()->Count(), 2);
        QCOMPARE(picture(w), joined); // the open library is as it was

        // Save as: the new file is the current one and the next start's.
        dialogs.fileAnswers.push_back(test::ScriptedDialogs::chosen({path("saved.stg")}));
        QVERIFY(test::chooseFromMenuBar(w, QStringLiteral("&File"), QStringLiteral("Save strategies as...")));
        QVERIFY(!w->session().strategiesChanged());
        QCOMPARE(w->session().libraryFile(), path("saved.stg"));
        QCOMPARE(test::storedText(QStringLiteral("StrategyTypesFile")), path("saved.stg"));
        QCOMPARE(readStrategiesFile(path("saved.stg"))->Count(), 3);

        // A save that cannot be written says so and keeps the changes unsaved.
        w->session().setStrategiesChanged(true);
        const int messages = dialogs.messages.size();
        dialogs.fileAnswers.push_back(test::ScriptedDialogs::chosen({path("no/such/folder/x.stg")}));
        choose(w, QStringLiteral("Save as..."));
        QCOMPARE(dialogs.messages.size(), messages + 1);
        QVERIFY(dialogs.messages.last().text.contains(QLatin1String("could not be saved")));
        QVERIFY(w->session().strategiesChanged());
        QCOMPARE(w->session().libraryFile(), path("saved.stg"));

        // Nor is the shipped library written under another spelling of its
        // path: with a "." in it, or its folder reached through a link.
        const QString shipped = test::shippedFile(QStringLiteral("DEFAULT.STG"));
        const QByteArray shippedBytes = bytesOf(shipped);
        const auto keepShipped = qScopeGuard([&] { // for the suites after this one, should it be written
            QFile f(shipped);
            if (bytesOf(shipped) != shippedBytes && f.open(QIODevice::WriteOnly | QIODevice::Truncate))
                f.write(shippedBytes);
        });
        const QString folder = QFileInfo(shipped).absolutePath();
        QVERIFY(QFile::link(folder, path("program")));
        for (const QString& spelt : {folder + QStringLiteral("/./DEFAULT.STG"), path("program") + QStringLiteral("/DEFAULT.STG")}) {
            const int before = dialogs.messages.size();
            dialogs.fileAnswers.push_back(test::ScriptedDialogs::chosen({spelt}));
            choose(w, QStringLiteral("Save as..."));
            QCOMPARE(dialogs.messages.size(), before + 1);
            QVERIFY2(dialogs.messages.last().text.contains(QLatin1String("are kept as they are")), qPrintable(spelt));
            QCOMPARE(bytesOf(shipped), shippedBytes);
            QVERIFY(w->session().strategiesChanged());
            QCOMPARE(w->session().libraryFile(), path("saved.stg"));
        }

        // Loading a damaged file leaves the open library and its file alone.
        w->session().setStrategiesChanged(false);
        dialogs.fileAnswers.push_back(test::ScriptedDialogs::chosen({damaged.fileName()}));
        choose(w, QStringLiteral("Load"));
        QCOMPARE(picture(w), joined);
        QCOMPARE(w->session().libraryFile(), path("saved.stg"));
        QVERIFY(dialogs.messages.last().text.contains(QLatin1String("Nothing was changed.")));
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void f2RenamesAndADoubleClickClosesAndOpensAGroup()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", test::writeSampleStrategies(m_dir.path())});
        frmStrategies* w = run.window();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));

        // F2 opens the selected node's name, as Rename does.
        clickNode(w, QStringLiteral("T1S2"));
        QVERIFY(test::focusOn(ui::tvStrategies(w)));
        QTest::keyClick(ui::tvStrategies(w), Qt::Key_F2);
        typeName(w, QStringLiteral("Bear put"), QStringLiteral("Bear spread"));
        QCOMPARE(picture(w).at(0).second, (QStringList{"Bull call", "Bear spread"}));
        QCOMPARE(ui::library(w)->nodeByKey(QStringLiteral("T1S2"))->text(0), QStringLiteral("Bear spread"));
        QVERIFY(w->session().strategiesChanged());

        // A double click on a group closes it and shows the group, without
        // legs; another opens it again.
        QTreeWidgetItem* group = ui::library(w)->nodeByKey(QStringLiteral("T1"));
        QVERIFY(group->isExpanded());
        doubleClickNode(w, QStringLiteral("T1"));
        QVERIFY(!group->isExpanded());
        QCOMPARE(ui::library(w)->selectedKey(), QStringLiteral("T1"));
        QVERIFY(group->font(0).bold());
        QCOMPARE(ui::gdParams(w)->Columns(), 0);
        doubleClickNode(w, QStringLiteral("T1"));
        QVERIFY(group->isExpanded());
        QCOMPARE(ui::library(w)->selectedKey(), QStringLiteral("T1"));
        QCOMPARE(picture(w).at(0).second, (QStringList{"Bull call", "Bear spread"}));
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void addGroupMoveToEveryGroupSaveAndLoadFromTheMenus()
    {
        const QString file = writeLibrary(path("groups.stg"), {{"G1", {"A", "B"}}, {"G2", {"C"}}});
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", file});
        frmStrategies* w = run.window();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));

        // Add strategy group: "New strategy group" last, selected, its name
        // open for typing.
        clickNode(w, QStringLiteral("T1S1"));
        choose(w, QStringLiteral("Add strategy group"));
        QCOMPARE(ui::library(w)->selectedKey(), QStringLiteral("T3"));
        typeName(w, QStringLiteral("New strategy group"), QStringLiteral("G3"));
        QCOMPARE(picture(w), (Picture{{"G1", {"A", "B"}}, {"G2", {"C"}}, {"G3", {}}}));
        QVERIFY(w->session().strategiesChanged());

        // Each group under "Move to" takes the strategy to its end.
        clickNode(w, QStringLiteral("T1S1"));
        moveTo(w, QStringLiteral("G3"));
        QCOMPARE(picture(w), (Picture{{"G1", {"B"}}, {"G2", {"C"}}, {"G3", {"A"}}}));
        QCOMPARE(ui::library(w)->selectedKey(), QStringLiteral("T3S1"));
        moveTo(w, QStringLiteral("G2"));
        QCOMPARE(picture(w), (Picture{{"G1", {"B"}}, {"G2", {"C", "A"}}, {"G3", {}}}));
        QCOMPARE(ui::library(w)->selectedKey(), QStringLiteral("T2S2"));
        moveTo(w, QStringLiteral("G1"));
        QCOMPARE(picture(w), (Picture{{"G1", {"B", "A"}}, {"G2", {"C"}}, {"G3", {}}}));
        QCOMPARE(ui::library(w)->selectedKey(), QStringLiteral("T1S2"));
        QCOMPARE(ui::tvStrategies(w)->currentItem()->text(0), QStringLiteral("A"));
        QVERIFY(ui::gdParams(w)->Rows() > 0); // shown and evaluated
        QVERIFY(treeShowsTheLibrary(w));

        // On a full disk Save says why, and leaves the file whole and the
        // changes unsaved.
        const auto bytesOf = [](const QString& name) {
            QFile f(name);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        const QByteArray before = bytesOf(file);
        {
            test::FileSizeLimit limit(16);
            QVERIFY(limit.active());
            QVERIFY(test::chooseFromMenuBar(w, QStringLiteral("&File"), QStringLiteral("Save strategies")));
        }
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY(dialogs.messages[0].text.contains(
            QStringLiteral("\"%1\" cannot be written: the file would be larger than the system allows.").arg(file)));
        QCOMPARE(bytesOf(file), before);
        QVERIFY(w->session().strategiesChanged());
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral(".tarnwell")), QStringList());

        // Save writes the open file; nothing is left unsaved.
        choose(w, QStringLiteral("Save"));
        QVERIFY(!w->session().strategiesChanged());
        QCOMPARE(picture(*readStrategiesFile(file)), picture(w));
        QCOMPARE(test::storedText(QStringLiteral("StrategyTypesFile")), file);

        // File > Load strategies opens another file in place of this one.
        const QString other = writeLibrary(path("other-groups.stg"), {{"Extra", {"X"}}});
        dialogs.fileAnswers.push_back(test::ScriptedDialogs::chosen({other}));
        QVERIFY(test::chooseFromMenuBar(w, QStringLiteral("&File"), QStringLiteral("Load strategies")));
        QCOMPARE(dialogs.fileQuestions.last().request.title, QStringLiteral("Select strategies file"));
        QCOMPARE(picture(w), (Picture{{"Extra", {"X"}}}));
        QCOMPARE(w->session().libraryFile(), other);
        QCOMPARE(ui::library(w)->selectedKey(), QStringLiteral("T1S1"));
        QVERIFY(treeShowsTheLibrary(w));
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void startUpFallsBackToTheShippedLibrary()
    {
        const QString shippedPath = test::shippedFile(QStringLiteral("DEFAULT.STG"));
        const QByteArray shippedBytes = bytesOf(shippedPath);
        const auto shipped = readStrategiesFile(shippedPath);
        const QByteArray garbage("\x05\x00\x00\x00garbage", 11);
        for (const bool vanished : {false, true}) {
            // The last run's file is damaged, or gone.
            const QString mine = path(vanished ? "gone.stg" : "corrupt.stg");
            QFile::remove(mine);
            if (!vanished) {
                QFile corrupt(mine);
                QVERIFY(corrupt.open(QIODevice::WriteOnly));
                corrupt.write(garbage);
            }
            test::environment().clearSettings();
            test::storeQuietStart();
            test::storeSetting(QStringLiteral("StrategyTypesFile"), mine);
            test::ScriptedDialogs dialogs;
            test::MainWindowRun run;
            frmStrategies* w = run.window();
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w));

            // The user is told which file could not be read; the shipped
            // library is shown as an untitled copy, and the setting still
            // names the user's file.
            QCOMPARE(dialogs.messages.size(), 1);
            const QString text = dialogs.messages.first().text;
            QVERIFY2(text.contains(mine), qPrintable(text));
            QVERIFY2(text.contains(QLatin1String("shipped strategies")), qPrintable(text));
            QCOMPARE(w->session().library()->Count(), shipped->Count());
            QVERIFY(w->session().libraryFile().isEmpty());
            QCOMPARE(test::storedText(QStringLiteral("StrategyTypesFile")), mine);
            QCOMPARE(ui::library(w)->selectedKey(), QStringLiteral("T1S1"));

            // Save asks for a name, offering the user's own file.
            clickNode(w, QStringLiteral("T1S1"));
            choose(w, QStringLiteral("Delete strategy"));
            QVERIFY(w->session().strategiesChanged());
            dialogs.messages.clear();
            if (vanished) {
                // The shipped file is never written, also when chosen.
                dialogs.fileAnswers.push_back(test::ScriptedDialogs::chosen({shippedPath}));
                QVERIFY(test::chooseFromMenuBar(w, QStringLiteral("&File"), QStringLiteral("Save strategies")));
                QCOMPARE(dialogs.fileQuestions.last().request.title, QStringLiteral("Save strategies to"));
                QCOMPARE(dialogs.fileQuestions.last().request.initialFile, mine);
                QCOMPARE(dialogs.messages.size(), 1);
                QVERIFY2(dialogs.messages.last().text.contains(QLatin1String("are kept as they are")),
                         qPrintable(dialogs.messages.last().text));
                QVERIFY(w->session().strategiesChanged());
            } else {
                // Saving over the damaged file asks first; No writes nothing.
                dialogs.fileAnswers.push_back(test::ScriptedDialogs::chosen({mine}));
                refuseSave(w, dialogs,
                           QStringLiteral("The strategies file \"%1\" could not be read when the program started.\r\n"
                                          "Replace it with the strategies shown?")
                               .arg(mine),
                           mine, garbage);
                QCOMPARE(dialogs.fileQuestions.last().request.initialFile, mine);
                QVERIFY(w->session().libraryFile().isEmpty());
                dialogs.messageAnswers = {Msg::Yes};
            }
            dialogs.fileAnswers.push_back(test::ScriptedDialogs::chosen({mine}));
            choose(w, QStringLiteral("Save"));
            QVERIFY(!w->session().strategiesChanged());
            QCOMPARE(w->session().libraryFile(), mine);
            QCOMPARE(test::storedText(QStringLiteral("StrategyTypesFile")), mine);
            QCOMPARE(picture(*readStrategiesFile(mine)), picture(w));
            QCOMPARE(picture(w).first().second.size(), shipped->Item(1)->Strategies()->Count() - 1);
            QCOMPARE(bytesOf(shippedPath), shippedBytes);

            // The saved file is the open one now: the next save asks nothing.
            const int messages = dialogs.messages.size();
            const int questions = dialogs.fileQuestions.size();
            choose(w, QStringLiteral("Delete strategy"));
            choose(w, QStringLiteral("Save"));
            QCOMPARE(dialogs.messages.size(), messages);
            QCOMPARE(dialogs.fileQuestions.size(), questions);
            QCOMPARE(picture(*readStrategiesFile(mine)), picture(w));
            QVERIFY(dialogs.errorReports.isEmpty());
        }
    }

    void lastFilesAreKeptAsFullPaths()
    {
        QTemporaryDir folder;
        test::writeSampleStrategies(folder.path(), QStringLiteral("mine.stg"));
        test::writeSampleChain(folder.path(), QStringLiteral("mine.opt"));
        const QString home = QDir::currentPath();
        QVERIFY(QDir::setCurrent(folder.path()));
        {
            test::ScriptedDialogs dialogs;
            test::MainWindowRun run({"-S", "mine.stg", "-O", "mine.opt"});
            QVERIFY(run.close());
        }
        QCOMPARE(test::storedText(QStringLiteral("StrategyTypesFile")), QDir(folder.path()).filePath("mine.stg"));
        QCOMPARE(test::storedText(QStringLiteral("LastFile")), QDir(folder.path()).filePath("mine.opt"));
        QVERIFY(QDir::setCurrent(home));
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run;
        QCOMPARE(run->session().library()->Item(1)->Caption(), QStringLiteral("Spreads"));
        QVERIFY(run->session().ObjStock() != nullptr);
        QVERIFY(dialogs.messages.isEmpty());
    }

    void aSaveAsksBeforeWritingOverAnotherProgramsAndARecoveryFileGetsANameOfItsOwn()
    {
        const QString file = writeLibrary(path("shared.stg"), {{"G1", {"A", "B", "C"}}});
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", file});
        frmStrategies* w = run.window();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));

        // Another program saves a rename; Save here asks first: No leaves its
        // file, and the edit here unsaved.
        writeLibrary(file, {{"G1", {"A renamed", "B", "C"}}});
        clickNode(w, QStringLiteral("T1S1"));
        choose(w, QStringLiteral("Delete strategy"));
        refuseSave(w, dialogs,
                   QStringLiteral("The strategies file \"%1\" was changed by another program since it was loaded or "
                                  "last saved.\r\nWrite over it?")
                       .arg(file),
                   file, bytesOf(file));

        // Asked again, Yes (the toolbar's Save) writes over it; the next Save
        // asks nothing, nor one after an export over the file.
        dialogs.messageAnswers = {Msg::Yes};
        QVERIFY(test::clickToolbarButton(w, QStringLiteral("savestrategies")));
        choose(w, QStringLiteral("Save"));
        QCOMPARE(picture(*readStrategiesFile(file)), (Picture{{"G1", {"B", "C"}}}));
        dialogs.fileAnswers.push_back(test::ScriptedDialogs::chosen({file}));
        choose(w, QStringLiteral("Export"));
        choose(w, QStringLiteral("Save"));
        QCOMPARE(dialogs.messages.size(), 2);
        QVERIFY(!w->session().strategiesChanged());

        // A recovery file loaded (from a folder of its own: a start names one
        // found beside its library) is not saved, and the user's own file
        // stays the one the next start opens. Save asks where, in the folder
        // of the user's own file; the file chosen is the library's from then on.
        QTemporaryDir kept;
        const QString recovery =
            writeLibrary(kept.filePath(QStringLiteral("Unsaved strategies 2026-03-04 05-06-07.stg")), {{"Mine", {"Edited"}}});
        const QString named = path("recovered.stg");
        dialogs.fileAnswers = {test::ScriptedDialogs::chosen({recovery}), test::ScriptedDialogs::chosen({named})};
        QVERIFY(test::chooseFromMenuBar(w, QStringLiteral("&File"), QStringLiteral("Load strategies")));
        QCOMPARE(picture(w), (Picture{{"Mine", {"Edited"}}}));
        QVERIFY(w->session().strategiesChanged());
        QCOMPARE(test::storedText(QStringLiteral("StrategyTypesFile")), file);
        QVERIFY(test::clickToolbarButton(w, QStringLiteral("savestrategies")));
        QCOMPARE(dialogs.fileQuestions.last().request.initialDir, QFileInfo(file).path());
        QCOMPARE(w->session().libraryFile(), named);
        QCOMPARE(test::storedText(QStringLiteral("StrategyTypesFile")), named);
        QVERIFY(!w->session().strategiesChanged());
        QCOMPARE(picture(*readStrategiesFile(named)), picture(w));
    }

    void descriptionEditsLiveInTheModel()
    {
        test::ScriptedDialogs dialogs;
        const QString file = writeLibrary(path("text.stg"), {{"G1", {"A", "B"}}},
                                          QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 Start\\par}"));
        test::MainWindowRun run({"-S", file});
        frmStrategies* w = run.window();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        platform::RichTextBox* box = ui::rtfDescription(w);
        const auto description = [w](int g, int j) {
            return j == 0 ? w->session().library()->Item(g)->Description()
                          : w->session().library()->Item(g)->Strategies()->Item(j)->Description();
        };

        // Typing goes into the strategy shown, at once, and counts as a change.
        clickNode(w, QStringLiteral("T1S1"));
        QVERIFY(!w->session().strategiesChanged());
        QVERIFY(test::focusOn(box));
        QTest::keyClick(box, Qt::Key_End, Qt::ControlModifier);
        typeInto(box, QStringLiteral("typed"));
        QVERIFY(platform::plainTextFromRtf(description(1, 1)).contains(QLatin1String("typed")));
        QVERIFY(w->session().strategiesChanged());
        clickNode(w, QStringLiteral("T1S2"));
        QVERIFY(!box->toPlainText().contains(QLatin1String("typed")));
        clickNode(w, QStringLiteral("T1S1"));
        QVERIFY(box->toPlainText().contains(QLatin1String("typed")));

        // Bold through the keyboard, on the group's own description.
        clickNode(w, QStringLiteral("T1"));
        QVERIFY(test::focusOn(box));
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_B, Qt::ControlModifier);
        QVERIFY(description(1, 0).contains(QLatin1String("\\b ")));
        QVERIFY(!description(1, 2).contains(QLatin1String("\\b ")));
        // Italic and underline the same way; a second press switches off.
        QTest::keyClick(box, Qt::Key_I, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_U, Qt::ControlModifier);
        QVERIFY(description(1, 0).contains(QLatin1String("\\b\\i\\ul ")));
        QTest::keyClick(box, Qt::Key_U, Qt::ControlModifier);
        QVERIFY(description(1, 0).contains(QLatin1String("\\b\\i ")));
        QVERIFY(!description(1, 0).contains(QLatin1String("\\ul")));
        QVERIFY(!description(1, 2).contains(QLatin1String("\\i ")));

        // Saved and read again, the formatting is there.
        writeStrategiesFile(*w->session().library(), path("text-saved.stg"));
        QTextDocument doc;
        platform::readRtf(readStrategiesFile(path("text-saved.stg"))->Item(1)->Description(), doc);
        QCOMPARE(doc.begin().begin().fragment().charFormat().fontWeight(), int(QFont::Bold));
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void lookingAtDescriptionsChangesNothing()
    {
        // RTF the writer would not write this way: unknown words, a picture.
        const QString odd = QStringLiteral(
            "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat{\\fonttbl{\\f0\\fnil Calibri;}}\r\n"
            "{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1\\pard\\sa200\\sl276\\slmult1\\f0\\fs22\\lang9 "
            "Odd {\\pict\\wmetafile8\\picw10\\pich10 0100090000}\\par\r\n}\r\n");
        const QString shippedCopy = path("shipped-copy.stg");
        QFile::remove(shippedCopy);
        QVERIFY(QFile::copy(test::shippedFile(QStringLiteral("DEFAULT.STG")), shippedCopy));
        const QString oddFile = writeLibrary(path("odd.stg"), {{"G1", {"A", "B"}}, {"G2", {"C"}}}, odd);
        for (const QString& file : {oddFile, shippedCopy}) {
            const QByteArray before = bytesOf(file);
            test::ScriptedDialogs dialogs;
            test::MainWindowRun run({"-S", file});
            frmStrategies* w = run.window();
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w));
            for (int g = 1; g <= w->session().library()->Count(); ++g) {
                clickNode(w, QStringLiteral("T%1").arg(g));
                for (int j = 1; j <= w->session().library()->Item(g)->Strategies()->Count(); ++j)
                    clickNode(w, QStringLiteral("T%1S%2").arg(g).arg(j));
            }
            QVERIFY(!w->session().strategiesChanged());
            QVERIFY(test::chooseFromMenuBar(w, QStringLiteral("&File"), QStringLiteral("Save strategies")));
            QCOMPARE(bytesOf(file), before);
            QVERIFY(dialogs.messages.isEmpty());
        }
    }

    void descriptionPopupAndRichTextThroughTheClipboard()
    {
        test::ScriptedDialogs dialogs;
        const QString file = writeLibrary(path("clip.stg"), {{"G1", {"A"}}},
                                          QStringLiteral("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0 plain {\\b bold}}"));
        test::MainWindowRun run({"-S", file});
        frmStrategies* w = run.window();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        clickNode(w, QStringLiteral("T1S1"));
        platform::RichTextBox* box = ui::rtfDescription(w);
        platform::PopupMenu* menu = ui::m_cMenu(w);
        const auto rightClick = [&] {
            QTest::mouseClick(box->viewport(), Qt::RightButton, {}, QPoint(200, 10));
            QMenu* popup = menu->ActivePopup();
            QString s;
            for (const char* c : {"&Copy text", "Cu&t text", "&Paste text", "Create formatted text"})
                s += actionOf(popup, QLatin1String(c)) != nullptr && actionOf(popup, QLatin1String(c))->isEnabled() ? '1'
                                                                                                                   : '0';
            return std::pair{popup, s};
        };

        // No selection, plain text only on the clipboard: nothing to do but help.
        QApplication::clipboard()->setText(QStringLiteral("plain"));
        auto [popup, states] = rightClick();
        QVERIFY(popup != nullptr);
        QCOMPARE(states, QStringLiteral("0001"));
        popup->close();

        // A selection and RTF on the clipboard: all three. Copy puts RTF and
        // plain text on the clipboard.
        QVERIFY(test::focusOn(box));
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        auto* rtf = new QMimeData;
        rtf->setData(QStringLiteral("text/rtf"), QByteArrayLiteral("{\\rtf1{\\colortbl ;\\red255\\green0\\blue0;}"
                                                                   "\\cf1 red words\\par}"));
        QApplication::clipboard()->setMimeData(rtf);
        std::tie(popup, states) = rightClick();
        QCOMPARE(states, QStringLiteral("1111"));
        clickEntry(popup, QStringLiteral("&Copy text"));
        const QMimeData* copied = QApplication::clipboard()->mimeData();
        QVERIFY(platform::mimeHoldsRtf(copied));
        QCOMPARE(copied->text(), QStringLiteral("plain bold"));
        QTextDocument doc;
        platform::readRtf(platform::rtfFromMime(copied), doc);
        QCOMPARE(doc.toPlainText(), QStringLiteral("plain bold"));
        QCOMPARE(formatOfLast(doc).fontWeight(), int(QFont::Bold));

        // Paste of RTF from another program: formatted, in the model, a change.
        rtf = new QMimeData;
        rtf->setData(QStringLiteral("text/rtf"),
                     QByteArrayLiteral("{\\rtf1{\\colortbl ;\\red255\\green0\\blue0;}\\cf1 red words\\par}"));
        rtf->setText(QStringLiteral("red words"));
        QApplication::clipboard()->setMimeData(rtf);
        w->session().setStrategiesChanged(false);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        std::tie(popup, states) = rightClick();
        clickEntry(popup, QStringLiteral("&Paste text"));
        QCOMPARE(box->toPlainText(), QStringLiteral("red words"));
        QCOMPARE(formatOfLast(*box->document()).foreground().color(), QColor(255, 0, 0));
        QVERIFY(w->session().library()->Item(1)->Strategies()->Item(1)->Description().contains(QLatin1String("\\red255")));
        QVERIFY(w->session().strategiesChanged());

        // Cut: the selection goes to the clipboard and out of the model.
        w->session().setStrategiesChanged(false);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        std::tie(popup, states) = rightClick();
        QCOMPARE(states, QStringLiteral("1111"));
        clickEntry(popup, QStringLiteral("Cu&t text"));
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("red words"));
        QVERIFY(platform::mimeHoldsRtf(QApplication::clipboard()->mimeData()));
        QVERIFY(box->toPlainText().isEmpty());
        QVERIFY(!platform::plainTextFromRtf(w->session().library()->Item(1)->Strategies()->Item(1)->Description())
                     .contains(QLatin1String("red")));
        QVERIFY(w->session().strategiesChanged());

        // Create formatted text: the help page on formatted descriptions.
        std::tie(popup, states) = rightClick();
        QCOMPARE(states, QStringLiteral("0011"));
        clickEntry(popup, QStringLiteral("Create formatted text"));
        QVERIFY(!dialogs.openedUrls.isEmpty());
        QCOMPARE(QFileInfo(dialogs.openedUrls.last().toLocalFile()).fileName(), QStringLiteral("t020207.htm"));
        QVERIFY(dialogs.errorReports.isEmpty());
    }

private:
    static QTextCharFormat formatOfLast(const QTextDocument& doc)
    {
        QTextCursor c(const_cast<QTextDocument*>(&doc));
        c.movePosition(QTextCursor::End);
        while (c.block().text().isEmpty() && c.movePosition(QTextCursor::PreviousBlock))
            c.movePosition(QTextCursor::EndOfBlock);
        return c.charFormat();
    }
};

TW_QTEST_MAIN(StrategyLibraryTest)

#include "StrategyLibraryTest.moc"
