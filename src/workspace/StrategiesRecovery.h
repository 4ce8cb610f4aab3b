#pragma once
// Strategies not yet saved when the system ends the program (a logout, a
// shutdown, a kill): they go to a recovery file of their own beside the
// settings, never over the user's strategies file or the shipped library,
// and the next start tells the user where it is.

#include <QDateTime>
#include <QString>

namespace tw {

class StrategyTypeCollection;

// The folder recovery files go to: the settings' own ($XDG_CONFIG_HOME/tarnwell).
QString recoveryFolder();

// Writes `library` to a new file in `folder` (made when missing),
// "Unsaved strategies <date> <time>.stg" after `when`, numbered when that
// name is taken: no existing file is ever written over. The file's path, or
// an empty text (and no file) when it could not be written.
QString writeRecoveryFile(const StrategyTypeCollection& library, const QString& folder,
                          const QDateTime& when = QDateTime::currentDateTime());

// What the next start tells the user about the recovery file at `path`.
QString recoveryMessage(const QString& path);

} // namespace tw
