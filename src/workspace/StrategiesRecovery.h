#pragma once
// Work not yet saved when the system ends the program (a logout, a shutdown,
// a kill): changed strategies and a downloaded chain go to recovery files of
// their own, never over the user's files or the shipped library, and the next
// start tells the user where they are.
//
// A file goes beside the settings when it can; when that folder cannot take
// it (a disk turned read-only, a quota) to the next of the user's folders
// that can, and last to the folder of the open strategies file and to the
// temporary folder. The settings name the files for the next start, but they
// may be in the very folder that could not be written, so the next start also
// looks for recovery files in every one of those folders and tells the ones
// newer than the last it told (a time the settings keep).
//
// A recovery file replaces nothing, so it needs no temporary copy: each file
// has its name only once it holds all its bytes (platform::NewFile), every
// file of an end has its name before the first is synced, and a file whose
// sync fails goes to the next folder.

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace tw {

namespace marketdata {
class QuoteLines;
}
class StrategyTypeCollection;

// The folders recovery files go to, in the order they are tried: the
// settings' own ($XDG_CONFIG_HOME/tarnwell), then tarnwell in the user's data
// folder ($XDG_DATA_HOME) and in the user's state folder ($XDG_STATE_HOME),
// then the home folder; last the folder of the strategies file
// `libraryFile` (when the folder is the user's own) and the temporary folder.
QStringList recoveryFolders(const QString& libraryFile = QString());
// The first of them.
QString recoveryFolder();

// What an end by the system keeps.
struct UnsavedWork {
    // The changed strategies, or none.
    const StrategyTypeCollection* strategies = nullptr;
    // The downloaded quote lines not saved, or none, and their ticker.
    const marketdata::QuoteLines* quotes = nullptr;
    QString ticker;
};

// The paths of the recovery files written (empty for a part not kept).
struct KeptWork {
    QString strategies;
    QString quotes;
};

// Writes each part of `work` to a new file in the first of `folders` that
// takes it (made when missing), named after `when`: "Unsaved strategies
// <date> <time>.stg" holds the strategies as a strategies file, "Unsaved
// quotes <date> <time> <ticker>.opt" the quote lines as Save options writes
// them. A name that is taken gets a number: no existing file is ever written
// over. `failures` receives, for each folder that could not take a part, why.
KeptWork writeRecoveryFiles(const UnsavedWork& work, const QStringList& folders, QStringList* failures = nullptr,
                            const QDateTime& when = QDateTime::currentDateTime());

// Writes `work` to recoveryFolders(libraryFile); for a part that no folder
// could take, says so on the standard error stream and in the error log.
KeptWork keepUnsavedWork(const UnsavedWork& work, const QString& libraryFile);

// At a start: takes out of `folders` the empty recovery files (a name taken
// by an end cut short before its bytes were in it) and the partial copies of
// saves that a killed program left. An earlier version wrote a recovery file
// through such a copy: one that holds whole strategies beside an empty
// recovery file takes that file's name instead of going.
void sweepRecoveryFolders(const QStringList& folders);

// What a start has to tell about recovery files.
struct RecoveryNews {
    // Paths of the files to name, oldest first.
    QStringList files;
    // The time to keep as the last told (text), unchanged when nothing new
    // was found.
    QString seen;
};

// The recovery files to name at a start: those of `named` (the files the
// settings name) that exist, and those in `folders` newer than `seen` (the
// kept time). Without a kept time, the files of the first folder (beside the
// settings) are taken as told already (earlier runs named them through the
// settings).
RecoveryNews recoveryNews(const QStringList& named, const QString& seen, const QStringList& folders);

// The time to keep as the last told where none is kept yet (the epoch's
// start), so that the next start names every file kept from then on.
QString firstRecoverySeen();

// What the next start tells the user about the recovery file at `path`.
QString recoveryMessage(const QString& path);

// True for a recovery file's name ("Unsaved strategies *.stg"), wherever it
// lies: opened, it is no file of the user's own to save into.
bool isRecoveryFileName(const QString& path);

} // namespace tw
