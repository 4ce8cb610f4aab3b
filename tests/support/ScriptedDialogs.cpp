#include "support/ScriptedDialogs.h"

namespace tw::test {

ScriptedDialogs::ScriptedDialogs() : m_previous(setDialogs(this)) {}

ScriptedDialogs::~ScriptedDialogs()
{
    setDialogs(m_previous);
}

int ScriptedDialogs::messageBox(const QString& text, int style, const QString& title)
{
    messages.append({text, style, title});
    if (!messageAnswers.empty()) {
        const int a = messageAnswers.front();
        messageAnswers.pop_front();
        return a;
    }
    switch (style & Msg::ButtonsMask) {
    case Msg::OkOnly:
        return Msg::Ok;
    case Msg::AbortRetryIgnore:
        return Msg::Ignore;
    case Msg::YesNo:
        return Msg::No;
    default:
        return Msg::Cancel;
    }
}

QString ScriptedDialogs::errorForm(const QString& report, const QString&)
{
    errorReports.append(report);
    if (!errorAnswers.empty()) {
        const QString a = errorAnswers.front();
        errorAnswers.pop_front();
        return a;
    }
    return QStringLiteral("ABORT");
}

bool ScriptedDialogs::openUrl(const QUrl& url)
{
    openedUrls.append(url);
    return true;
}

} // namespace tw::test
