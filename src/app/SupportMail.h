#pragma once
#include <QString>
#include <QUrl>

namespace tw {

// The "mailto:" link of an error report: the subject and the report (framed
// by two lines of 20 hyphens after two empty lines) percent-encoded, so that
// blanks, "&" and "?" inside the report survive the trip to the mail program.
QUrl supportMailLink(const QString& address, const QString& subject, const QString& report);

} // namespace tw
