#pragma once

class QString;

namespace dao {
class DbError;
}

namespace fatal {

// The one place that reports a database failure: shows its number and
// description in a message box, then ends the application with a non-zero
// exit status. Every change already made is stored by then.
[[noreturn]] void reportAndExit(const dao::DbError &error);

// The same for any other exception that escapes a window.
[[noreturn]] void reportUnexpectedAndExit(const char *what);

} // namespace fatal
