#include "Registry.h"

#include <memory>

namespace platform {

std::unique_ptr<Registry> createNativeRegistry(); // per operating system

namespace {
Registry *&installed()
{
    static Registry *r = nullptr;
    return r;
}
} // namespace

Registry &systemRegistry()
{
    if (installed())
        return *installed();
    static const std::unique_ptr<Registry> native = createNativeRegistry();
    return *native;
}

void setRegistry(Registry *registry)
{
    installed() = registry;
}

} // namespace platform
