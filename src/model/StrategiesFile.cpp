#include "model/StrategiesFile.h"

#include "app/TwError.h"
#include "platform/FileWrite.h"

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

std::shared_ptr<StrategyTypeCollection> readStrategiesFile(const QString& path)
{
    auto types = std::make_shared<StrategyTypeCollection>();
    appendStrategiesFromBytes(*types, readWholeFile(path), QFileInfo(path).fileName());
    return types;
}

void appendStrategiesFile(StrategyTypeCollection& target, const QString& path)
{
    appendStrategiesFromBytes(target, readWholeFile(path), QFileInfo(path).fileName());
}

void writeStrategiesFile(const StrategyTypeCollection& types, const QString& path)
{
    QString why;
    if (!platform::replaceFile(path, strategiesToBytes(types), &why))
        raiseRunTime(RunTime::PermissionDenied,
                     QStringLiteral("The strategies file \"%1\" cannot be written: %2.").arg(path, why));
}

} // namespace tw
