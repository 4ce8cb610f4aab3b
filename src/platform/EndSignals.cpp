#include "platform/EndSignals.h"

#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace tw::platform {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP};

// The end the handler writes to; -1 while no object holds the handlers.
std::atomic<int> g_writeEnd{-1};
struct sigaction g_previous[std::size(kSignals)];

extern "C" void onEndSignal(int signalNumber)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    // A full socket already holds a request: this one may go.
    [[maybe_unused]] const ssize_t written = ::write(g_writeEnd.load(), &byte, 1);
    errno = savedErrno;
}

} // namespace

EndSignals::EndSignals(QObject* parent) : QObject(parent)
{
    if (g_writeEnd.load() != -1 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, m_fds) != 0)
        return;
    int none = -1;
    if (!g_writeEnd.compare_exchange_strong(none, m_fds[0]))
        return;
    m_notifier = new QSocketNotifier(m_fds[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &EndSignals::readRequests);
    struct sigaction action {};
    action.sa_handler = onEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &action, &g_previous[i]);
}

EndSignals::~EndSignals()
{
    if (m_notifier != nullptr) {
        for (size_t i = 0; i < std::size(kSignals); ++i)
            ::sigaction(kSignals[i], &g_previous[i], nullptr);
        g_writeEnd.store(-1);
    }
    for (const int fd : m_fds) {
        if (fd != -1)
            ::close(fd);
    }
}

void EndSignals::readRequests()
{
    unsigned char bytes[64];
    int first = 0;
    ssize_t n = 0;
    while ((n = ::read(m_fds[1], bytes, sizeof bytes)) > 0 || (n < 0 && errno == EINTR)) {
        if (n > 0 && first == 0)
            first = bytes[0];
    }
    if (first != 0)
        emit endRequested(first);
}

} // namespace tw::platform
