#include "app/AssFile.h"

#include "app/CErrorHandler.h"
#include "app/Procedure.h"
#include "app/Tools.h"
#include "platform/FileWrite.h"
#include "platform/UserFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QProcess>
#include <QStandardPaths>

namespace tw {

namespace filetypes {

namespace {

const QString DataDesktopFile = QStringLiteral("tarnwell-data.desktop");
const QString StrategiesDesktopFile = QStringLiteral("tarnwell-strategies.desktop");

// Writes `content` to `path` unless the file already holds exactly that.
// Returns true when the file was written; a failure goes to `failures`.
bool writeIfChanged(const QString& path, const QByteArray& content, Registration& r)
{
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly)) {
        if (existing.size() == content.size() && existing.readAll() == content)
            return false;
        existing.close();
    }
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        r.failures.append(QStringLiteral("%1: cannot create the folder").arg(path));
        return false;
    }
    QString why;
    if (!platform::replaceFile(path, content, &why)) {
        r.failures.append(QStringLiteral("%1: %2").arg(path, why));
        return false;
    }
    r.written.append(path);
    return true;
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QString xmlEscape(const QString& text)
{
    return text.toHtmlEscaped();
}

} // namespace

QString userDataHome()
{
    // Without a data folder or a home folder of its own, nothing is written.
    if (!QDir::isAbsolutePath(qEnvironmentVariable("XDG_DATA_HOME"))
        && !QDir::isAbsolutePath(qEnvironmentVariable("HOME")))
        return QString();
    return platform::userDataHome();
}

QString quoteExecArgument(const QString& argument)
{
    QString quoted;
    quoted.reserve(argument.size() + 8);
    quoted.append(u'"');
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted.append(u'\\');
        else if (c == u'%')
            quoted.append(u'%'); // a literal percent sign is written twice
        quoted.append(c);
    }
    quoted.append(u'"');
    return quoted;
}

QString escapeDesktopString(const QString& value)
{
    QString out;
    out.reserve(value.size() + 8);
    for (const QChar c : value) {
        if (c == u'\\')
            out.append(QLatin1String("\\\\"));
        else if (c == u'\n')
            out.append(QLatin1String("\\n"));
        else if (c == u'\t')
            out.append(QLatin1String("\\t"));
        else if (c == u'\r')
            out.append(QLatin1String("\\r"));
        else
            out.append(c);
    }
    return out;
}

QByteArray mimePackageXml()
{
    struct Type {
        const char* mime;
        const char* comment;
        const char* glob;
    };
    const Type types[] = {
        {DataMimeType, "Tarnwell Data", "*.opt"},
        {StrategiesMimeType, "Tarnwell Strategies", "*.stg"},
    };
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n");
    for (const Type& t : types) {
        xml += QStringLiteral("  <mime-type type=\"%1\">\n"
                              "    <comment>%2</comment>\n"
                              "    <icon name=\"%3\"/>\n"
                              "    <glob pattern=\"%4\"/>\n"
                              "  </mime-type>\n")
                   .arg(QLatin1String(t.mime), xmlEscape(QLatin1String(t.comment)), QLatin1String(IconName),
                        QLatin1String(t.glob));
    }
    xml += QStringLiteral("</mime-info>\n");
    return xml.toUtf8();
}

QByteArray desktopEntry(const QString& programPath, const QString& switchArgument, const QString& typeName,
                        const QString& mimeType)
{
    const QString exec = escapeDesktopString(quoteExecArgument(programPath)) + u' ' + switchArgument +
                         QStringLiteral(" %f");
    QString entry = QStringLiteral("[Desktop Entry]\n"
                                   "Type=Application\n"
                                   "Version=1.0\n"
                                   "Name=Tarnwell\n"
                                   "Comment=%1\n"
                                   "Icon=%2\n"
                                   "TryExec=%3\n"
                                   "Exec=%4\n"
                                   "MimeType=%5;\n"
                                   "Terminal=false\n"
                                   "NoDisplay=true\n")
                        .arg(escapeDesktopString(typeName), QLatin1String(IconName),
                             escapeDesktopString(programPath), exec, mimeType);
    return entry.toUtf8();
}

Registration writeRegistration(const QString& dataHome, const QString& programPath, const QString& iconFolder)
{
    Registration r;
    if (dataHome.isEmpty() || !QDir::isAbsolutePath(dataHome)) {
        r.failures.append(QStringLiteral("no user data folder"));
        return r;
    }
    const QString home = QDir::cleanPath(dataHome);

    r.mimeChanged = writeIfChanged(home + QStringLiteral("/mime/packages/tarnwell.xml"), mimePackageXml(), r);

    // Without the program's own path no entry could start it.
    if (programPath.isEmpty() || !QDir::isAbsolutePath(programPath)) {
        r.failures.append(QStringLiteral("the program's path is unknown"));
        return r;
    }
    const QString apps = home + QStringLiteral("/applications/");
    const bool dataEntry = writeIfChanged(
        apps + DataDesktopFile,
        desktopEntry(programPath, QStringLiteral("-O"), QStringLiteral("Tarnwell Data"),
                     QLatin1String(DataMimeType)),
        r);
    const bool strategiesEntry = writeIfChanged(
        apps + StrategiesDesktopFile,
        desktopEntry(programPath, QStringLiteral("-S"), QStringLiteral("Tarnwell Strategies"),
                     QLatin1String(StrategiesMimeType)),
        r);
    r.desktopChanged = dataEntry || strategiesEntry;

    // The icon ships beside the program; a missing one is simply not installed.
    const QString svg = QDir(iconFolder).filePath(QStringLiteral("tarnwell.svg"));
    if (QFileInfo::exists(svg)) {
        r.iconsChanged |= writeIfChanged(home + QStringLiteral("/icons/hicolor/scalable/apps/tarnwell.svg"),
                                         readFile(svg), r);
    }
    const QString png = QDir(iconFolder).filePath(QStringLiteral("tarnwell.png"));
    const QSize size = QImageReader(png).size();
    if (QFileInfo::exists(png) && size.isValid()) {
        r.iconsChanged |= writeIfChanged(home + QStringLiteral("/icons/hicolor/%1x%2/apps/tarnwell.png")
                                                    .arg(size.width())
                                                    .arg(size.height()),
                                         readFile(png), r);
    }
    return r;
}

bool startDetached(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    return process.startDetached();
}

QList<QStringList> refreshDatabases(const QString& dataHome, const Registration& registration,
                                    const ToolStarter& start)
{
    QList<QStringList> started;
    if (dataHome.isEmpty() || !QDir::isAbsolutePath(dataHome))
        return started;
    const QString home = QDir::cleanPath(dataHome);
    auto run = [&](const QString& tool, const QStringList& args) {
        const QString program = QStandardPaths::findExecutable(tool);
        if (program.isEmpty())
            return;
        if (start(program, args))
            started.append(QStringList{program} + args);
    };

    // The MIME database: rebuilt when our package changed, or when the
    // database does not know our types yet (its tool was missing before).
    const QString mimeFolder = home + QStringLiteral("/mime");
    const bool mimeKnown = QFileInfo::exists(mimeFolder + u'/' + QLatin1String(DataMimeType) + QStringLiteral(".xml")) &&
                           QFileInfo::exists(mimeFolder + u'/' + QLatin1String(StrategiesMimeType) +
                                             QStringLiteral(".xml"));
    if (QFileInfo::exists(mimeFolder + QStringLiteral("/packages/tarnwell.xml")) &&
        (registration.mimeChanged || !mimeKnown))
        run(QStringLiteral("update-mime-database"), {mimeFolder});

    // The cache of which desktop entry opens which type.
    const QString appsFolder = home + QStringLiteral("/applications");
    const QByteArray cache = readFile(appsFolder + QStringLiteral("/mimeinfo.cache"));
    const bool entriesKnown = cache.contains(DataDesktopFile.toUtf8()) && cache.contains(StrategiesDesktopFile.toUtf8());
    if (QFileInfo::exists(appsFolder + u'/' + DataDesktopFile) && (registration.desktopChanged || !entriesKnown))
        run(QStringLiteral("update-desktop-database"), {appsFolder});

    // Only a theme folder that already has a cache needs it renewed; without
    // one the icons are found by looking at the folders.
    const QString hicolor = home + QStringLiteral("/icons/hicolor");
    if (registration.iconsChanged && QFileInfo::exists(hicolor + QStringLiteral("/icon-theme.cache")))
        run(QStringLiteral("gtk-update-icon-cache"), {QStringLiteral("-f"), QStringLiteral("-t"), hicolor});
    return started;
}

} // namespace filetypes

void AssociateFile()
{
    Procedure proc("AssFile", "AssociateFile");
    filetypes::Registration registration;
    QString dataHome;
    TW_STEP(proc, dataHome = filetypes::userDataHome());
    if (dataHome.isEmpty())
        return;
    TW_STEP(proc, registration = filetypes::writeRegistration(dataHome, QCoreApplication::applicationFilePath(),
                                                              programFolder()));
    TW_STEP(proc, for (const QString& failure : std::as_const(registration.failures)) errorHandler().WriteTrace(
                      QStringLiteral("File-type registration: %1").arg(failure)));
    TW_STEP(proc, filetypes::refreshDatabases(dataHome, registration));
}

} // namespace tw
