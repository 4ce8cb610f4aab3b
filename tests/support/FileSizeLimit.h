#pragma once
// A disk that fills up, in-process and without mounting anything: while a
// FileSizeLimit lives, a write of this process past `bytes` into a file comes
// back short and the next one fails (EFBIG), as on a full disk. The soft limit
// on file sizes is lowered and SIGXFSZ ignored; both are put back at the end.
#include <csignal>
#include <sys/resource.h>

namespace tw::test {

// Lowers the file size limit of this process for good (alone, as for a child
// about to start, which keeps SIGXFSZ as it sets it itself).
inline bool lowerFileSizeLimit(rlim_t bytes)
{
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = bytes;
    return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : m_handler(std::signal(SIGXFSZ, SIG_IGN))
    {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        m_active = lowerFileSizeLimit(bytes);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_handler);
    }
    bool active() const { return m_active; }

private:
    rlimit m_old{};
    void (*m_handler)(int);
    bool m_active = false;
};

} // namespace tw::test
