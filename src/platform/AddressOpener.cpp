#include "AddressOpener.h"

namespace platform {

void openAddressNative(const QString &address); // per operating system
bool openDocumentNative(const QString &path);

namespace {
AddressHook &hook()
{
    static AddressHook h;
    return h;
}
} // namespace

void setAddressHook(AddressHook h)
{
    hook() = std::move(h);
}

void openAddress(const QString &address)
{
    if (hook()) {
        hook()(address);
        return;
    }
    openAddressNative(address);
}

bool openDocument(const QString &path)
{
    if (hook()) {
        hook()(path);
        return true;
    }
    return openDocumentNative(path);
}

} // namespace platform
