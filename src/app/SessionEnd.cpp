#include "app/SessionEnd.h"

#include "mainwindow/frmStrategies.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <unistd.h>

namespace tw {

namespace {
// Seconds the program may still take, once all is written, to leave its
// event loops and close its windows. A sanitizer build (CI's second build)
// runs several times slower: it gets three times as long.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TW_SANITIZED_BUILD
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(TW_SANITIZED_BUILD)
constexpr unsigned kLastSeconds = 15;
#else
constexpr unsigned kLastSeconds = 5;
#endif
} // namespace

SessionEnd::SessionEnd(frmStrategies* window) : m_window(window)
{
    connect(&m_signals, &platform::EndSignals::endRequested, this, [this] { end(); });
    // The logout goes on: nothing is asked and nothing cancels it.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) { end(); });
}

void SessionEnd::end()
{
    // A second request while the first is handled changes nothing.
    if (m_ending)
        return;
    m_ending = true;
    if (m_window != nullptr)
        m_window->endSession();
    // Everything is written: a window that does not close in time is no
    // reason to keep the process (SIGALRM ends it).
    ::alarm(kLastSeconds);
    // Leaves every running event loop, nested ones too, and makes any
    // started later return at once.
    QCoreApplication::exit(0);
}

void SessionEnd::closeWindows()
{
    if (!m_ending || m_window == nullptr)
        return;
    m_window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // Nothing can hold the program any more.
    ::alarm(0);
}

int execProgram(frmStrategies* window)
{
    // Closing the main window ends the program, whatever other windows are
    // still open.
    QObject::connect(window, &QObject::destroyed, qApp, &QCoreApplication::quit);
    SessionEnd sessionEnd(window);
    const int rc = QCoreApplication::exec();
    sessionEnd.closeWindows();
    return rc;
}

} // namespace tw
