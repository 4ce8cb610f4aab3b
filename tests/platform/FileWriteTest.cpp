// Files written whole or not at all (the callers' own tests cut writes short).
#include "platform/FileWrite.h"
#include "support/FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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

} // namespace
