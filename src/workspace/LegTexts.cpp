#include "workspace/LegTexts.h"

namespace tw {

QString positionText(int32_t position)
{
    switch (position) {
    case 1:
        return QStringLiteral("Short");
    case 2:
        return QStringLiteral("Long");
    default:
        return QString();
    }
}

QString kindText(int32_t kind)
{
    switch (kind) {
    case 1:
        return QStringLiteral("Put");
    case 2:
        return QStringLiteral("Call");
    case 3:
        return QStringLiteral("Stock");
    default:
        return QString();
    }
}

QString strikeOffsetText(int32_t kind, int32_t offset)
{
    if (kind != 1 && kind != 2)
        return QString();
    if (offset == 0)
        return QStringLiteral("ATM (0)");
    const bool outOfTheMoney = (kind == 2) == (offset > 0);
    const QString sign = offset > 0 ? QStringLiteral("+") : QStringLiteral("-");
    return (outOfTheMoney ? QStringLiteral("OTM (") : QStringLiteral("ITM (")) + sign
        + QString::number(offset < 0 ? -static_cast<int64_t>(offset) : offset) + QLatin1Char(')');
}

QString expirationClassText(int32_t expirationClass)
{
    static const char* const names[] = {"Near term 1", "Near term 2", "Long term 1", "Long term 2",
                                        "Long term 3", "LEAPS 1y",    "LEAPS 2y"};
    if (expirationClass < 1 || expirationClass > 7)
        return QStringLiteral("ERR");
    return QLatin1String(names[expirationClass - 1]);
}

int sketchCode(int32_t kind, int32_t position)
{
    if (kind < 1 || kind > 3 || position < 1 || position > 2)
        return 0;
    return 2 * (kind - 1) + position;
}

} // namespace tw
