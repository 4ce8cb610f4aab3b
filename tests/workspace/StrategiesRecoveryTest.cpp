// The recovery files of strategies and quotes not saved when the system ends
// the program: their names, the folders they fall back to when the settings'
// folder cannot take them, what is said when none can, what a start sweeps
// away, and which files a start names.
#include "app/Tools.h"
#include "app/CErrorHandler.h"
#include "marketdata/QuoteTable.h"
#include "model/StrategiesFile.h"
#include "model/StrategyTemplates.h"
#include "support/TestEnvironment.h"
#include "workspace/StrategiesRecovery.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

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
        QDir temp(QDir::tempPath());
        for (const QString& name : temp.entryList({QStringLiteral("Unsaved *")}, QDir::Files))
            temp.remove(name);
    }
    QTemporaryDir m_home;
    QByteArray m_oldHome;
    QStringList m_folders;
    // Changed strategies and downloaded quotes to keep.
    const std::shared_ptr<StrategyTypeCollection> m_types = library();
    const marketdata::QuoteLines m_quotes{QStringLiteral("BRK/B (BERKSHIRE),1,2"), QStringLiteral("Jan 27 2004,Bid,1")};
    const UnsavedWork m_work{m_types.get(), &m_quotes, QStringLiteral("BRK/B")};
};

} // namespace

TEST_F(Recovery, TheFilesAreNamedByDateAndTimeAndNeverWriteOverAnother)
{
    const QString root = test::environment().root();
    EXPECT_EQ(m_folders, (QStringList{root + "/xdg_config_home/tarnwell", root + "/xdg_data_home/tarnwell",
                                      root + "/xdg_state_home/tarnwell", m_home.path(), root + "/tmp"}));
    EXPECT_EQ(recoveryFolder(), m_folders.first());
    // The folder of a library not the user's own (as the shipped one beside
    // an installed program) is never tried.
    QTemporaryDir others;
    ASSERT_EQ(::chown(QFile::encodeName(others.path()).constData(), 65534, 65534), 0);
    EXPECT_EQ(recoveryFolders(others.filePath(QStringLiteral("mine.stg"))), m_folders);

    const QDateTime when(QDate(2026, 3, 4), QTime(5, 6, 7));
    const UnsavedWork strategies{m_types.get(), nullptr, {}};
    const QString first = writeRecoveryFiles(strategies, {m_folders.first()}, nullptr, when).strategies;
    const QString second = writeRecoveryFiles(strategies, {m_folders.first()}, nullptr, when).strategies;
    EXPECT_EQ(first, m_folders.first() + "/Unsaved strategies 2026-03-04 05-06-07.stg");
    EXPECT_EQ(second, m_folders.first() + "/Unsaved strategies 2026-03-04 05-06-07 (2).stg");
    EXPECT_TRUE(isRecoveryFileName(second));
    for (const char* other : {"/u/mine.stg", "/u/Unsaved strategies 1.opt", "/u/My unsaved strategies 1.stg"})
        EXPECT_FALSE(isRecoveryFileName(QString::fromUtf8(other))) << other;
    const auto kept = readStrategiesFile(second);
    ASSERT_EQ(kept->Count(), 1);
    EXPECT_EQ(kept->Item(1)->Strategies()->Item(1)->Caption(), QStringLiteral("Edited"));

    // The quotes beside them, as Save options writes them, the ticker made
    // fit for a file name.
    const KeptWork both = writeRecoveryFiles(m_work, {m_folders.first()}, nullptr, when);
    EXPECT_EQ(both.strategies, m_folders.first() + "/Unsaved strategies 2026-03-04 05-06-07 (3).stg");
    EXPECT_EQ(both.quotes, m_folders.first() + "/Unsaved quotes 2026-03-04 05-06-07 BRK_B.opt");
    EXPECT_EQ(test::bytesOf(both.quotes), m_quotes.fileBytes());
}

TEST_F(Recovery, AFolderThatCannotTakeItPassesToTheNextAndNoneIsToldOnStderrAndInTheLog)
{
    // Each of the user's folders in turn turned unwritable: the next one
    // takes the files; with the whole home gone, the library's folder, then
    // the temporary folder (one others may write to, as /tmp).
    QTemporaryDir libraryFolder;
    const QString libraryFile = libraryFolder.filePath(QStringLiteral("mine.stg"));
    ASSERT_TRUE(test::environment().blockSettings());
    const QString homeFile = m_home.filePath(QStringLiteral("not a folder"));
    const QString temp = m_folders.last();
    ASSERT_EQ(::chmod(QFile::encodeName(temp).constData(), 01777), 0);
    const QStringList expected = QStringList(m_folders.mid(1, 3)) << libraryFolder.path() << temp;
    for (const QString& folder : expected) {
        const KeptWork kept = keepUnsavedWork(m_work, folder == temp ? QString() : libraryFile);
        EXPECT_EQ(QFileInfo(kept.strategies).path(), folder);
        EXPECT_EQ(readStrategiesFile(kept.strategies)->Count(), 1);
        EXPECT_EQ(QFileInfo(kept.quotes).path(), folder);
        if (folder == m_home.path()) {
            ASSERT_TRUE(block(homeFile));
            qputenv("HOME", homeFile.toLocal8Bit());
        } else if (folder != libraryFolder.path() && folder != temp) {
            ASSERT_TRUE(block(folder));
        }
    }
    // There, for the user's eyes only.
    for (const QFileInfo& kept : QDir(temp).entryInfoList({QStringLiteral("Unsaved *")}, QDir::Files))
        EXPECT_FALSE(kept.permissions().testAnyFlags(QFileDevice::ReadGroup | QFileDevice::ReadOther));

    // No folder at all: each named with its cause, on stderr and in the log.
    QTemporaryDir logs;
    const QByteArray oldTemp = qgetenv("TMPDIR");
    const QString tempFile = m_home.filePath(QStringLiteral("no temporary folder"));
    ASSERT_TRUE(block(tempFile));
    qputenv("TMPDIR", tempFile.toLocal8Bit());
    const QString oldLog = errorHandler().ErrorLogFile();
    errorHandler().setErrorLogFile(logs.filePath(QStringLiteral("Error Log.txt")));
    testing::internal::CaptureStderr();
    const KeptWork none = keepUnsavedWork(m_work, QString());
    EXPECT_TRUE(none.strategies.isEmpty() && none.quotes.isEmpty());
    const QString said = QString::fromStdString(testing::internal::GetCapturedStderr());
    errorHandler().setErrorLogFile(oldLog);
    qputenv("TMPDIR", oldTemp);
    QFile log(logs.filePath(QStringLiteral("Error Log.txt")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    for (const QString& text : {said, QString::fromUtf8(log.readAll())}) {
        EXPECT_TRUE(text.contains(QStringLiteral("could not keep the changed strategies and the downloaded quotes")))
            << qPrintable(text);
        EXPECT_TRUE(text.contains(m_folders.at(1) + QStringLiteral(": the folder cannot be made"))) << qPrintable(text);
        EXPECT_TRUE(text.contains(homeFile + QStringLiteral(": the folder cannot be made"))) << qPrintable(text);
        EXPECT_TRUE(text.contains(tempFile + QStringLiteral(": the folder cannot be made"))) << qPrintable(text);
    }
}

TEST_F(Recovery, AStartNamesEachNewFileOnceWhereverItWasKept)
{
    const auto news = [this](const QStringList& named, const QString& seen) {
        return recoveryNews(named, seen, m_folders);
    };
    EXPECT_TRUE(news({}, {}).files.isEmpty() && news({}, {}).seen.isEmpty()); // nothing to keep
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
    EXPECT_EQ(news({}, {}).files, QStringList{fallback});
    EXPECT_EQ(news({beside, QString()}, {}).files, (QStringList{beside, fallback}));
    EXPECT_EQ(news({}, firstRecoverySeen()).files, (QStringList{beside, fallback}));
    const QString seen = news({}, {}).seen;
    EXPECT_EQ(seen, QStringLiteral("2026-05-01T11:00:00.250Z"));

    // With the time kept, only newer files, from any folder; another user's
    // in the shared temporary folder are not ours.
    EXPECT_TRUE(news({}, seen).files.isEmpty());
    EXPECT_EQ(news({}, seen).seen, seen);
    const QString later = m_folders.at(3) + "/Unsaved strategies 2026-05-01 10-00-01.stg";
    ASSERT_TRUE(touch(later, t0.addSecs(3600).addMSecs(1)));
    const QString foreign = m_folders.last() + "/Unsaved strategies 2026-05-01 13-00-00.stg";
    ASSERT_TRUE(touch(foreign, t0.addSecs(3600).addMSecs(3)));
    ASSERT_EQ(::chown(QFile::encodeName(foreign).constData(), 65534, 65534), 0);
    const RecoveryNews told = news({m_folders.at(0) + "/Unsaved strategies gone.stg"}, seen);
    EXPECT_EQ(told.files, QStringList{later});
    EXPECT_EQ(told.seen, QStringLiteral("2026-05-01T11:00:00.251Z"));
    EXPECT_TRUE(recoveryMessage(m_folders.last() + "/Unsaved quotes 2026-05-01 10-00-01 ZYX.opt")
                    .contains(QStringLiteral("File > Load options from file")));
}

// What an end cut short left: empty names go from every folder, and so do
// the partial copies of saves, but a copy holding the strategies of an
// earlier version's recovery file takes that file's name.
TEST_F(Recovery, AStartSweepsEmptyNamesAndLeftoversButKeepsTheOnlyCopyOfStrategies)
{
    const QByteArray whole = strategiesToBytes(*library());
    for (const QString& folder : m_folders) {
        ASSERT_TRUE(QDir().mkpath(folder));
        for (const char* name : {"Unsaved strategies 2026-05-01 10-00-00.stg", "Unsaved quotes 2026-05-01 10-00-00 ZYX.opt",
                                 ".tarnwell-save-AbC123"})
            ASSERT_TRUE(QFile(folder + u'/' + QLatin1String(name)).open(QIODevice::WriteOnly));
    }
    const QString state = m_folders.at(2);
    QFile copy(state + "/.tarnwell-save-AbC123");
    ASSERT_TRUE(copy.open(QIODevice::WriteOnly) && copy.write(whole) == whole.size());
    copy.close();

    sweepRecoveryFolders(m_folders);
    for (const QString& folder : m_folders) {
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden),
                  folder == state ? QStringList{"Unsaved strategies 2026-05-01 10-00-00.stg"} : QStringList{})
            << qPrintable(folder);
    }
    EXPECT_EQ(test::bytesOf(state + "/Unsaved strategies 2026-05-01 10-00-00.stg"), whole);
}
