#include "app/CErrorHandler.h"
#include "app/Procedure.h"
#include "app/SupportMail.h"
#include "app/Tools.h"
#include "support/FileSizeLimit.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include "support/ErrorOf.h"

#include <gtest/gtest.h>

using namespace tw;
using tw::test::errorNumberOf;

namespace {

QStringList fileLines(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}


// A fresh program-wide handler as Main sets it up, tracing into `dir`.
class ErrorHandlerFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        gErrorHandler = std::make_unique<CErrorHandler>();
        gErrorHandler->Init(CErrorHandler::ActionErrorDialog, dir.filePath(QStringLiteral("Error Log.txt")), true,
                            false, CErrorHandler::TraceFile, dir.filePath(QStringLiteral("Tarnwell.trace.txt")));
    }
    void TearDown() override { gErrorHandler.reset(); }

    QString tracePath() const { return dir.filePath(QStringLiteral("Tarnwell.trace.txt")); }

    QTemporaryDir dir;
    test::ScriptedDialogs dialogs;
};

} // namespace

TEST_F(ErrorHandlerFixture, InitValidatesInOrder)
{
    CErrorHandler h;
    EXPECT_EQ(errorNumberOf([&] { h.Init(0, QStringLiteral("e"), true, false, 2, QStringLiteral("t")); }),
              CErrorHandler::ErrInvalidActions);
    EXPECT_EQ(errorNumberOf([&] { h.Init(16, QStringLiteral("e"), true, false, 2, QStringLiteral("t")); }),
              CErrorHandler::ErrInvalidActions);
    EXPECT_EQ(h.ErrorHandlerActions(), 1);
    EXPECT_EQ(errorNumberOf([&] { h.Init(8, QString(), true, false, 2, QStringLiteral("t")); }),
              CErrorHandler::ErrInvalidFileName);
    EXPECT_EQ(h.ErrorHandlerActions(), 8); // stored before the failing name
    EXPECT_EQ(errorNumberOf([&] { h.Init(8, QStringLiteral("e"), true, false, 0, QStringLiteral("t")); }),
              CErrorHandler::ErrInvalidTracingFlags);
    EXPECT_EQ(errorNumberOf([&] { h.setTracingFlags(4); }), CErrorHandler::ErrInvalidTracingFlags);
    EXPECT_EQ(errorNumberOf([&] { h.setTracingLogFile(QString()); }), CErrorHandler::ErrInvalidFileName);
    EXPECT_EQ(h.TracingLogFile(), QStringLiteral("Tracing Log.txt"));
}

TEST_F(ErrorHandlerFixture, ReportFormatAndCallStackOrder)
{
    CErrorHandler& h = *gErrorHandler;
    // Empty stack, no procedure: the routine is "Unknown".
    h.HandleError(QString(), TwError(13, QStringLiteral("x"), QStringLiteral("Type mismatch")));
    ASSERT_EQ(dialogs.errorReports.size(), 1);
    QStringList lines = dialogs.errorReports.at(0).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 5);
    EXPECT_TRUE(lines.at(0).contains(QStringLiteral(" - ")));
    EXPECT_EQ(lines.at(1), QStringLiteral("\tError: 13, (Type mismatch)"));
    EXPECT_EQ(lines.at(2), QStringLiteral("\tin Unknown at line 0"));
    EXPECT_EQ(lines.at(3), QString());
    EXPECT_EQ(lines.at(4), QStringLiteral("The call stack is:"));

    h.CallStackPush(QStringLiteral("Tarnwell.frmStrategies.Form_Load"));
    h.CallStackPush(QStringLiteral("Tarnwell.frmStrategies.UpdateControls"));
    h.HandleError(QString(), TwError(-2147221404, QStringLiteral("x"), QStringLiteral("stock component failure")));
    lines = dialogs.errorReports.at(1).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 7);
    EXPECT_EQ(lines.at(1), QStringLiteral("\tError: -2147221404, (stock component failure)"));
    EXPECT_EQ(lines.at(2), QStringLiteral("\tin Tarnwell.frmStrategies.UpdateControls at line 0"));
    const QString pad(20, QLatin1Char(' '));
    EXPECT_EQ(lines.at(5), pad + QStringLiteral("Tarnwell.frmStrategies.UpdateControls()"));
    EXPECT_EQ(lines.at(6), pad + QStringLiteral("Tarnwell.frmStrategies.Form_Load()"));
    EXPECT_EQ(h.ErrorNumber(), -2147221404);
    EXPECT_EQ(h.ErrorDescription(), QStringLiteral("stock component failure"));
}

TEST_F(ErrorHandlerFixture, OutletsAndAnswers)
{
    CErrorHandler& h = *gErrorHandler;
    const TwError e(5, QStringLiteral("x"), QStringLiteral("Invalid procedure call"));

    dialogs.errorAnswers = {QStringLiteral("ABORT"), QStringLiteral("RETRY"), QStringLiteral("IGNORE"), QString()};
    EXPECT_EQ(h.HandleError(QString(), e), 0);
    EXPECT_EQ(h.HandleError(QString(), e), 1);
    EXPECT_EQ(h.HandleError(QString(), e), 2);
    EXPECT_EQ(h.HandleError(QString(), e), 2); // closed with the window's close box

    // The log file alone: written, nobody asked, the answer is abort.
    h.setErrorHandlerActions(CErrorHandler::ActionLogFile);
    const int asked = static_cast<int>(dialogs.errorReports.size());
    EXPECT_EQ(h.HandleError(QStringLiteral("Tarnwell.Tools.Main"), e), 0);
    EXPECT_EQ(dialogs.errorReports.size(), asked);
    const QStringList log = fileLines(h.ErrorLogFile());
    ASSERT_GE(log.size(), 3);
    EXPECT_EQ(log.at(2), QStringLiteral("\tin Tarnwell.Tools.Main at line 0"));
    // A report past the file size limit is taken back whole; the log stays.
    {
        test::FileSizeLimit limit(QFileInfo(h.ErrorLogFile()).size() + 10);
        ASSERT_TRUE(limit.active());
        EXPECT_EQ(h.HandleError(QString(), e), 0);
    }
    EXPECT_EQ(fileLines(h.ErrorLogFile()), log);

    // Message box and dialog: the user answers twice, the dialog's answer counts.
    h.setErrorHandlerActions(CErrorHandler::ActionMessageBox | CErrorHandler::ActionErrorDialog);
    dialogs.messageAnswers = {Msg::Retry};
    dialogs.errorAnswers = {QStringLiteral("IGNORE")};
    EXPECT_EQ(h.HandleError(QString(), e), 2);
    h.setErrorHandlerActions(CErrorHandler::ActionMessageBox);
    dialogs.messageAnswers = {Msg::Retry};
    EXPECT_EQ(h.HandleError(QString(), e), 1);

    // An error log that cannot be written never escapes the handler.
    h.setErrorHandlerActions(CErrorHandler::ActionLogFile);
    h.setErrorLogFile(dir.filePath(QStringLiteral("no/such/folder/log.txt")));
    EXPECT_EQ(h.HandleError(QString(), e), 0);
}

TEST_F(ErrorHandlerFixture, TraceLinesForPushPopAndMessage)
{
    CErrorHandler& h = *gErrorHandler;
    h.CallStackPush(QStringLiteral("A")); // tracing off: no file
    EXPECT_FALSE(QFile::exists(tracePath()));
    h.CallStackPop();

    h.setTracingEnabled(true);
    h.setTracingFlags(CErrorHandler::TraceDebugger);
    h.CallStackPush(QStringLiteral("A"));
    EXPECT_FALSE(QFile::exists(tracePath()));
    h.CallStackPop();

    h.setTracingFlags(CErrorHandler::TraceFile);
    h.CallStackPush(QStringLiteral("Tarnwell.frmStrategies.Form_Load"));
    h.WriteTrace(QStringLiteral("downloading"));
    h.CallStackPop();
    h.CallStackPop(); // empty stack: no line
    const QStringList lines = fileLines(tracePath());
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines.at(0).endsWith(QStringLiteral(" --- Entered routine: Tarnwell.frmStrategies.Form_Load")));
    EXPECT_TRUE(lines.at(1).endsWith(QStringLiteral(" --- Message: downloading")));
    EXPECT_TRUE(lines.at(2).endsWith(QStringLiteral(" --- Exited routine: Tarnwell.frmStrategies.Form_Load")));
    EXPECT_TRUE(lines.at(0).contains(QStringLiteral(" - ")));

    h.Clear(false, true);
    EXPECT_FALSE(QFile::exists(tracePath()));
}

// A run killed mid-line left the trace and the error log (cut inside its CR
// LF) ending in a cut line: the next line starts on its own, the cut one kept.
TEST_F(ErrorHandlerFixture, ALineCutByAKillIsEndedBeforeTheNextOne)
{
    CErrorHandler& h = *gErrorHandler;
    const QString logPath = dir.filePath(QStringLiteral("Error Log.txt"));
    const QByteArray cutTrace = "10/12/2026 - 00:12:41 --- Message: " + QByteArray(5000, 'q');
    const QByteArray cutLog = "10/12/2026 - 00:12:41\r\n\tError: 5, (Invalid procedure call)\r";
    for (const auto& [path, bytes] : {std::pair{tracePath(), cutTrace}, std::pair{logPath, cutLog}}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    }
    h.setTracingEnabled(true);
    h.WriteTrace(QStringLiteral("after the kill"));
    h.setErrorHandlerActions(CErrorHandler::ActionLogFile);
    h.HandleError(QStringLiteral("Tarnwell.Test.Proc"), TwError(11, QStringLiteral("Tarnwell"), QStringLiteral("Division by zero")));

    const QStringList trace = fileLines(tracePath());
    ASSERT_EQ(trace.size(), 2);
    EXPECT_EQ(trace.at(0).toUtf8(), cutTrace);
    EXPECT_TRUE(trace.at(1).endsWith(QStringLiteral(" --- Message: after the kill"))) << trace.at(1).toStdString();
    const QStringList log = fileLines(logPath);
    ASSERT_GE(log.size(), 4);
    EXPECT_EQ(log.at(1), QStringLiteral("\tError: 5, (Invalid procedure call)"));
    EXPECT_EQ(log.at(3), QStringLiteral("\tError: 11, (Division by zero)"));
    // A line already whole gets no empty line after it.
    h.WriteTrace(QStringLiteral("and on"));
    EXPECT_EQ(fileLines(tracePath()).size(), 3);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(ErrorHandlerFixture, UnwritableTraceFileSwitchesTracingOffOnce)
{
    CErrorHandler& h = *gErrorHandler;
    h.setTracingLogFile(dir.filePath(QStringLiteral("missing/folder/trace.txt")));
    h.setTracingEnabled(true);
    h.CallStackPush(QStringLiteral("A"));
    h.CallStackPush(QStringLiteral("B"));
    EXPECT_EQ(h.callStackDepth(), 2); // the pushes still count
    EXPECT_FALSE(h.TracingEnabled());
    EXPECT_EQ(dialogs.messages.size(), 1);
}

TEST_F(ErrorHandlerFixture, ATraceLineCutShortIsTakenBackAndTracingGoesOffOnce)
{
    CErrorHandler& h = *gErrorHandler;
    h.setTracingEnabled(true);
    h.WriteTrace(QStringLiteral("before"));
    const qint64 size = QFileInfo(tracePath()).size();
    {
        test::FileSizeLimit limit(size + 10);
        ASSERT_TRUE(limit.active());
        h.CallStackPush(QStringLiteral("Tarnwell.frmStrategies.SaveStrategies"));
        h.CallStackPush(QStringLiteral("Tarnwell.frmStrategies.UpdateLists"));
    }
    // The trace still ends in a whole line.
    EXPECT_EQ(QFileInfo(tracePath()).size(), size);
    EXPECT_EQ(fileLines(tracePath()).size(), 1);
    EXPECT_FALSE(h.TracingEnabled());
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].text.contains(tracePath()));
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("larger than the system allows")));

    // A full disk is named as such.
    h.setTracingLogFile(QStringLiteral("/dev/full"));
    h.setTracingEnabled(true);
    h.WriteTrace(QStringLiteral("after"));
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_TRUE(dialogs.messages[1].text.contains(QStringLiteral("cannot be written: the disk is full.")));
}

TEST_F(ErrorHandlerFixture, ClearOnlyWithCallStackEnabled)
{
    CErrorHandler& h = *gErrorHandler;
    h.CallStackPush(QStringLiteral("A"));
    h.setCallStackEnabled(false);
    h.CallStackClear();
    EXPECT_EQ(h.callStackDepth(), 1);
    h.setCallStackEnabled(true);
    h.CallStackClear();
    EXPECT_EQ(h.callStackDepth(), 0);
}

namespace {
// A procedure of three steps, the second of which fails `failures` times.
QStringList runProcedure(int failures)
{
    QStringList done;
    int left = failures;
    [&] {
        Procedure proc("frmTest", "Run");
        TW_STEP(proc, done << QStringLiteral("one"));
        TW_STEP(proc, {
            if (left-- > 0)
                throw TwError(5, QStringLiteral("x"), QStringLiteral("boom"));
            done << QStringLiteral("two");
        });
        TW_STEP(proc, done << QStringLiteral("three"));
    }();
    return done;
}
} // namespace

TEST_F(ErrorHandlerFixture, ProcedureObeysAbortRetryIgnore)
{
    CErrorHandler& h = *gErrorHandler;
    h.CallStackPush(QStringLiteral("Tarnwell.frmTest.Outer"));

    dialogs.errorAnswers = {QStringLiteral("RETRY"), QStringLiteral("RETRY")};
    EXPECT_EQ(runProcedure(2), (QStringList{QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")}));
    EXPECT_EQ(h.callStackDepth(), 1); // popped on the way out
    EXPECT_TRUE(dialogs.errorReports.last().contains(QStringLiteral("in Tarnwell.frmTest.Run at line 0")));

    dialogs.errorAnswers = {QStringLiteral("IGNORE")};
    EXPECT_EQ(runProcedure(1), (QStringList{QStringLiteral("one"), QStringLiteral("three")}));
    EXPECT_EQ(h.callStackDepth(), 1);

    dialogs.errorAnswers = {QStringLiteral("ABORT")};
    EXPECT_EQ(runProcedure(1), (QStringList{QStringLiteral("one")}));
    EXPECT_EQ(h.callStackDepth(), 0); // abort empties the stack
    h.CallStackPop();                 // the outer pop finds nothing
    EXPECT_EQ(h.callStackDepth(), 0);
}

TEST(SupportMail, LinkEscapesReportAndKeepsItsShape)
{
    const QUrl url = supportMailLink(QStringLiteral("help@example.org"), QStringLiteral("An error occurred in Tarnwell"),
                                     QStringLiteral("line one\r\n\tError: 5, (a & b?)"));
    const QString link = QString::fromLatin1(url.toEncoded());
    const QString rule(20, QLatin1Char('-'));
    EXPECT_TRUE(link.startsWith(QStringLiteral("mailto:help@example.org?subject=An%20error%20occurred%20in%20Tarnwell&body=")));
    EXPECT_TRUE(link.endsWith(QStringLiteral("&body=%0A%0A") + rule + QStringLiteral("%0Aline%20one%0A%09Error%3A%205%2C%20%28a%20%26%20b%3F%29%0A") + rule));
    EXPECT_EQ(link.count(QLatin1Char('&')), 1); // the report's "&" cannot cut the body
}
