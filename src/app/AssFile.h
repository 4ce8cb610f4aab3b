#pragma once
// Registers the program's two document types with the desktop: option-chain
// files "*.opt" and strategies files "*.stg". A double click on such a file
// then starts the program with "-O" (chain) or "-S" (strategies) and the file.
//
// On a freedesktop.org desktop that means, all inside the user's own data
// folder ($XDG_DATA_HOME, by default ~/.local/share):
//   mime/packages/tarnwell.xml            our two MIME types and their globs
//   applications/tarnwell-data.desktop    opens "*.opt" with -O
//   applications/tarnwell-strategies.desktop  opens "*.stg" with -S
//   icons/hicolor/.../apps/tarnwell.*     the program's icon
// Each file is written only when its content changed (through a temporary
// file and a rename); the desktop's caches are then refreshed by their tools,
// where installed, without waiting for them.

#include <QString>
#include <QStringList>
#include <functional>

namespace tw {

// Registers both file types for the running program (called at every start).
// Failures are written to the trace log and never stop the start-up.
void AssociateFile();

namespace filetypes {

inline constexpr const char* DataMimeType = "application/x-tarnwell-data";
inline constexpr const char* StrategiesMimeType = "application/x-tarnwell-strategies";
inline constexpr const char* IconName = "tarnwell";

// The user's data folder: $XDG_DATA_HOME when it is an absolute path, else
// $HOME/.local/share; "" when neither is known (then nothing is written).
QString userDataHome();

// One argument of a desktop entry's Exec key, quoted as the desktop-entry
// rules ask (double quotes, with ", `, $ and \ escaped, % doubled).
QString quoteExecArgument(const QString& argument);
// A value of type string in a desktop entry (\, newline, tab, CR escaped).
QString escapeDesktopString(const QString& value);

// The contents written for the program at `programPath`.
QByteArray mimePackageXml();
QByteArray desktopEntry(const QString& programPath, const QString& switchArgument, const QString& typeName,
                        const QString& mimeType);

// What a registration wrote.
struct Registration {
    bool mimeChanged = false;
    bool desktopChanged = false;
    bool iconsChanged = false;
    QStringList written;  // files (re)written
    QStringList failures; // files that could not be written, with the reason
};

// Writes the MIME package, the two desktop entries and the icons found in
// `iconFolder` ("tarnwell.svg", "tarnwell.png") under `dataHome`, each only
// when its content differs from what is there.
Registration writeRegistration(const QString& dataHome, const QString& programPath, const QString& iconFolder);

// Starts a program with its arguments without waiting for it; false when it
// could not be started.
using ToolStarter = std::function<bool(const QString& program, const QStringList& arguments)>;
bool startDetached(const QString& program, const QStringList& arguments);

// Refreshes the desktop's caches under `dataHome` after `registration`: the
// MIME database and the desktop-entry cache when what we wrote changed or is
// missing from them, the user's icon cache when there is one. Tools that are
// not installed (looked up in PATH) are skipped. Returns the commands started,
// each as the program followed by its arguments.
QList<QStringList> refreshDatabases(const QString& dataHome, const Registration& registration,
                                    const ToolStarter& start = startDetached);

} // namespace filetypes

} // namespace tw
