#include "app/TwError.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <new>

namespace tw {

TwError::TwError(int32_t number, QString source, QString description)
    : m_number(number), m_source(std::move(source)), m_description(std::move(description))
{
    m_what = QStringLiteral("%1 (%2): %3").arg(m_number).arg(m_source, m_description).toStdString();
}

void raiseRunTime(int32_t number, const QString& description)
{
    throw TwError(number, QStringLiteral("Tarnwell"), description);
}

TwError currentError()
{
    try {
        throw;
    } catch (const TwError& e) {
        return e;
    } catch (const std::bad_alloc&) {
        return TwError(7, QStringLiteral("Tarnwell"), QStringLiteral("Out of memory"));
    } catch (const std::exception& e) {
        return TwError(RunTime::InvalidProcedureCall, QStringLiteral("Tarnwell"), QString::fromLocal8Bit(e.what()));
    } catch (...) {
        return TwError(RunTime::InvalidProcedureCall, QStringLiteral("Tarnwell"), QStringLiteral("Unknown error"));
    }
}

QString serviceSource(const QString& className)
{
    QString exe = QStringLiteral("tarnwell");
    if (QCoreApplication::instance() != nullptr) {
        const QString path = QCoreApplication::applicationFilePath();
        if (!path.isEmpty())
            exe = QFileInfo(path).completeBaseName();
    }
    return exe + QLatin1Char('.') + className;
}

} // namespace tw
