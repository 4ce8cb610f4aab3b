#pragma once
// Keys of the strategy tree's nodes, which are positions: a group node is
// "T" and the group's position, a strategy node adds "S" and the strategy's
// position (as "T3S12"). Every rebuild renumbers them.

#include <QString>

namespace tw {

// The item-data role under which a tree node keeps its picture number:
// 1 strategy, 2 selected strategy, 3 collapsed group, 4 expanded group.
constexpr int NodeImageRole = Qt::UserRole + 1;

QString groupKey(int group);
QString strategyKey(int group, int strategy);
// The group position of a key; -1 when the key names none.
int GetTypeIndex(const QString& key);
// The strategy position of a key; -1 for a group key or a key that names none.
int GetItemIndex(const QString& key);

} // namespace tw
