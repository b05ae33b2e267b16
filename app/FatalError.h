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

// A command run without windows (the growth report) that could not do its
// work says why in one sentence: on standard error when a terminal is
// attached to it, else in a message box with the application's title.
// Returns the exit status to end with (non-zero).
int reportCommandFailure(const QString &sentence);

} // namespace fatal
