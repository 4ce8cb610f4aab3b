#include "app/Tools.h"

#include "app/CAppSettings.h"
#include "app/CCommandArgs.h"
#include "app/CErrorHandler.h"
#include "app/Dialogs.h"
#include "platform/UserFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QUrl>

namespace tw {

std::unique_ptr<CErrorHandler> gErrorHandler;
std::unique_ptr<CCommandArgs> gCommandArgs;
std::unique_ptr<CAppSettings> gAppSettings;

namespace {
QStringList g_processArguments;
}

CErrorHandler& errorHandler()
{
    if (!gErrorHandler) {
        gErrorHandler = std::make_unique<CErrorHandler>();
        gErrorHandler->setErrorHandlerActions(CErrorHandler::ActionErrorDialog);
        gErrorHandler->setCallStackEnabled(true);
    }
    return *gErrorHandler;
}

CAppSettings& appSettings()
{
    if (!gAppSettings) {
        gAppSettings = std::make_unique<CAppSettings>();
        gAppSettings->Init(QStringLiteral("Myrtova"), QStringLiteral("Tarnwell"));
    }
    return *gAppSettings;
}

CCommandArgs& commandArgs()
{
    if (!gCommandArgs)
        gCommandArgs = std::make_unique<CCommandArgs>();
    return *gCommandArgs;
}

void setProcessArguments(const QStringList& argumentsAfterProgram)
{
    g_processArguments = argumentsAfterProgram;
}

QString processArgumentString()
{
    QStringList parts;
    for (const QString& arg : std::as_const(g_processArguments)) {
        const bool needsQuotes = arg.isEmpty() || arg.contains(QLatin1Char(' ')) || arg.contains(QLatin1Char('\t'));
        // A double quote inside an argument cannot be written in this form;
        // it is dropped, as the splitter would drop it anyway.
        QString text = arg;
        text.remove(QLatin1Char('"'));
        parts.append(needsQuotes ? QLatin1Char('"') + text + QLatin1Char('"') : text);
    }
    return parts.join(QLatin1Char(' '));
}

QStringList SplitCommandLine(int maxArguments)
{
    return SplitCommandLine(processArgumentString(), maxArguments);
}

QStringList SplitCommandLine(const QString& argumentString, int maxArguments)
{
    const int m = maxArguments < 0 ? 0 : maxArguments;
    QStringList args(m + 1);
    int n = 0;
    bool inArgument = false;
    bool inQuotes = false;
    for (const QChar c : argumentString) {
        if (c == QLatin1Char('"')) {
            inQuotes = !inQuotes;
        } else if (inQuotes || (c != QLatin1Char(' ') && c != QLatin1Char('\t'))) {
            if (!inArgument) {
                if (n == m)
                    break;
                ++n;
                inArgument = true;
            }
            args[n].append(c);
        } else {
            inArgument = false;
        }
    }
    if (n == 0)
        return {};
    args.resize(n + 1);
    return args;
}

bool InitCommonControlsVB()
{
    return true;
}

QString programFolder()
{
    if (QCoreApplication::instance() != nullptr)
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

QString logFolder()
{
    const QString program = programFolder();
    const QFileInfo info(program);
    if (info.isDir() && info.isWritable()) {
        QTemporaryFile probe(program + QStringLiteral("/.tarnwell-write-test-XXXXXX"));
        if (probe.open())
            return program;
    }
    const QString state = userStateFolder();
    QDir().mkpath(state);
    return state;
}

QString userStateFolder()
{
    return platform::userStateHome() + QStringLiteral("/tarnwell");
}

QString supportMailAddress()
{
    return QStringLiteral("support@myrtova.example");
}

void OpenURL(const QString& URL)
{
    try {
        const QUrl url(URL.trimmed(), QUrl::TolerantMode);
        if (url.isEmpty() || !url.isValid() || url.scheme().isEmpty())
            return;
        dialogs().openUrl(url);
    } catch (...) {
        // A link that cannot be opened is not worth an error message.
    }
}

QString locateShippedFile(const QString& bareName)
{
    const QString program = programFolder();
    const QStringList candidates{program + QLatin1Char('/') + bareName,
                                 program + QStringLiteral("/../share/tarnwell/") + bareName,
                                 program + QStringLiteral("/data/") + bareName};
    for (const QString& c : candidates) {
        if (QFileInfo::exists(c))
            return QDir::cleanPath(c);
    }
    return QDir::cleanPath(candidates.first());
}

} // namespace tw
