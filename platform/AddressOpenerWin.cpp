#include "AddressOpener.h"

#include <windows.h>

// After windows.h, whose types it uses.
#include <shellapi.h>

namespace platform {

void openAddressNative(const QString &address)
{
    const QByteArray ansi = address.toLocal8Bit();
    ShellExecuteA(nullptr, nullptr, ansi.constData(), nullptr, nullptr, SW_SHOWNORMAL);
}

} // namespace platform
