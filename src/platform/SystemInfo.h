#pragma once

#include "Registry.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

// Finding and starting the system information tool through the registry.
namespace sysinfo {

// Where the tool is registered: its full path under the first key, or the
// directory that holds MSINFO32.EXE under the second.
inline const QString kToolKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
inline const QString kToolValue = QStringLiteral("PATH");
inline const QString kLocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
inline const QString kLocationValue = QStringLiteral("MSINFO");
inline const QString kToolFile = QStringLiteral("\\MSINFO32.EXE");

// Query value, set value, create sub-key, enumerate sub-keys, notify, create
// link and read control.
inline constexpr std::uint32_t kKeyAccess = 0x2003F;
inline constexpr std::uint32_t kBufferSize = 1024;
inline constexpr std::uint32_t kTypeText = 1;
inline constexpr std::uint32_t kTypeNumber = 4;

// Reads one registry value as text. False, with empty text, when the key
// cannot be opened or the value cannot be read. A text value gives its
// characters; a 32-bit number gives "&h" and its bytes as two hexadecimal
// digits each, most significant first; any other type leaves keyVal as passed.
// A closing zero byte of the data is dropped first, whatever the type.
bool GetKeyValue(platform::Registry &registry, platform::Registry::Root root, const QString &keyName,
    const QString &valueName, QString &keyVal);

// The tool's path: the first key's value as it stands, or else the second
// key's directory followed by "\MSINFO32.EXE" when that file exists. Empty when
// neither gives one.
QString toolPath(platform::Registry &registry);

// Starts a program detached, with an argument vector; false when it cannot be
// started.
using ProgramStarter = std::function<bool(const QString &program, const QStringList &arguments)>;
bool startProgram(const QString &program, const QStringList &arguments);
// Tests capture the programs here instead of starting them; an empty starter
// restores the real one.
void setProgramStarter(ProgramStarter starter);

// Locates the tool and starts it; false when there is none or it would not
// start (the caller tells the user).
bool StartSysInfo(platform::Registry &registry);

} // namespace sysinfo
