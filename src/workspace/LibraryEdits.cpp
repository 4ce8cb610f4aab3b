#include "workspace/LibraryEdits.h"

#include "app/TwError.h"
#include "workspace/TreeKeys.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace tw {

namespace {

const std::shared_ptr<StrategyType>& groupOf(const StrategyTypeCollection& types, const QString& key)
{
    return types.Item(GetTypeIndex(key));
}

const std::shared_ptr<Strategy>& strategyOf(const StrategyTypeCollection& types, const QString& key)
{
    return groupOf(types, key)->Strategies()->Item(GetItemIndex(key));
}

} // namespace

int nodeCount(const StrategyTypeCollection& types)
{
    int n = 0;
    for (const auto& group : types)
        n += 1 + group->Strategies()->Count();
    return n;
}

int nodeNumber(const StrategyTypeCollection& types, const QString& key)
{
    const int g = GetTypeIndex(key);
    const int j = GetItemIndex(key);
    if (g < 1 || g > types.Count())
        return 0;
    int number = 0;
    for (int i = 1; i < g; ++i)
        number += 1 + types.Item(i)->Strategies()->Count();
    number += 1;
    if (j == -1)
        return number;
    if (j < 1 || j > types.Item(g)->Strategies()->Count())
        return 0;
    return number + j;
}

QString keyOfNodeNumber(const StrategyTypeCollection& types, int number)
{
    if (number < 1)
        return {};
    int left = number;
    for (int g = 1; g <= types.Count(); ++g) {
        if (left == 1)
            return groupKey(g);
        const int count = types.Item(g)->Strategies()->Count();
        if (left <= 1 + count)
            return strategyKey(g, left - 1);
        left -= 1 + count;
    }
    return {};
}

bool nodeExists(const StrategyTypeCollection& types, const QString& key)
{
    return nodeNumber(types, key) > 0;
}

QString addStrategy(StrategyTypeCollection& types, const QString& key)
{
    const int g = GetTypeIndex(key);
    const auto& strategies = types.Item(g)->Strategies();
    strategies->Add(QStringLiteral("New strategy"), QString());
    return strategyKey(g, strategies->Count());
}

QString copyStrategy(StrategyTypeCollection& types, const QString& key)
{
    if (GetItemIndex(key) == -1)
        return {};
    const int g = GetTypeIndex(key);
    const std::shared_ptr<Strategy> original = strategyOf(types, key);
    const auto& strategies = types.Item(g)->Strategies();
    const auto copy = strategies->Add(original->Caption() + QStringLiteral(" copy"), original->Description());
    copyLegs(*original->Params(), *copy->Params());
    return strategyKey(g, strategies->Count());
}

QString addGroup(StrategyTypeCollection& types)
{
    types.Add(QStringLiteral("New strategy group"), QString());
    return groupKey(types.Count());
}

QString moveStrategyToGroup(StrategyTypeCollection& types, const QString& key, int targetGroup)
{
    const int g = GetTypeIndex(key);
    const int j = GetItemIndex(key);
    const auto& target = types.Item(targetGroup)->Strategies();
    const std::shared_ptr<Strategy> moved = strategyOf(types, key);
    // The strategy itself moves, with everything it holds.
    types.Item(g)->Strategies()->Remove(j);
    target->InsertAfter(moved, target->Count());
    return strategyKey(targetGroup, target->Count());
}

QString deleteStrategy(StrategyTypeCollection& types, const QString& key)
{
    const int g = GetTypeIndex(key);
    const int j = GetItemIndex(key);
    const auto& strategies = types.Item(g)->Strategies();
    int k = nodeNumber(types, key);
    if (j == strategies->Count())
        k -= 1;
    strategies->Remove(j);
    k = std::min(k, nodeCount(types));
    return keyOfNodeNumber(types, k);
}

bool groupHasStrategies(const StrategyTypeCollection& types, const QString& key)
{
    return groupOf(types, key)->Strategies()->Count() > 0;
}

QString deleteGroup(StrategyTypeCollection& types, const QString& key)
{
    const int g = GetTypeIndex(key);
    int k = nodeNumber(types, key);
    types.Item(g)->Strategies()->Clear();
    types.Remove(g);
    k = std::min(k, nodeCount(types));
    return keyOfNodeNumber(types, k);
}

bool renameNode(StrategyTypeCollection& types, const QString& key, const QString& text)
{
    if (text.isEmpty())
        return false;
    if (GetItemIndex(key) == -1)
        groupOf(types, key)->setCaption(text);
    else
        strategyOf(types, key)->setCaption(text);
    return true;
}

DropOutcome dropStrategy(StrategyTypeCollection& types, const QString& dragKey, const QString& targetKey)
{
    DropOutcome out;
    if (dragKey == targetKey || GetItemIndex(dragKey) == -1 || !nodeExists(types, dragKey)
        || !nodeExists(types, targetKey)) {
        out.selectKey = dragKey;
        return out;
    }
    out.moved = true;
    const int dg = GetTypeIndex(targetKey);
    int dj = GetItemIndex(targetKey);
    if (dj == -1) {
        out.selectKey = moveStrategyToGroup(types, dragKey, dg);
        return out;
    }
    const int sg = GetTypeIndex(dragKey);
    const int sj = GetItemIndex(dragKey);
    // Both keys name their nodes as they were before anything moves.
    const std::shared_ptr<Strategy> moved = strategyOf(types, dragKey);
    types.Item(sg)->Strategies()->Remove(sj);
    if (sg == dg && sj < dj)
        dj -= 1; // the removal moved the target up by one
    types.Item(dg)->Strategies()->InsertBefore(moved, dj);
    out.selectKey = strategyKey(dg, dj);
    return out;
}

std::shared_ptr<StrategyTypeCollection> exportedLibrary(const StrategyTypeCollection& types, const QString& key)
{
    auto out = std::make_shared<StrategyTypeCollection>();
    const auto& group = groupOf(types, key);
    const auto copy = out->Add(group->Caption(), group->Description());
    if (GetItemIndex(key) == -1) {
        copy->setStrategies(group->Strategies());
    } else {
        const auto& strategy = strategyOf(types, key);
        copy->Strategies()->Add(strategy->Caption(), strategy->Description())->setParams(strategy->Params());
    }
    return out;
}

QString defaultExportName(const StrategyTypeCollection& types, const QString& key)
{
    QString name = groupOf(types, key)->Caption();
    if (GetItemIndex(key) != -1)
        name += QStringLiteral(" - ") + strategyOf(types, key)->Caption();
    return safeFileName(name) + QStringLiteral(".stg");
}

QString safeFileName(const QString& name)
{
    static const QString refused = QStringLiteral("/\\:*?\"<>|");
    QString out;
    out.reserve(name.size());
    for (const QChar c : name)
        out.append(c.unicode() < 32 || c.unicode() == 127 || refused.contains(c) ? QChar(u'_') : c);
    while (!out.isEmpty() && (out.front().isSpace() || out.front() == QLatin1Char('.')))
        out.remove(0, 1);
    while (!out.isEmpty() && (out.back().isSpace() || out.back() == QLatin1Char('.')))
        out.chop(1);
    if (out.size() > 200)
        out.truncate(200);
    return out.isEmpty() ? QStringLiteral("strategies") : out;
}

TreePopupStates treePopupStates(const StrategyTypeCollection& types, const QString& selectedKey)
{
    TreePopupStates s;
    if (!nodeExists(types, selectedKey))
        return s;
    s.rename = true;
    s.exportNode = true;
    s.addStrategy = true;
    if (GetItemIndex(selectedKey) == -1) {
        s.deleteGroup = true;
    } else {
        s.deleteStrategy = true;
        s.copyStrategy = true;
        s.moveTo = types.Count() >= 2;
    }
    return s;
}

QList<MoveTarget> moveTargets(const StrategyTypeCollection& types, const QString& strategyKey)
{
    QList<MoveTarget> targets;
    const int own = GetTypeIndex(strategyKey);
    for (int i = 1; i <= types.Count(); ++i) {
        if (i != own)
            targets.append({types.Item(i)->Caption(), i});
    }
    return targets;
}

AutoScroll autoScrollZone(double y, double height)
{
    if (y > 0 && y < 100)
        return AutoScroll::Up;
    if (y > height - 200 && y < height)
        return AutoScroll::Down;
    return AutoScroll::None;
}

QString strategiesReadFailure(StrategiesCommand command, const QString& path, int errorNumber)
{
    if (errorNumber == RunTime::PathFileAccess)
        return QStringLiteral("\"%1\" is a folder, not a strategies file.").arg(path);
    if (errorNumber == RunTime::FileNotFound) {
        return command == StrategiesCommand::Load ? QStringLiteral("The \"%1\" file is not found.").arg(path)
                                                  : QStringLiteral("Strategies file %1 not found.").arg(path);
    }
    return QStringLiteral("The strategies file \"%1\" is damaged or incomplete and cannot be read.\r\n"
                          "Nothing was changed.")
        .arg(path);
}

QString shippedStrategiesInstead(const QString& shippedPath)
{
    return QStringLiteral("The shipped strategies \"%1\" are opened instead, as an untitled copy: "
                          "Save asks where to keep them.")
        .arg(shippedPath);
}

QString replaceUnreadableQuestion(const QString& path)
{
    return QStringLiteral("The strategies file \"%1\" could not be read when the program started.\r\n"
                          "Replace it with the strategies shown?")
        .arg(path);
}

QString shippedStrategiesKept(const QString& shippedPath)
{
    return QStringLiteral("The shipped strategies \"%1\" are kept as they are.\r\n"
                          "Save the strategies under another name.")
        .arg(shippedPath);
}

QString changedElsewhereQuestion(const QString& path)
{
    return QStringLiteral("The strategies file \"%1\" was changed by another program since it was loaded or last "
                          "saved.\r\nWrite over it?")
        .arg(path);
}

QString GetPath(const QString& path)
{
    const qsizetype p = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return p < 0 ? QString() : path.left(p);
}

bool sameFile(const QString& a, const QString& b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    const auto name = [](const QString& path) {
        const QFileInfo info(path);
        const QString canonical = info.canonicalFilePath(); // empty for a file that does not exist
        return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
    };
    return name(a) == name(b);
}

} // namespace tw
