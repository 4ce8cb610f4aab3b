#pragma once
// How the program ends when the system ends it rather than the user: on
// SIGTERM or SIGHUP (a shutdown, a logout, kill) and on the session
// manager's request to commit its data, the main window writes everything
// File > Exit writes and keeps the strategies not saved in a recovery file,
// asking nothing; then every event loop is left (a modal question, a
// download's wait, the main loop), and the program ends. Should anything
// hold it after that, it is ended a few seconds later all the same.

#include "platform/EndSignals.h"

#include <QObject>
#include <QPointer>

class QSessionManager;

namespace tw {

class frmStrategies;

class SessionEnd : public QObject {
    Q_OBJECT
public:
    // Takes the requests from now on; `window` is the loaded main window.
    explicit SessionEnd(frmStrategies* window);

    // After the main loop has returned: the windows of an ended session go
    // (nothing more is written). Does nothing after an exit of the user's.
    void closeWindows();

private:
    void end();

    platform::EndSignals m_signals;
    QPointer<frmStrategies> m_window;
    bool m_ending = false;
};

// Runs the program's event loop until the main window `window` is closed or
// the system ends the program (see SessionEnd); the program's exit code.
int execProgram(frmStrategies* window);

} // namespace tw
