#include "platform/FileWrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tw::platform {

QString writeFailureText(int systemError)
{
    switch (systemError) {
    case ENOSPC:
        return QStringLiteral("the disk is full");
    case EDQUOT:
        return QStringLiteral("the disk quota is used up");
    case EFBIG:
        return QStringLiteral("the file would be larger than the system allows");
    case EROFS:
        return QStringLiteral("the disk can only be read, not written");
    case EACCES:
    case EPERM:
        return QStringLiteral("you have no permission to write there");
    case ENOENT:
        return QStringLiteral("the folder does not exist");
    default: {
        QString text = QString::fromLocal8Bit(std::strerror(systemError));
        if (!text.isEmpty())
            text[0] = text[0].toLower();
        return text;
    }
    }
}

namespace {

// Writes every byte, going on after a short write: the write after one
// tells why it was short. 0, or the system's error number.
int writeAll(int fd, const char* data, qint64 size, qint64* written = nullptr)
{
    qint64 done = 0;
    int error = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, static_cast<size_t>(size - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = n < 0 ? errno : EIO;
            break;
        }
        done += n;
    }
    if (written != nullptr)
        *written = done;
    return error;
}

// A sync the file system cannot do is no failure; one that finds the data
// lost is.
bool syncFailed(int fd)
{
    return ::fsync(fd) != 0 && errno != EINVAL && errno != ENOTSUP;
}

} // namespace

unsigned newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

int syncFile(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int error = syncFailed(fd) ? errno : 0;
    ::close(fd);
    return error;
}

void ignoreFileSizeSignal()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

bool isStillNamed(int fd, const QByteArray& path)
{
    struct stat opened {};
    struct stat named {};
    return ::fstat(fd, &opened) == 0 && ::lstat(path.constData(), &named) == 0 && opened.st_dev == named.st_dev
        && opened.st_ino == named.st_ino;
}

void (*temporaryMadeHookForTests)() = nullptr;

namespace {

const QLatin1StringView kSavePrefix(".tarnwell-save-");
constexpr int kRandomLetters = 6;

// The folder opened for its lock; -1 when it cannot be opened.
int openFolder(const QString& folder)
{
    return ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

int lockFolder(int fd, int operation)
{
    int result = 0;
    while ((result = ::flock(fd, operation)) != 0 && errno == EINTR) {
    }
    return result;
}

// Calls `act` with each temporary file of the kind `prefix` in `folder`, in
// the `order` given, that is a plain file of this user's and that no running
// write holds: opened for reading and held here until `act` returns. Stops
// at the first for which `act` returns true.
template <class Act>
void forEachUnheldTemporary(const QString& folder, QLatin1StringView prefix, QDir::SortFlags order, Act act)
{
    const QDir dir(folder);
    const QStringList names =
        dir.entryList({prefix + QStringLiteral("*")}, QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks, order);
    for (const QString& name : names) {
        if (!isTemporaryName(name, prefix))
            continue;
        const QByteArray path = QFile::encodeName(dir.filePath(name));
        const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st {};
        const bool unheld = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid()
            && ::flock(fd, LOCK_EX | LOCK_NB) == 0 && isStillNamed(fd, path);
        const bool done = unheld && act(fd, path);
        ::close(fd);
        if (done)
            return;
    }
}

} // namespace

TemporaryMaking::TemporaryMaking(const QString& folder) : m_fd(openFolder(folder))
{
    // A folder that cannot be locked (a file system without locks) is made
    // in all the same; its cleaners cannot lock it either, so they sweep
    // nothing.
    if (m_fd >= 0)
        lockFolder(m_fd, LOCK_SH);
}

TemporaryMaking::~TemporaryMaking()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool isTemporaryName(const QString& name, QLatin1StringView prefix)
{
    if (!name.startsWith(prefix) || name.size() != prefix.size() + kRandomLetters)
        return false;
    for (qsizetype i = prefix.size(); i < name.size(); ++i) {
        const char16_t c = name.at(i).unicode();
        if (!((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')))
            return false;
    }
    return true;
}

bool holdTemporary(int fd, const QByteArray& path)
{
    if (temporaryMadeHookForTests != nullptr)
        temporaryMadeHookForTests();
    // A cleaner that does not lock the folder (an earlier version's) may
    // have taken the file in the moment between its making and this lock:
    // then it is no longer named so.
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0 && isStillNamed(fd, path);
}

int removeUnheldTemporaries(const QString& folder, QLatin1StringView prefix)
{
    int removed = 0;
    const int folderFd = openFolder(folder);
    if (folderFd < 0)
        return 0;
    const auto closeFolder = qScopeGuard([folderFd] { ::close(folderFd); });
    if (lockFolder(folderFd, LOCK_EX | LOCK_NB) != 0)
        return 0; // a file is being made there
    forEachUnheldTemporary(folder, prefix, QDir::NoSort, [&removed](int, const QByteArray& path) {
        if (::unlink(path.constData()) == 0)
            ++removed;
        return false;
    });
    return removed;
}

int removeSaveLeftovers(const QString& folder)
{
    return removeUnheldTemporaries(folder, kSavePrefix);
}

bool adoptSaveLeftover(const QString& folder, const std::function<bool(const QByteArray&)>& accept,
                       const QString& path)
{
    bool adopted = false;
    // Held here while it is read and renamed: no cleaner takes it meanwhile.
    forEachUnheldTemporary(folder, kSavePrefix, QDir::Time, [&](int fd, const QByteArray& copy) {
        QFile file;
        adopted = file.open(fd, QIODevice::ReadOnly) && accept(file.readAll())
            && ::rename(copy.constData(), QFile::encodeName(path).constData()) == 0;
        return adopted;
    });
    return adopted;
}

FileReplacement::FileReplacement(const QString& path) : m_path(path) {}

FileReplacement::~FileReplacement()
{
    discard();
}

QString FileReplacement::errorText() const
{
    return m_error == 0 ? QString() : writeFailureText(m_error);
}

bool FileReplacement::fail(int systemError)
{
    if (m_error == 0)
        m_error = systemError != 0 ? systemError : EIO;
    discard();
    return false;
}

void FileReplacement::discard()
{
    // Removed while still held, so no cleaner takes it first.
    if (!m_temp.isEmpty() && !m_committed)
        ::unlink(m_temp.constData());
    m_temp.clear();
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

bool FileReplacement::open()
{
    const QFileInfo given(m_path);
    QString resolved = given.absoluteFilePath();
    if (given.isSymLink())
        resolved = given.exists() ? given.canonicalFilePath() : given.symLinkTarget();
    const QFileInfo target(resolved);
    m_target = QFile::encodeName(target.absoluteFilePath());
    unsigned mode = 0;
    struct stat st{};
    if (::stat(m_target.constData(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return fail(EISDIR);
        if (::access(m_target.constData(), W_OK) != 0)
            return fail(errno);
        mode = st.st_mode & 07777;
    } else {
        mode = newFileMode();
    }
    // The partial copies of saves into this folder that were killed midway.
    const QString folder = target.absolutePath();
    removeSaveLeftovers(folder);
    // A short name of its own, so that a target whose name takes the most
    // the folder allows still gets one. It stays private until it has all
    // its bytes (and so can be read and taken away by a later cleaner
    // should this program be killed meanwhile).
    const TemporaryMaking making(folder);
    for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
        QByteArray temp = QFile::encodeName(folder) + "/" + kSavePrefix.latin1() + "XXXXXX";
        const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
        if (fd < 0)
            return fail(errno);
        if (holdTemporary(fd, temp)) {
            m_fd = fd;
            m_temp = temp;
            m_mode = mode;
            return true;
        }
        ::close(fd);
    }
    return fail(EAGAIN);
}

bool FileReplacement::write(const QByteArray& bytes)
{
    if (m_error != 0 || m_committed)
        return false;
    if (m_fd < 0 && !open())
        return false;
    if (const int error = writeAll(m_fd, bytes.constData(), bytes.size()); error != 0)
        return fail(error);
    return true;
}

bool FileReplacement::commit()
{
    if (m_error != 0 || m_committed)
        return false;
    if (m_fd < 0 && !write(QByteArray()))
        return false;
    // A file system may report the lack of room only when the data goes to
    // the disk (a quota on a network disk): at the sync or the close.
    if (syncFailed(m_fd))
        return fail(errno);
    ::fchmod(m_fd, m_mode);
    // The copy is held until it has its name: a second descriptor keeps the
    // lock while the first is closed (a network disk reports a write that
    // failed at the close).
    const int holder = ::fcntl(m_fd, F_DUPFD_CLOEXEC, 0);
    const int fd = m_fd;
    m_fd = holder;
    if (::close(fd) != 0 && errno != EINTR)
        return fail(errno);
    if (::rename(m_temp.constData(), m_target.constData()) != 0)
        return fail(errno);
    m_committed = true;
    m_temp.clear();
    discard();
    return true;
}

NewFile::~NewFile()
{
    close();
}

void NewFile::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

int NewFile::create(const QString& path, const QByteArray& bytes, unsigned mode)
{
    close();
    const QFileInfo info(path);
    const QByteArray name = QFile::encodeName(info.absoluteFilePath());
    // An unnamed file in the folder, linked to its name once it is whole.
    int fd = ::open(QFile::encodeName(info.absolutePath()).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (fd >= 0) {
        int error = writeAll(fd, bytes.constData(), bytes.size());
        if (error == 0) {
            const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
            if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW) != 0)
                error = errno;
            // Without /proc, only a program that may read any file links by
            // the descriptor itself.
            if (error == ENOENT && ::access(self.constData(), F_OK) != 0)
                error = ::linkat(fd, "", AT_FDCWD, name.constData(), AT_EMPTY_PATH) == 0 ? 0 : errno;
        }
        if (error == 0) {
            m_fd = fd;
            m_path = name;
            return 0;
        }
        ::close(fd);
        // Refused for the name, or the folder: the plain way would fare no better.
        if (error != ENOENT && error != EPERM && error != EOPNOTSUPP && error != EINVAL)
            return error;
    } else if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
        return errno;
    }
    // A file system without unnamed files: the name first, the bytes at once.
    fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0)
        return errno;
    if (const int error = writeAll(fd, bytes.constData(), bytes.size()); error != 0) {
        ::unlink(name.constData());
        ::close(fd);
        return error;
    }
    m_fd = fd;
    m_path = name;
    return 0;
}

int NewFile::sync()
{
    if (m_fd < 0)
        return EBADF;
    int error = syncFailed(m_fd) ? errno : 0;
    // A network disk may tell of a failed write only at the close.
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 && error == 0 && errno != EINTR)
        error = errno;
    if (error == 0) {
        // The name itself is in the folder's data.
        const int folder = ::open(QFile::encodeName(QFileInfo(QFile::decodeName(m_path)).absolutePath()).constData(),
                                  O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder >= 0) {
            if (syncFailed(folder))
                error = errno;
            ::close(folder);
        }
    }
    if (error != 0)
        ::unlink(m_path.constData());
    return error;
}

bool replaceFile(const QString& path, const QByteArray& bytes, QString* why)
{
    FileReplacement file(path);
    if (file.write(bytes) && file.commit())
        return true;
    if (why != nullptr)
        *why = file.errorText();
    return false;
}

bool appendWhole(const QString& path, const QByteArray& bytes, QString* why)
{
    const QByteArray name = QFile::encodeName(path);
    int fd = ::open(name.constData(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    // A file that may be written but not read is appended to unseen.
    if (fd < 0 && errno == EACCES)
        fd = ::open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    int error = fd < 0 ? errno : 0;
    if (fd >= 0) {
        struct stat before{};
        const bool regular = ::fstat(fd, &before) == 0 && S_ISREG(before.st_mode);
        // A writer killed in the middle of a line left it cut: the line is
        // ended (in the bytes' own line end), so these begin on their own.
        QByteArray whole = bytes;
        char last = '\n';
        if (regular && before.st_size > 0 && !bytes.isEmpty() && ::pread(fd, &last, 1, before.st_size - 1) == 1
            && last != '\n')
            whole.prepend(last == '\r' || !bytes.endsWith("\r\n") ? "\n" : "\r\n");
        qint64 written = 0;
        error = writeAll(fd, whole.constData(), whole.size(), &written);
        struct stat after{};
        // Takes back a part written, unless another writer has appended
        // meanwhile (cutting would take its text too).
        if (error != 0 && written > 0 && regular && ::fstat(fd, &after) == 0
            && after.st_size == before.st_size + written) {
            while (::ftruncate(fd, before.st_size) != 0 && errno == EINTR) {
            }
        }
        if (::close(fd) != 0 && error == 0 && errno != EINTR)
            error = errno;
    }
    if (error != 0 && why != nullptr)
        *why = writeFailureText(error);
    return error == 0;
}

int reserveRoom(const QString& path, qint64 bytes)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int error = ::posix_fallocate(fd, 0, bytes);
    // A file system that cannot reserve room cannot tell whether it has it.
    if (error == EINVAL || error == EOPNOTSUPP)
        error = 0;
    while (::ftruncate(fd, 0) != 0 && errno == EINTR) {
    }
    ::close(fd);
    return error;
}

QString folderWriteProblem(const QString& folder)
{
    QByteArray probe = QFile::encodeName(QDir(folder).absolutePath()) + "/.tarnwell-probe-XXXXXX";
    const int fd = ::mkostemp(probe.data(), O_CLOEXEC);
    if (fd < 0)
        return writeFailureText(errno);
    int error = writeAll(fd, "probe\n", 6);
    if (error == 0 && syncFailed(fd))
        error = errno;
    ::close(fd);
    ::unlink(probe.constData());
    return error == 0 ? QString() : writeFailureText(error);
}

} // namespace tw::platform
