#pragma once
// Every modal question or message of the program goes through this one
// interface. The program installs the real dialogs at start-up; tests install
// a scripted answerer, so nothing ever blocks on a dialog nobody sees.

#include <QString>
#include <QStringList>
#include <QUrl>
#include <cstdint>

namespace tw {

// Message-box styles and answers, with the values of the classic message box
// (buttons + icon + default button).
namespace Msg {
enum Style : int {
    OkOnly = 0,
    OkCancel = 1,
    AbortRetryIgnore = 2,
    YesNoCancel = 3,
    YesNo = 4,
    RetryCancel = 5,
    Critical = 16,
    Question = 32,
    Exclamation = 48,
    Information = 64,
    DefaultButton1 = 0,
    DefaultButton2 = 256,
    DefaultButton3 = 512,
};
enum Result : int { Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };
constexpr int ButtonsMask = 0x0F;
constexpr int IconMask = 0x70;
constexpr int DefaultMask = 0x300;
} // namespace Msg

// One question for a file: what the open or save dialog is to show.
struct FileDialogRequest {
    QString title;               // empty: the dialog's own title
    QString initialDir;          // empty: the dialog's own default folder
    QString initialFile;         // file name (or path) shown at first
    QStringList nameFilters;     // name filters in Qt's form, "Description (pattern pattern)"
    int selectedFilter = 0;      // 0-based index into nameFilters
    QString defaultSuffix;       // added to a typed name without one (no point)
    bool fileMustExist = false;  // only existing files can be chosen
    bool multiSelect = false;    // several files can be chosen
    bool readOnly = false;       // the "open read-only" state at first
    bool hideReadOnly = false;   // the read-only choice is not offered
    int64_t owner = -1;          // the owner window's id; -1 for none
};

// The answer to a FileDialogRequest.
struct FileDialogAnswer {
    enum Result : int { Failed = -1, Cancelled = 0, Chosen = 1 };
    int result = Cancelled;
    QStringList files;           // absolute paths of the chosen files
    int selectedFilter = 0;      // 0-based index of the name filter left selected
    bool readOnly = false;       // the read-only state the user left
    uint32_t extendedError = 0;  // why the dialog failed (result Failed)
};

class Dialogs {
public:
    virtual ~Dialogs();

    // A modal message box; the answer is one of Msg::Result.
    virtual int messageBox(const QString& text, int style, const QString& title) = 0;

    // The error dialog with Abort, Retry, Ignore and "Send to support"; returns
    // the button's tag ("ABORT", "RETRY", "IGNORE"), or an empty text when the
    // dialog was closed otherwise.
    virtual QString errorForm(const QString& report, const QString& supportMail) = 0;

    // Hands a link (a web page, a "mailto:" link) to the desktop; false when
    // nothing took it.
    virtual bool openUrl(const QUrl& url) = 0;

    // Shows a page of the program's help (a file URL, its fragment the
    // section) in the program's own help window; false when it cannot be
    // shown. The base hands the page to openUrl.
    virtual bool showHelp(const QUrl& page);

    // The modal open and save file dialogs. The save dialog asks before it
    // lets the user choose an existing file. The base answers as a user who
    // cancels, so dialogs that know no files stay usable.
    virtual FileDialogAnswer getOpenFileName(const FileDialogRequest& request);
    virtual FileDialogAnswer getSaveFileName(const FileDialogRequest& request);

    // The system's beep. The base is silent.
    virtual void beep();
    // The switchable information window of ShowMessageOnce: `text` with the
    // check box "show this message in the future", checked at first. The
    // window stores the box's state for `id` at every click of it; the
    // answer is the state the user left it in (true: keep showing). The base
    // answers as a user who presses OK.
    virtual bool switchableMessage(const QString& text, const QString& id);
};

// The installed dialogs. Before any are installed, a fallback writes the
// question to the standard error stream and answers as if the user had closed
// the box (Cancel, Ignore, No as the box allows; a file dialog is cancelled).
Dialogs& dialogs();

// Installs `d` (not owned; nullptr restores the fallback) and returns the
// previously installed one.
Dialogs* setDialogs(Dialogs* d);

// While set, dialogs() is the fallback whatever is installed: nothing is
// shown and nobody is waited for. Set while the system ends the program.
void setQuestionsStopped(bool stopped);

// The program's title, used as the caption of its message boxes.
QString appTitle();

} // namespace tw
