#include "app/SupportMail.h"

namespace tw {

QUrl supportMailLink(const QString& address, const QString& subject, const QString& report)
{
    const QString rule(20, QLatin1Char('-'));
    QString text = report;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QString body = QStringLiteral("\n\n") + rule + QLatin1Char('\n') + text + QLatin1Char('\n') + rule;
    const QByteArray link = "mailto:" + QUrl::toPercentEncoding(address, "@") + "?subject="
        + QUrl::toPercentEncoding(subject) + "&body=" + QUrl::toPercentEncoding(body);
    return QUrl::fromEncoded(link, QUrl::StrictMode);
}

} // namespace tw
