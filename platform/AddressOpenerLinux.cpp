#include "AddressOpener.h"

#include <QProcess>

namespace platform {

void openAddressNative(const QString &address)
{
    // Detached, with the address as the single argument: xdg-open waits for
    // the browser, and no character of the address reaches a shell.
    QProcess::startDetached(QStringLiteral("xdg-open"), {address});
}

} // namespace platform
