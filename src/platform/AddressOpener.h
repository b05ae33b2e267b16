#pragma once

#include <QString>

#include <functional>

namespace platform {

// Hands an address to the desktop's browser and returns at once. The exact
// text is passed on, as one argument and never through a shell; no failure is
// reported.
void openAddress(const QString &address);

// Opens a file in the desktop's program for its kind. False when no program
// could be started for it or the opener reported that none could show it.
bool openDocument(const QString &path);

// Tests capture the addresses here instead of starting a browser.
using AddressHook = std::function<void(const QString &address)>;
void setAddressHook(AddressHook hook);

} // namespace platform
