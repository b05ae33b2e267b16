#include "FixedRandom.h"

#include <QCryptographicHash>

#include <cstring>
#ifndef _WIN32
#include <dlfcn.h>
#endif

// SQLCipher draws the file's salt and every page's initialisation vector from
// OpenSSL's RAND_bytes. This executable defines that function itself (the
// build exports it, so it stands in for the library's): while a new installed
// file is written, the bytes come from a fixed stream, so that the same
// content makes the same file, byte for byte, in every build. The file holds
// nothing secret (its key is published); a family's file is always written
// with the system's random bytes.
namespace {

bool g_fixed = false;
quint64 g_counter = 0;

using RandBytes = int (*)(unsigned char *, int);

} // namespace

namespace fixedrandom {

Scope::Scope()
{
    g_fixed = true;
    g_counter = 0;
}

Scope::~Scope()
{
    g_fixed = false;
}

} // namespace fixedrandom

#ifndef _WIN32
extern "C" int RAND_bytes(unsigned char *buffer, int length)
{
    if (!g_fixed) {
        static const auto system = reinterpret_cast<RandBytes>(dlsym(RTLD_NEXT, "RAND_bytes"));
        return system ? system(buffer, length) : 0;
    }
    for (int done = 0; done < length;) {
        QCryptographicHash block(QCryptographicHash::Sha256);
        block.addData(QByteArrayView("childgrowth installed database"));
        const quint64 n = g_counter++;
        block.addData(QByteArrayView(reinterpret_cast<const char *>(&n), sizeof n));
        const QByteArray bytes = block.result();
        const int take = std::min(static_cast<int>(bytes.size()), length - done);
        std::memcpy(buffer + done, bytes.constData(), static_cast<size_t>(take));
        done += take;
    }
    return 1;
}
#endif
