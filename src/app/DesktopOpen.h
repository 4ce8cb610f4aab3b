#pragma once
// Handing a file or a link to the desktop's opener ("xdg-open"), which starts
// the program the desktop has for it, and telling whether that worked.

#include <QString>
#include <QUrl>

namespace tw {

// How long, in milliseconds, the opener's answer is waited for.
inline constexpr int DesktopOpenWaitMs = 3000;

// The desktop's opener found on the search path; empty when there is none.
QString desktopOpener();

// Runs `opener` with the link (a local file as its path) and waits for its
// exit status, at most `waitMs` milliseconds, during which windows repaint
// but take no input. Exit status 0 is success; any other, a crash, or an
// opener that cannot be started is failure. An opener still running when the
// time is up is showing the file (on some desktops it stays until the program
// it started ends): success, and it is left running in a session of its own,
// so that neither the end of this program nor a signal to its terminal ends
// the program the user is looking at.
bool runDesktopOpener(const QString& opener, const QUrl& url, int waitMs = DesktopOpenWaitMs);

} // namespace tw
