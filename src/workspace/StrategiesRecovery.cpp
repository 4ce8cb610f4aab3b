#include "workspace/StrategiesRecovery.h"

#include "model/StrategiesFile.h"
#include "platform/RegistryStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tw {

QString recoveryFolder()
{
    return QFileInfo(platform::RegistryStore::folder()).path();
}

QString writeRecoveryFile(const StrategyTypeCollection& library, const QString& folder, const QDateTime& when)
{
    if (!QDir().mkpath(folder))
        return {};
    const QDir dir(folder);
    const QString base = QStringLiteral("Unsaved strategies ") + when.toString(QStringLiteral("yyyy-MM-dd hh-mm-ss"));
    // The name is taken by making the file: another run ended at the same
    // moment takes the next one.
    for (int n = 1; n < 1000; ++n) {
        const QString path = dir.filePath(base + (n == 1 ? QString() : QStringLiteral(" (%1)").arg(n))
                                          + QStringLiteral(".stg"));
        QFile reserved(path);
        if (!reserved.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (QFileInfo::exists(path))
                continue;
            return {};
        }
        reserved.close();
        try {
            writeStrategiesFile(library, path);
            return path;
        } catch (...) {
            QFile::remove(path);
            return {};
        }
    }
    return {};
}

QString recoveryMessage(const QString& path)
{
    return QStringLiteral("Tarnwell was ended from outside (a logout, a shutdown or a kill) before the changed "
                          "strategies were saved. They were kept in\n%1\n\nUse File > Load strategies to open them; "
                          "your strategies file was not changed.")
        .arg(QDir::toNativeSeparators(path));
}

} // namespace tw
