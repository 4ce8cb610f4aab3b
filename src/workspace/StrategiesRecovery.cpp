#include "workspace/StrategiesRecovery.h"

#include "app/CErrorHandler.h"
#include "app/Tools.h"
#include "app/TwError.h"
#include "marketdata/QuoteTable.h"
#include "model/StrategiesFile.h"
#include "platform/FileWrite.h"
#include "platform/RegistryStore.h"
#include "platform/UserFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <list>
#include <unistd.h>
#include <vector>

namespace tw {

namespace {

const QString kStrategiesPattern = QStringLiteral("Unsaved strategies *.stg");
const QString kQuotesPattern = QStringLiteral("Unsaved quotes *.opt");

bool ownedByUser(const QFileInfo& info)
{
    return info.ownerId() == ::geteuid();
}

// A ticker as part of a file name: letters, digits, "-", "_" and "." kept,
// anything else (a "/", a blank) made "_".
QString safeTicker(const QString& ticker)
{
    QString safe = ticker.left(24);
    for (QChar& c : safe) {
        if (!c.isLetterOrNumber() && c != u'-' && c != u'_' && c != u'.')
            c = u'_';
    }
    return safe;
}

// One file of an end: its name without number and suffix, its bytes, and
// where it went.
struct Part {
    QString base;
    QString suffix;
    QByteArray bytes;
    QString* path = nullptr;
    platform::NewFile file;
    qsizetype folder = 0; // the next folder to try
};

// Gives `part` a name in the first folder from its next one that takes it.
bool place(Part& part, const QStringList& folders, QStringList& failures)
{
    for (; part.folder < folders.size(); ++part.folder) {
        const QString& folder = folders.at(part.folder);
        QString why;
        if (!QDir().mkpath(folder)) {
            why = QStringLiteral("the folder cannot be made");
        } else {
            // In a folder others may write to (the temporary folder), for
            // the user's eyes only.
            const unsigned mode = QFileInfo(folder).permissions().testFlag(QFileDevice::WriteOther) ? 0600 : 0666;
            for (int n = 1; n < 1000 && why.isEmpty(); ++n) {
                const QString path = QDir(folder).filePath(part.base + (n == 1 ? QString() : QStringLiteral(" (%1)").arg(n))
                                                           + part.suffix);
                const int error = part.file.create(path, part.bytes, mode);
                if (error == 0) {
                    *part.path = path;
                    return true;
                }
                if (error != EEXIST)
                    why = platform::writeFailureText(error);
            }
            if (why.isEmpty())
                why = QStringLiteral("every name is taken");
        }
        const QString failure = QDir::toNativeSeparators(folder) + QStringLiteral(": ") + why;
        if (!failures.contains(failure))
            failures.append(failure);
    }
    return false;
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

bool holdsStrategies(const QByteArray& bytes)
{
    StrategyTypeCollection read;
    try {
        appendStrategiesFromBytes(read, bytes, QString());
    } catch (...) {
        return false;
    }
    return read.Count() > 0;
}

} // namespace

QStringList recoveryFolders(const QString& libraryFile)
{
    QStringList folders{QFileInfo(platform::RegistryStore::folder()).path(),
                        platform::userDataHome() + QStringLiteral("/tarnwell"), userStateFolder(),
                        QDir::homePath()};
    // Never the folder of a library that is not the user's (the shipped one
    // beside an installed program).
    if (!libraryFile.isEmpty()) {
        const QFileInfo library(QFileInfo(libraryFile).absolutePath());
        if (library.isDir() && ownedByUser(library))
            folders.append(library.absoluteFilePath());
    }
    folders.append(QDir::tempPath());
    for (QString& f : folders)
        f = QDir::cleanPath(f);
    folders.removeDuplicates();
    return folders;
}

QString recoveryFolder()
{
    return recoveryFolders().constFirst();
}

KeptWork writeRecoveryFiles(const UnsavedWork& work, const QStringList& folders, QStringList* failures,
                            const QDateTime& when)
{
    const QString stamp = when.toString(QStringLiteral("yyyy-MM-dd hh-mm-ss"));
    KeptWork kept;
    std::list<Part> parts;
    const auto add = [&parts](const QString& base, const QString& suffix, const QByteArray& bytes, QString* path) {
        Part& part = parts.emplace_back();
        part.base = base;
        part.suffix = suffix;
        part.bytes = bytes;
        part.path = path;
    };
    if (work.strategies != nullptr)
        add(QStringLiteral("Unsaved strategies ") + stamp, QStringLiteral(".stg"), strategiesToBytes(*work.strategies),
            &kept.strategies);
    if (work.quotes != nullptr && !work.quotes->isEmpty()) {
        const QString ticker = safeTicker(work.ticker);
        add(QStringLiteral("Unsaved quotes ") + stamp + (ticker.isEmpty() ? QString() : u' ' + ticker),
            QStringLiteral(".opt"), work.quotes->fileBytes(), &kept.quotes);
    }
    QStringList failed;
    // Every file has its name, with all its bytes, before the first waits
    // for the disk: an end cut short during a slow sync keeps them all.
    for (Part& part : parts)
        place(part, folders, failed);
    for (Part& part : parts) {
        while (!part.path->isEmpty()) {
            const int error = part.file.sync();
            if (error == 0)
                break;
            failed.append(QDir::toNativeSeparators(folders.at(part.folder)) + QStringLiteral(": ")
                          + platform::writeFailureText(error));
            part.path->clear();
            ++part.folder;
            place(part, folders, failed);
        }
    }
    if (failures != nullptr)
        *failures += failed;
    return kept;
}

KeptWork keepUnsavedWork(const UnsavedWork& work, const QString& libraryFile)
{
    QStringList failures;
    const KeptWork kept = writeRecoveryFiles(work, recoveryFolders(libraryFile), &failures);
    for (const QString& path : {kept.strategies, kept.quotes}) {
        if (!path.isEmpty())
            errorHandler().WriteTrace(QStringLiteral("Kept in a recovery file: ") + path);
    }
    QStringList lost;
    if (work.strategies != nullptr && kept.strategies.isEmpty())
        lost.append(QStringLiteral("the changed strategies"));
    if (work.quotes != nullptr && !work.quotes->isEmpty() && kept.quotes.isEmpty())
        lost.append(QStringLiteral("the downloaded quotes"));
    if (lost.isEmpty())
        return kept;
    const QString text = QStringLiteral("Tarnwell was ended from outside and could not keep %1: "
                                        "no folder could take the recovery file (%2).")
                             .arg(lost.join(QStringLiteral(" and ")), failures.join(QStringLiteral("; ")));
    std::fprintf(stderr, "%s\n", qPrintable(text));
    std::fflush(stderr);
    errorHandler().appendToErrorLog(CErrorHandler::timeStamp() + QStringLiteral("\r\n\t") + text
                                    + QStringLiteral("\r\n"));
    return kept;
}

void sweepRecoveryFolders(const QStringList& folders)
{
    for (const QString& folder : folders) {
        const QDir dir(folder);
        QFileInfoList empty;
        for (const QFileInfo& info : dir.entryInfoList({kStrategiesPattern, kQuotesPattern}, QDir::Files, QDir::Time)) {
            if (info.size() == 0 && ownedByUser(info))
                empty.append(info);
        }
        // The newest empty strategies file may have its bytes in a save's
        // copy beside it.
        const auto named = std::find_if(empty.begin(), empty.end(),
                                        [](const QFileInfo& f) { return f.suffix() == QLatin1String("stg"); });
        if (named != empty.end() && platform::adoptSaveLeftover(folder, holdsStrategies, named->absoluteFilePath()))
            empty.erase(named);
        for (const QFileInfo& info : std::as_const(empty))
            QFile::remove(info.absoluteFilePath());
        platform::removeSaveLeftovers(folder);
    }
}

RecoveryNews recoveryNews(const QStringList& named, const QString& seen, const QStringList& folders)
{
    std::vector<Found> found;
    for (const QString& folder : folders) {
        const QDir dir(folder);
        for (const QFileInfo& info : dir.entryInfoList({kStrategiesPattern, kQuotesPattern}, QDir::Files)) {
            // An empty one is a name taken by an end cut short before its
            // bytes were in it; one of another user's is none of ours (the
            // temporary folder is shared).
            if (info.size() > 0 && ownedByUser(info))
                found.push_back({info.absoluteFilePath(), modifiedUtc(info), folder == folders.constFirst()});
        }
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) { return a.modified < b.modified; });

    const QDateTime seenTime = QDateTime::fromString(seen, Qt::ISODateWithMs);
    RecoveryNews news;
    news.seen = seen;
    QDateTime latest = seenTime;
    for (const QString& file : named) {
        const QString path = file.isEmpty() ? QString() : QFileInfo(file).absoluteFilePath();
        if (!path.isEmpty() && QFileInfo::exists(path) && !news.files.contains(path))
            news.files.append(path);
    }
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
    if (QFileInfo(path).fileName().startsWith(QLatin1String("Unsaved quotes ")))
        return QStringLiteral("Tarnwell was ended from outside (a logout, a shutdown or a kill) before the downloaded "
                              "quotes were saved. They were kept in\n%1\n\nOpen them with File > Load options from "
                              "file and save them with File > Save options to file under a name of your own.")
            .arg(QDir::toNativeSeparators(path));
    return QStringLiteral("Tarnwell was ended from outside (a logout, a shutdown or a kill) before the changed "
                          "strategies were saved. They were kept in\n%1\n\nOpen them with File > Load strategies and "
                          "save them with File > Save strategies under a name of your own; your strategies file was "
                          "not changed.")
        .arg(QDir::toNativeSeparators(path));
}

bool isRecoveryFileName(const QString& path)
{
    static const QRegularExpression name(QRegularExpression::wildcardToRegularExpression(kStrategiesPattern),
                                         QRegularExpression::CaseInsensitiveOption);
    return name.match(QFileInfo(path).fileName()).hasMatch();
}

} // namespace tw
