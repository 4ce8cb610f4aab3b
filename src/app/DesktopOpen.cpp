#include "app/DesktopOpen.h"

#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include <unistd.h>

namespace tw {

QString desktopOpener()
{
    return QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
}

bool runDesktopOpener(const QString& opener, const QUrl& url, int waitMs)
{
    // Not owned by anything: an opener that outlives the wait deletes its
    // process object when it ends, and is not ended with this program.
    auto* process = new QProcess;
    process->setProgram(opener);
    process->setArguments({url.isLocalFile() ? url.toLocalFile() : url.toString(QUrl::FullyEncoded)});
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    process->setChildProcessModifier([] { ::setsid(); });

    process->start();
    if (!process->waitForStarted(waitMs)) {
        delete process;
        return false;
    }
    if (process->state() != QProcess::NotRunning) {
        QEventLoop wait;
        QObject::connect(process, &QProcess::finished, &wait, &QEventLoop::quit);
        QTimer::singleShot(waitMs, &wait, &QEventLoop::quit);
        wait.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (process->state() != QProcess::NotRunning) {
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        return true;
    }
    const bool opened = process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
    delete process;
    return opened;
}

} // namespace tw
