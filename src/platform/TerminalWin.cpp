#include "Terminal.h"

#include <io.h>
#include <stdio.h>

namespace platform {

bool stderrIsTerminal()
{
    return _isatty(_fileno(stderr)) != 0;
}

bool startedFromTerminal()
{
    return _isatty(_fileno(stdin)) != 0 || _isatty(_fileno(stdout)) != 0 || _isatty(_fileno(stderr)) != 0;
}

bool displayAvailable()
{
    // An interactive Windows session always has its desktop.
    return true;
}

} // namespace platform
