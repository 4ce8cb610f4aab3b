// Files written whole or not at all (the callers' own tests cut writes short).
#include "platform/FileWrite.h"
#include "support/FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tw::platform;

namespace {

TEST(FileWrite, AReplacementKeepsTheLinkAndThePermissionsAndLeavesNothingBeside)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("file.json"));
    const QString link = dir.filePath(QStringLiteral("link.json"));
    QString why;
    ASSERT_TRUE(replaceFile(path, QByteArray(100, 'o'), &why)) << why.toStdString();
    const auto mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(path, mode) && QFile::link(path, link));
    {
        tw::test::FileSizeLimit limit(8 * 1024);
        ASSERT_TRUE(limit.active());
        EXPECT_FALSE(replaceFile(link, QByteArray(22 * 1024, 'n'), &why));
    }
    EXPECT_EQ(QFileInfo(path).size(), 100);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 2);

    ASSERT_TRUE(replaceFile(link, QByteArray(22 * 1024, 'n'), &why)) << why.toStdString();
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(QFileInfo(path).size(), 22 * 1024);
    EXPECT_EQ(QFile::permissions(path) & 0xF0FF, mode); // owner, group, others
}

QStringList savesIn(const QDir& folder)
{
    return folder.entryList({QStringLiteral(".tarnwell-save-*")}, QDir::AllEntries | QDir::Hidden | QDir::System);
}

bool makeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A save killed midway leaves its partial copy; the next save into the folder
// takes it away, but never the copy of a save still running in another
// process, nor anything that merely looks like a copy.
TEST(FileWrite, OnlyPartialCopiesOfSavesThatNoLongerRunAreRemoved)
{
    QTemporaryDir dir;
    const QDir folder(dir.path());
    int channel[2];
    ASSERT_EQ(::pipe(channel), 0);
    const pid_t saver = ::fork();
    ASSERT_GE(saver, 0);
    if (saver == 0) { // another program in the middle of saving a library
        FileReplacement library(folder.filePath(QStringLiteral("library.stg")));
        if (library.write(QByteArray(4096, 'L')) && ::write(channel[1], "y", 1) == 1)
            ::pause();
        ::_exit(1);
    }
    ::close(channel[1]);
    pid_t alive = saver;
    const auto end = qScopeGuard([&alive] {
        if (alive > 0 && ::kill(alive, SIGKILL) == 0)
            ::waitpid(alive, nullptr, 0);
    });
    char told = 0;
    ASSERT_EQ(::read(channel[0], &told, 1), 1);
    ::close(channel[0]);
    const QStringList running = savesIn(folder);
    ASSERT_EQ(running.size(), 1);
    const QStringList kept = {QStringLiteral(".tarnwell-save-notes.txt"), QStringLiteral(".tarnwell-save-ab12"),
                              QStringLiteral(".workbook-Abc123")};
    for (const QString& name : kept + QStringList{QStringLiteral(".tarnwell-save-Left01")})
        ASSERT_TRUE(makeFile(folder.filePath(name), "x"));
    ASSERT_TRUE(folder.mkdir(QStringLiteral(".tarnwell-save-Dir123")));
    ASSERT_TRUE(QFile::link(folder.filePath(kept.first()), folder.filePath(QStringLiteral(".tarnwell-save-Lnk123"))));

    QString why;
    ASSERT_TRUE(replaceFile(folder.filePath(QStringLiteral("quotes.opt")), "quotes", &why)) << why.toStdString();
    EXPECT_FALSE(folder.exists(QStringLiteral(".tarnwell-save-Left01")));
    EXPECT_TRUE(folder.exists(running.first()));
    for (const QString& name : kept + QStringList{QStringLiteral(".tarnwell-save-Dir123")})
        EXPECT_TRUE(folder.exists(name)) << name.toStdString();
    EXPECT_TRUE(QFileInfo(folder.filePath(QStringLiteral(".tarnwell-save-Lnk123"))).isSymLink());

    // Killed in the middle of its save: its copy is a leftover now.
    ASSERT_EQ(::kill(saver, SIGKILL), 0);
    ASSERT_EQ(::waitpid(saver, nullptr, 0), saver);
    alive = 0;
    ASSERT_TRUE(replaceFile(folder.filePath(QStringLiteral("quotes.opt")), "quotes", &why)) << why.toStdString();
    EXPECT_FALSE(folder.exists(running.first()));
    EXPECT_FALSE(folder.exists(QStringLiteral("library.stg")));
}

// A new file never takes the place of another, and its name never shows less
// than all its bytes: a write cut short leaves no file at all.
TEST(FileWrite, ANewFileIsNamedWholeOrNotAtAllAndNeverOverAnother)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Unsaved strategies.stg"));
    ASSERT_TRUE(makeFile(path, "older"));
    EXPECT_EQ(NewFile().create(path, "newer", 0666), EEXIST);
    ASSERT_TRUE(QFile::remove(path));
    {
        tw::test::FileSizeLimit limit(8 * 1024);
        EXPECT_EQ(NewFile().create(path, QByteArray(22 * 1024, 'n'), 0666), EFBIG);
    }
    EXPECT_TRUE(QDir(dir.path()).isEmpty(QDir::Files | QDir::Hidden | QDir::System));
    NewFile made;
    EXPECT_TRUE(made.create(path, QByteArray(22 * 1024, 'n'), 0600) == 0 && made.sync() == 0);
    EXPECT_EQ(QFileInfo(path).size(), 22 * 1024);
}

// Programs saving into one folder never fail each other's saves: three save
// a thousand times each, every save sweeping the folder, one of them also
// sweeping it between making its copy and holding it (from the very process,
// as another program's sweep would come then).
TEST(FileWrite, ProgramsSavingIntoOneFolderNeverFailEachOthersSaves)
{
    QTemporaryDir dir;
    static QDir folder;
    folder = QDir(dir.path());
    constexpr int kSaves = 1000;
    std::vector<pid_t> savers;
    for (int k = 0; k < 3; ++k) {
        savers.push_back(::fork());
        ASSERT_GE(savers.back(), 0);
        if (savers.back() == 0) {
            if (k == 0)
                temporaryMadeHookForTests = [] { removeSaveLeftovers(folder.path()); };
            int failed = 0; // the exit status: how many saves failed (at most 255)
            QString why;
            for (int i = 1; i <= kSaves; ++i)
                failed += replaceFile(folder.filePath(QStringLiteral("file%1").arg(k)), QByteArray::number(i), &why) ? 0 : 1;
            ::_exit(std::min(failed, 255));
        }
    }
    for (size_t k = 0; k < savers.size(); ++k) {
        int status = 0;
        ASSERT_EQ(::waitpid(savers[k], &status, 0), savers[k]);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << "saver " << k << ": " << WEXITSTATUS(status) << " of " << kSaves << " saves failed";
        QFile file(folder.filePath(QStringLiteral("file%1").arg(k)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), QByteArray::number(kSaves));
    }
    EXPECT_TRUE(savesIn(folder).isEmpty());
}

// Saving over a read-only file is refused and leaves it. Root writes any
// file, so as root the save runs in a child dropped to the user "nobody".
TEST(FileWrite, AReadOnlyFileIsNotSavedOver)
{
    QTemporaryDir dir;
    const passwd* nobody = ::geteuid() == 0 ? ::getpwnam("nobody") : nullptr;
    if (::geteuid() == 0 && nobody == nullptr)
        GTEST_SKIP() << "running as root with no user \"nobody\" to drop to, and root writes any file";
    const QString folder = dir.filePath(QStringLiteral("shared"));
    const QString path = folder + QStringLiteral("/library.stg");
    ASSERT_TRUE(QDir().mkpath(folder) && makeFile(path, "kept"));
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    // 0: refused in the right words, 1: written, 2: refused otherwise.
    const auto trySave = [&] {
        QString why;
        return replaceFile(path, "replaced", &why) ? 1 : why == QStringLiteral("you have no permission to write there") ? 0 : 2;
    };
    int outcome = 3; // the child could not drop to "nobody"
    if (nobody == nullptr) {
        outcome = trySave();
    } else {
        const uid_t uid = nobody->pw_uid;
        const gid_t gid = nobody->pw_gid;
        ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0711), 0);
        ASSERT_EQ(::chown(QFile::encodeName(folder).constData(), uid, gid), 0);
        ASSERT_EQ(::chown(QFile::encodeName(path).constData(), uid, gid), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0)
            ::_exit(::setgroups(0, nullptr) == 0 && ::setgid(gid) == 0 && ::setuid(uid) == 0 ? trySave() : 3);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        outcome = WIFEXITED(status) ? WEXITSTATUS(status) : 4;
    }
    EXPECT_EQ(outcome, 0);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "kept");
    EXPECT_TRUE(savesIn(QDir(folder)).isEmpty());
}

} // namespace
