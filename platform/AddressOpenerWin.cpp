#include "AddressOpener.h"

#include <shellapi.h>
#include <windows.h>

namespace platform {

void openAddressNative(const QString &address)
{
    const QByteArray ansi = address.toLocal8Bit();
    ShellExecuteA(nullptr, nullptr, ansi.constData(), nullptr, nullptr, SW_SHOWNORMAL);
}

} // namespace platform
