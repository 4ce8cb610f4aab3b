#pragma once
// Every file renamed into some folders (the last step of a whole-file
// replacement), in order, by inotify, whichever process renamed it. The
// kernel merges an event into a like one before it, so the (distinct) names
// renamed from are watched too: two renames onto one name stay two. wait()
// wakes on files made under their own name (a recovery file) too.
#include <QString>
#include <QStringList>

#include <array>
#include <map>
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace tw::test {

class RenameWatch {
public:
    // The folders must exist.
    explicit RenameWatch(const QStringList& folders) : m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        for (const QString& folder : folders) {
            const int wd = m_fd < 0 ? -1 : ::inotify_add_watch(m_fd, folder.toLocal8Bit().constData(), IN_MOVED_FROM | IN_MOVED_TO | IN_CREATE);
            m_ok = m_ok && wd >= 0;
            m_folders[wd] = folder;
        }
    }
    ~RenameWatch()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    RenameWatch(const RenameWatch&) = delete;
    RenameWatch& operator=(const RenameWatch&) = delete;

    bool active() const { return m_fd >= 0 && m_ok; }
    // Waits at most `ms` milliseconds for a change in the folders.
    bool wait(int ms)
    {
        pollfd ready{m_fd, POLLIN, 0};
        return ::poll(&ready, 1, ms) > 0;
    }

    // The paths renamed into since the last call, oldest first.
    QStringList renamed()
    {
        QStringList paths;
        alignas(inotify_event) std::array<char, 16384> buffer{};
        for (;;) {
            const ssize_t n = ::read(m_fd, buffer.data(), buffer.size());
            if (n <= 0)
                break;
            for (ssize_t at = 0; at < n;) {
                const auto* e = reinterpret_cast<const inotify_event*>(buffer.data() + at);
                if (e->len > 0 && (e->mask & IN_MOVED_TO) != 0)
                    paths.append(m_folders[e->wd] + QLatin1Char('/') + QString::fromLocal8Bit(e->name));
                at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
            }
        }
        return paths;
    }

private:
    int m_fd;
    bool m_ok = true;
    std::map<int, QString> m_folders;
};

} // namespace tw::test
