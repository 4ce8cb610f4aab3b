#pragma once
// The system's requests to end the program that come as POSIX signals:
// SIGTERM (kill, a shutdown, the session's end) and SIGHUP (the terminal or
// the login session went away).
//
// The signal handler does nothing but write the signal's number into one
// end of a socket pair (a write is safe in a signal handler); a socket
// notifier reads the other end on the thread that made the object and
// announces the request as an ordinary Qt signal. Socket notifiers run in
// every event loop, so the request arrives also while a modal dialog or
// another nested event loop (a download's wait) runs. Signals that come
// while an earlier one is not yet announced are announced with it, once.
//
// One object at a time; destroying it gives the signals back their earlier
// handling.

#include <QObject>

class QSocketNotifier;

namespace tw::platform {

class EndSignals : public QObject {
    Q_OBJECT
public:
    explicit EndSignals(QObject* parent = nullptr);
    ~EndSignals() override;
    EndSignals(const EndSignals&) = delete;
    EndSignals& operator=(const EndSignals&) = delete;

    // The handlers are in place (false when the socket pair could not be made
    // or another object holds them).
    bool installed() const { return m_notifier != nullptr; }

signals:
    // The first signal of those that came since the last announcement.
    void endRequested(int signalNumber);

private:
    void readRequests();

    int m_fds[2] = {-1, -1};
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace tw::platform
