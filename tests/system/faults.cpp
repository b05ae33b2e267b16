// Loaded into the program under test (LD_PRELOAD): the n-th call that
// renames, removes or flushes a file (CG_FAULT_AT=n; renameat2, unlink,
// fsync and fdatasync, the calls the program and its database engine make)
// kills the process just before it is made, as a kill at that moment would. Without
// CG_FAULT_AT nothing happens; a run that ends on its own made fewer calls.

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>

namespace {

int g_calls = 0;

void step()
{
    static const int at = [] {
        const char *n = std::getenv("CG_FAULT_AT");
        return n ? std::atoi(n) : 0;
    }();
    if (at > 0 && ++g_calls == at)
        std::raise(SIGKILL);
}

template <class F> F next(const char *name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" {

int renameat2(int fromDir, const char *from, int toDir, const char *to, unsigned flags)
{
    step();
    return next<int (*)(int, const char *, int, const char *, unsigned)>("renameat2")(fromDir, from, toDir, to, flags);
}

int unlink(const char *path)
{
    step();
    return next<int (*)(const char *)>("unlink")(path);
}

int fsync(int fd)
{
    step();
    return next<int (*)(int)>("fsync")(fd);
}

int fdatasync(int fd)
{
    step();
    return next<int (*)(int)>("fdatasync")(fd);
}

} // extern "C"
