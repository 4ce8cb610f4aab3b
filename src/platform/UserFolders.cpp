#include "platform/UserFolders.h"

#include <QDir>

namespace tw::platform {

namespace {
QString baseFolder(const char* variable, const char* belowHome)
{
    const QString value = qEnvironmentVariable(variable);
    if (QDir::isAbsolutePath(value))
        return QDir::cleanPath(value);
    return QDir::cleanPath(QDir::homePath() + QLatin1Char('/') + QLatin1String(belowHome));
}
} // namespace

QString userConfigHome()
{
    return baseFolder("XDG_CONFIG_HOME", ".config");
}

QString userDataHome()
{
    return baseFolder("XDG_DATA_HOME", ".local/share");
}

QString userStateHome()
{
    return baseFolder("XDG_STATE_HOME", ".local/state");
}

QString userCacheHome()
{
    return baseFolder("XDG_CACHE_HOME", ".cache");
}

} // namespace tw::platform
