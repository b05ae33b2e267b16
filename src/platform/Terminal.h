#pragma once

namespace platform {

// True when standard error goes to a terminal.
bool stderrIsTerminal();

// True when any of standard input, output or error is a terminal: the
// program was started from a shell, not from the desktop.
bool startedFromTerminal();

// True when a display is there to show windows on (on Linux, an X11 or
// Wayland display named by the environment).
bool displayAvailable();

} // namespace platform
