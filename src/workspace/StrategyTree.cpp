// The strategy tree of the main window: built from the strategy library,
// keyed by position ("T1", "T1S1"), and the selection road that shows a
// node's description, lists a strategy's legs and evaluates them; renaming
// in place, dragging strategies within and between groups, the tree's
// popup; and the description box, which writes what the user changes back
// into the group or strategy shown.

#include "mainwindow/frmStrategies.h"

#include "app/Convert.h"
#include "app/Procedure.h"
#include "model/StrategyTemplates.h"
#include "platform/Grid.h"
#include "platform/PopupMenu.h"
#include "platform/RichTextBox.h"
#include "platform/TreeView.h"
#include "workspace/AnalysisSession.h"
#include "workspace/LibraryEdits.h"
#include "workspace/PayoffSketch.h"
#include "workspace/TreeKeys.h"

#include <QApplication>
#include <QGroupBox>
#include <QSignalBlocker>
#include <QStyle>
#include <QTimer>

namespace tw {

namespace {

enum NodeImage { ImageStrategy = 1, ImageSelectedStrategy = 2, ImageGroupCollapsed = 3, ImageGroupExpanded = 4 };

QIcon nodeIcon(int image)
{
    QStyle* style = QApplication::style();
    switch (image) {
    case ImageStrategy:
        return style->standardIcon(QStyle::SP_FileIcon);
    case ImageSelectedStrategy:
        return style->standardIcon(QStyle::SP_DialogApplyButton);
    case ImageGroupCollapsed:
        return style->standardIcon(QStyle::SP_DirClosedIcon);
    case ImageGroupExpanded:
        return style->standardIcon(QStyle::SP_DirOpenIcon);
    default:
        return {};
    }
}

// The tree's nodes carry their key and the model object they show.
class StrategyNode : public QTreeWidgetItem {
public:
    StrategyNode(const QString& key, std::shared_ptr<StrategyType> group)
        : m_key(key), m_group(std::move(group))
    {
        setText(0, m_group->Caption());
        setFlags(flags() | Qt::ItemIsEditable);
    }
    StrategyNode(QTreeWidgetItem* parent, const QString& key, std::shared_ptr<Strategy> strategy)
        : QTreeWidgetItem(parent), m_key(key), m_strategy(std::move(strategy))
    {
        setText(0, m_strategy->Caption());
        setFlags(flags() | Qt::ItemIsEditable);
    }
    const QString& key() const { return m_key; }
    bool isGroup() const { return m_group != nullptr; }
    const std::shared_ptr<StrategyType>& group() const { return m_group; }
    const std::shared_ptr<Strategy>& strategy() const { return m_strategy; }
    QString description() const { return m_group ? m_group->Description() : m_strategy->Description(); }
    void setDescription(const QString& rtf)
    {
        if (m_group)
            m_group->setDescription(rtf);
        else
            m_strategy->setDescription(rtf);
    }
    void setImage(int image)
    {
        setIcon(0, nodeIcon(image));
        setData(0, NodeImageRole, image);
    }
    int image() const { return data(0, NodeImageRole).toInt(); }
    void setBold(bool bold)
    {
        QFont f = font(0);
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

template <class F>
void forEachNode(QTreeWidget* tree, F&& f)
{
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* group = tree->topLevelItem(i);
        f(asNode(group));
        for (int j = 0; j < group->childCount(); ++j)
            f(asNode(group->child(j)));
    }
}

} // namespace

QTreeWidgetItem* frmStrategies::nodeByKey(const QString& key) const
{
    QTreeWidgetItem* found = nullptr;
    forEachNode(tvStrategies, [&](StrategyNode* node) {
        if (found == nullptr && node->key() == key)
            found = node;
    });
    return found;
}

QString frmStrategies::nodeKey(const QTreeWidgetItem* node) const
{
    return node != nullptr ? static_cast<const StrategyNode*>(node)->key() : QString();
}

QString frmStrategies::selectedKey() const
{
    return nodeKey(tvStrategies->currentItem());
}

void frmStrategies::showDescription(const QString& rtf)
{
    // Setting the box raises no change: only what the user changes is
    // written back, so a description is stored as it came until then.
    rtfDescription->setTextRTF(rtf);
}

void frmStrategies::UpdateTreeView(const QString& selectKey)
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
        tvStrategies->setDropHighlight(nullptr);
        tvStrategies->clear();
    });
    step([&] {
        if (m_session->library() == nullptr)
            return;
        for (int32_t i = 1; i <= m_session->library()->Count(); ++i) {
            const auto group = m_session->library()->Item(i);
            auto* groupNode = new StrategyNode(groupKey(i), group);
            groupNode->setImage(ImageGroupCollapsed);
            tvStrategies->addTopLevelItem(groupNode);
            for (int32_t j = 1; j <= group->Strategies()->Count(); ++j) {
                auto* node = new StrategyNode(groupNode, strategyKey(i, j), group->Strategies()->Item(j));
                node->setImage(ImageStrategy);
            }
        }
    });
    // Selecting a node opens its group; that is no click on the group.
    const auto select = [this](QTreeWidgetItem* node) {
        if (node == nullptr)
            return;
        const QSignalBlocker quiet(tvStrategies);
        if (node->parent() != nullptr)
            node->parent()->setExpanded(true);
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

void frmStrategies::tvStrategies_NodeClick(QTreeWidgetItem* item)
{
    Procedure proc("frmStrategies", "tvStrategies_NodeClick");
    auto* node = asNode(item);
    TW_STEP(proc, tvStrategies->setUpdatesEnabled(false));
    const auto show = qScopeGuard([this] { tvStrategies->setUpdatesEnabled(true); });
    TW_STEP(proc, forEachNode(tvStrategies, [](StrategyNode* n) {
                n->setBold(false);
                if (n->isGroup())
                    n->setImage(n->isExpanded() ? ImageGroupExpanded : ImageGroupCollapsed);
                else
                    n->setImage(ImageStrategy);
            }));
    TW_STEP(proc, {
        const QSignalBlocker block(tvStrategies);
        tvStrategies->setCurrentItem(node);
        if (node == nullptr)
            tvStrategies->clearSelection();
    });
    TW_STEP(proc, {
        if (node == nullptr)
            m_session->setSelection(QString(), nullptr, nullptr);
        else
            m_session->setSelection(node->key(), node->group(), node->strategy());
    });
    if (node == nullptr) {
        TW_STEP(proc, {
            showDescription(QString());
            rtfDescription->setEnabled(false);
        });
        TW_STEP(proc, {
            gdParams->Clear(true);
            gdSelected->Clear(true);
        });
        TW_STEP(proc, m_session->SelectOptions(nullptr));
        return;
    }
    TW_STEP(proc, {
        rtfDescription->setEnabled(true);
        showDescription(node->description());
        node->setBold(true);
    });
    if (!node->isGroup()) {
        TW_STEP(proc, node->setImage(ImageSelectedStrategy));
        TW_STEP(proc, UpdateParamsList(*node->strategy()->Params()));
        TW_STEP(proc, m_session->SelectOptions(node->strategy()->Params()));
    } else {
        TW_STEP(proc, payoffSketch()->ClearLegs());
        TW_STEP(proc, {
            gdParams->Clear(true);
            gdSelected->Clear(true);
        });
        TW_STEP(proc, m_session->SelectOptions(nullptr));
    }
}

void frmStrategies::tvStrategies_Click()
{
    Procedure proc("frmStrategies", "tvStrategies_Click");
    TW_STEP(proc, forEachNode(tvStrategies, [](StrategyNode* n) {
                if (n->isGroup()) {
                    n->setImage(n->isExpanded() ? ImageGroupExpanded : ImageGroupCollapsed);
                } else {
                    n->setBold(false);
                    n->setImage(ImageStrategy);
                }
            }));
    TW_STEP(proc, {
        auto* node = asNode(tvStrategies->currentItem());
        if (node != nullptr && !node->isGroup()) {
            node->setImage(ImageSelectedStrategy);
            node->setBold(true);
        }
    });
}

// ---------------------------------------------------------------------------
// Tree interaction: rename in place, drag and drop, the tree's popup

void frmStrategies::connectStrategyLibrary()
{
    Timer = new QTimer(this);
    Timer->setObjectName(QStringLiteral("Timer"));
    Timer->setInterval(100);
    connect(Timer, &QTimer::timeout, this, [this] { Timer_Timer(); });
    connect(
        tvStrategies, &platform::TreeView::AfterLabelEdit, this,
        [this](QTreeWidgetItem* node, const QString& text, int& cancel) {
            tvStrategies_AfterLabelEdit(node, cancel, text);
        },
        Qt::DirectConnection);
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
    connect(rtfDescription, &QTextEdit::textChanged, this, [this] { rtfDescription_Change(); });
    connect(rtfDescription, &platform::RichTextBox::MouseUp, this,
            [this](int b, int s, double x, double y) { rtfDescription_MouseUp(b, s, float(x), float(y)); });
}

void frmStrategies::tvStrategies_AfterLabelEdit(QTreeWidgetItem* node, int& Cancel, const QString& NewString)
{
    Procedure proc("frmStrategies", "tvStrategies_AfterLabelEdit");
    if (NewString.isEmpty()) {
        Cancel = 1; // the node keeps its name
        return;
    }
    Cancel = 0;
    if (node == nullptr || m_session->library() == nullptr)
        return;
    // An edit that leaves the name as it was changes nothing.
    if (node->text(0) == NewString)
        return;
    TW_STEP(proc, renameNode(*m_session->library(), nodeKey(node), NewString));
    TW_STEP(proc, m_session->setStrategiesChanged(true));
}

void frmStrategies::tvStrategies_MouseDown(int Button, int Shift, float X, float Y)
{
    Q_UNUSED(Shift);
    Procedure proc("frmStrategies", "tvStrategies_MouseDown");
    if (Button != 1)
        return;
    TW_STEP(proc, {
        m_DragNode = tvStrategies->HitTest(X, Y);
        // Groups cannot be dragged.
        if (m_DragNode != nullptr && asNode(m_DragNode)->isGroup())
            m_DragNode = nullptr;
    });
}

void frmStrategies::tvStrategies_MouseMove(int Button, int Shift, float X, float Y)
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

void frmStrategies::tvStrategies_DragOver(float X, float Y, int State)
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
            target->setImage(ImageGroupExpanded);
        }
    });
}

void frmStrategies::Timer_Timer()
{
    shielded("frmStrategies.Timer_Timer", [this] {
        tvStrategies->setDropHighlight(tvStrategies->HitTest(m_DragX, m_DragY));
        tvStrategies->scrollLine(m_ScrollUp == -1);
    });
}

void frmStrategies::tvStrategies_DragDrop(float X, float Y)
{
    Procedure proc("frmStrategies", "tvStrategies_DragDrop");
    TW_STEP(proc, {
        m_Dragging = false;
        Timer->stop();
    });
    // The node under the pointer at the drop is the target.
    TW_STEP(proc, tvStrategies->setDropHighlight(tvStrategies->HitTest(X, Y)));
    QTreeWidgetItem* target = tvStrategies->DropHighlight();
    if (m_DragNode == nullptr || m_session->library() == nullptr) {
        // nothing was picked up
    } else if (target == nullptr) {
        // Dropped on empty space: nothing moves; the strategy that was
        // pressed on is the one selected, so it is the one shown.
        TW_STEP(proc, tvStrategies_NodeClick(m_DragNode));
    } else if (nodeKey(target) == nodeKey(m_DragNode)) {
        TW_STEP(proc, tvStrategies_NodeClick(m_DragNode));
    } else {
        DropOutcome outcome;
        TW_STEP(proc, outcome = dropStrategy(*m_session->library(), nodeKey(m_DragNode), nodeKey(target)));
        TW_STEP(proc, rebuildAndSelect(outcome.selectKey, false));
        if (outcome.moved)
            TW_STEP(proc, m_session->setStrategiesChanged(true));
    }
    TW_STEP(proc, {
        m_DragNode = nullptr;
        tvStrategies->setDropHighlight(nullptr);
    });
}

void frmStrategies::tvStrategies_MouseUp(int Button, int Shift, float X, float Y)
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
    platform::PopupMenu* menu = m_cStrategiesMenu;
    TW_STEP(proc, menu->RemoveItem(QStringLiteral("mnuStrategiesMoveTo")));
    // The popup serves the selected node, not the one under the pointer.
    const QString key = selectedKey();
    TreePopupStates states;
    TW_STEP(proc, states = treePopupStates(m_session->library() ? *m_session->library() : StrategyTypeCollection(), key));
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
            for (const MoveTarget& t : moveTargets(*m_session->library(), key))
                menu->AddItem(t.caption, QString(), t.group, moveTo, 33, false, true, QStringLiteral("mnuMoveToType"));
        });
    }
    TW_STEP(proc, {
        const QPoint at = popupPoint(fraStrategies, tvStrategies, X, Y);
        menu->ShowAt(at.x(), at.y());
    });
}

// ---------------------------------------------------------------------------
// Description box

void frmStrategies::rtfDescription_Change()
{
    Procedure proc("frmStrategies", "rtfDescription_Change");
    auto* node = asNode(tvStrategies->currentItem());
    if (node == nullptr)
        return;
    TW_STEP(proc, node->setDescription(rtfDescription->TextRTF()));
    // An edited description is an unsaved change like any other.
    TW_STEP(proc, m_session->setStrategiesChanged(true));
}

void frmStrategies::rtfDescription_MouseUp(int Button, int Shift, float X, float Y)
{
    Q_UNUSED(Shift);
    Procedure proc("frmStrategies", "rtfDescription_MouseUp");
    if (Button != 2)
        return;
    TW_STEP(proc, setEditMenuStates());
    TW_STEP(proc, {
        const QPoint at = popupPoint(fraDescription, rtfDescription, X, Y);
        m_cMenu->ShowSubmenuAt(at.x(), at.y(), m_cMenu->IndexOfKey(QStringLiteral("mnuEditCopy")));
    });
}

} // namespace tw
