#include "platform/WorkbookTemporary.h"

#include "platform/FileWrite.h"
#include "platform/Workbook.h"

#include <QDir>
#include <QFile>

namespace tw::platform {

namespace {

const QLatin1StringView kPrefix(".workbook-");

} // namespace

bool isWorkbookTemporaryName(const QString& name)
{
    return isTemporaryName(name, kPrefix);
}

std::unique_ptr<QTemporaryFile> newHeldWorkbookTemporary(const QString& folder, QString* why)
{
    // No cleaner of this version takes a file between its making and its
    // holding; one of an earlier version may, and then it is made anew.
    const TemporaryMaking making(folder);
    for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
        auto temp = std::make_unique<QTemporaryFile>(QDir(folder).filePath(kPrefix + QStringLiteral("XXXXXX")));
        if (!temp->open()) {
            *why = temp->errorString();
            return nullptr;
        }
        if (holdTemporary(temp->handle(), QFile::encodeName(temp->fileName())))
            return temp;
    }
    *why = QStringLiteral("the folder's temporary files are taken away as soon as they are made");
    return nullptr;
}

int removeWorkbookLeftovers(const QString& folder)
{
    return removeUnheldTemporaries(folder, kPrefix);
}

} // namespace tw::platform
