#pragma once
// Reading the text of a Rich Text Format description: the words and line
// breaks, without the formatting. Descriptions are stored as RTF; until the
// description box shows their formatting, it shows this text.

#include <QString>

namespace tw {

// The visible text of an RTF document (paragraph marks and line breaks
// become new lines, tabs stay tabs, \'hh escapes are Windows-1252 characters,
// \uN escapes Unicode characters, destinations such as font and colour
// tables are left out). A text that does not start with "{\rtf" is returned
// as it is.
QString plainTextFromRtf(const QString& rtf);

} // namespace tw
