#pragma once

#include <QByteArray>

#include <cstdint>

namespace platform {

// The system registry, reduced to the three calls that reading one value
// needs. Results are the system's error codes: 0 for success.
class Registry {
public:
    using Key = std::uintptr_t;
    enum class Root : std::uintptr_t { LocalMachine = 0x80000002u };

    static constexpr long kSuccess = 0;
    static constexpr long kFileNotFound = 2;
    static constexpr long kAccessDenied = 5;
    static constexpr long kMoreData = 234;

    virtual ~Registry() = default;

    // Opens the sub-key (names in the ANSI code page) with the access mask.
    virtual long openKey(Root root, const QByteArray &subKey, std::uint32_t access, Key *key) = 0;
    // Reads a value into data; size holds the buffer size on entry and the
    // value's size in bytes on return.
    virtual long queryValue(Key key, const QByteArray &valueName, std::uint32_t *type, char *data, std::uint32_t *size)
        = 0;
    virtual long closeKey(Key key) = 0;
};

// The registry of this machine, or the one a test has installed.
Registry &systemRegistry();
// Tests install a registry of their own; nullptr restores the machine's.
void setRegistry(Registry *registry);

} // namespace platform
