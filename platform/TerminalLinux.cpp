#include "Terminal.h"

#include <unistd.h>

namespace platform {

bool stderrIsTerminal()
{
    return ::isatty(STDERR_FILENO) == 1;
}

} // namespace platform
