// Messages the user can switch off, and the form encoding of the web
// requests.

#include "app/CAppSettings.h"
#include "app/Dialogs.h"
#include "app/Tools.h"

namespace tw {

namespace {
const QString kSettings = QStringLiteral("Settings");

QString messageKey(const QString& id)
{
    return QStringLiteral("ShowErrorMesssage") + id;
}
} // namespace

bool messageShownInFuture(const QString& id)
{
    try {
        // Only a stored 0 silences; a value that is no number keeps the
        // message shown.
        return settingInt(appSettings(), kSettings, messageKey(id), 1) != 0;
    } catch (...) {
        return true;
    }
}

void setMessageShownInFuture(const QString& id, bool show)
{
    try {
        appSettings().SaveSetting(kSettings, messageKey(id), show ? 1 : 0);
    } catch (...) {
        // A setting that cannot be written leaves the choice as it was.
    }
}

void ShowMessageOnce(const QString& message, const QString& id)
{
    try {
        dialogs().beep();
        if (!messageShownInFuture(id))
            return;
        const bool keep = dialogs().switchableMessage(message, id);
        if (keep != messageShownInFuture(id))
            setMessageShownInFuture(id, keep);
    } catch (...) {
        // A message that cannot be shown is not worth an error of its own.
    }
}

QString URLEncode(const QString& text)
{
    QString out;
    out.reserve(text.size() * 3);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const char16_t u = c.unicode();
        if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9')) {
            out.append(c);
        } else if (u == ' ' || u == '+') {
            out.append(QLatin1Char('+'));
        } else {
            // A character beyond the basic plane is one character of two halves.
            const qsizetype n = c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate() ? 2 : 1;
            for (const char b : text.mid(i, n).toUtf8())
                out.append(QLatin1Char('%'))
                    .append(HexString(static_cast<unsigned char>(b)).rightJustified(2, QLatin1Char('0')));
            i += n - 1;
        }
    }
    return out;
}

QString HexString(int32_t value)
{
    return QString::number(static_cast<uint32_t>(value), 16).toUpper();
}

} // namespace tw
