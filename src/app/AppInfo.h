#pragma once
// The program's identity as the splash and About windows show it.

#include <QFont>
#include <QString>

namespace tw {

// The product name ("Tarnwell"): the application's name when one is set.
QString productName();

// The program's version numbers, as set by the build ("1.0.0").
QString programVersion();

// "Version " and the major, minor and revision numbers of a version text,
// each as a plain decimal number without leading zeros, joined by "."
// ("1.01.007" gives "Version 1.1.7"; missing numbers count as 0).
QString versionText(const QString& version);
// The same for the program's own version.
QString versionText();

// The texts of the two windows.
QString copyrightNotice();
QString legalNotice();
QString platformText();
// The maker's web address without scheme (host and path).
QString makerWebAddress();

// The face both windows write their texts in (Tahoma, or the sans-serif
// face that stands in for it), at the given size.
QFont tahomaFont(double pointSize, bool bold = false);

} // namespace tw
