#include "workspace/StrategyLibraryPane.h"

#include "app/Convert.h"
#include "app/Dialogs.h"
#include "app/Procedure.h"
#include "model/StrategyTemplates.h"
#include "platform/InputCodes.h"
#include "platform/PopupMenu.h"
#include "platform/TreeView.h"
#include "workspace/AnalysisSession.h"
#include "workspace/LibraryEdits.h"
#include "workspace/TreeKeys.h"

#include <QGroupBox>
#include <QScopeGuard>
#include <QSignalBlocker>
#include <QStyle>
#include <QTimer>

#include <utility>

namespace tw {

namespace {

enum NodeImage { ImageStrategy = 1, ImageSelectedStrategy = 2, ImageGroupCollapsed = 3, ImageGroupExpanded = 4 };

// The tree's nodes carry their key and the model object they show.
class StrategyNode : public QTreeWidgetItem {
public:
    StrategyNode(const QString& key, std::shared_ptr<StrategyType> group)
        : m_key(key), m_group(std::move(group))
    {
        setText(0, m_group->Caption());
        setFlags(flags() | Qt::ItemIsEditable);
        setBold(false);
    }
    StrategyNode(QTreeWidgetItem* parent, const QString& key, std::shared_ptr<Strategy> strategy)
        : QTreeWidgetItem(parent), m_key(key), m_strategy(std::move(strategy))
    {
        setText(0, m_strategy->Caption());
        setFlags(flags() | Qt::ItemIsEditable);
        setBold(false);
    }
    const QString& key() const { return m_key; }
    bool isGroup() const { return m_group != nullptr; }
    const std::shared_ptr<StrategyType>& group() const { return m_group; }
    const std::shared_ptr<Strategy>& strategy() const { return m_strategy; }
    // Only a change reaches the view.
    void setImage(int image, const QIcon& icon)
    {
        if (this->image() == image)
            return;
        setData(0, NodeImageRole, image);
        setIcon(0, icon);
    }
    int image() const { return data(0, NodeImageRole).toInt(); }
    // Nodes are written in the program's font, plain or bold.
    void setBold(bool bold)
    {
        QFont f = font(0);
        if (f.bold() == bold && data(0, Qt::FontRole).isValid())
            return;
        f.setBold(bold);
        setFont(0, f);
    }

private:
    QString m_key;
    std::shared_ptr<StrategyType> m_group;
    std::shared_ptr<Strategy> m_strategy;
};

StrategyNode* asNode(QTreeWidgetItem* item)
{
    return static_cast<StrategyNode*>(item);
}

} // namespace

StrategyLibraryPane::StrategyLibraryPane(AnalysisSession& session, QWidget* host)
    : WorkspacePane(session, host, QStringLiteral("StrategyLibraryPane"))
{
    fraStrategies = named(new QGroupBox(QStringLiteral("Strategies"), this), "fraStrategies");
    tvStrategies = named(new platform::TreeView(fraStrategies), "tvStrategies");
    tvStrategies->setHeaderHidden(true);
    // The four pictures are made once; every node shares them.
    QStyle* style = tvStrategies->style();
    m_icons = {style->standardIcon(QStyle::SP_FileIcon), style->standardIcon(QStyle::SP_DialogApplyButton),
               style->standardIcon(QStyle::SP_DirClosedIcon), style->standardIcon(QStyle::SP_DirOpenIcon)};
    Timer = new QTimer(this);
    Timer->setObjectName(QStringLiteral("Timer"));
    Timer->setInterval(100);
    connectTree();
    session.addEditorCommit(this, [this](const AnalysisSession::LeaveQuestion& leave) { return commitLabelEdit(leave); });
}

StrategyLibraryPane::~StrategyLibraryPane() = default;

void StrategyLibraryPane::connectTree()
{
    connect(Timer, &QTimer::timeout, this, [this] { Timer_Timer(); });
    connect(tvStrategies, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        tvStrategies_Click();
        tvStrategies_NodeClick(item);
    });
    connect(tvStrategies, &platform::TreeView::NodeClick, this,
            [this](QTreeWidgetItem* item) { tvStrategies_NodeClick(item); });
    // Opening or closing a group changes its picture, not the selection.
    connect(tvStrategies, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) { showGroupState(item); });
    connect(tvStrategies, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) { showGroupState(item); });
    connect(
        tvStrategies, &platform::TreeView::AfterLabelEdit, this,
        [this](QTreeWidgetItem* node, const QString& text, int& cancel) {
            tvStrategies_AfterLabelEdit(node, cancel, text);
        },
        Qt::DirectConnection);
    // However the editor went, a refusal said of its text is over.
    connect(tvStrategies, &platform::TreeView::LabelEditClosed, this,
            [this] { emit statusWithdrawn(std::exchange(m_labelNotice, QString())); });
    connect(
        tvStrategies, &platform::TreeView::BeforeUserInput, this,
        [this](int& cancel) { tvStrategies_BeforeUserInput(cancel); }, Qt::DirectConnection);
    connect(tvStrategies, &platform::TreeView::KeyDown, this,
            [this](int key, int shift) { tvStrategies_KeyDown(key, shift); });
    connect(tvStrategies, &platform::TreeView::MouseDown, this,
            [this](int b, int s, double x, double y) { tvStrategies_MouseDown(b, s, float(x), float(y)); });
    connect(tvStrategies, &platform::TreeView::MouseMove, this,
            [this](int b, int s, double x, double y) { tvStrategies_MouseMove(b, s, float(x), float(y)); });
    connect(tvStrategies, &platform::TreeView::MouseUp, this,
            [this](int b, int s, double x, double y) { tvStrategies_MouseUp(b, s, float(x), float(y)); });
    connect(tvStrategies, &platform::TreeView::DragOver, this,
            [this](double x, double y, int state) { tvStrategies_DragOver(float(x), float(y), state); });
    connect(tvStrategies, &platform::TreeView::DragDrop, this,
            [this](double x, double y) { tvStrategies_DragDrop(float(x), float(y)); });
}

void StrategyLibraryPane::setPopupMenu(platform::PopupMenu* menu)
{
    m_cStrategiesMenu = menu;
    connect(menu, &platform::PopupMenu::Click, this, [this](int item) { m_cStrategiesMenu_Click(item); });
}

bool StrategyLibraryPane::restoreSelection(const QString& key)
{
    if (tvStrategies->topLevelItemCount() == 0)
        return false;
    QTreeWidgetItem* node = nodeByKey(key);
    if (node == nullptr)
        return false;
    // The strategy's group is opened first, so the strategy is in view.
    if (node->parent() != nullptr)
        node->parent()->setExpanded(true);
    tvStrategies->setCurrentItem(node);
    tvStrategies_NodeClick(node);
    return true;
}

QTreeWidgetItem* StrategyLibraryPane::nodeByKey(const QString& key) const
{
    // Keys are positions: the group's node, then its strategy's.
    const int group = GetTypeIndex(key);
    const int strategy = GetItemIndex(key);
    if (group < 1 || group > tvStrategies->topLevelItemCount())
        return nullptr;
    QTreeWidgetItem* node = tvStrategies->topLevelItem(group - 1);
    if (strategy != -1)
        node = strategy >= 1 && strategy <= node->childCount() ? node->child(strategy - 1) : nullptr;
    return node != nullptr && asNode(node)->key() == key ? node : nullptr;
}

QString StrategyLibraryPane::nodeKey(const QTreeWidgetItem* node) const
{
    return node != nullptr ? static_cast<const StrategyNode*>(node)->key() : QString();
}

QString StrategyLibraryPane::selectedKey() const
{
    return nodeKey(tvStrategies->currentItem());
}

void StrategyLibraryPane::UpdateTreeView(const QString& selectKey)
{
    Procedure proc("frmStrategies", "UpdateTreeView");
    // Every failing statement is skipped without a message.
    const auto step = [&proc](auto&& f) {
        proc.step([&] {
            try {
                f();
            } catch (...) {
            }
        });
    };
    step([&] {
        m_DragNode = nullptr; // the nodes go with the rebuild
        m_shownNode = nullptr;
        tvStrategies->setDropHighlight(nullptr);
        tvStrategies->clear();
    });
    step([&] {
        if (session().library() == nullptr)
            return;
        // The nodes are made outside the tree and handed to it at once.
        QList<QTreeWidgetItem*> groups;
        groups.reserve(session().library()->Count());
        for (int32_t i = 1; i <= session().library()->Count(); ++i) {
            const auto group = session().library()->Item(i);
            auto* groupNode = new StrategyNode(groupKey(i), group);
            setImage(groupNode, ImageGroupCollapsed);
            for (int32_t j = 1; j <= group->Strategies()->Count(); ++j) {
                auto* node = new StrategyNode(groupNode, strategyKey(i, j), group->Strategies()->Item(j));
                setImage(node, ImageStrategy);
            }
            groups.append(groupNode);
        }
        tvStrategies->addTopLevelItems(groups);
    });
    // Selecting a node opens its group; that is no click on the group.
    const auto select = [this](QTreeWidgetItem* node) {
        if (node == nullptr)
            return;
        const QSignalBlocker quiet(tvStrategies);
        if (node->parent() != nullptr) {
            node->parent()->setExpanded(true);
            showGroupState(node->parent());
        }
        tvStrategies->scrollToItem(node);
        tvStrategies->setCurrentItem(node);
    };
    if (m_SkipDefaultSelection)
        m_SkipDefaultSelection = false;
    else
        step([&] { select(nodeByKey(QStringLiteral("T1S1"))); });
    if (!selectKey.isEmpty())
        step([&] { select(nodeByKey(selectKey)); });
    // The selected node is shown and evaluated once, as a click shows it.
    step([&] { tvStrategies_NodeClick(tvStrategies->currentItem()); });
}

void StrategyLibraryPane::tvStrategies_NodeClick(QTreeWidgetItem* item)
{
    Procedure proc("frmStrategies", "tvStrategies_NodeClick");
    auto* node = asNode(item);
    TW_STEP(proc, tvStrategies->setUpdatesEnabled(false));
    const auto show = qScopeGuard([this] { tvStrategies->setUpdatesEnabled(true); });
    TW_STEP(proc, markShown(node));
    TW_STEP(proc, {
        const QSignalBlocker block(tvStrategies);
        tvStrategies->setCurrentItem(node);
        if (node == nullptr)
            tvStrategies->clearSelection();
    });
    // The description box shows the node, the leg grids list a strategy's
    // legs and the strategy is evaluated: each pane follows the session.
    TW_STEP(proc, {
        if (node == nullptr)
            session().setSelection(QString(), nullptr, nullptr);
        else
            session().setSelection(node->key(), node->group(), node->strategy());
    });
}

void StrategyLibraryPane::tvStrategies_Click()
{
    Procedure proc("frmStrategies", "tvStrategies_Click");
    // A clicked strategy is marked at once; a group keeps its look until
    // the node click shows it.
    TW_STEP(proc, {
        auto* node = asNode(tvStrategies->currentItem());
        if (node != nullptr && !node->isGroup())
            markShown(node);
    });
}

void StrategyLibraryPane::markShown(QTreeWidgetItem* item)
{
    // Only the node shown before and the new one change: bold marks the
    // shown node, and a shown strategy has its own picture.
    const auto look = [this](QTreeWidgetItem* n, bool shown) {
        auto* node = asNode(n);
        node->setBold(shown);
        if (!node->isGroup())
            setImage(node, shown ? ImageSelectedStrategy : ImageStrategy);
    };
    if (m_shownNode != nullptr && m_shownNode != item)
        look(m_shownNode, false);
    m_shownNode = item;
    if (item != nullptr)
        look(item, true);
}

void StrategyLibraryPane::showGroupState(QTreeWidgetItem* group)
{
    if (group != nullptr && asNode(group)->isGroup())
        setImage(group, group->isExpanded() ? ImageGroupExpanded : ImageGroupCollapsed);
}

void StrategyLibraryPane::setImage(QTreeWidgetItem* node, int image)
{
    asNode(node)->setImage(image, m_icons.at(static_cast<size_t>(image - 1)));
}

// ---------------------------------------------------------------------------
// Tree interaction: rename in place, drag and drop, the tree's popup

void StrategyLibraryPane::tvStrategies_AfterLabelEdit(QTreeWidgetItem* node, int& Cancel, const QString& NewString)
{
    Procedure proc("frmStrategies", "tvStrategies_AfterLabelEdit");
    if (NewString.isEmpty()) {
        Cancel = 1; // the node keeps its name
        return;
    }
    Cancel = 0;
    emit statusWithdrawn(std::exchange(m_labelNotice, QString()));
    if (node == nullptr || session().library() == nullptr)
        return;
    // An edit that leaves the name as it was changes nothing.
    if (node->text(0) == NewString)
        return;
    TW_STEP(proc, renameNode(*session().library(), nodeKey(node), NewString));
    TW_STEP(proc, session().setStrategiesChanged(true));
}

void StrategyLibraryPane::tvStrategies_MouseDown(int Button, int Shift, float X, float Y)
{
    Q_UNUSED(Shift);
    Procedure proc("frmStrategies", "tvStrategies_MouseDown");
    if (Button == 2) {
        // The popup is for the node under the pointer: it is selected (and
        // shown) first, as a left click selects it. Empty space keeps the
        // selection.
        TW_STEP(proc, {
            QTreeWidgetItem* hit = tvStrategies->HitTest(X, Y);
            if (hit != nullptr && (hit != m_shownNode || hit != tvStrategies->currentItem()))
                tvStrategies_NodeClick(hit);
        });
        return;
    }
    if (Button != 1)
        return;
    TW_STEP(proc, {
        m_DragNode = tvStrategies->HitTest(X, Y);
        // Groups cannot be dragged.
        if (m_DragNode != nullptr && asNode(m_DragNode)->isGroup())
            m_DragNode = nullptr;
    });
}

void StrategyLibraryPane::tvStrategies_MouseMove(int Button, int Shift, float X, float Y)
{
    Q_UNUSED(Shift);
    Q_UNUSED(X);
    Q_UNUSED(Y);
    shielded("frmStrategies.tvStrategies_MouseMove", [&] {
        if (m_DragNode == nullptr || Button != 1 || tvStrategies->isDragging())
            return;
        m_Dragging = true;
        tvStrategies->setDragIcon(tvStrategies->CreateDragImage(m_DragNode));
        tvStrategies->Drag(1);
    });
}

void StrategyLibraryPane::tvStrategies_DragOver(float X, float Y, int State)
{
    Q_UNUSED(State);
    Procedure proc("frmStrategies", "tvStrategies_DragOver");
    if (!m_Dragging)
        return;
    TW_STEP(proc, {
        tvStrategies->setDropHighlight(tvStrategies->HitTest(X, Y));
        m_DragX = X;
        m_DragY = Y;
    });
    TW_STEP(proc, {
        switch (autoScrollZone(Y, tvStrategies->height() * tvStrategies->twipsPerPixelY())) {
        case AutoScroll::Up:
            m_ScrollUp = -1;
            Timer->start();
            break;
        case AutoScroll::Down:
            m_ScrollUp = 1;
            Timer->start();
            break;
        case AutoScroll::None:
            Timer->stop();
            break;
        }
    });
    TW_STEP(proc, {
        // A collapsed group opens under the pointer so its strategies can be
        // reached; it is not selected for that.
        auto* target = asNode(tvStrategies->DropHighlight());
        if (target != nullptr && target->isGroup() && !target->isExpanded()) {
            const QSignalBlocker quiet(tvStrategies);
            target->setExpanded(true);
            showGroupState(target);
        }
    });
}

void StrategyLibraryPane::Timer_Timer()
{
    shielded("frmStrategies.Timer_Timer", [this] {
        tvStrategies->setDropHighlight(tvStrategies->HitTest(m_DragX, m_DragY));
        tvStrategies->scrollLine(m_ScrollUp == -1);
    });
}

void StrategyLibraryPane::tvStrategies_DragDrop(float X, float Y)
{
    Procedure proc("frmStrategies", "tvStrategies_DragDrop");
    TW_STEP(proc, {
        m_Dragging = false;
        Timer->stop();
    });
    // The node under the pointer at the drop is the target.
    TW_STEP(proc, tvStrategies->setDropHighlight(tvStrategies->HitTest(X, Y)));
    QTreeWidgetItem* target = tvStrategies->DropHighlight();
    if (m_DragNode == nullptr || session().library() == nullptr) {
        // nothing was picked up
    } else if (target == nullptr || nodeKey(target) == nodeKey(m_DragNode)) {
        // Dropped on empty space or on itself: nothing moves; the strategy
        // that was pressed on is the one selected, so it is the one shown.
        TW_STEP(proc, tvStrategies_NodeClick(m_DragNode));
    } else {
        DropOutcome outcome;
        TW_STEP(proc, outcome = dropStrategy(*session().library(), nodeKey(m_DragNode), nodeKey(target)));
        TW_STEP(proc, rebuildAndSelect(outcome.selectKey, false));
        if (outcome.moved)
            TW_STEP(proc, session().setStrategiesChanged(true));
    }
    TW_STEP(proc, {
        m_DragNode = nullptr;
        tvStrategies->setDropHighlight(nullptr);
    });
}

void StrategyLibraryPane::tvStrategies_MouseUp(int Button, int Shift, float X, float Y)
{
    Q_UNUSED(Shift);
    Procedure proc("frmStrategies", "tvStrategies_MouseUp");
    TW_STEP(proc, Timer->stop());
    if (Button == 1 && m_Dragging && !tvStrategies->isDragging()) {
        // The drag ended outside the tree: nothing moves.
        TW_STEP(proc, {
            m_Dragging = false;
            if (m_DragNode != nullptr)
                tvStrategies_NodeClick(m_DragNode);
            m_DragNode = nullptr;
            tvStrategies->setDropHighlight(nullptr);
        });
        return;
    }
    if (Button != 2)
        return;
    showStrategiesPopup(proc, X, Y);
}

void StrategyLibraryPane::tvStrategies_KeyDown(int KeyCode, int Shift)
{
    Procedure proc("frmStrategies", "tvStrategies_KeyDown");
    // The Menu key and Shift+F10 open the popup for the selected node.
    if (KeyCode != platform::Vk::Apps && !(KeyCode == platform::Vk::F10 && Shift == platform::ShiftMask))
        return;
    QPointF at;
    TW_STEP(proc, at = tvStrategies->keyboardPopupPoint());
    showStrategiesPopup(proc, float(at.x()), float(at.y()));
}

void StrategyLibraryPane::tvStrategies_BeforeUserInput(int& Cancel)
{
    // Every press and key on the tree comes here: no call-stack entry (the
    // commits push their own).
    Cancel = 0;
    shielded("frmStrategies.tvStrategies_BeforeUserInput",
             [&] { Cancel = session().commitOpenEditors() ? 0 : 1; });
}

bool StrategyLibraryPane::commitLabelEdit(const std::function<bool(const QString&)>& leave)
{
    Procedure proc("frmStrategies", "commitLabelEdit");
    QTreeWidgetItem* node = nullptr;
    TW_STEP_OR(proc, false, node = tvStrategies->labelEditNode());
    bool committed = true;
    TW_STEP_OR(proc, false, committed = tvStrategies->commitLabelEdit());
    if (committed)
        return true;
    if (leave) {
        // Closing the window: the user chooses between the name and the
        // exit.
        const QString name = node != nullptr ? node->text(0) : QString();
        bool left = false;
        TW_STEP_OR(proc, false, left = leave(QStringLiteral("A name cannot be empty: \"%1\" keeps its name.\r\n"
                                                            "Leave the name and exit?")
                                                 .arg(name)));
        if (left) {
            TW_STEP_OR(proc, false, tvStrategies->cancelLabelEdit());
            return true;
        }
        // The question took the window's keyboard, which ends a label edit
        // (with the old name): back to the empty name.
        TW_STEP_OR(proc, false, {
            if (tvStrategies->labelEditNode() == nullptr)
                tvStrategies->reopenLabelEdit(QString());
        });
    } else {
        TW_STEP_OR(proc, false, dialogs().beep());
    }
    TW_STEP_OR(proc, false, {
        m_labelNotice = QStringLiteral(" A name cannot be empty: type one, or press Escape to keep the old name");
        emit statusMessage(m_labelNotice);
    });
    return false;
}

void StrategyLibraryPane::showStrategiesPopup(Procedure& proc, float X, float Y)
{
    platform::PopupMenu* menu = m_cStrategiesMenu;
    TW_STEP(proc, menu->RemoveItem(QStringLiteral("mnuStrategiesMoveTo")));
    const QString key = selectedKey();
    TreePopupStates states;
    TW_STEP(proc, states = treePopupStates(session().library() ? *session().library() : StrategyTypeCollection(), key));
    TW_STEP(proc, {
        const auto enable = [menu](const char* itemKey, bool on) {
            menu->setItemEnabled(menu->IndexOfKey(QLatin1String(itemKey)), on);
        };
        enable("mnuStrategiesRename", states.rename);
        enable("mnuStrategiesAdd", states.addStrategy);
        enable("mnuStrategiesDelete", states.deleteStrategy);
        enable("mnuStrategiesCopy", states.copyStrategy);
        enable("mnuStrategiesDeleteGroup", states.deleteGroup);
        enable("mnuStrategiesExport", states.exportNode);
    });
    if (states.moveTo) {
        TW_STEP(proc, {
            const int moveTo = menu->InsertItem(QStringLiteral("Move to"), QStringLiteral("mnuStrategiesSeparator2"),
                                                QString(), 0, 34, false, true, QStringLiteral("mnuStrategiesMoveTo"));
            for (const MoveTarget& t : moveTargets(*session().library(), key))
                menu->AddItem(t.caption, QString(), t.group, moveTo, 33, false, true, QStringLiteral("mnuMoveToType"));
        });
    }
    TW_STEP(proc, {
        const QPoint at = popupPoint(tvStrategies, X, Y);
        menu->ShowAt(at.x(), at.y());
    });
}

void StrategyLibraryPane::rebuildAndSelect(const QString& key, bool startLabelEdit)
{
    // The tree repaints once, when the new selection is made.
    tvStrategies->setUpdatesEnabled(false);
    const auto show = qScopeGuard([this] { tvStrategies->setUpdatesEnabled(true); });
    UpdateTreeView(key);
    if (startLabelEdit)
        tvStrategies->StartLabelEdit(tvStrategies->currentItem());
}

void StrategyLibraryPane::m_cStrategiesMenu_Click(int itemNumber)
{
    Procedure proc("frmStrategies", "m_cStrategiesMenu_Click");
    // Every command here reads the library or builds the tree again: what
    // is typed into an editor goes in first.
    if (!commitOpenEditors(proc))
        return;
    QString key;
    TW_STEP(proc, key = m_cStrategiesMenu->KeyOfItem(itemNumber));
    const auto is = [&key](const char* k) { return key == QLatin1String(k); };
    if (is("mnuStrategiesRename")) {
        TW_STEP(proc, tvStrategies->StartLabelEdit(tvStrategies->currentItem()));
    } else if (is("mnuStrategiesLoad")) {
        TW_STEP(proc, LoadStrategies());
    } else if (is("mnuStrategiesSave")) {
        TW_STEP(proc, SaveStrategies());
    } else if (is("mnuStrategiesSaveAs")) {
        TW_STEP(proc, SaveStrategiesAs());
    } else if (is("mnuStrategiesAdd")) {
        TW_STEP(proc, AddStrategy());
    } else if (is("mnuStrategiesDelete")) {
        TW_STEP(proc, DeleteStrategy());
    } else if (is("mnuStrategiesCopy")) {
        TW_STEP(proc, StrategyCopy());
    } else if (is("mnuMoveToType")) {
        TW_STEP(proc, MoveStrategyTo(m_cStrategiesMenu->ItemData(itemNumber)));
    } else if (is("mnuStrategiesAddGroup")) {
        TW_STEP(proc, AddStrategyType());
    } else if (is("mnuStrategiesDeleteGroup")) {
        TW_STEP(proc, DeleteStrategyType());
    } else if (is("mnuStrategiesExport")) {
        TW_STEP(proc, ExportStrategies());
    } else if (is("mnuStrategiesImport")) {
        TW_STEP(proc, AppendStrategies());
    }
}

void StrategyLibraryPane::editSelectedNode(Procedure& proc,
                                     const std::function<QString(StrategyTypeCollection&, const QString&)>& edit,
                                     bool startLabelEdit, bool markChanged)
{
    const QString key = selectedKey();
    if (key.isEmpty() || session().library() == nullptr)
        return; // the commands need a selected node
    QString select;
    if (!proc.step([&] { select = edit(*session().library(), key); }) || select.isEmpty())
        return;
    if (!proc.step([&] { rebuildAndSelect(select, startLabelEdit); }))
        return;
    if (markChanged)
        proc.step([&] { session().setStrategiesChanged(true); });
}

void StrategyLibraryPane::AddStrategy()
{
    Procedure proc("frmStrategies", "AddStrategy");
    editSelectedNode(
        proc,
        [this](StrategyTypeCollection& types, const QString& key) {
            const QString added = addStrategy(types, key);
            m_SkipDefaultSelection = true; // the new strategy is selected instead
            return added;
        },
        true, true);
}

void StrategyLibraryPane::StrategyCopy()
{
    Procedure proc("frmStrategies", "StrategyCopy");
    // A group is not copied; a copy alone is not an unsaved change.
    editSelectedNode(proc, copyStrategy, true, false);
}

void StrategyLibraryPane::AddStrategyType()
{
    Procedure proc("frmStrategies", "AddStrategyType");
    QString added;
    TW_STEP(proc, added = addGroup(session().ensureLibrary()));
    TW_STEP(proc, rebuildAndSelect(added, true));
    TW_STEP(proc, session().setStrategiesChanged(true));
}

void StrategyLibraryPane::MoveStrategyTo(int group)
{
    Procedure proc("frmStrategies", "MoveStrategyTo");
    editSelectedNode(
        proc,
        [group](StrategyTypeCollection& types, const QString& key) { return moveStrategyToGroup(types, key, group); },
        false, true);
}

void StrategyLibraryPane::DeleteStrategy()
{
    Procedure proc("frmStrategies", "DeleteStrategy");
    editSelectedNode(proc, deleteStrategy, false, true);
}

void StrategyLibraryPane::DeleteStrategyType()
{
    Procedure proc("frmStrategies", "DeleteStrategyType");
    const QString key = selectedKey();
    if (key.isEmpty() || session().library() == nullptr)
        return;
    bool ask = false;
    TW_STEP(proc, ask = groupHasStrategies(*session().library(), key));
    if (ask) {
        int answer = Msg::No;
        TW_STEP(proc, answer = dialogs().messageBox(
                          QStringLiteral("The strategy group is not empty.\r\nDo you realy want to delete it?"),
                          Msg::YesNo | Msg::Exclamation, QStringLiteral("Delete strategy group")));
        if (answer != Msg::Yes)
            return;
    }
    // With no group left nothing is selected.
    TW_STEP(proc, {
        const QString next = deleteGroup(*session().library(), key);
        rebuildAndSelect(next, false);
    });
    TW_STEP(proc, session().setStrategiesChanged(true));
}

} // namespace tw
