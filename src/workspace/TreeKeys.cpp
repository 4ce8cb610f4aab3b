#include "workspace/TreeKeys.h"

#include <QRegularExpression>

namespace tw {

QString groupKey(int group)
{
    return QStringLiteral("T%1").arg(group);
}

QString strategyKey(int group, int strategy)
{
    return QStringLiteral("T%1S%2").arg(group).arg(strategy);
}

namespace {
const QRegularExpression& keyPattern()
{
    static const QRegularExpression re(QStringLiteral("^T([0-9]+)(?:S([0-9]+))?$"));
    return re;
}
} // namespace

int GetTypeIndex(const QString& key)
{
    const auto m = keyPattern().match(key);
    if (!m.hasMatch())
        return -1;
    bool ok = false;
    const int v = m.captured(1).toInt(&ok);
    return ok ? v : -1;
}

int GetItemIndex(const QString& key)
{
    const auto m = keyPattern().match(key);
    if (!m.hasMatch() || !m.hasCaptured(2))
        return -1;
    bool ok = false;
    const int v = m.captured(2).toInt(&ok);
    return ok ? v : -1;
}

} // namespace tw
