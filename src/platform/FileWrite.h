#pragma once
// Files written whole or not at all. Every write's count is checked: a write
// cut short (a full disk, a used-up quota, a file size limit) fails the whole
// save, and the file that was there stays as it was. Failures are told in
// words for the user ("the disk is full"), taken from the system's error
// number, never from a library's generic code.

#include <QByteArray>
#include <QString>

#include <functional>

namespace tw::platform {

// The cause of a failed write in words for the user, to follow "cannot be
// written: " ("the disk is full", "the disk quota is used up", ...).
QString writeFailureText(int systemError);

// Temporary files of writes in progress. Each is named by its kind (a
// prefix) and six letters or digits, and is held (an exclusive lock on it)
// by the process writing it for as long as the write runs. One that nobody
// holds was left by a program ended in the middle of a write.
//
// A file is made first and held next, so the folder itself is locked too:
// its makers share that lock from the making of a file until they hold it
// (TemporaryMaking), and a cleaner sweeps only while it has that lock to
// itself, so it never meets a file made but not yet held.

// Whether `name` is that of a temporary file of the kind `prefix`.
bool isTemporaryName(const QString& name, QLatin1StringView prefix);

// While it lives, no cleaner sweeps `folder` (one that is sweeping is
// waited for): the temporary files made meanwhile are safe until they are
// held.
class TemporaryMaking {
public:
    explicit TemporaryMaking(const QString& folder);
    ~TemporaryMaking();
    TemporaryMaking(const TemporaryMaking&) = delete;
    TemporaryMaking& operator=(const TemporaryMaking&) = delete;

private:
    int m_fd = -1;
};

// Holds the newly made temporary file open as `fd` and named `path` (made
// under a TemporaryMaking). False when it cannot be held, or a cleaner of a
// program that does not lock the folder took it away before it was held:
// then another is to be made.
bool holdTemporary(int fd, const QByteArray& path);

// How often a temporary file is made anew when a cleaner that does not lock
// the folder took the one made before.
constexpr int kTemporaryAttempts = 64;

// Tests only: called between the making of a temporary file and its
// holding, to widen that moment.
extern void (*temporaryMadeHookForTests)();

// Removes from `folder` the temporary files of the kind `prefix` that no
// running write holds; only plain files of this user's go. While another
// process is making a temporary file there it sweeps nothing, and the
// leftovers go at a later sweep. Returns how many were removed.
int removeUnheldTemporaries(const QString& folder, QLatin1StringView prefix);

// Removes from `folder` the partial copies of saves (FileReplacement) that
// never ended; the copy of a save still running stays. Returns how many
// were removed.
int removeSaveLeftovers(const QString& folder);

// Gives the newest partial copy of a save in `folder` that nobody holds and
// whose bytes `accept` takes the name `path`, replacing the file there. True
// when one did.
bool adoptSaveLeftover(const QString& folder, const std::function<bool(const QByteArray&)>& accept,
                       const QString& path);

// A file that replaces `path` only when every byte of it is on the disk: it
// is written to a temporary file in the same folder, synced, and renamed over
// `path` by commit(). Until then `path` is untouched; a failure, or
// destruction without commit(), removes the temporary file, and the file is
// held (see above) until it has its name, so a killed save's partial copy is
// taken away by the next save into the folder (removeSaveLeftovers). A
// symbolic link at `path` keeps pointing at the file, which is replaced; an
// existing file keeps its permissions, a new one gets those of any new file
// of the user's.
class FileReplacement {
public:
    explicit FileReplacement(const QString& path);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Writes every byte of `bytes` (the first call makes the temporary file).
    // False when it failed, now or in an earlier call: nothing is committed.
    bool write(const QByteArray& bytes);
    // Syncs the temporary file and renames it over the target.
    bool commit();

    // The failure in words for the user (writeFailureText), empty while
    // nothing failed.
    QString errorText() const;

private:
    bool open();
    bool fail(int systemError);
    void discard();

    QString m_path;
    QByteArray m_target;
    QByteArray m_temp;
    unsigned m_mode = 0;
    int m_fd = -1;
    int m_error = 0;
    bool m_committed = false;
};

// A file made new, never over another: the name appears only once every
// byte is in the file (an unnamed file is given the name, where the file
// system can make one; elsewhere the bytes go in right after the name is
// made, and a write that fails takes the name away again). It is made
// durable by sync() apart, so that several files can all have their names
// before the first waits for the disk. A file that replaces nothing needs no
// temporary copy: a program killed after create() leaves the whole file
// under its name, one killed before leaves nothing.
class NewFile {
public:
    NewFile() = default;
    ~NewFile();
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    // Makes `path` with `bytes` and the permissions `mode` (less the umask).
    // 0, EEXIST when the name is taken (nothing changed), or the system's
    // error number (no file left).
    int create(const QString& path, const QByteArray& bytes, unsigned mode);
    // Syncs the file and its folder. On a failure (the data could not go to
    // the disk) the file is removed: its bytes cannot be trusted. 0 or the
    // system's error number.
    int sync();

private:
    void close();

    int m_fd = -1;
    QByteArray m_path;
};

// Writes `bytes` as the whole new content of `path` (a FileReplacement).
// False, with the cause in `why` (writeFailureText), when it cannot.
bool replaceFile(const QString& path, const QByteArray& bytes, QString* why);

// Appends `bytes` to `path` (made when missing) whole or not at all: a write
// cut short is taken back, so the file never ends in a part of them. A file
// that ends in a cut line all the same (its writer was killed in the middle
// of one) has that line ended first, so the bytes begin on a line of their
// own; the cut line is kept as it is, for what it tells. False, with the
// cause in `why`, when they could not all be written.
bool appendWhole(const QString& path, const QByteArray& bytes, QString* why);

// The permissions of a new file of the user's (0666 less the umask).
unsigned newFileMode();

// Whether the open file `fd` is still the one the folder lists as `path`
// (nobody removed or replaced it since it was opened).
bool isStillNamed(int fd, const QByteArray& path);

// Ignores SIGXFSZ for the whole process: a write past the file size limit
// (ulimit -f) then fails with EFBIG, which every writer here tells ("the
// file would be larger than the system allows") and after which the old file
// stays, where the signal would end the program. Inherited by the programs
// it starts.
void ignoreFileSizeSignal();

// Syncs the file at `path` to the disk. The system's error number when that
// finds the data could not be written, else 0.
int syncFile(const QString& path);

// Makes sure the folder has room for `bytes` more bytes, by reserving them in
// the file at `path` (then emptied again). The system's error number when it
// has not, else 0.
int reserveRoom(const QString& path, qint64 bytes);

// Why no file can be written in `folder`, found by writing a small one
// there (and removing it): the cause, or empty when one can be written.
QString folderWriteProblem(const QString& folder);

} // namespace tw::platform
