#pragma once
// The single-byte Windows-1252 text of the strategies files. Bytes below 0x80
// and from 0xA0 are the Latin-1 characters of the same number; 0x80..0x9F
// hold the typographic characters (euro sign, quotes, dashes...). The five
// bytes that the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// read as the control characters of the same number and write back as those
// bytes, so every byte sequence survives a read and a write unchanged.

#include <QByteArray>
#include <QString>

namespace tw {

QString decodeWindows1252(const QByteArray& bytes);
// One byte per character; a character outside the code page becomes "?"
// (a character beyond the basic plane is one character, so one "?").
QByteArray encodeWindows1252(const QString& text);

} // namespace tw
