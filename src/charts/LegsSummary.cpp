#include "charts/LegsSummary.h"

#include "app/Convert.h"

namespace tw {

QString legsSummary(const std::vector<LegRow>& legs)
{
    if (legs.empty())
        return QStringLiteral("The strategy has no legs.");
    QString text;
    int n = 0;
    for (const LegRow& leg : legs) {
        ++n;
        const QString side = leg.isShort() ? QStringLiteral("Short") : QStringLiteral("Long");
        QString kind = leg.isStock() ? QStringLiteral("stock") : (leg.kind == LegKind::Call ? QStringLiteral("call")
                                                                                             : QStringLiteral("put"));
        if (!leg.resolved) {
            text += QStringLiteral("%1. %2 %3 x%4: not in the chain\n").arg(n).arg(side, kind).arg(leg.quantity);
            continue;
        }
        text += QStringLiteral("%1. %2 %3 x%4 %5").arg(n).arg(side, kind).arg(leg.quantity).arg(leg.code);
        if (leg.isOption())
            text += QStringLiteral(" strike %1 exp. %2")
                        .arg(leg.strike.toDouble(), 0, 'f', 2)
                        .arg(dateFromSerial(leg.expiration).toString(QStringLiteral("dd MMM yyyy")));
        text += QStringLiteral(" entry %1 value %2\n").arg(leg.entryPrice, 0, 'f', 2).arg(leg.legValue, 0, 'f', 2);
    }
    return text;
}

} // namespace tw
