#include "app/HelpFile.h"

#include "app/Dialogs.h"
#include "app/Tools.h"

#include <QDir>
#include <QFileInfo>

namespace tw {

namespace {

// A topic is a plain file name inside the help folder; anything that would
// reach outside it is treated as a page that does not exist.
bool plainFileName(const QString& topic)
{
    return !topic.isEmpty() && !topic.contains(QLatin1Char('/')) && !topic.contains(QLatin1Char('\\'))
           && topic != QLatin1String(".") && topic != QLatin1String("..");
}

QString topicPath(const QString& topic)
{
    return QDir(helpFolder()).filePath(topic);
}

} // namespace

QString helpFolder()
{
    return QDir(programFolder()).filePath(QStringLiteral("help"));
}

QUrl helpTopicUrl(const QString& topic, int command)
{
    if (!plainFileName(topic))
        return {};
    const QFileInfo file(topicPath(topic));
    if (!file.isFile())
        return {};
    QUrl url = QUrl::fromLocalFile(file.absoluteFilePath());
    if (command == HelpCommand::Index)
        url.setFragment(QStringLiteral("index"));
    return url;
}

bool ShowHelpTopic(const QString& topic, int command)
{
    const QUrl url = helpTopicUrl(topic, command);
    if (url.isEmpty()) {
        dialogs().messageBox(QStringLiteral("The help page \"%1\" cannot be found.\r\n"
                                            "Tarnwell looks for its help pages in the folder\r\n%2")
                                 .arg(topic, QDir::toNativeSeparators(helpFolder())),
                             Msg::OkOnly | Msg::Exclamation, appTitle());
        return false;
    }
    if (!dialogs().showHelp(url)) {
        dialogs().messageBox(QStringLiteral("The help page could not be shown:\r\n%1")
                                 .arg(QDir::toNativeSeparators(url.toLocalFile())),
                             Msg::OkOnly | Msg::Exclamation, appTitle());
        return false;
    }
    return true;
}

} // namespace tw
