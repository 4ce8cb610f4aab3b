// The strategy tree of the main window: built from the strategy library,
// keyed by position ("T1", "T1S1"), and the selection road that shows a
// node's description, lists a strategy's legs and evaluates them.

#include "mainwindow/frmStrategies.h"

#include "app/CAppSettings.h"
#include "app/Dialogs.h"
#include "app/Procedure.h"
#include "app/Tools.h"
#include "model/StrategiesFile.h"
#include "model/StrategyTemplates.h"
#include "platform/Grid.h"
#include "workspace/PayoffSketch.h"
#include "workspace/RtfText.h"
#include "workspace/TreeKeys.h"

#include <QApplication>
#include <QStyle>
#include <QTextEdit>
#include <QTreeWidget>

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
    }
    StrategyNode(QTreeWidgetItem* parent, const QString& key, std::shared_ptr<Strategy> strategy)
        : QTreeWidgetItem(parent), m_key(key), m_strategy(std::move(strategy))
    {
        setText(0, m_strategy->Caption());
    }
    const QString& key() const { return m_key; }
    bool isGroup() const { return m_group != nullptr; }
    const std::shared_ptr<StrategyType>& group() const { return m_group; }
    const std::shared_ptr<Strategy>& strategy() const { return m_strategy; }
    QString description() const { return m_group ? m_group->Description() : m_strategy->Description(); }
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

std::shared_ptr<ParamsCollection> frmStrategies::selectedParams() const
{
    auto* node = asNode(tvStrategies->currentItem());
    if (node == nullptr || node->isGroup())
        return nullptr;
    return node->strategy()->Params();
}

void frmStrategies::showDescription(const QString& rtf)
{
    // The description is shown as text; it is never written back from here,
    // so the stored formatting stays as it is.
    rtfDescription->setPlainText(plainTextFromRtf(rtf));
}

void frmStrategies::UpdateTreeView()
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
    step([&] { tvStrategies->clear(); });
    step([&] {
        if (StrategyTypes == nullptr)
            return;
        for (int32_t i = 1; i <= StrategyTypes->Count(); ++i) {
            const auto group = StrategyTypes->Item(i);
            auto* groupNode = new StrategyNode(groupKey(i), group);
            groupNode->setImage(ImageGroupCollapsed);
            tvStrategies->addTopLevelItem(groupNode);
            for (int32_t j = 1; j <= group->Strategies()->Count(); ++j) {
                auto* node = new StrategyNode(groupNode, strategyKey(i, j), group->Strategies()->Item(j));
                node->setImage(ImageStrategy);
            }
        }
    });
    if (m_SkipDefaultSelection) {
        m_SkipDefaultSelection = false;
    } else {
        step([&] {
            auto* node = asNode(nodeByKey(QStringLiteral("T1S1")));
            if (node == nullptr)
                return;
            tvStrategies->scrollToItem(node);
            node->parent()->setExpanded(true);
            tvStrategies->setCurrentItem(node);
            node->setBold(true);
            node->setImage(ImageSelectedStrategy);
            asNode(node->parent())->setImage(ImageGroupExpanded);
            showDescription(node->strategy()->Description());
            UpdateParamsList(*node->strategy()->Params());
            SelectOptions(node->strategy()->Params());
        });
    }
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
    if (node == nullptr) {
        TW_STEP(proc, {
            rtfDescription->clear();
            rtfDescription->setEnabled(false);
        });
        TW_STEP(proc, {
            gdParams->Clear(true);
            gdSelected->Clear(true);
        });
        TW_STEP(proc, SelectOptions(nullptr));
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
        TW_STEP(proc, SelectOptions(node->strategy()->Params()));
    } else {
        TW_STEP(proc, payoffSketch()->ClearLegs());
        TW_STEP(proc, {
            gdParams->Clear(true);
            gdSelected->Clear(true);
        });
        TW_STEP(proc, SelectOptions(nullptr));
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

void frmStrategies::LoadStrategyFromFile()
{
    Procedure proc("frmStrategies", "LoadStrategyFromFile");
    std::shared_ptr<StrategyTypeCollection> loaded;
    try {
        // The library is replaced only by a file read completely: a missing
        // or damaged file leaves the one shown as it was.
        loaded = readStrategiesFile(strStrategyTypesFile);
    } catch (const TwError& e) {
        dialogs().messageBox(strategiesNotFoundMessage(strStrategyTypesFile, e.description()),
                             Msg::OkOnly | Msg::Critical, appTitle());
        if (StrategyTypes == nullptr)
            StrategyTypes = std::make_shared<StrategyTypeCollection>();
        return;
    }
    TW_STEP(proc, StrategyTypes = loaded);
    TW_STEP(proc, UpdateTreeView());
    TW_STEP(proc, appSettings().SaveSetting(QStringLiteral("Settings"), QStringLiteral("StrategyTypesFile"),
                                            strStrategyTypesFile));
    TW_STEP(proc, m_StrategiesChanged = false);
}

void frmStrategies::LoadStrategies()
{
    Procedure proc("frmStrategies", "LoadStrategies");
    if (m_StrategiesChanged) {
        int answer = Msg::No;
        TW_STEP(proc, answer = dialogs().messageBox(QStringLiteral("Strategies are not saved.\r\nLoad anyway?"),
                                                    Msg::YesNo | Msg::Question, QStringLiteral("Strategies")));
        if (answer != Msg::Yes)
            return;
    }
    QString chosen;
    TW_STEP(proc, chosen = chooseStrategiesFile(QStringLiteral("Select strategies file"), strStrategyTypesFile, true, false));
    if (chosen.isEmpty())
        return; // a cancelled dialog keeps the current file
    TW_STEP(proc, {
        strStrategyTypesFile = chosen;
        LoadStrategyFromFile();
    });
}

void frmStrategies::SaveStrategies()
{
    Procedure proc("frmStrategies", "SaveStrategies");
    if (strStrategyTypesFile.isEmpty()) {
        TW_STEP(proc, SaveStrategiesAs());
        return;
    }
    TW_STEP(proc, {
        try {
            writeStrategiesFile(StrategyTypes ? *StrategyTypes : StrategyTypeCollection(), strStrategyTypesFile);
            m_StrategiesChanged = false;
        } catch (const TwError& e) {
            // A failed save is reported and the strategies stay unsaved.
            dialogs().messageBox(QStringLiteral("The strategies could not be saved to \"%1\".\r\n%2")
                                     .arg(strStrategyTypesFile, e.description()),
                                 Msg::OkOnly | Msg::Critical, appTitle());
        }
    });
}

void frmStrategies::SaveStrategiesAs()
{
    Procedure proc("frmStrategies", "SaveStrategiesAs");
    QString chosen;
    TW_STEP(proc, chosen = chooseStrategiesFile(QStringLiteral("Save strategies to"), strStrategyTypesFile, false, true));
    if (chosen.isEmpty())
        return;
    TW_STEP(proc, strStrategyTypesFile = chosen);
    TW_STEP(proc, SaveStrategies());
}

} // namespace tw
