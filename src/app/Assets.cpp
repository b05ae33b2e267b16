#include "Assets.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be called outside any namespace.
static void registerAssets()
{
    Q_INIT_RESOURCE(assets);
}

namespace assets {

void init()
{
    static const bool registered = [] {
        registerAssets();
        return true;
    }();
    Q_UNUSED(registered);
}

} // namespace assets
