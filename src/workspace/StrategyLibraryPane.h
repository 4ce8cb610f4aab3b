#pragma once
// The strategy library pane: the frame "Strategies" with the strategy tree,
// built from the session's library and keyed by position ("T1", "T1S1").
// A click on a node selects it in the session (which shows its description,
// lists and evaluates its legs); the node can be renamed in place and a
// strategy dragged within and between groups; the tree's popup (a right
// click selects the node under the pointer first; the Menu key and
// Shift+F10 open it for the selected node) adds, copies, moves and deletes
// strategies and groups, and carries the strategies-file commands, which the
// window's menu bar and toolbar reach here too.
//
// Every press on the tree, every popup command and every file command
// commits the editors open over the library first (the session's
// commitOpenEditors), and stops when one of them refuses what was typed.
//
// Every edit changes the library first (workspace/LibraryEdits.h), then
// builds the whole tree again and selects the node the edit produced.

#include "workspace/WorkspacePane.h"

#include <QIcon>

#include <array>
#include <functional>
#include <memory>

class QGroupBox;
class QTimer;
class QTreeWidgetItem;

namespace tw {

class Procedure;
class StrategyTypeCollection;

namespace platform {
class PopupMenu;
class TreeView;
} // namespace platform

class StrategyLibraryPane : public WorkspacePane {
    Q_OBJECT
public:
    StrategyLibraryPane(AnalysisSession& session, QWidget* host);
    ~StrategyLibraryPane() override;

    // The tree popup, made with the window's menus; its commands run here.
    void setPopupMenu(platform::PopupMenu* menu);

    // ---- The tree -------------------------------------------------------
    // Builds the tree from the library and selects the first strategy,
    // opening its group (not once after m_SkipDefaultSelection was set), then
    // the node `selectKey` instead when it names one; shows the selected node
    // as a click does, the only node shown and evaluated.
    void UpdateTreeView(const QString& selectKey = QString());
    void tvStrategies_NodeClick(QTreeWidgetItem* node);
    void tvStrategies_Click();
    // Selects the node of that key as the start-up does (its group opened
    // first); false when there is no such node.
    bool restoreSelection(const QString& key);
    // The tree node with this key, or nullptr.
    QTreeWidgetItem* nodeByKey(const QString& key) const;
    QString nodeKey(const QTreeWidgetItem* node) const;
    // The key of the tree's selected node ("" for none).
    QString selectedKey() const;
    bool m_SkipDefaultSelection = false;

    // ---- Tree interaction (positions in twips relative to the tree) -------
    void tvStrategies_AfterLabelEdit(QTreeWidgetItem* node, int& Cancel, const QString& NewString);
    void tvStrategies_MouseDown(int Button, int Shift, float X, float Y);
    void tvStrategies_MouseMove(int Button, int Shift, float X, float Y);
    void tvStrategies_DragOver(float X, float Y, int State);
    void Timer_Timer();
    void tvStrategies_DragDrop(float X, float Y);
    void tvStrategies_MouseUp(int Button, int Shift, float X, float Y);
    void tvStrategies_KeyDown(int KeyCode, int Shift);
    // Before a press on the tree acts: the open editors are committed; a
    // refusal sets Cancel.
    void tvStrategies_BeforeUserInput(int& Cancel);

    // ---- The popup's tree edits ------------------------------------------
    void m_cStrategiesMenu_Click(int itemNumber);
    void AddStrategy();
    void StrategyCopy();
    void AddStrategyType();
    void MoveStrategyTo(int group);
    void DeleteStrategy();
    void DeleteStrategyType();

    // ---- Strategies files --------------------------------------------------
    void LoadStrategies();
    void SaveStrategies();
    void SaveStrategiesAs();
    void AppendStrategies();
    void AppendStrategyFromFile(const QString& path);
    void ExportStrategies();
    // The start-up's load of the session's library file, else the shipped
    // library as an untitled copy.
    void LoadStartupStrategies();
    // The chosen file, or an empty text when the dialog was cancelled;
    // `folder` is where the dialog starts (empty: its own default).
    QString chooseStrategiesFile(const QString& title, const QString& initial, bool mustExist, bool save,
                                 const QString& folder = QString());

private:
    void connectTree();
    // Shows the tree popup for the selected node at (X, Y), twips relative
    // to the tree.
    void showStrategiesPopup(Procedure& proc, float X, float Y);
    // Commits an open label editor as Return does; false, with the editor
    // left open and the user told, when the name is refused. With `leave`
    // (the window is being closed) a refused name is asked about instead:
    // left, the node keeps its name and the answer is true.
    bool commitLabelEdit(const std::function<bool(const QString&)>& leave);
    // Shows `node` as the selected one (bold; a strategy with its selected
    // picture) and the node shown so far as an ordinary one again.
    void markShown(QTreeWidgetItem* node);
    // A group's open or closed picture, by its state.
    void showGroupState(QTreeWidgetItem* group);
    void setImage(QTreeWidgetItem* node, int image);
    // Builds the tree again with the node of that key selected (when there is
    // one) and shown; `startLabelEdit` opens its name for editing.
    void rebuildAndSelect(const QString& key, bool startLabelEdit);
    // One edit of the library on the selected node (none selected: nothing):
    // `edit` gives the key of the node to select after it (empty: the edit
    // did nothing), which the rebuilt tree then shows.
    void editSelectedNode(Procedure& proc,
                          const std::function<QString(StrategyTypeCollection&, const QString&)>& edit,
                          bool startLabelEdit, bool markChanged);
    // Makes the file at `path` the open library; false with the user's
    // message when it cannot be read (nothing changed then).
    bool openStrategiesFile(const QString& path, QString& message);
    // Writes a library and gives the stamp of what was written; an empty one,
    // after telling the user, when it fails, when the path is the shipped
    // library, or when the user declines to replace the file the start-up
    // could not read.
    QByteArray writeStrategies(const StrategyTypeCollection& types, const QString& path);

    QGroupBox* fraStrategies = nullptr;
    platform::TreeView* tvStrategies = nullptr;
    // Scrolls the tree one line per tick (100 ms) while a dragged strategy
    // rests near its top or bottom edge.
    QTimer* Timer = nullptr;
    platform::PopupMenu* m_cStrategiesMenu = nullptr;
    // The pictures of a strategy, the selected strategy, a closed and an
    // open group.
    std::array<QIcon, 4> m_icons;
    // The node shown as selected (bold), or none.
    QTreeWidgetItem* m_shownNode = nullptr;

    // What the status line says of a name refused by a command, until a
    // name is taken.
    QString m_labelNotice;
    // The user's strategies file that the start-up could not read (damaged
    // or gone), while nothing has been saved over it.
    QString m_unreadableFile;

    // The strategy node picked up by the last left press (none for a group
    // or empty space), and the state of its drag.
    QTreeWidgetItem* m_DragNode = nullptr;
    bool m_Dragging = false;
    float m_DragX = 0;
    float m_DragY = 0;
    int16_t m_ScrollUp = 0;
};

} // namespace tw
