// Loaded into the program under test (LD_PRELOAD): the n-th call that
// renames, removes or flushes a file (CG_FAULT_AT=n) kills the process just
// before it is made, as a kill or a power cut at that moment would. Without
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

int rename(const char *from, const char *to)
{
    step();
    return next<int (*)(const char *, const char *)>("rename")(from, to);
}

int renameat(int fromDir, const char *from, int toDir, const char *to)
{
    step();
    return next<int (*)(int, const char *, int, const char *)>("renameat")(fromDir, from, toDir, to);
}

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

int unlinkat(int dir, const char *path, int flags)
{
    step();
    return next<int (*)(int, const char *, int)>("unlinkat")(dir, path, flags);
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
