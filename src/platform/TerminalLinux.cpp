#include "Terminal.h"

#include <QtGlobal>

#include <unistd.h>

namespace platform {

bool stderrIsTerminal()
{
    return ::isatty(STDERR_FILENO) == 1;
}

bool startedFromTerminal()
{
    return ::isatty(STDIN_FILENO) == 1 || ::isatty(STDOUT_FILENO) == 1 || ::isatty(STDERR_FILENO) == 1;
}

bool displayAvailable()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace platform
