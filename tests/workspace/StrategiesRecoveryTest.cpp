// The recovery file of strategies not saved when the system ends the program:
// its name, the user's folders it falls back to when the settings' folder
// cannot take it, what is said when none can, and which files a start names.
#include "app/Tools.h"
#include "app/CErrorHandler.h"
#include "model/StrategiesFile.h"
#include "model/StrategyTemplates.h"
#include "support/TestEnvironment.h"
#include "workspace/StrategiesRecovery.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tw;

namespace {

std::shared_ptr<StrategyTypeCollection> library()
{
    auto types = std::make_shared<StrategyTypeCollection>();
    auto g = types->Add(QStringLiteral("Kept"), QStringLiteral("{\\rtf1 Kept}"));
    auto st = g->Strategies()->Add(QStringLiteral("Edited"), QStringLiteral("{\\rtf1 Edited}"));
    st->Params()->Add(LegKind::Call, LegPosition::Long, 3, 1, 1);
    return types;
}

// A plain file where a folder belongs: no folder can be made there, not even
// by root.
bool block(const QString& folder)
{
    QDir(folder).removeRecursively();
    QFile f(folder);
    return f.open(QIODevice::WriteOnly);
}

bool touch(const QString& path, const QDateTime& when)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write("x") == 1 && f.flush()
        && f.setFileTime(when, QFileDevice::FileModificationTime);
}

// Points the home folder at a folder of the test's own, and clears the
// data and state folders the file falls back to.
class Recovery : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_oldHome = qgetenv("HOME");
        ASSERT_TRUE(m_home.isValid());
        qputenv("HOME", m_home.path().toLocal8Bit());
        m_folders = recoveryFolders();
        TearDown();
        qputenv("HOME", m_home.path().toLocal8Bit());
    }
    void TearDown() override
    {
        qputenv("HOME", m_oldHome);
        test::environment().clearSettings();
        for (const QString& folder : m_folders.mid(1, 2)) {
            QFile::remove(folder);
            QDir(folder).removeRecursively();
        }
    }
    QTemporaryDir m_home;
    QByteArray m_oldHome;
    QStringList m_folders;
};

} // namespace

TEST_F(Recovery, TheFileIsNamedByDateAndTimeAndNeverWritesOverAnother)
{
    const QString root = test::environment().root();
    EXPECT_EQ(m_folders, (QStringList{root + "/xdg_config_home/tarnwell", root + "/xdg_data_home/tarnwell",
                                      root + "/xdg_state_home/tarnwell", m_home.path()}));
    EXPECT_EQ(recoveryFolder(), m_folders.first());

    const QDateTime when(QDate(2026, 3, 4), QTime(5, 6, 7));
    const QString first = writeRecoveryFile(*library(), {m_folders.first()}, nullptr, when);
    const QString second = writeRecoveryFile(*library(), {m_folders.first()}, nullptr, when);
    EXPECT_EQ(first, m_folders.first() + "/Unsaved strategies 2026-03-04 05-06-07.stg");
    EXPECT_EQ(second, m_folders.first() + "/Unsaved strategies 2026-03-04 05-06-07 (2).stg");
    EXPECT_TRUE(isRecoveryFileName(second));
    for (const char* other : {"/u/mine.stg", "/u/Unsaved strategies 1.opt", "/u/My unsaved strategies 1.stg"})
        EXPECT_FALSE(isRecoveryFileName(QString::fromUtf8(other))) << other;
    const auto kept = readStrategiesFile(second);
    ASSERT_EQ(kept->Count(), 1);
    EXPECT_EQ(kept->Item(1)->Strategies()->Item(1)->Caption(), QStringLiteral("Edited"));
}

TEST_F(Recovery, AFolderThatCannotTakeItPassesToTheNextAndNoneIsToldOnStderrAndInTheLog)
{
    // Each folder in turn turned unwritable: the next one takes the file.
    ASSERT_TRUE(test::environment().blockSettings());
    for (int i = 1; i < m_folders.size(); ++i) {
        const QString path = keepUnsavedStrategies(*library());
        EXPECT_EQ(QFileInfo(path).path(), m_folders.at(i));
        EXPECT_EQ(readStrategiesFile(path)->Count(), 1);
        if (i < 3)
            ASSERT_TRUE(block(m_folders.at(i)));
    }

    // No folder at all: each named with its cause, on stderr and in the log.
    const QString homeFile = m_home.filePath(QStringLiteral("not a folder"));
    ASSERT_TRUE(block(homeFile));
    qputenv("HOME", homeFile.toLocal8Bit());
    QTemporaryDir logs;
    const QString oldLog = errorHandler().ErrorLogFile();
    errorHandler().setErrorLogFile(logs.filePath(QStringLiteral("Error Log.txt")));
    testing::internal::CaptureStderr();
    EXPECT_TRUE(keepUnsavedStrategies(*library()).isEmpty());
    const QString said = QString::fromStdString(testing::internal::GetCapturedStderr());
    errorHandler().setErrorLogFile(oldLog);
    QFile log(logs.filePath(QStringLiteral("Error Log.txt")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    for (const QString& text : {said, QString::fromUtf8(log.readAll())}) {
        EXPECT_TRUE(text.contains(QStringLiteral("could not keep the changed strategies"))) << qPrintable(text);
        EXPECT_TRUE(text.contains(m_folders.at(1) + QStringLiteral(": the folder cannot be made"))) << qPrintable(text);
        EXPECT_TRUE(text.contains(homeFile + QStringLiteral(": the folder cannot be made"))) << qPrintable(text);
    }
    EXPECT_EQ(QDir(m_home.path()).entryList({QStringLiteral("Unsaved strategies *")}).size(), 1);
}

TEST_F(Recovery, AStartNamesEachNewFileOnceWhereverItWasKept)
{
    EXPECT_TRUE(recoveryNews({}, {}).files.isEmpty() && recoveryNews({}, {}).seen.isEmpty()); // nothing to keep
    const QDateTime t0 = QDateTime(QDate(2026, 5, 1), QTime(10, 0, 0, 250), Qt::UTC);
    const QString beside = m_folders.at(0) + "/Unsaved strategies 2026-05-01 10-00-00.stg";
    const QString fallback = m_folders.at(1) + "/Unsaved strategies 2026-05-01 11-00-00.stg";
    ASSERT_TRUE(touch(beside, t0));
    ASSERT_TRUE(touch(fallback, t0.addSecs(3600)));
    ASSERT_TRUE(touch(m_folders.at(1) + "/Other.stg", t0.addSecs(7200)));
    QFile empty(m_folders.at(2) + "/Unsaved strategies 2026-05-01 12-00-00.stg"); // a name taken, nothing written
    ASSERT_TRUE(QDir().mkpath(m_folders.at(2)) && empty.open(QIODevice::WriteOnly));
    empty.close();

    // No time kept (an earlier version's settings): those beside the settings
    // were named already; the one the settings name is told, none twice.
    EXPECT_EQ(recoveryNews({}, {}).files, QStringList{fallback});
    EXPECT_EQ(recoveryNews(beside, {}).files, (QStringList{beside, fallback}));
    EXPECT_EQ(recoveryNews({}, firstRecoverySeen()).files, (QStringList{beside, fallback}));
    const QString seen = recoveryNews({}, {}).seen;
    EXPECT_EQ(seen, QStringLiteral("2026-05-01T11:00:00.250Z"));

    // With the time kept, only newer files, from any folder.
    EXPECT_TRUE(recoveryNews({}, seen).files.isEmpty());
    EXPECT_EQ(recoveryNews({}, seen).seen, seen);
    const QString later = m_folders.at(3) + "/Unsaved strategies 2026-05-01 10-00-01.stg";
    ASSERT_TRUE(touch(later, t0.addSecs(3600).addMSecs(1)));
    const RecoveryNews news = recoveryNews(m_folders.at(0) + "/Unsaved strategies gone.stg", seen);
    EXPECT_EQ(news.files, QStringList{later});
    EXPECT_EQ(news.seen, QStringLiteral("2026-05-01T11:00:00.251Z"));
}
