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
    return openUrlAnswer;
}

FileDialogAnswer ScriptedDialogs::getOpenFileName(const FileDialogRequest& request)
{
    return answerFile(false, request);
}

FileDialogAnswer ScriptedDialogs::getSaveFileName(const FileDialogRequest& request)
{
    return answerFile(true, request);
}

void ScriptedDialogs::beep()
{
    ++beeps;
}

bool ScriptedDialogs::switchableMessage(const QString& text, const QString& id)
{
    switchableMessages.append({text, id});
    if (switchableAnswers.empty())
        return true;
    const bool keep = switchableAnswers.front();
    switchableAnswers.pop_front();
    return keep;
}

FileDialogAnswer ScriptedDialogs::chosen(const QStringList& files, int selectedFilter)
{
    FileDialogAnswer a;
    a.result = FileDialogAnswer::Chosen;
    a.files = files;
    a.selectedFilter = selectedFilter;
    return a;
}

FileDialogAnswer ScriptedDialogs::answerFile(bool save, const FileDialogRequest& request)
{
    fileQuestions.append({save, request});
    if (fileAnswers.empty())
        return Dialogs::getOpenFileName(request); // a cancelled dialog
    FileDialogAnswer a = fileAnswers.front();
    fileAnswers.pop_front();
    if (a.result == FileDialogAnswer::Chosen && a.selectedFilter < 0) {
        a.selectedFilter = request.selectedFilter;
        a.readOnly = request.readOnly;
    }
    return a;
}

} // namespace tw::test
