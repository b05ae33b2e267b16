#include "AddressOpener.h"

namespace platform {

void openAddressNative(const QString &address); // per operating system

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

} // namespace platform
