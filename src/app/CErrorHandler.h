#pragma once
// The program-wide error handler: a call stack of the running procedures, an
// optional trace log, and the error report that goes to the error dialog
// (or a message box, an error log file, the system log).

#include "app/TwError.h"

#include <QString>
#include <QStringList>
#include <cstdint>

namespace tw {

class CErrorHandler {
public:
    // Bits of ErrorHandlerActions.
    enum Action : int32_t { ActionMessageBox = 1, ActionLogFile = 2, ActionEventLog = 4, ActionErrorDialog = 8 };
    // Bits of TracingFlags.
    enum Tracing : int32_t { TraceDebugger = 1, TraceFile = 2 };
    // Results of HandleError.
    enum Answer : int32_t { Abort = 0, Retry = 1, Ignore = 2 };

    static constexpr int32_t ErrInvalidFileName = static_cast<int32_t>(0x800443F9u);
    static constexpr int32_t ErrInvalidActions = static_cast<int32_t>(0x800443FAu);
    static constexpr int32_t ErrInvalidTracingFlags = static_cast<int32_t>(0x800443FBu);
    static constexpr int32_t ErrComponentFailure = static_cast<int32_t>(0x800443FCu);

    CErrorHandler();

    const QString& SupportMail() const { return m_supportMail; }
    void setSupportMail(const QString& v) { m_supportMail = v; }

    void Init(int32_t errorHandlerActions, const QString& errorLogFile, bool callStackEnabled, bool tracingEnabled,
              int32_t tracingFlags, const QString& tracingLogFile);

    bool CallStackEnabled() const { return m_callStackEnabled; }
    void setCallStackEnabled(bool v) { m_callStackEnabled = v; }
    const QString& ErrorDescription() const { return m_errorDescription; }
    void setErrorDescription(const QString& v) { m_errorDescription = v; }
    int32_t ErrorHandlerActions() const { return m_errorHandlerActions; }
    void setErrorHandlerActions(int32_t v);
    int32_t ErrorLine() const { return m_errorLine; }
    void setErrorLine(int32_t v) { m_errorLine = v; }
    const QString& ErrorLogFile() const { return m_errorLogFile; }
    void setErrorLogFile(const QString& v);
    int32_t ErrorNumber() const { return m_errorNumber; }
    void setErrorNumber(int32_t v) { m_errorNumber = v; }
    const QString& Tag() const { return m_tag; }
    void setTag(const QString& v) { m_tag = v; }
    bool TracingEnabled() const { return m_tracingEnabled; }
    void setTracingEnabled(bool v) { m_tracingEnabled = v; }
    int32_t TracingFlags() const { return m_tracingFlags; }
    void setTracingFlags(int32_t v);
    const QString& TracingLogFile() const { return m_tracingLogFile; }
    void setTracingLogFile(const QString& v);

    void CallStackClear();
    void CallStackPop();
    void CallStackPush(const QString& procedure, const QString& data = QString());
    void WriteTrace(const QString& message);
    void Clear(bool clearLogFile, bool clearTracingLogFile);

    // Turns the error into a report, sends it to the outlets of
    // ErrorHandlerActions and returns the user's answer (Abort, Retry, Ignore).
    // Never throws: a failure of an outlet is written to standard error.
    int32_t HandleError(const QString& procedure, const TwError& error) noexcept;
    // The same for the exception being handled; call it only inside a catch.
    int32_t HandleError(const QString& procedure = QString()) noexcept;

    // The report HandleError composes (exposed for the tests and the dialog).
    QString ComposeReport(const QString& procedure) const;
    QString CallStackToString(int indent, bool withParams) const;
    int callStackDepth() const { return static_cast<int>(m_callStackRoutines.size()); }
    QString topOfCallStack() const;

    // The date and time text that starts trace lines and reports.
    static QString timeStamp();
    // Appends `entry` and a line end to the error log; where the log cannot be
    // written, says so on the standard error stream. Never throws.
    void appendToErrorLog(const QString& entry) const noexcept;

private:
    void writeTraceLine(const QString& kind, const QString& text);
    int32_t showErrorForm(const QString& report);

    QString m_supportMail;
    bool m_callStackEnabled = false;
    bool m_tracingEnabled = false;
    int32_t m_errorHandlerActions = ActionMessageBox;
    int32_t m_tracingFlags = 0;
    int32_t m_errorNumber = 0;
    int32_t m_errorLine = 0;
    QString m_errorLogFile = QStringLiteral("Error Log.txt");
    QString m_tracingLogFile = QStringLiteral("Tracing Log.txt");
    QString m_tag;
    QString m_errorDescription;
    bool m_isNT = true; // the system log exists on every platform we run on
    QStringList m_callStackRoutines;
    QStringList m_callStackParams;
};

} // namespace tw
