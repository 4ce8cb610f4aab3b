// The commands of the strategy tree's popup: add, copy, move and delete
// strategies, add and delete groups. Each changes the library first
// (LibraryEdits), then builds the whole tree again and selects the node the
// edit produced.

#include "mainwindow/frmStrategies.h"

#include "app/Dialogs.h"
#include "app/Procedure.h"
#include "model/StrategyTemplates.h"
#include "platform/PopupMenu.h"
#include "platform/TreeView.h"
#include "workspace/LibraryEdits.h"

#include <QScopeGuard>
#include <functional>

namespace tw {

void frmStrategies::rebuildAndSelect(const QString& key, bool startLabelEdit)
{
    // The tree repaints once, when the new selection is made.
    tvStrategies->setUpdatesEnabled(false);
    const auto show = qScopeGuard([this] { tvStrategies->setUpdatesEnabled(true); });
    UpdateTreeView(key);
    if (startLabelEdit)
        tvStrategies->StartLabelEdit(tvStrategies->currentItem());
}

void frmStrategies::m_cStrategiesMenu_Click(int itemNumber)
{
    Procedure proc("frmStrategies", "m_cStrategiesMenu_Click");
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

void frmStrategies::editSelectedNode(Procedure& proc,
                                     const std::function<QString(StrategyTypeCollection&, const QString&)>& edit,
                                     bool startLabelEdit, bool markChanged)
{
    const QString key = selectedKey();
    if (key.isEmpty() || m_session->library() == nullptr)
        return; // the commands need a selected node
    QString select;
    if (!proc.step([&] { select = edit(*m_session->library(), key); }) || select.isEmpty())
        return;
    if (!proc.step([&] { rebuildAndSelect(select, startLabelEdit); }))
        return;
    if (markChanged)
        proc.step([&] { m_session->setStrategiesChanged(true); });
}

void frmStrategies::AddStrategy()
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

void frmStrategies::StrategyCopy()
{
    Procedure proc("frmStrategies", "StrategyCopy");
    // A group is not copied; a copy alone is not an unsaved change.
    editSelectedNode(proc, copyStrategy, true, false);
}

void frmStrategies::AddStrategyType()
{
    Procedure proc("frmStrategies", "AddStrategyType");
    if (m_session->library() == nullptr)
        TW_STEP(proc, m_session->setLibrary(std::make_shared<StrategyTypeCollection>()));
    QString added;
    TW_STEP(proc, added = addGroup(*m_session->library()));
    TW_STEP(proc, rebuildAndSelect(added, true));
    TW_STEP(proc, m_session->setStrategiesChanged(true));
}

void frmStrategies::MoveStrategyTo(int group)
{
    Procedure proc("frmStrategies", "MoveStrategyTo");
    editSelectedNode(
        proc,
        [group](StrategyTypeCollection& types, const QString& key) { return moveStrategyToGroup(types, key, group); },
        false, true);
}

void frmStrategies::DeleteStrategy()
{
    Procedure proc("frmStrategies", "DeleteStrategy");
    editSelectedNode(proc, deleteStrategy, false, true);
}

void frmStrategies::DeleteStrategyType()
{
    Procedure proc("frmStrategies", "DeleteStrategyType");
    const QString key = selectedKey();
    if (key.isEmpty() || m_session->library() == nullptr)
        return;
    bool ask = false;
    TW_STEP(proc, ask = groupHasStrategies(*m_session->library(), key));
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
        const QString next = deleteGroup(*m_session->library(), key);
        rebuildAndSelect(next, false);
    });
    TW_STEP(proc, m_session->setStrategiesChanged(true));
}

} // namespace tw
