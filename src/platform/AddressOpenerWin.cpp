#include "AddressOpener.h"

#include <windows.h>

// After windows.h, whose types it uses.
#include <shellapi.h>

#include <string>

namespace platform {

void openAddressNative(const QString &address)
{
    const QByteArray ansi = address.toLocal8Bit();
    ShellExecuteA(nullptr, nullptr, ansi.constData(), nullptr, nullptr, SW_SHOWNORMAL);
}

bool openDocumentNative(const QString &path)
{
    const std::wstring wide = path.toStdWString();
    const auto result
        = reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, nullptr, wide.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

} // namespace platform
