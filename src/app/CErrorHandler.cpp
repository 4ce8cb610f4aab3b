#include "app/CErrorHandler.h"

#include "app/Dialogs.h"
#include "platform/FileWrite.h"

#include <QDate>
#include <QFile>
#include <QLocale>
#include <QTime>
#include <cstdio>
#include <syslog.h>

namespace tw {

namespace {
QString source() { return serviceSource(QStringLiteral("CErrorHandler")); }

[[noreturn]] void raise(int32_t number, const char* text)
{
    throw TwError(number, source(), QString::fromLatin1(text));
}

const QLatin1String kCrLf("\r\n");
} // namespace

CErrorHandler::CErrorHandler() = default;

void CErrorHandler::Init(int32_t errorHandlerActions, const QString& errorLogFile, bool callStackEnabled,
                         bool tracingEnabled, int32_t tracingFlags, const QString& tracingLogFile)
{
    setErrorHandlerActions(errorHandlerActions);
    setErrorLogFile(errorLogFile);
    m_callStackEnabled = callStackEnabled;
    m_tracingEnabled = tracingEnabled;
    setTracingFlags(tracingFlags);
    setTracingLogFile(tracingLogFile);
}

void CErrorHandler::setErrorHandlerActions(int32_t v)
{
    if (v < 1 || v > 15)
        raise(ErrInvalidActions, "Invalid error handler actions");
    m_errorHandlerActions = v;
}

void CErrorHandler::setErrorLogFile(const QString& v)
{
    if (v.isEmpty())
        raise(ErrInvalidFileName, "Invalid file name");
    m_errorLogFile = v;
}

void CErrorHandler::setTracingFlags(int32_t v)
{
    if (v < 1 || v > 3)
        raise(ErrInvalidTracingFlags, "Invalid tracing flags");
    m_tracingFlags = v;
}

void CErrorHandler::setTracingLogFile(const QString& v)
{
    if (v.isEmpty())
        raise(ErrInvalidFileName, "Invalid file name");
    m_tracingLogFile = v;
}

QString CErrorHandler::timeStamp()
{
    return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat) + QStringLiteral(" - ")
        + QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
}

void CErrorHandler::writeTraceLine(const QString& kind, const QString& text)
{
    if (!m_tracingEnabled || (m_tracingFlags & TraceFile) == 0)
        return;
    // Each line is appended whole or not at all, so a trace that stops on a
    // full disk still ends in a whole line, and the next run's lines follow
    // it cleanly.
    const QString line = timeStamp() + QStringLiteral(" --- ") + kind + text + kCrLf;
    QString why;
    if (!platform::appendWhole(m_tracingLogFile, line.toUtf8(), &why)) {
        // A trace file that cannot be written must not break every procedure
        // of the program: tracing goes off, and the user is told once.
        m_tracingEnabled = false;
        dialogs().messageBox(QStringLiteral("The trace file \"%1\" cannot be written: %2.\r\nTracing has been switched off.")
                                 .arg(m_tracingLogFile, why),
                             Msg::OkOnly | Msg::Exclamation, appTitle());
    }
}

void CErrorHandler::CallStackPush(const QString& procedure, const QString& data)
{
    m_callStackRoutines.append(procedure);
    m_callStackParams.append(data);
    writeTraceLine(QStringLiteral("Entered routine: "), procedure);
}

void CErrorHandler::CallStackPop()
{
    if (m_callStackRoutines.isEmpty())
        return;
    writeTraceLine(QStringLiteral("Exited routine: "), m_callStackRoutines.last());
    m_callStackRoutines.removeLast();
    m_callStackParams.removeLast();
}

void CErrorHandler::CallStackClear()
{
    if (!m_callStackEnabled)
        return;
    m_callStackRoutines.clear();
    m_callStackParams.clear();
}

void CErrorHandler::WriteTrace(const QString& message)
{
    writeTraceLine(QStringLiteral("Message: "), message);
}

void CErrorHandler::Clear(bool clearLogFile, bool clearTracingLogFile)
{
    if (clearLogFile && !m_errorLogFile.isEmpty())
        QFile::remove(m_errorLogFile);
    if (clearTracingLogFile && !m_tracingLogFile.isEmpty())
        QFile::remove(m_tracingLogFile);
}

QString CErrorHandler::topOfCallStack() const
{
    return m_callStackRoutines.isEmpty() ? QString() : m_callStackRoutines.last();
}

QString CErrorHandler::CallStackToString(int indent, bool withParams) const
{
    QStringList lines;
    const QString pad(indent, QLatin1Char(' '));
    for (qsizetype i = m_callStackRoutines.size() - 1; i >= 0; --i) {
        QString line = pad + m_callStackRoutines.at(i);
        if (withParams)
            line += QLatin1Char('(') + m_callStackParams.at(i) + QLatin1Char(')');
        lines.append(line);
    }
    return lines.join(kCrLf);
}

QString CErrorHandler::ComposeReport(const QString& procedure) const
{
    QString routine = procedure;
    if (routine.isEmpty())
        routine = (m_callStackEnabled && !m_callStackRoutines.isEmpty()) ? m_callStackRoutines.last()
                                                                       : QStringLiteral("Unknown");
    QString report = timeStamp() + kCrLf;
    report += QStringLiteral("\tError: %1, (%2)").arg(m_errorNumber).arg(m_errorDescription) + kCrLf;
    report += QStringLiteral("\tin %1 at line %2").arg(routine).arg(m_errorLine) + kCrLf;
    report += kCrLf;
    report += QStringLiteral("The call stack is:");
    const QString stack = CallStackToString(20, true);
    if (!stack.isEmpty())
        report += kCrLf + stack;
    return report;
}

void CErrorHandler::appendToErrorLog(const QString& entry) const noexcept
{
    try {
        QString why;
        if (!platform::appendWhole(m_errorLogFile, (entry + kCrLf).toUtf8(), &why))
            std::fprintf(stderr, "The error log %s cannot be written: %s.\n", qPrintable(m_errorLogFile),
                         qPrintable(why));
    } catch (...) {
        std::fprintf(stderr, "The error log cannot be written.\n");
    }
}

int32_t CErrorHandler::showErrorForm(const QString& report)
{
    const QString tag = dialogs().errorForm(report, m_supportMail);
    if (tag == QLatin1String("ABORT"))
        return Abort;
    if (tag == QLatin1String("RETRY"))
        return Retry;
    return Ignore;
}

int32_t CErrorHandler::HandleError(const QString& procedure, const TwError& error) noexcept
{
    QString report;
    int32_t result = Abort;
    try {
        m_errorDescription = error.description();
        m_errorNumber = error.number();
        m_errorLine = 0;
        report = ComposeReport(procedure);

        if (m_errorHandlerActions & ActionLogFile)
            appendToErrorLog(report);
        if ((m_errorHandlerActions & ActionEventLog) && m_isNT) {
            openlog("Tarnwell", LOG_PID, LOG_USER);
            syslog(LOG_ERR, "%s", report.toUtf8().constData());
            closelog();
        }
        if (m_errorHandlerActions & ActionMessageBox) {
            const int answer = dialogs().messageBox(report, Msg::AbortRetryIgnore | Msg::Critical, appTitle());
            result = answer == Msg::Abort ? Abort : (answer == Msg::Retry ? Retry : Ignore);
        }
        if (m_errorHandlerActions & ActionErrorDialog)
            result = showErrorForm(report);
    } catch (...) {
        // Nothing may escape the error handler: what it could not show goes
        // to the standard error stream, and the failing procedure is aborted.
        std::fprintf(stderr, "Error handler failure while reporting:\n%s\n%s\n", qPrintable(report),
                     qPrintable(error.description()));
        result = Abort;
    }
    return result;
}

int32_t CErrorHandler::HandleError(const QString& procedure) noexcept
{
    TwError error(0, QString(), QString());
    try {
        error = currentError();
    } catch (...) {
        error = TwError(RunTime::InvalidProcedureCall, QStringLiteral("Tarnwell"), QStringLiteral("Unknown error"));
    }
    return HandleError(procedure, error);
}

} // namespace tw
