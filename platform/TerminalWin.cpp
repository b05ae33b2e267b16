#include "Terminal.h"

#include <io.h>
#include <stdio.h>

namespace platform {

bool stderrIsTerminal()
{
    return _isatty(_fileno(stderr)) != 0;
}

} // namespace platform
