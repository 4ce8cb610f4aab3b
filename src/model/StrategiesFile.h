#pragma once
// Strategies files on disk. Reading is all or nothing: a damaged or truncated
// file raises a TwError whose text names the file and the fault, and the
// library it was to go into is left as it was. Writing goes to a temporary
// file that replaces the target only when everything was written.
//
// A save that writes over a file read earlier first makes sure the file still
// holds what was read or last written here: both give a stamp of the bytes
// (a hash), so a copy of the same bytes with another time is no change.

#include "model/StrategyTemplates.h"

#include <QByteArray>
#include <QString>
#include <memory>

namespace tw {

// The file content of a library.
QByteArray strategiesToBytes(const StrategyTypeCollection& types);
// Appends the groups held in `bytes` to `target`; `name` is used in the
// error text. Raises InvalidFileFormat for damaged content.
void appendStrategiesFromBytes(StrategyTypeCollection& target, const QByteArray& bytes, const QString& name);

// A new library read from the file at `path`. A missing or unreadable file
// raises the run-time error "File not found" (53); a folder "Path/File
// access error" (75); a damaged file InvalidFileFormat.
// `stamp`, when given, receives the stamp of the bytes read.
std::shared_ptr<StrategyTypeCollection> readStrategiesFile(const QString& path, QByteArray* stamp = nullptr);
// Appends the groups of the file at `path` to `target`, or nothing on failure.
void appendStrategiesFile(StrategyTypeCollection& target, const QString& path);
// Writes the library to `path`, replacing the file only when all is written;
// a failure raises the run-time error "Permission denied" (70) with the reason.
// Gives the stamp of the bytes written.
QByteArray writeStrategiesFile(const StrategyTypeCollection& types, const QString& path);

// The stamp of a file's bytes (never empty).
QByteArray contentStamp(const QByteArray& bytes);
// True when the file at `path` no longer holds the bytes `stamp` was taken
// of: other bytes, or a file that cannot be read. A file that is gone, and an
// empty stamp (nothing read or written here), give false.
bool changedSince(const QString& path, const QByteArray& stamp);

} // namespace tw
