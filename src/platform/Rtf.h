#pragma once
// Rich Text Format, the form in which strategy descriptions are stored and
// moved through the clipboard, read into and written from a QTextDocument.
//
// The reader knows the character formatting (font, size, bold, italic,
// underline, strike-through, colour), paragraphs with their alignment, line
// breaks and tabs, \'hh bytes in the document's code page (\ansicpg, or a
// font's \fcharset; the bytes of a double-byte character may also stand as
// they are) and \uN characters. Font and colour tables are read, a font's
// name in its own charset; destinations it does not show (pictures, objects,
// style sheets, document information, anything marked \*) are skipped, and
// control words it does not know are ignored. Damaged input (unbalanced braces, absurd numbers) gives
// the text that can be made of it; it never fails.
//
// The writer produces Windows-1252 RTF that the reader reads back to the same
// document: one group per run of equal formatting, explicit font and size on
// every run, characters outside the code page (control characters and the
// object mark U+FFFC among them) as \uN escapes. A font's name is written in
// the charset it was read with when that holds it, else in the first whose
// code page does, else as \uN escapes.

#include <QString>
#include <QStringList>

class QMimeData;
class QTextDocument;

namespace tw::platform {

// True when the text is RTF (it starts with "{\rtf").
bool isRtf(const QString& text);

// Replaces the content of `doc` with the document the RTF describes. A text
// that is not RTF is taken as plain text.
void readRtf(const QString& rtf, QTextDocument& doc);

// The RTF of the whole document.
QString writeRtf(const QTextDocument& doc);

// The text an RTF document shows, paragraphs and line breaks as new lines
// (without the last paragraph mark); a text that is not RTF as it is.
QString plainTextFromRtf(const QString& rtf);

// The clipboard formats that hold RTF; the first is the one written.
const QStringList& rtfMimeTypes();
bool mimeHoldsRtf(const QMimeData* data);
// The RTF held by `data` (bytes read as Windows-1252), or an empty text.
QString rtfFromMime(const QMimeData* data);

} // namespace tw::platform
