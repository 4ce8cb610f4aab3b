// Files written whole or not at all (the callers' own tests cut writes short).
#include "platform/FileWrite.h"
#include "support/FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
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

// A save killed midway leaves its partial copy; the next save into the folder
// takes it away, but never the copy of a save still running (in another
// process, or in this one), nor anything else that merely looks like one.
TEST(FileWrite, OnlyPartialCopiesOfSavesThatNoLongerRunAreRemoved)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QDir folder(dir.path());
    const auto make = [&](const QString& name) {
        QFile f(folder.filePath(name));
        return f.open(QIODevice::WriteOnly) && f.write("x") == 1;
    };
    // Another program in the middle of saving a library into the folder.
    int channel[2];
    ASSERT_EQ(::pipe(channel), 0);
    const pid_t saver = ::fork();
    ASSERT_GE(saver, 0);
    if (saver == 0) {
        ::close(channel[0]);
        FileReplacement library(folder.filePath(QStringLiteral("library.stg")));
        const bool started = library.write(QByteArray(4096, 'L'));
        const char told = started ? 'y' : 'n';
        if (::write(channel[1], &told, 1) == 1 && started)
            ::pause();
        ::_exit(1);
    }
    ::close(channel[1]);
    // Ended whatever the test finds.
    struct Reaper {
        pid_t pid;
        ~Reaper()
        {
            if (pid > 0 && ::kill(pid, SIGKILL) == 0)
                ::waitpid(pid, nullptr, 0);
        }
    } reaper{saver};
    char told = 0;
    ASSERT_EQ(::read(channel[0], &told, 1), 1);
    ::close(channel[0]);
    ASSERT_EQ(told, 'y');
    const QStringList running = savesIn(folder);
    ASSERT_EQ(running.size(), 1);

    const QStringList kept = {QStringLiteral(".tarnwell-save-notes.txt"), QStringLiteral(".tarnwell-save-ab12"),
                              QStringLiteral(".tarnwell-save-ab-123"), QStringLiteral(".workbook-Abc123")};
    for (const QString& name : kept)
        ASSERT_TRUE(make(name)) << name.toStdString();
    ASSERT_TRUE(make(QStringLiteral(".tarnwell-save-Left01")));
    ASSERT_TRUE(folder.mkdir(QStringLiteral(".tarnwell-save-Dir123")));
    ASSERT_TRUE(QFile::link(folder.filePath(kept.first()), folder.filePath(QStringLiteral(".tarnwell-save-Lnk123"))));
    const QStringList before = savesIn(folder);

    // And a save of this program's own, not yet done.
    FileReplacement own(folder.filePath(QStringLiteral("settings.json")));
    ASSERT_TRUE(own.write("{\"a\":"));
    QString why;
    ASSERT_TRUE(replaceFile(folder.filePath(QStringLiteral("quotes.opt")), "quotes", &why)) << why.toStdString();
    EXPECT_FALSE(folder.exists(QStringLiteral(".tarnwell-save-Left01")));
    EXPECT_TRUE(folder.exists(running.first()));
    ASSERT_TRUE(own.write("1}") && own.commit()) << own.errorText().toStdString();
    QFile settings(folder.filePath(QStringLiteral("settings.json")));
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    EXPECT_EQ(settings.readAll(), "{\"a\":1}");
    for (const QString& name : kept + QStringList{QStringLiteral(".tarnwell-save-Dir123")})
        EXPECT_TRUE(folder.exists(name)) << name.toStdString();
    EXPECT_TRUE(QFileInfo(folder.filePath(QStringLiteral(".tarnwell-save-Lnk123"))).isSymLink());

    // Killed in the middle of its save: its copy is a leftover now, which
    // the next save takes away; the library it was saving never appeared.
    ::kill(saver, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(saver, &status, 0), saver);
    reaper.pid = 0;
    EXPECT_TRUE(folder.exists(running.first()));
    ASSERT_TRUE(replaceFile(folder.filePath(QStringLiteral("quotes.opt")), "quotes", &why)) << why.toStdString();
    EXPECT_FALSE(folder.exists(running.first()));
    EXPECT_FALSE(folder.exists(QStringLiteral("library.stg")));
    EXPECT_EQ(savesIn(folder).size(), before.size() - 2);
}

// A writer killed in the middle of a line leaves the file ending in a part of
// it; the next append ends that line first, in the appended bytes' own line
// end, and keeps the part.
TEST(FileWrite, AnAppendAfterACutLineStartsOnALineOfItsOwn)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("log.txt"));
    const std::pair<QByteArray, QByteArray> cases[] = {
        {"", "new\r\n"},                       // a new file
        {"whole\r\n", "whole\r\nnew\r\n"},     // nothing to end
        {"cut", "cut\r\nnew\r\n"},              // cut in the text
        {"cut\r", "cut\r\nnew\r\n"},            // cut between the line end's two bytes
    };
    for (const auto& [start, expected] : cases) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(start) == start.size());
        f.close();
        QString why;
        ASSERT_TRUE(appendWhole(path, "new\r\n", &why)) << why.toStdString();
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), expected) << start.toStdString();
    }
    // Plain line ends get a plain one.
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write("cut") == 3);
    f.close();
    ASSERT_TRUE(appendWhole(path, "new\n", nullptr));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "cut\nnew\n");
}

// Saving over a file that may only be read is refused and leaves it as it
// was. Root may write any file, so as root the check runs in a child that
// has dropped to the "nobody" user.
TEST(FileWrite, AReadOnlyFileIsNotSavedOver)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const passwd* nobody = ::geteuid() == 0 ? ::getpwnam("nobody") : nullptr;
    if (::geteuid() == 0 && nobody == nullptr)
        GTEST_SKIP() << "running as root, and no user \"nobody\" to drop to: root writes any file";
    const QString folder = dir.filePath(QStringLiteral("shared"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/library.stg");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("kept") == 4);
    }
    const auto readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    ASSERT_TRUE(QFile::setPermissions(path, readOnly));
    // What the save found: 0 refused with the right words, 1 written, 2
    // refused for another reason, 3 privileges not dropped.
    const auto trySave = [&]() -> int {
        QString why;
        if (replaceFile(path, "replaced", &why))
            return 1;
        return why == QStringLiteral("you have no permission to write there") ? 0 : 2;
    };
    int outcome = -1;
    if (nobody == nullptr) {
        outcome = trySave();
    } else {
        // The folder is the user's own (so the save could replace the file
        // there but for its permissions); the test folder above is opened to
        // be passed through.
        ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0711), 0);
        ASSERT_EQ(::chown(QFile::encodeName(folder).constData(), nobody->pw_uid, nobody->pw_gid), 0);
        ASSERT_EQ(::chown(QFile::encodeName(path).constData(), nobody->pw_uid, nobody->pw_gid), 0);
        const uid_t uid = nobody->pw_uid;
        const gid_t gid = nobody->pw_gid;
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0 || ::geteuid() == 0)
                ::_exit(3);
            ::_exit(trySave());
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        outcome = WEXITSTATUS(status);
        ASSERT_NE(outcome, 3) << "the child could not drop to the user \"nobody\"";
    }
    EXPECT_EQ(outcome, 0);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "kept");
    EXPECT_EQ(savesIn(QDir(folder)).size(), 0);
}

} // namespace
