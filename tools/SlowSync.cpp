// A disk whose syncs are slow, for trying how the program's writes fare when
// it is killed while it waits for the disk: preloaded (LD_PRELOAD), this
// makes every fsync and fdatasync of the process wait TW_SLOW_SYNC_MS
// milliseconds (400 when unset) before it syncs.
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <dlfcn.h>

namespace {

void waitForTheDisk()
{
    const char* text = std::getenv("TW_SLOW_SYNC_MS");
    const long ms = text != nullptr ? std::atol(text) : 400;
    timespec left{ms / 1000, (ms % 1000) * 1000000L};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

using SyncCall = int (*)(int);

int slowly(const char* name, int fd)
{
    const auto real = reinterpret_cast<SyncCall>(dlsym(RTLD_NEXT, name));
    waitForTheDisk();
    return real(fd);
}

} // namespace

extern "C" {

int fsync(int fd)
{
    return slowly("fsync", fd);
}

int fdatasync(int fd)
{
    return slowly("fdatasync", fd);
}
}
