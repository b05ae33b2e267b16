#include "Registry.h"

#include <windows.h>

#include <memory>

namespace platform {

namespace {

HKEY rootHandle(Registry::Root root)
{
    switch (root) {
    case Registry::Root::LocalMachine:
        return HKEY_LOCAL_MACHINE;
    }
    return HKEY_LOCAL_MACHINE;
}

class WinRegistry : public Registry {
public:
    long openKey(Root root, const QByteArray &subKey, std::uint32_t access, Key *key) override
    {
        HKEY handle = nullptr;
        const LONG rc = RegOpenKeyExA(rootHandle(root), subKey.constData(), 0, static_cast<REGSAM>(access), &handle);
        if (rc == ERROR_SUCCESS)
            *key = reinterpret_cast<Key>(handle);
        return rc;
    }

    long queryValue(Key key, const QByteArray &valueName, std::uint32_t *type, char *data, std::uint32_t *size) override
    {
        DWORD valueType = 0;
        DWORD valueSize = *size;
        const LONG rc = RegQueryValueExA(reinterpret_cast<HKEY>(key), valueName.constData(), nullptr, &valueType,
            reinterpret_cast<LPBYTE>(data), &valueSize);
        *type = valueType;
        *size = valueSize;
        return rc;
    }

    long closeKey(Key key) override { return RegCloseKey(reinterpret_cast<HKEY>(key)); }
};

} // namespace

std::unique_ptr<Registry> createNativeRegistry()
{
    return std::make_unique<WinRegistry>();
}

} // namespace platform
