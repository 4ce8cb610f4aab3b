// The program ended by the system rather than by the user: this suite starts
// the program's own main window and event loop in a child process (this
// very program, run with "--program"), lets it edit a strategy description
// as a user types (or type a leg's quantity, its editor left open, or
// download a chain first), and sends it SIGTERM or SIGHUP while it is idle or
// while its exit question is open, twice in a row. The program must end at
// once, without answering anything, having written the unsaved strategies
// and quotes to recovery files before it unloads any window, and then what
// File > Exit writes; the next start names those files once.
#include "QuoteServer.h"
#include "app/CAppSettings.h"
#include "app/CErrorHandler.h"
#include "app/QtDialogs.h"
#include "app/SessionEnd.h"
#include "app/Tools.h"
#include "app/TwApplication.h"
#include "mainwindow/frmStrategies.h"
#include "model/StrategiesFile.h"
#include "platform/FileWrite.h"
#include "platform/RegistryStore.h"
#include "platform/RichTextBox.h"
#include "support/FileSizeLimit.h"
#include "support/MainWindowControls.h"
#include "support/MainWindowRun.h"
#include "support/RenameWatch.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"
#include "workspace/StrategiesRecovery.h"
#include "MainWindowFixtures.h"

#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

#include <csignal>
#include <cstdio>

using namespace tw;

namespace {

const QString kTyped = QStringLiteral("Kept at the end");
const QString kQuantity = QStringLiteral("9");

void say(const char* what)
{
    std::puts(what);
    std::fflush(stdout);
}

// The child: the program's start and event loop. It types into the
// description of the selected strategy, says "edited" on its output (and
// traces into "end.trace.txt" from then on), and in mode "question" then
// chooses File > Exit, whose question stays open; it says "question" once the
// question shows. In mode "unwritable" it answers the message about settings
// that cannot be written. In mode "download" it first downloads ZYX from a
// quote server of its own serving the sample files' folder. In mode "save" it
// chooses File > Save strategies, says each message and answers it, then says
// "saved".
int runProgram(int argc, char** argv)
{
    platform::ignoreFileSizeSignal(); // as the program's own main() does first
    TwApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const QString mode = args.value(2);
    const QString folder = QFileInfo(args.value(4)).path(); // the sample files'
    setProcessArguments({QStringLiteral("-S"), args.value(3), QStringLiteral("-O"), args.value(4)});
    QtDialogs dialogs;
    setDialogs(&dialogs);
    struct OkToMessages : QObject {
        bool eventFilter(QObject* o, QEvent* e) override
        {
            if (auto* box = qobject_cast<QMessageBox*>(o); box != nullptr && e->type() == QEvent::Show) {
                say(qPrintable(QStringLiteral("message: ") + box->text()));
                QTimer::singleShot(0, box, [box] { box->accept(); });
            }
            return false;
        }
    } okToMessages;
    if (mode == QLatin1String("unwritable") || mode == QLatin1String("save"))
        app.installEventFilter(&okToMessages);
    Main();
    frmStrategies* w = frmStrategies::instance();
    if (w == nullptr)
        return 2;
    struct QuestionWatch : QObject {
        bool eventFilter(QObject* o, QEvent* e) override
        {
            if (e->type() == QEvent::Show && qobject_cast<QMessageBox*>(o) != nullptr)
                say("question");
            return false;
        }
    } watch;
    app.installEventFilter(&watch);
    tools::QuoteServerOptions served;
    served.folder = folder;
    tools::QuoteServer server(served);
    const auto edited = [folder] {
        errorHandler().setTracingLogFile(folder + QStringLiteral("/end.trace.txt"));
        errorHandler().setTracingEnabled(true);
        say("edited");
    };
    QTimer::singleShot(0, w, [w, mode, &server, edited] {
        if (mode == QLatin1String("save")) {
            test::chooseFromMenuBar(w, QStringLiteral("&File"), QStringLiteral("Save strategies"));
            return say("saved");
        }
        if (mode == QLatin1String("download")) {
            if (!server.listen())
                return;
            appSettings().SaveSetting(QStringLiteral("Settings"), QStringLiteral("QuoteServerHost"), QStringLiteral("127.0.0.1"));
            appSettings().SaveSetting(QStringLiteral("Settings"), QStringLiteral("QuoteServerPort"), int(server.port()));
            ui::txtTicker(w)->setText(QStringLiteral("ZYX"));
            QTest::mouseClick(ui::cmdDownload(w), Qt::LeftButton);
        }
        if (mode == QLatin1String("quantity")) {
            // The quantity editor of the first leg, opened and typed into.
            platform::Grid* legs = ui::gdParams(w);
            if (!test::focusOn(legs->view()))
                return;
            QTest::mouseDClick(legs->view()->viewport(), Qt::LeftButton, {}, test::gridCellCentre(legs, 1, 6));
            ui::txtEdit(w)->selectAll();
            QTest::keyClicks(ui::txtEdit(w), kQuantity);
            return edited();
        }
        platform::RichTextBox* box = ui::rtfDescription(w);
        if (!test::focusOn(box))
            return;
        box->moveCursor(QTextCursor::End);
        QTest::keyClicks(box, kTyped);
        edited();
        if (mode == QLatin1String("question"))
            test::chooseFromMenuBar(w, QStringLiteral("&File"), QStringLiteral("Exit"));
    });
    return execProgram(w);
}

// The recovery files of a kind ("strategies", "quotes") in the settings'
// folder.
QStringList recoveryFiles(const QString& kind = QStringLiteral("strategies"))
{
    return QDir(recoveryFolder()).entryList({QStringLiteral("Unsaved %1 *").arg(kind)}, QDir::Files);
}

using test::bytesOf;

// Starts the program in `mode` on `stg` and waits until it has said `awaited`.
bool startProgram(QProcess& program, const QString& mode, const test::SampleFiles& files, const QByteArray& awaited,
                  QByteArray& said, const QString& stg = {})
{
    program.setProgram(QCoreApplication::applicationFilePath());
    program.setArguments({QStringLiteral("--program"), mode, stg.isEmpty() ? files.stg : stg, files.opt});
    program.setProcessChannelMode(QProcess::SeparateChannels);
    program.setReadChannel(QProcess::StandardOutput);
    program.start();
    if (!program.waitForStarted(30000))
        return false;
    while (!said.contains(awaited) && program.state() == QProcess::Running && program.waitForReadyRead(60000))
        said += program.readAllStandardOutput();
    return said.contains(awaited);
}

// How often the next two starts name the recovery files at `paths`.
QList<qsizetype> timesNamedAtTwoStarts(const test::SampleFiles& files, const QStringList& paths)
{
    QList<qsizetype> told;
    for (int start = 1; start <= 2; ++start) {
        test::ScriptedDialogs dialogs;
        {
            test::MainWindowRun run({QStringLiteral("-S"), files.stg, QStringLiteral("-O"), files.opt});
            if (run.window() == nullptr || !run.close())
                return {};
        }
        told.append(std::count_if(dialogs.messages.begin(), dialogs.messages.end(), [&](const auto& m) {
            return std::any_of(paths.begin(), paths.end(), [&](const QString& p) { return m.text == recoveryMessage(p); });
        }));
    }
    return told;
}

void clearRecoveryFolders()
{
    const QStringList folders = recoveryFolders();
    for (const QString& folder : folders.mid(0, 3))
        QDir(folder).removeRecursively();
    QDir home(folders.last());
    for (const QString& name : home.entryList({QStringLiteral("Unsaved *")}, QDir::Files))
        home.remove(name);
}

} // namespace

class SessionEndTest : public QObject {
    Q_OBJECT

    test::SampleFiles m_files;
    QString m_served; // the chain the child's quote server serves for ZYX

private slots:
    void initTestCase()
    {
        QVERIFY(m_files.write());
        m_served = m_files.dir.filePath(QStringLiteral("ZYX.opt"));
        QVERIFY(QFile::copy(test::shippedFile(QStringLiteral("SAMPLE.opt")), m_served));
    }

    void theSystemsEndWritesEverythingAndKeepsTheStrategies_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("signal");
        QTest::addRow("idle, SIGTERM") << QStringLiteral("idle") << int(SIGTERM);
        QTest::addRow("idle, SIGHUP") << QStringLiteral("idle") << int(SIGHUP);
        QTest::addRow("exit question open, SIGTERM") << QStringLiteral("question") << int(SIGTERM);
        QTest::addRow("exit question open, SIGHUP") << QStringLiteral("question") << int(SIGHUP);
        QTest::addRow("quantity editor open, SIGTERM") << QStringLiteral("quantity") << int(SIGTERM);
        QTest::addRow("chain downloaded, SIGTERM") << QStringLiteral("download") << int(SIGTERM);
    }
    void theSystemsEndWritesEverythingAndKeepsTheStrategies()
    {
        QFETCH(QString, mode);
        QFETCH(int, signal);
        test::environment().clearSettings();
        clearRecoveryFolders();
        const QByteArray userFile = bytesOf(m_files.stg);
        QVERIFY(QDir().mkpath(platform::RegistryStore::folder()));
        const QString trace = m_files.dir.filePath(QStringLiteral("end.trace.txt"));
        QFile::remove(trace);

        QProcess program;
        const QByteArray awaited = mode == QLatin1String("question") ? "question" : "edited";
        QByteArray said;
        QVERIFY2(startProgram(program, mode, m_files, awaited, said), said.constData());
        test::RenameWatch watch({recoveryFolder(), platform::RegistryStore::folder()});
        QVERIFY(watch.active());

        // A second signal while the first is handled writes nothing twice.
        ::kill(static_cast<pid_t>(program.processId()), signal);
        ::kill(static_cast<pid_t>(program.processId()), signal);
        QVERIFY2(program.waitForFinished(60000), "the program did not end");
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);

        // The settings replaced in one write; the recovery files, whole from
        // the start, need no copy renamed over them.
        const QString settingsFile = platform::RegistryStore().filePath();
        QCOMPARE(watch.renamed(), QStringList{settingsFile});
        const QStringList kept = recoveryFiles();
        QCOMPARE(kept.size(), 1);
        const QString path = QDir(recoveryFolder()).filePath(kept.first());
        const QRegularExpression named(QStringLiteral("/Unsaved strategies \\d{4}-\\d\\d-\\d\\d \\d\\d-\\d\\d-\\d\\d\\.stg$"));
        QVERIFY2(named.match(path).hasMatch(), qPrintable(path)); // the date and time of the end

        // Kept before any window was unloaded.
        const QString traced = QString::fromUtf8(bytesOf(trace));
        const qsizetype keptAt = traced.indexOf(QStringLiteral("Message: Kept in a recovery file: ") + path);
        QVERIFY2(keptAt >= 0, qPrintable(traced));
        for (const char* unload : {"frm3dChart.Form_Unload", "frmChart.SaveParams", "frmStrategies.Form_Unload"})
            QVERIFY2(traced.indexOf(QStringLiteral("Entered routine: Tarnwell.") + QLatin1String(unload)) > keptAt, unload);

        // What File > Exit writes (compared value by value with closing by the
        // window-places suite, with the real program).
        QCOMPARE(test::storedText(QStringLiteral("LastFile")), QFileInfo(m_files.opt).absoluteFilePath());
        QCOMPARE(test::storedText(QStringLiteral("StgSelectedStrategy")), QStringLiteral("T1S1"));
        QCOMPARE(test::storedInt(QStringLiteral("CCCount"), -1), 1);

        // The strategies: the user's file as it was, the edit in a recovery
        // file of its own, named by the settings.
        QCOMPARE(bytesOf(m_files.stg), userFile);
        QCOMPARE(test::storedText(QStringLiteral("RecoveredStrategies")), path);
        const auto library = readStrategiesFile(path);
        const auto original = readStrategiesFile(m_files.stg);
        QCOMPARE(library->Count(), original->Count());
        if (mode == QLatin1String("quantity")) {
            QCOMPARE(library->Item(1)->Strategies()->Item(1)->Params()->Item(1)->Quantity(), kQuantity.toShort());
            QVERIFY(original->Item(1)->Strategies()->Item(1)->Params()->Item(1)->Quantity() != kQuantity.toShort());
        } else {
            const QString description = library->Item(1)->Strategies()->Item(1)->Description();
            QVERIFY2(description.contains(kTyped), qPrintable(description));
            QVERIFY(!original->Item(1)->Strategies()->Item(1)->Description().contains(kTyped));
        }

        // The downloaded chain as received, in a file of its own.
        const QStringList quotes = recoveryFiles(QStringLiteral("quotes"));
        QCOMPARE(quotes.size(), mode == QLatin1String("download") ? 1 : 0);
        QStringList paths{path};
        for (const QString& name : quotes) {
            paths.append(QDir(recoveryFolder()).filePath(name));
            QVERIFY2(name.endsWith(QLatin1String(" ZYX.opt")), qPrintable(name));
            QCOMPARE(test::storedText(QStringLiteral("RecoveredQuotes")), paths.last());
            QCOMPARE(bytesOf(paths.last()), bytesOf(m_served));
        }

        // The next start says where the strategies and quotes are, once.
        QCOMPARE(timesNamedAtTwoStarts(m_files, paths), (QList<qsizetype>{paths.size(), 0}));
        QVERIFY(QFileInfo::exists(path));
    }

    void aSettingsFolderThatCannotBeWrittenSendsTheStrategiesToTheDataFolder()
    {
        clearRecoveryFolders();
        QVERIFY(test::environment().blockSettings());
        QProcess program;
        QByteArray said;
        QVERIFY2(startProgram(program, QStringLiteral("unwritable"), m_files, "edited", said), said.constData());
        ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
        QVERIFY2(program.waitForFinished(60000), "the program did not end");
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);

        // In the user's data folder, the first that could take it.
        const QString folder = recoveryFolders().at(1);
        const QStringList kept = QDir(folder).entryList({QStringLiteral("Unsaved strategies *.stg")}, QDir::Files);
        QCOMPARE(kept.size(), 1);
        const QString path = QDir(folder).filePath(kept.first());
        QVERIFY(readStrategiesFile(path)->Item(1)->Strategies()->Item(1)->Description().contains(kTyped));

        // Writable again: the next start names the file (no setting could), once.
        test::environment().clearSettings();
        QCOMPARE(timesNamedAtTwoStarts(m_files, {path}), (QList<qsizetype>{1, 0}));
        clearRecoveryFolders();
    }

    // A session manager that kills the program soon after asking it to end,
    // while every fsync takes 400 ms: killed once the recovery files have
    // their names, it leaves them whole.
    void killedWhileTheDiskIsSlowItLeavesTheRecoveryFilesWhole()
    {
        test::environment().clearSettings();
        clearRecoveryFolders();
        QVERIFY(QDir().mkpath(recoveryFolder()));
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(TW_SLOW_SYNC_MODULE));
        // The sanitizer build's runtime would refuse a library loaded before it.
        env.insert(QStringLiteral("ASAN_OPTIONS"), env.value(QStringLiteral("ASAN_OPTIONS")) + ":verify_asan_link_order=0");
        program.setProcessEnvironment(env);
        QByteArray said;
        QVERIFY2(startProgram(program, QStringLiteral("download"), m_files, "edited", said), said.constData());
        test::RenameWatch watch({recoveryFolder()});
        QVERIFY(watch.active());
        ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
        const QDir folder(recoveryFolder());
        while (folder.entryList({QStringLiteral("Unsaved *")}, QDir::Files).size() < 2 && watch.wait(60000))
            watch.renamed();
        ::kill(static_cast<pid_t>(program.processId()), SIGKILL);
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitStatus(), QProcess::CrashExit); // killed, not ended
        const QStringList kept = folder.entryList({QStringLiteral("Unsaved *")}, QDir::Files); // quotes, strategies
        QCOMPARE(kept.size(), 2);
        QCOMPARE(bytesOf(folder.filePath(kept.at(0))), bytesOf(m_served));
        QVERIFY(readStrategiesFile(folder.filePath(kept.at(1)))->Item(1)->Strategies()->Item(1)->Description().contains(kTyped));
        clearRecoveryFolders();
    }

    // A file size limit (ulimit -f) ends no program: a save of a library
    // larger than the limit tells why it failed and leaves the file as it was.
    void aFileSizeLimitFailsTheSaveAndEndsNothing()
    {
        test::environment().clearSettings();
        const QString library = m_files.dir.filePath(QStringLiteral("larger.stg"));
        QVERIFY(QFile::copy(test::shippedFile(QStringLiteral("DEFAULT.STG")), library));
        const QByteArray before = bytesOf(library);
        constexpr rlim_t kLimit = 12 * 1024;
        QVERIFY(before.size() > qsizetype(kLimit));
        QProcess program;
        program.setChildProcessModifier([] { test::lowerFileSizeLimit(kLimit); });
        QByteArray said;
        QVERIFY2(startProgram(program, QStringLiteral("save"), m_files, "saved", said, library), said.constData());
        QCOMPARE(said.count("message: "), 1);
        QVERIFY2(said.contains("cannot be written: the file would be larger than the system allows."), said.constData());
        QCOMPARE(bytesOf(library), before);
        ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
        QVERIFY2(program.waitForFinished(60000), "the program did not end");
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
    }
};

int main(int argc, char** argv)
{
    if (argc > 1 && qstrcmp(argv[1], "--program") == 0)
        return runProgram(argc, argv);
    test::installEnvironment();
    TwApplication app(argc, argv);
    SessionEndTest tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "SessionEndTest.moc"
