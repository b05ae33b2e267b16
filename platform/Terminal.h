#pragma once

namespace platform {

// True when standard error goes to a terminal (the program was started from
// a shell); false when it was started from the desktop.
bool stderrIsTerminal();

} // namespace platform
