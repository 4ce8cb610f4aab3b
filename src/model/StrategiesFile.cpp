#include "model/StrategiesFile.h"

#include "app/TwError.h"
#include "platform/FileWrite.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

namespace tw {

QByteArray strategiesToBytes(const StrategyTypeCollection& types)
{
    StgWriter out;
    types.Save(out);
    return out.bytes();
}

void appendStrategiesFromBytes(StrategyTypeCollection& target, const QByteArray& bytes, const QString& name)
{
    StgReader in(bytes);
    try {
        target.Load(in);
    } catch (const TwError&) {
        if (in.failure().isEmpty())
            throw;
        throw TwError(InvalidFileFormat, QStringLiteral("Tarnwell.StrategyTypeCollection.Load"),
                      QStringLiteral("The strategies file \"%1\" is damaged or incomplete: %2.")
                          .arg(name, in.failure()));
    }
}

namespace {

QByteArray readWholeFile(const QString& path)
{
    if (QFileInfo(path).isDir())
        raiseRunTime(RunTime::PathFileAccess, QStringLiteral("\"%1\" is a folder, not a strategies file.").arg(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        raiseRunTime(RunTime::FileNotFound,
                     QStringLiteral("The strategies file \"%1\" cannot be read: %2.").arg(path, file.errorString()));
    return file.readAll();
}

} // namespace

std::shared_ptr<StrategyTypeCollection> readStrategiesFile(const QString& path, QByteArray* stamp)
{
    auto types = std::make_shared<StrategyTypeCollection>();
    const QByteArray bytes = readWholeFile(path);
    appendStrategiesFromBytes(*types, bytes, QFileInfo(path).fileName());
    if (stamp != nullptr)
        *stamp = contentStamp(bytes);
    return types;
}

void appendStrategiesFile(StrategyTypeCollection& target, const QString& path)
{
    appendStrategiesFromBytes(target, readWholeFile(path), QFileInfo(path).fileName());
}

QByteArray writeStrategiesFile(const StrategyTypeCollection& types, const QString& path)
{
    QString why;
    const QByteArray bytes = strategiesToBytes(types);
    if (!platform::replaceFile(path, bytes, &why))
        raiseRunTime(RunTime::PermissionDenied,
                     QStringLiteral("The strategies file \"%1\" cannot be written: %2.").arg(path, why));
    return contentStamp(bytes);
}

QByteArray contentStamp(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

bool changedSince(const QString& path, const QByteArray& stamp)
{
    if (stamp.isEmpty() || !QFileInfo::exists(path))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    return !hash.addData(&file) || hash.result() != stamp;
}

} // namespace tw
