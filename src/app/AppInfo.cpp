#include "app/AppInfo.h"

#include <QCoreApplication>
#include <QStringList>

namespace tw {

QString productName()
{
    const QString name = QCoreApplication::applicationName();
    if (name.isEmpty())
        return QStringLiteral("Tarnwell");
    return name;
}

QString programVersion()
{
    return QStringLiteral(TARNWELL_VERSION);
}

QString versionText(const QString& version)
{
    const QStringList parts = version.trimmed().split(QLatin1Char('.'));
    QStringList numbers;
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        const qlonglong n = i < parts.size() ? parts.at(i).trimmed().toLongLong(&ok) : 0;
        numbers.append(QString::number(ok && n > 0 ? n : 0));
    }
    return QStringLiteral("Version ") + numbers.join(QLatin1Char('.'));
}

QString versionText()
{
    return versionText(programVersion());
}

QString copyrightNotice()
{
    return QStringLiteral("Copyright \u00A9 2026 Myrtova. All rights reserved.");
}

QString legalNotice()
{
    return QStringLiteral("Warning: this program is protected by copyright law. Copying or distributing it, "
                          "in whole or in part, without the permission of Myrtova is not allowed.");
}

QString platformText()
{
    return QStringLiteral("Linux (Debian 12)");
}

QString makerWebAddress()
{
    return QStringLiteral("www.myrtova.example/tarnwell");
}

QFont tahomaFont(double pointSize, bool bold)
{
    QFont f(QStringLiteral("Tahoma"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(pointSize);
    f.setBold(bold);
    return f;
}

} // namespace tw
