// The library pane's strategies-file commands: load a library in place
// of the open one, append another file's groups to it, save it, save it
// under a new name, and export the selected group or strategy as a file of
// its own.
//
// A file that cannot be read changes nothing: it is read whole into a new
// library first. Writing goes through a temporary file that replaces the
// target only when everything was written; a failed write is reported and
// the strategies stay unsaved.
//
// The shipped library beside the program is never written: opened, it comes
// in as an untitled copy (Save asks for a name) and the setting keeps naming
// the user's own file. A file the start-up could not read is replaced by a
// save only when the user agrees.
//
// Another program (a second Tarnwell on the same file) may write the file
// while it is open here: Save first checks that the file still holds what was
// read or last written here, and asks before writing over what the other one
// wrote.
//
// A recovery file ("Unsaved strategies *.stg", kept when the system ended the
// program) is opened as strategies not yet saved: never the file the next
// start opens, and Save asks where to keep them, starting in the folder of the
// user's own last file.

#include "workspace/StrategyLibraryPane.h"

#include "app/CAppSettings.h"
#include "app/CErrorHandler.h"
#include "app/Dialogs.h"
#include "app/Procedure.h"
#include "app/Tools.h"
#include "workspace/AnalysisSession.h"
#include "workspace/FileQuestions.h"
#include "model/StrategiesFile.h"
#include "model/StrategyTemplates.h"
#include "workspace/LibraryEdits.h"
#include "workspace/StrategiesRecovery.h"

#include <QFileInfo>

namespace tw {

namespace {

const QString kSettings = QStringLiteral("Settings");
const QString kStrategiesFileKey = QStringLiteral("StrategyTypesFile");

QString absolutePath(const QString& path)
{
    return path.isEmpty() ? path : QFileInfo(path).absoluteFilePath();
}

QString shippedLibrary()
{
    return locateShippedFile(QLatin1String(DefaultStrategiesFile));
}

// The file the next start opens; a recovery file never is.
void rememberLibraryFile(const QString& path)
{
    if (!isRecoveryFileName(path))
        appSettings().SaveSetting(kSettings, kStrategiesFileKey, absolutePath(path));
}

// The folder of the user's own last strategies file, or an empty text (the
// dialog's own folder) when none is known.
QString ownLibraryFolder()
{
    const QString last = settingText(appSettings(), kSettings, kStrategiesFileKey, QString());
    if (last.isEmpty() || isRecoveryFileName(last))
        return {};
    const QFileInfo folder(QFileInfo(last).absolutePath());
    return folder.isDir() ? folder.absoluteFilePath() : QString();
}

// Runs a read of the file at `path`; on failure gives the user's message
// (the reader's details, byte offsets included, go to the trace log).
template <class F>
bool readFile(F&& read, StrategiesCommand command, const QString& path, QString& message)
{
    try {
        read();
        return true;
    } catch (const TwError& e) {
        errorHandler().WriteTrace(e.description());
        message = strategiesReadFailure(command, path, e.number());
        return false;
    }
}

} // namespace

bool StrategyLibraryPane::openStrategiesFile(const QString& path, QString& message)
{
    Procedure proc("frmStrategies", "openStrategiesFile");
    std::shared_ptr<StrategyTypeCollection> loaded;
    QByteArray stamp;
    if (!readFile([&] { loaded = readStrategiesFile(path, &stamp); }, StrategiesCommand::Load, path, message))
        return false;
    const bool shipped = sameFile(path, shippedLibrary());
    TW_STEP_OR(proc, false, {
        session().setLibrary(loaded);
        session().setLibraryFile(shipped ? QString() : absolutePath(path), stamp);
    });
    TW_STEP_OR(proc, false, UpdateTreeView());
    // Kept as a full path: the next start finds it from any folder.
    if (!shipped)
        TW_STEP_OR(proc, false, rememberLibraryFile(session().libraryFile()));
    // Recovered strategies are not saved until they have a file of the
    // user's own.
    TW_STEP_OR(proc, false, session().setStrategiesChanged(isRecoveryFileName(path)));
    return true;
}

void StrategyLibraryPane::LoadStartupStrategies()
{
    Procedure proc("frmStrategies", "LoadStartupStrategies");
    QString message;
    bool opened = false;
    TW_STEP(proc, opened = openStrategiesFile(session().libraryFile(), message));
    if (!opened && !message.isEmpty()) {
        // A damaged file, or a last file that is gone: the shipped library
        // is opened in its place as an untitled copy, and the user is told
        // once. The user's file stays as it is until a save over it is
        // agreed to.
        m_unreadableFile = absolutePath(session().libraryFile());
        const QString shipped = shippedLibrary();
        QString ignored;
        bool fallback = false;
        if (!sameFile(shipped, m_unreadableFile))
            TW_STEP(proc, fallback = openStrategiesFile(shipped, ignored));
        if (fallback)
            message += QStringLiteral("\r\n") + shippedStrategiesInstead(shipped);
        else
            TW_STEP(proc, session().setLibraryFile(QString()));
        TW_STEP(proc, dialogs().messageBox(message, Msg::OkOnly | Msg::Critical, appTitle()));
    }
    session().ensureLibrary();
}

void StrategyLibraryPane::LoadStrategies()
{
    Procedure proc("frmStrategies", "LoadStrategies");
    if (!commitOpenEditors(proc))
        return;
    if (session().strategiesChanged()) {
        int answer = Msg::No;
        TW_STEP(proc, answer = dialogs().messageBox(QStringLiteral("Strategies are not saved.\r\nLoad anyway?"),
                                                    Msg::YesNo | Msg::Question, QStringLiteral("Strategies")));
        if (answer != Msg::Yes)
            return;
    }
    QString chosen;
    TW_STEP(proc, chosen = chooseStrategiesFile(QStringLiteral("Select strategies file"), session().libraryFile(), true,
                                                false));
    if (chosen.isEmpty())
        return; // a cancelled dialog keeps the current file
    QString message;
    bool opened = false;
    // A file that cannot be read leaves the open library and its path as
    // they were.
    TW_STEP(proc, opened = openStrategiesFile(chosen, message));
    if (!opened && !message.isEmpty())
        TW_STEP(proc, dialogs().messageBox(message, Msg::OkOnly | Msg::Critical, appTitle()));
}

void StrategyLibraryPane::AppendStrategies()
{
    Procedure proc("frmStrategies", "AppendStrategies");
    if (!commitOpenEditors(proc))
        return;
    QString chosen;
    TW_STEP(proc, chosen = chooseStrategiesFile(QStringLiteral("Append to strategies"), QString(), true, false));
    if (chosen.isEmpty())
        return;
    TW_STEP(proc, AppendStrategyFromFile(chosen));
}

void StrategyLibraryPane::AppendStrategyFromFile(const QString& path)
{
    Procedure proc("frmStrategies", "AppendStrategyFromFile");
    TW_STEP(proc, session().ensureLibrary());
    QString message;
    // The file's groups follow the open ones, in file order (equal captions
    // are not merged); a file that cannot be read whole adds nothing.
    bool appended = false;
    TW_STEP(proc, appended = readFile([&] { appendStrategiesFile(*session().library(), path); }, StrategiesCommand::Append,
                                      path, message));
    if (!appended) {
        TW_STEP(proc, dialogs().messageBox(message, Msg::OkOnly | Msg::Critical, appTitle()));
        return;
    }
    TW_STEP(proc, UpdateTreeView());
    // The appended file never becomes the current one (an untitled library
    // leaves the setting alone).
    if (!session().libraryFile().isEmpty())
        TW_STEP(proc, rememberLibraryFile(session().libraryFile()));
    TW_STEP(proc, session().setStrategiesChanged(true));
}

QByteArray StrategyLibraryPane::writeStrategies(const StrategyTypeCollection& types, const QString& path)
{
    const QString shipped = shippedLibrary();
    if (sameFile(path, shipped)) {
        dialogs().messageBox(shippedStrategiesKept(shipped), Msg::OkOnly | Msg::Exclamation, appTitle());
        return {};
    }
    // Once saved, that file is the user's again.
    const bool toUnreadable = sameFile(path, m_unreadableFile);
    if (toUnreadable && QFileInfo::exists(path)
        && dialogs().messageBox(replaceUnreadableQuestion(path), Msg::YesNo | Msg::Exclamation | Msg::DefaultButton2,
                                QStringLiteral("Strategies"))
               != Msg::Yes)
        return {};
    try {
        const QByteArray stamp = writeStrategiesFile(types, path);
        if (toUnreadable)
            m_unreadableFile.clear();
        return stamp;
    } catch (const TwError& e) {
        errorHandler().WriteTrace(e.description());
        dialogs().messageBox(QStringLiteral("The strategies could not be saved to \"%1\".\r\n%2\r\n"
                                            "Nothing was written; the file is as it was.")
                                 .arg(path, e.description()),
                             Msg::OkOnly | Msg::Critical, appTitle());
        return {};
    }
}

void StrategyLibraryPane::SaveStrategies()
{
    Procedure proc("frmStrategies", "SaveStrategies");
    if (!commitOpenEditors(proc))
        return;
    const QString file = session().libraryFile();
    if (file.isEmpty() || isRecoveryFileName(file)) {
        TW_STEP(proc, SaveStrategiesAs());
        return;
    }
    // What another program wrote since is written over only when the user
    // agrees; No leaves the file, and the strategies stay unsaved.
    bool writeOver = true;
    TW_STEP(proc, {
        writeOver = !changedSince(file, session().libraryFileStamp())
            || dialogs().messageBox(changedElsewhereQuestion(file), Msg::YesNo | Msg::Exclamation | Msg::DefaultButton2,
                                    QStringLiteral("Strategies"))
                == Msg::Yes;
    });
    if (!writeOver)
        return;
    QByteArray written;
    TW_STEP(proc, written = writeStrategies(session().library() ? *session().library() : StrategyTypeCollection(), file));
    if (written.isEmpty())
        return; // the strategies stay unsaved
    TW_STEP(proc, session().setLibraryFile(file, written));
    TW_STEP(proc, session().setStrategiesChanged(false));
    TW_STEP(proc, rememberLibraryFile(file));
}

void StrategyLibraryPane::SaveStrategiesAs()
{
    Procedure proc("frmStrategies", "SaveStrategiesAs");
    if (!commitOpenEditors(proc))
        return;
    QString chosen;
    // An untitled library is offered the name of the user's own file that
    // could not be read at the start; recovered strategies the folder of the
    // user's own last file, without a name.
    const QString current = session().libraryFile();
    const bool recovered = isRecoveryFileName(current);
    const QString offered = current.isEmpty() ? m_unreadableFile : recovered ? QString() : current;
    TW_STEP(proc, chosen = chooseStrategiesFile(QStringLiteral("Save strategies to"), offered, false, true,
                                                recovered ? ownLibraryFolder() : QString()));
    if (chosen.isEmpty())
        return;
    QByteArray written;
    TW_STEP(proc, written = writeStrategies(session().library() ? *session().library() : StrategyTypeCollection(), chosen));
    if (written.isEmpty())
        return;
    // The saved file is the current one, and the one the next start opens.
    TW_STEP(proc, session().setLibraryFile(absolutePath(chosen), written));
    TW_STEP(proc, session().setStrategiesChanged(false));
    TW_STEP(proc, rememberLibraryFile(chosen));
}

void StrategyLibraryPane::ExportStrategies()
{
    Procedure proc("frmStrategies", "ExportStrategies");
    if (!commitOpenEditors(proc))
        return;
    const QString key = selectedKey();
    if (key.isEmpty() || session().library() == nullptr)
        return; // the command needs a selected node
    std::shared_ptr<StrategyTypeCollection> exported;
    QString name;
    TW_STEP(proc, {
        exported = exportedLibrary(*session().library(), key);
        name = defaultExportName(*session().library(), key);
    });
    QString chosen;
    TW_STEP(proc, chosen = chooseStrategiesFile(QStringLiteral("Export strategies to..."), name, false, true));
    if (chosen.isEmpty())
        return;
    // The open library, its file and its unsaved state stay as they were.
    QByteArray written;
    TW_STEP(proc, written = writeStrategies(*exported, chosen));
    // Exported over the open library's own file, that file now holds what
    // this program wrote, not another's.
    if (!written.isEmpty() && sameFile(chosen, session().libraryFile()))
        TW_STEP(proc, session().setLibraryFile(session().libraryFile(), written));
}

QString StrategyLibraryPane::chooseStrategiesFile(const QString& title, const QString& initial, bool mustExist,
                                                 bool save, const QString& folder)
{
    FileQuestion q;
    q.title = title;
    q.initialDir = folder;
    q.filter = QStringLiteral("Strategies (.stg)|*.stg| All Files (*.*)|*.*");
    q.defaultExt = QStringLiteral("stg");
    q.initialFile = initial;
    q.mustExist = mustExist;
    q.save = save;
    return askForFile(q, static_cast<int64_t>(window()->winId()));
}

} // namespace tw

