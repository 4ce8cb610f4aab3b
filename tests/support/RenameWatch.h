#pragma once
// Every file renamed into some folders (the last step of a whole-file
// replacement), in order, by inotify, whichever process renamed it. The
// kernel merges an event into a like one before it, so the (distinct) names
// renamed from are watched too: two renames onto one name stay two. Files
// made under their own name (a recovery file) are seen too (named()).
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
    // Waits at most `ms` milliseconds for something to happen in the folders;
    // true when it did.
    bool wait(int ms)
    {
        pollfd ready{m_fd, POLLIN, 0};
        return ::poll(&ready, 1, ms) > 0;
    }

    // The paths renamed into since the last call, oldest first.
    QStringList renamed() { return read(IN_MOVED_TO, true); }
    // The paths that got their name since the last call (made under it or
    // renamed into it), oldest first, but for hidden ones (a replacement's
    // temporary file).
    QStringList named() { return read(IN_MOVED_TO | IN_CREATE, false); }

private:
    QStringList read(uint32_t kinds, bool hidden)
    {
        QStringList paths;
        alignas(inotify_event) std::array<char, 16384> buffer{};
        for (;;) {
            const ssize_t n = ::read(m_fd, buffer.data(), buffer.size());
            if (n <= 0)
                break;
            for (ssize_t at = 0; at < n;) {
                const auto* e = reinterpret_cast<const inotify_event*>(buffer.data() + at);
                const QString name = e->len > 0 ? QString::fromLocal8Bit(e->name) : QString();
                if (!name.isEmpty() && (e->mask & kinds) != 0 && (hidden || !name.startsWith(QLatin1Char('.'))))
                    paths.append(m_folders[e->wd] + QLatin1Char('/') + name);
                at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
            }
        }
        return paths;
    }

    int m_fd;
    bool m_ok = true;
    std::map<int, QString> m_folders;
};

} // namespace tw::test
