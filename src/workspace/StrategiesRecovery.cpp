#include "workspace/StrategiesRecovery.h"

#include "app/CErrorHandler.h"
#include "app/Tools.h"
#include "app/TwError.h"
#include "model/StrategiesFile.h"
#include "platform/RegistryStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>
#include <cstdio>

namespace tw {

namespace {

const QString kPattern = QStringLiteral("Unsaved strategies *.stg");

// The first free name in `dir`, taken by making the file (another run ended
// at the same moment takes the next one); empty, with the cause in `why`,
// when no file can be made there.
QString reserveName(const QDir& dir, const QString& base, QString& why)
{
    for (int n = 1; n < 1000; ++n) {
        const QString path = dir.filePath(base + (n == 1 ? QString() : QStringLiteral(" (%1)").arg(n))
                                          + QStringLiteral(".stg"));
        QFile reserved(path);
        if (reserved.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return path;
        if (!QFileInfo::exists(path)) {
            why = reserved.errorString();
            return {};
        }
    }
    why = QStringLiteral("every name is taken");
    return {};
}

QString writeInto(const StrategyTypeCollection& library, const QString& folder, const QString& base, QString& why)
{
    if (!QDir().mkpath(folder)) {
        why = QStringLiteral("the folder cannot be made");
        return {};
    }
    const QString path = reserveName(QDir(folder), base, why);
    if (path.isEmpty())
        return {};
    try {
        writeStrategiesFile(library, path);
        return path;
    } catch (const TwError& e) {
        why = e.description();
    } catch (...) {
        why = QStringLiteral("the file cannot be written");
    }
    QFile::remove(path);
    return {};
}

struct Found {
    QString path;
    QDateTime modified; // UTC, to the millisecond
    bool besideSettings;
};

QDateTime modifiedUtc(const QFileInfo& info)
{
    const QDateTime t = info.lastModified().toUTC();
    return QDateTime::fromMSecsSinceEpoch(t.toMSecsSinceEpoch(), Qt::UTC);
}

} // namespace

QStringList recoveryFolders()
{
    QStringList folders{QFileInfo(platform::RegistryStore::folder()).path(),
                        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/tarnwell"),
                        userStateFolder(),
                        QDir::homePath()};
    for (QString& f : folders)
        f = QDir::cleanPath(f);
    folders.removeDuplicates();
    return folders;
}

QString recoveryFolder()
{
    return recoveryFolders().constFirst();
}

QString writeRecoveryFile(const StrategyTypeCollection& library, const QStringList& folders, QStringList* failures,
                          const QDateTime& when)
{
    const QString base = QStringLiteral("Unsaved strategies ") + when.toString(QStringLiteral("yyyy-MM-dd hh-mm-ss"));
    for (const QString& folder : folders) {
        QString why;
        const QString path = writeInto(library, folder, base, why);
        if (!path.isEmpty())
            return path;
        if (failures != nullptr)
            failures->append(QDir::toNativeSeparators(folder) + QStringLiteral(": ") + why);
    }
    return {};
}

QString keepUnsavedStrategies(const StrategyTypeCollection& library)
{
    QStringList failures;
    const QString path = writeRecoveryFile(library, recoveryFolders(), &failures);
    if (!path.isEmpty())
        return path;
    const QString text = QStringLiteral("Tarnwell was ended from outside and could not keep the changed strategies: "
                                        "no folder could take the recovery file (%1).")
                             .arg(failures.join(QStringLiteral("; ")));
    std::fprintf(stderr, "%s\n", qPrintable(text));
    std::fflush(stderr);
    errorHandler().appendToErrorLog(CErrorHandler::timeStamp() + QStringLiteral("\r\n\t") + text
                                    + QStringLiteral("\r\n"));
    return {};
}

RecoveryNews recoveryNews(const QString& named, const QString& seen)
{
    const QStringList folders = recoveryFolders();
    std::vector<Found> found;
    for (const QString& folder : folders) {
        const QDir dir(folder);
        for (const QFileInfo& info : dir.entryInfoList({kPattern}, QDir::Files)) {
            // An empty one is a name taken by an end cut short before the
            // strategies were in it.
            if (info.size() > 0)
                found.push_back({info.absoluteFilePath(), modifiedUtc(info), folder == folders.constFirst()});
        }
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) { return a.modified < b.modified; });

    const QDateTime seenTime = QDateTime::fromString(seen, Qt::ISODateWithMs);
    RecoveryNews news;
    news.seen = seen;
    QDateTime latest = seenTime;
    const QString namedPath = named.isEmpty() ? QString() : QFileInfo(named).absoluteFilePath();
    if (!namedPath.isEmpty() && QFileInfo::exists(namedPath))
        news.files.append(namedPath);
    for (const Found& f : found) {
        const bool isNew = seenTime.isValid() ? f.modified > seenTime : !f.besideSettings;
        if (isNew && !news.files.contains(f.path))
            news.files.append(f.path);
        if (!latest.isValid() || f.modified > latest)
            latest = f.modified;
    }
    if (latest.isValid() && latest != seenTime)
        news.seen = latest.toString(Qt::ISODateWithMs);
    return news;
}

QString firstRecoverySeen()
{
    return QDateTime::fromMSecsSinceEpoch(0, Qt::UTC).toString(Qt::ISODateWithMs);
}

QString recoveryMessage(const QString& path)
{
    return QStringLiteral("Tarnwell was ended from outside (a logout, a shutdown or a kill) before the changed "
                          "strategies were saved. They were kept in\n%1\n\nUse File > Load strategies to open them; "
                          "your strategies file was not changed.")
        .arg(QDir::toNativeSeparators(path));
}

bool isRecoveryFileName(const QString& path)
{
    static const QRegularExpression name(QRegularExpression::wildcardToRegularExpression(kPattern),
                                         QRegularExpression::CaseInsensitiveOption);
    return name.match(QFileInfo(path).fileName()).hasMatch();
}

} // namespace tw
