#pragma once
// The open and save file dialogs in one call. Callers give a few plain
// arguments (file name, filter text, title, default extension...) and get the
// chosen file back in the same arguments. The dialog itself is asked through
// tw::dialogs(), so the program shows the real one and tests script it.

#include "app/Dialogs.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace tw {

// Flag bits of the file dialogs, with the values the callers have always used.
namespace Ofn {
constexpr int32_t ReadOnly = 0x1;
constexpr int32_t OverwritePrompt = 0x2;
constexpr int32_t HideReadOnly = 0x4;
constexpr int32_t EnableHook = 0x20;
constexpr int32_t EnableTemplate = 0x40;
constexpr int32_t AllowMultiSelect = 0x200;
constexpr int32_t FileMustExist = 0x1000;
} // namespace Ofn

// Shows the open dialog (SaveDialog false) or the save dialog (SaveDialog
// true); true when the user chose a file.
//  - FileName: in the file name shown first; out the chosen path. With several
//    files chosen: the folder, then each file name, separated by NUL
//    characters. "" on cancel.
//  - FileTitle: out the chosen file's name without folder ("" on cancel and
//    whenever several files may be chosen).
//  - FileMustExist, MultiSelect, HideReadOnly: the dialog's options.
//  - ReadOnly: in the read-only state offered first; out true when the dialog
//    returned it set, otherwise left as it was.
//  - Filter: in description and pattern pairs separated by "|" (a ":" also
//    separates), as in "Options (.opt)|*.opt| All Files (*.*)|*.*"; out the
//    chosen entry, description and pattern joined by a NUL ("" on cancel).
//  - FilterIndex: in the 1-based entry selected first; out the one the user
//    left selected, -1 on cancel.
//  - InitDir: the folder shown first ("" for the dialog's default).
//  - DlgTitle: the dialog's title. DefaultExt: the extension added to a typed
//    name without one, as in "opt".
//  - Owner: the owner window's id, -1 for none.
//  - Flags: in further Ofn bits; out the flags the dialog returned, 0 on cancel.
// Patterns match file names without regard to letter case, and "*.*" matches
// every file, with or without an extension. The save dialog always asks before
// it lets the user choose a file that exists.
bool VBGetOpenFileName(QString& FileName, QString& FileTitle, bool FileMustExist, bool MultiSelect, bool& ReadOnly,
                       bool HideReadOnly, QString& Filter, int32_t& FilterIndex, const QString& InitDir,
                       const QString& DlgTitle, const QString& DefaultExt, int64_t Owner, int32_t& Flags,
                       bool SaveDialog);

// The characters of `Text` before its first NUL (all of them when it has none).
QString StrZToStr(const QString& Text);

// Entry `Index` (1-based) of a NUL-separated filter list: its description and
// pattern joined by the NUL between them; "" when `Filters` is empty or has no
// such entry.
QString FilterLookup(const QString& Filters, int32_t Index);

namespace filedialog {

// The result of the last dialog (1 chosen, 0 cancelled, -1 failed) and the
// failure's code; both 0 from the start of every call.
int lastDialogResult();
uint32_t lastExtendedError();

// The flags a call sends to the dialog: the option bits of the arguments and
// the caller's own flags, never a hook or a dialog template.
int32_t requestFlags(bool fileMustExist, bool multiSelect, bool readOnly, bool hideReadOnly, int32_t flags);

// The filter text with every "|" and ":" turned into a NUL and two NULs
// appended.
QString convertFilter(const QString& filter);

// The description and pattern pairs of a converted filter, in order, up to
// the empty description that ends the list.
struct FilterEntry {
    QString description;
    QString pattern;
};
QList<FilterEntry> filterEntries(const QString& converted);

// The patterns of one filter entry in Qt's form: ";"-separated patterns
// become blank-separated, and "*.*" (every file, also one without an
// extension) becomes "*". An empty pattern matches every file.
QString qtPatterns(const QString& pattern);

// The name filters of a converted filter for a Qt file dialog,
// "Description (patterns)"; the dialog shows the description alone.
QStringList qtNameFilters(const QString& converted);

// The default extension as a suffix without point ("opt", ".opt" and "*.opt"
// all give "opt"); "" when it names no extension.
QString defaultSuffix(const QString& defaultExt);

// The request the call sends for its arguments (flags from requestFlags,
// filter from convertFilter).
FileDialogRequest makeRequest(const QString& fileName, int32_t flags, const QString& convertedFilter,
                              int32_t filterIndex, const QString& initDir, const QString& title,
                              const QString& defaultExt, int64_t owner);

} // namespace filedialog

} // namespace tw
