#include "app/SystemInfo.h"

#include "app/AppInfo.h"
#include "app/CErrorHandler.h"
#include "app/HelpFile.h"
#include "app/Tools.h"
#include "platform/RegistryStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLocale>
#include <QScreen>
#include <QStringList>
#include <QSysInfo>
#include <QtGlobal>

namespace tw {

namespace {
QString native(const QString& path)
{
    return QDir::toNativeSeparators(QDir::cleanPath(path));
}
QString rect(const QRect& r)
{
    return QStringLiteral("%1 x %2 at %3, %4").arg(r.width()).arg(r.height()).arg(r.x()).arg(r.y());
}
} // namespace

QString systemInformationText()
{
    QStringList lines;
    lines << productName();
    lines << QStringLiteral("  Version: %1").arg(programVersion());
    lines << QStringLiteral("  Program: %1").arg(native(QCoreApplication::applicationFilePath()));
    lines << QString();
    lines << QStringLiteral("Qt");
    lines << QStringLiteral("  Running on Qt %1, built with Qt %2").arg(QString::fromLatin1(qVersion()),
                                                                      QStringLiteral(QT_VERSION_STR));
    lines << QStringLiteral("  Window system: %1").arg(QGuiApplication::platformName());
    lines << QString();
    lines << QStringLiteral("System");
    lines << QStringLiteral("  %1").arg(QSysInfo::prettyProductName());
    lines << QStringLiteral("  Kernel: %1 %2, %3")
                 .arg(QSysInfo::kernelType(), QSysInfo::kernelVersion(), QSysInfo::currentCpuArchitecture());
    const QLocale locale;
    lines << QStringLiteral("  Language and numbers: %1 (decimal separator \"%2\")")
                 .arg(locale.name(), locale.decimalPoint());
    lines << QString();
    lines << QStringLiteral("Screens");
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.isEmpty())
        lines << QStringLiteral("  none");
    for (qsizetype i = 0; i < screens.size(); ++i) {
        const QScreen* s = screens.at(i);
        lines << QStringLiteral("  %1. %2%3: %4; work area %5; %6 dots per inch, scale %7")
                     .arg(i + 1)
                     .arg(s->name().isEmpty() ? QStringLiteral("screen") : s->name(),
                          s == QGuiApplication::primaryScreen() ? QStringLiteral(" (primary)") : QString(),
                          rect(s->geometry()), rect(s->availableGeometry()))
                     .arg(qRound(s->logicalDotsPerInch()))
                     .arg(s->devicePixelRatio());
    }
    lines << QString();
    lines << QStringLiteral("Files and folders");
    lines << QStringLiteral("  Settings: %1").arg(native(platform::RegistryStore::folder()));
    const CErrorHandler* handler = gErrorHandler.get();
    const QDir logs(logFolder());
    const QString trace =
        handler != nullptr ? handler->TracingLogFile() : logs.filePath(QLatin1String(TraceFileName));
    const bool tracing = handler != nullptr && handler->TracingEnabled();
    lines << QStringLiteral("  Trace file: %1 (tracing is %2)")
                 .arg(native(trace), tracing ? QStringLiteral("on") : QStringLiteral("off"));
    const QString log = handler != nullptr ? handler->ErrorLogFile() : logs.filePath(QLatin1String(ErrorLogFileName));
    lines << QStringLiteral("  Error log: %1").arg(native(logs.absoluteFilePath(log)));
    lines << QStringLiteral("  Help pages: %1").arg(native(helpFolder()));
    lines << QStringLiteral("  Shipped strategies and sample chain: %1").arg(native(programFolder()));
    return lines.join(QLatin1Char('\n'));
}

} // namespace tw
