#pragma once
// Strategies not yet saved when the system ends the program (a logout, a
// shutdown, a kill): they go to a recovery file of their own, never over the
// user's strategies file or the shipped library, and the next start tells the
// user where it is.
//
// The file goes beside the settings when it can; when that folder cannot take
// it (a disk turned read-only, a quota) to the next of the user's folders
// that can. The settings name the file for the next start, but they may be
// in the very folder that could not be written, so the next start also looks
// for recovery files in every one of those folders and tells the ones newer
// than the last it told (a time the settings keep).

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace tw {

class StrategyTypeCollection;

// The folders recovery files go to, in the order they are tried: the
// settings' own ($XDG_CONFIG_HOME/tarnwell), then tarnwell in the user's data
// folder ($XDG_DATA_HOME) and in the user's state folder ($XDG_STATE_HOME),
// then the home folder.
QStringList recoveryFolders();
// The first of them.
QString recoveryFolder();

// Writes `library` to a new file in the first of `folders` that takes it
// (made when missing), "Unsaved strategies <date> <time>.stg" after `when`,
// numbered when that name is taken: no existing file is ever written over.
// The file's path, or an empty text (and no file) when no folder could take
// it; `failures` then receives, for each folder, why.
QString writeRecoveryFile(const StrategyTypeCollection& library, const QStringList& folders,
                          QStringList* failures = nullptr, const QDateTime& when = QDateTime::currentDateTime());

// Writes `library` to the first of recoveryFolders() that takes it; where none
// can, says so on the standard error stream and in the error log. The file's
// path or an empty text.
QString keepUnsavedStrategies(const StrategyTypeCollection& library);

// What a start has to tell about recovery files.
struct RecoveryNews {
    // Paths of the files to name, oldest first.
    QStringList files;
    // The time to keep as the last told (text), unchanged when nothing new
    // was found.
    QString seen;
};

// The recovery files to name at a start: `named` (the file the settings
// name, when it exists), and those in recoveryFolders() newer than `seen`
// (the kept time). Without a kept time, the files of the settings' folder
// are taken as told already (earlier runs named them through the settings).
RecoveryNews recoveryNews(const QString& named, const QString& seen);

// The time to keep as the last told where none is kept yet (the epoch's
// start), so that the next start names every file kept from then on.
QString firstRecoverySeen();

// What the next start tells the user about the recovery file at `path`.
QString recoveryMessage(const QString& path);

// True for a recovery file's name ("Unsaved strategies *.stg"), wherever it
// lies: opened, it is no file of the user's own to save into.
bool isRecoveryFileName(const QString& path);

} // namespace tw
