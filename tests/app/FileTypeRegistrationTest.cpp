#include "app/AssFile.h"
#include "app/CErrorHandler.h"
#include "app/Tools.h"
#include "support/ScriptedDialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

using namespace tw;
using namespace tw::filetypes;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The value of `key` in a desktop entry, as written.
QString entryValue(const QByteArray& entry, const QString& key)
{
    for (const QString& line : QString::fromUtf8(entry).split(u'\n')) {
        if (line.startsWith(key + u'='))
            return line.mid(key.size() + 1);
    }
    return QString();
}

// Sets an environment variable for one scope.
class EnvVar {
public:
    EnvVar(const char* name, const QByteArray& value) : m_name(name), m_had(qEnvironmentVariableIsSet(name))
    {
        m_old = qgetenv(name);
        qputenv(name, value);
    }
    ~EnvVar()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

// A folder of stand-in tools that do nothing, for PATH.
QString fakeTools(const QTemporaryDir& dir, const QStringList& names)
{
    const QString folder = dir.filePath(QStringLiteral("bin"));
    QDir().mkpath(folder);
    for (const QString& n : names) {
        QFile f(folder + u'/' + n);
        f.open(QIODevice::WriteOnly);
        f.write("#!/bin/sh\nexit 0\n");
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    return folder;
}

class FileTypes : public ::testing::Test {
protected:
    QString home() const { return dir.filePath(QStringLiteral("data")); }
    QString icons() const
    {
        // The icons shipped with the program lie next to the test program.
        return QCoreApplication::applicationDirPath();
    }
    QTemporaryDir dir;
    QString program = QStringLiteral("/opt/Tarnwell Suite/bin/tarnwell");
};

} // namespace

TEST(FileTypeQuoting, ExecArgumentAndStringEscapes)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/usr/bin/tarnwell", R"("/usr/bin/tarnwell")"},
        {"/opt/My Apps/tarnwell", R"("/opt/My Apps/tarnwell")"},
        {R"(/o/a"b)", R"("/o/a\"b")"},
        {"/o/$HOME`x`", R"("/o/\$HOME\`x\`")"},
        {R"(/o/back\slash)", R"("/o/back\\slash")"},
        {"/o/100%", R"("/o/100%%")"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(quoteExecArgument(QString::fromUtf8(in)), QString::fromUtf8(out)) << in;

    // The string escapes are applied on top of the quoting: a backslash in
    // the path is written four times.
    EXPECT_EQ(escapeDesktopString(quoteExecArgument(QStringLiteral(R"(/o/b\s)"))), QStringLiteral(R"("/o/b\\\\s")"));
    EXPECT_EQ(escapeDesktopString(QStringLiteral("a\nb\tc\rd")), QStringLiteral(R"(a\nb\tc\rd)"));
}

TEST(FileTypeQuoting, UserDataHome)
{
    {
        EnvVar xdg("XDG_DATA_HOME", "/somewhere/data/");
        EXPECT_EQ(userDataHome(), QStringLiteral("/somewhere/data"));
    }
    {
        // A relative folder is not to be trusted: the standard default folder applies.
        EnvVar xdg("XDG_DATA_HOME", "relative/data");
        EnvVar home("HOME", "/home/trader");
        EXPECT_EQ(userDataHome(), QStringLiteral("/home/trader/.local/share"));
    }
    {
        EnvVar xdg("XDG_DATA_HOME", "");
        EnvVar home("HOME", "");
        EXPECT_EQ(userDataHome(), QString());
    }
}

TEST_F(FileTypes, WritesMimePackageEntriesAndIcons)
{
    const Registration r = writeRegistration(home(), program, icons());
    EXPECT_TRUE(r.failures.isEmpty()) << r.failures.join(u'\n').toStdString();
    EXPECT_TRUE(r.mimeChanged);
    EXPECT_TRUE(r.desktopChanged);

    // The MIME package: well-formed, both types with their globs.
    QXmlStreamReader xml(readAll(home() + QStringLiteral("/mime/packages/tarnwell.xml")));
    QStringList types, globs, comments;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("mime-type"))
            types.append(xml.attributes().value(QLatin1String("type")).toString());
        else if (xml.name() == QLatin1String("glob"))
            globs.append(xml.attributes().value(QLatin1String("pattern")).toString());
        else if (xml.name() == QLatin1String("comment"))
            comments.append(xml.readElementText());
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(types, QStringList({QLatin1String(DataMimeType), QLatin1String(StrategiesMimeType)}));
    EXPECT_EQ(globs, QStringList({QStringLiteral("*.opt"), QStringLiteral("*.stg")}));
    EXPECT_EQ(comments, QStringList({QStringLiteral("Tarnwell Data"), QStringLiteral("Tarnwell Strategies")}));

    const QByteArray data = readAll(home() + QStringLiteral("/applications/tarnwell-data.desktop"));
    const QByteArray stg = readAll(home() + QStringLiteral("/applications/tarnwell-strategies.desktop"));
    ASSERT_TRUE(data.startsWith("[Desktop Entry]\n"));
    EXPECT_EQ(entryValue(data, QStringLiteral("Exec")), QStringLiteral("\"/opt/Tarnwell Suite/bin/tarnwell\" -O %f"));
    EXPECT_EQ(entryValue(stg, QStringLiteral("Exec")), QStringLiteral("\"/opt/Tarnwell Suite/bin/tarnwell\" -S %f"));
    EXPECT_EQ(entryValue(data, QStringLiteral("MimeType")), QLatin1String(DataMimeType) + u';');
    EXPECT_EQ(entryValue(stg, QStringLiteral("MimeType")), QLatin1String(StrategiesMimeType) + u';');
    EXPECT_EQ(entryValue(data, QStringLiteral("TryExec")), program);
    EXPECT_EQ(entryValue(data, QStringLiteral("Icon")), QStringLiteral("tarnwell"));

    // The icons shipped with the program are installed into the user's theme.
    EXPECT_TRUE(r.iconsChanged);
    EXPECT_EQ(readAll(home() + QStringLiteral("/icons/hicolor/scalable/apps/tarnwell.svg")),
              readAll(icons() + QStringLiteral("/tarnwell.svg")));
    EXPECT_TRUE(QFileInfo::exists(home() + QStringLiteral("/icons/hicolor/48x48/apps/tarnwell.png")));
}

TEST_F(FileTypes, RewritesOnlyWhatChanged)
{
    writeRegistration(home(), program, icons());
    const QString mime = home() + QStringLiteral("/mime/packages/tarnwell.xml");
    const QDateTime mimeTime = QFileInfo(mime).lastModified();

    const Registration same = writeRegistration(home(), program, icons());
    EXPECT_FALSE(same.mimeChanged);
    EXPECT_FALSE(same.desktopChanged);
    EXPECT_FALSE(same.iconsChanged);
    EXPECT_TRUE(same.written.isEmpty());

    // A start from another folder rewrites the two entries, nothing else.
    const Registration moved = writeRegistration(home(), QStringLiteral("/usr/local/bin/tarnwell"), icons());
    EXPECT_FALSE(moved.mimeChanged);
    EXPECT_TRUE(moved.desktopChanged);
    EXPECT_EQ(moved.written.size(), 2);
    EXPECT_EQ(QFileInfo(mime).lastModified(), mimeTime);
    EXPECT_EQ(entryValue(readAll(home() + QStringLiteral("/applications/tarnwell-data.desktop")),
                         QStringLiteral("Exec")),
              QStringLiteral("\"/usr/local/bin/tarnwell\" -O %f"));

    // A damaged file is put right.
    QFile damaged(mime);
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
    damaged.write("<mime-info");
    damaged.close();
    EXPECT_TRUE(writeRegistration(home(), program, icons()).mimeChanged);
    EXPECT_EQ(readAll(mime), mimePackageXml());
}

TEST_F(FileTypes, FailuresAreReportedNotThrown)
{
    // A plain file where the applications folder belongs.
    QDir().mkpath(home());
    QFile blocker(home() + QStringLiteral("/applications"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const Registration r = writeRegistration(home(), program, dir.filePath(QStringLiteral("no-icons")));
    EXPECT_TRUE(r.mimeChanged);
    EXPECT_FALSE(r.desktopChanged);
    EXPECT_FALSE(r.iconsChanged); // no icons shipped: nothing to install
    EXPECT_EQ(r.failures.size(), 2);

    // No data folder or no program path: nothing is written anywhere.
    EXPECT_FALSE(writeRegistration(QString(), program, icons()).failures.isEmpty());
    EXPECT_FALSE(writeRegistration(QStringLiteral("relative"), program, icons()).failures.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("relative")));
    const Registration noProgram = writeRegistration(dir.filePath(QStringLiteral("other")), QString(), icons());
    EXPECT_FALSE(noProgram.failures.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("other/applications"))));
}

TEST_F(FileTypes, RefreshRunsOnlyInstalledToolsWhenNeeded)
{
    QList<QStringList> calls;
    const ToolStarter record = [&](const QString& program, const QStringList& args) {
        calls.append(QStringList{program} + args);
        return true;
    };
    const Registration r = writeRegistration(home(), program, icons());

    {
        EnvVar path("PATH", dir.filePath(QStringLiteral("empty")).toLocal8Bit());
        EXPECT_TRUE(refreshDatabases(home(), r, record).isEmpty());
        EXPECT_TRUE(calls.isEmpty());
    }

    const QString bin = fakeTools(dir, {QStringLiteral("update-mime-database"), QStringLiteral("update-desktop-database"),
                                        QStringLiteral("gtk-update-icon-cache")});
    EnvVar path("PATH", bin.toLocal8Bit());
    const auto started = refreshDatabases(home(), r, record);
    ASSERT_EQ(started.size(), 2); // no icon cache in the user's theme: none made
    EXPECT_EQ(started[0], QStringList({bin + QStringLiteral("/update-mime-database"), home() + QStringLiteral("/mime")}));
    EXPECT_EQ(started[1],
              QStringList({bin + QStringLiteral("/update-desktop-database"), home() + QStringLiteral("/applications")}));

    // Nothing changed, but the databases never learnt our types: refresh.
    calls.clear();
    const Registration unchanged = writeRegistration(home(), program, icons());
    EXPECT_EQ(refreshDatabases(home(), unchanged, record).size(), 2);

    // Nothing changed and both databases know us: nothing runs.
    QDir().mkpath(home() + QStringLiteral("/mime/application"));
    for (const char* t : {"x-tarnwell-data.xml", "x-tarnwell-strategies.xml"}) {
        QFile f(home() + QStringLiteral("/mime/application/") + QLatin1String(t));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QFile cache(home() + QStringLiteral("/applications/mimeinfo.cache"));
    ASSERT_TRUE(cache.open(QIODevice::WriteOnly));
    cache.write("[MIME Cache]\napplication/x-tarnwell-data=tarnwell-data.desktop;\n"
                "application/x-tarnwell-strategies=tarnwell-strategies.desktop;\n");
    cache.close();
    EXPECT_TRUE(refreshDatabases(home(), unchanged, record).isEmpty());

    // A changed icon renews an existing icon cache.
    QFile iconCache(home() + QStringLiteral("/icons/hicolor/icon-theme.cache"));
    ASSERT_TRUE(iconCache.open(QIODevice::WriteOnly));
    iconCache.close();
    Registration iconOnly;
    iconOnly.iconsChanged = true;
    const auto iconRun = refreshDatabases(home(), iconOnly, record);
    ASSERT_EQ(iconRun.size(), 1);
    EXPECT_EQ(iconRun[0].first(), bin + QStringLiteral("/gtk-update-icon-cache"));
}

TEST_F(FileTypes, TheDesktopRecognisesOurTypes)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("update-mime-database"));
    if (tool.isEmpty())
        GTEST_SKIP() << "update-mime-database is not installed";
    const Registration r = writeRegistration(home(), program, icons());
    const ToolStarter runAndWait = [](const QString& p, const QStringList& args) {
        return QProcess::execute(p, args) == 0;
    };
    EnvVar xdg("XDG_DATA_HOME", home().toLocal8Bit());
    ASSERT_FALSE(refreshDatabases(home(), r, runAndWait).isEmpty());
    EXPECT_TRUE(QFileInfo::exists(home() + QStringLiteral("/mime/application/x-tarnwell-strategies.xml")));

    // The globs the desktop reads, matched without regard to letter case.
    const QByteArray globs = readAll(home() + QStringLiteral("/mime/globs2"));
    EXPECT_TRUE(globs.contains("application/x-tarnwell-strategies:*.stg"));
    EXPECT_TRUE(globs.contains("application/x-tarnwell-data:*.opt"));
    EXPECT_FALSE(globs.contains(":cs"));
}

TEST(FileTypeRegistration, AssociateFileRegistersForTheRunningProgram)
{
    test::ScriptedDialogs dialogs;
    QTemporaryDir dir;
    EnvVar xdg("XDG_DATA_HOME", dir.path().toLocal8Bit());
    EnvVar path("PATH", dir.filePath(QStringLiteral("no-tools")).toLocal8Bit());
    AssociateFile();
    const QByteArray entry = readAll(dir.filePath(QStringLiteral("applications/tarnwell-strategies.desktop")));
    EXPECT_EQ(entryValue(entry, QStringLiteral("Exec")),
              quoteExecArgument(QCoreApplication::applicationFilePath()) + QStringLiteral(" -S %f"));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(QStringLiteral("icons/hicolor/scalable/apps/tarnwell.svg"))));
    EXPECT_EQ(errorHandler().callStackDepth(), 0);
    EXPECT_TRUE(dialogs.errorReports.isEmpty());
}
