#include "platform/WorkbookTemporary.h"

#include "platform/Workbook.h"

#include <QDir>
#include <QFile>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tw::platform {

namespace {

const QLatin1StringView kPrefix(".workbook-");
constexpr int kRandomLetters = 6;

// True when the open file `fd` is still the one the folder lists as `path`
// (nobody removed or replaced it since it was opened).
bool stillNamed(int fd, const QByteArray& path)
{
    struct stat opened {};
    struct stat named {};
    return ::fstat(fd, &opened) == 0 && ::lstat(path.constData(), &named) == 0 && opened.st_dev == named.st_dev
        && opened.st_ino == named.st_ino;
}

} // namespace

bool isWorkbookTemporaryName(const QString& name)
{
    if (!name.startsWith(kPrefix) || name.size() != kPrefix.size() + kRandomLetters)
        return false;
    for (qsizetype i = kPrefix.size(); i < name.size(); ++i) {
        const char16_t c = name.at(i).unicode();
        if (!((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')))
            return false;
    }
    return true;
}

std::unique_ptr<QTemporaryFile> newHeldWorkbookTemporary(const QString& folder, QString* why)
{
    // A cleaner of another run may take a file in the moment between its
    // making and its locking; then it is made anew.
    for (int attempt = 0; attempt < 5; ++attempt) {
        auto temp = std::make_unique<QTemporaryFile>(QDir(folder).filePath(kPrefix + QStringLiteral("XXXXXX")));
        if (!temp->open()) {
            *why = temp->errorString();
            return nullptr;
        }
        if (::flock(temp->handle(), LOCK_EX | LOCK_NB) == 0 && stillNamed(temp->handle(), QFile::encodeName(temp->fileName())))
            return temp;
    }
    *why = QStringLiteral("the folder's temporary files are taken away as soon as they are made");
    return nullptr;
}

int removeWorkbookLeftovers(const QString& folder)
{
    int removed = 0;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks)) {
        if (!isWorkbookTemporaryName(name))
            continue;
        const QByteArray path = QFile::encodeName(dir.filePath(name));
        const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st {};
        // Only a plain file of this user's that no running write holds.
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid()
            && ::flock(fd, LOCK_EX | LOCK_NB) == 0 && stillNamed(fd, path) && ::unlink(path.constData()) == 0)
            ++removed;
        ::close(fd);
    }
    return removed;
}

} // namespace tw::platform
